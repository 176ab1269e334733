#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace orvenda {

// Raised when an item is added under a key the collection already holds.
class DuplicateKeyError : public std::invalid_argument {
 public:
  explicit DuplicateKeyError(const std::string& key)
      : std::invalid_argument("key already present in the collection: " + key) {}
};

// Ordered collection of owned items, each under a unique text key, reached by
// key or by 1-based position. Items keep their addresses while they stay in
// the collection. Look-ups that may miss come in two forms: Find/FindAt
// answer nullptr, ItemOrThrow/ItemAt raise std::out_of_range; each model
// collection picks the one its callers rely on.
template <class T>
class KeyedCollection {
  struct Entry {
    std::string key;
    std::unique_ptr<T> item;
  };

 public:
  T& Add(std::string key, std::unique_ptr<T> item) {
    return Insert(std::move(key), std::move(item), count() + 1);
  }

  // Inserts before 1-based `position`; a position past the end appends.
  T& Insert(std::string key, std::unique_ptr<T> item, int32_t position) {
    if (index_.contains(key)) {
      throw DuplicateKeyError(key);
    }
    const auto at = position < 1 ? 0 : std::min<std::size_t>(position - 1, entries_.size());
    T& ref = *item;
    entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(at),
                    Entry{std::move(key), std::move(item)});
    if (at + 1 == entries_.size()) {
      index_.emplace(entries_.back().key, at);
    } else {
      Reindex();
    }
    return ref;
  }

  [[nodiscard]] T* Find(std::string_view key) const {
    const auto it = index_.find(std::string(key));
    return it == index_.end() ? nullptr : entries_[it->second].item.get();
  }
  [[nodiscard]] T* FindAt(int32_t position) const {
    if (position < 1 || position > count()) {
      return nullptr;
    }
    return entries_[static_cast<std::size_t>(position - 1)].item.get();
  }
  T& ItemOrThrow(std::string_view key) const {
    T* item = Find(key);
    if (item == nullptr) {
      throw std::out_of_range("no item under key " + std::string(key));
    }
    return *item;
  }
  T& ItemAt(int32_t position) const {
    T* item = FindAt(position);
    if (item == nullptr) {
      throw std::out_of_range("no item at position " + std::to_string(position));
    }
    return *item;
  }
  // 1-based position of the key, 0 when absent.
  [[nodiscard]] int32_t PositionOf(std::string_view key) const {
    const auto it = index_.find(std::string(key));
    return it == index_.end() ? 0 : static_cast<int32_t>(it->second) + 1;
  }
  [[nodiscard]] const std::string& KeyAt(int32_t position) const {
    ItemAt(position);  // raises for a bad position
    return entries_[static_cast<std::size_t>(position - 1)].key;
  }

  // Removes and hands back the item; an absent key raises std::out_of_range.
  std::unique_ptr<T> Take(std::string_view key) { return TakeAt(RequirePosition(key)); }
  std::unique_ptr<T> TakeAt(int32_t position) {
    ItemAt(position);  // raises for a bad position
    const auto at = static_cast<std::size_t>(position - 1);
    std::unique_ptr<T> item = std::move(entries_[at].item);
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(at));
    Reindex();
    return item;
  }
  void Remove(std::string_view key) { Take(key); }
  void RemoveAt(int32_t position) { TakeAt(position); }

  void Clear() {
    entries_.clear();
    index_.clear();
  }
  [[nodiscard]] int32_t count() const { return static_cast<int32_t>(entries_.size()); }

  // Iteration in collection order, yielding T&.
  class iterator {
   public:
    iterator(const std::vector<Entry>* entries, std::size_t at) : entries_(entries), at_(at) {}
    T& operator*() const { return *(*entries_)[at_].item; }
    T* operator->() const { return (*entries_)[at_].item.get(); }
    iterator& operator++() {
      ++at_;
      return *this;
    }
    bool operator==(const iterator& o) const { return at_ == o.at_; }

   private:
    const std::vector<Entry>* entries_;
    std::size_t at_;
  };
  [[nodiscard]] iterator begin() const { return iterator(&entries_, 0); }
  [[nodiscard]] iterator end() const { return iterator(&entries_, entries_.size()); }

 private:
  int32_t RequirePosition(std::string_view key) const {
    const int32_t position = PositionOf(key);
    if (position == 0) {
      throw std::out_of_range("no item under key " + std::string(key));
    }
    return position;
  }
  void Reindex() {
    index_.clear();
    for (std::size_t k = 0; k < entries_.size(); ++k) {
      index_.emplace(entries_[k].key, k);
    }
  }

  std::vector<Entry> entries_;
  std::unordered_map<std::string, std::size_t> index_;
};

}  // namespace orvenda
