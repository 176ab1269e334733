// frmMain: building the menus, the toolbar and the status bar.
#include <QAction>
#include <QComboBox>
#include <QDateTime>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include "host/frmmain.h"
#include "host/toolbaricons.h"

namespace orvenda {

QMenu* frmMain::AddMenu(const char* name, const QString& caption) {
  QMenu* menu = menuBar()->addMenu(caption);
  menu->setObjectName(QString::fromLatin1(name));
  menu->menuAction()->setObjectName(QString::fromLatin1(name));
  items_[QString::fromLatin1(name)] = menu->menuAction();
  return menu;
}

QAction* frmMain::AddItem(QMenu* menu, const char* name, const QString& caption) {
  QAction* item = menu->addAction(caption);
  item->setObjectName(QString::fromLatin1(name));
  items_[QString::fromLatin1(name)] = item;
  return item;
}

QAction* frmMain::AddSeparator(QMenu* menu, const char* name) {
  QAction* item = menu->addSeparator();
  item->setObjectName(QString::fromLatin1(name));
  items_[QString::fromLatin1(name)] = item;
  return item;
}

void frmMain::BuildMenus() {
  QMenu* file = AddMenu("mnuFile", QStringLiteral("&Archivo"));
  AddItem(file, "mnuListaMapas", QStringLiteral("Mapas..."));
  AddItem(file, "mnuSaveMap", QStringLiteral("Guardar Mapa"));
  AddItem(file, "mnuSaveAs", QStringLiteral("Guardar Mapa Como..."));
  AddItem(file, "mnuSaveImage", QStringLiteral("Guardar Imagen..."));
  AddSeparator(file, "mnusep0");
  AddItem(file, "mnuChangePassword", QStringLiteral("Cambiar Contraseña"))->setEnabled(false);
  AddSeparator(file, "mnusep1");
  AddItem(file, "mnuExit", QStringLiteral("&Salir"));

  QMenu* element = AddMenu("mnuElement", QStringLiteral("&Edición"));
  AddItem(element, "mnuViewInformation", QStringLiteral("Ver Información"));
  AddItem(element, "mnuEditInfo", QStringLiteral("Editar Información"));
  AddItem(element, "mnuEditGeography", QStringLiteral("Editar Geografía"));
  AddSeparator(element, "mnusep2");
  AddItem(element, "mnuAddElement", QStringLiteral("Nuevo  Elemento"));
  AddItem(element, "mnuErase", QStringLiteral("Borrar Elemento(s)"));

  QMenu* navigate = AddMenu("mnuNavigate", QStringLiteral("&Navegar"));
  AddItem(navigate, "mnuZoomIn", QStringLiteral("Zoom In"));
  AddItem(navigate, "mnuZoomWindow", QStringLiteral("Zoom Window"));
  AddItem(navigate, "mnuZoomOut", QStringLiteral("Zoom Out"));
  AddItem(navigate, "mnuZoomExtents", QStringLiteral("Zoom Extents"));
  AddItem(navigate, "mnuPan", QStringLiteral("Pan"));
  AddItem(navigate, "mnuMapReferences", QStringLiteral("Referencias del Mapa"));

  QMenu* format = AddMenu("mnuFormat", QStringLiteral("&Formato"));
  AddItem(format, "mnuLayerSetup", QStringLiteral("Layer"));
  AddItem(format, "mnuMapSetup", QStringLiteral("Mapa"));

  QMenu* tools = AddMenu("mnuTools", QStringLiteral("&Herramientas"));
  AddItem(tools, "mnuFind", QStringLiteral("Buscar Dirección"));
  AddItem(tools, "mnuFindByCondition", QStringLiteral("Buscar por Condición"));
  AddItem(tools, "mnuMultipleSelect", QStringLiteral("Selección Múltiple"));
  AddItem(tools, "mnuMeasureDistance", QStringLiteral("Medir Distancia"));
  AddItem(tools, "mnuSnapShot", QStringLiteral("Copiar Imagen"));
  AddSeparator(tools, "mnusep3");
  AddItem(tools, "mnuOptions", QStringLiteral("Opciones..."));
  AddSeparator(tools, "mnuWindowBar10");
  for (const char* name : {"mnuViewToolbar", "mnuViewStatusBar"}) {
    QAction* toggle =
        AddItem(tools, name,
                name == std::string_view("mnuViewToolbar") ? QStringLiteral("Barra de Herramientas")
                                                           : QStringLiteral("Barra de Estado"));
    toggle->setCheckable(true);
    toggle->setChecked(true);
  }

  QMenu* transport = AddMenu("mnuTransportation", QStringLiteral("&Transporte"));
  AddItem(transport, "mnuSetDirections", QStringLiteral("Configurar Sentidos de Orientación"));

  QMenu* window = AddMenu("mnuWindow", QStringLiteral("Ven&tana"));
  AddItem(window, "mnuWindowCascade", QStringLiteral("Cascada"));
  AddItem(window, "mnuWindowTileHorizontal", QStringLiteral("Mosaico hori&zontal"));
  AddItem(window, "mnuWindowTileVertical", QStringLiteral("Mosaico ver&tical"));
  AddItem(window, "mnuWindowArrangeIcons", QStringLiteral("Arreglar &Iconos"));

  QMenu* help = AddMenu("mnuHelp", QStringLiteral("A&yuda"));
  AddItem(help, "mnuHelpGeneralDescription", QStringLiteral("Ayuda de Orvenda"));
  const std::pair<const char*, const char*> hidden[] = {
      {"mnuHelpMenuIcons", "Menu Icons"},
      {"mnuHelpNavigationTools", "Navigation Tools"},
      {"mnuHelpActiveLayerConcept", "Active Layer Concept"},
      {"mnuHelpAttributeManagement", "Attribute Management"},
      {"mnuHelpLayerConfiguration", "Layer Configuration"},
      {"mnuHelpMapSetup", "Map Setup (Layers)"},
      {"mnuHelpTools", "Tools"},
      {"mnuHelpPrint", "Print"},
      {"mnuHelpOptions", "Options"},
      {"mnuHelpTechnicalInformaction", "Technical Information"},
      {"mnuHelpContents", "Contents"},
      {"mnuHelpSearchForHelpOn", "Search for Help on..."}};
  for (const auto& [name, caption] : hidden) {
    AddItem(help, name, QString::fromLatin1(caption))->setVisible(false);
  }
  AddSeparator(help, "mnuHelpBar0");
  AddItem(help, "mnuHelpAbout", QStringLiteral("Acerca de &Orvenda"));
}

QAction* frmMain::AddButton(const char* key, const QString& tooltip) {
  QAction* button = Toolbar1->addAction(tooltip);
  button->setObjectName(QString::fromLatin1(key));
  button->setToolTip(tooltip);
  button->setIcon(ToolbarIcon(QString::fromLatin1(key)));
  buttons_[QString::fromLatin1(key)] = button;
  return button;
}

void frmMain::BuildToolbar() {
  Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
  // Pictures, named by their tooltips, as map programs' toolbars are.
  Toolbar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
  AddButton("login", QStringLiteral("login"));
  AddButton("SaveMap", QStringLiteral("Guardar Mapa"));
  AddButton("MapList", QStringLiteral("Mapas Disponibles"));
  AddButton("References", QStringLiteral("Leyenda"));
  Toolbar1->addSeparator();
  AddButton("Zoom In", QStringLiteral("Zoom In"));
  AddButton("Zoom Window", QStringLiteral("Zoom Window"));
  AddButton("Zoom Out", QStringLiteral("Zoom Out"));
  AddButton("ZoomExtents", QStringLiteral("Zoom Extents"));
  AddButton("Pan", QStringLiteral("Pan"));
  Toolbar1->addSeparator()->setObjectName(QStringLiteral("tbsep2"));
  AddButton("FindAddress", QStringLiteral("Buscar Dirección"));
  AddButton("ViewInfo", QStringLiteral("Ver Información"));
  Toolbar1->addSeparator();
  // Button 15, the place holder: the layer combo sits in it and its width is
  // the combo's.
  QAction* holder = Toolbar1->addWidget(cbLayers);
  holder->setObjectName(QStringLiteral("tbsep3"));
  buttons_[QStringLiteral("tbsep3")] = holder;
  Toolbar1->addSeparator()->setObjectName(QStringLiteral("tbsep4"));
  AddButton("EditInfo", QStringLiteral("Editar Información"));
  AddButton("EditGeo", QStringLiteral("Editar Geografía"));
  AddButton("Draw", QStringLiteral("Dibujar Elemento Nuevo"));
  AddButton("Erase", QStringLiteral("Borrar Elemento"));
  Toolbar1->addSeparator()->setObjectName(QStringLiteral("tbsep5"));
  AddButton("LayerSetup", QStringLiteral("Configurar Layer"));
  AddButton("MapSetup", QStringLiteral("Configurar Mapa"));
  Toolbar1->addSeparator()->setObjectName(QStringLiteral("tbsep6"));
  AddButton("MeasureDistance", QStringLiteral("Medir Distancia"));
  Toolbar1->addSeparator()->setObjectName(QStringLiteral("tbsep7"));
  AddButton("SnapShot", QStringLiteral("Copiar Mapa"));
  AddButton("About", QStringLiteral("Acerca de"));
}

void frmMain::BuildStatusBar() {
  statusBar()->setObjectName(QStringLiteral("sbStatusBar"));
  StatusPanel1->setObjectName(QStringLiteral("StatusPanel1"));
  statusBar()->addWidget(StatusPanel1, 1);
  statusBar()->addPermanentWidget(datePanel_);
  statusBar()->addPermanentWidget(timePanel_);
  UpdateClock();
  connect(clock_, &QTimer::timeout, this, &frmMain::UpdateClock);
  clock_->start(1000);
}

void frmMain::UpdateClock() {
  const QDateTime now = QDateTime::currentDateTime();
  const QLocale locale;
  datePanel_->setText(locale.toString(now.date(), QLocale::ShortFormat));
  timePanel_->setText(locale.toString(now.time(), QLocale::ShortFormat));
}

}  // namespace orvenda
