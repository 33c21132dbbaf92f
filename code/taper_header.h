// The taper header of a two-contour program: the second line of the file,
// "Korvex -Version 2.0 -Type ZD -Height h -Width w -Base b -R r -Degree d", giving the machine
// geometry the card needs to turn the two contours into guide movements. One rule decides for
// the loader, the document and the transforms whether a file carries one and what it holds.
#pragma once

#include <cstdint>
#include <string_view>

namespace korvex {

// The start of a header line; a line starting so is a header (and must then be complete).
inline constexpr std::string_view kTaperHeaderPrefix = "Korvex -Version 2.0 -Type ZD";

// Header values as the card takes them: lengths times 10, the angle times 1000.
struct TaperValues {
    int32_t heightX10 = 0, widthX10 = 0, baseX10 = 0, radiusX10 = 0, angleX1000 = 0;
};

enum class TaperHeaderState {
    kNone,  // no header and none needed
    kRead,  // header read into the values
    kBad,   // "Format error,invalid taper file!"
};

// True when `line` starts a taper header.
bool isTaperHeaderLine(std::string_view line);

// True when the file name ends in ".3nb" (any case): such a file must carry a header.
bool pathNamesTaperFile(std::string_view path);

// Reads a header line's five values: all five must be read, and each scaled value must be a
// finite 32-bit number. A scaled value within 1e-6 of an integer is taken as that integer
// before truncation toward zero, so "1.001" gives 1001. False leaves `out` unchanged.
bool parseTaperHeaderLine(std::string_view line, TaperValues& out);

// The rule: a second line that starts a header is read whatever the file's name; without one,
// a ".3nb" name is an error. `secondLine` is null when the file has no second line.
TaperHeaderState readTaperHeader(const std::string_view* secondLine, std::string_view path,
                                 TaperValues& out);

// Scales a header value (exposed for the Taper dialog's card values): value * scale, taken as
// the nearest integer when within 1e-6 of it, else truncated toward zero. False when the
// result is not a finite 32-bit value.
bool scaleTaperValue(double value, double scale, int32_t& out);

}  // namespace korvex
