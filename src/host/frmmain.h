#pragma once
// frmMain: the multi-document main window. It owns the menus, the toolbar
// Toolbar1 with the active-layer combo cbLayers, and the status bar
// sbStatusBar, and turns each map command into a call on the viewer of the
// active document window.

#include <QMainWindow>
#include <QString>
#include <map>
#include <set>

class QAction;
class QComboBox;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QTimer;
class QToolBar;

namespace orvenda {

class Module1;
class frmDocument;
struct CommandSetting;

class frmMain : public QMainWindow {
  Q_OBJECT

 public:
  explicit frmMain(Module1& app, QWidget* parent = nullptr);
  ~frmMain() override;

  QString BaseCaption;
  // Where the help pages live: the pages under "/ovhelp/" on HelpAddress, the
  // general page "/mapas/help.htm" on GeneralHelpAddress (no trailing "/").
  QString HelpAddress;
  QString GeneralHelpAddress;
  static QString DefaultHelpAddress();

  void EnableMapCommands();
  void DisableMapCommands();
  // Opens the map at 1-based position p of the map list in a new document;
  // null when it is already open (the user is told) or p is out of range.
  frmDocument* OpenMap(int p);

  // A document going away: the combo is cleared, the map commands go off and
  // the pointer position is wiped.
  void DocumentUnloaded(frmDocument* document);
  // The active document window, or null.
  frmDocument* ActiveDocument() const;
  QList<frmDocument*> Documents() const;

  // Lookups by toolbar key and by menu or separator name.
  QAction* ToolbarButton(const QString& key) const;
  QAction* MenuItem(const QString& name) const;

  QToolBar* Toolbar1;
  QComboBox* cbLayers;
  QLabel* StatusPanel1;
  QMdiArea* mdiArea;

  // The combo's width in pixels, and the room beside a name for its arrow.
  static constexpr int kComboPadding = 17;
  void SetComboWidth(int width);

  // Commands (menu and toolbar), public so that a caller or test can run them.
  void MapListCommand();
  void ChangePasswordCommand();
  void OptionsCommand();
  void ExitCommand();
  void AboutCommand();
  void HelpCommand(const QString& menuName);
  void ToggleToolbar();
  void ToggleStatusBar();
  void ArrangeWindows(int code);
  void SaveMapCommand();
  // Saves the active map under a name asked for; once the server has saved it, a
  // new login brings the map list that holds it, and the document closes.
  void SaveMapAsCommand();

 protected:
  void closeEvent(QCloseEvent* event) override;
  // Minimizing hides the active map's references window.
  void changeEvent(QEvent* event) override;

 private:
  void BuildMenus();
  void BuildToolbar();
  void BuildStatusBar();
  QAction* AddItem(QMenu* menu, const char* name, const QString& caption);
  QAction* AddSeparator(QMenu* menu, const char* name);
  QMenu* AddMenu(const char* name, const QString& caption);
  QAction* AddButton(const char* key, const QString& tooltip);
  void ConnectCommands();
  void RunOnViewer(void (*command)(frmDocument&));
  void Apply(const CommandSetting& setting);
  void SubWindowActivated(QMdiSubWindow* window);
  void LayerComboChanged(const QString& text);
  void UpdateClock();
  // The "Ven&tana" menu lists the open document windows after its own items.
  void RefreshWindowList();
  void LogInAfterSaving(frmDocument* saved);

  std::map<QString, QAction*> buttons_;
  std::map<QString, QAction*> items_;
  QLabel* datePanel_;
  QLabel* timePanel_;
  QTimer* clock_;
  Module1& app_;
  frmDocument* lastActive_ = nullptr;
  QList<QAction*> windowList_;
  QMetaObject::Connection saveAsWait_;
};

}  // namespace orvenda
