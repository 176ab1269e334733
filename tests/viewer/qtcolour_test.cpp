#include "viewer/qtcolour.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPalette>

namespace orvenda {
namespace {

TEST(QtColour, WindowsValuesAndSystemColours) {
  EXPECT_EQ(ToQColor(0x0000FF), QColor(255, 0, 0));
  EXPECT_EQ(ToQColor(0xC0C000), QColor(0, 192, 192));
  EXPECT_EQ(FromQColor(QColor(0x12, 0x34, 0x56)), 0x563412u);
  const QPalette palette = QGuiApplication::palette();
  EXPECT_EQ(ToQColor(0x8000000F), palette.color(QPalette::Button)) << "button face";
  EXPECT_EQ(ToQColor(0x80000018), palette.color(QPalette::ToolTipBase)) << "tooltip ground";
  EXPECT_EQ(ToQColor(0x80000017), palette.color(QPalette::ToolTipText));
}

}  // namespace
}  // namespace orvenda
