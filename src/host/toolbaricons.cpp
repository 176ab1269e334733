#include "host/toolbaricons.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <cmath>
#include <functional>

namespace orvenda {
namespace {

using Drawing = std::function<void(QPainter&)>;

const QColor kInk(50, 60, 75);
const QColor kBlue(40, 110, 190);
const QColor kLand(235, 225, 195);
const QColor kRed(190, 40, 40);

// The pictures are drawn on a 24 x 24 grid.
QPixmap Render(const Drawing& draw, int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 24.0, size / 24.0);
  p.setPen(QPen(kInk, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  draw(p);
  return pixmap;
}

void Magnifier(QPainter& p) {
  p.setBrush(QColor(220, 235, 250));
  p.drawEllipse(QPointF(10, 10), 6.5, 6.5);
  p.setPen(QPen(kInk, 3, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(15, 15), QPointF(21, 21));
  p.setPen(QPen(kInk, 1.8, Qt::SolidLine, Qt::RoundCap));
}

void Arrow(QPainter& p, QPointF from, QPointF to) {
  p.drawLine(from, to);
  const QPointF d = (to - from) / std::hypot(to.x() - from.x(), to.y() - from.y());
  const QPointF side(-d.y(), d.x());
  p.drawLine(to, to - 3 * d + 2.5 * side);
  p.drawLine(to, to - 3 * d - 2.5 * side);
}

void InfoDisc(QPainter& p, QPointF centre, double r) {
  p.setPen(Qt::NoPen);
  p.setBrush(kBlue);
  p.drawEllipse(centre, r, r);
  p.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(centre + QPointF(0, -0.5), centre + QPointF(0, r * 0.55));
  p.drawPoint(centre + QPointF(0, -r * 0.5));
}

void Pencil(QPainter& p, QPointF tip) {
  QPainterPath body;
  body.moveTo(tip);
  body.lineTo(tip + QPointF(2, -6));
  body.lineTo(tip + QPointF(12, -16));
  body.lineTo(tip + QPointF(16, -12));
  body.lineTo(tip + QPointF(6, -2));
  body.closeSubpath();
  p.setBrush(QColor(240, 190, 60));
  p.drawPath(body);
}

void Layers(QPainter& p) {
  for (int i = 2; i >= 0; --i) {
    QPolygonF sheet;
    const double y = 6 + 5 * i;
    sheet << QPointF(12, y - 4) << QPointF(21, y) << QPointF(12, y + 4) << QPointF(3, y);
    p.setBrush(i == 0 ? kLand : QColor(200, 215, 235));
    p.drawPolygon(sheet);
  }
}

const QHash<QString, Drawing>& Drawings() {
  static const QHash<QString, Drawing> drawings = {
      {"login",
       [](QPainter& p) {
         p.drawEllipse(QPointF(8, 12), 4.5, 4.5);
         p.drawLine(QPointF(12.5, 12), QPointF(21, 12));
         p.drawLine(QPointF(18, 12), QPointF(18, 16));
         p.drawLine(QPointF(21, 12), QPointF(21, 15));
       }},
      {"SaveMap",
       [](QPainter& p) {
         p.setBrush(kBlue);
         p.drawRoundedRect(QRectF(3, 3, 18, 18), 2, 2);
         p.setBrush(Qt::white);
         p.drawRect(QRectF(7, 3, 10, 6));
         p.drawRect(QRectF(6, 13, 12, 8));
       }},
      {"MapList",
       [](QPainter& p) {
         p.setBrush(kLand);
         p.drawRect(QRectF(3, 4, 18, 16));
         for (int y : {8, 12, 16}) {
           p.drawPoint(QPointF(6, y));
           p.drawLine(QPointF(9, y), QPointF(18, y));
         }
       }},
      {"References",
       [](QPainter& p) {
         const QColor swatches[3] = {kLand, QColor(150, 200, 120), QColor(230, 140, 90)};
         for (int i = 0; i < 3; ++i) {
           p.setBrush(swatches[i]);
           p.drawRect(QRectF(3, 3.5 + 6 * i, 6, 4.5));
           p.drawLine(QPointF(12, 6 + 6 * i), QPointF(21, 6 + 6 * i));
         }
       }},
      {"Zoom In",
       [](QPainter& p) {
         Magnifier(p);
         p.drawLine(QPointF(7, 10), QPointF(13, 10));
         p.drawLine(QPointF(10, 7), QPointF(10, 13));
       }},
      {"Zoom Out",
       [](QPainter& p) {
         Magnifier(p);
         p.drawLine(QPointF(7, 10), QPointF(13, 10));
       }},
      {"Zoom Window",
       [](QPainter& p) {
         p.setPen(QPen(kInk, 1.4, Qt::DashLine));
         p.drawRect(QRectF(2.5, 2.5, 13, 11));
         p.setPen(QPen(kInk, 1.6));
         p.translate(6, 6);
         p.scale(0.75, 0.75);
         Magnifier(p);
       }},
      {"ZoomExtents",
       [](QPainter& p) {
         p.setBrush(kLand);
         p.drawRect(QRectF(7, 7, 10, 10));
         Arrow(p, QPointF(6, 6), QPointF(2.5, 2.5));
         Arrow(p, QPointF(18, 6), QPointF(21.5, 2.5));
         Arrow(p, QPointF(6, 18), QPointF(2.5, 21.5));
         Arrow(p, QPointF(18, 18), QPointF(21.5, 21.5));
       }},
      {"Pan",
       [](QPainter& p) {
         Arrow(p, QPointF(12, 12), QPointF(12, 2.5));
         Arrow(p, QPointF(12, 12), QPointF(12, 21.5));
         Arrow(p, QPointF(12, 12), QPointF(2.5, 12));
         Arrow(p, QPointF(12, 12), QPointF(21.5, 12));
       }},
      {"FindAddress",
       [](QPainter& p) {
         QPainterPath pin;
         pin.moveTo(12, 22);
         pin.cubicTo(4, 13, 4, 3, 12, 3);
         pin.cubicTo(20, 3, 20, 13, 12, 22);
         p.setBrush(kRed);
         p.drawPath(pin);
         p.setBrush(Qt::white);
         p.drawEllipse(QPointF(12, 9.5), 2.5, 2.5);
       }},
      {"ViewInfo", [](QPainter& p) { InfoDisc(p, QPointF(12, 12), 9.5); }},
      {"EditInfo",
       [](QPainter& p) {
         InfoDisc(p, QPointF(9, 9), 7);
         p.setPen(QPen(kInk, 1.4));
         Pencil(p, QPointF(6, 22));
       }},
      {"EditGeo",
       [](QPainter& p) {
         const QPointF v[4] = {{3, 19}, {9, 6}, {16, 14}, {21, 4}};
         p.drawPolyline(v, 4);
         p.setBrush(Qt::white);
         for (const QPointF& c : v) p.drawRect(QRectF(c.x() - 2, c.y() - 2, 4, 4));
       }},
      {"Draw", [](QPainter& p) { Pencil(p, QPointF(3, 21)); }},
      {"Erase",
       [](QPainter& p) {
         p.setPen(QPen(kRed, 3, Qt::SolidLine, Qt::RoundCap));
         p.drawLine(QPointF(5, 5), QPointF(19, 19));
         p.drawLine(QPointF(19, 5), QPointF(5, 19));
       }},
      {"LayerSetup", [](QPainter& p) { Layers(p); }},
      {"MapSetup",
       [](QPainter& p) {
         p.setBrush(kLand);
         QPolygonF map;
         map << QPointF(2, 5) << QPointF(8, 3) << QPointF(15, 5) << QPointF(22, 3)
             << QPointF(22, 19) << QPointF(15, 21) << QPointF(8, 19) << QPointF(2, 21);
         p.drawPolygon(map);
         p.drawLine(QPointF(8, 3), QPointF(8, 19));
         p.drawLine(QPointF(15, 5), QPointF(15, 21));
       }},
      {"MeasureDistance",
       [](QPainter& p) {
         p.translate(12, 12);
         p.rotate(-35);
         p.setBrush(QColor(245, 215, 120));
         p.drawRect(QRectF(-10.5, -3.5, 21, 7));
         for (int i = -8; i <= 8; i += 2)
           p.drawLine(QPointF(i, -3.5), QPointF(i, i % 4 ? -1.5 : 0));
       }},
      {"SnapShot",
       [](QPainter& p) {
         p.setBrush(QColor(120, 130, 145));
         p.drawRoundedRect(QRectF(2.5, 7, 19, 13), 2, 2);
         p.drawRect(QRectF(8, 4, 8, 3));
         p.setBrush(Qt::white);
         p.drawEllipse(QPointF(12, 13.5), 4, 4);
       }},
      {"About",
       [](QPainter& p) {
         p.setPen(Qt::NoPen);
         p.setBrush(kBlue);
         p.drawEllipse(QPointF(12, 12), 9.5, 9.5);
         p.setPen(Qt::white);
         QFont font = p.font();
         font.setPixelSize(14);
         font.setBold(true);
         p.setFont(font);
         p.drawText(QRectF(2.5, 2.5, 19, 19), Qt::AlignCenter, QStringLiteral("?"));
       }},
  };
  return drawings;
}

}  // namespace

QIcon ToolbarIcon(const QString& key) {
  const auto found = Drawings().constFind(key);
  if (found == Drawings().constEnd()) return {};
  QIcon icon;
  // Sharp at the usual toolbar sizes and on screens that double them.
  for (int size : {16, 24, 32, 48}) icon.addPixmap(Render(*found, size));
  return icon;
}

}  // namespace orvenda
