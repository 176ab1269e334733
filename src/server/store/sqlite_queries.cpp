// SqliteStore: finding elements by condition (request 13), filtering a selection by
// constraints (14) and finding street addresses (230).
#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <map>
#include <numbers>
#include <unordered_set>

#include "store/condition.h"
#include "store/field_types.h"
#include "store/sqlite_store.h"

namespace orvenda::server {
namespace {

std::string Upper(std::string t) {
  for (char& c : t) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return t;
}

std::string Trim(const std::string& s) {
  const auto b = s.find_first_not_of(' ');
  return b == std::string::npos ? std::string() : s.substr(b, s.find_last_not_of(' ') - b + 1);
}

// The point at fraction t (0..1) of the length of a polyline. Lengths are measured with
// longitudes shrunk by the cosine of the latitude, so the fraction is that of the
// ground (to well within a street's width) rather than of raw degrees.
Point Along(const std::vector<Point>& pts, double t) {
  if (pts.size() < 2) return pts.empty() ? Point{} : pts[0];
  const double shrink = std::cos(pts[0].y * std::numbers::pi / 180);
  auto length = [&](std::size_t i) {
    return std::hypot((pts[i].x - pts[i - 1].x) * shrink, pts[i].y - pts[i - 1].y);
  };
  double total = 0;
  for (std::size_t i = 1; i < pts.size(); ++i) total += length(i);
  double left = std::clamp(t, 0.0, 1.0) * total;
  for (std::size_t i = 1; i < pts.size(); ++i) {
    const double len = length(i);
    if (left <= len && len > 0) {
      const double f = left / len;
      return {pts[i - 1].x + f * (pts[i].x - pts[i - 1].x),
              pts[i - 1].y + f * (pts[i].y - pts[i - 1].y)};
    }
    left -= len;
  }
  return pts.back();
}

// House numbers are kept within +-1e15, where their differences cannot overflow.
constexpr std::int64_t kLargestNumber = 1'000'000'000'000'000;

std::optional<std::int64_t> AsInteger(const Value& v) {
  std::optional<std::int64_t> n;
  if (const auto* i = std::get_if<std::int64_t>(&v)) n = *i;
  if (const auto* d = std::get_if<double>(&v); d && std::fabs(*d) < 1e15)
    n = static_cast<std::int64_t>(*d);
  if (const auto* s = std::get_if<std::string>(&v)) {
    const std::string t = Trim(*s);
    std::int64_t parsed = 0;
    auto [p, ec] = std::from_chars(t.data(), t.data() + t.size(), parsed);
    if (ec == std::errc() && p == t.data() + t.size() && !t.empty()) n = parsed;
  }
  if (n && std::llabs(*n) > kLargestNumber) return std::nullopt;
  return n;
}

// The field that names a street: the first one called NOMBRE, NAME or CALLE (any
// case), otherwise the layer's first text field.
std::optional<std::size_t> NameField(const std::vector<FieldDef>& fields) {
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const std::string n = Upper(fields[i].name);
    if ((n == "NOMBRE" || n == "NAME" || n == "CALLE") && !IsNumericFieldType(fields[i].type))
      return i;
  }
  for (std::size_t i = 0; i < fields.size(); ++i)
    if (!IsNumericFieldType(fields[i].type)) return i;
  return std::nullopt;
}

// One street segment whose name matched an address search.
struct Segment {
  std::int32_t id = 0;
  std::string name;
  Value first, second;
  std::int64_t lo = 0, hi = 0;  // first and second house number
  Box box;
  // How far the asked number lies outside the segment's range (0 inside it).
  std::int64_t Distance(std::int64_t number) const {
    const std::int64_t a = std::min(lo, hi), b = std::max(lo, hi);
    return number < a ? a - number : number > b ? number - b : 0;
  }
};

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

std::optional<std::vector<MatchedElement>> SqliteStore::MatchElements(
    std::int32_t layerId, const std::vector<std::int32_t>& candidates,
    const std::vector<Condition>& conditions, std::size_t limit) {
  if (!HasLayer(layerId)) return std::nullopt;
  const LayerShape& s = Shape(layerId);
  std::vector<std::pair<std::size_t, ConditionTest>> tests;
  for (const Condition& c : conditions) {
    const auto pos = FieldPosition(s, c.field);
    if (!pos) return std::nullopt;
    tests.emplace_back(*pos, ConditionTest(c, s.fields[*pos].type));
  }
  std::vector<MatchedElement> out;
  auto offer = [&](std::int32_t id, std::vector<AttributeValue> values) {
    for (const auto& [pos, test] : tests)
      if (!test(values[pos].value)) return;
    out.push_back({id, std::move(values)});
  };
  if (!candidates.empty()) {
    std::unordered_set<std::int32_t> seen;
    for (std::int32_t id : candidates) {
      if (out.size() >= limit) break;
      if (!seen.insert(id).second) continue;
      if (auto values = ElementAttributes(layerId, id)) offer(id, std::move(*values));
    }
    return out;
  }
  // The whole layer in one pass over its values, element by element.
  auto& st = Cached(
      "SELECT e.id, a.position, a.value FROM elements e LEFT JOIN attributes a "
      "ON a.layer_id = e.layer_id AND a.element_id = e.id WHERE e.layer_id = ? "
      "ORDER BY e.id, a.position");
  st.Bind(1, std::int64_t{layerId});
  std::optional<std::int32_t> current;
  std::vector<AttributeValue> values;
  auto fresh = [&] {
    values.assign(s.fields.size(), {});
    for (std::size_t i = 0; i < s.fields.size(); ++i) values[i].type = s.fields[i].type;
  };
  while (out.size() < limit && st.Step()) {
    const auto id = static_cast<std::int32_t>(st.Integer(0));
    if (current != id) {
      if (current) offer(*current, std::move(values));
      current = id;
      fresh();
    }
    const Value pos = st.ColumnValue(1);
    if (const auto* p = std::get_if<std::int64_t>(&pos); p && *p >= 0 && *p < std::ssize(values))
      values[static_cast<std::size_t>(*p)].value = st.ColumnValue(2);
  }
  if (current && out.size() < limit) offer(*current, std::move(values));
  st.Reset();
  return out;
}

// Addresses: the street name is the NameField; NUMINI and NUMFIN hold the house
// numbers at the first and at the last vertex of each segment (a segment without both
// is left out). Segments whose name equals the asked one (ASCII case ignored, spaces
// around it too) come first, then those whose name starts with it, grouped by name in
// alphabetical order; no other name matches. Of each name, the segments whose range
// holds the number are kept; when none does, the segments of that name nearest to it.
// The point is the number interpolated by length between the two ends, held at the
// nearer end for a number outside the range. It lies on the line: no side is taken
// for odd and even numbers, as the data says nothing of which side holds which.
std::vector<AddressCandidate> SqliteStore::FindAddress(std::int32_t layerId,
                                                       const std::string& street,
                                                       std::int64_t number, std::size_t limit) {
  std::vector<AddressCandidate> out;
  if (!HasLayer(layerId)) return out;
  number = std::clamp(number, -kLargestNumber, kLargestNumber);
  const LayerShape& s = Shape(layerId);
  const auto first = FieldPosition(s, "NUMINI"), second = FieldPosition(s, "NUMFIN");
  const auto name = NameField(s.fields);
  const std::string wanted = Upper(Trim(street));
  if (!first || !second || !name || wanted.empty()) return out;
  auto& st = Cached(
      "SELECT e.id, n.value, f.value, l.value, e.min_x, e.min_y, e.max_x, e.max_y "
      "FROM elements e JOIN attributes n ON n.layer_id = e.layer_id AND n.element_id = e.id "
      "AND n.position = ?2 "
      "LEFT JOIN attributes f ON f.layer_id = e.layer_id AND f.element_id = e.id "
      "AND f.position = ?3 "
      "LEFT JOIN attributes l ON l.layer_id = e.layer_id AND l.element_id = e.id "
      "AND l.position = ?4 WHERE e.layer_id = ?1 ORDER BY e.id");
  st.Bind(1, std::int64_t{layerId}).Bind(2, static_cast<std::int64_t>(*name));
  st.Bind(3, static_cast<std::int64_t>(*first)).Bind(4, static_cast<std::int64_t>(*second));
  // By name: the exact name sorts first (its key starts with 0), then the others.
  std::map<std::string, std::vector<Segment>> byName;
  while (st.Step()) {
    Segment g;
    g.name = ValueText(st.ColumnValue(1));
    const std::string key = Upper(Trim(g.name));
    if (key.compare(0, wanted.size(), wanted) != 0) continue;
    g.first = st.ColumnValue(2);
    g.second = st.ColumnValue(3);
    const auto lo = AsInteger(g.first), hi = AsInteger(g.second);
    if (!lo || !hi) continue;
    g.id = static_cast<std::int32_t>(st.Integer(0));
    g.lo = *lo;
    g.hi = *hi;
    g.box = {st.Real(4), st.Real(5), st.Real(6), st.Real(7)};
    byName[(key == wanted ? "0" : "1") + key].push_back(std::move(g));
  }
  st.Reset();
  auto& geometry = Cached("SELECT points FROM elements WHERE layer_id = ? AND id = ?");
  for (auto& [key, segments] : byName) {
    std::int64_t nearest = segments.front().Distance(number);
    for (const Segment& g : segments) nearest = std::min(nearest, g.Distance(number));
    for (const Segment& g : segments) {
      if (g.Distance(number) != nearest) continue;
      if (out.size() >= limit) return out;
      geometry.Bind(1, std::int64_t{layerId}).Bind(2, std::int64_t{g.id});
      std::vector<Point> pts;
      if (geometry.Step()) {
        const std::string_view blob = geometry.Blob(0);
        pts.resize(blob.size() / (2 * sizeof(double)));
        std::memcpy(pts.data(), blob.data(), pts.size() * 2 * sizeof(double));
      }
      geometry.Reset();
      double t = number < g.lo ? 0 : number > g.lo ? 1 : 0.5;
      if (g.hi != g.lo) t = static_cast<double>(number - g.lo) / static_cast<double>(g.hi - g.lo);
      out.push_back({g.id, g.name, ValueText(g.first), ValueText(g.second), g.box, Along(pts, t)});
    }
  }
  return out;
}

}  // namespace orvenda::server
