// Password hashing for the users table: Argon2id strings made by libsodium's
// crypto_pwhash_str, which carry their own salt and cost parameters.
#pragma once

#include <string>

namespace orvenda::server {

// Throws StoreError when libsodium cannot be initialised or runs out of memory.
std::string hashPassword(const std::string& password);

// True when `password` matches `hash`; false for a wrong password or a malformed hash.
bool verifyPassword(const std::string& hash, const std::string& password);

}  // namespace orvenda::server
