// The Viewer's drawing orchestration: full redraw, repaint of one layer or
// from the saved picture, the selection highlight, the figure being drawn and
// the requests for what a new view lacks.

#include <QPainter>
#include <stdexcept>

#include "protocol/cellloading.h"
#include "protocol/serverlink.h"
#include "render/entitydrawing.h"
#include "render/layerdrawing.h"
#include "render/viewpainter.h"
#include "render/viewtransform.h"
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
  RedrawFigureInProgress(false);
  SetToolPointer(tools_.SavedPointer);
  RaiseRedrawnWhenIdle();
}

void Viewer::RepaintLayer(std::int32_t layerId) {
  PaintBackground();
  DrawPasses(layerId);
  imgMap_ = surface_->Snapshot();
  HighlightSelection();
  RedrawFigureInProgress(true);
  RaiseRedrawnWhenIdle();
}

void Viewer::RepaintSaved() {
  PaintBackground();
  if (!imgMap_.isNull()) surface_->DrawImage(imgMap_);
  HighlightSelection();
  RedrawFigureInProgress(true);
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
  if (selection_.empty()) return;
  if (tools_.MouseAction == tool::kNone) {
    // Without a tool the selection has served its purpose.
    if (!Idle()) return;
    selection_.clear();
    RepaintSaved();
    return;
  }
  layer* lay = layers_ ? layers_->Item(Key(tools_.SelectionLayer)) : nullptr;
  if (!lay) return;
  ViewPainter painter(*surface_, *view_);
  painter.MapExtents = mapProps_.MapExtents;
  for (std::int32_t id : selection_) resaltar(*lay, id, view_->ViewExtents, painter);
}

void Viewer::RedrawFigureInProgress(bool fromRepaint) {
  const int action = tools_.MouseAction;
  if (fromRepaint) {
    if (action == tool::kDrawPolyline || action == tool::kMeasure ||
        action == tool::kVertexEditing) {
      DrawFigure(false);
    } else if (action == tool::kDrawPolygon) {
      DrawFigure(true);
    }
    return;
  }
  if (action == tool::kDrawPolyline) {
    DrawFigure(false);
    tools_.Dragging = true;
  } else if (action == tool::kDrawPolygon || action == tool::kSelectionPolygon) {
    DrawFigure(true);
    tools_.Dragging = true;
  }
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

bool Reachable(const Connection& sock) {
  return sock.state() == Connection::kConnected || sock.state() == Connection::kOpen;
}

}  // namespace

void Viewer::RequestVisibleData() {
  if (!layers_) return;
  const BoundingBox& v = view_->ViewExtents;
  for (layer& lay : *layers_) {
    if (!CalculateVisibility(lay, *view_)) continue;
    layer::CellList cells;
    try {
      cells = lay.CellsInBox(v.MinX, v.MinY, v.MaxX, v.MaxY);
    } catch (const std::range_error&) {
      // A layer with no usable grid (a cell size of 0 from the server, say) holds
      // nothing this view could ask for; the others still load. The status list
      // keeps one entry per layer, however often the view moves.
      PostStatus(lay.IDLayer, status::kGridRefused);
      continue;
    }
    const auto cell = [&cells](std::int32_t n) {
      return std::pair(cells.rows[static_cast<std::size_t>(n)],
                       cells.columns[static_cast<std::size_t>(n)]);
    };
    // A server that cannot be reached has been reported once; asking for every
    // other cell would only repeat the message.
    for (std::int32_t n = 0; n < cells.count(); ++n) {
      const auto [i, j] = cell(n);
      if (lay.IsCellRequested(i, j)) continue;
      SendCellRequest(*this, lay, i, j);
      if (!Reachable(*sock_)) return;
    }
    if (!lay.lblField.empty() && CalculateLabelVisibility(lay, *view_)) {
      for (std::int32_t n = 0; n < cells.count(); ++n) {
        const auto [i, j] = cell(n);
        if (lay.IsLabelCellRequested(i, j)) continue;
        SendCellValuesRequest(*this, lay, i, j, lay.lblField);
        if (!Reachable(*sock_)) return;
      }
    }
    if (!lay.DirectionField.empty() && CalculateDirectionVisibility(lay, *view_)) {
      for (std::int32_t n = 0; n < cells.count(); ++n) {
        const auto [i, j] = cell(n);
        if (lay.IsDirectionCellRequested(i, j)) continue;
        SendCellValuesRequest(*this, lay, i, j, lay.DirectionField);
        if (!Reachable(*sock_)) return;
      }
    }
  }
}

}  // namespace orvenda
