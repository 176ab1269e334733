// Every counted request is answered, and nothing a client sends or fails to read
// crashes the server or stalls another client.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <asio/post.hpp>
#include <latch>
#include <mutex>
#include <random>
#include <set>
#include <thread>

#include "protocol/byteimage.h"
#include "protocol/catalogue.h"
#include "server_rig.h"

namespace orvenda::server::test {
namespace {

// Another client still logs in, opens the map and gets a cell.
void ExpectOthersServed(ServerRig& rig) {
  EXPECT_TRUE(Ask(*OpenViewer(rig), CellRequest(rig.Data().roads, rig.Data().nearCell), 102));
}

// The header of a message of `code` that declares `declared` bytes.
Bytes Header(std::int32_t declared, std::int16_t code) {
  Bytes b = RequestWith(code);
  const auto length = byteimage::ToBytes(declared);
  std::copy(length.begin(), length.end(), b.begin() + 4);
  return b;
}

TEST(ServerHostile, EveryCountedRequestIsAnsweredEvenWhenRefusedOrCutShort) {
  ServerRig rig;
  ProtocolClient c(rig.Port());  // no map open: everything is refused
  for (const CommandInfo& info : Commands()) {
    if (info.direction != Direction::ClientToServer || !info.counted) continue;
    for (const bool cut : {false, true}) {
      SCOPED_TRACE(std::string(info.name) + (cut ? " without fields" : " with fields"));
      // Generous fields: Longs of 1 read as every numeric type, and as empty strings.
      const Bytes request =
          cut ? RequestWith(info.code) : RequestWith(info.code, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1);
      const auto reply = info.code == 10 ? 110 : info.code == 230 ? 231 : info.code + 100;
      ASSERT_TRUE(Ask(c, request, static_cast<std::int16_t>(reply)));
    }
  }
  // Requests that are not counted and not served get no reply, and the stream goes on.
  ASSERT_TRUE(c.Send(RequestWith(cmd::kNewPoint, 1)));
  ASSERT_TRUE(c.Send(RequestWith(999)));
  ASSERT_TRUE(c.Send(RequestWith(102)));
  EXPECT_TRUE(Ask(c, RequestWith(cmd::kElementExtent), 115));
  EXPECT_NE(rig.LogText().find("unknown command code 999"), std::string::npos);
}

TEST(ServerHostile, BrokenFramingAndRandomBytesEndOnlyThatConnection) {
  ServerRig rig;
  const std::pair<const char*, Bytes> rows[] = {
      {"bad magic", {'m', 'i', 'c', ' ', 14, 0, 0, 0, 2, 0, 1, 0, 0, 0}},
      {"declared length 0", Header(0, 2)},
      {"declared length 9", Header(9, 2)},
      {"declared length 2^31-1", Header(0x7FFFFFFF, 2)},
      {"negative length", Header(-5, 2)},
      {"above the limit", Header(2 * 1024 * 1024, 2)},
  };
  for (const auto& [what, bytes] : rows) {
    SCOPED_TRACE(what);
    ProtocolClient c(rig.Port());
    ASSERT_TRUE(c.Send(bytes));
    EXPECT_TRUE(c.ClosedByServer());
    ExpectOthersServed(rig);
  }
  EXPECT_NE(rig.LogText().find("malformed stream"), std::string::npos);
  // Random bytes, half of them behind a valid header, never crash it.
  std::mt19937 random(20261206);
  for (int round = 0; round < 20; ++round) {
    ProtocolClient c(rig.Port());
    Bytes junk(1 + random() % 3000);
    for (auto& b : junk) b = static_cast<std::uint8_t>(random());
    if (round % 2 == 0) {
      const auto h = Header(static_cast<std::int32_t>(junk.size() + 10),
                            static_cast<std::int16_t>(random() % 260));
      junk.insert(junk.begin(), h.begin(), h.end());
    }
    ASSERT_TRUE(c.Send(junk));
    c.Receive(50ms);
  }
  // A request split byte by byte still arrives whole.
  ProtocolClient slow(rig.Port());
  const Bytes r = RequestWith(15, 1, 2);
  for (std::uint8_t byte : r) {
    ASSERT_TRUE(slow.Send({byte}));
    std::this_thread::sleep_for(2ms);
  }
  const auto reply = slow.Receive();
  EXPECT_TRUE(reply && ProtocolClient::CodeOf(*reply) == 115);
  ExpectOthersServed(rig);
}

TEST(ServerHostile, AClientThatNeverReadsIsCutOffWithoutStallingOthers) {
  ServerConfig config;
  config.maxQueuedBytes = 64 * 1024;
  ServerRig rig(config);
  auto greedy = OpenViewer(rig);
  // Map definitions: small requests with large replies (some 60 MB in all), more than
  // the kernel's socket buffers can hide.
  Bytes flood;
  const Bytes one = RequestWith(1, TestData::kMap);
  for (int k = 0; k < 100000; ++k) flood.insert(flood.end(), one.begin(), one.end());
  std::thread sender([&] { greedy->Send(flood); });  // blocks once the server stops reading
  ExpectOthersServed(rig);
  // The server gives up on it once a write has made no progress for the send timeout.
  EXPECT_TRUE(WaitFor([&] {
    rig.Clock().Advance(config.sendTimeout);
    return rig.LogText().find("the client stopped reading its replies") != std::string::npos;
  }));
  greedy->Abort();
  sender.join();
  ExpectOthersServed(rig);
}

// Over the limit, the oldest connection without a map gives its place to the newcomer
// (a flood of connections cannot keep viewers out); with a map open on every one, the
// newcomer is refused. Silent connections end once the handshake time has passed.
TEST(ServerHostile, ConnectionLimitYieldsSilentConnectionsAndIdleTimeoutEndsThem) {
  ServerConfig config;
  config.maxConnections = 3;
  ServerRig rig(config);
  ProtocolClient a(rig.Port()), b(rig.Port()), c(rig.Port());
  // The server must have taken the three before the fourth comes.
  ASSERT_TRUE(WaitFor([&] { return rig.Instance().Connections() == 3; }));
  ProtocolClient extra(rig.Port());
  EXPECT_TRUE(a.ClosedByServer());
  rig.Clock().Advance(config.handshakeTimeout + 1ms);
  for (ProtocolClient* silent : {&b, &c, &extra}) EXPECT_TRUE(silent->ClosedByServer());
  ASSERT_TRUE(WaitFor([&] { return rig.Instance().Connections() == 0; }));
  std::vector<std::unique_ptr<ProtocolClient>> viewers;
  for (int i = 0; i < 3; ++i) {
    const std::int32_t user = Login(rig.Port(), "ana", "secreta");
    ASSERT_TRUE(WaitFor([&] { return rig.Instance().Connections() == viewers.size(); }));
    viewers.push_back(std::make_unique<ProtocolClient>(rig.Port()));
    ASSERT_EQ(OpenMap(*viewers.back(), user, TestData::kMap), 0);
  }
  ProtocolClient refused(rig.Port());
  EXPECT_TRUE(refused.ClosedByServer());
  viewers.clear();
  ASSERT_TRUE(WaitFor([&] { return rig.Instance().Connections() == 0; }));
  ExpectOthersServed(rig);
  const std::string log = rig.LogText();
  for (const char* why : {"made room for a newer connection", "too many connections", "idle"})
    EXPECT_NE(log.find(why), std::string::npos) << why << "\n" << log;
}

// A login flood keeps every hashing thread busy, each check a core's worth of work; the
// network threads (which inherit this thread's nice value) must come first, or the flood
// slows the cells of every viewer (bench_hostile found the cells 13 times slower).
TEST(ServerHostile, PasswordChecksRunAtALowerPriorityThanTheNetworkThreads) {
  ServerConfig config;
  config.passwordThreads = 3;
  ServerRig rig(config);
  const int network = ::getpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()));
  // Shared: a thread may still be inside arrive_and_wait when wait() returns here.
  const auto all = std::make_shared<std::latch>(config.passwordThreads);
  std::mutex mutex;
  std::set<pid_t> threads;
  std::multiset<int> nice;
  for (int i = 0; i < config.passwordThreads; ++i)
    asio::post(rig.Instance().PasswordExecutor(), [&, all] {
      {
        std::lock_guard lock(mutex);
        threads.insert(::gettid());
        nice.insert(::getpriority(PRIO_PROCESS, static_cast<id_t>(::gettid())));
      }
      all->arrive_and_wait();  // one task per thread
    });
  all->wait();
  std::lock_guard lock(mutex);
  EXPECT_EQ(threads.size(), 3u);
  for (const int n : nice) EXPECT_GE(n, std::min(network + 10, 19));
}

}  // namespace
}  // namespace orvenda::server::test
