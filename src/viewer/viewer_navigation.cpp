// The Viewer's navigation: zooms, pan, resize and arming the measuring tool. The math is
// ViewTransform's; here it is applied to the control.

#include <QResizeEvent>

#include "render/viewsteps.h"
#include "render/viewtransform.h"
#include "viewer/qpaintersurface.h"
#include "viewer/viewer.h"

namespace orvenda {

void Viewer::ApplyExtents(double x1, double y1, double x2, double y2) {
  SetMousePointer(pointer::kArrowHourglass);
  rubberBand_.reset();
  view_->ViewWidth = ViewWidth_;
  view_->ViewHeight = ViewHeight_;
  view_->ApplyExtents(x1, y1, x2, y2);
  mapProps_.layerscargados = true;
  Redraw();
  RequestVisibleData();
}

void Viewer::ZoomAboutPointer() {
  const ExtentsRect r = view_->ZoomAboutRect(tools_.PointerX, tools_.PointerY, tools_.ZoomStep);
  ApplyExtents(r.X1, r.Y1, r.X2, r.Y2);
}

void Viewer::PanFrom(GeoLonLat down, GeoLonLat up) {
  const auto r = view_->PanRect(down.lon, down.lat, up.lon, up.lat);
  if (!r) {
    RepaintSaved();
    return;
  }
  ApplyExtents(r->X1, r->Y1, r->X2, r->Y2);
}

void Viewer::EndDrag() {
  tools_.Dragging = false;
  rubberBand_.reset();
  pictureShift_.reset();
  update();
}

void Viewer::HideRubberLines() {
  tmpLine1_.reset();
  tmpLine2_.reset();
  update();
}

void Viewer::ZoomIn() {
  // Before the first view there is no centre to zoom about.
  if (!Idle() || view_->FactorEscala == 0) return;
  EndDrag();
  tools_.PointerX = view_->SurfaceToProjectedX(width() / 2.0);
  tools_.PointerY = view_->SurfaceToProjectedY(height() / 2.0);
  tools_.ZoomStep = kZoomInStep;
  ZoomAboutPointer();
}

void Viewer::ZoomOut() {
  if (!Idle() || view_->FactorEscala == 0) return;
  EndDrag();
  tools_.PointerX = view_->SurfaceToProjectedX(width() / 2.0);
  tools_.PointerY = view_->SurfaceToProjectedY(height() / 2.0);
  tools_.ZoomStep = kZoomOutStep;
  ZoomAboutPointer();
}

void Viewer::ZoomFactor(float& Factor) {
  if (!Idle()) return;
  EndDrag();
  HideRubberLines();
  if (!(Factor > 0) || Factor == 1) return;
  if (tools_.MouseAction != tool::kNone) tools_.BaseTool = tools_.MouseAction;
  tools_.MouseAction = tool::kZoomFactor;
  tools_.ZoomStep = Factor;
  SetToolPointer(tool::kZoomFactor);
}

void Viewer::ZoomWindow() {
  if (!Idle()) return;
  EndDrag();
  HideRubberLines();
  if (tools_.MouseAction != tool::kNone) {
    tools_.BaseTool = tools_.MouseAction;
    tools_.SavedPointer = mousePointer_;
  }
  tools_.MouseAction = tool::kZoomWindow;
  SetToolPointer(tool::kZoomWindow);
}

void Viewer::ZoomExtents() {
  if (!Idle()) return;
  const BoundingBox& e = mapProps_.MapExtents;
  ApplyExtents(e.MinX, e.MinY, e.MaxX, e.MaxY);
  SetMousePointer(pointer::kDefault);
}

void Viewer::Pan() {
  if (!Idle()) return;
  if (tools_.MouseAction != tool::kNone) tools_.BaseTool = tools_.MouseAction;
  EndDrag();
  HideRubberLines();
  tools_.MouseAction = tool::kPan;
  SetToolPointer(tool::kPan);
}

void Viewer::MeasureDistance() {
  if (!Idle() || !ActiveTool().Cancel(*this)) return;
  tools_.MouseAction = tool::kMeasure;
  tools_.KeepTool = true;
  tools_.BaseTool = tool::kMeasure;
  SetToolPointer(tool::kMeasure);
  tools_.Vertices.clear();
  tools_.SelectionLayer = 0;
}

float Viewer::CurrentZoom() const { return view_->CurrentZoom(); }

void Viewer::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Resized();
}

void Viewer::Resized() {
  ViewWidth_ = width();
  ViewHeight_ = height();
  view_->ViewWidth = ViewWidth_;
  view_->ViewHeight = ViewHeight_;
  // The surface keeps its picture until the next drawing replaces it.
  surface_->Resize(std::max(1, ViewWidth_), std::max(1, ViewHeight_));
  surface_->SetBackColor(static_cast<Colour>(mapProps_.BackgroundColor));
  surface_->Cls();
  if (!imgMap_.isNull()) surface_->DrawImage(imgMap_);
  PlaceCompanyLabel();
  resizeWaiting_ = !Idle() && view_->FactorEscala != 0;
  if (!Idle() || view_->FactorEscala == 0) return;
  // Same centre and scale: the view grows or shrinks at its edges.
  if (const auto r = view_->ResizeRect()) ApplyExtents(r->X1, r->Y1, r->X2, r->Y2);
}

}  // namespace orvenda
