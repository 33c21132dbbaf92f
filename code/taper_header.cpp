#include "code/taper_header.h"

#include <cctype>
#include <cmath>
#include <limits>
#include <string>

#include "code/numbers.h"

namespace korvex {

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Matches "<prefix> -Height % -Width % -Base % -R % -Degree %" the way a scanf of that format
// does: a blank in the format matches any run of white space (none included), other characters
// must match, a number skips leading white space.
bool scanValues(const char* s, double values[5]) {
    static const char* const kFormat =
        "Korvex -Version 2.0 -Type ZD -Height % -Width % -Base % -R % -Degree %";
    int read = 0;
    for (const char* f = kFormat; *f; ++f) {
        if (*f == ' ') {
            while (isSpace(*s)) ++s;
        } else if (*f == '%') {
            const char* end = nullptr;
            values[read] = readReal(s, &end);
            if (end == s) return false;
            s = end;
            ++read;
        } else if (*s++ != *f) {
            return false;
        }
    }
    return read == 5;
}

}  // namespace

bool scaleTaperValue(double value, double scale, int32_t& out) {
    double scaled = value * scale;
    if (!std::isfinite(scaled)) return false;
    // A typed "1.001" times 1000 is 1000.9999999999999 in binary; it means 1001.
    const double nearest = std::round(scaled);
    scaled = std::fabs(scaled - nearest) <= 1e-6 ? nearest : std::trunc(scaled);
    if (scaled < std::numeric_limits<int32_t>::min() || scaled > std::numeric_limits<int32_t>::max())
        return false;
    out = static_cast<int32_t>(scaled);
    return true;
}

bool isTaperHeaderLine(std::string_view line) {
    return line.substr(0, kTaperHeaderPrefix.size()) == kTaperHeaderPrefix;
}

bool pathNamesTaperFile(std::string_view path) {
    static constexpr std::string_view kSuffix = ".3nb";
    if (path.size() < kSuffix.size()) return false;
    const std::string_view tail = path.substr(path.size() - kSuffix.size());
    for (std::size_t i = 0; i < kSuffix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(tail[i])) != kSuffix[i]) return false;
    }
    return true;
}

bool parseTaperHeaderLine(std::string_view line, TaperValues& out) {
    const std::string text(line);  // the scanner needs a terminated string
    double v[5];
    if (!scanValues(text.c_str(), v)) return false;
    TaperValues values;
    if (!scaleTaperValue(v[0], 10, values.heightX10) || !scaleTaperValue(v[1], 10, values.widthX10) ||
        !scaleTaperValue(v[2], 10, values.baseX10) || !scaleTaperValue(v[3], 10, values.radiusX10) ||
        !scaleTaperValue(v[4], 1000, values.angleX1000))
        return false;
    out = values;
    return true;
}

TaperHeaderState readTaperHeader(const std::string_view* secondLine, std::string_view path,
                                 TaperValues& out) {
    if (secondLine && isTaperHeaderLine(*secondLine)) {
        return parseTaperHeaderLine(*secondLine, out) ? TaperHeaderState::kRead
                                                      : TaperHeaderState::kBad;
    }
    return pathNamesTaperFile(path) ? TaperHeaderState::kBad : TaperHeaderState::kNone;
}

}  // namespace korvex
