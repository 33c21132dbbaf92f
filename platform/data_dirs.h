// Where the programs keep their files: the data directory with the machine settings file, the
// per-card settings and error logs, and below it "Tmp" (working copies of loaded programs) and
// "Param" (pulse parameter tables). $KORVEX_DATA_DIR names the data directory when set (tests,
// several installations side by side); otherwise it is "Korvex-Z Files" in the user's XDG data
// directory.
#pragma once

#include <QString>
#include <cstdint>

namespace korvex {

QString dataDirectory();
QString temporaryDirectory();
QString parameterDirectory();

// "<data>/Korvex.ini", shared by every card this PC drives.
QString machineSettingsPath();
// "<data>/<id as eight lower-case hex digits>.ini", one per card.
QString cardSettingsPath(std::uint32_t cardId);
// "<id as eight lower-case hex digits>", the name the card's files are formed from.
QString cardIdText(std::uint32_t cardId);

// Creates the three directories; one that already exists is fine. Returns 0 or -1.
int createDataDirectories();

}  // namespace korvex
