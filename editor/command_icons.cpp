#include "editor/command_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <array>
#include <functional>
#include <map>

namespace tavrel {
namespace {

constexpr int kSize = 32;
const QColor kInk(40, 40, 40);

void magnifier(QPainter& p, bool plus, bool minus) {
    p.setPen(QPen(kInk, 2.5));
    p.drawEllipse(QPointF(13, 13), 8, 8);
    p.drawLine(QPointF(19, 19), QPointF(28, 28));
    p.setPen(QPen(QColor(0, 110, 200), 2.5));
    if (plus || minus) p.drawLine(QPointF(9, 13), QPointF(17, 13));
    if (plus) p.drawLine(QPointF(13, 9), QPointF(13, 17));
}

void curvedArrow(QPainter& p, bool left) {
    p.setPen(QPen(QColor(0, 110, 200), 3));
    QPainterPath path;
    if (left) {
        path.moveTo(26, 24);
        path.cubicTo(26, 8, 10, 8, 8, 16);
        p.drawPath(path);
        p.drawLine(QPointF(8, 16), QPointF(4, 9));
        p.drawLine(QPointF(8, 16), QPointF(15, 14));
    } else {
        path.moveTo(6, 24);
        path.cubicTo(6, 8, 22, 8, 24, 16);
        p.drawPath(path);
        p.drawLine(QPointF(24, 16), QPointF(28, 9));
        p.drawLine(QPointF(24, 16), QPointF(17, 14));
    }
}

const std::map<QString, std::function<void(QPainter&)>>& painters() {
    static const std::map<QString, std::function<void(QPainter&)>> table = {
        {"open", [](QPainter& p) {
             p.setPen(QPen(kInk, 1.5));
             p.setBrush(QColor(240, 200, 80));
             p.drawPolygon(QPolygonF({{3, 9}, {12, 9}, {15, 12}, {29, 12}, {29, 27}, {3, 27}}));
         }},
        {"save", [](QPainter& p) {
             p.setPen(QPen(kInk, 1.5));
             p.setBrush(QColor(60, 110, 190));
             p.drawRect(QRectF(5, 5, 22, 22));
             p.setBrush(Qt::white);
             p.drawRect(QRectF(10, 5, 12, 8));
         }},
        {"close", [](QPainter& p) {
             p.setPen(QPen(QColor(200, 40, 40), 3.5));
             p.drawLine(8, 8, 24, 24);
             p.drawLine(24, 8, 8, 24);
         }},
        {"fit", [](QPainter& p) {
             p.setPen(QPen(kInk, 2));
             p.drawRect(QRectF(9, 9, 14, 14));
             p.setPen(QPen(QColor(0, 110, 200), 2));
             for (const QPointF& c : {QPointF(3, 3), QPointF(29, 3), QPointF(3, 29), QPointF(29, 29)}) {
                 const QPointF inner((c.x() + 16) / 2, (c.y() + 16) / 2);
                 p.drawLine(c, inner);
             }
         }},
        {"move", [](QPainter& p) {
             p.setPen(QPen(kInk, 2.5));
             p.drawLine(16, 3, 16, 29);
             p.drawLine(3, 16, 29, 16);
             for (const auto& [a, b, c] : std::initializer_list<std::array<QPointF, 3>>{
                      {QPointF(11, 8), QPointF(16, 3), QPointF(21, 8)},
                      {QPointF(11, 24), QPointF(16, 29), QPointF(21, 24)},
                      {QPointF(8, 11), QPointF(3, 16), QPointF(8, 21)},
                      {QPointF(24, 11), QPointF(29, 16), QPointF(24, 21)}}) {
                 p.drawPolyline(QPolygonF({a, b, c}));
             }
         }},
        {"zoomIn", [](QPainter& p) { magnifier(p, true, false); }},
        {"zoomOut", [](QPainter& p) { magnifier(p, false, true); }},
        {"add", [](QPainter& p) {
             p.setPen(QPen(QColor(30, 150, 60), 5));
             p.drawLine(16, 6, 16, 26);
             p.drawLine(6, 16, 26, 16);
         }},
        {"modify", [](QPainter& p) {
             p.setPen(QPen(QColor(200, 130, 30), 5));
             p.drawLine(9, 23, 24, 8);
             p.setPen(QPen(kInk, 2));
             p.drawLine(5, 27, 9, 23);
         }},
        {"delete", [](QPainter& p) {
             p.setPen(QPen(QColor(200, 40, 40), 5));
             p.drawLine(6, 16, 26, 16);
         }},
        {"cut", [](QPainter& p) {
             p.setPen(QPen(kInk, 2));
             p.drawEllipse(QPointF(9, 24), 4, 4);
             p.drawEllipse(QPointF(23, 24), 4, 4);
             p.drawLine(11, 21, 22, 4);
             p.drawLine(21, 21, 10, 4);
         }},
        {"copy", [](QPainter& p) {
             p.setPen(QPen(kInk, 1.5));
             p.setBrush(Qt::white);
             p.drawRect(QRectF(5, 5, 15, 18));
             p.drawRect(QRectF(12, 10, 15, 18));
         }},
        {"paste", [](QPainter& p) {
             p.setPen(QPen(kInk, 1.5));
             p.setBrush(QColor(200, 160, 100));
             p.drawRect(QRectF(6, 6, 20, 23));
             p.setBrush(QColor(150, 150, 150));
             p.drawRect(QRectF(11, 3, 10, 6));
         }},
        {"undo", [](QPainter& p) { curvedArrow(p, true); }},
        {"redo", [](QPainter& p) { curvedArrow(p, false); }},
        {"hfGroup", [](QPainter& p) {
             const QColor colours[] = {{255, 0, 128}, {255, 128, 0}, {0, 200, 0}, {0, 0, 255}};
             for (int i = 0; i < 4; ++i) p.fillRect(QRectF(4 + 6.5 * i, 26 - 5 * i, 5, 4 + 5 * i), colours[i]);
         }},
        {"recognise", [](QPainter& p) {
             p.setPen(QPen(QColor(0, 128, 255), 2, Qt::DashLine));
             p.drawLine(3, 28, 28, 3);
             magnifier(p, false, false);
         }},
        {"quick", [](QPainter& p) {
             p.setPen(QPen(kInk, 1));
             p.setBrush(QColor(250, 200, 0));
             p.drawPolygon(QPolygonF({{18, 2}, {7, 18}, {15, 18}, {12, 30}, {25, 12}, {17, 12}}));
         }},
        {"about", [](QPainter& p) {
             p.setPen(QPen(QColor(0, 110, 200), 2));
             p.drawEllipse(QPointF(16, 16), 12, 12);
             p.setPen(QPen(QColor(0, 110, 200), 3));
             p.drawLine(16, 14, 16, 23);
             p.drawPoint(16, 9);
         }},
    };
    return table;
}

}  // namespace

QIcon commandIcon(const QString& name) {
    const auto it = painters().find(name);
    if (it == painters().end()) return {};
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    it->second(p);
    p.end();
    return QIcon(pixmap);
}

}  // namespace tavrel
