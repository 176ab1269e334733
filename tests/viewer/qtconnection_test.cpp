// QtConnection against a real QTcpServer on loopback: states, reading semantics,
// refusals and hang-ups, and a viewer's link reassembling replies on it.
#include "viewer/qtconnection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "loopback.h"
#include "protocol/catalogue.h"
#include "protocol/connecttoserver.h"
#include "protocol/serverlink.h"
#include "support/fakes.h"
#include "support/wire.h"
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

TEST(QtConnection, ARefusedConnectionEndsInTheErrorState) {
  QtConnection c;
  EXPECT_FALSE(Connect(c, testing::ClosedPort()));
  EXPECT_EQ(c.state(), Connection::kError);
  c.Close();
  EXPECT_EQ(c.state(), Connection::kClosed) << "Close clears the error";
}

// A close right after a send used to drop what was still in the socket's buffer.
TEST(QtConnection, ALargeSendArrivesWholeEvenWhenClosedRightAfter) {
  LoopbackServer server;
  QtConnection c;
  c.SetRemote("127.0.0.1", server.port());
  c.Connect();
  // Connecting until the event loop runs, unless the kernel finished at once.
  EXPECT_TRUE(c.state() == Connection::kConnecting || c.state() == Connection::kConnected);
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

TEST(QtConnection, DataArrivalIsRaisedAgainOnlyWhileAHandlerTakesBytesUntilThePeerHangsUp) {
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

// A viewer's link on a real socket: a reply larger than any socket read,
// followed at once by small ones, each handled once, whole and in order. (Replies
// cut anywhere are the protocol tests' business.)
TEST(QtConnection, ServerLinkTakesRepliesLargerThanASocketRead) {
  LoopbackServer server;
  QtConnection c;
  testing::RecordingViewer viewer;
  testing::ScriptedInteraction ui;
  SystemClock clock;
  QtEventPump pump;
  ServerLink link(c, viewer, ui, clock, pump);
  std::vector<std::size_t> sizes;
  for (const std::int16_t code : {cmd::kCellReply, cmd::kElementExtentReply}) {
    link.dispatcher().Register(
        code, [&](DWBUffer& m) { sizes.push_back(static_cast<std::size_t>(m.TamanoBuffer())); });
  }
  ASSERT_TRUE(link.ConnectToServer("127.0.0.1", server.port()));
  ASSERT_TRUE(server.WaitForPeer());
  const QByteArray big = testing::QBytes(testing::Message(cmd::kCellReply, [](DWBUffer& m) {
    for (int i = 0; i < 100000; ++i) m.PutLong(i);
  }));
  const QByteArray small = testing::QBytes(
      testing::Message(cmd::kElementExtentReply, [](DWBUffer& m) { m.PutLong(3); }));
  server.Write(small + big + small + small);
  ASSERT_TRUE(WaitUntil([&] { return sizes.size() == 4; }, 20000));
  const auto b = static_cast<std::size_t>(big.size());
  const auto s = static_cast<std::size_t>(small.size());
  EXPECT_EQ(sizes, (std::vector<std::size_t>{s, b, s, s}));
  EXPECT_TRUE(ui.shown.empty()) << "no message box: " << (ui.shown.empty() ? "" : ui.shown[0].text);
}

}  // namespace
}  // namespace orvenda
