#pragma once
// dlgViewConditionElements ("Resultado: Seleccionar por Condición"): a list of
// elements of one layer. In the mode "FIND" it lists the results of a condition,
// shows the condition and zooms to the chosen element; in any other mode it lets
// the user choose the element to edit ("Editar Info"). Choosing a line highlights
// the element when the viewer holds it.
//
// The dialog holds one text that is its mode on entry and its result on exit:
// "EDIT" when "Editar Info" closed it, "CLOSE" when "Cerrar" did.

#include <QDialog>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "protocol/interaction.h"
#include "protocol/mapviewer.h"
#include "protocol/querymessages.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace orvenda {

class dlgViewConditionElements final : public QDialog, public ModalForm {
  Q_OBJECT

 public:
  dlgViewConditionElements(MapViewer& viewer, std::int32_t layerId, std::string mode,
                           QWidget* parent = nullptr);

  // The elements listed and their lines (the same number of each).
  void SetElementValues(const std::vector<std::int32_t>& ids,
                        const std::vector<std::string>& values);
  // The condition shown in the mode "FIND".
  void SetCondition(const Constraint& condition);
  // The element of the chosen line.
  std::optional<std::int32_t> ChosenElement() const;

  std::string Mode;

  QLabel* lbl1;
  QLabel* lblCondition;
  QLabel* lblElements;
  QListWidget* lstElements;
  QLabel* lblServer;
  QPushButton* cmdViewInfo;
  QPushButton* cmdResaltarElemento;
  QPushButton* cmdCancel;

 private:
  void ChooseLine();
  void Act();

  MapViewer& viewer_;
  std::int32_t layerId_;
  std::vector<std::int32_t> ids_;
};

}  // namespace orvenda
