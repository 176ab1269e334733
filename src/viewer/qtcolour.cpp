#include "viewer/qtcolour.h"

#include <QGuiApplication>
#include <QPalette>

namespace orvenda {
namespace {

constexpr Colour kSystemColourFlag = 0x80000000u;

// The Windows system colour indices the controls use, and their palette roles.
QColor SystemColour(Colour index) {
  const QPalette palette = QGuiApplication::palette();
  switch (index) {
    case 5:  // window background
      return palette.color(QPalette::Base);
    case 8:  // window text
      return palette.color(QPalette::Text);
    case 15:  // button face
      return palette.color(QPalette::Button);
    case 18:  // button text
      return palette.color(QPalette::ButtonText);
    case 23:  // tooltip text
      return palette.color(QPalette::ToolTipText);
    case 24:  // tooltip background
      return palette.color(QPalette::ToolTipBase);
    default:
      return QColor(Qt::black);
  }
}

}  // namespace

QColor ToQColor(Colour colour) {
  if ((colour & kSystemColourFlag) != 0) return SystemColour(colour & 0xFFu);
  return QColor(ColourRed(colour), ColourGreen(colour), ColourBlue(colour));
}

Colour FromQColor(const QColor& colour) {
  return RgbColour(colour.red(), colour.green(), colour.blue());
}

}  // namespace orvenda
