#include "controller/document/taper_header.h"

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

int readTaperBlock(const char* path, int32_t machineType, TaperBlock& out) {
    std::FILE* f = std::fopen(path, "r");
    if (!f) return -1;
    char line[kLineSlotBytes] = {};
    int read = 0;
    while (read < 2 && std::fgets(line, sizeof line, f)) ++read;
    std::fclose(f);
    if (read == 0) return -1;
    if (read < 2) return -2;
    line[std::strcspn(line, "\r\n")] = '\0';
    return parseTaperHeader(line, machineType, out) == 0 ? 0 : -2;
}

}  // namespace korvex
