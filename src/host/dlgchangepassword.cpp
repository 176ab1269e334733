#include "host/dlgchangepassword.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

#include "dialogs/dialoglayout.h"

namespace orvenda {
namespace {

QLineEdit* PasswordField(const char* name, QWidget* parent) {
  auto* field = new QLineEdit(parent);
  field->setObjectName(QString::fromLatin1(name));
  field->setEchoMode(QLineEdit::Password);
  return field;
}

}  // namespace

dlgChangePassword::dlgChangePassword(Interaction& ui, QWidget* parent)
    : QDialog(parent),
      txtOldPassword(PasswordField("txtOldPassword", this)),
      txtNewPassword(PasswordField("txtNewPassword", this)),
      txtRetypePassword(PasswordField("txtRetypePassword", this)),
      OKButton(new QPushButton(QStringLiteral("OK"), this)),
      CancelButton(new QPushButton(QStringLiteral("Cancel"), this)),
      ui_(ui) {
  setObjectName(QStringLiteral("dlgChangePassword"));
  setWindowTitle(QStringLiteral("Cambiar Contraseña"));
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Contraseña Anterior"), txtOldPassword);
  form->addRow(QStringLiteral("Contraseña Nueva"), txtNewPassword);
  form->addRow(QStringLiteral("Retipee Conraseña"), txtRetypePassword);
  LayOutFields(this, form, OKButton, CancelButton);

  connect(OKButton, &QPushButton::clicked, this, &dlgChangePassword::OnOK);
  connect(CancelButton, &QPushButton::clicked, this, [this] {
    Cancelled = true;
    hide();
  });
}

void dlgChangePassword::OnOK() {
  if (txtNewPassword->text().isEmpty()) {
    ui_.MessageBox("Password can't be blank", "Change Password", MessageIcon::Information,
                   MessageButtons::Ok);
    txtNewPassword->clear();
    return;
  }
  if (txtRetypePassword->text() != txtNewPassword->text()) {
    txtRetypePassword->clear();
    ui_.MessageBox("Please retype password.", "Change Password", MessageIcon::Information,
                   MessageButtons::Ok);
    return;
  }
  Cancelled = false;
  hide();
}

}  // namespace orvenda
