#pragma once
// The command catalogue shared by the client and the server: every command code
// with its direction and whether it is counted in PendingRequests.

#include <cstdint>
#include <optional>
#include <span>

namespace orvenda {

enum class Direction { ClientToServer, ServerToClient };

struct CommandInfo {
  std::int16_t code;
  Direction direction;
  // A counted request raises PendingRequests when sent; its reply lowers it.
  bool counted;
  const char* name;
};

namespace cmd {
// Requests.
inline constexpr std::int16_t kMapDefinition = 1;
inline constexpr std::int16_t kCell = 2;
inline constexpr std::int16_t kElementAttributes = 4;
inline constexpr std::int16_t kCellValues = 5;
inline constexpr std::int16_t kFieldValues = 6;
inline constexpr std::int16_t kOpenMap = 10;
inline constexpr std::int16_t kAccessLevels = 11;
inline constexpr std::int16_t kLogin = 12;
inline constexpr std::int16_t kFindByCondition = 13;
inline constexpr std::int16_t kMultipleSelection = 14;
inline constexpr std::int16_t kElementExtent = 15;
inline constexpr std::int16_t kChangePassword = 120;
inline constexpr std::int16_t kNewPoint = 205;
inline constexpr std::int16_t kNewLine = 206;
inline constexpr std::int16_t kNewArea = 207;
inline constexpr std::int16_t kChangeGeometry = 208;
inline constexpr std::int16_t kEraseElement = 210;
inline constexpr std::int16_t kChangeAttributes = 220;
inline constexpr std::int16_t kPickedRowsEdit = 221;
inline constexpr std::int16_t kFindAddress = 230;
inline constexpr std::int16_t kSaveMap = 240;
// Replies and pushed messages.
inline constexpr std::int16_t kMapDefinitionReply = 101;
inline constexpr std::int16_t kCellReply = 102;
inline constexpr std::int16_t kFieldsReply = 103;
inline constexpr std::int16_t kElementAttributesReply = 104;
inline constexpr std::int16_t kCellValuesReply = 105;
inline constexpr std::int16_t kFieldValuesReply = 106;
inline constexpr std::int16_t kIgnored107 = 107;
inline constexpr std::int16_t kIgnored108 = 108;
inline constexpr std::int16_t kThemesReply = 109;
inline constexpr std::int16_t kOpenMapReply = 110;
inline constexpr std::int16_t kAccessLevelsReply = 111;
inline constexpr std::int16_t kLoginReply = 112;
inline constexpr std::int16_t kFindByConditionReply = 113;
inline constexpr std::int16_t kMultipleSelectionReply = 114;
inline constexpr std::int16_t kElementExtentReply = 115;
inline constexpr std::int16_t kChangePasswordReply = 121;
inline constexpr std::int16_t kFindAddressReply = 231;
inline constexpr std::int16_t kSaveMapReply = 241;
inline constexpr std::int16_t kLayerChanged = 250;
}  // namespace cmd

// Every command, in code order.
std::span<const CommandInfo> Commands();
// The catalogue entry of a code, or nothing for a code the protocol does not know.
std::optional<CommandInfo> FindCommand(std::int16_t code);
// True for a request whose reply the client waits for.
bool IsCountedRequest(std::int16_t code);

}  // namespace orvenda
