#include <gtest/gtest.h>

#include <iomanip>
#include <limits>
#include <sstream>

#include "protocol/elementinfo.h"
#include "protocol/queryreplies.h"
#include "support/recordingmapviewer.h"
#include "support/wire.h"

namespace orvenda {
namespace {

using testing::Bytes;
using testing::Join;
using testing::Wire;
using Texts = std::vector<std::string>;

// What the query dialogs were given, one line each.
struct RecordingResults : QueryResultsView {
  Texts log;
  std::ostringstream line;
  void FoundByCondition(const FoundElements& f) override {
    line << "113 " << f.echo.condition.field << ":";
    for (const auto& [id, value] : f.found) line << " " << id << "=" << value;
    Next();
  }
  void SelectionTable(const orvenda::SelectionTable& t, std::int16_t mode) override {
    line << "114 mode " << mode << ":";
    for (const auto& row : t.rows) line << " " << row.elementId;
    Next();
  }
  void AddressCandidates(const orvenda::AddressCandidates& a) override {
    line << std::setprecision(15) << "231 " << a.echo.street << ":";
    for (const auto& c : a.candidates) line << " " << c.elementId << "@" << c.x << "," << c.y;
    Next();
  }
  void Next() { log.push_back(std::exchange(line, {}).str()); }
};

// Layer 7 "Lugares" with three fields; element 5 is loaded, 6 is not.
struct Rig {
  testing::RecordingMapViewer v;
  layer* places = &v.layerList.Add("Lugares", "7", pointlayer, &v);
  RecordingResults results;
  Rig() {
    places->Campos().Add("NOMBRE", 200);
    places->Campos().Add("POB", 3);
    places->Campos().Add("ALT", 4);
    const Point p{1, 2};
    places->Entidades.Add(5, std::span(&p, 1), places);
    v.info.resultsView = &results;
    v.pending = 1;
  }
  Texts Shown() const {
    Texts texts;
    for (const auto& m : v.ui.shown) texts.push_back(m.title + "|" + m.text);
    return texts;
  }
};

// Picked elements: one asks its values, several go to the information dialog
// together. A view of elements: a single unloaded one asks the server for its
// extent, whose reply then zooms; loaded ones give their boxes, padded only where
// narrower than 0.002. (Layouts of 13, 14 and 230, which the query senders write: the
// messages tests.)
TEST(InfoRequests, PickedElementsInformationAndZoom) {
  Rig r;
  r.v.pending = 0;
  const Point line[] = {{3, 2}, {3.5, 2.0005}};
  r.places->Entidades.Add(8, line, r.places);
  RequestElementsInformation(r.v, 7, {5});
  RequestElementsInformation(r.v, 7, {5, 8});
  RequestElementsInformation(r.v, 7, {});
  ZoomToElements(r.v, 7, {6});
  ZoomToElements(r.v, 7, {6, 0});  // not loaded and not alone: no box, no request
  ZoomToElements(r.v, 9, {5});
  EXPECT_EQ(r.v.sock.sent(),
            (std::vector<Bytes>{Wire(4, "LL", {7, 5}), Wire(14, "LLLL I", {7, 2, 5, 8, 0}),
                                Wire(15, "LL", {7, 6})}));
  EXPECT_TRUE(r.v.info.zoomToSelected);
  ZoomToElements(r.v, 7, {5});
  ZoomToElements(r.v, 7, {0, 5, 8, 6});
  ZoomToElements(r.v, 7, {8});
  using Box = std::array<double, 4>;
  EXPECT_EQ(r.v.applied,
            (std::vector<Box>{
                {0.999, 1.999, 1.001, 2.001}, {1, 1.999, 3.5, 2.0015}, {3, 1.999, 3.5, 2.0015}}));
}

TEST(InfoReplies, ElementInformationWindowOrHostEvent) {
  const std::string kHead = "Layer: Lugares\n\n";
  const std::string kAll = kHead + "NOMBRE: Monterrey\n\nPOB: 1142994\n\nALT: 2.5\n\n";
  const Bytes kNone = Wire(104, "LLI", {7, 5, -1});
  const Bytes kMore =
      Wire(104, "LLI ISILIFII", {7, 5, 4, 200, "Monterrey", 3, 1142994, 4, 2.5, 2, 9});
  struct Case {
    Bytes reply;
    std::int32_t pendingBefore;
    std::string window;  // empty: none
    std::vector<std::int32_t> highlighted;
  } cases[] = {
      {Wire(104, "LLI ISILIF", {7, 5, 3, 200, " Monterrey ", 3, 1142994, 4, 2.5}), 1, kAll, {5}},
      {kMore, 1, kAll, {5}},  // more values than fields
      {Wire(104, "LLI IS", {7, 6, 1, 8, "x"}), 1, kHead + "NOMBRE: x\n\n", {}},  // not loaded
      {kNone, 1, kHead, {5}},
      {kNone, 0, kHead, {5}},                     // the count was reset by Shift+right click
      {Wire(104, "LLI", {0, 5, -1}), 1, "", {}},  // a layer the map does not hold
  };
  for (const Case& c : cases) {
    Rig r;
    r.v.pending = c.pendingBefore;
    r.v.sock.Deliver(c.reply);
    EXPECT_EQ(r.Shown(), c.window.empty() ? Texts{} : Texts{"Orvenda|" + c.window});
    EXPECT_EQ(r.v.highlighted, c.highlighted);
    EXPECT_EQ(r.v.pending, 0);
    // The arrival's own pass, and one more after a window.
    EXPECT_EQ(r.v.loadingPasses, c.window.empty() ? 1 : 2);
  }
  // With ReleaseInfoEvent the host gets the values once, and no window.
  Rig r;
  r.v.info.ReleaseInfoEvent = true;
  r.v.pending = 2;
  r.v.sock.Deliver(Join({Wire(104, "LLI ISIL", {7, 5, 2, 200, " a ", 3, 12}), kNone}));
  ASSERT_EQ(r.v.infoArrivals.size(), 1u);
  EXPECT_EQ(r.v.infoArrivals[0].FieldData, (Texts{"a", "12"}));
  EXPECT_EQ(r.v.highlighted, (std::vector<std::int32_t>{5, 5}));
  EXPECT_EQ(r.Shown(), Texts{"Orvenda|" + kHead});
  // A value of a type with no encoding drops the rest of the reply, still counted;
  // the next reply of the same arrival is handled.
  r.v.ui.shown.clear();
  r.v.pending = 2;
  r.v.sock.Deliver(Join({Wire(104, "LLI ISI", {7, 5, 2, 200, "a", 99}), kNone}));
  EXPECT_EQ(r.v.pending, 0);
  ASSERT_EQ(r.v.ui.shown.size(), 2u);
  EXPECT_EQ(r.v.ui.shown[0].title, "Orvenda Viewer");
  EXPECT_EQ(r.v.ui.shown[1].text, kHead);
}

TEST(InfoReplies, ExtentZoomsOnlyToAKnownBoxInZoomMode) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    std::int32_t layerId;
    bool zoomMode;
    std::array<double, 4> box;
    std::vector<std::array<double, 4>> applied;
  } cases[] = {
      {7, true, {1, 2, 3, 4}, {{1 - 0.001, 2 - 0.001, 3 + 0.001, 4 + 0.001}}},
      {7, true, {1, 2, 1, 2}, {{1 - 0.001, 2 - 0.001, 1 + 0.001, 2 + 0.001}}},  // a point
      {7, false, {1, 2, 3, 4}, {}},
      {0, true, {1, 2, 3, 4}, {}},
      {7, true, {3, 2, 1, 4}, {}},
      {7, true, {1, nan, 3, 4}, {}},
      {7, true, {1, 2, std::numeric_limits<double>::infinity(), 4}, {}},
      {7, true, {1e37, 1e37, 1e37, 1e37}, {}},
      {7, true, {0, 0, 0, 0}, {}},
  };
  for (const Case& c : cases) {
    Rig r;
    r.v.info.zoomToSelected = c.zoomMode;
    r.v.sock.Deliver(Wire(115, "LLDDDD", {c.layerId, 5, c.box[0], c.box[1], c.box[2], c.box[3]}));
    EXPECT_EQ(r.v.pending, 0);
    EXPECT_EQ(r.v.applied, c.applied) << c.box[0] << " " << c.box[1];
  }
}

TEST(InfoReplies, QueryResultsReachTheDialogsOrTheirMessages) {
  const Bytes kNoneFound = Wire(113, "LSIBSSL", {7, "NOMBRE", 200, 4, "m", "", 0});
  const Bytes kFound =
      Wire(113, "LSIBSSL LSLS", {7, "NOMBRE", 200, 4, "m", "", 2, 5, " M ", 6, ""});
  const std::string kNotFound = "Requested information not found.\nPlease try again.";
  const std::string kNoElement =
      "Find Address Error. \nLayer: 7, SteetName: Juarez, StreetNumber: 12";
  // Two candidates, the first naming no element.
  const Bytes kCandidates = testing::Message(231, [](DWBUffer& b) {
    testing::PutFields(b, "LSSL LSSS", {7, "Juarez", "12", 2, 0, "", "", ""});
    testing::PutFields(b, "DDDDDD LSSS", {0, 0, 0, 0, 0, 0, 9, "Juarez", "1", "99"});
    testing::PutFields(b, "DDDD DD", {-100.2, 25.1, -100.1, 25.2, -100.123456789012, 25.1234});
  });
  struct Case {
    Bytes reply;
    bool view;
    Texts log;
    std::string shown;
  } cases[] = {
      {kFound, true, {"113 NOMBRE: 5= M  6="}, ""},
      {kNoneFound, true, {"113 NOMBRE:"}, ""},
      {kNoneFound, false, {}, ""},
      {Wire(114, "LLI L", {7, 1, 1, 0}), true, {}, "No elements found."},
      {Wire(114, "LLI LS LS", {7, 2, 2, 5, "a", 6, "b"}), true, {"114 mode 3: 5 6"}, ""},
      {Wire(114, "LLI L", {0, 1, 1, 0}), true, {}, ""},
      {Wire(231, "LSSL", {7, "Juarez", "12", 0}), true, {}, kNotFound},
      {kCandidates, true, {"231 Juarez: 9@-100.123456789012,25.1234"}, kNoElement},
  };
  for (const Case& c : cases) {
    Rig r;
    r.v.info.displayMode = 3;
    if (!c.view) r.v.info.resultsView = nullptr;
    r.v.sock.Deliver(c.reply);
    EXPECT_EQ(r.v.pending, 0);
    EXPECT_EQ(r.results.log, c.log);
    EXPECT_EQ(r.Shown(), c.shown.empty() ? Texts{} : Texts{"Orvenda|" + c.shown});
  }
}

// Every message of an arrival is handled before a window opens; what arrives
// during the window is handled at once, and its own window waits its turn.
TEST(InfoReplies, AWindowOpensOnlyAfterTheWholeArrivalWasHandedOver) {
  Rig r;
  r.v.pending = 3;
  r.v.info.zoomToSelected = true;
  std::vector<std::string> seen;
  r.v.ui.onMessage = [&](const testing::ShownMessage& m) {
    seen.push_back(m.text + " after " + std::to_string(r.v.applied.size()) + " zoom");
    if (seen.size() == 1) r.v.sock.Deliver(Wire(104, "LLI", {7, 5, -1}));
    seen.push_back("pending " + std::to_string(r.v.pending));
  };
  r.v.sock.Deliver(
      Join({Wire(114, "LLI L", {7, 1, 1, 0}), Wire(115, "LLDDDD", {7, 5, 1, 2, 3, 4})}));
  EXPECT_EQ(seen, (std::vector<std::string>{"No elements found. after 1 zoom", "pending 0",
                                            "Layer: Lugares\n\n after 1 zoom", "pending 0"}));
}

// Each viewer routes 104 by its own request 4 and shows 114 by its own request 14.
TEST(InfoReplies, TwoViewersKeepTheirOwnModes) {
  Rig editing, viewing;
  std::vector<std::int32_t> edited;
  editing.v.info.onAttributesForEdit = [&](const ElementValues& e) {
    edited.push_back(e.elementId);
  };
  viewing.v.info.onAttributesForEdit = editing.v.info.onAttributesForEdit;
  SendAttributeEditRequest(editing.v, 7, 5, {"NOMBRE"}, {"Nuevo"});
  SendElementInfoRequest(viewing.v, 7, 5);
  SendMultipleSelection(editing.v, {7, {5}, {}}, 0);
  SendMultipleSelection(viewing.v, {7, {5}, {}}, 2);
  for (Rig* r : {&editing, &viewing}) {
    r->v.sock.Deliver(Join({Wire(104, "LLI", {7, 5, -1}), Wire(114, "LLI L", {7, 1, 1, 5})}));
  }
  EXPECT_EQ(edited, std::vector<std::int32_t>{5});
  EXPECT_EQ(editing.v.info.editValues, std::vector<std::string>{"Nuevo"});
  EXPECT_TRUE(editing.Shown().empty());
  EXPECT_EQ(viewing.Shown(), std::vector<std::string>{"Orvenda|Layer: Lugares\n\n"});
  EXPECT_EQ(editing.results.log, std::vector<std::string>{"114 mode 0: 5"});
  EXPECT_EQ(viewing.results.log, std::vector<std::string>{"114 mode 2: 5"});
}

}  // namespace
}  // namespace orvenda
