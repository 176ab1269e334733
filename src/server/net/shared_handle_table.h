#pragma once
// SharedHandleTable: the login handles of server processes that share one database,
// kept in it, so that a handle issued by one process opens a map on another. Its
// times are the server clock's, set against the wall clock when the table is made:
// the processes agree on the wall clock, and tests still move the server clock.

#include <memory>
#include <mutex>

#include "net/handle_table.h"
#include "store/shared_site.h"
#include "store/store.h"

namespace orvenda::server {

class SharedHandleTable final : public HandleTable {
 public:
  // `store` is this table's own connection (the network threads use theirs).
  SharedHandleTable(std::unique_ptr<Store> store, std::chrono::milliseconds lifetime,
                    const ServerClock& clock = SteadyServerClock());

  std::int32_t Issue(std::int32_t userId) override;
  std::optional<std::int32_t> Lookup(std::int32_t handle) override;
  std::optional<std::int32_t> Attach(std::int32_t handle) override;
  void Detach(std::int32_t handle) override;
  std::size_t Size() override;

 private:
  std::int64_t Now() const;  // milliseconds of the wall clock, as the server clock runs

  std::unique_ptr<Store> store_;
  SharedSite& site_;
  std::chrono::milliseconds lifetime_;
  const ServerClock& clock_;
  std::chrono::system_clock::time_point wallAtStart_;
  ServerClock::TimePoint clockAtStart_;
  std::mutex mutex_;  // one connection for every network thread
  std::size_t issuedSinceSweep_ = 0;
};

}  // namespace orvenda::server
