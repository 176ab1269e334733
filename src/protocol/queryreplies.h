#pragma once
// The queries over sets of elements: find by condition (13 -> 113), multiple
// selection with constraints (14 -> 114) and find address (230 -> 231). The handlers
// do what belongs to the reply itself (the count, the "nothing found" messages) and
// hand the results to the dialogs that present them.

#include <cstdint>

#include "protocol/dwbuffer.h"
#include "protocol/mapviewer.h"
#include "protocol/querymessages.h"

namespace orvenda {

// The dialogs that present the query replies. Each call comes after the receive
// routine has handed over every message of its arrival, so a dialog may be modal.
class QueryResultsView {
 public:
  virtual ~QueryResultsView() = default;
  // Reply 113: the condition asked and the elements found with their values
  // (empty lists when none matched).
  virtual void FoundByCondition(const FoundElements& found) = 0;
  // Reply 114 with at least one element, and the display mode its request 14 kept.
  virtual void SelectionTable(const orvenda::SelectionTable& table, std::int16_t displayMode) = 0;
  // Reply 231 with at least one candidate that names an element.
  virtual void AddressCandidates(const orvenda::AddressCandidates& candidates) = 0;
};

bool SendFindByCondition(MapViewer& viewer, const ConditionQuery& query);
// Keeps `displayMode` in the viewer for the reply.
bool SendMultipleSelection(MapViewer& viewer, const SelectionQuery& query,
                           std::int16_t displayMode);
bool SendFindAddress(MapViewer& viewer, const AddressQuery& query);

void HandleFoundElements(MapViewer& viewer, DWBUffer& reply);      // 113
void HandleSelectionTable(MapViewer& viewer, DWBUffer& reply);     // 114
void HandleAddressCandidates(MapViewer& viewer, DWBUffer& reply);  // 231

}  // namespace orvenda
