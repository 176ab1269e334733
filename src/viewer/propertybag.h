#pragma once
// PropertyBag: the host's persisted property store of one viewer, a key/value
// map. The host saves and restores the map as it likes (a settings file, its
// document); the viewer only reads and writes keys.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <variant>

namespace orvenda {

class PropertyBag {
 public:
  using Value = std::variant<bool, std::int32_t, std::string>;

  // The stored value, or `fallback` when the key is absent or of another type.
  bool ReadBool(const std::string& key, bool fallback) const;
  std::int32_t ReadLong(const std::string& key, std::int32_t fallback) const;
  std::string ReadString(const std::string& key, const std::string& fallback) const;

  // Stores the value, or removes the key when the value equals `writeDefault`.
  template <class T>
  void Write(const std::string& key, const T& value, const T& writeDefault) {
    if (value == writeDefault) {
      values_.erase(key);
    } else {
      values_[key] = Value(value);
    }
  }

  bool Contains(const std::string& key) const { return values_.count(key) != 0; }
  const std::map<std::string, Value>& values() const { return values_; }
  void Set(const std::string& key, Value value) { values_[key] = std::move(value); }

 private:
  template <class T>
  std::optional<T> Get(const std::string& key) const;

  std::map<std::string, Value> values_;
};

// The persisted properties of a viewer, with their read defaults.
struct ViewerProperties {
  static constexpr std::int32_t kSystemButtonFace = static_cast<std::int32_t>(0x8000000F);
  static constexpr std::int32_t kSystemButtonText = static_cast<std::int32_t>(0x80000012);

  std::int32_t BackColor = kSystemButtonFace;
  std::int32_t ForeColor = kSystemButtonText;
  bool Enabled = true;
  std::string Font;  // written only: the font's description
  std::int32_t Appearance = 1;
  std::int32_t BackStyle = 1;
  std::int32_t BorderStyle = 0;
  std::string URL = "nada";
  std::int32_t Port = 10010;
  std::int32_t MapCode = 1;
  std::int32_t IDUser = 0;

  // Reads every key; an absent key gives the read default above.
  static ViewerProperties Read(const PropertyBag& bag);
  // Writes every key in order; a value equal to its write default is not stored.
  // `ambientFont` is the write default of "Font".
  void Write(PropertyBag& bag, const std::string& ambientFont) const;
};

}  // namespace orvenda
