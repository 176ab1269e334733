#include "support/recordingsurface.h"

#include <cstdio>

namespace orvenda::testing {
namespace {

std::string Hex(Colour c) {
  char text[16];
  std::snprintf(text, sizeof text, "#%06x", static_cast<unsigned>(c));
  return text;
}

std::string Num(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", v);
  return text;
}

std::string Pt(SurfacePoint p) { return Num(p.x) + "," + Num(p.y); }

}  // namespace

std::vector<RecordedPrimitive> RecordingSurface::Of(PrimitiveKind kind) const {
  std::vector<RecordedPrimitive> out;
  for (const auto& p : primitives) {
    if (p.kind == kind) out.push_back(p);
  }
  return out;
}

void RecordingSurface::Set(std::int32_t& field, std::int32_t value, const char* name) {
  field = value;
  log.push_back(name + (" " + std::to_string(value)));
}

void RecordingSurface::Set(Colour& field, Colour value, const char* name) {
  field = value;
  log.push_back(name + (" " + Hex(value)));
}

RecordedPrimitive& RecordingSurface::Record(PrimitiveKind kind, std::string line) {
  log.push_back(std::move(line));
  primitives.push_back(RecordedPrimitive{kind, state_, {}, {}, {}});
  return primitives.back();
}

void RecordingSurface::SetFont(const FontSpec& font) {
  state_.font = font;
  log.push_back("Font " + font.face + " " + Num(font.heightPoints) + "pt w" +
                std::to_string(font.weight) + " e" + std::to_string(font.escapement));
}

void RecordingSurface::Dot(SurfacePoint at, Colour colour) {
  Record(PrimitiveKind::Dot, "Dot " + Pt(at) + " " + Hex(colour)).points = {at};
}

void RecordingSurface::Line(SurfacePoint from, SurfacePoint to, Colour colour) {
  Record(PrimitiveKind::Line, "Line " + Pt(from) + " " + Pt(to) + " " + Hex(colour)).points = {from,
                                                                                               to};
}

void RecordingSurface::Polyline(const std::vector<SurfacePoint>& points, Colour colour) {
  std::string line = "Polyline";
  for (const auto& p : points) line += " " + Pt(p);
  Record(PrimitiveKind::Polyline, line + " " + Hex(colour)).points = points;
}

void RecordingSurface::Polygon(const std::vector<PixelPoint>& pixels) {
  std::string line = "Polygon";
  for (const auto& p : pixels) line += " " + std::to_string(p.x) + "," + std::to_string(p.y);
  Record(PrimitiveKind::Polygon, line).pixels = pixels;
}

void RecordingSurface::Print(SurfacePoint topLeft, const std::string& text) {
  auto& p = Record(PrimitiveKind::Print, "Print " + Pt(topLeft) + " \"" + text + "\"");
  p.points = {topLeft};
  p.text = text;
}

// Characters, not bytes: UTF-8 continuation bytes do not count.
double RecordingSurface::TextWidth(const std::string& text) const {
  double characters = 0;
  for (const unsigned char c : text) {
    if ((c & 0xC0) != 0x80) characters += 1;
  }
  return 6 * characters;
}

}  // namespace orvenda::testing
