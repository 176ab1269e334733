// The Viewer's members that point at the map and tell the host: information on
// an element, selection, zoom to selected, reshaping an element, the new-element
// hand-off, the map tooltip, the snapshot and the about box. The tools of tools/ do the picking;
// the replies are read and routed by the handlers of elementinfo.h.

#include <QClipboard>
#include <QGuiApplication>
#include <QStringList>

#include "dialogs/dlgadd.h"
#include "dialogs/dlgrelativeto.h"
#include "protocol/attributeedit.h"
#include "protocol/queryreplies.h"
#include "protocol/serverlink.h"
#include "render/entitydrawing.h"
#include "render/viewpainter.h"
#include "render/viewtransform.h"
#include "viewer/aboutbox.h"
#include "viewer/qpaintersurface.h"
#include "viewer/qttooltip.h"
#include "viewer/tools/newelement.h"
#include "viewer/tools/selectiontool.h"
#include "viewer/tools/vertexedittool.h"
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

void Viewer::EraseEntity(std::int32_t IDLayer) {
  if (Idle() && EditableLayer(*this, IDLayer, ALDraw, "Orvenda Viewer")) {
    toolDispatch_.ArmPicking(tool::kErase, IDLayer);
  }
}

void Viewer::EditInfo(std::int32_t IDLayer, std::int32_t IDElement, const QStringList& FieldInfo) {
  layer* lay = Idle() ? EditableLayer(*this, IDLayer, ALEditor, "Orvenda Viewer") : nullptr;
  if (!lay || !ActiveTool().Cancel(*this)) return;
  if (IDElement != 0 && FieldInfo.size() == lay->Campos().count()) {
    std::vector<std::string> values;
    for (const QString& v : FieldInfo) values.push_back(v.toStdString());
    StartAttributeEdit(*this, *lay, IDElement, values);
  } else {
    toolDispatch_.ArmPicking(tool::kEditAttributes, IDLayer);
  }
}

void Viewer::EditGeography(std::int32_t IDLayer) {
  if (Idle() && DrawableLayer(*this, IDLayer)) {
    toolDispatch_.ArmPicking(tool::kPickEditElement, IDLayer);
  }
}

void Viewer::SetVertexMarker(std::optional<SurfaceXY> centre) {
  shpVertex_ = centre;
  update();
}

bool Viewer::SendToServer(const DWBUffer& request) { return link_->SendToServer(request); }

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

void Viewer::EraseElements(std::int32_t layerId, const std::vector<std::int32_t>& ids) {
  if (layer* lay = FindLayer(layerId)) orvenda::EraseElements(*this, *lay, ids);
  Redraw();
}

void Viewer::EditAttributes(std::int32_t layerId, const std::vector<std::int32_t>& ids) {
  SendMultipleSelection(*this, SelectionQuery{layerId, ids, {}}, 0);
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

bool Viewer::AddElement(std::int32_t IDLayer, std::int32_t NumPoints, const std::vector<double>& X,
                        const std::vector<double>& Y) {
  if (!Idle()) return false;
  if (NumPoints == 0) return ArmNewElement(toolDispatch_, *this, IDLayer);
  const layer* lay = EditableLayer(*this, IDLayer, ALDraw, "Orvenda");
  return lay && ValidNewElementPoints(lay->Tipo, NumPoints, X, Y);
}

std::optional<std::vector<std::string>> Viewer::AskNewElementValues(layer& lay,
                                                                    const std::string& title) {
  return ReleaseAttrEvent ? RaiseNewElement(lay) : AskNewElementAttributes(*ui_, lay, title, this);
}

std::optional<ProjectedXY> Viewer::AskRelativeTo() { return orvenda::AskRelativeTo(*ui_, this); }

std::optional<std::pair<double, double>> Viewer::AskSmartEndPoint(
    const std::function<bool()>& selectSegment) {
  return orvenda::AskSmartEndPoint(*ui_, selectSegment, this);
}

QtToolTip& Viewer::ToolTip() {
  if (ToolTip_ == nullptr) ToolTip_ = new QtToolTip(*this);
  return *ToolTip_;
}

void Viewer::SetToolTip(std::int32_t IDLayer, const QString& ToolTipField) {
  ToolTip().rule().SetLayer(IDLayer, ToolTipField.toStdString());
}

void Viewer::SnapShot() {
  if (!Idle()) return;
  QClipboard* clipboard = QGuiApplication::clipboard();
  clipboard->clear();
  clipboard->setImage(surface_->image());
}

void Viewer::About() {
  if (!Idle()) return;
  AboutBox box(this);
  ui_->ShowModal(box);
}

}  // namespace orvenda
