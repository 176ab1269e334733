#include "host/mapcommands.h"

#include <algorithm>
#include <cctype>

namespace orvenda {

bool IsGuestUser(const std::string& userName) {
  std::string upper = userName;
  std::transform(upper.begin(), upper.end(), upper.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return upper == "INVITADO" || upper == "GUEST" || upper == "ANONIMO";
}

const std::vector<std::string>& MapToolbarKeys() {
  static const std::vector<std::string> keys = {
      "Zoom In",  "Zoom Window",     "Zoom Out", "FindAddress", "ZoomExtents", "Pan",
      "EditInfo", "EditGeo",         "ViewInfo", "Draw",        "Erase",       "LayerSetup",
      "MapSetup", "MeasureDistance", "SaveMap",  "SnapShot",    "References"};
  return keys;
}

std::vector<CommandSetting> MapCommandSettings(bool on, bool guest) {
  std::vector<CommandSetting> settings;
  settings.push_back({CommandTarget::LayerCombo, "", CommandProperty::Enabled, on});
  for (const auto& key : MapToolbarKeys()) {
    settings.push_back({CommandTarget::ToolbarButton, key, CommandProperty::Enabled, on});
  }
  for (const char* menu : {"mnuSaveMap", "mnuSaveAs", "mnuSaveImage", "mnuNavigate", "mnuElement",
                           "mnuFormat", "mnuMeasureDistance", "mnuSnapShot", "mnusep3", "mnuFind",
                           "mnuFindByCondition", "mnuMultipleSelect"}) {
    settings.push_back({CommandTarget::MenuEntry, menu, CommandProperty::Visible, on});
  }
  settings.push_back({CommandTarget::MenuEntry, "mnuChangePassword", CommandProperty::Enabled, on});
  if (guest) {
    for (const char* menu : {"mnuChangePassword", "mnuSaveMap", "mnuSaveAs"}) {
      settings.push_back({CommandTarget::MenuEntry, menu, CommandProperty::Enabled, false});
    }
    settings.push_back({CommandTarget::ToolbarButton, "SaveMap", CommandProperty::Enabled, false});
  }
  return settings;
}

}  // namespace orvenda
