#include "support/recording_cell_requester.h"

namespace orvenda::testing {

void RecordingCellRequester::RequestCellValues(int32_t layerId, int32_t i, int32_t j,
                                               const std::string& field) {
  requests.push_back({layerId, i, j, field});
}

}  // namespace orvenda::testing
