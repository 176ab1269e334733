#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/cellvaluerequester.h"

namespace orvenda::testing {

// Keeps every request 5 it is asked to send, in order, instead of sending it.
class RecordingCellRequester : public CellValueRequester {
 public:
  struct Request {
    int32_t layerId;
    int32_t i;
    int32_t j;
    std::string field;
    bool operator==(const Request&) const = default;
  };
  std::vector<Request> requests;

  void RequestCellValues(int32_t layerId, int32_t i, int32_t j, const std::string& field) override {
    requests.push_back({layerId, i, j, field});
  }
};

}  // namespace orvenda::testing
