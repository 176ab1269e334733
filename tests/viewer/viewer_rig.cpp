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

ViewerRig::~ViewerRig() {
  redrawn.reset();
  mouseUps.reset();
  clicks.reset();
  viewer.reset();
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

namespace {

void PutOne(DWBUffer& b, std::int16_t v) { b.PutInteger(v); }
void PutOne(DWBUffer& b, std::int32_t v) { b.PutLong(v); }
void PutOne(DWBUffer& b, float v) { b.PutSingle(v); }
void PutOne(DWBUffer& b, double v) { b.PutDouble(v); }
void PutOne(DWBUffer& b, const std::string& v) { b.PutString(v); }

// Writes each field as its type says: 16-bit integer, 32-bit, single, double, string.
template <typename... Fields>
void Put(DWBUffer& b, const Fields&... fields) {
  (PutOne(b, fields), ...);
}

std::int16_t I(std::size_t v) { return static_cast<std::int16_t>(v); }

}  // namespace

void ViewerRig::ReplyOpenMap() {
  sock.Deliver(Message(cmd::kOpenMapReply, [](DWBUffer& b) { Put(b, I(0)); }));
}

void ViewerRig::ReplyMapDefinition(const std::vector<LayerDef>& layers) {
  sock.Deliver(Message(cmd::kMapDefinitionReply, [&](DWBUffer& b) {
    // Name, extent, white background, no projection.
    Put(b, std::string("Test map"), 0.0f, 0.0f, 2.0f, 2.0f, 0xFFFFFF, I(0), I(layers.size()));
    for (const LayerDef& l : layers) {
      Put(b, l.name, l.id, l.kind, l.minCol, l.minRow, l.maxCol, l.maxRow);
      // Square cells; always visible from zoom 0 to 1e37.
      Put(b, l.delta, l.delta, I(2), 0.0f, 1e37f);
      // Default class: black solid line of 1, green solid fill.
      Put(b, 0, I(0), I(1), 0x00FF00, I(1));
      // No labels, no thematic field, no fields, no thematic classes.
      Put(b, std::string(" "), 0.0f, 1e37f, I(0), I(0), 0, std::string(" "), I(0), I(0), I(0));
    }
  }));
}

void ViewerRig::ReplyAccessLevels(const std::vector<LayerDef>& layers) {
  sock.Deliver(Message(cmd::kAccessLevelsReply, [&](DWBUffer& b) {
    Put(b, I(layers.size()));
    for (const LayerDef& l : layers) Put(b, l.id, I(3));
  }));
}

void ViewerRig::ReplyCell(std::int32_t layer, std::int32_t i, std::int32_t j,
                          const std::vector<Line>& lines) {
  sock.Deliver(Message(cmd::kCellReply, [&](DWBUffer& b) {
    Put(b, layer, i, j);
    b.PutByte(0);  // absolute positions
    Put(b, 0.0, 0.0, static_cast<std::int32_t>(lines.size()));
    std::int32_t id = i * 1000 + j * 10;
    for (const Line& l : lines) Put(b, ++id, 2, l[0], l[1], l[2], l[3]);
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
