#include "wirechecks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "model/layers.h"
#include "protocol/catalogue.h"
#include "render/viewtransform.h"
#include "viewer/viewer.h"

namespace orvenda::testing {

std::vector<Cell> CellRequests(const WireRelay& relay, std::size_t from, std::size_t to) {
  std::vector<Cell> cells;
  for (std::size_t n = from; n < std::min(to, relay.requests().size()); ++n) {
    if (relay.requests()[n].code != cmd::kCell) continue;
    DWBUffer f = relay.requests()[n].Fields();
    const std::int32_t layer = f.GetLong();
    const std::int32_t row = f.GetLong();
    cells.emplace_back(layer, row, f.GetLong());
  }
  return cells;
}

std::vector<std::int16_t> Codes(const std::vector<WireRelay::Message>& messages, int connection) {
  std::vector<std::int16_t> codes;
  for (const auto& m : messages) {
    if (m.connection == connection) codes.push_back(m.code);
  }
  return codes;
}

std::set<Cell> CellsOfTheView(Viewer& viewer) {
  const BoundingBox& v = viewer.view().ViewExtents;
  const auto index = [](double value, float delta) {
    return static_cast<std::int32_t>(std::nearbyint(value / static_cast<double>(delta)));
  };
  std::set<Cell> cells;
  for (const layer& lay : viewer.layers()) {
    if (!lay.Visible) continue;
    // The definition gives the row bounds first (minCol/maxCol), then the columns'.
    const std::int32_t r1 = std::max(index(v.MinY + 90, lay.GridDeltaY), lay.minCol);
    const std::int32_t r2 = std::min(index(v.MaxY + 90, lay.GridDeltaY), lay.maxCol);
    const std::int32_t c1 = std::max(index(v.MinX + 180, lay.GridDeltaX), lay.minRow);
    const std::int32_t c2 = std::min(index(v.MaxX + 180, lay.GridDeltaX), lay.maxRow);
    for (std::int32_t r = r1; r <= r2; ++r) {
      for (std::int32_t c = c1; c <= c2; ++c) cells.emplace(lay.IDLayer, r, c);
    }
  }
  return cells;
}

std::set<Cell> ExpectOnlyNewCellsOfTheView(const WireRelay& relay, std::size_t from,
                                           Viewer& viewer) {
  for (std::size_t n = from; n < relay.requests().size(); ++n) {
    const auto code = relay.requests()[n].code;
    EXPECT_TRUE(code == cmd::kCell || code == cmd::kCellValues) << "request " << code;
  }
  const std::vector<Cell> earlier = CellRequests(relay, 0, from);
  const std::set<Cell> before(earlier.begin(), earlier.end());
  const std::vector<Cell> now = CellRequests(relay, from);
  const std::set<Cell> asked(now.begin(), now.end());
  EXPECT_EQ(asked.size(), now.size()) << "a cell asked twice in one step";
  std::set<Cell> expected;
  for (const Cell& cell : CellsOfTheView(viewer)) {
    if (!before.contains(cell)) expected.insert(cell);
  }
  EXPECT_EQ(asked, expected) << "view " << Describe(viewer.view().ViewExtents);
  for (const Cell& cell : asked) EXPECT_FALSE(before.contains(cell)) << "asked again";
  return asked;
}

void ExpectValueRequestsOnce(const WireRelay& relay) {
  const std::vector<Cell> cells = CellRequests(relay);
  const std::set<Cell> asked(cells.begin(), cells.end());
  std::set<std::tuple<std::int32_t, std::int32_t, std::int32_t, std::string>> seen;
  for (const auto& m : relay.requests()) {
    if (m.code != cmd::kCellValues) continue;
    DWBUffer f = m.Fields();
    const std::int32_t layer = f.GetLong();
    const std::int32_t row = f.GetLong();
    const std::int32_t column = f.GetLong();
    const std::string field = f.GetString();
    EXPECT_TRUE(seen.emplace(layer, row, column, field).second)
        << "values of " << layer << " " << row << " " << column << " " << field << " asked twice";
    EXPECT_TRUE(asked.contains({layer, row, column})) << "values of a cell never asked for";
  }
}

}  // namespace orvenda::testing
