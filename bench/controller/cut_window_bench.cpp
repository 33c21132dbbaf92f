// A cut over the 1,000,000-line program in the controller's own pieces: the program loaded, the
// graph view repainting back to back on the interface thread, the card worker answering the
// virtual card on an unpaced line. Measured per "segment reached" report: from the reader
// thread handing the report to the hook to the first byte of its window written to the port.
//
// The write is caught at the system call: the link's serial port is linked with its `write`
// wrapped (see CMakeLists.txt), and the first write on the worker's thread after a window's
// transaction began is the window's first byte.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <deque>
#include <mutex>
#include <vector>

#include "code/loader.h"
#include "controller/link/commands.h"
#include "controller/machining/card_worker.h"
#include "controller/machining/link_machining_card.h"
#include "controller/machining/start_payload.h"
#include "controller/views/graph_view.h"
#include "sim/card/card_server.h"

namespace korvex {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kProgramSegments = 1'000'000;
constexpr int kCutSegments = 12'000;  // the range cut: at least 10,000 reports
constexpr int kStepsPerSegment = 10;
constexpr double kCardSpeedScale = 11.0;  // about 6 ms a segment
constexpr int kResizeEveryMs = 250;       // the graph's picture is drawn afresh this often

// Set on the worker's thread when a window's transaction begins; the next write of that thread
// is the window's first byte.
thread_local bool tWindowPending = false;
std::mutex gMutex;
std::deque<Clock::time_point> gHanded;  // report handed to the hook, oldest first
std::vector<double> gLatencies;          // microseconds

class TimedCard : public LinkMachiningCard {
public:
    using LinkMachiningCard::LinkMachiningCard;
    int sendSegments(const SegmentWindow& window) override {
        tWindowPending = true;
        return LinkMachiningCard::sendSegments(window);
    }
};

void noteWrite() {
    const Clock::time_point now = Clock::now();
    tWindowPending = false;
    std::lock_guard lock(gMutex);
    if (gHanded.empty())
        return;  // the start window: no report asked for it
    gLatencies.push_back(std::chrono::duration<double, std::micro>(now - gHanded.front()).count());
    gHanded.pop_front();
}

std::string zigzag(int count) {
    std::string text;
    text.reserve(static_cast<std::size_t>(count) * 24);
    const std::string b = std::to_string(kStepsPerSegment);
    const std::string x = "B " + b + " B 0 B " + b + " GX L1;\n";
    const std::string y = "B 0 B " + b + " B " + b + " GY L2;\n";
    for (int i = 0; i < count; ++i)
        text += i % 2 == 0 ? x : y;
    return text + "DD\n";
}

void BM_CutWindowsWhileTheGraphRepaints(benchmark::State& state) {
    auto program = std::make_shared<LoadedProgram>();
    LoadOptions options;
    LoadFailure failure;
    if (loadProgramText(zigzag(kProgramSegments - 1), "bench.3b", options, *program, failure) != 0) {
        state.SkipWithError("program did not load");
        return;
    }
    CGraphView graph;
    graph.resize(1000, 700);
    graph.show();
    graph.setProgram(program);

    for (auto _ : state) {
        {
            std::lock_guard lock(gMutex);
            gHanded.clear();
            gLatencies.clear();
        }
        sim::ServerOptions serverOptions;
        serverOptions.speedScale = kCardSpeedScale;
        serverOptions.pcSilenceMs = 0;
        sim::CardServer server(serverOptions);
        if (server.start() != 0) {
            state.SkipWithError("virtual card did not start");
            return;
        }
        CardLink link(LinkOptions{2000, 2000, 0, {}});
        TimedCard card(link);
        SteadyWorkerClock clock;
        CardWorker worker(card, clock);
        std::atomic<bool> finished{false};
        link.SetEventHook([&](uint8_t code, const uint8_t* record) {
            if (code == reportcode::kSegmentReached) {
                {
                    std::lock_guard lock(gMutex);
                    gHanded.push_back(Clock::now());
                }
                worker.segmentReached(GetLe32(record + 4));
            } else if (code == reportcode::kRunEvent && record[1] == 11) {
                finished = true;
            }
        });
        if (link.Open(server.devicePath()) != 0 || CMD_CONNECT(link) != 0) {
            state.SkipWithError("link did not open");
            return;
        }
        const int32_t last = kCutSegments;
        LoadDescriptor descriptor;
        descriptor.setTitle("bench.3b");
        CMD_LOAD_MODEL(link, descriptor, false);
        CMD_SET_RANGE(link, 1, last);
        worker.setProgram(program);
        worker.setRange(WorkRange::between(1, last));
        worker.start();
        worker.post(CardSequence("cut").then([&](MachiningCard& c) {
            SegmentWindow window;
            buildWindow(program->segments.data(), static_cast<int32_t>(program->segments.size()),
                        WorkRange::between(1, last), 1, window);
            StartPayload payload;
            payload.work = freshWorkParams(*program, 1, false);
            return c.start(StartKind::Cut, window, payload) == 0;
        }));

        // The interface thread paints the million-segment picture back to back meanwhile, and
        // asks for a new picture at a new size now and then.
        uint64_t repaints = 0;
        QElapsedTimer sinceResize;
        sinceResize.start();
        bool wide = false;
        const auto deadline = Clock::now() + std::chrono::minutes(10);
        while (!finished && Clock::now() < deadline) {
            graph.repaint();
            ++repaints;
            if (sinceResize.elapsed() > kResizeEveryMs) {
                wide = !wide;
                graph.resize(wide ? 1100 : 1000, 700);
                sinceResize.restart();
            }
            QCoreApplication::processEvents();
        }
        worker.stop();
        link.Close();
        const auto figures = server.withEngine([](sim::CardEngine& e) { return e.figures(); });
        server.stop();
        std::vector<double> l;
        {
            std::lock_guard lock(gMutex);
            l = gLatencies;
        }
        std::sort(l.begin(), l.end());
        if (l.empty() || !finished) {
            state.SkipWithError("the cut did not finish");
            return;
        }
        auto at = [&l](double q) { return l[static_cast<std::size_t>(q * static_cast<double>(l.size() - 1))]; };
        state.counters["reports"] = static_cast<double>(l.size());
        state.counters["p50_us"] = at(0.50);
        state.counters["p99_us"] = at(0.99);
        state.counters["max_us"] = l.back();
        state.counters["starvations"] = static_cast<double>(figures.starvations);
        state.counters["repaints"] = static_cast<double>(repaints);
    }
}
BENCHMARK(BM_CutWindowsWhileTheGraphRepaints)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
}  // namespace korvex

// The link's writes come here (the linker's --wrap=write); everything else keeps the real call.
extern "C" ssize_t __real_write(int fd, const void* bytes, size_t count);
extern "C" ssize_t __wrap_write(int fd, const void* bytes, size_t count) {
    if (korvex::tWindowPending)
        korvex::noteWrite();
    return __real_write(fd, bytes, count);
}

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
