#pragma once
// Message 250: a change in a layer pushed by the server (not counted).

#include "protocol/dwbuffer.h"
#include "protocol/editmessages.h"
#include "protocol/mapviewer.h"

namespace orvenda {

void HandleLayerChange(MapViewer& viewer, DWBUffer& message);

// Registers every handler of the map conversation (110, 101, 111, 103, 109,
// 102, 105, 250, and the element and query replies of RegisterInfoHandlers) on
// the viewer's dispatcher, and the reopening of a loaded map
// when the link has to connect again.
void RegisterMapHandlers(MapViewer& viewer);

}  // namespace orvenda
