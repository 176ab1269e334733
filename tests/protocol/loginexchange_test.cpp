#include "protocol/loginexchange.h"

#include <gtest/gtest.h>

#include <optional>

#include "protocol/catalogue.h"
#include "protocol/changepassword.h"
#include "protocol/connecttoserver.h"
#include "support/fakes.h"
#include "support/memoryconnection.h"
#include "support/wire.h"

namespace orvenda {
namespace {

using testing::Bytes;
using testing::Message;

TEST(CheckVersion, ComparesMajorMinorThenRevision) {
  struct Row {
    const char* name;
    Version own, required;
    int expected;
  };
  const Row rows[] = {
      {"older major", {1, 9, 9}, {2, 0, 0}, -1},
      {"equal", {2, 0, 0}, {2, 0, 0}, 1},
      {"newer revision", {2, 0, 1}, {2, 0, 0}, 1},
      {"older revision", {2, 0, 3}, {2, 0, 5}, 0},
      {"older minor", {2, 0, 9}, {2, 1, 0}, -1},
      {"newer major, older minor", {3, 0, 0}, {2, 5, 5}, 1},
      {"newer minor, older revision", {2, 2, 0}, {2, 1, 7}, 1},
  };
  for (const Row& r : rows) EXPECT_EQ(CheckVersion(r.own, r.required), r.expected) << r.name;
}

struct LoginRig {
  testing::MemoryConnection sock;
  testing::ScriptedInteraction ui;
  testing::FakeClock clock;
  testing::FakePump pump;
  std::optional<LoginExchange> login;
  std::vector<LoginResult> responses;

  explicit LoginRig(Version own = {2, 0, 3}) {
    pump.onPump = [this] {
      clock.now += 1;
      sock.Pump();
    };
    login.emplace(sock, ui, clock, pump, own);
    login->SetLoginResponse([this](const LoginResult& r) { responses.push_back(r); });
  }
};

Bytes Accepted(std::int16_t major, std::int16_t minor, std::int16_t rev, int maps) {
  return Message(112, [=](DWBUffer& b) {
    b.PutLong(4711);
    b.PutInteger(major);
    b.PutInteger(minor);
    b.PutInteger(rev);
    b.PutInteger(static_cast<std::int16_t>(maps));
    for (int i = 0; i < maps; ++i) {
      b.PutLong(100 + i);
      b.PutString("Mapa " + std::to_string(i) + " Peñalolén");
    }
  });
}

TEST(LoginExchange, SendsTheRequestAndDeliversTheMapsOfASplitReply) {
  LoginRig rig;
  rig.login->Checklogin("srv", 1001, "ana", "");
  ASSERT_EQ(rig.sock.sent().size(), 1u);
  EXPECT_EQ(rig.sock.sent()[0],
            (Bytes{'M', 'I', 'C', ' ', 17, 0, 0, 0, 12, 0, 3, 0, 'a', 'n', 'a', 0, 0}))
      << "an empty password is an Integer 0 alone";

  const Bytes reply = Accepted(2, 0, 3, 2);
  for (std::size_t i = 0; i < reply.size(); i += 5) {
    rig.sock.Deliver(Bytes(reply.begin() + static_cast<long>(i),
                           reply.begin() + static_cast<long>(std::min(i + 5, reply.size()))));
  }
  ASSERT_EQ(rig.responses.size(), 1u);
  const LoginResult& r = rig.responses[0];
  EXPECT_EQ(r.LIDUser, 4711);
  EXPECT_EQ(r.iCantMapas, 2);
  EXPECT_EQ(r.lMapCodes, (std::vector<std::int32_t>{100, 101}));
  EXPECT_EQ(r.sMapNames.at(1), "Mapa 1 Peñalolén");
  EXPECT_EQ(rig.sock.state(), Connection::kClosed);
  EXPECT_TRUE(rig.ui.shown.empty());

  rig.sock.Deliver(Accepted(2, 0, 3, 1));  // nothing more is read
  EXPECT_EQ(rig.responses.size(), 1u);
}

TEST(LoginExchange, EveryOutcome) {
  struct Row {
    const char* name;
    Bytes reply;
    std::int32_t user;
    std::int16_t maps;
    const char* shown;  // message box text, or nullptr
  };
  const Row rows[] = {
      {"refused", Message(112, [](DWBUffer& b) { b.PutLong(0); }), 0, -1, nullptr},
      {"refused negative", Message(112, [](DWBUffer& b) { b.PutLong(-3); }), -3, -1, nullptr},
      {"too old", Accepted(3, 0, 0, 2), kLoginLibraryTooOld, -1,
       "Imprescindible Instalar nueva version"},
      {"newer revision recommended", Accepted(2, 0, 5, 1), 4711, 1,
       "Recomendable Instalar nueva version"},
      {"no maps", Accepted(2, 0, 0, 0), 4711, 0, nullptr},
      {"other command", Message(110, [](DWBUffer& b) { b.PutInteger(0); }), -1, -1, nullptr},
      {"cut short", Bytes{'M', 'I', 'C', ' ', 14, 0, 0, 0, 112, 0, 1, 0, 0, 0}, -1, -1, nullptr},
  };
  for (const Row& row : rows) {
    LoginRig rig;
    rig.login->Checklogin("srv", 1001, "ana", "x");
    rig.sock.Deliver(row.reply);
    ASSERT_EQ(rig.responses.size(), 1u) << row.name;
    EXPECT_EQ(rig.responses[0].LIDUser, row.user) << row.name;
    EXPECT_EQ(rig.responses[0].iCantMapas, row.maps) << row.name;
    EXPECT_EQ(rig.sock.state(), Connection::kClosed) << row.name;
    if (row.shown) {
      ASSERT_EQ(rig.ui.shown.size(), 1u) << row.name;
      EXPECT_EQ(rig.ui.shown[0].text, row.shown);
      EXPECT_EQ(rig.ui.shown[0].title, "Orvenda Inc.");
      EXPECT_EQ(rig.ui.shown[0].icon, MessageIcon::Critical);
    } else {
      EXPECT_TRUE(rig.ui.shown.empty()) << row.name;
    }
  }
}

TEST(LoginExchange, UnreachableServerIsToldAndRaisesNothing) {
  LoginRig rig;
  rig.sock.connectTo = Connection::kError;
  rig.sock.connectAfterPumps = 2;
  rig.login->Checklogin("srv", 1001, "ana", "x");
  EXPECT_TRUE(rig.sock.sent().empty());
  EXPECT_TRUE(rig.responses.empty());
  ASSERT_EQ(rig.ui.shown.size(), 1u);
  EXPECT_EQ(rig.ui.shown[0].text, ConnectionFailureText());
}

TEST(LoginExchange, DestructionWaitsForTheCloseButNotForEver) {
  LoginRig rig;
  rig.sock.SetState(Connection::kConnected);
  rig.login.reset();  // Close() takes the memory socket straight to closed
  EXPECT_EQ(rig.pump.calls, 0);
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
  EXPECT_EQ(viewer.pending, 0);
  EXPECT_EQ(sock.sent().at(0), (Bytes{'M', 'I', 'C', ' ', 24,  0,   0,   0, 120, 0,   9,    0,
                                      0,   0,   3,   0,   'o', 'l', 'd', 3, 0,   'n', 0xE9, 'w'}));

  for (std::int16_t result : {0, 1, 2}) {
    sock.Deliver(Message(121, [result](DWBUffer& b) { b.PutInteger(result); }));
  }
  ASSERT_EQ(ui.shown.size(), 2u);
  EXPECT_EQ(ui.shown[0].text, "Password succesfully changed");
  EXPECT_EQ(ui.shown[1].text, "Wrong Password. Please try again");
  EXPECT_EQ(ui.shown[1].title, "Change Password");
  EXPECT_EQ(ui.shown[1].icon, MessageIcon::Information);
}

}  // namespace
}  // namespace orvenda
