// Finding on the demo city with the real map server: a condition on the street names
// lists what SQL over the server's database file finds, an address gives the streets
// that hold its number and "Ver Mapa" takes the view there, and an address that does
// not exist is said not to be found.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "city_viewer.h"
#include "dialogs/dlgfindaddress.h"
#include "dialogs/dlgfindbycondition.h"
#include "dialogs/dlgviewcandidates.h"
#include "dialogs/dlgviewconditionelements.h"
#include "viewer_rig.h"

namespace orvenda {
namespace {

using testing::WaitUntil;

// The rows of a query over the database file, each as its columns' texts.
std::vector<std::vector<std::string>> Sql(const QString& db, const std::string& query) {
  std::vector<std::vector<std::string>> rows;
  sqlite3* handle = nullptr;
  sqlite3_open_v2(db.toUtf8().constData(), &handle, SQLITE_OPEN_READONLY, nullptr);
  const auto add = [](void* out, int n, char** values, char**) {
    auto& row = static_cast<decltype(rows)*>(out)->emplace_back();
    for (int c = 0; c < n; ++c) row.push_back(values[c] ? values[c] : "");
    return 0;
  };
  sqlite3_exec(handle, query.c_str(), add, &rows, nullptr);
  sqlite3_close(handle);
  return rows;
}

// The values of a field of the demo's streets, by element.
std::string StreetField(const char* field) {
  return "SELECT a.element_id, a.value FROM attributes a JOIN layers l ON l.id = a.layer_id "
         "JOIN fields f ON f.layer_id = l.id AND f.position = a.position WHERE l.name = "
         "'Calles' AND f.name = '" +
         std::string(field) + "'";
}

TEST(FindWithRealServer, ConditionAndAddressOnTheDemoCity) {
  testing::ServerProcess server;
  ASSERT_TRUE(server.StartDemo(ORVENDA_SERVER_EXE, ORVENDA_DEMO_CACHE))
      << server.Why().toStdString();
  const QString db = server.DatabasePath();
  testing::CityViewer city(server, "demo", "demo", 114);  // Monterrey
  Viewer& viewer = city.viewer;
  testing::ScriptedInteraction& ui = city.ui;
  const auto idle = [&] { return city.Loaded(); };
  ASSERT_TRUE(city.Opened());

  // Every street of the name of street 1, by SQL; the same through the dialogs.
  const std::string name = Sql(db, StreetField("NOMBRE") + " ORDER BY a.element_id").at(0).at(1);
  const auto expected = Sql(db, StreetField("NOMBRE") + " AND a.value = '" + name +
                                    "' COLLATE NOCASE ORDER BY a.element_id");
  ASSERT_GT(expected.size(), 1u);
  std::vector<std::vector<std::string>> listed;
  QString caption, count;
  ui.onModal = [&](ModalForm& form) {
    if (auto* d = dynamic_cast<dlgFindByCondition*>(&form)) {
      d->cboLayer->setCurrentText("Calles");
      d->cboFieldName->setCurrentText("NOMBRE");
      d->txtValue1->setText(QString::fromStdString(name));
      d->OKButton->click();
    } else if (auto* r = dynamic_cast<dlgViewConditionElements*>(&form)) {
      caption = r->lbl1->text() + " " + r->lblCondition->text();
      count = r->lblElements->text();
      for (int row = 0; row < r->lstElements->count(); ++row) {
        r->lstElements->setCurrentRow(row);
        listed.push_back({std::to_string(r->ChosenElement().value_or(0)),
                          r->lstElements->item(row)->text().toStdString()});
      }
      r->cmdCancel->click();
    }
  };
  viewer.FindByCondition();
  ASSERT_TRUE(WaitUntil([&] { return !count.isEmpty() && idle(); }, 10000));
  EXPECT_EQ(listed, expected);
  EXPECT_EQ(count.toStdString(), std::to_string(expected.size()) + " elementos encontrados.");
  EXPECT_EQ(caption, "Condition: NOMBRE = '" + QString::fromStdString(name).toUpper() + "'");

  // An address in the middle of street 1's numbers: among the candidates, and shown.
  const auto first = Sql(db, StreetField("NUMINI") + " ORDER BY a.element_id").at(0);
  const std::string number = std::to_string(std::stoi(first.at(1)) + 1);
  QStringList lines;
  ui.onModal = [&](ModalForm& form) {
    if (auto* d = dynamic_cast<dlgFindAddress*>(&form)) {
      d->txtStreetName->setText(QString::fromStdString(name));
      d->txtStreetNumber->setText(QString::fromStdString(number));
      d->OKButton->click();
    } else if (auto* c = dynamic_cast<dlgViewCandidates*>(&form)) {
      for (int row = 0; row < c->lstCandidates->count(); ++row) {
        lines << c->lstCandidates->item(row)->text();
      }
      c->lstCandidates->setCurrentRow(0);
      c->ViewMap->click();
    }
  };
  const double heightBefore = viewer.view().ViewExtents.MaxY - viewer.view().ViewExtents.MinY;
  viewer.FindAddress();
  ASSERT_TRUE(WaitUntil([&] { return !lines.isEmpty() && idle(); }, 10000));
  EXPECT_TRUE(lines[0].startsWith(QString::fromStdString(name) + " (")) << lines[0].toStdString();
  const auto box = Sql(db,
                       "SELECT min_x, min_y, max_x, max_y FROM elements e JOIN layers l ON "
                       "l.id = e.layer_id WHERE l.name = 'Calles' AND e.id = " +
                           first.at(0))
                       .at(0);
  const BoundingBox& view = viewer.view().ViewExtents;
  EXPECT_NEAR((view.MinX + view.MaxX) / 2, (std::stod(box[0]) + std::stod(box[2])) / 2, 1e-4);
  EXPECT_NEAR((view.MinY + view.MaxY) / 2, (std::stod(box[1]) + std::stod(box[3])) / 2, 1e-4);
  EXPECT_LT(view.MaxY - view.MinY, heightBefore / 5);

  ui.shown.clear();
  viewer.FindAddress(std::stoi(Sql(db, "SELECT id FROM layers WHERE name = 'Calles'").at(0).at(0)),
                     "Calle Que No Existe", "5");
  ASSERT_TRUE(WaitUntil([&] { return !ui.shown.empty(); }, 10000));
  EXPECT_EQ(ui.shown[0].text, "Requested information not found.\nPlease try again.");
}

}  // namespace
}  // namespace orvenda
