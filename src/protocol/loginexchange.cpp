#include "protocol/loginexchange.h"

#include "protocol/catalogue.h"
#include "protocol/connecttoserver.h"
#include "protocol/protocolerror.h"
#include "protocol/serverlink.h"

namespace orvenda {

std::int16_t CheckVersion(const Version& own, const Version& required) {
  if (own.major < required.major) return -1;
  if (own.major == required.major && own.minor < required.minor) return -1;
  if (own.major == required.major && own.minor == required.minor &&
      own.revision < required.revision) {
    return 0;
  }
  return 1;
}

LoginExchange::LoginExchange(Connection& sock, Interaction& ui, const Clock& clock, EventPump& pump,
                             Version own)
    : sock_(sock), ui_(ui), clock_(clock), pump_(pump), own_(own) {
  receiver_.SetDeliver([this](DWBUffer& reply) {
    // The login connection carries one reply; anything after it is not read.
    if (!awaitingReply_) return;
    awaitingReply_ = false;
    ReadReply(reply);
  });
  sock_.SetDataArrival([this] { receiver_.OnDataArrival(sock_); });
}

LoginExchange::~LoginExchange() {
  sock_.SetDataArrival(nullptr);
  sock_.Close();
  // Bounded: a socket that never reports closed must not hang the program.
  const std::int32_t start = clock_.SecondsOfDay();
  while (sock_.state() != Connection::kClosed) {
    const std::int32_t elapsed = (clock_.SecondsOfDay() - start + 86400) % 86400;
    if (elapsed >= kConnectTimeLimitSeconds) break;
    pump_.ProcessEvents();
  }
}

bool LoginExchange::Checklogin(const std::string& RemoteHost, std::int32_t RemotePort,
                               const std::string& login, const std::string& passwd) {
  if (!ConnectToServer(sock_, RemoteHost, RemotePort, clock_, pump_)) {
    sock_.Close();
    ShowConnectionFailure(ui_);
    return false;
  }
  awaitingReply_ = true;
  const DWBUffer request = BuildRequest(cmd::kLogin, [&](DWBUffer& b) {
    b.PutString(login);
    b.PutString(passwd);
  });
  sock_.SendData(request.bytes());
  return true;
}

void LoginExchange::ReadReply(DWBUffer& reply) {
  LoginResult result;
  try {
    reply.GetLong();
    reply.GetLong();
    if (reply.GetInteger() != cmd::kLoginReply) {
      result.LIDUser = kLoginOtherReply;
      return Finish(result);
    }
    result.LIDUser = reply.GetLong();
    if (result.LIDUser < 1) return Finish(result);

    Version required{};
    required.major = reply.GetInteger();
    required.minor = reply.GetInteger();
    required.revision = reply.GetInteger();
    const std::int16_t check = CheckVersion(own_, required);
    if (check == -1) {
      ui_.MessageBox("Imprescindible Instalar nueva version", "Orvenda Inc.", MessageIcon::Critical,
                     MessageButtons::Ok);
      return Finish(LoginResult{kLoginLibraryTooOld, -1, {}, {}});
    }
    if (check == 0) {
      ui_.MessageBox("Recomendable Instalar nueva version", "Orvenda Inc.", MessageIcon::Critical,
                     MessageButtons::Ok);
    }
    result.iCantMapas = reply.GetInteger();
    for (int i = 0; i < result.iCantMapas; ++i) {
      result.lMapCodes.push_back(reply.GetLong());
      result.sMapNames.push_back(reply.GetString());
    }
  } catch (const ProtocolError&) {
    // A reply cut short is no login: report it as an unexpected reply.
    return Finish(LoginResult{kLoginOtherReply, -1, {}, {}});
  }
  Finish(result);
}

void LoginExchange::Finish(const LoginResult& result) {
  sock_.Close();
  if (response_) response_(result);
}

}  // namespace orvenda
