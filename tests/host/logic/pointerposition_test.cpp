// The status bar's pointer position in degrees, minutes and seconds.
#include "host/pointerposition.h"

#include <gtest/gtest.h>

namespace orvenda {
namespace {

TEST(PointerPosition, DegreesMinutesSeconds) {
  struct Row {
    double v;
    const char* text;
  };
  const Row rows[] = {
      {-62.2625, "-62° 15' 45\""},
      {-0.5, "-0° 30' 0\""},
      {0.0, "0° 0' 0\""},
      {-0.0000001, "0° 0' 0\""},
      {-34.6037, "-34° 36' 13.32\""},
      {10.25, "10° 15' 0\""},
      {1.0 / 3.0, "0° 20' 0\""},
      {45.000138, "45° 0' 0.49\""},         // seconds cut, not
                                            // rounded (0.4968)
      {-58.381944444, "-58° 22' 54.99\""},  // 54.9999984 stays below 55
      {179.99999999, "179° 59' 59.99\""},
      {-180.0, "-180° 0' 0\""},
  };
  for (const auto& row : rows) EXPECT_EQ(FormatDMS(row.v), row.text) << row.v;
  // The user's decimal separator.
  EXPECT_EQ(FormatDMS(-34.6037, ','), "-34° 36' 13,32\"");
  EXPECT_EQ(FormatPointerPosition(-62.2625, -0.5), "x: -62° 15' 45\", y: -0° 30' 0\"");
}

}  // namespace
}  // namespace orvenda
