#include "controller/views/graph_view.h"

#include "code/loader.h"

#include <QPainter>

#include <cmath>

namespace korvex {

namespace {

constexpr int kGridPixels = 40;           // a grid square on screen
constexpr int kMarginPixels = 20;
constexpr double kArcStepRadians = 0.05;  // chord length of drawn arcs
// Points closer than this share of the program's size are merged, so a million-line program
// draws (and builds) in a few milliseconds.
constexpr double kMergeFraction = 1.0 / 4000.0;

void addArc(QPainterPath& path, double cx, double cy, const PathElement& e) {
    const double a0 = std::atan2(static_cast<double>(e.startY), static_cast<double>(e.startX));
    double a1 = std::atan2(static_cast<double>(e.endY), static_cast<double>(e.endX));
    const double r = std::hypot(static_cast<double>(e.startX), static_cast<double>(e.startY));
    const bool ccw = e.kind == kElementArcCcw;
    if (ccw && a1 <= a0)
        a1 += 2 * M_PI;
    if (!ccw && a1 >= a0)
        a1 -= 2 * M_PI;
    const int steps = std::max(2, static_cast<int>(std::abs(a1 - a0) / kArcStepRadians));
    for (int i = 1; i <= steps; ++i) {
        const double a = a0 + (a1 - a0) * i / steps;
        path.lineTo(cx + r * std::cos(a), cy + r * std::sin(a));
    }
}

}  // namespace

CGraphView::CGraphView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("GraphView"));
    setAutoFillBackground(false);
    setMinimumSize(200, 200);
}

void CGraphView::setProgram(const LoadedProgram* program) {
    path_ = QPainterPath();
    rapids_ = QPainterPath();
    hasProgram_ = program && !program->segments.empty();
    if (hasProgram_) {
        const Extents& ext = program->extents;
        bounds_ = QRectF(QPointF(ext.minX, ext.minY), QPointF(ext.maxX, ext.maxY)).normalized();
        const double merge = std::max(bounds_.width(), bounds_.height()) * kMergeFraction;
        double x = 0, y = 0;
        path_.moveTo(0, 0);
        QPointF last(0, 0);
        for (const CodeSegment& s : program->segments) {
            const PathElement& e = s.lower;
            if (e.kind == kElementLine || e.kind == kElementSwitch) {
                const double nx = x + e.dx(), ny = y + e.dy();
                if (e.kind == kElementSwitch && (e.dx() != 0 || e.dy() != 0)) {
                    rapids_.moveTo(x, y);
                    rapids_.lineTo(nx, ny);
                    path_.moveTo(nx, ny);
                    last = QPointF(nx, ny);
                } else if (std::abs(nx - last.x()) + std::abs(ny - last.y()) >= merge) {
                    path_.lineTo(nx, ny);
                    last = QPointF(nx, ny);
                }
                x = nx;
                y = ny;
            } else if (e.isArc()) {
                addArc(path_, x - e.startX, y - e.startY, e);
                x += e.dx();
                y += e.dy();
                path_.lineTo(x, y);
                last = QPointF(x, y);
            }
        }
        if (last != QPointF(x, y))
            path_.lineTo(x, y);
        bounds_ = bounds_.united(path_.boundingRect());
    }
    update();
}

QRectF CGraphView::fitRect() const {
    return QRectF(rect()).adjusted(kMarginPixels, kMarginPixels, -kMarginPixels, -kMarginPixels);
}

int CGraphView::micronsPerGrid() const {
    if (!hasProgram_)
        return 0;
    const QRectF area = fitRect();
    const double size = std::max(bounds_.width(), bounds_.height());
    const double pixels = std::max(1.0, std::min(area.width(), area.height()));
    return static_cast<int>(std::lround(size / pixels * kGridPixels));
}

void CGraphView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    p.setRenderHint(QPainter::Antialiasing);
    if (!hasProgram_) {
        p.setPen(Qt::darkGray);
        p.drawText(rect(), Qt::AlignCenter, qtTrId("view.graph_empty"));
        return;
    }
    const QRectF area = fitRect();
    const double size = std::max({bounds_.width(), bounds_.height(), 1.0});
    const double scale = std::min(area.width(), area.height()) / size;
    // Machine coordinates have Y upwards.
    QTransform t;
    t.translate(area.center().x(), area.center().y());
    t.scale(scale, -scale);
    t.translate(-bounds_.center().x(), -bounds_.center().y());

    p.setPen(QPen(QColor(40, 40, 40), 1));
    for (double gx = area.left(); gx < area.right(); gx += kGridPixels)
        p.drawLine(QPointF(gx, area.top()), QPointF(gx, area.bottom()));
    for (double gy = area.top(); gy < area.bottom(); gy += kGridPixels)
        p.drawLine(QPointF(area.left(), gy), QPointF(area.right(), gy));

    p.setTransform(t);
    p.setPen(QPen(Qt::green, 0));
    p.drawPath(path_);
    p.setPen(QPen(Qt::yellow, 0, Qt::DashLine));
    p.drawPath(rapids_);
    // The origin: where the wire starts.
    p.resetTransform();
    const QPointF origin = t.map(QPointF(0, 0));
    p.setPen(QPen(Qt::red, 2));
    p.drawLine(origin - QPointF(6, 0), origin + QPointF(6, 0));
    p.drawLine(origin - QPointF(0, 6), origin + QPointF(0, 6));
}

void CGraphView::onCardEvent(int kind, int argument) {
    ++eventsReceived_;
    if (kind == 6)
        emit linkLost(argument);
}

}  // namespace korvex
