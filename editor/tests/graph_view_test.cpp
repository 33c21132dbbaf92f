// The drawing: fit, zoom limits, colours and widths of the path, hover.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>

#include "editor/document/tests/test_support.h"
#include "editor/graph_geometry.h"
#include "editor/graph_view.h"

namespace tavrel {
namespace {

using test::ScriptedPrompter;
using test::writeScratch;

TEST(GraphGeometry, FitPutsTheTighterAxisOnTheBorderAndKeepsThePathInside) {
    struct Case { PathRect r; int w, h; };
    const Case cases[] = {
        {{-5000, 2000, 95000, -8000}, 400, 300},   // wide
        {{-1000, 90000, 3000, -10000}, 400, 300},  // tall
        {{0, 1, 1, 0}, 400, 300},                  // tiny
        {{-2000000000, 2000000000, 2000000000, -2000000000}, 401, 299},
    };
    for (const Case& c : cases) {
        GraphGeometry g;
        g.fit(c.r, c.w, c.h);
        const int64_t left = g.screenX(c.r.minX), right = g.screenX(c.r.maxX);
        const int64_t top = g.screenY(c.r.maxY), bottom = g.screenY(c.r.minY);
        EXPECT_GE(left, 0);
        EXPECT_GE(top, 0);
        EXPECT_LE(right, c.w);
        EXPECT_LE(bottom, c.h);
        EXPECT_TRUE(left == 0 || top == 0) << left << " " << top;
        EXPECT_EQ(g.level, 0);
    }
}

TEST(GraphGeometry, ZoomInStopsAtOneZoomOutIsCappedAndKeepsThePointUnderTheMouse) {
    GraphGeometry g;
    EXPECT_EQ(g.gridMicrons(), 6250);
    for (int i = 0; i < 1500; ++i) g.zoomIn(100, 80);
    EXPECT_EQ(g.scale, 1);
    EXPECT_EQ(g.level, kMaxZoomLevel);
    g.zoomOut(100, 80);
    EXPECT_EQ(g.scale, 2);

    GraphGeometry out;
    const int64_t wx = out.worldX(300), wy = out.worldY(200);
    out.zoomOut(300, 200);
    EXPECT_NEAR(static_cast<double>(out.worldX(300)), static_cast<double>(wx), static_cast<double>(out.scale));
    EXPECT_NEAR(static_cast<double>(out.worldY(200)), static_cast<double>(wy), static_cast<double>(out.scale));
    for (int i = 0; i < 200; ++i) out.zoomOut(300, 200);
    EXPECT_EQ(out.scale, kMaxScale);
    EXPECT_GT(out.scale, 0);
    EXPECT_LT(std::abs(out.originX), 1000000);
}

struct Drawn {
    ScriptedPrompter prompter;
    CTavrelDoc doc{&prompter};
    CGraphView view{doc};
    explicit Drawn(const std::string& text) {
        EXPECT_EQ(doc.load(writeScratch("drawn.iso", text)), 0);
        view.resize(400, 300);
        view.documentUpdated(0);
    }
    // Whether the colour is within a pixel of the world point (rasterising may shift a pixel).
    bool near(const QImage& image, int64_t wx, int64_t wy, const QColor& c) const {
        const auto& g = view.geometryState();
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                if (image.pixelColor(static_cast<int>(g.screenX(wx)) + dx, static_cast<int>(g.screenY(wy)) + dy) == c) return true;
        return false;
    }
    QColor at(const QImage& image, int64_t wx, int64_t wy) const {
        const auto& g = view.geometryState();
        return image.pixelColor(static_cast<int>(g.screenX(wx)), static_cast<int>(g.screenY(wy)));
    }
};

// A square in group 1 after a group change, then a jump, then a square in group 2.
const char* kGroupedProgram =
    "N0 G92 X0.000 Y0.000;\n"
    "N1 T17 E1F1;\n"
    "N2 G01 X40.000 Y0.000;\n"
    "N3 G01 X0.000 Y40.000;\n"
    "N4 G01 X-40.000 Y0.000;\n"
    "N5 G01 X0.000 Y-40.000;\n"
    "N6 M00;\n"
    "N7 G01 X60.000 Y0.000;\n"
    "N8 M00;\n"
    "N9 T17 E1F2;\n"
    "N10 G01 X0.000 Y40.000;\n"
    "N11 G02 X0.000 Y0.000 I10.000 J0.000;\n"
    "N12 M02;\n";

TEST(GraphView, PathIsDrawnInGroupColoursWithJumpSelectionAndHover) {
    Drawn d(kGroupedProgram);
    d.view.setSelectedSegment(4);
    const QImage image = d.view.render();
    EXPECT_EQ(d.at(image, 0, 20000), groupColour(1));           // group 1 line
    EXPECT_EQ(d.at(image, 60000, 20000), groupColour(2));       // after the second change
    EXPECT_EQ(d.at(image, 50000, 0), QColor(0, 128, 255));      // the jump
    // The selected segment is drawn 4 pixels wide: pixels beside its line have its colour.
    const auto& g = d.view.geometryState();
    const int sx = static_cast<int>(g.screenX(20000)), sy = static_cast<int>(g.screenY(40000));
    EXPECT_EQ(image.pixelColor(sx, sy + 1), groupColour(1));
    EXPECT_EQ(image.pixelColor(sx, sy - 1), groupColour(1));
    EXPECT_EQ(d.at(image, 20000, -2 * g.scale), QColor(Qt::black));  // an ordinary line stays thin
    // An arc whose start is its end is a whole circle: its far right and its top are drawn.
    EXPECT_TRUE(d.near(image, 80000, 40000, groupColour(2)));
    EXPECT_TRUE(d.near(image, 70000, 50000, groupColour(2)));
    EXPECT_TRUE(d.near(image, 70000, 30000, groupColour(2)));

    d.view.searchHoverAndWait(40000, 40000);
    QCoreApplication::processEvents();
    EXPECT_EQ(d.view.hoverSegment(), 3);
    EXPECT_EQ(d.at(d.view.render(), 40000, 20000), QColor(255, 0, 255));
    d.view.searchHoverAndWait(900000, 900000);
    QCoreApplication::processEvents();
    EXPECT_EQ(d.view.hoverSegment(), 0);
}

TEST(GraphView, NothingButAxesForDocumentsThatAreNotMachinable) {
    for (const char* text : {"N0 G92 X0.000 Y0.000;\nN1 G01 X40.000 Y0.000;\n", "hello\n"}) {
        Drawn d(text);
        const QImage image = d.view.render();
        for (int x = 0; x < image.width(); x += 7) {
            for (int y = 60; y < image.height(); y += 7) {
                const QColor c = image.pixelColor(x, y);
                ASSERT_TRUE(c == QColor(Qt::black) || c == QColor(Qt::yellow)) << x << "," << y;
            }
        }
    }
}

TEST(GraphView, HoverDuringRepeatedOpenAndEditStaysClean) {
    ScriptedPrompter prompter;
    EditorSession session(prompter);
    CGraphView view(session.doc());
    view.resize(300, 200);
    const std::string path = writeScratch("hover.iso", kGroupedProgram);
    for (int round = 0; round < 30; ++round) {
        ASSERT_TRUE(session.open(path));
        view.documentUpdated(0);
        for (int k = 0; k < 5; ++k) {
            prompter.inputs = {std::string("N9 G01 X1.000 Y1.000;")};
            session.add({2});
            view.documentUpdated(2);
            view.searchHoverAndWait(1000 * k, 1000 * round);
        }
        QCoreApplication::processEvents();
        session.doc().setModified(false);
    }
    EXPECT_LT(view.hoverSegment(), session.doc().count());
}

}  // namespace
}  // namespace tavrel
