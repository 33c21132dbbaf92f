// Where the programs keep their files: the data directory with the machine settings file, the
// per-card settings and error logs, and below it "Tmp" (working copies of loaded programs) and
// "Param" (pulse parameter tables). $KORVEX_DATA_DIR names the data directory when set (tests,
// several installations side by side); otherwise it is "Korvex-Z Files" in the user's XDG data
// directory.
//
// The log folder (the card link's "%08x_Err.txt" and "%08x_Link.txt") is "log" in the data
// directory when $KORVEX_DATA_DIR is set, else "Korvex-Z Files/log" in the user's XDG state
// directory ($XDG_STATE_HOME, default ~/.local/state). The command-line tools, which have no Qt,
// find the same folder with the card link's DefaultLogDirectory().
#pragma once

#include <QString>
#include <cstdint>

namespace korvex {

QString dataDirectory();
QString temporaryDirectory();
QString parameterDirectory();
// Empty when no home directory is known; the link then writes no files.
QString logDirectory();

// "<data>/Korvex.ini", shared by every card this PC drives.
QString machineSettingsPath();
// "<data>/<id as eight lower-case hex digits>.ini", one per card.
QString cardSettingsPath(std::uint32_t cardId);
// "<id as eight lower-case hex digits>", the name the card's files are formed from.
QString cardIdText(std::uint32_t cardId);

// Creates the three directories; one that already exists is fine. Returns 0 or -1.
int createDataDirectories();

// Qt keeps per-user settings of its own (the file dialogs' history and view, under the
// organisation "QtProject"); this puts them in the data directory too, so that the programs
// write nowhere else. Call once the application object exists, before any dialog.
void keepQtSettingsInDataDirectory();

}  // namespace korvex
