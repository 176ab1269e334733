#pragma once
// Settings of the network side of orvenda-server, filled from the command line of
// `orvenda-server serve` (or by a test). Durations are in milliseconds so that a test
// can shrink every limit.

#include <chrono>
#include <cstdint>
#include <string>

#include "net/login_throttle.h"

namespace orvenda::server {

struct ClientVersion {
  std::int16_t major = 1;
  std::int16_t minor = 0;
  std::int16_t revision = 0;
};

struct ServerConfig {
  std::string listen = "127.0.0.1";
  std::uint16_t port = 1001;  // 0 picks a free port (tests)
  int threads = 2;            // network threads, each with its own store

  // Framing and resource limits.
  std::int32_t maxMessage = 1024 * 1024;  // requests are small; 1 MiB is ample
  int maxConnections = 256;
  std::size_t maxQueuedBytes = 4 * 1024 * 1024;        // replies waiting for a slow reader
  std::chrono::milliseconds handshakeTimeout{30'000};  // until a map is open
  std::chrono::milliseconds idleTimeout{30 * 60'000};  // with a map open
  std::chrono::milliseconds sendTimeout{60'000};       // one write that makes no progress

  // Login sessions and security.
  std::chrono::milliseconds sessionLifetime{12 * 3600'000};
  ClientVersion requiredVersion;
  LoginLimits login;        // failures per account and address, checks under way
  int passwordThreads = 2;  // hashing threads; each check takes a core and 64 MiB

  std::string logFile;  // empty: standard error
};

}  // namespace orvenda::server
