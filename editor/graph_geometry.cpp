#include "editor/graph_geometry.h"

#include <algorithm>

namespace tavrel {

void GraphGeometry::fit(const PathRect& r, int w, int h) {
    if (w <= 0 || h <= 0) return;
    const int64_t width = static_cast<int64_t>(r.maxX) - r.minX;
    const int64_t height = static_cast<int64_t>(r.maxY) - r.minY;
    // Rounded up, so the extent never spills past the client.
    const int64_t cx = (width + w - 1) / w;
    const int64_t cy = (height + h - 1) / h;
    if (cx == 0 && cy == 0) {
        originX = w / 2;
        originY = h / 2;
        return;
    }
    scale = std::max<int64_t>(std::max(cx, cy), 1);
    // The world rectangle's left edge on pixel 0 and its top on pixel 0; the looser axis centred.
    originX = -static_cast<int64_t>(r.minX) / scale;
    originY = static_cast<int64_t>(r.maxY) / scale;
    if (cx >= cy) originY += (h - height / scale) / 2;
    else originX += (w - width / scale) / 2;
}

void GraphGeometry::rescale(int64_t newScale, int64_t px, int64_t py) {
    originX = px - scale * (px - originX) / newScale;
    originY = py - scale * (py - originY) / newScale;
    scale = newScale;
}

void GraphGeometry::zoomIn(int64_t px, int64_t py) {
    level = std::min(level + 1, kMaxZoomLevel);
    const int64_t next = level >= kMaxZoomLevel ? scale : static_cast<int64_t>(static_cast<double>(scale) / kZoomFactor);
    rescale(std::max<int64_t>(next, 1), px, py);
}

void GraphGeometry::zoomOut(int64_t px, int64_t py) {
    level = std::max(level - 1, -kMaxZoomLevel);
    const int64_t next = level <= -kMaxZoomLevel ? scale + 1
                                                 : static_cast<int64_t>(kZoomFactor * static_cast<double>(scale) + 1);
    // Capped, but never smaller than a scale that Fit chose for a very large path.
    rescale(std::max(scale, std::min(next, kMaxScale)), px, py);
}

}  // namespace tavrel
