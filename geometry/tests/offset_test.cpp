#include "geometry/offset.h"

#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "code/loader.h"
#include "geometry/compensate.h"
#include "geometry/trace.h"

namespace korvex {
namespace {

using Lines = std::vector<std::string>;

// A 10 mm square cut clockwise from the middle of its top side, entered from the centre.
const Lines kSquare = {
    "N0 G92 X0.000 Y0.000;", "N1 G01 X0.000 Y5.000;",   "N2 G01 X5.000 Y0.000;",
    "N3 G01 X0.000 Y-10.000;", "N4 G01 X-10.000 Y0.000;", "N5 G01 X0.000 Y10.000;",
    "N6 G01 X5.000 Y0.000;",   "N7 G01 X0.000 Y-5.000;",  "N8 M02;",
};

Lines offsetOf(const Lines& in, double offset, CornerType corner) {
    Lines out;
    std::string error;
    EXPECT_EQ(offsetProgram(in, 1, 0, offset, corner, out, error), 0) << error;
    return out;
}

TEST(OffsetSquare, SharpInsideMovesEverySideAndKeepsCorners) {
    const Lines expected = {
        "N0 G92 X0.000 Y0.000;",
        "N1 G01 X0.000 Y4.900 I0.000 J0.000;",
        "N2 G01 X4.900 Y0.000 I0.000 J0.000;",
        "N3 G01 X0.000 Y-9.800 I0.000 J0.000;",
        "N4 G01 X-9.800 Y0.000 I0.000 J0.000;",
        "N5 G01 X0.000 Y9.800 I0.000 J0.000;",
        "N6 G01 X4.900 Y0.000 I0.000 J0.000;",
        "N7 G01 X0.000 Y-4.900 I0.000 J0.000;",
        "N8 M02;",
    };
    EXPECT_EQ(offsetOf(kSquare, 0.1, CornerType::Sharp), expected);
}

TEST(OffsetSquare, SharpOutsideStretchesLeadInAndLeadOut) {
    const Lines out = offsetOf(kSquare, -0.1, CornerType::Sharp);
    ASSERT_EQ(out.size(), 9u);
    EXPECT_EQ(out[1], "N1 G01 X0.000 Y5.100 I0.000 J0.000;");
    EXPECT_EQ(out[3], "N3 G01 X0.000 Y-10.200 I0.000 J0.000;");
    EXPECT_EQ(out[7], "N7 G01 X0.000 Y-5.100 I0.000 J0.000;");
}

TEST(OffsetSquare, RoundCornersAreQuarterArcsTurningWithTheCorner) {
    // Inside: the crossing of the moved sides is rounded with radius 0.1.
    const Lines inside = offsetOf(kSquare, 0.1, CornerType::Round);
    ASSERT_EQ(inside.size(), 13u);
    EXPECT_EQ(inside[2], "N2 G01 X4.800 Y0.000 I0.000 J0.000;");
    EXPECT_EQ(inside[3], "N3 G02 X0.100 Y-0.100 I0.000 J-0.100;");
    EXPECT_EQ(inside[4], "N4 G01 X0.000 Y-9.600 I0.000 J0.000;");
    EXPECT_EQ(inside[11], "N11 G01 X0.000 Y-4.900 I0.000 J0.000;");
    // Outside: the arc runs round the drawn corner.
    const Lines outside = offsetOf(kSquare, -0.1, CornerType::Round);
    ASSERT_EQ(outside.size(), 13u);
    EXPECT_EQ(outside[2], "N2 G01 X5.000 Y0.000 I0.000 J0.000;");
    EXPECT_EQ(outside[3], "N3 G02 X0.100 Y-0.100 I0.000 J-0.100;");
    EXPECT_EQ(outside[4], "N4 G01 X0.000 Y-10.000 I0.000 J0.000;");
    // Counter-clockwise the arcs turn left.
    const Lines ccw = {
        "N0 G92 X0.000 Y0.000;", "N1 G01 X5.000 Y0.000;", "N2 G01 X0.000 Y5.000;",
        "N3 G01 X-10.000 Y0.000;", "N4 G01 X0.000 Y-10.000;", "N5 G01 X10.000 Y0.000;",
        "N6 G01 X0.000 Y5.000;", "N7 G01 X-5.000 Y0.000;", "N8 M02;",
    };
    const Lines left = offsetOf(ccw, 0.1, CornerType::Round);
    ASSERT_EQ(left.size(), 13u);
    EXPECT_EQ(left[3], "N3 G03 X-0.100 Y0.100 I-0.100 J0.000;");
}

TEST(OffsetSquare, OuterCornerWithSlightTurnOnShortSideIsRoundedRoundTheCorner) {
    // A 20 degree left turn after a 1 mm side, offset 0.5 outside: the arc must run round the
    // drawn corner (1, 0), not loop back beyond the crossing of the moved sides.
    const Lines in = {
        "N0 G92 X0.000 Y0.000;", "N1 G01 X0.000 Y-2.000;", "N2 G01 X1.000 Y0.000;",
        "N3 G01 X3.759 Y1.368;", "N4 G01 X-4.759 Y0.632;", "N5 G01 X0.000 Y0.000;", "N6 M02;",
    };
    const Lines out = offsetOf(in, 0.5, CornerType::Round);
    ASSERT_GE(out.size(), 8u);
    EXPECT_EQ(out[2], "N2 G01 X1.000 Y0.000 I0.000 J0.000;");
    EXPECT_EQ(out[3], "N3 G03 X0.171 Y0.030 I0.000 J0.500;");
}

TEST(OffsetContour, CollinearNeighboursJoinAtTheProjectedJoint) {
    const Lines in = {
        "N0 G92 X0.000 Y0.000;", "N1 G01 X0.000 Y1.000;", "N2 G01 X3.000 Y3.000;",
        "N3 G01 X2.000 Y2.000;", "N4 G01 X0.000 Y-5.000;", "N5 G01 X-5.000 Y0.000;",
        "N6 G01 X0.000 Y-1.000;", "N7 M02;",
    };
    const Lines out = offsetOf(in, 0.1, CornerType::Sharp);
    ASSERT_EQ(out.size(), 8u);
    // The joint (3, 4) moved 0.1 to the right of the slope-1 travel: (3.0707, 3.9293).
    int x = 0, y = 0;
    for (int k = 1; k <= 2; ++k) {
        IsoStatement s;
        ASSERT_EQ(parseIsoStatement(out[static_cast<size_t>(k)].c_str(), s), 0);
        x += s.x;
        y += s.y;
    }
    EXPECT_EQ(x, 3071);
    EXPECT_EQ(y, 3929);
}

TEST(OffsetContour, LeadOutIsForcedBackToTheStart) {
    Lines in = kSquare;
    in[7] = "N7 G01 X0.013 Y-4.992;";  // misses the start by 13 and 8 µm
    const Lines out = offsetOf(in, 0.1, CornerType::Sharp);
    ASSERT_EQ(out.size(), 9u);
    EXPECT_EQ(out[7], "N7 G01 X0.000 Y-4.900 I0.000 J0.000;");
}

TEST(OffsetContour, ArcMeetingLineWithoutCrossingIsConnectedRoundTheCorner) {
    // A line along +x, then a clockwise arc of radius 0.3 whose centre lies level with the
    // corner: moved 0.2 to the right, the line passes below the shrunk circle.
    const Lines in = {
        "N0 G92 X0.000 Y0.000;", "N1 G01 X0.000 Y1.000;", "N2 G01 X3.000 Y0.000;",
        "N3 G02 X0.600 Y0.000 I0.300 J0.000;", "N4 G01 X0.000 Y-3.000;",
        "N5 G01 X-4.600 Y0.000;", "N6 G01 X1.000 Y3.000;", "N7 G01 X0.000 Y-1.000;", "N8 M02;",
    };
    const Lines out = offsetOf(in, 0.2, CornerType::Sharp);
    ASSERT_EQ(out.size(), 10u);
    // Entered at the corner (0, 1), the moved side starts where the moved sides cross.
    EXPECT_EQ(out[1], "N1 G01 X0.144 Y0.800 I0.000 J0.000;");
    EXPECT_EQ(out[2], "N2 G01 X2.856 Y0.000 I0.000 J0.000;");
    // The connection: centred on the corner (3, 1) with radius 0.2, from below it to the
    // shrunk circle, turning against the arc.
    EXPECT_EQ(out[3], "N3 G03 X0.200 Y0.200 I0.000 J0.200;");
    EXPECT_EQ(out[4].substr(0, 7), "N4 G02 ");
}

TEST(OffsetContour, ConcentricNeighboursJoinOnTheRadius) {
    // A circle of radius 5 cut as two half arcs from the end of a lead-in along its radius.
    const Lines in = {
        "N0 G92 X0.000 Y0.000;", "N1 G01 X5.000 Y0.000;",
        "N2 G03 X-10.000 Y0.000 I-5.000 J0.000;", "N3 G03 X10.000 Y0.000 I5.000 J0.000;",
        "N4 G01 X-5.000 Y0.000;", "N5 M02;",
    };
    const Lines expected = {
        "N0 G92 X0.000 Y0.000;",
        "N1 G01 X5.100 Y0.000 I0.000 J0.000;",
        "N2 G03 X-10.200 Y0.000 I-5.100 J0.000;",
        "N3 G03 X10.200 Y0.000 I5.100 J0.000;",
        "N4 G01 X-5.100 Y0.000 I0.000 J0.000;",
        "N5 M02;",
    };
    EXPECT_EQ(offsetOf(in, 0.1, CornerType::Sharp), expected);
}

std::vector<std::string> gTrace;
void collect(const char* text) { gTrace.emplace_back(text); }

TEST(OffsetContour, FailureIsTracedWithTheElementIndex) {
    const Lines in = {
        "N0 G92 X0.000 Y0.000;", "N1 G01 X0.000 Y5.000;", "N2 G01 X5.000 Y0.000;", "N3 M00;",
        "N4 G01 X0.000 Y-5.000;", "N5 G01 X-5.000 Y0.000;", "N6 G01 X0.000 Y0.000;", "N7 M02;",
    };
    Lines lines = in;
    gTrace.clear();
    setGeometryTraceHook(collect);
    EXPECT_EQ(compensateContour(lines, 0, static_cast<int>(lines.size()), 0.1, CornerType::Sharp), -1);
    setGeometryTraceHook(nullptr);
    EXPECT_EQ(lines, in);
    ASSERT_GE(gTrace.size(), 2u);
    EXPECT_EQ(gTrace[gTrace.size() - 2], "UNKNOW TYPE\n");
    EXPECT_EQ(gTrace.back(), "CompensateEqus error!1\n");
}

TEST(OffsetProgram, ResultLoadsAsAnIsoProgramEndingAtTheStart) {
    std::string text;
    for (const std::string& line : offsetOf(kSquare, -0.2, CornerType::Round)) text += line + "\n";
    LoadOptions options;
    options.threads = 1;
    LoadedProgram program;
    LoadFailure failure;
    ASSERT_EQ(loadProgramText(text, "@_@_gap.iso", options, program, failure), 0) << failure.message;
    EXPECT_EQ(program.kind, kKindIso);
    int64_t x = 0, y = 0;
    int arcs = 0;
    for (const CodeSegment& s : program.segments) {
        x += s.lower.dx();
        y += s.lower.dy();
        if (s.lower.isArc()) {
            ++arcs;
            EXPECT_EQ(s.lower.radius, 200);
        }
    }
    EXPECT_EQ(arcs, 4);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
}

TEST(OffsetProgram, RefusalsComeInOrderAndLeaveNothing) {
    Lines out = {"untouched"};
    std::string error;
    EXPECT_EQ(offsetProgram(kSquare, 3, 2, 0.1, CornerType::Sharp, out, error), -1);
    EXPECT_EQ(error, kOffsetNotForTaper);
    for (int kind : {4, 5}) {
        EXPECT_EQ(offsetProgram(kSquare, kind, 0, 0.1, CornerType::Sharp, out, error), -1);
        EXPECT_EQ(error, kOffsetNotForTaper);
    }
    EXPECT_EQ(offsetProgram(kSquare, 1, 1, 0.1, CornerType::Sharp, out, error), -1);
    EXPECT_EQ(error, kOffsetNotForJumps);
    EXPECT_EQ(out, Lines{"untouched"});
}

TEST(OffsetProgram, FailuresReportOffsetSetupFailed) {
    struct Case { const char* why; Lines lines; double offset; };
    const Case cases[] = {
        // Radius 0.3 arc, offset 0.3 to its inside: shrunk to its centre.
        {"arc shrunk to its centre",
         {"N0 G92 X0.000 Y0.000;", "N1 G01 X0.000 Y1.000;", "N2 G02 X0.600 Y0.000 I0.300 J0.000;",
          "N3 G01 X0.000 Y-2.000;", "N4 G01 X-0.600 Y0.000;", "N5 G01 X0.000 Y1.000;",
          "N6 G01 X0.000 Y0.000;", "N7 M02;"},
         0.3},
        {"arc shrunk past its centre",
         {"N0 G92 X0.000 Y0.000;", "N1 G01 X0.000 Y1.000;", "N2 G02 X0.600 Y0.000 I0.300 J0.000;",
          "N3 G01 X0.000 Y-2.000;", "N4 G01 X-0.600 Y0.000;", "N5 G01 X0.000 Y1.000;",
          "N6 G01 X0.000 Y0.000;", "N7 M02;"},
         0.5},
        {"pause inside the contour",
         {"N0 G92 X0.000 Y0.000;", "N1 G01 X0.000 Y5.000;", "N2 G01 X5.000 Y0.000;", "N3 M00;",
          "N4 G01 X0.000 Y-5.000;", "N5 G01 X-5.000 Y0.000;", "N6 G01 X0.000 Y0.000;", "N7 M02;"},
         0.1},
        {"line that does not parse",
         {"N0 G92 X0.000 Y0.000;", "N1 G01 X0.000 Y5.000;", "N2 G90 X5.000 Y0.000;",
          "N3 G01 X0.000 Y-5.000;", "N4 M02;"},
         0.1},
        {"side turning straight back", 
         {"N0 G92 X0.000 Y0.000;", "N1 G01 X0.000 Y1.000;", "N2 G01 X5.000 Y0.000;",
          "N3 G01 X-5.000 Y0.000;", "N4 G01 X0.000 Y-1.000;", "N5 M02;"},
         0.1},
        {"too short", {"N0 G92 X0.000 Y0.000;", "N1 G01 X0.000 Y5.000;", "N2 M02;"}, 0.1},
        // Sides moved 5.5 into a 10 mm square cross over and would be cut backwards.
        {"offset wider than the part", kSquare, 5.5},
        {"offset not a number", kSquare, std::nan("")},
        // A short arc between two sides closing in on it: its moved ends swap over and it would
        // run 334 degrees the other way round.
        {"arc ends swapped over",
         {"N0 G92 X0.000 Y0.000;", "N1 G01 X0.000 Y5.000;", "N2 G01 X3.340 Y-4.874;",
          "N3 G02 X0.248 Y0.084 I0.380 J-0.715;", "N4 G01 X-3.588 Y4.790;", "N5 G01 X0.000 Y-5.000;",
          "N6 M02;"},
         -0.38},
        {"coordinates beyond 32-bit microns",
         {"N0 G92 X0.000 Y0.000;", "N1 G01 X0.000 Y5.000;", "N2 G01 X2100000.000 Y0.000;",
          "N3 G01 X2100000.000 Y0.000;", "N4 G01 X0.000 Y-5.000;", "N5 G01 X-4200000.000 Y0.000;",
          "N6 M02;"},
         0.1},
    };
    for (const Case& c : cases) {
        Lines out;
        std::string error;
        EXPECT_EQ(offsetProgram(c.lines, 1, 0, c.offset, CornerType::Sharp, out, error), -1) << c.why;
        EXPECT_EQ(error, kOffsetFailed) << c.why;
    }
}

TEST(OffsetContour, ArcShrunkBelowAMicronIsLeftOutNotWrittenAsFullCircle) {
    // A 2 µm arc between two lines running on from it: moved 0.4 towards its centre, both its
    // ends fall on the same point.
    const Lines in = {
        "N0 G92 X0.000 Y0.000;", "N1 G01 X0.000 Y1.000;", "N2 G01 X2.000 Y0.000;",
        "N3 G02 X0.002 Y0.000 I0.001 J-0.500;", "N4 G01 X2.000 Y0.000;", "N5 G01 X0.000 Y-3.000;",
        "N6 G01 X-3.002 Y0.000;", "N7 G01 X-1.000 Y3.000;", "N8 G01 X0.000 Y-1.000;", "N9 M02;",
    };
    const Lines out = offsetOf(in, 0.4, CornerType::Sharp);
    ASSERT_EQ(out.size(), 9u);
    for (const std::string& line : out) EXPECT_EQ(line.find("G02"), std::string::npos) << line;
    // A drawn full circle stays a full circle.
    const Lines circle = {
        "N0 G92 X0.000 Y0.000;", "N1 G01 X5.000 Y0.000;", "N2 G02 X0.000 Y0.000 I-5.000 J0.000;",
        "N3 G01 X-5.000 Y0.000;", "N4 M02;",
    };
    const Lines ring = offsetOf(circle, -0.1, CornerType::Sharp);
    ASSERT_EQ(ring.size(), 5u);
    EXPECT_EQ(ring[2], "N2 G02 X0.000 Y0.000 I-5.100 J0.000;");
}

TEST(RoundCorner, ArcShorterThanAMicronIsNotMade) {
    // Two lines turning by a hair over 0.001 in slope: the corner arc would round to nothing,
    // which reads back as a full circle.
    const Lines in = {
        "N0 G92 X0.000 Y0.000;", "N1 G01 X0.000 Y-1.000;", "N2 G01 X10.000 Y0.000;",
        "N3 G01 X10.000 Y0.015;", "N4 G01 X-20.000 Y-0.015;", "N5 G01 X0.000 Y1.000;", "N6 M02;",
    };
    const Lines out = offsetOf(in, 0.1, CornerType::Round);
    for (const std::string& line : out) EXPECT_EQ(line.find("X0.000 Y0.000 I"), std::string::npos) << line;
}

}  // namespace
}  // namespace korvex
