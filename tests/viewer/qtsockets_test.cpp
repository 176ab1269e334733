// The Qt socket parts against real peers on loopback: QtConnection's states,
// reading semantics, refusals and hang-ups (replies cut anywhere are the protocol
// tests' business), and the login control.
#include <gtest/gtest.h>

#include "loopback.h"
#include "protocol/catalogue.h"
#include "protocol/connecttoserver.h"
#include "protocol/serverlink.h"
#include "support/fakes.h"
#include "viewer/login.h"
#include "viewer/qtconnection.h"
#include "viewer/qteventpump.h"

namespace orvenda {
namespace {

using testing::LoopbackServer;
using testing::WaitUntil;

std::string S(const std::vector<std::uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

// Connects `c` to the server with the real clock and event loop.
bool Connect(QtConnection& c, quint16 port) {
  SystemClock clock;
  QtEventPump pump;
  return ConnectToServer(c, "127.0.0.1", port, clock, pump);
}

// A close right after a send used to drop what was still in the socket's buffer.
TEST(QtConnection, ALargeSendArrivesWholeEvenWhenClosedRightAfter) {
  LoopbackServer server;
  QtConnection c;
  ASSERT_TRUE(Connect(c, server.port()));
  ASSERT_TRUE(server.WaitForPeer());
  std::vector<std::uint8_t> big(1 << 20);
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<std::uint8_t>(i * 7 + 3);
  c.SendData(big);
  c.Close();
  EXPECT_TRUE(c.state() == Connection::kClosing || c.state() == Connection::kClosed);
  ASSERT_TRUE(WaitUntil([&] { return server.peerDisconnected(); }, 20000));
  EXPECT_EQ(server.received(), testing::QBytes(big));
  EXPECT_TRUE(WaitUntil([&] { return c.state() == Connection::kClosed; }));
}

// A server that dies while a counted request waits: the viewer gives up waiting
// (no hourglass left) and the user is told once.
TEST(QtConnection, APeerHangingUpWhileARequestWaitsIsToldOnce) {
  LoopbackServer server;
  QtConnection c;
  testing::ScriptedInteraction ui;
  testing::RecordingViewer viewer;
  SystemClock clock;
  QtEventPump pump;
  ServerLink link(c, viewer, ui, clock, pump);
  ASSERT_TRUE(link.ConnectToServer("127.0.0.1", server.port()));
  ASSERT_TRUE(server.WaitForPeer());
  link.SendToServer(cmd::kCell);
  ASSERT_TRUE(WaitUntil([&] { return !server.received().isEmpty(); }));
  server.peer()->abort();
  ASSERT_TRUE(WaitUntil([&] { return viewer.pending == 0; }));
  EXPECT_GT(viewer.toolPointerRestored, 0);
  testing::RunPendingEvents();
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].icon, MessageIcon::Exclamation);
}

TEST(QtConnection, StatesAndDataArrivalRaisedAgainOnlyWhileAHandlerTakesBytes) {
  QtConnection refused;
  EXPECT_FALSE(Connect(refused, testing::ClosedPort()));
  EXPECT_EQ(refused.state(), Connection::kError);
  refused.Close();
  EXPECT_EQ(refused.state(), Connection::kClosed) << "Close clears the error";
  LoopbackServer server;
  QtConnection c;
  std::string taken;
  int calls = 0;
  // The simple receivers take 4 bytes per event.
  c.SetDataArrival([&] {
    ++calls;
    taken += S(c.GetData(4));
  });
  ASSERT_TRUE(Connect(c, server.port()));
  ASSERT_TRUE(server.WaitForPeer());
  server.Write("MIC abcdEFGH");
  ASSERT_TRUE(WaitUntil([&] { return taken.size() == 12; }));
  EXPECT_EQ(calls, 3);
  // A handler that reads nothing is not called over and over.
  int idleCalls = 0;
  c.SetDataArrival([&] { ++idleCalls; });
  server.Write("more");
  ASSERT_TRUE(WaitUntil([&] { return idleCalls > 0; }));
  testing::RunPendingEvents();
  EXPECT_EQ(idleCalls, 1);
  // A peer that hangs up leaves the connection closing, its last bytes readable.
  server.Write("farewell");
  server.peer()->disconnectFromHost();
  ASSERT_TRUE(WaitUntil([&] { return c.state() == Connection::kClosing; }));
  EXPECT_EQ(S(c.GetAll()), "morefarewell");
  c.Close();
  EXPECT_EQ(c.state(), Connection::kClosed);
}

// The login control against a small scripted server. (Every outcome of the
// exchange is the protocol tests' business.)
TEST(LoginControl, AnswersWithTheMapsAndHangsUpAndMayBeDeletedByItsListener) {
  testing::ScriptedInteraction ui;
  auto* control = new login(ui);
  for (const std::int32_t user : {11, 12}) {
    testing::LoginServer server;
    server.reply = testing::AcceptedReply(user, {{7, "Ciudad"}, {9, "Región Norte"}});
    int got = 0;
    QObject::connect(control, &login::LoginResponse,
                     [&, control](int id, int, const QStringList& names, const QList<int>& codes) {
                       got = id;
                       EXPECT_EQ(names, (QStringList{"Ciudad", "Región Norte"}));
                       EXPECT_EQ(codes, (QList<int>{7, 9}));
                       // The login form deletes the control on its answer: nothing
                       // of it may run later.
                       if (id == 12) delete control;
                     });
    control->Checklogin("127.0.0.1", server.port(), "ana", "ñu 2");
    ASSERT_TRUE(WaitUntil([&] { return got == user; }));
    ASSERT_EQ(server.logins.size(), 1u);
    EXPECT_EQ(server.logins[0].second, "ñu 2") << "sent as typed, in the wire code page";
    EXPECT_TRUE(WaitUntil([&] { return server.hangUps == 1; })) << "hangs up after the reply";
    testing::RunPendingEvents();
    if (user == 11) QObject::disconnect(control, &login::LoginResponse, nullptr, nullptr);
  }
  EXPECT_TRUE(ui.shown.empty());
}

}  // namespace
}  // namespace orvenda
