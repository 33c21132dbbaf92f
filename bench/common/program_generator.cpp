#include "bench/common/program_generator.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>

namespace korvex::bench {
namespace {

constexpr unsigned kSeed = 20261208;
constexpr double kPi = 3.14159265358979323846;

// Travel along the count axis between two angles less than a half turn apart: the count
// coordinate changes monotonically between its extremes (x at 0 and 180 degrees, y at 90 and
// 270), so the travel is the sum of the changes between the extremes met on the way.
double countTravel(double r, double a0, double a1, bool alongY) {
    auto coord = [&](double a) { return alongY ? r * std::sin(a) : r * std::cos(a); };
    const double lo = std::min(a0, a1), hi = std::max(a0, a1);
    const double offset = alongY ? kPi / 2 : 0.0;
    double travel = 0, at = lo;
    for (double k = std::ceil((lo - offset) / kPi); offset + k * kPi < hi; k += 1) {
        const double extreme = offset + k * kPi;
        travel += std::fabs(coord(extreme) - coord(at));
        at = extreme;
    }
    return travel + std::fabs(coord(hi) - coord(at));
}

}  // namespace

std::string generateProgram(int lines) {
    std::mt19937_64 rng(kSeed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::string text =
        "****************************************\nKorvex -Version 2.0\n"
        "****************************************\nStart Point  =   0.000 ,  0.000 ;\n";
    text.reserve(static_cast<std::size_t>(lines) * 48);
    char line[128];
    for (int i = 1; i < lines; ++i) {
        const bool alongY = unit(rng) < 0.5;
        if (unit(rng) < 0.5) {
            const double length = 100 + unit(rng) * 1900, angle = unit(rng) * 2 * kPi;
            const long x = std::lround(std::fabs(length * std::cos(angle)));
            const long y = std::lround(std::fabs(length * std::sin(angle)));
            const int quadrant = 1 + static_cast<int>(unit(rng) * 4) % 4;
            std::snprintf(line, sizeof line, "N %6d: B %8ld B %8ld B %8ld %s  L%d;\n", i, x, y,
                          std::max(x, y), alongY ? "GY" : "GX", quadrant);
        } else {
            const double r = 500 + unit(rng) * 4500;
            const double a0 = unit(rng) * 2 * kPi, sweep = (0.02 + unit(rng) * 0.98) * kPi / 2;
            const bool clockwise = unit(rng) < 0.5;
            const long sx = std::lround(r * std::cos(a0)), sy = std::lround(r * std::sin(a0));
            const int quadrant = sx > 0 ? (sy >= 0 ? 1 : 4) : (sy > 0 ? 2 : 3);
            const long j =
                std::lround(countTravel(r, a0, clockwise ? a0 - sweep : a0 + sweep, alongY));
            std::snprintf(line, sizeof line, "N %6d: B %8ld B %8ld B %8ld %s  %s%d;\n", i,
                          std::labs(sx), std::labs(sy), j, alongY ? "GY" : "GX",
                          clockwise ? "SR" : "NR", quadrant);
        }
        text += line;
    }
    std::snprintf(line, sizeof line, "N %6d: DD\n", lines);
    return text + line;
}

}  // namespace korvex::bench
