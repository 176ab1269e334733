#include "host/frmmain.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include "host/apptitle.h"
#include "host/configfile.h"
#include "host/frmdocument.h"
#include "host/mapcommands.h"
#include "host/module1.h"
#include "viewer/viewer.h"

namespace orvenda {

// The help pages installed with the program, or the help web server of a site.
QString frmMain::DefaultHelpAddress() {
#ifdef ORVENDA_INSTALLED_HELP
  const QString installed = QStringLiteral(ORVENDA_INSTALLED_HELP);
  if (QFileInfo::exists(installed + QStringLiteral("/mapas/help.htm")))
    return QUrl::fromLocalFile(installed).toString();
#endif
  return QStringLiteral("http://localhost");
}

frmMain::frmMain(Module1& app, QWidget* parent)
    : QMainWindow(parent),
      Toolbar1(new QToolBar(this)),
      cbLayers(new QComboBox),
      StatusPanel1(new QLabel(this)),
      mdiArea(new QMdiArea(this)),
      datePanel_(new QLabel(this)),
      timePanel_(new QLabel(this)),
      clock_(new QTimer(this)),
      app_(app) {
  setObjectName(QStringLiteral("frmMain"));
  cbLayers->setObjectName(QStringLiteral("cbLayers"));
  cbLayers->setEditable(false);
  cbLayers->setFixedWidth(150);
  mdiArea->setObjectName(QStringLiteral("mdiArea"));
  setCentralWidget(mdiArea);
  addToolBar(Toolbar1);
  BuildMenus();
  BuildToolbar();
  BuildStatusBar();
  ConnectCommands();
  HelpAddress = qEnvironmentVariable("ORVENDA_HELP_ADDRESS", DefaultHelpAddress());
  GeneralHelpAddress = qEnvironmentVariable("ORVENDA_GENERAL_HELP_ADDRESS", HelpAddress);
  connect(mdiArea, &QMdiArea::subWindowActivated, this, &frmMain::SubWindowActivated);
  // Built as the menu opens: the windows are what they are then.
  connect(MenuItem(QStringLiteral("mnuWindow"))->menu(), &QMenu::aboutToShow, this,
          &frmMain::RefreshWindowList);
  connect(cbLayers, &QComboBox::textActivated, this, &frmMain::LayerComboChanged);
  connect(cbLayers, &QComboBox::currentTextChanged, this, &frmMain::LayerComboChanged);
  resize(1240, 820);

  // Load.
  BaseCaption = QString::fromLatin1(kApplicationTitle) + QStringLiteral(" Ver: ") +
                QString::fromStdString(ProgramVersion());
  setWindowTitle(BaseCaption);
  ToolbarButton(QStringLiteral("login"))->setVisible(false);
  MenuItem(QStringLiteral("mnuChangePassword"))->setEnabled(false);
}

frmMain::~frmMain() {
  // Documents go first: their unload talks to this window's widgets. That
  // includes a window closed but not yet deleted, which the area no longer lists.
  disconnect(mdiArea, nullptr, this, nullptr);
  for (auto* window : mdiArea->findChildren<QMdiSubWindow*>()) delete window;
}

QAction* frmMain::ToolbarButton(const QString& key) const {
  const auto it = buttons_.find(key);
  return it == buttons_.end() ? nullptr : it->second;
}

QAction* frmMain::MenuItem(const QString& name) const {
  const auto it = items_.find(name);
  return it == items_.end() ? nullptr : it->second;
}

void frmMain::Apply(const CommandSetting& setting) {
  QAction* action = nullptr;
  const QString name = QString::fromStdString(setting.name);
  switch (setting.target) {
    case CommandTarget::LayerCombo:
      cbLayers->setEnabled(setting.value);
      return;
    case CommandTarget::ToolbarButton:
      action = ToolbarButton(name);
      break;
    case CommandTarget::MenuEntry:
      action = MenuItem(name);
      break;
  }
  if (action == nullptr) return;
  if (setting.property == CommandProperty::Visible) {
    action->setVisible(setting.value);
  } else {
    action->setEnabled(setting.value);
  }
}

void frmMain::EnableMapCommands() {
  for (const auto& setting : MapCommandSettings(true, app_.IsGuest())) Apply(setting);
}

void frmMain::DisableMapCommands() {
  for (const auto& setting : MapCommandSettings(false, app_.IsGuest())) Apply(setting);
}

void frmMain::SetComboWidth(int width) {
  // The place holder is a widget action: the toolbar moves the buttons after it.
  cbLayers->setFixedWidth(width);
}

QList<frmDocument*> frmMain::Documents() const {
  QList<frmDocument*> documents;
  for (auto* window : mdiArea->subWindowList()) {
    if (auto* document = qobject_cast<frmDocument*>(window->widget())) documents.append(document);
  }
  return documents;
}

frmDocument* frmMain::ActiveDocument() const {
  QMdiSubWindow* window = mdiArea->currentSubWindow();
  return window ? qobject_cast<frmDocument*>(window->widget()) : nullptr;
}

frmDocument* frmMain::OpenMap(int p) {
  if (p < 1 || p > app_.MapCodes.size() || p > app_.MapNames.size()) return nullptr;
  const int code = app_.MapCodes[p - 1];
  for (frmDocument* document : Documents()) {
    if (document->Viewer1->MapCode() == code) {
      app_.ui().MessageBox("This map is already loaded", kApplicationTitle, MessageIcon::None,
                           MessageButtons::Ok);
      return nullptr;
    }
  }
  auto* document = new frmDocument(*this, app_.ui(), app_.menus);
  document->Viewer1->SetMapCode(code);
  document->Viewer1->SetURL(app_.ServerHost);
  document->Viewer1->Setport(PortNumber(app_.ServerPort.toStdString()));
  document->Viewer1->SetIDUser(app_.UserID);
  document->Viewer1->SetImagePath(app_.ImageFolder);
  document->setWindowTitle(app_.MapNames[p - 1] + QStringLiteral(" - Mapa"));
  // Enabled before the window shows: showing activates it, and the activation
  // applies the guest rule.
  MenuItem(QStringLiteral("mnuChangePassword"))->setEnabled(true);
  QMdiSubWindow* window = mdiArea->addSubWindow(document);
  window->setAttribute(Qt::WA_DeleteOnClose);
  connect(window, &QMdiSubWindow::windowStateChanged, document,
          [document](Qt::WindowStates, Qt::WindowStates now) { document->StateChanged(now); });
  // The viewer has no size of its own to offer; a document starts at a useful one.
  window->resize(760, 560);
  // A lone map takes the whole area; with others open the area's usual rules apply.
  if (Documents().size() == 1) {
    window->showMaximized();
  } else {
    window->show();
  }
  // The activation that showing brings applies the guest rule; make sure it
  // ran even where the window system did not activate the window.
  if (ActiveDocument() == document && lastActive_ != document) SubWindowActivated(window);
  return document;
}

void frmMain::SubWindowActivated(QMdiSubWindow* window) {
  frmDocument* document = window ? qobject_cast<frmDocument*>(window->widget()) : nullptr;
  if (document == lastActive_) return;
  if (lastActive_ != nullptr && Documents().contains(lastActive_)) lastActive_->Deactivate();
  lastActive_ = document;
  if (document != nullptr) document->Activate();
}

void frmMain::DocumentUnloaded(frmDocument* document) {
  if (lastActive_ == document) lastActive_ = nullptr;
  cbLayers->clear();
  DisableMapCommands();
  StatusPanel1->setText(QString());
  // The area may have activated the next document before this one went; that
  // activation counts only now.
  QMdiSubWindow* current = mdiArea->currentSubWindow();
  frmDocument* next = current ? qobject_cast<frmDocument*>(current->widget()) : nullptr;
  if (next != nullptr && next != document) {
    lastActive_ = next;
    next->Activate();
  }
}

void frmMain::LayerComboChanged(const QString& text) {
  if (frmDocument* document = ActiveDocument()) document->SetCurrentLayerName(text);
}

void frmMain::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() != QEvent::WindowStateChange || !isMinimized()) return;
  frmDocument* document = ActiveDocument();
  if (document != nullptr && document->ReferencesShown) document->Viewer1->HideMapReferences();
}

void frmMain::closeEvent(QCloseEvent* event) {
  app_.RememberWindow(*this);
  const auto windows = mdiArea->subWindowList();
  for (auto it = windows.rbegin(); it != windows.rend(); ++it) delete *it;
  app_.MapNames.clear();
  app_.MapCodes.clear();
  event->accept();
}

}  // namespace orvenda
