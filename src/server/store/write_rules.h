// What a write must satisfy before either backend stores it: the checks that need no
// database, kept once so that both backends refuse the same things alike.
#pragma once

#include <string>
#include <vector>

#include "store/store.h"

namespace orvenda::server {

// At least one vertex, each within longitude -180..180 and latitude -90..90.
void CheckPoints(const std::vector<Point>& points);

// The client's texts, one per field of the layer in order, read as typed values; a
// wrong count or a text that does not fit its field is refused.
std::vector<Value> ParseValues(std::int32_t layerId, const std::vector<FieldDef>& fields,
                               const std::vector<std::string>& texts);

// A name, a kind the client knows, a cell size above 0 and fields of known types with
// names that differ in more than case.
void CheckNewLayer(const NewLayer& layer);

// 1 to 255 characters without control characters, not all spaces.
bool ValidMapName(const std::string& name);

// The values of a saved map and its layer setups (setup_rules.h), each layer once.
void CheckMapValues(const MapDefinition& map);

}  // namespace orvenda::server
