#pragma once
// The library's own version, set once in the top-level build file.

#include <cstdint>

namespace orvenda {

struct Version {
  std::int16_t major;
  std::int16_t minor;
  std::int16_t revision;
};

inline constexpr Version kLibraryVersion{ORVENDA_VERSION_MAJOR, ORVENDA_VERSION_MINOR,
                                         ORVENDA_VERSION_PATCH};

// -1: the server requires a newer major or minor version; 0: a newer revision is
// recommended; 1: up to date (also when ours is newer than required).
std::int16_t CheckVersion(const Version& own, const Version& required);

}  // namespace orvenda
