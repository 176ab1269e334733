#pragma once
// Checks of what a viewer asked the server for, read from a WireRelay's record:
// the grid cells a view needs against those it asked for.

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "wirerelay.h"

namespace orvenda {
class Viewer;
}

namespace orvenda::testing {

// (layer, row, column) of a grid cell.
using Cell = std::tuple<std::int32_t, std::int32_t, std::int32_t>;

// The cells asked for (request 2) by the requests at positions `from` to `to`
// (excluded; by default to the last one).
std::vector<Cell> CellRequests(const WireRelay& relay, std::size_t from = 0,
                               std::size_t to = SIZE_MAX);
// The codes of the messages of one connection, in order.
std::vector<std::int16_t> Codes(const std::vector<WireRelay::Message>& messages, int connection);
// The cells that cover the view of every layer the last redraw found visible:
// rows from latitude and columns from longitude, counted from -90 and -180 in
// steps of the layer's grid, to the nearest whole number (halves to even), within
// the rows and columns that the map definition gave for the layer.
std::set<Cell> CellsOfTheView(Viewer& viewer);
// What a step asked for since request `from`: only grid cells and their values,
// each cell once, and exactly the cells of the new view that no earlier step
// asked for. Answers the cells it asked for.
std::set<Cell> ExpectOnlyNewCellsOfTheView(const WireRelay& relay, std::size_t from,
                                           Viewer& viewer);
// Value requests (5: labels, directions, thematic values) name a layer, a cell
// and a field; none is sent twice, and each is for a cell its layer asked for.
void ExpectValueRequestsOnce(const WireRelay& relay);

}  // namespace orvenda::testing
