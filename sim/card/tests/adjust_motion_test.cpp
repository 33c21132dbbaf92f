// Wire centering and edge finding on the virtual card: the simulated hole's geometry, and the
// procedures driven through the real link as the Adjust dialog drives them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "sim/card/adjust_motion.h"
#include "sim/card/tests/pc_side.h"

namespace korvex::sim::testing {
namespace {

struct EdgeCase {
    uint8_t direction;
    int32_t steps;  // from the power-on point to the hole's wall, worked out by hand
    int64_t x, y;
};

TEST(AdjustMotion, EdgeFindingStopsAtTheHoleWallInEachDirection) {
    for (const EdgeCase c : {EdgeCase{1, 1880, 1880, 0}, EdgeCase{2, 1196, 0, 1196}, EdgeCase{4, 1080, -1080, 0},
                             EdgeCase{8, 1696, 0, -1696}}) {
        AdjustMotion m;
        int64_t x = 0, y = 0;
        m.startBorder(c.direction);
        while (!m.step(7, x, y)) {}
        EXPECT_EQ(m.edgeSteps(), c.steps) << int{c.direction};
        EXPECT_EQ(x, c.x);
        EXPECT_EQ(y, c.y);
        EXPECT_TRUE(AdjustMotion::touches(x, y));
    }
}

TEST(AdjustMotion, CenteringEndsAtTheHoleCentreFromAnywhereInIt) {
    for (auto [x0, y0] : {std::pair<int64_t, int64_t>{0, 0}, {-900, 700}, {1300, -300}}) {
        AdjustMotion m;
        int64_t x = x0, y = y0;
        m.startCenter();
        int slices = 0;
        while (!m.step(100, x, y)) ++slices;
        EXPECT_EQ(x, kHoleCenterX) << x0 << "," << y0;
        EXPECT_EQ(y, kHoleCenterY) << x0 << "," << y0;
        EXPECT_GT(slices, 10) << "the wire travels to both walls of each axis";
    }
}

TEST(AdjustMotion, OutsideTheHoleEdgeFindingTouchesAtOnceAndCenteringGivesUp) {
    AdjustMotion m;
    int64_t x = kHoleCenterX + kHoleRadius + 10, y = kHoleCenterY;
    m.startBorder(1);
    EXPECT_TRUE(m.step(1, x, y));
    EXPECT_EQ(m.edgeSteps(), 0);
    m.startCenter();
    int64_t budget = 0;
    while (!m.step(1000, x, y)) budget += 1000;
    EXPECT_LE(budget, kAdjustMaxTravel) << "a leg without contact ends the procedure";
}

class CardAdjust : public ::testing::Test {
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
    StatusBlock status() {
        StatusBlock s;
        EXPECT_EQ(CMD_GET_STATUS(pc->link(), &s), 0);
        return s;
    }
    // Polls as the dialog does, every half second of card time, until byte 2 reads 1.
    StatusBlock pollUntilFinished() {
        StatusBlock s = status();
        for (int i = 0; i < 400 && s.adjustFinished != 1; ++i) {
            pc->runFor(500000);
            s = status();
        }
        return s;
    }
    std::vector<std::string> traceLines() {
        std::ifstream in(trace);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }

    std::filesystem::path trace = std::filesystem::temp_directory_path() /
                                  ("kvcardsim-adjust-" + std::to_string(::getpid()) + ".jsonl");
    ServerOptions options = virtualCardOptions();
    std::unique_ptr<CardServer> server;
    std::unique_ptr<PcSide> pc;
};

TEST_F(CardAdjust, EdgeFindingReportsItsStepsAtOffset128AndStopClearsTheFlag) {
    ASSERT_EQ(CMD_ADJUST_BORDER(pc->link(), 4), 0);
    EXPECT_EQ(status().adjustFinished, 0) << "a new procedure starts unfinished";
    EXPECT_EQ(CMD_ADJUST_CENTER(pc->link()), -1) << "one procedure at a time";
    const StatusBlock done = pollUntilFinished();
    ASSERT_EQ(done.adjustFinished, 1);
    EXPECT_EQ(done.edgeSteps, 1080);
    EXPECT_EQ(done.work.guideX, -1080);
    StatusBlock stopped;
    ASSERT_EQ(CMD_STOP(pc->link(), &stopped), 0);
    EXPECT_EQ(status().adjustFinished, 0);
    EXPECT_EQ(status().edgeSteps, 1080) << "the steps stay readable after the stop";

    const auto lines = traceLines();
    auto has = [&lines](const std::string& needle) {
        return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.find(needle) != std::string::npos; });
    };
    EXPECT_TRUE(has("\"cmd\":\"CMD_ADJUST_BORDER\",\"seq\""));
    EXPECT_TRUE(has("\"value\":4"));
    EXPECT_TRUE(has("\"cmd\":\"NOTE\",\"what\":\"adjust border finished steps 1080\""));
}

TEST_F(CardAdjust, CenteringMovesTheWireToTheHoleCentreAndAStopMidwayHaltsIt) {
    ASSERT_EQ(CMD_ADJUST_CENTER(pc->link()), 0);
    pc->runFor(1000000);
    StatusBlock halted;
    ASSERT_EQ(CMD_STOP(pc->link(), &halted), 0);
    pc->runFor(2000000);
    EXPECT_EQ(status().work.guideX, halted.work.guideX) << "nothing moves after the stop";
    EXPECT_EQ(status().adjustFinished, 0);

    ASSERT_EQ(CMD_ADJUST_CENTER(pc->link()), 0);
    const StatusBlock done = pollUntilFinished();
    ASSERT_EQ(done.adjustFinished, 1);
    EXPECT_EQ(done.work.guideX, kHoleCenterX);
    EXPECT_EQ(done.work.guideY, kHoleCenterY);
}

}  // namespace
}  // namespace korvex::sim::testing
