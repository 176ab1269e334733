#include "dialogs/dlgrelativeto.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/dialoglayout.h"
#include "dialogs/keyfilter.h"
#include "model/thematicmap.h"

namespace orvenda {
namespace {

// Real numbers: the key filter of type 5.
constexpr std::int16_t kRealType = 5;

QLineEdit* NumberBox(const char* name, QWidget* parent) {
  auto* box = new QLineEdit(parent);
  box->setObjectName(QString::fromLatin1(name));
  FilterKeys(box, kRealType);
  return box;
}

double Number(const QLineEdit* box) { return LeadingNumber(box->text().toStdString()); }

}  // namespace

dlgRelativeTo::dlgRelativeTo(QWidget* parent)
    : QDialog(parent),
      txtXCoord(NumberBox("txtXCoord", this)),
      txtYCoord(NumberBox("txtYCoord", this)),
      OKButton(Button("OKButton", QStringLiteral("OK"), this)),
      CancelButton(Button("CancelButton", QStringLiteral("Cancel"), this)) {
  setObjectName(QStringLiteral("dlgRelativeTo"));
  setWindowTitle(QStringLiteral("Relative To"));
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("X"), txtXCoord);
  form->addRow(QStringLiteral("Y"), txtYCoord);
  LayOutFields(this, form, OKButton, CancelButton);
  HideOnOkCancel(this, OKButton, CancelButton, Cancelled);
}

dlgSmartEndPoint::dlgSmartEndPoint(std::function<bool()> selectSegment, QWidget* parent)
    : QDialog(parent),
      frDistances(new QGroupBox(QStringLiteral("Distances"), this)),
      txtLongitudinal(NumberBox("txtLongitudinal", frDistances)),
      txtTransversal(NumberBox("txtTransversal", frDistances)),
      cmdSelectSegment(Button("cmdSelectSegment", QStringLiteral("Select Segment"), this)),
      OKButton(Button("OKButton", QStringLiteral("OK"), this)),
      CancelButton(Button("CancelButton", QStringLiteral("Cancel"), this)) {
  setObjectName(QStringLiteral("dlgSmartEndPoint"));
  setWindowTitle(QStringLiteral("Smart Endpoint"));
  frDistances->setObjectName(QStringLiteral("frDistances"));
  auto* distances = new QFormLayout(frDistances);
  distances->addRow(QStringLiteral("Longitudinal"), txtLongitudinal);
  distances->addRow(QStringLiteral("Transversal"), txtTransversal);
  auto* body = new QVBoxLayout;
  body->addWidget(frDistances);
  body->addWidget(cmdSelectSegment);
  LayOutFields(this, body, OKButton, CancelButton);
  HideOnOkCancel(this, OKButton, CancelButton, Cancelled);
  // Without a segment there is nothing to measure from.
  OKButton->setEnabled(false);
  connect(cmdSelectSegment, &QPushButton::clicked, this, [this, selectSegment] {
    if (selectSegment()) OKButton->setEnabled(true);
  });
}

std::optional<ProjectedXY> AskRelativeTo(Interaction& ui, QWidget* parent) {
  dlgRelativeTo dialog(parent);
  ui.ShowModal(dialog);
  if (dialog.Cancelled) return std::nullopt;
  return ProjectedXY{Number(dialog.txtXCoord), Number(dialog.txtYCoord)};
}

std::optional<std::pair<double, double>> AskSmartEndPoint(
    Interaction& ui, const std::function<bool()>& selectSegment, QWidget* parent) {
  dlgSmartEndPoint dialog(selectSegment, parent);
  ui.ShowModal(dialog);
  // OK is the only way to confirm, and it waits for a segment.
  if (dialog.Cancelled || !dialog.OKButton->isEnabled()) return std::nullopt;
  return std::pair{Number(dialog.txtLongitudinal), Number(dialog.txtTransversal)};
}

}  // namespace orvenda
