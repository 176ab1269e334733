// The Viewer's mouse and key handling: Qt's events turned into the tools'
// contract. Here is what every tool shares (the idle rule, the gesture's
// positions, the events to the host, showing a context menu, Escape); the
// active tool of tools/ does the rest.

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <cmath>

#include "render/viewtransform.h"
#include "viewer/qpaintersurface.h"
#include "viewer/qtcolour.h"
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

MouseTool& Viewer::ActiveTool() {
  const auto found = toolSet_.find(tools_.MouseAction);
  return found == toolSet_.end() ? noTool_ : *found->second;
}

ProjectedXY Viewer::ToProjected(QPointF surface) const {
  return {view_->SurfaceToProjectedX(surface.x()), view_->SurfaceToProjectedY(surface.y())};
}

void Viewer::mousePressEvent(QMouseEvent* event) {
  const int button = Buttons(event->button());
  const int shift = ShiftState(event->modifiers());
  pressAccepted_ = false;
  suppressClick_ = false;
  if (button == kRightButton && shift == kShiftKey) {
    // The way out when a reply never comes.
    pending_ = 0;
    tools_.MouseAction = tool::kNone;
    return;
  }
  if (!mapProps_.layerscargados || !Idle()) return;
  const QPointF at = event->position();
  const ProjectedXY down = ToProjected(at);
  tools_.DownX = down.x;
  tools_.DownY = down.y;
  // A press without a move before it (a touch, a pen) still happens where it is.
  tools_.PointerX = down.x;
  tools_.PointerY = down.y;
  tools_.Dragging = ActiveTool().StartsDrag(tools_);
  tools_.MouseButton = button;
  pressAccepted_ = true;
  ActiveTool().Press(*this);
  emit MouseDown(button, shift, static_cast<float>(at.x()), static_cast<float>(at.y()));
}

void Viewer::mouseMoveEvent(QMouseEvent* event) {
  if (!mapProps_.layerscargados) return;
  if (!Idle()) {
    if (mousePointer_ != pointer::kHourglass) {
      tools_.BusyPointer = mousePointer_;
      SetMousePointer(pointer::kHourglass);
    }
    return;
  }
  if (mousePointer_ == pointer::kHourglass) SetMousePointer(tools_.BusyPointer);
  const QPointF at = event->position();
  const ProjectedXY p = ToProjected(at);
  tools_.PointerX = p.x;
  tools_.PointerY = p.y;
  const SurfaceXY surface{at.x(), at.y()};
  tools_.Dragging ? ActiveTool().Drag(*this, surface) : ActiveTool().Hover(*this, surface);
  const GeoLonLat g = view_->Unproject(p.x, p.y);
  emit MousePosition(g.lon, g.lat);
}

void Viewer::mouseReleaseEvent(QMouseEvent* event) {
  if (!Idle()) return;
  const int button = Buttons(event->button());
  const int shift = ShiftState(event->modifiers());
  const QPointF at = event->position();
  bool raiseUp = true;
  if (pressAccepted_) {
    const ProjectedXY up = ToProjected(at);
    tools_.UpX = up.x;
    tools_.UpY = up.y;
    raiseUp = ActiveTool().Release(*this);
  }
  if (raiseUp) emit MouseUp(button, shift, static_cast<float>(at.x()), static_cast<float>(at.y()));
  // The release that ends a double click brings no click of its own.
  if (!suppressClick_) ClickAfterRelease(at);
  suppressClick_ = false;
}

void Viewer::mouseDoubleClickEvent(QMouseEvent* event) {
  (void)event;
  suppressClick_ = true;
  if (Idle()) ActiveTool().DoubleClick(*this);
  emit DblClick();
}

void Viewer::ClickAfterRelease(QPointF at) {
  if (!Idle()) return;
  if (!pressAccepted_) {
    emit click();
    return;
  }
  MouseTool& active = ActiveTool();
  if (tools_.MouseButton == kRightButton) {
    if (const auto menu = active.Menu(tools_)) {
      const int x = static_cast<int>(at.x());
      const int y = static_cast<int>(at.y());
      active.MenuChoice(*this, menus_->Popup(menu->name, menu->items, x, y));
    }
    return;
  }
  if (active.Click(*this)) emit click();
}

void Viewer::keyPressEvent(QKeyEvent* event) {
  const int shift = ShiftState(event->modifiers());
  emit KeyDown(event->key(), shift);
  int ascii = 0;
  if (event->key() == Qt::Key_Escape) {
    ascii = 27;
    ActiveTool().Cancel(*this);
  } else if (!event->text().isEmpty()) {
    ascii = event->text().at(0).unicode();
    ActiveTool().Key(*this, ascii);
  }
  if (ascii != 0) emit KeyPress(ascii);
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
