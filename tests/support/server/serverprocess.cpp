#include "serverprocess.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QRegularExpression>
#include <QThread>
#include <functional>

namespace orvenda::testing {
namespace {

// Lets events run until `done` holds or `ms` milliseconds pass; true when it held.
bool WaitFor(const std::function<bool()>& done, int ms) {
  const QDeadlineTimer deadline(ms);
  while (!done()) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(10);
  }
  return true;
}

}  // namespace

ServerProcess::~ServerProcess() {
  if (process_.state() == QProcess::NotRunning) return;
  process_.terminate();
  if (!process_.waitForFinished(5000)) {
    process_.kill();
    process_.waitForFinished(5000);
  }
}

QString ServerProcess::Log() const {
  QFile file(dir_.filePath(QStringLiteral("server.log")));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(file.readAll());
}

bool ServerProcess::Start(const QString& program, int ms, const QStringList& options) {
  if (!dir_.isValid()) {
    why_ = QStringLiteral("no temporary folder");
    return false;
  }
  const QString db = dir_.filePath(QStringLiteral("map.db"));
  data_ = server::test::BuildTestDatabase(db.toStdString());
  process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  const QStringList serve{QStringLiteral("serve"),
                          QStringLiteral("--db"),
                          db,
                          QStringLiteral("--port"),
                          QStringLiteral("0"),
                          QStringLiteral("--listen"),
                          QStringLiteral("127.0.0.1"),
                          QStringLiteral("--log"),
                          dir_.filePath(QStringLiteral("server.log"))};
  process_.start(program, serve + options);
  if (!process_.waitForStarted(ms)) {
    why_ = program + QStringLiteral(" did not start: ") + process_.errorString();
    return false;
  }
  // The log says where it listens.
  const QRegularExpression listening(QStringLiteral("listening on 127\\.0\\.0\\.1:([0-9]+)"));
  const bool said = WaitFor(
      [&] {
        const auto match = listening.match(Log());
        if (match.hasMatch()) port_ = static_cast<quint16>(match.captured(1).toUInt());
        return match.hasMatch() || process_.state() == QProcess::NotRunning;
      },
      ms);
  if (!said || port_ == 0) {
    why_ = QStringLiteral("the server did not say where it listens; its log:\n") + Log();
    return false;
  }
  return true;
}

}  // namespace orvenda::testing
