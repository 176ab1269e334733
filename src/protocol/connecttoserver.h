#pragma once
// Connecting a socket to the map server within the time limit.

#include <cstdint>
#include <string>

#include "protocol/connection.h"
#include "protocol/interaction.h"
#include "protocol/timing.h"

namespace orvenda {

inline constexpr std::int32_t kConnectTimeLimitSeconds = 60;

// Connects when the socket is closed or closing (any other state is left alone)
// and waits, letting events run, until it is open or connected. False on a socket
// error or when the time limit passes. The limit survives midnight.
bool ConnectToServer(Connection& sock, const std::string& host, std::int32_t port,
                     const Clock& clock, EventPump& pump);

// The text shown when the map server cannot be reached.
std::string ConnectionFailureText();
// Shows it: critical icon, titled "Orvenda Viewer", OK only.
void ShowConnectionFailure(Interaction& ui);

}  // namespace orvenda
