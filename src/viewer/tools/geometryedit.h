#pragma once
// Geometry editing without a widget: the edit buffer that holds what an edit took
// out of its layer, and the vertex actions on the edited list (current vertex
// from 1). An area is kept with its first vertex repeated last; the repeat is left
// out while editing, so that moving or deleting the first vertex cannot leave a
// stray copy behind, and is put back when the edit is sent.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "model/tipolayer.h"
#include "protocol/messagefields.h"

namespace orvenda {

class layer;

// An element taken out of its layer, as it was.
struct HeldElement {
  std::int32_t ID = 0;
  std::vector<Point> points;
  std::string ThemeValue;
  std::int32_t ThemeCode = 1;
  std::int32_t IDLabel = 0;
  std::int16_t Direction = 0;
};

struct GeometryEditBuffer {
  HeldElement element;
  bool closedRing = false;
  // The elements "Join" absorbed, in order.
  std::vector<HeldElement> joined;
  // The vertex "Break" chose; 0 when none.
  std::int32_t breakAt = 0;
};

// Takes an element out of the layer's Entidades; nothing when it holds none.
std::optional<HeldElement> TakeOut(layer& lay, std::int32_t id);
// Puts the element into the layer with `points`, in place of an element of the
// same ID that a cell reply or a pushed change added meanwhile.
void PutBack(layer& lay, const HeldElement& held, std::span<const Point> points);

struct JoinedVertices {
  std::vector<Point> points;
  std::int32_t current = 1;
};
// Join: the other element's vertices added at the end of the edited ones nearest
// to them (the start when the current vertex is the first, the end when it is the
// last), facing them; exact repeats next to each other kept once. The current
// vertex stays on the same vertex (on the copy kept when it was a repeat).
JoinedVertices JoinVertices(std::span<const Point> edited, std::int32_t current,
                            std::span<const Point> other);

// Delete: lines keep 2 vertices and areas 3; false when nothing was deleted.
// The current index stays within the list.
bool DeleteVertex(TipoLayer kind, std::vector<Point>& vertices, std::int32_t& current);

// Distinct grid cells (row, column) of the vertices, in vertex order; none for a
// cell size the grid rule cannot divide by.
std::vector<CellIJ> CellsOfVertices(std::span<const Point> points, float cellWidth,
                                    float cellHeight);

}  // namespace orvenda
