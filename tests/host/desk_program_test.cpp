// The OrvendaDesk program itself, as a user starts it without a person at the
// keyboard: its own main(), ov.cfg from --config-dir, the automatic login, the
// first map opened and a picture of the window saved once the map is drawn.
#if defined(ORVENDA_SERVER_PROGRAM) && defined(ORVENDA_DESK_PROGRAM)

#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include "loopback.h"
#include "pixels.h"
#include "serverprocess.h"

namespace orvenda {
namespace {

TEST(DeskProgram, LogsInOpensTheFirstMapAndSavesItsPicture) {
  testing::ServerProcess server;
  ASSERT_TRUE(server.Start(QStringLiteral(ORVENDA_SERVER_PROGRAM))) << server.Why().toStdString();
  QTemporaryDir dir;
  testing::WriteFile(
      dir.filePath("ov.cfg"),
      QString("127.0.0.1\r\n%1\r\n%2\r\n").arg(server.Port()).arg(dir.path()).toUtf8());
  const QString shot = dir.filePath("shot.png");

  QProcess desk;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("QT_QPA_PLATFORM", "offscreen");
  desk.setProcessEnvironment(environment);
  desk.start(ORVENDA_DESK_PROGRAM,
             {"--config-dir", dir.path(), "--auto-login", "ana:secreta", "--open-first-map",
              "--screenshot", shot, "--quit-after-redraw"});
  ASSERT_TRUE(desk.waitForStarted(10000));
  if (!desk.waitForFinished(40000)) {
    desk.kill();
    desk.waitForFinished(5000);
    FAIL() << "OrvendaDesk did not end; its log:\n" << desk.readAllStandardError().toStdString();
  }
  EXPECT_EQ(desk.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(desk.exitCode(), 0) << desk.readAllStandardError().toStdString();
  EXPECT_TRUE(desk.readAllStandardOutput().contains("Screenshot saved to"));

  // The window shows the map: its background, and the two places each in the
  // colour of its population class (colours no text or frame has).
  const QImage picture(shot);
  ASSERT_FALSE(picture.isNull());
  const auto count = [&](QRgb colour) {
    return testing::CountColour(picture.convertToFormat(QImage::Format_RGB32), picture.rect(),
                                colour);
  };
  EXPECT_GT(count(qRgb(0xEE, 0xFF, 0x00)), 100000) << "the map's background";
  EXPECT_GT(count(qRgb(3, 0, 0)), 0) << "Monterrey";
  EXPECT_GT(count(qRgb(1, 0, 0)), 0) << "San Pedro";
}

}  // namespace
}  // namespace orvenda

#endif
