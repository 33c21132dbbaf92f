// Text to lines and back, as the editor reads files and undo snapshots: a line ends at LF, any
// CRs before it are dropped, leading blanks are removed and empty lines vanish; written lines
// end in CR LF.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "code/lines.h"

namespace tavrel {

struct TextLines {
    int64_t rawCount = 0;                 // lines in the text, empty ones included
    std::vector<std::string_view> kept;   // the non-empty lines, without line end or leading blanks
    int64_t tooLongLine = 0;              // number (from 1) of the first kept line over 299 bytes
    bool utf8 = true;                     // every kept line is valid UTF-8
};

TextLines splitTextLines(std::string_view text);

// The text without its leading spaces and tabs.
std::string_view stripLeadingBlanks(std::string_view text);

// Lines 0 to count-1, each cut at its first line feed and followed by CR LF.
std::string joinLinesCrLf(const korvex::ProgramLines& lines, int count);

bool isValidUtf8(std::string_view text);

}  // namespace tavrel
