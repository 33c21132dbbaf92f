#include "controller/document/taper_header.h"

#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>

#include "code/lines.h"

namespace korvex {

namespace {

constexpr char kTaperHeaderFormat[] =
    "Korvex -Version 2.0 -Type ZD -Height %lf -Width %lf -Base %lf -R %lf -Degree %lf";

// value * scale truncated toward zero; false when it is not a finite 32-bit value.
bool scaledToInt(double value, double scale, int32_t& out) {
    const double scaled = std::trunc(value * scale);
    if (!std::isfinite(scaled) || scaled < std::numeric_limits<int32_t>::min() ||
        scaled > std::numeric_limits<int32_t>::max())
        return false;
    out = static_cast<int32_t>(scaled);
    return true;
}

}  // namespace

bool pathHasTaperHeader(std::string_view path) {
    return path.find(".3nb") != std::string_view::npos;
}

int parseTaperHeader(std::string_view line, int32_t machineType, TaperBlock& out) {
    const std::string text(line);  // sscanf needs a terminated string
    double height = 0, width = 0, base = 0, r = 0, degree = 0;
    if (std::sscanf(text.c_str(), kTaperHeaderFormat, &height, &width, &base, &r, &degree) != 5)
        return -1;
    TaperBlock block;
    if (!scaledToInt(height, 10, block.heightTenths) || !scaledToInt(width, 10, block.widthTenths) ||
        !scaledToInt(base, 10, block.baseTenths) || !scaledToInt(r, 10, block.radiusTenths) ||
        !scaledToInt(degree, 1000, block.degreeMilli))
        return -1;
    block.taperType = machineType;
    out = block;
    return 0;
}

int readTaperBlock(int fd, int32_t machineType, TaperBlock& out) {
    // The first two lines as a 300-byte buffer reads them: each at most 299 characters and a
    // CR LF pair.
    char head[2 * (kMaxLineChars + 2)];
    ssize_t n;
    do {
        n = ::pread(fd, head, sizeof head, 0);
    } while (n < 0 && errno == EINTR);
    if (n <= 0) return -1;
    std::string line;
    if (fileLineAt(std::string_view(head, static_cast<std::size_t>(n)), 1, line) != 0) return -2;
    line.resize(std::strcspn(line.c_str(), "\r\n"));
    return parseTaperHeader(line, machineType, out) == 0 ? 0 : -2;
}

}  // namespace korvex
