// From a "segment reached" report to its window: the time between the link's reader thread
// handing the report over and the card worker starting the window's transaction (packing and
// the write of the first byte follow within microseconds), over a whole cut on the virtual card
// with an unpaced line. The card runs about 170 segments a second; the figures are per report.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <vector>

#include "code/loader.h"
#include "controller/link/commands.h"
#include "controller/machining/card_worker.h"
#include "controller/machining/link_machining_card.h"
#include "controller/machining/start_payload.h"
#include "sim/card/card_server.h"

namespace korvex {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kSegments = 12000;
constexpr int kStepsPerSegment = 10;
constexpr double kCardSpeedScale = 11.0;  // 10 steps at 150 x 11 steps/s: about 6 ms a segment

// Takes the time each window's transaction starts and pairs it with its report.
class TimedCard : public LinkMachiningCard {
public:
    using LinkMachiningCard::LinkMachiningCard;
    int sendSegments(const SegmentWindow& window) override {
        const Clock::time_point now = Clock::now();
        {
            std::lock_guard lock(mutex);
            if (!handed.empty()) {
                latencies.push_back(std::chrono::duration<double, std::micro>(now - handed.front()).count());
                handed.pop_front();
            }
        }
        return LinkMachiningCard::sendSegments(window);
    }
    std::mutex mutex;
    std::deque<Clock::time_point> handed;
    std::vector<double> latencies;
};

std::string shortSegments(int count) {
    std::string text;
    const std::string b = std::to_string(kStepsPerSegment);
    for (int i = 0; i < count; ++i)
        text += (i % 2 == 0 ? "B " + b + " B 0 B " + b + " GX L1;\n" : "B 0 B " + b + " B " + b + " GY L2;\n");
    return text + "DD\n";
}

void BM_ReportToWindow(benchmark::State& state) {
    auto program = std::make_shared<LoadedProgram>();
    LoadOptions options;
    LoadFailure failure;
    if (loadProgramText(shortSegments(kSegments), "bench.3b", options, *program, failure) != 0) {
        state.SkipWithError("program did not load");
        return;
    }
    for (auto _ : state) {
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
        std::mutex doneMutex;
        std::condition_variable doneCv;
        bool finished = false;
        link.SetEventHook([&](uint8_t code, const uint8_t* record) {
            if (code == reportcode::kSegmentReached) {
                {
                    std::lock_guard lock(card.mutex);
                    card.handed.push_back(Clock::now());
                }
                worker.segmentReached(GetLe32(record + 4));
            } else if (code == reportcode::kRunEvent && record[1] == 11) {
                std::lock_guard lock(doneMutex);
                finished = true;
                doneCv.notify_all();
            }
        });
        if (link.Open(server.devicePath()) != 0 || CMD_CONNECT(link) != 0) {
            state.SkipWithError("link did not open");
            return;
        }
        const int32_t last = static_cast<int32_t>(program->segments.size()) - 2;
        LoadDescriptor descriptor;
        descriptor.setTitle("bench.3b");
        CMD_LOAD_MODEL(link, descriptor, false);
        CMD_SET_RANGE(link, 1, last);
        worker.setProgram(program);
        worker.setRange(WorkRange::between(1, last));
        worker.start();
        worker.post(CardSequence("cut").then([&](MachiningCard& c) {
            SegmentWindow window;
            buildWindow(program->segments.data(), last + 2, WorkRange::between(1, last), 1, window);
            StartPayload payload;
            freshWorkParams(*program, 1, false, payload.work);
            return c.start(StartKind::Cut, window, payload) == 0;
        }));
        {
            std::unique_lock lock(doneMutex);
            doneCv.wait_for(lock, std::chrono::minutes(10), [&] { return finished; });
        }
        worker.stop();
        link.Close();
        const auto figures = server.withEngine([](sim::CardEngine& e) { return e.figures(); });
        server.stop();
        std::vector<double> l = card.latencies;
        std::sort(l.begin(), l.end());
        if (l.empty()) {
            state.SkipWithError("no window was sent");
            return;
        }
        auto at = [&l](double q) { return l[static_cast<std::size_t>(q * static_cast<double>(l.size() - 1))]; };
        state.counters["reports"] = static_cast<double>(l.size());
        state.counters["p50_us"] = at(0.50);
        state.counters["p99_us"] = at(0.99);
        state.counters["max_us"] = l.back();
        state.counters["starvations"] = static_cast<double>(figures.starvations);
        state.counters["starved_ms"] = static_cast<double>(figures.starvedMicros) / 1000.0;
    }
}
BENCHMARK(BM_ReportToWindow)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
}  // namespace korvex

BENCHMARK_MAIN();
