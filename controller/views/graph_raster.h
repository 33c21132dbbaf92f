// The graph view's own pixel drawing into a 32-bit image: lines with square pens of 1, 2 or 4
// pixels, dotted lines and round points, never anti-aliased.
//
// Why not QPainter for the path: a million segments must draw in well under 100 ms, and the
// cached pictures must equal a fresh drawing pixel for pixel whatever part is redrawn. Here every
// pixel follows from integer end points alone:
//   a line lights, for each step t = 0..n along its major axis, the minor coordinate
//   b0 + round-half-up(t * db / n); a dotted line every other step from its start;
// so drawing it whole, or only where it crosses a clip rectangle, or shifted by a drag, gives the
// same pixels. Lines millions of pixels long cost only their visible steps.
#pragma once

#include <QImage>
#include <QRect>
#include <QRgb>

#include <cstdint>

namespace korvex {

// A colour given as 0x00BBGGRR.
constexpr QRgb colorRef(uint32_t bgr) {
    return 0xFF000000u | ((bgr & 0xFFu) << 16) | (bgr & 0xFF00u) | ((bgr >> 16) & 0xFFu);
}

class PixelCanvas {
public:
    // `image` must be Format_RGB32 or Format_ARGB32; drawing stays inside `clip`.
    explicit PixelCanvas(QImage& image);
    PixelCanvas(QImage& image, const QRect& clip);

    const QRect& clip() const { return clip_; }
    void fill(QRgb color);
    // A line from (x0, y0) to (x1, y1) with a square pen `width` pixels wide.
    void line(int64_t x0, int64_t y0, int64_t x1, int64_t y1, QRgb color, int width = 1, bool dotted = false);
    // A round point `diameter` pixels across, centred on the pixel's top-left corner.
    void point(int64_t x, int64_t y, int diameter, QRgb color);
    // Vertical and horizontal dotted lines across the clip, lit where the other coordinate has
    // the parity of `phase`.
    void dottedColumn(int64_t x, int64_t phase, QRgb color);
    void dottedRow(int64_t y, int64_t phase, QRgb color);

private:
    void plot(int64_t x, int64_t y, int width, QRgb color);

    uchar* bits_;
    qsizetype stride_;
    QRect clip_;
};

}  // namespace korvex
