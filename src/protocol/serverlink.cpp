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
  sock_.SetDataArrival([this] { receiver_.OnDataArrival(sock_); });
}

ServerLink::~ServerLink() { sock_.SetDataArrival(nullptr); }

bool ServerLink::ConnectToServer(const std::string& host, std::int32_t port) {
  return orvenda::ConnectToServer(sock_, host, port, clock_, pump_);
}

bool ServerLink::SendToServer(std::int16_t code, const Fields& fields) {
  const bool counted = IsCountedRequest(code);
  if (counted) viewer_.SetPendingRequests(viewer_.PendingRequests() + 1);
  const DWBUffer request = BuildRequest(code, fields);
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
  return true;
}

// One message box per broken stretch of the stream, not one per bad message.
void ServerLink::ReportFault(const std::string& text) {
  if (faultShown_) return;
  faultShown_ = true;
  ui_.MessageBox(text, "Orvenda Viewer", MessageIcon::Exclamation, MessageButtons::Ok);
}

}  // namespace orvenda
