#pragma once

#include <cstdint>
#include <string>

namespace orvenda {

class CellValueRequester;

// What a layer needs from the viewer that owns it (its `parentMap`). The
// viewer implements it; a layer without a viewer (tests, tools) holds
// nullptr and skips these calls.
class LayerOwner {
 public:
  virtual ~LayerOwner() = default;
  // Index of the image renderer the viewer opened for a layer of this name
  // (a file named after the layer in its image folder), -1 when none.
  virtual int32_t ImageIndexFor(const std::string& layerName) = 0;
  // Closes the image renderer `imageNumber` when its layer is released.
  virtual void CloseImage(int32_t imageNumber) = 0;
  // Sender of request 5 on the map's connection; nullptr when there is none.
  virtual CellValueRequester* CellValues() = 0;

 protected:
  LayerOwner() = default;
  LayerOwner(const LayerOwner&) = default;
  LayerOwner& operator=(const LayerOwner&) = default;
};

}  // namespace orvenda
