#include "viewer/aboutbox.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include "protocol/version.h"

namespace orvenda {

AboutBox::AboutBox(QWidget* parent)
    : QDialog(parent),
      lblTitle(new QLabel(QStringLiteral("Orvenda Viewer"), this)),
      lblVersion(new QLabel(QStringLiteral("Versión %1.%2.%3")
                                .arg(kLibraryVersion.major)
                                .arg(kLibraryVersion.minor)
                                .arg(kLibraryVersion.revision),
                            this)),
      lblDescription(
          new QLabel(QStringLiteral("Control de mapas servidos por un servidor Orvenda."), this)) {
  setObjectName(QStringLiteral("AboutBox"));
  setWindowTitle(QStringLiteral("Acerca de Orvenda Viewer"));
  QFont bold = lblTitle->font();
  bold.setBold(true);
  lblTitle->setFont(bold);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblTitle);
  layout->addWidget(lblVersion);
  layout->addWidget(lblDescription);
  layout->addWidget(buttons);
}

}  // namespace orvenda
