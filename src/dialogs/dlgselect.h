#pragma once
// dlgSelect, "Selección Múltiple": the query of a multiple selection: the layer whose
// elements are selected, the attribute constraints on its fields, and the polygon
// (none, an element of a polygon layer picked on the map, or one drawn there). The
// caller fills the public fields, calls Open once, shows it modally and reads what it
// left; with ExitAction 1 or 2 the caller lets the user pick or draw the polygon and
// shows it again. The constraint list is ConstraintList.

#include <QDialog>
#include <cstdint>

#include "dialogs/constraintlist.h"
#include "protocol/interaction.h"
#include "protocol/mapviewer.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace orvenda {

class dlgSelect final : public QDialog, public ModalForm {
  Q_OBJECT

 public:
  explicit dlgSelect(MapViewer& viewer, QWidget* parent = nullptr);

  bool FromPolygon = false;
  std::int32_t SourceLayer = 0;
  std::int32_t IDElement = 0;
  std::int32_t TargetLayer = 0;
  std::int16_t ExitAction = 0;
  bool Cancelled = true;
  // Set by the caller once a polygon was drawn on the map: without one, the option
  // to draw it selects by the constraints alone.
  bool PolygonDrawn = false;

  // The opening steps: the layers and element given are checked against the map
  // (unknown ones are cleared), the presets against the target layer's fields, and
  // the combos filled.
  void Open();
  void SetConstraints(const ConstraintArrays& arrays);
  // The constraints when "Restricciones" is ticked, four empty lists otherwise.
  ConstraintArrays GetConstraints() const;
  // The same as the protocol's constraints.
  std::vector<Constraint> Constraints() const;
  // 0 without polygon, 1 an existing one, 2 a drawn one.
  int PolygonMode() const;
  // Shows the chosen polygon element in lblSelectedElement.
  void PaintSelectedElement();

  QCheckBox* chkRestrictions;
  QListWidget* lstConstraints;
  QPushButton* cmdAddConstraint;
  QPushButton* cmdRemConstraint;
  QComboBox* cboTargetLayer;
  QRadioButton* optNoPol;
  QRadioButton* optSelPol;
  QPushButton* cmdSelPol;
  QRadioButton* optDrawPol;
  QPushButton* cmdDrawPol;
  QComboBox* cboSourceLayer;
  QLabel* lblSelectedElement;
  QPushButton* OKButton;
  QPushButton* CancelButton;

  void reject() override;

 private:
  layer* Layer(std::int32_t id) const;
  layer* LayerNamed(const QString& name) const;
  // Shows layer `id` in `combo` when listed, else the first entry: the layer shown.
  std::int32_t ShowLayer(QComboBox* combo, std::int32_t id) const;
  void ChooseSource();
  void ChooseTarget();
  void AddConstraint();
  void RemoveConstraint();
  void RebuildList();
  void EnableButtons();
  void Execute();
  void Warn(const std::string& text);

  MapViewer& viewer_;
  ConstraintList constraints_;
};

}  // namespace orvenda
