#include "model/layer.h"

#include "model/layerowner.h"

namespace orvenda {

layer::~layer() {
  // The viewer opened an image renderer for an image layer; it goes with it.
  if (Tipo == ImageLayer && ImageNumber != -1 && parentMap != nullptr) {
    parentMap->CloseImage(ImageNumber);
  }
}

}  // namespace orvenda
