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

RecordedPrimitive& RecordingSurface::Record(PrimitiveKind kind, Colour colour) {
  primitives.push_back(RecordedPrimitive{kind, state_, colour, {}, {}, {}});
  return primitives.back();
}

void RecordingSurface::SetDrawWidth(std::int32_t w) {
  state_.drawWidth = w;
  log.push_back("DrawWidth " + std::to_string(w));
}

void RecordingSurface::SetDrawStyle(std::int32_t style) {
  state_.drawStyle = style;
  log.push_back("DrawStyle " + std::to_string(style));
}

void RecordingSurface::SetForeColor(Colour colour) {
  state_.foreColor = colour;
  log.push_back("ForeColor " + Hex(colour));
}

void RecordingSurface::SetFillColor(Colour colour) {
  state_.fillColor = colour;
  log.push_back("FillColor " + Hex(colour));
}

void RecordingSurface::SetFillStyle(std::int32_t style) {
  state_.fillStyle = style;
  log.push_back("FillStyle " + std::to_string(style));
}

void RecordingSurface::SetBackColor(Colour colour) {
  state_.backColor = colour;
  log.push_back("BackColor " + Hex(colour));
}

void RecordingSurface::SetFont(const FontSpec& font) {
  state_.font = font;
  log.push_back("Font " + font.face + " " + Num(font.heightPoints) + "pt w" +
                std::to_string(font.weight) + " e" + std::to_string(font.escapement));
}

void RecordingSurface::Cls() {
  Record(PrimitiveKind::Cls);
  log.push_back("Cls");
}

void RecordingSurface::Dot(SurfacePoint at, Colour colour) {
  Record(PrimitiveKind::Dot, colour).points = {at};
  log.push_back("Dot " + Pt(at) + " " + Hex(colour));
}

void RecordingSurface::Line(SurfacePoint from, SurfacePoint to, Colour colour) {
  Record(PrimitiveKind::Line, colour).points = {from, to};
  log.push_back("Line " + Pt(from) + " " + Pt(to) + " " + Hex(colour));
}

void RecordingSurface::Polyline(const std::vector<SurfacePoint>& points, Colour colour) {
  Record(PrimitiveKind::Polyline, colour).points = points;
  std::string line = "Polyline";
  for (const auto& p : points) line += " " + Pt(p);
  log.push_back(line + " " + Hex(colour));
}

void RecordingSurface::Polygon(const std::vector<PixelPoint>& pixels) {
  Record(PrimitiveKind::Polygon).pixels = pixels;
  std::string line = "Polygon";
  for (const auto& p : pixels) line += " " + std::to_string(p.x) + "," + std::to_string(p.y);
  log.push_back(line);
}

void RecordingSurface::Print(SurfacePoint topLeft, const std::string& text) {
  auto& p = Record(PrimitiveKind::Print, state_.foreColor);
  p.points = {topLeft};
  p.text = text;
  log.push_back("Print " + Pt(topLeft) + " \"" + text + "\"");
}

double RecordingSurface::TextWidth(const std::string& text) const {
  // Characters, not bytes: UTF-8 continuation bytes do not count.
  double characters = 0;
  for (const unsigned char c : text) {
    if ((c & 0xC0) != 0x80) characters += 1;
  }
  return charWidth * characters;
}

double RecordingSurface::TextHeight(const std::string&) const { return textHeight; }

void RecordingSurface::Refresh() {
  Record(PrimitiveKind::Refresh);
  log.push_back("Refresh");
}

}  // namespace orvenda::testing
