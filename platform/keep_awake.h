// Keeps the machine from suspending while the controller runs: a cut may last many unattended
// hours. Uses a systemd-logind "sleep:idle" inhibitor when a system bus is reachable; where none
// is (containers, tests), nothing happens.
#pragma once

namespace korvex {

// Takes the inhibitor for the rest of the process's life. Returns 0 when held, -1 when no
// inhibitor service answered. Calling it again keeps the first one.
int keepSystemAwake();

}  // namespace korvex
