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
std::string readPassword(const Arguments& a, CommandIo& io) {
  std::string line;
  if (auto file = a.value("password-file")) {
    std::ifstream in(*file);
    if (!in) throw CommandError(kExitFailure, "cannot read password file " + *file);
    std::getline(in, line);
  } else {
    std::getline(io.in, line);
  }
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  return line;
}

int userAdd(const Arguments& a, CommandIo& io) {
  const std::string& name = a.word(1, "user name");
  a.expectWords(2);
  auto store = openDatabase(a);
  if (store->findUser(name)) throw CommandError(kExitInvalid, "user '" + name + "' already exists");
  const bool guest = a.flag("guest");
  const std::string password = readPassword(a, io);
  if (password.empty() && !guest)
    throw CommandError(kExitInvalid, "an empty password is only allowed for --guest users");
  const auto id = store->addUser(name, hashPassword(password), guest);
  io.out << "user " << name << " added with id " << id << (guest ? " (guest)" : "") << "\n";
  return kExitOk;
}

int userPasswd(const Arguments& a, CommandIo& io) {
  const std::string& name = a.word(1, "user name");
  a.expectWords(2);
  auto store = openDatabase(a);
  const UserRecord u = resolveUser(*store, name);
  const std::string password = readPassword(a, io);
  if (password.empty() && !u.guest)
    throw CommandError(kExitInvalid, "an empty password is only allowed for guest users");
  store->setPasswordHash(u.id, hashPassword(password));
  io.out << "password of " << name << " changed\n";
  return kExitOk;
}

int userList(const Arguments& a, CommandIo& io) {
  a.expectWords(1);
  auto store = openDatabase(a);
  for (const UserRecord& u : store->listUsers())
    io.out << u.id << "\t" << u.name << (u.guest ? "\tguest" : "") << "\n";
  return kExitOk;
}

int userRemove(const Arguments& a, CommandIo& io) {
  const std::string& name = a.word(1, "user name");
  a.expectWords(2);
  auto store = openDatabase(a);
  store->removeUser(resolveUser(*store, name).id);
  io.out << "user " << name << " removed\n";
  return kExitOk;
}

}  // namespace

UserRecord resolveUser(Store& store, const std::string& name) {
  auto u = store.findUser(name);
  if (!u) throw CommandError(kExitNotFound, "unknown user '" + name + "'");
  return *u;
}

int runUserCommand(const std::vector<std::string>& args, CommandIo& io) {
  const Arguments a(args, {"db", "password-file"}, {"guest"});
  const std::string& verb = a.word(0, "user command (add, passwd, list, remove)");
  if (verb == "add") return userAdd(a, io);
  if (verb == "passwd") return userPasswd(a, io);
  if (verb == "list") return userList(a, io);
  if (verb == "remove") return userRemove(a, io);
  throw CommandError(kExitUsage, "unknown user command '" + verb + "'");
}

// grant USER LAYER LEVEL, or grant USER --map CODE LEVEL for every layer of a map.
int runGrantCommand(const std::vector<std::string>& args, CommandIo& io) {
  const Arguments a(args, {"db", "map"}, {});
  const std::string& user = a.word(0, "user name");
  std::vector<std::int32_t> layers;
  const std::string* levelText = nullptr;
  auto store = openDatabase(a);
  const UserRecord u = resolveUser(*store, user);
  if (auto map = a.value("map")) {
    levelText = &a.word(1, "access level");
    a.expectWords(2);
    for (const LayerRecord& l : resolveMap(*store, *map).layers) layers.push_back(l.id);
  } else {
    layers.push_back(resolveLayer(*store, a.word(1, "layer")).id);
    levelText = &a.word(2, "access level");
    a.expectWords(3);
  }
  const AccessLevel level = parseAccessLevel(*levelText);
  store->transaction([&] {
    for (std::int32_t id : layers) store->setAccess(u.id, id, level);
  });
  io.out << "user " << user << " has level " << static_cast<int>(level) << " on " << layers.size()
         << " layer(s)\n";
  return kExitOk;
}

}  // namespace orvenda::server
