// Login (12/112) and change of password (120/121) against the real server.
#include <gtest/gtest.h>

#include <asio/post.hpp>
#include <atomic>
#include <future>
#include <set>
#include <thread>

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

// Failures count per account name (from every address) and per address (whatever
// account it names), within the window of the fake clock. A login the throttle refuses
// is answered at once, without a hash; other accounts and addresses are untouched.
// Changing a password (120/121) needs a live handle and the old password; wrong old
// passwords count as failures too.
TEST(ServerLogin, FailuresCountPerAccountAndAddressAndPasswordsAreNeverLogged) {
  ServerConfig config;
  config.login.accountAttempts = 3;
  config.login.addressAttempts = 5;
  ServerRig rig(config);
  struct Row {
    const char *source, *user, *password;
    bool accepted, hashed;
    std::chrono::milliseconds advance{0};  // the clock moves before the login
  };
  const Row rows[] = {
      {"127.0.0.2", "ana", "adivina", false, true},
      {"127.0.0.3", "ana", "adivina", false, true},
      {"127.0.0.2", "ana", "adivina", false, true},   // ana: 3 failures
      {"127.0.0.4", "ana", "secreta", false, false},  // refused from everywhere...
      {"127.0.0.2", "bob", "bobpass", true, true},    // ...but other accounts are not
      {"127.0.0.2", "nadie", "x", false, true},       // unknown names count alike
      {"127.0.0.2", "nadie", "x", false, true},
      {"127.0.0.2", "nadie", "x", false, true},       // 127.0.0.2: 5 failures
      {"127.0.0.2", "bob", "bobpass", false, false},  // refused for any account
      {"127.0.0.5", "bob", "bobpass", true, true},
      {"127.0.0.4", "ana", "secreta", false, false, config.login.window - 1ms},
      {"127.0.0.4", "ana", "secreta", true, true, 1ms},  // the failures have left
      {"127.0.0.2", "bob", "bobpass", true, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.source) + " " + row.user + "/" + row.password);
    rig.Clock().Advance(row.advance);
    const std::uint64_t hashes = rig.Instance().PasswordHashes();
    EXPECT_EQ(DoLogin(rig.Port(), row.user, row.password, row.source).first >= 1, row.accepted);
    EXPECT_EQ(rig.Instance().PasswordHashes() > hashes, row.hashed);
  }
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
  EXPECT_EQ(change(ana, "mala", "nueva"), 1);                // ana's failure 1
  EXPECT_EQ(change(ana, "secreta", "nueva clave"), 0);
  EXPECT_EQ(Login(rig.Port(), "ana", "secreta"), -1);  // failure 2
  EXPECT_GE(Login(rig.Port(), "ana", "nueva clave"), 1);
  EXPECT_EQ(change(ana, "mala", "otra"), 1);         // failure 3
  EXPECT_EQ(change(ana, "nueva clave", "otra"), 1);  // the account is throttled

  const std::string log = rig.LogText();
  EXPECT_NE(log.find("too many failed logins for this account"), std::string::npos) << log;
  for (const char* secret : {"adivina", "secreta", "nueva clave", "bobpass", "$argon2"})
    EXPECT_EQ(log.find(secret), std::string::npos) << log;
}

// A login handle that names no login counts against its address as a failed login:
// past the address's limit even a live handle is refused from there, and guessing
// handles is no faster than guessing passwords.
TEST(ServerLogin, GuessedHandlesCountAsFailedLoginsOfTheAddress) {
  ServerConfig config;
  config.login.addressAttempts = 5;
  ServerRig rig(config);
  const std::int32_t ana = Login(rig.Port(), "ana", "secreta");
  ASSERT_GE(ana, 1);
  ProtocolClient guesser(rig.Port(), "127.0.0.7");
  for (std::int32_t k = 1; k <= 5; ++k) EXPECT_EQ(OpenMap(guesser, ana ^ k, TestData::kMap), 1);
  EXPECT_EQ(OpenMap(guesser, ana, TestData::kMap), 1) << "the address has used its guesses";
  EXPECT_EQ(DoLogin(rig.Port(), "ana", "secreta", "127.0.0.7").first, -1);
  ProtocolClient honest(rig.Port(), "127.0.0.8");
  EXPECT_EQ(OpenMap(honest, ana, TestData::kMap), 0);
  rig.Clock().Advance(config.login.window);
  EXPECT_EQ(OpenMap(guesser, ana, TestData::kMap), 0) << "the failures have aged out";
}

// The places for password checks: beyond those of an address, and beyond all of
// them, a login is refused at once without a hash; a check whose client has gone is
// dropped before its turn. The one hashing thread is held so that checks wait.
TEST(ServerLogin, LoginsUnderWayAreCappedAndWorkOfClosedConnectionsDropped) {
  ServerConfig config;
  config.login.inProgress = 5;
  config.login.inProgressPerAddress = 2;
  config.passwordThreads = 1;
  ServerRig rig(config);
  std::promise<void> release;
  std::atomic<bool> held = false;
  asio::post(rig.Instance().PasswordExecutor(), [&, done = release.get_future().share()] {
    held = true;
    done.wait();
  });
  ASSERT_TRUE(WaitFor([&] { return held.load(); }));
  std::vector<std::unique_ptr<ProtocolClient>> waiting;
  auto start = [&](const char* source) {
    waiting.push_back(std::make_unique<ProtocolClient>(rig.Port(), source));
    waiting.back()->Send(RequestWith(12, "ana", "adivina"));
  };
  struct Row {
    const char* source;
    int underWay;         // after it; the same as before: refused at once
    bool leaves = false;  // closes as soon as its login is sent
  };
  const Row rows[] = {{"127.0.0.2", 1},       {"127.0.0.2", 2}, {"127.0.0.2", 2}, {"127.0.0.3", 3},
                      {"127.0.0.4", 4, true}, {"127.0.0.5", 5}, {"127.0.0.6", 5}};
  int underWay = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.source);
    if (row.underWay == underWay) {
      EXPECT_EQ(DoLogin(rig.Port(), "bob", "bobpass", row.source).first, -1);
      continue;
    }
    start(row.source);
    if (row.leaves) waiting.pop_back();
    EXPECT_TRUE(WaitFor([&] { return rig.Instance().LoginsInProgress() == row.underWay; }));
    underWay = row.underWay;
  }
  EXPECT_EQ(rig.Instance().PasswordHashes(), 0u);
  waiting.erase(waiting.begin(), waiting.begin() + 2);  // both of 127.0.0.2 leave
  EXPECT_TRUE(WaitFor([&] {
    const std::string log = rig.LogText();
    std::size_t n = 0;
    for (auto at = log.find("while its request waited"); at != std::string::npos;
         at = log.find("while its request waited", at + 1))
      ++n;
    return n == 3;
  }));
  release.set_value();
  EXPECT_TRUE(WaitFor([&] { return rig.Instance().LoginsInProgress() == 0; }));
  EXPECT_EQ(rig.Instance().PasswordHashes(), 2u);  // only those still connected
  for (auto& c : waiting) EXPECT_TRUE(c->ClosedByServer());
  EXPECT_GE(Login(rig.Port(), "bob", "bobpass"), 1);
}

// A flood against one account from many addresses stops hashing once that account has
// its failures; another account still logs in from another address, at the first try.
TEST(ServerLogin, AnotherAccountLogsInWhileOneIsFloodedFromManyAddresses) {
  ServerConfig config;
  config.login.accountAttempts = 3;
  ServerRig rig(config);
  std::atomic<bool> stop = false;
  std::atomic<int> floods = 0;
  std::vector<std::thread> flood;
  for (int t = 0; t < 2; ++t) {
    flood.emplace_back([&, t] {
      for (int i = 0; !stop; ++i, ++floods) {
        ProtocolClient c(rig.Port(),
                         "127.0." + std::to_string(t + 1) + "." + std::to_string(1 + i % 250));
        c.Send(RequestWith(12, "ana", "adivina" + std::to_string(i)));
        c.Receive();
      }
    });
  }
  // ana's three checks have run; every later login of ana is refused without one.
  EXPECT_TRUE(WaitFor([&] {
    return floods > 20 && rig.Instance().PasswordHashes() >= 3 &&
           rig.Instance().LoginsInProgress() == 0;
  }));
  const std::uint64_t hashes = rig.Instance().PasswordHashes();
  EXPECT_GE(DoLogin(rig.Port(), "bob", "bobpass", "127.0.0.9").first, 1);
  EXPECT_EQ(DoLogin(rig.Port(), "ana", "secreta", "127.0.0.9").first, -1);
  EXPECT_EQ(rig.Instance().PasswordHashes(), hashes + 1);  // bob's only
  stop = true;
  for (auto& f : flood) f.join();
}

}  // namespace
}  // namespace orvenda::server::test
