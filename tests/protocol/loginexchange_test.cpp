#include "protocol/loginexchange.h"

#include <gtest/gtest.h>

#include "protocol/catalogue.h"
#include "protocol/changepassword.h"
#include "protocol/codepage.h"
#include "protocol/connecttoserver.h"
#include "support/fakes.h"
#include "support/memoryconnection.h"
#include "support/wire.h"

namespace orvenda {
namespace {

using testing::Bytes;
using testing::LoginReply;
using testing::Message;
using testing::Wire;

struct LoginRig {
  testing::MemoryConnection sock;
  testing::ScriptedInteraction ui;
  testing::FakeClock clock;
  testing::FakePump pump;
  std::optional<LoginExchange> login;
  std::vector<LoginResult> responses;

  LoginRig() {
    pump.onPump = [this] {
      clock.now += 1;
      sock.Pump();
    };
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
      {"refused negative", Wire(112, "L", {-3}), -3, -1, nullptr},
      {"too old", LoginReply(4711, {3, 0, 0}, {{1, "a"}}), kLoginLibraryTooOld, -1,
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

TEST(ChangePassword, RequestAndEveryResult) {
  testing::RecordingViewer viewer;
  testing::MemoryConnection sock;
  testing::ScriptedInteraction ui;
  testing::FakeClock clock;
  testing::FakePump pump;
  ServerLink link(sock, viewer, ui, clock, pump);
  RegisterChangePasswordReply(link.dispatcher(), ui);
  sock.SetState(Connection::kConnected);
  SendChangePassword(link, 9, "old", "néw");
  EXPECT_EQ(viewer.pending, 0) << "not counted";
  EXPECT_EQ(sock.sent().at(0), Wire(120, "LSS", {9, "old", "néw"}));
  for (int result : {0, 1, 2}) sock.Deliver(Wire(121, "I", {result}));
  ASSERT_EQ(ui.shown.size(), 2u);
  EXPECT_EQ(ui.shown[0].text + "|" + ui.shown[1].text + "|" + ui.shown[1].title,
            "Password succesfully changed|Wrong Password. Please try again|Change Password");
  EXPECT_EQ(ui.shown[1].icon, MessageIcon::Information);
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
