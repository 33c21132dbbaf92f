// Wire offset of a closed contour of 10,000 lines and arcs: the whole Offset command from the
// program's lines to the lines of the new program (target: under 50 ms).
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "ring_program.h"
#include "geometry/offset.h"

namespace {

void offsetRing(benchmark::State& state, korvex::CornerType corner) {
    const std::vector<std::string> program = korvex::bench::ringProgram();
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
