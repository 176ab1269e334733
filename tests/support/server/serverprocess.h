#pragma once
// ServerProcess: the real map server program as a child process, serving the
// network tests' small database (built by the test in a folder of its own) on
// 127.0.0.1 and a port the kernel picks. Every wait is bounded; the server is
// stopped, and killed if it does not stop, when the object goes.

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include "test_database.h"

namespace orvenda::testing {

class ServerProcess {
 public:
  ServerProcess() = default;
  ~ServerProcess();
  ServerProcess(const ServerProcess&) = delete;
  ServerProcess& operator=(const ServerProcess&) = delete;

  // Builds the database and starts `program` with `options` after its own;
  // false (and Why() says so) when the server did not say where it listens
  // within `ms` milliseconds.
  bool Start(const QString& program, int ms = 15000, const QStringList& options = {});
  // Builds the demo database from the data cache `cache` (the server tests'
  // miniature one) with the program's own demo-db command and serves it; Data() then
  // describes nothing.
  bool StartDemo(const QString& program, const QString& cache);
  quint16 Port() const { return port_; }
  const server::test::TestData& Data() const { return data_; }
  // The database the server serves; a test may change rights in it while it runs.
  QString DatabasePath() const {
    return served_.isEmpty() ? dir_.filePath(QStringLiteral("map.db")) : served_;
  }
  QString Why() const { return why_; }
  // The server's log so far.
  QString Log() const;

 private:
  QTemporaryDir dir_;
  QProcess process_;
  server::test::TestData data_;
  quint16 port_ = 0;
  QString why_;
  QString served_;
};

}  // namespace orvenda::testing
