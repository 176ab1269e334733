#include "protocol/queryreplies.h"

#include "protocol/elementinfo.h"
#include "protocol/serverlink.h"

namespace orvenda {
namespace {

// The dialogs get a reply once the arrival is handed over, and only when one is
// attached and the map holds the layer.
template <typename Show>
void ToView(MapViewer& viewer, Show show) {
  MapViewer* v = &viewer;
  viewer.link().AfterReceive([v, show = std::move(show)] {
    if (QueryResultsView* view = v->infoExchange().resultsView) show(*view);
  });
}

void Tell(MapViewer& viewer, std::string text, MessageIcon icon) {
  viewer.link().dispatcher().Tell(std::move(text), "Orvenda", icon);
}

bool Held(MapViewer& viewer, std::int32_t layerId) {
  return viewer.layers().Item(Key(layerId)) != nullptr;
}

}  // namespace

bool SendFindByCondition(MapViewer& viewer, const ConditionQuery& query) {
  return viewer.link().SendToServer(WriteFindByCondition(query));
}

bool SendMultipleSelection(MapViewer& viewer, const SelectionQuery& query,
                           std::int16_t displayMode) {
  viewer.infoExchange().displayMode = displayMode;
  return viewer.link().SendToServer(WriteMultipleSelection(query));
}

bool SendFindAddress(MapViewer& viewer, const AddressQuery& query) {
  return viewer.link().SendToServer(WriteFindAddress(query));
}

void HandleFoundElements(MapViewer& viewer, DWBUffer& reply) {
  LowerPending(viewer);
  FoundElements found = ReadFoundElements(reply);
  if (!Held(viewer, found.echo.layerId)) return;
  ToView(viewer,
         [found = std::move(found)](QueryResultsView& view) { view.FoundByCondition(found); });
}

void HandleSelectionTable(MapViewer& viewer, DWBUffer& reply) {
  LowerPending(viewer);
  SelectionTable table = ReadSelectionTable(reply);
  if (!Held(viewer, table.layerId)) return;
  if (table.rows.size() == 1 && table.rows.front().elementId == 0) {
    Tell(viewer, "No elements found.", MessageIcon::Information);
    return;
  }
  ToView(viewer, [table = std::move(table), mode = viewer.infoExchange().displayMode](
                     QueryResultsView& view) { view.SelectionTable(table, mode); });
}

void HandleAddressCandidates(MapViewer& viewer, DWBUffer& reply) {
  LowerPending(viewer);
  AddressCandidates read = ReadAddressCandidates(reply);
  if (!Held(viewer, read.echo.layerId)) return;
  if (read.candidates.empty()) {
    Tell(viewer, "Requested information not found.\nPlease try again.", MessageIcon::Information);
    return;
  }
  // A candidate that names no element is reported; the others still go on.
  AddressCandidates named{read.echo, {}};
  for (const auto& c : read.candidates) {
    if (c.elementId != 0) {
      named.candidates.push_back(c);
      continue;
    }
    Tell(viewer,
         "Find Address Error. \nLayer: " + std::to_string(read.echo.layerId) +
             ", SteetName: " + read.echo.street + ", StreetNumber: " + read.echo.number,
         MessageIcon::None);
  }
  if (named.candidates.empty()) return;
  ToView(viewer,
         [named = std::move(named)](QueryResultsView& view) { view.AddressCandidates(named); });
}

}  // namespace orvenda
