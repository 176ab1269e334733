#include "viewer/qtpopupmenus.h"

#include <QAction>
#include <QMenu>

namespace orvenda {

std::string QtPopupMenus::Popup(const std::string& menuName, const std::vector<MenuItem>& items,
                                int x, int y) {
  QMenu menu(owner_);
  menu.setObjectName(QString::fromStdString(menuName));
  for (const MenuItem& item : items) {
    if (item.text == "-") {
      menu.addSeparator();
      continue;
    }
    QAction* action = menu.addAction(QString::fromStdString(item.text));
    action->setObjectName(QString::fromStdString(item.name));
    action->setCheckable(item.checkable);
    action->setChecked(item.checked);
    action->setEnabled(item.enabled);
    action->setVisible(item.visible);
  }
  const QPoint at = owner_ ? owner_->mapToGlobal(QPoint(x, y)) : QPoint(x, y);
  QAction* chosen = menu.exec(at);
  return chosen ? chosen->objectName().toStdString() : std::string();
}

}  // namespace orvenda
