// The graph view's pictures: colours and marks, nothing left out, the cached layers equal to a
// fresh drawing after any mix of operations, card blocks that name no segment, and the
// korvex --render command.
#include "controller/tests/graph_test_programs.h"
#include "controller/tests/shell_test_support.h"
#include "controller/views/graph_raster.h"
#include "controller/views/graph_view.h"

#include <QApplication>
#include <QMouseEvent>
#include <QProcess>
#include <QTemporaryDir>
#include <QSignalSpy>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace korvex {
namespace {

using testing::arcElement;
using testing::lineElement;
using testing::programOf;

std::shared_ptr<const LoadedProgram> loadExample(const char* name) {
    auto p = std::make_shared<LoadedProgram>();
    LoadFailure failure;
    LoadOptions options;
    options.threads = 1;
    const std::string path = std::string(KORVEX_EXAMPLES_DIR) + "/" + name;
    EXPECT_EQ(loadProgram(path.c_str(), options, *p, failure), 0) << failure.message;
    return p;
}

QRgb at(const QImage& image, int64_t x, int64_t y) { return image.pixel(static_cast<int>(x), static_cast<int>(y)) | 0xFF000000u; }

int countColor(const QImage& image, QRgb color) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += at(image, x, y) == color;
    return n;
}

// The program fitted into w x h; with a border, its extents grown by a quarter on every side so
// that marks and pens at the edges stay inside the picture.
GraphScene sceneOf(std::shared_ptr<const LoadedProgram> program, int w, int h, bool border = true) {
    GraphScene s;
    s.program = std::make_shared<GraphProgram>(std::move(program), 0);
    s.mapping.resize(w, h);
    const Extents& e = s.program->program().extents;
    const int64_t grow = border ? std::max<int64_t>(e.maxX - e.minX, e.maxY - e.minY) / 4 : 0;
    s.mapping.setExtents({e.minX - grow, e.minY - grow, e.maxX + grow, e.maxY + grow});
    s.mapping.fit();
    return s;
}

PositionBlock blockAt(int32_t segment, StepState lower) {
    PositionBlock b;
    b.work.segment = segment;
    b.work.lower = {lower.steps, lower.x, lower.y};
    return b;
}

class GraphViewTest : public ::testing::Test {
protected:
    void SetUp() override { testing::ensureApplication(); }
};

TEST_F(GraphViewTest, CrossAxesGridAndPathInTheirColours) {
    GraphScene s = sceneOf(loadExample("square.3b"), 800, 600, false);
    s.grid = true;
    ASSERT_EQ(s.mapping.scale(), 19);
    const int64_t ox = s.mapping.originX(), oy = s.mapping.originY();
    ASSERT_EQ(ox, 5);
    ASSERT_EQ(oy, 300);
    const QImage image = renderGraph(s);
    EXPECT_EQ(at(image, ox - 4, oy + 4), colorRef(0xFF0000));  // the cross's lower-left arm, blue
    EXPECT_EQ(at(image, ox, 10), colorRef(0x00FFFF));          // the Y axis, yellow
    EXPECT_EQ(at(image, 400, oy - 200), colorRef(0x000000));   // inside the square, black
    EXPECT_EQ(at(image, ox + 50 * 4, 20), colorRef(0x008000)); // a grid column, dotted green
    EXPECT_EQ(at(image, ox + 50 * 4, 21), colorRef(0x000000));
    EXPECT_EQ(at(image, ox + 50 * 4 + 25, 20), colorRef(0x000000));
    EXPECT_EQ(at(image, ox + 15000 / 19, oy + 100), colorRef(0xFFFFFF));  // the right side, white
    EXPECT_EQ(at(image, ox + 15000 / 19 + 2, oy + 100), colorRef(0x000000));
}

TEST_F(GraphViewTest, MachinedSegmentsTakeTheirGroupsColours) {
    GraphScene s = sceneOf(loadExample("groups.iso"), 800, 600);
    const int32_t n = s.program->count();
    s.range = {0, n - 1, false};
    s.progress = progressFromWork(*s.program, s.range, blockAt(n - 1, {}).work, 0);
    ASSERT_TRUE(s.progress);
    const QImage image = renderGraph(s);
    EXPECT_GT(countColor(image, colorRef(0x0080FF)), 100);  // group 2, orange
    EXPECT_GT(countColor(image, colorRef(0x00FF00)), 100);  // group 4, green (and the range marks)
    // Nothing machined yet: no orange.
    s.progress = progressFromWork(*s.program, s.range, blockAt(0, {}).work, 0);
    EXPECT_EQ(countColor(renderGraph(s), colorRef(0x0080FF)), 0);
}

TEST_F(GraphViewTest, MarksStandWhereTheyBelong) {
    // Four 10 mm sides; stop on segment 1, segment 2 selected, range 1..2.
    GraphScene s = sceneOf(programOf({lineElement(10000, 0), lineElement(0, 10000), lineElement(-10000, 0),
                                      lineElement(0, -10000)}),
                           400, 400);
    s.stops = {1};
    s.range = {1, 2, false};
    s.selected = 3;
    const QImage image = renderGraph(s);
    const GraphMapping& m = s.mapping;
    // Range start (10 mm, 0) and end (0, 10 mm), green; the stop halts at (10, 10) mm, blue.
    EXPECT_EQ(at(image, m.pixelX(10000) - 3, m.pixelY(0) + 3), colorRef(0x00FF00));
    EXPECT_EQ(at(image, m.pixelX(0) + 3, m.pixelY(10000) - 3), colorRef(0x00FF00));
    EXPECT_EQ(at(image, m.pixelX(10000) + 3, m.pixelY(10000) - 3), colorRef(0xFF0000));
    // The selected side, magenta and 4 pixels wide.
    EXPECT_EQ(at(image, m.pixelX(0) - 1, m.pixelY(5000)), colorRef(0xFF00FF));
    EXPECT_EQ(at(image, m.pixelX(0) + 2, m.pixelY(5000)), colorRef(0xFF00FF));
}

TEST_F(GraphViewTest, JumpSegmentsAndGroupSwitchesAreMarked) {
    auto program = programOf({lineElement(10000, 0), lineElement(0, 10000), lineElement(-10000, 0)});
    program->jumps.push_back(JumpEntry{1, 0, 10});
    GraphScene s = sceneOf(program, 400, 400);
    const GraphMapping& m = s.mapping;
    const QImage jumps = renderGraph(s);
    EXPECT_EQ(at(jumps, m.pixelX(10000), m.pixelY(5000)), colorRef(0xFF8000));  // the jump, not yet cut
    EXPECT_EQ(at(jumps, m.pixelX(5000), m.pixelY(10000)), colorRef(0xFFFFFF));

    // groups.iso switches groups on segments 1 and 4 (T17); its G00 (segment 6) is no switch.
    GraphScene g = sceneOf(loadExample("groups.iso"), 600, 600);
    const GraphProgram& p = *g.program;
    ASSERT_TRUE(p.isSwitch(1) && p.isSwitch(4) && !p.isSwitch(6));
    const QImage switches = renderGraph(g);
    const int64_t x4 = g.mapping.pixelX(p.lowerX(4)), y4 = g.mapping.pixelY(p.lowerY(4));
    EXPECT_EQ(at(switches, x4 + 3, y4 + 3), colorRef(0xFF00FF));
    EXPECT_EQ(at(switches, x4 + 3, y4 - 3), colorRef(0xFF00FF));
    const int64_t x6 = g.mapping.pixelX(p.lowerX(6)), y6 = g.mapping.pixelY(p.lowerY(6));
    EXPECT_NE(at(switches, x6 + 3, y6 - 3), colorRef(0xFF00FF));
}

TEST_F(GraphViewTest, ATaperProgramShowsItsUpperContourTitlesAndUVCross) {
    GraphScene s = sceneOf(loadExample("taper-square.iso"), 800, 600);
    const GraphProgram& p = *s.program;
    ASSERT_TRUE(p.twoContour());
    s.range = {0, p.count() - 1, false};
    const PathElement& e = p.segment(2).upper;
    StepState upper = freshCursor(e);
    positionAfterSteps(e, e.steps / 2, upper);
    PositionBlock b = blockAt(2, {});
    b.work.upper = {upper.steps, upper.x, upper.y};
    s.progress = progressFromWork(p, s.range, b.work, 0);
    ASSERT_TRUE(s.progress);
    const QImage image = renderGraph(s);
    auto countIn = [&](const QRect& r, QRgb color) {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                n += at(image, x, y) == color;
        return n;
    };
    EXPECT_GT(countIn(QRect(0, 110, 800, 420), colorRef(0xFFFF00)), 200);  // the upper contour
    EXPECT_GT(countIn(QRect(10, 40, 200, 60), colorRef(0x0000FF)), 50);    // "Top View", red
    EXPECT_GT(countIn(QRect(210, 40, 200, 60), colorRef(0xFFFFFF)), 50);   // "(White is below,"
    EXPECT_GT(countIn(QRect(410, 40, 200, 60), colorRef(0xFFFF00)), 50);   // "Blue is upper)"
    EXPECT_GT(countIn(QRect(10, 10, 400, 15), colorRef(0x00FFFF)), 20);    // the U/V line
    EXPECT_GT(countIn(QRect(10, 30, 400, 15), colorRef(0x00FFFF)), 20);    // the taper values
    // The yellow cross on the upper contour's point.
    const int64_t cx = s.mapping.pixelX(s.progress->upperPointX), cy = s.mapping.pixelY(s.progress->upperPointY);
    for (const auto& [dx, dy] : {std::pair{-5, 0}, {5, 0}, {0, -5}, {0, 5}})
        EXPECT_EQ(at(image, cx + dx, cy + dy), colorRef(0x00FFFF)) << dx << "," << dy;
}

TEST_F(GraphViewTest, ADoubleClickShowsAndHidesTheLargeReadout) {
    CGraphView view;
    view.resize(800, 600);
    view.show();
    ASSERT_TRUE(view.setProgram(loadExample("square.3b")));
    const QRect column(800 - 400, 600 / 2 - 200, 390, 6 * 60);
    auto shadowPixels = [&] {
        const QImage& image = view.picture();
        int n = 0;
        for (int y = column.top(); y <= column.bottom(); ++y)
            for (int x = column.left(); x <= column.right(); ++x)
                n += at(image, x, y) == colorRef(0x0080FF);
        return n;
    };
    EXPECT_EQ(shadowPixels(), 0);
    const QPointF p(100, 100);
    QMouseEvent dbl(QEvent::MouseButtonDblClick, p, p, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&view, &dbl);
    EXPECT_GT(shadowPixels(), 200);
    QApplication::sendEvent(&view, &dbl);
    EXPECT_EQ(shadowPixels(), 0);
}

TEST_F(GraphViewTest, TheCurrentPointAndPartFollowTheCursor) {
    GraphScene s = sceneOf(programOf({lineElement(20000, 0), lineElement(0, 20000)}), 400, 400);
    s.range = {0, 1, false};
    s.progress = progressFromWork(*s.program, s.range, blockAt(1, {5000, 0, 5000}).work, 0);
    ASSERT_TRUE(s.progress);
    EXPECT_EQ(s.progress->lowerPointX, 20000);
    EXPECT_EQ(s.progress->lowerPointY, 5000);
    EXPECT_EQ(s.progress->doneSteps, 25000);
    EXPECT_EQ(s.progress->totalSteps, 40000);
    const QImage image = renderGraph(s);
    const GraphMapping& m = s.mapping;
    const QRgb red = colorRef(0x0000FF);  // group 0
    EXPECT_EQ(at(image, m.pixelX(10000), m.pixelY(0)), red);        // machined segment
    EXPECT_EQ(at(image, m.pixelX(20000), m.pixelY(2000)), red);     // machined part
    EXPECT_EQ(at(image, m.pixelX(20000), m.pixelY(15000)), colorRef(0xFFFFFF));  // still to cut
    EXPECT_EQ(at(image, m.pixelX(20000) + 4, m.pixelY(5000)), red);  // the 12-pixel point
    // Reversed: the later segment is machined and the current one from its end.
    s.range.reverse = true;
    s.progress = progressFromWork(*s.program, s.range, blockAt(0, {5000, 15000, 0}).work, 0);
    const QImage reversed = renderGraph(s);
    EXPECT_EQ(at(reversed, m.pixelX(20000), m.pixelY(10000)), red);
    EXPECT_EQ(at(reversed, m.pixelX(18000), m.pixelY(0)), red);
    EXPECT_EQ(at(reversed, m.pixelX(5000), m.pixelY(0)), colorRef(0xFFFFFF));
}

// A G00 counts no steps in the program, yet the card walks it: the point follows the card.
TEST_F(GraphViewTest, TheCurrentPointFollowsTheCardAlongAG00) {
    PathElement rapid = lineElement(0, -8000, kElementSwitch);
    rapid.steps = 0;
    GraphScene s = sceneOf(programOf({lineElement(8000, 0), rapid, lineElement(-8000, 0)}), 400, 400);
    s.range = {0, 2, false};
    s.progress = progressFromWork(*s.program, s.range, blockAt(1, {3000, 0, -3000}).work, 0);
    ASSERT_TRUE(s.progress);
    EXPECT_EQ(s.progress->lower.steps, 3000);
    EXPECT_EQ(s.progress->lowerPointX, 8000);
    EXPECT_EQ(s.progress->lowerPointY, -3000);
    EXPECT_EQ(s.progress->doneSteps, 8000);  // the G00's own steps are not counted
    const QImage image = renderGraph(s);
    const GraphMapping& m = s.mapping;
    EXPECT_EQ(at(image, m.pixelX(8000) + 4, m.pixelY(-3000)), colorRef(0x0000FF));  // the point, group 0
    // Steps past its end are clamped to its walk.
    s.progress = progressFromWork(*s.program, s.range, blockAt(1, {20000, 0, -8000}).work, 0);
    EXPECT_EQ(s.progress->lower.steps, 8000);
    s.range.reverse = true;
    s.progress = progressFromWork(*s.program, s.range, blockAt(1, {3000, 0, -3000}).work, 0);
    EXPECT_EQ(s.progress->doneSteps, 8000);
}

TEST_F(GraphViewTest, AFiveMicronNotchShowsAtScaleOne) {
    GraphScene s = sceneOf(programOf({lineElement(100000, 0), lineElement(0, 5), lineElement(5, 0), lineElement(0, -5),
                                      lineElement(100000, 0)}),
                           400, 300);
    s.mapping.moveOrigin(0, 0);
    while (s.mapping.scale() > 1)
        s.mapping.zoomIn(s.mapping.pixelX(100002), s.mapping.pixelY(0));
    const QImage image = renderGraph(s);
    const GraphMapping& m = s.mapping;
    EXPECT_EQ(at(image, m.pixelX(100002), m.pixelY(5)), colorRef(0xFFFFFF));
    EXPECT_EQ(at(image, m.pixelX(100002), m.pixelY(3)), colorRef(0x000000));
    EXPECT_EQ(at(image, m.pixelX(99990), m.pixelY(5)), colorRef(0x000000));
}

TEST_F(GraphViewTest, ALargeArcAtScaleOneLiesOnItsCircle) {
    // A half circle of 100 mm radius, seen at scale 1 around its top.
    constexpr int32_t r = 100000;
    GraphScene s = sceneOf(programOf({arcElement(r, 0, -r, 0, true)}), 800, 600);
    while (s.mapping.scale() > 1)
        s.mapping.zoomIn(s.mapping.pixelX(-r), s.mapping.pixelY(r));
    const GraphMapping& m = s.mapping;
    s.mapping.moveOrigin(400 - m.pixelX(-r), 300 - m.pixelY(r));
    const QImage image = renderGraph(s);
    int lit = 0;
    for (int y = 0; y < 560; ++y)  // above the texts
        for (int x = 0; x < 800; ++x) {
            if (at(image, x, y) != colorRef(0xFFFFFF))
                continue;
            ++lit;
            const double px = double(m.programX(x)) + r, py = double(m.programY(y));
            EXPECT_NEAR(std::hypot(px, py), r, 1.5) << x << "," << y;
        }
    EXPECT_GT(lit, 700);
}

TEST_F(GraphViewTest, EverySegmentEndOfALargeProgramIsNearADrawnPixel) {
    std::mt19937 rng(3);
    std::vector<PathElement> elements;
    for (int i = 0; i < 1000000; ++i) {
        if (rng() % 2) {
            elements.push_back(lineElement(int32_t(rng() % 2001) - 1000, int32_t(rng() % 2001) - 1000));
        } else {
            // Quarter circles; their step counts play no part in the drawing and are not counted.
            const int32_t r = int32_t(rng() % 400) + 100;
            PathElement arc = lineElement(0, 0);
            arc.kind = kElementArcCcw;
            arc.startX = r;
            arc.endY = r;
            arc.radius = r;
            arc.radiusSquared = int64_t{r} * r;
            arc.steps = 2 * r;
            elements.push_back(arc);
        }
    }
    GraphScene s = sceneOf(programOf(elements), 1600, 900);
    const QImage image = renderGraph(s);
    const GraphProgram& p = *s.program;
    for (int k = 0; k < 10000; ++k) {
        const int32_t i = static_cast<int32_t>(rng() % static_cast<unsigned>(p.count()));
        const int64_t x = s.mapping.pixelX(p.lowerX(i + 1)), y = s.mapping.pixelY(p.lowerY(i + 1));
        bool near = false;
        for (int64_t dy = -3; dy <= 3 && !near; ++dy)
            for (int64_t dx = -3; dx <= 3 && !near; ++dx)
                if (QRect(0, 0, 1600, 900).contains(int(x + dx), int(y + dy)))
                    near = at(image, x + dx, y + dy) == colorRef(0xFFFFFF);
        EXPECT_TRUE(near) << "segment " << i;
    }
}

TEST_F(GraphViewTest, BlocksNamingNoSegmentChangeNothing) {
    CGraphView view;
    view.resize(400, 300);
    ASSERT_TRUE(view.setProgram(programOf({lineElement(1000, 0), lineElement(0, 1000)})));
    view.setRange(0, 1, false);
    view.showPosition(blockAt(1, {10, 0, 10}));
    const auto before = view.progress();
    ASSERT_TRUE(before);
    for (int32_t bad : {-1, 2, std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::min()}) {
        view.showPosition(blockAt(bad, {1, 1, 1}));
        EXPECT_EQ(view.progress(), before);
    }
    // Steps beyond the element are clamped to it.
    view.showPosition(blockAt(0, {std::numeric_limits<int32_t>::max(), 1000, 0}));
    EXPECT_EQ(view.progress()->lower.steps, 1000);
    EXPECT_EQ(view.progress()->doneSteps, 1000);
}

TEST_F(GraphViewTest, AnUndrawableSegmentFailsTheProgramOnce) {
    CGraphView view;
    view.resize(400, 300);
    PathElement broken = arcElement(1000, 0, 0, 1000, true);
    broken.startX = broken.startY = 0;  // the start on the centre
    QSignalSpy failed(&view, &CGraphView::drawFailed);
    EXPECT_FALSE(view.setProgram(programOf({lineElement(10, 0), broken})));
    ASSERT_EQ(failed.count(), 1);
    EXPECT_EQ(failed.front().front().toInt(), 1);
    EXPECT_EQ(view.program(), nullptr);
    view.picture();
    view.repaint();
    EXPECT_EQ(failed.count(), 1);
}

// After every operation the cached picture must equal a fresh drawing of the same scene.
TEST_F(GraphViewTest, CachedPictureEqualsAFreshOneAfterAnyMixOfOperations) {
    std::mt19937 rng(5);
    std::vector<PathElement> elements;
    for (int i = 0; i < 3000; ++i) {
        switch (rng() % 5) {
        case 0: elements.push_back(arcElement(int32_t(rng() % 3000) + 10, 0, 0, -int32_t(rng() % 3000) - 10, false)); break;
        case 1: elements.push_back(lineElement(int32_t(rng() % 5) - 2, int32_t(rng() % 5) - 2)); break;  // tiny
        case 2: elements.push_back(lineElement(int32_t(rng() % 800), -int32_t(rng() % 800), kElementEmpty)); break;
        default: elements.push_back(lineElement(int32_t(rng() % 4001) - 2000, int32_t(rng() % 4001) - 2000));
        }
    }
    auto program = programOf(elements);
    CGraphView view;
    view.resize(640, 480);
    view.show();
    ASSERT_TRUE(view.setProgram(program));
    const int32_t n = static_cast<int32_t>(elements.size());
    view.setRange(0, n - 1, false);
    int32_t current = 0;
    auto tick = [&](int32_t segment) {
        const PathElement& e = program->segments[static_cast<std::size_t>(segment)].lower;
        StepState c = freshCursor(e);
        positionAfterSteps(e, e.steps / 2, c);
        view.showPosition(blockAt(segment, c));
    };
    auto check = [&](const char* what) {
        const QImage cached = view.picture().copy();
        const QImage fresh = renderGraph(view.scene());
        ASSERT_EQ(cached.size(), fresh.size()) << what;
        ASSERT_TRUE(cached == fresh) << what;
    };
    for (int step = 0; step < 120; ++step) {
        const char* what = "";
        switch (rng() % 12) {
        case 0: case 1: case 2:
            current = std::min(n - 1, current + 1 + int32_t(rng() % 200));
            tick(current);
            what = "forward";
            break;
        case 3:
            current = std::max(0, current - 1 - int32_t(rng() % 150));  // a back over tiny segments
            tick(current);
            what = "back";
            break;
        case 4:
            view.setRange(int32_t(rng() % 100), n - 1 - int32_t(rng() % 100), rng() % 2 == 0);
            what = "range";
            break;
        case 5: view.setStops({int32_t(rng() % n), int32_t(rng() % n)}); what = "stops"; break;
        case 6: view.setSelectedSegment(int32_t(rng() % n)); what = "selection"; break;
        case 7: view.setIgnorePause(rng() % 2 == 0); view.setGrid(rng() % 2 == 0); what = "flags"; break;
        case 8:
            if (rng() % 2)
                view.zoomIn();
            else
                view.zoomOut();
            what = "zoom";
            break;
        case 9: {
            view.setMoveMode(true);
            const QPointF from(300, 200), to(300 + double(rng() % 120) - 60, 200 + double(rng() % 120) - 60);
            QMouseEvent press(QEvent::MouseButtonPress, from, from, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
            QMouseEvent move(QEvent::MouseMove, to, to, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
            QMouseEvent release(QEvent::MouseButtonRelease, to, to, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(&view, &press);
            QApplication::sendEvent(&view, &move);
            QApplication::sendEvent(&view, &release);
            what = "drag";
            break;
        }
        case 10: view.resize(500 + int(rng() % 300), 400 + int(rng() % 200)); what = "resize"; break;
        default: view.fit(); what = "fit";
        }
        check(what);
    }
}

TEST_F(GraphViewTest, ViewCommandsAndTheMouse) {
    CGraphView view;
    view.resize(800, 600);
    view.show();
    QSignalSpy grid(&view, &CGraphView::gridChanged);
    ASSERT_TRUE(view.setProgram(loadExample("square.3b")));
    ASSERT_EQ(grid.count(), 1);
    EXPECT_EQ(grid.back().front().toLongLong(), 19 * 50);
    view.zoomIn();
    EXPECT_EQ(view.mapping().scale(), 18);  // 19 / 1.02
    EXPECT_EQ(view.mapping().level(), 1);
    EXPECT_EQ(grid.back().front().toLongLong(), 18 * 50);
    // The wheel zooms around the cursor.
    const QPointF p(100, 100);
    const int64_t x = view.mapping().programX(100);
    QWheelEvent wheel(p, p, QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&view, &wheel);
    EXPECT_EQ(view.mapping().level(), 2);
    EXPECT_LE(std::llabs(view.mapping().programX(100) - x), 2 * 18);
    view.fit();
    EXPECT_EQ(view.mapping().level(), 0);
    // A double click toggles the large readout; the right button leaves move mode.
    QMouseEvent dbl(QEvent::MouseButtonDblClick, p, p, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&view, &dbl);
    EXPECT_TRUE(view.largeReadout());
    view.setMoveMode(true);
    QMouseEvent right(QEvent::MouseButtonRelease, p, p, Qt::RightButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&view, &right);
    EXPECT_FALSE(view.moveMode());
    // The panes' values under the mouse.
    QSignalSpy moved(&view, &CGraphView::cursorMoved);
    QMouseEvent move(QEvent::MouseMove, p, p, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&view, &move);
    ASSERT_EQ(moved.count(), 1);
    EXPECT_EQ(moved.front()[0].toLongLong(), (100 - 5) * 19);
    EXPECT_EQ(moved.front()[1].toLongLong(), (300 - 100) * 19);
}

}  // namespace
}  // namespace korvex

namespace korvex {
namespace {

struct RenderRun {
    int status = -1;
    QString out, err;
};

RenderRun runRender(const QStringList& arguments) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));  // no display is needed
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(KORVEX_PATH), arguments);
    p.waitForFinished(60000);
    return {p.exitCode(), QString::fromLocal8Bit(p.readAllStandardOutput()), QString::fromLocal8Bit(p.readAllStandardError())};
}

TEST(GraphRenderCommand, DrawsAFittedZoomedProgramAndReportsItsMapping) {
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("square.png"));
    const RenderRun r = runRender({QStringLiteral("--render"), QStringLiteral(KORVEX_EXAMPLES_DIR "/square.3b"),
                                   QStringLiteral("--out"), png, QStringLiteral("--size"), QStringLiteral("800x600"),
                                   QStringLiteral("--zoom"), QStringLiteral("1"), QStringLiteral("--machined"),
                                   QStringLiteral("3")});
    ASSERT_EQ(r.status, 0) << qPrintable(r.err);
    const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[0], QStringLiteral("scale=18"));  // 19 fitted, one step in
    EXPECT_EQ(lines[1], QStringLiteral("level=1"));
    EXPECT_EQ(lines[2], QStringLiteral("originX=%1").arg(400 - (400 - 5) * 19 / 18));
    EXPECT_EQ(lines[3], QStringLiteral("originY=300"));
    EXPECT_TRUE(lines[4].startsWith(QStringLiteral("drawMs=")));
    const QImage image(png);
    ASSERT_EQ(image.size(), QSize(800, 600));
    EXPECT_EQ(image.pixel(400 - (400 - 5) * 19 / 18 + 2500 / 18, 300) | 0xFF000000u, colorRef(0x0000FF));  // machined
}

TEST(GraphRenderCommand, ALoadFailureEndsWithTheLoadersMessage) {
    QTemporaryDir dir;
    const RenderRun r = runRender({QStringLiteral("--render"), dir.filePath(QStringLiteral("missing.iso")),
                                   QStringLiteral("--out"), dir.filePath(QStringLiteral("x.png"))});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("The following file can't be opened:"))) << qPrintable(r.err);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("x.png"))));
}

}  // namespace
}  // namespace korvex
