#pragma once
// The small map database of the network and whole-system tests: three accounts,
// map 7 "Ciudad" (UTM zone 14) with roads, places and a secret layer, and map 8
// with only the secret layer. Built through the store, so that a test may serve
// it in-process or hand the file to the real server program.

#include <cstdint>
#include <filesystem>

#include "store/store.h"

namespace orvenda::server::test {

// What the database holds, for the tests to compare replies with.
struct TestData {
  static constexpr std::int32_t kMap = 7;          // "Ciudad": roads, places, secret
  static constexpr std::int32_t kSecretMap = 8;    // only the secret layer
  std::int32_t ana = 0, guest = 0, bob = 0;        // accounts
  std::int32_t roads = 0, places = 0, secret = 0;  // layers
  // A roads cell whose three elements lie close to its origin (relative form), and a
  // cell crossed by a long road whose far vertex needs Doubles.
  CellKey nearCell{230, 160};
  CellKey farCell{220, 140};
  std::int32_t firstPlace = 0;  // element of `places` with every field type filled
};

// Fills an empty store with the test data.
TestData BuildTestDatabase(Store& store);
// Creates the store of `db` (the file, or its schema: test_backend.h) and fills it.
TestData BuildTestDatabase(const std::filesystem::path& db);

}  // namespace orvenda::server::test
