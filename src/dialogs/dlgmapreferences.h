#pragma once
// dlgMapReferences: the map's legend, a modeless window of its viewer. One group
// (Frame1) per layer that is visible in the view, with a swatch (picColor) and a
// text (lblThemeDesc) per class; swatches are drawn as the map draws the class.
// The viewer rebuilds it after every redraw; a double click on a group opens the
// layer setup of its layer. The layout rules are in legendlayout.h.

#include <QDialog>
#include <QPointer>
#include <cstdint>
#include <vector>

#include "dialogs/legendlayout.h"

class QAction;
class QGroupBox;
class QLabel;
class QScrollBar;
class QToolBar;

namespace orvenda {

class Viewer;

class dlgMapReferences : public QDialog {
  Q_OBJECT

 public:
  explicit dlgMapReferences(Viewer* owner);

  void SetViewer(Viewer* viewer) { viewer_ = viewer; }
  // Rebuilds every group from the viewer's layers and view.
  void RefreshLegend();
  bool Collapsed() const { return collapsed_; }

  QToolBar* Toolbar1;
  QScrollBar* VScroll1;
  // Element 0 of the group array stays; the others come and go with the layers.
  QGroupBox* Frame1;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void AddLayerLegend(const LegendGroup& group, QGroupBox* frame);
  void Minimize();
  void Maximize();
  void Camera();
  void Scrolled(int value);
  void SetHeightTwips(std::int32_t twips);
  std::int32_t ToolbarBottom() const;
  QAction* Button(const char* key) const;

  QPointer<Viewer> viewer_;
  std::vector<LegendGroup> groups_;
  std::vector<QGroupBox*> frames_;  // in use, element 0 first
  std::int32_t LegendHeight = 0;
  std::int32_t LastScrollValue = 0;
  bool collapsed_ = false;
};

}  // namespace orvenda
