#include "controller/views/graph_view.h"
#include "controller/views/plan_pause_point.h"

#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QWheelEvent>

#include <algorithm>
#include <cstring>

#include "code/loader.h"

namespace korvex {

namespace {

constexpr int kWheelNotch = 120;
constexpr int kCardEventLinkLost = 6;
// Machined segments added at once from this many on are drawn on two threads.
constexpr int32_t kBandedSegments = 4096;

void copyRegion(QImage& to, const QImage& from, const QRect& region) {
    const QRect r = region.intersected(to.rect()).intersected(from.rect());
    if (r.isEmpty())
        return;
    const auto bytes = static_cast<std::size_t>(r.width()) * sizeof(QRgb);
    for (int y = r.top(); y <= r.bottom(); ++y)
        std::memcpy(to.scanLine(y) + r.left() * sizeof(QRgb), from.constScanLine(y) + r.left() * sizeof(QRgb), bytes);
}

// Moves the image's content by (dx, dy); what is uncovered keeps old pixels until redrawn.
void shiftImage(QImage& image, int dx, int dy) {
    const int w = image.width(), h = image.height();
    const int cols = w - std::abs(dx);
    if (cols <= 0 || std::abs(dy) >= h)
        return;
    const int fromX = std::max(-dx, 0), toX = std::max(dx, 0);
    auto moveRow = [&](int y) {
        uchar* row = image.scanLine(y);
        const uchar* src = image.constScanLine(y - dy);
        std::memmove(row + toX * sizeof(QRgb), src + fromX * sizeof(QRgb), static_cast<std::size_t>(cols) * sizeof(QRgb));
    };
    if (dy > 0) {
        for (int y = h - 1; y >= dy; --y)
            moveRow(y);
    } else {
        for (int y = 0; y < h + dy; ++y)
            moveRow(y);
    }
}

}  // namespace

CGraphView::CGraphView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("GraphView"));
    setAttribute(Qt::WA_OpaquePaintEvent);  // every paint covers the whole view: never erased first
    setMouseTracking(true);
    setMinimumSize(200, 200);
}

CGraphView::~CGraphView() = default;

bool CGraphView::setProgram(std::shared_ptr<const LoadedProgram> program) {
    if (program && program->segments.empty())
        program.reset();
    if (program) {
        const int32_t bad = firstUndrawableSegment(*program);
        if (bad >= 0) {
            setProgram(nullptr);
            emit drawFailed(bad);
            return false;
        }
    }
    if (!program)
        clear();  // Close: scale 125, level 0, nothing of the last cut left
    scene_.program = program ? std::make_shared<const GraphProgram>(std::move(program), defaultGroup_) : nullptr;
    scene_.progress.reset();
    scene_.selected = -1;
    scene_.range = {};
    scene_.stops.clear();
    scene_.planPausePoint.reset();
    scene_.haveUV = false;
    scene_.uMin = scene_.uMax = scene_.vMin = scene_.vMax = 0;
    staticKey_.reset();
    if (scene_.program) {
        const Extents& e = scene_.program->program().extents;
        scene_.mapping.setExtents({e.minX, e.minY, e.maxX, e.maxY});
        scene_.mapping.fit();
        emit gridChanged(micronsPerGrid());
    }
    changed();
    emit pictureUpdated();
    return true;
}

void CGraphView::clear() {
    scene_.mapping.clear();
    scene_.progress.reset();
    scene_.codeText.clear();
    scene_.hfLevel = 0;
    scene_.haveUV = false;
    scene_.uMin = scene_.uMax = scene_.vMin = scene_.vMax = 0;
    scene_.returnPoint.reset();
    scene_.rollPoint.reset();
    scene_.rolling = false;
    scene_.range = {};
    scene_.stops.clear();
    scene_.selected = -1;
    changed();
}

void CGraphView::clearAndFit() {
    clear();
    fit();
}

void CGraphView::fit() {
    scene_.mapping.fit();
    emit gridChanged(micronsPerGrid());
    changed();
}

QPoint CGraphView::zoomCentre() const {
    return lastClick_.value_or(QPoint(scene_.mapping.width() / 2, scene_.mapping.height() / 2));
}

void CGraphView::zoomIn() {
    const QPoint c = zoomCentre();
    scene_.mapping.zoomIn(c.x(), c.y());
    emit gridChanged(micronsPerGrid());
    changed();
}

void CGraphView::zoomOut() {
    const QPoint c = zoomCentre();
    scene_.mapping.zoomOut(c.x(), c.y());
    emit gridChanged(micronsPerGrid());
    changed();
}

void CGraphView::setMoveMode(bool on) {
    if (!on)
        dragging_ = false;
    if (moveMode_ == on)
        return;
    moveMode_ = on;
    if (on)
        setCursor(Qt::OpenHandCursor);
    else
        unsetCursor();
    emit moveModeChanged(on);
}

void CGraphView::setGrid(bool on) {
    scene_.grid = on;
    changed();
}

void CGraphView::setLargeReadout(bool on) {
    if (scene_.largeReadout == on)
        return;
    scene_.largeReadout = on;
    changed();
    emit largeReadoutChanged(on);
}

void CGraphView::applyWork(const WorkParams& work, int32_t speed) {
    if (!scene_.program)
        return;
    const std::optional<GraphProgress> p = progressFromWork(*scene_.program, scene_.range, work, speed);
    if (!p)
        return;  // a segment the program does not have
    scene_.progress = p;
    if (scene_.program->twoContour()) {
        const GuidePositions& g = p->guides;
        if (!scene_.haveUV) {
            scene_.uMin = scene_.uMax = g.u;
            scene_.vMin = scene_.vMax = g.v;
            scene_.haveUV = true;
        }
        scene_.uMin = std::min(scene_.uMin, g.u);
        scene_.uMax = std::max(scene_.uMax, g.u);
        scene_.vMin = std::min(scene_.vMin, g.v);
        scene_.vMax = std::max(scene_.vMax, g.v);
    }
    emit progressChanged(*p);
    changed();
}

void CGraphView::showPosition(const PositionBlock& position) { applyWork(position.work, position.speed); }

void CGraphView::showStatus(const StatusBlock& status) { applyWork(status.work, status.speed); }

void CGraphView::setRange(int32_t first, int32_t last, bool reverse) {
    scene_.range = {std::min(first, last), std::max(first, last), reverse};
    changed();
}

void CGraphView::clearRange() {
    scene_.range = {};
    changed();
}

void CGraphView::setStops(std::vector<int32_t> stops) {
    std::sort(stops.begin(), stops.end());
    scene_.stops = std::move(stops);
    changed();
}

void CGraphView::setIgnorePause(bool on) {
    scene_.ignorePause = on;
    changed();
}

void CGraphView::setSelectedSegment(int32_t segment) {
    scene_.selected = segment;
    changed();
}

void CGraphView::setCodeText(const QString& text) {
    scene_.codeText = text;
    changed();
}

void CGraphView::setTableName(const QString& name) {
    scene_.tableName = name;
    changed();
}

void CGraphView::setHfLevel(int level) {
    scene_.hfLevel = level;
    changed();
}

void CGraphView::setReturnPoint(std::optional<GraphPoint> point) {
    scene_.returnPoint = point;
    changed();
}

void CGraphView::setPlanPause(int32_t segment, int percent) {
    scene_.planPausePoint = scene_.program ? pointAlongSegment(*scene_.program, segment, percent) : std::nullopt;
    changed();
}

void CGraphView::setRolling(bool rolling, std::optional<GraphPoint> point) {
    scene_.rolling = rolling;
    scene_.rollPoint = rolling ? point : std::nullopt;
    changed();
}

void CGraphView::onCardEvent(int kind, int argument) {
    ++eventsReceived_;
    if (kind == kCardEventLinkLost)
        emit linkLost(argument);
}

void CGraphView::changed() {
    frameCurrent_ = false;
    update();
}

void CGraphView::redrawStatic() {
    const QSize size(scene_.mapping.width(), scene_.mapping.height());
    if (static_.size() != size)
        static_ = QImage(size, kGraphImageFormat);
    drawInBands(static_, static_.rect(), [this](const QRect& band) { drawStaticLayer(static_, scene_, band); });
    machined_ = static_.copy();
    machinedDrawn_ = 0;
}

void CGraphView::shiftPictures(int64_t dx, int64_t dy) {
    const int w = static_.width(), h = static_.height();
    const auto sx = static_cast<int>(dx), sy = static_cast<int>(dy);
    shiftImage(static_, sx, sy);
    shiftImage(machined_, sx, sy);
    // The uncovered strips: a column band and a row band.
    const QRect strips[2] = {
        sx > 0 ? QRect(0, 0, sx, h) : QRect(w + sx, 0, -sx, h),
        sy > 0 ? QRect(0, 0, w, sy) : QRect(0, h + sy, w, -sy),
    };
    for (const QRect& strip : strips) {
        if (strip.isEmpty())
            continue;
        drawStaticLayer(static_, scene_, strip);
        copyRegion(machined_, static_, strip);
        drawMachinedLayer(machined_, scene_, 0, machinedDrawn_, strip);
    }
}

void CGraphView::compose() {
    frameCurrent_ = true;
    const int w = scene_.mapping.width(), h = scene_.mapping.height();
    if (w <= 0 || h <= 0) {
        frame_ = QImage();
        return;
    }
    const StaticKey key = staticKeyOf(scene_);
    if (!staticKey_ || *staticKey_ != key) {
        StaticKey moved = key;
        if (staticKey_) {
            moved.originX = staticKey_->originX;
            moved.originY = staticKey_->originY;
        }
        const int64_t dx = staticKey_ ? key.originX - staticKey_->originX : 0;
        const int64_t dy = staticKey_ ? key.originY - staticKey_->originY : 0;
        if (staticKey_ && moved == *staticKey_ && std::abs(dx) < w && std::abs(dy) < h)
            shiftPictures(dx, dy);
        else
            redrawStatic();
        staticKey_ = key;
    }
    const int32_t target = machinedCountOf(scene_);
    if (target > machinedDrawn_) {
        const int32_t from = machinedDrawn_;
        if (target - from < kBandedSegments)
            drawMachinedLayer(machined_, scene_, from, target, machined_.rect());
        else
            drawInBands(machined_, machined_.rect(),
                        [&](const QRect& band) { drawMachinedLayer(machined_, scene_, from, target, band); });
    } else if (target < machinedDrawn_) {
        // A back: what the segments no longer machined covered comes from the static picture,
        // then the machined segments inside that region are laid again in their order.
        const QRect region = machinedPixelBox(scene_, target, machinedDrawn_);
        copyRegion(machined_, static_, region);
        drawInBands(machined_, region,
                    [&](const QRect& band) { drawMachinedLayer(machined_, scene_, 0, target, band); });
    }
    machinedDrawn_ = target;
    if (frame_.size() != machined_.size())
        frame_ = QImage(machined_.size(), kGraphImageFormat);
    copyRegion(frame_, machined_, frame_.rect());
    drawOverlay(frame_, scene_);
}

const QImage& CGraphView::picture() {
    if (!frameCurrent_)
        compose();
    return frame_;
}

std::size_t CGraphView::memoryBytes() const {
    std::size_t bytes = static_cast<std::size_t>(static_.sizeInBytes() + machined_.sizeInBytes() + frame_.sizeInBytes());
    if (scene_.program)
        bytes += scene_.program->memoryBytes();
    return bytes;
}

void CGraphView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QImage& image = picture();
    if (image.isNull())
        painter.fillRect(rect(), Qt::black);
    else
        painter.drawImage(0, 0, image);
}

void CGraphView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const bool pending = scene_.mapping.fitPending();
    scene_.mapping.resize(width(), height());
    if (pending && !scene_.mapping.fitPending())
        emit gridChanged(micronsPerGrid());
    changed();
}

void CGraphView::wheelEvent(QWheelEvent* event) {
    const int notches = event->angleDelta().y() / kWheelNotch;
    const QPoint at = event->position().toPoint();
    for (int i = 0; i < std::abs(notches); ++i) {
        if (notches > 0)
            scene_.mapping.zoomIn(at.x(), at.y());
        else
            scene_.mapping.zoomOut(at.x(), at.y());
    }
    if (notches != 0) {
        emit gridChanged(micronsPerGrid());
        changed();
    }
    event->accept();
}

void CGraphView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        lastClick_ = event->position().toPoint();
        if (moveMode_) {
            dragging_ = true;
            dragAnchor_ = event->position().toPoint();
            setCursor(Qt::ClosedHandCursor);
        }
    }
    QWidget::mousePressEvent(event);
}

void CGraphView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (dragging_) {
        const QPoint delta = at - dragAnchor_;
        dragAnchor_ = at;
        if (!delta.isNull()) {
            scene_.mapping.moveOrigin(delta.x(), delta.y());
            changed();
        }
    }
    emit cursorMoved(scene_.mapping.programX(at.x()), scene_.mapping.programY(at.y()));
}

void CGraphView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && dragging_) {
        dragging_ = false;
        setCursor(Qt::OpenHandCursor);
    } else if (event->button() == Qt::RightButton && !dragging_) {
        setMoveMode(false);
    }
    QWidget::mouseReleaseEvent(event);
}

void CGraphView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        setLargeReadout(!scene_.largeReadout);
    QWidget::mouseDoubleClickEvent(event);
}

}  // namespace korvex
