#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

#include "model/dictionary.h"
#include "model/keyedcollection.h"

namespace orvenda {

// A layer's label dictionary. Each word is stored under the decimal text of
// (count + 1) at the moment it is added, so after creation or Clear the n-th
// word has key "n" and position n; an element's IDLabel is that key number.
// An absent key or position raises std::out_of_range; an Add whose key is
// already taken (possible only after Remove) raises DuplicateKeyError.
class Labels {
 public:
  Dictionary& Add(const std::string& word);
  Dictionary& Item(std::string_view key) const { return items_.ItemOrThrow(key); }
  Dictionary& Item(int32_t position) const { return items_.ItemAt(position); }
  [[nodiscard]] int32_t count() const { return items_.count(); }
  void Remove(std::string_view key);
  void Remove(int32_t position);
  void Clear();
  // 1-based position of the first word equal to `word` (exact,
  // case-sensitive), 0 when none. Answers from a hash so label replies with
  // many distinct words stay linear.
  [[nodiscard]] int32_t FindWord(const std::string& word) const;
  [[nodiscard]] auto begin() const { return items_.begin(); }
  [[nodiscard]] auto end() const { return items_.end(); }

 private:
  void RebuildWordIndex();

  KeyedCollection<Dictionary> items_;
  std::unordered_map<std::string, int32_t> firstPosition_;
};

}  // namespace orvenda
