#pragma once
// DeskSession: the desktop program run in this process exactly as its main()
// runs it, against the real map server program with a recording relay in
// between: ov.cfg in a folder of its own points at the relay, the login form
// and the map list are answered through the Interaction seam, and After() runs
// one of the program's commands and lets events run until the map it shows has
// been drawn with everything the view asked for.

#include <QPoint>
#include <QTemporaryDir>
#include <functional>
#include <memory>

#include "host/module1.h"
#include "serverprocess.h"
#include "support/fakes.h"
#include "wirerelay.h"

namespace orvenda {
class frmDocument;
class frmMain;
class Viewer;
}  // namespace orvenda

namespace orvenda::testing {

class DeskSession {
 public:
  DeskSession() = default;
  ~DeskSession();
  DeskSession(const DeskSession&) = delete;
  DeskSession& operator=(const DeskSession&) = delete;

  // Starts the server (with `serverOptions` for its serve command) and the
  // relay, writes ov.cfg and runs the program's start-up, logging in as `user`;
  // false (Why() says why) when any of it failed.
  bool Start(const QString& user, const QString& password, const QStringList& serverOptions = {});
  // Opens the map called `name` through the map list command; null when no
  // document came of it.
  frmDocument* OpenFromMapList(const QString& name);

  // Runs `action` (which may draw at once) and lets events run until nothing
  // is pending, nothing is on its way through the relay, MapRedrawn came after
  // the last reply, and that still holds once the events already due have run;
  // false after `ms`.
  bool After(const std::function<void()>& action, int ms = 15000);
  // The program's Pan command and a drag on the map from `from` to `to`.
  void Drag(QPoint from, QPoint to);

  QString Why() const { return why_; }
  ServerProcess& server() { return *server_; }
  WireRelay& relay() { return *relay_; }
  ScriptedInteraction& ui() { return ui_; }
  Module1& app() { return *app_; }
  frmMain& main() { return *main_; }
  // The document that OpenFromMapList opened, and its viewer.
  frmDocument& document() { return *document_; }
  Viewer& viewer();

 private:
  QTemporaryDir dir_;
  ScriptedInteraction ui_;
  std::unique_ptr<ServerProcess> server_;
  std::unique_ptr<WireRelay> relay_;
  std::unique_ptr<Module1> app_;
  std::unique_ptr<frmMain> main_;
  frmDocument* document_ = nullptr;
  QString mapToPick_;
  QString why_;
  int redraws_ = 0;
  std::size_t repliesAtRedraw_ = 0;
};

}  // namespace orvenda::testing
