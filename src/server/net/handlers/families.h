#pragma once
// The handlers of each command family and their empty replies (one family per file).

#include "net/handlers/request_dispatcher.h"

namespace orvenda::server {

// login_handlers.cpp: 12 -> 112, 120 -> 121.
asio::awaitable<std::optional<DWBUffer>> HandleLogin(DWBUffer& request, HandlerContext& ctx);
asio::awaitable<std::optional<DWBUffer>> HandleChangePassword(DWBUffer& request,
                                                              HandlerContext& ctx);
DWBUffer EmptyLoginReply(LenientReader& request);
DWBUffer EmptyChangePasswordReply(LenientReader& request);

// map_handlers.cpp: 10 -> 110, 1 -> 101, 11 -> 111.
std::optional<DWBUffer> HandleOpenMap(DWBUffer& request, HandlerContext& ctx);
std::optional<DWBUffer> HandleMapDefinition(DWBUffer& request, HandlerContext& ctx);
std::optional<DWBUffer> HandleAccessLevels(DWBUffer& request, HandlerContext& ctx);
DWBUffer EmptyOpenMapReply(LenientReader& request);
DWBUffer EmptyMapDefinitionReply(LenientReader& request);
DWBUffer EmptyAccessLevelsReply(LenientReader& request);

// cell_handlers.cpp: 2 -> 102, 5 -> 105.
std::optional<DWBUffer> HandleCell(DWBUffer& request, HandlerContext& ctx);
std::optional<DWBUffer> HandleCellValues(DWBUffer& request, HandlerContext& ctx);
DWBUffer EmptyCellReply(LenientReader& request);
DWBUffer EmptyCellValuesReply(LenientReader& request);

// edit_handlers.cpp: 205, 206, 207, 208, 210, 220; never answered (message 250 is
// pushed to every viewer of the layer instead).
std::optional<DWBUffer> HandleNewPoint(DWBUffer& request, HandlerContext& ctx);
std::optional<DWBUffer> HandleNewLine(DWBUffer& request, HandlerContext& ctx);
std::optional<DWBUffer> HandleNewArea(DWBUffer& request, HandlerContext& ctx);
std::optional<DWBUffer> HandleChangeGeometry(DWBUffer& request, HandlerContext& ctx);
std::optional<DWBUffer> HandleErase(DWBUffer& request, HandlerContext& ctx);
std::optional<DWBUffer> HandleChangeValues(DWBUffer& request, HandlerContext& ctx);

// element_handlers.cpp: 4 -> 104, 15 -> 115, 6 -> 106.
std::optional<DWBUffer> HandleElementAttributes(DWBUffer& request, HandlerContext& ctx);
std::optional<DWBUffer> HandleElementExtent(DWBUffer& request, HandlerContext& ctx);
std::optional<DWBUffer> HandleFieldValues(DWBUffer& request, HandlerContext& ctx);
DWBUffer EmptyElementAttributesReply(LenientReader& request);
DWBUffer EmptyElementExtentReply(LenientReader& request);
DWBUffer EmptyFieldValuesReply(LenientReader& request);

// condition_handlers.cpp: 13 -> 113.
std::optional<DWBUffer> HandleFindByCondition(DWBUffer& request, HandlerContext& ctx);
DWBUffer EmptyFindReply(LenientReader& request);

// selection_handlers.cpp: 14 -> 114, and 221 (no reply).
std::optional<DWBUffer> HandleMultipleSelection(DWBUffer& request, HandlerContext& ctx);
std::optional<DWBUffer> HandlePickedRowsEdit(DWBUffer& request, HandlerContext& ctx);
DWBUffer EmptySelectionReply(LenientReader& request);

// address_handlers.cpp: 230 -> 231.
std::optional<DWBUffer> HandleFindAddress(DWBUffer& request, HandlerContext& ctx);
DWBUffer EmptyAddressReply(LenientReader& request);

// save_handlers.cpp: 240 -> 241 (not counted; the client still shows every result).
std::optional<DWBUffer> HandleSaveMap(DWBUffer& request, HandlerContext& ctx);
DWBUffer EmptySaveMapReply(LenientReader& request);

}  // namespace orvenda::server
