#include "net/handlers/handler_context.h"

namespace orvenda::server {

bool HandlerContext::CanRead(std::int32_t layerId, std::string_view command) const {
  if (!conn.mapOpen) {
    Refused(command, "no map open on this connection");
    return false;
  }
  if (AccessOf(layerId) == AccessLevel::NoAccess) {
    Refused(command, "account " + std::to_string(conn.userId) + " has no access to layer " +
                         std::to_string(layerId));
    return false;
  }
  return true;
}

AccessLevel HandlerContext::AccessOf(std::int32_t layerId) const {
  const auto now = services.clock.Now();
  auto it = conn.access.find(layerId);
  if (it == conn.access.end() || now - it->second.read > ConnectionState::kAccessFresh) {
    const AccessLevel level = store.AccessLevelOf(conn.userId, layerId);
    it = conn.access.insert_or_assign(layerId, ConnectionState::KnownAccess{level, now}).first;
  }
  return it->second.level;
}

std::optional<std::int32_t> HandlerContext::AccountOf(std::int32_t handle, std::string_view command,
                                                      bool attach) {
  LoginThrottle& throttle = services.throttle;
  if (throttle.AddressBlocked(conn.address)) {
    Refused(command, "too many failed logins from this address");
    return std::nullopt;
  }
  const auto account = attach ? services.handles.Attach(handle) : services.handles.Lookup(handle);
  if (!account) {
    throttle.GuessedHandle(conn.address);
    Refused(command, "unknown user ID");
  }
  return account;
}

void HandlerContext::Log(std::string_view text) const {
  std::string line = "[conn " + std::to_string(conn.id) + " " + conn.peer + "] ";
  line += text;
  services.log.Line(line);
}

void HandlerContext::Refused(std::string_view command, std::string_view why) const {
  Log(std::string("refused ") + std::string(command) + ": " + std::string(why));
}

void HandlerContext::Malformed(std::string_view command, std::string_view why) const {
  Log(std::string("malformed ") + std::string(command) + ": " + std::string(why));
}

void HandlerContext::StoreFailed(std::string_view command, const StoreError& error) const {
  const std::string why = std::string(StoreFaultName(error.Kind())) + ": " + error.what();
  if (error.Kind() == StoreFault::StorageFailure) {
    Log("failed " + std::string(command) + ": " + why);
  } else {
    Refused(command, why);
  }
}

}  // namespace orvenda::server
