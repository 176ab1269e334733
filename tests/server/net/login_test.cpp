// Login (12/112) and change of password (120/121) against the real server.
#include <gtest/gtest.h>

#include <set>

#include "server_rig.h"

namespace orvenda::server::test {
namespace {

// Reply 112 read back: the user ID and (when accepted) the required version and the
// maps, as text. The server ends the connection after it.
std::pair<std::int32_t, std::string> DoLogin(std::uint16_t port, const std::string& name,
                                             const std::string& password,
                                             const std::string& source = {}) {
  ProtocolClient c(port, source);
  auto m = Ask(c, RequestWith(12, name, password), 112);
  if (!m) return {0, ""};
  const std::int32_t user = m->GetLong();
  std::string rest = user >= 1 ? ReadFields(*m, "III") : "";
  for (int n = user >= 1 ? m->GetInteger() : 0; n > 0; --n) rest += ReadFields(*m, "LS");
  EXPECT_EQ(m->Remaining(), 0) << "bytes after the last field of 112";
  EXPECT_TRUE(c.ClosedByServer()) << "the login connection ends after reply 112";
  return {user, rest};
}

TEST(ServerLogin, AcceptsRefusesAndListsTheMapsOfEachUser) {
  ServerConfig config;
  config.requiredVersion = {2, 0, 5};
  ServerRig rig(config);
  struct Row {
    std::string user, password;
    const char* rest;  // null: refused
  };
  const Row rows[] = {
      {"ana", "secreta", "2 0 5 7 \"Ciudad\" "},
      {"ana", "secreta", "2 0 5 7 \"Ciudad\" "},
      {"invitado", "", "2 0 5 7 \"Ciudad\" "},  // a guest with its empty password
      {"bob", "bobpass", "2 0 5 "},             // no viewable layer: no map
      {"ana", "Secreta", nullptr},
      {"nadie", "secreta", nullptr},
      {"ANA", "secreta", nullptr},  // names are exact
  };
  // Each acceptance gets a fresh random handle, never the account number.
  std::set<std::int32_t> handles = {rig.Data().ana, rig.Data().guest, rig.Data().bob};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.user + "/" + row.password);
    const auto [user, rest] = DoLogin(rig.Port(), row.user, row.password);
    // -1: the login form's "Invalid Username or password".
    EXPECT_EQ(user >= 1 ? rest : std::to_string(user), row.rest ? row.rest : "-1");
    EXPECT_TRUE(user < 1 || handles.insert(user).second) << user;
  }
}

// Changing a password (120/121) needs a live handle and the old password; wrong old
// passwords count as failures too.
TEST(ServerLogin, PasswordChecksAreThrottledPerAddressAndPasswordsNeverLogged) {
  ServerConfig config;
  config.loginAttempts = 3;
  ServerRig rig(config);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Login(rig.Port(), "ana", "adivina"), -1);
  // The right password is refused too while this address is throttled...
  EXPECT_EQ(Login(rig.Port(), "ana", "secreta"), -1);
  // ...but not from another address...
  EXPECT_GE(DoLogin(rig.Port(), "ana", "secreta", "127.0.0.2").first, 1);
  // ...and no longer once the failures have left the window, not a moment before.
  rig.Clock().Advance(config.loginWindow - 1ms);
  EXPECT_EQ(Login(rig.Port(), "ana", "secreta"), -1);
  rig.Clock().Advance(1ms);
  const std::int32_t ana = Login(rig.Port(), "ana", "secreta");
  const std::int32_t guest = Login(rig.Port(), "invitado", "");
  ASSERT_TRUE(ana >= 1 && guest >= 1);
  auto change = [&](std::int32_t user, const std::string& oldPw, const std::string& newPw) {
    ProtocolClient c(rig.Port());
    auto m = Ask(c, RequestWith(120, user, oldPw, newPw), 121);
    return m ? m->GetInteger() : -9999;
  };
  EXPECT_EQ(change(ana ^ 0x5A5A5A, "secreta", "nueva"), 1);  // made up
  EXPECT_EQ(change(guest, "", "nueva"), 1);                  // guests cannot
  EXPECT_EQ(change(ana, "secreta", ""), 1);                  // blank
  EXPECT_EQ(change(ana, "mala", "nueva"), 1);                // failure 1
  EXPECT_EQ(change(ana, "secreta", "nueva clave"), 0);
  EXPECT_EQ(Login(rig.Port(), "ana", "secreta"), -1);  // failure 2
  EXPECT_GE(Login(rig.Port(), "ana", "nueva clave"), 1);
  EXPECT_EQ(change(ana, "mala", "otra"), 1);         // failure 3
  EXPECT_EQ(change(ana, "nueva clave", "otra"), 1);  // throttled

  const std::string log = rig.LogText();
  EXPECT_NE(log.find("too many failed logins"), std::string::npos) << log;
  for (const char* secret : {"adivina", "secreta", "nueva clave"})
    EXPECT_EQ(log.find(secret), std::string::npos) << log;
}

}  // namespace
}  // namespace orvenda::server::test
