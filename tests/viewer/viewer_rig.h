#pragma once
// ViewerRig: a whole Viewer on an in-memory socket, scripted message boxes and
// menus, a fake clock and pump. The test plays the map server: it reads the
// requests the viewer sent and delivers the replies.

#include <QApplication>
#include <QSignalSpy>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "protocol/dwbuffer.h"
#include "support/fakes.h"
#include "support/memoryconnection.h"
#include "support/wire.h"
#include "viewer/viewer.h"

namespace orvenda::testing {

// One layer of the map definition (reply 101), on a map of 0..2 x 0..2 degrees.
struct LayerDef {
  std::string name = "Roads";
  std::int32_t id = 7;
  std::int16_t kind = 2;
  // Grid limits as the server sends them: rows by minCol/maxCol, columns by minRow/maxRow.
  std::int32_t minCol = 90, minRow = 180, maxCol = 92, maxRow = 182;
  float delta = 1.0f;  // cell width and height, degrees
};

// A line element from (x1, y1) to (x2, y2).
using Line = std::array<double, 4>;

class ViewerRig {
 public:
  MemoryConnection sock;
  ScriptedInteraction ui;
  FakeClock clock;
  FakePump pump;
  ScriptedMenus menus;
  // A viewer of 300 x 300 pixels aimed at the map server "maps.test":1001, user 42, map 3.
  std::unique_ptr<Viewer> viewer = std::make_unique<Viewer>(
      ViewerSeams{.sock = &sock, .ui = &ui, .clock = &clock, .pump = &pump, .menus = &menus});
  QSignalSpy redrawn{viewer.get(), &Viewer::MapRedrawn};
  QSignalSpy mouseUps{viewer.get(), &Viewer::MouseUp};
  QSignalSpy clicks{viewer.get(), &Viewer::click};

  ViewerRig() {
    sock.connectAfterPumps = 1;
    pump.onPump = [this] { sock.Pump(); };
    viewer->resize(300, 300);
    viewer->SetURL("maps.test");
    viewer->Setport(1001);
    viewer->SetIDUser(42);
    viewer->SetMapCode(3);
  }

  // Shows the control (its first show connects and asks for the map).
  void Show() {
    viewer->show();
    QApplication::processEvents();
  }

  // Cell requests (2) sent since the last ClearSent: (layer, i, j).
  std::vector<std::array<std::int32_t, 3>> CellRequests() const {
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

  // Server replies.
  void ReplyOpenMap() { sock.Deliver(Wire(cmd::kOpenMapReply, "I", {0})); }
  void ReplyMapDefinition(const std::vector<LayerDef>& layers) {
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

  void ReplyAccessLevels(const std::vector<LayerDef>& layers) {
    sock.Deliver(Message(cmd::kAccessLevelsReply, [&](DWBUffer& b) {
      PutFields(b, "I", {static_cast<int>(layers.size())});
      for (const LayerDef& l : layers) PutFields(b, "L I", {l.id, 3});
    }));
  }

  // A cell of these line elements.
  void ReplyCell(std::int32_t layer, std::int32_t i, std::int32_t j,
                 const std::vector<Line>& lines = {}) {
    sock.Deliver(Message(cmd::kCellReply, [&](DWBUffer& b) {
      // Absolute positions; ids from the cell's place.
      PutFields(b, "LLL B DD L", {layer, i, j, 0, 0.0, 0.0, static_cast<int>(lines.size())});
      std::int32_t id = i * 1000 + j * 10;
      for (const Line& l : lines) PutFields(b, "L L DDDD", {++id, 2, l[0], l[1], l[2], l[3]});
    }));
  }

  // Runs the whole opening exchange and answers the cells asked for, cell
  // (91, 181), in the middle of the map, with `middle`, the others empty.
  void Open(const std::vector<LayerDef>& layers = {LayerDef{}},
            const std::vector<Line>& middle = {}) {
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
};

}  // namespace orvenda::testing
