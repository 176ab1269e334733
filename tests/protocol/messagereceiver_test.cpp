#include "protocol/messagereceiver.h"

#include <gtest/gtest.h>

#include <random>

#include "protocol/byteimage.h"
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

Bytes Sample(std::int16_t code, int n) {
  return Message(code, [n, code](DWBUffer& b) {
    for (int i = 0; i < n; ++i) b.PutLong(i * 7 + code);
  });
}

TEST(MessageReceiver, OneBytePerEventIsHandedOverOnceWhenComplete) {
  Rig rig;
  const Bytes m = Sample(102, 5);
  for (std::size_t i = 0; i < m.size(); ++i) {
    rig.sock.Deliver({m[i]});
    EXPECT_EQ(rig.got.size(), i + 1 == m.size() ? 1u : 0u) << "after byte " << i;
  }
  EXPECT_EQ(rig.got.at(0), m);
  EXPECT_EQ(rig.receiver.receiving(), 0);
}

TEST(MessageReceiver, SeveralMessagesInOneEventAreHandedOverInOrder) {
  Rig rig;
  const Bytes a = Sample(102, 1), b = Sample(105, 0), c = Sample(110, 3);
  rig.sock.Deliver(Join({a, b}));
  ASSERT_EQ(rig.got.size(), 2u);
  rig.sock.Deliver(Join({a, b, c}));
  ASSERT_EQ(rig.got.size(), 5u);
  EXPECT_EQ(rig.got[0], a);
  EXPECT_EQ(rig.got[1], b);
  EXPECT_EQ(rig.got[4], c);
  EXPECT_EQ(rig.receiver.receiving(), 0);
}

TEST(MessageReceiver, ShortTailOfTheNextHeaderWaitsWithLengthUnknown) {
  const Bytes first = Sample(102, 2), next = Sample(111, 4);
  for (std::size_t tail = 1; tail <= 7; ++tail) {
    Rig rig;
    rig.sock.Deliver(Join({first, Bytes(next.begin(), next.begin() + static_cast<long>(tail))}));
    ASSERT_EQ(rig.got.size(), 1u) << "tail " << tail;
    EXPECT_EQ(rig.receiver.receiving(), 1);
    EXPECT_EQ(rig.receiver.expectedLength(), -1);
    // The rest arrives in uneven pieces.
    for (std::size_t i = tail; i < next.size(); i += 3) {
      rig.sock.Deliver(Bytes(next.begin() + static_cast<long>(i),
                             next.begin() + static_cast<long>(std::min(i + 3, next.size()))));
    }
    ASSERT_EQ(rig.got.size(), 2u) << "tail " << tail;
    EXPECT_EQ(rig.got[1], next);
  }
}

TEST(MessageReceiver, ShortestMessageIsHandledAtItsTenthByte) {
  Rig rig;
  const Bytes m = Message(107);
  ASSERT_EQ(m.size(), 10u);
  rig.sock.Deliver(Bytes(m.begin(), m.begin() + 9));
  EXPECT_TRUE(rig.got.empty());
  EXPECT_EQ(rig.receiver.expectedLength(), 10);
  rig.sock.Deliver({m[9]});
  EXPECT_EQ(rig.got.size(), 1u);
}

TEST(MessageReceiver, JunkBeforeAMessageIsDroppedWithoutReport) {
  Rig rig;
  const Bytes m = Sample(102, 2);
  rig.sock.Deliver(Join({Bytes{'x', 'y', 'z', 'w', 'M', 'I', 'X', 1, 2}, m}));
  ASSERT_EQ(rig.got.size(), 1u);
  EXPECT_EQ(rig.got[0], m);
  EXPECT_TRUE(rig.faults.empty());
}

TEST(MessageReceiver, ImpossibleLengthsAreDroppedReportedOnceAndTheStreamResumes) {
  for (std::int32_t declared : {0, 9, -5, 16 * 1024 * 1024 + 1, 2147483647}) {
    Rig rig;
    const auto len = byteimage::ToBytes(declared);
    const Bytes bad = {'M', 'I', 'C', ' ', len[0], len[1], len[2], len[3], 1, 2, 3};
    const Bytes good = Sample(104, 3);
    rig.sock.Deliver(Join({bad, bad, good}));
    ASSERT_EQ(rig.got.size(), 1u) << "declared " << declared;
    EXPECT_EQ(rig.got[0], good);
    EXPECT_EQ(rig.faults.size(), 1u) << "declared " << declared;
    EXPECT_LT(rig.receiver.heldBytes(), 8u);
    rig.sock.Deliver(bad);
    EXPECT_EQ(rig.faults.size(), 2u) << "a new broken stretch is reported again";
  }
}

TEST(MessageReceiver, ViewerSeesPointerIndicatorAndLoadingPass) {
  Rig rig;
  rig.viewer.pending = 1;
  const Bytes m = Sample(102, 40);
  rig.sock.Deliver(Bytes(m.begin(), m.begin() + 20));
  EXPECT_TRUE(rig.viewer.readingVisible);
  EXPECT_EQ(rig.viewer.readingColour, kReadingGreen);
  rig.sock.Deliver(Bytes(m.begin() + 20, m.begin() + 40));
  EXPECT_EQ(rig.viewer.readingColour, kReadingRed) << "toggles while a message is under way";
  rig.sock.Deliver(Bytes(m.begin() + 40, m.begin() + 60));
  EXPECT_EQ(rig.viewer.readingColour, kReadingGreen);
  EXPECT_EQ(rig.viewer.loadingPassesFinished, 0) << "a request is still pending";

  rig.viewer.pending = 0;  // as the reply handler would leave it
  rig.sock.Deliver(Bytes(m.begin() + 60, m.end()));
  ASSERT_EQ(rig.got.size(), 1u);
  EXPECT_FALSE(rig.viewer.readingVisible);
  EXPECT_EQ(rig.viewer.pointers, (std::vector<int>{kPointerArrowHourglass, kPointerDefault}));
  EXPECT_EQ(rig.viewer.toolPointerRestored, 1);
  EXPECT_EQ(rig.viewer.loadingPassesFinished, 1);
}

TEST(MessageReceiver, AHandlerThatPumpsEventsDoesNotReorderMessages) {
  Rig rig;
  const Bytes a = Sample(1, 1), b = Sample(2, 2), c = Sample(3, 3);
  bool injected = false;
  rig.receiver.SetDeliver([&](DWBUffer& m) {
    rig.got.push_back(m.bytes());
    if (!injected) {
      injected = true;
      rig.sock.Deliver(c);  // arrives while the first handler runs
    }
  });
  rig.sock.Deliver(Join({a, b}));
  ASSERT_EQ(rig.got.size(), 3u);
  EXPECT_EQ(rig.got[0], a);
  EXPECT_EQ(rig.got[1], b);
  EXPECT_EQ(rig.got[2], c);
}

// Random valid messages, cut at random places, some joined in one arrival, some
// after junk: each is handed over exactly once, in order, byte for byte.
TEST(MessageReceiver, RandomStreamsAreReassembledExactly) {
  std::mt19937 rng(20261206);
  for (int round = 0; round < 60; ++round) {
    Rig rig;
    std::vector<Bytes> sent;
    Bytes stream;
    const int count = 1 + static_cast<int>(rng() % 30);
    for (int k = 0; k < count; ++k) {
      if (rng() % 5 == 0) {  // junk that holds no magic
        const std::size_t n = 1 + rng() % 13;
        for (std::size_t i = 0; i < n; ++i)
          stream.push_back(static_cast<std::uint8_t>('a' + rng() % 26));
      }
      const int size =
          (rng() % 10 == 0) ? static_cast<int>(rng() % 20000) : static_cast<int>(rng() % 60);
      Bytes m = Message(static_cast<std::int16_t>(100 + rng() % 20), [&](DWBUffer& b) {
        for (int i = 0; i < size; ++i) b.PutByte(static_cast<std::uint8_t>(rng()));
      });
      sent.push_back(m);
      stream.insert(stream.end(), m.begin(), m.end());
    }
    for (std::size_t pos = 0; pos < stream.size();) {
      const std::size_t piece = rng() % 4 == 0 ? 1 : 1 + rng() % 300;
      const std::size_t end = std::min(stream.size(), pos + piece);
      rig.sock.Deliver(
          Bytes(stream.begin() + static_cast<long>(pos), stream.begin() + static_cast<long>(end)));
      pos = end;
    }
    ASSERT_EQ(rig.got.size(), sent.size()) << "round " << round;
    for (std::size_t k = 0; k < sent.size(); ++k) {
      ASSERT_EQ(rig.got[k], sent[k]) << "round " << round << " message " << k;
    }
    EXPECT_EQ(rig.receiver.heldBytes(), 0u);
    EXPECT_TRUE(rig.faults.empty());
  }
}

}  // namespace
}  // namespace orvenda
