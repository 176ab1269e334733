// The Viewer's mouse and key handling: what every tool shares (the idle rule,
// the gesture's positions, the events to the host, the context menus, Escape);
// the tool-specific work is in tools/.

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "render/viewtransform.h"
#include "viewer/qpaintersurface.h"
#include "viewer/qtcolour.h"
#include "viewer/tools/mousetool.h"
#include "viewer/viewer.h"

namespace orvenda {

namespace {

// Tools whose press starts a drag whatever the selection method.
bool StartsDrag(int action, int selectMethod) {
  switch (action) {
    case tool::kZoomWindow:
    case tool::kPan:
    case tool::kDrawPolyline:
    case tool::kDrawPolygon:
    case tool::kMeasure:
    case tool::kSelectionPolygon:
      return true;
    case tool::kInformation:
    case tool::kErase:
    case tool::kEditAttributes:
    case tool::kSelect:
      return selectMethod == 2;
    default:
      return false;
  }
}

bool UsesDrawingMenu(int action) {
  return action == tool::kDrawPolyline || action == tool::kDrawPolygon ||
         action == tool::kMeasure || action == tool::kSelectionPolygon ||
         (action >= 16 && action <= 18);
}

}  // namespace

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

MouseTool* Viewer::ActiveTool() const {
  const auto found = toolSet_.find(tools_.MouseAction);
  return found == toolSet_.end() ? nullptr : found->second.get();
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
  tools_.Dragging = StartsDrag(tools_.MouseAction, tools_.SelectMethod);
  tools_.MouseButton = button;
  pressAccepted_ = true;
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
  if (tools_.Dragging) {
    if (MouseTool* active = ActiveTool()) active->Drag(*this, at);
  }
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
    if (MouseTool* active = ActiveTool()) raiseUp = active->Release(*this);
  }
  if (raiseUp) emit MouseUp(button, shift, static_cast<float>(at.x()), static_cast<float>(at.y()));
  // The release that ends a double click brings no click of its own.
  if (!suppressClick_) ClickAfterRelease(at);
  suppressClick_ = false;
}

void Viewer::mouseDoubleClickEvent(QMouseEvent* event) {
  (void)event;
  suppressClick_ = true;
  emit DblClick();
}

void Viewer::ClickAfterRelease(QPointF at) {
  if (!Idle()) return;
  if (!pressAccepted_) {
    emit click();
    return;
  }
  if (tools_.MouseButton == kRightButton) {
    if (UsesDrawingMenu(tools_.MouseAction)) {
      DrawingMenu(static_cast<int>(at.x()), static_cast<int>(at.y()));
    }
    return;
  }
  MouseTool* active = ActiveTool();
  if (!active || active->Click(*this)) emit click();
}

void Viewer::DrawingMenu(int x, int y) {
  const std::vector<MenuItem> items = {
      {"mnuCerrarPline", "Resume"},
      {"mnuEraseLastPoint", "Delete Last Point"},
      {"mnuCancelElement", "Cancel"},
  };
  const std::string chosen = menus_->Popup("mnuEnd", items, x, y);
  if (chosen == "mnuCerrarPline") {
    ResumeDrawing();
  } else if (chosen == "mnuEraseLastPoint") {
    DeleteLastPoint();
  } else if (chosen == "mnuCancelElement") {
    CancelTool();
  }
}

void Viewer::ResumeDrawing() {
  if (tools_.MouseAction == tool::kMeasure) EndMeasuring();
  tools_.KeepTool = false;
  HideRubberLines();
  tools_.Vertices.clear();
  RepaintSaved();
  tools_.MouseAction = tool::kNone;
  SetMousePointer(pointer::kDefault);
}

void Viewer::DeleteLastPoint() {
  if (tools_.Vertices.empty()) return;
  tools_.Vertices.pop_back();
  RepaintSaved();
  DrawFigure(tools_.MouseAction == tool::kDrawPolygon ||
             tools_.MouseAction == tool::kSelectionPolygon);
}

bool Viewer::CancelTool() {
  if (tools_.MouseAction >= tool::kVertexEditing && tools_.MouseAction <= tool::kJoin) {
    if (ui_->MessageBox("Do you really want to Cancel Edition?", "Orvenda", MessageIcon::Question,
                        MessageButtons::YesNo) != MessageAnswer::Yes) {
      return false;
    }
  }
  tools_.MouseAction = tool::kNone;
  tools_.KeepTool = false;
  tools_.BaseTool = tool::kNone;
  EndDrag();
  RepaintSaved();
  SetMousePointer(pointer::kDefault);
  HideRubberLines();
  tools_.Vertices.clear();
  if (Idle()) selection_.clear();
  return true;
}

void Viewer::keyPressEvent(QKeyEvent* event) {
  const int shift = ShiftState(event->modifiers());
  emit KeyDown(event->key(), shift);
  int ascii = 0;
  if (event->key() == Qt::Key_Escape) {
    ascii = 27;
    CancelTool();
  } else if (!event->text().isEmpty()) {
    ascii = event->text().at(0).unicode();
  }
  if (ascii != 0) emit KeyPress(ascii);
}

void Viewer::keyReleaseEvent(QKeyEvent* event) {
  emit KeyUp(event->key(), ShiftState(event->modifiers()));
}

void Viewer::SetRubberBand(std::optional<QRect> rect) {
  rubberBand_ = rect;
  update();
}

void Viewer::SetPictureShift(std::optional<QPoint> shift) {
  pictureShift_ = shift;
  update();
}

void Viewer::SetRubberLines(std::optional<QLineF> fromLast, std::optional<QLineF> fromFirst) {
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
  if (tmpLine1_) painter.drawLine(*tmpLine1_);
  if (tmpLine2_) painter.drawLine(*tmpLine2_);
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
