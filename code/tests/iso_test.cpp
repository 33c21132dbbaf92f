#include "code/iso.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "code/numbers.h"

namespace korvex {
namespace {

TEST(IsoGrammar, FirstMatchingTestDecides) {
    struct Case { const char* text; int result; IsoCode code; int32_t x, y, i, j; };
    const Case cases[] = {
        {"N5 G01 X1.000 Y2.000 M00;", 0, IsoCode::kM00, 0, 0, 0, 0},   // a pause, not a move
        {"N9 M02;", 0, IsoCode::kM02, 0, 0, 0, 0},
        {"N0 G92 X5.000 Y5.000;", 0, IsoCode::kG92, 0, 0, 0, 0},       // start is always 0, 0
        {"N1 G91;", 0, IsoCode::kG91, 0, 0, 0, 0},
        {"N12 G01 X1.5 Y-2.25;", 0, IsoCode::kG01, 1500, -2250, 0, 0},
        {"N2 G00 X Y;", 0, IsoCode::kG00, 0, 0, 0, 0},                  // empty numbers are 0
        {"N3 G02 X1.000 Y1.000 I1.000 J0.000;", 0, IsoCode::kG02, 1000, 1000, 1000, 0},
        {"G03X-1Y+1e-3I.5J1.0005", 0, IsoCode::kG03, -1000, 1, 500, 1000},
        {"N3 G90 X1 Y1;", -1, IsoCode::kNone, 0, 0, 0, 0},
        {"N3 G04 X1 Y1;", -1, IsoCode::kNone, 0, 0, 0, 0},
        {"N3 G01 Y1 X1;", -1, IsoCode::kNone, 0, 0, 0, 0},              // Y must follow X
        {"N3 G01 X1;", -1, IsoCode::kNone, 0, 0, 0, 0},
        {"N4 G02 X1 Y1 I1;", -1, IsoCode::kNone, 0, 0, 0, 0},           // G02 without J
        {"N4 G02 X1 Y1 J1 I1;", -1, IsoCode::kNone, 0, 0, 0, 0},
        {"", -1, IsoCode::kNone, 0, 0, 0, 0},
        {"N4 X1 Y1 G0", -1, IsoCode::kNone, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        IsoStatement s;
        EXPECT_EQ(parseIsoStatement(c.text, s), c.result) << c.text;
        if (c.result != 0) continue;
        EXPECT_EQ(s.code, c.code) << c.text;
        EXPECT_EQ(s.x, c.x) << c.text;
        EXPECT_EQ(s.y, c.y) << c.text;
        EXPECT_EQ(s.i, c.i) << c.text;
        EXPECT_EQ(s.j, c.j) << c.text;
    }
}

TEST(IsoGrammar, GroupSwitchDigits) {
    struct Case { const char* text; int result; int e, f, l, q; };
    const Case cases[] = {
        {"N7 T17 E3F1;", 0, 3, 1, 0, 0},
        {"N7 T17 E3F1L2Q4;", 0, 3, 1, 2, 4},
        {"N7 T17 E3F1Q4;", 0, 3, 1, 0, 0},       // without L neither L nor Q is read
        {"N7 T17 EXF1L;", 0, 0, 1, 0, 0},        // a non-digit is 0
        {"N7 T17 E3;", -1, 0, 0, 0, 0},
        {"N7 T17 F3;", -1, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        IsoStatement s;
        ASSERT_EQ(parseIsoStatement(c.text, s), c.result) << c.text;
        if (c.result != 0) continue;
        EXPECT_EQ(s.code, IsoCode::kT17);
        EXPECT_EQ(s.e, c.e) << c.text;
        EXPECT_EQ(s.f, c.f) << c.text;
        EXPECT_EQ(s.l, c.l) << c.text;
        EXPECT_EQ(s.q, c.q) << c.text;
    }
    EXPECT_TRUE(isGroupSwitchStatement("N7 T17 E3F1;"));
    EXPECT_FALSE(isGroupSwitchStatement("N7 G00 X1 Y1;"));
}

TEST(IsoElements, StatementsBecomeElements) {
    IsoStatement s;
    ASSERT_EQ(parseIsoStatement("N3 G02 X1.000 Y1.000 I1.000 J0.000;", s), 0);
    PathElement e = isoStatementToElement(s);
    EXPECT_EQ(e.kind, kElementArcCw);
    EXPECT_EQ(e.startX, -1000);
    EXPECT_EQ(e.startY, 0);
    EXPECT_EQ(e.endX, 0);
    EXPECT_EQ(e.endY, 1000);
    EXPECT_EQ(e.radius, 1000);
    EXPECT_EQ(e.radiusSquared, 1000000);

    ASSERT_EQ(parseIsoStatement("G00 X1 Y-2;", s), 0);
    e = isoStatementToElement(s);
    EXPECT_EQ(e.kind, kElementSwitch);
    EXPECT_EQ(e.endX, 1000);
    EXPECT_EQ(e.endY, -2000);

    ASSERT_EQ(parseIsoStatement("N1 T17 E1F2L3Q4", s), 0);
    e = isoStatementToElement(s);
    EXPECT_EQ(e.kind, kElementSwitch);
    EXPECT_EQ(e.endX, 0);
    EXPECT_EQ(e.groupE + e.groupF * 10 + e.groupL * 100 + e.groupQ * 1000, 4321);

    for (const char* t : {"N0 G92 X0 Y0;", "N1 G91;", "N2 M02;"}) {
        ASSERT_EQ(parseIsoStatement(t, s), 0);
        EXPECT_EQ(isoStatementToElement(s).kind, kElementNoMotion) << t;
    }
    ASSERT_EQ(parseIsoStatement("N2 M00;", s), 0);
    EXPECT_EQ(isoStatementToElement(s).kind, kElementPause);

    // Extreme values are clamped, never wrapped.
    ASSERT_EQ(parseIsoStatement("G03 X9e9 Y-9e9 I-9e9 J9e9", s), 0);
    e = isoStatementToElement(s);
    EXPECT_EQ(e.startX, INT32_MAX);
    EXPECT_EQ(e.startY, -INT32_MAX);
    EXPECT_EQ(e.radiusSquared, 9223372032559808513LL);
    EXPECT_EQ(e.radius, INT32_MAX);
}

TEST(Numbers, MicronsReadAsRoundingStrtodTimesAThousand) {
    // 1.0005 mm is 1000 um with the 0.51 threshold, not 1001.
    struct Case { const char* text; int32_t microns; };
    const Case cases[] = {
        {"1.0005", 1000}, {"1.00052", 1001}, {"-1.00052", -1001}, {"  2.5", 2500}, {"+3", 3000},
        {"", 0}, {"-", 0}, {".", 0}, {"1e3", 1000000}, {"0x10", 16000}, {"inf", INT32_MAX},
        {"-9999999999", INT32_MIN}, {"nan", 0}, {"2147483.647", INT32_MAX}, {"-0.000", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(readMicrons(c.text), c.microns) << c.text;

    // The quick path for plain decimals gives what strtod does, over many values.
    std::mt19937 rng(7);
    std::uniform_int_distribution<int64_t> value(-4000000000LL, 4000000000LL);
    std::uniform_int_distribution<int> decimals(0, 3);
    for (int n = 0; n < 20000; ++n) {
        const int64_t v = value(rng);
        const int d = decimals(rng);
        char text[40];
        std::snprintf(text, sizeof text, "%.*f", d, static_cast<double>(v) / 1000.0);
        const char* end = nullptr;
        EXPECT_EQ(readMicrons(text, &end), roundMicron(std::strtod(text, nullptr) * 1000.0)) << text;
        EXPECT_EQ(*end, '\0');
    }
}

TEST(Numbers, MillimetresWrittenAsPrintfWould) {
    std::mt19937 rng(11);
    std::uniform_int_distribution<int32_t> value(INT32_MIN, INT32_MAX);
    for (int n = 0; n < 20000; ++n) {
        static const int32_t kEdges[] = {0, -1, 1, INT32_MIN, INT32_MAX};
        const int32_t v = n < 5 ? kEdges[n] : value(rng);
        char expected[40], got[16];
        std::snprintf(expected, sizeof expected, "%.3f", v / 1000.0);
        formatMillimetres(v, got);
        EXPECT_STREQ(got, expected);
    }
    char out[16];
    formatMillimetres(0, out);
    EXPECT_STREQ(out, "0.000");
}

TEST(Numbers, IntegersReadAsStrtolClampedTo32Bits) {
    struct Case { const char* text; int32_t value; int used; };
    const Case cases[] = {
        {" \t-12x", -12, 5}, {"+7", 7, 2}, {"", 0, 0}, {"-", 0, 0}, {" x", 0, 0},
        {"99999999999999999999999", INT32_MAX, 23}, {"-2147483649", INT32_MIN, 11},
    };
    for (const Case& c : cases) {
        const char* end = nullptr;
        EXPECT_EQ(readInt32(c.text, &end), c.value) << c.text;
        EXPECT_EQ(end - c.text, c.used) << c.text;
    }
}

}  // namespace
}  // namespace korvex
