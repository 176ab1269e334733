// The map list keeps itself open until a map is chosen. (The password change
// dialog's checks run in the whole-program password test.)
#include <gtest/gtest.h>

#include <QListWidget>
#include <QPushButton>

#include "host/dlgmaplist.h"
#include "support/fakes.h"

namespace orvenda {
namespace {

TEST(MapList, OkNeedsASelection) {
  testing::ScriptedInteraction ui;
  dlgMapList dialog(ui);
  dialog.lstMapList->addItems({"Ciudad", "Región Norte"});
  dialog.show();
  dialog.OKButton->click();
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text, "You must select a map.");
  EXPECT_FALSE(dialog.Accepted);
  EXPECT_TRUE(dialog.isVisible());
  dialog.lstMapList->setCurrentRow(1);
  dialog.OKButton->click();
  EXPECT_TRUE(dialog.Accepted);
  EXPECT_FALSE(dialog.isVisible());
}

}  // namespace
}  // namespace orvenda
