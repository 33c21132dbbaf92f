#include "geometry/equ.h"

#include <cmath>

#include <gtest/gtest.h>

namespace korvex {
namespace {

IsoStatement parsed(const char* line) {
    IsoStatement s;
    EXPECT_EQ(parseIsoStatement(line, s), 0) << line;
    return s;
}

TEST(StatementToEqu, StoredOffsetFollowsTheDirectionOfTravel) {
    struct Case { const char* line; double stored; };
    const Case cases[] = {
        {"N1 G01 X1.000 Y-1.000;", -0.2}, {"N1 G01 X0.000 Y-1.000;", -0.2},
        {"N1 G01 X1.000 Y0.000;", -0.2},  {"N1 G01 X-1.000 Y0.000;", 0.2},
        {"N1 G01 X0.000 Y1.000;", 0.2},   {"N1 G01 X-1.000 Y1.000;", 0.2},
        {"N1 G02 X2.000 Y0.000 I1.000 J0.000;", -0.2},
        {"N1 G03 X2.000 Y0.000 I1.000 J0.000;", 0.2},
    };
    for (const Case& c : cases) {
        Equ e;
        ASSERT_EQ(statementToEqu(parsed(c.line), 1, 2, 0.2, e), 0) << c.line;
        EXPECT_DOUBLE_EQ(e.offset, c.stored) << c.line;
        EXPECT_DOUBLE_EQ(requestedOffset(e), 0.2) << c.line;
    }
}

TEST(StatementToEqu, LineAndArcGeometryIsAbsolute) {
    Equ e;
    ASSERT_EQ(statementToEqu(parsed("N1 G01 X2.000 Y1.000;"), 1, 1, 0, e), 0);
    EXPECT_DOUBLE_EQ(e.source.lineA, 1);
    EXPECT_DOUBLE_EQ(e.source.lineB, 0.5);
    EXPECT_DOUBLE_EQ(e.source.lineC, 0.5);
    EXPECT_DOUBLE_EQ(e.source.endX, 3);
    ASSERT_EQ(statementToEqu(parsed("N1 G01 X0.000 Y-3.000;"), 4, 1, 0, e), 0);
    EXPECT_DOUBLE_EQ(e.source.lineA, 0);
    EXPECT_DOUBLE_EQ(e.source.lineC, -4);
    ASSERT_EQ(statementToEqu(parsed("N1 G03 X0.000 Y8.000 I3.000 J4.000;"), 1, 1, 0, e), 0);
    EXPECT_EQ(e.source.kind, kEquArcCcw);
    EXPECT_DOUBLE_EQ(e.source.centreX, 4);
    EXPECT_DOUBLE_EQ(e.source.centreY, 5);
    EXPECT_DOUBLE_EQ(e.source.radius, 5);
}

TEST(StatementToEqu, PauseAndSwitchStayElementsButReportNoMove) {
    Equ e;
    EXPECT_EQ(statementToEqu(parsed("N1 M00;"), 1, 2, 0.1, e), -1);
    EXPECT_EQ(e.source.kind, kEquPause);
    EXPECT_DOUBLE_EQ(e.source.endY, 2);
    EXPECT_EQ(statementToEqu(parsed("N1 G92 X0.000 Y0.000;"), 0, 0, 0, e), -1);
    EXPECT_EQ(e.source.kind, kEquNone);

    ASSERT_EQ(statementToEqu(parsed("N7 T17 E3F1L4Q5;"), 0, 0, 0, e), -1);
    e.compensated = e.source;
    IsoStatement back;
    ASSERT_EQ(equToStatement(e, 0, 0, back), 0);
    EXPECT_EQ(back.code, IsoCode::kT17);
    EXPECT_EQ(back.e, 3);
    EXPECT_EQ(back.f, 1);
    EXPECT_EQ(back.l, 4);
    EXPECT_EQ(back.q, 5);
}

TEST(EquToStatement, ArcCentreIsRefinedOntoBothEnds) {
    // A quarter arc of radius 1 round (0, 0) whose stored centre is 0.3 µm off.
    Equ e;
    e.compensated.kind = kEquArcCw;
    e.compensated.startX = 0;
    e.compensated.startY = 1;
    e.compensated.endX = 1;
    e.compensated.endY = 0;
    e.compensated.centreX = 0.0003;
    e.compensated.centreY = -0.0002;
    e.compensated.radius = 1;
    IsoStatement s;
    ASSERT_EQ(equToStatement(e, 0, 1000, s), 0);
    EXPECT_EQ(s.code, IsoCode::kG02);
    EXPECT_EQ(s.x, 1000);
    EXPECT_EQ(s.y, -1000);
    EXPECT_EQ(s.i, 0);
    EXPECT_EQ(s.j, -1000);
}

TEST(EquToStatement, WrittenFromTheRoundedPositionSoRoundingNeverAccumulates) {
    // Each element 1.0004 mm long: rounding each length would lose 0.4 µm a time.
    Equ e;
    e.compensated.kind = kEquLine;
    int32_t x = 0;
    for (int k = 0; k < 10; ++k) {
        e.compensated.startX = k * 1.0004;
        e.compensated.endX = (k + 1) * 1.0004;
        IsoStatement s;
        ASSERT_EQ(equToStatement(e, x, 0, s), 0);
        x += s.x;
    }
    EXPECT_EQ(x, 10004);
    e.compensated.kind = 9;
    IsoStatement s;
    EXPECT_EQ(equToStatement(e, 0, 0, s), -1);
}

}  // namespace
}  // namespace korvex
