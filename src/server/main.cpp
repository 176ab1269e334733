// orvenda-server: one program, several subcommands (serving, import, administration,
// demo data). Each subcommand returns the process exit code.
#include "admin/commands.h"

#include <iostream>
#include <vector>

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return orvenda::server::runCommand(args, std::cin, std::cout, std::cerr);
}
