// Edits 205-210 and 220 against the real server: each stored edit reaches every viewer
// of its layer, the author included, as message 250, and nobody else; a refused edit
// changes nothing, pushes nothing and leaves the connection working.
#include <gtest/gtest.h>

#include "protocol/editmessages.h"
#include "server_rig.h"

namespace orvenda::server::test {
namespace {

using Changes = std::vector<LayerChange>;
using WirePoints = std::vector<::orvenda::Point>;

// The next `n` messages of `c`, read as messages 250 (fewer when another comes).
Changes Pushed(ProtocolClient& c, std::size_t n) {
  Changes out;
  while (out.size() < n) {
    auto m = c.Receive();
    if (!m || ProtocolClient::CodeOf(*m) != 250) break;
    out.push_back(ReadLayerChange(*m));
  }
  return out;
}

LayerChange Change(std::int16_t operation, std::int32_t layer, std::int32_t element,
                   WirePoints points = {}, std::vector<std::string> values = {},
                   std::vector<CellIJ> cells = {}) {
  return {operation, layer, element, std::move(points), std::move(values), {}, std::move(cells)};
}

// Its next message is the reply to a request, so nothing was pushed to it before.
void ExpectNothingPushed(ProtocolClient& c, const TestData& d) {
  EXPECT_TRUE(Ask(c, CellRequest(d.places, {1157, 797}), 102));
}

// Ana draws on the roads and the secret areas; bob views both; the guest opens the map
// but may see neither.
struct Viewers {
  explicit Viewers(ServerRig& rig) {
    auto s = rig.OpenStore();
    s->SetAccess(rig.Data().ana, rig.Data().roads, AccessLevel::Draw);
    s->SetAccess(rig.Data().ana, rig.Data().secret, AccessLevel::Draw);
    s->SetAccess(rig.Data().bob, rig.Data().roads, AccessLevel::Viewer);
    s->SetAccess(rig.Data().bob, rig.Data().secret, AccessLevel::Viewer);
    ana = OpenViewer(rig);
    bob = OpenViewer(rig, "bob", "bobpass");
    guest = OpenViewer(rig, "invitado", "");
  }
  std::unique_ptr<ProtocolClient> ana, bob, guest;
};

TEST(ServerEdits, EachEditReachesEveryViewerOfTheLayerAfterItIsStored) {
  ServerRig rig;
  const TestData& d = rig.Data();
  Viewers v(rig);
  const WirePoints line = {{-100.3, 25.0}, {-100.25, 25.05}, {-100.2, 25.1}};
  const WirePoints far = {{10, 10}, {10.2, 10.2}};
  const WirePoints area = {{-100.3, 25.6}, {-100.2, 25.6}, {-100.25, 25.7}};
  const std::vector<std::string> first = {"Morelos", "1", "2.5", "3"};
  const std::vector<std::string> second = {"Morelos", "-1", "0.125", "4"};
  // The roads hold elements 1-4 in rows 220-230 and columns 140-160 of 0.5 degrees.
  const struct {
    const char* what;
    DWBUffer request;
    Changes pushed;
  } steps[] = {
      {"new line (cells sent are ignored)",
       WriteNewElement({206, d.roads, {{1, 1}}, line, 0.5f, 0.5f, first}),
       {Change(1, d.roads, 5, line, first)}},
      {"new values: its cells' labels are asked again",
       WriteValuesEdit({d.roads, {}, 5, second}),
       {Change(3, d.roads, 5, {}, second),
        Change(5, d.roads, 5, {}, {}, {{230, 159}, {230, 160}})}},
      {"broken at vertex 2: a new element 2..3 with the same values",
       WriteGeometryEdit({d.roads, 2, 5, {}, line, 2, 0.5f, 0.5f}),
       {Change(6, d.roads, 5, {line[0], line[1]}),
        Change(1, d.roads, 6, {line[1], line[2]}, second)}},
      {"moved beyond the grid, no break at p",
       WriteGeometryEdit({d.roads, 2, 6, {}, far, 2, 0.5f, 0.5f}),
       {Change(6, d.roads, 6, far), {4, d.roads, 0, {}, {}, {200, 140, 230, 380}, {}}}},
      {"erased", WriteErase({d.roads, {}, 5}), {Change(2, d.roads, 5)}},
      {"new area: its ring is closed as stored areas are",
       WriteNewElement({207, d.secret, {}, area, 1, 1, {"S-2"}}),
       {Change(1, d.secret, 2, {area[0], area[1], area[2], area[0]}, {"S-2"})}},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.what);
    ASSERT_TRUE(v.ana->Send(step.request.buffer()));
    EXPECT_EQ(Pushed(*v.ana, step.pushed.size()), step.pushed);
    EXPECT_EQ(Pushed(*v.bob, step.pushed.size()), step.pushed);
  }
  ExpectNothingPushed(*v.guest, d);
  auto s = rig.OpenStore();
  EXPECT_FALSE(s->ElementExtent(d.roads, 5));
  const auto moved = s->CellElements(d.roads, {200, 380});
  ASSERT_EQ(moved.size(), 1u);
  EXPECT_EQ(std::tie(moved[0].id, moved[0].points[1].x), std::tuple(6, 10.2));
  EXPECT_EQ(s->ElementAttributes(d.roads, 6)->at(2).value, Value{0.125});
  EXPECT_EQ(s->FindLayerInfo(d.roads)->grid.lastColumn, 380);
}

TEST(ServerEdits, RefusedEditsChangeNothingPushNothingAndAreLogged) {
  ServerRig rig;
  const TestData& d = rig.Data();
  Viewers v(rig);
  ProtocolClient unopened(rig.Port());
  const std::vector<std::string> road = {"X", "1", "1", "1"};
  const WirePoints two = {{-100.3, 25.0}, {-100.2, 25.1}};
  auto newLine = [&](WirePoints points, std::vector<std::string> values = {"X", "1", "1", "1"}) {
    return WriteNewElement({206, d.roads, {}, std::move(points), 0.5f, 0.5f, std::move(values)})
        .buffer();
  };
  const std::string roads = std::to_string(d.roads);
  const struct {
    ProtocolClient* from;
    Bytes request;
    std::string logged;
  } rows[] = {
      {v.bob.get(), newLine(two), "has level 1 on layer " + roads + ", 3 needed"},
      {v.guest.get(),
       WriteValuesEdit({d.places, {}, d.firstPlace, {"a", "1", "1", "1", "1"}}).buffer(),
       "has level 1 on layer " + std::to_string(d.places) + ", 2 needed"},
      {v.ana.get(),
       WriteNewElement({205, d.places, {}, {two[0]}, 1, 1, {"a", "1", "1", "1", "1"}}).buffer(),
       "has level 2 on layer " + std::to_string(d.places) + ", 3 needed"},
      {v.ana.get(), WriteErase({999, {}, 1}).buffer(), "layer 999 is not in map 7"},
      {v.ana.get(), WriteNewElement({205, d.roads, {}, {two[0]}, 1, 1, road}).buffer(),
       "layer " + roads + " is of kind 2"},
      {v.ana.get(), newLine({two[0]}), "a line needs at least 2 vertices"},
      {v.ana.get(),
       WriteNewElement({207, d.secret, {}, {two[0], two[1], two[0]}, 1, 1, {"s"}}).buffer(),
       "an area needs at least 3 distinct vertices"},
      {v.ana.get(), RequestWith(206, d.roads, 0, 2'000'000'000),
       "impossible count of vertices: 2000000000"},
      {v.ana.get(), RequestWith(206, d.roads, -5), "impossible count of cells: -5"},
      {v.ana.get(), WriteValuesEdit({d.roads, {}, 1, {"X", "doce", "1", "1"}}).buffer(),
       "value 'doce' does not fit field 'DIR'"},
      {v.ana.get(), newLine(two, {"X", "1", "1"}), "has 4 fields, 3 values given"},
      {v.ana.get(), newLine(WirePoints(32768, two[0])), "32768 vertices, more than"},
      {v.ana.get(), newLine({two[0], {-100.2, 95}}), "vertex outside longitude"},
      {v.ana.get(), WriteErase({d.roads, {}, 999}).buffer(), "no element 999 in layer"},
      {&unopened, newLine(two), "refused new line (206): no map open"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.logged);
    ASSERT_TRUE(row.from->Send(row.request));
    EXPECT_TRUE(WaitFor([&] { return rig.LogText().find(row.logged) != std::string::npos; }));
  }
  for (auto* c : {v.ana.get(), v.bob.get(), v.guest.get(), &unopened}) ExpectNothingPushed(*c, d);
  auto s = rig.OpenStore();
  for (const auto layer : {d.roads, d.places, d.secret})
    EXPECT_EQ(s->FindLayerInfo(layer)->elementCount, layer == d.roads    ? 4
                                                     : layer == d.places ? 2
                                                                         : 1);
  EXPECT_EQ(s->ElementAttributes(d.roads, 1)->at(1).value, Value{std::int64_t{12}});
}

TEST(ServerEdits, AViewerThatStopsReadingIsClosedOnceItsChangesPassTheBound) {
  ServerConfig config;
  config.maxQueuedBytes = 64 * 1024;
  ServerRig rig(config);
  const TestData& d = rig.Data();
  Viewers v(rig);  // bob never reads
  WirePoints line(30000);
  for (std::size_t i = 0; i < line.size(); ++i) line[i] = {-100 + 1e-6 * i, 25};
  // Each change is some 480 KB: the kernel's buffers fill up, then bob's queue.
  const Bytes edit = WriteNewElement({206, d.roads, {}, line, 1, 1, {"X", "1", "1", "1"}}).buffer();
  EXPECT_TRUE(WaitFor([&] {
    const auto own = v.ana->Send(edit) ? v.ana->Receive() : std::nullopt;
    EXPECT_TRUE(own && ProtocolClient::CodeOf(*own) == 250);
    return rig.LogText().find("the client stopped reading pushed changes") != std::string::npos;
  }));
  EXPECT_TRUE(v.bob->ClosedByServer());
  ExpectNothingPushed(*v.ana, d);
}

}  // namespace
}  // namespace orvenda::server::test
