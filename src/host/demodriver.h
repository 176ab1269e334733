#pragma once
// DemoDriver: runs the program without a person, for the demo and for smoke
// runs: it logs in with a given user, opens the first map, waits until the map
// has been drawn with everything it asked for, saves a picture of the main window
// and, when told to, ends the program.

#include <QObject>
#include <QString>
#include <QTimer>

namespace orvenda {

class Module1;
class frmLogin;
class frmMain;

struct DemoOptions {
  bool autoLogin = false;
  QString user;
  QString password;
  bool openFirstMap = false;
  QString screenshot;  // empty: no picture
  bool quitAfterRedraw = false;
  int timeoutSeconds = 120;
};

class DemoDriver : public QObject {
  Q_OBJECT

 public:
  DemoDriver(Module1& app, DemoOptions options, QObject* parent = nullptr);

  // Fills a login form and presses OK once it is shown.
  void FillLogin(frmLogin& form) const;
  // After start-up: opens the first map and waits for its drawing.
  void Start(frmMain& main);

  // The process exit code: 0 unless the drawing never came or the picture could
  // not be saved.
  int exitCode() const { return exitCode_; }

 private:
  void OnRedrawn();
  void Finish();
  void Fail(const QString& why);

  Module1& app_;
  DemoOptions options_;
  frmMain* main_ = nullptr;
  QTimer quiet_;
  QTimer deadline_;
  int exitCode_ = 0;
};

}  // namespace orvenda
