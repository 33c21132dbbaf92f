// Drawing the graph view into an image. One scene (what the view shows) and three layers, always
// laid in this order so that a picture built from cached layers equals a fresh one:
//
//   static    black, grid, axes, origin cross, every segment in its not-yet-machined colour with
//             its marks (range ends, stops, group switches), the upper contour of a taper program
//   machined  the machined segments in the order machined, in their group colours
//   overlay   the machined part of the current segment, the selected segment, the points
//             (current position, U/V cross, return and roll targets), then the texts
//
// Each layer can be drawn into a clip rectangle only; pixels inside it come out the same as in
// a whole drawing (graph_raster.h), so the view restores just the region a back touches and
// redraws just the strips a drag uncovers.
#pragma once

#include <QImage>
#include <QRect>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "controller/views/graph_mapping.h"
#include "controller/views/graph_program.h"

namespace korvex {

struct GraphPoint {
    int64_t x = 0, y = 0;  // microns
    friend bool operator==(const GraphPoint&, const GraphPoint&) = default;
};

struct GraphScene {
    std::shared_ptr<const GraphProgram> program;  // none: no path
    GraphMapping mapping;
    bool grid = false;
    GraphRange range;
    bool ignorePause = false;          // Ignore D: pause segments are drawn
    std::vector<int32_t> stops;        // segments carrying a stop mark
    int32_t selected = -1;
    std::optional<GraphProgress> progress;

    // Texts.
    bool largeReadout = false;
    bool rolling = false;
    int hfLevel = 0;
    QString tableName;                 // the pulse parameter file (61720)
    QString codeText;                  // the current code line
    bool haveUV = false;
    int32_t uMin = 0, uMax = 0, vMin = 0, vMax = 0;

    std::optional<GraphPoint> returnPoint;
    std::optional<GraphPoint> rollPoint;
    std::optional<GraphPoint> planPausePoint;  // where a Plan-Pause stops the work
};

// What the static layer depends on; a cached static picture is good while this is unchanged.
struct StaticKey {
    int width = 0, height = 0;
    int64_t scale = 0, originX = 0, originY = 0;
    bool grid = false;
    const GraphProgram* program = nullptr;
    GraphRange range;
    bool ignorePause = false;
    std::vector<int32_t> stops;
    friend bool operator==(const StaticKey&, const StaticKey&) = default;
};
StaticKey staticKeyOf(const GraphScene& scene);

// The image format every layer is drawn in.
inline constexpr QImage::Format kGraphImageFormat = QImage::Format_RGB32;

void drawStaticLayer(QImage& image, const GraphScene& scene, const QRect& clip);
// Machined segments number k in [from, to) of the order machined.
void drawMachinedLayer(QImage& image, const GraphScene& scene, int32_t from, int32_t to, const QRect& clip);
void drawOverlay(QImage& image, const GraphScene& scene);
// The pixels the machined segments k in [from, to) can touch (pens and dots included).
QRect machinedPixelBox(const GraphScene& scene, int32_t from, int32_t to);
// How many segments the scene's progress counts as machined.
int32_t machinedCountOf(const GraphScene& scene);

// Runs `draw` over horizontal bands of `rect`, side by side on two threads when the rectangle is
// tall enough (on one when no thread can be had). Drawing is exact per clip, so the bands join
// without a seam.
void drawInBands(QImage& image, const QRect& rect, const std::function<void(const QRect&)>& draw);

// A fresh picture of the scene: the three layers in order.
QImage renderGraph(const GraphScene& scene);

}  // namespace korvex
