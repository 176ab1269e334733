#pragma once
// Request 6 and reply 106: the values of one field of a layer, asked for by the
// layer setup to build its classes. Kind 1 asks for every value, kind 2 for the
// lowest and the highest; the reply echoes the layer, the field and the kind.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "protocol/dwbuffer.h"
#include "protocol/mapviewer.h"

namespace orvenda {

inline constexpr std::int16_t kAllValues = 1;
inline constexpr std::int16_t kLowestHighest = 2;

struct FieldValuesReply {
  std::int32_t layerId = 0;
  std::string field;
  std::int16_t kind = 0;
  // Kind 1: the values in order (none for n <= 0); kind 2: lowest, highest.
  std::vector<std::string> values;
};

bool SendFieldValuesRequest(MapViewer& viewer, std::int32_t layerId, const std::string& field,
                            std::int16_t kind);

// Reads a 106 after its code. A kind other than 1 and 2 carries no values.
FieldValuesReply ReadFieldValuesReply(DWBUffer& reply);

// Registers 106: the values of a layer the map holds go to `arrived` once the
// arrival has been handed over (it reopens a modal dialog).
void RegisterFieldValuesReply(MapViewer& viewer,
                              std::function<void(const FieldValuesReply&)> arrived);

}  // namespace orvenda
