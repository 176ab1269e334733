#pragma once
// AboutBox: the map viewer control's about dialog, its name and version.

#include <QDialog>

#include "protocol/interaction.h"

class QLabel;

namespace orvenda {

class AboutBox final : public QDialog, public ModalForm {
  Q_OBJECT

 public:
  explicit AboutBox(QWidget* parent = nullptr);

  QLabel* lblTitle;
  QLabel* lblVersion;
  QLabel* lblDescription;
};

}  // namespace orvenda
