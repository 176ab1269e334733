#pragma once
// frmSplash: the window shown while the program starts.

#include <QWidget>

class QLabel;

namespace orvenda {

class frmSplash : public QWidget {
  Q_OBJECT

 public:
  explicit frmSplash(QWidget* parent = nullptr);
  QLabel* lblVersion;
};

}  // namespace orvenda
