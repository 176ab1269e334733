#include "dialogs/findcommands.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

#include "dialogs/constraintlist.h"
#include "dialogs/dlgfindaddress.h"
#include "dialogs/dlgfindbycondition.h"
#include "dialogs/dlgviewcandidates.h"
#include "dialogs/dlgviewconditionelements.h"
#include "dialogs/elementinforesults.h"
#include "dialogs/findterms.h"
#include "protocol/elementinfo.h"
#include "protocol/fieldvalue.h"
#include "protocol/queryreplies.h"
#include "viewer/tools/newelement.h"
#include "viewer/tools/selectiontool.h"
#include "viewer/tools/toolstate.h"

namespace orvenda {
namespace {

// The preset condition with its field's own type, when the caller gave it whole.
std::optional<ConditionQuery> GivenCondition(MapViewer& viewer, ConditionQuery q) {
  layer* lay = viewer.layers().Item(Key(q.layerId));
  if (!lay || !HasFieldsToChoose(*lay)) return std::nullopt;
  bool found = false;
  for (const Campo& field : lay->Campos()) {
    if (!found && SameField(field.Nombre, q.condition.field)) {
      found = true;
      q.condition.field = field.Nombre;
      q.condition.fieldType = field.Tipo;
    }
  }
  if (!found || !FindOperatorText(q.condition.op, q.condition.fieldType)) return std::nullopt;
  if (ConstraintProblem(q.condition)) return std::nullopt;
  return q;
}

bool AddressLayer(layer& lay) { return lay.Tipo == polylinelayer || lay.Tipo == 3; }

layer* LayerNamed(MapViewer& viewer, const QString& name, bool (*kind)(layer&)) {
  for (layer& lay : viewer.layers()) {
    if (kind(lay) && QString::fromStdString(lay.Nombre) == name) return &lay;
  }
  return nullptr;
}

}  // namespace

bool FindByCondition(MapViewer& viewer, const ConditionQuery& preset, QWidget* parent) {
  std::optional<ConditionQuery> q = GivenCondition(viewer, preset);
  if (!q) {
    dlgFindByCondition dialog(viewer.interaction(), viewer.layers(), preset, parent);
    viewer.interaction().ShowModal(dialog);
    if (dialog.Cancelled) return false;
    q = dialog.Result();
  }
  // Numbers go in the plain form the server reads.
  for (std::string* value : {&q->condition.value1, &q->condition.value2}) {
    *value = FieldValueToSend(q->condition.fieldType, *value);
  }
  return SendFindByCondition(viewer, *q);
}

bool FindAddress(MapViewer& viewer, const AddressQuery& preset, QWidget* parent) {
  layer* given = viewer.layers().Item(Key(preset.layerId));
  if (given && AddressLayer(*given) && !AddressTermsFault(preset.street, preset.number)) {
    return SendFindAddress(viewer, preset);
  }
  dlgFindAddress dialog(viewer.interaction(), parent);
  for (layer& lay : viewer.layers()) {
    if (AddressLayer(lay)) dialog.cbLayers->addItem(QString::fromStdString(lay.Nombre));
  }
  if (given) dialog.cbLayers->setCurrentText(QString::fromStdString(given->Nombre));
  dialog.txtStreetName->setText(QString::fromStdString(preset.street));
  dialog.txtStreetNumber->setText(QString::fromStdString(preset.number));
  viewer.interaction().ShowModal(dialog);
  layer* chosen = LayerNamed(viewer, dialog.cbLayers->currentText(), AddressLayer);
  if (dialog.Cancelled || !chosen) return false;
  return SendFindAddress(viewer,
                         AddressQuery{chosen->IDLayer, dialog.txtStreetName->text().toStdString(),
                                      dialog.txtStreetNumber->text().toStdString()});
}

void ElementInfoResults::FoundByCondition(const FoundElements& found) {
  std::vector<std::int32_t> ids;
  std::vector<std::string> values;
  for (const auto& [id, value] : found.found) {
    ids.push_back(id);
    values.push_back(value);
  }
  if (!viewer_.infoExchange().listFoundElements) {
    if (tools_) tools_->RaiseSelectionSet(found.echo.layerId, ids);
    return;
  }
  dlgViewConditionElements dialog(viewer_, found.echo.layerId, "FIND", parent_);
  dialog.SetCondition(found.echo.condition);
  dialog.SetElementValues(ids, values);
  viewer_.interaction().ShowModal(dialog);
}

void ElementInfoResults::AddressCandidates(const orvenda::AddressCandidates& candidates) {
  dlgViewCandidates dialog(parent_);
  for (const auto& c : candidates.candidates) {
    dialog.lstCandidates->addItem(QString::fromStdString(CandidateLine(c)));
  }
  // A new point goes to a point layer.
  const auto pointLayer = [](layer& lay) { return lay.Tipo == pointlayer; };
  for (layer& lay : viewer_.layers()) {
    if (pointLayer(lay)) dialog.cbLayer->addItem(QString::fromStdString(lay.Nombre));
  }
  dialog.lblStreetName->setText(QString::fromStdString(candidates.echo.street));
  dialog.lblStreetNumber->setText(QString::fromStdString(candidates.echo.number));
  dialog.Load();
  viewer_.interaction().ShowModal(dialog);
  const int row = dialog.lstCandidates->currentRow();
  if (dialog.Cancelled || row < 0 || row >= static_cast<int>(candidates.candidates.size())) return;
  const auto& chosen = candidates.candidates[static_cast<std::size_t>(row)];
  if (dialog.action == 0) {
    const BoundingBox view = CandidateView(chosen);
    viewer_.ApplyExtents(view.MinX, view.MinY, view.MaxX, view.MaxY);
    return;
  }
  layer* named = LayerNamed(viewer_, dialog.cbLayer->currentText(), pointLayer);
  if (!tools_ || !named) return;
  // The drawing level is needed before anything is asked or sent.
  layer* lay = EditableLayer(*tools_, named->IDLayer, ALDraw, "Orvenda");
  if (!lay) return;
  SendNewElement(*tools_, *lay, tool::kAddPoint, {Point{chosen.x + 1e-13, chosen.y + 1e-13}});
  viewer_.ApplyExtents(chosen.x - 0.001, chosen.y - 0.001, chosen.x + 0.001, chosen.y + 0.001);
}

}  // namespace orvenda
