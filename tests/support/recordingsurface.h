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
};

enum class PrimitiveKind { Cls, Dot, Line, Polyline, Polygon, Print, Refresh };

struct RecordedPrimitive {
  PrimitiveKind kind;
  SurfaceState state;                // the state when it was drawn
  std::vector<SurfacePoint> points;  // Dot (1), Line (2), Polyline, Print (1)
  std::vector<PixelPoint> pixels;    // Polygon
  std::string text;                  // Print
};

// 800 x 600 units; every character is 6 units wide and a line 12 high.
class RecordingSurface : public Surface {
 public:
  std::vector<RecordedPrimitive> primitives;
  // Every call in order, one readable line each ("DrawWidth 2", "Line 1,2 3,4 #ff").
  std::vector<std::string> log;

  // Primitives of one kind, in drawing order.
  std::vector<RecordedPrimitive> Of(PrimitiveKind kind) const;
  void Clear() {
    primitives.clear();
    log.clear();
  }

  double ScaleWidth() const override { return 800; }
  double ScaleHeight() const override { return 600; }

  void SetDrawWidth(std::int32_t w) override { Set(state_.drawWidth, w, "DrawWidth"); }
  void SetDrawStyle(std::int32_t style) override { Set(state_.drawStyle, style, "DrawStyle"); }
  void SetForeColor(Colour colour) override { Set(state_.foreColor, colour, "ForeColor"); }
  void SetFillColor(Colour colour) override { Set(state_.fillColor, colour, "FillColor"); }
  void SetFillStyle(std::int32_t style) override { Set(state_.fillStyle, style, "FillStyle"); }
  void SetBackColor(Colour colour) override { Set(state_.backColor, colour, "BackColor"); }
  void SetFont(const FontSpec& font) override;
  FontSpec Font() const override { return state_.font; }

  void Cls() override { Record(PrimitiveKind::Cls, "Cls"); }
  void Dot(SurfacePoint at, Colour colour) override;
  void Line(SurfacePoint from, SurfacePoint to, Colour colour) override;
  void Polyline(const std::vector<SurfacePoint>& points, Colour colour) override;
  void Polygon(const std::vector<PixelPoint>& pixels) override;
  void Print(SurfacePoint topLeft, const std::string& text) override;
  double TextWidth(const std::string& text) const override;
  double TextHeight(const std::string&) const override { return 12; }
  void Refresh() override { Record(PrimitiveKind::Refresh, "Refresh"); }

 private:
  // Colours are logged in hex, styles and widths in decimal.
  void Set(std::int32_t& field, std::int32_t value, const char* name);
  void Set(Colour& field, Colour value, const char* name);
  RecordedPrimitive& Record(PrimitiveKind kind, std::string line);

  SurfaceState state_;
};

}  // namespace orvenda::testing
