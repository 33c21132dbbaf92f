// Loading a generated 1,000,000-line 3B program through every step of the loader, up to the
// extents: lines per second, steps per second and the peak memory of the process.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "code/loader.h"
#include "code/step.h"

namespace korvex {
namespace {

constexpr int kProgramLines = 1000000;
constexpr unsigned kSeed = 20261208;
constexpr double kPi = 3.14159265358979323846;

// Travel along the count axis between two angles less than a half turn apart: the count
// coordinate changes monotonically between its extremes (x at 0 and 180 degrees, y at 90 and
// 270), so the travel is the sum of the changes between the extremes met on the way.
double countTravel(double r, double a0, double a1, bool alongY) {
    auto coord = [&](double a) { return alongY ? r * std::sin(a) : r * std::cos(a); };
    const double lo = std::min(a0, a1), hi = std::max(a0, a1);
    const double offset = alongY ? kPi / 2 : 0.0;
    double travel = 0, at = lo;
    for (double k = std::ceil((lo - offset) / kPi); offset + k * kPi < hi; k += 1) {
        const double extreme = offset + k * kPi;
        travel += std::fabs(coord(extreme) - coord(at));
        at = extreme;
    }
    return travel + std::fabs(coord(hi) - coord(at));
}

// About half straight lines of 0.1 to 2 mm and half arcs of 0.5 to 5 mm radius sweeping up to
// a quarter turn, as a 3B file with its header and end.
std::string generateProgram() {
    std::mt19937_64 rng(kSeed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::string text =
        "****************************************\nKorvex -Version 2.0\n"
        "****************************************\nStart Point  =   0.000 ,  0.000 ;\n";
    text.reserve(static_cast<std::size_t>(kProgramLines) * 48);
    char line[128];
    for (int i = 1; i < kProgramLines; ++i) {
        const bool alongY = unit(rng) < 0.5;
        // A straight lead-in first, as real programs have: it makes the lead-out closing run.
        if (i == 1 || unit(rng) < 0.5) {
            const double length = 100 + unit(rng) * 1900, angle = unit(rng) * 2 * kPi;
            const long x = std::lround(std::fabs(length * std::cos(angle)));
            const long y = std::lround(std::fabs(length * std::sin(angle)));
            const int quadrant = 1 + static_cast<int>(unit(rng) * 4) % 4;
            std::snprintf(line, sizeof line, "N %6d: B %8ld B %8ld B %8ld %s  L%d;\n", i, x, y,
                          std::max(x, y), alongY ? "GY" : "GX", quadrant);
        } else {
            const double r = 500 + unit(rng) * 4500;
            const double a0 = unit(rng) * 2 * kPi, sweep = (0.02 + unit(rng) * 0.98) * kPi / 2;
            const bool clockwise = unit(rng) < 0.5;
            const long sx = std::lround(r * std::cos(a0)), sy = std::lround(r * std::sin(a0));
            const int quadrant = sx > 0 ? (sy >= 0 ? 1 : 4) : (sy > 0 ? 2 : 3);
            const long j = std::lround(countTravel(r, a0, clockwise ? a0 - sweep : a0 + sweep, alongY));
            std::snprintf(line, sizeof line, "N %6d: B %8ld B %8ld B %8ld %s  %s%d;\n", i,
                          std::labs(sx), std::labs(sy), j, alongY ? "GY" : "GX",
                          clockwise ? "SR" : "NR", quadrant);
        }
        text += line;
    }
    std::snprintf(line, sizeof line, "N %6d: DD\n", kProgramLines);
    return text + line;
}

// The generated program is written to a scratch file, or to KORVEX_BENCH_PROGRAM when set (and
// kept there, to look at or to load with kvcode).
bool keepProgram() { return std::getenv("KORVEX_BENCH_PROGRAM") != nullptr; }

const std::string& programFile() {
    static const std::string path = [] {
        std::string p = keepProgram() ? std::getenv("KORVEX_BENCH_PROGRAM")
                                      : "/tmp/korvex-bench-" + std::to_string(getpid()) + ".3b";
        const std::string text = generateProgram();
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
    for (auto _ : state) {
        LoadedProgram program;
        LoadFailure failure;
        if (loadProgram(path.c_str(), options, program, failure) != 0) {
            state.SkipWithError(failure.message.c_str());
            break;
        }
        steps += program.totalSteps;
        lines += program.lines.count;
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
