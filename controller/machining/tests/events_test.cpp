// The card's run events handled headless on the virtual card: what each sends, how long its
// waits last on the card's clock, and what the operator sees.
#include <gtest/gtest.h>

#include "controller/link/commands.h"
#include "controller/machining/tests/machine_harness.h"
#include "sim/card/card_engine.h"

namespace korvex::testing {
namespace {

using Commands = std::vector<std::string>;

const char* kPauseProgram =
    "N    1: B     2000 B        0 B     2000 GX  L1;\n"
    "N    2: D\n"
    "N    3: B     1000 B     1000 B     1000 GX  L3;\n"
    "N    4: DD\n";

const char* kLongLine = "N 1: B 90000 B 0 B 90000 GX L1;\nN 2: DD\n";

std::string switchProgram(int l) {
    return "N0 G92 X0.000 Y0.000;\n"
           "N1 G01 X0.300 Y0.000;\n"
           "N2 T17 E1F2L" + std::to_string(l) + "Q0;\n"
           "N3 G01 X0.000 Y3.000;\n"
           "N4 M02;\n";
}

// The commands from the first one named `from` on, with their times relative to it.
std::vector<std::pair<double, std::string>> from(const Machine& m, const std::string& first) {
    auto all = m.timedCommands();
    std::vector<std::pair<double, std::string>> out;
    for (const auto& [t, text] : all) {
        if (out.empty() && text != first)
            continue;
        out.emplace_back(out.empty() ? 0.0 : t - (all.empty() ? 0 : out.front().first + 0), text);
    }
    if (!out.empty())
        out.front().first = 0;
    return out;
}

void startCut(Machine& m, std::pair<int32_t, int32_t> range, Operation op = Operation::Cut) {
    m.host.range = range;
    m.operations.press(op);
    m.settle();
    ASSERT_EQ(m.operations.label(op), ButtonLabel::Pause);
    m.advance(1000);  // HF on
    m.markTrace();
}

class PauseSegment : public ::testing::TestWithParam<bool> {};

TEST_P(PauseSegment, PausesACutWithTheTotalStopPulseUnlessItIsDisabled) {
    const bool noStopAll = GetParam();
    Machine m(noStopAll ? "pause-nostop" : "pause");
    m.host.settings.noStopAll = noStopAll;
    m.load(kPauseProgram);
    startCut(m, {0, 2});
    ASSERT_TRUE(m.runUntil(sim::kEventPause));
    m.advance(4000);
    EXPECT_EQ(m.host.texts.back(), "61572");
    EXPECT_EQ(m.host.alarms, (Commands{"61572 2"}));
    EXPECT_EQ(m.host.finishActions, (std::vector<int>{1})) << "a paused cut runs the pause's finish action";
    EXPECT_TRUE(m.operations.idle());
    EXPECT_EQ(m.operations.label(Operation::Cut), ButtonLabel::Start);
    const auto seen = from(m, "CMD_SET_HF 0");
    Commands names;
    for (const auto& [t, text] : seen)
        names.push_back(text);
    if (noStopAll) {
        EXPECT_EQ(names, (Commands{"CMD_SET_HF 0", "CMD_STOP"}));
        ASSERT_EQ(seen.size(), 2u);
        EXPECT_GE(seen[1].first, 3.0) << "the waits remain without the stop-all output";
    } else {
        EXPECT_EQ(names, (Commands{"CMD_SET_HF 0", "CMD_STOP_ALL 1", "CMD_STOP_ALL 0", "CMD_STOP"}));
        ASSERT_EQ(seen.size(), 4u);
        EXPECT_GE(seen[1].first, 1.0);
        EXPECT_GE(seen[2].first - seen[1].first, 2.0);
    }
}

INSTANTIATE_TEST_SUITE_P(StopAll, PauseSegment, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "NoStopAll" : "WithStopAll"; });

TEST(Events, APausedSimulationNeverPulsesTheTotalStop) {
    Machine m("pause-sim");
    m.load(kPauseProgram);
    m.host.range = std::pair{0, 2};
    m.operations.press(Operation::Simulate);
    m.settle();
    m.markTrace();
    ASSERT_TRUE(m.runUntil(sim::kEventPause));
    m.advance(500);
    EXPECT_EQ(m.commands(), (Commands{"CMD_STOP"}));
    EXPECT_EQ(m.host.texts.back(), "61572");
    EXPECT_TRUE(m.host.finishActions.empty());
}

TEST(Events, ShortCircuitBacksWithTheAlarmAndAPauseDuringItStopsTheBack) {
    Machine m("short");
    m.load(kLongLine);
    startCut(m, {1, 1});
    m.tell("short");
    ASSERT_TRUE(m.runUntil(sim::kEventCutResumed));
    m.settle();
    EXPECT_EQ(Commands(m.host.texts.end() - 2, m.host.texts.end()), (Commands{"61493", "61494"}));
    EXPECT_EQ(m.host.sounds, (Commands{"on 1", "off 1"}));
    EXPECT_TRUE(m.worker.timerRunning(kTimerCut));
    EXPECT_FALSE(m.worker.timerRunning(kTimerBack));
    EXPECT_TRUE(m.worker.timerRunning(kTimerUsedTime)) << "the used time runs on through the back";

    // A second short with a slow back, paused with the Cut button while the card backs.
    SettingsBlock settings;
    ASSERT_EQ(CMD_GET_SETTINGS(m.link, &settings), 0);
    SpeedLimits speeds;
    std::copy(settings.speeds.begin(), settings.speeds.end(), speeds.begin());
    speeds[sim::kSpeedBack] = 10;
    ASSERT_EQ(CMD_SET_SPEED_LIMITS(m.link, speeds), 0);
    m.tell("short");
    // The first short's event is seen already: the card backs once the back delay has passed.
    ASSERT_TRUE(m.runUntil(sim::kEventShortBack));
    m.advance((settings.backDelaySeconds + 1) * 1000);
    ASSERT_EQ(m.server->withEngine([](sim::CardEngine& e) { return e.runState(); }), sim::kRunShortBack);
    EXPECT_TRUE(m.worker.timerRunning(kTimerBack));
    m.operations.press(Operation::Cut);
    m.settle();
    EXPECT_EQ(m.host.texts.back(), "61496");
    EXPECT_FALSE(m.worker.timerRunning(kTimerBack));
    EXPECT_FALSE(m.worker.timerRunning(kTimerCut));
}

TEST(Events, BreakStopsTheCutAndAGroupSwitchAfterItSendsNothing) {
    Machine m("break");
    m.load(kLongLine);
    startCut(m, {1, 1});
    m.tell("break");
    m.advance(3500);
    EXPECT_EQ(m.host.smsSent, (Commands{"61512"}));
    EXPECT_EQ(m.host.texts.back(), "61512");
    EXPECT_EQ(m.host.alarms, (Commands{"61513 1"}));
    EXPECT_EQ(m.commands(), (Commands{"CMD_SET_HF 0", "CMD_STOP_ALL 1", "CMD_STOP_ALL 0", "CMD_STOP"}));
    m.markTrace();
    m.tell("report 1 0310000000000000");  // a group switch point, mode cutting
    m.advance(3000);
    EXPECT_TRUE(m.commands().empty());
}

TEST(Events, FinishedCutSendsTheNoticeRunsTheFinishActionThenShowsTheBox) {
    Machine m("finish");
    m.load(kPauseProgram);
    startCut(m, {3, 3});
    ASSERT_TRUE(m.runUntil(sim::kEventFinished));
    m.advance(3500);
    EXPECT_EQ(m.host.smsSent, (Commands{"61502"}));
    EXPECT_EQ(m.host.finishActions, (std::vector<int>{2}));
    EXPECT_EQ(m.host.alarms, (Commands{"61622 2"}));
    EXPECT_EQ(m.host.texts.back(), "61622");
    EXPECT_TRUE(m.host.workStarted());
    EXPECT_EQ(m.commands(), (Commands{"CMD_SET_HF 0", "CMD_STOP_ALL 1", "CMD_STOP_ALL 0", "CMD_GET_STATUS"}));
}

class GroupSwitch : public ::testing::TestWithParam<bool> {};

TEST_P(GroupSwitch, SwitchesWithHfOffAroundTheAdjustedStartOnlyWhenHfWasOn) {
    const bool hfOn = GetParam();
    Machine m(hfOn ? "switch-hf" : "switch");
    m.load(switchProgram(0), 1, false, "machine.iso");
    startCut(m, {0, static_cast<int32_t>(m.program->segments.size()) - 1});
    if (!hfOn) {
        m.operations.toggleHf();  // Freq F2
        m.settle();
        ASSERT_FALSE(m.operations.hfOn());
    }
    m.markTrace();
    ASSERT_TRUE(m.runUntil(sim::kEventGroupSwitch));
    m.advance(2500);
    const auto seen = m.timedCommands(true);
    Commands names;
    double adjustedAt = -1, hfAt = -1;
    for (const auto& [t, text] : seen) {
        if (names.empty() && text != "CMD_GET_STATE")
            continue;  // window answers before the switch
        if (text == "CMD_SEND_SEGMENTS" && adjustedAt >= 0)
            continue;  // window answers after it
        if (text.rfind("CMD_GET_POSITION", 0) == 0 || text.rfind("CMD_GET_HF_LEVEL", 0) == 0 ||
            text.rfind("CMD_GET_RUN_STATE", 0) == 0)
            continue;
        names.push_back(text);
        if (text.rfind("CMD_START_ADJUSTED", 0) == 0)
            adjustedAt = t;
        if (text == "CMD_SET_HF 1")
            hfAt = t;
    }
    ASSERT_GE(names.size(), 3u);
    if (hfOn) {
        EXPECT_EQ(Commands(names.begin(), names.begin() + 5),
                  (Commands{"CMD_GET_STATE", "CMD_SET_HF 0", "CMD_SEND_SEGMENTS", "CMD_START_ADJUSTED 2",
                            "CMD_SET_HF 1"}));
        EXPECT_GE(hfAt - adjustedAt, 2.0);
    } else {
        EXPECT_EQ(Commands(names.begin(), names.begin() + 3),
                  (Commands{"CMD_GET_STATE", "CMD_SEND_SEGMENTS", "CMD_START_ADJUSTED 2"}));
        EXPECT_EQ(std::count_if(names.begin(), names.end(), [](const std::string& s) { return s.rfind("CMD_SET_HF", 0) == 0; }), 0);
    }
    EXPECT_EQ(m.operations.label(Operation::Cut), ButtonLabel::Pause)
        << "the work resumed by the switch stays pausable";
    EXPECT_FALSE(m.operations.idle());
    ASSERT_TRUE(m.runUntil(sim::kEventFinished));
}

INSTANTIATE_TEST_SUITE_P(Hf, GroupSwitch, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "HfOn" : "HfOff"; });

TEST(Events, SwitchTypesDelayPauseOrAskTheOperatorToCleanUp) {
    {
        Machine m("switch-delay");
        m.host.settings.switchType = 1;
        m.host.settings.switchTimeSeconds = 0;
        m.load(switchProgram(0), 1, false, "machine.iso");
        startCut(m, {0, static_cast<int32_t>(m.program->segments.size()) - 1});
        ASSERT_TRUE(m.runUntil(sim::kEventGroupSwitch));
        m.advance(500);
        EXPECT_EQ(m.host.switchDelays, (std::vector<int>{0}));
        EXPECT_NE(std::find(m.commands().begin(), m.commands().end(), "CMD_START_ADJUSTED 2"), m.commands().end());
    }
    {
        Machine m("switch-pause");
        m.host.settings.switchType = 2;
        m.load(switchProgram(0), 1, false, "machine.iso");
        startCut(m, {0, static_cast<int32_t>(m.program->segments.size()) - 1});
        ASSERT_TRUE(m.runUntil(sim::kEventGroupSwitch));
        m.advance(3500);
        EXPECT_EQ(m.host.alarms, (Commands{"61638 2"}));
        EXPECT_EQ(m.commands(), (Commands{"CMD_SET_HF 0", "CMD_STOP_ALL 1", "CMD_STOP", "CMD_STOP_ALL 0"}));
        EXPECT_TRUE(m.operations.idle());
    }
    {
        Machine m("switch-check");
        m.host.settings.switchType = 3;
        m.load(switchProgram(1), 1, false, "machine.iso");
        startCut(m, {0, static_cast<int32_t>(m.program->segments.size()) - 1});
        ASSERT_TRUE(m.runUntil(sim::kEventGroupSwitch));
        m.advance(3500);
        EXPECT_EQ(m.host.alarms, (Commands{"61719 2"}));
        EXPECT_EQ(m.host.texts.back(), "61719");
        EXPECT_EQ(m.commands(), (Commands{"CMD_GET_STATE", "CMD_STOP", "CMD_SET_HF 0", "CMD_STOP_ALL 1",
                                          "CMD_STOP_ALL 0"}));
        EXPECT_TRUE(m.operations.idle());
    }
}

}  // namespace
}  // namespace korvex::testing
