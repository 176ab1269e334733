#include "serverprocess.h"

#include <QFile>
#include <QRegularExpression>

#include "server_rig.h"

namespace orvenda::testing {

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
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

bool ServerProcess::StartDemo(const QString& program, const QString& cache) {
  served_ = dir_.filePath(QStringLiteral("demo.db"));
  QProcess build;
  build.setProcessChannelMode(QProcess::MergedChannels);
  build.start(program, {QStringLiteral("demo-db"), served_, QStringLiteral("--cache"), cache});
  if (!build.waitForFinished(120000) || build.exitCode() != 0) {
    why_ = QStringLiteral("demo-db failed: ") + QString::fromUtf8(build.readAll());
    return false;
  }
  return Start(program);
}

bool ServerProcess::Start(const QString& program, int ms, const QStringList& options) {
  const QString db = DatabasePath();
  if (served_.isEmpty()) data_ = server::test::BuildTestDatabase(db.toStdString());
  process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  QStringList args = QStringLiteral("serve --port 0 --listen 127.0.0.1").split(QLatin1Char(' '));
  args << QStringLiteral("--db") << db << QStringLiteral("--log")
       << dir_.filePath(QStringLiteral("server.log"));
  process_.start(program, args + options);
  // The log says where it listens.
  const QRegularExpression listening(QStringLiteral("listening on 127\\.0\\.0\\.1:([0-9]+)"));
  server::test::WaitFor(
      [&] {
        const auto match = listening.match(Log());
        if (match.hasMatch()) port_ = static_cast<quint16>(match.captured(1).toUInt());
        return match.hasMatch() ||
               (process_.waitForFinished(1), process_.state() == QProcess::NotRunning);
      },
      std::chrono::milliseconds(ms));
  why_ = program + QStringLiteral(" did not say where it listens (") + process_.errorString() +
         QStringLiteral("); its log:\n") + Log();
  return port_ != 0;
}

}  // namespace orvenda::testing
