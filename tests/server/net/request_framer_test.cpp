// RequestFramer: whole requests out of pieces of any size; a broken stream stays broken.
#include "net/request_framer.h"

#include <gtest/gtest.h>

#include "protocol/byteimage.h"
#include "protocol_client.h"

namespace orvenda::server::test {
namespace {

std::vector<Bytes> TakeAll(RequestFramer& f, RequestFramer::Result* last = nullptr) {
  std::vector<Bytes> out;
  DWBUffer m;
  RequestFramer::Result r;
  while ((r = f.next(m)) == RequestFramer::Result::Message) out.push_back(m.bytes());
  if (last) *last = r;
  return out;
}

TEST(RequestFramer, CutsWholeRequestsOutOfAnySplit) {
  const Bytes a = Request(2, [](DWBUffer& b) {
    b.PutLong(7);
    b.PutLong(8);
    b.PutLong(9);
  });
  const Bytes b = Request(10);  // 10 bytes: header and code only
  Bytes stream = a;
  stream.insert(stream.end(), b.begin(), b.end());
  stream.insert(stream.end(), a.begin(), a.end());
  for (std::size_t piece : {1u, 3u, 7u, 8u, 11u, 64u}) {
    SCOPED_TRACE(piece);
    RequestFramer f(1024);
    std::vector<Bytes> got;
    for (std::size_t at = 0; at < stream.size(); at += piece) {
      f.feed(stream.data() + at, std::min(piece, stream.size() - at));
      for (auto& m : TakeAll(f)) got.push_back(m);
    }
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0], a);
    EXPECT_EQ(got[1], b);
    EXPECT_EQ(got[2], a);
    EXPECT_EQ(f.held(), 0u);
  }
}

TEST(RequestFramer, BreaksOnBadMagicOrImpossibleLengthBeforeKeepingAnything) {
  auto header = [](std::int32_t length) {
    Bytes h = {'M', 'I', 'C', ' '};
    const auto l = byteimage::ToBytes(length);
    h.insert(h.end(), l.begin(), l.end());
    return h;
  };
  struct Row {
    const char* what;
    Bytes bytes;
    RequestFramer::Result result;
  };
  const Row rows[] = {
      {"lower-case magic", {'m', 'I', 'C', ' '}, RequestFramer::Result::Broken},
      {"wrong first byte", {'X'}, RequestFramer::Result::Broken},
      {"length 0", header(0), RequestFramer::Result::Broken},
      {"length 9", header(9), RequestFramer::Result::Broken},
      {"length 10", header(10), RequestFramer::Result::NeedMore},
      {"length at the limit", header(4096), RequestFramer::Result::NeedMore},
      {"length above the limit", header(4097), RequestFramer::Result::Broken},
      {"length 2^31-1", header(0x7FFFFFFF), RequestFramer::Result::Broken},
      {"half a magic", {'M', 'I'}, RequestFramer::Result::NeedMore},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    RequestFramer f(4096);
    f.feed(row.bytes.data(), row.bytes.size());
    RequestFramer::Result r;
    EXPECT_TRUE(TakeAll(f, &r).empty());
    EXPECT_EQ(r, row.result);
    if (r == RequestFramer::Result::Broken) {
      EXPECT_EQ(f.held(), 0u);
      const Bytes good = Request(15);
      f.feed(good.data(), good.size());  // a broken stream stays broken
      EXPECT_TRUE(TakeAll(f, &r).empty());
      EXPECT_EQ(r, RequestFramer::Result::Broken);
      EXPECT_FALSE(f.fault().empty());
    }
  }
}

}  // namespace
}  // namespace orvenda::server::test
