// backup DB FILE, check DB, copy-db FROM TO
#include <ostream>

#include "admin/admin_commands.h"
#include "admin/arguments.h"
#include "store/site_copy.h"
#include "store/sqlite_maintenance.h"

namespace orvenda::server {

int RunBackupCommand(const std::vector<std::string>& args, CommandIo& io) {
  const Arguments a(args, {}, {});
  const std::string from = a.Word(0, "database path"), to = a.Word(1, "backup file");
  a.ExpectWords(2);
  if (std::filesystem::exists(to)) throw CommandError(kExitInvalid, to + " exists already");
  int shown = -1;
  BackupSqlite(from, to, [&](int done, int total) {
    const int percent = total > 0 ? static_cast<int>(100LL * done / total) : 100;
    if (percent / 10 == shown / 10) return;
    shown = percent;
    io.err << "\r" << percent << " %" << std::flush;
  });
  io.err << "\n";
  io.out << "backed up " << from << " to " << to << "\n";
  return kExitOk;
}

int RunCheckCommand(const std::vector<std::string>& args, CommandIo& io) {
  const Arguments a(args, {}, {});
  const std::string db = a.Word(0, "database path");
  a.ExpectWords(1);
  if (!std::filesystem::exists(db)) throw CommandError(kExitNotFound, "no database " + db);
  const std::vector<std::string> found = CheckSqlite(db);
  for (const std::string& line : found) io.out << line << "\n";
  if (found.empty()) io.out << db << ": ok\n";
  return found.empty() ? kExitOk : kExitInvalid;
}

// Each side is an SQLite file or pg:CONNINFO. A new SQLite file that the copy could
// not fill is removed again.
int RunCopyDbCommand(const std::vector<std::string>& args, CommandIo& io) {
  const Arguments a(args, {}, {});
  const std::string from = a.Word(0, "source"), to = a.Word(1, "target");
  a.ExpectWords(2);
  const bool fileTarget = !to.starts_with("pg:");
  if (!from.starts_with("pg:") && !std::filesystem::exists(from))
    throw CommandError(kExitNotFound, "no database " + from);
  const bool made = fileTarget && !std::filesystem::exists(to);
  try {
    OpenedStore source = OpenStoreAt(from);
    OpenedStore target = OpenStoreAt(to);
    const std::int64_t rows = CopySite(source, target);
    io.out << "copied " << rows << " rows from " << from << " to " << to << "\n";
  } catch (...) {
    if (made)
      for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(to + suffix);
    throw;
  }
  return kExitOk;
}

}  // namespace orvenda::server
