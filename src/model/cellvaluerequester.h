#pragma once

#include <cstdint>
#include <string>

namespace orvenda {

// Asks the server for the values of one attribute field for the elements of
// one grid cell (request 5: layer ID, cell i, cell j, field name). The
// client's protocol code implements it over the map's connection; the model
// only needs to say which cells and which field.
class CellValueRequester {
 public:
  virtual ~CellValueRequester() = default;
  virtual void RequestCellValues(int32_t layerId, int32_t i, int32_t j,
                                 const std::string& field) = 0;

 protected:
  CellValueRequester() = default;
  CellValueRequester(const CellValueRequester&) = default;
  CellValueRequester& operator=(const CellValueRequester&) = default;
};

}  // namespace orvenda
