// The login control against a small scripted server on loopback: the request it
// sends, the LoginResponse it raises for each kind of reply, and what it tells
// the user. (The map server proper has tests of its own.)
#include "viewer/login.h"

#include <gtest/gtest.h>

#include <optional>

#include "loopback.h"
#include "protocol/byteimage.h"
#include "protocol/catalogue.h"
#include "protocol/connecttoserver.h"
#include "protocol/dwbuffer.h"
#include "protocol/version.h"
#include "support/fakes.h"
#include "support/wire.h"

namespace orvenda {
namespace {

using testing::LoopbackServer;
using testing::WaitUntil;

struct Response {
  int LIDUser = 0;
  int iCantMapas = 0;
  QStringList sMapNames;
  QList<int> lMapCodes;
};

// A server that answers one whole login request with `reply`, cut in two pieces,
// and records the request's fields.
struct LoginServer {
  LoopbackServer net;
  QByteArray reply;
  std::int16_t requestCode = 0;
  std::string user, password;

  LoginServer() {
    net.onReceived = [this](const QByteArray& all) {
      if (all.size() < 8) return;
      const auto length = byteimage::FromBytes<std::int32_t>(
          reinterpret_cast<const std::uint8_t*>(all.constData()) + 4);
      if (all.size() < length) return;
      DWBUffer request(std::vector<std::uint8_t>(all.begin(), all.begin() + length));
      request.GetLong();
      request.GetLong();
      requestCode = request.GetInteger();
      user = request.GetString();
      password = request.GetString();
      net.Write(reply.left(5));
      testing::RunEventsFor(20);
      net.Write(reply.mid(5));
    };
  }
};

QByteArray Accepted(std::int32_t user, Version required,
                    const std::vector<std::pair<std::int32_t, std::string>>& maps) {
  return testing::QBytes(testing::LoginReply(user, required, maps));
}

// Runs one Checklogin against `server` and returns the response, if one came.
std::optional<Response> RunLogin(login& control, quint16 port, const QString& user = "ana",
                                 const QString& password = "s3creta") {
  std::optional<Response> got;
  const auto connection = QObject::connect(
      &control, &login::LoginResponse,
      [&got](int id, int count, const QStringList& names, const QList<int>& codes) {
        got = Response{id, count, names, codes};
      });
  control.Checklogin("127.0.0.1", port, user, password);
  WaitUntil([&] { return got.has_value(); }, 5000);
  QObject::disconnect(connection);
  return got;
}

TEST(LoginControl, AcceptedLoginListsTheMapsAndClosesTheConnection) {
  LoginServer server;
  server.reply = Accepted(42, kLibraryVersion, {{7, "Ciudad"}, {9, "Región Norte"}});
  testing::ScriptedInteraction ui;
  login control(ui);
  EXPECT_EQ(control.objectName(), "login");

  const auto r = RunLogin(control, server.net.port(), "ana", "ñu 2");
  ASSERT_TRUE(r.has_value());
  EXPECT_EQ(r->LIDUser, 42);
  EXPECT_EQ(r->iCantMapas, 2);
  EXPECT_EQ(r->sMapNames, (QStringList{"Ciudad", "Región Norte"}));
  EXPECT_EQ(r->lMapCodes, (QList<int>{7, 9}));
  EXPECT_EQ(server.requestCode, cmd::kLogin);
  EXPECT_EQ(server.user, "ana");
  EXPECT_EQ(server.password, "ñu 2") << "sent as typed, in the wire code page";
  EXPECT_TRUE(ui.shown.empty());
  EXPECT_TRUE(WaitUntil([&] { return server.net.peerDisconnected(); }))
      << "the control hangs up after the reply";
}

TEST(LoginControl, EveryOutcomeOfTheReply) {
  const Version newerRevision{kLibraryVersion.major, kLibraryVersion.minor,
                              static_cast<std::int16_t>(kLibraryVersion.revision + 1)};
  const Version newerMajor{static_cast<std::int16_t>(kLibraryVersion.major + 1), 0, 0};
  struct Row {
    const char* name;
    QByteArray reply;
    int LIDUser;
    int iCantMapas;
    int maps;
    const char* message;  // shown to the user, or null
  };
  const Row rows[] = {
      {"refused by the server",
       testing::QBytes(testing::Message(cmd::kLoginReply, [](DWBUffer& b) { b.PutLong(0); })), 0,
       -1, 0, nullptr},
      {"no maps", Accepted(5, kLibraryVersion, {}), 5, 0, 0, nullptr},
      {"newer revision recommended", Accepted(6, newerRevision, {{1, "A"}}), 6, 1, 1,
       "Recomendable Instalar nueva version"},
      {"library too old", Accepted(8, newerMajor, {{1, "A"}}), -2, -1, 0,
       "Imprescindible Instalar nueva version"},
      {"another reply",
       testing::QBytes(testing::Message(cmd::kOpenMapReply, [](DWBUffer& b) { b.PutInteger(0); })),
       -1, -1, 0, nullptr},
      {"reply cut short",
       testing::QBytes(testing::Message(cmd::kLoginReply,
                                        [](DWBUffer& b) {
                                          b.PutLong(3);
                                          b.PutInteger(1);
                                        })),
       -1, -1, 0, nullptr},
  };
  for (const auto& row : rows) {
    LoginServer server;
    server.reply = row.reply;
    testing::ScriptedInteraction ui;
    login control(ui);
    const auto r = RunLogin(control, server.net.port());
    ASSERT_TRUE(r.has_value()) << row.name;
    EXPECT_EQ(r->LIDUser, row.LIDUser) << row.name;
    EXPECT_EQ(r->iCantMapas, row.iCantMapas) << row.name;
    EXPECT_EQ(r->sMapNames.size(), row.maps) << row.name;
    EXPECT_EQ(r->lMapCodes.size(), row.maps) << row.name;
    if (row.message == nullptr) {
      EXPECT_TRUE(ui.shown.empty()) << row.name;
    } else {
      ASSERT_EQ(ui.shown.size(), 1u) << row.name;
      EXPECT_EQ(ui.shown[0].text, row.message);
      EXPECT_EQ(ui.shown[0].title, "Orvenda Inc.");
      EXPECT_EQ(ui.shown[0].icon, MessageIcon::Critical);
    }
  }
}

TEST(LoginControl, UnreachableServerTellsTheUserAndRaisesNothing) {
  testing::ScriptedInteraction ui;
  login control(ui);
  bool raised = false;
  QObject::connect(&control, &login::LoginResponse, [&raised] { raised = true; });
  control.Checklogin("127.0.0.1", testing::ClosedPort(), "ana", "x");
  ASSERT_TRUE(testing::WaitUntil([&] { return !ui.shown.empty(); }));
  testing::RunEventsFor(50);  // nothing more comes
  EXPECT_FALSE(raised);
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text, ConnectionFailureText());
  EXPECT_EQ(ui.shown[0].title, "Orvenda Viewer");
  EXPECT_EQ(ui.shown[0].icon, MessageIcon::Critical);
}

TEST(LoginControl, ConnectsAnewForEachCheckAndMayBeDeletedByItsListener) {
  testing::ScriptedInteraction ui;
  auto* control = new login(ui);
  {
    LoginServer first;
    first.reply = Accepted(11, kLibraryVersion, {{1, "Uno"}});
    const auto r = RunLogin(*control, first.net.port());
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->LIDUser, 11);
  }
  LoginServer second;
  second.reply = Accepted(12, kLibraryVersion, {{2, "Dos"}});
  int got = 0;
  QObject::connect(control, &login::LoginResponse, [&got, control](int id) {
    got = id;
    delete control;  // a login form that closes itself on the answer
  });
  control->Checklogin("127.0.0.1", second.net.port(), "ana", "x");
  ASSERT_TRUE(WaitUntil([&] { return got != 0; }));
  EXPECT_EQ(got, 12);
  testing::RunEventsFor(50);  // nothing of the deleted control runs afterwards
}

}  // namespace
}  // namespace orvenda
