#include "protocol/cellloading.h"

#include <gtest/gtest.h>

#include "protocol/catalogue.h"
#include "protocol/layerchange.h"
#include "support/recordingmapviewer.h"
#include "support/wire.h"

namespace orvenda {
namespace {

using testing::Bytes;
using testing::Message;
using testing::RecordingMapViewer;

struct Rig {
  RecordingMapViewer v;
  layer* streets = nullptr;
  layer* schools = nullptr;

  Rig() {
    streets = &v.layerList.Add("Calles", "7", polylinelayer, &v);
    streets->lblField = "NOMBRE";
    streets->DirectionField = "DIR";
    streets->Campos().Add("NOMBRE", 200);
    streets->Campos().Add("DIR", 2);
    streets->ThematicMap().Add(0, 1, 0, 0, 0, kAnyValueClass, "");
    schools = &v.layerList.Add("Escuelas", "9", pointlayer, &v);
    schools->ThematicField = "TIPO";
    schools->ThematicFieldType = 200;
    schools->Campos().Add("TIPO", 200);
    schools->ThematicMap().Add(0, 1, 0, 0, 0, kAnyValueClass, "");
    schools->ThematicMap().Add(0, 1, 0, 0, 0, "PUBLICA", "");
  }
};

using Pt = std::pair<double, double>;
Bytes CellReply(std::int32_t layerId, std::int32_t i, std::int32_t j, std::uint8_t form, double ox,
                double oy, const std::vector<std::pair<std::int32_t, std::vector<Pt>>>& els) {
  return Message(102, [&](DWBUffer& b) {
    b.PutLong(layerId);
    b.PutLong(i);
    b.PutLong(j);
    b.PutByte(form);
    b.PutDouble(ox);
    b.PutDouble(oy);
    b.PutLong(static_cast<std::int32_t>(els.size()));
    for (const auto& [id, pts] : els) {
      b.PutLong(id);
      b.PutLong(static_cast<std::int32_t>(pts.size()));
      for (const auto& [x, y] : pts) {
        if (form == 0) {
          b.PutDouble(x);
          b.PutDouble(y);
        } else {
          b.PutSingle(static_cast<float>(x));
          b.PutSingle(static_cast<float>(y));
        }
      }
    }
  });
}

Bytes ValuesReply(std::int32_t layerId, const std::string& field,
                  const std::vector<std::pair<std::int32_t, std::int32_t>>& pairs,
                  const std::vector<std::string>& values) {
  return Message(105, [&](DWBUffer& b) {
    b.PutLong(layerId);
    b.PutString(field);
    b.PutLong(static_cast<std::int32_t>(pairs.size()));
    for (const auto& [id, pos] : pairs) {
      b.PutLong(id);
      b.PutLong(pos);
    }
    if (pairs.empty()) return;
    b.PutLong(static_cast<std::int32_t>(values.size()));
    for (const auto& s : values) b.PutString(s);
  });
}

TEST(CellLoading, RequestsRecordTheirCellsAndStatus) {
  Rig r;
  SendCellRequest(r.v, *r.streets, 250, 120);
  SendCellValuesRequest(r.v, *r.streets, 250, 120, "nombre");
  SendCellValuesRequest(r.v, *r.streets, 250, 121, "DIR");
  SendCellValuesRequest(r.v, *r.schools, 3, 4, "tipo");
  EXPECT_EQ(r.v.pending, 4);
  EXPECT_TRUE(r.streets->IsCellRequested(250, 120));
  EXPECT_TRUE(r.streets->IsLabelCellRequested(250, 120));
  EXPECT_TRUE(r.streets->IsDirectionCellRequested(250, 121));
  EXPECT_FALSE(r.schools->IsLabelCellRequested(3, 4));
  EXPECT_EQ(r.v.statuses, (std::vector<std::pair<std::int32_t, int>>{{7, 10}, {7, 20}, {9, 40}}));
  EXPECT_EQ(r.v.sock.sent()[0],
            (Bytes{'M', 'I', 'C', ' ', 22, 0, 0, 0, 2, 0, 7, 0, 0, 0, 250, 0, 0, 0, 120, 0, 0, 0}));
  EXPECT_EQ(r.v.sock.sent()[1].size(), 22u + 2 + 6);
}

TEST(CellLoading, ACellWhoseRequestNeverLeftIsNotRecorded) {
  Rig r;
  r.v.sock.SetState(Connection::kClosed);
  r.v.sock.connectTo = Connection::kError;
  SendCellRequest(r.v, *r.streets, 1, 2);
  SendCellValuesRequest(r.v, *r.streets, 1, 2, "NOMBRE");
  EXPECT_FALSE(r.streets->IsCellRequested(1, 2));
  EXPECT_FALSE(r.streets->IsLabelCellRequested(1, 2));
  EXPECT_EQ(r.v.pending, 0);
  EXPECT_TRUE(r.v.sock.sent().empty());
}

TEST(CellLoading, CellRepliesInBothFormsReplaceAndAskForThemes) {
  Rig r;
  r.v.pending = 3;
  r.v.sock.Deliver(testing::Join({
      CellReply(7, 1, 2, 1, 1000, 2000, {{11, {{0.5, -0.25}, {1.5, 0.75}}}, {12, {{0, 0}}}}),
      CellReply(7, 1, 3, 0, 0, 0, {{11, {{-58.123456789012, -34.6}}}}),
  }));
  const Entidad* e11 = r.streets->Entidades.ItemByID(11);
  ASSERT_NE(e11, nullptr);
  EXPECT_EQ(e11->Points(), (std::vector<Point>{{-58.123456789012, -34.6}})) << "replaced";
  EXPECT_EQ(r.streets->Entidades.Item(2)->ID, 11) << "a replaced element moves to the end";
  EXPECT_EQ(r.streets->Entidades.ItemByID(12)->Points(), (std::vector<Point>{{1000, 2000}}));
  EXPECT_TRUE(r.streets->Loaded);
  EXPECT_TRUE(r.v.props.layerscargados);
  EXPECT_EQ(r.v.redraws, 0) << "a request is still pending";

  // An empty cell of a thematic layer: loaded, and its values asked for.
  r.v.sock.Deliver(CellReply(9, 5, 6, 1, 0, 0, {}));
  EXPECT_TRUE(r.schools->Loaded);
  EXPECT_EQ(r.v.redraws, 1);
  ASSERT_EQ(r.v.sock.sent().size(), 1u);
  DWBUffer req(r.v.sock.sent()[0]);
  req.GetLong();
  req.GetLong();
  EXPECT_EQ(req.GetInteger(), 5);
  EXPECT_EQ(req.GetLong(), 9);
  EXPECT_EQ(req.GetLong(), 5);
  EXPECT_EQ(req.GetLong(), 6);
  EXPECT_EQ(req.GetString(), "TIPO");
  EXPECT_EQ(r.v.pending, 1);

  const Entidad* rel = nullptr;
  r.v.pending = 1;
  r.v.sock.Deliver(CellReply(7, 9, 9, 1, 1000, 2000, {{40, {{0.5, -0.25}}}}));
  rel = r.streets->Entidades.ItemByID(40);
  EXPECT_EQ(rel->Points(), (std::vector<Point>{{1000.5, 1999.75}}));
}

TEST(CellLoading, ValueRepliesSetLabelsDirectionsAndClasses) {
  Rig r;
  r.v.pending = 1;
  r.v.sock.Deliver(CellReply(7, 1, 1, 0, 0, 0, {{1, {{0, 0}}}, {2, {{1, 1}}}, {3, {{2, 2}}}}));
  r.v.sock.Deliver(CellReply(9, 1, 1, 0, 0, 0, {{5, {{0, 0}}}, {6, {{1, 1}}}}));
  r.v.redraws = 0;
  r.v.pending = 4;
  r.v.sock.Deliver(testing::Join({
      ValuesReply(7, "nombre", {{1, 1}, {2, 2}, {3, 1}, {99, 2}}, {"Av. Peñalolén", "Calle 2"}),
      ValuesReply(7, "DIR", {{1, 1}, {2, 2}, {3, 3}}, {"", "-1", "1"}),
      ValuesReply(9, "TIPO", {{5, 1}, {6, 2}}, {"PUBLICA", "PRIVADA"}),
      ValuesReply(7, "nombre", {}, {}),
  }));
  EXPECT_EQ(r.v.pending, 0);
  Entidades& s = r.streets->Entidades;
  EXPECT_EQ(s.ItemByID(1)->IDLabel, s.ItemByID(3)->IDLabel) << "shared value, shared label";
  EXPECT_NE(s.ItemByID(1)->IDLabel, s.ItemByID(2)->IDLabel);
  EXPECT_EQ(r.streets->Labels().count(), 2);
  EXPECT_EQ(s.ItemByID(1)->Direction, 0) << "an empty direction is 0";
  EXPECT_EQ(s.ItemByID(2)->Direction, -1);
  EXPECT_EQ(s.ItemByID(3)->Direction, 1);
  EXPECT_EQ(r.schools->Entidades.ItemByID(5)->ThemeValue, "PUBLICA");
  EXPECT_EQ(r.schools->Entidades.ItemByID(5)->ThemeCode, 2);
  EXPECT_EQ(r.schools->Entidades.ItemByID(6)->ThemeCode, 1);
  EXPECT_TRUE(r.schools->CalculateThemes);
  EXPECT_EQ(r.v.redraws, 1);
  // Every loading line that was opened was closed again, the empty reply's too.
  int open = 0;
  for (const auto& [id, kind] : r.v.statuses)
    open += kind == 21 || kind == 41 ? 1 : kind == 121 || kind == 141 ? -1 : 0;
  EXPECT_EQ(open, 0);
  EXPECT_TRUE(r.v.ui.shown.empty());
}

TEST(CellLoading, BadPairsAreReportedOncePerReplyAndGoodOnesApplied) {
  Rig r;
  r.v.pending = 1;
  r.v.sock.Deliver(CellReply(7, 1, 1, 0, 0, 0, {{1, {{0, 0}}}}));
  std::vector<std::pair<std::int32_t, std::int32_t>> pairs(5000, {0, 1});
  pairs.push_back({1, 1});
  r.v.pending = 1;
  r.v.sock.Deliver(ValuesReply(7, "NOMBRE", pairs, {"Lavalle"}));
  ASSERT_EQ(r.v.ui.shown.size(), 1u);
  EXPECT_EQ(r.v.ui.shown[0].text, "Error when loading labels.\nLayer: 7, Field: NOMBRE");
  EXPECT_EQ(r.streets->Labels().count(), 1);
  EXPECT_NE(r.streets->Entidades.ItemByID(1)->IDLabel, 0);
}

TEST(CellLoading, ImpossibleCountsDropTheReplyWithoutAllocating) {
  Rig r;
  r.v.pending = 2;
  r.v.sock.Deliver(Message(102, [](DWBUffer& b) {
    for (int k = 0; k < 3; ++k) b.PutLong(7);
    b.PutByte(0);
    b.PutDouble(0);
    b.PutDouble(0);
    b.PutLong(1);
    b.PutLong(1);
    b.PutLong(2000000000);  // points that are not there
  }));
  EXPECT_EQ(r.v.pending, 1);
  EXPECT_EQ(r.v.ui.shown.size(), 1u);
  EXPECT_EQ(r.streets->Entidades.count(), 0);
}

TEST(LayerChange, EveryOperationThenARepaint) {
  Rig r;
  r.v.pending = 1;
  r.v.sock.Deliver(CellReply(7, 1, 1, 0, 0, 0, {{1, {{0, 0}}}, {2, {{1, 1}}}}));
  r.streets->LabelCellSolicitada(1, 1);
  r.v.sock.ClearSent();
  auto push = [&](std::int16_t op, std::int32_t layerId, std::int32_t id,
                  const std::function<void(DWBUffer&)>& rest) {
    r.v.sock.Deliver(Message(250, [&](DWBUffer& b) {
      b.PutInteger(op);
      b.PutLong(layerId);
      b.PutLong(id);
      if (rest) rest(b);
    }));
  };
  push(layerchange::kNewElement, 7, 2, [](DWBUffer& b) {
    b.PutInteger(2);
    for (double d : {5.0, 6.0, 7.0, 8.0}) b.PutDouble(d);
    b.PutInteger(2);
    b.PutString("Florida");
    b.PutString("-1");
  });
  const Entidad* e2 = r.streets->Entidades.ItemByID(2);
  ASSERT_NE(e2, nullptr);
  EXPECT_EQ(e2->Points(), (std::vector<Point>{{5, 6}, {7, 8}}));
  EXPECT_EQ(e2->Direction, -1);
  EXPECT_EQ(r.streets->Labels().count(), 1);

  push(layerchange::kGeometryChanged, 7, 1, [](DWBUffer& b) {
    b.PutInteger(1);
    b.PutDouble(9);
    b.PutDouble(10);
  });
  EXPECT_EQ(r.streets->Entidades.ItemByID(1)->Points(), (std::vector<Point>{{9, 10}}));
  push(layerchange::kValuesChanged, 7, 1, [](DWBUffer& b) {
    b.PutInteger(2);
    b.PutString("Florida");
    b.PutString("1");
  });
  EXPECT_EQ(r.streets->Entidades.ItemByID(1)->IDLabel, e2->IDLabel);
  EXPECT_EQ(r.streets->Entidades.ItemByID(1)->Direction, 1);
  push(layerchange::kElementRemoved, 7, 1, {});
  EXPECT_EQ(r.streets->Entidades.ItemByID(1), nullptr);
  push(layerchange::kGridLimits, 7, 0, [](DWBUffer& b) {
    for (std::int32_t v : {1, 2, 3, 4}) b.PutLong(v);
  });
  EXPECT_EQ(r.streets->minCol, 1);
  EXPECT_EQ(r.streets->maxRow, 4);
  push(layerchange::kCellValuesStale, 7, 0, [](DWBUffer& b) {
    b.PutLong(2);
    b.PutLong(1);
    b.PutLong(1);
    b.PutLong(8);
    b.PutLong(8);
  });
  EXPECT_EQ(r.v.sock.sent().size(), 1u) << "only the label cell that was requested is asked again";
  push(layerchange::kElementRemoved, 404, 1, {});  // a layer this map does not hold
  EXPECT_EQ(r.v.repainted, (std::vector<std::int32_t>{7, 7, 7, 7, 7, 7}));
  EXPECT_TRUE(r.v.ui.shown.empty());
}

}  // namespace
}  // namespace orvenda
