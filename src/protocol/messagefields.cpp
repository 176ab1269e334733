#include "protocol/messagefields.h"

#include <string>

#include "protocol/fieldvalue.h"
#include "protocol/protocolerror.h"

namespace orvenda {

std::size_t CheckedCount(const DWBUffer& b, std::int64_t count, std::int64_t itemBytes,
                         const char* what) {
  if (count < 0 || count * itemBytes > b.Remaining()) {
    throw MalformedField(std::string("impossible count of ") + what + ": " + std::to_string(count));
  }
  return static_cast<std::size_t>(count);
}

DWBUffer StartMessage(std::int16_t code) {
  DWBUffer b;
  b.CrearHeader();
  b.PutInteger(code);
  return b;
}

void PutCells(DWBUffer& b, const std::vector<CellIJ>& cells) {
  b.PutLong(static_cast<std::int32_t>(cells.size()));
  for (const CellIJ& c : cells) {
    b.PutLong(c.i);
    b.PutLong(c.j);
  }
}

std::vector<CellIJ> GetCells(DWBUffer& b) {
  std::vector<CellIJ> cells(CheckedCount(b, b.GetLong(), 8, "cells"));
  for (CellIJ& c : cells) {
    c.i = b.GetLong();
    c.j = b.GetLong();
  }
  return cells;
}

void PutPoints(DWBUffer& b, const std::vector<Point>& points) {
  for (const Point& p : points) {
    b.PutDouble(p.X);
    b.PutDouble(p.Y);
  }
}

std::vector<Point> GetPoints(DWBUffer& b, std::int64_t count) {
  std::vector<Point> points(CheckedCount(b, count, 16, "vertices"));
  for (Point& p : points) {
    p.X = b.GetDouble();
    p.Y = b.GetDouble();
  }
  return points;
}

std::vector<std::string> GetStrings(DWBUffer& b, std::int64_t count) {
  std::vector<std::string> out(CheckedCount(b, count, 2, "texts"));
  for (std::string& s : out) s = b.GetString();
  return out;
}

void FieldWriter::operator()(const std::string& v) {
  if (cutTexts) {
    PutTextCut(b, v);
  } else {
    b.PutString(v);
  }
}

}  // namespace orvenda
