// The window rule: both neighbours of the reported segment, wrapping at the ends of the work
// range, never a segment outside it.
#include <gtest/gtest.h>

#include <vector>

#include "controller/machining/segment_window.h"

namespace korvex {
namespace {

TEST(SegmentWindow, NeighboursWrapAtTheRangeEndsInEitherOrderOfTheRange) {
    struct Case {
        int32_t first, last, i;
        std::array<int32_t, 3> window;
    };
    const Case cases[] = {
        {2, 9, 5, {4, 5, 6}},
        {2, 9, 2, {9, 2, 3}},   // lower end: previous wraps to the higher end
        {2, 9, 9, {8, 9, 2}},   // higher end: next wraps to the lower end
        {9, 2, 9, {8, 9, 2}},   // a reversed range gives the same window
        {9, 2, 2, {9, 2, 3}},
        {0, 10, 0, {10, 0, 1}}, // the whole program
        {0, 10, 10, {9, 10, 0}},
        {4, 4, 4, {4, 4, 4}},   // a one-segment range
        {4, 5, 4, {5, 4, 5}},
    };
    for (const Case& c : cases) {
        std::array<int32_t, 3> out{};
        ASSERT_TRUE(windowIndices(WorkRange::between(c.first, c.last), 11, c.i, out)) << c.first << ".." << c.last;
        EXPECT_EQ(out, c.window) << c.first << ".." << c.last << " at " << c.i;
    }
}

TEST(SegmentWindow, ReportsOutsideTheRangeOrTheProgramHaveNoWindow) {
    std::array<int32_t, 3> out{};
    EXPECT_FALSE(windowIndices(WorkRange::between(2, 9), 11, 1, out));
    EXPECT_FALSE(windowIndices(WorkRange::between(2, 9), 11, 10, out));
    EXPECT_FALSE(windowIndices(WorkRange::between(2, 9), 11, -1, out));
    EXPECT_FALSE(windowIndices(WorkRange::between(2, 12), 11, 5, out)) << "range beyond the program";
    EXPECT_FALSE(windowIndices(WorkRange::between(-1, 5), 11, 3, out));
    SegmentWindow window;
    EXPECT_FALSE(buildWindow(nullptr, 11, WorkRange::between(0, 10), 3, window));
}

TEST(SegmentWindow, RecordsAreTheProgramsOwnWithTheirIndices) {
    std::vector<CodeSegment> segments(6);
    for (std::size_t i = 0; i < segments.size(); ++i)
        segments[i].lower.steps = static_cast<int32_t>(100 + i);
    SegmentWindow window;
    ASSERT_TRUE(buildWindow(segments.data(), 6, WorkRange::between(1, 5), 5, window));
    EXPECT_EQ(window.indices, (std::array<int32_t, 3>{4, 5, 1}));
    EXPECT_EQ(window.segments[0].lower.steps, 104);
    EXPECT_EQ(window.segments[1].lower.steps, 105);
    EXPECT_EQ(window.segments[2].lower.steps, 101);
}

}  // namespace
}  // namespace korvex
