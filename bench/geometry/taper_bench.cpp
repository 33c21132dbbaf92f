// One Graph on a closed contour of 10,000 lines and arcs (target: under 100 ms), and the guide
// table of the 1,000,000-line benchmark program (target: built under 30 ms, one lookup under
// 1 us).
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/common/program_generator.h"
#include "code/loader.h"
#include "geometry/guides.h"
#include "geometry/taper.h"

namespace {

constexpr int kElements = 10000;
constexpr double kRadiusMm = 300;

// A counter-clockwise ring of sides and outward arcs, entered from its centre.
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

void BM_OneGraphRing(benchmark::State& state) {
    const std::vector<std::string> program = ringProgram();
    const std::vector<korvex::TaperRow> rows(program.size(), korvex::TaperRow{"1.000", korvex::kTaperFlagNone});
    korvex::TaperDialogValues values;
    values.width = 10;
    std::vector<std::string> upper, lower;
    std::string error;
    int badRow = -1;
    for (auto _ : state) {
        if (korvex::oneGraph(program, true, rows, values, upper, lower, error, badRow) != 0) {
            state.SkipWithError(error.c_str());
            break;
        }
        benchmark::DoNotOptimize(upper.data());
    }
}
BENCHMARK(BM_OneGraphRing)->Unit(benchmark::kMillisecond);

const korvex::LoadedProgram& benchProgram() {
    static const korvex::LoadedProgram program = [] {
        korvex::LoadedProgram p;
        korvex::LoadFailure f;
        if (korvex::loadProgramText(korvex::bench::generateProgram(), "bench.3b", {}, p, f) != 0) std::abort();
        return p;
    }();
    return program;
}

void BM_GuideTableBuild(benchmark::State& state) {
    const korvex::LoadedProgram& p = benchProgram();
    korvex::DisplacementTable table;
    for (auto _ : state) {
        table.build(p.segments.data(), p.segments.size());
        benchmark::DoNotOptimize(&table.before(p.segments.size()));
    }
    state.counters["segments"] = static_cast<double>(p.segments.size());
}
BENCHMARK(BM_GuideTableBuild)->Unit(benchmark::kMillisecond);

void BM_GuideLookup(benchmark::State& state) {
    const korvex::LoadedProgram& p = benchProgram();
    const korvex::DisplacementTable table(p.segments.data(), p.segments.size());
    const korvex::GuideGeometry g{true, 600, 200, 200, 5};
    size_t i = 0;
    for (auto _ : state) {
        korvex::GuidePositions out;
        korvex::StepState lower, upper;
        i = (i + 7919) % p.segments.size();
        benchmark::DoNotOptimize(
            korvex::segmentStartGuides(table, p.segments.data(), i, false, g, lower, upper, out));
        benchmark::DoNotOptimize(out);
    }
}
BENCHMARK(BM_GuideLookup)->Unit(benchmark::kNanosecond);

}  // namespace

BENCHMARK_MAIN();
