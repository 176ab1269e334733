// PgStore: what the server processes sharing the database share through it. An edit's
// transaction logs each change and notifies (NOTIFY is delivered when, and only if,
// the transaction commits, so no process hears of a change that was undone or misses
// one that was kept). Each process watches on a connection of its own, reads the
// logged changes in order and, after a lost connection, catches up from the log.
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include "store/pg_store.h"

namespace orvenda::server {
namespace {

constexpr const char* kChannel = "orvenda_changes";
// The log keeps what a watcher cut off from the database for a while still needs.
constexpr const char* kRetention = "1 hour";
constexpr std::int64_t kPruneEvery = 512;
// Changes handed out by one call of Next: a long catch-up comes in pieces.
constexpr int kBatch = 1000;

// A handle (l) lives until it expires (at the time in `now`, a parameter), and past that
// while a connection of a live process holds it.
std::string Live(const char* now) {
  return std::string("(l.expires > ") + now +
         " OR EXISTS (SELECT 1 FROM login_holds h JOIN pg_stat_activity a "
         "ON a.pid = h.backend WHERE h.handle = l.handle))";
}

class PgChangeWatch final : public ChangeWatch {
 public:
  explicit PgChangeWatch(const std::string& conninfo)
      : db_(conninfo), wake_(::eventfd(0, EFD_NONBLOCK)) {}
  ~PgChangeWatch() override { ::close(wake_); }

  std::vector<LoggedChange> Next(std::chrono::milliseconds wait) override {
    const bool listened = Listen();
    if (!listened && !more_ && db_.TakeNotifications().empty()) {
      pollfd fds[2] = {{db_.Socket(), POLLIN, 0}, {wake_, POLLIN, 0}};
      ::poll(fds, 2, static_cast<int>(wait.count()));
      std::uint64_t drained = 0;
      if (fds[1].revents) (void)!::read(wake_, &drained, sizeof drained);
      if (db_.TakeNotifications().empty()) return {};
    }
    return Since();
  }

  void Interrupt() override {
    const std::uint64_t one = 1;
    (void)!::write(wake_, &one, sizeof one);
  }

  int BackendPid() const override { return db_.BackendPid(); }

 private:
  // Listens on a fresh connection, and on one opened again after a loss; true when it
  // has just done so (what was committed meanwhile is then read at once).
  bool Listen() {
    db_.Ready();
    if (listening_ && *listening_ == db_.Reconnects()) return false;
    db_.Exec(std::string("LISTEN ") + kChannel);
    listening_ = db_.Reconnects();
    // Only the changes after the first LISTEN are this process's to deliver.
    if (last_ < 0)
      last_ = db_.Run("SELECT coalesce(max(sequence), 0) FROM change_log").Integer(0, 0);
    return true;
  }

  std::vector<LoggedChange> Since() {
    PgResult r = db_.Run(
        "SELECT sequence, layer_id, element_id, operation, message FROM change_log "
        "WHERE sequence > $1 ORDER BY sequence LIMIT $2",
        PgParams().Add(last_).Add(std::int64_t{kBatch}));
    std::vector<LoggedChange> out;
    for (int i = 0; i < r.Rows(); ++i)
      out.push_back({r.Integer(i, 0), static_cast<std::int32_t>(r.Integer(i, 1)),
                     static_cast<std::int32_t>(r.Integer(i, 2)),
                     static_cast<std::int16_t>(r.Integer(i, 3)), r.Bytes(i, 4)});
    if (!out.empty()) last_ = out.back().sequence;
    more_ = r.Rows() == kBatch;
    return out;
  }

  PgDb db_;
  int wake_;
  std::optional<std::uint64_t> listening_;  // the reconnect count at the last LISTEN
  std::int64_t last_ = -1;
  bool more_ = false;
};

}  // namespace

void PgStore::LogChange(std::int32_t layerId, std::int32_t elementId, std::int16_t operation,
                        std::string_view message) {
  const std::int64_t sequence =
      db_.Run(
             "INSERT INTO change_log (sequence, layer_id, element_id, operation, message) "
             "SELECT coalesce(max(sequence), 0) + 1, $1, $2, $3, $4 FROM change_log "
             "RETURNING sequence",
             PgParams()
                 .Add(std::int64_t{layerId})
                 .Add(std::int64_t{elementId})
                 .Add(std::int64_t{operation})
                 .AddBytes(message))
          .Integer(0, 0);
  db_.Run("SELECT pg_notify($1, $2)",
          PgParams()
              .Add(std::string_view(kChannel))
              .Add(std::to_string(layerId) + " " + std::to_string(elementId) + " " +
                   std::to_string(operation) + " " + std::to_string(sequence)));
  if (sequence % kPruneEvery == 0)
    db_.Run(std::string("DELETE FROM change_log WHERE logged < now() - interval '") + kRetention +
                "' AND sequence < $1",
            PgParams().Add(sequence));
}

std::unique_ptr<ChangeWatch> PgStore::WatchChanges() {
  return std::make_unique<PgChangeWatch>(conninfo_);
}

bool PgStore::AddHandle(std::int32_t handle, std::int32_t userId, std::int64_t expires) {
  return db_.Run(
                "INSERT INTO login_handles (handle, user_id, expires) VALUES ($1, $2, $3) "
                "ON CONFLICT (handle) DO NOTHING",
                PgParams().Add(std::int64_t{handle}).Add(std::int64_t{userId}).Add(expires))
             .Changed() == 1;
}

std::optional<std::int32_t> PgStore::FindHandle(std::int32_t handle, std::int64_t now,
                                                bool attach) {
  PgResult r = db_.Run("SELECT user_id FROM login_handles l WHERE handle = $1 AND " + Live("$2"),
                       PgParams().Add(std::int64_t{handle}).Add(now));
  if (r.Rows() == 0) return std::nullopt;
  if (attach)
    db_.Run(
        "INSERT INTO login_holds (handle, backend, holders) VALUES ($1, pg_backend_pid(), 1) "
        "ON CONFLICT (handle, backend) DO UPDATE SET holders = login_holds.holders + 1",
        PgParams().Add(std::int64_t{handle}));
  return static_cast<std::int32_t>(r.Integer(0, 0));
}

void PgStore::DetachHandle(std::int32_t handle, std::int64_t now) {
  db_.Run(
      "UPDATE login_holds SET holders = holders - 1 WHERE handle = $1 AND "
      "backend = pg_backend_pid()",
      PgParams().Add(std::int64_t{handle}));
  db_.Run("DELETE FROM login_holds WHERE handle = $1 AND holders <= 0",
          PgParams().Add(std::int64_t{handle}));
  db_.Run("DELETE FROM login_handles l WHERE handle = $1 AND NOT " + Live("$2"),
          PgParams().Add(std::int64_t{handle}).Add(now));
}

std::size_t PgStore::LiveHandles(std::int64_t now) {
  db_.Run(
      "DELETE FROM login_holds WHERE backend NOT IN "
      "(SELECT pid FROM pg_stat_activity WHERE pid IS NOT NULL)");
  db_.Run("DELETE FROM login_handles l WHERE NOT " + Live("$1"), PgParams().Add(now));
  return static_cast<std::size_t>(db_.Run("SELECT count(*) FROM login_handles").Integer(0, 0));
}

}  // namespace orvenda::server
