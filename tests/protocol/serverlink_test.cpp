#include "protocol/serverlink.h"

#include <gtest/gtest.h>

#include <set>

#include "protocol/catalogue.h"
#include "protocol/codepage.h"
#include "protocol/connecttoserver.h"
#include "protocol/loginexchange.h"
#include "support/fakes.h"
#include "support/memoryconnection.h"
#include "support/wire.h"

namespace orvenda {
namespace {

using testing::Bytes;
using testing::Message;
using testing::Wire;

// The seams of a connection: each pump moves the clock a second (midnight wraps it) and
// the socket a step.
struct Seams {
  testing::MemoryConnection sock;
  testing::ScriptedInteraction ui;
  testing::FakeClock clock;
  testing::FakePump pump;
  Seams() {
    pump.onPump = [this] {
      clock.now = (clock.now + 1) % (24 * 3600);
      sock.Pump();
    };
  }
};

struct Link : Seams {
  testing::RecordingViewer viewer;
  ServerLink link{sock, viewer, ui, clock, pump};
};

TEST(ConnectToServer, WaitsForTheSocketWithinSixtySeconds) {
  // Start state, where the connection goes and after how many pumps, clock at the start;
  // connected, pumps, connect calls.
  const std::tuple<const char*, int, int, int, std::int32_t, bool, int, int> rows[] = {
      {"answers after 5 pumps", Connection::kClosed, Connection::kConnected, 5, 0, true, 5, 1},
      {"closing: connects anew", Connection::kClosing, Connection::kOpen, 2, 0, true, 2, 1},
      {"never answers", Connection::kClosed, Connection::kConnected, 1000000, 0, false, 60, 1},
      {"refused", Connection::kClosed, Connection::kError, 3, 0, false, 3, 1},
      {"already connected", Connection::kConnected, Connection::kConnected, 0, 0, true, 0, 0},
      {"waits across midnight", Connection::kClosed, Connection::kConnected, 1000000, 86370, false,
       60, 1},
  };
  for (const auto& [name, startState, connectTo, after, startClock, connected, pumps, connects] :
       rows) {
    Link l;
    l.sock.SetState(startState);
    l.sock.connectTo = connectTo;
    l.sock.connectAfterPumps = after;
    l.clock.now = startClock;
    EXPECT_EQ(ConnectToServer(l.sock, "maps.example", 1001, l.clock, l.pump), connected) << name;
    EXPECT_EQ(l.pump.calls, pumps) << name;
    EXPECT_EQ(l.sock.connectCalls(), connects) << name;
    EXPECT_EQ(l.sock.RemoteHost(), connects ? "maps.example" : "") << name;
  }
}

// The catalogue's counted commands: a counted request raises PendingRequests when
// sent and its reply lowers it; the rest leave it alone.
TEST(ServerLink, OnlyCountedRequestsRaisePending) {
  const std::set<int> countedRequests = {1, 2, 4, 5, 6, 10, 11, 13, 14, 15, 230};
  const std::set<int> otherRequests = {12, 120, 205, 206, 207, 208, 210, 220, 221, 240};
  const std::set<int> countedReplies = {101, 102, 103, 104, 105, 106, 109,
                                        110, 111, 113, 114, 115, 231};
  const std::set<int> otherReplies = {107, 108, 112, 121, 241, 250};
  Link l;
  l.sock.SetState(Connection::kConnected);
  for (int code = -1; code <= 300; ++code) {
    const std::int32_t before = l.viewer.pending;
    EXPECT_TRUE(l.link.SendToServer(static_cast<std::int16_t>(code)));
    EXPECT_EQ(l.viewer.pending - before, countedRequests.contains(code) ? 1 : 0) << code;
    const auto info = FindCommand(static_cast<std::int16_t>(code));
    const bool request = countedRequests.contains(code) || otherRequests.contains(code);
    const bool reply = countedReplies.contains(code) || otherReplies.contains(code);
    ASSERT_EQ(info.has_value(), request || reply) << code;
    if (!info) continue;
    EXPECT_EQ(info->direction, request ? Direction::ClientToServer : Direction::ServerToClient);
    EXPECT_EQ(info->counted, countedRequests.contains(code) || countedReplies.contains(code))
        << code;
  }
  EXPECT_EQ(l.sock.sent()[11], (Bytes{'M', 'I', 'C', ' ', 10, 0, 0, 0, 10, 0}));
}

// A send on a dropped connection connects again; the new connection gets the map's
// session back before the request. A failed connection loses only the request.
TEST(ServerLink, SendReconnectsAndAFailedReconnectLosesNothingButTheRequest) {
  Link l;
  l.sock.SetRemote("srv", 1001);
  int reconnects = 0;
  l.link.SetReconnected([&] {
    ++reconnects;
    l.link.SendToServer(cmd::kOpenMap);
  });
  l.sock.connectAfterPumps = 2;
  EXPECT_TRUE(l.link.SendToServer(cmd::kCell));
  EXPECT_TRUE(l.link.SendToServer(cmd::kCell));
  EXPECT_EQ(l.sock.connectCalls(), 1);
  EXPECT_EQ(reconnects, 1);
  std::vector<int> codes;
  for (const Bytes& m : l.sock.sent()) codes.push_back(m.at(8) | (m.at(9) << 8));
  EXPECT_EQ(codes, (std::vector<int>{cmd::kOpenMap, cmd::kCell, cmd::kCell}));
  EXPECT_EQ(l.viewer.pending, 3);

  l.sock.SetState(Connection::kClosed);
  l.sock.connectTo = Connection::kError;
  EXPECT_FALSE(l.link.SendToServer(cmd::kMapDefinition));
  EXPECT_EQ(l.viewer.pending, 3) << "a lost request must not keep the viewer waiting";
  EXPECT_EQ(l.sock.sent().size(), 3u);
  EXPECT_EQ(reconnects, 1) << "no connection, no session to give back";
  ASSERT_EQ(l.ui.shown.size(), 1u);
  EXPECT_EQ(l.ui.shown[0].title + ": " + l.ui.shown[0].text,
            "Orvenda Viewer: " + ConnectionFailureText());
  EXPECT_EQ(l.ui.shown[0].icon, MessageIcon::Critical);
}

// Handlers start after the command code; 107 and 108 are ignored; 241 hands its result
// on; an unknown code is told. (104 by the attribute-editing mode: the two-viewer test.)
TEST(ServerLink, DispatchRoutesByCode) {
  Link l;
  std::vector<std::string> calls;
  Dispatcher& d = l.link.dispatcher();
  d.Register(cmd::kOpenMapReply, [&](DWBUffer& m) {
    const std::string at = std::to_string(m.cursor()) + ": ";
    calls.push_back(at + std::to_string(m.GetInteger()));
  });
  d.RegisterSaveResult([&](std::int16_t r) { calls.push_back("saved " + std::to_string(r)); });
  l.sock.Deliver(
      testing::Join({Wire(110, "I", {5}), Message(107), Message(108), Wire(241, "I", {1000})}));
  EXPECT_EQ(calls, (std::vector<std::string>{"11: 5", "saved 1000"}));
  EXPECT_TRUE(l.ui.shown.empty());
  l.sock.Deliver(Message(999));
  ASSERT_EQ(l.ui.shown.size(), 1u);
  EXPECT_EQ(l.ui.shown[0].title + ": " + l.ui.shown[0].text,
            "Proyecto Tarrowito: Error!\nNo se entiende el comando");
  EXPECT_EQ(l.ui.shown[0].buttons, MessageButtons::Ok);
}

TEST(ServerLink, ShortRepliesAreDroppedAndReportedOncePerBrokenStretch) {
  Link l;
  int handled = 0;
  l.link.dispatcher().Register(cmd::kAccessLevelsReply, [&](DWBUffer& m) {
    for (int i = 0, n = m.GetInteger(); i < n; ++i) m.GetLong(), m.GetInteger();
    ++handled;
  });
  const Bytes truncated = Wire(111, "IL", {3, 1});
  l.sock.Deliver(testing::Join({truncated, truncated, truncated}));
  EXPECT_EQ(l.ui.shown.size(), 1u);
  l.sock.Deliver(Wire(111, "I", {0}));
  EXPECT_EQ(handled, 1) << "the program goes on";
  l.sock.Deliver(truncated);
  EXPECT_EQ(l.ui.shown.size(), 2u);
  EXPECT_EQ(l.ui.shown[1].icon, MessageIcon::Exclamation);
  l.sock.Deliver(Wire(111, "I", {0}));
  l.sock.Deliver(Bytes{'M', 'I', 'C', ' ', 3, 0, 0, 0});  // the header alone shows it is broken
  EXPECT_EQ(l.ui.shown.size(), 3u);
}

// A server that falls silent, or a connection that ends, must not leave the viewer
// waiting for ever: what is pending is given up (after 60 quiet seconds, midnight
// included, or at once when the connection ends) and the user told once. A message
// the lost connection left unfinished is dropped; the next stream reads clean.
TEST(ServerLink, SilenceOrALostConnectionGivesUpWhatIsPending) {
  Link l;
  l.sock.SetState(Connection::kConnected);
  int handled = 0;
  l.link.dispatcher().Register(cmd::kAccessLevelsReply, [&](DWBUffer&) { ++handled; });
  l.clock.now = 24 * 3600 - 30;
  l.link.SendToServer(cmd::kCell);
  for (const std::int32_t now : {29, 30, 31}) {
    l.clock.now = now;
    l.link.CheckReplyTime();
    EXPECT_EQ(l.viewer.pending, now < 30 ? 1 : 0) << now;
  }
  ASSERT_EQ(l.ui.shown.size(), 1u);
  EXPECT_EQ(l.ui.shown[0].text, "El servidor no respondió a tiempo. Puede intentarlo de nuevo.");

  l.link.SendToServer(cmd::kCell);
  l.clock.now = 80;
  const Bytes reply = Wire(111, "I", {0});
  l.sock.Deliver(Bytes(reply.begin(), reply.begin() + 9));  // an arrival restarts the wait
  l.clock.now = 139;
  l.link.CheckReplyTime();
  EXPECT_EQ(l.viewer.pending, 1);
  l.sock.HangUp();
  EXPECT_EQ(l.viewer.pending, 0);
  EXPECT_EQ(l.link.receiver().heldBytes(), 0u);
  ASSERT_EQ(l.ui.shown.size(), 2u);
  EXPECT_EQ(l.ui.shown[1].text,
            "Se perdió la conexión con el servidor. Al volver a navegar el mapa se conectará de "
            "nuevo.");
  l.sock.SetState(Connection::kConnected);
  l.sock.Deliver(reply);
  EXPECT_EQ(handled, 1);
  EXPECT_EQ(l.ui.shown.size(), 2u) << "read clean, nothing to report";
}

using testing::LoginReply;

struct LoginRig : Seams {
  std::optional<LoginExchange> login;
  std::vector<LoginResult> responses;
  LoginRig() {
    login.emplace(sock, ui, clock, pump, Version{2, 0, 3});
    login->SetLoginResponse([this](const LoginResult& r) { responses.push_back(r); });
  }
};

TEST(LoginExchange, SendsTheRequestAndDeliversTheMapsOfASplitReply) {
  LoginRig rig;
  EXPECT_TRUE(rig.login->Checklogin("srv", 1001, "ana", ""));
  ASSERT_EQ(rig.sock.sent().size(), 1u);
  EXPECT_EQ(rig.sock.sent()[0],
            (Bytes{'M', 'I', 'C', ' ', 17, 0, 0, 0, 12, 0, 3, 0, 'a', 'n', 'a', 0, 0}))
      << "an empty password is an Integer 0 alone";
  const Bytes reply = LoginReply(4711, {2, 0, 3}, {{100, "Mapa 0"}, {101, "Mapa 1 Peñalolén"}});
  for (std::size_t i = 0; i < reply.size(); i += 5) {
    rig.sock.Deliver(Bytes(reply.begin() + static_cast<long>(i),
                           reply.begin() + static_cast<long>(std::min(i + 5, reply.size()))));
  }
  ASSERT_EQ(rig.responses.size(), 1u);
  const LoginResult& r = rig.responses[0];
  EXPECT_EQ(r.LIDUser, 4711);
  EXPECT_EQ(r.iCantMapas, 2);
  EXPECT_EQ(r.lMapCodes, (std::vector<std::int32_t>{100, 101}));
  EXPECT_EQ(r.sMapNames, (std::vector<std::string>{"Mapa 0", "Mapa 1 Peñalolén"}));
  EXPECT_EQ(rig.sock.state(), Connection::kClosed);
  EXPECT_TRUE(rig.ui.shown.empty());
  rig.sock.Deliver(LoginReply(4711, {2, 0, 3}, {}));  // nothing more is read
  EXPECT_EQ(rig.responses.size(), 1u);
}

TEST(LoginExchange, EveryOutcome) {
  // The reply; the user and map count answered; the message box text, or nullptr.
  const std::tuple<const char*, Bytes, std::int32_t, std::int16_t, const char*> rows[] = {
      {"refused", Wire(112, "L", {0}), 0, -1, nullptr},
      {"too old", LoginReply(4711, {3, 0, 0}, {{1, "a"}}), kLoginLibraryTooOld, -1,
       "Imprescindible Instalar nueva version"},
      {"newer minor required", LoginReply(4711, {2, 1, 0}, {{1, "a"}}), kLoginLibraryTooOld, -1,
       "Imprescindible Instalar nueva version"},
      {"newer revision recommended", LoginReply(4711, {2, 0, 5}, {{1, "a"}}), 4711, 1,
       "Recomendable Instalar nueva version"},
      {"no maps", LoginReply(4711, {2, 0, 0}, {}), 4711, 0, nullptr},
      {"other command", Wire(110, "I", {0}), -1, -1, nullptr},
      {"cut short", Bytes{'M', 'I', 'C', ' ', 14, 0, 0, 0, 112, 0, 1, 0, 0, 0}, -1, -1, nullptr},
  };
  for (const auto& [name, reply, user, maps, shown] : rows) {
    LoginRig rig;
    rig.login->Checklogin("srv", 1001, "ana", "x");
    rig.sock.Deliver(reply);
    ASSERT_EQ(rig.responses.size(), 1u) << name;
    EXPECT_EQ(rig.responses[0].LIDUser, user) << name;
    EXPECT_EQ(rig.responses[0].iCantMapas, maps) << name;
    EXPECT_EQ(rig.sock.state(), Connection::kClosed) << name;
    ASSERT_EQ(rig.ui.shown.size(), shown ? 1u : 0u) << name;
    if (shown) {
      EXPECT_EQ(rig.ui.shown[0].text, shown);
      EXPECT_EQ(rig.ui.shown[0].title, "Orvenda Inc.");
      EXPECT_EQ(rig.ui.shown[0].icon, MessageIcon::Critical);
    }
  }
}

TEST(LoginExchange, UnreachableServerIsToldAndRaisesNothing) {
  LoginRig rig;
  rig.sock.connectTo = Connection::kError;
  rig.sock.connectAfterPumps = 2;
  EXPECT_FALSE(rig.login->Checklogin("srv", 1001, "ana", "x"));
  EXPECT_TRUE(rig.sock.sent().empty());
  EXPECT_TRUE(rig.responses.empty());
  ASSERT_EQ(rig.ui.shown.size(), 1u);
  EXPECT_EQ(rig.ui.shown[0].text, ConnectionFailureText());
}

// A socket that reports closing after Close() until the test closes it.
class LingeringConnection : public testing::MemoryConnection {
 public:
  void Close() override { SetState(kClosing); }
};

// Destruction lets events run until the socket reports closed, but for no more than
// 60 seconds of the clock, also across midnight.
TEST(LoginExchange, DestructionWaitsForTheCloseAtMostSixtySeconds) {
  for (const int closedAfter : {5, 0}) {  // pumps until the socket reports closed; 0: never
    LingeringConnection sock;
    testing::ScriptedInteraction ui;
    testing::FakeClock clock;
    testing::FakePump pump;
    clock.now = 24 * 3600 - 20;
    pump.onPump = [&] {
      clock.now = (clock.now + 1) % (24 * 3600);
      if (pump.calls == closedAfter || pump.calls > 200) sock.SetState(Connection::kClosed);
    };
    {
      LoginExchange login(sock, ui, clock, pump);
      sock.SetState(Connection::kConnected);
    }
    EXPECT_EQ(pump.calls, closedAfter == 0 ? 60 : closedAfter);
  }
}

// Names and passwords travel in Windows-1252: the ends of its direct ranges, the
// remapped 0x80..0x9F row, and characters it lacks (one '?' per character).
TEST(Codepage, EdgesOfTheDirectRangesAndMissingCharacters) {
  EXPECT_EQ(Utf8ToCp1252("\x7F\u00A0\u00FF\u20AC\u0178"), "\x7F\xA0\xFF\x80\x9F");
  EXPECT_EQ(Utf8ToCp1252("\u0100\U0001F600x"), "??x");
  EXPECT_EQ(Cp1252ToUtf8("\x7F\xA0\xFF\x80\x9F"), "\x7F\u00A0\u00FF\u20AC\u0178");
  EXPECT_EQ(Cp1252Length("a\u00F1\U0001F600"), 3u);
}

}  // namespace
}  // namespace orvenda
