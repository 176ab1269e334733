#pragma once
// The layouts of the edit messages (205, 206, 207 new point, line, area; 208 changed
// geometry; 210 erase; 220 changed values) and of message 250, the change in a layer
// that the server pushes to every viewer of it. Writers build whole messages; readers
// start with the cursor just past the command code and throw a ProtocolError for a
// message that breaks its layout.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/tipolayer.h"
#include "protocol/dwbuffer.h"
#include "protocol/messagefields.h"

namespace orvenda {

// 205 (point), 206 (line), 207 (area). A point carries exactly one cell and one vertex.
struct NewElementEdit {
  std::int16_t code = 205;
  std::int32_t layerId = 0;
  std::vector<CellIJ> cells;
  std::vector<Point> points;
  float cellWidth = 0, cellHeight = 0;
  std::vector<std::string> values;  // one per field of the layer, in order
  friend bool operator==(const NewElementEdit&, const NewElementEdit&) = default;
};

DWBUffer WriteNewElement(const NewElementEdit& e);
// `code` is the command code already read: it decides the layout.
NewElementEdit ReadNewElement(DWBUffer& b, std::int16_t code);

// 208: the new vertices of an element, and where a line is broken in two (the vertex
// index from 1, or the vertex count when nothing is broken).
struct GeometryEdit {
  std::int32_t layerId = 0;
  std::int16_t kind = 0;
  std::int32_t elementId = 0;
  std::vector<CellIJ> cells;
  std::vector<Point> points;
  std::int32_t breakAt = 0;
  float cellWidth = 0, cellHeight = 0;
  friend bool operator==(const GeometryEdit&, const GeometryEdit&) = default;
};

DWBUffer WriteGeometryEdit(const GeometryEdit& e);
GeometryEdit ReadGeometryEdit(DWBUffer& b);

// 210.
struct EraseEdit {
  std::int32_t layerId = 0;
  std::vector<CellIJ> cells;
  std::int32_t elementId = 0;
  friend bool operator==(const EraseEdit&, const EraseEdit&) = default;
};

DWBUffer WriteErase(const EraseEdit& e);
EraseEdit ReadErase(DWBUffer& b);

// 220: every value of the element, one per field of the layer in order.
struct ValuesEdit {
  std::int32_t layerId = 0;
  std::vector<CellIJ> cells;
  std::int32_t elementId = 0;
  std::vector<std::string> values;
  friend bool operator==(const ValuesEdit&, const ValuesEdit&) = default;
};

DWBUffer WriteValuesEdit(const ValuesEdit& e);
ValuesEdit ReadValuesEdit(DWBUffer& b);

namespace layerchange {
inline constexpr std::int16_t kNewElement = 1;
inline constexpr std::int16_t kElementRemoved = 2;
inline constexpr std::int16_t kValuesChanged = 3;
inline constexpr std::int16_t kGridLimits = 4;
inline constexpr std::int16_t kCellValuesStale = 5;
inline constexpr std::int16_t kGeometryChanged = 6;
// Vertex and value counts of message 250 are 16-bit.
inline constexpr std::size_t kMaxCount = 32767;
}  // namespace layerchange

// Message 250. Which fields travel depends on the operation: points for 1 and 6,
// values for 1 and 3, the grid limits (minCol, minRow, maxCol, maxRow) for 4, cells
// for 5.
struct LayerChange {
  std::int16_t operation = 0;
  std::int32_t layerId = 0;
  std::int32_t elementId = 0;
  std::vector<Point> points;
  std::vector<std::string> values;
  std::array<std::int32_t, 4> limits{};
  std::vector<CellIJ> cells;
  friend bool operator==(const LayerChange&, const LayerChange&) = default;
};

// Throws MalformedField when points or values exceed the 16-bit counts.
DWBUffer WriteLayerChange(const LayerChange& c);
LayerChange ReadLayerChange(DWBUffer& b);

}  // namespace orvenda
