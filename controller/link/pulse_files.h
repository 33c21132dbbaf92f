// The three files that hold pulse groups, read and written without Qt:
//   .zif    one group record (28 bytes), a saved row;
//   .tbl    8 group records (224 bytes), a saved table;
//   dao.tbl 8 group records, then the title of the .tbl last restored as one text line (at most
//           255 bytes, no terminator), the controller's current table.
// A file of any other size, or one holding a row the Mult-Table dialog could not show and take
// back, is refused whole. Every record placed in row n gets index n: the index is the row's
// place, not one of its values. Writes go to a temporary file in the same folder that is then
// renamed over the target, so a crash leaves the old file or the new one, never half of one.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "controller/link/pulse_group.h"

namespace korvex {

inline constexpr std::size_t kPulseTableFileBytes = kPulseGroupCount * kPulseGroupBytes;  // 224
inline constexpr std::size_t kPulseTableNameMaxBytes = 255;

struct PulseFile {
    std::vector<PulseGroup> groups;  // 1 (.zif) or 8
    std::optional<std::string> name;  // only for dao.tbl (more than 224 bytes)
};

// True when each field lies where the dialog's cells can show it and OK would accept it again:
// width 0..1000, Pi (interval / width) 0..1000 with no interval behind an empty width, V.F.
// 1..200.
bool pulseGroupIsValid(const PulseGroup& group);

// Reads a .zif, .tbl or dao.tbl (told apart by size). Returns 0, or -1 when the file cannot be
// read, has another size or holds an invalid row; `out` is then untouched.
int readPulseFile(const std::string& path, PulseFile& out);

// Writes the groups (1 or 8), then the name line when there is one. Returns 0 or -1; on
// failure the old file is left as it was.
int writePulseFile(const std::string& path, const PulseFile& file);

// Replaces `path` with `bytes` through a temporary file and a rename. Returns 0 or -1.
int writeFileAtomically(const std::string& path, const std::string& bytes);

// The name line cut to at most 255 bytes, never inside a UTF-8 character.
std::string cutPulseTableName(std::string name);

}  // namespace korvex
