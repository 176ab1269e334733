#include "host/layertable.h"

#include "model/layers.h"

namespace orvenda {

void LayerTable::FillNames(const Layers& layers) {
  rows_.clear();
  for (std::int32_t i = 1; i <= layers.count(); ++i) {
    const layer& l = layers.Item(i);
    rows_.push_back({l.Nombre, l.IDLayer, false, 0});
  }
}

void LayerTable::FillAll(const Layers& layers) {
  rows_.clear();
  for (std::int32_t i = 1; i <= layers.count(); ++i) {
    const layer& l = layers.Item(i);
    rows_.push_back({l.Nombre, l.IDLayer, l.Visible, l.Tipo});
  }
}

std::int32_t LayerTable::GetIDLayer(const std::string& name) const {
  for (const auto& row : rows_) {
    if (row.name == name) return row.id;
  }
  return 0;
}

std::vector<std::string> LayerTable::ListedNames() const {
  std::vector<std::string> names;
  for (const auto& row : rows_) {
    if (row.type == ImageLayer || !row.visible) continue;
    names.push_back(row.name);
  }
  return names;
}

int WidenedComboWidth(int currentWidth, int nameWidth, int padding) {
  return currentWidth - padding < nameWidth ? nameWidth + padding : currentWidth;
}

}  // namespace orvenda
