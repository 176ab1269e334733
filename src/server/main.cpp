// orvenda-server: one program, several subcommands (serving, import, administration,
// demo data). Each subcommand returns the process exit code.
#include <iostream>
#include <vector>

#include "admin/commands.h"
#include "net/serve_command.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  // Serving lives in the network library, which the administration commands do not
  // link against; it is chosen here.
  if (!args.empty() && args[0] == "serve") {
    return orvenda::server::RunServe(std::vector<std::string>(args.begin() + 1, args.end()),
                                     std::cout, std::cerr);
  }
  const int rc = orvenda::server::RunCommand(args, std::cin, std::cout, std::cerr);
  if (args.empty() || args[0] == "help" || args[0] == "--help" || args[0] == "-h") {
    (args.empty() ? std::cerr : std::cout) << "  serve  " << orvenda::server::kServeSummary << "\n";
  }
  return rc;
}
