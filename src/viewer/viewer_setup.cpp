// The Viewer's members that change and keep the map's setup: the map setup and
// directions dialogs, saving the setup on the server, and saving the picture.

#include <QComboBox>

#include "dialogs/dlgmapsetup.h"
#include "protocol/savemap.h"
#include "render/viewtransform.h"
#include "viewer/qpaintersurface.h"
#include "viewer/saveimage.h"
#include "viewer/viewer.h"

namespace orvenda {
namespace {

std::array<float, 4> Box(const BoundingBox& b) {
  return {static_cast<float>(b.MinX), static_cast<float>(b.MinY), static_cast<float>(b.MaxX),
          static_cast<float>(b.MaxY)};
}

}  // namespace

void Viewer::RegisterSetupHandlers() {
  RegisterSaveMapReply(*link_, [this](std::int16_t result) { emit MapSaved(result); });
}

bool Viewer::SaveMap(std::int32_t IDUser, const QString& MapName) {
  return Idle() && SendSaveMap(*this, IDUser, MapName.toStdString());
}

void Viewer::MapSetup() {
  if (!Idle() || !mapProps_.layerscargados || !layers_) return;
  MapSetupState state;
  state.BackgroundColor = static_cast<std::uint32_t>(mapProps_.BackgroundColor);
  state.CurrentHeight = CurrentZoom();
  // The height the whole map is shown at.
  ViewTransform whole;
  whole.ViewWidth = ViewWidth_;
  whole.ViewHeight = ViewHeight_;
  whole.Projection = view_->Projection;
  const BoundingBox& e = mapProps_.MapExtents;
  whole.ApplyExtents(e.MinX, e.MinY, e.MaxX, e.MaxY);
  state.InitialHeight = whole.CurrentZoom();
  state.InitialView = Box(e);
  state.CurrentView = Box(view_->ViewExtents);
  state.LayerSetups = LayerSetups(*layers_);
  dlgMapSetup dialog(*ui_, std::move(state), mapProps_.Projection, this);
  dialog.RefreshLayers(0);
  ui_->ShowModal(dialog);
  if (dialog.Cancelled) return;
  const MapSetupState& result = dialog.State;
  ApplyLayerSetups(*layers_, result.LayerSetups);
  mapProps_.BackgroundColor = static_cast<std::int32_t>(result.BackgroundColor);
  const auto& v = result.InitialView;
  if (Box(e) != v) {
    mapProps_.MapExtents = BoundingBox{};
    mapProps_.MapExtents.MinX = v[0];
    mapProps_.MapExtents.MinY = v[1];
    mapProps_.MapExtents.MaxX = v[2];
    mapProps_.MapExtents.MaxY = v[3];
  }
  Redraw();
  RequestVisibleData();
}

void Viewer::SetDirections(std::int32_t IDLayer) {
  layer* lay = FindLayer(IDLayer);
  if (lay == nullptr) return;
  dlgSetDirections dialog(*lay, this);
  ui_->ShowModal(dialog);
  if (dialog.Cancelled) return;
  const std::string field = dialog.cboField->currentText().toStdString();
  if (field == lay->DirectionField) return;
  // Directions of the old field must not pass for the new one's.
  lay->DirectionField = field;
  lay->ClearDirections();
  Redraw();
  RequestVisibleData();
}

bool Viewer::SaveImage() { return Idle() && SavePicture(*ui_, surface_->image(), this); }

}  // namespace orvenda
