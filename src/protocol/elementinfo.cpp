#include "protocol/elementinfo.h"

#include <cmath>

#include "protocol/catalogue.h"
#include "protocol/fieldvalue.h"
#include "protocol/queryreplies.h"
#include "protocol/serverlink.h"

namespace orvenda {
namespace {

// The margin around an element's extent, in degrees; it also gives a point or a
// straight north-south line a view that is not empty.
constexpr double kZoomMargin = 0.001;
// Coordinates at or beyond this are the "no box" sentinels (1E30 and above).
constexpr double kNoBox = 1e30;

std::string TrimSpaces(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool SendElementRequest(MapViewer& viewer, std::int16_t code, std::int32_t layerId,
                        std::int32_t elementId) {
  return viewer.link().SendToServer(code, [&](DWBUffer& b) {
    b.PutLong(layerId);
    b.PutLong(elementId);
  });
}

}  // namespace

ElementValues ReadElementValues(DWBUffer& reply) {
  ElementValues r;
  r.layerId = reply.GetLong();
  r.elementId = reply.GetLong();
  const std::int16_t n = reply.GetInteger();
  // Each value is read before the next is sized: a count the message cannot hold
  // runs out of bytes instead of reserving what it declares.
  for (std::int16_t i = 0; i < n; ++i) {
    const std::int16_t type = reply.GetInteger();
    r.values.emplace_back(type, GetFieldValue(reply, type));
  }
  return r;
}

ElementInfo PairWithFields(layer& lay, const ElementValues& reply) {
  ElementInfo info;
  info.IDLayer = reply.layerId;
  info.IDElement = reply.elementId;
  std::size_t i = 0;
  for (const Campo& field : lay.Campos()) {
    if (i == reply.values.size()) break;
    const auto& [type, value] = reply.values[i++];
    info.FieldName.push_back(field.Nombre);
    info.FieldTypes.push_back(field.Tipo);
    info.FieldData.push_back(IsTextFieldType(type) ? TrimSpaces(value) : value);
  }
  return info;
}

std::string InformationText(const std::string& layerName, const ElementInfo& info) {
  std::string text = "Layer: " + layerName + "\n\n";
  for (std::size_t i = 0; i < info.FieldName.size(); ++i) {
    text += info.FieldName[i] + ": " + info.FieldData[i] + "\n\n";
  }
  return text;
}

bool SendElementInfoRequest(MapViewer& viewer, std::int32_t layerId, std::int32_t elementId) {
  InfoExchange& state = viewer.infoExchange();
  state.editFields.clear();
  state.editValues.clear();
  viewer.link().dispatcher().SetAttributeEditingMode(false);
  return SendElementRequest(viewer, cmd::kElementAttributes, layerId, elementId);
}

bool SendAttributeEditRequest(MapViewer& viewer, std::int32_t layerId, std::int32_t elementId,
                              std::vector<std::string> fields, std::vector<std::string> values) {
  InfoExchange& state = viewer.infoExchange();
  state.editFields = std::move(fields);
  state.editValues = std::move(values);
  viewer.link().dispatcher().SetAttributeEditingMode(true);
  return SendElementRequest(viewer, cmd::kElementAttributes, layerId, elementId);
}

bool SendElementExtentRequest(MapViewer& viewer, std::int32_t layerId, std::int32_t elementId) {
  viewer.infoExchange().zoomToSelected = true;
  return SendElementRequest(viewer, cmd::kElementExtent, layerId, elementId);
}

void RequestElementsInformation(MapViewer& viewer, std::int32_t layerId,
                                const std::vector<std::int32_t>& ids) {
  if (ids.size() == 1) {
    SendElementInfoRequest(viewer, layerId, ids.front());
  } else if (!ids.empty()) {
    SendMultipleSelection(viewer, SelectionQuery{layerId, ids, {}}, 0);
  }
}

std::optional<BoundingBox> HeldElementsBox(layer& lay, const std::vector<std::int32_t>& ids) {
  std::optional<BoundingBox> box;
  for (const std::int32_t id : ids) {
    const Entidad* ent = id == 0 ? nullptr : lay.Entidades.ItemByID(id);
    if (!ent) continue;
    const BoundingBox held = ent->bb();
    if (!(held.MinX <= held.MaxX && held.MinY <= held.MaxY)) continue;
    if (!box) box.emplace();
    box->Union(held.MinX, held.MinY, held.MaxX, held.MaxY);
  }
  if (!box) return std::nullopt;
  // A point, or a line along a meridian or a parallel, still gets a view.
  if (box->MaxX - box->MinX < 2 * kZoomMargin) {
    box->MinX -= kZoomMargin;
    box->MaxX += kZoomMargin;
  }
  if (box->MaxY - box->MinY < 2 * kZoomMargin) {
    box->MinY -= kZoomMargin;
    box->MaxY += kZoomMargin;
  }
  return box;
}

void ZoomToElements(MapViewer& viewer, std::int32_t layerId, const std::vector<std::int32_t>& ids) {
  layer* lay = viewer.layers().Item(Key(layerId));
  if (!lay) return;
  if (ids.size() == 1 && ids.front() != 0 && !lay->Entidades.ItemByID(ids.front())) {
    SendElementExtentRequest(viewer, layerId, ids.front());
  } else if (const auto box = HeldElementsBox(*lay, ids)) {
    viewer.ApplyExtents(box->MinX, box->MinY, box->MaxX, box->MaxY);
  }
}

void HandleElementInfo(MapViewer& viewer, DWBUffer& reply) {
  LowerPending(viewer);
  const ElementValues values = ReadElementValues(reply);
  layer* lay = viewer.layers().Item(Key(values.layerId));
  if (!lay) return;  // a layer this map does not hold
  InfoExchange& state = viewer.infoExchange();
  const bool toHost = state.ReleaseInfoEvent;
  state.ReleaseInfoEvent = false;
  ElementInfo info = PairWithFields(*lay, values);
  // Highlight and window wait together: the end of the arrival repaints the map.
  MapViewer* v = &viewer;
  viewer.link().AfterReceive([v, toHost, name = lay->Nombre, info = std::move(info)] {
    layer* held = v->layers().Item(Key(info.IDLayer));
    if (!held) return;  // the map went while earlier windows were open
    if (held->Entidades.ItemByID(info.IDElement)) v->Highlight(*held, info.IDElement);
    if (toHost) {
      v->RaiseInfoArrival(info);
    } else {
      v->interaction().MessageBox(InformationText(name, info), "Orvenda", MessageIcon::Information,
                                  MessageButtons::Ok);
    }
    v->FinishLoadingPass();
  });
}

void HandleAttributesForEdit(MapViewer& viewer, DWBUffer& reply) {
  LowerPending(viewer);
  ElementValues values = ReadElementValues(reply);
  if (!viewer.layers().Item(Key(values.layerId))) return;
  MapViewer* v = &viewer;
  viewer.link().AfterReceive([v, values = std::move(values)] {
    const auto& hook = v->infoExchange().onAttributesForEdit;
    if (hook) hook(values);
  });
}

std::optional<BoundingBox> ElementZoomBox(double minX, double minY, double maxX, double maxY) {
  for (const double c : {minX, minY, maxX, maxY}) {
    if (!std::isfinite(c) || std::abs(c) >= kNoBox) return std::nullopt;
  }
  if (minX > maxX || minY > maxY) return std::nullopt;
  // The server's answer when it has no box to give.
  if (minX == 0 && minY == 0 && maxX == 0 && maxY == 0) return std::nullopt;
  BoundingBox box;
  box.MinX = minX - kZoomMargin;
  box.MinY = minY - kZoomMargin;
  box.MaxX = maxX + kZoomMargin;
  box.MaxY = maxY + kZoomMargin;
  return box;
}

void HandleElementExtent(MapViewer& viewer, DWBUffer& reply) {
  LowerPending(viewer);
  const std::int32_t layerId = reply.GetLong();
  reply.GetLong();  // element ID
  double e[4];
  for (double& c : e) c = reply.GetDouble();
  if (!viewer.layers().Item(Key(layerId)) || !viewer.infoExchange().zoomToSelected) return;
  if (const auto box = ElementZoomBox(e[0], e[1], e[2], e[3])) {
    viewer.ApplyExtents(box->MinX, box->MinY, box->MaxX, box->MaxY);
  }
}

void RegisterInfoHandlers(MapViewer& viewer) {
  Dispatcher& d = viewer.link().dispatcher();
  MapViewer* v = &viewer;
  d.Register(cmd::kElementAttributesReply, [v](DWBUffer& m) { HandleElementInfo(*v, m); });
  d.RegisterAttributeEditing([v](DWBUffer& m) { HandleAttributesForEdit(*v, m); });
  d.Register(cmd::kElementExtentReply, [v](DWBUffer& m) { HandleElementExtent(*v, m); });
  d.Register(cmd::kFindByConditionReply, [v](DWBUffer& m) { HandleFoundElements(*v, m); });
  d.Register(cmd::kMultipleSelectionReply, [v](DWBUffer& m) { HandleSelectionTable(*v, m); });
  d.Register(cmd::kFindAddressReply, [v](DWBUffer& m) { HandleAddressCandidates(*v, m); });
}

}  // namespace orvenda
