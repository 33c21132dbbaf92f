// The status panel's arithmetic: the progress over the work range and the HF level meter.
#pragma once

#include <cstdint>

namespace korvex {

// |current - start| x 100 / |end - start| in whole percent; 0 when the range is one segment or
// the result is above 100 (a current segment outside the range).
int progressPercent(int32_t start, int32_t end, int32_t current);

// The level meter: full segments (0..10) and the part of the next one.
struct LevelMeter {
    int full = 0;
    int part = 0;
};
inline constexpr int kLevelMeterSegments = 10;
LevelMeter levelMeter(int32_t level);

// A pulse group switched report names a group the table holds (0..7); any other is ignored.
inline bool validReportedGroup(int group) { return group >= 0 && group < 8; }

}  // namespace korvex
