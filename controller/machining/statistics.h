// The Statistics dialog's figures: the program's cut length, the cut area for a work-piece
// height, and the efficiency per ampere over the seconds of the running or last work.
#pragma once

namespace korvex {

struct WorkStatistics {
    double lengthMm = 0;             // "%.3f mm"
    double areaMm2 = 0;              // "%.3f mm2"
    double efficiencyMm2PerMinA = 0; // "%.3f mm2/min.A"; 0 while no time was counted
};

inline constexpr double kMinHeightMm = 1, kMaxHeightMm = 10000;
inline constexpr double kMinCurrentA = 0.01, kMaxCurrentA = 100;

// pathLengthMm is the geometric length of the program's path (not its steps).
inline WorkStatistics workStatistics(double pathLengthMm, double heightMm, double currentA, int usedSeconds) {
    WorkStatistics s;
    s.lengthMm = pathLengthMm;
    s.areaMm2 = pathLengthMm * heightMm;
    if (usedSeconds > 0 && currentA > 0)
        s.efficiencyMm2PerMinA = s.areaMm2 * 60.0 / usedSeconds / currentA;
    return s;
}

}  // namespace korvex
