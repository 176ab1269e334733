#pragma once
// ServerLink: one viewer's conversation with the map server. It owns the receiver
// and the dispatcher of that connection and is the one send step of every request.

#include <cstdint>
#include <deque>
#include <functional>
#include <string>

#include "protocol/connection.h"
#include "protocol/dispatcher.h"
#include "protocol/dwbuffer.h"
#include "protocol/interaction.h"
#include "protocol/messagereceiver.h"
#include "protocol/timing.h"
#include "protocol/viewercontext.h"

namespace orvenda {

class ServerLink {
 public:
  using Fields = std::function<void(DWBUffer&)>;
  using Reconnected = std::function<void()>;

  ServerLink(Connection& sock, ViewerContext& viewer, Interaction& ui, const Clock& clock,
             EventPump& pump, ReceiverLimits limits = {});
  ~ServerLink();
  ServerLink(const ServerLink&) = delete;
  ServerLink& operator=(const ServerLink&) = delete;

  bool ConnectToServer(const std::string& host, std::int32_t port);

  // Builds the request (header, code, fields, length) and sends it in one piece,
  // reconnecting first when the socket is not connected. A counted request raises
  // PendingRequests. Returns false when the server could not be reached: the user
  // has been told and the request is not counted.
  bool SendToServer(std::int16_t code, const Fields& fields = {});
  // The same for a request already built whole by one of the message writers.
  bool SendToServer(const DWBUffer& request);
  // Runs `action` once the receive routine has handed over every message of the
  // arrival under way (at once outside an arrival). Reply handlers open their
  // windows through it: a modal wait lets socket events run, and they must find
  // the receiver between messages, not halfway through its split loop. Actions run
  // in the order of their messages; one that arrives during another's modal wait
  // waits its turn.
  void AfterReceive(std::function<void()> action);
  // Runs after SendToServer had to connect again and before its request goes:
  // the server keeps what a client opened with the connection, so a new
  // connection must be given it back first.
  void SetReconnected(Reconnected hook) { reconnected_ = std::move(hook); }

  // Gives up on counted requests when no byte has come for kReplyTimeLimitSeconds
  // since the last request or arrival: a server that never answers must not
  // leave the viewer waiting (and dead to the user) for ever. The owner calls it
  // every few seconds.
  void CheckReplyTime();
  static constexpr std::int32_t kReplyTimeLimitSeconds = 60;

  Dispatcher& dispatcher() { return dispatcher_; }
  MessageReceiver& receiver() { return receiver_; }
  Connection& connection() { return sock_; }

 private:
  void ReportFault(const std::string& text);
  // The connection ended or the server fell silent: nothing pending is coming.
  void GiveUpWaiting(const std::string& text);
  bool Send(std::int16_t code, const DWBUffer& request);
  void OnDataArrival();
  void RunAfterReceive();

  Connection& sock_;
  ViewerContext& viewer_;
  Interaction& ui_;
  const Clock& clock_;
  EventPump& pump_;
  MessageReceiver receiver_;
  Dispatcher dispatcher_;
  Reconnected reconnected_;
  bool faultShown_ = false;
  std::deque<std::function<void()>> afterReceive_;
  int arrivals_ = 0;               // data-arrival events under way
  bool runningAfter_ = false;      // the queue is being run
  std::int32_t lastActivity_ = 0;  // seconds of the day of the last send or arrival
};

// Builds a whole request: header, code, fields, length field.
DWBUffer BuildRequest(std::int16_t code, const ServerLink::Fields& fields = {});

}  // namespace orvenda
