#pragma once
// dlgFindByCondition ("Selección"): one attribute condition on a layer, for the
// viewer's FindByCondition. The viewer presets it; what was preset and found is
// locked (layer, then field, then operator). OK refuses values that do not suit
// the field (the box at fault gets the focus and the dialog stays open).

#include <QDialog>
#include <cstdint>

#include "protocol/interaction.h"
#include "protocol/querymessages.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace orvenda {

class Layers;
class layer;

class dlgFindByCondition final : public QDialog, public ModalForm {
  Q_OBJECT

 public:
  // `preset`: a layer ID of 0, an empty field and an operation of 0 leave the
  // choice free.
  dlgFindByCondition(Interaction& ui, Layers& layers, const ConditionQuery& preset,
                     QWidget* parent = nullptr);

  // The condition chosen (after OK).
  ConditionQuery Result() const;
  bool Cancelled = true;

  QComboBox* cboLayer;
  QComboBox* cboFieldName;
  QComboBox* cboOperator;
  QLineEdit* txtValue1;
  QLabel* lblAnd;
  QLineEdit* txtValue2;
  QPushButton* OKButton;
  QPushButton* CancelButton;

 private:
  layer* ChosenLayer() const;
  std::int16_t FieldType() const;
  void ChooseLayer();
  void ChooseField();
  void ChooseOperator();
  void OnOK();

  Interaction& ui_;
  Layers& layers_;
  ConditionQuery preset_;
};

}  // namespace orvenda
