#include "protocol/attributeedit.h"

#include "protocol/editmessages.h"
#include "protocol/fieldvalue.h"
#include "protocol/serverlink.h"

namespace orvenda {

std::vector<CellIJ> CellsOf(layer& lay, std::int32_t elementId) {
  std::vector<CellIJ> cells;
  if (!lay.Entidades.ItemByID(elementId)) return cells;
  const layer::ColumnsRows found = lay.EntityCells(elementId);
  for (std::size_t k = 0; k < found.rows.size(); ++k) {
    cells.push_back({found.rows[k], found.columns[k]});
  }
  return cells;
}

namespace {

void Refuse(MapViewer& viewer, const std::string& text) {
  viewer.interaction().MessageBox(text, "Orvenda Viewer", MessageIcon::Exclamation,
                                  MessageButtons::Ok);
}

}  // namespace

std::string UnfitValues(layer& lay, const std::vector<std::string>& values) {
  const auto count = static_cast<std::size_t>(lay.Campos().count());
  if (values.size() != count) {
    return "The layer " + lay.Nombre + " has " + std::to_string(count) + " fields, not " +
           std::to_string(values.size()) + ".";
  }
  std::size_t i = 0;
  for (const Campo& field : lay.Campos()) {
    const std::string& value = values[i++];
    if (!FieldValueFits(field.Tipo, value))
      return "The value \"" + value + "\" does not suit the field " + field.Nombre + ".";
  }
  return {};
}

void StartAttributeEdit(MapViewer& viewer, layer& lay, std::int32_t elementId,
                        const std::vector<std::string>& values) {
  if (const std::string why = UnfitValues(lay, values); !why.empty()) {
    Refuse(viewer, why + " Nothing was changed.");
    return;
  }
  std::vector<std::string> names, sent;
  std::size_t i = 0;
  for (const Campo& field : lay.Campos()) {
    names.push_back(field.Nombre);
    sent.push_back(FieldValueToSend(field.Tipo, values[i++]));
  }
  SendAttributeEditRequest(viewer, lay.IDLayer, elementId, std::move(names), std::move(sent));
}

void SendEditedValues(MapViewer& viewer, const ElementValues& reply) {
  layer* lay = viewer.layers().Item(Key(reply.layerId));
  if (!lay) return;
  const InfoExchange& held = viewer.infoExchange();
  const ElementInfo current = PairWithFields(*lay, reply);
  ValuesEdit edit{reply.layerId, CellsOf(*lay, reply.elementId), reply.elementId, {}};
  std::size_t i = 0;
  for (const Campo& field : lay->Campos()) {
    std::string value = i < current.FieldData.size() ? current.FieldData[i] : std::string();
    for (std::size_t k = 0; k < held.editFields.size() && k < held.editValues.size(); ++k) {
      if (SameField(held.editFields[k], field.Nombre)) value = held.editValues[k];
    }
    edit.values.push_back(std::move(value));
    ++i;
  }
  viewer.link().SendToServer(WriteValuesEdit(edit));
}

void EraseElements(MapViewer& viewer, layer& lay, const std::vector<std::int32_t>& ids) {
  for (const std::int32_t id : ids) {
    viewer.link().SendToServer(WriteErase({lay.IDLayer, CellsOf(lay, id), id}));
    lay.RemoveEntity(id);
  }
}

}  // namespace orvenda
