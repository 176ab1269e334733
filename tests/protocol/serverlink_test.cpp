#include "protocol/serverlink.h"

#include <gtest/gtest.h>

#include "protocol/catalogue.h"
#include "protocol/connecttoserver.h"
#include "support/fakes.h"
#include "support/memoryconnection.h"
#include "support/wire.h"

namespace orvenda {
namespace {

using testing::Bytes;
using testing::Message;

struct Link {
  testing::RecordingViewer viewer;
  testing::MemoryConnection sock;
  testing::ScriptedInteraction ui;
  testing::FakeClock clock;
  testing::FakePump pump;
  ServerLink link{sock, viewer, ui, clock, pump};

  Link() {
    pump.onPump = [this] {
      clock.now += 1;
      sock.Pump();
    };
  }
};

TEST(ConnectToServer, WaitsForTheSocketWithinSixtySeconds) {
  {
    Link l;
    l.sock.connectAfterPumps = 5;
    EXPECT_TRUE(ConnectToServer(l.sock, "maps.example", 1001, l.clock, l.pump));
    EXPECT_EQ(l.sock.RemoteHost(), "maps.example");
    EXPECT_EQ(l.sock.RemotePort(), 1001);
    EXPECT_EQ(l.pump.calls, 5);
  }
  {
    Link l;  // never answers: gives up after 60 s of (fake) time
    l.sock.connectAfterPumps = 1000000;
    EXPECT_FALSE(ConnectToServer(l.sock, "h", 1, l.clock, l.pump));
    EXPECT_EQ(l.pump.calls, 60);
  }
  {
    Link l;  // refused
    l.sock.connectTo = Connection::kError;
    l.sock.connectAfterPumps = 3;
    EXPECT_FALSE(ConnectToServer(l.sock, "h", 1, l.clock, l.pump));
    EXPECT_EQ(l.pump.calls, 3);
  }
  {
    Link l;  // already connected: left alone
    l.sock.SetState(Connection::kConnected);
    EXPECT_TRUE(ConnectToServer(l.sock, "h", 1, l.clock, l.pump));
    EXPECT_EQ(l.sock.connectCalls(), 0);
  }
  {
    Link l;  // the wait crosses midnight and still ends
    l.clock.now = 24 * 3600 - 30;
    l.pump.onPump = [&l] { l.clock.now = (l.clock.now + 1) % (24 * 3600); };
    l.sock.connectAfterPumps = 1000000;
    EXPECT_FALSE(ConnectToServer(l.sock, "h", 1, l.clock, l.pump));
    EXPECT_EQ(l.pump.calls, 60);
  }
}

TEST(ServerLink, CountedAndUncountedSends) {
  Link l;
  l.sock.SetState(Connection::kConnected);
  EXPECT_TRUE(l.link.SendToServer(cmd::kOpenMap, [](DWBUffer& b) {
    b.PutLong(77);
    b.PutLong(3);
  }));
  EXPECT_EQ(l.viewer.pending, 1);
  EXPECT_TRUE(l.link.SendToServer(cmd::kChangeAttributes, [](DWBUffer& b) { b.PutLong(1); }));
  EXPECT_EQ(l.viewer.pending, 1) << "220 is not counted";
  EXPECT_TRUE(l.link.SendToServer(cmd::kCell));
  EXPECT_EQ(l.viewer.pending, 2);
  ASSERT_EQ(l.sock.sent().size(), 3u);
  EXPECT_EQ(l.sock.sent()[0],
            (Bytes{'M', 'I', 'C', ' ', 18, 0, 0, 0, 10, 0, 77, 0, 0, 0, 3, 0, 0, 0}));
}

TEST(ServerLink, SendReconnectsAndAFailedReconnectLosesNothingButTheRequest) {
  Link l;
  l.sock.SetRemote("srv", 1001);
  l.sock.connectAfterPumps = 2;
  EXPECT_TRUE(l.link.SendToServer(cmd::kAccessLevels));
  EXPECT_EQ(l.sock.connectCalls(), 1);
  EXPECT_EQ(l.sock.sent().size(), 1u);
  EXPECT_EQ(l.viewer.pending, 1);

  l.sock.SetState(Connection::kClosed);
  l.sock.connectTo = Connection::kError;
  EXPECT_FALSE(l.link.SendToServer(cmd::kMapDefinition));
  EXPECT_EQ(l.viewer.pending, 1) << "a lost request must not keep the viewer waiting";
  EXPECT_EQ(l.sock.sent().size(), 1u);
  ASSERT_EQ(l.ui.shown.size(), 1u);
  EXPECT_EQ(l.ui.shown[0].title, "Orvenda Viewer");
  EXPECT_EQ(l.ui.shown[0].icon, MessageIcon::Critical);
  EXPECT_NE(l.ui.shown[0].text.find("\t2.- Network Proxy\n\nPlease contact"), std::string::npos);
}

// The code of each request sent, in order.
std::vector<std::int16_t> SentCodes(const testing::MemoryConnection& sock) {
  std::vector<std::int16_t> codes;
  for (const Bytes& m : sock.sent()) {
    codes.push_back(static_cast<std::int16_t>(m.at(8) | (m.at(9) << 8)));
  }
  return codes;
}

TEST(ServerLink, ANewConnectionGetsItsSessionBackBeforeTheRequest) {
  Link l;
  l.sock.SetRemote("srv", 1001);
  l.sock.SetState(Connection::kConnected);
  int reconnects = 0;
  l.link.SetReconnected([&] {
    ++reconnects;
    l.link.SendToServer(cmd::kOpenMap);
  });
  EXPECT_TRUE(l.link.SendToServer(cmd::kCell));
  EXPECT_EQ(reconnects, 0) << "still connected: nothing to give back";

  l.sock.SetState(Connection::kClosed);  // the server dropped the connection
  l.sock.connectAfterPumps = 1;
  EXPECT_TRUE(l.link.SendToServer(cmd::kCell));
  EXPECT_EQ(reconnects, 1);
  EXPECT_EQ(SentCodes(l.sock), (std::vector<std::int16_t>{cmd::kCell, cmd::kOpenMap, cmd::kCell}));
  EXPECT_EQ(l.viewer.pending, 3);

  l.sock.SetState(Connection::kClosed);
  l.sock.connectTo = Connection::kError;
  EXPECT_FALSE(l.link.SendToServer(cmd::kCell));
  EXPECT_EQ(reconnects, 1) << "no connection, no session to give back";
}

TEST(ServerLink, DispatchRoutesByCode) {
  Link l;
  std::vector<std::int32_t> seen;
  l.link.dispatcher().Register(cmd::kOpenMapReply, [&](DWBUffer& m) {
    EXPECT_EQ(m.cursor(), 11) << "handlers start after the command code";
    seen.push_back(m.GetInteger());
  });
  std::vector<std::int16_t> results;
  l.link.dispatcher().RegisterSaveResult([&](std::int16_t r) { results.push_back(r); });
  int editing = 0, info = 0;
  l.link.dispatcher().Register(cmd::kElementAttributesReply, [&](DWBUffer&) { ++info; });
  l.link.dispatcher().RegisterAttributeEditing([&](DWBUffer&) { ++editing; });

  l.sock.Deliver(
      testing::Join({Message(110, [](DWBUffer& b) { b.PutInteger(5); }), Message(107), Message(108),
                     Message(241, [](DWBUffer& b) { b.PutInteger(1000); }), Message(104)}));
  l.link.dispatcher().SetAttributeEditingMode(true);
  l.sock.Deliver(Message(104));
  EXPECT_EQ(seen, std::vector<std::int32_t>{5});
  EXPECT_EQ(results, std::vector<std::int16_t>{1000});
  EXPECT_EQ(info, 1);
  EXPECT_EQ(editing, 1);
  EXPECT_TRUE(l.ui.shown.empty());

  l.sock.Deliver(Message(999));
  ASSERT_EQ(l.ui.shown.size(), 1u);
  EXPECT_EQ(l.ui.shown[0].text, "Error!\nNo se entiende el comando");
  EXPECT_EQ(l.ui.shown[0].title, "Proyecto Tarrowito");
  EXPECT_EQ(l.ui.shown[0].buttons, MessageButtons::Ok);
}

TEST(ServerLink, ShortRepliesAreDroppedAndReportedOncePerBrokenStretch) {
  Link l;
  int handled = 0;
  l.link.dispatcher().Register(cmd::kAccessLevelsReply, [&](DWBUffer& m) {
    const int n = m.GetInteger();
    for (int i = 0; i < n; ++i) {
      m.GetLong();
      m.GetInteger();
    }
    ++handled;
  });
  const Bytes truncated = Message(111, [](DWBUffer& b) {
    b.PutInteger(3);
    b.PutLong(1);
  });
  const Bytes fine = Message(111, [](DWBUffer& b) { b.PutInteger(0); });
  l.sock.Deliver(testing::Join({truncated, truncated, truncated}));
  EXPECT_EQ(l.ui.shown.size(), 1u);
  l.sock.Deliver(fine);
  EXPECT_EQ(handled, 1) << "the program goes on";
  l.sock.Deliver(truncated);
  EXPECT_EQ(l.ui.shown.size(), 2u);
}

TEST(ServerLink, ViewersDoNotShareState) {
  Link a, b;
  int gotA = 0, gotB = 0;
  a.link.dispatcher().Register(110, [&](DWBUffer&) { ++gotA; });
  b.link.dispatcher().Register(110, [&](DWBUffer&) { ++gotB; });
  const Bytes m = Message(110, [](DWBUffer& x) { x.PutInteger(0); });
  a.sock.Deliver(Bytes(m.begin(), m.begin() + 5));
  b.sock.Deliver(m);
  EXPECT_EQ(gotB, 1);
  EXPECT_EQ(gotA, 0);
  a.sock.Deliver(Bytes(m.begin() + 5, m.end()));
  EXPECT_EQ(gotA, 1);
  EXPECT_EQ(gotB, 1);
}

}  // namespace
}  // namespace orvenda
