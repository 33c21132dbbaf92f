#include "code/kind.h"

#include <gtest/gtest.h>

#include <cstring>

#include <string>
#include <vector>

namespace korvex {
namespace {

ProgramLines make(const std::vector<std::string>& texts, int capacity = 0) {
    ProgramLines lines;
    EXPECT_EQ(lines.allocate(capacity ? capacity : 2 * static_cast<int>(texts.size()) + 2), 0);
    for (const std::string& t : texts) EXPECT_EQ(lines.append(t), 0);
    return lines;
}

std::vector<std::string> texts(const ProgramLines& lines) {
    std::vector<std::string> out;
    for (int i = 0; i < lines.count; ++i) out.emplace_back(lines.line(i));
    return out;
}

TEST(ProgramKindDetection, ClassifiesByContent) {
    struct Case { std::vector<std::string> lines; ProgramKind kind; };
    const Case cases[] = {
        {{"N0 G92 X0 Y0;", "N1 G01 X1 Y0;", "N2 M02;"}, kKindIso},
        {{"N0 G92 X0 Y0;", "N1 T17 E1F2L0Q0;", "N2 M02;"}, kKindIsoSwitches},
        {{"N0 G92 X0 Y0;N0 G92 X0 Y0;", "N1 M02; N1 M02;"}, kKindTwoContour},
        {{"N0 G92 X0 Y0; N0 G92 X0 Y0;", "N1 T17 E1F1; N1 T17 E1F1;", "N2 M02; N2 M02;"},
         kKindTwoContourSwitches},
        {{"N0 G92 X0 Y0;", "N1 G01 X1 Y0;"}, kKindIsoNoEnd},
        {{"B 1000 B 0 B 1000 GX L1", "DD"}, kKind3B},
        {{"B 1000 B 0 B 1000 GX L1", "N 2: B0 B0 B1000 GY L2"}, kKind3BNoEnd},
        {{"hello GDMT", "MD"}, kKindUnknown},
        {{}, kKindUnknown},
        // The first numbered line decides: without G92 the program is not ISO even if a later
        // line has it, and it is 3B only when some line has "B ".
        {{"N1 G01 X1 Y1;", "N2 G92 X0 Y0;", "N3 M02;"}, kKindUnknown},
        {{"N1 B 1000 B 0 B 1000 GX L1", "N2 G92;", "DD"}, kKind3B},
    };
    for (const Case& c : cases) {
        ProgramLines lines = make(c.lines);
        EXPECT_EQ(detectProgramKind(lines), c.kind) << (c.lines.empty() ? "" : c.lines[0]);
    }
}

TEST(ProgramKindDetection, CompletesALoneDToDD) {
    ProgramLines lines = make({"B 1000 B 0 B 1000 GX L1", "N 2: D ; end"});
    EXPECT_EQ(detectProgramKind(lines), kKind3B);
    EXPECT_STREQ(lines.line(1), "N 2: DD");

    // A "D" in the last character a line may hold has no room after it: the line stays
    // within its limit.
    const std::string longEnd = std::string(298, ' ') + "D";
    lines = make({"B 1000 B 0 B 1000 GX L1", longEnd});
    EXPECT_EQ(detectProgramKind(lines), kKind3B);
    EXPECT_EQ(std::string(lines.line(1)), longEnd);
    EXPECT_EQ(std::strlen(lines.line(1)), static_cast<std::size_t>(kMaxLineChars));
}

TEST(Normalise, DropsLinesBeforeTheProgram) {
    ProgramLines iso = make({"%", "(T17 comment M)", "N0 G92 X0 Y0;", "N1 M02;"});
    ASSERT_EQ(normaliseProgram(iso, kKindIso), 0);
    EXPECT_EQ(texts(iso), (std::vector<std::string>{"N0 G92 X0 Y0;", "N1 M02;"}));

    ProgramLines threeB = make({"Korvex -Version 2.0 GDMT", "Start Point = 5, 5", "B 1 B 2 B 3 GX L1", "DD"});
    ASSERT_EQ(normaliseProgram(threeB, kKind3B), 0);
    EXPECT_EQ(texts(threeB),
              (std::vector<std::string>{k3BStartLine, "B 1 B 2 B 3 GX L1", "DD"}));

    // A program that starts with its first statement gets the start line put before it.
    ProgramLines bare = make({"B 1 B 2 B 3 GX L1", "DD"});
    ASSERT_EQ(normaliseProgram(bare, kKind3B), 0);
    EXPECT_EQ(texts(bare), (std::vector<std::string>{k3BStartLine, "B 1 B 2 B 3 GX L1", "DD"}));

    ProgramLines none = make({"DD"});
    EXPECT_EQ(normaliseProgram(none, kKind3B), -1);
    EXPECT_EQ(normaliseProgram(none, kKindUnknown), -1);
    ProgramLines full = make({"B 1 B 2 B 3 GX L1"}, 1);
    EXPECT_EQ(normaliseProgram(full, kKind3B), -1);  // no room for the start line
}

}  // namespace
}  // namespace korvex
