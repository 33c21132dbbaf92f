#include "controller/views/graph_raster.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

namespace korvex {

namespace {

constexpr int kMaxPointDiameter = 16;

struct Span {
    int8_t from = 0, to = -1;  // columns relative to the centre corner
};

// Row spans of a disc `d` pixels across whose centre is the corner between four pixels.
const std::array<Span, kMaxPointDiameter>& discSpans(int d) {
    static const auto table = [] {
        std::array<std::array<Span, kMaxPointDiameter>, kMaxPointDiameter + 1> t{};
        for (int dia = 1; dia <= kMaxPointDiameter; ++dia) {
            const double r = dia / 2.0;
            for (int row = 0; row < dia; ++row) {
                const double yc = row + 0.5 - r;
                const double hw = std::sqrt(std::max(0.0, r * r - yc * yc));
                Span s;
                s.from = static_cast<int8_t>(std::ceil(-hw - 0.5 + r) - r);
                s.to = static_cast<int8_t>(std::floor(hw - 0.5 + r) - r);
                t[static_cast<std::size_t>(dia)][static_cast<std::size_t>(row)] = s;
            }
        }
        return t;
    }();
    return table[static_cast<std::size_t>(std::clamp(d, 1, kMaxPointDiameter))];
}

int64_t floorDiv128(__int128 a, __int128 b) {
    __int128 q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return static_cast<int64_t>(q);
}

// Clamps a double to a range int64 can hold with room to spare.
int64_t toInt64(double v) { return static_cast<int64_t>(std::clamp(v, -4.0e18, 4.0e18)); }

}  // namespace

PixelCanvas::PixelCanvas(QImage& image) : PixelCanvas(image, image.rect()) {}

PixelCanvas::PixelCanvas(QImage& image, const QRect& clip)
    : bits_(image.bits()), stride_(image.bytesPerLine()), clip_(clip.intersected(image.rect())) {}

void PixelCanvas::fill(QRgb color) {
    for (int y = clip_.top(); y <= clip_.bottom(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(bits_ + y * stride_);
        std::fill(row + clip_.left(), row + clip_.right() + 1, color);
    }
}

void PixelCanvas::plot(int64_t x, int64_t y, int width, QRgb color) {
    const int64_t lo = -(width - 1) / 2;
    const int64_t x0 = std::max<int64_t>(x + lo, clip_.left()), x1 = std::min<int64_t>(x + lo + width - 1, clip_.right());
    const int64_t y0 = std::max<int64_t>(y + lo, clip_.top()), y1 = std::min<int64_t>(y + lo + width - 1, clip_.bottom());
    for (int64_t yy = y0; yy <= y1; ++yy) {
        auto* row = reinterpret_cast<QRgb*>(bits_ + yy * stride_);
        for (int64_t xx = x0; xx <= x1; ++xx)
            row[xx] = color;
    }
}

void PixelCanvas::line(int64_t x0, int64_t y0, int64_t x1, int64_t y1, QRgb color, int width, bool dotted) {
    if (clip_.isEmpty())
        return;
    const int64_t lo = -(width - 1) / 2, hi = lo + width - 1;
    const int64_t dx = x1 - x0, dy = y1 - y0;
    if (dx == 0 && dy == 0) {
        plot(x0, y0, width, color);
        return;
    }
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const int64_t a0 = xMajor ? x0 : y0, b0 = xMajor ? y0 : x0;
    const int64_t da = xMajor ? dx : dy, db = xMajor ? dy : dx;
    const int64_t n = std::llabs(da);
    // Pixel positions whose pen square can reach the clip.
    const int64_t aLo = (xMajor ? clip_.left() : clip_.top()) - hi, aHi = (xMajor ? clip_.right() : clip_.bottom()) - lo;
    const int64_t bLo = (xMajor ? clip_.top() : clip_.left()) - hi, bHi = (xMajor ? clip_.bottom() : clip_.right()) - lo;
    int64_t tLo = da > 0 ? aLo - a0 : a0 - aHi;
    int64_t tHi = da > 0 ? aHi - a0 : a0 - aLo;
    tLo = std::max<int64_t>(tLo, 0);
    tHi = std::min(tHi, n);
    if (db != 0) {
        // The minor coordinate passes the clip's rows only for these steps (with a step to spare).
        double t1 = static_cast<double>(bLo - 1 - b0) * static_cast<double>(n) / static_cast<double>(db);
        double t2 = static_cast<double>(bHi + 1 - b0) * static_cast<double>(n) / static_cast<double>(db);
        if (t1 > t2)
            std::swap(t1, t2);
        tLo = std::max(tLo, toInt64(std::floor(t1)) - 1);
        tHi = std::min(tHi, toInt64(std::ceil(t2)) + 1);
    } else if (b0 < bLo || b0 > bHi) {
        return;
    }
    if (tLo > tHi)
        return;
    const int64_t den = 2 * n;
    const __int128 num = static_cast<__int128>(2) * tLo * db + n;
    int64_t q = floorDiv128(num, den);
    int64_t rem = static_cast<int64_t>(num - static_cast<__int128>(q) * den);
    const int64_t step = 2 * db;
    const int64_t sa = da > 0 ? 1 : -1;
    for (int64_t t = tLo; t <= tHi; ++t) {
        if (!dotted || (t & 1) == 0) {
            const int64_t a = a0 + sa * t, b = b0 + q;
            if (xMajor)
                plot(a, b, width, color);
            else
                plot(b, a, width, color);
        }
        rem += step;
        if (rem >= den) {
            ++q;
            rem -= den;
        } else if (rem < 0) {
            --q;
            rem += den;
        }
    }
}

void PixelCanvas::point(int64_t x, int64_t y, int diameter, QRgb color) {
    const int half = diameter / 2;
    if (x + half < clip_.left() || x - half > clip_.right() || y + half < clip_.top() || y - half > clip_.bottom())
        return;
    const auto& spans = discSpans(diameter);
    if (x - half >= clip_.left() && x + half <= clip_.right() && y - half >= clip_.top() &&
        y + half <= clip_.bottom()) {
        // Wholly inside: no test per pixel.
        uchar* rowBits = bits_ + (y - half) * stride_;
        for (int row = 0; row < diameter; ++row, rowBits += stride_) {
            QRgb* line = reinterpret_cast<QRgb*>(rowBits) + x;
            for (int i = spans[static_cast<std::size_t>(row)].from; i <= spans[static_cast<std::size_t>(row)].to; ++i)
                line[i] = color;
        }
        return;
    }
    for (int row = 0; row < diameter; ++row) {
        const int64_t yy = y - half + row;
        if (yy < clip_.top() || yy > clip_.bottom())
            continue;
        auto* line = reinterpret_cast<QRgb*>(bits_ + yy * stride_);
        const int64_t from = std::max<int64_t>(x + spans[static_cast<std::size_t>(row)].from, clip_.left());
        const int64_t to = std::min<int64_t>(x + spans[static_cast<std::size_t>(row)].to, clip_.right());
        for (int64_t xx = from; xx <= to; ++xx)
            line[xx] = color;
    }
}

void PixelCanvas::dottedColumn(int64_t x, int64_t phase, QRgb color) {
    if (x < clip_.left() || x > clip_.right())
        return;
    for (int y = clip_.top(); y <= clip_.bottom(); ++y)
        if (((y - phase) & 1) == 0)
            reinterpret_cast<QRgb*>(bits_ + y * stride_)[x] = color;
}

void PixelCanvas::dottedRow(int64_t y, int64_t phase, QRgb color) {
    if (y < clip_.top() || y > clip_.bottom())
        return;
    auto* row = reinterpret_cast<QRgb*>(bits_ + y * stride_);
    for (int x = clip_.left(); x <= clip_.right(); ++x)
        if (((x - phase) & 1) == 0)
            row[x] = color;
}

}  // namespace korvex
