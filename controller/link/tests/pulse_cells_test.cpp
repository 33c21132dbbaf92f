#include "controller/link/pulse_cells.h"

#include <gtest/gtest.h>

namespace korvex {
namespace {

PulseCells row(const char* pw, const char* pi, const char* vf) {
    return {pw, pi, "3", "4", "5", "6", vf};
}

TEST(PulseCells, FeedValueIsDoubledAndTruncatedWithinHalfToHundred) {
    struct Case { const char* vf; int stored; };  // 0 = refused
    const Case cases[] = {{"0.5", 1}, {"100", 200}, {"50", 100}, {"12.75", 25},
                          {"0.4", 0}, {"100.5", 0}, {"", 0},     {"abc", 0}, {"nan", 0}, {"1e9", 0}};
    for (const Case& c : cases) {
        PulseGroup g;
        const auto error = parsePulseCells(row("10", "2", c.vf), 0, 0, PulseGroup{}, g);
        if (c.stored == 0) {
            ASSERT_TRUE(error) << c.vf;
            EXPECT_EQ(pulseCellErrorEnglish(*error), "V.F. Error!Please input the value between 0.5 and 100");
        } else {
            ASSERT_FALSE(error) << c.vf;
            EXPECT_EQ(g.feedValue, c.stored) << c.vf;
            EXPECT_EQ(g.feed, feedEntry(0, c.stored));
        }
    }
}

TEST(PulseCells, IntervalIsWidthTimesPiAndRowGivesTheIndex) {
    PulseGroup base;
    base.image[12] = 0x77;  // a byte the dialog does not show survives
    PulseGroup g;
    ASSERT_FALSE(parsePulseCells(row("20", "5", "50"), 6, 1, base, g));
    EXPECT_EQ(g.pulseWidthUs, 20);
    EXPECT_EQ(g.pulseIntervalUs, 100);
    EXPECT_EQ(g.index, 6);
    EXPECT_EQ(g.feed, feedEntry(1, 100));
    EXPECT_EQ(encodePulseGroup(g)[12], 0x77);

    ASSERT_FALSE(parsePulseCells(row("", "5", "50"), 0, 0, base, g));
    EXPECT_EQ(g.pulseIntervalUs, 0);  // an empty width stores no interval
    ASSERT_FALSE(parsePulseCells(row("1000", "1000", "50"), 0, 0, base, g));
    EXPECT_EQ(g.pulseIntervalUs, 1000000);
}

TEST(PulseCells, EachColumnsRangeMessageNamesTheColumn) {
    struct Case { int column; const char* text; const char* message; };
    const Case cases[] = {
        {0, "0", "Pw(uS):must be an integer from 1 to 1000"},
        {0, "1001", "Pw(uS):must be an integer from 1 to 1000"},
        {1, "0", "Pi:must be an integer from 1 to 1000"},
        {1, "2.5", "Pi:must be an integer from 1 to 1000"},
        {2, "256", "F.M.:must be an integer from 0 to 255"},
        {3, "-1", "Low F.M.:must be an integer from 0 to 255"},
        {4, "x", "Amp.:must be an integer from 0 to 255"},
        {5, "99999999999999999999", "W.S.:must be an integer from 0 to 255"},
    };
    for (const Case& c : cases) {
        PulseCells cells = row("10", "2", "50");
        cells[static_cast<std::size_t>(c.column)] = c.text;
        PulseGroup g;
        g.pulseWidthUs = 77;
        const auto error = parsePulseCells(cells, 0, 0, PulseGroup{}, g);
        ASSERT_TRUE(error) << c.text;
        EXPECT_EQ(pulseCellErrorEnglish(*error), c.message);
        EXPECT_EQ(g.pulseWidthUs, 77);  // nothing taken from a refused row
    }
    // Both bounds of every integer column are taken.
    PulseGroup g;
    EXPECT_FALSE(parsePulseCells({"1", "1", "0", "0", "0", "0", "0.5"}, 0, 0, PulseGroup{}, g));
    EXPECT_FALSE(parsePulseCells({"1000", "1000", "255", "255", "255", "255", "100"}, 0, 0, PulseGroup{}, g));
}

TEST(PulseCells, ShownCellsParseBackToTheSameRecord) {
    PulseGroup g = defaultPulseGroup(3, 0);
    g.pulseWidthUs = 0;
    g.pulseIntervalUs = 0;
    g.groupingHigh = 9;
    g.feedValue = 3;
    g.feed = feedEntry(0, 3);
    const PulseCells cells = pulseCells(g);
    EXPECT_EQ(cells[0], "");  // an empty width is no "0" the next OK would refuse
    EXPECT_EQ(cells[1], "");
    EXPECT_EQ(cells[6], "1.5");
    PulseGroup back;
    ASSERT_FALSE(parsePulseCells(cells, 3, 0, g, back));
    EXPECT_EQ(encodePulseGroup(back), encodePulseGroup(g));
}

}  // namespace
}  // namespace korvex
