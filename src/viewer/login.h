#pragma once
// login: the control a host puts on its login form. Checklogin connects on the
// control's own socket, sends the login request and returns; the outcome comes
// later as LoginResponse (the user's identifier and the maps they may open). The
// work is LoginExchange's; this class gives it a Qt socket, Qt message boxes and
// a Qt signal.
//
// LoginResponse is emitted from the event loop, never from inside the socket's own
// signal, so a slot may delete the control.

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

#include "protocol/interaction.h"
#include "protocol/loginexchange.h"
#include "protocol/timing.h"
#include "viewer/qtconnection.h"
#include "viewer/qteventpump.h"

namespace orvenda {

class QtInteraction;

class login : public QObject {
  Q_OBJECT

 public:
  // Messages go to Qt message boxes (over the parent when it is a widget).
  explicit login(QObject* parent = nullptr);
  // Messages go to `ui`, which must outlive the control.
  explicit login(Interaction& ui, QObject* parent = nullptr);
  // Closes the socket, letting events run until it reports closed.
  ~login() override;
  Q_DISABLE_COPY_MOVE(login)

  // False when the server could not be reached (the user has been told and no
  // LoginResponse follows).
  Q_INVOKABLE bool Checklogin(const QString& RemoteHost, qint32 RemotePort,
                              const QString& loginName, const QString& passwd);

 signals:
  // iCantMapas is the number of maps, or -1 when the login failed; the lists hold
  // the maps in the server's order and are empty without maps. LIDUser is the
  // server's refusal code (below 1), -1 for an unexpected reply, or -2 when the
  // server requires a newer library.
  void LoginResponse(int LIDUser, int iCantMapas, QStringList sMapNames, QList<int> lMapCodes);

 private:
  login(std::unique_ptr<QtInteraction> own, Interaction* ui, QObject* parent);
  void Respond(const LoginResult& result);

  std::unique_ptr<QtInteraction> ownUi_;
  Interaction* ui_;
  QtConnection sock_;
  SystemClock clock_;
  QtEventPump pump_;
  // Last: it closes the socket when it goes, before the socket itself goes.
  std::unique_ptr<LoginExchange> exchange_;
};

}  // namespace orvenda
