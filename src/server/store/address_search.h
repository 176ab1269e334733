// The rules of the address search (request 230), one for both backends: the backend
// offers the segments of a layer with their name and house numbers, this picks and
// orders the candidates and places the number along each one.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "store/store.h"

namespace orvenda::server {

// The field that names a street: the first one called NOMBRE, NAME or CALLE (any
// case), otherwise the layer's first text field.
std::optional<std::size_t> StreetNameField(const std::vector<FieldDef>& fields);

class AddressSearch {
 public:
  AddressSearch(const std::string& street, std::int64_t number);
  // Nothing can match an empty name.
  bool Hopeless() const { return wanted_.empty(); }
  // One segment of the layer; those whose name does not match, or without both house
  // numbers, are left out.
  void Offer(std::int32_t id, const Value& name, const Value& first, const Value& second,
             const Box& box);
  // The candidates in order, at most `limit`; `pointsOf` gives a segment's vertices.
  std::vector<AddressCandidate> Candidates(
      std::size_t limit, const std::function<std::vector<Point>(std::int32_t)>& pointsOf) const;

 private:
  struct Segment {
    std::int32_t id = 0;
    std::string name;
    Value first, second;
    std::int64_t lo = 0, hi = 0;  // first and second house number
    Box box;
    // How far the asked number lies outside the segment's range (0 inside it).
    std::int64_t Distance(std::int64_t number) const;
  };
  std::string wanted_;
  std::int64_t number_;
  // By name: the exact name sorts first (its key starts with 0), then the others.
  std::map<std::string, std::vector<Segment>> byName_;
};

}  // namespace orvenda::server
