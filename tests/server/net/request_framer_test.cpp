// RequestFramer: whole requests out of pieces of any size by the client's framing rule
// (its boundaries are tested with the client's receiver); a broken stream stays broken.
#include "net/request_framer.h"

#include <gtest/gtest.h>

#include "protocol_client.h"

namespace orvenda::server::test {
namespace {

std::vector<Bytes> TakeAll(RequestFramer& f, RequestFramer::Result& last) {
  std::vector<Bytes> out;
  DWBUffer m;
  while ((last = f.next(m)) == RequestFramer::Result::Message) out.push_back(m.bytes());
  return out;
}

TEST(RequestFramer, CutsWholeRequestsOutOfAnySplit) {
  const Bytes a = Request(2, [](DWBUffer& b) { b.PutLong(7); });
  const Bytes b = Request(10);  // 10 bytes: header and code only
  Bytes stream = a;
  for (const Bytes* m : {&b, &a}) stream.insert(stream.end(), m->begin(), m->end());
  for (std::size_t piece : {1u, 7u, 8u, 64u}) {
    SCOPED_TRACE(piece);
    RequestFramer f(1024);
    RequestFramer::Result last;
    std::vector<Bytes> got;
    for (std::size_t at = 0; at < stream.size(); at += piece) {
      f.feed(stream.data() + at, std::min(piece, stream.size() - at));
      for (auto& m : TakeAll(f, last)) got.push_back(m);
      EXPECT_EQ(last, RequestFramer::Result::NeedMore);
    }
    EXPECT_EQ(got, (std::vector<Bytes>{a, b, a}));
    EXPECT_EQ(f.held(), 0u);
  }
}

TEST(RequestFramer, ABrokenStreamStaysBrokenAndKeepsNothing) {
  Bytes tooLong = Request(2);
  tooLong[4] = 1;  // declares 0x1001 = 4097 bytes, one above the limit
  tooLong[5] = 16;
  const std::pair<Bytes, std::string> rows[] = {
      {{'m', 'I', 'C', ' '}, "bad magic"},
      {tooLong, "declared length 4097 out of range"},
  };
  for (const auto& [bytes, fault] : rows) {
    SCOPED_TRACE(fault);
    RequestFramer f(4096);
    RequestFramer::Result last;
    f.feed(bytes.data(), bytes.size());
    EXPECT_TRUE(TakeAll(f, last).empty());
    EXPECT_EQ(last, RequestFramer::Result::Broken);
    EXPECT_EQ(f.held(), 0u);
    const Bytes good = Request(15);
    f.feed(good.data(), good.size());
    EXPECT_TRUE(TakeAll(f, last).empty());
    EXPECT_EQ(last, RequestFramer::Result::Broken);
    EXPECT_EQ(f.fault(), fault);
  }
}

}  // namespace
}  // namespace orvenda::server::test
