// Multi-pass and Segment Multiple programs: exact files for the plain cases, and for the others
// the order of group switches and the points where the passes and step cuts begin and end, read
// back from the written text.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "code/loader.h"
#include "geometry/multipass.h"
#include "geometry/trace.h"

namespace korvex {
namespace {

// A 40 mm square cut counter-clockwise, entered at its corner from 5 mm to the left of it.
const char* const kSquare =
    "N0 G92 X0.000 Y0.000;\nN1 G01 X5.000 Y0.000;\nN2 G01 X40.000 Y0.000;\nN3 G01 X0.000 Y40.000;\n"
    "N4 G01 X-40.000 Y0.000;\nN5 G01 X0.000 Y-40.000;\nN6 G01 X-5.000 Y0.000;\nN7 M02;\n";
// A slot of two sides and two half circles, cut clockwise; its last element is an arc.
const char* const kSlot =
    "N0 G92 X0.000 Y0.000;\nN1 G01 X0.000 Y5.000;\nN2 G01 X10.000 Y0.000;\n"
    "N3 G02 X0.000 Y-10.000 I0.000 J-5.000;\nN4 G01 X-10.000 Y0.000;\n"
    "N5 G02 X0.000 Y10.000 I0.000 J5.000;\nN6 G01 X0.000 Y-5.000;\nN7 M02;\n";
// Two round holes joined by a jump of 20 mm.
const char* const kTwoHoles =
    "N0 G92 X0.000 Y0.000;\nN1 G01 X2.000 Y0.000;\nN2 G02 X0.000 Y0.000 I-2.000 J0.000;\n"
    "N3 G01 X-2.000 Y0.000;\nN4 M00;\nN5 G01 X20.000 Y0.000;\nN6 M00;\nN7 G01 X3.000 Y0.000;\n"
    "N8 G03 X0.000 Y0.000 I-3.000 J0.000;\nN9 G01 X-3.000 Y0.000;\nN10 M02;\n";

LoadedProgram load(const std::string& text, const char* path = "part.iso") {
    LoadedProgram p;
    LoadFailure f;
    EXPECT_EQ(loadProgramText(text, path, LoadOptions{}, p, f), 0) << f.message;
    return p;
}

struct Result {
    int rc = -1;
    std::string text, error;
};

Result generate(const char* source, const MultipassSettings& s, const char* path = "part.iso") {
    Result r;
    r.rc = multipassFileText(load(source, path), s, r.text, r.error);
    return r;
}

MultipassSettings punch(int count, double len) {
    MultipassSettings s;
    s.mode = 1;
    s.count = count;
    s.len = len;
    return s;
}

// The written program read back: switch digits and the absolute point after every move.
struct ReadBack {
    std::vector<std::string> switches;
    // One entry per line: "T" for a switch, else the point reached, microns.
    std::vector<std::pair<int64_t, int64_t>> points;
    std::vector<bool> isSwitch;
};

ReadBack readBack(const std::string& text) {
    ReadBack r;
    const LoadedProgram p = load(text, "result.4nb");
    int64_t x = 0, y = 0;
    for (const CodeSegment& seg : p.segments) {
        const PathElement& e = seg.lower;
        const bool sw = e.kind == kElementSwitch;  // nothing here writes a rapid move
        if (e.kind == kElementLine || e.isArc()) {
            x += e.dx();
            y += e.dy();
        }
        r.isSwitch.push_back(sw);
        if (sw)
            r.switches.push_back("E" + std::to_string(e.groupE) + "F" + std::to_string(e.groupF) + "L" +
                                 std::to_string(e.groupL) + "Q" + std::to_string(e.groupQ));
        r.points.emplace_back(x, y);
    }
    return r;
}

TEST(Multipass, PunchSquareOfTwoPassesWithAStepIsWrittenExactly) {
    const Result r = generate(kSquare, punch(2, 2.0));
    ASSERT_EQ(r.rc, 0) << r.error;
    EXPECT_EQ(r.text,
              "****************************************\n"
              "Korvex -Version 2.0\n"
              "****************************************\n"
              "N0 G92 X0.000 Y0.000;\n"
              "N1 T17 E0F0L0Q0;\n"
              "N2 G01 X4.000 Y-1.000 I0.000 J0.000;\n"      // lead-in to S(0), 1 mm outside the corner
              "N3 T17 E0F1L0Q0;\n"
              "N4 G01 X42.000 Y0.000 I0.000 J0.000;\n"      // pass 1 forward ...
              "N5 G01 X0.000 Y42.000 I0.000 J0.000;\n"
              "N6 G01 X-42.000 Y0.000 I0.000 J0.000;\n"
              "N7 G01 X0.000 Y-39.990 I0.000 J0.000;\n"     // ... to T(0), 42 x 2/41.8 mm before the end
              "N8 G01 X0.100 Y0.090 I0.000 J0.000;\n"       // T(0) to T(1)
              "N9 T17 E1F2L1Q0;\n"
              "N10 G01 X0.000 Y39.800 I0.000 J0.000;\n"     // pass 2 backward from T(1) to S(1)
              "N11 G01 X41.800 Y0.000 I0.000 J0.000;\n"
              "N12 G01 X0.000 Y-41.800 I0.000 J0.000;\n"
              "N13 G01 X-41.800 Y0.000 I0.000 J0.000;\n"
              "N14 G01 X-0.100 Y-0.100 I0.000 J0.000;\n"    // S(1) to S(0)
              "N15 T17 E2F0L0Q1;\n"
              "N16 G01 X0.000 Y2.010 I0.000 J0.000;\n"      // step of pass 1 backward to T(0)
              "N17 T17 E0F0L0Q2;\n"
              "N18 G01 X1.000 Y0.904 I0.000 J0.000;\n"      // T(0) to T of the LastLen contour
              "N19 G01 X0.000 Y-1.914 I0.000 J0.000;\n"     // its step forward to its end
              "N20 T17 E0F0L0Q0;\n"
              "N21 G01 X-5.000 Y0.000 I0.000 J0.000;\n"
              "N22 M02;\n");
}

TEST(Multipass, MatrixCutsEveryPassAsAFullLoopInTheSameDirection) {
    MultipassSettings s;  // Matrix: a Len given is not used
    s.len = 5;
    const Result r = generate(kSquare, s);
    ASSERT_EQ(r.rc, 0) << r.error;
    const ReadBack b = readBack(r.text);
    EXPECT_EQ(b.switches, (std::vector<std::string>{"E0F0L0Q0", "E0F1L0Q0", "E1F2L1Q0", "E2F3L2Q0", "E3F0L0Q0"}));
    // Each pass: four sides, back where it began (the corner moved out by its gap).
    const std::vector<std::pair<int64_t, int64_t>> passStarts{{4000, -1000}, {4100, -900}, {4200, -800}};
    size_t line = 3;  // after the lead-in and the switch to pass 1
    for (const auto& start : passStarts) {
        EXPECT_EQ(b.points[line - 1], start);
        EXPECT_EQ(b.points[line + 4], start) << "pass ending at line " << line + 4;
        EXPECT_GT(b.points[line + 1].first, start.first);  // first side runs along +x every time
        line += 6;                                         // four sides, transition, switch
    }
    EXPECT_EQ(b.points.back(), (std::pair<int64_t, int64_t>{0, 0}));
}

// Distinct groups everywhere, so each switch names where it comes from and goes to.
MultipassSettings marked(int count, bool once) {
    MultipassSettings s = punch(count, 3.0);
    s.once = once;
    s.inDao = 6;
    s.outDao = 7;
    s.firstDao = 4;
    s.lastDao = 5;
    s.lastLen = 0.1;
    return s;
}

TEST(Multipass, StepCutsFollowThePassCountAndOnce) {
    struct Case {
        int count;
        bool once;
        std::vector<std::string> switches;
    };
    const std::vector<Case> cases{
        {2, false, {"E0F6L0Q0", "E6F1L0Q0", "E1F2L1Q0", "E2F4L0Q1", "E4F5L0Q2", "E5F7L0Q0"}},
        {2, true, {"E0F6L0Q0", "E6F1L0Q0", "E1F2L1Q0", "E2F4L0Q1", "E4F7L0Q0"}},
        {3, false, {"E0F6L0Q0", "E6F1L0Q0", "E1F2L1Q0", "E2F3L2Q0", "E3F4L0Q1", "E4F2L0Q2", "E2F5L0Q3", "E5F7L0Q0"}},
        {3, true, {"E0F6L0Q0", "E6F1L0Q0", "E1F2L1Q0", "E2F3L2Q0", "E3F4L0Q1", "E4F7L0Q0"}},
    };
    for (const Case& c : cases) {
        const Result r = generate(kSquare, marked(c.count, c.once));
        ASSERT_EQ(r.rc, 0) << r.error;
        const ReadBack b = readBack(r.text);
        EXPECT_EQ(b.switches, c.switches) << "count " << c.count << " once " << c.once;
        EXPECT_EQ(b.points.back(), (std::pair<int64_t, int64_t>{0, 0}));
        // The step's last cut ends at the LastLen contour's start, 0.1 mm out from the corner.
        EXPECT_EQ(b.points[b.points.size() - 4], (std::pair<int64_t, int64_t>{4900, -100}));
    }
}

TEST(Multipass, OnceAfterABackwardPassCutsTheStepBackAndForth) {
    const Result r = generate(kSquare, marked(2, true));
    ASSERT_EQ(r.rc, 0) << r.error;
    const ReadBack b = readBack(r.text);
    // After the switch to FirstDao: S(1) to S of the LastLen contour, back up the left side to
    // its step point, and down again.
    std::vector<size_t> switchLines;
    for (size_t i = 0; i < b.isSwitch.size(); ++i)
        if (b.isSwitch[i]) switchLines.push_back(i);
    ASSERT_EQ(switchLines.size(), 5u);
    const size_t sw = switchLines[3];
    EXPECT_EQ(b.points[sw + 1], (std::pair<int64_t, int64_t>{4900, -100}));
    EXPECT_EQ(b.points[sw + 2].first, 4900);
    EXPECT_NEAR(static_cast<double>(b.points[sw + 2].second), -100 + 40200 * 3.0 / 41.8, 1.0);
    EXPECT_EQ(b.points[sw + 3], (std::pair<int64_t, int64_t>{4900, -100}));
}

TEST(Multipass, FirstGapSwitchesBeforeTheFirstTransitionOnly) {
    MultipassSettings s = punch(3, 2.0);
    s.firstGap = true;
    const Result r = generate(kSquare, s);
    ASSERT_EQ(r.rc, 0) << r.error;
    EXPECT_NE(r.text.find("N7 G01 X0.000 Y-39.981 I0.000 J0.000;\nN8 T17 E1F2L1Q0;\nN9 G01 X0.100 Y0.091"),
              std::string::npos)
        << r.text;
    EXPECT_NE(r.text.find("N14 G01 X0.100 Y0.100 I0.000 J0.000;\nN15 T17 E2F3L2Q0;"), std::string::npos) << r.text;
}

TEST(Multipass, EightPassesNumberTheirSwitches) {
    MultipassSettings s = punch(8, 1.0);
    const Result r = generate(kSquare, s);
    ASSERT_EQ(r.rc, 0) << r.error;
    const ReadBack b = readBack(r.text);
    ASSERT_EQ(b.switches.size(), 2u + 7 + 7 + 1 + 1);
    EXPECT_EQ(b.switches[8], "E7F1L7Q0");  // Dao8 defaults to 1
    EXPECT_EQ(b.switches[9], "E1F0L0Q1");
    EXPECT_EQ(b.switches[15], "E6F7L0Q7");
    EXPECT_EQ(b.switches[16], "E7F0L0Q8");
    EXPECT_EQ(b.points.back(), (std::pair<int64_t, int64_t>{0, 0}));
}

TEST(Multipass, StepPointOnAnArcLiesOnEachPassCircle) {
    MultipassSettings s = punch(2, 3.0);
    s.offset[0] = 0.2;
    s.offset[1] = 0.1;
    s.lastLen = 0.05;
    const Result r = generate(kSlot, s);
    ASSERT_EQ(r.rc, 0) << r.error;
    const ReadBack b = readBack(r.text);
    // The last arc is centred at (0, 0); its pass circles have radius 4.8, 4.9 and 4.95 (clockwise,
    // gaps to the right shrink it). T(p) lies 3/(4.9 pi) of the half turn before its end (0, 5 - g).
    const double turn = 3.0 / 4.9;
    const auto expectT = [&](size_t line, double radius) {
        const double x = -radius * std::sin(turn), y = radius * std::cos(turn);
        EXPECT_NEAR(b.points[line].first / 1000.0, x, 0.0011) << "line " << line;
        EXPECT_NEAR(b.points[line].second / 1000.0, y, 0.0011) << "line " << line;
    };
    expectT(7, 4.8);    // pass 1 ends at T(0)
    expectT(8, 4.9);    // the transition reaches T(1)
    expectT(16, 4.8);   // pass 1's step cut backward ends at T(0)
    expectT(18, 4.95);  // the LastLen contour's step point
}

TEST(Multipass, AnArcPieceShorterThanAMicronIsALineOfNoLength) {
    // The step ends 0.4 um into the arc before the last side: its piece of that arc would read
    // back as a full circle.
    const char* const slot =
        "N0 G92 X0.000 Y0.000;\nN1 G01 X0.000 Y5.000;\nN2 G02 X0.000 Y-10.000 I0.000 J-5.000;\n"
        "N3 G01 X-10.000 Y0.000;\nN4 G02 X0.000 Y10.000 I0.000 J5.000;\nN5 G01 X10.000 Y0.000;\n"
        "N6 G01 X0.000 Y-5.000;\nN7 M02;\n";
    MultipassSettings s = punch(2, 10.0004);
    s.offset[0] = 0.2;
    s.offset[1] = 0.1;
    const Result r = generate(slot, s);
    ASSERT_EQ(r.rc, 0) << r.error;
    EXPECT_NE(r.text.find("N14 G01 X-10.000 Y0.000 I0.000 J0.000;\nN15 G01 X0.000 Y0.000 I0.000 J0.000;\n"
                          "N16 T17 E0F0L0Q2;\nN17 G01 X0.000 Y0.200 I0.000 J0.000;\n"
                          "N18 G01 X0.000 Y0.000 I0.000 J0.000;\n"),
              std::string::npos)
        << r.text;
    EXPECT_EQ(r.text.find("G02 X0.000 Y0.000"), std::string::npos);
}

TEST(Multipass, ContoursJoinedByAJumpKeepTheJumpBetweenTheirBlocks) {
    const Result r = generate(kTwoHoles, punch(2, 1.0));
    ASSERT_EQ(r.rc, 0) << r.error;
    EXPECT_NE(r.text.find("N15 G01 X-2.000 Y0.000 I0.000 J0.000;\nN16 M00;\nN5 G01 X20.000 Y0.000;\nN17 M00;\n"
                          "N18 T17 E0F0L0Q0;\nN19 G01 X4.000 Y0.000"),
              std::string::npos)
        << r.text;
    EXPECT_EQ(r.text.find("M02"), r.text.size() - 5);
    const LoadedProgram back = load(r.text, "result.4nb");
    EXPECT_EQ(back.kind, kKindIsoSwitches);
    ASSERT_EQ(back.jumps.size(), 1u);
    EXPECT_EQ(back.jumps[0].x, 20);
}

TEST(Multipass, TwoContourSourceGivesPairedProgramsWithItsHeader) {
    const std::string source =
        "****************************************\n"
        "Korvex -Version 2.0 -Type ZD -Height 100.000 -Width 20.000 -Base 30.000 -R 5.000 -Degree 1.500\n"
        "****************************************\n"
        "N0 G92 X0.000 Y0.000; N0 G92 X0.000 Y0.000;\nN1 G01 X6.000 Y1.000; N1 G01 X5.000 Y0.000;\n"
        "N2 G01 X8.000 Y0.000; N2 G01 X10.000 Y0.000;\nN3 G01 X0.000 Y8.000; N3 G01 X0.000 Y10.000;\n"
        "N4 G01 X-8.000 Y0.000; N4 G01 X-10.000 Y0.000;\nN5 G01 X0.000 Y-8.000; N5 G01 X0.000 Y-10.000;\n"
        "N6 G01 X-6.000 Y-1.000; N6 G01 X-5.000 Y0.000;\nN7 M02; N7 M02;\n";
    Result r;
    r.rc = multipassFileText(load(source, "taper.3nb"), punch(3, 3.0), r.text, r.error);
    ASSERT_EQ(r.rc, 0) << r.error;
    EXPECT_EQ(r.text.rfind("****************************************\n"
                           "Korvex -Version 2.0 -Type ZD -Height 100.000 -Width 20.000 -Base 30.000 -R 5.000 "
                           "-Degree 1.500\n****************************************\n"
                           "N0 G92 X0.000 Y0.000; N0 G92 X0.000 Y0.000;\nN1 T17 E0F0L0Q0; N1 T17 E0F0L0Q0;\n",
                           0),
              0u)
        << r.text;
    // Loaded back under a name without ".3nb": two contours, the header's values, both closed.
    LoadedProgram back = load(r.text, "taper.4nb");
    EXPECT_EQ(back.kind, kKindTwoContourSwitches);
    EXPECT_TRUE(back.taper.present);
    EXPECT_EQ(back.taper.heightX10, 1000);
    EXPECT_EQ(back.taper.angleX1000, 1500);
    int64_t ux = 0, uy = 0, lx = 0, ly = 0;
    for (const CodeSegment& seg : back.segments) {
        EXPECT_EQ(seg.upper.kind == kElementSwitch, seg.lower.kind == kElementSwitch);
        if (seg.upper.kind == kElementSwitch) continue;
        ux += seg.upper.dx();
        uy += seg.upper.dy();
        lx += seg.lower.dx();
        ly += seg.lower.dy();
    }
    EXPECT_EQ(ux, 0);
    EXPECT_EQ(uy, 0);
    EXPECT_EQ(lx, 0);
    EXPECT_EQ(ly, 0);

    // Without taper values the source is refused as not processed.
    Result plain;
    const std::string noHeader = source.substr(source.find("N0 "));
    plain.rc = multipassFileText(load(noHeader, "taper.iso"), punch(3, 3.0), plain.text, plain.error);
    EXPECT_EQ(plain.rc, -1);
    EXPECT_EQ(plain.error, "The following file processed failed:\ntaper.iso");
}

TEST(Multipass, ReservedLengthMustBeShorterThanTheLastPassContour) {
    // The last of two passes runs 0.9 mm outside the square: 4 x 41.8 = 167.2 mm.
    struct Case {
        double len;
        int rc;
        const char* error;
    };
    for (const Case& c : {Case{167.199, 0, ""}, Case{167.2, -1, "The reserved length is too large!"},
                          Case{168.0, -1, "The reserved length is too large!"}}) {
        const Result r = generate(kSquare, punch(2, c.len));
        EXPECT_EQ(r.rc, c.rc) << c.len;
        EXPECT_EQ(r.error, c.error) << c.len;
    }
}

TEST(Multipass, UnsoundContoursFailTheGeneration) {
    const char* const shrunk =  // a hole of radius 0.5: a 1 mm gap inside it would cut the part
        "N0 G92 X0.000 Y0.000;\nN1 G01 X0.500 Y0.000;\nN2 G02 X0.000 Y0.000 I-0.500 J0.000;\n"
        "N3 G01 X-0.500 Y0.000;\nN4 M02;\n";
    const char* const open =  // the cutting elements end 0.02 mm short of their start
        "N0 G92 X0.000 Y0.000;\nN1 G01 X5.000 Y0.000;\nN2 G01 X10.000 Y0.000;\nN3 G01 X0.000 Y10.000;\n"
        "N4 G01 X-10.000 Y0.000;\nN5 G01 X0.000 Y-9.980;\nN6 G01 X-5.000 Y-0.020;\nN7 M02;\n";
    const char* const narrow =  // a 1 mm slot: a 1 mm gap inside runs its sides backwards
        "N0 G92 X0.000 Y0.000;\nN1 G01 X1.000 Y0.000;\nN2 G01 X20.000 Y0.000;\nN3 G01 X0.000 Y1.000;\n"
        "N4 G01 X-20.000 Y0.000;\nN5 G01 X0.000 Y-1.000;\nN6 G01 X-1.000 Y0.000;\nN7 M02;\n";
    MultipassSettings inside;
    inside.offset[0] = -1.0;  // left of a counter-clockwise contour: inside
    for (const char* source : {shrunk, open}) {
        const Result r = generate(source, MultipassSettings{});
        EXPECT_EQ(r.rc, -1);
        EXPECT_EQ(r.error, "Generate multple file failed");
    }
    const Result r = generate(narrow, inside);
    EXPECT_EQ(r.rc, -1);
    EXPECT_EQ(r.error, "Generate multple file failed");
}

std::vector<std::string> gTraced;
void collectTrace(const char* text) { gTraced.emplace_back(text); }

TEST(Multipass, FailuresLeaveTheirTraceTexts) {
    gTraced.clear();
    setGeometryTraceHook(collectTrace);
    generate(kSquare, punch(2, 500.0));
    SegmentMultipleSettings s;
    s.len = 1;
    std::string text, error;
    segmentMultipleFileText("N1 M00;", s, text, error);
    segmentMultipleFileText("N1 G01 X;", s, text, error);
    setGeometryTraceHook(nullptr);
    const auto traced = [](const std::string& t) {
        return std::find(gTraced.begin(), gTraced.end(), t) != gTraced.end();
    };
    EXPECT_TRUE(traced("LengthEqu error!1\n"));
    EXPECT_TRUE(traced("方程无效:N1 M00;!\n"));
    EXPECT_TRUE(traced("方程转换失败:N1 G01 X;!\n"));
}

TEST(Multipass, MoreSwitchesThanTheLoaderTakesAreRefused) {
    // 170 holes of 18 switches each (8 passes, a step cut on each).
    std::string program = "N0 G92 X0.000 Y0.000;\n";
    int n = 1;
    for (int hole = 0; hole < 170; ++hole) {
        if (hole > 0) {
            program += "N" + std::to_string(n++) + " M00;\n";
            program += "N" + std::to_string(n++) + " G01 X20.000 Y0.000;\n";
            program += "N" + std::to_string(n++) + " M00;\n";
        }
        program += "N" + std::to_string(n++) + " G01 X5.000 Y0.000;\n";
        program += "N" + std::to_string(n++) + " G03 X0.000 Y0.000 I-5.000 J0.000;\n";
        program += "N" + std::to_string(n++) + " G01 X-5.000 Y0.000;\n";
    }
    program += "N" + std::to_string(n) + " M02;\n";
    Result r = generate(program.c_str(), punch(8, 1.0));
    EXPECT_EQ(r.rc, -1);
    EXPECT_EQ(r.error, "Generate multple file failed");
    EXPECT_TRUE(r.text.empty());
    r = generate(program.c_str(), punch(7, 1.0));  // 16 a hole: 2720
    EXPECT_EQ(r.rc, 0) << r.error;
}

TEST(Multipass, SettingsTheDialogsRefuse) {
    const auto problem = [](auto change) {
        MultipassSettings s;
        change(s);
        return multipassSettingsProblem(s);
    };
    EXPECT_EQ(problem([](MultipassSettings&) {}), "");
    EXPECT_EQ(problem([](MultipassSettings& s) { s.count = 1; }), "Count");
    EXPECT_EQ(problem([](MultipassSettings& s) { s.count = 9; }), "Count");
    EXPECT_EQ(problem([](MultipassSettings& s) { s.len = -0.001; }), "Len");
    EXPECT_EQ(problem([](MultipassSettings& s) { s.lastLen = 5.001; }), "LastLen");
    EXPECT_EQ(problem([](MultipassSettings& s) { s.offset[7] = NAN; }), "Offset8");
    EXPECT_EQ(problem([](MultipassSettings& s) { s.dao[2] = 8; }), "Dao3");
    EXPECT_EQ(problem([](MultipassSettings& s) { s.lastDao = -1; }), "LastDao");
    EXPECT_EQ(problem([](MultipassSettings& s) { s.offset[0] = -5.0; }), "");
}

std::string segment(const char* line, int count, double len, std::array<double, 8> offsets) {
    SegmentMultipleSettings s;
    s.count = count;
    s.len = len;
    s.offset = offsets;
    std::string text, error;
    EXPECT_EQ(segmentMultipleFileText(line, s, text, error), 0) << error;
    return text;
}

TEST(SegmentMultiple, TwoPassesRightOfTheEdgeEndAtTheLeadInsOuterEnd) {
    EXPECT_EQ(segment("N1 G01 X10.000 Y0.000;", 2, 2.0, {1.0, 0.9, 0.8, 0.7, 0.6, 0.5, 0.4, 0.3}),
              "****************************************\n"
              "Korvex -Version 2.0\n"
              "****************************************\n"
              "N0 G92 X0.000 Y0.000;\n"
              "N1 T17 E0F0L0Q0;\n"
              "N2 G01 X0.000 Y1.000 I0.000 J0.000;\n"
              "N3 T17 E0F1L0Q0;\n"
              "N4 G01 X10.000 Y0.000 I0.000 J0.000;\n"
              "N5 G01 X0.000 Y0.100 I0.000 J0.000;\n"
              "N6 T17 E1F2L1Q0;\n"
              "N7 G01 X-10.000 Y0.000 I0.000 J0.000;\n"
              "N8 T17 E2F0L2Q0;\n"
              "N9 G01 X0.000 Y-1.100 I0.000 J0.000;\n"
              "N10 M02;\n");
}

TEST(SegmentMultiple, ThreePassesLeftOfTheEdgeEndAtTheLeadOutsOuterEnd) {
    // Travel along +y: left is -x, so the wire starts 2 mm left of the edge and the passes run
    // 1, 0.9 and 0.8 mm left of it.
    EXPECT_EQ(segment("N4 G01 X0.000 Y10.000;", 3, -2.0, {-1.0, -0.9, -0.8, 0.7, 0.6, 0.5, 0.4, 0.3}),
              "****************************************\n"
              "Korvex -Version 2.0\n"
              "****************************************\n"
              "N0 G92 X0.000 Y0.000;\n"
              "N1 T17 E0F0L0Q0;\n"
              "N2 G01 X1.000 Y0.000 I0.000 J0.000;\n"
              "N3 T17 E0F1L0Q0;\n"
              "N4 G01 X0.000 Y10.000 I0.000 J0.000;\n"
              "N5 G01 X0.100 Y0.000 I0.000 J0.000;\n"
              "N6 T17 E1F2L1Q0;\n"
              "N7 G01 X0.000 Y-10.000 I0.000 J0.000;\n"
              "N8 G01 X0.100 Y0.000 I0.000 J0.000;\n"
              "N9 T17 E2F3L2Q0;\n"
              "N10 G01 X0.000 Y10.000 I0.000 J0.000;\n"
              "N11 T17 E3F0L3Q0;\n"
              "N12 G01 X-1.200 Y0.000 I0.000 J0.000;\n"
              "N13 M02;\n");
    // The other counts on both sides, read back: the last move ends at the outer end of the lead
    // on the side the last pass ended.
    for (const int count : {2, 3}) {
        for (const double side : {1.0, -1.0}) {
            const std::string text =
                segment("N1 G01 X10.000 Y0.000;", count, 2.0 * side, {side, 0.9 * side, 0.8 * side});
            const ReadBack b = readBack(text);
            const int64_t endX = count % 2 == 0 ? 0 : 10000;
            EXPECT_EQ(b.points.back(), (std::pair<int64_t, int64_t>{endX, 0})) << count << " " << side;
        }
    }
}

TEST(SegmentMultiple, RefusesAnythingButAStraightLineWithLeadsOnTheGapsSide) {
    SegmentMultipleSettings s;
    s.len = 2;
    std::string text, error;
    EXPECT_EQ(segmentMultipleFileText("N2 G02 X1.000 Y1.000 I1.000 J0.000;", s, text, error), -1);
    EXPECT_EQ(error, "Generate multple file failed");
    EXPECT_EQ(segmentMultipleFileText("N2 M00;", s, text, error), -1);
    EXPECT_EQ(segmentMultipleFileText("N2 G01 X;", s, text, error), -1);
    s.len = -2;  // leads left, gaps right
    EXPECT_EQ(segmentMultipleFileText("N2 G01 X1.000 Y0.000;", s, text, error), -1);
    s.len = 0;
    EXPECT_EQ(segmentMultipleFileText("N2 G01 X1.000 Y0.000;", s, text, error), -1);
    s.len = 2;
    EXPECT_EQ(segmentMultipleFileText("N2 G01 X0.000 Y0.000;", s, text, error), -1);
    EXPECT_EQ(segmentMultipleFileText("N2 G01 X1.000 Y0.000;", s, text, error), 0);
}

}  // namespace
}  // namespace korvex
