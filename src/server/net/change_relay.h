#pragma once
// ChangeRelay: where the changes of a database shared by several server processes
// enter this process's ChangeFeed. A thread of its own waits on the database's
// notifications and hands every committed change, this process's own included, to the
// feed in commit order: an edit reaches each viewer once, and two edits of one element
// made on two processes reach every viewer in the order they were stored. A lost
// connection is logged, opened again (the store backs off) and caught up from the log.

#include <atomic>
#include <memory>
#include <thread>

#include "net/change_feed.h"
#include "net/server_log.h"
#include "store/shared_site.h"
#include "store/store.h"

namespace orvenda::server {

class ChangeRelay {
 public:
  ChangeRelay(std::unique_ptr<ChangeWatch> watch, ChangeFeed& feed, ServerLog& log);
  ~ChangeRelay();  // stops the thread
  ChangeRelay(const ChangeRelay&) = delete;
  ChangeRelay& operator=(const ChangeRelay&) = delete;

 private:
  void Run();

  std::unique_ptr<ChangeWatch> watch_;
  ChangeFeed& feed_;
  ServerLog& log_;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};

}  // namespace orvenda::server
