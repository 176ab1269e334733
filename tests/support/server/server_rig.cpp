#include "server_rig.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <regex>
#include <thread>

#include "store/site_copy.h"
#include "test_backend.h"

extern char** environ;

namespace orvenda::server::test {
ServerRig::ServerRig(ServerConfig config) : db_(dir_ / "map.db"), data_(BuildTestDatabase(db_)) {
  config.listen = "127.0.0.1";
  config.port = 0;
  config.logFile = (dir_ / "server.log").string();
  log_ = std::make_unique<ServerLog>(config.logFile, std::cerr);
  const std::string at = StoreAt(db_);
  server_ = std::make_unique<Server>(
      config, [at] { return OpenStoreAt(at).store; }, *log_, clock_);
  server_->Start();
}

ServerRig::~ServerRig() {
  server_->Stop();
  server_->Wait();
}

ServeChild::ServeChild(const std::string& program, const std::filesystem::path& db,
                       const std::filesystem::path& log, const std::vector<std::string>& wrapper) {
  std::vector<std::string> args = wrapper;
  args.insert(args.end(), {program, "serve", "--port", "0", "--log", log.string()});
  for (const std::string& word : DatabaseArgs(db)) args.push_back(word);
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  if (::posix_spawnp(&pid_, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
    pid_ = 0;
    return;
  }
  std::smatch match;
  const std::regex listening("listening on 127\\.0\\.0\\.1:([0-9]+)");
  std::string text;
  if (WaitFor([&] { return std::regex_search(text = ReadFile(log), match, listening); }))
    port_ = static_cast<std::uint16_t>(std::stoi(match[1].str()));
}

ServeChild::~ServeChild() { Stop(SIGKILL); }

std::optional<int> ServeChild::Stop(int signal) {
  if (pid_ <= 0) return std::nullopt;
  ::kill(pid_, signal);
  int status = 0;
  const bool ended = WaitFor([&] { return ::waitpid(pid_, &status, WNOHANG) == pid_; });
  if (!ended) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  pid_ = 0;
  return ended ? std::optional(status) : std::nullopt;
}

std::int32_t Login(std::uint16_t port, const std::string& user, const std::string& password) {
  ProtocolClient c(port);
  auto reply = Ask(c, RequestWith(12, user, password), 112);
  return reply ? reply->GetLong() : -9999;
}

std::unique_ptr<ProtocolClient> OpenViewer(ServerRig& rig, const std::string& user,
                                           const std::string& password) {
  auto c = std::make_unique<ProtocolClient>(rig.Port());
  EXPECT_EQ(OpenMap(*c, Login(rig.Port(), user, password), TestData::kMap), 0);
  return c;
}

std::int32_t OpenMap(ProtocolClient& c, std::int32_t userId, std::int32_t map) {
  auto reply = Ask(c, RequestWith(10, userId, map), 110);
  return reply ? reply->GetInteger() : -9999;
}

std::optional<DWBUffer> Ask(ProtocolClient& c, const Bytes& request, std::int16_t code) {
  if (!c.Send(request)) {
    ADD_FAILURE() << "could not send request";
    return std::nullopt;
  }
  auto reply = c.Receive();
  if (!reply) {
    ADD_FAILURE() << "no reply " << code << " within the time limit";
    return std::nullopt;
  }
  EXPECT_EQ(ProtocolClient::CodeOf(*reply), code);
  if (ProtocolClient::CodeOf(*reply) != code) return std::nullopt;
  return reply;
}

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds bound) {
  const auto deadline = std::chrono::steady_clock::now() + bound;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(5ms);
  }
  return true;
}

}  // namespace orvenda::server::test
