#include "viewer/propertybag.h"

#include <gtest/gtest.h>

namespace orvenda {
namespace {

TEST(ViewerProperties, AnEmptyStoreGivesTheReadDefaults) {
  const ViewerProperties p = ViewerProperties::Read(PropertyBag{});
  EXPECT_EQ(p.URL, "nada");
  EXPECT_EQ(p.Port, 10010);
  EXPECT_EQ(p.MapCode, 1);
  EXPECT_EQ(p.IDUser, 0);
  EXPECT_EQ(static_cast<std::uint32_t>(p.BackColor), 0x8000000Fu);
  EXPECT_EQ(static_cast<std::uint32_t>(p.ForeColor), 0x80000012u);
  EXPECT_TRUE(p.Enabled);
  EXPECT_EQ(p.Appearance, 1);
  EXPECT_EQ(p.BackStyle, 1);
  EXPECT_EQ(p.BorderStyle, 0);
}

TEST(ViewerProperties, ValuesEqualToTheWriteDefaultAreNotStored) {
  ViewerProperties p;
  p.URL = "";
  p.Port = 0;
  PropertyBag bag;
  p.Write(bag, "Sans,9");
  // Only what differs from its write default: none of the above.
  EXPECT_FALSE(bag.Contains("Port"));
  EXPECT_FALSE(bag.Contains("URL"));
  EXPECT_FALSE(bag.Contains("MapCode"));
  EXPECT_FALSE(bag.Contains("Font"));
  EXPECT_TRUE(bag.values().empty());
  // Read back, the absent keys give the read defaults, not what was written.
  const ViewerProperties back = ViewerProperties::Read(bag);
  EXPECT_EQ(back.Port, 10010);
  EXPECT_EQ(back.URL, "nada");
}

TEST(ViewerProperties, OtherValuesRoundTrip) {
  ViewerProperties p;
  p.URL = "maps.example";
  p.Port = 1001;
  p.MapCode = 12;
  p.IDUser = 4711;
  p.Enabled = false;
  p.BorderStyle = 1;
  p.Font = "Serif,12";
  PropertyBag bag;
  p.Write(bag, "Sans,9");
  EXPECT_EQ(bag.ReadString("Font", ""), "Serif,12");
  const ViewerProperties back = ViewerProperties::Read(bag);
  EXPECT_EQ(back.URL, "maps.example");
  EXPECT_EQ(back.Port, 1001);
  EXPECT_EQ(back.MapCode, 12);
  EXPECT_EQ(back.IDUser, 4711);
  EXPECT_FALSE(back.Enabled);
  EXPECT_EQ(back.BorderStyle, 1);
}

TEST(ViewerProperties, AValueOfAnotherTypeReadsAsAbsent) {
  PropertyBag bag;
  bag.Set("Port", std::string("1001"));
  bag.Set("URL", std::int32_t{5});
  const ViewerProperties p = ViewerProperties::Read(bag);
  EXPECT_EQ(p.Port, 10010);
  EXPECT_EQ(p.URL, "nada");
}

}  // namespace
}  // namespace orvenda
