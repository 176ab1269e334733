#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "model/entidad.h"

namespace orvenda {

// Storage for the elements of one collection, carved from blocks of 1024 so
// that loading a million points is not a million heap allocations. Elements
// never move; a destroyed element's place is reused. The owner destroys
// every live element before the pool goes.
class EntidadPool {
 public:
  EntidadPool() = default;
  EntidadPool(const EntidadPool&) = delete;
  EntidadPool& operator=(const EntidadPool&) = delete;

  // A new, default-constructed element.
  Entidad* Create();
  void Destroy(Entidad* element);

 private:
  static constexpr std::size_t kBlock = 1024;
  struct alignas(Entidad) Place {
    std::byte bytes[sizeof(Entidad)];
  };

  std::vector<std::unique_ptr<Place[]>> blocks_;
  std::size_t usedInLast_ = kBlock;
  std::vector<Place*> free_;
};

}  // namespace orvenda
