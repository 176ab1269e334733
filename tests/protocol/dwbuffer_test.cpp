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
  b.PutInteger(-2);
  b.PutLong(0x01020304);
  b.PutSingle(1.0f);
  b.PutDouble(1.0);
  b.cerrarMensaje(0);
  const Bytes expected = {'M', 'I', 'C', ' ',  26,   0, 0, 0, 0xFE, 0xFF, 4, 3,    2,
                          1,   0,   0,   0x80, 0x3F, 0, 0, 0, 0,    0,    0, 0xF0, 0x3F};
  EXPECT_EQ(b.buffer(), expected);
  EXPECT_EQ(b.getLength(), 26);
  b.cerrarMensaje(1);  // any positive length is written as given
  EXPECT_EQ(b.getLength(), 1);
}

TEST(DWBUffer, StringsTravelAsWindows1252) {
  DWBUffer b;
  b.Add2Buffer(Bytes{});  // a buffer without content gets its header first
  b.PutString("Año€");
  b.PutString("中x");  // not in the code page
  EXPECT_EQ(b.buffer(),
            (Bytes{'M', 'I', 'C', ' ', 0, 0, 0, 0, 4, 0, 'A', 0xF1, 'o', 0x80, 2, 0, '?', 'x'}));
  // Bytes the code page leaves undefined still come back as the same bytes.
  DWBUffer raw(Bytes{3, 0, 0x81, 0x8D, 0x9D});
  const std::string text = raw.GetString();
  EXPECT_EQ(StringToBytes(text), (Bytes{0x81, 0x8D, 0x9D}));
}

TEST(DWBUffer, ContentGetFromBufferAndFlush) {
  EXPECT_TRUE(DWBUffer(Bytes{'M', 'I', 'C', ' '}).IsHeaderCorrect());
  EXPECT_FALSE(DWBUffer(Bytes{'M', 'I', 'c', ' '}).IsHeaderCorrect()) << "byte values";
  EXPECT_FALSE(DWBUffer(Bytes{'M', 'I', 'C'}).IsHeaderCorrect());
  DWBUffer b(Bytes{'M', 'I', 'C', ' ', 14});
  Bytes out{99};
  b.GetFromBuffer(out, 0, 0);
  EXPECT_EQ(out, Bytes{99}) << "count 0 leaves the output as it was";
  b.GetFromBuffer(out, 2, 4);  // explicit position: cursor stays
  EXPECT_EQ(out, (Bytes{' ', 14}));
  EXPECT_EQ(b.cursor(), 1);
  b.GetFromBuffer(out, 2, 0);
  EXPECT_EQ(out, (Bytes{'M', 'I'}));
  b.Flush();
  EXPECT_EQ(b.buffer(), (Bytes{'C', ' ', 14}));
  b.GetFromBuffer(out, 9, 0);  // too few: empty, and the cursor still moves
  EXPECT_TRUE(out.empty());
  EXPECT_EQ(b.cursor(), 10);
  b.Flush();
  EXPECT_EQ(b.TamanoBuffer(), 0);
  EXPECT_EQ(b.cursor(), 1);
  b.Add2Buffer(Bytes{1, 2});
  b.CrearHeader();  // discards the fields
  b.cerrarMensaje(0);
  EXPECT_EQ(b.buffer(), (Bytes{'M', 'I', 'C', ' ', 8, 0, 0, 0}));
  EXPECT_EQ(b.getLength(), 8);
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
    Bytes header;
    b.GetFromBuffer(header, 10, 0);
    EXPECT_THROW(
        {
          b.GetLong();
          b.GetString();
          b.GetDouble();
        },
        MessageTooShort)
        << "cut at " << cut;
  }
  EXPECT_THROW(DWBUffer(Bytes{}).GetByte(), MessageTooShort);
  EXPECT_THROW(DWBUffer(Bytes{0xFF, 0xFF, 'a'}).GetString(), MalformedField);
  EXPECT_THROW(DWBUffer(Bytes{0xFF, 0x7F, 'a'}).GetString(), MessageTooShort);  // 32767 declared
  DWBUffer tooLong;
  tooLong.CrearHeader();
  EXPECT_THROW(tooLong.PutString(std::string(32768, 'x')), StringTooLong);
  EXPECT_THROW(DWBUffer(Bytes{'M', 'I', 'C', ' ', 0, 0, 0}).getLength(), MessageTooShort);
  const Bytes raw = {0, 0xE8, 0x03, 0, 0, 'h', 'i'};
  EXPECT_EQ(BytesToLong(raw, 1), 1000);
  EXPECT_EQ(BytesToString(raw, 5, 2), "hi");
  EXPECT_THROW(BytesToLong(raw, 4), MessageTooShort);
}

}  // namespace
}  // namespace orvenda
