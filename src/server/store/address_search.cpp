// Addresses: NUMINI and NUMFIN hold the house numbers at the first and at the last
// vertex of each segment (a segment without both is left out). Segments whose name
// equals the asked one (ASCII case ignored, spaces around it too) come first, then
// those whose name starts with it, grouped by name in alphabetical order; no other
// name matches. Of each name, the segments whose range holds the number are kept; when
// none does, the segments of that name nearest to it. The point is the number
// interpolated by length between the two ends, held at the nearer end for a number
// outside the range. It lies on the line: no side is taken for odd and even numbers,
// as the data says nothing of which side holds which.
#include "store/address_search.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <numbers>

#include "store/field_types.h"

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

}  // namespace

std::optional<std::size_t> StreetNameField(const std::vector<FieldDef>& fields) {
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const std::string n = Upper(fields[i].name);
    if ((n == "NOMBRE" || n == "NAME" || n == "CALLE") && !IsNumericFieldType(fields[i].type))
      return i;
  }
  for (std::size_t i = 0; i < fields.size(); ++i)
    if (!IsNumericFieldType(fields[i].type)) return i;
  return std::nullopt;
}

std::int64_t AddressSearch::Segment::Distance(std::int64_t number) const {
  const std::int64_t a = std::min(lo, hi), b = std::max(lo, hi);
  return number < a ? a - number : number > b ? number - b : 0;
}

AddressSearch::AddressSearch(const std::string& street, std::int64_t number)
    : wanted_(Upper(Trim(street))), number_(std::clamp(number, -kLargestNumber, kLargestNumber)) {}

void AddressSearch::Offer(std::int32_t id, const Value& name, const Value& first,
                          const Value& second, const Box& box) {
  Segment g;
  g.name = ValueText(name);
  const std::string key = Upper(Trim(g.name));
  if (key.compare(0, wanted_.size(), wanted_) != 0) return;
  const auto lo = AsInteger(first), hi = AsInteger(second);
  if (!lo || !hi) return;
  g.first = first;
  g.second = second;
  g.id = id;
  g.lo = *lo;
  g.hi = *hi;
  g.box = box;
  byName_[(key == wanted_ ? "0" : "1") + key].push_back(std::move(g));
}

std::vector<AddressCandidate> AddressSearch::Candidates(
    std::size_t limit, const std::function<std::vector<Point>(std::int32_t)>& pointsOf) const {
  std::vector<AddressCandidate> out;
  for (const auto& [key, segments] : byName_) {
    std::int64_t nearest = segments.front().Distance(number_);
    for (const Segment& g : segments) nearest = std::min(nearest, g.Distance(number_));
    for (const Segment& g : segments) {
      if (g.Distance(number_) != nearest) continue;
      if (out.size() >= limit) return out;
      double t = number_ < g.lo ? 0 : number_ > g.lo ? 1 : 0.5;
      if (g.hi != g.lo) t = static_cast<double>(number_ - g.lo) / static_cast<double>(g.hi - g.lo);
      out.push_back(
          {g.id, g.name, ValueText(g.first), ValueText(g.second), g.box, Along(pointsOf(g.id), t)});
    }
  }
  return out;
}

}  // namespace orvenda::server
