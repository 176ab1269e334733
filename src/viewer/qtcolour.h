#pragma once
// Windows colour values (red in the low byte) to and from QColor. Values with the
// high bit set name a system colour (0x8000000F is the face of buttons); they are
// taken from the application palette.

#include <QColor>

#include "render/surface.h"

namespace orvenda {

QColor ToQColor(Colour colour);
Colour FromQColor(const QColor& colour);

}  // namespace orvenda
