// The administration subcommands of orvenda-server. Each takes the words after its
// name and returns the exit code of commands.h.
#pragma once

#include "admin/commands.h"
#include "store/store.h"

namespace orvenda::server {

int runUserCommand(const std::vector<std::string>& args, CommandIo& io);
int runGrantCommand(const std::vector<std::string>& args, CommandIo& io);
int runMapCommand(const std::vector<std::string>& args, CommandIo& io);
int runLayerCommand(const std::vector<std::string>& args, CommandIo& io);
int runImportCommand(const std::vector<std::string>& args, CommandIo& io);
int runDemoDbCommand(const std::vector<std::string>& args, CommandIo& io);

// A layer named by its name or, failing that, by its decimal identifier; throws
// CommandError (kExitNotFound) when neither matches.
LayerInfo resolveLayer(Store& store, const std::string& nameOrId);
UserRecord resolveUser(Store& store, const std::string& name);
MapDefinition resolveMap(Store& store, const std::string& code);

}  // namespace orvenda::server
