// The graph view on the 1,000,000-line benchmark program (and a 1,000-line one) in a 1600x900
// view: a full repaint at fit, the repaint after a poll tick (forward, and a back across a
// segment boundary) at fit and at scale 1, one zoom step, one drag step, and the memory the view
// adds (pictures and per-program tables, counter "viewMB"). Wall and CPU time are both reported:
// the machine may be shared.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>

#include <cstdio>
#include <memory>

#include "bench/common/program_generator.h"
#include "code/loader.h"
#include "code/step.h"
#include "controller/views/graph_view.h"
#include "platform/string_table.h"

namespace korvex {
namespace {

constexpr int kWidth = 1600, kHeight = 900;

std::shared_ptr<const LoadedProgram> benchProgram(int lines) {
    static std::shared_ptr<const LoadedProgram> cache[2];
    auto& slot = cache[lines > 1000 ? 1 : 0];
    if (!slot) {
        auto p = std::make_shared<LoadedProgram>();
        LoadFailure failure;
        if (loadProgramText(bench::generateProgram(lines), "bench.3b", LoadOptions{}, *p, failure) != 0) {
            std::fprintf(stderr, "load failed: %s\n", failure.message.c_str());
            std::abort();
        }
        slot = p;
    }
    return slot;
}

PositionBlock blockAt(const LoadedProgram& p, int32_t segment, int32_t stepsDone) {
    const PathElement& e = p.segments[static_cast<std::size_t>(segment)].lower;
    StepState c = freshCursor(e);
    positionAfterSteps(e, std::min(stepsDone, std::max(e.steps, 0)), c);
    PositionBlock b;
    b.work.segment = segment;
    b.work.lower = {c.steps, c.x, c.y};
    return b;
}

// A view with the program at fit, half of it machined.
struct ViewFixture {
    explicit ViewFixture(int lines) : program(benchProgram(lines)) {
        view.resize(kWidth, kHeight);
        view.show();  // the size reaches the view with its first show
        view.setProgram(program);
        const auto n = static_cast<int32_t>(program->segments.size());
        view.setRange(0, n - 1, false);
        current = n / 2;
        view.showPosition(blockAt(*program, current, 0));
        view.picture();
    }
    // Zooms to scale 1 around the current point.
    void toScaleOne() {
        const auto& m = view.mapping();
        const auto pos = *view.progress();
        const QPointF at(double(m.pixelX(pos.lowerPointX)), double(m.pixelY(pos.lowerPointY)));
        QMouseEvent press(QEvent::MouseButtonPress, at, at, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&view, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, at, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&view, &release);
        while (view.mapping().scale() > 1)
            view.zoomIn();
        view.picture();
    }
    std::shared_ptr<const LoadedProgram> program;
    CGraphView view;
    int32_t current = 0;
};

void fullRepaint(benchmark::State& state) {
    ViewFixture f(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        QImage image = renderGraph(f.view.scene());
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(fullRepaint)->Arg(1000)->Arg(bench::kProgramLines)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// Arguments: program lines, scale 1 (else fit), back (else forward).
void pollTick(benchmark::State& state) {
    ViewFixture f(static_cast<int>(state.range(0)));
    if (state.range(1))
        f.toScaleOne();
    const bool back = state.range(2) != 0;
    const LoadedProgram& p = *f.program;
    const auto n = static_cast<int32_t>(p.segments.size());
    int32_t segment = f.current, step = 0;
    bool behind = false;
    for (auto _ : state) {
        if (back) {
            // 300 microns back across the start of the current segment, then forward again.
            behind = !behind;
            const int32_t s = behind ? segment - 1 : segment;
            const int32_t steps = behind ? std::max(p.segments[static_cast<std::size_t>(s)].lower.steps - 300, 0) : 0;
            f.view.showPosition(blockAt(p, s, steps));
        } else {
            step += 37;
            if (step >= p.segments[static_cast<std::size_t>(segment)].lower.steps) {
                step = 0;
                segment = segment + 1 < n ? segment + 1 : f.current;
            }
            f.view.showPosition(blockAt(p, segment, step));
        }
        const QImage& image = f.view.picture();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["viewMB"] = static_cast<double>(f.view.memoryBytes()) / (1024.0 * 1024.0);
}
BENCHMARK(pollTick)
    ->ArgsProduct({{1000, bench::kProgramLines}, {0, 1}, {0, 1}})
    ->ArgNames({"lines", "scale1", "back"})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();

void zoomStep(benchmark::State& state) {
    ViewFixture f(bench::kProgramLines);
    bool in = true;
    for (auto _ : state) {
        if (in)
            f.view.zoomIn();
        else
            f.view.zoomOut();
        in = !in;
        benchmark::DoNotOptimize(f.view.picture().constBits());
    }
}
BENCHMARK(zoomStep)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

void dragStep(benchmark::State& state) {
    ViewFixture f(bench::kProgramLines);
    f.view.setMoveMode(true);
    QPointF at(800, 450);
    QMouseEvent press(QEvent::MouseButtonPress, at, at, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&f.view, &press);
    int k = 0;
    for (auto _ : state) {
        // Small moves to and fro, as a hand drags.
        at += QPointF((k / 10) % 2 ? -7 : 7, (k / 10) % 2 ? -4 : 4);
        ++k;
        QMouseEvent move(QEvent::MouseMove, at, at, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&f.view, &move);
        benchmark::DoNotOptimize(f.view.picture().constBits());
    }
    state.counters["viewMB"] = static_cast<double>(f.view.memoryBytes()) / (1024.0 * 1024.0);
}
BENCHMARK(dragStep)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

}  // namespace
}  // namespace korvex

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    korvex::installTranslations(korvex::Language::English);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
