#pragma once
// QtPopupMenus: the context menus of a widget as QMenu popups.

#include <QPointer>
#include <QWidget>

#include "viewer/popupmenu.h"

namespace orvenda {

class QtPopupMenus final : public PopupMenus {
 public:
  explicit QtPopupMenus(QWidget* owner) : owner_(owner) {}
  std::string Popup(const std::string& menuName, const std::vector<MenuItem>& items, int x,
                    int y) override;

 private:
  QPointer<QWidget> owner_;
};

}  // namespace orvenda
