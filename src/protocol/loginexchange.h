#pragma once
// LoginExchange: the logic of the `login` control. It connects on its own socket,
// sends one login request, reads the one reply, checks the library version the
// server requires, closes the socket and reports the outcome once.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "protocol/connection.h"
#include "protocol/dwbuffer.h"
#include "protocol/interaction.h"
#include "protocol/messagereceiver.h"
#include "protocol/timing.h"
#include "protocol/version.h"

namespace orvenda {

// What LoginResponse carries. The map lists hold the n maps in order (0-based);
// they are empty when n is 0 or the login failed.
struct LoginResult {
  std::int32_t LIDUser = 0;
  std::int16_t iCantMapas = -1;
  std::vector<std::string> sMapNames;
  std::vector<std::int32_t> lMapCodes;
};

// Outcomes carried in LIDUser besides a refusal by the server.
inline constexpr std::int32_t kLoginOtherReply = -1;
inline constexpr std::int32_t kLoginLibraryTooOld = -2;

class LoginExchange {
 public:
  using Response = std::function<void(const LoginResult&)>;

  LoginExchange(Connection& sock, Interaction& ui, const Clock& clock, EventPump& pump,
                Version own = kLibraryVersion);
  // Closes the socket and waits (letting events run) until it reports closed.
  ~LoginExchange();
  LoginExchange(const LoginExchange&) = delete;
  LoginExchange& operator=(const LoginExchange&) = delete;

  void SetLoginResponse(Response response) { response_ = std::move(response); }

  // Returns once the request is sent; the outcome arrives through LoginResponse.
  // When the server cannot be reached the user is told, no outcome follows and
  // the answer is false.
  bool Checklogin(const std::string& RemoteHost, std::int32_t RemotePort, const std::string& login,
                  const std::string& passwd);

  int receiving() const { return receiver_.receiving(); }

 private:
  void ReadReply(DWBUffer& reply);
  void Finish(const LoginResult& result);

  Connection& sock_;
  Interaction& ui_;
  const Clock& clock_;
  EventPump& pump_;
  Version own_;
  MessageReceiver receiver_;
  Response response_;
  bool awaitingReply_ = false;
};

}  // namespace orvenda
