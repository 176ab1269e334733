// Login (12/112) and change of password (120/121) against the real server.
#include <gtest/gtest.h>

#include <set>
#include <thread>

#include "server_rig.h"

namespace orvenda::server::test {
namespace {

struct LoginReply {
  std::int32_t user = 0;
  std::int16_t major = 0, minor = 0, revision = 0;
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
    r.major = m->GetInteger();
    r.minor = m->GetInteger();
    r.revision = m->GetInteger();
    const std::int16_t n = m->GetInteger();
    for (int i = 0; i < n; ++i) {
      const std::int32_t code = m->GetLong();
      r.maps.emplace_back(code, m->GetString());
    }
  }
  EXPECT_EQ(m->Remaining(), 0) << "bytes after the last field of 112";
  r.closedAfter = c.closedByServer(3s);
  return r;
}

TEST(ServerLogin, AcceptsRefusesAndListsTheMapsOfEachUser) {
  ServerRig rig;
  struct Row {
    const char* what;
    std::string user, password;
    bool accepted;
    std::vector<std::int32_t> maps;
  };
  const std::vector<Row> rows = {
      {"right password", "ana", "secreta", true, {TestData::kMap}},
      {"guest with its empty password", "invitado", "", true, {TestData::kMap}},
      {"account without any viewable layer", "bob", "bobpass", true, {}},
      {"wrong password", "ana", "Secreta", false, {}},
      {"unknown user", "nadie", "secreta", false, {}},
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
    EXPECT_EQ(r.major, 1);
    EXPECT_EQ(r.minor, 0);
    EXPECT_EQ(r.revision, 0);
    std::vector<std::int32_t> codes;
    for (const auto& [code, name] : r.maps) codes.push_back(code);
    EXPECT_EQ(codes, row.maps);
    if (!r.maps.empty()) {
      EXPECT_EQ(r.maps[0].second, "Ciudad");
    }
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

TEST(ServerLogin, SendsTheConfiguredRequiredVersion) {
  ServerConfig config;
  config.requiredVersion = {2, 0, 5};
  ServerRig rig(config);
  const LoginReply r = DoLogin(rig.port(), "ana", "secreta");
  EXPECT_EQ(r.major, 2);
  EXPECT_EQ(r.minor, 0);
  EXPECT_EQ(r.revision, 5);
  EXPECT_EQ(r.maps.size(), 1u);
}

TEST(ServerLogin, FailuresAreThrottledPerAddressAndPasswordsNeverLogged) {
  ServerConfig config;
  config.loginAttempts = 3;
  config.loginWindow = 4s;  // long enough for three slow password checks on a busy machine
  ServerRig rig(config);
  const auto firstFailure = std::chrono::steady_clock::now();
  for (int i = 0; i < 3; ++i) EXPECT_EQ(DoLogin(rig.port(), "ana", "adivina").user, -1);
  const auto lastFailure = std::chrono::steady_clock::now();
  ASSERT_LT(lastFailure - firstFailure, config.loginWindow) << "the machine is too slow";
  // The right password is refused too while this address is throttled...
  EXPECT_EQ(DoLogin(rig.port(), "ana", "secreta").user, -1);
  // ...but not from another address...
  EXPECT_GE(DoLogin(rig.port(), "ana", "secreta", "127.0.0.2").user, 1);
  // ...and no longer once the failures have left the window.
  std::this_thread::sleep_until(lastFailure + config.loginWindow + 200ms);
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
