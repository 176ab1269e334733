#include "protocol/messagereceiver.h"

#include <gtest/gtest.h>

#include <random>

#include "protocol/byteimage.h"
#include "protocol/framing.h"
#include "support/fakes.h"
#include "support/memoryconnection.h"
#include "support/wire.h"

namespace orvenda {
namespace {

using testing::Bytes;
using testing::Join;
using testing::Message;

// A receiver on an in-memory socket that keeps every message it hands over.
struct Rig {
  testing::RecordingViewer viewer;
  testing::MemoryConnection sock;
  MessageReceiver receiver{viewer};
  std::vector<Bytes> got;
  std::vector<std::string> faults;

  Rig() {
    receiver.SetDeliver([this](DWBUffer& m) { got.push_back(m.bytes()); });
    receiver.SetFault([this](const std::string& f) { faults.push_back(f); });
    sock.SetDataArrival([this] { receiver.OnDataArrival(sock); });
  }
};

Bytes Header(std::int32_t length) {
  const auto l = byteimage::ToBytes(length);
  return {'M', 'I', 'C', ' ', l[0], l[1], l[2], l[3]};
}

TEST(MessageReceiver, JunkIsDroppedQuietlyAndImpossibleLengthsReportedOnce) {
  const Bytes good = Message(104, [](DWBUffer& b) { b.PutLong(3); });
  Rig junk;
  junk.sock.Deliver(Join({Bytes{'x', 'y', 'z', 'w', 'M', 'I', 'X', 1, 2}, good}));
  EXPECT_EQ(junk.got, std::vector<Bytes>{good});
  EXPECT_TRUE(junk.faults.empty());

  for (std::int32_t declared : {9, -5, framing::kDefaultMaxMessage + 1}) {
    SCOPED_TRACE(declared);
    Rig rig;
    const Bytes bad = Join({Header(declared), {1, 2, 3}});
    rig.sock.Deliver(Join({bad, bad, good}));
    EXPECT_EQ(rig.got, std::vector<Bytes>{good});
    EXPECT_EQ(rig.faults.size(), 1u);
    rig.sock.Deliver(bad);
    EXPECT_EQ(rig.faults.size(), 2u) << "a new broken stretch is reported again";
  }
  // The length is known once the header is whole, not before.
  Rig atLimit;
  const Bytes header = Header(framing::kDefaultMaxMessage);
  atLimit.sock.Deliver(Bytes(header.begin(), header.end() - 1));
  EXPECT_EQ(atLimit.receiver.expectedLength(), -1);
  atLimit.sock.Deliver({header.back()});
  EXPECT_EQ(atLimit.receiver.expectedLength(), framing::kDefaultMaxMessage);
}

TEST(MessageReceiver, ViewerSeesPointerIndicatorAndLoadingPass) {
  Rig rig;
  rig.viewer.pending = 1;
  const Bytes m = Message(102, [](DWBUffer& b) { b.Add2Buffer(Bytes(70, 1)); });
  rig.sock.Deliver(Bytes(m.begin(), m.begin() + 20));
  EXPECT_TRUE(rig.viewer.readingVisible);
  EXPECT_EQ(rig.viewer.readingColour, kReadingGreen);
  rig.sock.Deliver(Bytes(m.begin() + 20, m.begin() + 40));
  EXPECT_EQ(rig.viewer.readingColour, kReadingRed) << "toggles while a message is under way";
  EXPECT_EQ(rig.viewer.loadingPassesFinished, 0) << "a request is still pending";
  rig.viewer.pending = 0;  // as the reply handler would leave it
  rig.sock.Deliver(Bytes(m.begin() + 40, m.end()));
  ASSERT_EQ(rig.got.size(), 1u);
  EXPECT_FALSE(rig.viewer.readingVisible);
  EXPECT_EQ(rig.viewer.pointers, (std::vector<int>{kPointerArrowHourglass, kPointerDefault}));
  EXPECT_EQ(rig.viewer.toolPointerRestored, 1);
  EXPECT_EQ(rig.viewer.loadingPassesFinished, 1);
}

TEST(MessageReceiver, AHandlerThatPumpsEventsDoesNotReorderMessages) {
  Rig rig;
  const Bytes a = Message(1), b = Message(2), c = Message(3);
  int running = 0;  // handlers under way: the next message waits for this one to end
  rig.receiver.SetDeliver([&](DWBUffer& m) {
    EXPECT_EQ(++running, 1);
    rig.got.push_back(m.bytes());
    if (rig.got.size() == 1) rig.sock.Deliver(c);  // arrives while the first handler runs
    --running;
  });
  rig.sock.Deliver(Join({a, b}));
  EXPECT_EQ(rig.got, (std::vector<Bytes>{a, b, c}));
}

// Random valid messages, cut at random places (a quarter of the pieces one byte), some
// joined in one arrival, some after junk: each is handed over exactly once, in order,
// byte for byte.
TEST(MessageReceiver, RandomStreamsAreReassembledExactly) {
  std::mt19937 rng(20261206);
  for (int round = 0; round < 60; ++round) {
    Rig rig;
    std::vector<Bytes> sent;
    Bytes stream;
    for (int k = 0, count = 1 + static_cast<int>(rng() % 30); k < count; ++k) {
      for (std::size_t n = rng() % 5 == 0 ? 1 + rng() % 13 : 0; n > 0; --n) {
        stream.push_back(static_cast<std::uint8_t>('a' + rng() % 26));  // junk with no magic
      }
      const std::size_t size = rng() % 10 == 0 ? rng() % 20000 : rng() % 60;
      sent.push_back(Message(static_cast<std::int16_t>(100 + rng() % 20), [&](DWBUffer& b) {
        for (std::size_t i = 0; i < size; ++i) b.PutByte(static_cast<std::uint8_t>(rng()));
      }));
      stream.insert(stream.end(), sent.back().begin(), sent.back().end());
    }
    for (std::size_t pos = 0; pos < stream.size();) {
      const std::size_t end = std::min(stream.size(), pos + (rng() % 4 == 0 ? 1 : 1 + rng() % 300));
      rig.sock.Deliver(
          Bytes(stream.begin() + static_cast<long>(pos), stream.begin() + static_cast<long>(end)));
      pos = end;
    }
    ASSERT_EQ(rig.got, sent) << "round " << round;
    EXPECT_EQ(rig.receiver.heldBytes(), 0u);
    EXPECT_EQ(rig.receiver.receiving(), 0);
    EXPECT_TRUE(rig.faults.empty());
  }
}

}  // namespace
}  // namespace orvenda
