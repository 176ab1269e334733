#include "model/entidades.h"

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

Entidad& Entidades::Add(int32_t ID, std::span<const Point> Points, layer* parentLayer) {
  auto element = std::make_unique<Entidad>();
  element->ID = ID;
  element->SetPoints(Points);
  element->parentLayer = parentLayer;
  // Also extends the parent layer's box by the element's.
  element->CalculateBoundingBox();
  element->ThemeCode = 1;
  Entidad& added = *element;

  const uint32_t previous = index_.Put(ID, static_cast<uint32_t>(slots_.size()));
  if (previous != IdIndex::kNone) {
    Vacate(previous);  // a replaced element goes to the end of the order
  }
  slots_.push_back(std::move(element));
  newIDs_.push_back(ID);
  if (holes_ > slots_.size() / 2) {
    Compact();
  }
  return added;
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
  return slots_[static_cast<std::size_t>(position - 1)].get();
}

Entidad* Entidades::ItemByID(int32_t ID) const {
  const uint32_t slot = index_.Find(ID);
  return slot == IdIndex::kNone ? nullptr : slots_[slot].get();
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
  slots_[slot].reset();
  ++holes_;
}

void Entidades::Compact() const {
  std::size_t to = 0;
  for (auto& slot : slots_) {
    if (slot) {
      index_.Put(slot->ID, static_cast<uint32_t>(to));
      if (&slots_[to] != &slot) {
        slots_[to] = std::move(slot);
      }
      ++to;
    }
  }
  slots_.resize(to);
  holes_ = 0;
}

}  // namespace orvenda
