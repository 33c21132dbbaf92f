// Switches the machine off. With KORVEX_POWER_OFF_COMMAND set, that command runs through
// /bin/sh -c instead (an installation's own way, or a test's); otherwise systemd-logind is asked
// to power off over the system bus, without asking anyone interactively. The account needs the
// polkit right org.freedesktop.login1.power-off (granted to local active sessions by default).
#pragma once

#include <QString>

namespace korvex {

inline constexpr char kPowerOffCommandVariable[] = "KORVEX_POWER_OFF_COMMAND";
inline constexpr int kPowerOffCallTimeoutMs = 5000;

// 0 when the power-off was started (or the command started), -1 when it was refused or
// could not be asked for; `why` tells which.
int powerOffMachine(QString* why = nullptr);

}  // namespace korvex
