// Every counted request is answered, and nothing a client sends or fails to read
// crashes the server or stalls another client.
#include <gtest/gtest.h>

#include <random>
#include <thread>

#include "protocol/byteimage.h"
#include "protocol/catalogue.h"
#include "server_rig.h"

namespace orvenda::server::test {
namespace {

// Another client still logs in, opens the map and gets a cell.
void ExpectOthersServed(ServerRig& rig) {
  EXPECT_TRUE(Ask(*OpenViewer(rig), CellRequest(rig.data().roads, rig.data().nearCell), 102));
}

Bytes Header(std::int32_t declared, std::int16_t code) {
  Bytes b = {'M', 'I', 'C', ' '};
  const auto len = byteimage::ToBytes(declared);
  b.insert(b.end(), len.begin(), len.end());
  const auto c = byteimage::ToBytes(code);
  b.insert(b.end(), c.begin(), c.end());
  return b;
}

TEST(ServerHostile, EveryCountedRequestIsAnsweredEvenWhenRefusedOrCutShort) {
  ServerRig rig;
  ProtocolClient c(rig.port());  // no map open: everything is refused
  for (const CommandInfo& info : Commands()) {
    if (info.direction != Direction::ClientToServer || !info.counted) continue;
    for (const bool cut : {false, true}) {
      SCOPED_TRACE(std::string(info.name) + (cut ? " without fields" : " with fields"));
      // Generous fields: Longs of 1 read as every numeric type, and as empty strings.
      const Bytes request = cut ? Request(info.code) : Request(info.code, [](DWBUffer& b) {
        for (int i = 0; i < 12; ++i) b.PutLong(1);
      });
      ASSERT_TRUE(c.send(request));
      auto reply = c.receive();
      ASSERT_TRUE(reply) << "no reply to " << info.code;
      const std::int16_t code = ProtocolClient::codeOf(*reply);
      EXPECT_EQ(code, info.code == 10 ? 110 : info.code == 230 ? 231 : info.code + 100);
    }
  }
  // Requests that are not counted and not served get no reply, and the stream goes on.
  ASSERT_TRUE(c.send(RequestWith(cmd::kNewPoint, 1)));
  ASSERT_TRUE(c.send(Request(999)));
  ASSERT_TRUE(c.send(Request(102)));
  ASSERT_TRUE(c.send(Request(cmd::kElementExtent)));
  auto reply = c.receive();
  ASSERT_TRUE(reply);
  EXPECT_EQ(ProtocolClient::codeOf(*reply), 115);
  EXPECT_NE(rig.logText().find("unknown command code 999"), std::string::npos);
}

TEST(ServerHostile, BrokenFramingClosesOnlyThatConnection) {
  ServerRig rig;
  struct Row {
    const char* what;
    Bytes bytes;
  };
  const Row rows[] = {
      {"bad magic", {'m', 'i', 'c', ' ', 14, 0, 0, 0, 2, 0, 1, 0, 0, 0}},
      {"declared length 0", Header(0, 2)},
      {"declared length 9", Header(9, 2)},
      {"declared length 2^31-1", Header(0x7FFFFFFF, 2)},
      {"negative length", Header(-5, 2)},
      {"above the limit", Header(2 * 1024 * 1024, 2)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    ProtocolClient c(rig.port());
    ASSERT_TRUE(c.send(row.bytes));
    EXPECT_TRUE(c.closedByServer());
    ExpectOthersServed(rig);
  }
  EXPECT_NE(rig.logText().find("malformed stream"), std::string::npos);
}

TEST(ServerHostile, RandomBytesAndMessagesCutAnywhereNeverCrashIt) {
  ServerRig rig;
  std::mt19937 random(20261206);
  for (int round = 0; round < 20; ++round) {
    ProtocolClient c(rig.port());
    Bytes junk(1 + random() % 3000);
    for (auto& b : junk) b = static_cast<std::uint8_t>(random());
    // Half of the rounds start with a valid header and carry a random body.
    if (round % 2 == 0) {
      const auto h = Header(static_cast<std::int32_t>(junk.size() + 10),
                            static_cast<std::int16_t>(random() % 260));
      junk.insert(junk.begin(), h.begin(), h.end());
    }
    ASSERT_TRUE(c.send(junk));
    c.receive(50ms);
  }
  // A request split byte by byte still arrives whole.
  ProtocolClient slow(rig.port());
  const Bytes r = RequestWith(15, 1, 2);
  for (std::uint8_t byte : r) {
    ASSERT_TRUE(slow.send({byte}));
    std::this_thread::sleep_for(2ms);
  }
  auto reply = slow.receive();
  ASSERT_TRUE(reply);
  EXPECT_EQ(ProtocolClient::codeOf(*reply), 115);
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
  std::thread sender([&] { greedy->send(flood); });  // blocks once the server stops reading
  ExpectOthersServed(rig);
  // The server gives up on it once a write has made no progress for the send timeout.
  EXPECT_TRUE(WaitFor([&] {
    rig.clock().Advance(config.sendTimeout);
    return rig.logText().find("the client stopped reading its replies") != std::string::npos;
  }));
  greedy->abort();
  sender.join();
  ExpectOthersServed(rig);
}

TEST(ServerHostile, ConnectionLimitAndIdleTimeoutEndExtraAndSilentConnections) {
  ServerConfig config;
  config.maxConnections = 3;
  ServerRig rig(config);
  ProtocolClient a(rig.port()), b(rig.port()), c(rig.port());
  // The server must have taken the three before the fourth comes.
  ASSERT_TRUE(WaitFor([&] { return rig.server().connections() == 3; }));
  ProtocolClient extra(rig.port());
  EXPECT_TRUE(extra.closedByServer());
  // Silent connections are closed once the handshake time has passed.
  rig.clock().Advance(config.handshakeTimeout + 1ms);
  for (ProtocolClient* silent : {&a, &b, &c}) EXPECT_TRUE(silent->closedByServer());
  ASSERT_TRUE(WaitFor([&] { return rig.server().connections() == 0; }));
  ExpectOthersServed(rig);
  const std::string log = rig.logText();
  EXPECT_NE(log.find("too many connections"), std::string::npos) << log;
  EXPECT_NE(log.find("idle"), std::string::npos) << log;
}

TEST(ServerHostile, StopClosesEveryConnection) {
  auto rig = std::make_unique<ServerRig>();
  auto c = OpenViewer(*rig);
  std::thread stopper([&] { rig->server().stop(); });
  EXPECT_TRUE(c->closedByServer());
  stopper.join();
  rig.reset();  // waits for every thread
}

}  // namespace
}  // namespace orvenda::server::test
