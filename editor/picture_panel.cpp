#include "editor/picture_panel.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

#include <korvex_version.h>

namespace tavrel {
namespace {

// A wire path in the style of the drawing: a contour in one group colour on black.
QImage picture(int n) {
    static const QColor kColours[] = {{255, 0, 128}, {255, 128, 0}, {255, 255, 0}, {0, 255, 0}, {0, 128, 255}};
    QImage image(PicturePanel::kWidth, PicturePanel::kHeight, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kColours[n % 5], 2));
    QPainterPath path;
    const double phase = n * 0.9;
    path.moveTo(8, 20);
    for (int x = 8; x <= 192; x += 4) path.lineTo(x, 20 + 12 * std::sin(x / 18.0 + phase));
    p.drawPath(path);
    p.setPen(QPen(Qt::yellow, 1));
    p.drawLine(0, 39, 199, 39);
    return image;
}

}  // namespace

PicturePanel::PicturePanel(QWidget* parent) : QWidget(parent) {
    setFixedSize(kWidth, kHeight);
    for (int i = 0; i < kPictureCount; ++i) pictures_.push_back(picture(i));
    connect(&timer_, &QTimer::timeout, this, &PicturePanel::advance);
    timer_.start(kPeriodMs);
}

void PicturePanel::advance() {
    current_ = (current_ + 1) % kPictureCount;
    update();
}

void PicturePanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, pictures_[static_cast<std::size_t>(current_)]);
}

QImage splashPicture() {
    QImage image(480, 240, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(255, 128, 0), 3));
    p.drawRoundedRect(QRectF(60, 60, 160, 120), 30, 30);
    p.setPen(QPen(QColor(0, 255, 0), 3));
    p.drawEllipse(QPointF(140, 120), 30, 30);
    p.setPen(QPen(QColor(255, 0, 255), 2, Qt::DotLine));
    p.drawLine(20, 200, 60, 180);
    QFont f("Arial");
    f.setPointSize(32);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::yellow);
    p.drawText(QRect(240, 80, 230, 60), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Tavrel"));
    f.setPointSize(12);
    f.setBold(false);
    p.setFont(f);
    p.drawText(QRect(240, 140, 230, 30), Qt::AlignLeft | Qt::AlignVCenter, QString::fromLatin1(korvex::kEditorVersion));
    return image;
}

}  // namespace tavrel
