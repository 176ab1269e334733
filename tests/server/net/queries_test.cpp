// The queries on the real server: find by condition (13/113) against SQL run by SQLite
// itself over the same database file (over a copy of the site made with copy-db's
// CopySite when the store is PostgreSQL's), the selection table (14/114), values set on
// picked rows (221) checked in the file, addresses (230/231), and hostile queries.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "protocol/editmessages.h"
#include "protocol/querymessages.h"
#include "server_rig.h"
#include "store/site_copy.h"

namespace orvenda::server::test {
namespace {

// A layer of values with gaps, and a street layer, added to the rig's database; ana
// edits the first and reads the second, the guest only reads the first.
struct QueryLayers {
  std::int32_t padron = 0, vias = 0;
};

QueryLayers AddQueryLayers(ServerRig& rig) {
  auto s = rig.OpenStore();
  QueryLayers q;
  auto text = [](const char* t) { return Value{std::string(t)}; };
  auto whole = [](std::int64_t n) { return Value{n}; };
  const Value none;
  q.padron = s->CreateLayer(
      {"Padron", LayerKind::Point, 0.1f, 0.1f, {{"NOMBRE", 202}, {"NUM", 3}, {"VALOR", 5}}});
  for (const auto& values :
       std::vector<std::vector<Value>>{{text("Centro"), whole(100), 2.5},
                                       {text("centro norte"), whole(250), none},
                                       {none, none, 10.5},
                                       {text("Mitras"), whole(40), -1.25},
                                       {text("Obispado"), whole(9), 0.75},
                                       {text("Juárez"), whole(1005), 20.5}})
    s->AddElementTyped(q.padron, {{-100.3, 25.6}}, values);
  const std::vector<FieldDef> streetFields = {
      {"TIPO", 202}, {"NOMBRE", 202}, {"NUMINI", 3}, {"NUMFIN", 3}};
  q.vias = s->CreateLayer({"Vias", LayerKind::Polyline, 0.1f, 0.1f, streetFields});
  auto street = [&](std::vector<Point> pts, const char* name, std::int64_t lo, std::int64_t hi) {
    s->AddElementTyped(q.vias, pts, {text("Calle"), text(name), whole(lo), whole(hi)});
  };
  street({{-100.30, 25.6}, {-100.29, 25.6}, {-100.26, 25.6}}, "Hidalgo", 100, 198);  // 1
  street({{-100.26, 25.6}, {-100.22, 25.6}}, "HIDALGO", 200, 298);                   // 2
  street({{-100.40, 25.7}, {-100.40, 25.8}}, "Hidalgo Norte", 1, 99);                // 3
  street({{-100.50, 25.7}, {-100.50, 25.8}}, "Av. Hidalgo", 100, 198);               // 4
  street({{-100.60, 25.7}, {-100.60, 25.8}}, "Escobedo", 100, 198);                  // 5
  const TestData& d = rig.Data();
  s->SetAccess(d.ana, q.padron, AccessLevel::Editor);
  s->SetAccess(d.ana, q.vias, AccessLevel::Viewer);
  s->SetAccess(d.guest, q.padron, AccessLevel::Viewer);
  for (const std::int32_t layer : {q.padron, q.vias}) {
    LayerRecord setup;
    setup.id = layer;
    s->AddLayerToMap(TestData::kMap, setup);
  }
  return q;
}

// The rig's database as an SQLite file.
std::filesystem::path SqliteFileOf(const ServerRig& rig) {
  if (!TestingPostgres()) return rig.DatabasePath();
  const auto file = rig.DatabasePath().parent_path() / "copy.db";
  std::filesystem::remove(file);
  OpenedStore from = OpenStoreAt(StoreAt(rig.DatabasePath())), to = OpenStoreAt(file.string());
  CopySite(from, to);
  return file;
}

// Rows of an SQL query over the database file, read by SQLite itself: the first column
// as an ID, the second as its text ("" for NULL).
std::vector<std::pair<std::int32_t, std::string>> Sql(const ServerRig& rig, const std::string& sql,
                                                      const std::vector<std::string>& args) {
  sqlite3* db = nullptr;
  EXPECT_EQ(sqlite3_open_v2(SqliteFileOf(rig).c_str(), &db, SQLITE_OPEN_READONLY, nullptr),
            SQLITE_OK);
  sqlite3_stmt* st = nullptr;
  EXPECT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr), SQLITE_OK) << sql;
  for (std::size_t i = 0; i < args.size(); ++i)
    sqlite3_bind_text(st, static_cast<int>(i + 1), args[i].c_str(), -1, SQLITE_TRANSIENT);
  std::vector<std::pair<std::int32_t, std::string>> rows;
  while (sqlite3_step(st) == SQLITE_ROW) {
    const auto* t = sqlite3_column_text(st, 1);
    rows.emplace_back(sqlite3_column_int(st, 0), t ? reinterpret_cast<const char*>(t) : "");
  }
  sqlite3_finalize(st);
  sqlite3_close(db);
  return rows;
}

// The value of field `position` of every element of `layer` meeting `condition`.
std::string ValuesWhere(std::int32_t layer, int position, const std::string& condition) {
  return "SELECT e.id, a.value FROM elements e LEFT JOIN attributes a ON a.layer_id = "
         "e.layer_id AND a.element_id = e.id AND a.position = " +
         std::to_string(position) + " WHERE e.layer_id = " + std::to_string(layer) + " AND (" +
         condition + ") ORDER BY e.id";
}

// The rig with the query layers, and ana's viewer of the map.
class ServerQueries : public ::testing::Test {
 protected:
  ServerRig rig;
  const QueryLayers q = AddQueryLayers(rig);
  std::unique_ptr<ProtocolClient> ana = OpenViewer(rig);
};

TEST_F(ServerQueries, FindByConditionAgreesWithSqlForEveryOperatorOnNumbersAndTexts) {
  // Operators 1-10 in SQL: numbers compare as numbers, texts in upper case; "different"
  // takes NULL in (IS NOT); LIKE ignores ASCII case.
  const char* like[] = {"LIKE ?1 || '%'", "LIKE '%' || ?1", "LIKE '%' || ?1 || '%'"};
  const char* compare[] = {"=", "", "", "", "IS NOT", "<", "<=", ">", ">="};
  auto oracle = [&](bool text, int op) {
    auto arg = [&](char i) {
      return text ? std::string("upper(?") + i + ")" : std::string("CAST(?") + i + " AS REAL)";
    };
    const std::string value = text ? "upper(a.value) " : "a.value ";
    if (op >= 2 && op <= 4) return "CAST(a.value AS TEXT) " + std::string(like[op - 2]);
    if (op == 10) return value + "BETWEEN " + arg('1') + " AND " + arg('2');
    return value + compare[op - 1] + " " + arg('1');
  };
  struct Field {
    const char* name;
    int position;
    std::int16_t type, wrongType;
    std::string value1, value2;
  };
  const Field fields[] = {{"num", 1, 3, 202, "100", "1005"},
                          {"VALOR", 2, 5, 2, "0.75", "10.5"},
                          {"Nombre", 0, 202, 3, "centro", "MITRAS"}};
  std::size_t found = 0;
  for (const Field& f : fields)
    for (std::uint8_t op = 1; op <= 10; ++op) {
      SCOPED_TRACE(std::string(f.name) + " operator " + std::to_string(op));
      // The client's type is wrong on purpose: the layer's own decides.
      const ConditionQuery asked{q.padron, {f.name, f.wrongType, op, f.value1, f.value2}};
      auto m = Ask(*ana, WriteFindByCondition(asked).buffer(), 113);
      ASSERT_TRUE(m);
      const FoundElements reply = ReadFoundElements(*m);
      EXPECT_EQ(reply.echo.condition.fieldType, f.type);
      auto want = Sql(rig, ValuesWhere(q.padron, f.position, oracle(f.type == 202, op)),
                      {f.value1, f.value2});
      for (auto& [id, value] : want)
        if (value.empty() && f.type != 202) value = "0";  // NULL travels as 0
      EXPECT_EQ(reply.found, want);
      found += want.size();
    }
  EXPECT_GT(found, 50u);
}

TEST_F(ServerQueries, SelectionTableFiltersCandidatesOrTheWholeLayer) {
  using Row = SelectionTable::Row;
  const Row noMatch{0, {}};
  const Constraint bigger{"NUM", 3, 8, "30", ""}, notMitras{"nombre", 202, 5, "MITRAS", ""},
      between{"VALOR", 5, 10, "0", "20.5"}, unknown{"NADA", 3, 1, "1", ""};
  struct Case {
    SelectionQuery ask;
    std::int16_t columns;
    std::vector<Row> rows;
  };
  const Case cases[] = {
      // Kept in the order sent, each once; 999999 does not exist.
      {{q.padron, {4, 6, 999999, 1, 6}, {bigger, notMitras}},
       4,
       {{6, {"Juárez", "1005", "20.5"}}, {1, {"Centro", "100", "2.5"}}}},
      // No polygon: the constraints select from the whole layer, NULLs as empty texts.
      {{q.padron, {}, {between}},
       4,
       {{1, {"Centro", "100", "2.5"}},
        {3, {"", "", "10.5"}},
        {5, {"Obispado", "9", "0.75"}},
        {6, {"Juárez", "1005", "20.5"}}}},
      {{q.padron, {2, 3}, {}}, 4, {{2, {"centro norte", "250", ""}}, {3, {"", "", "10.5"}}}},
      {{q.padron, {4}, {notMitras}}, 1, {noMatch}},
      {{q.padron, {}, {}}, 1, {noMatch}},
      {{q.padron, {1}, {unknown}}, 1, {noMatch}},
      {{rig.Data().secret, {1}, {}}, 1, {noMatch}},  // a layer ana may not see
  };
  for (const Case& c : cases) {
    auto m = Ask(*ana, WriteMultipleSelection(c.ask).buffer(), 114);
    ASSERT_TRUE(m);
    EXPECT_EQ(ReadSelectionTable(*m), (SelectionTable{c.ask.layerId, c.columns, c.rows}));
  }
}

TEST_F(ServerQueries, PickedRowsGetTheirValuesOnlyFromAnEditorAndOnlyWhenAllFit) {
  auto guest = OpenViewer(rig, "invitado", "");
  const std::string stored =
      "SELECT element_id, group_concat(v, '|') FROM (SELECT element_id, coalesce(value, 'NULL') "
      "v FROM attributes WHERE layer_id = " +
      std::to_string(q.padron) + " ORDER BY element_id, position) GROUP BY element_id";
  const auto before = Sql(rig, stored, {});
  using Field = PickedRowsEdit::FieldValueText;
  struct Case {
    ProtocolClient* client;
    std::vector<Field> values;
    bool changes;
  };
  const Case cases[] = {
      {guest.get(), {{"NUM", 3, "77"}}, false},                             // a viewer
      {ana.get(), {{"NOMBRE", 202, "Nuevo"}, {"num", 3, "mucho"}}, false},  // not a number
      {ana.get(), {{"NOMBRE", 202, "Nuevo"}, {"NADA", 202, "x"}}, false},   // no such field
      // The client's types and cells are not used; an empty number is NULL.
      {ana.get(), {{"num", 202, "77"}, {"VALOR", 202, ""}, {"NOMBRE", 3, "Nuevo"}}, true},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(c.client->Send(
        WritePickedRowsEdit({q.padron, {5, 2, 999999}, {{9, 9}}, c.values}).buffer()));
    // No reply; every viewer of the layer is told of each element changed, in order.
    for (ProtocolClient* viewer : {ana.get(), guest.get()}) {
      std::vector<std::pair<std::int16_t, std::int32_t>> pushed;
      while (c.changes && pushed.size() < 4) {
        auto m = viewer->Receive();
        ASSERT_TRUE(m && ProtocolClient::CodeOf(*m) == 250);
        const LayerChange change = ReadLayerChange(*m);
        pushed.emplace_back(change.operation, change.elementId);
      }
      const decltype(pushed) told = {{3, 5}, {5, 5}, {3, 2}, {5, 2}};
      EXPECT_EQ(pushed, c.changes ? told : decltype(pushed){});
      ASSERT_TRUE(Ask(*viewer, RequestWith(15, q.padron, 1), 115));
    }
    auto want = before;
    if (c.changes) want[1].second = want[4].second = "Nuevo|77|NULL";
    EXPECT_EQ(Sql(rig, stored, {}), want);
  }
  EXPECT_NE(rig.LogText().find("has level 1 on layer"), std::string::npos);
  EXPECT_NE(rig.LogText().find("does not fit field 'NUM'"), std::string::npos);
}

TEST_F(ServerQueries, AddressesInterpolateAlongTheStreetExactNamesFirst) {
  using Candidate = AddressCandidates::Candidate;
  auto at = [](std::int32_t id, const char* name, const char* lo, const char* hi, Box box,
               Point p) {
    return Candidate{id, name, lo, hi, box.minX, box.minY, box.maxX, box.maxY, p.x, p.y};
  };
  const Box first{-100.30, 25.6, -100.26, 25.6}, second{-100.26, 25.6, -100.22, 25.6},
      north{-100.40, 25.7, -100.40, 25.8};
  struct Case {
    const char* street;
    const char* number;
    std::vector<Candidate> want;
  };
  const Case cases[] = {
      // 149 of 100-198 is half way along the street's length, in its second piece.
      {"hidalgo",
       "149",
       {at(1, "Hidalgo", "100", "198", first, {-100.28, 25.6}),
        at(3, "Hidalgo Norte", "1", "99", north, {-100.40, 25.8})}},
      // Outside every range: the nearest end of the nearest segment of each name.
      {" HIDALGO ",
       "1000",
       {at(2, "HIDALGO", "200", "298", second, {-100.22, 25.6}),
        at(3, "Hidalgo Norte", "1", "99", north, {-100.40, 25.8})}},
      {"Hidalgo N", "-5", {at(3, "Hidalgo Norte", "1", "99", north, {-100.40, 25.7})}},
      {"idalgo", "150", {}},  // neither the name nor its start
      {"Hidalgo", "12a", {}},
      {"Hidalgo", "", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.street) + " " + c.number);
    const AddressQuery asked{q.vias, c.street, c.number};
    auto m = Ask(*ana, WriteFindAddress(asked).buffer(), 231);
    ASSERT_TRUE(m);
    const AddressCandidates reply = ReadAddressCandidates(*m);
    EXPECT_EQ(reply.echo, asked);
    ASSERT_EQ(reply.candidates.size(), c.want.size());
    for (std::size_t i = 0; i < c.want.size(); ++i) {
      const Candidate &got = reply.candidates[i], &want = c.want[i];
      EXPECT_EQ(std::tie(got.elementId, got.name, got.firstNumber, got.secondNumber),
                std::tie(want.elementId, want.name, want.firstNumber, want.secondNumber));
      for (auto member : {&Candidate::minX, &Candidate::minY, &Candidate::maxX, &Candidate::maxY,
                          &Candidate::x, &Candidate::y})
        EXPECT_NEAR(got.*member, want.*member, 1e-9);
    }
  }
  EXPECT_NE(rig.LogText().find("street number '12a' is not a number"), std::string::npos);
}

TEST_F(ServerQueries, HostileQueriesAreAnsweredWithNothingFound) {
  auto find = [](std::int32_t layer, const char* field, std::uint8_t op, const char* value) {
    return WriteFindByCondition({layer, {field, 3, op, value, ""}}).buffer();
  };
  const Bytes conditions[] = {
      find(424242, "NUM", 1, "1"),
      find(q.padron, "NADA", 1, "1"),
      find(q.padron, "NUM", 6, "mucho"),
      find(q.padron, "NUM", 77, "1"),
      find(q.padron, "NUM", 10, "1"),  // a Between without its second value
      find(rig.Data().secret, "CLAVE", 5, "x"),
      RequestWith(13, q.padron, "NUM"),
  };
  for (const Bytes& request : conditions) {
    auto m = Ask(*ana, request, 113);
    ASSERT_TRUE(m);
    EXPECT_TRUE(ReadFoundElements(*m).found.empty());
  }
  auto a = Ask(*ana, WriteFindAddress({424242, "Hidalgo", "1"}).buffer(), 231);
  ASSERT_TRUE(a);
  EXPECT_TRUE(ReadAddressCandidates(*a).candidates.empty());
  // Counts far beyond what the message holds.
  auto m = Ask(*ana, RequestWith(14, q.padron, 2'000'000'000), 114);
  ASSERT_TRUE(m);
  EXPECT_EQ(ReadSelectionTable(*m), (SelectionTable{q.padron, 1, {{0, {}}}}));
  ASSERT_TRUE(ana->Send(RequestWith(221, q.padron, 1, 1, 2'000'000'000)));
  EXPECT_TRUE(Ask(*ana, RequestWith(15, q.padron, 1), 115));
  EXPECT_NE(rig.LogText().find("malformed picked rows edit (221)"), std::string::npos);
}

}  // namespace
}  // namespace orvenda::server::test
