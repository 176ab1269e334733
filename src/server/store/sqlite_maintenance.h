// The operator's upkeep of a SQLite site: a copy taken while the server runs, and a
// check of the file against SQLite's own rules and the store's.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace orvenda::server {

// Copies the database `from` into the new file `to` with SQLite's online backup, a few
// pages at a time, so that a server on `from` keeps reading and writing meanwhile;
// `progress` hears the pages done and in all after each step. Throws StoreError when
// either file cannot be used; `to` must not exist yet.
void BackupSqlite(const std::filesystem::path& from, const std::filesystem::path& to,
                  const std::function<void(int done, int total)>& progress = {});

// What is wrong with the database `path`: SQLite's integrity and foreign-key checks,
// then the store's own invariants (each element listed in exactly the cells its box
// covers, no cell or value of an element that does not exist). Empty when sound; at
// most `limit` findings.
std::vector<std::string> CheckSqlite(const std::filesystem::path& path, std::size_t limit = 100);

}  // namespace orvenda::server
