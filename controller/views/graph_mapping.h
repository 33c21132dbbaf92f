// Where program points land on the graph view: the scale (microns per pixel), the pixel of the
// program origin, fitting to the program's extents and zooming around a pixel. No widget: the
// view, the --render command and the tests share it.
//
//   pixel x = originX + X / scale        pixel y = originY - Y / scale      (integer division)
//
// A drag by n pixels moves every drawn pixel by exactly n, which lets the view shift its cached
// pictures. Everything is 64-bit: extents may span the whole 32-bit range and the scale reaches
// 10,000,000.
#pragma once

#include <cstdint>

namespace korvex {

inline constexpr int64_t kInitialScale = 125;
inline constexpr int64_t kMinScale = 1;
inline constexpr int64_t kMaxScale = 10'000'000;
inline constexpr int kMaxZoomLevel = 1000;
inline constexpr int kMinZoomLevel = -1000;
inline constexpr int kGridPixels = 50;

// floor(a / b) for b > 0.
constexpr int64_t floorDiv(int64_t a, int64_t b) {
    const int64_t q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}

struct ProgramBox {
    int64_t minX = 0, minY = 0, maxX = 0, maxY = 0;
};

class GraphMapping {
public:
    int width() const { return width_; }
    int height() const { return height_; }
    int64_t scale() const { return scale_; }
    int64_t fitScale() const { return fitScale_; }
    int level() const { return level_; }
    int64_t originX() const { return originX_; }
    int64_t originY() const { return originY_; }
    bool fitPending() const { return fitPending_; }

    int64_t pixelX(int64_t x) const { return originX_ + x / scale_; }
    int64_t pixelY(int64_t y) const { return originY_ - y / scale_; }
    // The program point under a pixel (the status bar's X and Y panes).
    int64_t programX(int64_t px) const { return (px - originX_) * scale_; }
    int64_t programY(int64_t py) const { return (originY_ - py) * scale_; }
    // Microns per grid square, for the "mm/grid" pane.
    int64_t micronsPerGrid() const { return scale_ * kGridPixels; }

    // A new client size: the origin goes to the centre, then a fit asked while the view had no
    // area is carried out.
    void resize(int width, int height);
    // The extents a fit works from (Part of every load).
    void setExtents(const ProgramBox& box) { extents_ = box; }
    const ProgramBox& extents() const { return extents_; }
    // Fits the extents into the client area and sets the level to 0. With no area yet the fit
    // waits for the first resize. False when it waits.
    bool fit();
    // One step in or out around the pixel (p, q); the program point under it stays there.
    void zoomIn(int64_t p, int64_t q);
    void zoomOut(int64_t p, int64_t q);
    void moveOrigin(int64_t dx, int64_t dy);
    // Scale and fit scale back to 125, level 0, origin at the centre.
    void clear();

private:
    void rescale(int64_t p, int64_t q, int64_t newScale);

    int width_ = 0, height_ = 0;
    int64_t scale_ = kInitialScale;
    int64_t fitScale_ = kInitialScale;
    int level_ = 0;
    int64_t originX_ = 0, originY_ = 0;
    bool fitPending_ = false;
    ProgramBox extents_;
};

}  // namespace korvex
