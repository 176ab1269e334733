#include "store/write_rules.h"

#include <cctype>
#include <cmath>
#include <set>

#include "model/gridrule.h"
#include "store/field_types.h"
#include "store/setup_rules.h"

namespace orvenda::server {

void CheckPoints(const std::vector<Point>& points) {
  if (points.empty())
    throw StoreError(StoreFault::BadValue, "an element needs at least one vertex");
  for (const Point& p : points)
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || p.x < -180 || p.x > 180 || p.y < -90 ||
        p.y > 90)
      throw StoreError(StoreFault::BadValue,
                       "vertex outside longitude -180..180 / latitude -90..90");
}

std::vector<Value> ParseValues(std::int32_t layerId, const std::vector<FieldDef>& fields,
                               const std::vector<std::string>& texts) {
  if (texts.size() != fields.size())
    throw StoreError(StoreFault::BadValue, "layer " + std::to_string(layerId) + " has " +
                                               std::to_string(fields.size()) + " fields, " +
                                               std::to_string(texts.size()) + " values given");
  std::vector<Value> values;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    auto v = ParseFieldValue(fields[i].type, texts[i]);
    if (!v)
      throw StoreError(StoreFault::BadValue,
                       "value '" + texts[i] + "' does not fit field '" + fields[i].name + "'");
    values.push_back(std::move(*v));
  }
  return values;
}

void CheckNewLayer(const NewLayer& layer) {
  if (layer.name.empty()) throw StoreError(StoreFault::BadValue, "a layer name cannot be empty");
  const auto kind = static_cast<int>(layer.kind);
  if (kind != 1 && kind != 2 && kind != 4 && kind != 5)
    throw StoreError(StoreFault::BadValue, "layer kind must be 1, 2, 4 or 5");
  if (!IsValidCellSize(layer.cellWidth) || !IsValidCellSize(layer.cellHeight) ||
      layer.cellWidth > 360 || layer.cellHeight > 180)
    throw StoreError(StoreFault::BadValue,
                     "cell size must be above 0 and at most 360 x 180 degrees");
  std::set<std::string> names;
  for (const FieldDef& f : layer.fields) {
    if (f.name.empty() || !IsKnownFieldType(f.type))
      throw StoreError(StoreFault::BadValue,
                       "field '" + f.name + "' has an unknown type " + std::to_string(f.type));
    std::string up = f.name;
    for (char& c : up) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (!names.insert(up).second)
      throw StoreError(StoreFault::BadValue, "field '" + f.name + "' given twice");
  }
}

bool ValidMapName(const std::string& name) {
  if (name.empty() || name.size() > 255) return false;
  for (unsigned char c : name)
    if (c < 0x20 || c == 0x7F) return false;
  return name.find_first_not_of(' ') != std::string::npos;
}

void CheckMapValues(const MapDefinition& map) {
  if (std::string why = MapValuesProblem(map); !why.empty())
    throw StoreError(StoreFault::BadValue, "map: " + why);
  std::set<std::int32_t> seen;
  for (const LayerRecord& l : map.layers) {
    if (!seen.insert(l.id).second)
      throw StoreError(StoreFault::BadValue, "layer " + std::to_string(l.id) + " listed twice");
    if (std::string why = SetupProblem(l); !why.empty())
      throw StoreError(StoreFault::BadValue, "layer " + std::to_string(l.id) + ": " + why);
  }
}

}  // namespace orvenda::server
