// The login control's exchange under an arbitrary reply. The input's first byte is the
// library version the control has (so that the server's required version falls on either
// side of it); the next four, the sizes of the pieces; the rest is the server's stream.
#include <algorithm>

#include "fuzz.h"
#include "protocol/loginexchange.h"
#include "support/fakes.h"
#include "support/memoryconnection.h"

using namespace orvenda;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  testing::MemoryConnection sock;
  testing::ScriptedInteraction ui;
  testing::FakeClock clock;
  testing::FakePump pump;
  const Version own{static_cast<std::int16_t>(data[0] & 3),
                    static_cast<std::int16_t>(data[0] >> 2 & 7),
                    static_cast<std::int16_t>(data[0] >> 5)};
  int outcomes = 0;
  {
    LoginExchange login(sock, ui, clock, pump, own);
    login.SetLoginResponse([&](const LoginResult& r) {
      ++outcomes;
      fuzz::Require(sock.state() == Connection::kClosed, "the socket is closed before the outcome");
      const std::size_t maps = r.LIDUser >= 1 ? std::max<int>(0, r.iCantMapas) : 0;
      fuzz::Require(r.lMapCodes.size() == maps && r.sMapNames.size() == maps,
                    "one name and one code for each map of an accepted login, none otherwise");
    });
    fuzz::Require(login.Checklogin("localhost", 1001, "ana", "secreta"), "the login is sent");
    fuzz::InPieces(data + 1, size - 1, [&](const fuzz::Bytes& piece) { sock.Deliver(piece); });
  }
  fuzz::Require(outcomes <= 1, "the outcome is told once at most");
  return 0;
}
