// Return to origin, fast roll and the Control menu's toggles, headless on the virtual card.
#include <gtest/gtest.h>

#include "controller/machining/tests/machine_harness.h"
#include "sim/card/card_engine.h"

namespace korvex::testing {
namespace {

using Commands = std::vector<std::string>;

const char* kSquare =
    "N 1: B 300 B 0 B 300 GX L1;\nN 2: B 0 B 300 B 300 GY L2;\nN 3: B 300 B 0 B 300 GX L3;\n"
    "N 4: B 0 B 300 B 300 GY L4;\nN 5: DD\n";

TEST(ReturnOrigin, AfterAFinishedCutResetsGoesBackAndEndsWithoutTheStopQuestion) {
    Machine m("return");
    m.load(kSquare);
    m.host.range = std::pair{1, 2};
    m.operations.press(Operation::Cut);
    m.settle();
    ASSERT_TRUE(m.runUntil(sim::kEventFinished));
    m.advance(3500);
    m.operations.refresh();
    m.settle();
    ASSERT_EQ(m.operations.runState().state, 11);

    // No: nothing is sent.
    m.markTrace();
    m.operations.pressReturn();
    m.settle();
    EXPECT_TRUE(m.commands().empty());
    EXPECT_FALSE(m.operations.returning());

    m.host.answers = {true};
    m.host.returnSegment = 2;
    m.operations.pressReturn();
    m.settle();
    EXPECT_TRUE(m.operations.returning());
    EXPECT_EQ(m.host.texts.back(), "61576");
    EXPECT_EQ(m.commands(), (Commands{"CMD_GET_STATUS", "CMD_RESET_RUN_STATE 1", "CMD_SET_MOTOR 1", "CMD_SET_HF 0",
                                      "CMD_START_RETURN 2"}));
    m.markTrace();
    m.advance(10000);
    EXPECT_FALSE(m.operations.returning());
    EXPECT_TRUE(m.operations.idle());
    EXPECT_EQ(m.host.alarms.back(), "61514 2");
    EXPECT_EQ(m.host.questions, (Commands{"61527", "61527"})) << "a finished return asks nothing";
    Commands afterPolls;
    for (const std::string& c : m.commands())
        if (c != "CMD_GET_STATUS")
            afterPolls.push_back(c);
    EXPECT_EQ(afterPolls, (Commands{"CMD_STOP", "CMD_SET_HF 0", "CMD_RESET_RUN_STATE 0"}));
    const auto position = m.server->withEngine([](sim::CardEngine& e) { return e.position(); });
    EXPECT_EQ(position.guideX, 300) << "back at the start of segment 2, the program's second line";
    EXPECT_EQ(position.guideY, 0);
}

TEST(FastRoll, StartsAndStopsAndARefusedStopKeepsItRolling) {
    Machine m("roll");
    m.load(kSquare);
    m.host.answers = {true};
    m.operations.pressFastRoll();
    m.settle();
    EXPECT_TRUE(m.operations.rolling());
    EXPECT_FALSE(m.operations.idle());
    EXPECT_EQ(m.host.texts.back(), "61721");
    EXPECT_EQ(m.commands(), (Commands{"CMD_SET_MOTOR 0", "CMD_SET_HF 0", "CMD_START_FAST_ROLL"}));
    m.advance(1000);
    EXPECT_GT(m.host.positionsShown, 0);

    m.tell("refuse CMD_STOP_FAST_ROLL");
    m.markTrace();
    m.operations.pressFastRoll();
    m.settle();
    EXPECT_TRUE(m.operations.rolling());
    EXPECT_EQ(m.host.messages.back(), "machining.stop_refused");
    EXPECT_TRUE(m.worker.timerRunning(kTimerRoll));

    m.operations.pressFastRoll();
    m.settle();
    EXPECT_FALSE(m.operations.rolling());
    EXPECT_TRUE(m.operations.idle());
    EXPECT_FALSE(m.worker.timerRunning(kTimerRoll));
    EXPECT_EQ(m.host.texts.back(), "61722");
    EXPECT_EQ(m.commands(), (Commands{"CMD_STOP_FAST_ROLL refused", "CMD_STOP_FAST_ROLL", "CMD_SET_MOTOR 1"}));
}

TEST(Toggles, FlagsAndTheStopListChangeOnlyWhenTheCardTookThem) {
    Machine m("toggles");
    m.load(kSquare);
    m.operations.toggleReverse();
    m.settle();
    EXPECT_TRUE(m.operations.reverse());
    m.tell("refuse CMD_SET_DIRECTION");
    m.operations.toggleReverse();
    m.settle();
    EXPECT_TRUE(m.operations.reverse()) << "refused: the flag stays";
    m.operations.toggleIgnorePause();
    m.settle();
    EXPECT_TRUE(m.operations.ignorePause());
    EXPECT_EQ(m.commands(), (Commands{"CMD_SET_DIRECTION 1", "CMD_SET_DIRECTION 0 refused", "CMD_SET_IGNORE_PAUSE 1"}));

    for (int32_t s : {7, 3, 5, 0})
        m.operations.toggleSegmentStop(s);
    m.settle();
    EXPECT_EQ(m.operations.segmentStops(), (std::vector<int32_t>{3, 5, 7}));
    m.operations.toggleSegmentStop(5);
    m.settle();
    EXPECT_EQ(m.operations.segmentStops(), (std::vector<int32_t>{3, 7}));
    for (int32_t s = 10; s < 18; ++s)
        m.operations.toggleSegmentStop(s);
    m.settle();
    ASSERT_EQ(m.operations.segmentStops().size(), 10u);
    m.markTrace();
    m.operations.toggleSegmentStop(30);
    m.settle();
    EXPECT_EQ(m.host.messages.back(), "61648");
    EXPECT_EQ(m.commands(), (Commands{"CMD_SET_SEGMENT_STOPS"})) << "the full list is still sent";
    EXPECT_EQ(m.operations.segmentStops().size(), 10u);
    m.tell("refuse CMD_SET_SEGMENT_STOPS");
    m.operations.toggleSegmentStop(3);
    m.settle();
    EXPECT_EQ(m.operations.segmentStops().front(), 3) << "refused: the list stays";
}

}  // namespace
}  // namespace korvex::testing
