#include "net/change_relay.h"

#include <chrono>

namespace orvenda::server {
namespace {

using namespace std::chrono_literals;

// How long one wait lasts; stopping interrupts it anyway.
constexpr auto kWait = 1s;
// Between the attempts of a relay whose database is away (the store's back-off decides
// when it really tries).
constexpr auto kIdleAfterFailure = 50ms;

}  // namespace

ChangeRelay::ChangeRelay(std::unique_ptr<ChangeWatch> watch, ChangeFeed& feed, ServerLog& log)
    : watch_(std::move(watch)), feed_(feed), log_(log) {
  log_.Line("change feed: listening as database backend " + std::to_string(watch_->BackendPid()));
  thread_ = std::thread([this] { Run(); });
}

ChangeRelay::~ChangeRelay() {
  stopping_ = true;
  watch_->Interrupt();
  thread_.join();
}

void ChangeRelay::Run() {
  std::int64_t last = 0;  // the sequence of the change delivered last; 0 before the first
  int backend = watch_->BackendPid();
  bool lost = false;
  while (!stopping_) {
    std::vector<LoggedChange> changes;
    try {
      changes = watch_->Next(kWait);
    } catch (const StoreError& e) {
      if (!lost) log_.Line(std::string("change feed lost: ") + e.what());
      lost = true;
      std::this_thread::sleep_for(kIdleAfterFailure);
      continue;
    }
    lost = false;
    if (watch_->BackendPid() != backend) {
      backend = watch_->BackendPid();
      log_.Line("change feed: listening again as database backend " + std::to_string(backend) +
                ", " + std::to_string(changes.size()) + " changes caught up");
    }
    for (const LoggedChange& c : changes) {
      if (last > 0 && c.sequence > last + 1)
        log_.Line("change feed: changes " + std::to_string(last + 1) + " to " +
                  std::to_string(c.sequence - 1) + " were pruned before they were read");
      last = c.sequence;
      feed_.Publish(c.layerId, std::make_shared<const DWBUffer>(
                                   DWBUffer::Bytes(c.message.begin(), c.message.end())));
    }
  }
}

}  // namespace orvenda::server
