#pragma once
// RecordingSurface: a drawing surface that draws nothing and remembers every
// primitive together with the surface state it was drawn with, so that tests of
// the drawing logic can assert what would have been painted. Text is measured
// with fixed metrics so that placements are exact.

#include <string>
#include <vector>

#include "render/surface.h"

namespace orvenda::testing {

struct SurfaceState {
  std::int32_t drawWidth = 1;
  std::int32_t drawStyle = drawstyle::kSolid;
  Colour foreColor = 0;
  Colour fillColor = 0;
  std::int32_t fillStyle = fillstyle::kTransparent;
  Colour backColor = 0xFFFFFF;
  FontSpec font;
  bool operator==(const SurfaceState&) const = default;
};

enum class PrimitiveKind { Cls, Dot, Line, Polyline, Polygon, Print, Refresh };

struct RecordedPrimitive {
  PrimitiveKind kind;
  SurfaceState state;                // the state when it was drawn
  Colour colour = 0;                 // Dot, Line, Polyline
  std::vector<SurfacePoint> points;  // Dot (1), Line (2), Polyline, Print (1)
  std::vector<PixelPoint> pixels;    // Polygon
  std::string text;                  // Print
};

class RecordingSurface : public Surface {
 public:
  double width = 800;
  double height = 600;
  // Text metrics: every character is charWidth wide; a line is textHeight high.
  double charWidth = 6;
  double textHeight = 12;

  std::vector<RecordedPrimitive> primitives;
  // Every call in order, one readable line each ("DrawWidth 2", "Line 1,2 3,4 #ff").
  std::vector<std::string> log;

  const SurfaceState& state() const { return state_; }
  // Primitives of one kind, in drawing order.
  std::vector<RecordedPrimitive> Of(PrimitiveKind kind) const;
  void Clear() {
    primitives.clear();
    log.clear();
  }

  double ScaleWidth() const override { return width; }
  double ScaleHeight() const override { return height; }

  void SetDrawWidth(std::int32_t w) override;
  void SetDrawStyle(std::int32_t style) override;
  void SetForeColor(Colour colour) override;
  void SetFillColor(Colour colour) override;
  void SetFillStyle(std::int32_t style) override;
  void SetBackColor(Colour colour) override;
  void SetFont(const FontSpec& font) override;
  FontSpec Font() const override { return state_.font; }

  void Cls() override;
  void Dot(SurfacePoint at, Colour colour) override;
  void Line(SurfacePoint from, SurfacePoint to, Colour colour) override;
  void Polyline(const std::vector<SurfacePoint>& points, Colour colour) override;
  void Polygon(const std::vector<PixelPoint>& pixels) override;
  void Print(SurfacePoint topLeft, const std::string& text) override;
  double TextWidth(const std::string& text) const override;
  double TextHeight(const std::string& text) const override;
  void Refresh() override;

 private:
  RecordedPrimitive& Record(PrimitiveKind kind, Colour colour = 0);

  SurfaceState state_;
};

}  // namespace orvenda::testing
