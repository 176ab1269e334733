// The Viewer's members of the map tooltip, the snapshot and the about box.

#include <QClipboard>
#include <QGuiApplication>

#include "viewer/aboutbox.h"
#include "viewer/qpaintersurface.h"
#include "viewer/qttooltip.h"
#include "viewer/viewer.h"

namespace orvenda {

QtToolTip& Viewer::ToolTip() {
  if (ToolTip_ == nullptr) ToolTip_ = new QtToolTip(*this);
  return *ToolTip_;
}

void Viewer::SetToolTip(std::int32_t IDLayer, const QString& ToolTipField) {
  ToolTip().rule().SetLayer(IDLayer, ToolTipField.toStdString());
}

void Viewer::SnapShot() {
  if (!Idle()) return;
  QClipboard* clipboard = QGuiApplication::clipboard();
  clipboard->clear();
  clipboard->setImage(surface_->image());
}

void Viewer::About() {
  if (!Idle()) return;
  AboutBox box(this);
  ui_->ShowModal(box);
}

}  // namespace orvenda
