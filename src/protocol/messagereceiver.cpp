#include "protocol/messagereceiver.h"

#include <algorithm>
#include <utility>

namespace orvenda {

MessageReceiver::MessageReceiver(ViewerContext& viewer, ReceiverLimits limits)
    : viewer_(&viewer), limits_(limits) {}

void MessageReceiver::OnDataArrival(Connection& sock) {
  if (parsing_) {
    // A handler let events run and more bytes came in: the running pass takes them.
    while (sock.BytesAvailable() > 0) {
      const auto bytes = sock.GetAll();
      acc_.insert(acc_.end(), bytes.begin(), bytes.end());
    }
    return;
  }
  if (viewer_) {
    viewer_->ShowReadingData(true);
    if (receiving_ == 1) {
      const bool green = viewer_->ReadingDataColour() == kReadingGreen;
      viewer_->SetReadingDataColour(green ? kReadingRed : kReadingGreen);
    }
  }
  // Everything available, not just what one event announced: a socket signals only
  // new data, so bytes left behind would wait for ever.
  while (sock.BytesAvailable() > 0) {
    const auto bytes = sock.GetAll();
    acc_.insert(acc_.end(), bytes.begin(), bytes.end());
  }
  Parse();
  if (viewer_ && viewer_->PendingRequests() == 0) {
    viewer_->RestoreToolPointer();
    viewer_->FinishLoadingPass();
  }
}

void MessageReceiver::Receive(const std::uint8_t* data, std::size_t n) {
  acc_.insert(acc_.end(), data, data + n);
  if (!parsing_) Parse();
}

void MessageReceiver::Parse() {
  struct Reset {
    MessageReceiver& r;
    ~Reset() {
      r.Compact();
      r.parsing_ = false;
      if (std::exchange(r.ended_, false)) r.StreamEnded();
    }
  } reset{*this};
  parsing_ = true;
  while (true) {
    if (expected_ < 0 && !ReadHeader()) break;
    const std::size_t need = static_cast<std::size_t>(expected_);
    if (heldBytes() < need) break;
    HandOver(heldBytes() == need);
  }
}

// Reads the header of the next message when all 8 bytes are held; drops what
// cannot be the start of a message on the way.
bool MessageReceiver::ReadHeader() {
  while (true) {
    const framing::HeaderCheck check =
        framing::CheckHeader(acc_.data() + head_, heldBytes(), limits_.maxMessage);
    if (check.frame == framing::Frame::NeedMore) return false;
    if (check.frame == framing::Frame::Broken) {
      // Junk between messages is dropped quietly; a header that lies about its
      // length is reported, once per broken stretch.
      if (!check.badMagic) {
        if (!faultReported_ && fault_) {
          fault_("The map server sent a message with an impossible length (" +
                 std::to_string(check.length) + " bytes); it was dropped.");
        }
        faultReported_ = true;
        head_ += framing::kMagic.size();
      }
      DropToNextMagic();
      continue;
    }
    expected_ = check.length;
    receiving_ = 1;
    return true;
  }
}

void MessageReceiver::DropToNextMagic() {
  const auto begin = acc_.begin() + static_cast<std::ptrdiff_t>(head_);
  const auto found = std::search(begin + (begin == acc_.end() ? 0 : 1), acc_.end(),
                                 framing::kMagic.begin(), framing::kMagic.end());
  if (found != acc_.end()) {
    head_ = static_cast<std::size_t>(found - acc_.begin());
  } else {
    // The last three bytes may be the start of a magic still arriving.
    head_ = std::max(head_ + 1, acc_.size() >= 3 ? acc_.size() - 3 : 0);
    head_ = std::min(head_, acc_.size());
  }
}

void MessageReceiver::HandOver(bool lastHeld) {
  const std::size_t length = static_cast<std::size_t>(expected_);
  DWBUffer message;
  if (head_ == 0 && acc_.size() == length) {
    message.buffer(std::move(acc_));  // the common case: no copy at all
    acc_.clear();
  } else {
    const auto first = acc_.begin() + static_cast<std::ptrdiff_t>(head_);
    message.buffer(DWBUffer::Bytes(first, first + static_cast<std::ptrdiff_t>(length)));
    head_ += length;
  }
  expected_ = -1;
  if (viewer_) viewer_->SetMousePointer(kPointerArrowHourglass);
  if (lastHeld) {
    receiving_ = 0;
    if (viewer_) {
      viewer_->SetMousePointer(kPointerDefault);
      viewer_->ShowReadingData(false);
    }
  }
  faultReported_ = false;
  if (deliver_) deliver_(message);
}

void MessageReceiver::StreamEnded() {
  if (parsing_) {
    ended_ = true;
    return;
  }
  acc_.clear();
  head_ = 0;
  expected_ = -1;
  receiving_ = 0;
}

void MessageReceiver::Compact() {
  if (head_ == 0) return;
  if (head_ >= acc_.size()) {
    acc_.clear();
  } else {
    acc_.erase(acc_.begin(), acc_.begin() + static_cast<std::ptrdiff_t>(head_));
  }
  head_ = 0;
}

}  // namespace orvenda
