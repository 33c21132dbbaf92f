// Enable rules and labels over run state, sub-state, fast roll and a pending recovery.
#include <gtest/gtest.h>

#include <string>

#include "controller/machining/status_panel.h"
#include "controller/machining/work_state.h"

namespace korvex {
namespace {

// One letter per control in Control order (M F S W C B R r v I T A), '.' when disabled.
std::string menuRow(int state, int sub, WorkFlags flags = {}) {
    const MenuState m = menuState(RunState{static_cast<uint8_t>(state), static_cast<uint8_t>(sub)}, flags);
    const char letters[] = "MFSWCBRrvITA";
    std::string out;
    for (std::size_t i = 0; i < kControlCount; ++i)
        out += m.entries[i].enabled ? letters[i] : '.';
    return out;
}

TEST(WorkState, MenuEnablesFollowStateAndSubState) {
    WorkFlags type4;
    type4.cardType = 4;
    struct Case {
        int state, sub;
        const char* row;
    };
    const Case cases[] = {
        {0, 0, "MF.....r...A"},
        {1, 0, "MFSWC..rvITA"},
        {2, 3, "MF.WCBRr.IT."},
        {2, 5, "MFS....r.IT."},   // a paused simulation: only Simulate continues it
        {2, 9, "MFSWCBRr.IT."},
        {2, 12, "MF....Rr.IT."},  // a paused return: only Return Origin continues it
        {3, 0, "....C....IT."},
        {4, 0, ".F.W.....IT."},
        {5, 0, "..S......IT."},
        {6, 0, "....C....IT."},
        {7, 0, ".F...B...IT."},
        {8, 0, "...WCBR..IT."},
        {9, 0, "...WCBR..IT."},
        {10, 0, "...WC....IT."},
        {11, 3, "MF.WC.R..IT."},
        {11, 5, "MFSWC....IT."},  // a finished simulation restarts; no return after it
        {12, 0, "......R..IT."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(menuRow(c.state, c.sub, type4), c.row) << "state " << c.state << " sub " << c.sub;
}

TEST(WorkState, RollingAndRecoveryLockTheOperations) {
    WorkFlags rolling;
    rolling.cardType = 6;
    rolling.rolling = true;
    EXPECT_EQ(menuRow(1, 0, rolling), ".FS....rvITA") << "rolling: no motor, walk, cut, back or return";
    EXPECT_TRUE(menuState({1, 0}, rolling)[Control::FastRoll].checked);
    WorkFlags recovering;
    recovering.recovering = true;
    EXPECT_EQ(menuRow(9, 0, recovering), "......R..IT.") << "recovering: only Return Origin continues";
    recovering.cardType = 6;
    EXPECT_FALSE(menuState({2, 0}, recovering)[Control::FastRoll].enabled) << "it would switch the motor off";
    WorkFlags otherType;
    otherType.cardType = 5;
    EXPECT_FALSE(menuState({1, 0}, otherType)[Control::FastRoll].enabled);
}

TEST(WorkState, MenuLabelsAndChecksFollowTheRunningOperation) {
    WorkFlags flags;
    flags.reverse = true;
    flags.ignorePause = true;
    EXPECT_STREQ(menuState({3, 0}, flags)[Control::Cut].labelId, "menu.pause_cut");
    EXPECT_TRUE(menuState({3, 0}, flags)[Control::Cut].checked);
    EXPECT_STREQ(menuState({6, 0}, flags)[Control::Cut].labelId, "menu.cut");
    EXPECT_STREQ(menuState({4, 0}, flags)[Control::Walk].labelId, "menu.pause_walk");
    EXPECT_STREQ(menuState({7, 0}, flags)[Control::Back].labelId, "menu.pause_back");
    EXPECT_STREQ(menuState({12, 0}, flags)[Control::ReturnOrigin].labelId, "menu.pause_return");
    EXPECT_TRUE(menuState({12, 0}, flags).returning);
    EXPECT_FALSE(menuState({2, 12}, flags).returning);
    EXPECT_TRUE(menuState({1, 0}, flags)[Control::Reverse].checked);
    EXPECT_TRUE(menuState({1, 0}, flags)[Control::IgnorePause].checked);
    EXPECT_FALSE(menuState({0, 0}, flags)[Control::IgnorePause].checked) << "state 0 clears Ignore D";
}

TEST(WorkState, PanelLabelsFollowTheStateBothWays) {
    using L = ButtonLabel;
    struct Case {
        int state;
        std::optional<L> simulate, walk, cut, back;
    };
    const std::optional<L> keep;
    const Case cases[] = {
        {0, keep, keep, keep, keep},
        {1, L::Start, L::Start, L::Start, keep},
        {2, L::Start, L::Start, L::Start, L::Start},
        {3, keep, keep, L::Pause, keep},
        {4, keep, L::Pause, keep, keep},
        {5, L::Pause, keep, keep, keep},
        {6, keep, keep, L::Pause, keep},  // a short-circuit back is paused with the Cut button
        {7, keep, keep, keep, L::Pause},
        {8, keep, L::Start, L::Start, L::Start},
        {10, keep, L::Start, L::Start, keep},
        {11, L::Start, L::Start, L::Start, L::Start},
        {12, keep, keep, keep, keep},
    };
    for (const Case& c : cases) {
        const PanelState p = panelState({static_cast<uint8_t>(c.state), 0}, {});
        EXPECT_EQ(p.labels[0], c.simulate) << c.state;
        EXPECT_EQ(p.labels[1], c.walk) << c.state;
        EXPECT_EQ(p.labels[2], c.cut) << c.state;
        EXPECT_EQ(p.labels[3], c.back) << c.state;
    }
}

TEST(WorkState, PanelUnderRollOrRecoveryChangesOnlyTheLockedButtons) {
    WorkFlags rolling;
    rolling.rolling = true;
    const PanelState p = panelState({1, 0}, rolling);
    EXPECT_EQ(p[PanelButton::Motor], false);
    EXPECT_EQ(p[PanelButton::Cut], false);
    EXPECT_EQ(p[PanelButton::Freq], std::nullopt) << "Freq keeps what it had";
    for (const auto& l : p.labels)
        EXPECT_EQ(l, std::nullopt);
    WorkFlags recovering;
    recovering.recovering = true;
    for (const auto& e : panelState({9, 0}, recovering).enabled)
        EXPECT_EQ(e, false);
}

TEST(WorkState, CardTypeDigitSumsTheTwoNibbles) {
    EXPECT_EQ(cardTypeDigit(0x00220000), 4);
    EXPECT_EQ(cardTypeDigit(0x00330000), 6);
    EXPECT_EQ(cardTypeDigit(0x00F90000), 4);  // 15 + 9 = 24
    EXPECT_EQ(cardTypeDigit(0xFF00FFFF), 0);
}

TEST(StatusPanel, ProgressOverTheRangeAndTheLevelMeter) {
    EXPECT_EQ(progressPercent(10, 20, 15), 50);
    EXPECT_EQ(progressPercent(10, 20, 25), 0) << "beyond the range shows 0";
    EXPECT_EQ(progressPercent(20, 10, 12), 80) << "a reversed range counts from its start";
    EXPECT_EQ(progressPercent(7, 7, 7), 0);
    struct Case {
        int32_t level;
        int full, part;
    };
    const Case cases[] = {{0, 0, 0}, {150, 3, 0}, {300, 7, 0}, {800, 7, 5}, {1200, 8, 5},
                          {3300, 9, 5}, {3301, 10, 0}, {-5, 0, 0}, {2147483647, 10, 0}};
    for (const Case& c : cases) {
        const LevelMeter m = levelMeter(c.level);
        EXPECT_EQ(m.full, c.full) << c.level;
        EXPECT_EQ(m.part, c.part) << c.level;
    }
}

}  // namespace
}  // namespace korvex
