#pragma once
// The program's title and version, as its windows show them.

#include <string>

namespace orvenda {

inline constexpr const char* kApplicationTitle = "OrvendaDesk";

// Major, minor and revision joined by ".".
std::string ProgramVersion();

}  // namespace orvenda
