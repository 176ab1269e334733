// The viewer's stored properties: what is written, and what reads back.
#include "viewer/propertybag.h"

#include <gtest/gtest.h>

namespace orvenda {
namespace {

TEST(ViewerProperties, OnlyValuesOtherThanTheWriteDefaultsAreStored) {
  ViewerProperties p;
  p.URL = "";  // the write defaults: not stored, and read back as the read defaults
  p.Port = 0;
  p.MapCode = 12;
  p.Enabled = false;
  p.Font = "Serif,12";
  PropertyBag bag;
  p.Write(bag, "Sans,9");
  EXPECT_FALSE(bag.Contains("URL"));
  EXPECT_FALSE(bag.Contains("Port"));
  EXPECT_EQ(bag.ReadString("Font", ""), "Serif,12");
  bag.Set("IDUser", std::string("4711"));  // of another type: read as absent
  const ViewerProperties back = ViewerProperties::Read(bag);
  EXPECT_EQ(back.URL, "nada");
  EXPECT_EQ(back.Port, 10010);
  EXPECT_EQ(back.MapCode, 12);
  EXPECT_EQ(back.IDUser, 0);
  EXPECT_FALSE(back.Enabled);
}

}  // namespace
}  // namespace orvenda
