// QtConnection against a real QTcpServer on loopback: states, data arrival in
// pieces reassembled by a ServerLink, reading semantics, refusals and hang-ups.
#include "viewer/qtconnection.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
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

TEST(QtConnection, SocketStatesMapToTheProtocolCodes) {
  struct Row {
    const char* name;
    QAbstractSocket::SocketState state;
    bool error;
    bool peerClosed;
    int expected;
  };
  using S = QAbstractSocket::SocketState;
  const Row rows[] = {
      {"unconnected", S::UnconnectedState, false, false, Connection::kClosed},
      {"looking the host up", S::HostLookupState, false, false, Connection::kConnecting},
      {"connecting", S::ConnectingState, false, false, Connection::kConnecting},
      {"connected", S::ConnectedState, false, false, Connection::kConnected},
      {"bound", S::BoundState, false, false, Connection::kOpen},
      {"flushing our close", S::ClosingState, false, false, Connection::kClosing},
      {"peer hung up", S::UnconnectedState, false, true, Connection::kClosing},
      {"refused", S::UnconnectedState, true, false, Connection::kError},
      {"error wins over connecting", S::ConnectingState, true, false, Connection::kError},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(ConnectionStateFor(r.state, r.error, r.peerClosed), r.expected) << r.name;
  }
}

TEST(QtConnection, ConnectsAndReportsTheProtocolStates) {
  LoopbackServer server;
  QtConnection c;
  EXPECT_EQ(c.state(), Connection::kClosed);
  c.SetRemote("127.0.0.1", server.port());
  c.Connect();
  // Connecting until the event loop runs, unless the kernel finished at once.
  EXPECT_TRUE(c.state() == Connection::kConnecting || c.state() == Connection::kConnected)
      << c.state();
  ASSERT_TRUE(Connect(c, server.port()));
  EXPECT_EQ(c.state(), Connection::kConnected);
  EXPECT_EQ(c.RemoteHost(), "127.0.0.1");
  EXPECT_EQ(c.RemotePort(), server.port());
  ASSERT_TRUE(server.WaitForPeer());

  c.Close();
  EXPECT_TRUE(WaitUntil([&] { return c.state() == Connection::kClosed; }));
  EXPECT_TRUE(WaitUntil([&] { return server.peerDisconnected(); }));
  // Closed again, a second ConnectToServer connects anew.
  LoopbackServer second;
  ASSERT_TRUE(Connect(c, second.port()));
  EXPECT_EQ(c.RemotePort(), second.port());
  EXPECT_TRUE(second.WaitForPeer());
}

TEST(QtConnection, RefusedOrImpossibleConnectionsEndInTheErrorState) {
  QElapsedTimer timer;
  timer.start();
  QtConnection c;
  EXPECT_FALSE(Connect(c, testing::ClosedPort()));
  EXPECT_EQ(c.state(), Connection::kError);
  EXPECT_LT(timer.elapsed(), 10000) << "a refusal ends the wait at once, not after 60 s";
  c.Close();
  EXPECT_EQ(c.state(), Connection::kClosed) << "Close clears the error";

  struct Row {
    const char* name;
    std::string host;
    std::int32_t port;
  };
  const Row rows[] = {{"port above 65535", "127.0.0.1", 70000},
                      {"negative port", "127.0.0.1", -1},
                      {"no host", "", 1001}};
  for (const auto& r : rows) {
    QtConnection bad;
    bad.SetRemote(r.host, r.port);
    bad.Connect();
    EXPECT_EQ(bad.state(), Connection::kError) << r.name;
  }
}

TEST(QtConnection, PeekLeavesBytesAndGetDataTakesAtMostWhatIsThere) {
  LoopbackServer server;
  QtConnection c;
  ASSERT_TRUE(Connect(c, server.port()));
  ASSERT_TRUE(server.WaitForPeer());
  server.Write("MIC 0123456789");
  ASSERT_TRUE(WaitUntil([&] { return c.BytesAvailable() == 14; }));

  EXPECT_EQ(S(c.Peek(4)), "MIC ");
  EXPECT_EQ(c.BytesAvailable(), 14u) << "peeking takes nothing";
  EXPECT_EQ(S(c.Peek(100)), "MIC 0123456789");
  EXPECT_EQ(S(c.GetData(4)), "MIC ");
  EXPECT_EQ(c.BytesAvailable(), 10u);
  EXPECT_EQ(S(c.GetData(3)), "012");
  EXPECT_EQ(S(c.GetData(100)), "3456789") << "fewer when fewer are there";
  EXPECT_TRUE(c.GetAll().empty());
  EXPECT_TRUE(c.GetData(0).empty());
  EXPECT_TRUE(c.Peek(4).empty());
}

TEST(QtConnection, SendsALargeMessageInOneCall) {
  LoopbackServer server;
  QtConnection c;
  ASSERT_TRUE(Connect(c, server.port()));
  ASSERT_TRUE(server.WaitForPeer());
  std::vector<std::uint8_t> big(1 << 20);
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<std::uint8_t>(i * 7 + 3);
  c.SendData(big);
  ASSERT_TRUE(
      WaitUntil([&] { return server.received().size() == testing::QBytes(big).size(); }, 20000));
  EXPECT_EQ(server.received(), testing::QBytes(big));

  // Closing right after a send still delivers it, then reports closed.
  const std::vector<std::uint8_t> last(300000, 0x5A);
  c.SendData(last);
  c.Close();
  EXPECT_TRUE(c.state() == Connection::kClosing || c.state() == Connection::kClosed);
  ASSERT_TRUE(WaitUntil([&] { return c.state() == Connection::kClosed; }, 20000));
  ASSERT_TRUE(WaitUntil([&] { return server.peerDisconnected(); }, 20000));
  EXPECT_EQ(server.received().size(), testing::QBytes(big).size() + testing::QBytes(last).size());

  QtConnection idle;  // not connected: the send fails quietly
  idle.SendData(big);
  EXPECT_EQ(idle.state(), Connection::kClosed);
}

TEST(QtConnection, PeerHangingUpIsClosingWithItsLastBytesReadable) {
  LoopbackServer server;
  QtConnection c;
  int arrivals = 0;
  c.SetDataArrival([&] { ++arrivals; });
  ASSERT_TRUE(Connect(c, server.port()));
  ASSERT_TRUE(server.WaitForPeer());
  server.Write("farewell");
  server.peer()->disconnectFromHost();
  ASSERT_TRUE(WaitUntil([&] { return c.state() == Connection::kClosing; }));
  EXPECT_GE(arrivals, 1);
  EXPECT_EQ(S(c.GetAll()), "farewell");
  c.Close();
  EXPECT_EQ(c.state(), Connection::kClosed);
}

TEST(QtConnection, DataArrivalIsRaisedAgainWhileAHandlerLeavesBytes) {
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
  EXPECT_EQ(taken, "MIC abcdEFGH");
  EXPECT_EQ(calls, 3);

  // A handler that reads nothing is not called over and over.
  int idleCalls = 0;
  c.SetDataArrival([&] { ++idleCalls; });
  server.Write("more");
  ASSERT_TRUE(WaitUntil([&] { return idleCalls > 0; }));
  testing::RunEventsFor(100);
  EXPECT_EQ(idleCalls, 1);
  EXPECT_EQ(c.BytesAvailable(), 4u);
}

// A viewer's link on a real socket: replies arriving in arbitrary pieces are each
// handled once, whole and in order.
TEST(QtConnection, ServerLinkReassemblesRepliesArrivingInPieces) {
  LoopbackServer server;
  QtConnection c;
  testing::RecordingViewer viewer;
  testing::ScriptedInteraction ui;
  SystemClock clock;
  QtEventPump pump;
  ServerLink link(c, viewer, ui, clock, pump);
  std::vector<std::pair<std::int32_t, double>> extents;
  link.dispatcher().Register(cmd::kElementExtentReply, [&](DWBUffer& m) {
    m.GetLong();
    const std::int32_t element = m.GetLong();
    const double minX = m.GetDouble();
    extents.emplace_back(element, minX);
  });
  std::vector<std::size_t> bigSizes;
  link.dispatcher().Register(cmd::kCellReply, [&](DWBUffer& m) {
    bigSizes.push_back(static_cast<std::size_t>(m.TamanoBuffer()));
  });
  ASSERT_TRUE(link.ConnectToServer("127.0.0.1", server.port()));
  ASSERT_TRUE(server.WaitForPeer());

  auto extent = [](std::int32_t element) {
    return testing::QBytes(testing::Message(cmd::kElementExtentReply, [element](DWBUffer& b) {
      b.PutLong(3);
      b.PutLong(element);
      for (int i = 0; i < 4; ++i) b.PutDouble(element + i * 0.25);
    }));
  };
  const QByteArray a = extent(1), b = extent(2), d = extent(3);
  // Pieces that cut a header, join two messages and end inside a third.
  const QByteArray stream = a + b + d;
  const int cuts[] = {3, 9, 30, 55, 56, 80, static_cast<int>(stream.size())};
  int from = 0;
  for (const int cut : cuts) {
    server.Write(stream.mid(from, cut - from));
    from = cut;
    testing::RunEventsFor(20);
  }
  ASSERT_TRUE(WaitUntil([&] { return extents.size() == 3; }));
  EXPECT_EQ(extents[0], (std::pair<std::int32_t, double>{1, 1.0}));
  EXPECT_EQ(extents[1], (std::pair<std::int32_t, double>{2, 2.0}));
  EXPECT_EQ(extents[2], (std::pair<std::int32_t, double>{3, 3.0}));

  // One byte at a time.
  const QByteArray e = extent(4);
  for (qsizetype i = 0; i < e.size(); ++i) {
    server.Write(e.mid(i, 1));
    testing::RunEventsFor(1);
  }
  ASSERT_TRUE(WaitUntil([&] { return extents.size() == 4; }));
  EXPECT_EQ(extents[3].first, 4);

  // A message larger than any socket read, followed at once by a small one.
  const QByteArray big = testing::QBytes(testing::Message(cmd::kCellReply, [](DWBUffer& m) {
    for (int i = 0; i < 100000; ++i) m.PutLong(i);
  }));
  server.Write(big + extent(5));
  ASSERT_TRUE(WaitUntil([&] { return extents.size() == 5; }, 20000));
  ASSERT_EQ(bigSizes.size(), 1u);
  EXPECT_EQ(bigSizes[0], static_cast<std::size_t>(big.size()));
  EXPECT_TRUE(ui.shown.empty()) << "no message box: " << (ui.shown.empty() ? "" : ui.shown[0].text);
  EXPECT_EQ(viewer.loadingPassesFinished > 0, true);
}

}  // namespace
}  // namespace orvenda
