#include "model/entidades.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string>

namespace orvenda {

namespace {

// Parses the canonical decimal text of an ID; anything else names no element.
std::optional<int32_t> ParseKey(std::string_view key) {
  int32_t id = 0;
  const char* end = key.data() + key.size();
  const auto result = std::from_chars(key.data(), end, id);
  if (result.ec != std::errc() || result.ptr != end || std::to_string(id) != key) {
    return std::nullopt;
  }
  return id;
}

}  // namespace

Entidades::~Entidades() {
  for (Entidad* element : slots_) {
    if (element != nullptr) pool_.Destroy(element);
  }
}

Entidad& Entidades::Add(int32_t ID, std::span<const Point> Points, layer* parentLayer) {
  // Everything that may fail to allocate happens before the collection
  // changes, so a failed Add leaves it as it was.
  if (slots_.size() == slots_.capacity())
    slots_.reserve(std::max<std::size_t>(64, 2 * slots_.size()));
  if (newIDs_.size() == newIDs_.capacity())
    newIDs_.reserve(std::max<std::size_t>(64, 2 * newIDs_.size()));
  index_.Reserve(index_.size() + 1);
  Entidad* element = pool_.Create();
  try {
    element->SetPoints(Points);
  } catch (...) {
    pool_.Destroy(element);
    throw;
  }
  element->ID = ID;
  element->parentLayer = parentLayer;
  // Also extends the parent layer's box by the element's.
  element->CalculateBoundingBox();
  element->ThemeCode = 1;

  const uint32_t previous = index_.Put(ID, static_cast<uint32_t>(slots_.size()));
  if (previous != IdIndex::kNone) {
    Vacate(previous);  // a replaced element goes to the end of the order
  }
  slots_.push_back(element);
  newIDs_.push_back(ID);
  if (holes_ > slots_.size() / 2) {
    Compact();
  }
  return *element;
}

Entidad* Entidades::Item(std::string_view key) const {
  const auto id = ParseKey(key);
  return id ? ItemByID(*id) : nullptr;
}

Entidad* Entidades::Item(int32_t position) const {
  if (position < 1 || position > count()) {
    return nullptr;
  }
  if (holes_ > 0) {
    Compact();
  }
  return slots_[static_cast<std::size_t>(position - 1)];
}

Entidad* Entidades::ItemByID(int32_t ID) const {
  const uint32_t slot = index_.Find(ID);
  return slot == IdIndex::kNone ? nullptr : slots_[slot];
}

void Entidades::Remove(std::string_view key) {
  if (const auto id = ParseKey(key)) {
    RemoveID(*id);
  }
}

void Entidades::RemoveID(int32_t ID) {
  const uint32_t slot = index_.Find(ID);
  if (slot == IdIndex::kNone) {
    return;
  }
  Vacate(slot);
  index_.Erase(ID);
}

std::vector<int32_t> Entidades::GetNewIDs() {
  std::vector<int32_t> ids;
  ids.swap(newIDs_);
  return ids;
}

void Entidades::Reserve(std::size_t n) {
  slots_.reserve(n);
  index_.Reserve(n);
}

void Entidades::Vacate(std::size_t slot) {
  pool_.Destroy(slots_[slot]);
  slots_[slot] = nullptr;
  ++holes_;
}

void Entidades::Compact() const {
  std::size_t to = 0;
  for (Entidad* element : slots_) {
    if (element != nullptr) {
      index_.Put(element->ID, static_cast<uint32_t>(to));
      slots_[to++] = element;
    }
  }
  slots_.resize(to);
  holes_ = 0;
}

}  // namespace orvenda
