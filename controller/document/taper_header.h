// The header line of a taper program (".3nb"): the machine geometry the card needs to turn the
// two contours into guide movements. Read before anything else of the file is checked, so the
// card has it before it hears of the program.
#pragma once

#include <cstdint>
#include <string_view>

#include "controller/link/records.h"

namespace korvex {

// Only a program whose path contains ".3nb" carries a taper header (on its second line).
bool pathHasTaperHeader(std::string_view path);

// Parses "Korvex -Version 2.0 -Type ZD -Height h -Width w -Base b -R r -Degree d" into the card's
// taper block: lengths times 10, the angle times 1000, truncated toward zero, and the machine
// type. All five values must be read and each product must be a finite 32-bit value. 0 or -1.
int parseTaperHeader(std::string_view line, int32_t machineType, TaperBlock& out);

// Reads the taper block from the second line of the open file `fd`, read from its start (lines
// as the program reader sees them: at most 299 characters, the line end removed). Returns 0; -1
// when the file cannot be read or has no line at all (the reader reports that); -2 when the
// header is missing or malformed.
int readTaperBlock(int fd, int32_t machineType, TaperBlock& out);

}  // namespace korvex
