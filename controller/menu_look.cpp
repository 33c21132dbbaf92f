#include "controller/menu_look.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>

#include <cmath>

namespace korvex {
namespace {

constexpr int kBandPx = 24;      // the band behind check marks
constexpr int kExtraHeightPx = 6;
constexpr int kExtraWidthPx = 28;

const QColor kBand(222, 231, 244);
const QColor kHighlight(255, 236, 196);
const QColor kHighlightFrame(214, 146, 52);
const QColor kText(20, 20, 20);
const QColor kDisabledText(150, 150, 150);

class MenuStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override {
        QSize s = QProxyStyle::sizeFromContents(type, option, size, widget);
        if (type == CT_MenuItem) {
            const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
            if (item && item->menuItemType != QStyleOptionMenuItem::Separator)
                s += QSize(kExtraWidthPx, kExtraHeightPx);
        }
        return s;
    }

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (element != CE_MenuItem || !item) {
            QProxyStyle::drawControl(element, option, painter, widget);
            return;
        }
        drawMenuItem(*item, painter);
    }

private:
    static void drawMenuItem(const QStyleOptionMenuItem& item, QPainter* painter) {
        const QRect r = item.rect;
        painter->save();
        painter->fillRect(r, Qt::white);
        painter->fillRect(QRect(r.left(), r.top(), kBandPx, r.height()), kBand);
        if (item.menuItemType == QStyleOptionMenuItem::Separator) {
            painter->setPen(QColor(190, 190, 190));
            const int y = r.center().y();
            painter->drawLine(r.left() + kBandPx + 4, y, r.right() - 4, y);
            painter->restore();
            return;
        }
        const bool enabled = item.state & State_Enabled;
        const bool selected = enabled && (item.state & State_Selected);
        if (selected) {
            painter->setPen(kHighlightFrame);
            painter->setBrush(kHighlight);
            painter->drawRect(r.adjusted(1, 1, -2, -2));
        }
        if (item.checked) {
            const QRect box(r.left() + 4, r.center().y() - 7, 15, 15);
            painter->setPen(enabled ? kHighlightFrame : kDisabledText);
            painter->setBrush(selected ? Qt::white : kHighlight);
            painter->drawRect(box);
            painter->setRenderHint(QPainter::Antialiasing);
            painter->setPen(QPen(enabled ? kText : kDisabledText, 2.0));
            painter->drawPolyline(QPolygonF({QPointF(box.left() + 3, box.center().y()),
                                             QPointF(box.left() + 6.5, box.bottom() - 3),
                                             QPointF(box.right() - 2, box.top() + 3)}));
            painter->setRenderHint(QPainter::Antialiasing, false);
        }
        painter->setPen(enabled ? kText : kDisabledText);
        painter->setFont(item.font);
        const QString name = item.text.section(QLatin1Char('\t'), 0, 0);
        const QString key = item.text.section(QLatin1Char('\t'), 1);
        const QRect textRect = r.adjusted(kBandPx + 8, 0, -(20 + item.reservedShortcutWidth), 0);
        painter->drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextShowMnemonic, name);
        if (!key.isEmpty())
            painter->drawText(r.adjusted(0, 0, -20, 0), Qt::AlignVCenter | Qt::AlignRight, key);
        if (item.menuItemType == QStyleOptionMenuItem::SubMenu) {
            const int x = r.right() - 12;
            const int y = r.center().y();
            painter->setBrush(enabled ? kText : kDisabledText);
            painter->setPen(Qt::NoPen);
            painter->drawPolygon(QPolygon({QPoint(x, y - 4), QPoint(x + 4, y), QPoint(x, y + 4)}));
        }
        painter->restore();
    }
};

// A 32 x 32 picture drawn by `draw` with antialiasing on a transparent ground.
template <class Draw>
QIcon drawnIcon(Draw draw) {
    QPixmap pixmap(kToolBarIconPx, kToolBarIconPx);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
    p.end();
    return QIcon(pixmap);
}

const QColor kBlue(20, 70, 200);
const QColor kRed(200, 50, 40);
const QColor kGreen(30, 140, 60);
const QColor kGrey(110, 110, 110);

void arrowHead(QPainter& p, QPointF tip, QPointF from, const QColor& colour) {
    const QPointF d = tip - from;
    const double len = std::hypot(d.x(), d.y());
    if (len == 0)
        return;
    const QPointF u = d / len;
    const QPointF n(-u.y(), u.x());
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPolygon(QPolygonF({tip, tip - u * 7 + n * 4, tip - u * 7 - n * 4}));
}

void magnifier(QPainter& p, bool plus) {
    p.setPen(QPen(kGrey, 3));
    p.drawLine(QPointF(20, 20), QPointF(29, 29));
    p.setPen(QPen(kBlue, 2.5));
    p.setBrush(QColor(230, 240, 255));
    p.drawEllipse(QPointF(13, 13), 9, 9);
    p.drawLine(QPointF(9, 13), QPointF(17, 13));
    if (plus)
        p.drawLine(QPointF(13, 9), QPointF(13, 17));
}

// The run commands: a wire path with the direction the command moves along it.
void runIcon(QPainter& p, const QColor& colour, bool backward, bool spark) {
    p.setPen(QPen(kGrey, 1.5, Qt::DashLine));
    p.drawLine(QPointF(4, 16), QPointF(28, 16));
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    if (backward)
        p.drawPolygon(QPolygonF({QPointF(6, 16), QPointF(24, 6), QPointF(24, 26)}));
    else
        p.drawPolygon(QPolygonF({QPointF(26, 16), QPointF(8, 6), QPointF(8, 26)}));
    if (spark) {
        p.setPen(QPen(QColor(250, 190, 30), 2));
        p.drawLine(QPointF(26, 4), QPointF(30, 10));
        p.drawLine(QPointF(30, 4), QPointF(26, 10));
    }
}

}  // namespace

QProxyStyle* createMenuStyle(QObject* parent) {
    auto* style = new MenuStyle();
    style->setParent(parent);
    return style;
}

QIcon toolBarIcon(Command command) {
    using C = Command;
    switch (command) {
    case C::Open:
        return drawnIcon([](QPainter& p) {
            p.setPen(QPen(QColor(160, 110, 20), 1.5));
            p.setBrush(QColor(250, 210, 90));
            p.drawPolygon(QPolygonF({QPointF(3, 8), QPointF(12, 8), QPointF(15, 11), QPointF(28, 11),
                                     QPointF(28, 26), QPointF(3, 26)}));
            p.setBrush(QColor(255, 230, 140));
            p.drawPolygon(QPolygonF({QPointF(3, 26), QPointF(8, 15), QPointF(31, 15), QPointF(28, 26)}));
        });
    case C::Close:
        return drawnIcon([](QPainter& p) {
            p.setPen(QPen(kGrey, 1.5));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(6, 3, 18, 25));
            p.setPen(QPen(kRed, 3));
            p.drawLine(QPointF(13, 14), QPointF(27, 28));
            p.drawLine(QPointF(27, 14), QPointF(13, 28));
        });
    case C::Reset:
        return drawnIcon([](QPainter& p) {
            p.setPen(QPen(kGreen, 3));
            p.setBrush(Qt::NoBrush);
            p.drawArc(QRectF(6, 6, 20, 20), 60 * 16, 280 * 16);
            arrowHead(p, QPointF(23, 5), QPointF(17, 7), kGreen);
        });
    case C::Fit:
        return drawnIcon([](QPainter& p) {
            p.setPen(QPen(kBlue, 2));
            p.drawRect(QRectF(9, 9, 14, 14));
            for (const auto& [tip, from] : {std::pair{QPointF(3, 3), QPointF(9, 9)}, {QPointF(29, 3), QPointF(23, 9)},
                                            {QPointF(3, 29), QPointF(9, 23)}, {QPointF(29, 29), QPointF(23, 23)}}) {
                p.setPen(QPen(kGrey, 1.5));
                p.drawLine(tip, from);
                arrowHead(p, tip, from, kGrey);
            }
        });
    case C::Move:
        return drawnIcon([](QPainter& p) {
            const QPointF c(16, 16);
            for (const QPointF& tip : {QPointF(16, 2), QPointF(16, 30), QPointF(2, 16), QPointF(30, 16)}) {
                p.setPen(QPen(kBlue, 2));
                p.drawLine(c, tip);
                arrowHead(p, tip, c, kBlue);
            }
        });
    case C::ZoomIn: return drawnIcon([](QPainter& p) { magnifier(p, true); });
    case C::ZoomOut: return drawnIcon([](QPainter& p) { magnifier(p, false); });
    case C::FullScreen:
        return drawnIcon([](QPainter& p) {
            p.setPen(QPen(kGrey, 1.5));
            p.setBrush(QColor(20, 30, 40));
            p.drawRect(QRectF(2, 6, 28, 20));
            QFont font = p.font();
            font.setPixelSize(14);
            font.setBold(true);
            p.setFont(font);
            p.setPen(QColor(90, 240, 120));
            p.drawText(QRectF(2, 6, 28, 20), Qt::AlignCenter, QStringLiteral("X:Y"));
        });
    case C::Walk: return drawnIcon([](QPainter& p) { runIcon(p, kGreen, false, false); });
    case C::Cut: return drawnIcon([](QPainter& p) { runIcon(p, kRed, false, true); });
    case C::Back: return drawnIcon([](QPainter& p) { runIcon(p, QColor(230, 140, 20), true, false); });
    case C::SegmentStop:
        return drawnIcon([](QPainter& p) {
            p.setPen(QPen(kGrey, 1.5, Qt::DashLine));
            p.drawLine(QPointF(2, 16), QPointF(30, 16));
            p.setPen(Qt::NoPen);
            p.setBrush(kRed);
            p.drawEllipse(QPointF(16, 16), 9, 9);
            p.setBrush(Qt::white);
            p.drawRect(QRectF(11, 14, 10, 4));
        });
    case C::ReturnOrigin:
        return drawnIcon([](QPainter& p) {
            p.setPen(QPen(kGrey, 1.5));
            p.drawLine(QPointF(6, 2), QPointF(6, 30));
            p.drawLine(QPointF(2, 26), QPointF(30, 26));
            p.setPen(QPen(kBlue, 2.5));
            p.setBrush(Qt::NoBrush);
            QPainterPath path(QPointF(28, 6));
            path.quadTo(QPointF(24, 24), QPointF(10, 23));
            p.drawPath(path);
            arrowHead(p, QPointF(7, 25), QPointF(13, 23), kBlue);
        });
    case C::Reverse:
        return drawnIcon([](QPainter& p) {
            p.setPen(QPen(kBlue, 2.5));
            p.drawLine(QPointF(4, 11), QPointF(24, 11));
            arrowHead(p, QPointF(29, 11), QPointF(4, 11), kBlue);
            p.setPen(QPen(kRed, 2.5));
            p.drawLine(QPointF(8, 21), QPointF(28, 21));
            arrowHead(p, QPointF(3, 21), QPointF(28, 21), kRed);
        });
    case C::FastRoll:
        return drawnIcon([](QPainter& p) {
            p.setPen(QPen(kGrey, 2));
            p.setBrush(QColor(210, 210, 210));
            p.drawEllipse(QPointF(16, 16), 12, 12);
            p.setBrush(Qt::white);
            p.drawEllipse(QPointF(16, 16), 4, 4);
            p.setPen(QPen(kBlue, 2.5));
            p.setBrush(Qt::NoBrush);
            p.drawArc(QRectF(7, 7, 18, 18), 0, 120 * 16);
            arrowHead(p, QPointF(10, 10), QPointF(14, 7.5), kBlue);
        });
    case C::About:
        return drawnIcon([](QPainter& p) {
            p.setPen(Qt::NoPen);
            p.setBrush(kBlue);
            p.drawEllipse(QPointF(16, 16), 13, 13);
            p.setBrush(Qt::white);
            p.drawEllipse(QPointF(16, 9.5), 2.2, 2.2);
            p.drawRoundedRect(QRectF(14, 13.5, 4, 11), 1, 1);
        });
    default: return {};
    }
}

QIcon programToolIcon() {
    return drawnIcon([](QPainter& p) {
        p.setPen(QPen(kGrey, 1.5));
        p.setBrush(QColor(30, 30, 30));
        p.drawRect(QRectF(2, 4, 28, 22));
        p.setPen(QColor(220, 220, 220));
        QFont font = p.font();
        font.setPixelSize(11);
        font.setBold(true);
        p.setFont(font);
        p.drawText(QRectF(4, 6, 24, 18), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("C:\\>"));
        p.setPen(QPen(kGrey, 2));
        p.drawLine(QPointF(10, 29), QPointF(22, 29));
    });
}

QIcon editorIcon() {
    return drawnIcon([](QPainter& p) {
        p.setPen(QPen(kGrey, 1.5));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(3, 3, 20, 26));
        p.setPen(QPen(QColor(170, 170, 170), 1.5));
        for (int y = 9; y <= 23; y += 5)
            p.drawLine(QPointF(6, y), QPointF(19, y));
        p.setPen(QPen(QColor(160, 90, 20), 1));
        p.setBrush(QColor(250, 190, 60));
        p.drawPolygon(QPolygonF({QPointF(27, 8), QPointF(31, 12), QPointF(17, 26), QPointF(13, 27), QPointF(14, 23)}));
    });
}

}  // namespace korvex
