#include "net/handlers/request_dispatcher.h"

#include <array>
#include <exception>
#include <string>

#include "net/handlers/families.h"
#include "protocol/catalogue.h"

namespace orvenda::server {
namespace {

const std::array kRoutes = {
    // Edits are not counted: refused or not, they get no reply.
    Route{cmd::kNewPoint, "new point (205)", HandleNewPoint},
    Route{cmd::kNewLine, "new line (206)", HandleNewLine},
    Route{cmd::kNewArea, "new area (207)", HandleNewArea},
    Route{cmd::kChangeGeometry, "changed geometry (208)", HandleChangeGeometry},
    Route{cmd::kEraseElement, "erase (210)", HandleErase},
    Route{cmd::kChangeAttributes, "changed values (220)", HandleChangeValues},
    Route{cmd::kMapDefinition, "map definition (1)", HandleMapDefinition, nullptr,
          EmptyMapDefinitionReply},
    Route{cmd::kCell, "grid cell (2)", HandleCell, nullptr, EmptyCellReply},
    Route{cmd::kElementAttributes, "element attributes (4)", HandleElementAttributes, nullptr,
          EmptyElementAttributesReply},
    Route{cmd::kCellValues, "cell values (5)", HandleCellValues, nullptr, EmptyCellValuesReply},
    Route{cmd::kFieldValues, "field values (6)", HandleFieldValues, nullptr, EmptyFieldValuesReply},
    Route{cmd::kOpenMap, "open map (10)", HandleOpenMap, nullptr, EmptyOpenMapReply},
    Route{cmd::kAccessLevels, "access levels (11)", HandleAccessLevels, nullptr,
          EmptyAccessLevelsReply},
    Route{cmd::kLogin, "login (12)", nullptr, HandleLogin, EmptyLoginReply},
    Route{cmd::kFindByCondition, "find by condition (13)", HandleFindByCondition, nullptr,
          EmptyFindReply},
    Route{cmd::kMultipleSelection, "multiple selection (14)", HandleMultipleSelection, nullptr,
          EmptySelectionReply},
    Route{cmd::kElementExtent, "element extent (15)", HandleElementExtent, nullptr,
          EmptyElementExtentReply},
    Route{cmd::kChangePassword, "change password (120)", nullptr, HandleChangePassword,
          EmptyChangePasswordReply},
    Route{cmd::kPickedRowsEdit, "picked rows edit (221)", HandlePickedRowsEdit, nullptr, nullptr},
    Route{cmd::kFindAddress, "find address (230)", HandleFindAddress, nullptr, EmptyAddressReply},
    Route{cmd::kSaveMap, "save map (240)", HandleSaveMap, nullptr, EmptySaveMapReply},
};

DWBUffer EmptyReplyFor(const Route& route, const DWBUffer& request) {
  DWBUffer copy(request.bytes());
  DWBUffer::Bytes header;
  copy.GetFromBuffer(header, 10, 0);  // the cursor moves past header and code
  LenientReader reader(copy);
  return route.empty(reader);
}

}  // namespace

const Route* FindRoute(std::int16_t code) {
  for (const Route& r : kRoutes) {
    if (r.code == code) return &r;
  }
  return nullptr;
}

asio::awaitable<std::optional<DWBUffer>> Dispatch(DWBUffer& request, HandlerContext& ctx) {
  request.GetLong();  // magic and length: the framer has checked them
  request.GetLong();
  const std::int16_t code = request.GetInteger();
  const Route* route = FindRoute(code);
  if (route == nullptr) {
    const auto info = FindCommand(code);
    if (!info) {
      ctx.Malformed("request", "unknown command code " + std::to_string(code));
    } else if (info->direction == Direction::ServerToClient) {
      ctx.Malformed("request", "command " + std::to_string(code) + " is a reply");
    } else {
      ctx.Refused(info->name, "not served by this server");
    }
    co_return std::nullopt;
  }
  std::optional<DWBUffer> reply;
  try {
    if (route->sync != nullptr) {
      reply = route->sync(request, ctx);
    } else if (route->async != nullptr) {
      reply = co_await route->async(request, ctx);
    } else {
      ctx.Refused(route->name, "not served by this server");
    }
  } catch (const ProtocolError& e) {
    ctx.Malformed(route->name, e.what());
  } catch (const StoreError& e) {
    // The empty reply is the "nothing there" of each command, which is what a request
    // naming something absent deserves; a storage failure gets it too, so the client
    // goes on, but the log tells it apart.
    ctx.StoreFailed(route->name, e);
  } catch (const std::exception& e) {
    ctx.Log(std::string("failed ") + route->name + ": " + e.what());
  }
  if (!reply && route->empty != nullptr) reply = EmptyReplyFor(*route, request);
  co_return reply;
}

}  // namespace orvenda::server
