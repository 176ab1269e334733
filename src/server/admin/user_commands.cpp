// user add|passwd|list|remove and grant.
#include <fstream>
#include <iostream>

#include "admin/admin_commands.h"
#include "admin/arguments.h"
#include "store/password.h"

namespace orvenda::server {
namespace {

// Passwords never come from the command line, where ps would show them: they are the
// first line of standard input or of the file given with --password-file.
std::string ReadPassword(const Arguments& a, CommandIo& io) {
  std::string line;
  if (auto file = a.Value("password-file")) {
    std::ifstream in(*file);
    if (!in) throw CommandError(kExitFailure, "cannot read password file " + *file);
    std::getline(in, line);
  } else {
    std::getline(io.in, line);
  }
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  return line;
}

int UserAdd(const Arguments& a, CommandIo& io) {
  const std::string& name = a.Word(1, "user name");
  a.ExpectWords(2);
  auto store = OpenDatabase(a);
  if (store->FindUser(name)) throw CommandError(kExitInvalid, "user '" + name + "' already exists");
  const bool guest = a.Flag("guest");
  const std::string password = ReadPassword(a, io);
  if (password.empty() && !guest)
    throw CommandError(kExitInvalid, "an empty password is only allowed for --guest users");
  const auto id = store->AddUser(name, HashPassword(password), guest);
  io.out << "user " << name << " added with id " << id << (guest ? " (guest)" : "") << "\n";
  return kExitOk;
}

int UserPasswd(const Arguments& a, CommandIo& io) {
  const std::string& name = a.Word(1, "user name");
  a.ExpectWords(2);
  auto store = OpenDatabase(a);
  const UserRecord u = ResolveUser(*store, name);
  const std::string password = ReadPassword(a, io);
  if (password.empty() && !u.guest)
    throw CommandError(kExitInvalid, "an empty password is only allowed for guest users");
  store->SetPasswordHash(u.id, HashPassword(password));
  io.out << "password of " << name << " changed\n";
  return kExitOk;
}

int UserList(const Arguments& a, CommandIo& io) {
  a.ExpectWords(1);
  auto store = OpenDatabase(a);
  for (const UserRecord& u : store->ListUsers())
    io.out << u.id << "\t" << u.name << (u.guest ? "\tguest" : "") << "\n";
  return kExitOk;
}

int UserRemove(const Arguments& a, CommandIo& io) {
  const std::string& name = a.Word(1, "user name");
  a.ExpectWords(2);
  auto store = OpenDatabase(a);
  store->RemoveUser(ResolveUser(*store, name).id);
  io.out << "user " << name << " removed\n";
  return kExitOk;
}

}  // namespace

UserRecord ResolveUser(Store& store, const std::string& name) {
  auto u = store.FindUser(name);
  if (!u) throw CommandError(kExitNotFound, "unknown user '" + name + "'");
  return *u;
}

int RunUserCommand(const std::vector<std::string>& args, CommandIo& io) {
  const Arguments a(args, {"db", "password-file"}, {"guest"});
  const std::string& verb = a.Word(0, "user command (add, passwd, list, remove)");
  if (verb == "add") return UserAdd(a, io);
  if (verb == "passwd") return UserPasswd(a, io);
  if (verb == "list") return UserList(a, io);
  if (verb == "remove") return UserRemove(a, io);
  throw CommandError(kExitUsage, "unknown user command '" + verb + "'");
}

// grant USER LAYER LEVEL, or grant USER --map CODE LEVEL for every layer of a map.
int RunGrantCommand(const std::vector<std::string>& args, CommandIo& io) {
  const Arguments a(args, {"db", "map"}, {});
  const std::string& user = a.Word(0, "user name");
  std::vector<std::int32_t> layers;
  const std::string* levelText = nullptr;
  auto store = OpenDatabase(a);
  const UserRecord u = ResolveUser(*store, user);
  if (auto map = a.Value("map")) {
    levelText = &a.Word(1, "access level");
    a.ExpectWords(2);
    for (const LayerRecord& l : ResolveMap(*store, *map).layers) layers.push_back(l.id);
  } else {
    layers.push_back(ResolveLayer(*store, a.Word(1, "layer")).id);
    levelText = &a.Word(2, "access level");
    a.ExpectWords(3);
  }
  const AccessLevel level = ParseAccessLevel(*levelText);
  store->Transaction([&] {
    for (std::int32_t id : layers) store->SetAccess(u.id, id, level);
  });
  io.out << "user " << user << " has level " << static_cast<int>(level) << " on " << layers.size()
         << " layer(s)\n";
  return kExitOk;
}

}  // namespace orvenda::server
