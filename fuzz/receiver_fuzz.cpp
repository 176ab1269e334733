// The client's receiving side under arbitrary bytes from the server: a test viewer with
// every reply handler registered, fed in pieces of arbitrary sizes. The input's first
// byte sets the viewer's modes and the requests it counts as pending; the next four, the
// sizes of the pieces; the rest is the stream.
#include "fuzz.h"
#include "protocol/changepassword.h"
#include "protocol/queryreplies.h"
#include "support/recordingmapviewer.h"

namespace {

using namespace orvenda;

struct DroppedResults : QueryResultsView {
  void FoundByCondition(const FoundElements&) override {}
  void SelectionTable(const orvenda::SelectionTable&, std::int16_t) override {}
  void AddressCandidates(const orvenda::AddressCandidates&) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::uint8_t modes = data[0];
  testing::RecordingMapViewer viewer;
  DroppedResults results;
  Dispatcher& dispatcher = viewer.link().dispatcher();
  RegisterChangePasswordReply(dispatcher, viewer.ui);
  dispatcher.RegisterSaveResult([](std::int16_t) {});
  dispatcher.SetAttributeEditingMode((modes & 1) != 0);
  viewer.info.ReleaseInfoEvent = (modes & 2) != 0;
  viewer.info.zoomToSelected = (modes & 4) != 0;
  if (modes & 8) viewer.info.resultsView = &results;
  viewer.pending = modes >> 4;
  fuzz::InPieces(data + 1, size - 1, [&](const fuzz::Bytes& piece) { viewer.sock.Deliver(piece); });
  fuzz::Require(viewer.pending >= 0, "the pending requests never go below 0");
  fuzz::Require(viewer.link().receiver().heldBytes() < size, "the receiver holds only what came");
  return 0;
}
