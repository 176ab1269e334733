#include "viewer/toolcursors.h"

#include <QPainter>
#include <QPixmap>

namespace orvenda {

namespace {

void Magnifier(QPainter& p, const char* sign) {
  p.drawEllipse(QRectF(6, 6, 16, 16));
  p.drawLine(QPointF(20, 20), QPointF(29, 29));
  if (sign) p.drawText(QRectF(6, 6, 16, 16), Qt::AlignCenter, QString::fromLatin1(sign));
}

void ArrowWith(QPainter& p, const char* mark) {
  const QPointF arrow[] = {{2, 2}, {2, 20}, {7, 15}, {11, 23}, {14, 22}, {10, 14}, {16, 14}};
  p.setBrush(Qt::white);
  p.drawPolygon(arrow, 7);
  p.drawText(QRectF(16, 16, 14, 14), Qt::AlignCenter, QString::fromLatin1(mark));
}

void Pencil(QPainter& p, int resource) {
  p.drawLine(QPointF(11, 20), QPointF(26, 5));
  p.drawLine(QPointF(14, 23), QPointF(29, 8));
  p.drawLine(QPointF(11, 20), QPointF(14, 23));
  if (resource == 110) p.drawPolyline(QPolygonF({{2, 30}, {8, 26}, {14, 30}, {20, 26}}));
  if (resource == 111) p.drawPolygon(QPolygonF({{2, 30}, {10, 25}, {18, 30}}));
}

QPoint HotSpot(int resource) {
  switch (resource) {
    case 101:
      return {9, 8};
    case 102:
      return {16, 14};
    case 104:
      return {11, 20};
    case 105:
    case 106:
      return {14, 14};
    case 110:
    case 111:
      return {11, 21};
    default:
      return {2, 2};
  }
}

}  // namespace

QCursor ToolCursor(int resource) {
  if (resource < 101 || resource > 111) return QCursor(Qt::ArrowCursor);
  QPixmap picture(32, 32);
  picture.fill(Qt::transparent);
  QPainter p(&picture);
  p.setPen(QPen(Qt::black, 1.5));
  switch (resource) {
    case 101:
      Magnifier(p, nullptr);
      p.drawRect(QRectF(1, 1, 8, 7));
      break;
    case 102:
      p.drawRoundedRect(QRectF(8, 8, 16, 18), 5, 5);
      for (int f = 0; f < 4; ++f) p.drawLine(QPointF(10 + 4 * f, 9), QPointF(10 + 4 * f, 2));
      break;
    case 103:
      ArrowWith(p, "i");
      break;
    case 105:
      Magnifier(p, "+");
      break;
    case 106:
      Magnifier(p, "-");
      break;
    case 107:
      ArrowWith(p, "e");
      break;
    case 108:
      ArrowWith(p, "x");
      break;
    case 109:
      ArrowWith(p, "");
      p.drawRect(QRectF(14, 22, 16, 6));
      break;
    default:
      Pencil(p, resource);
      break;
  }
  p.end();
  return QCursor(picture, HotSpot(resource).x(), HotSpot(resource).y());
}

}  // namespace orvenda
