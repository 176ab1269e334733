#include "desksession.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "host/dlgmaplist.h"
#include "host/frmdocument.h"
#include "host/frmlogin.h"
#include "host/frmmain.h"
#include "loopback.h"
#include "viewer/viewer.h"

namespace orvenda::testing {

DeskSession::~DeskSession() {
  // The windows (and their sockets) go before the relay and the server.
  main_.reset();
  app_.reset();
  relay_.reset();
  server_.reset();
}

bool DeskSession::Start(const QString& user, const QString& password,
                        const QStringList& serverOptions) {
  server_ = std::make_unique<ServerProcess>();
  if (!server_->Start(QStringLiteral(ORVENDA_SERVER_PROGRAM), 15000, serverOptions)) {
    why_ = server_->Why();
    return false;
  }
  relay_ = std::make_unique<WireRelay>(server_->Port());
  // The three lines of ov.cfg: server, port, image folder.
  WriteFile(
      dir_.filePath(QStringLiteral("ov.cfg")),
      QStringLiteral("127.0.0.1\r\n%1\r\n%2\r\n").arg(relay_->port()).arg(dir_.path()).toUtf8());
  ui_.onModal = [this, user, password](ModalForm& form) {
    if (auto* login = dynamic_cast<frmLogin*>(&form)) {
      login->txtUserName->setText(user);
      login->txtPassword->setText(password);
      login->cmdOK->click();
      if (!WaitUntil([login] { return !login->Waiting(); }, 10000)) {
        why_ = QStringLiteral("no answer to the login");
        login->cmdCancel->click();
      }
    } else if (auto* list = dynamic_cast<dlgMapList*>(&form)) {
      const auto found = list->lstMapList->findItems(mapToPick_, Qt::MatchExactly);
      if (found.size() == 1) list->lstMapList->setCurrentItem(found[0]);
      list->OKButton->click();
    } else {
      why_ = QStringLiteral("an unexpected modal form");
    }
  };
  app_ = std::make_unique<Module1>(ui_, dir_.path(), dir_.path());
  main_ = app_->Main();
  if (main_ == nullptr && why_.isEmpty()) why_ = QStringLiteral("the login was not accepted");
  return main_ != nullptr;
}

frmDocument* DeskSession::OpenFromMapList(const QString& name) {
  mapToPick_ = name;
  // The viewer connects when it first shows and draws only once replies have
  // come, which takes the event loop: no MapRedrawn is missed below.
  main_->MenuItem(QStringLiteral("mnuListaMapas"))->trigger();
  document_ = main_->ActiveDocument();
  if (document_ == nullptr) return nullptr;
  QObject::connect(document_->Viewer1, &Viewer::MapRedrawn, document_->Viewer1, [this] {
    ++redraws_;
    repliesAtRedraw_ = relay_->replies().size();
  });
  return document_;
}

Viewer& DeskSession::viewer() { return *document_->Viewer1; }

void DeskSession::Drag(QPoint from, QPoint to) {
  main_->MenuItem(QStringLiteral("mnuPan"))->trigger();
  QTest::mousePress(&viewer(), Qt::LeftButton, Qt::NoModifier, from);
  QTest::mouseMove(&viewer(), (from + to) / 2);
  QTest::mouseMove(&viewer(), to);
  QTest::mouseRelease(&viewer(), Qt::LeftButton, Qt::NoModifier, to);
}

// Every request of the viewer's map counts as pending from the moment it is
// sent until its reply has been handled, so once nothing is pending and the
// events already due have run, nothing is on its way.
bool DeskSession::After(const std::function<void()>& action, int ms) {
  const int before = redraws_;
  QElapsedTimer timer;
  timer.start();
  action();
  const auto drawn = [&] {
    return redraws_ > before && viewer().PendingRequests() == 0 && relay_->Quiet() &&
           repliesAtRedraw_ == relay_->replies().size();
  };
  while (timer.elapsed() < ms && WaitUntil(drawn, static_cast<int>(ms - timer.elapsed()))) {
    RunPendingEvents();
    if (drawn()) return true;
  }
  why_ = QStringLiteral("the map was not drawn in time; pending %1, status \"%2\"")
             .arg(viewer().PendingRequests())
             .arg(viewer().StatusCaption());
  return false;
}

}  // namespace orvenda::testing
