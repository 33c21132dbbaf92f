// The start's work block (cursors and guide positions) and the group lookup over the switch
// table.
#include <gtest/gtest.h>

#include "controller/machining/start_payload.h"
#include "controller/machining/statistics.h"

namespace korvex {
namespace {

SwitchEntry entry(int32_t segment, uint8_t e, uint8_t f, uint8_t l = 0, uint8_t q = 0) {
    SwitchEntry s;
    s.segment = segment;
    s.e = e;
    s.f = f;
    s.l = l;
    s.q = q;
    return s;
}

TEST(StartPayload, GroupLookupOverTheSwitchTable) {
    const std::vector<SwitchEntry> table = {entry(10, 1, 2), entry(20, 2, 5), entry(30, 5, 7)};
    struct Case {
        int32_t segment;
        int current, next;
    };
    const Case cases[] = {
        {0, 1, 1},    // before the first switch: its E
        {10, 1, 2},   // at a switch: E, then F
        {15, 2, 2},   // between: the earlier switch's F
        {20, 2, 5},
        {29, 5, 5},
        {30, 5, 7},
        {31, 7, 7},   // after the last: its F
    };
    for (const Case& c : cases) {
        const GroupChoice g = lookupGroups(table, c.segment, 3);
        EXPECT_EQ(g.current, c.current) << c.segment;
        EXPECT_EQ(g.next, c.next) << c.segment;
    }
    const GroupChoice none = lookupGroups({}, 12, 6);
    EXPECT_EQ(none.current, 6);
    EXPECT_EQ(none.next, 6);
    // A group byte the table cannot hold falls back to the default group.
    const GroupChoice bad = lookupGroups({entry(5, 9, 200)}, 5, 4);
    EXPECT_EQ(bad.current, 4);
    EXPECT_EQ(bad.next, 4);
}

TEST(StartPayload, OperatorCheckTakesLOrQFromTheEntryAtOrBeforeTheSegment) {
    const std::vector<SwitchEntry> onlyL = {entry(10, 0, 1, 1, 0), entry(20, 1, 2, 0, 0)};
    EXPECT_TRUE(operatorMustIntervene(onlyL, 10, false));
    EXPECT_FALSE(operatorMustIntervene(onlyL, 20, false));
    EXPECT_TRUE(operatorMustIntervene(onlyL, 15, false)) << "nearest before 15 going forward is 10";
    EXPECT_FALSE(operatorMustIntervene(onlyL, 15, true)) << "nearest before 15 going back is 20";
    EXPECT_FALSE(operatorMustIntervene(onlyL, 5, false)) << "no entry before";
    // Once any entry has a Q above 0, Q decides and L no longer counts.
    const std::vector<SwitchEntry> withQ = {entry(10, 0, 1, 1, 0), entry(20, 1, 2, 0, 1)};
    EXPECT_FALSE(operatorMustIntervene(withQ, 10, false));
    EXPECT_TRUE(operatorMustIntervene(withQ, 20, false));
    EXPECT_FALSE(operatorMustIntervene({}, 10, false));
}

LoadedProgram twoLines(int kind, TaperHeader taper) {
    LoadedProgram p;
    p.kind = kind;
    p.taper = taper;
    p.segments.resize(3);
    for (CodeSegment& s : p.segments) {
        s.lower.kind = kElementLine;
        s.lower.endX = 1000;
        s.lower.steps = 1000;
        s.upper.kind = kElementLine;
        s.upper.endX = 2000;
        s.upper.steps = 2000;
    }
    return p;
}

WorkParams fresh(const LoadedProgram& p, int32_t segment, bool reverse) {
    WorkParams w;
    EXPECT_EQ(freshWorkParams(p, segment, reverse, w), kGuidesOk);
    return w;
}

TEST(StartPayload, CursorsAndGuidesStandAtTheStartForwardAndAtTheEndInReverse) {
    const LoadedProgram one = twoLines(1, {});
    const WorkParams forward = fresh(one, 1, false);
    EXPECT_EQ(forward.segment, 1);
    EXPECT_EQ(forward.lower.steps, 0);
    EXPECT_EQ(forward.guideX, 1000);
    const WorkParams reverse = fresh(one, 1, true);
    EXPECT_EQ(reverse.lower.steps, 1000);
    EXPECT_EQ(reverse.lower.x, 1000);
    EXPECT_EQ(reverse.guideX, 2000) << "at the end of segment 1";
}

TEST(StartPayload, TaperGuidesWithRollerCorrectionAndRefusalsInsteadOfWrappedValues) {
    TaperHeader taper;
    taper.present = true;
    taper.heightX10 = 1000;  // 100 mm between the rollers
    taper.widthX10 = 500;    // 50 mm thick
    taper.baseX10 = 200;     // 20 mm below
    taper.radiusX10 = 10;    // 1 mm roller radius
    const auto taperLines = [&taper] {
        LoadedProgram p = twoLines(3, taper);
        for (CodeSegment& s : p.segments) s.twoContour = 1;
        return p;
    };
    const WorkParams w = fresh(taperLines(), 1, false);
    // Lower contour at 1000, upper at 2000.
    EXPECT_EQ(w.guideX, (700 * 1000 - 200 * 2000) / 500);
    EXPECT_EQ(w.guideU, (1000 * 2000 - 1000 * 1000) / 500);
    EXPECT_EQ(w.guideY, 0);
    EXPECT_EQ(w.rollerFractionX, 199) << "(sqrt(1 + 0.02^2) - 1) x 1000 microns = 0.19998";
    // Products past 2^31 stay exact in 64 bits.
    LoadedProgram far = taperLines();
    for (CodeSegment& s : far.segments) {
        s.lower.endX = 3'000'000;
        s.upper.endX = 3'000'100;
    }
    EXPECT_EQ(fresh(far, 2, false).guideX, static_cast<int32_t>((700LL * 6'000'000 - 200LL * 6'000'200) / 500));
    // A result past 32 bits refuses the start.
    for (CodeSegment& s : far.segments) s.upper.endX = 1'000'000'000;
    WorkParams untouched;
    untouched.segment = 77;
    EXPECT_EQ(freshWorkParams(far, 2, false, untouched), kGuidesOutOfRange);
    EXPECT_EQ(untouched.segment, 77);
    // Without a width there is nothing to divide by: refused, never divided.
    taper.widthX10 = 0;
    LoadedProgram flat = twoLines(3, taper);
    EXPECT_EQ(freshWorkParams(flat, 1, false, untouched), kGuidesBadTaper);
    EXPECT_EQ(freshWorkParams(flat, 3, false, untouched), kGuidesBadCursor);
}

TEST(StartPayload, ReturnDistancesAreRefusedWhenTheyDoNotFit) {
    WorkParams target, here;
    target.guideX = 5;
    here.guideX = -7;
    target.guideV = 2'000'000'000;
    here.guideV = -2'000'000'000;
    std::array<int32_t, kAxisCount> d{};
    EXPECT_FALSE(returnDistances(target, here, d));
    here.guideV = 0;
    ASSERT_TRUE(returnDistances(target, here, d));
    EXPECT_EQ(d, (std::array<int32_t, kAxisCount>{12, 0, 0, 2'000'000'000}));
}

TEST(Statistics, AreaAndEfficiencyFromThePathLength) {
    const WorkStatistics s = workStatistics(120.5, 20, 2.5, 600);
    EXPECT_DOUBLE_EQ(s.lengthMm, 120.5);
    EXPECT_DOUBLE_EQ(s.areaMm2, 2410);
    EXPECT_DOUBLE_EQ(s.efficiencyMm2PerMinA, 2410 * 60.0 / 600 / 2.5);
    EXPECT_EQ(workStatistics(120.5, 20, 2.5, 0).efficiencyMm2PerMinA, 0) << "no time counted yet";
}

}  // namespace
}  // namespace korvex
