#include "model/layers.h"

#include <charconv>
#include <memory>
#include <stdexcept>

#include "model/layerowner.h"

namespace orvenda {

namespace {

int32_t LayerNumber(std::string_view key) {
  const auto first = key.find_first_not_of(' ');
  const auto last = key.find_last_not_of(' ');
  if (first == std::string_view::npos) {
    throw std::invalid_argument("layer key is not a number: \"\"");
  }
  const std::string_view digits = key.substr(first, last - first + 1);
  int32_t id = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), id);
  if (ec != std::errc() || end != digits.data() + digits.size()) {
    throw std::invalid_argument("layer key is not a number: \"" + std::string(key) + "\"");
  }
  return id;
}

}  // namespace

layer& Layers::Add(const std::string& name, const std::string& key, TipoLayer kind,
                   LayerOwner* viewer) {
  auto created = std::make_unique<layer>();
  created->Nombre = name;
  created->IDLayer = LayerNumber(key);
  created->Visible = true;
  created->Selectable = true;
  created->Tipo = kind;
  created->parentMap = viewer;
  layer& added = items_.Add(key, std::move(created));
  added.ImageName = name;
  added.ImageNumber = viewer != nullptr ? viewer->ImageIndexFor(name) : -1;
  return added;
}

void Layers::Move(std::string_view key, int32_t position) {
  const layer& moving = items_.ItemOrThrow(key);
  if (position < 1) {
    throw std::out_of_range("no layer at position " + std::to_string(position));
  }
  const layer* there = items_.FindAt(position);
  if (there != nullptr && there->IDLayer == moving.IDLayer) {
    return;
  }
  std::string kept(key);
  auto taken = items_.Take(key);
  items_.Insert(std::move(kept), std::move(taken), position);
}

}  // namespace orvenda
