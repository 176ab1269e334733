#include "protocol/changepassword.h"

#include "protocol/catalogue.h"

namespace orvenda {

bool SendChangePassword(ServerLink& link, std::int32_t IDUser, const std::string& OldPassword,
                        const std::string& NewPassword) {
  return link.SendToServer(cmd::kChangePassword, [&](DWBUffer& b) {
    b.PutLong(IDUser);
    b.PutString(OldPassword);
    b.PutString(NewPassword);
  });
}

void HandleChangePasswordReply(DWBUffer& reply, Dispatcher& dispatcher) {
  const std::int16_t result = reply.GetInteger();
  const char* text = result == 0   ? "Password succesfully changed"
                     : result == 1 ? "Wrong Password. Please try again"
                                   : nullptr;
  if (text) dispatcher.Tell(text, "Change Password", MessageIcon::Information);
}

}  // namespace orvenda
