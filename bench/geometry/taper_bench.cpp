// One Graph on a closed contour of 10,000 lines and arcs (target: under 100 ms), and the guide
// table of the 1,000,000-line benchmark program (target: built under 30 ms, one lookup under
// 1 us).
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/common/program_generator.h"
#include "code/loader.h"
#include "geometry/guides.h"
#include "geometry/taper.h"
#include "ring_program.h"

namespace {

void BM_OneGraphRing(benchmark::State& state) {
    const std::vector<std::string> program = korvex::bench::ringProgram();
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
