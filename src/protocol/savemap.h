#pragma once
// Saving the open map's setup on the server: request 240 built from the viewer's map
// and layers, and what reply 241 tells the user.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "protocol/mapviewer.h"
#include "protocol/savemapmessages.h"

namespace orvenda {

class ServerLink;

// The request that stores the map: over the open map when `MapName` is empty,
// otherwise as a new map of that name. Nothing while the map's layers are not
// loaded (a map refused, unreachable or dropped): saving no layers under the map's
// code would wipe the stored map.
std::optional<SaveMapRequest> SaveMapSetup(MapViewer& viewer, std::int32_t IDUser,
                                           const std::string& MapName);

// Sends request 240 (not counted); false when nothing was sent.
bool SendSaveMap(MapViewer& viewer, std::int32_t IDUser, const std::string& MapName);

// The message of a result of reply 241; null for results that show nothing.
const char* SaveMapResultText(std::int16_t result);

// Reply 241: its message, then `saved` with the result, both once the arrival has
// been handed over.
void RegisterSaveMapReply(ServerLink& link, std::function<void(std::int16_t)> saved);

}  // namespace orvenda
