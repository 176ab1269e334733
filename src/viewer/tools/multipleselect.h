#pragma once
// The map's part in a multiple selection: the polygon drawn with tool 13, the arming
// of tools 12 and 13 while the selection's dialog waits, and, once the dialog is
// done, the candidates: the target layer's elements wholly inside the polygon. The
// viewer marks them as the selection, or sends them with the constraints (request 14).

#include <cstdint>
#include <optional>
#include <vector>

#include "protocol/querymessages.h"
#include "viewer/tools/drawingtool.h"

namespace orvenda {

// Tool 13: "Resume" hands the drawn polygon to the multiple selection.
class SelectionPolygonTool final : public DrawingTool {
 public:
  SelectionPolygonTool() : DrawingTool(tool::kSelectionPolygon) {}
  void Resume(ToolHost& host) override;
};

// Arms tool 12 on the polygon layer `layerId`, or tool 13, kept until their polygon
// is given. The current tool is not cancelled: that would take the dialog with it.
void ArmPolygonTool(ToolHost& host, int toolCode, std::int32_t layerId);

// What the dialog chose. The polygon: the vertices of element `element` of layer
// `source` (mode 1), those drawn (mode 2), or none (mode 0, or no polygon was given).
struct MultipleSelection {
  std::int32_t target = 0;
  int polygonMode = 0;
  std::int32_t source = 0;
  std::int32_t element = 0;
  std::vector<Point> drawn;
  std::vector<Constraint> constraints;
};

// The candidates inside the polygon, or nothing after "No elements inside polygon"
// (an empty list when there is no polygon to look in).
std::optional<std::vector<std::int32_t>> PolygonCandidates(ToolHost& host,
                                                           const MultipleSelection& s);

}  // namespace orvenda
