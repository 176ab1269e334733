#include "model/shorttext.h"

#include <cstring>

namespace orvenda {

std::string_view ShortText::View() const {
  if (InPlace()) {
    return {reinterpret_cast<const char*>(bytes_ + 1), static_cast<std::size_t>(bytes_[0] >> 1)};
  }
  const char* heap = Heap();
  if (heap == nullptr) {
    return {};
  }
  std::size_t size = 0;
  std::memcpy(&size, heap, sizeof size);
  return {heap + sizeof size, size};
}

void ShortText::Assign(std::string_view text) {
  if (text.size() <= kInPlace) {
    unsigned char local[8] = {};
    local[0] = static_cast<unsigned char>((text.size() << 1) | 1U);
    if (!text.empty()) std::memcpy(local + 1, text.data(), text.size());
    Release();
    std::memcpy(bytes_, local, sizeof bytes_);
    return;
  }
  // Allocated before the old text goes, so a failure leaves it unchanged.
  const std::size_t size = text.size();
  char* heap = new char[sizeof size + size];
  std::memcpy(heap, &size, sizeof size);
  std::memcpy(heap + sizeof size, text.data(), size);
  Release();
  std::memcpy(bytes_, &heap, sizeof heap);
}

char* ShortText::Heap() const {
  char* heap = nullptr;
  std::memcpy(&heap, bytes_, sizeof heap);
  return heap;
}

void ShortText::Release() {
  if (!InPlace()) {
    delete[] Heap();
  }
  std::memset(bytes_, 0, sizeof bytes_);
}

}  // namespace orvenda
