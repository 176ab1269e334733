#include "viewer/qtinteraction.h"

#include <QDesktopServices>
#include <QDialog>
#include <QString>
#include <QUrl>

namespace orvenda {
namespace {

QMessageBox::Icon IconFor(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Critical:
      return QMessageBox::Critical;
    case MessageIcon::Question:
      return QMessageBox::Question;
    case MessageIcon::Exclamation:
      return QMessageBox::Warning;
    case MessageIcon::Information:
      return QMessageBox::Information;
    case MessageIcon::None:
      break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ButtonsFor(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::OkCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo:
      return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::YesNoCancel:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MessageButtons::Ok:
      break;
  }
  return QMessageBox::Ok;
}

}  // namespace

std::unique_ptr<QMessageBox> BuildMessageBox(const std::string& text, const std::string& title,
                                             MessageIcon icon, MessageButtons buttons,
                                             QWidget* parent) {
  auto box =
      std::make_unique<QMessageBox>(IconFor(icon), QString::fromStdString(title),
                                    QString::fromStdString(text), ButtonsFor(buttons), parent);
  // Plain text: a map or layer name is never read as markup.
  box->setTextFormat(Qt::PlainText);
  return box;
}

MessageAnswer AnswerFor(QMessageBox::StandardButton clicked, MessageButtons buttons) {
  switch (clicked) {
    case QMessageBox::Ok:
      return MessageAnswer::Ok;
    case QMessageBox::Cancel:
      return MessageAnswer::Cancel;
    case QMessageBox::Yes:
      return MessageAnswer::Yes;
    case QMessageBox::No:
      return MessageAnswer::No;
    default:
      break;
  }
  switch (buttons) {
    case MessageButtons::OkCancel:
    case MessageButtons::YesNoCancel:
      return MessageAnswer::Cancel;
    case MessageButtons::YesNo:
      return MessageAnswer::No;
    case MessageButtons::Ok:
      break;
  }
  return MessageAnswer::Ok;
}

MessageAnswer QtInteraction::MessageBox(const std::string& text, const std::string& title,
                                        MessageIcon icon, MessageButtons buttons) {
  const auto box = BuildMessageBox(text, title, icon, buttons, parent_);
  box->exec();
  const auto clicked = box->standardButton(box->clickedButton());
  return AnswerFor(clicked, buttons);
}

void QtInteraction::ShowModal(ModalForm& form) {
  if (auto* dialog = dynamic_cast<QDialog*>(&form)) dialog->exec();
}

bool QtInteraction::OpenAddress(const std::string& address) {
  return QDesktopServices::openUrl(QUrl(QString::fromStdString(address)));
}

}  // namespace orvenda
