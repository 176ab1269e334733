#include "protocol/dwbuffer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "protocol/protocolerror.h"
#include "protocol/wsckfunciones.h"
#include "support/wire.h"

namespace orvenda {
namespace {

using testing::Bytes;

TEST(DWBUffer, RequestLayoutIsLittleEndianWithHeaderAndLength) {
  DWBUffer b;
  b.CrearHeader();
  b.PutInteger(10);
  b.PutLong(0x01020304);
  b.cerrarMensaje(0);
  const Bytes expected = {'M', 'I', 'C', ' ', 14, 0, 0, 0, 10, 0, 4, 3, 2, 1};
  EXPECT_EQ(b.buffer(), expected);
  EXPECT_EQ(b.getLength(), 14);
  b.cerrarMensaje(250);
  EXPECT_EQ(b.getLength(), 250);
  EXPECT_EQ(b.TamanoBuffer(), 14);
}

TEST(DWBUffer, EveryTypeRoundTripsIncludingExtremes) {
  DWBUffer b;
  b.CrearHeader();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  b.PutInteger(-32768);
  b.PutInteger(32767);
  b.PutLong(std::numeric_limits<std::int32_t>::min());
  b.PutLong(-1);
  b.PutByte(255);
  b.PutSingle(-1.5e-38f);
  b.PutSingle(nan);
  b.PutDouble(1e37);
  b.PutDouble(-0.0);
  b.PutString("Peña € ñandú");
  b.PutString("");
  b.cerrarMensaje(0);

  DWBUffer r(b.buffer());
  r.GetLong();
  r.GetLong();
  EXPECT_EQ(r.GetInteger(), -32768);
  EXPECT_EQ(r.GetInteger(), 32767);
  EXPECT_EQ(r.GetLong(), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(r.GetLong(), -1);
  EXPECT_EQ(r.GetByte(), 255);
  EXPECT_EQ(r.GetSingle(), -1.5e-38f);
  EXPECT_TRUE(std::isnan(r.GetSingle()));
  EXPECT_EQ(r.GetDouble(), 1e37);
  const double negZero = r.GetDouble();
  EXPECT_TRUE(negZero == 0.0 && std::signbit(negZero));
  EXPECT_EQ(r.GetString(), "Peña € ñandú");
  EXPECT_EQ(r.GetString(), "");
  EXPECT_EQ(r.Remaining(), 0);
}

TEST(DWBUffer, StringsTravelAsWindows1252) {
  DWBUffer b;
  b.CrearHeader();
  b.PutString("Año€");
  b.PutString("中x");  // not in the code page
  b.PutString("");
  const Bytes expected = {'M', 'I',  'C', ' ',  0, 0, 0,   0,   4, 0,
                          'A', 0xF1, 'o', 0x80, 2, 0, '?', 'x', 0, 0};
  EXPECT_EQ(b.buffer(), expected);

  // Bytes the code page leaves undefined still come back as the same bytes.
  DWBUffer raw(Bytes{3, 0, 0x81, 0x8D, 0x9D});
  const std::string text = raw.GetString();
  DWBUffer again;
  again.CrearHeader();
  again.PutString(text);
  EXPECT_EQ(again.buffer(), (Bytes{'M', 'I', 'C', ' ', 0, 0, 0, 0, 3, 0, 0x81, 0x8D, 0x9D}));
}

TEST(DWBUffer, ContentRules) {
  DWBUffer b;
  EXPECT_EQ(b.TamanoBuffer(), 0);
  b.Add2Buffer(Bytes{1, 2});
  EXPECT_EQ(b.buffer(), (Bytes{'M', 'I', 'C', ' ', 0, 0, 0, 0, 1, 2}));
  EXPECT_EQ(b.TamanoBuffer(), 10);

  b.CrearHeader();  // discards the fields
  EXPECT_EQ(b.TamanoBuffer(), 8);
  EXPECT_TRUE(b.IsHeaderCorrect());
  EXPECT_EQ(b.cursor(), 1);

  DWBUffer lower(Bytes{'m', 'i', 'c', ' ', 0, 0, 0, 0});
  EXPECT_FALSE(lower.IsHeaderCorrect());
  EXPECT_FALSE(DWBUffer(Bytes{'M', 'I', 'C'}).IsHeaderCorrect());
}

TEST(DWBUffer, GetFromBufferAndFlush) {
  DWBUffer b(Bytes{10, 11, 12, 13, 14});
  Bytes out{99};
  b.GetFromBuffer(out, 0, 0);
  EXPECT_EQ(out, Bytes{99}) << "count 0 leaves the output as it was";

  b.GetFromBuffer(out, 2, 4);  // explicit position: cursor stays
  EXPECT_EQ(out, (Bytes{13, 14}));
  EXPECT_EQ(b.cursor(), 1);

  b.GetFromBuffer(out, 2, 0);
  EXPECT_EQ(out, (Bytes{10, 11}));
  EXPECT_EQ(b.cursor(), 3);

  b.GetFromBuffer(out, 9, 0);  // too few: empty, and the cursor still moves
  EXPECT_TRUE(out.empty());
  EXPECT_EQ(b.cursor(), 12);

  DWBUffer f(Bytes{1, 2, 3, 4});
  f.GetInteger();
  f.Flush();
  EXPECT_EQ(f.buffer(), (Bytes{3, 4}));
  EXPECT_EQ(f.cursor(), 1);
  f.GetInteger();
  f.Flush();
  EXPECT_EQ(f.TamanoBuffer(), 0);
  EXPECT_EQ(f.cursor(), 1);
}

// Each cut of a valid message must fail with the exact fault, never read past
// the end and never return garbage.
TEST(DWBUffer, BrokenBytesFailWithTheExactFault) {
  const Bytes whole = testing::Message(113, [](DWBUffer& b) {
    b.PutLong(7);
    b.PutString("street");
    b.PutDouble(2.5);
  });
  for (std::size_t cut = 10; cut < whole.size(); ++cut) {
    DWBUffer b(Bytes(whole.begin(), whole.begin() + static_cast<long>(cut)));
    b.GetLong();
    b.GetLong();
    b.GetInteger();
    EXPECT_THROW(
        {
          b.GetLong();
          b.GetString();
          b.GetDouble();
        },
        MessageTooShort)
        << "cut at " << cut;
  }

  DWBUffer negative(Bytes{0xFF, 0xFF, 'a'});
  EXPECT_THROW(negative.GetString(), MalformedField);

  DWBUffer huge(Bytes{0xFF, 0x7F, 'a'});  // declares 32767 characters, holds 1
  EXPECT_THROW(huge.GetString(), MessageTooShort);

  DWBUffer tooLong;
  tooLong.CrearHeader();
  EXPECT_THROW(tooLong.PutString(std::string(32768, 'x')), StringTooLong);
  EXPECT_NO_THROW(tooLong.PutString(std::string(32767, 'x')));

  EXPECT_THROW(DWBUffer(Bytes{'M', 'I', 'C'}).getLength(), MessageTooShort);
}

TEST(Wsckfunciones, ImagesAndReadersInvertEachOther) {
  EXPECT_EQ(IntegerToBytes(-2), (std::array<std::uint8_t, 2>{0xFE, 0xFF}));
  EXPECT_EQ(LongToBytes(1000), (std::array<std::uint8_t, 4>{0xE8, 0x03, 0, 0}));
  EXPECT_EQ(SingleToBytes(1.0f), (std::array<std::uint8_t, 4>{0, 0, 0x80, 0x3F}));
  EXPECT_EQ(DoubleToBytes(1.0), (std::array<std::uint8_t, 8>{0, 0, 0, 0, 0, 0, 0xF0, 0x3F}));
  EXPECT_TRUE(StringToBytes("").empty());

  const Bytes raw = {0, 0xE8, 0x03, 0, 0, 'h', 'i'};
  EXPECT_EQ(BytesToLong(raw, 1), 1000);
  EXPECT_EQ(BytesToInteger(raw, 1), 1000);
  EXPECT_EQ(BytesToString(raw, 5, 2), "hi");
  EXPECT_EQ(BytesToString(raw, 5, 0), "");
  EXPECT_THROW(BytesToLong(raw, 4), MessageTooShort);
  EXPECT_THROW(BytesToDouble(raw, 0), MessageTooShort);
}

}  // namespace
}  // namespace orvenda
