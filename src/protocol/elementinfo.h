#pragma once
// One element at a time: its attribute values (request 4, reply 104) and its extent
// (request 15, reply 115), and the per-viewer state these exchanges keep. With
// several maps open each viewer routes and carries only its own replies.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "protocol/dwbuffer.h"
#include "protocol/mapviewer.h"

namespace orvenda {

class QueryResultsView;

// Reply 104 as it travels: each value with the type code it was encoded by.
struct ElementValues {
  std::int32_t layerId = 0;
  std::int32_t elementId = 0;
  std::vector<std::pair<std::int16_t, std::string>> values;  // none for n = -1
};

// Throws MalformedField at a type code of no known encoding: nothing after it can
// be read.
ElementValues ReadElementValues(DWBUffer& reply);

// The information of one element as the host receives it: the values paired with
// the layer's fields, as many as both lists hold.
struct ElementInfo {
  std::int32_t IDLayer = 0;
  std::int32_t IDElement = 0;
  std::vector<std::string> FieldName;
  std::vector<std::int16_t> FieldTypes;
  std::vector<std::string> FieldData;
};

// Text values lose their surrounding spaces; the types are those of the fields.
ElementInfo PairWithFields(layer& lay, const ElementValues& reply);

// The text of the information window.
std::string InformationText(const std::string& layerName, const ElementInfo& info);

// The per-viewer state of the element and query exchanges.
struct InfoExchange {
  // The next information reply goes to the host (InfoArrival) instead of the
  // information window; it is reset when it has served.
  bool ReleaseInfoEvent = false;
  // What an attribute edit holds while its request 4 is answered: the fields and
  // the new values to send with command 220.
  std::vector<std::string> editFields;
  std::vector<std::string> editValues;
  // Reply 104 in attribute-editing mode: the editing code hooks in here. Without
  // a hook the reply is read and dropped.
  std::function<void(const ElementValues&)> onAttributesForEdit;
  // How the table of reply 114 is shown: 0 the element information dialog, other
  // values the table window. Set by the sender of request 14.
  std::int16_t displayMode = 0;
  // Where the elements found by a condition go: the results list (the
  // ReleaseEvent of FindByCondition), or else the host's SelectionSet event.
  bool listFoundElements = true;
  // Reply 115 moves the view only while this is on.
  bool zoomToSelected = false;
  // The dialogs that present the query replies; null drops the results.
  QueryResultsView* resultsView = nullptr;
};

// Request 4 for the information window or InfoArrival.
bool SendElementInfoRequest(MapViewer& viewer, std::int32_t layerId, std::int32_t elementId);
// Request 4 in attribute-editing mode: its reply goes to the editing hook, which
// finds `fields` and `values` held in the viewer's InfoExchange.
bool SendAttributeEditRequest(MapViewer& viewer, std::int32_t layerId, std::int32_t elementId,
                              std::vector<std::string> fields, std::vector<std::string> values);
// Request 15; turns the viewer's zoom-to-selected mode on.
bool SendElementExtentRequest(MapViewer& viewer, std::int32_t layerId, std::int32_t elementId);

// The information of picked elements: one through request 4, several together
// for the element information dialog (request 14 with them as the candidates).
void RequestElementsInformation(MapViewer& viewer, std::int32_t layerId,
                                const std::vector<std::int32_t>& ids);
// Shows the given elements of a layer: a single one the layer does not hold yet
// is asked for with request 15, otherwise the union of the held ones' boxes.
void ZoomToElements(MapViewer& viewer, std::int32_t layerId, const std::vector<std::int32_t>& ids);
// The view of ZoomToElements: the boxes of the held elements (IDs of 0 skipped),
// widened by 0.001 on each side where narrower than 0.002; nothing without one.
std::optional<BoundingBox> HeldElementsBox(layer& lay, const std::vector<std::int32_t>& ids);

void HandleElementInfo(MapViewer& viewer, DWBUffer& reply);        // 104, information
void HandleAttributesForEdit(MapViewer& viewer, DWBUffer& reply);  // 104, editing
void HandleElementExtent(MapViewer& viewer, DWBUffer& reply);      // 115

// The view that reply 115 asks for: the box widened by 0.001 on every side, or
// nothing when the box is unknown (a sentinel or all zero), not finite or inverted.
std::optional<BoundingBox> ElementZoomBox(double minX, double minY, double maxX, double maxY);

// Registers 104 (both routes), 113, 114, 115 and 231 on the viewer's dispatcher.
void RegisterInfoHandlers(MapViewer& viewer);

}  // namespace orvenda
