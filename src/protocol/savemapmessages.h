#pragma once
// The layout of request 240, which stores a map's setup on the server, and of its reply
// 241. The layer record differs from the map definition's in three places that both
// ends must keep: maxRow travels as a Single, a bold label as -1, and a theme record
// has its values after its style.

#include <cstdint>
#include <string>
#include <vector>

#include "protocol/dwbuffer.h"

namespace orvenda {

struct SavedTheme {
  std::int32_t drawColor = 0;
  std::int16_t drawStyle = 0;
  std::int16_t drawWidth = 1;
  std::int32_t fillColor = 0;
  std::int16_t fillStyle = 0;
  std::string min;
  std::string max;
  friend bool operator==(const SavedTheme&, const SavedTheme&) = default;
};

struct SavedLayer {
  std::string name;
  std::int32_t id = 0;
  std::int16_t kind = 0;
  std::int32_t minCol = 0, minRow = 0, maxCol = 0;
  float maxRow = 0;
  float gridDeltaX = 0, gridDeltaY = 0;
  std::int16_t userVisibility = 0;
  float zoomMin = 0, zoomMax = 0;
  // The layer's default drawing (its first theme).
  std::int32_t drawColor = 0;
  std::int16_t drawStyle = 0;
  std::int16_t drawWidth = 1;
  std::int32_t fillColor = 0;
  std::int16_t fillStyle = 0;
  std::string lblField;
  float lblZoomMin = 0, lblZoomMax = 0;
  std::int16_t userLabelVisibility = 0;
  bool lblBold = false;
  std::int32_t lblColor = 0;
  std::string thematicField;
  std::int16_t thematicType = 0;
  // The classes after the default one; their count travels as the count field.
  std::vector<SavedTheme> themes;
  friend bool operator==(const SavedLayer&, const SavedLayer&) = default;
};

struct SaveMapRequest {
  std::int32_t userId = 0;
  std::int32_t mapCode = 0;  // 0 saves as a new map
  std::string name;
  float minX = 0, minY = 0, maxX = 0, maxY = 0;
  std::int32_t backgroundColor = 0;
  std::int16_t projection = 0;
  std::vector<SavedLayer> layers;
  friend bool operator==(const SaveMapRequest&, const SaveMapRequest&) = default;
};

DWBUffer WriteSaveMap(const SaveMapRequest& r);
// Starts just past the command code; throws a ProtocolError for a broken layout.
SaveMapRequest ReadSaveMap(DWBUffer& b);

// Results of reply 241.
namespace savemap {
inline constexpr std::int16_t kSaved = 0;
inline constexpr std::int16_t kInvalidName = 1;
inline constexpr std::int16_t kUnexpected = 1000;
}  // namespace savemap

DWBUffer WriteSaveMapResult(std::int16_t result);

}  // namespace orvenda
