#pragma once
// Edits pushed live, for the benchmarks that measure them: `editors` connections add
// lines to a layer and change their values in turn, one edit in flight each, for
// `seconds`, while `viewers` connections only read. Connection i goes to
// ports[i % ports.size()], so with several server processes on one database the
// changes cross between them. Every connection reads every message 250.

#include <cstdint>
#include <string>
#include <vector>

namespace orvenda::server::bench {

struct EditLoad {
  std::vector<std::uint16_t> ports;
  std::string user = "bench", password = "bench";
  std::int32_t map = 1;
  std::int32_t layer = 0;  // a line layer whose fields are a text and an integer
  int editors = 16, viewers = 48, seconds = 5;
};

struct EditFigures {
  std::uint64_t edits = 0;
  double seconds = 0;
  // From an edit's send to its 250 at the other connections, and at its author.
  std::vector<float> othersMicros, authorMicros;
  std::string error;
};

EditFigures RunEdits(const EditLoad& load);

}  // namespace orvenda::server::bench
