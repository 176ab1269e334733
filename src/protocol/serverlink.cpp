#include "protocol/serverlink.h"

#include "protocol/catalogue.h"
#include "protocol/connecttoserver.h"

namespace orvenda {

DWBUffer BuildRequest(std::int16_t code, const ServerLink::Fields& fields) {
  DWBUffer request;
  request.CrearHeader();
  request.PutInteger(code);
  if (fields) fields(request);
  request.cerrarMensaje(0);
  return request;
}

ServerLink::ServerLink(Connection& sock, ViewerContext& viewer, Interaction& ui, const Clock& clock,
                       EventPump& pump, ReceiverLimits limits)
    : sock_(sock),
      viewer_(viewer),
      ui_(ui),
      clock_(clock),
      pump_(pump),
      receiver_(viewer, limits),
      dispatcher_(ui) {
  receiver_.SetDeliver([this](DWBUffer& message) {
    if (dispatcher_.ProcessServerMessage(message)) faultShown_ = false;
  });
  receiver_.SetFault([this](const std::string& text) { ReportFault(text); });
  dispatcher_.SetFault([this](const std::string& text) { ReportFault(text); });
  dispatcher_.SetLater([this](std::function<void()> action) { AfterReceive(std::move(action)); });
  sock_.SetDataArrival([this] { OnDataArrival(); });
  sock_.SetLost([this] {
    // What came before the end is still handed over; an unfinished message is not.
    if (sock_.BytesAvailable() > 0) OnDataArrival();
    receiver_.StreamEnded();
    GiveUpWaiting(
        "Se perdió la conexión con el servidor. Al volver a navegar el mapa se conectará "
        "de nuevo.");
  });
}

ServerLink::~ServerLink() {
  sock_.SetDataArrival(nullptr);
  sock_.SetLost(nullptr);
}

bool ServerLink::ConnectToServer(const std::string& host, std::int32_t port) {
  return orvenda::ConnectToServer(sock_, host, port, clock_, pump_);
}

bool ServerLink::SendToServer(std::int16_t code, const Fields& fields) {
  return Send(code, BuildRequest(code, fields));
}

bool ServerLink::SendToServer(const DWBUffer& request) {
  // The code follows the 8 bytes of magic and length, little-endian.
  const auto& bytes = request.bytes();
  return Send(static_cast<std::int16_t>(bytes.at(8) | bytes.at(9) << 8), request);
}

bool ServerLink::Send(std::int16_t code, const DWBUffer& request) {
  const bool counted = IsCountedRequest(code);
  if (counted) viewer_.SetPendingRequests(viewer_.PendingRequests() + 1);
  const int state = sock_.state();
  if (state != Connection::kConnected && state != Connection::kOpen) {
    if (!ConnectToServer(sock_.RemoteHost(), sock_.RemotePort())) {
      // The request is lost; counting it would leave the viewer waiting for ever.
      if (counted) viewer_.SetPendingRequests(viewer_.PendingRequests() - 1);
      ShowConnectionFailure(ui_);
      return false;
    }
    if (reconnected_) reconnected_();
  }
  sock_.SendData(request.bytes());
  lastActivity_ = clock_.SecondsOfDay();
  return true;
}

void ServerLink::CheckReplyTime() {
  constexpr std::int32_t kDay = 24 * 3600;
  const std::int32_t waited = ((clock_.SecondsOfDay() - lastActivity_) % kDay + kDay) % kDay;
  if (waited >= kReplyTimeLimitSeconds) {
    GiveUpWaiting("El servidor no respondió a tiempo. Puede intentarlo de nuevo.");
  }
}

void ServerLink::GiveUpWaiting(const std::string& text) {
  if (viewer_.PendingRequests() <= 0) return;
  // Replies that still come are handled as usual and never count below 0.
  viewer_.SetPendingRequests(0);
  viewer_.ShowReadingData(false);
  viewer_.RestoreToolPointer();
  dispatcher_.Tell(text, "Orvenda Viewer", MessageIcon::Exclamation);
}

void ServerLink::OnDataArrival() {
  lastActivity_ = clock_.SecondsOfDay();
  ++arrivals_;
  struct Done {
    int& arrivals;
    ~Done() { --arrivals; }
  };
  {
    Done done{arrivals_};
    receiver_.OnDataArrival(sock_);
  }
  // An arrival nested in a handler (one that let events run) ends inside the
  // outer one's split loop: the outer arrival runs the actions.
  if (arrivals_ == 0) RunAfterReceive();
}

void ServerLink::AfterReceive(std::function<void()> action) {
  afterReceive_.push_back(std::move(action));
  if (arrivals_ == 0) RunAfterReceive();
}

void ServerLink::RunAfterReceive() {
  // An arrival during a modal wait leaves its actions to the running loop.
  if (runningAfter_) return;
  runningAfter_ = true;
  struct Done {
    bool& running;
    ~Done() { running = false; }
  } done{runningAfter_};
  while (!afterReceive_.empty()) {
    const std::function<void()> action = std::move(afterReceive_.front());
    afterReceive_.pop_front();
    action();
  }
}

// One message box per broken stretch of the stream, not one per bad message.
void ServerLink::ReportFault(const std::string& text) {
  if (faultShown_) return;
  faultShown_ = true;
  dispatcher_.Tell(text, "Orvenda Viewer", MessageIcon::Exclamation);
}

}  // namespace orvenda
