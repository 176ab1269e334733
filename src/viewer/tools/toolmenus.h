#pragma once
// The context menus of the tools as data: the drawing menu mnuEnd, the
// selection menu mnuSelect and the vertex-editing menu mnuEditGeo, with their
// items in order, check marks and enabled items as the tool state gives them,
// and the choices that only change settings.

#include <string>
#include <vector>

#include "viewer/popupmenu.h"
#include "viewer/tools/toolstate.h"

namespace orvenda {

std::vector<MenuItem> EndMenuItems(const ToolState& t);
std::vector<MenuItem> SelectMenuItems(const ToolState& t);
std::vector<MenuItem> EditGeoMenuItems(const ToolState& t);

// The selection method and options of mnuSelect, and the point rules of mnuEnd
// ("EndPoint", and unchecking "Relative To..."); false for any other item.
bool ChooseSelectSetting(ToolState& t, const std::string& item);
bool ChooseEndSetting(ToolState& t, const std::string& item);

}  // namespace orvenda
