#include "host/frmsplash.h"

#include <QLabel>
#include <QVBoxLayout>

#include "host/apptitle.h"

namespace orvenda {

frmSplash::frmSplash(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint),
      lblVersion(
          new QLabel(QStringLiteral("Version ") + QString::fromStdString(ProgramVersion()), this)) {
  setObjectName(QStringLiteral("frmSplash"));
  lblVersion->setObjectName(QStringLiteral("lblVersion"));
  auto* title = new QLabel(QString::fromLatin1(kApplicationTitle), this);
  QFont big = title->font();
  big.setPointSize(big.pointSize() * 2);
  big.setBold(true);
  title->setFont(big);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(40, 30, 40, 30);
  layout->addWidget(title, 0, Qt::AlignCenter);
  layout->addWidget(new QLabel(QStringLiteral("Editor de Mapas."), this), 0, Qt::AlignCenter);
  layout->addWidget(lblVersion, 0, Qt::AlignCenter);
}

}  // namespace orvenda
