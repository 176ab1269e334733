#pragma once
// dlgAdd ("Nuevo"): the attribute values of a new element, one labelled box per field
// of its layer. Keys pass the key filter of each field's type; OK refuses a value
// that does not suit its field (the box gets the focus and the dialog stays open).

#include <QDialog>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "protocol/interaction.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QFormLayout;

namespace orvenda {

class layer;

class dlgAdd : public QDialog, public ModalForm {
  Q_OBJECT

 public:
  explicit dlgAdd(QWidget* parent = nullptr);

  // Adds one field: a label with its name and a text box below the previous ones.
  void AddLabel(const std::string& name, std::int16_t type);
  // The typed values, one per field in order.
  std::vector<std::string> Values() const;

  bool Cancelled = true;
  std::vector<QLabel*> lbl;
  std::vector<QLineEdit*> txt;
  QScrollArea* VScroll1;
  QPushButton* OKButton;
  QPushButton* CancelButton;

 private:
  void OnOK();
  std::vector<std::int16_t> types_;
  QFormLayout* rows_;
};

// The values of a new element of `lay`, asked in dlgAdd titled `title` through `ui`;
// nothing when cancelled.
std::optional<std::vector<std::string>> AskNewElementAttributes(Interaction& ui, layer& lay,
                                                                const std::string& title,
                                                                QWidget* parent);

}  // namespace orvenda
