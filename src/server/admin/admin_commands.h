// The administration subcommands of orvenda-server. Each takes the words after its
// name and returns the exit code of commands.h.
#pragma once

#include "admin/commands.h"
#include "store/store.h"

namespace orvenda::server {

int RunUserCommand(const std::vector<std::string>& args, CommandIo& io);
int RunGrantCommand(const std::vector<std::string>& args, CommandIo& io);
int RunMapCommand(const std::vector<std::string>& args, CommandIo& io);
int RunLayerCommand(const std::vector<std::string>& args, CommandIo& io);
int RunImportCommand(const std::vector<std::string>& args, CommandIo& io);
int RunDemoDbCommand(const std::vector<std::string>& args, CommandIo& io);
int RunBackupCommand(const std::vector<std::string>& args, CommandIo& io);
int RunCheckCommand(const std::vector<std::string>& args, CommandIo& io);
int RunCopyDbCommand(const std::vector<std::string>& args, CommandIo& io);

// A layer named by its name or, failing that, by its decimal identifier; throws
// CommandError (kExitNotFound) when neither matches.
LayerInfo ResolveLayer(Store& store, const std::string& nameOrId);
UserRecord ResolveUser(Store& store, const std::string& name);
MapDefinition ResolveMap(Store& store, const std::string& code);

}  // namespace orvenda::server
