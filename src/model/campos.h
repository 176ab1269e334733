#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "model/campo.h"
#include "model/keyedcollection.h"

namespace orvenda {

// A layer's attribute fields, keyed by field name, in arrival order. An
// absent key or position raises std::out_of_range; a repeated name raises
// DuplicateKeyError.
class Campos {
 public:
  Campo& Add(const std::string& Nombre, int16_t Tipo);
  Campo& Item(std::string_view key) const { return items_.ItemOrThrow(key); }
  Campo& Item(int32_t position) const { return items_.ItemAt(position); }
  [[nodiscard]] int32_t count() const { return items_.count(); }
  void Remove(std::string_view key) { items_.Remove(key); }
  void Remove(int32_t position) { items_.RemoveAt(position); }
  [[nodiscard]] auto begin() const { return items_.begin(); }
  [[nodiscard]] auto end() const { return items_.end(); }

 private:
  KeyedCollection<Campo> items_;
};

}  // namespace orvenda
