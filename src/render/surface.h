#pragma once
// Surface: the drawing surface of one viewer. Element, label and direction drawing
// go through it, so the drawing logic runs against a recording surface in tests
// and against a QPainter over a QImage in the viewer.
//
// Units: surface units are device-independent pixels, y growing downwards. Figures
// kept in twips convert at kTwipsPerUnit. Platform calls that want whole pixels
// (the polygon call) take positions converted with ToPixel, rounded halves to even.
//
// State (pen, brush, colours, font) stays as set until changed; primitives never
// restore it.

#include <cstdint>
#include <string>
#include <vector>

namespace orvenda {

// Windows colour value: red in the low byte, then green, then blue.
using Colour = std::uint32_t;

constexpr Colour RgbColour(int red, int green, int blue) {
  return static_cast<Colour>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}
constexpr int ColourRed(Colour c) { return static_cast<int>(c & 0xFF); }
constexpr int ColourGreen(Colour c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int ColourBlue(Colour c) { return static_cast<int>((c >> 16) & 0xFF); }

// Pen style codes (a class's DrawStyle).
namespace drawstyle {
inline constexpr std::int32_t kSolid = 0;
inline constexpr std::int32_t kDash = 1;
inline constexpr std::int32_t kDot = 2;
inline constexpr std::int32_t kDashDot = 3;
inline constexpr std::int32_t kDashDotDot = 4;
// No outline; dots and lines are not drawn at all.
inline constexpr std::int32_t kTransparent = 5;
}  // namespace drawstyle

// Brush style codes (a class's FillStyle). Hatches are drawn in the fill colour
// with the ground between the hatch lines left as it was.
namespace fillstyle {
inline constexpr std::int32_t kSolid = 0;
inline constexpr std::int32_t kTransparent = 1;
inline constexpr std::int32_t kHorizontalLine = 2;
inline constexpr std::int32_t kVerticalLine = 3;
inline constexpr std::int32_t kUpwardDiagonal = 4;    // rising to the right
inline constexpr std::int32_t kDownwardDiagonal = 5;  // falling to the right
inline constexpr std::int32_t kCross = 6;
inline constexpr std::int32_t kDiagonalCross = 7;
}  // namespace fillstyle

// Twips per surface unit: 1440 twips per inch at 96 device-independent pixels.
inline constexpr double kTwipsPerUnit = 15.0;

inline constexpr std::int32_t kFontWeightNormal = 400;
inline constexpr std::int32_t kFontWeightBold = 700;

struct SurfacePoint {
  float x = 0;
  float y = 0;
  bool operator==(const SurfacePoint&) const = default;
};

struct PixelPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
  bool operator==(const PixelPoint&) const = default;
};

// A font as the label drawing asks for it.
struct FontSpec {
  std::string face = "Arial";
  // Character height (the em, without internal leading), in points.
  double heightPoints = 8.0;
  std::int32_t weight = kFontWeightNormal;
  // Counter-clockwise angle of the baseline, in tenths of a degree. Text turns
  // about the top-left corner of its first character cell.
  std::int32_t escapement = 0;
  bool operator==(const FontSpec&) const = default;
};

class Surface {
 public:
  virtual ~Surface() = default;

  // Size of the drawable area, in surface units.
  virtual double ScaleWidth() const = 0;
  virtual double ScaleHeight() const = 0;
  // Surface units per device pixel on each axis.
  virtual double UnitsPerPixelX() const { return 1.0; }
  virtual double UnitsPerPixelY() const { return 1.0; }

  // Pen width in pixels; 0 and 1 both give the thinnest pen.
  virtual void SetDrawWidth(std::int32_t width) = 0;
  // A drawstyle code; an unknown code draws solid.
  virtual void SetDrawStyle(std::int32_t style) = 0;
  // Pen colour of polygon outlines, and text colour.
  virtual void SetForeColor(Colour colour) = 0;
  virtual void SetFillColor(Colour colour) = 0;
  // A fillstyle code; an unknown code fills nothing.
  virtual void SetFillStyle(std::int32_t style) = 0;
  virtual void SetBackColor(Colour colour) = 0;
  virtual void SetFont(const FontSpec& font) = 0;
  virtual FontSpec Font() const = 0;

  // Paints the whole surface in the back colour.
  virtual void Cls() = 0;
  // A dot: one pixel, or with a pen wider than 1 a filled disc of that diameter.
  virtual void Dot(SurfacePoint at, Colour colour) = 0;
  // A line with the current pen width and style in the given colour.
  virtual void Line(SurfacePoint from, SurfacePoint to, Colour colour) = 0;
  // Connected lines through every point, in one call.
  virtual void Polyline(const std::vector<SurfacePoint>& points, Colour colour) = 0;
  // A closed polygon through pixel positions: filled with the fill colour and
  // style (alternate rule), outlined with the fore colour, pen width and style.
  virtual void Polygon(const std::vector<PixelPoint>& pixels) = 0;
  // Text in the current font and fore colour, its top-left corner at `topLeft`,
  // turned by the font's escapement; nothing behind the glyphs is painted.
  virtual void Print(SurfacePoint topLeft, const std::string& text) = 0;
  // Size of the text in the current font, unturned, in surface units.
  virtual double TextWidth(const std::string& text) const = 0;
  virtual double TextHeight(const std::string& text) const = 0;
  // Tells whoever shows the surface that its picture changed.
  virtual void Refresh() {}
};

// Nearest integer, halves to the even one (the rounding of every pixel conversion).
std::int32_t RoundHalfEven(double value);

PixelPoint ToPixel(const Surface& surface, SurfacePoint at);
SurfacePoint FromPixel(const Surface& surface, PixelPoint at);

// Twips per device pixel on each axis.
double TwipsPerPixelX(const Surface& surface);
double TwipsPerPixelY(const Surface& surface);
double TwipsToUnits(double twips);

// Character height of the font in whole device pixels, as a font of negative
// height -points*20/twips-per-pixel asks for it.
std::int32_t FontPixelHeight(const FontSpec& font, double twipsPerPixelY);

// How a label sits on its anchor.
namespace textalign {
inline constexpr int kTopLeft = 1;        // the anchor is the top-left corner
inline constexpr int kCentredOnBase = 2;  // centred along the baseline direction
inline constexpr int kLeftMiddle = 3;     // left end, centred across the text
}  // namespace textalign

// Top-left corner at which text of width w and height h, turned by `angleDegrees`
// counter-clockwise, is printed so that it sits on `anchor` as `alignment` says.
SurfacePoint AlignedTextOrigin(SurfacePoint anchor, double angleDegrees, double w, double h,
                               int alignment);

}  // namespace orvenda
