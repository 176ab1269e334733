#include "viewer/propertybag.h"

namespace orvenda {

template <class T>
std::optional<T> PropertyBag::Get(const std::string& key) const {
  const auto found = values_.find(key);
  if (found == values_.end()) return std::nullopt;
  if (const T* value = std::get_if<T>(&found->second)) return *value;
  return std::nullopt;
}

bool PropertyBag::ReadBool(const std::string& key, bool fallback) const {
  return Get<bool>(key).value_or(fallback);
}

std::int32_t PropertyBag::ReadLong(const std::string& key, std::int32_t fallback) const {
  return Get<std::int32_t>(key).value_or(fallback);
}

std::string PropertyBag::ReadString(const std::string& key, const std::string& fallback) const {
  return Get<std::string>(key).value_or(fallback);
}

ViewerProperties ViewerProperties::Read(const PropertyBag& bag) {
  ViewerProperties p;
  p.BackColor = bag.ReadLong("BackColor", kSystemButtonFace);
  p.ForeColor = bag.ReadLong("ForeColor", kSystemButtonText);
  p.Enabled = bag.ReadBool("Enabled", true);
  p.Appearance = bag.ReadLong("Appearance", 1);
  p.BackStyle = bag.ReadLong("BackStyle", 1);
  p.BorderStyle = bag.ReadLong("BorderStyle", 0);
  p.URL = bag.ReadString("URL", "nada");
  p.Port = bag.ReadLong("Port", 10010);
  p.MapCode = bag.ReadLong("MapCode", 1);
  p.IDUser = bag.ReadLong("IDUser", 0);
  return p;
}

void ViewerProperties::Write(PropertyBag& bag, const std::string& ambientFont) const {
  bag.Write<std::int32_t>("BackColor", BackColor, kSystemButtonFace);
  bag.Write<std::int32_t>("ForeColor", ForeColor, kSystemButtonText);
  bag.Write<bool>("Enabled", Enabled, true);
  bag.Write<std::string>("Font", Font.empty() ? ambientFont : Font, ambientFont);
  bag.Write<std::int32_t>("Appearance", Appearance, 1);
  bag.Write<std::int32_t>("BackStyle", BackStyle, 1);
  bag.Write<std::int32_t>("BorderStyle", BorderStyle, 0);
  bag.Write<std::string>("URL", URL, "");
  bag.Write<std::int32_t>("Port", Port, 0);
  bag.Write<std::int32_t>("MapCode", MapCode, 1);
  bag.Write<std::int32_t>("IDUser", IDUser, 0);
}

}  // namespace orvenda
