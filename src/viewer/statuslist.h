#pragma once
// StatusList: the requests in flight that the viewer shows in its status line.
// The protocol code posts a kind for a layer when a request goes out (10, 20...),
// when its reply starts arriving (11, 21...) and when the reply has been read
// (kind + 100). Plain C++, so that the rules run in table tests.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace orvenda {

class StatusList {
 public:
  struct Entry {
    std::string text;
    std::int32_t layer = 0;
    int kind = 0;
    int count = 0;
  };
  // The name of a layer by IDLayer; "" when the map holds no such layer.
  using LayerName = std::function<std::string(std::int32_t)>;

  // Kinds of 100 and above end the request kind - 100 of the layer, whatever its
  // count. A kind already listed for the layer counts one more. A new kind lowers
  // the count of the layer's kind - 1 (the request it answers) and is appended.
  // Every text is then rebuilt.
  void Post(std::int32_t layer, int kind, const LayerName& name);
  void Clear() { entries_.clear(); }

  const std::vector<Entry>& entries() const { return entries_; }
  bool empty() const { return entries_.empty(); }
  // The non-empty texts joined by line breaks, in list order.
  std::string Caption() const;

  // The text of a kind for a layer name and count; false for a kind without text.
  static bool TextFor(int kind, const std::string& layerName, int count, std::string& text);

 private:
  // First entry of (layer, kind), or -1.
  int Find(std::int32_t layer, int kind) const;
  // Moves the last entry into the freed place.
  void RemoveAt(int index);
  void RebuildTexts(const LayerName& name);

  std::vector<Entry> entries_;
};

}  // namespace orvenda
