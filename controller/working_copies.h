// The temporary directory keeps a working copy of each program loaded into the card, named by
// its title, for the power-loss restore. Only the newest copies are worth keeping: the restore
// looks for the last program loaded, and a copy per title already bounds each program to one.
#pragma once

#include <QString>

namespace korvex {

inline constexpr int kKeptWorkingCopies = 20;

// Keeps `current` (the copy of the program just loaded, which may still be being written) and
// the `keep` - 1 most recently written other files of `directory`; removes the rest. Returns
// the number of files removed.
int pruneWorkingCopies(const QString& directory, const QString& current, int keep = kKeptWorkingCopies);

}  // namespace korvex
