#pragma once
// Opening a map: 10 -> 110 -> 1 -> 101 -> 11 -> 111, and the single-layer
// replies 103 (fields) and 109 (thematic classes).

#include <cstdint>
#include <vector>

#include "protocol/dwbuffer.h"
#include "protocol/mapviewer.h"

namespace orvenda {

void SendOpenMap(MapViewer& viewer, std::int32_t IDUser, std::int32_t MapCode);
// The server keeps an open map with the connection it was opened on, and drops a
// connection left idle too long. When the viewer has to connect again, a loaded
// map is opened again on the new connection before anything else is asked, or
// the server would answer every cell as empty.
void ReopenMap(MapViewer& viewer);
void SendMapDefinition(MapViewer& viewer, std::int32_t MapCode);
void SendAccessLevels(MapViewer& viewer, std::int32_t IDUser,
                      const std::vector<std::int32_t>& layerIds);

void HandleOpenMapReply(MapViewer& viewer, DWBUffer& reply);     // 110
void HandleMapDefinition(MapViewer& viewer, DWBUffer& reply);    // 101
void HandleAccessLevels(MapViewer& viewer, DWBUffer& reply);     // 111
void HandleLayerFields(MapViewer& viewer, DWBUffer& reply);      // 103
void HandleThematicClasses(MapViewer& viewer, DWBUffer& reply);  // 109

// Reads one theme record into the layer's thematic classes.
void ReadThemeRecord(DWBUffer& message, ThematicMap& themes);

}  // namespace orvenda
