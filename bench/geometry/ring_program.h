// The benchmarks' closed contour: a counter-clockwise ring of 10,000 elements round a 300 mm
// circle, two sides then an outward arc, over and over, entered from its centre.
#pragma once

#include <cmath>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace korvex::bench {

inline constexpr int kElements = 10000;
inline constexpr double kRadiusMm = 300;

// With round corners every corner between two sides gets an arc.
inline std::vector<std::string> ringProgram() {
    const double pi = std::acos(-1.0);
    std::vector<std::pair<long, long>> v;
    for (int k = 0; k < kElements; ++k) {
        const double a = 2 * pi * k / kElements;
        v.emplace_back(std::lround(kRadiusMm * 1000 * std::cos(a)), std::lround(kRadiusMm * 1000 * std::sin(a)));
    }
    std::vector<std::string> lines;
    char text[128];
    int n = 0;
    lines.push_back("N0 G92 X0.000 Y0.000;");
    std::snprintf(text, sizeof text, "N%d G01 X%.3f Y%.3f;", ++n, v[0].first / 1000.0, v[0].second / 1000.0);
    lines.push_back(text);
    for (int k = 0; k < kElements; ++k) {
        const auto [x0, y0] = v[static_cast<size_t>(k)];
        const auto [x1, y1] = v[static_cast<size_t>((k + 1) % kElements)];
        const double dx = static_cast<double>(x1 - x0), dy = static_cast<double>(y1 - y0);
        if (k % 3 != 2) {
            std::snprintf(text, sizeof text, "N%d G01 X%.3f Y%.3f;", ++n, dx / 1000, dy / 1000);
        } else {
            // Centre two side lengths to the left of the side's middle.
            const long i = std::lround(dx / 2 - 2 * dy), j = std::lround(dy / 2 + 2 * dx);
            std::snprintf(text, sizeof text, "N%d G03 X%.3f Y%.3f I%.3f J%.3f;", ++n, dx / 1000, dy / 1000,
                          i / 1000.0, j / 1000.0);
        }
        lines.push_back(text);
    }
    std::snprintf(text, sizeof text, "N%d G01 X%.3f Y%.3f;", ++n, -v[0].first / 1000.0, -v[0].second / 1000.0);
    lines.push_back(text);
    std::snprintf(text, sizeof text, "N%d M02;", ++n);
    lines.push_back(text);
    return lines;
}

}  // namespace korvex::bench
