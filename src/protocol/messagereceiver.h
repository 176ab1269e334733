#pragma once
// MessageReceiver: turns the bytes of one connection, arriving in pieces of any
// size, into whole messages handed over in order, each exactly once.
//
// A stream that breaks (bytes that are not a message start, a declared length
// below the header-and-code size or above the configured maximum) is dropped up
// to the next "MIC " and reported once; nothing a peer merely declares is ever
// allocated.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "protocol/connection.h"
#include "protocol/dwbuffer.h"
#include "protocol/framing.h"
#include "protocol/viewercontext.h"

namespace orvenda {

struct ReceiverLimits {
  std::int32_t maxMessage = framing::kDefaultMaxMessage;
};

class MessageReceiver {
 public:
  using Deliver = std::function<void(DWBUffer&)>;
  using Fault = std::function<void(const std::string&)>;

  MessageReceiver(ViewerContext& viewer, ReceiverLimits limits = {});
  // A receiver that belongs to no viewer (the login control, the server).
  explicit MessageReceiver(ReceiverLimits limits = {}) : viewer_(nullptr), limits_(limits) {}

  void SetDeliver(Deliver deliver) { deliver_ = std::move(deliver); }
  void SetFault(Fault fault) { fault_ = std::move(fault); }

  // The data-arrival event of the socket: takes every available byte and hands
  // over each message completed by them.
  void OnDataArrival(Connection& sock);
  // The same for bytes that come from elsewhere (benchmarks, the login control).
  void Receive(const std::uint8_t* data, std::size_t n);

  // The connection the bytes came from has ended: a message it left unfinished
  // is dropped, so that the next connection's stream starts clean.
  void StreamEnded();

  // 1 while a message has started and is not complete.
  int receiving() const { return receiving_; }
  // Declared length of the message under way; -1 while its header is incomplete.
  std::int32_t expectedLength() const { return expected_; }
  // Bytes held that belong to messages not yet handed over.
  std::size_t heldBytes() const { return acc_.size() - head_; }

 private:
  void Parse();
  bool ReadHeader();
  void DropToNextMagic();
  void HandOver(bool lastHeld);
  void Compact();

  ViewerContext* viewer_;  // null when no viewer shows the traffic
  ReceiverLimits limits_;
  Deliver deliver_;
  Fault fault_;

  std::vector<std::uint8_t> acc_;
  std::size_t head_ = 0;  // first byte of acc_ not yet handed over
  std::int32_t expected_ = -1;
  int receiving_ = 0;
  bool parsing_ = false;        // a handler may pump events and bring more data in
  bool faultReported_ = false;  // once per broken stretch of the stream
  bool ended_ = false;          // the stream ended during a pass: drop the rest after it
};

}  // namespace orvenda
