#include "admin/commands.h"

#include <iostream>

namespace orvenda::server {
namespace {

int printUsage(std::ostream& os) {
    os << "usage: orvenda-server <command> [arguments]\n\ncommands:\n";
    for (const CommandEntry& e : commandTable()) os << "  " << e.name << "  " << e.summary << "\n";
    return kExitUsage;
}

}  // namespace

const std::vector<CommandEntry>& commandTable() {
    static const std::vector<CommandEntry> table = {};
    return table;
}

int runCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
               std::ostream& err) {
    if (args.empty()) return printUsage(err);
    if (args[0] == "help" || args[0] == "--help" || args[0] == "-h") {
        printUsage(out);
        return kExitOk;
    }
    for (const CommandEntry& e : commandTable()) {
        if (args[0] != e.name) continue;
        CommandIo io{in, out, err};
        return e.run(std::vector<std::string>(args.begin() + 1, args.end()), io);
    }
    err << "orvenda-server: unknown command '" << args[0] << "'\n";
    return printUsage(err);
}

}  // namespace orvenda::server
