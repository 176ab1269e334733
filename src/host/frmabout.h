#pragma once
// frmAbout: the program's title, version and description, and a button that
// starts the system's information tool when there is one.

#include <QDialog>
#include <QString>

#include "protocol/interaction.h"

class QLabel;
class QPushButton;

namespace orvenda {

class frmAbout : public QDialog, public ModalForm {
  Q_OBJECT

 public:
  explicit frmAbout(Interaction& ui, QWidget* parent = nullptr);

  QLabel* Picture1;
  QLabel* lblTitle;
  QLabel* lblVersion;
  QLabel* lblDescription;
  QPushButton* cmdOK;
  QPushButton* cmdSysInfo;

  // Starts the system information tool, or says that there is none.
  void StartSysInfo();

 private:
  Interaction& ui_;
};

// The system information program: $ORVENDA_SYSINFO when set, otherwise the first
// of the desktop's usual tools found on the PATH; empty when there is none.
QString SystemInformationProgram();

}  // namespace orvenda
