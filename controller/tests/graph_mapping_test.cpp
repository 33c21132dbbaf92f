// Fit, zoom and the progress record of the graph view, without a widget.
#include "controller/machining/start_payload.h"
#include "controller/views/graph_groups.h"
#include "controller/views/graph_mapping.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>

namespace korvex {
namespace {

GraphMapping fitted(ProgramBox box, int w, int h) {
    GraphMapping m;
    m.resize(w, h);
    m.setExtents(box);
    m.fit();
    return m;
}

TEST(GraphMapping, FitTakesTheCeilingOfBothAxesAndCentres) {
    struct Case {
        ProgramBox box;
        int w, h;
        int64_t scale, ox, oy;
    } cases[] = {
        // The square example: 15 x 15 mm from (0,-5) mm; truncation gave 18 and stuck out.
        {{0, -5000, 15000, 5000}, 800, 600, 19, 5, 300},
        {{0, 0, 1000, 700}, 1200, 800, 1, 100, 750},
        {{0, 0, 0, 0}, 800, 600, 1, 400, 300},  // G92/M02 only
        {{-1000, -1000, 1000, 1000}, 3, 3, 667, 1, 1},
    };
    for (const Case& c : cases) {
        const GraphMapping m = fitted(c.box, c.w, c.h);
        EXPECT_EQ(m.scale(), c.scale);
        EXPECT_EQ(m.fitScale(), c.scale);
        EXPECT_EQ(m.originX(), c.ox);
        EXPECT_EQ(m.originY(), c.oy);
        EXPECT_EQ(m.level(), 0);
        // Every corner of the extents lies inside the view.
        for (int64_t x : {c.box.minX, c.box.maxX})
            for (int64_t y : {c.box.minY, c.box.maxY}) {
                EXPECT_GE(m.pixelX(x), 0);
                EXPECT_LE(m.pixelX(x), c.w);
                EXPECT_GE(m.pixelY(y), 0);
                EXPECT_LE(m.pixelY(y), c.h);
            }
    }
}

TEST(GraphMapping, FitAtTheThirtyTwoBitLimitsStaysInTheView) {
    constexpr int64_t lo = std::numeric_limits<int32_t>::min(), hi = std::numeric_limits<int32_t>::max();
    const GraphMapping m = fitted({lo, lo, hi, hi}, 1600, 900);
    EXPECT_EQ(m.scale(), (hi - lo + 899) / 900);
    EXPECT_GE(m.pixelX(lo), 0);
    EXPECT_LE(m.pixelX(hi), 1600);
    EXPECT_GE(m.pixelY(hi), 0);
    EXPECT_LE(m.pixelY(lo), 900);
}

TEST(GraphMapping, FitAtZeroSizeWaitsForTheFirstResize) {
    GraphMapping m;
    m.setExtents({0, 0, 1000, 700});
    EXPECT_FALSE(m.fit());
    EXPECT_TRUE(m.fitPending());
    EXPECT_EQ(m.scale(), kInitialScale);
    m.resize(1200, 800);
    EXPECT_FALSE(m.fitPending());
    EXPECT_EQ(m.scale(), 1);
    EXPECT_EQ(m.originX(), 100);
    EXPECT_EQ(m.originY(), 750);
    // A later resize only centres the origin.
    m.resize(600, 400);
    EXPECT_EQ(m.scale(), 1);
    EXPECT_EQ(m.originX(), 300);
    EXPECT_EQ(m.originY(), 200);
}

TEST(GraphMapping, ZoomStaysWithinItsLevelsAndScales) {
    GraphMapping m;
    m.resize(800, 600);
    for (int i = 0; i < 1500; ++i)
        m.zoomIn(400, 300);
    EXPECT_EQ(m.level(), kMaxZoomLevel);
    EXPECT_EQ(m.scale(), 1);
    m.zoomOut(400, 300);
    EXPECT_EQ(m.scale(), 2);  // 1 x 1.02 + 1
    EXPECT_EQ(m.level(), kMaxZoomLevel - 1);
    for (int i = 0; i < 3000; ++i)
        m.zoomOut(400, 300);
    EXPECT_EQ(m.scale(), kMaxScale);
    const int level = m.level();
    const int64_t ox = m.originX();
    m.zoomOut(10, 10);  // at the cap nothing moves
    EXPECT_EQ(m.level(), level);
    EXPECT_EQ(m.originX(), ox);
    m.fit();
    EXPECT_EQ(m.level(), 0);
}

TEST(GraphMapping, ZoomKeepsThePointUnderTheCursor) {
    GraphMapping m = fitted({-200000, -100000, 200000, 100000}, 1600, 900);
    std::mt19937 rng(7);
    for (int i = 0; i < 400; ++i) {
        const int p = static_cast<int>(rng() % 1600), q = static_cast<int>(rng() % 900);
        const int64_t x = m.programX(p), y = m.programY(q);
        if (rng() % 2)
            m.zoomIn(p, q);
        else
            m.zoomOut(p, q);
        // Within a pixel of the old scale and of the new.
        const int64_t tolerance = 2 * std::max<int64_t>(m.scale(), 1) + 2 * 400;
        EXPECT_LE(std::llabs(m.programX(p) - x), tolerance);
        EXPECT_LE(std::llabs(m.programY(q) - y), tolerance);
        EXPECT_LE(std::llabs(m.pixelX(x) - p), 1);
        EXPECT_LE(std::llabs(m.pixelY(y) - q), 1);
    }
}

TEST(GraphGroups, EverySegmentGetsTheLookupsCurrentGroup) {
    std::mt19937 rng(11);
    for (int round = 0; round < 200; ++round) {
        std::vector<SwitchEntry> table;
        int32_t s = static_cast<int32_t>(rng() % 5);
        const int entries = static_cast<int>(rng() % 6);
        for (int i = 0; i < entries; ++i) {
            SwitchEntry e;
            e.segment = s;
            e.e = static_cast<uint8_t>(rng() % 10);  // 8 and 9 are no group
            e.f = static_cast<uint8_t>(rng() % 10);
            table.push_back(e);
            s += 1 + static_cast<int32_t>(rng() % 4);
        }
        const int count = s + 3, defaultGroup = static_cast<int>(rng() % 8);
        const std::vector<uint8_t> groups = segmentGroups(table, count, defaultGroup);
        for (int32_t i = 0; i < count; ++i)
            ASSERT_EQ(groups[static_cast<std::size_t>(i)], lookupGroups(table, i, defaultGroup).current)
                << "segment " << i << " round " << round;
    }
}

}  // namespace
}  // namespace korvex
