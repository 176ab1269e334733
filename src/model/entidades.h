#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "model/entidad.h"
#include "model/entidadpool.h"
#include "model/idindex.h"

namespace orvenda {

// A layer's elements, keyed by the decimal text of their ID, in arrival
// order, plus the IDs that arrived since the last GetNewIDs. Adding an ID
// already present replaces that element and moves it to the end. Look-ups
// with an absent key or position answer nullptr; removing an absent key does
// nothing. Iterators stay valid across Remove; Add and Item by position may
// reorganise the storage and invalidate them (elements themselves never
// move).
class Entidades {
 public:
  Entidades() = default;
  ~Entidades();
  Entidades(const Entidades&) = delete;
  Entidades& operator=(const Entidades&) = delete;

  Entidad& Add(int32_t ID, std::span<const Point> Points, layer* parentLayer);
  // By key: the canonical decimal text of an ID ("42", not "042").
  [[nodiscard]] Entidad* Item(std::string_view key) const;
  // By 1-based position in collection order.
  [[nodiscard]] Entidad* Item(int32_t position) const;
  [[nodiscard]] Entidad* ItemByID(int32_t ID) const;
  [[nodiscard]] int32_t count() const { return static_cast<int32_t>(index_.size()); }
  void Remove(std::string_view key);
  void RemoveID(int32_t ID);
  // IDs added since the previous call, in arrival order; empties the list.
  std::vector<int32_t> GetNewIDs();

  // Iteration in collection order, yielding Entidad&.
  class iterator {
   public:
    using Slots = std::vector<Entidad*>;
    iterator(const Slots* slots, std::size_t at) : slots_(slots), at_(at) { Skip(); }
    Entidad& operator*() const { return *(*slots_)[at_]; }
    Entidad* operator->() const { return (*slots_)[at_]; }
    iterator& operator++() {
      ++at_;
      Skip();
      return *this;
    }
    bool operator==(const iterator& o) const { return at_ == o.at_; }

   private:
    void Skip() {
      while (at_ < slots_->size() && (*slots_)[at_] == nullptr) {
        ++at_;
      }
    }
    const Slots* slots_;
    std::size_t at_;
  };
  [[nodiscard]] iterator begin() const { return {&slots_, 0}; }
  [[nodiscard]] iterator end() const { return {&slots_, slots_.size()}; }

  // Room for `n` elements, so bulk loads do not rehash.
  void Reserve(std::size_t n);

 private:
  void Vacate(std::size_t slot);
  void Compact() const;

  // Removed and replaced elements leave an empty slot behind, squeezed out
  // once they are half the vector (or before a look-up by position), so both
  // stay O(1) amortised.
  EntidadPool pool_;
  mutable std::vector<Entidad*> slots_;
  mutable IdIndex index_;
  mutable std::size_t holes_ = 0;
  std::vector<int32_t> newIDs_;
};

}  // namespace orvenda
