// World-to-screen mapping of the graph view and its Fit and Zoom arithmetic, apart from the widget
// so that it can be checked without one. World coordinates are microns with y upwards; screen
// coordinates are pixels with y downwards. All arithmetic is 64-bit, so no zoom level overflows.
#pragma once

#include <cstdint>

#include "editor/document/tavrel_doc.h"

namespace tavrel {

inline constexpr int64_t kInitialScale = 125;          // microns per pixel
inline constexpr int64_t kMaxScale = 10000000;         // zooming out stops here
inline constexpr int kMaxZoomLevel = 1000;
inline constexpr double kZoomFactor = 1.2;
inline constexpr int kGridPixels = 50;

struct GraphGeometry {
    int64_t originX = 0, originY = 0;  // pixel of the world point 0, 0
    int64_t scale = kInitialScale;
    int level = 0;

    int64_t screenX(int64_t x) const { return originX + x / scale; }
    int64_t screenY(int64_t y) const { return originY - y / scale; }
    int64_t worldX(int64_t px) const { return scale * (px - originX); }
    int64_t worldY(int64_t py) const { return -scale * (py - originY); }

    // Fits the rectangle into a client of w x h pixels: scale = ceil(extent / size) on the
    // tighter axis, its left and top edges on the border and the other axis centred. Nothing
    // happens for an empty client; a point-sized path puts the origin at the centre.
    void fit(const PathRect& r, int w, int h);
    // One zoom step around the pixel (px, py): the world point under it stays under it.
    void zoomIn(int64_t px, int64_t py);
    void zoomOut(int64_t px, int64_t py);
    // The size of one grid cell in microns, as the grid pane shows it.
    int64_t gridMicrons() const { return kGridPixels * scale; }

private:
    void rescale(int64_t newScale, int64_t px, int64_t py);
};

}  // namespace tavrel
