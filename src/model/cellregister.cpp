#include "model/cellregister.h"

namespace orvenda {

void CellRegister::Record(int32_t i, int32_t j) {
  cells_.push_back({i, j});
  known_.insert(Key(i, j));
}

bool CellRegister::Contains(int32_t i, int32_t j) const { return known_.contains(Key(i, j)); }

void CellRegister::Clear() {
  cells_.clear();
  known_.clear();
}

}  // namespace orvenda
