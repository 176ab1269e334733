// OrvendaDesk: the desktop program of the map service.
//
// Options (all optional):
//   --config-dir DIR      folder of ov.cfg and OrvendaDesk.ini (default:
//                         $ORVENDA_CONFIG_DIR, else the program's folder when
//                         writable, else the user's configuration folder)
//   --help-address URL    where the help pages live (default: $ORVENDA_HELP_ADDRESS)
//   --auto-login U:P      log in as U with password P without asking
//   --open-first-map      open the first map of the list after logging in
//   --screenshot FILE     save a picture of the window once the map is drawn
//   --quit-after-redraw   end the program after that
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <memory>

#include "host/apptitle.h"
#include "host/demodriver.h"
#include "host/frmmain.h"
#include "host/module1.h"
#include "viewer/qtinteraction.h"

namespace {

// The program's own folder, as always; an installed program cannot write there (it
// lives in /usr/bin), so it keeps its files in the user's configuration folder.
QString DefaultConfigFolder() {
  const QString own = QApplication::applicationDirPath();
  if (QFileInfo(own).isWritable()) return own;
  const QString user = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
  QDir().mkpath(user);
  return user;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QString::fromLatin1(orvenda::kApplicationTitle));
  QApplication::setApplicationVersion(QString::fromStdString(orvenda::ProgramVersion()));

  QCommandLineParser parser;
  parser.setApplicationDescription(
      "Views, queries and edits the maps of an Orvenda map server.\n"
      "Its settings (ov.cfg: server, port, image folder) and what it remembers (the main\n"
      "window's place, the last user name) live in its configuration folder: the program's\n"
      "own folder when writable, else ~/.config/OrvendaDesk.");
  parser.addHelpOption();
  parser.addVersionOption();
  const QCommandLineOption configDir("config-dir", "Folder of ov.cfg.", "dir");
  const QCommandLineOption helpAddress("help-address", "Address of the help pages.", "url");
  const QCommandLineOption autoLogin("auto-login", "Log in as user:password.", "user:password");
  const QCommandLineOption openFirst("open-first-map", "Open the first map after logging in.");
  const QCommandLineOption screenshot("screenshot", "Save a picture once the map is drawn.",
                                      "file");
  const QCommandLineOption quit("quit-after-redraw", "End once the map is drawn.");
  parser.addOptions({configDir, helpAddress, autoLogin, openFirst, screenshot, quit});
  parser.process(application);

  QString folder = parser.value(configDir);
  if (folder.isEmpty()) folder = qEnvironmentVariable("ORVENDA_CONFIG_DIR");
  if (folder.isEmpty()) folder = DefaultConfigFolder();

  orvenda::QtInteraction ui;
  orvenda::Module1 app(ui, folder, QApplication::applicationDirPath());

  orvenda::DemoOptions demo;
  if (parser.isSet(autoLogin)) {
    const QString value = parser.value(autoLogin);
    const auto colon = value.indexOf(QLatin1Char(':'));
    demo.autoLogin = true;
    demo.user = colon < 0 ? value : value.left(colon);
    demo.password = colon < 0 ? QString() : value.mid(colon + 1);
  }
  demo.openFirstMap = parser.isSet(openFirst);
  demo.screenshot = parser.value(screenshot);
  demo.quitAfterRedraw = parser.isSet(quit);
  orvenda::DemoDriver driver(app, demo);
  app.SetLoginHook([&driver](orvenda::frmLogin& form) { driver.FillLogin(form); });

  std::unique_ptr<orvenda::frmMain> main = app.Main();
  if (!main) return 0;
  if (parser.isSet(helpAddress)) {
    main->HelpAddress = parser.value(helpAddress);
    main->GeneralHelpAddress = main->HelpAddress;
  }
  main->setAttribute(Qt::WA_QuitOnClose);
  driver.Start(*main);
  const int code = QApplication::exec();
  return driver.exitCode() != 0 ? driver.exitCode() : code;
}
