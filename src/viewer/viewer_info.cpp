// The Viewer's picking members and the events they answer with: information on
// an element, selection, zoom to selected, and the new-element hand-off. The
// tools of tools/selectiontool.h do the picking; the replies are read and routed
// by the handlers of elementinfo.h.

#include <QStringList>

#include "render/entitydrawing.h"
#include "render/viewpainter.h"
#include "render/viewtransform.h"
#include "viewer/qpaintersurface.h"
#include "viewer/tools/selectiontool.h"
#include "viewer/viewer.h"

namespace orvenda {

namespace {
QStringList Texts(const std::vector<std::string>& list) {
  QStringList out;
  for (const std::string& s : list) out << QString::fromStdString(s);
  return out;
}
}  // namespace

void Viewer::GetInfo(std::int32_t IDLayer, std::int32_t IDElement, bool ReleaseEvent) {
  if (!Idle()) return;
  info_.ReleaseInfoEvent = ReleaseEvent;
  if (!PickableLayer(*this, IDLayer, true)) return;
  if (IDElement != 0) {
    SendElementInfoRequest(*this, IDLayer, IDElement);
  } else {
    toolDispatch_.ArmPicking(tool::kInformation, IDLayer);
  }
}

void Viewer::SelectObjects(std::int32_t IDLayer) {
  if (Idle() && PickableLayer(*this, IDLayer, false)) {
    toolDispatch_.ArmPicking(tool::kSelect, IDLayer);
  }
}

void Viewer::ZoomToSelected(std::int32_t IDLayer, const std::vector<std::int32_t>& IDElement) {
  if (Idle()) ZoomToElements(*this, IDLayer, IDElement);
}

layer* Viewer::FindLayer(std::int32_t layerId) {
  return layers_ ? layers_->Item(Key(layerId)) : nullptr;
}

void Viewer::RequestInformation(std::int32_t layerId, const std::vector<std::int32_t>& ids) {
  RequestElementsInformation(*this, layerId, ids);
}

void Viewer::RaiseSelectionSet(std::int32_t layerId, const std::vector<std::int32_t>& ids) {
  emit SelectionSet(layerId, static_cast<int>(ids.size()), QList<int>(ids.begin(), ids.end()));
}

void Viewer::Highlight(layer& lay, std::int32_t elementId) {
  ViewPainter painter(*surface_, *view_);
  painter.MapExtents = mapProps_.MapExtents;
  resaltar(lay, elementId, view_->ViewExtents, painter);
  surface_->Refresh();
}

void Viewer::RaiseInfoArrival(const ElementInfo& info) {
  const QList<int> types(info.FieldTypes.begin(), info.FieldTypes.end());
  emit InfoArrival(info.IDLayer, info.IDElement, Texts(info.FieldName), types,
                   Texts(info.FieldData));
}

std::optional<std::vector<std::string>> Viewer::RaiseNewElement(layer& lay) {
  QStringList names;
  QList<int> types;
  for (const Campo& field : lay.Campos()) {
    names << QString::fromStdString(field.Nombre);
    types << field.Tipo;
  }
  QStringList values;
  for (qsizetype i = 0; i < names.size(); ++i) values << QString();
  bool cancel = false;
  emit OnNewElement(names, types, values, cancel);
  if (cancel) return std::nullopt;
  std::vector<std::string> out;
  for (const QString& v : values) out.push_back(v.toStdString());
  return out;
}

}  // namespace orvenda
