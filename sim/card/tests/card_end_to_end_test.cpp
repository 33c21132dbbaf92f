// The virtual card driven through the real card link, with the test playing the controller.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "sim/card/control.h"
#include "sim/card/tests/pc_side.h"

namespace korvex::sim::testing {
namespace {

// A 3B program with lines and a half circle; its segments are 0 (G92) .. count-1 (M02).
const char* kPlainProgram =
    "N    1: B     2000 B        0 B     2000 GX  L1;\n"
    "N    2: B        0 B     1500 B     1500 GY  L2;\n"
    "N    3: B     1000 B        0 B     2000 GY  NR1;\n"
    "N    4: B        0 B     1000 B     1000 GY  L4;\n"
    "N    5: B     3000 B      500 B     3000 GX  L3;\n"
    "N    6: DD\n";

// The same with a pause (a "D" line) after the arc.
const char* kPauseProgram =
    "N    1: B     2000 B        0 B     2000 GX  L1;\n"
    "N    2: B     1000 B        0 B     2000 GY  NR1;\n"
    "N    3: D\n"
    "N    4: B     1000 B     1000 B     1000 GX  L3;\n"
    "N    5: DD\n";

// Segment indices from..to inclusive, counting up or down.
std::vector<int32_t> span(int32_t from, int32_t to) {
    std::vector<int32_t> v;
    for (int32_t i = from; from <= to ? i <= to : i >= to; i += from <= to ? 1 : -1) v.push_back(i);
    return v;
}

class CardEndToEnd : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(server.start(), 0) << server.error(); }

    WorkParams position() {
        PositionBlock p;
        EXPECT_EQ(CMD_GET_POSITION(pc.link(), &p), 0);
        return p.work;
    }
    RunState runState() {
        RunState r;
        EXPECT_EQ(CMD_GET_RUN_STATE(pc.link(), &r), 0);
        return r;
    }
    void startCut(int32_t segment) {
        ASSERT_EQ(CMD_START_CUT(pc.link(), pc.windowAround(segment), pc.freshStart(segment)), 0);
    }
    void expectAt(const Program& program, std::pair<int32_t, int32_t> point) {
        const WorkParams w = position();
        EXPECT_EQ(w.guideX, point.first);
        EXPECT_EQ(w.guideY, point.second);
        (void)program;
    }

    CardServer server{virtualCardOptions()};
    PcSide pc{server};
};

struct DirectionCase {
    bool reverse;
    const char* name;
};

class CardRunsWholeProgram : public CardEndToEnd, public ::testing::WithParamInterface<DirectionCase> {};

TEST_P(CardRunsWholeProgram, EverySegmentOnceInOrderToTheFinishedEvent) {
    const bool reverse = GetParam().reverse;
    const Program program = loadThreeB(kPlainProgram);
    const int32_t last = program.count() - 1;
    ASSERT_EQ(pc.connect(), 0);
    const int32_t first = reverse ? last : 0;
    const int32_t end = reverse ? 0 : last;
    pc.load(program, first, end, reverse);
    EXPECT_EQ(runState().state, kRunLoaded);
    ASSERT_EQ(CMD_SET_MOTOR(pc.link(), true), 0);
    startCut(first);
    EXPECT_EQ(runState().state, kRunCutting);

    const Event finished = pc.run({kEventFinished});
    EXPECT_EQ(finished.kind(), kEventFinished);
    EXPECT_EQ(finished.mode(), kRunCutting);
    // The start segment is not reported; every other one exactly once, in the order of travel.
    EXPECT_EQ(pc.segmentsReached, span(reverse ? last - 1 : 1, end));
    expectAt(program, reverse ? std::pair<int32_t, int32_t>{0, 0} : program.endPoint());
    const RunState rs = runState();
    EXPECT_EQ(rs.state, kRunFinished);
    EXPECT_EQ(rs.subState, kRunCutting);
    const CardFigures figures = server.withEngine([](CardEngine& e) { return e.figures(); });
    EXPECT_EQ(figures.segmentsEntered, static_cast<uint64_t>(last));
    EXPECT_TRUE(pc.linkFailures.empty());
}

INSTANTIATE_TEST_SUITE_P(Directions, CardRunsWholeProgram,
                         ::testing::Values(DirectionCase{false, "Forward"}, DirectionCase{true, "Reverse"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CardOnRealClock, RunsTheProgramTheSameWayFasterThanRealTime) {
    ServerOptions options = virtualCardOptions();
    options.manualClock = false;
    options.speedScale = 500;  // the outcome does not depend on it: a card never runs past its window
    CardServer server(options);
    ASSERT_EQ(server.start(), 0) << server.error();
    PcSide pc(server, 2000);
    const Program program = loadThreeB(kPlainProgram);
    const int32_t last = program.count() - 1;
    ASSERT_EQ(pc.connect(), 0);
    pc.load(program, 0, last, false);
    ASSERT_EQ(CMD_START_WALK(pc.link(), pc.windowAround(0), pc.freshStart(0)), 0);
    EXPECT_EQ(pc.runLive({kEventFinished}).mode(), kRunWalking);
    EXPECT_EQ(pc.segmentsReached, span(1, last));
    PositionBlock end;
    ASSERT_EQ(CMD_GET_POSITION(pc.link(), &end), 0);
    EXPECT_EQ(end.work.guideX, program.endPoint().first);
    EXPECT_EQ(end.work.guideY, program.endPoint().second);
}

TEST_F(CardEndToEnd, PauseSegmentPausesAndTheCutContinuesFromThere) {
    const Program program = loadThreeB(kPauseProgram);
    const int32_t last = program.count() - 1;
    ASSERT_EQ(pc.connect(), 0);
    pc.load(program, 0, last, false);
    startCut(0);

    const Event paused = pc.run({kEventPause, kEventFinished});
    ASSERT_EQ(paused.kind(), kEventPause);
    EXPECT_EQ(paused.mode(), kRunCutting);
    EXPECT_EQ(program.loaded.segments.at(static_cast<std::size_t>(pc.segmentsReached.back())).lower.kind,
              kElementPause);
    EXPECT_EQ(runState().state, kRunPaused);
    EXPECT_EQ(runState().subState, kRunCutting);

    // As the controller does: stop, read the state block, continue from the card's point.
    StatusBlock stopped;
    ASSERT_EQ(CMD_STOP(pc.link(), &stopped), 0);
    StateBlock state;
    ASSERT_EQ(CMD_GET_STATE(pc.link(), &state), 0);
    const WorkParams at = state.status.work;
    ASSERT_EQ(CMD_START_CUT(pc.link(), pc.windowAround(at.segment), pc.startFrom(at)), 0);
    EXPECT_EQ(pc.run({kEventPause, kEventFinished}).kind(), kEventFinished);
    EXPECT_EQ(pc.segmentsReached, span(1, last));
    expectAt(program, program.endPoint());
}

TEST_F(CardEndToEnd, IgnorePauseRunsThroughThePauseSegment) {
    const Program program = loadThreeB(kPauseProgram);
    ASSERT_EQ(pc.connect(), 0);
    pc.load(program, 0, program.count() - 1, false);
    ASSERT_EQ(CMD_SET_IGNORE_PAUSE(pc.link(), true), 0);
    startCut(0);
    EXPECT_EQ(pc.run({kEventPause, kEventFinished}).kind(), kEventFinished);
    expectAt(program, program.endPoint());
}

TEST_F(CardEndToEnd, ShortCircuitBacksOffThenResumesAndTheCutEndsOnThePath) {
    const Program program = loadThreeB(kPlainProgram);
    ASSERT_EQ(pc.connect(), 0);
    pc.load(program, 0, program.count() - 1, false);
    ASSERT_EQ(CMD_SET_HF(pc.link(), true), 0);
    startCut(0);
    pc.runFor(4 * kSliceMicros);  // well into the first line
    ASSERT_EQ(server.shortCircuit(), 0);
    int32_t level = 0;
    ASSERT_EQ(CMD_GET_HF_LEVEL(pc.link(), &level), 0);
    EXPECT_GT(level, 1000) << "a short circuit shows as a high HF level";

    const Event backing = pc.run({kEventShortBack});
    EXPECT_EQ(backing.mode(), kRunCutting);
    EXPECT_EQ(runState().state, kRunShortBack);
    const Event resumed = pc.run({kEventCutResumed});
    EXPECT_EQ(resumed.mode(), kRunShortBack);
    EXPECT_EQ(runState().state, kRunCutting);
    EXPECT_EQ(pc.run({kEventFinished}).kind(), kEventFinished);
    expectAt(program, program.endPoint());
}

TEST_F(CardEndToEnd, WireBreakStopsTheCutWithEventEight) {
    const Program program = loadThreeB(kPlainProgram);
    ASSERT_EQ(pc.connect(), 0);
    pc.load(program, 0, program.count() - 1, false);
    startCut(0);
    pc.runFor(2 * kSliceMicros);
    ASSERT_EQ(server.wireBreak(), 0);
    const Event broken = pc.run({kEventBreak});
    EXPECT_EQ(broken.mode(), kRunCutting);
    EXPECT_EQ(runState().state, kRunStoppedByCard);
    const WorkParams before = position();
    pc.runFor(4 * kSliceMicros);
    EXPECT_EQ(position().lower.steps, before.lower.steps) << "nothing moves after a break";
}

TEST_F(CardEndToEnd, SilentCardMakesTheLinkReportItsFailure) {
    ASSERT_EQ(pc.connect(), 0);
    server.setSilence(true);
    RunState r;
    EXPECT_EQ(CMD_GET_RUN_STATE(pc.link(), &r), -1);
    ASSERT_EQ(pc.linkFailures.size(), 1u);
    EXPECT_EQ(pc.linkFailures[0], cmdcode::CMD_GET_RUN_STATE);
    server.setSilence(false);
    EXPECT_EQ(CMD_GET_RUN_STATE(pc.link(), &r), 0);
}

TEST_F(CardEndToEnd, RetriedStartAfterALostAnswerActsOnce) {
    const Program program = loadThreeB(kPlainProgram);
    ASSERT_EQ(pc.connect(), 0);
    pc.load(program, 0, program.count() - 1, false);
    ASSERT_EQ(CMD_SEND_SEGMENTS(pc.link(), pc.windowAround(0)), 0);
    server.dropNextResponse();
    // Executed twice, the second start would be refused while the first one runs.
    EXPECT_EQ(CMD_START_CUT(pc.link(), pc.windowAround(0), pc.freshStart(0)), 0);
    EXPECT_EQ(server.counters().retries, 1u);
    EXPECT_EQ(pc.run({kEventFinished}).kind(), kEventFinished);
    EXPECT_EQ(pc.segmentsReached, span(1, program.count() - 1));
}

TEST_F(CardEndToEnd, CorruptDuplicateAndNoisyAnswersAreSurvived) {
    ASSERT_EQ(pc.connect(), 0);
    uint32_t id = 0;
    server.corruptNextResponse();
    EXPECT_EQ(CMD_GET_CARD_ID(pc.link(), &id), 0);
    EXPECT_EQ(id, kDefaultCardId);
    EXPECT_EQ(server.counters().retries, 1u) << "the corrupted answer is asked for again";
    // The second copy is dropped as stray, or lands in the next transaction as the answer of
    // another command and makes it send again: both end well.
    server.duplicateNextResponse();
    EXPECT_EQ(CMD_KEEP_ALIVE(pc.link()), 0);
    server.injectNoise(64);
    RunState r;
    EXPECT_EQ(CMD_GET_RUN_STATE(pc.link(), &r), 0);
    EXPECT_EQ(r.state, kRunNoProgram);
    EXPECT_TRUE(pc.linkFailures.empty());
}

TEST(CardRestart, StateFileKeepsTheWorkAndARestoreLoadFinishesIt) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                      ("kvcardsim-restart-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string statePath = (dir / "card.mem").string();
    const Program program = loadThreeB(kPlainProgram);
    const int32_t last = program.count() - 1;

    const std::string tracePath = (dir / "card.jsonl").string();
    WorkParams interrupted;
    uint64_t stepsRun = 0;
    std::string statusLine;
    {
        ServerOptions options = virtualCardOptions(statePath);
        options.tracePath = tracePath;
        CardServer server(options);
        ASSERT_EQ(server.start(), 0) << server.error();
        PcSide pc(server);
        ASSERT_EQ(pc.connect(), 0);
        pc.load(program, 0, last, false);
        ASSERT_EQ(CMD_START_CUT(pc.link(), pc.windowAround(0), pc.freshStart(0)), 0);
        pc.runFor(40 * kSliceMicros);  // into the arc
        ASSERT_LT(pc.segmentsReached.size(), static_cast<std::size_t>(last));
        ASSERT_EQ(applyControlCommand(server, "status", statusLine), 0);
        server.powerLoss();
        interrupted = server.withEngine([](CardEngine& e) { return e.position(); });
        stepsRun = server.withEngine([](CardEngine& e) { return e.figures().stepsRun; });
    }
    ASSERT_GT(interrupted.segment, 0);
    ASSERT_GT(interrupted.lower.steps, 0);
    // The status line, the start and the power loss in the trace name the point and the steps run.
    EXPECT_NE(statusLine.find(describePointWords(interrupted, stepsRun)), std::string::npos) << statusLine;
    {
        std::ifstream in(tracePath);
        std::string start, loss;
        for (std::string line; std::getline(in, line);) {
            if (line.find("\"CMD_START_CUT\"") != std::string::npos) start = line;
            if (line.find("\"powerloss\"") != std::string::npos) loss = line;
        }
        EXPECT_NE(start.find("\"point\":{\"segment-index\":0,\"lower\":[0,"), std::string::npos) << start;
        EXPECT_NE(loss.find(describePoint(interrupted, stepsRun)), std::string::npos) << loss;
    }

    CardServer server(virtualCardOptions(statePath));
    ASSERT_EQ(server.start(), 0) << server.error();
    PcSide pc(server);
    ASSERT_EQ(pc.connect(), 0);
    WorkRecord record;
    ASSERT_EQ(CMD_GET_WORK_RECORD(pc.link(), &record), 0);
    EXPECT_EQ(record.kind, kWorkRecordCut);
    EXPECT_EQ(record.load.title(), "test.3b");
    EXPECT_EQ(record.load.rangeLast, last);
    EXPECT_EQ(record.work.segment, interrupted.segment);
    EXPECT_EQ(record.work.lower.steps, interrupted.lower.steps);
    EXPECT_EQ(record.work.guideX, interrupted.guideX);
    EXPECT_EQ(record.work.guideY, interrupted.guideY);

    // The controller's recovery: load the program afresh, then hand the record's descriptor back.
    pc.load(program, 0, last, false);
    ASSERT_EQ(CMD_LOAD_MODEL(pc.link(), record.load, true), 0);
    StateBlock state;
    ASSERT_EQ(CMD_GET_STATE(pc.link(), &state), 0);
    EXPECT_EQ(state.status.runState, kRunRestored);
    EXPECT_EQ(state.rangeLast, last);
    ASSERT_EQ(CMD_START_CUT(pc.link(), pc.windowAround(record.work.segment), pc.startFrom(record.work)), 0);
    EXPECT_EQ(pc.run({kEventFinished}).kind(), kEventFinished);
    EXPECT_EQ(pc.segmentsReached, span(record.work.segment + 1, last));
    PositionBlock end;
    ASSERT_EQ(CMD_GET_POSITION(pc.link(), &end), 0);
    EXPECT_EQ(end.work.guideX, program.endPoint().first);
    EXPECT_EQ(end.work.guideY, program.endPoint().second);
    pc.link().Close();
    server.stop();
    std::filesystem::remove_all(dir);
}

TEST(CardTrace, EveryRequestAndReportIsOneJsonLine) {
    const std::filesystem::path trace = std::filesystem::temp_directory_path() /
                                        ("kvcardsim-trace-" + std::to_string(::getpid()) + ".jsonl");
    ServerOptions options = virtualCardOptions();
    options.tracePath = trace.string();
    const Program program = loadThreeB(kPlainProgram);
    {
        CardServer server(options);
        ASSERT_EQ(server.start(), 0) << server.error();
        PcSide pc(server);
        server.setResponseDelay(0);  // leaves a fault line
        ASSERT_EQ(pc.connect(), 0);
        pc.load(program, 0, program.count() - 1, false);
        ASSERT_EQ(CMD_START_CUT(pc.link(), pc.windowAround(0), pc.freshStart(0)), 0);
        pc.run({kEventFinished});
        pc.link().Close();
        server.stop();
    }
    std::ifstream in(trace);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    std::filesystem::remove(trace);
    auto count = [&lines](const std::string& needle) {
        return std::count_if(lines.begin(), lines.end(),
                             [&](const std::string& l) { return l.find(needle) != std::string::npos; });
    };
    for (const std::string& l : lines) {
        EXPECT_EQ(l.front(), '{');
        EXPECT_EQ(l.back(), '}');
        for (const char* key : {"\"t\":", "\"dir\":", "\"cmd\":"}) EXPECT_NE(l.find(key), std::string::npos) << l;
    }
    EXPECT_EQ(count("\"dir\":\"fault\",\"cmd\":\"FAULT\",\"what\":\"delay 0\""), 1);
    EXPECT_EQ(count("\"cmd\":\"CMD_CONNECT\""), 1);
    EXPECT_EQ(count("\"cmd\":\"CMD_START_CUT\",\"seq\""), 1);
    EXPECT_EQ(count("\"segments\":[0,1,2]"), 1) << "the window before the start";
    EXPECT_EQ(count("\"type\":2,\"segment\""), program.count() - 1);
    EXPECT_EQ(count("\"mode\":3,\"event\":11"), 1);
    EXPECT_EQ(count("\"dir\":\"rx\""), count("\"state\":"));
}

}  // namespace
}  // namespace korvex::sim::testing
