#pragma once
// The pointers of the mouse tools: cursor resources 101 to 111 (each tool
// answers its own), drawn here as 32 x 32 pictures with their hot spots.

#include <QCursor>

namespace orvenda {

// The cursor of a resource; the arrow for an unknown one.
QCursor ToolCursor(int resource);

}  // namespace orvenda
