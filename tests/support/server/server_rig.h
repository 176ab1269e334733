#pragma once
// ServerRig: a small map database built by the test through the store, and the real
// server serving it on an ephemeral loopback port, in this process, on its own threads.
// Its time limits read a fake clock that moves only when the test advances it.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "fake_server_clock.h"
#include "net/server.h"
#include "net/server_config.h"
#include "net/server_log.h"
#include "protocol_client.h"
#include "store/store.h"
#include "temp_dir.h"
#include "test_backend.h"
#include "test_database.h"

namespace orvenda::server::test {

class ServerRig {
 public:
  // Builds the database and starts the server with `config` (its port and listen
  // address are forced to 0 and 127.0.0.1).
  explicit ServerRig(ServerConfig config = {});
  ~ServerRig();

  std::uint16_t Port() const { return server_->Port(); }
  Server& Instance() { return *server_; }
  FakeServerClock& Clock() { return clock_; }
  const TestData& Data() const { return data_; }
  // The SQLite file, or what names the store's PostgreSQL schema (test_backend.h).
  const std::filesystem::path& DatabasePath() const { return db_; }
  // A store of its own on the same database, for the test's expectations.
  std::unique_ptr<Store> OpenStore() const { return OpenTestStore(db_); }
  // Everything logged so far.
  std::string LogText() const { return ReadFile(dir_ / "server.log"); }

 private:
  TempDir dir_;
  std::filesystem::path db_;
  TestData data_;
  FakeServerClock clock_;
  std::unique_ptr<ServerLog> log_;
  std::unique_ptr<Server> server_;
};

// The server program `program` as a child process serving `db` (`serve --port 0 --log
// LOG` and DatabaseArgs(db)), run by `wrapper` when given (a command looked up in PATH
// and its options, such as prlimit's); killed with SIGKILL when the object goes while
// it still runs.
class ServeChild {
 public:
  ServeChild(const std::string& program, const std::filesystem::path& db,
             const std::filesystem::path& log, const std::vector<std::string>& wrapper = {});
  ~ServeChild();
  ServeChild(const ServeChild&) = delete;
  ServeChild& operator=(const ServeChild&) = delete;
  // Where it listens, from its log; 0 when it never said.
  std::uint16_t Port() const { return port_; }
  // Sends `signal` and returns the wait status once it has ended (nothing when it did
  // not end within a generous bound; it is killed then).
  std::optional<int> Stop(int signal);

 private:
  int pid_ = 0;
  std::uint16_t port_ = 0;
};

// Logs in on a connection of its own; returns the user ID of reply 112 (or the refusal).
std::int32_t Login(std::uint16_t port, const std::string& user, const std::string& password);
// A connection on which `user` has logged in and opened the test map.
std::unique_ptr<ProtocolClient> OpenViewer(ServerRig& rig, const std::string& user = "ana",
                                           const std::string& password = "secreta");
// Sends request 10 and returns the result of reply 110 (-9999 when none came).
std::int32_t OpenMap(ProtocolClient& c, std::int32_t userId, std::int32_t map);
// Sends a request and waits for one reply, which must carry `code`.
std::optional<DWBUffer> Ask(ProtocolClient& c, const Bytes& request, std::int16_t code);
// Waits (generously) until `done` holds; false when it never did.
bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds bound = 20s);

}  // namespace orvenda::server::test
