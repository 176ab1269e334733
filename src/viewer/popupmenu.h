#pragma once
// PopupMenus: the viewer's context menus as a seam. Qt shows a QMenu at the
// pointer; tests answer from a script, so no test ever opens a real popup.

#include <string>
#include <vector>

namespace orvenda {

struct MenuItem {
  std::string name;  // the item's control name (mnuCerrarPline...)
  std::string text;  // its caption; "-" for a separator
  bool checkable = false;
  bool checked = false;
  bool enabled = true;
  bool visible = true;
};

class PopupMenus {
 public:
  virtual ~PopupMenus() = default;
  // Shows the menu `menuName` at surface position (x, y) and waits; the name of
  // the chosen item, or "" when the menu was closed without a choice.
  virtual std::string Popup(const std::string& menuName, const std::vector<MenuItem>& items, int x,
                            int y) = 0;
};

}  // namespace orvenda
