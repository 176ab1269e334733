// The Viewer's multiple selection: dlgSelect collects the query, tools 12 and 13
// give it a polygon on the map, and the selection is marked or asked of the server.
#include <utility>

#include "dialogs/dlgselect.h"
#include "protocol/queryreplies.h"
#include "viewer/tools/multipleselect.h"
#include "viewer/viewer.h"

namespace orvenda {
namespace {

// Request 14's display mode for the selection's table window.
constexpr std::int16_t kTableDisplayMode = 1;

}  // namespace

void Viewer::MultipleSelect(bool FromPolygon, std::int32_t SourceLayer, std::int32_t IDElement,
                            std::int32_t TargetLayer) {
  MultipleSelect(FromPolygon, SourceLayer, IDElement, TargetLayer, ConstraintArrays{});
}

void Viewer::MultipleSelect(bool FromPolygon, std::int32_t SourceLayer, std::int32_t IDElement,
                            std::int32_t TargetLayer, const ConstraintArrays& Constraints) {
  if (!Idle()) return;
  if (!SelectForm_) {
    if (!ActiveTool().Cancel(*this)) return;
    SelectForm_ = new dlgSelect(*this, this);
    SelectForm_->FromPolygon = FromPolygon;
    SelectForm_->SourceLayer = SourceLayer;
    SelectForm_->IDElement = IDElement;
    SelectForm_->TargetLayer = TargetLayer;
    SelectForm_->SetConstraints(Constraints);
    SelectForm_->Open();
  } else {
    // Asked again while its polygon is awaited on the map: the tool goes, the dialog
    // comes back as it was.
    dlgSelect* open = std::exchange(SelectForm_, nullptr);
    const bool cancelled = ActiveTool().Cancel(*this);
    SelectForm_ = open;
    if (!cancelled) return;
  }
  RunSelectForm();
}

void Viewer::MultipleSelectPolygon(std::int32_t elementId, const std::vector<Point>& drawn) {
  if (!SelectForm_) return;
  if (elementId != 0) {
    SelectForm_->SourceLayer = tools_.SelectionLayer;
    SelectForm_->IDElement = elementId;
    SelectForm_->PaintSelectedElement();
  } else {
    drawnPolygon_ = drawn;
  }
  RunSelectForm();
}

void Viewer::UnloadSelectForm() {
  delete std::exchange(SelectForm_, nullptr);
  drawnPolygon_.clear();
}

void Viewer::RunSelectForm() {
  dlgSelect& form = *SelectForm_;
  form.PolygonDrawn = drawnPolygon_.size() >= 3;
  ui_->ShowModal(form);
  if (form.Cancelled) return UnloadSelectForm();
  if (form.ExitAction == 1)
    return ArmPolygonTool(*this, tool::kPickSourcePolygon, form.SourceLayer);
  if (form.ExitAction == 2) {
    drawnPolygon_.clear();
    return ArmPolygonTool(*this, tool::kSelectionPolygon, 0);
  }
  const MultipleSelection s{form.TargetLayer, form.PolygonMode(), form.SourceLayer,
                            form.IDElement,   drawnPolygon_,      form.Constraints()};
  UnloadSelectForm();
  const auto candidates = PolygonCandidates(*this, s);
  if (!candidates) return;
  if (!s.constraints.empty()) {
    SendMultipleSelection(*this, {s.target, *candidates, s.constraints}, kTableDisplayMode);
    return;
  }
  // Without constraints the elements inside the polygon are the selection.
  layer* lay = FindLayer(s.target);
  if (!lay || candidates->empty()) return;
  tools_.SelectionLayer = s.target;
  tools_.Selection = *candidates;
  for (const std::int32_t id : *candidates) Highlight(*lay, id);
}

}  // namespace orvenda
