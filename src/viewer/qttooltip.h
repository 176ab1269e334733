#pragma once
// QtToolTip: the map tooltip's box (picToolTip) over the viewer, with its label
// (lblToolTip) in the desktop's tooltip colours and its timer (tmrToolTip), run
// by the CToolTip rule.

#include <QFrame>

#include "viewer/tools/tooltip.h"

class QLabel;
class QTimer;

namespace orvenda {

class Viewer;

class QtToolTip final : public QFrame, private ToolTipWindow {
  Q_OBJECT

 public:
  explicit QtToolTip(Viewer& viewer);

  CToolTip& rule() { return ToolTip_; }
  // One tick of tmrToolTip.
  void Tick();
  QString Caption() const;

 private:
  void SetInterval(int milliseconds) override;
  void Hide() override { hide(); }
  SurfaceXY SetCaption(const std::string& text) override;
  void ShowBox(double left, double top, double width, double height) override;

  Viewer& viewer_;
  QLabel* lblToolTip_;
  QTimer* tmrToolTip_;
  CToolTip ToolTip_;
};

}  // namespace orvenda
