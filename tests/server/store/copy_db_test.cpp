// copy-db: a site copied from SQLite to the backend under test and back is the same
// site, read through the store: accounts, rights, maps with their setups, layers with
// their grids, every element of every cell with its values and cells, and the
// identifiers yet to be given.
#include <gtest/gtest.h>

#include <iomanip>
#include <sstream>

#include "admin/commands.h"
#include "store/field_types.h"
#include "store/site_copy.h"
#include "temp_dir.h"
#include "test_backend.h"
#include "test_database.h"

namespace orvenda::server {
namespace {

std::string Site(Store& s) {
  std::ostringstream o;
  o << std::setprecision(17);
  const auto users = s.ListUsers();
  const auto layers = s.ListLayers();
  for (const UserRecord& u : users) o << "user " << u.id << u.name << u.passwordHash << u.guest;
  for (const MapSummary& summary : s.ListMaps()) {
    const MapDefinition m = s.FindMapDefinition(summary.code).value();
    o << "\nmap " << m.code << m.name << m.extents.minX << m.extents.maxY << m.backgroundColor
      << m.projection;
    for (const LayerRecord& l : m.layers) {
      o << " layer " << l.id << l.userVisibility << l.zoomMax << l.style.fillColor << l.labelField
        << l.labelZoomMin << l.labelBold << l.labelColor << l.thematicField << l.thematicType;
      for (const ThemeClass& t : l.themes)
        o << " class " << t.lower << t.upper << t.style.lineWidth;
    }
    for (const UserRecord& u : users) o << " may " << s.MayChangeMap(u.id, m.code);
  }
  for (const LayerInfo& l : layers) {
    const LayerGrid& g = l.grid;
    o << "\nlayer " << l.id << l.name << static_cast<int>(l.kind) << l.elementCount << g.cellWidth
      << g.firstRow << g.firstColumn << g.lastRow << g.lastColumn;
    for (const FieldDef& f : l.fields) o << " field " << f.name << f.type;
    for (const UserRecord& u : users)
      o << " access " << static_cast<int>(s.AccessLevelOf(u.id, l.id));
    for (std::int32_t row = g.firstRow; row <= g.lastRow; ++row)
      for (std::int32_t column = g.firstColumn; column <= g.lastColumn; ++column)
        for (const CellElement& e : s.CellElements(l.id, {row, column})) {
          o << "\n" << row << "," << column << " element " << e.id;
          for (const Point& p : e.points) o << " " << p.x << " " << p.y;
          const auto values = s.ElementAttributes(l.id, e.id);
          for (const AttributeValue& v : *values) o << " " << v.value.index() << ValueText(v.value);
        }
  }
  return o.str();
}

int CopyDb(const std::string& from, const std::string& to) {
  std::istringstream in;
  std::ostringstream out, err;
  return RunCommand({"copy-db", from, to}, in, out, err);
}

TEST(CopyDb, ASiteGoesThereAndBackUnchangedWithItsCounters) {
  test::TempDir dir;
  const std::string first = (dir / "first.db").string(), back = (dir / "back.db").string();
  test::TestData d;
  {
    auto s = OpenStore(first);
    d = test::BuildTestDatabase(*s);
    s->RemoveElement(d.places, 2);  // its ID is never given again
    MapDefinition mine = s->FindMapDefinition(test::TestData::kMap).value();
    mine.name = "Mía";
    s->SaveMap(mine, SaveMode::AsNew, d.bob);
  }
  const std::string there = test::StoreAt(dir / "there.db");
  ASSERT_EQ(CopyDb(first, there), kExitOk);
  ASSERT_EQ(CopyDb(there, back), kExitOk);
  const std::string site = Site(*OpenStore(first));
  EXPECT_EQ(Site(*OpenStoreAt(there).store), site);
  EXPECT_EQ(Site(*OpenStore(back)), site);
  EXPECT_EQ(CopyDb(first, there), kExitInvalid);  // a target that holds a site
  auto s = OpenStoreAt(there).store;
  EXPECT_EQ(s->AddElement(d.places, {{-100, 25}}, {"", "", "", "", ""}).id, 3);
  EXPECT_EQ(s->AddUser("eva", "x", false), d.bob + 1);
  EXPECT_EQ(s->CreateLayer({"Nueva", LayerKind::Point, 1, 1, {}}), d.secret + 1);
}

}  // namespace
}  // namespace orvenda::server
