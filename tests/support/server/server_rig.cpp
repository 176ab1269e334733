#include "server_rig.h"

#include <gtest/gtest.h>

#include <thread>

namespace orvenda::server::test {
ServerRig::ServerRig(ServerConfig config) : db_(dir_ / "map.db"), data_(BuildTestDatabase(db_)) {
  config.listen = "127.0.0.1";
  config.port = 0;
  config.logFile = (dir_ / "server.log").string();
  log_ = std::make_unique<ServerLog>(config.logFile, std::cerr);
  const auto db = db_;
  server_ = std::make_unique<Server>(
      config, [db] { return ::orvenda::server::OpenStore(db); }, *log_, clock_);
  server_->Start();
}

ServerRig::~ServerRig() {
  server_->Stop();
  server_->Wait();
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
