// The Viewer's drawing orchestration: full redraw, repaint of one layer or
// from the saved picture, the selection highlight, the figure being drawn and
// the requests for what a new view lacks.

#include <QPainter>

#include "protocol/cellloading.h"
#include "protocol/serverlink.h"
#include "render/entitydrawing.h"
#include "render/layerdrawing.h"
#include "render/viewpainter.h"
#include "render/viewtransform.h"
#include "render/visibledata.h"
#include "viewer/qpaintersurface.h"
#include "viewer/qtcolour.h"
#include "viewer/rasterimages.h"
#include "viewer/viewer.h"

namespace orvenda {

void Viewer::PaintBackground() {
  rubberBand_.reset();
  surface_->SetBackColor(static_cast<Colour>(mapProps_.BackgroundColor));
  surface_->Cls();
}

void Viewer::RaiseRedrawnWhenIdle() {
  surface_->Refresh();
  RefreshMapReferences();
  if (Idle()) emit MapRedrawn();
}

void Viewer::Redraw() {
  ViewWidth_ = width();
  ViewHeight_ = height();
  view_->ViewWidth = ViewWidth_;
  view_->ViewHeight = ViewHeight_;
  PaintBackground();
  imgMap_ = surface_->Snapshot();
  if (!layers_) {
    surface_->Refresh();
    return;
  }
  DrawPasses(std::nullopt);
  imgMap_ = surface_->Snapshot();
  HighlightSelection();
  ActiveTool().AfterRedraw(*this, false);
  SetToolPointer(tools_.SavedPointer);
  RaiseRedrawnWhenIdle();
}

void Viewer::RepaintLayer(std::int32_t layerId) {
  PaintBackground();
  DrawPasses(layerId);
  imgMap_ = surface_->Snapshot();
  HighlightSelection();
  ActiveTool().AfterRedraw(*this, true);
  RaiseRedrawnWhenIdle();
}

void Viewer::RepaintSaved() {
  PaintBackground();
  if (!imgMap_.isNull()) surface_->DrawImage(imgMap_);
  HighlightSelection();
  ActiveTool().AfterRedraw(*this, true);
  RaiseRedrawnWhenIdle();
}

void Viewer::DrawPasses(std::optional<std::int32_t> recalculated) {
  if (!layers_) return;
  ViewPainter painter(*surface_, *view_);
  painter.MapExtents = mapProps_.MapExtents;
  painter.Images = this;
  const BoundingBox& box = view_->ViewExtents;
  // Only the layer whose data changed works out its visibility and positions
  // again; the others repaint from what they drew last.
  for (layer& lay : *layers_) {
    if (!recalculated || lay.IDLayer == *recalculated) {
      orvenda::Redraw(lay, box, painter);
    } else {
      RedrawWOCalc(lay, box, painter);
    }
  }
  for (layer& lay : *layers_) DrawLabels(lay, box, painter);
  for (layer& lay : *layers_) DrawDirections(lay, box, painter);
}

void Viewer::DrawImage(std::int32_t imageNumber) {
  const auto extent = images_->Extent(imageNumber);
  if (!extent) return;
  const SurfacePoint a = view_->GeoToSurface(extent->MinX, extent->MaxY);
  const SurfacePoint b = view_->GeoToSurface(extent->MaxX, extent->MinY);
  const QRectF target = QRectF(QPointF(a.x, a.y), QPointF(b.x, b.y)).normalized();
  surface_->PaintWith([&](QPainter& painter) {
    images_->Draw(imageNumber, painter, target, QRect(0, 0, ViewWidth_, ViewHeight_));
  });
}

void Viewer::HighlightSelection() {
  if (tools_.Selection.empty()) return;
  if (tools_.MouseAction == tool::kNone) {
    // Without a tool the selection has served its purpose.
    if (!Idle()) return;
    ClearSelection();
    RepaintSaved();
    return;
  }
  layer* lay = layers_ ? layers_->Item(Key(tools_.SelectionLayer)) : nullptr;
  if (!lay) return;
  ViewPainter painter(*surface_, *view_);
  painter.MapExtents = mapProps_.MapExtents;
  for (std::int32_t id : tools_.Selection) resaltar(*lay, id, view_->ViewExtents, painter);
}

void Viewer::ClearSelection() {
  if (Idle()) tools_.Selection.clear();
}

void Viewer::DrawFigure(bool closed) {
  if (tools_.Vertices.empty()) return;
  std::vector<SurfacePoint> points;
  for (const Point& v : tools_.Vertices) points.push_back(view_->GeoToSurface(v.X, v.Y));
  surface_->SetDrawWidth(DrawTheme.DrawWidth);
  surface_->SetDrawStyle(DrawTheme.DrawStyle);
  if (closed) {
    std::vector<PixelPoint> pixels;
    for (const SurfacePoint& p : points) pixels.push_back(ToPixel(*surface_, p));
    surface_->SetForeColor(DrawTheme.DrawColor);
    surface_->SetFillStyle(fillstyle::kTransparent);
    surface_->Polygon(pixels);
  } else if (points.size() > 1) {
    surface_->Polyline(points, DrawTheme.DrawColor);
  }
  surface_->Refresh();
}

namespace {

// Sends what the view lacks; a server that cannot be reached has been reported
// once, so asking for every other cell would only repeat the message.
class DataSender final : public VisibleDataRequests {
 public:
  DataSender(MapViewer& viewer, const Connection& sock) : viewer_(viewer), sock_(sock) {}
  bool Request(layer& lay, CellData what, std::int32_t i, std::int32_t j) override {
    if (what == CellData::Elements) {
      SendCellRequest(viewer_, lay, i, j);
    } else {
      SendCellValuesRequest(viewer_, lay, i, j,
                            what == CellData::Labels ? lay.lblField : lay.DirectionField);
    }
    return sock_.state() == Connection::kConnected || sock_.state() == Connection::kOpen;
  }
  // The status list keeps one entry per layer, however often the view moves.
  void GridRefused(layer& lay) override { viewer_.PostStatus(lay.IDLayer, status::kGridRefused); }

 private:
  MapViewer& viewer_;
  const Connection& sock_;
};

}  // namespace

void Viewer::RequestVisibleData() {
  if (!layers_) return;
  DataSender sender(*this, *sock_);
  orvenda::RequestVisibleData(*layers_, *view_, sender);
}

}  // namespace orvenda
