#pragma once
// frmDocument: one open map. Viewer1 fills the window; the document keeps a
// table of its map's layers for the main window's layer combo, writes the
// pointer position into the status bar, and tells the main window which
// commands to enable as it gains focus and goes away.

#include <QString>
#include <QWidget>
#include <cstdint>

#include "host/layertable.h"

namespace orvenda {

class Interaction;
class PopupMenus;
class Viewer;
class frmMain;

class frmDocument : public QWidget {
  Q_OBJECT

 public:
  // The viewer's messages go to `ui`, which must outlive the document.
  frmDocument(frmMain& main, Interaction& ui, PopupMenus* menus = nullptr,
              QWidget* parent = nullptr);
  ~frmDocument() override;

  Viewer* Viewer1;
  bool ReferencesShown = false;

  QString CurrentLayerName() const { return currentLayerName_; }
  void SetCurrentLayerName(const QString& name);
  std::int32_t GetIDLayer(const QString& name) const;
  const LayerTable& layerTable() const { return table_; }
  // Refills the main window's layer combo from this document's table.
  void RefreshLayerCombo();

  // Focus changes, called by the main window.
  void Activate();
  void Deactivate();
  // The document window was minimized or restored: its references window follows.
  void StateChanged(Qt::WindowStates state);

 private:
  void OnMousePosition(double X, double Y);
  void OnMapLoaded();
  void OnMapRedrawn();
  bool IsActive() const;

  frmMain& main_;
  LayerTable table_;
  QString currentLayerName_;
};

}  // namespace orvenda
