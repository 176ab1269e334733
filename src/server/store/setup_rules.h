// The values a stored map and its layer setups may hold. One set of rules, whether an
// administrator sets them up or a client saves its map (request 240): the client reads
// them back in the map definition, and a value outside them could not be drawn.
#pragma once

#include <cstdint>
#include <string>

#include "store/store.h"

namespace orvenda::server {

inline constexpr std::int64_t kMaxLineStyle = 6;  // solid ... inside solid
inline constexpr std::int64_t kMaxFillStyle = 7;  // solid, transparent, six hatches
inline constexpr std::int64_t kMaxLineWidth = 100;
inline constexpr std::int64_t kMaxColor = 0xFFFFFF;  // a Windows colour value, red low
// The largest zoom limit; 1e37 means "no limit".
inline constexpr double kMaxZoom = 1e37;

// 0 longitude/latitude, 1 Albers, 40 to 160 the client's other projection classes
// (100 + zone is UTM); 100 selects none.
bool IsValidProjection(std::int64_t code);

// Why the map's own values (extents in degrees, colour, projection) cannot be stored;
// empty when they can.
std::string MapValuesProblem(const MapDefinition& map);
// Why a layer's setup (visibility, zooms, styles, labels, thematic type and classes)
// cannot be stored; empty when it can. Field names are checked against the layer by
// the store itself.
std::string SetupProblem(const LayerRecord& setup);

}  // namespace orvenda::server
