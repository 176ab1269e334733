#pragma once
// dlgRelativeTo: the offsets (projected units) from the nearest end point at which
// the next vertex of a drawing lands; dlgSmartEndPoint: the distances along and
// across a segment picked on the map, which OK needs before it can be pressed.
// Both read their numbers by the leading-number rule, so the "-" or "." the key
// filter lets through alone reads 0.

#include <QDialog>
#include <functional>
#include <optional>
#include <utility>

#include "protocol/interaction.h"
#include "render/cprojection.h"

class QGroupBox;
class QLineEdit;
class QPushButton;

namespace orvenda {

class dlgRelativeTo : public QDialog, public ModalForm {
  Q_OBJECT

 public:
  explicit dlgRelativeTo(QWidget* parent = nullptr);

  bool Cancelled = true;
  QLineEdit* txtXCoord;
  QLineEdit* txtYCoord;
  QPushButton* OKButton;
  QPushButton* CancelButton;
};

class dlgSmartEndPoint : public QDialog, public ModalForm {
  Q_OBJECT

 public:
  // `selectSegment` picks the segment on the map and answers whether there was one.
  explicit dlgSmartEndPoint(std::function<bool()> selectSegment, QWidget* parent = nullptr);

  bool Cancelled = true;
  QGroupBox* frDistances;
  QLineEdit* txtLongitudinal;
  QLineEdit* txtTransversal;
  QPushButton* cmdSelectSegment;
  QPushButton* OKButton;
  QPushButton* CancelButton;
};

// Each shown modally through `ui`: the offsets (x, y), the distances (L, T), or
// nothing when cancelled.
std::optional<ProjectedXY> AskRelativeTo(Interaction& ui, QWidget* parent);
std::optional<std::pair<double, double>> AskSmartEndPoint(
    Interaction& ui, const std::function<bool()>& selectSegment, QWidget* parent);

}  // namespace orvenda
