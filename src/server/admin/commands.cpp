#include "admin/commands.h"

#include <iostream>

#include "admin/admin_commands.h"
#include "admin/arguments.h"
#include "protocol/version.h"
#include "store/store.h"

namespace orvenda::server {
namespace {

// What the store refused says which exit code the script calling us sees.
int ExitCodeOf(StoreFault kind) {
  switch (kind) {
    case StoreFault::UnknownLayer:
    case StoreFault::UnknownField:
    case StoreFault::UnknownRecord:
      return kExitNotFound;
    case StoreFault::BadValue:
      return kExitInvalid;
    case StoreFault::StorageFailure:
      break;
  }
  return kExitFailure;
}

int PrintUsage(std::ostream& os) {
  os << "usage: orvenda-server <command> [arguments]\n\ncommands:\n";
  for (const CommandEntry& e : CommandTable()) os << "  " << e.name << "  " << e.summary << "\n";
  os << "\n--db PATH (an SQLite file) may be --pg CONNINFO (a PostgreSQL database) throughout.\n";
  return kExitUsage;
}

}  // namespace

const std::vector<CommandEntry>& CommandTable() {
  static const std::vector<CommandEntry> table = {
      {"user", "add|passwd|list|remove NAME --db PATH (password on stdin)", RunUserCommand},
      {"grant", "USER LAYER LEVEL --db PATH, or USER --map CODE LEVEL", RunGrantCommand},
      {"map", "create CODE NAME | add-layer CODE LAYER | list  --db PATH", RunMapCommand},
      {"layer", "list | set MAP LAYER [--zoom MIN,MAX --label F ...]  --db PATH", RunLayerCommand},
      {"import", "SOURCE --db PATH [--layer-name N --zoom MIN,MAX --map CODE ...]",
       RunImportCommand},
      {"demo-db", "PATH | --pg CONNINFO [--cache DIR]: build the demo database", RunDemoDbCommand},
      {"backup", "DB FILE: copy the database, safe while serving", RunBackupCommand},
      {"check", "DB: SQLite's integrity and the store's own rules", RunCheckCommand},
      {"copy-db", "FROM TO: copy a whole site (each an SQLite file or pg:CONNINFO)",
       RunCopyDbCommand},
  };
  return table;
}

int RunCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
               std::ostream& err) {
  if (args.empty()) return PrintUsage(err);
  if (args[0] == "help" || args[0] == "--help" || args[0] == "-h") {
    PrintUsage(out);
    return kExitOk;
  }
  if (args[0] == "--version") {
    out << "orvenda-server " << kLibraryVersion.major << "." << kLibraryVersion.minor << "."
        << kLibraryVersion.revision << "\n";
    return kExitOk;
  }
  for (const CommandEntry& e : CommandTable()) {
    if (args[0] != e.name) continue;
    if (args.size() == 2 && (args[1] == "--help" || args[1] == "-h")) {
      out << "usage: orvenda-server " << e.name << " " << e.summary << "\n";
      return kExitOk;
    }
    CommandIo io{in, out, err};
    try {
      return e.run(std::vector<std::string>(args.begin() + 1, args.end()), io);
    } catch (const CommandError& ex) {
      err << "orvenda-server " << args[0] << ": " << ex.what() << "\n";
      return ex.Code();
    } catch (const StoreError& ex) {
      err << "orvenda-server " << args[0] << ": " << ex.what() << "\n";
      return ExitCodeOf(ex.Kind());
    } catch (const std::exception& ex) {
      err << "orvenda-server " << args[0] << ": " << ex.what() << "\n";
      return kExitFailure;
    }
  }
  err << "orvenda-server: unknown command '" << args[0] << "'\n";
  return PrintUsage(err);
}

}  // namespace orvenda::server
