// The Viewer's layer setup (dlgLayerSetup, request 6 and reply 106) and its map
// references window (dlgMapReferences).

#include "dialogs/dlglayersetup.h"
#include "dialogs/dlgmapreferences.h"
#include "protocol/layersetupvalues.h"
#include "viewer/viewer.h"

namespace orvenda {

void Viewer::LayerSetup(std::int32_t IDLayer) {
  if (!Idle() || !ActiveTool().Cancel(*this) || IDLayer <= 0) return;
  layer* lay = layers_ ? layers_->Item(Key(IDLayer)) : nullptr;
  if (lay == nullptr || lay->Tipo == ImageLayer) return;
  // A dialog still waiting for the values of another layer is not this layer's.
  if (LayerSetupForm_ && &LayerSetupForm_->Layer() != lay) CloseLayerSetup();
  if (!LayerSetupForm_) LayerSetupForm_ = new dlgLayerSetup(*lay, CurrentZoom(), *ui_, this);
  dlgLayerSetup& form = *LayerSetupForm_;
  ui_->ShowModal(form);
  if (form.SetupResult == 2) {
    SendFieldValuesRequest(*this, IDLayer, form.QueryField(), form.QueryKind());
    return;
  }
  if (form.SetupResult == 0) {
    const LayerSetupOutcome outcome = ApplyLayerSetup(*lay, form.Choice(), form.WorkingClasses());
    if (outcome.requestThemes) lay->RequestThemesForCells(cellValues_);
    RequestVisibleData();
    RepaintLayer(IDLayer);
  }
  CloseLayerSetup();
}

void Viewer::FieldValuesArrived(const FieldValuesReply& reply) {
  if (!LayerSetupForm_ || LayerSetupForm_->Layer().IDLayer != reply.layerId) return;
  LayerSetupForm_->SetQueriedValues(reply.values);
  LayerSetup(reply.layerId);
}

void Viewer::CloseLayerSetup() { delete std::exchange(LayerSetupForm_, nullptr); }

dlgMapReferences* Viewer::MapReferencesForm() const { return MapReferencesForm_; }

void Viewer::ShowMapReferences() {
  if (!Idle()) return;
  if (!MapReferencesForm_) {
    MapReferencesForm_ = new dlgMapReferences(this);
    // Closing the window unloads it; the pointer forgets it by itself.
    MapReferencesForm_->setAttribute(Qt::WA_DeleteOnClose);
  }
  MapReferencesForm_->SetViewer(this);
  MapReferencesForm_->show();
}

void Viewer::RestoreMapReferences() {
  if (!Idle() || !MapReferencesForm_) return;
  MapReferencesForm_->SetViewer(this);
  MapReferencesForm_->show();
}

void Viewer::HideMapReferences() {
  if (Idle() && MapReferencesForm_) MapReferencesForm_->hide();
}

void Viewer::TerminateMapReferences() {
  if (!Idle() || !MapReferencesForm_) return;
  dlgMapReferences* form = MapReferencesForm_;
  MapReferencesForm_ = nullptr;
  form->hide();
  delete form;
}

void Viewer::RefreshMapReferences() {
  if (MapReferencesForm_) MapReferencesForm_->RefreshLegend();
}

}  // namespace orvenda
