// Grid cells: 2 -> 102 (the elements of one cell) and 5 -> 105 (one field's values
// for the elements of one cell).
#include <cmath>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "net/handlers/families.h"
#include "net/handlers/reply.h"
#include "protocol/byteimage.h"
#include "protocol/catalogue.h"

namespace orvenda::server {
namespace {

constexpr std::uint8_t kFullForm = 0;
constexpr std::uint8_t kRelativeForm = 1;
// A Single offset may move a vertex by at most this much (degrees); a cell that would
// lose more travels in Doubles.
constexpr double kMaxRelativeError = 1e-7;
// Elements of at least this many points are sent once per connection; smaller ones
// are sent with every cell they meet, which costs little and keeps the set small.
constexpr std::size_t kSentOnceFrom = 256;

struct CellRequest {
  std::int32_t layer = 0, i = 0, j = 0;
};

DWBUffer CellReply(const CellRequest& r, std::uint8_t form, double ox, double oy,
                   std::size_t expected = 0) {
  DWBUffer b = StartReply(cmd::kCellReply, expected);
  b.PutLong(r.layer);
  b.PutLong(r.i);
  b.PutLong(r.j);
  b.PutByte(form);
  b.PutDouble(ox);
  b.PutDouble(oy);
  return b;
}

// The cell's origin is the position its indices stand for: the centre of the cell
// under the nearest-integer rule, so offsets stay within half a cell for the elements
// that lie inside it.
std::optional<std::pair<double, double>> CellOrigin(HandlerContext& ctx, const CellRequest& r) {
  auto it = ctx.conn.grids.find(r.layer);
  if (it == ctx.conn.grids.end()) {
    const auto info = ctx.store.FindLayerInfo(r.layer);
    if (!info) return std::nullopt;
    it = ctx.conn.grids.emplace(r.layer, info->grid).first;
  }
  const LayerGrid& g = it->second;
  return std::pair{r.j * static_cast<double>(g.cellWidth) - 180.0,
                   r.i * static_cast<double>(g.cellHeight) - 90.0};
}

bool FitsRelative(const std::vector<CellElement>& elements, double ox, double oy) {
  for (const CellElement& e : elements) {
    for (const Point& p : e.points) {
      const float dx = static_cast<float>(p.x - ox);
      const float dy = static_cast<float>(p.y - oy);
      if (!std::isfinite(dx) || !std::isfinite(dy)) return false;
      if (std::abs(ox + static_cast<double>(dx) - p.x) > kMaxRelativeError ||
          std::abs(oy + static_cast<double>(dy) - p.y) > kMaxRelativeError) {
        return false;
      }
    }
  }
  return true;
}

}  // namespace

DWBUffer EmptyCellReply(LenientReader& request) {
  CellRequest r;
  r.layer = request.Long();
  r.i = request.Long();
  r.j = request.Long();
  DWBUffer b = CellReply(r, kFullForm, 0, 0);
  b.PutLong(0);
  return FinishReply(std::move(b));
}

DWBUffer EmptyCellValuesReply(LenientReader& request) {
  const std::int32_t layer = request.Long();
  request.Long();
  request.Long();
  const std::string field = request.String();
  DWBUffer b = StartReply(cmd::kCellValuesReply);
  b.PutLong(layer);
  b.PutString(field);
  b.PutLong(0);
  return FinishReply(std::move(b));
}

std::optional<DWBUffer> HandleCell(DWBUffer& request, HandlerContext& ctx) {
  constexpr const char* kWhat = "grid cell (2)";
  CellRequest r;
  if (!ReadRequest(ctx, kWhat, [&] {
        r.layer = request.GetLong();
        r.i = request.GetLong();
        r.j = request.GetLong();
      })) {
    return std::nullopt;
  }
  if (!ctx.CanRead(r.layer, kWhat)) return std::nullopt;
  const auto origin = CellOrigin(ctx, r);
  if (!origin) {
    ctx.Refused(kWhat, "no layer " + std::to_string(r.layer));
    return std::nullopt;
  }
  ElementIds& sent = ctx.conn.sentElements[r.layer];
  auto elements = ctx.store.CellElements(r.layer, CellKey{r.i, r.j}, sent);
  const auto [ox, oy] = *origin;
  const bool relative = FitsRelative(elements, ox, oy);
  // Elements past the client's message limit are left out (and said so in the log):
  // the rest of the cell still shows.
  std::size_t expected = 43, kept = 0;
  for (; kept < elements.size(); ++kept) {
    const std::size_t size = 8 + elements[kept].points.size() * (relative ? 8 : 16);
    if (expected + size > kLongestReply) {
      ctx.Log("cell (" + std::to_string(r.i) + ", " + std::to_string(r.j) + ") of layer " +
              std::to_string(r.layer) + ": " + std::to_string(elements.size() - kept) +
              " element(s) left out, past the longest reply");
      break;
    }
    expected += size;
    if (elements[kept].points.size() >= kSentOnceFrom) sent.insert(elements[kept].id);
  }
  elements.resize(kept);
  DWBUffer b = relative ? CellReply(r, kRelativeForm, ox, oy, expected)
                        : CellReply(r, kFullForm, 0, 0, expected);
  b.PutLong(static_cast<std::int32_t>(elements.size()));
  std::vector<std::uint8_t> vertices;  // one element's, appended at once
  for (const CellElement& e : elements) {
    b.PutLong(e.id);
    b.PutLong(static_cast<std::int32_t>(e.points.size()));
    vertices.resize(e.points.size() * (relative ? 8 : 16));
    std::uint8_t* at = vertices.data();
    const auto put = [&at](auto value) {
      const auto image = byteimage::ToBytes(value);
      at = std::copy(image.begin(), image.end(), at);
    };
    for (const Point& p : e.points) {
      if (relative) {
        put(static_cast<float>(p.x - ox));
        put(static_cast<float>(p.y - oy));
      } else {
        put(p.x);
        put(p.y);
      }
    }
    b.Add2Buffer(vertices);
  }
  return FinishReply(std::move(b));
}

std::optional<DWBUffer> HandleCellValues(DWBUffer& request, HandlerContext& ctx) {
  constexpr const char* kWhat = "cell values (5)";
  CellRequest r;
  std::string field;
  if (!ReadRequest(ctx, kWhat, [&] {
        r.layer = request.GetLong();
        r.i = request.GetLong();
        r.j = request.GetLong();
        field = request.GetString();
      })) {
    return std::nullopt;
  }
  if (!ctx.CanRead(r.layer, kWhat)) return std::nullopt;
  const auto found = ctx.store.FindCellFieldValues(r.layer, CellKey{r.i, r.j}, field);
  if (!found) {
    ctx.Refused(kWhat, "layer " + std::to_string(r.layer) + " has no field '" + field + "'");
    return std::nullopt;
  }
  // Each distinct text travels once; elements point to it by position (from 1).
  std::vector<std::string_view> values;
  std::unordered_map<std::string_view, std::int32_t> positionOf;
  std::vector<std::pair<std::int32_t, std::int32_t>> pairs;
  for (const auto& ref : found->refs) {
    if (ref.position < 1 || static_cast<std::size_t>(ref.position) > found->values.size()) continue;
    const std::string_view text = found->values[static_cast<std::size_t>(ref.position - 1)];
    auto [it, added] = positionOf.try_emplace(text, static_cast<std::int32_t>(values.size() + 1));
    if (added) values.push_back(text);
    pairs.emplace_back(ref.elementId, it->second);
  }
  DWBUffer b = StartReply(cmd::kCellValuesReply);
  b.PutLong(r.layer);
  b.PutString(field);
  b.PutLong(static_cast<std::int32_t>(pairs.size()));
  if (!pairs.empty()) {
    for (const auto& [id, position] : pairs) {
      b.PutLong(id);
      b.PutLong(position);
    }
    b.PutLong(static_cast<std::int32_t>(values.size()));
    for (const std::string_view v : values) PutTextCut(b, v);
  }
  return FinishReply(std::move(b));
}

}  // namespace orvenda::server
