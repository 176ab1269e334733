#include "viewer/tools/tooltip.h"

#include <stdexcept>

#include "model/layers.h"
#include "viewer/tools/selectiontool.h"

namespace orvenda {
namespace {
// The box's place and padding, kept in twips as the control's layout states them.
constexpr double kBelowPointer = 290 / kTwipsPerUnit;
constexpr double kEdgeMargin = 100 / kTwipsPerUnit;
constexpr double kPadWidth = 100 / kTwipsPerUnit;
constexpr double kPadHeight = 50 / kTwipsPerUnit;
}  // namespace

ToolTipBox PlaceToolTip(SurfaceXY pointer, SurfaceXY labelSize, double viewWidth,
                        double viewHeight) {
  ToolTipBox box{pointer.x, pointer.y + kBelowPointer, labelSize.x + kPadWidth,
                 labelSize.y + kPadHeight};
  if (box.left + box.width >= viewWidth - kEdgeMargin) {
    box.left = viewWidth - box.width - kEdgeMargin;
  }
  // Near the bottom the box goes above the pointer's row instead.
  if (box.top + box.height >= viewHeight - kEdgeMargin) {
    box.top = viewHeight - kBelowPointer - box.height;
  }
  return box;
}

void CToolTip::initialize(ToolTipWindow& window) {
  window_ = &window;
  window_->Hide();
}

void CToolTip::SetLayer(std::int32_t IDLayer, const std::string& field) {
  IDLayer_ = IDLayer;
  field_ = field;
}

void CToolTip::mousemove(SurfaceXY at) {
  current_ = at;
  if (interval_ != 0) {
    window_->Hide();
  } else {
    armed_ = at;
    interval_ = kInterval;
    window_->SetInterval(interval_);
  }
}

void CToolTip::timer(Layers& layers, const ViewTransform& view) {
  if (current_ != armed_) {
    // Still moving: wait for the pointer to rest one whole interval.
    armed_ = current_;
    return;
  }
  interval_ = 0;
  window_->SetInterval(0);
  const std::optional<std::string> text =
      IDLayer_ == 0 ? std::nullopt
                    : LabelText(layers, IDLayer_, view.SurfaceToGeo(current_.x, current_.y),
                                PickReach(view, current_));
  if (!text) {
    window_->Hide();
    return;
  }
  const SurfaceXY labelSize = window_->SetCaption(*text);
  const ToolTipBox box = PlaceToolTip(current_, labelSize, view.ViewWidth, view.ViewHeight);
  window_->ShowBox(box.left, box.top, box.width, box.height);
}

std::optional<std::string> CToolTip::LabelText(Layers& layers, std::int32_t IDLayer, GeoLonLat at,
                                               double reach) {
  layer* lay = layers.Item(std::to_string(IDLayer));
  const Entidad* ent = nullptr;
  try {
    if (lay != nullptr) ent = lay->Entidades.ItemByID(lay->SelectByPoint(at.lon, at.lat, reach));
  } catch (const std::exception&) {
    // A layer whose classes have not arrived yet: no tooltip rather than a failure.
  }
  if (ent == nullptr) return std::nullopt;
  std::string word;
  try {
    word = lay->Labels().Item(std::to_string(ent->IDLabel)).word;
  } catch (const std::out_of_range&) {
    // IDLabel 0, or a word the label replies never brought.
  }
  return "Etiqueta: " + (word.empty() ? std::string("<Undefined>") : word);
}

}  // namespace orvenda
