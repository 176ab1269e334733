#pragma once
// Pieces that several message layouts share: counts that a peer declares, grid cells
// and vertex lists. A count is checked against the bytes that are left before anything
// is allocated for it, so a hostile count costs nothing.

#include <cstdint>
#include <string>
#include <vector>

#include "model/tipolayer.h"
#include "protocol/dwbuffer.h"

namespace orvenda {

// A grid cell as the client names it in requests: (i, j) of the layer's grid.
struct CellIJ {
  std::int32_t i = 0;
  std::int32_t j = 0;
  friend bool operator==(const CellIJ&, const CellIJ&) = default;
};

// Checks a declared count of items of at least `itemBytes` bytes each against what the
// message still holds; throws MalformedField for a negative or impossible count.
std::size_t CheckedCount(const DWBUffer& b, std::int64_t count, std::int64_t itemBytes,
                         const char* what);

// Message start: header and code; close with cerrarMensaje(0).
DWBUffer StartMessage(std::int16_t code);

// n × (Long i, Long j) with n a Long before them.
void PutCells(DWBUffer& b, const std::vector<CellIJ>& cells);
std::vector<CellIJ> GetCells(DWBUffer& b);

// p × (Double x, Double y), after a count already read or written by the caller (it
// is a Long in requests and an Integer in message 250).
void PutPoints(DWBUffer& b, const std::vector<Point>& points);
std::vector<Point> GetPoints(DWBUffer& b, std::int64_t count);

// n Strings after a count of the caller's width.
std::vector<std::string> GetStrings(DWBUffer& b, std::int64_t count);

// A record's fields are listed once, in a function template called with a writer or a
// reader, so that writing and reading cannot drift apart.
struct FieldWriter {
  DWBUffer& b;
  bool cutTexts = false;  // texts read from a database may be longer than a wire string
  void operator()(std::int32_t v) { b.PutLong(v); }
  void operator()(std::int16_t v) { b.PutInteger(v); }
  void operator()(std::uint8_t v) { b.PutByte(v); }
  void operator()(float v) { b.PutSingle(v); }
  void operator()(double v) { b.PutDouble(v); }
  void operator()(const std::string& v);
  // A Boolean as an Integer: -1 true, 0 false.
  void Bold(bool v) { b.PutInteger(v ? -1 : 0); }
};

struct FieldReader {
  DWBUffer& b;
  void operator()(std::int32_t& v) { v = b.GetLong(); }
  void operator()(std::int16_t& v) { v = b.GetInteger(); }
  void operator()(std::uint8_t& v) { v = b.GetByte(); }
  void operator()(float& v) { v = b.GetSingle(); }
  void operator()(double& v) { v = b.GetDouble(); }
  void operator()(std::string& v) { v = b.GetString(); }
  void Bold(bool& v) { v = b.GetInteger() != 0; }
};

}  // namespace orvenda
