#pragma once
// ViewerRig: a whole Viewer on an in-memory socket, scripted message boxes and
// menus, a fake clock and pump. The test plays the map server: it reads the
// requests the viewer sent and delivers the replies.

#include <QSignalSpy>
#include <array>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "support/fakes.h"
#include "support/memoryconnection.h"
#include "support/wire.h"
#include "viewer/popupmenu.h"
#include "viewer/viewer.h"

namespace orvenda::testing {

// Menus answered from a script; the log keeps the menus shown.
class ScriptedMenus : public PopupMenus {
 public:
  std::deque<std::string> answers;
  std::vector<std::string> shown;
  std::string Popup(const std::string& menuName, const std::vector<MenuItem>&, int, int) override {
    shown.push_back(menuName);
    if (answers.empty()) return {};
    std::string a = answers.front();
    answers.pop_front();
    return a;
  }
};

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
  std::unique_ptr<Viewer> viewer;
  std::unique_ptr<QSignalSpy> redrawn;
  std::unique_ptr<QSignalSpy> mouseUps;
  std::unique_ptr<QSignalSpy> clicks;

  // A viewer of 300 x 300 pixels aimed at the map server "maps.test":1001, user 42, map 3.
  ViewerRig();

  // Shows the control (its first show connects and asks for the map).
  void Show();
  // Cell requests (2) sent since the last ClearSent: (layer, i, j).
  std::vector<std::array<std::int32_t, 3>> CellRequests() const;

  // Server replies.
  void ReplyOpenMap();
  void ReplyMapDefinition(const std::vector<LayerDef>& layers);
  void ReplyAccessLevels(const std::vector<LayerDef>& layers);
  // A cell of these line elements (ids from the cell's place).
  void ReplyCell(std::int32_t layer, std::int32_t i, std::int32_t j,
                 const std::vector<Line>& lines = {});
  // Runs the whole opening exchange and answers the cells asked for, cell
  // (91, 181), in the middle of the map, with `middle`, the others empty.
  void Open(const std::vector<LayerDef>& layers = {LayerDef{}},
            const std::vector<Line>& middle = {});
};

}  // namespace orvenda::testing
