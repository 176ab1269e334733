// The query, edit and save layouts against the same messages spelled field by field,
// read back to what was written, and hostile counts refused before any allocation.
#include <gtest/gtest.h>

#include "protocol/editmessages.h"
#include "protocol/fieldvalue.h"
#include "protocol/layersetupvalues.h"
#include "protocol/protocolerror.h"
#include "protocol/querymessages.h"
#include "protocol/savemapmessages.h"
#include "support/wire.h"

namespace orvenda {
namespace {

using testing::Bytes;
using testing::Wire;

// The message with its cursor past the header and code, as the readers expect it.
DWBUffer AtFields(const Bytes& bytes) {
  DWBUffer b(bytes);
  DWBUffer::Bytes skipped;
  b.GetFromBuffer(skipped, 10, 0);
  return b;
}

template <typename T, typename Write, typename Read>
void ExpectLayout(const char* name, const T& value, Write write, Read read, const Bytes& spelled) {
  SCOPED_TRACE(name);
  const Bytes written = write(value).buffer();
  EXPECT_EQ(written, spelled);
  DWBUffer b = AtFields(written);
  EXPECT_TRUE(read(b) == value);
  EXPECT_EQ(b.Remaining(), 0);
}

TEST(Messages, LayoutsMatchTheCatalogueAndReadBack) {
  const Constraint between{"AREA", 5, 10, "10", "20"};
  ExpectLayout("13", ConditionQuery{7, between}, WriteFindByCondition, ReadFindByCondition,
               Wire(13, "L SIBSS", {7, "AREA", 5, 10, "10", "20"}));
  ExpectLayout("14", SelectionQuery{7, {3, 9}, {between}}, WriteMultipleSelection,
               ReadMultipleSelection,
               Wire(14, "L L LL I SIBSS", {7, 2, 3, 9, 1, "AREA", 5, 10, "10", "20"}));
  ExpectLayout(
      "221", PickedRowsEdit{7, {3, 9}, {{1, 2}, {3, 4}}, {{"USO", 202, "Parque"}}},
      WritePickedRowsEdit, ReadPickedRowsEdit,
      Wire(221, "L L LL L LL LL L S I S", {7, 2, 3, 9, 2, 1, 3, 2, 4, 1, "USO", 202, "Parque"}));
  ExpectLayout("230", AddressQuery{7, "Juárez", "120"}, WriteFindAddress, ReadFindAddress,
               Wire(230, "LSS", {7, "Juárez", "120"}));
  const auto read205 = [](DWBUffer& b) { return ReadNewElement(b, 205); };
  ExpectLayout("205", NewElementEdit{205, 7, {{4, 5}}, {{1.5, 2.5}}, 0.25f, 0.5f, {"a", "1"}},
               WriteNewElement, read205,
               Wire(205, "LLL DD FF ISS", {7, 4, 5, 1.5, 2.5, 0.25, 0.5, 2, "a", "1"}));
  const auto read207 = [](DWBUffer& b) { return ReadNewElement(b, 207); };
  ExpectLayout("207", NewElementEdit{207, 7, {{4, 5}}, {{1, 2}, {3, 4}}, 1, 1, {}}, WriteNewElement,
               read207, Wire(207, "L L LL L DDDD FF I", {7, 1, 4, 5, 2, 1, 2, 3, 4, 1, 1, 0}));
  ExpectLayout("208", GeometryEdit{7, 2, 9, {{4, 5}}, {{1, 2}, {3, 4}}, 1, 0.5f, 0.5f},
               WriteGeometryEdit, ReadGeometryEdit,
               Wire(208, "LIL L LL L DDDD L FF", {7, 2, 9, 1, 4, 5, 2, 1, 2, 3, 4, 1, 0.5, 0.5}));
  ExpectLayout("210", EraseEdit{7, {{4, 5}}, 9}, WriteErase, ReadErase,
               Wire(210, "L L LL L", {7, 1, 4, 5, 9}));
  ExpectLayout("220", ValuesEdit{7, {}, 9, {"x"}}, WriteValuesEdit, ReadValuesEdit,
               Wire(220, "L L L IS", {7, 0, 9, 1, "x"}));
  LayerChange added{1, 7, 9, {{1, 2}}, {"x"}, {}, {}};
  ExpectLayout("250 new", added, WriteLayerChange, ReadLayerChange,
               Wire(250, "ILL I DD I S", {1, 7, 9, 1, 1, 2, 1, "x"}));
  LayerChange limits{4, 7, 0, {}, {}, {1, 2, 3, 4}, {}};
  ExpectLayout("250 limits", limits, WriteLayerChange, ReadLayerChange,
               Wire(250, "ILL LLLL", {4, 7, 0, 1, 2, 3, 4}));
  LayerChange stale{5, 7, 0, {}, {}, {}, {{1, 2}}};
  ExpectLayout("250 cells", stale, WriteLayerChange, ReadLayerChange,
               Wire(250, "ILL L LL", {5, 7, 0, 1, 1, 2}));
  // A map with a bold label and maxRow 12: the Single 12.0, the -1, and the themes after
  // the default one counted, their values after their style.
  SavedLayer l{.name = "Calles",
               .id = 7,
               .kind = 2,
               .minCol = 1,
               .minRow = 2,
               .maxCol = 3,
               .maxRow = 12,
               .gridDeltaX = 0.5f,
               .gridDeltaY = 0.25f,
               .userVisibility = 1,
               .zoomMin = 0,
               .zoomMax = 5,
               .drawColor = 255,
               .drawStyle = 0,
               .drawWidth = 2,
               .fillColor = 65280,
               .fillStyle = 1,
               .lblField = "NOMBRE",
               .lblZoomMin = 0,
               .lblZoomMax = 2,
               .userLabelVisibility = 1,
               .lblBold = true,
               .lblColor = 0,
               .thematicField = "USO",
               .thematicType = 1,
               .themes = {{1, 0, 1, 2, 0, "Parque", "Parque"}}};
  SaveMapRequest save{5, 0, "Mi mapa", -100, 20, -99, 21, 16777215, 114, {l}};
  ExpectLayout(
      "240", save, WriteSaveMap, ReadSaveMap,
      Wire(240, "LLS FFFF LI I S L I LLL F FF I FF LIILI S FF I I L S I I LIILISS",
           {5,     0, "Mi mapa", -100,  20, -99,      21,  16777215, 114,      1,       "Calles",
            7,     2, 1,         2,     3,  12,       0.5, 0.25,     1,        0,       5,
            255,   0, 2,         65280, 1,  "NOMBRE", 0,   2,        1,        -1,      0,
            "USO", 1, 1,         1,     0,  1,        2,   0,        "Parque", "Parque"}));
  AddressCandidates found{{7, "Juárez", "120"}, {{3, "JUAREZ", "100", "198", 1, 2, 3, 4, 5, 6}}};
  ExpectLayout("231", found, WriteAddressCandidates, ReadAddressCandidates,
               Wire(231, "LSS L L SSS DDDDDD",
                    {7, "Juárez", "120", 1, 3, "JUAREZ", "100", "198", 1, 2, 3, 4, 5, 6}));
  SelectionTable table{7, 3, {{4, {"a", "b"}}}};
  ExpectLayout("114", table, WriteSelectionTable, ReadSelectionTable,
               Wire(114, "L L I L SS", {7, 1, 3, 4, "a", "b"}));
  // A row short of texts goes out with empty ones in their place.
  EXPECT_EQ(WriteSelectionTable({7, 4, {{4, {"a"}}}}).buffer(),
            Wire(114, "L L I L SSS", {7, 1, 4, 4, "a", "", ""}));
}

TEST(Messages, ValuesTravelByTheirFieldType) {
  const ConditionQuery echo{7, {"F", 0, 1, "", ""}};
  struct Case {
    std::int16_t type;
    FieldValue value;
    const char* layout;
    testing::WireValue wire;
    const char* read;
  };
  const Case cases[] = {
      {4, 2.5, "F", 2.5, "2.5"},
      {5, 0.1, "D", 0.1, "0.1"},
      {20, std::int64_t{7}, "L", 7, "7"},
      {21, std::int64_t{-1}, "L", -1, "-1"},
      {2, std::int64_t{40000}, "I", 32767, "32767"},
      {17, 3.6, "I", 4, "4"},
      {202, std::string(" a "), "S", " a ", " a "},
      {3, FieldValue{}, "L", 0, "0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    ConditionQuery e = echo;
    e.condition.fieldType = c.type;
    const Bytes written = WriteFoundElements(e, {{9, c.value}}).buffer();
    EXPECT_EQ(written, Wire(113, std::string("L SIBSS L L ") + c.layout,
                            {7, "F", c.type, 1, "", "", 1, 9, c.wire}));
    DWBUffer b = AtFields(written);
    EXPECT_EQ(ReadFoundElements(b).found.at(0).second, c.read);
  }
  DWBUffer unknown = AtFields(Wire(113, "L SIBSS L L", {7, "F", 99, 1, "", "", 1, 9}));
  EXPECT_THROW(ReadFoundElements(unknown), MalformedField);
}

TEST(Messages, HostileCountsAreRefusedBeforeAnythingIsAllocated) {
  const std::pair<Bytes, std::function<void(DWBUffer&)>> cases[] = {
      {Wire(206, "L L L", {7, 0, 2000000000}), [](DWBUffer& b) { ReadNewElement(b, 206); }},
      {Wire(208, "LIL L", {7, 2, 9, -5}), [](DWBUffer& b) { ReadGeometryEdit(b); }},
      {Wire(14, "L L", {7, 1000000000}), [](DWBUffer& b) { ReadMultipleSelection(b); }},
      {Wire(221, "L L L", {7, 0, 600000000}), [](DWBUffer& b) { ReadPickedRowsEdit(b); }},
      {Wire(250, "ILL I", {1, 7, 9, 30000}), [](DWBUffer& b) { ReadLayerChange(b); }},
      {Wire(114, "L L I", {7, 50000000, 3}), [](DWBUffer& b) { ReadSelectionTable(b); }},
      {Wire(240, "LLS FFFF LI I", {5, 0, "m", 0, 0, 1, 1, 0, 0, 30000}),
       [](DWBUffer& b) { ReadSaveMap(b); }},
  };
  for (const auto& [bytes, read] : cases) {
    DWBUffer b = AtFields(bytes);
    EXPECT_THROW(read(b), MalformedField);
  }
}

// Reply 106: every value of the field, as many as it counts, or its lowest and highest.
TEST(Messages, FieldValuesReplyTakesWhatItsKindCounts) {
  DWBUffer all = AtFields(Wire(106, "L S I I SS", {7, "USO", 1, 2, "Parque", "Plaza"}));
  EXPECT_EQ(ReadFieldValuesReply(all).values, (std::vector<std::string>{"Parque", "Plaza"}));
  DWBUffer range = AtFields(Wire(106, "L S I SS", {7, "AREA", 2, "1.5", "90"}));
  const FieldValuesReply r = ReadFieldValuesReply(range);
  EXPECT_EQ(std::tuple(r.layerId, r.field, r.values),
            std::tuple(7, std::string("AREA"), std::vector<std::string>{"1.5", "90"}));
}

}  // namespace
}  // namespace orvenda
