#pragma once
// Helpers of the desktop program's tests: bounded waits that let events run, a
// scripted login server on loopback, and a folder of its own for ov.cfg.

#include <QByteArray>
#include <QString>
#include <QTcpServer>
#include <QTemporaryDir>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "loopback.h"  // WaitUntil, RunEventsFor

namespace orvenda::testing {

// Answers every whole login request with `reply` and keeps the user names and
// passwords it was sent. Other requests are kept and not answered.
class LoginServer {
 public:
  LoginServer();
  quint16 port() const { return server_.serverPort(); }
  QByteArray reply;
  std::vector<std::pair<std::string, std::string>> logins;
  std::vector<std::int16_t> requestCodes;  // every request received, in order

 private:
  QTcpServer server_;
};

// A login reply that accepts `user` with these maps (code, name).
QByteArray AcceptedReply(std::int32_t user,
                         const std::vector<std::pair<std::int32_t, std::string>>& maps);
// A login reply that refuses with `code` (below 1).
QByteArray RefusedReply(std::int32_t code);
// A reply that asks for a newer library than ours.
QByteArray TooOldReply();

QString ReadFile(const QString& path);
void WriteFile(const QString& path, const QByteArray& bytes);

}  // namespace orvenda::testing
