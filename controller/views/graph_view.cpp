#include "controller/views/graph_view.h"

#include "code/loader.h"
#include "controller/views/graph_picture.h"

#include <QPainter>
#include <QResizeEvent>

#include <cmath>

namespace korvex {

namespace {

constexpr int kGridPixels = 40;  // a grid square on screen
constexpr int kMarginPixels = 20;

}  // namespace

CGraphView::CGraphView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("GraphView"));
    setAutoFillBackground(false);
    setMinimumSize(200, 200);
    // Finished pictures travel to the window's thread as queued calls; pending ones are dropped
    // with the view, and the thread is joined before the view goes.
    pictures_ = std::make_unique<GraphPictureThread>([this](uint64_t generation, QImage picture) {
        QMetaObject::invokeMethod(
            this, [this, generation, picture = std::move(picture)] { takePicture(generation, picture); },
            Qt::QueuedConnection);
    });
}

CGraphView::~CGraphView() { pictures_.reset(); }

void CGraphView::setProgram(std::shared_ptr<const LoadedProgram> program) {
    if (program && program->segments.empty())
        program.reset();
    program_ = std::move(program);
    if (program_) {
        const Extents& ext = program_->extents;
        bounds_ = QRectF(QPointF(ext.minX, ext.minY), QPointF(ext.maxX, ext.maxY)).normalized();
    } else {
        bounds_ = QRectF();
    }
    hasPicture_ = false;
    picture_ = QImage();
    requestPicture();
    programGeneration_ = generation_;
    update();
}

void CGraphView::requestPicture() {
    ++generation_;
    if (!program_ || width() <= 0 || height() <= 0)
        return;
    GraphPictureThread::Job job;
    job.generation = generation_;
    job.program = program_;
    job.bounds = bounds_;
    const double ratio = devicePixelRatioF();
    job.devicePixelRatio = ratio;
    job.size = QSize(static_cast<int>(std::ceil(width() * ratio)), static_cast<int>(std::ceil(height() * ratio)));
    job.marginPx = kMarginPixels;
    pictures_->request(std::move(job));
}

void CGraphView::takePicture(uint64_t generation, const QImage& picture) {
    // A picture of an earlier program is never shown; one of an earlier size of this program
    // stands in until the current size is drawn.
    if (generation < programGeneration_ || generation < pictureGeneration_)
        return;
    picture_ = picture;
    pictureGeneration_ = generation;
    hasPicture_ = true;
    update();
    emit pictureUpdated();
}

void CGraphView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (program_)
        requestPicture();
}

QRectF CGraphView::fitRect() const {
    return QRectF(rect()).adjusted(kMarginPixels, kMarginPixels, -kMarginPixels, -kMarginPixels);
}

int CGraphView::micronsPerGrid() const {
    if (!program_)
        return 0;
    const QRectF area = fitRect();
    const double size = std::max(bounds_.width(), bounds_.height());
    const double pixels = std::max(1.0, std::min(area.width(), area.height()));
    return static_cast<int>(std::lround(size / pixels * kGridPixels));
}

void CGraphView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    if (!program_) {
        p.setPen(Qt::darkGray);
        p.drawText(rect(), Qt::AlignCenter, qtTrId("view.graph_empty"));
        return;
    }
    const QRectF area = fitRect();
    p.setPen(QPen(QColor(40, 40, 40), 1));
    for (double gx = area.left(); gx < area.right(); gx += kGridPixels)
        p.drawLine(QPointF(gx, area.top()), QPointF(gx, area.bottom()));
    for (double gy = area.top(); gy < area.bottom(); gy += kGridPixels)
        p.drawLine(QPointF(area.left(), gy), QPointF(area.right(), gy));

    if (hasPicture_) {
        // Drawn at this size, or stretched over the window while a resize is being drawn.
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(QRectF(rect()), picture_);
    }
    // The origin: where the wire starts.
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF origin = graphFitTransform(bounds_, size(), kMarginPixels).map(QPointF(0, 0));
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
