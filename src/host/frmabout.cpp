#include "host/frmabout.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QStyle>

#include "host/apptitle.h"

namespace orvenda {

QString SystemInformationProgram() {
  const QString chosen = qEnvironmentVariable("ORVENDA_SYSINFO");
  if (!chosen.isEmpty()) return QStandardPaths::findExecutable(chosen);
  for (const char* tool : {"hardinfo2", "hardinfo", "kinfocenter", "gnome-system-monitor"}) {
    const QString path = QStandardPaths::findExecutable(QString::fromLatin1(tool));
    if (!path.isEmpty()) return path;
  }
  return {};
}

frmAbout::frmAbout(Interaction& ui, QWidget* parent)
    : QDialog(parent),
      Picture1(new QLabel(this)),
      lblTitle(new QLabel(QString::fromLatin1(kApplicationTitle), this)),
      lblVersion(
          new QLabel(QStringLiteral("Versión ") + QString::fromStdString(ProgramVersion()), this)),
      lblDescription(new QLabel(
          QStringLiteral("Editor de Mapas. Consulta y edición de mapas servidos por un servidor "
                         "de mapas Orvenda."),
          this)),
      cmdOK(new QPushButton(QStringLiteral("OK"), this)),
      cmdSysInfo(new QPushButton(QStringLiteral("Info del &Sistema..."), this)),
      ui_(ui) {
  setObjectName(QStringLiteral("frmAbout"));
  setWindowTitle(QStringLiteral("Acerca de Orvenda"));
  Picture1->setObjectName(QStringLiteral("Picture1"));
  lblTitle->setObjectName(QStringLiteral("lblTitle"));
  lblVersion->setObjectName(QStringLiteral("lblVersion"));
  lblDescription->setObjectName(QStringLiteral("lblDescription"));
  lblDescription->setWordWrap(true);
  cmdOK->setObjectName(QStringLiteral("cmdOK"));
  cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
  Picture1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(48, 48));

  auto* text = new QVBoxLayout;
  text->addWidget(lblTitle);
  text->addWidget(lblVersion);
  text->addWidget(lblDescription);
  auto* top = new QHBoxLayout;
  top->addWidget(Picture1, 0, Qt::AlignTop);
  top->addLayout(text, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cmdOK);
  buttons->addWidget(cmdSysInfo);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(buttons);
  setMinimumWidth(380);

  connect(cmdOK, &QPushButton::clicked, this, &QDialog::hide);
  connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::StartSysInfo);
}

void frmAbout::StartSysInfo() {
  const QString program = SystemInformationProgram();
  if (program.isEmpty() || !QProcess::startDetached(program, {})) {
    ui_.MessageBox("La información del sistema no está disponible en este momento",
                   kApplicationTitle, MessageIcon::None, MessageButtons::Ok);
  }
}

}  // namespace orvenda
