#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "model/keyedcollection.h"
#include "model/layer.h"

namespace orvenda {

class LayerOwner;

// The open map's layers in drawing order (first drawn first), keyed by the
// decimal text of IDLayer. Item by an absent key answers nullptr; every
// other misuse (absent key to Remove or Move, bad position, repeated key)
// raises.
class Layers {
 public:
  // A new layer named `name` under `key` (whose number becomes IDLayer),
  // visible and selectable, with the viewer's image index for that name.
  layer& Add(const std::string& name, const std::string& key, TipoLayer kind, LayerOwner* viewer);
  [[nodiscard]] layer* Item(std::string_view key) const { return items_.Find(key); }
  // By 1-based position; std::out_of_range when there is none.
  layer& Item(int32_t position) const { return items_.ItemAt(position); }
  [[nodiscard]] int32_t count() const { return items_.count(); }
  void Remove(std::string_view key) { items_.Remove(key); }
  // Moves the layer under `key` to just before `position` (counted once it
  // is taken out), or to the end when the position is past the others;
  // nothing happens when the layer at `position` is the same layer.
  void Move(std::string_view key, int32_t position);
  void Clear() { items_.Clear(); }
  [[nodiscard]] auto begin() const { return items_.begin(); }
  [[nodiscard]] auto end() const { return items_.end(); }

 private:
  KeyedCollection<layer> items_;
};

}  // namespace orvenda
