#pragma once
// Module1: the program-wide values of the desktop program (where the server is,
// who logged in, which maps they may open) and its start-up: configuration file,
// connection options, login, main window. One instance lives for the whole run;
// every window that needs these values gets it.

#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>

#include "protocol/interaction.h"

class QWidget;

namespace orvenda {

class frmMain;
class PopupMenus;
class frmLogin;

class Module1 {
 public:
  // The configuration file lives in `configFolder`; images default to
  // `programFolder`. Messages and modal forms go to `ui`.
  Module1(Interaction& ui, QString configFolder, QString programFolder);
  ~Module1();
  Module1(const Module1&) = delete;
  Module1& operator=(const Module1&) = delete;

  QString ServerHost;
  QString ServerPort;
  QString ImageFolder;
  QString UserName;
  std::int32_t UserID = 0;
  // Position p of the map list is index p - 1 here.
  QStringList MapNames;
  QList<int> MapCodes;

  // The start-up: splash, configuration, options when no server is set, login;
  // the main window (shown) after a successful login, otherwise null and the
  // program ends.
  std::unique_ptr<frmMain> Main();

  void ReadConfig();
  // False when the file could not be written (the user is told).
  bool WriteConfig();
  // 0 cancelled or unchanged, 2 host or port changed, 1 image folder changed.
  std::int16_t EditConnectionOptions();
  // 1 maximized, -1 minimized, 0 otherwise.
  static std::int16_t WindowSizeState(const QWidget* window);

  // What the program keeps between runs in its configuration folder: the main
  // window's size and place, and the last user name that logged in (never a password).
  QString RememberedUserName() const;
  void RememberWindow(const QWidget& window) const;
  void PlaceWindow(QWidget& window) const;

  // A guest account (no password change, no map saving).
  bool IsGuest() const;
  QString ConfigPath() const;
  QString SettingsPath() const;
  Interaction& ui() { return ui_; }
  // The context menus of the document viewers; null shows Qt's menus.
  PopupMenus* menus = nullptr;

  // Shows a new login form modally and takes its data when accepted; the
  // answer tells whether it was (false also when the server's answer ends the
  // program).
  bool LogIn(QWidget* parent);
  // Called with each login form before it is shown (the demo fills it in).
  void SetLoginHook(std::function<void(frmLogin&)> hook) { loginHook_ = std::move(hook); }

 private:
  Interaction& ui_;
  QString configFolder_;
  QString programFolder_;
  std::function<void(frmLogin&)> loginHook_;
};

}  // namespace orvenda
