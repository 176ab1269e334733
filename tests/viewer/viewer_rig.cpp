#include "viewer_rig.h"

#include <QApplication>

#include "protocol/dwbuffer.h"

namespace orvenda::testing {

ViewerRig::ViewerRig() {
  sock.connectAfterPumps = 1;
  pump.onPump = [this] { sock.Pump(); };
  ViewerSeams seams;
  seams.sock = &sock;
  seams.ui = &ui;
  seams.clock = &clock;
  seams.pump = &pump;
  seams.menus = &menus;
  viewer = std::make_unique<Viewer>(seams);
  viewer->resize(300, 300);
  viewer->SetURL("maps.test");
  viewer->Setport(1001);
  viewer->SetIDUser(42);
  viewer->SetMapCode(3);
  redrawn = std::make_unique<QSignalSpy>(viewer.get(), &Viewer::MapRedrawn);
  mouseUps = std::make_unique<QSignalSpy>(viewer.get(), &Viewer::MouseUp);
  clicks = std::make_unique<QSignalSpy>(viewer.get(), &Viewer::click);
}

void ViewerRig::Show() {
  viewer->show();
  QApplication::processEvents();
}

std::vector<std::array<std::int32_t, 3>> ViewerRig::CellRequests() const {
  std::vector<std::array<std::int32_t, 3>> cells;
  for (const auto& m : sock.sent()) {
    DWBUffer b(m);
    b.GetLong();  // "MIC ", the length, the code
    b.GetLong();
    if (b.GetInteger() != cmd::kCell) continue;
    const std::int32_t id = b.GetLong();
    const std::int32_t i = b.GetLong();
    cells.push_back({id, i, b.GetLong()});
  }
  return cells;
}

void ViewerRig::ReplyOpenMap() { sock.Deliver(Wire(cmd::kOpenMapReply, "I", {0})); }

void ViewerRig::ReplyMapDefinition(const std::vector<LayerDef>& layers) {
  const int count = static_cast<int>(layers.size());
  sock.Deliver(Message(cmd::kMapDefinitionReply, [&](DWBUffer& b) {
    // Name, extent, white background, no projection.
    PutFields(b, "S FFFF L I I", {"Test map", 0, 0, 2, 2, 0xFFFFFF, 0, count});
    // Each layer: name, id, kind, grid limits; square cells, visible from zoom 0
    // to 1e37; a black solid line of 1 and a green solid fill; no labels, no
    // thematic field, no fields, no thematic classes.
    for (const LayerDef& l : layers) {
      PutFields(b, "S L I LLLL FF I FF L I I L I S FF II L S III",
                {l.name, l.id, l.kind, l.minCol, l.minRow, l.maxCol, l.maxRow, l.delta, l.delta,
                 2,      0,    1e37,   0,        0,        1,        0x00FF00, 1,       " ",
                 0,      1e37, 0,      0,        0,        " ",      0,        0,       0});
    }
  }));
}

void ViewerRig::ReplyAccessLevels(const std::vector<LayerDef>& layers) {
  sock.Deliver(Message(cmd::kAccessLevelsReply, [&](DWBUffer& b) {
    PutFields(b, "I", {static_cast<int>(layers.size())});
    for (const LayerDef& l : layers) PutFields(b, "L I", {l.id, 3});
  }));
}

void ViewerRig::ReplyCell(std::int32_t layer, std::int32_t i, std::int32_t j,
                          const std::vector<Line>& lines) {
  sock.Deliver(Message(cmd::kCellReply, [&](DWBUffer& b) {
    // Absolute positions; ids from the cell's place.
    PutFields(b, "LLL B DD L", {layer, i, j, 0, 0.0, 0.0, static_cast<int>(lines.size())});
    std::int32_t id = i * 1000 + j * 10;
    for (const Line& l : lines) PutFields(b, "L L DDDD", {++id, 2, l[0], l[1], l[2], l[3]});
  }));
}

void ViewerRig::Open(const std::vector<LayerDef>& layers, const std::vector<Line>& middle) {
  Show();
  ReplyOpenMap();
  ReplyMapDefinition(layers);
  ReplyAccessLevels(layers);
  const auto cells = CellRequests();
  sock.ClearSent();
  for (const auto& c : cells) {
    ReplyCell(c[0], c[1], c[2], c[1] == 91 && c[2] == 181 ? middle : std::vector<Line>{});
  }
}

}  // namespace orvenda::testing
