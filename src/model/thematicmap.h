#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/keyedcollection.h"
#include "model/theme.h"

namespace orvenda {

// A layer's thematic classes in order, plus the counter that names them:
// each Add stores its class under the decimal text of the incremented
// counter; Remove does not lower it and Clear resets it to 0. Position 1 is
// the layer's default class. An absent key or position raises
// std::out_of_range.
class ThematicMap {
 public:
  Theme& Add(int16_t DrawStyle, int16_t DrawWidth, uint32_t DrawColor, uint32_t FillColor,
             int16_t FillStyle, const std::string& ValMin, const std::string& ValMax);
  Theme& Item(std::string_view key) const { return items_.ItemOrThrow(key); }
  Theme& Item(int32_t position) const { return items_.ItemAt(position); }
  // The class under the key, nullptr when absent.
  [[nodiscard]] Theme* Find(std::string_view key) const { return items_.Find(key); }
  [[nodiscard]] int32_t count() const { return items_.count(); }
  void Remove(std::string_view key) { items_.Remove(key); }
  void Remove(int32_t position) { items_.RemoveAt(position); }
  void Clear();
  [[nodiscard]] auto begin() const { return items_.begin(); }
  [[nodiscard]] auto end() const { return items_.end(); }

  // Position (from 1) of the first class that `value` falls in, for a field
  // of type `fieldType`; nothing when none matches. Text fields compare the
  // value without surrounding spaces to `min`, the default class included;
  // other fields skip position 1 and test min <= value <= max numerically.
  [[nodiscard]] std::optional<int32_t> ClassOf(std::string_view value, int32_t fieldType) const;

 private:
  KeyedCollection<Theme> items_;
  int32_t counter_ = 0;
};

// The number at the start of `text` (after leading white space: sign,
// digits, "." as decimal separator, exponent); 0 when there is none, so
// "15 m" reads 15 and "sin datos" reads 0.
[[nodiscard]] double LeadingNumber(std::string_view text);

}  // namespace orvenda
