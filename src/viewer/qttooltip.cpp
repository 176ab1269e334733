#include "viewer/qttooltip.h"

#include <QLabel>
#include <QTimer>

#include "viewer/viewer.h"

namespace orvenda {

QtToolTip::QtToolTip(Viewer& viewer)
    : QFrame(&viewer),
      viewer_(viewer),
      lblToolTip_(new QLabel(this)),
      tmrToolTip_(new QTimer(this)) {
  setObjectName(QStringLiteral("picToolTip"));
  lblToolTip_->setObjectName(QStringLiteral("lblToolTip"));
  tmrToolTip_->setObjectName(QStringLiteral("tmrToolTip"));
  setFrameShape(QFrame::Box);
  setAutoFillBackground(true);
  QPalette colours = palette();
  colours.setColor(QPalette::Window, colours.color(QPalette::ToolTipBase));
  colours.setColor(QPalette::WindowText, colours.color(QPalette::ToolTipText));
  setPalette(colours);
  lblToolTip_->move(static_cast<int>(CToolTip::kLabelLeft), 0);
  // The box never takes the pointer from the map under it.
  setAttribute(Qt::WA_TransparentForMouseEvents);
  connect(tmrToolTip_, &QTimer::timeout, this, &QtToolTip::Tick);
  ToolTip_.initialize(*this);
}

void QtToolTip::Tick() { ToolTip_.timer(viewer_.layers(), viewer_.view()); }

QString QtToolTip::Caption() const { return lblToolTip_->text(); }

void QtToolTip::SetInterval(int milliseconds) {
  if (milliseconds == 0) {
    tmrToolTip_->stop();
  } else {
    tmrToolTip_->start(milliseconds);
  }
}

SurfaceXY QtToolTip::SetCaption(const std::string& text) {
  lblToolTip_->setText(QString::fromStdString(text));
  lblToolTip_->adjustSize();
  return {static_cast<double>(lblToolTip_->width()), static_cast<double>(lblToolTip_->height())};
}

void QtToolTip::ShowBox(double left, double top, double width, double height) {
  setGeometry(QRectF(left, top, width, height).toRect());
  raise();
  show();
}

}  // namespace orvenda
