// Password hashing for the users table: Argon2id strings made by libsodium's
// crypto_pwhash_str, which carry their own salt and cost parameters.
#pragma once

#include <string>

namespace orvenda::server {

// The Argon2id limits of a new hash. Interactive: a check costs tens of milliseconds
// and 64 MiB, so guessing is slow. Least: the smallest libsodium allows, for test
// databases only. A hash carries its own limits, so both verify alike.
enum class PasswordCost { Interactive, Least };

// Throws StoreError when libsodium cannot be initialised or runs out of memory.
std::string HashPassword(const std::string& password,
                         PasswordCost cost = PasswordCost::Interactive);

// True when `password` matches `hash`; false for a wrong password or a malformed hash.
bool VerifyPassword(const std::string& hash, const std::string& password);

}  // namespace orvenda::server
