// frmMain: the commands of the menus and the toolbar.
#include <QAction>
#include <QComboBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QStatusBar>
#include <QToolBar>

#include "host/apptitle.h"
#include "host/dlgchangepassword.h"
#include "host/dlgmaplist.h"
#include "host/frmabout.h"
#include "host/frmdocument.h"
#include "host/frmmain.h"
#include "host/module1.h"
#include "viewer/viewer.h"

namespace orvenda {
namespace {

// Help entries and their pages; the general page lives on the second server.
const std::map<QString, QString>& HelpPages() {
  static const std::map<QString, QString> pages = {
      {"mnuHelpActiveLayerConcept", "/ovhelp/actlaycpt.htm"},
      {"mnuHelpAttributeManagement", "/ovhelp/attrmgmt.htm"},
      {"mnuHelpLayerConfiguration", "/ovhelp/lyrconfig.htm"},
      {"mnuHelpMapSetup", "/ovhelp/mapsetup.htm"},
      {"mnuHelpMenuIcons", "/ovhelp/menuicon.htm"},
      {"mnuHelpNavigationTools", "/ovhelp/navtools.htm"},
      {"mnuHelpOptions", "/ovhelp/options.htm"},
      {"mnuHelpPrint", "/ovhelp/print.htm"},
      {"mnuHelpTechnicalInformaction", "/ovhelp/techinf.htm"},
      {"mnuHelpTools", "/ovhelp/tools.htm"}};
  return pages;
}

// The name asked for by "Guardar Mapa Como...", shown through the Interaction seam.
class InputBox : public QInputDialog, public ModalForm {
 public:
  InputBox(const QString& prompt, const QString& title, const QString& text, QWidget* parent)
      : QInputDialog(parent) {
    setObjectName(QStringLiteral("InputBox"));
    setWindowTitle(title);
    setLabelText(prompt);
    setTextValue(text);
  }
};

}  // namespace

void frmMain::RunOnViewer(void (*command)(frmDocument&)) {
  if (frmDocument* document = ActiveDocument()) command(*document);
}

void frmMain::ConnectCommands() {
  const auto on = [this](const char* name, auto slot) {
    const QString key = QString::fromLatin1(name);
    if (QAction* item = MenuItem(key)) connect(item, &QAction::triggered, this, slot);
    if (QAction* button = ToolbarButton(key)) connect(button, &QAction::triggered, this, slot);
  };
  on("mnuListaMapas", [this] { MapListCommand(); });
  on("MapList", [this] { MapListCommand(); });
  on("mnuChangePassword", [this] { ChangePasswordCommand(); });
  on("mnuExit", [this] { ExitCommand(); });
  on("mnuOptions", [this] { OptionsCommand(); });
  on("mnuViewToolbar", [this] { ToggleToolbar(); });
  on("mnuViewStatusBar", [this] { ToggleStatusBar(); });
  on("mnuHelpAbout", [this] { AboutCommand(); });
  on("About", [this] { AboutCommand(); });
  const auto zoomIn = [this] { RunOnViewer([](frmDocument& d) { d.Viewer1->ZoomIn(); }); };
  const auto zoomOut = [this] { RunOnViewer([](frmDocument& d) { d.Viewer1->ZoomOut(); }); };
  const auto window = [this] { RunOnViewer([](frmDocument& d) { d.Viewer1->ZoomWindow(); }); };
  const auto extents = [this] { RunOnViewer([](frmDocument& d) { d.Viewer1->ZoomExtents(); }); };
  const auto pan = [this] { RunOnViewer([](frmDocument& d) { d.Viewer1->Pan(); }); };
  const auto measure = [this] {
    RunOnViewer([](frmDocument& d) { d.Viewer1->MeasureDistance(); });
  };
  on("mnuZoomIn", zoomIn);
  on("Zoom In", zoomIn);
  on("mnuZoomOut", zoomOut);
  on("Zoom Out", zoomOut);
  on("mnuZoomWindow", window);
  on("Zoom Window", window);
  on("mnuZoomExtents", extents);
  on("ZoomExtents", extents);
  on("mnuPan", pan);
  on("Pan", pan);
  // Commands on the layer chosen in the toolbar's combo of the active map.
  const auto onLayer = [&](const char* menu, const char* button, auto act) {
    const auto run = [this, act] {
      if (frmDocument* d = ActiveDocument()) {
        act(*d->Viewer1, d->GetIDLayer(cbLayers->currentText()));
      }
    };
    on(menu, run);
    on(button, run);
  };
  onLayer("mnuViewInformation", "ViewInfo", [](Viewer& v, std::int32_t id) { v.GetInfo(id); });
  onLayer("mnuErase", "Erase", [](Viewer& v, std::int32_t id) { v.EraseEntity(id); });
  onLayer("mnuEditInfo", "EditInfo", [](Viewer& v, std::int32_t id) { v.EditInfo(id); });
  onLayer("mnuAddElement", "Draw", [](Viewer& v, std::int32_t id) { v.AddElement(id); });
  onLayer("mnuEditGeography", "EditGeo", [](Viewer& v, std::int32_t id) { v.EditGeography(id); });
  const auto findAddress = [this] {
    RunOnViewer([](frmDocument& d) { d.Viewer1->FindAddress(); });
  };
  on("mnuFind", findAddress);
  on("FindAddress", findAddress);
  on("mnuFindByCondition", [this] {
    RunOnViewer([](frmDocument& d) { d.Viewer1->FindByCondition(0, {}, 0, {}, {}, true); });
  });
  onLayer("mnuSetDirections", "", [](Viewer& v, std::int32_t id) { v.SetDirections(id); });
  const auto saveMap = [this] { SaveMapCommand(); };
  on("mnuSaveMap", saveMap);
  on("SaveMap", saveMap);
  on("mnuSaveAs", [this] { SaveMapAsCommand(); });
  on("mnuSaveImage", [this] { RunOnViewer([](frmDocument& d) { d.Viewer1->SaveImage(); }); });
  const auto mapSetup = [this] { RunOnViewer([](frmDocument& d) { d.Viewer1->MapSetup(); }); };
  on("mnuMapSetup", mapSetup);
  on("MapSetup", mapSetup);
  onLayer("mnuLayerSetup", "LayerSetup", [](Viewer& v, std::int32_t id) { v.LayerSetup(id); });
  const auto references = [this] {
    RunOnViewer([](frmDocument& d) {
      d.Viewer1->ShowMapReferences();
      d.ReferencesShown = true;
    });
  };
  on("mnuMapReferences", references);
  on("References", references);
  on("mnuMultipleSelect",
     [this] { RunOnViewer([](frmDocument& d) { d.Viewer1->MultipleSelect(); }); });
  on("mnuMeasureDistance", measure);
  on("MeasureDistance", measure);
  const auto snapShot = [this] { RunOnViewer([](frmDocument& d) { d.Viewer1->SnapShot(); }); };
  on("mnuSnapShot", snapShot);
  on("SnapShot", snapShot);
  on("mnuWindowCascade", [this] { ArrangeWindows(0); });
  on("mnuWindowTileHorizontal", [this] { ArrangeWindows(1); });
  on("mnuWindowTileVertical", [this] { ArrangeWindows(2); });
  on("mnuWindowArrangeIcons", [this] { ArrangeWindows(3); });
  for (const char* name :
       {"mnuHelpGeneralDescription", "mnuHelpActiveLayerConcept", "mnuHelpAttributeManagement",
        "mnuHelpLayerConfiguration", "mnuHelpMapSetup", "mnuHelpMenuIcons",
        "mnuHelpNavigationTools", "mnuHelpOptions", "mnuHelpPrint", "mnuHelpTechnicalInformaction",
        "mnuHelpTools", "mnuHelpContents", "mnuHelpSearchForHelpOn"}) {
    on(name, [this, name] { HelpCommand(QString::fromLatin1(name)); });
  }
}

void frmMain::MapListCommand() {
  dlgMapList dialog(app_.ui(), this);
  dialog.lstMapList->clear();
  dialog.lstMapList->addItems(app_.MapNames);
  app_.ui().ShowModal(dialog);
  if (dialog.Accepted) OpenMap(dialog.lstMapList->currentRow() + 1);
}

void frmMain::SaveMapCommand() {
  RunOnViewer([](frmDocument& d) { d.Viewer1->SaveMap(d.Viewer1->IDUser()); });
}

void frmMain::SaveMapAsCommand() {
  frmDocument* document = ActiveDocument();
  if (document == nullptr) return;
  Viewer* viewer = document->Viewer1;
  InputBox box(QStringLiteral("Nombre del Mapa"), QStringLiteral("Guardar Como..."),
               QString::fromStdString(viewer->map().Nombre) + QStringLiteral("1"), this);
  app_.ui().ShowModal(box);
  const QString name = box.result() == QDialog::Accepted ? box.textValue() : QString();
  if (name.isEmpty()) return;
  // Only a saved map is worth a new login: on any other answer the document stays,
  // with the viewer's message.
  disconnect(saveAsWait_);
  const QPointer<frmDocument> saving = document;
  saveAsWait_ = connect(viewer, &Viewer::MapSaved, this, [this, saving](int result) {
    disconnect(saveAsWait_);
    if (result == 0) LogInAfterSaving(saving);
  });
  if (!viewer->SaveMap(viewer->IDUser(), name)) disconnect(saveAsWait_);
}

void frmMain::LogInAfterSaving(frmDocument* saved) {
  // The server lists the new map at the next login.
  if (!app_.LogIn(this)) {
    close();
    return;
  }
  if (saved != nullptr) saved->parentWidget()->close();
}

void frmMain::RefreshWindowList() {
  QMenu* menu = MenuItem(QStringLiteral("mnuWindow"))->menu();
  for (QAction* item : windowList_) {
    menu->removeAction(item);
    item->deleteLater();
  }
  windowList_.clear();
  const auto windows = mdiArea->subWindowList();
  if (windows.isEmpty()) return;
  windowList_.append(menu->addSeparator());
  for (qsizetype n = 0; n < windows.size(); ++n) {
    const QPointer<QMdiSubWindow> window = windows[n];
    const QString title = window->widget() ? window->widget()->windowTitle() : QString();
    QAction* item = menu->addAction(QStringLiteral("&%1 %2").arg(n + 1).arg(title));
    item->setObjectName(QStringLiteral("mnuWindowList"));
    item->setCheckable(true);
    item->setChecked(window == mdiArea->currentSubWindow());
    connect(item, &QAction::triggered, this, [this, window] {
      if (window) mdiArea->setActiveSubWindow(window);
    });
    windowList_.append(item);
  }
}

void frmMain::ChangePasswordCommand() {
  dlgChangePassword dialog(app_.ui(), this);
  app_.ui().ShowModal(dialog);
  frmDocument* document = ActiveDocument();
  if (!dialog.Cancelled && document != nullptr) {
    document->Viewer1->ChangePassword(dialog.txtOldPassword->text(), dialog.txtNewPassword->text());
  }
}

void frmMain::OptionsCommand() {
  const std::int16_t result = app_.EditConnectionOptions();
  if (result == 1) {
    for (frmDocument* document : Documents()) {
      document->Viewer1->SetImagePath(app_.ImageFolder);
      document->Viewer1->Redraw();
    }
  } else if (result == 2) {
    app_.ui().MessageBox("You must restart the application", "Orvenda", MessageIcon::Information,
                         MessageButtons::Ok);
  }
}

void frmMain::ExitCommand() {
  // The program's own main window closes; its close step unloads the documents.
  close();
}

void frmMain::AboutCommand() {
  frmAbout about(app_.ui(), this);
  app_.ui().ShowModal(about);
}

void frmMain::HelpCommand(const QString& menuName) {
  if (menuName == QStringLiteral("mnuHelpContents") ||
      menuName == QStringLiteral("mnuHelpSearchForHelpOn")) {
    app_.ui().MessageBox(
        "No se puede mostrar el contenido de la Ayuda. No hay Ayuda asociada a este proyecto.",
        windowTitle().toStdString(), MessageIcon::Information, MessageButtons::Ok);
    return;
  }
  QString address;
  if (menuName == QStringLiteral("mnuHelpGeneralDescription")) {
    address = GeneralHelpAddress + QStringLiteral("/mapas/help.htm");
  } else if (const auto it = HelpPages().find(menuName); it != HelpPages().end()) {
    address = HelpAddress + it->second;
  } else {
    return;
  }
  // The browser runs on its own; only a browser that cannot be started is told.
  if (!app_.ui().OpenAddress(address.toStdString())) {
    app_.ui().MessageBox("No se pudo abrir " + address.toStdString(), kApplicationTitle,
                         MessageIcon::Exclamation, MessageButtons::Ok);
  }
}

void frmMain::ToggleToolbar() {
  QAction* check = MenuItem(QStringLiteral("mnuViewToolbar"));
  Toolbar1->setVisible(check->isChecked());
}

void frmMain::ToggleStatusBar() {
  QAction* check = MenuItem(QStringLiteral("mnuViewStatusBar"));
  statusBar()->setVisible(check->isChecked());
}

void frmMain::ArrangeWindows(int code) {
  const auto windows = mdiArea->subWindowList();
  switch (code) {
    case 0:
      mdiArea->cascadeSubWindows();
      return;
    case 1:
    case 2: {
      // 1: one above the other, each the full width; 2: side by side.
      QList<QMdiSubWindow*> open;
      for (auto* w : windows) {
        if (!w->isMinimized()) open.append(w);
      }
      if (open.isEmpty()) return;
      const QRect area = mdiArea->viewport()->rect();
      const int n = static_cast<int>(open.size());
      for (int i = 0; i < n; ++i) {
        open[i]->showNormal();
        if (code == 1) {
          const int h = area.height() / n;
          open[i]->setGeometry(0, i * h, area.width(), h);
        } else {
          const int w = area.width() / n;
          open[i]->setGeometry(i * w, 0, w, area.height());
        }
      }
      return;
    }
    default: {
      // Minimized windows in a row along the bottom edge.
      int x = 0;
      for (auto* w : windows) {
        if (!w->isMinimized()) continue;
        w->move(x, mdiArea->viewport()->height() - w->height());
        x += w->width();
      }
    }
  }
}

}  // namespace orvenda
