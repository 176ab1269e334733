#pragma once
// Changing a map from the viewer without drawing: attribute values (request 4 in
// attribute-editing mode, whose reply 104 leads to command 220) and erasing
// elements (command 210). The server checks every edit again against the user's
// rights and the field types; these checks spare the user a silent refusal.

#include <cstdint>
#include <string>
#include <vector>

#include "protocol/elementinfo.h"
#include "protocol/mapviewer.h"
#include "protocol/messagefields.h"

namespace orvenda {

// Why `values` cannot be the values of `lay`'s fields, one each in order: a count
// that differs, or the first value its field's type does not hold. Empty when they can.
std::string UnfitValues(layer& lay, const std::vector<std::string>& values);

// The grid cells the layer holds an element in (none when it does not hold it).
std::vector<CellIJ> CellsOf(layer& lay, std::int32_t elementId);

// Starts the edit of every value of one element (`values`, one per field): when
// all fit, request 4 goes out in attribute-editing mode holding them; otherwise a
// message box names the field that failed and nothing is sent.
void StartAttributeEdit(MapViewer& viewer, layer& lay, std::int32_t elementId,
                        const std::vector<std::string>& values);

// Reply 104 in attribute-editing mode: the element's current values with the held
// ones put over the fields they name, sent with command 220 and the element's grid
// cells (none when the layer does not hold the element; the server finds them).
void SendEditedValues(MapViewer& viewer, const ElementValues& reply);

// Command 210 for each element with its grid cells; each leaves the layer at once,
// before the server's change arrives.
void EraseElements(MapViewer& viewer, layer& lay, const std::vector<std::int32_t>& ids);

}  // namespace orvenda
