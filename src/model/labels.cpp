#include "model/labels.h"

#include <memory>

namespace orvenda {

Dictionary& Labels::Add(const std::string& word) {
  auto entry = std::make_unique<Dictionary>();
  entry->word = word;
  Dictionary& added = items_.Add(std::to_string(count() + 1), std::move(entry));
  firstPosition_.emplace(word, count());  // keeps an earlier position of the same word
  return added;
}

void Labels::Remove(std::string_view key) {
  items_.Remove(key);
  RebuildWordIndex();
}

void Labels::Remove(int32_t position) {
  items_.RemoveAt(position);
  RebuildWordIndex();
}

void Labels::Clear() {
  items_.Clear();
  firstPosition_.clear();
}

int32_t Labels::FindWord(const std::string& word) const {
  const auto it = firstPosition_.find(word);
  return it == firstPosition_.end() ? 0 : it->second;
}

void Labels::RebuildWordIndex() {
  firstPosition_.clear();
  int32_t position = 0;
  for (const Dictionary& d : items_) {
    firstPosition_.emplace(d.word, ++position);
  }
}

}  // namespace orvenda
