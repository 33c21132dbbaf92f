// A whole cut streamed by the card worker to the virtual card over a pseudo-terminal: the
// reader thread hands every "segment reached" report straight to the worker, which answers with
// the window by the rule. Time is virtual on both sides: the card moves only when the test
// advances it, and the test waits until every report has been answered before it does.
#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <regex>

#include "code/step.h"
#include "controller/link/commands.h"
#include "controller/machining/card_worker.h"
#include "controller/machining/link_machining_card.h"
#include "sim/card/tests/pc_side.h"

namespace korvex {
namespace {

using sim::testing::Program;

constexpr int kWaitMs = 10000;
constexpr int64_t kSliceMicros = 250000;
constexpr int kMaxSlices = 4000;

std::string zigzag(int segments) {
    std::string text;
    for (int i = 0; i < segments; ++i)
        text += "N " + std::to_string(i + 1) + (i % 2 == 0 ? ": B 300 B 0 B 300 GX L1;\n" : ": B 0 B 300 B 300 GY L2;\n");
    return text + "N " + std::to_string(segments + 1) + ": DD\n";
}

// The start payload of a fresh start at segment i: cursors at the start of the segment's
// elements, or at their ends when the work runs in reverse.
StartPayload freshStart(const Program& program, int32_t i, bool reverse) {
    const CodeSegment& s = program.loaded.segments.at(static_cast<std::size_t>(i));
    auto cursor = [reverse](const PathElement& e) {
        const StepState c = reverse ? endCursor(e) : freshCursor(e);
        return StepCursor{c.steps, c.x, c.y};
    };
    StartPayload p;
    p.work.segment = i;
    p.work.upper = cursor(s.upper);
    p.work.lower = cursor(s.lower);
    const auto [x, y] = program.startOf(reverse ? i + 1 : i);
    p.work.guideX = x;
    p.work.guideY = y;
    return p;
}

class StreamedCut : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        tracePath = std::filesystem::temp_directory_path() /
                    ("korvex-stream-" + std::to_string(::getpid()) + (GetParam() ? "-r" : "-f") + ".jsonl");
        sim::ServerOptions options = sim::testing::virtualCardOptions();
        options.tracePath = tracePath.string();
        server = std::make_unique<sim::CardServer>(options);
        ASSERT_EQ(server->start(), 0) << server->error();
        link.SetEventHook([this](uint8_t code, const uint8_t* record) {
            // The reader thread: a segment report goes straight to the worker.
            if (code == reportcode::kSegmentReached)
                worker.segmentReached(GetLe32(record + 4));
            std::lock_guard lock(mutex);
            if (code == reportcode::kRunEvent)
                runEvents.push_back(record[1]);
            ++reports;
            arrived.notify_all();
        });
        ASSERT_EQ(link.Open(server->devicePath()), 0);
        ASSERT_EQ(CMD_CONNECT(link), 0);
        worker.start();
    }
    void TearDown() override {
        worker.stop();
        link.Close();
        server->stop();
        std::filesystem::remove(tracePath);
    }

    // Runs virtual time until the card reports the event, answering every window on the way.
    bool runUntil(uint8_t event) {
        for (int slice = 0; slice < kMaxSlices; ++slice) {
            const uint64_t sent = server->advance(kSliceMicros);
            std::unique_lock lock(mutex);
            if (!arrived.wait_for(lock, std::chrono::milliseconds(kWaitMs), [&] { return reports >= sent; }))
                return false;
            lock.unlock();
            if (!worker.waitUntilIdle(kWaitMs))
                return false;
            lock.lock();
            if (std::find(runEvents.begin(), runEvents.end(), event) != runEvents.end())
                return true;
        }
        return false;
    }

    std::filesystem::path tracePath;
    std::unique_ptr<sim::CardServer> server;
    CardLink link{LinkOptions{2000, 2000, 0, {}}};
    LinkMachiningCard card{link};
    ManualWorkerClock clock;
    CardWorker worker{card, clock};
    std::mutex mutex;
    std::condition_variable arrived;
    uint64_t reports = 0;
    std::vector<uint8_t> runEvents;
};

TEST_P(StreamedCut, EveryWindowFollowsTheRuleAndTheCardNeverStarves) {
    const bool reverse = GetParam();
    Program program = sim::testing::loadThreeB(zigzag(10));
    ASSERT_GE(program.count(), 11);
    const int32_t count = program.count();
    const int32_t first = reverse ? 9 : 2, last = reverse ? 2 : 9;
    LoadDescriptor descriptor;
    descriptor.setTitle("zigzag.3b");
    descriptor.loopTotal = 2;
    ASSERT_EQ(CMD_LOAD_MODEL(link, descriptor, false), 0);
    ASSERT_EQ(CMD_SET_LOOP(link, 2), 0);
    ASSERT_EQ(CMD_SET_DIRECTION(link, reverse ? 1 : 0), 0);
    ASSERT_EQ(CMD_SET_RANGE(link, first, last), 0);

    const StartPayload payload = freshStart(program, reverse ? 9 : 2, reverse);
    auto shared = std::make_shared<LoadedProgram>(std::move(program.loaded));
    worker.setProgram(shared);
    worker.setRange(WorkRange::between(first, last));
    bool started = false;
    worker.post(CardSequence("cut")
                    .then([](MachiningCard& c) { return c.setMotor(true) == 0; })
                    .then([&](MachiningCard& c) {
                        SegmentWindow window;
                        buildWindow(shared->segments.data(), count, worker.range(), first, window);
                        return c.start(StartKind::Cut, window, payload) == 0;
                    })
                    .finally([&started](bool done) { started = done; }));
    ASSERT_TRUE(worker.waitUntilIdle(kWaitMs));
    ASSERT_TRUE(started);
    ASSERT_TRUE(runUntil(sim::kEventFinished)) << "the cut did not finish";

    const sim::CardFigures figures = server->withEngine([](sim::CardEngine& e) { return e.figures(); });
    EXPECT_EQ(figures.starvations, 0u);
    EXPECT_EQ(figures.segmentsEntered, 2u * 8u - 1u) << "two loops of eight segments, the first entered by the start";
    EXPECT_EQ(worker.figures().windowsSent, figures.segmentsEntered);
    EXPECT_EQ(worker.figures().reportsIgnored, 0u);

    server->stop();
    std::ifstream in(tracePath);
    const std::regex windowPattern("\"cmd\":\"CMD_SEND_SEGMENTS\".*\"segments\":\\[(-?\\d+),(-?\\d+),(-?\\d+)\\]");
    int windows = 0;
    for (std::string line; std::getline(in, line);) {
        std::smatch m;
        if (!std::regex_search(line, m, windowPattern))
            continue;
        ++windows;
        const int a = std::stoi(m[1]), i = std::stoi(m[2]), b = std::stoi(m[3]);
        ASSERT_GE(i, 2);
        ASSERT_LE(i, 9);
        EXPECT_EQ(a, i == 2 ? 9 : i - 1) << line;
        EXPECT_EQ(b, i == 9 ? 2 : i + 1) << line;
    }
    EXPECT_EQ(windows, static_cast<int>(figures.segmentsEntered) + 1) << "the start window and one per report";
}

INSTANTIATE_TEST_SUITE_P(ForwardAndReverse, StreamedCut, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Reverse" : "Forward"; });

}  // namespace
}  // namespace korvex
