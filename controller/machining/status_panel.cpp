#include "controller/machining/status_panel.h"

#include <cstdlib>

namespace korvex {

int progressPercent(int32_t start, int32_t end, int32_t current) {
    if (end == start)
        return 0;
    const int64_t done = std::llabs(int64_t{current} - start);
    const int64_t span = std::llabs(int64_t{end} - start);
    const int64_t percent = done * 100 / span;
    return percent > 100 ? 0 : static_cast<int>(percent);
}

LevelMeter levelMeter(int32_t a) {
    // Integer arithmetic in 64 bits: a level the card reports is never trusted to be small.
    const int64_t v = a;
    if (v <= 300)
        return {static_cast<int>(v < 0 ? 0 : v * 7 / 300), 0};
    if (v <= 800)
        return {7, static_cast<int>((5 * v - 1500) / 500)};
    if (v <= 1200)
        return {8, static_cast<int>((5 * v - 4000) / 400)};
    if (v <= 3300)
        return {9, static_cast<int>((5 * v - 6000) / 2100)};
    return {kLevelMeterSegments, 0};
}

}  // namespace korvex
