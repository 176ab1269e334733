#pragma once
// The point rules of the drawing menu: a click snaps to the nearest end point of any
// visible element ("EndPoint"), lands at typed offsets from it ("Relative To..."), or
// at distances along and across a picked segment ("Smart Endpoint").

#include <optional>
#include <string>

#include "model/layers.h"
#include "render/cprojection.h"
#include "viewer/tools/toolhost.h"

namespace orvenda {

// The vertex nearest (X, Y) among the drawn elements of the visible layers; nothing
// when no such element has a vertex.
std::optional<Point> NearestEndPoint(const Layers& layers, double X, double Y);
// The segment nearest (X, Y) among the drawn elements of the visible layers.
std::optional<layer::SegmentHit> NearestSegment(const Layers& layers, double X, double Y);

// Of the four points at ±L along and ±T across the segment from its end b, the one
// nearest r (the first on a tie); nothing for a segment of no length. Projected units.
std::optional<ProjectedXY> SmartEndPoint(ProjectedXY a, ProjectedXY b, ProjectedXY r, double L,
                                         double T);

// "Relative To..." and "Smart Endpoint" chosen in the drawing menu: each asks its
// distances when it was unchecked and checks itself, unchecking the other rules.
// False for any other item.
bool ChooseSnapping(ToolHost& host, const std::string& item);

}  // namespace orvenda
