#pragma once
// Message 250: a change in a layer pushed by the server (not counted).

#include "protocol/dwbuffer.h"
#include "protocol/mapviewer.h"

namespace orvenda {

namespace layerchange {
inline constexpr std::int16_t kNewElement = 1;
inline constexpr std::int16_t kElementRemoved = 2;
inline constexpr std::int16_t kValuesChanged = 3;
inline constexpr std::int16_t kGridLimits = 4;
inline constexpr std::int16_t kCellValuesStale = 5;
inline constexpr std::int16_t kGeometryChanged = 6;
}  // namespace layerchange

void HandleLayerChange(MapViewer& viewer, DWBUffer& message);

// Registers every handler of the map conversation (110, 101, 111, 103, 109,
// 102, 105, 250) on the viewer's dispatcher, and the reopening of a loaded map
// when the link has to connect again.
void RegisterMapHandlers(MapViewer& viewer);

}  // namespace orvenda
