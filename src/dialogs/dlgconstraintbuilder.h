#pragma once
// dlgConstraintBuilder, "Restricción:": one attribute constraint on a layer's field.
// The field chosen decides the operators offered and the key filter of the values;
// OK takes the constraint only when its values suit the field (ConstraintProblem),
// since pasted text passes no key filter.

#include <QDialog>
#include <cstdint>
#include <string>

#include "protocol/interaction.h"
#include "protocol/mapviewer.h"
#include "protocol/querymessages.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace orvenda {

class dlgConstraintBuilder final : public QDialog, public ModalForm {
  Q_OBJECT

 public:
  // The fields of layer `layerId`; the preset field is chosen when the layer has it.
  dlgConstraintBuilder(MapViewer& viewer, std::int32_t layerId, const std::string& fieldName = {},
                       QWidget* parent = nullptr);

  bool Cancelled = true;
  // What OK took: the field, its type, the operator code and the values.
  Constraint Result() const { return result_; }

  QComboBox* cboFieldName;
  QComboBox* cboOperator;
  QLineEdit* txtValue1;
  QLabel* lblAnd;
  QLineEdit* txtValue2;
  QPushButton* OKButton;
  QPushButton* CancelButton;

  void reject() override;

 private:
  void ChooseField(int index);
  void ChooseOperator();
  void Accept();

  MapViewer& viewer_;
  std::vector<std::int16_t> types_;  // by field, as listed
  Constraint result_;
};

}  // namespace orvenda
