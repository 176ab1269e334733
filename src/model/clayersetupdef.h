#pragma once

#include <cstdint>
#include <string>

#include "model/tipolayer.h"

namespace orvenda {

// One layer's record in the map setup: filled from a layer, edited by the map
// setup dialog and read back when the setup is applied or saved.
struct CLayerSetupDef {
  std::string Nombre;
  int32_t IDLayer = 0;
  float ZoomMin = 0;
  float ZoomMax = 0;
  int16_t Order = 0;
  bool Dropped = false;
  int16_t UserVisibility = 0;
  CONSTACCESSLEVEL AccessLevel = ALNoAccess;
};

}  // namespace orvenda
