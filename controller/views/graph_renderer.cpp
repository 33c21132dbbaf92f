#include "controller/views/graph_renderer.h"

#include <QFont>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <system_error>
#include <thread>

#include "controller/views/graph_raster.h"

namespace korvex {

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

// Colours (0x00BBGGRR).
constexpr QRgb kBackground = colorRef(0x000000);
constexpr QRgb kGridColor = colorRef(0x008000);
constexpr QRgb kAxisColor = colorRef(0x00FFFF);
constexpr QRgb kCrossColor = colorRef(0xFF0000);
constexpr QRgb kPathColor = colorRef(0xFFFFFF);
constexpr QRgb kJumpColor = colorRef(0xFF8000);
constexpr std::array<QRgb, 8> kGroupColors = {colorRef(0x0000FF), colorRef(0x8000FF), colorRef(0x0080FF),
                                              colorRef(0x00FFFF), colorRef(0x00FF00), colorRef(0x000080),
                                              colorRef(0xFF0000), colorRef(0xFF0080)};
constexpr QRgb kOtherGroupColor = colorRef(0x000000);
constexpr QRgb kSelectedColor = colorRef(0xFF00FF);
constexpr QRgb kRangeMarkColor = colorRef(0x00FF00);
constexpr QRgb kStopMarkColor = colorRef(0xFF0000);
constexpr QRgb kSwitchMarkColor = colorRef(0xFF00FF);
constexpr QRgb kUpperColor = colorRef(0xFFFF00);
constexpr QRgb kTextColor = colorRef(0x00FFFF);
constexpr QRgb kShadowColor = colorRef(0x0080FF);
constexpr QRgb kTitleRed = colorRef(0x0000FF);
constexpr QRgb kTargetColor = colorRef(0xFFFFFF);
constexpr QRgb kPlanPauseColor = colorRef(0x00FFFF);

constexpr int kPathWidth = 1, kMachinedWidth = 2, kSelectedWidth = 4;
constexpr int kMarkDiameter = 12, kDotDiameter = 6, kTargetDiameter = 8;
constexpr int kCrossArm = 5;
// The furthest a drawn element reaches beyond its end points: a 12-pixel mark or a 4-pixel pen.
constexpr int kMarginPx = kMarkDiameter / 2 + 2;
// Chord sagitta of drawn arcs, pixels.
constexpr double kArcSagittaPx = 0.25;
// Arcs of more chords than this are drawn by their visible part only.
constexpr int64_t kDirectArcSteps = 64;

QRgb groupColor(int group) {
    return group >= 0 && group < static_cast<int>(kGroupColors.size()) ? kGroupColors[static_cast<std::size_t>(group)]
                                                                        : kOtherGroupColor;
}

bool moves(const PathElement& e) {
    if (e.isArc())
        return true;
    return (e.kind == kElementLine || e.kind == kElementEmpty || e.kind == kElementSwitch) && (e.endX != 0 || e.endY != 0);
}

struct Pixel {
    int64_t x = 0, y = 0;
    friend bool operator==(const Pixel&, const Pixel&) = default;
};

// Draws elements of one layer: lines, arcs, and the dots of elements too small to draw.
class PathPen {
public:
    PathPen(QImage& image, const GraphMapping& m, const QRect& clip)
        : canvas_(image, clip), m_(m), inverseScale_(1.0 / static_cast<double>(m.scale())) {
        memo_ = {m.pixelX(0), m.pixelY(0)};
        const QRect c = canvas_.clip();
        left_ = c.left() - kMarginPx;
        right_ = c.right() + kMarginPx;
        top_ = c.top() - kMarginPx;
        bottom_ = c.bottom() + kMarginPx;
    }

    PixelCanvas& canvas() { return canvas_; }
    bool empty() const { return canvas_.clip().isEmpty(); }

    void setPen(QRgb color, int width) {
        if (color != color_ || width != width_)
            hasDot_ = false;  // a dot of another pen is no reason to skip one of this pen
        color_ = color;
        width_ = width;
    }

    // Consecutive elements share their joint: the last point mapped is remembered.
    Pixel map(int64_t x, int64_t y) const {
        if (x != memoX_ || y != memoY_) {
            memoX_ = x;
            memoY_ = y;
            memo_ = {m_.pixelX(x), m_.pixelY(y)};
        }
        return memo_;
    }
    Pixel mapD(double x, double y) const {
        return {m_.originX() + static_cast<int64_t>(std::clamp(x * inverseScale_, -4.0e18, 4.0e18)),
                m_.originY() - static_cast<int64_t>(std::clamp(y * inverseScale_, -4.0e18, 4.0e18))};
    }
    bool boxVisible(int64_t x0, int64_t y0, int64_t x1, int64_t y1) const {
        return std::max(x0, x1) >= left_ && std::min(x0, x1) <= right_ && std::max(y0, y1) >= top_ &&
               std::min(y0, y1) <= bottom_;
    }
    bool programBoxVisible(const ProgramBox& b) const {
        return boxVisible(m_.pixelX(b.minX), m_.pixelY(b.minY), m_.pixelX(b.maxX), m_.pixelY(b.maxY));
    }

    void point(Pixel p, int diameter, QRgb color) { canvas_.point(p.x, p.y, diameter, color); }

    // The element starting at (x, y) microns.
    void element(const PathElement& e, int64_t x, int64_t y) {
        if (e.isArc())
            arc(e, x, y);
        else if (moves(e))
            line(map(x, y), map(x + e.endX, y + e.endY), e.kind != kElementLine);
    }

private:
    void dot(Pixel p) {
        if (hasDot_ && p == lastDot_)
            return;
        canvas_.point(p.x, p.y, kDotDiameter, color_);
        lastDot_ = p;
        hasDot_ = true;
    }

    static bool underDotSize(int64_t w, int64_t h) { return (w < 1 && h < 3) || (h < 1 && w < 3); }

    void line(Pixel a, Pixel b, bool dotted) {
        if (underDotSize(std::llabs(b.x - a.x), std::llabs(b.y - a.y))) {
            dot(b);
            return;
        }
        if (boxVisible(a.x, a.y, b.x, b.y))
            canvas_.line(a.x, a.y, b.x, b.y, color_, width_, dotted);
    }

    void arc(const PathElement& e, int64_t x, int64_t y);

    PixelCanvas canvas_;
    const GraphMapping& m_;
    double inverseScale_;
    mutable int64_t memoX_ = 0, memoY_ = 0;
    mutable Pixel memo_;
    int64_t left_, right_, top_, bottom_;
    QRgb color_ = 0;
    int width_ = 1;
    bool hasDot_ = false;
    Pixel lastDot_;
};

// The angles (radians, any turn) at which the circle of centre (cx, cy) and radius r, in pixels
// with y down, is inside the rectangle: up to four intervals [from, to].
int visibleAngles(double cx, double cy, double r, double left, double top, double right, double bottom,
                  std::array<std::pair<double, double>, 5>& out) {
    auto inside = [&](double a) {
        const double px = cx + r * std::cos(a), py = cy - r * std::sin(a);
        return px >= left && px <= right && py >= top && py <= bottom;
    };
    std::array<double, 10> cuts{};
    int n = 0;
    auto addCos = [&](double edge) {
        const double v = (edge - cx) / r;
        if (v >= -1 && v <= 1) {
            cuts[static_cast<std::size_t>(n++)] = std::acos(v);
            cuts[static_cast<std::size_t>(n++)] = -std::acos(v);
        }
    };
    auto addSin = [&](double edge) {
        const double v = (cy - edge) / r;
        if (v >= -1 && v <= 1) {
            cuts[static_cast<std::size_t>(n++)] = std::asin(v);
            cuts[static_cast<std::size_t>(n++)] = std::numbers::pi - std::asin(v);
        }
    };
    addCos(left);
    addCos(right);
    addSin(top);
    addSin(bottom);
    int count = 0;
    if (n == 0) {
        if (inside(0))
            out[static_cast<std::size_t>(count++)] = {0, kTwoPi};
        return count;
    }
    for (int i = 0; i < n; ++i) {
        double& c = cuts[static_cast<std::size_t>(i)];
        c = std::fmod(c, kTwoPi);
        if (c < 0)
            c += kTwoPi;
    }
    std::sort(cuts.begin(), cuts.begin() + n);
    for (int i = 0; i < n && count < static_cast<int>(out.size()); ++i) {
        const double from = cuts[static_cast<std::size_t>(i)];
        const double to = i + 1 < n ? cuts[static_cast<std::size_t>(i + 1)] : cuts[0] + kTwoPi;
        if (to > from && inside((from + to) / 2))
            out[static_cast<std::size_t>(count++)] = {from, to};
    }
    return count;
}

int quadrantOf(double x, double y) {
    if (x > 0 && y >= 0)
        return 0;
    if (x <= 0 && y > 0)
        return 1;
    if (x < 0 && y <= 0)
        return 2;
    return 3;
}

// The box of an arc relative to its centre, without trigonometry: both ends, and the ends of the
// axes the arc passes, found by the quadrants it goes through.
void arcBox(double sx, double sy, double ex, double ey, double r, bool ccw, double& minX, double& minY, double& maxX,
            double& maxY) {
    minX = std::min(sx, ex);
    maxX = std::max(sx, ex);
    minY = std::min(sy, ey);
    maxY = std::max(sy, ey);
    const int qs = quadrantOf(sx, sy), qe = quadrantOf(ex, ey);
    const double cross = sx * ey - sy * ex;
    if (qs == qe && (ccw ? cross > 0 : cross < 0))
        return;  // within one quadrant, no axis passed
    // Axis ends by angle: 0 +X, 1 +Y, 2 -X, 3 -Y.
    auto add = [&](int axis) {
        switch (axis & 3) {
        case 0: maxX = std::max(maxX, r); break;
        case 1: maxY = std::max(maxY, r); break;
        case 2: minX = std::min(minX, -r); break;
        default: minY = std::min(minY, -r); break;
        }
    };
    int q = qs;
    do {
        if (ccw) {
            add(q + 1);
            q = (q + 1) & 3;
        } else {
            add(q);
            q = (q + 3) & 3;
        }
    } while (q != qe);
}

void PathPen::arc(const PathElement& e, int64_t x, int64_t y) {
    const int64_t cx = x - e.startX, cy = y - e.startY;
    const double sx = e.startX, sy = e.startY, ex = e.endX, ey = e.endY;
    const double r0 = std::sqrt(sx * sx + sy * sy);
    if (r0 <= 0)
        return;
    const Pixel start = map(x, y), end = map(x + e.dx(), y + e.dy());
    double bx0, by0, bx1, by1;
    arcBox(sx, sy, ex, ey, std::ceil(r0) + 1, e.kind == kElementArcCcw, bx0, by0, bx1, by1);
    const auto cxd = static_cast<double>(cx), cyd = static_cast<double>(cy);
    const Pixel lo = mapD(cxd + bx0, cyd + by1), hi = mapD(cxd + bx1, cyd + by0);
    if (underDotSize(hi.x - lo.x, hi.y - lo.y)) {
        dot(end);
        return;
    }
    // An arc wholly outside the clip leaves nothing in it (its chords stay within its box).
    if (!boxVisible(lo.x - 1, lo.y - 1, hi.x + 1, hi.y + 1))
        return;
    const double r1 = std::sqrt(ex * ex + ey * ey);
    double sweep = std::atan2(sx * ey - sy * ex, sx * ex + sy * ey);
    if (e.kind == kElementArcCcw) {
        if (sweep <= 0)
            sweep += kTwoPi;  // an arc whose start equals its end is a full circle
    } else if (sweep >= 0) {
        sweep -= kTwoPi;
    }
    const double scale = static_cast<double>(m_.scale());
    const double radiusPx = std::max(r0, r1) / scale;
    const double theta = radiusPx > 2 * kArcSagittaPx ? std::min(std::sqrt(8 * kArcSagittaPx / radiusPx), std::numbers::pi / 4)
                                                      : std::numbers::pi / 4;
    const auto steps = std::max<int64_t>(1, static_cast<int64_t>(std::ceil(std::fabs(sweep) / theta)));
    const double d = sweep / static_cast<double>(steps);

    if (steps <= kDirectArcSteps) {
        // Every vertex, by rotating the start vector; the ends are the exact mapped end points.
        const double cd = std::cos(d), sd = std::sin(d);
        double c = sx / r0, s = sy / r0;
        Pixel a = start;
        for (int64_t k = 1; k <= steps; ++k) {
            Pixel b = end;
            if (k < steps) {
                const double nc = c * cd - s * sd;
                s = s * cd + c * sd;
                c = nc;
                const double r = r0 + (r1 - r0) * static_cast<double>(k) / static_cast<double>(steps);
                b = mapD(cxd + r * c, cyd + r * s);
            }
            canvas_.line(a.x, a.y, b.x, b.y, color_, width_, false);
            a = b;
        }
        return;
    }

    // A large arc: only the chords near the clip, each from vertices that do not depend on the
    // clip, so any part drawn matches the whole.
    const double a0 = std::atan2(sy, sx);
    auto vertex = [&](int64_t k) {
        if (k <= 0)
            return start;
        if (k >= steps)
            return end;
        const double a = a0 + d * static_cast<double>(k);
        const double r = r0 + (r1 - r0) * static_cast<double>(k) / static_cast<double>(steps);
        return mapD(static_cast<double>(cx) + r * std::cos(a), static_cast<double>(cy) + r * std::sin(a));
    };
    const QRect& c = canvas_.clip();
    const double margin = width_ + 3;
    const double cxp = static_cast<double>(m_.originX()) + static_cast<double>(cx) / scale;
    const double cyp = static_cast<double>(m_.originY()) - static_cast<double>(cy) / scale;
    std::array<std::pair<double, double>, 5> visible;
    const int count = visibleAngles(cxp, cyp, radiusPx, c.left() - margin, c.top() - margin, c.right() + margin,
                                    c.bottom() + margin, visible);
    for (int i = 0; i < count; ++i) {
        for (int turn = -2; turn <= 2; ++turn) {
            const double u = visible[static_cast<std::size_t>(i)].first + turn * kTwoPi;
            const double w = visible[static_cast<std::size_t>(i)].second + turn * kTwoPi;
            double k0 = (u - a0) / d, k1 = (w - a0) / d;
            if (k0 > k1)
                std::swap(k0, k1);
            if (k1 < -1 || k0 > static_cast<double>(steps) + 1)
                continue;
            const int64_t from = std::max<int64_t>(0, static_cast<int64_t>(std::floor(std::max(k0, -1.0))) - 1);
            const int64_t to = std::min<int64_t>(steps, static_cast<int64_t>(std::ceil(std::min(k1, double(steps) + 1))) + 1);
            Pixel a = vertex(from);
            for (int64_t k = from; k < to; ++k) {
                const Pixel b = vertex(k + 1);
                canvas_.line(a.x, a.y, b.x, b.y, color_, width_, false);
                a = b;
            }
        }
    }
}

bool skipped(const GraphScene& scene, const PathElement& e) {
    return e.kind == kElementPause && !scene.ignorePause;
}

}  // namespace

StaticKey staticKeyOf(const GraphScene& scene) {
    StaticKey k;
    k.width = scene.mapping.width();
    k.height = scene.mapping.height();
    k.scale = scene.mapping.scale();
    k.originX = scene.mapping.originX();
    k.originY = scene.mapping.originY();
    k.grid = scene.grid;
    k.program = scene.program.get();
    k.range = scene.range;
    k.ignorePause = scene.ignorePause;
    k.stops = scene.stops;
    return k;
}

int32_t machinedCountOf(const GraphScene& scene) {
    if (!scene.program || !scene.progress || !scene.range.valid(scene.program->count()))
        return 0;
    return machinedCount(scene.range, scene.progress->current);
}

void drawStaticLayer(QImage& image, const GraphScene& scene, const QRect& clip) {
    PathPen pen(image, scene.mapping, clip);
    if (pen.empty())
        return;
    PixelCanvas& canvas = pen.canvas();
    canvas.fill(kBackground);
    const GraphMapping& m = scene.mapping;
    const QRect& c = canvas.clip();
    const int64_t ox = m.originX(), oy = m.originY();
    if (scene.grid) {
        for (int64_t x = ox + floorDiv(c.left() - ox + kGridPixels - 1, kGridPixels) * kGridPixels; x <= c.right();
             x += kGridPixels)
            canvas.dottedColumn(x, oy, kGridColor);
        for (int64_t y = oy + floorDiv(c.top() - oy + kGridPixels - 1, kGridPixels) * kGridPixels; y <= c.bottom();
             y += kGridPixels)
            canvas.dottedRow(y, ox, kGridColor);
    }
    canvas.line(ox, c.top(), ox, c.bottom(), kAxisColor);
    canvas.line(c.left(), oy, c.right(), oy, kAxisColor);
    canvas.line(ox - kCrossArm, oy - kCrossArm, ox + kCrossArm, oy + kCrossArm, kCrossColor, 2);
    canvas.line(ox - kCrossArm, oy + kCrossArm, ox + kCrossArm, oy - kCrossArm, kCrossColor, 2);

    if (!scene.program)
        return;
    const GraphProgram& p = *scene.program;
    const bool upper = p.twoContour();
    const int32_t n = p.count();
    const bool ranged = scene.range.valid(n);
    // Segments that start where a stop halts: the ones after a stop mark.
    std::vector<int32_t> stopStarts;
    for (int32_t s : scene.stops)
        if (s >= 0 && s + 1 < n)
            stopStarts.push_back(s + 1);
    std::sort(stopStarts.begin(), stopStarts.end());
    auto markAt = [&](int32_t i, bool atEnd, QRgb color) {
        const int32_t at = atEnd ? i + 1 : i;
        pen.point(pen.map(p.lowerX(at), p.lowerY(at)), kMarkDiameter, color);
        if (upper && p.segment(i).twoContour)
            pen.point(pen.map(p.upperX(at), p.upperY(at)), kMarkDiameter, color);
    };
    for (int32_t chunk = 0; chunk < p.chunkCount(); ++chunk) {
        if (!pen.programBoxVisible(p.chunkBox(chunk)))
            continue;
        const int32_t first = chunk * GraphProgram::kChunkSegments;
        const int32_t end = std::min(n, first + GraphProgram::kChunkSegments);
        auto stop = std::lower_bound(stopStarts.begin(), stopStarts.end(), first);
        for (int32_t i = first; i < end; ++i) {
            const CodeSegment& s = p.segment(i);
            if (ranged && i == scene.range.first)
                markAt(i, false, kRangeMarkColor);
            if (ranged && i == scene.range.last)
                markAt(i, true, kRangeMarkColor);
            while (stop != stopStarts.end() && *stop < i)
                ++stop;
            if (stop != stopStarts.end() && *stop == i)
                markAt(i, false, kStopMarkColor);
            if (p.isSwitch(i))
                markAt(i, false, kSwitchMarkColor);
            if (skipped(scene, s.lower))
                continue;
            pen.setPen(p.isJump(i) ? kJumpColor : kPathColor, kPathWidth);
            pen.element(s.lower, p.lowerX(i), p.lowerY(i));
            if (upper && s.twoContour) {
                pen.setPen(kUpperColor, kPathWidth);
                pen.element(s.upper, p.upperX(i), p.upperY(i));
            }
        }
    }
}

void drawMachinedLayer(QImage& image, const GraphScene& scene, int32_t from, int32_t to, const QRect& clip) {
    if (!scene.program || from >= to)
        return;
    PathPen pen(image, scene.mapping, clip);
    if (pen.empty())
        return;
    const GraphProgram& p = *scene.program;
    const GraphRange& r = scene.range;
    constexpr int32_t kChunk = GraphProgram::kChunkSegments;
    int32_t k = from;
    while (k < to) {
        // The run of machined segments inside one chunk, in the order machined.
        const int32_t i = machinedSegment(r, k);
        const int32_t chunk = i / kChunk;
        const int32_t inChunk = r.reverse ? i - chunk * kChunk + 1 : (chunk + 1) * kChunk - i;
        const int32_t runEnd = std::min(to, k + inChunk);
        if (pen.programBoxVisible(p.chunkBox(chunk))) {
            for (; k < runEnd; ++k) {
                const int32_t seg = machinedSegment(r, k);
                const CodeSegment& s = p.segment(seg);
                if (skipped(scene, s.lower))
                    continue;
                pen.setPen(groupColor(p.group(seg)), kMachinedWidth);
                pen.element(s.lower, p.lowerX(seg), p.lowerY(seg));
            }
        }
        k = runEnd;
    }
}

QRect machinedPixelBox(const GraphScene& scene, int32_t from, int32_t to) {
    if (!scene.program || from >= to)
        return {};
    const GraphProgram& p = *scene.program;
    ProgramBox box;
    bool any = false;
    for (int32_t k = from; k < to; ++k) {
        const int32_t i = machinedSegment(scene.range, k);
        const PathElement& e = p.segment(i).lower;
        int64_t x0 = p.lowerX(i), y0 = p.lowerY(i), x1 = p.lowerX(i + 1), y1 = p.lowerY(i + 1);
        ProgramBox b{std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)};
        if (e.isArc()) {
            const int64_t cx = x0 - e.startX, cy = y0 - e.startY;
            const auto rr = static_cast<int64_t>(std::ceil(std::sqrt(double(e.startX) * e.startX + double(e.startY) * e.startY))) + 1;
            b = {std::min(b.minX, cx - rr), std::min(b.minY, cy - rr), std::max(b.maxX, cx + rr), std::max(b.maxY, cy + rr)};
        }
        if (!any)
            box = b;
        else
            box = {std::min(box.minX, b.minX), std::min(box.minY, b.minY), std::max(box.maxX, b.maxX),
                   std::max(box.maxY, b.maxY)};
        any = true;
    }
    const GraphMapping& m = scene.mapping;
    const int64_t left = std::clamp<int64_t>(m.pixelX(box.minX) - kMarginPx, -1, m.width());
    const int64_t right = std::clamp<int64_t>(m.pixelX(box.maxX) + kMarginPx, -1, m.width());
    const int64_t top = std::clamp<int64_t>(m.pixelY(box.maxY) - kMarginPx, -1, m.height());
    const int64_t bottom = std::clamp<int64_t>(m.pixelY(box.minY) + kMarginPx, -1, m.height());
    return QRect(QPoint(int(left), int(top)), QPoint(int(right), int(bottom))).intersected(QRect(0, 0, m.width(), m.height()));
}

namespace {

void drawText(QPainter& painter, const QRect& box, int height, QRgb color, const QString& text,
              int flags = Qt::AlignLeft | Qt::AlignTop) {
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(height);
    painter.setFont(font);
    painter.setPen(QColor::fromRgb(color));
    painter.drawText(box, flags | Qt::TextDontClip, text);
}

void drawTexts(QImage& image, const GraphScene& scene) {
    const int w = image.width(), h = image.height();
    QPainter painter(&image);
    const GraphProgram* p = scene.program.get();
    const bool taper = p && (p->program().kind == 3 || p->program().kind == 5);
    if (taper) {
        drawText(painter, QRect(10, 40, 200, 60), 48, kTitleRed, qtTrId("61517"));
        drawText(painter, QRect(210, 40, 200, 60), 30, kPathColor, qtTrId("61518"));
        drawText(painter, QRect(410, 40, 200, 60), 30, kUpperColor, qtTrId("61519"));
    }
    const int group = p && scene.progress ? p->group(scene.progress->current) : 0;
    drawText(painter, QRect(10, h - 60, w - 20, 20), 20, kTextColor, qtTrId("61720").arg(scene.tableName).arg(group));
    drawText(painter, QRect(10, h - 30, w - 20, 20), 20, kTextColor, scene.codeText);
    if (taper) {
        drawText(painter, QRect(10, 10, w - 20, 15), 15, kTextColor,
                 qtTrId("graph.uv_range").arg(scene.uMin).arg(scene.uMax).arg(scene.vMin).arg(scene.vMax));
        const TaperHeader& t = p->program().taper;
        drawText(painter, QRect(10, 30, w - 20, 15), 15, kTextColor,
                 qtTrId("61520")
                     .arg(t.heightX10 / 10.0, 0, 'f', 1)
                     .arg(t.widthX10 / 10.0, 0, 'f', 1)
                     .arg(t.baseX10 / 10.0, 0, 'f', 1)
                     .arg(t.radiusX10 / 10.0, 0, 'f', 1)
                     .arg(t.angleX1000 / 1000.0, 0, 'f', 2));
    }
    if (scene.largeReadout) {
        constexpr int kLine = 60;
        const QRect column(w - 400, h / 2 - 200, 390, kLine);
        int y = 0;
        auto line = [&](const QString& text) {
            const QRect box = column.translated(0, y);
            drawText(painter, box.translated(1, 1), kLine, kShadowColor, text);
            drawText(painter, box, kLine, kTextColor, text);
            y += kLine;
        };
        if (scene.rolling)
            line(qtTrId("61724"));
        const GuidePositions g = scene.progress ? scene.progress->guides : GuidePositions{};
        const int speed = scene.progress ? scene.progress->speed : 0;
        line(QString::asprintf("X: %8d", g.x));
        line(QString::asprintf("Y: %8d", g.y));
        line(QString::asprintf("U: %8d", g.u));
        line(QString::asprintf("V: %8d", g.v));
        line(QString::asprintf("Spd: %4d", speed));
        line(QString::asprintf("HF: %4d", scene.hfLevel));
    }
}

}  // namespace

void drawOverlay(QImage& image, const GraphScene& scene) {
    const GraphProgram* p = scene.program.get();
    if (p) {
        PathPen pen(image, scene.mapping, image.rect());
        const bool ranged = scene.range.valid(p->count());
        if (scene.progress) {
            const GraphProgress& g = *scene.progress;
            const CodeSegment& s = p->segment(g.current);
            const QRgb color = groupColor(p->group(g.current));
            if (ranged && g.current >= scene.range.first && g.current <= scene.range.last && !skipped(scene, s.lower)) {
                int64_t x, y;
                const PathElement part =
                    machinedPart(s.lower, g.lower, scene.range.reverse, p->lowerX(g.current), p->lowerY(g.current), x, y);
                pen.setPen(color, kMachinedWidth);
                pen.element(part, x, y);
            }
        }
        if (scene.selected >= 0 && scene.selected < p->count()) {
            const CodeSegment& s = p->segment(scene.selected);
            pen.setPen(kSelectedColor, kSelectedWidth);
            pen.element(s.lower, p->lowerX(scene.selected), p->lowerY(scene.selected));
            if (p->twoContour() && s.twoContour)
                pen.element(s.upper, p->upperX(scene.selected), p->upperY(scene.selected));
        }
        if (scene.progress) {
            const GraphProgress& g = *scene.progress;
            pen.point(pen.map(g.lowerPointX, g.lowerPointY), kMarkDiameter, groupColor(p->group(g.current)));
            if (p->twoContour()) {
                const Pixel c = pen.map(g.upperPointX, g.upperPointY);
                pen.canvas().line(c.x - kCrossArm, c.y, c.x + kCrossArm, c.y, kAxisColor);
                pen.canvas().line(c.x, c.y - kCrossArm, c.x, c.y + kCrossArm, kAxisColor);
            }
        }
    }
    {
        PathPen pen(image, scene.mapping, image.rect());
        if (scene.returnPoint)
            pen.point(pen.map(scene.returnPoint->x, scene.returnPoint->y), kTargetDiameter, kTargetColor);
        if (scene.rollPoint)
            pen.point(pen.map(scene.rollPoint->x, scene.rollPoint->y), kTargetDiameter, kTargetColor);
        if (scene.planPausePoint)
            pen.point(pen.map(scene.planPausePoint->x, scene.planPausePoint->y), kTargetDiameter, kPlanPauseColor);
    }
    drawTexts(image, scene);
}

void drawInBands(QImage& image, const QRect& rect, const std::function<void(const QRect&)>& draw) {
    constexpr int kLeastBandRows = 64;
    if (rect.height() < 2 * kLeastBandRows) {
        draw(rect);
        return;
    }
    image.bits();  // detached here, before two threads write into it
    const int middle = rect.top() + rect.height() / 2;
    const QRect upper(QPoint(rect.left(), rect.top()), QPoint(rect.right(), middle - 1));
    const QRect lower(QPoint(rect.left(), middle), rect.bottomRight());
    std::thread helper;
    try {
        helper = std::thread([&] { draw(lower); });
    } catch (const std::system_error&) {
        draw(lower);
    }
    draw(upper);
    if (helper.joinable())
        helper.join();
}

QImage renderGraph(const GraphScene& scene) {
    const int w = std::max(scene.mapping.width(), 0), h = std::max(scene.mapping.height(), 0);
    QImage image(w, h, kGraphImageFormat);
    if (image.isNull())
        return image;
    const int32_t machined = machinedCountOf(scene);
    drawInBands(image, image.rect(), [&](const QRect& band) {
        drawStaticLayer(image, scene, band);
        drawMachinedLayer(image, scene, 0, machined, band);
    });
    drawOverlay(image, scene);
    return image;
}

}  // namespace korvex
