#include "controller/document/program_preview.h"

#include <QFileInfo>
#include <QPainter>

#include <cmath>

#include "code/loader.h"

namespace korvex {

namespace {
constexpr int kPreviewSize = 220;   // pixels
constexpr int kMarginPx = 8;
constexpr double kRadToDeg = 180.0 / M_PI;
}  // namespace

CProgramPreview::CProgramPreview(QWidget* parent) : QWidget(parent) {
    setMinimumSize(kPreviewSize, kPreviewSize);
    setObjectName(QStringLiteral("ProgramPreview"));
}

void CProgramPreview::showFile(const QString& file) {
    path_ = QPainterPath();
    bounds_ = QRectF();
    const QFileInfo info(file);
    if (info.isFile() && info.size() <= kMaxPreviewBytes) {
        LoadOptions options;
        options.countSteps = false;
        LoadedProgram program;
        LoadFailure failure;
        const QByteArray native = QFile::encodeName(file);
        if (loadProgram(native.constData(), options, program, failure) == 0) {
            // Microns, y up; drawn with y flipped.
            double x = 0, y = 0;
            path_.moveTo(0, 0);
            for (const CodeSegment& s : program.segments) {
                const PathElement& e = s.lower;
                if (e.kind == kElementLine || e.kind == kElementSwitch) {
                    x += e.endX;
                    y += e.endY;
                    if (e.kind == kElementSwitch)
                        path_.moveTo(x, -y);
                    else
                        path_.lineTo(x, -y);
                } else if (e.isArc() && e.radius > 0) {
                    const double cx = x - e.startX, cy = y - e.startY, r = e.radius;
                    const double a0 = std::atan2(e.startY, e.startX) * kRadToDeg;
                    double a1 = std::atan2(e.endY, e.endX) * kRadToDeg;
                    double sweep = a1 - a0;
                    if (e.kind == kElementArcCcw && sweep <= 0) sweep += 360;
                    if (e.kind == kElementArcCw && sweep >= 0) sweep -= 360;
                    // Qt's angles run counter-clockwise on screen, where y is flipped.
                    path_.arcTo(QRectF(cx - r, -cy - r, 2 * r, 2 * r), a0, sweep);
                    x += e.dx();
                    y += e.dy();
                }
            }
            bounds_ = path_.boundingRect();
        }
    }
    update();
}

void CProgramPreview::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (path_.isEmpty()) return;
    const QRectF area = QRectF(rect()).adjusted(kMarginPx, kMarginPx, -kMarginPx, -kMarginPx);
    const double w = std::max(bounds_.width(), 1.0), h = std::max(bounds_.height(), 1.0);
    const double scale = std::min(area.width() / w, area.height() / h);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(area.center());
    painter.scale(scale, scale);
    painter.translate(-bounds_.center());
    QPen pen(Qt::green);
    pen.setCosmetic(true);
    painter.setPen(pen);
    painter.drawPath(path_);
}

}  // namespace korvex
