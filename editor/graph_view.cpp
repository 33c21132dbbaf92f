#include "editor/graph_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>
#include <cmath>

#include "code/segment.h"
#include "editor/document/tavrel_doc.h"

namespace tavrel {
namespace {

constexpr int kWheelNotch = 120;
constexpr int kPauseDot = 12;
constexpr int kSelectedPauseDot = 10;
constexpr int kEndDot = 6;
constexpr int kSelectedStartDot = 20;
constexpr int kWideLine = 4;
constexpr double kChordRadiusPixels = 15000.0;
// Below this radius an arc covers a few pixels only and its chord looks the same.
constexpr double kArcMinRadiusPixels = 2.0;
const QColor kJumpColour(0, 128, 255);
const QColor kHoverColour(255, 0, 255);
const QColor kGridColour(0, 128, 0);

void dot(QPainter& p, double x, double y, int diameter, const QColor& c) {
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(QPointF(x, y), diameter / 2.0, diameter / 2.0);
}

// Qt angle (degrees, counter-clockwise on screen) of a world vector.
double angleOf(int64_t x, int64_t y) {
    return std::atan2(static_cast<double>(y), static_cast<double>(x)) * 180.0 / M_PI;
}

}  // namespace

QColor groupColour(int group) {
    static const QColor kColours[] = {
        {255, 255, 255}, {255, 0, 128}, {255, 128, 0}, {255, 255, 0},
        {0, 255, 0},     {128, 0, 0},   {0, 0, 255},   {128, 0, 255},
    };
    if (group >= 0 && group < 8) return kColours[group];
    return QColor(std::clamp(group, 0, 255), 0, 0);
}

CGraphView::CGraphView(const CTavrelDoc& doc, QWidget* parent)
    : QWidget(parent), doc_(doc) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    hoverSearch_ = std::make_unique<HoverSearch>([this](int segment) {
        // Hand the result to the interface thread; dropped if the view is gone by then.
        QMetaObject::invokeMethod(this, [this, segment] {
            if (segment != hover_) {
                hover_ = segment;
                update();
            }
        }, Qt::QueuedConnection);
    });
}

CGraphView::~CGraphView() {
    // Stop the search thread before the view it reports to goes.
    hoverSearch_.reset();
}

void CGraphView::documentUpdated(int hint) {
    if (hint == 0 || hint == 2) {
        hoverSearch_->publish(std::make_shared<const std::vector<Point64>>(doc_.segmentEndPoints()));
        selected_ = doc_.clampSegment(selected_);
        hover_ = doc_.clampSegment(hover_);
    }
    if (hint == 0) geo_.fit(doc_.rect(), width(), height());
    update();
}

void CGraphView::reportGrid() { emit gridScaleChanged(geo_.gridMicrons()); }

void CGraphView::fitToWindow() {
    geo_.fit(doc_.rect(), width(), height());
    reportGrid();
    update();
}

void CGraphView::zoomIn() {
    geo_.zoomIn(zoomCentre_.x(), zoomCentre_.y());
    reportGrid();
    update();
}

void CGraphView::zoomOut() {
    geo_.zoomOut(zoomCentre_.x(), zoomCentre_.y());
    reportGrid();
    update();
}

void CGraphView::setMoveMode(bool on) {
    moveMode_ = on;
    dragging_ = false;
    setCursor(on ? Qt::OpenHandCursor : Qt::ArrowCursor);
}

void CGraphView::setGridShown(bool on) {
    grid_ = on;
    update();
}

void CGraphView::setCaption(const QString& caption) {
    caption_ = caption;
    update();
}

void CGraphView::setSelectedSegment(int segment) {
    selected_ = doc_.clampSegment(segment);
    update();
}

void CGraphView::searchHoverAndWait(int64_t x, int64_t y) {
    hoverSearch_->wake(x, y);
    hoverSearch_->waitIdle();
}

void CGraphView::resizeEvent(QResizeEvent*) { zoomCentre_ = QPoint(width() / 2, height() / 2); }

void CGraphView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, render());
}

QImage CGraphView::render() const {
    QImage image(std::max(1, width()), std::max(1, height()), QImage::Format_RGB32);
    image.fill(Qt::black);
    // End dots are written straight into the pixels (hundreds of thousands on a large program).
    QRgb* pixels = reinterpret_cast<QRgb*>(image.bits());
    const int stride = static_cast<int>(image.bytesPerLine() / sizeof(QRgb));
    QPainter p(&image);
    const int w = image.width(), h = image.height();
    if (grid_) {
        p.setPen(QPen(kGridColour, 1, Qt::DotLine));
        for (int x = kGridPixels; x < w; x += kGridPixels) p.drawLine(x, 0, x, h);
        for (int y = kGridPixels; y < h; y += kGridPixels) p.drawLine(0, y, w, y);
    }
    p.setPen(QPen(Qt::yellow, 1));
    const int64_t ox = geo_.originX, oy = geo_.originY;
    if (ox >= 0 && ox < w) p.drawLine(static_cast<int>(ox), 0, static_cast<int>(ox), h);
    if (oy >= 0 && oy < h) p.drawLine(0, static_cast<int>(oy), w, static_cast<int>(oy));
    QFont font("Arial");
    font.setPointSize(20);
    p.setFont(font);
    p.drawText(QRect(10, 10, w - 10, h - 10), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, caption_);
    if (doc_.machinable()) drawPath(p, pixels, stride);
    return image;
}

void CGraphView::drawPath(QPainter& p, QRgb* pixels, int stride) const {
    p.setRenderHint(QPainter::Antialiasing, false);
    const QRectF client(0, 0, width(), height());
    const int64_t scale = geo_.scale;
    auto sx = [&](int64_t x) { return static_cast<double>(geo_.screenX(x)); };
    auto sy = [&](int64_t y) { return static_cast<double>(geo_.screenY(y)); };
    int64_t px = 0, py = 0;            // running world position, microns
    bool inRun = false;                // a run of lines shorter than a pixel
    QPointF lastDot(-1e9, -1e9);
    QRgb lastDotColour = 0;
    const int w = width(), h = height();
    auto endDot = [&](double x, double y, const QColor& c) {
        // Dots on the same pixel in the same colour look the same: draw one.
        const QPointF at(std::floor(x), std::floor(y));
        if (at == lastDot && c.rgb() == lastDotColour) return;
        lastDot = at;
        lastDotColour = c.rgb();
        if (at.x() < -kEndDot || at.y() < -kEndDot || at.x() > w + kEndDot || at.y() > h + kEndDot) return;
        // A disc 6 pixels wide centred on the point, as the painter would fill it.
        static constexpr int kSpan[kEndDot] = {1, 2, 3, 3, 2, 1};  // half-widths per row
        const int cx = static_cast<int>(at.x()), cy = static_cast<int>(at.y());
        const QRgb rgb = c.rgb();
        for (int row = 0; row < kEndDot; ++row) {
            const int yy = cy - kEndDot / 2 + row;
            if (yy < 0 || yy >= h) continue;
            QRgb* line = pixels + static_cast<std::ptrdiff_t>(yy) * stride;
            for (int xx = std::max(0, cx - kSpan[row]); xx < std::min(w, cx + kSpan[row]); ++xx) line[xx] = rgb;
        }
    };
    for (int i = 0; i < doc_.count(); ++i) {
        const korvex::PathElement& e = doc_.segment(i).lower;
        if (e.kind == korvex::kElementPause) {
            dot(p, sx(px), sy(py), kPauseDot, Qt::yellow);
            if (i == selected_) dot(p, sx(px), sy(py), kSelectedPauseDot, kHoverColour);
            continue;
        }
        const Point64 d = CTavrelDoc::displacement(e);
        const bool selected = i == selected_, hovered = i == hover_;
        QColor colour = groupColour(doc_.groupForColour(i));
        if (!selected && doc_.startsJump(i)) colour = kJumpColour;
        int width = selected ? kWideLine : 1;
        if (hovered) {
            colour = kHoverColour;
            width = kWideLine;
        }
        const int64_t adx = std::abs(d.x), ady = std::abs(d.y);
        // An arc whose whole circle lies within a pixel looks like a dot too.
        const bool tinyArc = e.isArc() && e.radius < scale;
        const bool tiny = !selected && !hovered &&
                          (tinyArc || (e.kind == korvex::kElementLine &&
                                       ((adx > 1 && adx < scale && ady < 3 * scale) ||
                                        (ady > 1 && ady < scale && adx < 3 * scale))));
        if (tiny) {
            inRun = true;
            px += d.x;
            py += d.y;
            endDot(sx(px), sy(py), colour);
            continue;
        }
        inRun = false;  // the run's sums are already in the running position
        const double x0 = sx(px), y0 = sy(py);
        const int64_t ex = px + d.x, ey = py + d.y;
        const double x1 = sx(ex), y1 = sy(ey);
        QRectF box;
        if (e.isArc()) {
            const int64_t cx = px - e.startX, cy = py - e.startY;
            const double r = static_cast<double>(e.radius) / static_cast<double>(scale);
            box = QRectF(sx(cx) - r, sy(cy) - r, 2 * r, 2 * r);
            if (box.intersects(client.adjusted(-1, -1, 1, 1))) {
                p.setPen(QPen(colour, width));
                p.setBrush(Qt::NoBrush);
                if (r > kChordRadiusPixels || r < kArcMinRadiusPixels) {
                    p.drawLine(QPointF(x0, y0), QPointF(x1, y1));
                } else {
                    const double a0 = angleOf(e.startX, e.startY), a1 = angleOf(e.endX, e.endY);
                    double span;
                    if (e.startX == e.endX && e.startY == e.endY) {
                        span = 360.0;  // start on end: the whole circle
                    } else if (e.kind == korvex::kElementArcCcw) {
                        span = a1 - a0;
                        if (span <= 0) span += 360.0;
                    } else {
                        span = a1 - a0;
                        if (span >= 0) span -= 360.0;
                    }
                    if (e.kind == korvex::kElementArcCw && span == 360.0) span = -360.0;
                    p.drawArc(box, static_cast<int>(std::lround(a0 * 16)), static_cast<int>(std::lround(span * 16)));
                }
            }
        } else {
            box = QRectF(QPointF(std::min(x0, x1), std::min(y0, y1)), QPointF(std::max(x0, x1), std::max(y0, y1)));
            if (box.adjusted(-width, -width, width, width).intersects(client)) {
                const bool dotted = e.kind == korvex::kElementEmpty || e.kind == korvex::kElementSwitch;
                p.setPen(QPen(colour, width, dotted ? Qt::DotLine : Qt::SolidLine));
                p.drawLine(QPointF(x0, y0), QPointF(x1, y1));
            }
        }
        if (selected) dot(p, x0, y0, kSelectedStartDot, Qt::red);
        endDot(x1, y1, colour);
        px = ex;
        py = ey;
    }
    (void)inRun;
}

void CGraphView::mouseMoveEvent(QMouseEvent* ev) {
    const QPoint at = ev->position().toPoint();
    if (dragging_) {
        geo_.originX += at.x() - dragFrom_.x();
        geo_.originY += at.y() - dragFrom_.y();
        dragFrom_ = at;
        update();
    }
    const int64_t x = geo_.worldX(at.x()), y = geo_.worldY(at.y());
    emit positionChanged(x, y);
    hoverSearch_->wake(x, y);
}

void CGraphView::mousePressEvent(QMouseEvent* ev) {
    if (ev->button() != Qt::LeftButton) return;
    const QPoint at = ev->position().toPoint();
    if (moveMode_) {
        dragging_ = true;
        dragFrom_ = at;
        grabMouse(Qt::ClosedHandCursor);
        return;
    }
    zoomCentre_ = at;
    emit hoverClicked(hover_);
}

void CGraphView::mouseReleaseEvent(QMouseEvent* ev) {
    if (ev->button() == Qt::LeftButton && dragging_) {
        dragging_ = false;
        releaseMouse();
        return;
    }
    if (ev->button() == Qt::RightButton && !dragging_ && moveMode_) setMoveMode(false);
}

void CGraphView::wheelEvent(QWheelEvent* ev) {
    const int delta = ev->angleDelta().y();
    const QPoint at = ev->position().toPoint();
    // Only whole single notches zoom; high-resolution wheels send smaller amounts.
    if (delta == kWheelNotch) geo_.zoomIn(at.x(), at.y());
    else if (delta == -kWheelNotch) geo_.zoomOut(at.x(), at.y());
    else return;
    reportGrid();
    update();
}

}  // namespace tavrel
