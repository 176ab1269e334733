#pragma once
// RecordingMapViewer: a map viewer without a screen. It owns a ServerLink on an
// in-memory socket, answers message boxes from a script, and records what the
// map conversation asked of it (status posts, redraws, events).

#include <array>
#include <utility>
#include <vector>

#include "protocol/cellloading.h"
#include "protocol/elementinfo.h"
#include "protocol/layerchange.h"
#include "protocol/mapviewer.h"
#include "protocol/serverlink.h"
#include "support/fakes.h"
#include "support/memoryconnection.h"

namespace orvenda::testing {

class RecordingMapViewer : public MapViewer {
 public:
  MemoryConnection sock;
  ScriptedInteraction ui;
  FakeClock clock;
  FakePump pump;
  MapProperties props;
  Layers layerList;
  ServerLink serverLink{sock, *this, ui, clock, pump};
  CellValueSender cellValues{*this};

  std::int32_t pending = 0;
  std::vector<std::pair<std::int32_t, int>> statuses;
  std::vector<std::int16_t> projections;
  std::vector<std::int32_t> repainted;
  int mapLoaded = 0, zoomExtents = 0, redraws = 0, loadingPasses = 0;
  InfoExchange info;
  std::vector<std::array<double, 4>> applied;  // extents applied
  std::vector<std::int32_t> highlighted;       // element IDs
  std::vector<ElementInfo> infoArrivals;

  RecordingMapViewer() {
    sock.SetState(Connection::kConnected);
    RegisterMapHandlers(*this);
  }

  // ViewerContext
  std::int32_t PendingRequests() const override { return pending; }
  void SetPendingRequests(std::int32_t value) override { pending = value; }
  void SetMousePointer(int) override {}
  void RestoreToolPointer() override {}
  void ShowReadingData(bool) override {}
  std::uint32_t ReadingDataColour() const override { return kReadingGreen; }
  void SetReadingDataColour(std::uint32_t) override {}
  void FinishLoadingPass() override { ++loadingPasses; }
  // LayerOwner
  std::int32_t ImageIndexFor(const std::string&) override { return -1; }
  void CloseImage(std::int32_t) override {}
  CellValueRequester* CellValues() override { return &cellValues; }
  // MapViewer
  MapProperties& map() override { return props; }
  Layers& layers() override { return layerList; }
  ServerLink& link() override { return serverLink; }
  Interaction& interaction() override { return ui; }
  void PostStatus(std::int32_t layerId, int kind) override { statuses.emplace_back(layerId, kind); }
  void SetupProjection(std::int16_t code) override { projections.push_back(code); }
  void MapLoaded() override { ++mapLoaded; }
  void ZoomExtents() override { ++zoomExtents; }
  void Redraw() override { ++redraws; }
  void RepaintLayer(std::int32_t layerId) override { repainted.push_back(layerId); }
  InfoExchange& infoExchange() override { return info; }
  void ApplyExtents(double x1, double y1, double x2, double y2) override {
    applied.push_back({x1, y1, x2, y2});
  }
  void Highlight(layer&, std::int32_t elementId) override { highlighted.push_back(elementId); }
  void RaiseInfoArrival(const ElementInfo& i) override { infoArrivals.push_back(i); }
};

}  // namespace orvenda::testing
