#pragma once
// LayerTable: a document window's copy of its map's layers (name, IDLayer,
// visibility and kind, in the order of the viewer's Layers), refreshed when the
// map loads and after every redraw; it answers layer names to identifiers and
// which layers the active-layer combo lists.

#include <cstdint>
#include <string>
#include <vector>

#include "model/tipolayer.h"

namespace orvenda {

class Layers;

class LayerTable {
 public:
  struct Row {
    std::string name;
    std::int32_t id = 0;
    bool visible = false;  // as of the last redraw; false until then
    TipoLayer type = 0;    // likewise
  };

  // Names and identifiers only, as when the map has just loaded.
  void FillNames(const Layers& layers);
  // Names, identifiers, visibility and kind, as after a redraw.
  void FillAll(const Layers& layers);

  std::int16_t LayerCount() const { return static_cast<std::int16_t>(rows_.size()); }
  const std::vector<Row>& rows() const { return rows_; }

  // The IDLayer of the first layer with exactly this name; 0 when none has it.
  std::int32_t GetIDLayer(const std::string& name) const;

  // The names the combo lists, in order: visible layers that are not image layers.
  std::vector<std::string> ListedNames() const;

 private:
  std::vector<Row> rows_;
};

// The combo's width after listing a name `nameWidth` wide: it grows to the name
// plus `padding` (room for the arrow and frame) and never shrinks.
int WidenedComboWidth(int currentWidth, int nameWidth, int padding);

}  // namespace orvenda
