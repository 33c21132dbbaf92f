#include "controller/views/twinkle_button.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

namespace korvex {
namespace {

constexpr int kCornerPx = 6;
constexpr int kLampInsetPx = 5;

}  // namespace

CTwinkleButton::CTwinkleButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
    QFont face(QString::fromLatin1(kFontFamily), kFontPointSize);
    face.setWeight(QFont::Black);  // where the face is missing, the nearest heavy face stands in
    setFont(face);
    setMinimumHeight(kHeightPx);
    // The function keys belong to the window; a button never takes the focus from them.
    setFocusPolicy(Qt::NoFocus);
}

void CTwinkleButton::setTwinkling(bool on) {
    if (twinkling_ == on)
        return;
    twinkling_ = on;
    lit_ = on;  // a start shows at once, without waiting for the next blink
    update();
}

void CTwinkleButton::blink() {
    if (!twinkling_)
        return;
    lit_ = !lit_;
    update();
}

void CTwinkleButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(1, 1, -1, -1);
    QColor top(0x5A, 0x8C, 0xC8), bottom(0x2A, 0x4F, 0x86), text(Qt::white);
    if (!isEnabled()) {
        top = QColor(0xB8, 0xB8, 0xB8);
        bottom = QColor(0x90, 0x90, 0x90);
        text = QColor(0xE8, 0xE8, 0xE8);
    } else if (lit_) {
        top = QColor(0xFF, 0xB0, 0x30);
        bottom = QColor(0xD0, 0x60, 0x10);
    }
    if (isDown())
        std::swap(top, bottom);
    QLinearGradient fill(r.topLeft(), r.bottomLeft());
    fill.setColorAt(0, top);
    fill.setColorAt(1, bottom);
    p.setPen(QPen(bottom.darker(140), 1));
    p.setBrush(fill);
    p.drawRoundedRect(r, kCornerPx, kCornerPx);
    p.setPen(text);
    p.setFont(font());
    p.drawText(r, Qt::AlignCenter | Qt::TextWordWrap, this->text());
}

CLamp::CLamp(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setFixedSize(sizeHint());
}

void CLamp::setLit(bool lit) {
    if (lit_ == lit)
        return;
    lit_ = lit;
    update();
}

void CLamp::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(kLampInsetPx, kLampInsetPx, -kLampInsetPx, -kLampInsetPx);
    if (lit_) {
        QRadialGradient glow(r.center(), r.width() / 2, r.center() - QPointF(2, 2));
        glow.setColorAt(0, QColor(0xC0, 0xFF, 0xC0));
        glow.setColorAt(1, QColor(0x10, 0xB0, 0x10));
        p.setBrush(glow);
    } else {
        p.setBrush(QColor(0x30, 0x38, 0x30));  // out: no light at all
    }
    p.setPen(QPen(QColor(0x20, 0x20, 0x20), 1));
    p.drawEllipse(r);
}

}  // namespace korvex
