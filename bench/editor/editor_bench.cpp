// The editor on the generated 1,000,000-line 3B program: opening it, one Add in the middle
// (insertion, whole reparse with its recognition, and undo snapshot), one Undo (snapshot load and
// reparse), the recognition at 1 mm, a repaint of the drawing fitted to a 1280 x 800 view, and
// one nearest-segment search. Peak memory of the process is reported with each.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "bench/common/program_generator.h"
#include "editor/document/editor_session.h"
#include "editor/graph_view.h"

namespace tavrel {
namespace {

constexpr int kViewWidth = 1280;
constexpr int kViewHeight = 800;

const std::string& programFile() {
    static const std::string path = [] {
        const std::string p = "/tmp/tavrel-bench-" + std::to_string(getpid()) + ".3b";
        const std::string text = korvex::bench::generateProgram();
        std::FILE* f = std::fopen(p.c_str(), "wb");
        if (!f || std::fwrite(text.data(), 1, text.size(), f) != text.size()) std::abort();
        std::fclose(f);
        std::atexit([] { std::remove(programFile().c_str()); });
        return p;
    }();
    return path;
}

double peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// Answers every question as an operator at the keyboard would: the line to add, no save.
class QuietPrompter : public EditorPrompter {
public:
    void show(const DocMessage& m) override { std::fprintf(stderr, "message %s%s\n", m.id.c_str(), m.fatalText.c_str()); }
    std::optional<std::string> inputCode(const std::string&) override { return std::string("B 1000 B 0 B 1000 GX L1"); }
    std::optional<std::string> chooseSavePath(SaveDialogKind, const std::string&) override { return std::nullopt; }
    Answer askSaveChanges(const std::string&) override { return Answer::kNo; }
};

struct Opened {
    QuietPrompter prompter;
    EditorSession session{prompter};
    Opened() {
        if (!session.open(programFile())) std::abort();
    }
};

void openProgram(benchmark::State& state) {
    programFile();
    for (auto _ : state) {
        Opened opened;
        benchmark::DoNotOptimize(opened.session.doc().count());
        state.PauseTiming();
        opened.session.doc().setModified(false);
        state.ResumeTiming();
    }
    state.counters["peakMB"] = peakMegabytes();
}

void addInTheMiddle(benchmark::State& state) {
    Opened opened;
    const int middle = opened.session.doc().count() / 2;
    for (auto _ : state) {
        opened.session.add({middle});
    }
    state.counters["lines"] = opened.session.doc().count();
    state.counters["peakMB"] = peakMegabytes();
}

void undoOneAdd(benchmark::State& state) {
    Opened opened;
    const int middle = opened.session.doc().count() / 2;
    for (auto _ : state) {
        state.PauseTiming();
        opened.session.add({middle});
        state.ResumeTiming();
        if (!opened.session.undo()) std::abort();
    }
    state.counters["peakMB"] = peakMegabytes();
}

// The recognition every reparse repeats, at the largest threshold (every line under 1 mm listed).
void recogniseAtOneMillimetre(benchmark::State& state) {
    Opened opened;
    for (auto _ : state) benchmark::DoNotOptimize(opened.session.doc().recognise(1000));
    state.counters["listed"] = static_cast<double>(opened.session.doc().recognised().size());
    state.counters["peakMB"] = peakMegabytes();
}

void repaintAtFit(benchmark::State& state) {
    Opened opened;
    CGraphView view(opened.session.doc());
    view.resize(kViewWidth, kViewHeight);
    view.documentUpdated(0);
    for (auto _ : state) {
        const QImage image = view.render();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["peakMB"] = peakMegabytes();
}

void hoverSearch(benchmark::State& state) {
    Opened opened;
    const std::vector<Point64> ends = opened.session.doc().segmentEndPoints();
    const Point64 target = ends[ends.size() / 3];
    for (auto _ : state) benchmark::DoNotOptimize(nearestSegment(ends, target.x, target.y));
    state.counters["peakMB"] = peakMegabytes();
}

BENCHMARK(openProgram)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(addInTheMiddle)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(undoOneAdd)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(recogniseAtOneMillimetre)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(repaintAtFit)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(hoverSearch)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace
}  // namespace tavrel

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
