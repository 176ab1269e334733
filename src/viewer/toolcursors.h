#pragma once
// The pointers of the mouse tools: cursor resources 101 to 111, drawn here as
// 32 x 32 pictures with their hot spots.

#include <QCursor>
#include <string>

namespace orvenda {

// The cursor resource of a tool (zoom by factor: 105 above 1, else 106); 0 for
// the default pointer (no tool, and tools from 11 on).
int CursorResourceFor(int toolCode, float zoomStep);
// The cursor of a resource; the arrow for an unknown one.
QCursor ToolCursor(int resource);
// A zoom factor as text: the shortest text that reads back the same.
std::string FactorText(float factor);

}  // namespace orvenda
