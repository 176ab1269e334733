// The Viewer's mouse and key events: Qt's events turned into the tools'
// contract (ToolDispatcher, in surface units), the host events it answers raised,
// and the overlays the tools ask for painted over the picture.

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <cmath>
#include <map>

#include "viewer/qpaintersurface.h"
#include "viewer/qtcolour.h"
#include "viewer/qttooltip.h"
#include "viewer/viewer.h"

namespace orvenda {

int Viewer::Buttons(Qt::MouseButtons buttons) {
  int code = 0;
  if (buttons & Qt::LeftButton) code |= kLeftButton;
  if (buttons & Qt::RightButton) code |= kRightButton;
  if (buttons & Qt::MiddleButton) code |= 4;
  return code;
}

int Viewer::ShiftState(Qt::KeyboardModifiers modifiers) {
  int code = 0;
  if (modifiers & Qt::ShiftModifier) code |= kShiftKey;
  if (modifiers & Qt::ControlModifier) code |= 2;
  if (modifiers & Qt::AltModifier) code |= 4;
  return code;
}

namespace {
SurfaceXY At(QPointF p) { return {p.x(), p.y()}; }
}  // namespace

void Viewer::mousePressEvent(QMouseEvent* event) {
  const int button = Buttons(event->button());
  const int shift = ShiftState(event->modifiers());
  const QPointF at = event->position();
  if (toolDispatch_.Press(button, shift, At(at))) {
    emit MouseDown(button, shift, static_cast<float>(at.x()), static_cast<float>(at.y()));
  }
}

void Viewer::mouseMoveEvent(QMouseEvent* event) {
  const auto g = toolDispatch_.Move(At(event->position()));
  if (!g) return;
  ToolTip().rule().mousemove(At(event->position()));
  emit MousePosition(g->lon, g->lat);
}

void Viewer::mouseReleaseEvent(QMouseEvent* event) {
  if (!Idle()) return;
  const QPointF at = event->position();
  if (toolDispatch_.Release(At(at))) {
    emit MouseUp(Buttons(event->button()), ShiftState(event->modifiers()),
                 static_cast<float>(at.x()), static_cast<float>(at.y()));
  }
  if (toolDispatch_.ClickAfterRelease(At(at))) emit click();
}

void Viewer::mouseDoubleClickEvent(QMouseEvent* event) {
  (void)event;
  toolDispatch_.DoubleClick();
  emit DblClick();
}

std::string Viewer::Popup(const ContextMenu& menu, SurfaceXY at) {
  return menus_->Popup(menu.name, menu.items, static_cast<int>(at.x), static_cast<int>(at.y));
}

void Viewer::keyPressEvent(QKeyEvent* event) {
  emit KeyDown(event->key(), ShiftState(event->modifiers()));
  int ascii = 0;
  if (event->key() == Qt::Key_Escape) {
    ascii = 27;
  } else if (!event->text().isEmpty()) {
    ascii = event->text().at(0).unicode();
  }
  if (ascii != 0) {
    toolDispatch_.KeyPress(ascii);
    emit KeyPress(ascii);
  }
  // The navigation keys act after the tool and the host had the key, as they always do.
  static const std::map<int, ViewKey> keys = {
      {Qt::Key_Plus, ViewKey::ZoomIn}, {Qt::Key_Minus, ViewKey::ZoomOut},
      {Qt::Key_Left, ViewKey::Left},   {Qt::Key_Right, ViewKey::Right},
      {Qt::Key_Up, ViewKey::Up},       {Qt::Key_Down, ViewKey::Down},
      {Qt::Key_Home, ViewKey::Home}};
  const auto key = keys.find(event->key());
  if (key != keys.end()) StepView(KeyRect(*view_, key->second, mapProps_.MapExtents));
}

void Viewer::wheelEvent(QWheelEvent* event) {
  event->accept();
  if (!Idle() || !mapProps_.layerscargados) return;
  const QPointF at = event->position();
  StepView(WheelZoomRect(*view_, at.x(), at.y(), wheel_.Add(event->angleDelta().y())));
}

void Viewer::StepView(const std::optional<ExtentsRect>& rect) {
  if (!rect || !Idle() || !mapProps_.layerscargados) return;
  EndDrag();
  ApplyExtents(rect->X1, rect->Y1, rect->X2, rect->Y2);
}

void Viewer::keyReleaseEvent(QKeyEvent* event) {
  emit KeyUp(event->key(), ShiftState(event->modifiers()));
}

void Viewer::SetRubberBand(std::optional<SurfaceLine> corners) {
  rubberBand_.reset();
  if (corners) {
    const QPointF a(corners->from.x, corners->from.y);
    const QPointF b(corners->to.x, corners->to.y);
    rubberBand_ = QRectF(a, b).normalized().toRect();
  }
  update();
}

void Viewer::SetPictureShift(std::optional<SurfaceXY> shift) {
  pictureShift_.reset();
  if (shift) {
    pictureShift_ =
        QPoint(static_cast<int>(std::lround(shift->x)), static_cast<int>(std::lround(shift->y)));
  }
  update();
}

void Viewer::SetRubberLines(std::optional<SurfaceLine> fromLast,
                            std::optional<SurfaceLine> fromFirst) {
  tmpLine1_ = fromLast;
  tmpLine2_ = fromFirst;
  update();
}

void Viewer::PaintOnto(QPainter& painter) const {
  if (pictureShift_) {
    painter.fillRect(rect(), ToQColor(static_cast<Colour>(mapProps_.BackgroundColor)));
    painter.drawImage(*pictureShift_, imgMap_);
  } else {
    painter.drawImage(QPoint(0, 0), surface_->image());
  }
  painter.setBrush(Qt::NoBrush);
  if (rubberBand_) {
    painter.setPen(QPen(Qt::black, 1, Qt::DashLine));
    painter.drawRect(*rubberBand_);
  }
  painter.setPen(QPen(Qt::black, 1));
  for (const auto& line : {tmpLine1_, tmpLine2_}) {
    if (line) painter.drawLine(QLineF(line->from.x, line->from.y, line->to.x, line->to.y));
  }
  if (shpVertex_) painter.drawRect(QRectF(shpVertex_->x - 3, shpVertex_->y - 3, 6, 6));
  if (readingVisible_) {
    painter.fillRect(QRect(width() - 14, 4, 10, 10), ToQColor(readingColour_));
  }
}

void Viewer::paintEvent(QPaintEvent* event) {
  (void)event;
  QPainter painter(this);
  PaintOnto(painter);
}

QImage Viewer::Picture() const {
  QImage picture(size(), QImage::Format_RGB32);
  picture.fill(Qt::white);
  QPainter painter(&picture);
  PaintOnto(painter);
  return picture;
}

}  // namespace orvenda
