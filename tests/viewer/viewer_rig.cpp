#include "viewer_rig.h"

#include <QApplication>

namespace orvenda::testing {

ViewerRig::ViewerRig(int width, int height) {
  sock.connectAfterPumps = 1;
  pump.onPump = [this] { sock.Pump(); };
  ViewerSeams seams;
  seams.sock = &sock;
  seams.ui = &ui;
  seams.clock = &clock;
  seams.pump = &pump;
  seams.menus = &menus;
  viewer = std::make_unique<Viewer>(seams);
  viewer->resize(width, height);
  viewer->SetURL("maps.test");
  viewer->Setport(1001);
  viewer->SetIDUser(42);
  viewer->SetMapCode(3);
  redrawn = std::make_unique<QSignalSpy>(viewer.get(), &Viewer::MapRedrawn);
  loaded = std::make_unique<QSignalSpy>(viewer.get(), &Viewer::MapLoaded);
  mouseUps = std::make_unique<QSignalSpy>(viewer.get(), &Viewer::MouseUp);
  clicks = std::make_unique<QSignalSpy>(viewer.get(), &Viewer::click);
}

ViewerRig::~ViewerRig() {
  redrawn.reset();
  loaded.reset();
  mouseUps.reset();
  clicks.reset();
  viewer.reset();
}

void ViewerRig::Show() {
  viewer->show();
  QApplication::processEvents();
}

std::vector<std::int16_t> ViewerRig::SentCodes() const {
  std::vector<std::int16_t> codes;
  for (const auto& m : sock.sent()) {
    DWBUffer b;
    b.buffer(m);
    DWBUffer::Bytes header;
    b.GetFromBuffer(header, DWBUffer::kHeaderSize, 0);
    codes.push_back(b.GetInteger());
  }
  return codes;
}

std::vector<std::array<std::int32_t, 3>> ViewerRig::CellRequests() const {
  std::vector<std::array<std::int32_t, 3>> cells;
  for (const auto& m : sock.sent()) {
    DWBUffer b;
    b.buffer(m);
    DWBUffer::Bytes header;
    b.GetFromBuffer(header, DWBUffer::kHeaderSize, 0);
    if (b.GetInteger() != 2) continue;
    const std::int32_t id = b.GetLong();
    const std::int32_t i = b.GetLong();
    cells.push_back({id, i, b.GetLong()});
  }
  return cells;
}

void ViewerRig::ReplyOpenMap(std::int16_t result) {
  sock.Deliver(Message(110, [&](DWBUffer& b) { b.PutInteger(result); }));
}

namespace {

void PutLayer(DWBUffer& b, const LayerDef& l) {
  b.PutString(l.name);
  b.PutLong(l.id);
  b.PutInteger(l.kind);
  for (std::int32_t v : {l.minCol, l.minRow, l.maxCol, l.maxRow}) b.PutLong(v);
  b.PutSingle(l.delta);
  b.PutSingle(l.delta);
  b.PutInteger(2);      // always visible
  b.PutSingle(0.0f);    // ZoomMin
  b.PutSingle(1e37f);   // ZoomMax
  b.PutLong(0x000000);  // default class: colour, style, width, fill colour, fill style
  b.PutInteger(0);
  b.PutInteger(1);
  b.PutLong(0x00FF00);
  b.PutInteger(1);
  b.PutString(l.label);
  b.PutSingle(0.0f);
  b.PutSingle(1e37f);
  b.PutInteger(l.labelVisibility);
  b.PutInteger(0);
  b.PutLong(0);
  b.PutString(" ");  // no thematic field
  b.PutInteger(0);
  b.PutInteger(0);  // no fields
  b.PutInteger(0);  // no thematic classes
}

}  // namespace

void ViewerRig::ReplyMapDefinition(const std::vector<LayerDef>& layers, float minX, float minY,
                                   float maxX, float maxY, std::int16_t projection) {
  sock.Deliver(Message(101, [&](DWBUffer& b) {
    b.PutString("Test map");
    b.PutSingle(minX);
    b.PutSingle(minY);
    b.PutSingle(maxX);
    b.PutSingle(maxY);
    b.PutLong(0xFFFFFF);
    b.PutInteger(projection);
    b.PutInteger(static_cast<std::int16_t>(layers.size()));
    for (const LayerDef& l : layers) PutLayer(b, l);
  }));
}

void ViewerRig::ReplyAccessLevels(const std::vector<LayerDef>& layers, std::int16_t level) {
  sock.Deliver(Message(111, [&](DWBUffer& b) {
    b.PutInteger(static_cast<std::int16_t>(layers.size()));
    for (const LayerDef& l : layers) {
      b.PutLong(l.id);
      b.PutInteger(level);
    }
  }));
}

void ViewerRig::ReplyCell(std::int32_t layer, std::int32_t i, std::int32_t j,
                          const std::vector<std::array<double, 4>>& lines) {
  sock.Deliver(Message(102, [&](DWBUffer& b) {
    b.PutLong(layer);
    b.PutLong(i);
    b.PutLong(j);
    b.PutByte(0);  // absolute positions
    b.PutDouble(0);
    b.PutDouble(0);
    b.PutLong(static_cast<std::int32_t>(lines.size()));
    std::int32_t id = i * 1000 + j * 10;
    for (const auto& l : lines) {
      b.PutLong(++id);
      b.PutLong(2);
      b.PutDouble(l[0]);
      b.PutDouble(l[1]);
      b.PutDouble(l[2]);
      b.PutDouble(l[3]);
    }
  }));
}

void ViewerRig::AnswerCells() {
  const auto cells = CellRequests();
  sock.ClearSent();
  for (const auto& c : cells) ReplyCell(c[0], c[1], c[2]);
}

void ViewerRig::Open(const std::vector<LayerDef>& layers) {
  Show();
  ReplyOpenMap();
  ReplyMapDefinition(layers);
  ReplyAccessLevels(layers);
  AnswerCells();
}

}  // namespace orvenda::testing
