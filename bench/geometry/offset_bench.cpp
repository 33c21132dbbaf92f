// Wire offset of a closed contour of 10,000 lines and arcs: the whole Offset command from the
// program's lines to the lines of the new program (target: under 50 ms).
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "geometry/offset.h"

namespace {

constexpr int kElements = 10000;
constexpr double kRadiusMm = 300;

// A counter-clockwise ring of two sides then an outward arc, over and over, entered from its
// centre; with round corners every corner between two sides gets an arc.
std::vector<std::string> ringProgram() {
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

void offsetRing(benchmark::State& state, korvex::CornerType corner) {
    const std::vector<std::string> program = ringProgram();
    std::vector<std::string> out;
    std::string error;
    for (auto _ : state) {
        if (korvex::offsetProgram(program, 1, 0, 0.1, corner, out, error) != 0) {
            state.SkipWithError(error.c_str());
            break;
        }
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["lines"] = static_cast<double>(out.size());
}

void BM_OffsetSharp(benchmark::State& state) { offsetRing(state, korvex::CornerType::Sharp); }
void BM_OffsetRound(benchmark::State& state) { offsetRing(state, korvex::CornerType::Round); }
BENCHMARK(BM_OffsetSharp)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OffsetRound)->Unit(benchmark::kMillisecond);

}  // namespace
