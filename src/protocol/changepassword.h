#pragma once
// Changing the password on a viewer's connection: request 120 and reply 121.

#include <cstdint>
#include <string>

#include "protocol/dispatcher.h"
#include "protocol/interaction.h"
#include "protocol/serverlink.h"

namespace orvenda {

// Sends request 120 (not counted) with the viewer's user ID.
bool SendChangePassword(ServerLink& link, std::int32_t IDUser, const std::string& OldPassword,
                        const std::string& NewPassword);

// Shows the result of reply 121: 0 changed, 1 wrong old password, other values nothing.
void HandleChangePasswordReply(DWBUffer& reply, Interaction& ui);

inline void RegisterChangePasswordReply(Dispatcher& dispatcher, Interaction& ui) {
  dispatcher.Register(121, [&ui](DWBUffer& reply) { HandleChangePasswordReply(reply, ui); });
}

}  // namespace orvenda
