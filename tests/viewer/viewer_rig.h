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

#include "protocol/dwbuffer.h"
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

// One layer of the map definition (reply 101).
struct LayerDef {
  std::string name = "Roads";
  std::int32_t id = 7;
  std::int16_t kind = 2;
  // Grid limits as the server sends them: rows by minCol/maxCol, columns by minRow/maxRow.
  std::int32_t minCol = 90, minRow = 180, maxCol = 92, maxRow = 182;
  float delta = 1.0f;
  std::string label = " ";
  std::int16_t labelVisibility = 0;
};

struct SentRequest {
  std::int16_t code = 0;
  std::vector<std::uint8_t> bytes;
};

class ViewerRig {
 public:
  MemoryConnection sock;
  ScriptedInteraction ui;
  FakeClock clock;
  FakePump pump;
  ScriptedMenus menus;
  std::unique_ptr<Viewer> viewer;
  std::unique_ptr<QSignalSpy> redrawn;
  std::unique_ptr<QSignalSpy> loaded;
  std::unique_ptr<QSignalSpy> mouseUps;
  std::unique_ptr<QSignalSpy> clicks;

  // A viewer of `size` pixels aimed at the map server "maps.test":1001, user 42, map 3.
  explicit ViewerRig(int width = 300, int height = 300);
  ~ViewerRig();

  // Shows the control (its first show connects and asks for the map).
  void Show();
  // Codes of every request sent so far, in order.
  std::vector<std::int16_t> SentCodes() const;
  // Cell requests (2) sent since the last ClearSent: (layer, i, j).
  std::vector<std::array<std::int32_t, 3>> CellRequests() const;

  // Server replies.
  void ReplyOpenMap(std::int16_t result = 0);
  void ReplyMapDefinition(const std::vector<LayerDef>& layers, float minX = 0, float minY = 0,
                          float maxX = 2, float maxY = 2, std::int16_t projection = 0);
  void ReplyAccessLevels(const std::vector<LayerDef>& layers, std::int16_t level = 3);
  // A cell of one line element from (x1, y1) to (x2, y2), or of no element.
  void ReplyCell(std::int32_t layer, std::int32_t i, std::int32_t j,
                 const std::vector<std::array<double, 4>>& lines = {});
  // Answers every cell request sent since the last ClearSent with an empty cell.
  void AnswerCells();
  // Runs the whole opening exchange and answers the first cells.
  void Open(const std::vector<LayerDef>& layers = {LayerDef{}});
};

}  // namespace orvenda::testing
