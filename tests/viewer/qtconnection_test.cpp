// QtConnection against a real QTcpServer on loopback: states, reading semantics,
// refusals and hang-ups. (Replies cut anywhere are the protocol tests' business.)
#include "viewer/qtconnection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "loopback.h"
#include "protocol/connecttoserver.h"
#include "support/fakes.h"
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

}  // namespace
}  // namespace orvenda
