// SqliteStore: finding elements by condition and by address.
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <unordered_map>

#include "store/condition.h"
#include "store/field_types.h"
#include "store/sqlite_store.h"

namespace orvenda::server {
namespace {

std::string Upper(std::string t) {
  for (char& c : t) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return t;
}

// The point at fraction t (0..1) of the length of a polyline.
Point Along(const std::vector<Point>& pts, double t) {
  if (pts.size() < 2) return pts.empty() ? Point{} : pts[0];
  double total = 0;
  for (std::size_t i = 1; i < pts.size(); ++i)
    total += std::hypot(pts[i].x - pts[i - 1].x, pts[i].y - pts[i - 1].y);
  double left = std::clamp(t, 0.0, 1.0) * total;
  for (std::size_t i = 1; i < pts.size(); ++i) {
    const double len = std::hypot(pts[i].x - pts[i - 1].x, pts[i].y - pts[i - 1].y);
    if (left <= len && len > 0) {
      const double f = left / len;
      return {pts[i - 1].x + f * (pts[i].x - pts[i - 1].x),
              pts[i - 1].y + f * (pts[i].y - pts[i - 1].y)};
    }
    left -= len;
  }
  return pts.back();
}

std::optional<std::int64_t> AsInteger(const Value& v) {
  if (const auto* i = std::get_if<std::int64_t>(&v)) return *i;
  if (const auto* d = std::get_if<double>(&v)) return static_cast<std::int64_t>(*d);
  if (const auto* s = std::get_if<std::string>(&v)) {
    std::int64_t n = 0;
    auto [p, ec] = std::from_chars(s->data(), s->data() + s->size(), n);
    if (ec == std::errc() && p != s->data()) return n;
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::vector<FoundElement>> SqliteStore::FindElements(std::int32_t layerId,
                                                                   const Condition& c,
                                                                   std::size_t limit) {
  if (!HasLayer(layerId)) return std::nullopt;
  const LayerShape& s = Shape(layerId);
  const auto pos = FieldPosition(s, c.field);
  if (!pos) return std::nullopt;
  const ConditionTest test(c, s.fields[*pos].type);
  // Elements without a stored value count as NULL: take them from the elements table.
  auto& st = Cached(
      "SELECT e.id, a.value FROM elements e LEFT JOIN attributes a ON a.layer_id = e.layer_id "
      "AND a.element_id = e.id AND a.position = ? WHERE e.layer_id = ? ORDER BY e.id");
  st.Bind(1, static_cast<std::int64_t>(*pos)).Bind(2, std::int64_t{layerId});
  std::vector<FoundElement> out;
  while (out.size() < limit && st.Step()) {
    Value v = st.ColumnValue(1);
    if (test(v)) out.push_back({static_cast<std::int32_t>(st.Integer(0)), std::move(v)});
  }
  st.Reset();
  return out;
}

std::optional<std::vector<std::int32_t>> SqliteStore::MatchElements(
    std::int32_t layerId, const std::vector<std::int32_t>& candidates,
    const std::vector<Condition>& conditions) {
  if (!HasLayer(layerId)) return std::nullopt;
  const LayerShape& s = Shape(layerId);
  std::vector<std::pair<std::size_t, ConditionTest>> tests;
  for (const Condition& c : conditions) {
    const auto pos = FieldPosition(s, c.field);
    if (!pos) return std::nullopt;
    tests.emplace_back(*pos, ConditionTest(c, s.fields[*pos].type));
  }
  std::vector<std::int32_t> out;
  for (std::int32_t id : candidates) {
    const auto values = ElementAttributes(layerId, id);
    if (!values) continue;
    bool ok = true;
    for (const auto& [pos, test] : tests) ok = ok && test((*values)[pos].value);
    if (ok) out.push_back(id);
  }
  return out;
}

std::vector<AddressCandidate> SqliteStore::FindAddress(std::int32_t layerId,
                                                       const std::string& street,
                                                       std::int64_t number, std::size_t limit) {
  std::vector<AddressCandidate> out;
  if (!HasLayer(layerId)) return out;
  const LayerShape& s = Shape(layerId);
  const auto first = FieldPosition(s, "NUMINI"), second = FieldPosition(s, "NUMFIN");
  std::optional<std::size_t> name;
  for (std::size_t i = 0; i < s.fields.size() && !name; ++i)
    if (!IsNumericFieldType(s.fields[i].type)) name = i;
  if (!first || !second || !name || street.empty()) return out;
  const std::string wanted = Upper(street);
  auto& st = Cached(
      "SELECT element_id, value FROM attributes WHERE layer_id = ? AND position = ? "
      "ORDER BY element_id");
  st.Bind(1, std::int64_t{layerId}).Bind(2, static_cast<std::int64_t>(*name));
  std::vector<std::pair<std::int32_t, std::string>> named;
  while (st.Step())
    if (std::string n = ValueText(st.ColumnValue(1)); Upper(n).find(wanted) != std::string::npos)
      named.emplace_back(static_cast<std::int32_t>(st.Integer(0)), std::move(n));
  st.Reset();
  for (auto& [id, n] : named) {
    if (out.size() >= limit) break;
    const auto values = ElementAttributes(layerId, id);
    const auto lo = AsInteger((*values)[*first].value);
    const auto hi = AsInteger((*values)[*second].value);
    if (!lo || !hi || number < std::min(*lo, *hi) || number > std::max(*lo, *hi)) continue;
    AddressCandidate c;
    c.id = id;
    c.street = n;
    c.firstNumber = std::to_string(*lo);
    c.secondNumber = std::to_string(*hi);
    c.box = *ElementExtent(layerId, id);
    auto& g = Cached("SELECT points FROM elements WHERE layer_id = ? AND id = ?");
    g.Bind(1, std::int64_t{layerId}).Bind(2, std::int64_t{id});
    std::vector<Point> pts;
    if (g.Step()) {
      const std::string_view blob = g.Blob(0);
      pts.resize(blob.size() / (2 * sizeof(double)));
      std::memcpy(pts.data(), blob.data(), pts.size() * 2 * sizeof(double));
    }
    g.Reset();
    const double t =
        *hi == *lo ? 0.5 : static_cast<double>(number - *lo) / static_cast<double>(*hi - *lo);
    c.point = Along(pts, t);
    out.push_back(std::move(c));
  }
  return out;
}

}  // namespace orvenda::server
