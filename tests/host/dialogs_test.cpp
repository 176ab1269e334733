// The small dialogs: change password, map list, About.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "host/dlgchangepassword.h"
#include "host/dlgmaplist.h"
#include "host/frmabout.h"
#include "host/frmsplash.h"
#include "support/fakes.h"

namespace orvenda {
namespace {

using testing::ScriptedInteraction;

TEST(ChangePassword, BlankAndMismatchKeepTheDialogOpen) {
  ScriptedInteraction ui;
  dlgChangePassword dialog(ui);
  dialog.show();
  EXPECT_EQ(dialog.windowTitle(), "Cambiar Contraseña");
  dialog.txtOldPassword->setText("vieja");
  dialog.OKButton->click();
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text, "Password can't be blank");
  EXPECT_EQ(ui.shown[0].title, "Change Password");
  EXPECT_EQ(ui.shown[0].icon, MessageIcon::Information);
  EXPECT_TRUE(dialog.isVisible());

  dialog.txtNewPassword->setText("nueva");
  dialog.txtRetypePassword->setText("nuevo");
  dialog.OKButton->click();
  ASSERT_EQ(ui.shown.size(), 2u);
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

  dialog.show();
  dialog.CancelButton->click();
  EXPECT_TRUE(dialog.Cancelled);
  EXPECT_EQ(dialog.txtNewPassword->echoMode(), QLineEdit::Password);
}

TEST(MapList, OkNeedsASelection) {
  ScriptedInteraction ui;
  dlgMapList dialog(ui);
  dialog.lstMapList->addItems({"Ciudad", "Región Norte"});
  dialog.show();
  EXPECT_EQ(dialog.windowTitle(), "Mapas Disponibles");
  dialog.OKButton->click();
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text, "You must select a map.");
  EXPECT_EQ(ui.shown[0].icon, MessageIcon::Information);
  EXPECT_FALSE(dialog.Accepted);
  EXPECT_TRUE(dialog.isVisible());
  dialog.lstMapList->setCurrentRow(1);
  dialog.OKButton->click();
  EXPECT_TRUE(dialog.Accepted);
  EXPECT_FALSE(dialog.isVisible());
  dialog.show();
  dialog.CancelButton->click();
  EXPECT_FALSE(dialog.Accepted);
}

TEST(About, VersionAndMissingSystemInformation) {
  ScriptedInteraction ui;
  frmAbout about(ui);
  EXPECT_EQ(about.windowTitle(), "Acerca de Orvenda");
  EXPECT_EQ(about.lblVersion->text(), "Versión 1.0.0");
  EXPECT_TRUE(about.lblDescription->text().startsWith("Editor de Mapas."));
  EXPECT_EQ(about.cmdSysInfo->text(), "Info del &Sistema...");
  qputenv("ORVENDA_SYSINFO", "no-such-program-orvenda");
  about.cmdSysInfo->click();
  qunsetenv("ORVENDA_SYSINFO");
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text, "La información del sistema no está disponible en este momento");
  EXPECT_EQ(ui.shown[0].icon, MessageIcon::None);
}

TEST(Splash, ShowsTheVersion) {
  frmSplash splash;
  EXPECT_EQ(splash.lblVersion->text(), "Version 1.0.0");
}

}  // namespace
}  // namespace orvenda
