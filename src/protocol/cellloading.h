#pragma once
// Loading grid cells: request 2 / reply 102 (elements of a cell) and request 5 /
// reply 105 (one field's values for the elements of a cell: labels, directions
// or thematic values).

#include <cstdint>
#include <string>

#include "model/cellvaluerequester.h"
#include "protocol/dwbuffer.h"
#include "protocol/mapviewer.h"

namespace orvenda {

void SendCellRequest(MapViewer& viewer, layer& lay, std::int32_t i, std::int32_t j);
void SendCellValuesRequest(MapViewer& viewer, layer& lay, std::int32_t i, std::int32_t j,
                           const std::string& field);

void HandleCellReply(MapViewer& viewer, DWBUffer& reply);        // 102
void HandleCellValuesReply(MapViewer& viewer, DWBUffer& reply);  // 105

// The Integer value of a direction text: "" and text that is no number give 0.
std::int16_t DirectionValue(const std::string& text);

// Request 5 on behalf of a layer (its thematic values, say).
class CellValueSender final : public CellValueRequester {
 public:
  explicit CellValueSender(MapViewer& viewer) : viewer_(viewer) {}
  void RequestCellValues(std::int32_t layerId, std::int32_t i, std::int32_t j,
                         const std::string& field) override;

 private:
  MapViewer& viewer_;
};

}  // namespace orvenda
