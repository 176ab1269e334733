#pragma once
// QtInteraction: the message boxes of the controls, as QMessageBox. Tests never
// use it (they answer from a script); BuildMessageBox and AnswerFor hold the
// mapping so that it can be checked without showing anything.

#include <QMessageBox>
#include <memory>

#include "protocol/interaction.h"

class QWidget;

namespace orvenda {

class QtInteraction final : public Interaction {
 public:
  // Boxes are modal over `parent` (or application modal without one).
  explicit QtInteraction(QWidget* parent = nullptr) : parent_(parent) {}
  MessageAnswer MessageBox(const std::string& text, const std::string& title, MessageIcon icon,
                           MessageButtons buttons) override;
  // Runs a form that is a QDialog with exec(); other forms are not shown.
  void ShowModal(ModalForm& form) override;
  bool OpenAddress(const std::string& address) override;

 private:
  QWidget* parent_;
};

std::unique_ptr<QMessageBox> BuildMessageBox(const std::string& text, const std::string& title,
                                             MessageIcon icon, MessageButtons buttons,
                                             QWidget* parent = nullptr);
// The answer of a box closed with `clicked`; a box closed without a button
// (Escape, the window's close) answers Cancel when it has one, No for Yes/No,
// and Ok for an OK-only box.
MessageAnswer AnswerFor(QMessageBox::StandardButton clicked, MessageButtons buttons);

}  // namespace orvenda
