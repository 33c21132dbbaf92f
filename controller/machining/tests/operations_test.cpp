// The machining operations headless on the virtual card: what each start and stop sends, in
// which order, and what the PC shows afterwards.
#include <gtest/gtest.h>

#include "controller/machining/tests/machine_harness.h"
#include "sim/card/card_engine.h"

namespace korvex::testing {
namespace {

using Commands = std::vector<std::string>;

std::string zigzag(int segments) {
    std::string text;
    for (int i = 0; i < segments; ++i)
        text += "N " + std::to_string(i + 1) + (i % 2 == 0 ? ": B 300 B 0 B 300 GX L1;\n" : ": B 0 B 300 B 300 GY L2;\n");
    return text + "N " + std::to_string(segments + 1) + ": DD\n";
}

TEST(Operations, CutInStateOneCancelledLeavesTheCutLabelAndIdle) {
    Machine m("cancel");
    m.load(zigzag(10));
    m.host.range.reset();
    m.operations.press(Operation::Cut);
    m.settle();
    EXPECT_EQ(m.host.rangeDialogs.size(), 1u);
    EXPECT_EQ(m.operations.label(Operation::Cut), ButtonLabel::Start);
    EXPECT_TRUE(m.operations.idle());
    EXPECT_FALSE(m.host.workStarted());
    EXPECT_EQ(m.commands(), (Commands{"CMD_GET_STATE"}));
}

class CutOverARange : public ::testing::TestWithParam<bool> {};

TEST_P(CutOverARange, RunsBothLoopsToTheEndWithEveryWindowByTheRule) {
    const bool reverse = GetParam();
    Machine m(reverse ? "reverse" : "forward");
    m.load(zigzag(10), 2, reverse);
    m.host.range = reverse ? std::pair{9, 2} : std::pair{2, 9};
    m.operations.press(Operation::Cut);
    m.settle();
    ASSERT_EQ(m.operations.label(Operation::Cut), ButtonLabel::Pause);
    EXPECT_FALSE(m.operations.idle());
    EXPECT_TRUE(m.host.workStarted());
    EXPECT_EQ(m.host.texts.back(), "61494");
    EXPECT_EQ(m.host.rangeDialogs.at(0), (std::pair<int32_t, bool>{m.program->segments.size(), reverse}));
    const std::string first = reverse ? "9" : "2";
    EXPECT_EQ(m.commands(), (Commands{"CMD_GET_STATE", reverse ? "CMD_SET_RANGE 9 2" : "CMD_SET_RANGE 2 9",
                                      "CMD_SET_MOTOR 1", "CMD_START_CUT " + first}));
    EXPECT_FALSE(m.operations.hfOn());
    m.advance(1000);
    EXPECT_EQ(m.commands().back(), "CMD_SET_HF 1") << "HF goes on 1000 ms after the start";
    EXPECT_TRUE(m.operations.hfOn());

    ASSERT_TRUE(m.runUntil(sim::kEventFinished));
    EXPECT_GT(m.host.positionsShown, 0);
    const auto figures = m.server->withEngine([](sim::CardEngine& e) { return e.figures(); });
    EXPECT_EQ(figures.starvations, 0u);
    EXPECT_EQ(figures.segmentsEntered, 15u);
    const auto windows = m.windows();
    ASSERT_EQ(windows.size(), 16u) << "the start window and one for each segment entered";
    for (const auto& w : windows) {
        EXPECT_EQ(w[0], w[1] == 2 ? 9 : w[1] - 1);
        EXPECT_EQ(w[2], w[1] == 9 ? 2 : w[1] + 1);
    }

    // Finished (state 11): the next Cut starts the card's range afresh after a reset.
    m.advance(3500);  // the finish's handling with its total-stop pulse
    EXPECT_EQ(m.host.alarms, (std::vector<std::string>{"61622 2"}));
    m.operations.refresh();
    m.settle();
    EXPECT_EQ(m.operations.runState().state, 11);
    EXPECT_EQ(m.operations.label(Operation::Cut), ButtonLabel::Start);
    m.markTrace();
    m.operations.press(Operation::Cut);
    m.settle();
    EXPECT_EQ(m.commands(), (Commands{"CMD_GET_STATE", "CMD_RESET_RUN_STATE 0", "CMD_SET_MOTOR 1",
                                      "CMD_START_CUT " + first}));
    EXPECT_EQ(m.host.rangeDialogs.size(), 1u) << "no range dialog after a finished work";
}

INSTANTIATE_TEST_SUITE_P(ForwardAndReverse, CutOverARange, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Reverse" : "Forward"; });

TEST(Operations, ARefusedStopLeavesTheCutRunningAndASecondPressStopsIt) {
    Machine m("refuse");
    m.load(zigzag(10));
    m.host.range = std::pair{0, 9};
    m.operations.press(Operation::Cut);
    m.settle();
    m.advance(1500);
    ASSERT_EQ(m.operations.label(Operation::Cut), ButtonLabel::Pause);

    m.tell("refuse CMD_STOP");
    m.markTrace();
    m.operations.press(Operation::Cut);
    m.settle();
    EXPECT_EQ(m.host.messages, (std::vector<std::string>{"machining.stop_refused"}));
    EXPECT_EQ(m.host.messageIcons.back(), OperationsHost::Icon::Stop);
    EXPECT_EQ(m.operations.label(Operation::Cut), ButtonLabel::Pause);
    EXPECT_FALSE(m.operations.idle());
    EXPECT_TRUE(m.operations.hfOn());
    EXPECT_TRUE(m.worker.timerRunning(kTimerCut)) << "the polls go on";
    const int shown = m.host.positionsShown;
    m.advance(1400);
    EXPECT_GT(m.host.positionsShown, shown);
    EXPECT_EQ(m.commands(), (Commands{"CMD_STOP refused"}));

    m.operations.press(Operation::Cut);
    m.settle();
    EXPECT_EQ(m.operations.label(Operation::Cut), ButtonLabel::Start);
    EXPECT_TRUE(m.operations.idle());
    EXPECT_FALSE(m.operations.hfOn());
    EXPECT_FALSE(m.worker.timerRunning(kTimerCut));
    EXPECT_EQ(m.host.texts.back(), "61495");
    EXPECT_EQ(m.commands(), (Commands{"CMD_STOP refused", "CMD_STOP", "CMD_SET_HF 0"}));
    EXPECT_EQ(m.server->withEngine([](sim::CardEngine& e) { return e.runState(); }), sim::kRunPaused);
}

TEST(Operations, SimulateAndWalkSwitchMotorAndHfAsTheyNeed) {
    Machine m("simulate");
    m.load(zigzag(4));
    m.host.range = std::pair{0, 3};
    m.operations.press(Operation::Simulate);
    m.settle();
    EXPECT_EQ(m.operations.label(Operation::Simulate), ButtonLabel::Pause);
    EXPECT_FALSE(m.host.workStarted()) << "a simulation leaves no work to keep";
    EXPECT_EQ(m.commands(), (Commands{"CMD_GET_STATE", "CMD_SET_RANGE 0 3", "CMD_SET_MOTOR 0", "CMD_SET_HF 0",
                                      "CMD_START_SIMULATE 0"}));
    m.operations.press(Operation::Simulate);
    m.settle();
    EXPECT_EQ(m.host.texts.back(), "61574");
    EXPECT_EQ(m.operations.label(Operation::Simulate), ButtonLabel::Start);

    // Walk continues the paused work from where the card stands, without a dialog.
    m.operations.refresh();
    m.settle();
    m.markTrace();
    m.operations.press(Operation::Walk);
    m.settle();
    EXPECT_EQ(m.host.rangeDialogs.size(), 1u);
    EXPECT_TRUE(m.host.workStarted());
    EXPECT_EQ(m.commands(), (Commands{"CMD_GET_STATE", "CMD_SET_MOTOR 1", "CMD_SET_HF 0", "CMD_START_WALK 0"}));
    m.operations.press(Operation::Walk);
    m.settle();
    EXPECT_EQ(m.host.texts.back(), "61614");
}

TEST(Operations, TheRunStateIsReadAgainAfterEachOwnStartAndStopAndTheControlsFollowIt) {
    Machine m("reread");
    m.load(zigzag(4));
    m.host.range.reset();
    m.operations.press(Operation::Cut);  // cancelled
    m.settle();
    EXPECT_EQ(m.operations.runState().state, 1);
    m.host.range = std::pair{0, 3};
    m.operations.press(Operation::Walk);
    m.settle();
    // No run event came from the card: the read after the start tells the controls.
    EXPECT_EQ(m.operations.runState().state, 4);
    PanelState panel = panelState(m.operations.runState(), m.operations.flags());
    EXPECT_EQ(panel[PanelButton::Cut], false);
    EXPECT_EQ(panel[PanelButton::Walk], true);
    EXPECT_EQ(menuState(m.operations.runState(), m.operations.flags())[Control::Cut].enabled, false);
    m.operations.press(Operation::Walk);
    m.settle();
    EXPECT_NE(m.operations.runState().state, 4);
    panel = panelState(m.operations.runState(), m.operations.flags());
    EXPECT_EQ(panel[PanelButton::Cut], true) << "a stopped walk may be continued as a cut";
    EXPECT_EQ(m.operations.label(Operation::Walk), ButtonLabel::Start);
}

TEST(Operations, AStartWithoutAProgramIsRefusedAndLeavesTheFlags) {
    Machine m("noprogram");
    m.markTrace();
    m.host.setWorkStarted(true);
    m.operations.press(Operation::Cut);
    m.settle();
    EXPECT_EQ(m.host.messages, (std::vector<std::string>{"machining.no_program"}));
    EXPECT_TRUE(m.operations.idle());
    EXPECT_TRUE(m.host.workStarted());
    EXPECT_TRUE(m.commands().empty());
}

}  // namespace
}  // namespace korvex::testing
