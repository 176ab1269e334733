#pragma once
// Which of the main window's commands are on: the map commands follow whether a
// map document is active, and a guest user never gets the password change or
// map saving. The window applies the list; the rules live here.

#include <string>
#include <vector>

namespace orvenda {

// A guest is one of the shared accounts "INVITADO", "GUEST" or "ANONIMO", in any
// case; a longer name that merely starts with one of them is not.
bool IsGuestUser(const std::string& userName);

enum class CommandTarget { LayerCombo, ToolbarButton, MenuEntry };
enum class CommandProperty { Enabled, Visible };

struct CommandSetting {
  CommandTarget target;
  std::string name;  // toolbar key or menu name; empty for the layer combo
  CommandProperty property;
  bool value;
};

// What EnableMapCommands (on) and DisableMapCommands (off) set, in order; a
// later entry for the same item overrides an earlier one.
std::vector<CommandSetting> MapCommandSettings(bool on, bool guest);

// The toolbar keys that follow the map commands (every button but "MapList",
// "About" and the hidden "login").
const std::vector<std::string>& MapToolbarKeys();

}  // namespace orvenda
