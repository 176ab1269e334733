#include "viewer/login.h"

#include <QMetaObject>
#include <QWidget>

#include "viewer/qtinteraction.h"

namespace orvenda {

login::login(QObject* parent)
    : login(std::make_unique<QtInteraction>(qobject_cast<QWidget*>(parent)), nullptr, parent) {}

login::login(Interaction& ui, QObject* parent) : login(nullptr, &ui, parent) {}

login::login(std::unique_ptr<QtInteraction> own, Interaction* ui, QObject* parent)
    : QObject(parent), ownUi_(std::move(own)), ui_(ui ? ui : ownUi_.get()) {
  setObjectName(QStringLiteral("login"));
  exchange_ = std::make_unique<LoginExchange>(sock_, *ui_, clock_, pump_);
  exchange_->SetLoginResponse([this](const LoginResult& result) { Respond(result); });
}

login::~login() {
  // A response still queued must not reach anyone from a control being destroyed.
  blockSignals(true);
  exchange_.reset();
}

bool login::Checklogin(const QString& RemoteHost, qint32 RemotePort, const QString& loginName,
                       const QString& passwd) {
  return exchange_->Checklogin(RemoteHost.toStdString(), RemotePort, loginName.toStdString(),
                               passwd.toStdString());
}

void login::Respond(const LoginResult& result) {
  QStringList names;
  QList<int> codes;
  for (const auto& name : result.sMapNames) names.append(QString::fromStdString(name));
  for (const auto code : result.lMapCodes) codes.append(code);
  const int user = result.LIDUser;
  const int count = result.iCantMapas;
  QMetaObject::invokeMethod(
      this, [this, user, count, names, codes] { emit LoginResponse(user, count, names, codes); },
      Qt::QueuedConnection);
}

}  // namespace orvenda
