#pragma once
// The map setup without widgets: what dlgMapSetup edits (the layers' setup records
// in drawing order, the background, the initial and current view), the texts of its
// layer list, the state of its buttons, and applying the result to the map's layers.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/clayersetupdef.h"

namespace orvenda {

class Layers;

struct MapSetupState {
  std::uint32_t BackgroundColor = 0;
  float CurrentHeight = 0;  // km
  float InitialHeight = 0;  // km
  // Geographic boxes: MinX, MinY, MaxX, MaxY.
  std::array<float, 4> InitialView{};
  std::array<float, 4> CurrentView{};
  // One record per layer; the position is the drawing order.
  std::vector<CLayerSetupDef> LayerSetups;
  int Selected = -1;  // position in LayerSetups, -1 none

  std::vector<std::string> Lines() const;
  bool CanMoveUp() const { return Selected > 0; }
  bool CanMoveDown() const {
    return Selected >= 0 && Selected + 1 < static_cast<int>(LayerSetups.size());
  }
  // "Undrop" for a dropped layer, "Drop" otherwise.
  std::string DropCaption() const;
  // Each acts on the selected record; nothing without one. Moves keep it selected.
  void Move(int step);
  void ToggleDrop();
  void SetZoom(float min, float max);
  // Shown at every height.
  void ZoomAlways() { SetZoom(0, 99999); }
  void SetUserVisibility(std::int16_t value);
  // The current view becomes the initial one.
  void SetInitialView();
};

// One line of the layer list: name, zoom range, access level, and "Dropped".
std::string LayerLine(const CLayerSetupDef& setup);
// Plain decimal text, without trailing zeros.
std::string PlainNumber(float value);
// The key typed into a zoom box: a comma is a point, and the decimal field's key
// filter decides; nothing when refused.
std::optional<int> ZoomKey(const std::string& text, int key);

// The records of the map's layers, in drawing order.
std::vector<CLayerSetupDef> LayerSetups(const Layers& layers);
// Drops, zoom ranges, visibility and drawing order of the records made real.
void ApplyLayerSetups(Layers& layers, const std::vector<CLayerSetupDef>& setups);

}  // namespace orvenda
