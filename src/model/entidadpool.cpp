#include "model/entidadpool.h"

#include <new>

namespace orvenda {

Entidad* EntidadPool::Create() {
  Place* place = nullptr;
  if (!free_.empty()) {
    place = free_.back();
    free_.pop_back();
  } else {
    if (usedInLast_ == kBlock) {
      blocks_.push_back(std::make_unique_for_overwrite<Place[]>(kBlock));
      usedInLast_ = 0;
    }
    place = &blocks_.back()[usedInLast_++];
  }
  return new (place->bytes) Entidad();
}

void EntidadPool::Destroy(Entidad* element) {
  element->~Entidad();
  // A place that cannot be listed for reuse (out of memory) stays unused.
  try {
    free_.push_back(reinterpret_cast<Place*>(element));
  } catch (const std::bad_alloc&) {
  }
}

}  // namespace orvenda
