// The virtual card's settings and the work behaviour they steer, through the real link: defaults
// a configuration dialog accepts as they stand, a roll gap of 0, a lasting short circuit and the
// back stop time, the clearance wait at corners, and what the trace shows of each setting.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "sim/card/control.h"
#include "sim/card/tests/pc_side.h"

namespace korvex::sim::testing {
namespace {

constexpr int64_t kSecond = 1000000;

// One long line: a cut at the default speeds takes minutes, so nothing ends it by itself.
const char* kLongLine = "N 1: B 90000 B 0 B 90000 GX L1;\nN 2: DD\n";

// Lines and an arc: segments 0 (G92), 1..5 cut, 6 (M02).
const char* kFiveCorners =
    "N    1: B     2000 B        0 B     2000 GX  L1;\n"
    "N    2: B        0 B     1500 B     1500 GY  L2;\n"
    "N    3: B     1000 B        0 B     2000 GY  NR1;\n"
    "N    4: B        0 B     1000 B     1000 GY  L4;\n"
    "N    5: B     3000 B      500 B     3000 GX  L3;\n"
    "N    6: DD\n";

class CardSettings : public ::testing::Test {
protected:
    void SetUp() override {
        options.tracePath = trace.string();
        server = std::make_unique<CardServer>(options);
        ASSERT_EQ(server->start(), 0) << server->error();
        pc = std::make_unique<PcSide>(*server);
        ASSERT_EQ(pc->connect(), 0);
    }
    void TearDown() override {
        pc.reset();
        server.reset();
        std::filesystem::remove(trace);
    }
    SettingsBlock settings() {
        SettingsBlock s;
        EXPECT_EQ(CMD_GET_SETTINGS(pc->link(), &s), 0);
        return s;
    }
    RunState runState() {
        RunState r;
        EXPECT_EQ(CMD_GET_RUN_STATE(pc->link(), &r), 0);
        return r;
    }
    void cut(const Program& program, uint8_t startCommand = cmdcode::CMD_START_CUT) {
        pc->load(program, 0, program.count() - 1, false);
        const int r = startCommand == cmdcode::CMD_START_WALK
                          ? CMD_START_WALK(pc->link(), pc->windowAround(0), pc->freshStart(0))
                          : CMD_START_CUT(pc->link(), pc->windowAround(0), pc->freshStart(0));
        ASSERT_EQ(r, 0);
    }
    void tell(const std::string& line) {
        std::string reply;
        ASSERT_EQ(applyControlCommand(*server, line, reply), 0) << reply;
    }
    template <class F>
    auto onCard(F f) {
        return server->withEngine(f);
    }
    std::vector<std::string> traceLines() {
        std::ifstream in(trace);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }

    std::filesystem::path trace = std::filesystem::temp_directory_path() /
                                  ("kvcardsim-settings-" + std::to_string(::getpid()) + ".jsonl");
    ServerOptions options = virtualCardOptions();
    std::unique_ptr<CardServer> server;
    std::unique_ptr<PcSide> pc;
};

// Every field a configuration dialog shows, with the range its OK accepts.
void expectInsideDialogRanges(const SettingsBlock& s) {
    auto in = [](int v, int lo, int hi) { return v >= lo && v <= hi; };
    EXPECT_TRUE(in(s.phase[0], 0, 4)) << "XY drive type";
    EXPECT_TRUE(in(s.phase[1], 1, 100)) << "XY pulse rate";
    EXPECT_TRUE(in(s.phase[2], 1, 10)) << "XY pulse width";
    EXPECT_TRUE(s.phase[8] == 0 || s.phase[8] == 3 || s.phase[8] == 4) << "UV drive type";
    EXPECT_TRUE(in(s.phase[9], 1, 100)) << "UV pulse rate";
    EXPECT_TRUE(in(s.phase[10], 1, 10)) << "UV pulse width";
    EXPECT_TRUE(in(s.speeds[0], 10, 20000)) << "maximum X/Y";
    EXPECT_TRUE(in(s.speeds[1], 10, 1000)) << "maximum U/V";
    EXPECT_TRUE(in(s.speeds[2], 1, 20000)) << "motor-off simulation";
    EXPECT_TRUE(in(s.speeds[3], 1, 1000)) << "manual back";
    EXPECT_TRUE(in(s.speeds[4], 10, 1000)) << "cut-limited X/Y";
    EXPECT_TRUE(in(s.speeds[5], 10, 1000)) << "cut-limited U/V";
    EXPECT_TRUE(in(s.trackMode, 0, 1));
    EXPECT_TRUE(in(s.clearanceSeconds, 0, 15));
    EXPECT_TRUE(in(s.backDelaySeconds, 5, 35));
    EXPECT_TRUE(in(s.backStopSeconds, 15, 60));
    EXPECT_TRUE(in(s.rollGapMicroseconds, 0, 200));
    for (uint8_t flag : s.axisInvert) EXPECT_LE(flag, 1);
}

TEST_F(CardSettings, DefaultsLieInsideEveryDialogRangeAlsoAfterRestoreDefaults) {
    expectInsideDialogRanges(settings());
    ASSERT_EQ(CMD_SET_SPEED_LIMITS(pc->link(), {5, 5, 5, 5, 5, 5}), 0);
    ASSERT_EQ(CMD_SET_BACK_DELAY(pc->link(), 1), 0);
    ASSERT_EQ(CMD_RESTORE_DEFAULTS(pc->link()), 0);
    expectInsideDialogRanges(settings());
}

TEST_F(CardSettings, RollGapOfZeroIsTakenANegativeOneRefused) {
    ASSERT_EQ(CMD_SET_ROLL_GAP(pc->link(), 0), 0);
    EXPECT_EQ(settings().rollGapMicroseconds, 0);
    EXPECT_EQ(CMD_SET_ROLL_GAP(pc->link(), -1), -1);
    EXPECT_EQ(settings().rollGapMicroseconds, 0);
    // Fast roll with no gap between pulses still reports.
    ASSERT_EQ(CMD_START_FAST_ROLL(pc->link()), 0);
    pc->runFor(kSecond);
    RollInfo roll{};
    ASSERT_EQ(CMD_STOP_FAST_ROLL(pc->link(), &roll), 0);
    EXPECT_GT(GetLe32(roll.data() + 8), 0) << "pulses rolled";
}

TEST_F(CardSettings, AShortThatClearsWithinTheBackStopTimeBacksAndCutsOn) {
    ASSERT_EQ(CMD_SET_BACK_DELAY(pc->link(), 5), 0);
    ASSERT_EQ(CMD_SET_BACK_STOP_TIME(pc->link(), 15), 0);
    const Program program = loadThreeB(kLongLine);
    cut(program);
    pc->runFor(10 * kSecond);
    tell("short 12");
    EXPECT_EQ(pc->run({kEventShortBack}).mode(), kRunCutting);
    // Backing from 5 s to 12 s, 7 s in all: well within the 15 s back stop time.
    const Event resumed = pc->run({kEventCutResumed, kEventPause});
    EXPECT_EQ(resumed.kind(), kEventCutResumed);
    EXPECT_EQ(resumed.mode(), kRunShortBack);
    EXPECT_EQ(runState().state, kRunCutting);

    // Cleared before the back delay: the card never backs.
    const std::size_t events = pc->events.size();
    tell("short 3");
    pc->runFor(6 * kSecond);
    EXPECT_EQ(pc->events.size(), events);
    EXPECT_EQ(runState().state, kRunCutting);
    EXPECT_EQ(onCard([](CardEngine& e) { return e.figures().shortCircuits; }), 2u);
}

TEST_F(CardSettings, BackingLongerThanTheBackStopTimeStopsTheWork) {
    ASSERT_EQ(CMD_SET_BACK_DELAY(pc->link(), 5), 0);
    ASSERT_EQ(CMD_SET_BACK_STOP_TIME(pc->link(), 15), 0);
    const Program program = loadThreeB(kLongLine);
    cut(program);
    pc->runFor(10 * kSecond);
    tell("short 60");
    ASSERT_EQ(pc->run({kEventShortBack}).kind(), kEventShortBack);
    const int64_t backingFrom = onCard([](CardEngine& e) { return e.now(); });
    const Event stopped = pc->run({kEventCutResumed, kEventPause});
    const int64_t backed = onCard([](CardEngine& e) { return e.now(); }) - backingFrom;
    EXPECT_EQ(stopped.kind(), kEventPause);
    EXPECT_EQ(stopped.mode(), kRunShortBack);
    const RunState run = runState();
    EXPECT_EQ(run.state, kRunPaused);
    EXPECT_EQ(run.subState, kRunShortBack);
    EXPECT_GT(backed, 15 * kSecond);
    EXPECT_LT(backed, 16 * kSecond) << "stopped once the back stop time was up, not at the short's end";
    EXPECT_EQ(onCard([](CardEngine& e) { return e.figures().backStops; }), 1u);
    const auto lines = traceLines();
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::string& l) {
        return l.find("\"what\":\"short 60\"") != std::string::npos;
    }));
}

TEST_F(CardSettings, ACutWaitsTheClearanceAtEachCornerAndAWalkDoesNot) {
    const Program program = loadThreeB(kFiveCorners);
    auto finishTime = [&](int clearance, uint8_t startCommand) {
        EXPECT_EQ(CMD_SET_CLEARANCE(pc->link(), clearance), 0);
        const int64_t from = onCard([](CardEngine& e) { return e.now(); });
        cut(program, startCommand);
        EXPECT_EQ(pc->run({kEventFinished}).kind(), kEventFinished);
        return onCard([](CardEngine& e) { return e.now(); }) - from;
    };
    const int64_t plain = finishTime(0, cmdcode::CMD_START_CUT);
    EXPECT_EQ(onCard([](CardEngine& e) { return e.figures().clearanceWaits; }), 0u);
    const int64_t waited = finishTime(2, cmdcode::CMD_START_CUT);
    const CardFigures f = onCard([](CardEngine& e) { return e.figures(); });
    EXPECT_EQ(f.clearanceWaits, 5u) << "segments 1 to 5 are entered; G92 and M02 are no corner";
    EXPECT_EQ(f.clearanceMicros, 5 * 2 * kSecond);
    // The run's time is measured in slices of virtual time.
    EXPECT_NEAR(static_cast<double>(waited - plain), 10.0 * kSecond, 2.0 * kSliceMicros);

    finishTime(2, cmdcode::CMD_START_WALK);
    EXPECT_EQ(onCard([](CardEngine& e) { return e.figures().clearanceWaits; }), 5u) << "a walk cuts nothing";
    std::string status;
    ASSERT_EQ(applyControlCommand(*server, "status", status), 0);
    EXPECT_NE(status.find("clearance-waits 5 clearance-ms 10000"), std::string::npos) << status;
}

TEST_F(CardSettings, TheTraceShowsWhatEachSettingsMotionGroupAndFeedCommandCarried) {
    const PhaseSettings phase{1, 20, 5, 2, 9, 9, 9, 9, 3, 30, 6, 1, 0, 0, 0, 0};
    ASSERT_EQ(CMD_SET_PHASE(pc->link(), phase), 0);
    ASSERT_EQ(CMD_SET_ROLL_GAP(pc->link(), 150), 0);
    ASSERT_EQ(CMD_SET_AXIS_INVERT(pc->link(), {1, 0, 0, 1}), 0);
    ASSERT_EQ(CMD_SET_CLEARANCE(pc->link(), 7), 0);
    ASSERT_EQ(CMD_SET_BACK_DELAY(pc->link(), 12), 0);
    ASSERT_EQ(CMD_SET_BACK_STOP_TIME(pc->link(), 40), 0);
    ASSERT_EQ(CMD_SET_SPEED_LIMITS(pc->link(), {2000, 900, 7000, 300, 250, 200}), 0);
    ASSERT_EQ(CMD_SET_TRACK(pc->link(), 1), 0);
    ASSERT_EQ(CMD_SET_MACHINE_NAME(pc->link(), "W-2"), 0);
    ASSERT_EQ(CMD_STOP_ALL(pc->link(), false), 0);
    ASSERT_EQ(CMD_SET_MOTOR(pc->link(), true), 0);
    ASSERT_EQ(CMD_STEP_AXIS(pc->link(), 0x04), 0);
    ASSERT_EQ(CMD_JOG(pc->link(), {0, -250, 0, 0}), 0);
    StatusBlock stopped;
    ASSERT_EQ(CMD_STOP(pc->link(), &stopped), 0);
    ASSERT_EQ(CMD_SET_SWITCH_WITHOUT_VF(pc->link(), true), 0);
    ASSERT_EQ(CMD_SET_FEED(pc->link(), {1, 0, 2, 0, 3, 0, 4, 0}, 120), 0);

    const auto lines = traceLines();
    auto line = [&lines](const std::string& command) {
        for (const std::string& l : lines)
            if (l.find("\"cmd\":\"" + command + "\",") != std::string::npos) return l;
        return std::string();
    };
    const struct {
        const char* command;
        const char* essentials;
    } expected[] = {
        {"CMD_SET_PHASE", "\"xy\":[1,20,5,2],\"uv\":[3,30,6,1]"},
        {"CMD_SET_ROLL_GAP", "\"value\":150"},
        {"CMD_SET_AXIS_INVERT", "\"invert\":[1,0,0,1]"},
        {"CMD_SET_CLEARANCE", "\"value\":7"},
        {"CMD_SET_BACK_DELAY", "\"value\":12"},
        {"CMD_SET_BACK_STOP_TIME", "\"value\":40"},
        {"CMD_SET_SPEED_LIMITS", "\"speeds\":[2000,900,7000,300,250,200]"},
        {"CMD_SET_TRACK", "\"value\":1"},
        {"CMD_SET_MACHINE_NAME", "\"name\":\"W-2\""},
        {"CMD_STOP_ALL", "\"value\":0"},
        {"CMD_SET_MOTOR", "\"value\":1"},
        {"CMD_STEP_AXIS", "\"mask\":4"},
        {"CMD_JOG", "\"steps\":[0,-250,0,0]"},
        {"CMD_SET_SWITCH_WITHOUT_VF", "\"value\":1"},
        {"CMD_SET_FEED", "\"feed\":120,\"entry\":[1,2,3,4]"},
    };
    for (const auto& e : expected) {
        const std::string l = line(e.command);
        EXPECT_NE(l.find(e.essentials), std::string::npos) << e.command << ": " << l;
    }
}

}  // namespace
}  // namespace korvex::sim::testing
