#include "store/password.h"

#include <sodium.h>

#include "store/store.h"

namespace orvenda::server {
namespace {

void InitSodium() {
  // sodium_init is idempotent and thread-safe; it returns 1 when already done.
  if (sodium_init() < 0)
    throw StoreError(StoreFault::StorageFailure, "libsodium could not be initialised");
}

}  // namespace

std::string HashPassword(const std::string& password, PasswordCost cost) {
  InitSodium();
  char out[crypto_pwhash_STRBYTES];
  const bool least = cost == PasswordCost::Least;
  const auto ops = least ? crypto_pwhash_OPSLIMIT_MIN : crypto_pwhash_OPSLIMIT_INTERACTIVE;
  const auto mem = least ? crypto_pwhash_MEMLIMIT_MIN : crypto_pwhash_MEMLIMIT_INTERACTIVE;
  if (crypto_pwhash_str(out, password.data(), password.size(), ops, mem) != 0)
    throw StoreError(StoreFault::StorageFailure, "out of memory while hashing a password");
  return std::string(out);
}

bool VerifyPassword(const std::string& hash, const std::string& password) {
  InitSodium();
  if (hash.empty() || hash.size() >= crypto_pwhash_STRBYTES) return false;
  return crypto_pwhash_str_verify(hash.c_str(), password.data(), password.size()) == 0;
}

}  // namespace orvenda::server
