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

// Tells the result of reply 121: 0 changed, 1 wrong old password, other values nothing.
void HandleChangePasswordReply(DWBUffer& reply, Dispatcher& dispatcher);

// The dispatcher tells the result through its own Interaction, once the arrival
// is handed over; the second argument is kept for the callers.
inline void RegisterChangePasswordReply(Dispatcher& dispatcher, Interaction&) {
  dispatcher.Register(
      121, [&dispatcher](DWBUffer& reply) { HandleChangePasswordReply(reply, dispatcher); });
}

}  // namespace orvenda
