#include "code/jumps.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace korvex {
namespace {

ProgramLines make(const std::vector<std::string>& texts) {
    ProgramLines lines;
    EXPECT_EQ(lines.allocate(static_cast<int>(texts.size()) + 1), 0);
    for (const std::string& t : texts) EXPECT_EQ(lines.append(t), 0);
    return lines;
}

std::vector<std::string> texts(const ProgramLines& lines) {
    std::vector<std::string> out;
    for (int i = 0; i < lines.count; ++i) out.emplace_back(lines.line(i));
    return out;
}

TEST(JumpSegments, RecognisesPauseMovePauseAndSumsOffsets) {
    const ProgramLines lines = make({
        "N0 G92 X0 Y0;", "N1 M00;", "N2 G01 X12.5 Y-3.0;", "N3 M00;",   // jump 1
        "N4 G01 X1 Y1;", "N5 M00;", "N6 G01 X1.25 Y2;", "N7 M00;",      // jump 2
        "N8 M00;", "N9 M00;", "N10 G01 X1 Y1;", "N11 M00;",  // pause, pause, move, pause: none
        "N12 M00;", "N13 G02 X1 Y1 I1 J0;", "N14 M00;",      // not a straight move
        "N15 M02;"});
    JumpEntry table[4];
    ASSERT_EQ(findJumpSegments(lines, table, 4), 2);
    EXPECT_EQ(table[0].line, 2);
    EXPECT_DOUBLE_EQ(table[0].x, 12.5);
    EXPECT_DOUBLE_EQ(table[0].y, -3.0);
    EXPECT_EQ(table[1].line, 6);
    EXPECT_DOUBLE_EQ(table[1].x, 13.75);
    EXPECT_DOUBLE_EQ(table[1].y, -1.0);

    EXPECT_EQ(findJumpSegments(lines, table, 1), -1);  // one more than the table holds
    const ProgramLines noY = make({"N1 M00;", "N2 G01 X1;", "N3 M00;"});
    EXPECT_EQ(findJumpSegments(noY, table, 4), -1);
}

TEST(LeadOutClosing, RewritesOnlyWithinOneMillimetreStrictly) {
    // A square contour whose lead-out misses the start by (dx, dy).
    struct Case { const char* leadOut; bool rewritten; };
    const Case cases[] = {
        {"N4 G01 X-0.999 Y-10.200;", true},   // 0.999 mm in X, 0.2 mm in Y
        {"N4 G01 X-1.000 Y-10.000;", false},  // exactly 1.000 mm: left alone
        {"N4 G01 X0.000 Y-9.001;", true},
        {"N4 G01 X0.000 Y-11.000;", false},
    };
    for (const Case& c : cases) {
        ProgramLines lines = make({"N0 G92 X0.000 Y0.000;", "N1 G01 X10.000 Y0.000;",
                                   "N2 G01 X0.000 Y10.000;", "N3 G01 X-10.000 Y0.000;", c.leadOut,
                                   "N5 M02;"});
        EXPECT_EQ(closeLeadOuts(lines, nullptr, 0), c.rewritten ? 1 : 0) << c.leadOut;
        EXPECT_EQ(std::string(lines.line(4)), c.rewritten ? "N4 G01 X0.000 Y-10.000;" : c.leadOut);
    }
}

TEST(LeadOutClosing, ClosesEachContourOntoItsOwnStart) {
    // Two contours joined by a jump; the second starts at (20, 5).
    ProgramLines lines = make({
        "N0 G92 X0.000 Y0.000;", "N1 G01 X5.000 Y0.000;", "N2 G01 X-5.0004 Y0.0003;",
        "N3 M00;", "N4 G01 X20.000 Y5.000;", "N5 M00;",
        "N6 G02 X2.000 Y0.000 I1.000 J0.000;", "N7 G01 X-2.000 Y0.300;", "N8 M02;"});
    JumpEntry jumps[1];
    ASSERT_EQ(findJumpSegments(lines, jumps, 1), 1);
    EXPECT_EQ(closeLeadOuts(lines, jumps, 1), 2);
    // Summed in integer microns: a contour closed exactly never prints "-0.000".
    EXPECT_STREQ(lines.line(2), "N2 G01 X-5.000 Y0.000;");
    EXPECT_STREQ(lines.line(7), "N7 G01 X-2.000 Y0.000;");
}

TEST(LeadOutClosing, LeavesShortOrUnsuitableProgramsAlone) {
    const std::vector<std::vector<std::string>> programs = {
        {"N0 G92 X0 Y0;", "N1 G01 X1 Y0;", "N2 G01 X-0.9 Y0;", "N3 M02;"},  // 4 lines
        {"N0 G92 X0 Y0;", "N1 G02 X1 Y0 I1 J0;", "N2 G01 X1 Y0;", "N3 G01 X-1.9 Y0;", "N4 M02;"},
        {"N0 G92 X0 Y0;", "N1 G01 X1 Y0;", "N2 G01 X1 Y0;", "N3 G02 X-1.9 Y0 I1 J0;", "N4 M02;"},
        {"N0 G92 X0 Y0;", "N1 junk;", "N2 G01 X1 Y0;", "N3 G01 X-1.9 Y0;", "N4 M02;"},
    };
    for (const auto& p : programs) {
        ProgramLines lines = make(p);
        EXPECT_EQ(closeLeadOuts(lines, nullptr, 0), 0);
        EXPECT_EQ(texts(lines), p);
    }
    // A "T17" first move line is accepted: multi-pass programs start with their group.
    ProgramLines grouped = make({"N0 G92 X0 Y0;", "N1 T17 E1F1;", "N2 G01 X1 Y0;",
                                 "N3 G01 X-0.5 Y0;", "N4 M02;"});
    EXPECT_EQ(closeLeadOuts(grouped, nullptr, 0), 1);
    EXPECT_STREQ(grouped.line(3), "N3 G01 X-1.000 Y0.000;");
}

}  // namespace
}  // namespace korvex
