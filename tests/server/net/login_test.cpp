// Login (12/112) and change of password (120/121) against the real server.
#include <gtest/gtest.h>

#include <set>

#include "server_rig.h"

namespace orvenda::server::test {
namespace {

struct LoginReply {
  std::int32_t user = 0;
  std::vector<std::int16_t> version;
  std::vector<std::pair<std::int32_t, std::string>> maps;
  bool closedAfter = false;
};

LoginReply DoLogin(std::uint16_t port, const std::string& name, const std::string& password,
                   const std::string& source = {}) {
  LoginReply r;
  ProtocolClient c(port, source);
  auto m = Ask(c,
               Request(12,
                       [&](DWBUffer& b) {
                         b.PutString(name);
                         b.PutString(password);
                       }),
               112);
  if (!m) return r;
  r.user = m->GetLong();
  if (r.user >= 1) {
    for (int i = 0; i < 3; ++i) r.version.push_back(m->GetInteger());
    for (int n = m->GetInteger(); n > 0; --n) r.maps.push_back({m->GetLong(), m->GetString()});
  }
  EXPECT_EQ(m->Remaining(), 0) << "bytes after the last field of 112";
  r.closedAfter = c.closedByServer();
  return r;
}

TEST(ServerLogin, AcceptsRefusesAndListsTheMapsOfEachUser) {
  ServerConfig config;
  config.requiredVersion = {2, 0, 5};
  ServerRig rig(config);
  using Maps = std::vector<std::pair<std::int32_t, std::string>>;
  struct Row {
    const char* what;
    std::string user, password;
    bool accepted;
    Maps maps;
  };
  const std::vector<Row> rows = {
      {"right password", "ana", "secreta", true, {{TestData::kMap, "Ciudad"}}},
      {"guest with its empty password", "invitado", "", true, {{TestData::kMap, "Ciudad"}}},
      {"account without any viewable layer", "bob", "bobpass", true, {}},
      {"wrong password", "ana", "Secreta", false, {}},
      {"unknown user", "nadie", "secreta", false, {}},
      {"name in other case", "ANA", "secreta", false, {}},
      {"empty user name", "", "", false, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const LoginReply r = DoLogin(rig.port(), row.user, row.password);
    EXPECT_TRUE(r.closedAfter) << "the login connection ends after reply 112";
    if (!row.accepted) {
      EXPECT_EQ(r.user, -1);  // the login form's "Invalid Username or password"
      continue;
    }
    EXPECT_GE(r.user, 1);
    EXPECT_EQ(r.version, (std::vector<std::int16_t>{2, 0, 5}));
    EXPECT_EQ(r.maps, row.maps);
  }
}

TEST(ServerLogin, UserIdIsAFreshRandomHandleNotTheAccountNumber) {
  ServerRig rig;
  std::set<std::int32_t> seen;
  for (int i = 0; i < 4; ++i) {
    const std::int32_t id = Login(rig.port(), "ana", "secreta");
    ASSERT_GE(id, 1);
    EXPECT_NE(id, rig.data().ana);
    seen.insert(id);
  }
  EXPECT_EQ(seen.size(), 4u);
}

TEST(ServerLogin, FailuresAreThrottledPerAddressAndPasswordsNeverLogged) {
  ServerConfig config;
  config.loginAttempts = 3;
  ServerRig rig(config);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(DoLogin(rig.port(), "ana", "adivina").user, -1);
  // The right password is refused too while this address is throttled...
  EXPECT_EQ(DoLogin(rig.port(), "ana", "secreta").user, -1);
  // ...but not from another address...
  EXPECT_GE(DoLogin(rig.port(), "ana", "secreta", "127.0.0.2").user, 1);
  // ...and no longer once the failures have left the window, not a moment before.
  rig.clock().Advance(config.loginWindow - 1ms);
  EXPECT_EQ(DoLogin(rig.port(), "ana", "secreta").user, -1);
  rig.clock().Advance(1ms);
  EXPECT_GE(DoLogin(rig.port(), "ana", "secreta").user, 1);

  const std::string log = rig.logText();
  EXPECT_NE(log.find("too many failed logins"), std::string::npos) << log;
  EXPECT_EQ(log.find("adivina"), std::string::npos) << log;
  EXPECT_EQ(log.find("secreta"), std::string::npos) << log;
}

std::int16_t ChangePassword(std::uint16_t port, std::int32_t user, const std::string& oldPw,
                            const std::string& newPw) {
  ProtocolClient c(port);
  auto m = Ask(c,
               Request(120,
                       [&](DWBUffer& b) {
                         b.PutLong(user);
                         b.PutString(oldPw);
                         b.PutString(newPw);
                       }),
               121);
  return m ? m->GetInteger() : -9999;
}

TEST(ServerLogin, ChangePasswordNeedsALiveHandleAndTheOldPassword) {
  ServerRig rig;
  const std::int32_t ana = Login(rig.port(), "ana", "secreta");
  const std::int32_t guest = Login(rig.port(), "invitado", "");
  ASSERT_GE(ana, 1);
  ASSERT_GE(guest, 1);
  EXPECT_EQ(ChangePassword(rig.port(), ana, "mala", "nueva"), 1);
  EXPECT_EQ(ChangePassword(rig.port(), ana ^ 0x5A5A5A, "secreta", "nueva"), 1);  // made up
  EXPECT_EQ(ChangePassword(rig.port(), guest, "", "nueva"), 1);                  // guests cannot
  EXPECT_EQ(ChangePassword(rig.port(), ana, "secreta", ""), 1);                  // blank
  EXPECT_EQ(ChangePassword(rig.port(), ana, "secreta", "nueva clave"), 0);
  EXPECT_EQ(Login(rig.port(), "ana", "secreta"), -1);
  EXPECT_GE(Login(rig.port(), "ana", "nueva clave"), 1);
  EXPECT_EQ(rig.logText().find("nueva clave"), std::string::npos);
}

}  // namespace
}  // namespace orvenda::server::test
