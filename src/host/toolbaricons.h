#pragma once
// The pictures of the main window's toolbar buttons, drawn in code so that they
// scale with the screen and need no image files next to the program.

#include <QIcon>
#include <QString>

namespace orvenda {

// The icon of the toolbar button with this key ("Zoom In", "Pan", ...); a null
// icon for keys without a picture.
QIcon ToolbarIcon(const QString& key);

}  // namespace orvenda
