#include "viewer/statuslist.h"

namespace orvenda {

namespace {
constexpr int kEnded = 100;
}

bool StatusList::TextFor(int kind, const std::string& layerName, int count, std::string& text) {
  const std::string counted = " (" + std::to_string(count) + ")";
  switch (kind) {
    case 0:
      text = "Requesting Map.";
      return true;
    case 1:
      text = "Loading Map.";
      return true;
    case 10:
      text = "Requesting Layer " + layerName + counted;
      return true;
    case 11:
      text = "Loading Layer " + layerName;
      return true;
    case 20:
      text = "Requesting Labels " + layerName + counted;
      return true;
    case 21:
      text = "Loading Labels.";
      return true;
    case 30:
      text = "Requesting Information.";
      return true;
    case 31:
      text = "Loading Information.";
      return true;
    case 40:
      text = "Requesting Theme Information " + layerName + counted;
      return true;
    case 41:
      text = "Loading Theme Information.";
      return true;
    case 60:
      text = "Layer " + layerName + " skipped: its grid cells cannot be computed.";
      return true;
    default:
      return false;
  }
}

int StatusList::Find(std::int32_t layer, int kind) const {
  for (std::size_t n = 0; n < entries_.size(); ++n) {
    if (entries_[n].layer == layer && entries_[n].kind == kind) return static_cast<int>(n);
  }
  return -1;
}

void StatusList::RemoveAt(int index) {
  entries_[static_cast<std::size_t>(index)] = std::move(entries_.back());
  entries_.pop_back();
}

void StatusList::Post(std::int32_t layer, int kind, const LayerName& name) {
  if (kind >= kEnded) {
    const int found = Find(layer, kind - kEnded);
    if (found >= 0) RemoveAt(found);
  } else if (const int found = Find(layer, kind); found >= 0) {
    ++entries_[static_cast<std::size_t>(found)].count;
  } else {
    if (const int request = Find(layer, kind - 1); request >= 0) {
      if (--entries_[static_cast<std::size_t>(request)].count <= 0) RemoveAt(request);
    }
    entries_.push_back({std::string(), layer, kind, 1});
  }
  RebuildTexts(name);
}

void StatusList::RebuildTexts(const LayerName& name) {
  for (Entry& e : entries_) {
    const std::string layerName = (name && e.layer != 0) ? name(e.layer) : std::string();
    std::string text;
    // A kind without a text keeps whatever its entry showed.
    if (TextFor(e.kind, layerName, e.count, text)) e.text = std::move(text);
  }
}

std::string StatusList::Caption() const {
  std::string caption;
  for (const Entry& e : entries_) {
    if (e.text.empty()) continue;
    if (!caption.empty()) caption += '\n';
    caption += e.text;
  }
  return caption;
}

}  // namespace orvenda
