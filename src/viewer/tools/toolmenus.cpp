#include "viewer/tools/toolmenus.h"

namespace orvenda {

namespace {
const MenuItem kSeparator{"", "-"};
}

std::vector<MenuItem> EndMenuItems(const ToolState& t) {
  return {{"mnuCerrarPline", "Resume"},
          {"mnuEraseLastPoint", "Delete Last Point"},
          {"mnuEndPoint", "EndPoint", true, t.EndPoint, true, t.EndPointShown},
          {"mnuRelativeTo", "Relative To...", true, t.RelativeTo},
          {"mnuSmartEndPoint", "Smart Endpoint", true, t.SmartEndPoint},
          {"mnuCancelElement", "Cancel"}};
}

std::vector<MenuItem> SelectMenuItems(const ToolState& t) {
  const int m = t.SelectMethod;
  return {{"mnuEndSelection", "Resume"},
          {"mnuCancelSelection", "Cancel"},
          kSeparator,
          {"mnuClearSelection", "Clear Selection"},
          kSeparator,
          {"mnuSelectIndividual", "Individual", true, m == 1},
          {"mnuSelectPolygon", "Polygon"},
          {"mnuWholeElementInside", "Whole Element Inside", true, t.WholeElementInside},
          {"mnuOneVertex", "At least one vertex Inside", true, !t.WholeElementInside},
          {"mnuLayerPolygon", "Layer Polygon", true, m == 3},
          {"mnuSQLSelect", "SQL Select...", true, m == 4},
          {"mnuCenterRadius", "Center and Radius", true, m == 5},
          kSeparator,
          {"mnuRemoveElementsFromSelection", "Remove Elements", true, t.RemoveElements},
          kSeparator,
          {"mnuZoomToSelected", "Zoom To Selected Objects"}};
}

std::vector<MenuItem> EditGeoMenuItems(const ToolState& t) {
  const bool point = t.EditKind == pointlayer;
  const bool first = t.EditVertex <= 1;
  const bool last = t.EditVertex >= t.EditVertexCount;
  const auto item = [](const char* name, const char* text, bool on) {
    return MenuItem{name, text, false, false, on};
  };
  return {item("mnuNextVertex", "Next Vertex", !point && !last),
          item("mnuPreviousVertex", "Previous Vertex", !point && !first),
          kSeparator,
          item("mnuMoveVertex", "Move", true),
          item("mnuInsertBefore", "Insert Before", !point),
          item("mnuInsertAfter", "Insert After", !point),
          item("mnuDeleteVertex", "Delete", !point),
          item("mnuJoin", "Join", !point && t.EditKind != polygonlayer),
          item("mnuBreak", "Break", !point && !first && !last),
          kSeparator,
          item("mnuEditProceed", "Proceed", true),
          item("mnuEditCancel", "Cancel", true)};
}

bool ChooseSelectSetting(ToolState& t, const std::string& item) {
  static const std::vector<std::pair<std::string, int>> kMethods = {
      {"mnuSelectIndividual", 1}, {"mnuSelectPolygon", 2}, {"mnuWholeElementInside", 2},
      {"mnuOneVertex", 2},        {"mnuLayerPolygon", 3},  {"mnuSQLSelect", 4},
      {"mnuCenterRadius", 5}};
  if (item == "mnuRemoveElementsFromSelection") {
    t.RemoveElements = !t.RemoveElements;
    return true;
  }
  for (const auto& [name, method] : kMethods) {
    if (item != name) continue;
    t.SelectMethod = method;
    if (item == "mnuWholeElementInside" || item == "mnuOneVertex") {
      t.WholeElementInside = item == "mnuWholeElementInside";
    }
    // A polygon is drawn afresh.
    if (method == 2) t.Vertices.clear();
    return true;
  }
  return false;
}

bool ChooseEndSetting(ToolState& t, const std::string& item) {
  // A checked "EndPoint" unchecks like "Relative To...": otherwise free drawing could
  // only come back by way of another rule.
  if (item == "mnuEndPoint") {
    t.EndPoint = !t.EndPoint;
    if (t.EndPoint) t.RelativeTo = t.SmartEndPoint = false;
    return true;
  }
  // Checking "Relative To..." and "Smart Endpoint" asks for their distances first.
  if (item == "mnuRelativeTo" && t.RelativeTo) {
    t.RelativeTo = false;
    return true;
  }
  return false;
}

}  // namespace orvenda
