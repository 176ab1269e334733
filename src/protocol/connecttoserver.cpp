#include "protocol/connecttoserver.h"

namespace orvenda {
namespace {

constexpr std::int32_t kSecondsPerDay = 24 * 3600;

bool IsUsable(int state) { return state == Connection::kConnected || state == Connection::kOpen; }

// Seconds from `start` to `now`, both seconds of the day; a wait that crosses
// midnight still counts forward.
std::int32_t Elapsed(std::int32_t start, std::int32_t now) {
  return ((now - start) % kSecondsPerDay + kSecondsPerDay) % kSecondsPerDay;
}

}  // namespace

bool ConnectToServer(Connection& sock, const std::string& host, std::int32_t port,
                     const Clock& clock, EventPump& pump) {
  if (sock.state() == Connection::kClosed || sock.state() == Connection::kClosing) {
    sock.Close();
    sock.SetRemote(host, port);
    sock.Connect();
  }
  const std::int32_t start = clock.SecondsOfDay();
  while (!IsUsable(sock.state()) &&
         Elapsed(start, clock.SecondsOfDay()) < kConnectTimeLimitSeconds) {
    pump.ProcessEvents();
    if (sock.state() == Connection::kError) return false;
  }
  return Elapsed(start, clock.SecondsOfDay()) < kConnectTimeLimitSeconds;
}

std::string ConnectionFailureText() {
  return "Error: Unable to connect to map server.\n"
         "\n"
         "Orvenda uses port 1001 to communicate with the map\n"
         "server and now this port is blocked.\n"
         "May be the port is blocked by: \n"
         "\t1.- Network Firewall or personal Firewall\n"
         "\t2.- Network Proxy\n"
         "\n"
         "Please contact your LAN Manager to enable the port 1001\n"
         "to communicate between your computer and Orvenda.";
}

void ShowConnectionFailure(Interaction& ui) {
  ui.MessageBox(ConnectionFailureText(), "Orvenda Viewer", MessageIcon::Critical,
                MessageButtons::Ok);
}

}  // namespace orvenda
