// The server's side of one connection under arbitrary bytes: the request framer and every
// request handler, run as a session runs them (one whole request at a time, until the
// stream breaks or a login reply ends it) but without a socket, on a fresh copy of the
// test database in which "ana" may draw on the roads and places layers. Login handles are
// random, so the fuzzer could never name one: a handle is issued for "ana" here, and the
// Long kHandle anywhere in the stream stands for it. The input's first byte, when odd,
// has the connection open the test map with it first. The next four bytes are the sizes
// of the pieces; the rest is the client's stream.
#include <algorithm>
#include <asio/co_spawn.hpp>
#include <asio/io_context.hpp>
#include <fstream>

#include "fake_server_clock.h"
#include "fuzz.h"
#include "net/change_feed.h"
#include "net/handlers/request_dispatcher.h"
#include "net/request_framer.h"
#include "net/session_registry.h"
#include "protocol/byteimage.h"
#include "protocol/catalogue.h"
#include "protocol/messagereceiver.h"
#include "protocol_client.h"
#include "store/password.h"
#include "temp_dir.h"
#include "test_database.h"

namespace {

using namespace orvenda;
using namespace orvenda::server;

constexpr std::int32_t kHandle = 0x4C444E48;  // "HNDL" on the wire

struct Fixture {
  Fixture() {
    {
      const auto store = OpenStore(pristine);
      for (std::int32_t layer : {data.roads, data.places}) {
        store->SetAccess(data.ana, layer, AccessLevel::Draw);
      }
    }
    image = test::ReadFile(pristine);
  }
  test::TempDir dir;
  std::filesystem::path pristine = dir / "pristine.db";
  std::filesystem::path work = dir / "work.db";
  test::TestData data = test::BuildTestDatabase(pristine);
  std::string dummyHash = HashPassword("nobody knows", PasswordCost::Least);
  // The database file, written afresh for each input (libFuzzer's timer interrupts a
  // file copy now and then; a plain write is resumed).
  std::string image;
};

fuzz::Bytes WithHandle(const std::uint8_t* data, std::size_t size, std::int32_t handle) {
  fuzz::Bytes stream(data, data + size);
  const auto from = byteimage::ToBytes(kHandle), to = byteimage::ToBytes(handle);
  for (auto at = stream.begin();
       (at = std::search(at, stream.end(), from.begin(), from.end())) != stream.end();) {
    at = std::copy(to.begin(), to.end(), at);
  }
  return stream;
}

std::int16_t CodeOf(const DWBUffer& message) {
  return byteimage::FromBytes<std::int16_t>(message.bytes().data() + 8);
}

// A counted request always gets its reply, for the client refuses almost everything until
// it has; a reply is that of its request (the code + 100 below 100, the next code above),
// and one whole message by the client's own rules.
void RequireItsReply(std::int16_t request, const std::optional<DWBUffer>& reply) {
  fuzz::Require(reply || !IsCountedRequest(request), "a counted request is answered");
  if (!reply) return;
  MessageReceiver receiver;
  int messages = 0;
  receiver.SetDeliver([&](DWBUffer&) { ++messages; });
  receiver.SetFault([](const std::string&) { fuzz::Require(false, "a reply breaks framing"); });
  receiver.Receive(reply->bytes().data(), reply->bytes().size());
  fuzz::Require(messages == 1 && receiver.heldBytes() == 0, "a reply is one whole message");
  const int expected = request < 100 ? request + 100 : request + 1;
  fuzz::Require(CodeOf(*reply) == expected, "a reply answers its request");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  static Fixture fixture;
  for (const char* suffix : {"", "-wal", "-shm"}) {
    std::filesystem::remove(fixture.work.string() + suffix);
  }
  std::ofstream(fixture.work, std::ios::binary)
      .write(fixture.image.data(), std::ssize(fixture.image));
  const auto store = OpenStore(fixture.work);

  ServerConfig config;
  test::FakeServerClock serverClock;
  std::ostream nowhere(nullptr);
  ServerLog log("", nowhere);
  MemoryHandleTable handles(config.sessionLifetime, serverClock);
  LoginThrottle throttle(config.login, serverClock);
  SessionRegistry registry(config.maxConnections);
  ChangeFeed changes(registry);
  asio::io_context io;
  ServerServices services{
      config, log, serverClock, handles, throttle, io.get_executor(), fixture.dummyHash, changes};
  ConnectionState conn;
  conn.address = "127.0.0.1";
  conn.peer = "127.0.0.1:40000";
  HandlerContext ctx{*store, services, conn};

  auto answer = [&](DWBUffer& request) {
    bool done = false;
    const std::int16_t code = CodeOf(request);
    asio::co_spawn(io, Dispatch(request, ctx),
                   [&](std::exception_ptr thrown, std::optional<DWBUffer> reply) {
                     fuzz::Require(!thrown, "a request never makes the dispatcher throw");
                     RequireItsReply(code, reply);
                     done = true;
                   });
    io.run();
    io.restart();
    fuzz::Require(done, "every request is answered or refused before the next");
  };
  const std::int32_t handle = handles.Issue(fixture.data.ana);
  if (data[0] & 1) {
    DWBUffer open(test::RequestWith(cmd::kOpenMap, handle, test::TestData::kMap));
    answer(open);
    fuzz::Require(conn.mapOpen, "the test map opens");
  }
  RequestFramer framer(config.maxMessage);
  bool taking = true;
  const fuzz::Bytes stream = WithHandle(data + 1, size - 1, handle);
  fuzz::InPieces(stream.data(), stream.size(), [&](const fuzz::Bytes& piece) {
    if (!taking) return;
    framer.Feed(piece.data(), piece.size());
    DWBUffer request;
    while (taking) {
      const auto r = framer.Next(request);
      if (r == RequestFramer::Result::NeedMore) return;
      taking = r == RequestFramer::Result::Message;
      if (taking) answer(request);
      taking = taking && !conn.closeAfterReply;
    }
  });
  return 0;
}
