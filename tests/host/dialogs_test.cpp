// The small dialogs: change password and the map list keep themselves open
// until their input is usable.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "host/dlgchangepassword.h"
#include "host/dlgmaplist.h"
#include "support/fakes.h"

namespace orvenda {
namespace {

TEST(ChangePassword, BlankAndMismatchKeepTheDialogOpen) {
  testing::ScriptedInteraction ui;
  dlgChangePassword dialog(ui);
  dialog.show();
  dialog.txtOldPassword->setText("vieja");
  dialog.OKButton->click();
  dialog.txtNewPassword->setText("nueva");
  dialog.txtRetypePassword->setText("nuevo");
  dialog.OKButton->click();
  ASSERT_EQ(ui.shown.size(), 2u);
  EXPECT_EQ(ui.shown[0].text, "Password can't be blank");
  EXPECT_EQ(ui.shown[1].text, "Please retype password.");
  EXPECT_EQ(dialog.txtRetypePassword->text(), "");
  EXPECT_EQ(dialog.txtNewPassword->text(), "nueva");
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_TRUE(dialog.Cancelled);
  dialog.txtRetypePassword->setText("nueva");
  dialog.OKButton->click();
  EXPECT_EQ(ui.shown.size(), 2u);
  EXPECT_FALSE(dialog.Cancelled);
  EXPECT_FALSE(dialog.isVisible());
}

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
