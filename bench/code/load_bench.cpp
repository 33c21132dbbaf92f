// Loading a generated 1,000,000-line 3B program through every step of the loader, up to the
// extents: lines per second, steps per second, the peak memory of the process and the memory
// the loaded lines keep.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/common/program_generator.h"
#include "code/loader.h"
#include "code/step.h"

namespace korvex {
namespace {

// The generated program is written to a scratch file, or to KORVEX_BENCH_PROGRAM when set (and
// kept there, to look at or to load with kvcode).
bool keepProgram() { return std::getenv("KORVEX_BENCH_PROGRAM") != nullptr; }

const std::string& programFile() {
    static const std::string path = [] {
        std::string p = keepProgram() ? std::getenv("KORVEX_BENCH_PROGRAM")
                                      : "/tmp/korvex-bench-" + std::to_string(getpid()) + ".3b";
        const std::string text = bench::generateProgram();
        std::FILE* f = std::fopen(p.c_str(), "wb");
        if (!f || std::fwrite(text.data(), 1, text.size(), f) != text.size()) std::abort();
        std::fclose(f);
        return p;
    }();
    return path;
}

// Steps of an element by walking it, for checking the loader's counts.
int64_t walkedSteps(const PathElement& e) {
    constexpr int kBatch = 4096;
    uint8_t codes[kBatch];
    StepState cursor = freshCursor(e);
    int64_t total = 0;
    for (;;) {
        const int n = stepElement(e, cursor, kBatch, codes, false);
        total += n;
        if (n < kBatch) return total;
    }
}

// Every 97th segment's count against walking it step by step (outside the timing).
bool countsMatchStepping(const LoadedProgram& program) {
    for (std::size_t i = 0; i < program.segments.size(); i += 97) {
        const PathElement& e = program.segments[i].lower;
        if (walkedSteps(e) != e.steps) return false;
    }
    return true;
}

void loadMillionLines(benchmark::State& state) {
    const std::string& path = programFile();
    LoadOptions options;
    options.threads = static_cast<int>(state.range(0));
    int64_t steps = 0, lines = 0;
    std::size_t lineTextBytes = 0;
    for (auto _ : state) {
        LoadedProgram program;
        LoadFailure failure;
        if (loadProgram(path.c_str(), options, program, failure) != 0) {
            state.SkipWithError(failure.message.c_str());
            break;
        }
        steps += program.totalSteps;
        lines += program.lines.count;
        lineTextBytes = program.lines.textBytes();
        benchmark::DoNotOptimize(program.extents);
        state.PauseTiming();
        const bool countsMatch = countsMatchStepping(program);
        { LoadedProgram gone = std::move(program); }
        state.ResumeTiming();
        if (!countsMatch) {
            state.SkipWithError("a step count differs from stepping the element");
            break;
        }
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["lines/s"] = benchmark::Counter(static_cast<double>(lines), benchmark::Counter::kIsRate);
    state.counters["steps/s"] = benchmark::Counter(static_cast<double>(steps), benchmark::Counter::kIsRate);
    state.counters["peakMiB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
    // What the loaded program's lines hold (the segments take 88 bytes a line beside it).
    state.counters["lineTextMiB"] = static_cast<double>(lineTextBytes) / (1024.0 * 1024.0);
}
BENCHMARK(loadMillionLines)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("threads")
    ->Iterations(3)  // one load is about a second: a single run says more about the machine than the code
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace korvex

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (!korvex::keepProgram()) std::remove(korvex::programFile().c_str());
    return 0;
}
