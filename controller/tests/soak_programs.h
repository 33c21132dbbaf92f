// The programs the recovery soaks cut, with their settings, and the check of the segments a
// continued cut reports. Free of Qt: the process soak's parent only starts programs.
#pragma once

#include <string>
#include <vector>

namespace korvex::testing {

// A program of the soak with the settings it is cut with.
struct SoakProgram {
    const char* file;
    bool reverse = false;
    bool ignorePause = false;  // two-holes.iso pauses at its M00 lines otherwise
    int loops = 1;
};

inline constexpr SoakProgram kSoakPrograms[] = {
    {"square.3b", false, false, 1},
    {"two-holes.iso", true, true, 1},
    {"groups.iso", false, false, 2},
    {"taper-square.iso", true, false, 1},
};

// The segments a continued cut reported: each one way, once per loop. Returns the first fault.
inline std::string reportedOnce(const std::vector<int>& reported, bool reverse, int loops) {
    int wraps = 0;
    for (std::size_t i = 1; i < reported.size(); ++i) {
        const int step = reported[i] - reported[i - 1];
        if (step == 0)
            return "segment " + std::to_string(reported[i]) + " reported twice";
        if (reverse ? step > 0 : step < 0)
            ++wraps;
    }
    if (wraps >= loops)
        return "a segment reported again within one loop";
    return {};
}

}  // namespace korvex::testing
