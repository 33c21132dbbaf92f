// Multi-pass program of the 10,000-element ring: eight passes and a reserved step cut on each,
// from the loaded program to the whole text of the ".4nb" file (target: under 200 ms). The
// result is loaded back once, outside the timing, so a file the loader refuses fails the run.
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "code/loader.h"
#include "geometry/multipass.h"
#include "ring_program.h"

namespace {

std::string ringText() {
    std::string text;
    for (const std::string& line : korvex::bench::ringProgram()) text += line + "\n";
    return text;
}

void BM_MultipassRingEightPassesWithStep(benchmark::State& state) {
    using namespace korvex;
    LoadedProgram program;
    LoadFailure failure;
    if (loadProgramText(ringText(), "ring.iso", LoadOptions{}, program, failure) != 0) {
        state.SkipWithError(failure.message.c_str());
        return;
    }
    MultipassSettings s;
    s.mode = 1;
    s.count = 8;
    s.len = 5;
    s.lastLen = 0.1;
    std::string text, error;
    for (auto _ : state) {
        if (multipassFileText(program, s, text, error) != 0) {
            state.SkipWithError(error.c_str());
            return;
        }
        benchmark::DoNotOptimize(text.data());
    }
    LoadedProgram back;
    if (loadProgramText(text, "ring.iso.4nb", LoadOptions{}, back, failure) != 0 || back.kind != kKindIsoSwitches) {
        state.SkipWithError("the result does not load back");
        return;
    }
    state.counters["lines"] = static_cast<double>(back.lines.count);
    state.counters["switches"] = static_cast<double>(back.switches.size());
}

BENCHMARK(BM_MultipassRingEightPassesWithStep)->Unit(benchmark::kMillisecond);

}  // namespace
