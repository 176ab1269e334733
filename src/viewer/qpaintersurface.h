#pragma once
// QPainterSurface: the viewer's drawing surface, a QPainter kept open on a QImage.
// One surface unit is one pixel of the image. Pens follow the Windows rules the
// map setups were made with: dashed and dotted patterns belong to the thinnest
// pen, a wider pen draws them solid; hatches are 8-pixel patterns in the fill
// colour over whatever is already drawn.
//
// The painter stays open while the surface lives: take Snapshot() for a picture
// that must not change with later drawing.

#include <QFont>
#include <QImage>
#include <QPainter>
#include <functional>
#include <memory>
#include <optional>

#include "render/pixelbuffer.h"
#include "render/ringraster.h"
#include "render/surface.h"

namespace orvenda {

class QPainterSurface final : public Surface {
 public:
  QPainterSurface(int width, int height);
  ~QPainterSurface() override;
  QPainterSurface(const QPainterSurface&) = delete;
  QPainterSurface& operator=(const QPainterSurface&) = delete;

  // A new picture of that size, painted in the back colour.
  void Resize(int width, int height);
  // Smooth edges and text; off gives exact, repeatable pixels.
  void SetAntialiasing(bool on);
  bool antialiasing() const { return antialias_; }
  const QImage& image() const { return image_; }
  QImage Snapshot() const { return image_.copy(); }
  // Puts a picture (a saved snapshot) back on the surface at the top-left.
  void DrawImage(const QImage& picture);
  // Lets Qt drawing (a raster picture, say) go straight onto the surface.
  void PaintWith(const std::function<void(QPainter&)>& paint);
  void SetRefreshHandler(std::function<void()> handler) { refresh_ = std::move(handler); }
  // The Qt font a FontSpec turns into on this surface.
  QFont QtFont(const FontSpec& font) const;

  double ScaleWidth() const override { return image_.width(); }
  double ScaleHeight() const override { return image_.height(); }

  void SetDrawWidth(std::int32_t width) override { drawWidth_ = width; }
  void SetDrawStyle(std::int32_t style) override { drawStyle_ = style; }
  void SetForeColor(Colour colour) override { foreColor_ = colour; }
  void SetFillColor(Colour colour) override { fillColor_ = colour; }
  void SetFillStyle(std::int32_t style) override { fillStyle_ = style; }
  void SetBackColor(Colour colour) override { backColor_ = colour; }
  void SetFont(const FontSpec& font) override;
  FontSpec Font() const override { return font_; }

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
  void Begin();
  // Solid fills (and, smooth, thin solid outlines) written straight into the
  // picture; false for rings the painter draws whole.
  bool PaintPlainRing(const std::vector<PixelPoint>& ring);
  void PainterPolygon(const std::vector<PixelPoint>& pixels, const QBrush& brush);
  QPen MakePen(Colour colour) const;
  QBrush MakeBrush() const;
  QPointF Device(SurfacePoint at) const;
  QPointF Device(PixelPoint at) const;
  const QFont& CurrentFont() const;

  QImage image_;
  std::unique_ptr<QPainter> painter_;
  PixelBuffer pixels_;  // image_'s memory
  RingRaster rings_;
  bool antialias_ = false;
  std::int32_t drawWidth_ = 1;
  std::int32_t drawStyle_ = drawstyle::kSolid;
  Colour foreColor_ = 0;
  Colour fillColor_ = 0;
  std::int32_t fillStyle_ = fillstyle::kTransparent;
  Colour backColor_ = 0xFFFFFF;
  FontSpec font_;
  mutable std::optional<QFont> qfont_;  // font_ made into a QFont, built on demand
  mutable qreal ascent_ = 0;            // of qfont_
  std::function<void()> refresh_;
};

// The hatch of a fill style code; Qt::NoBrush for transparent and unknown codes.
Qt::BrushStyle BrushStyleFor(std::int32_t fillStyle);
// Dash pattern (on, off, ...) of a thin pen in pixels; empty for solid lines.
QList<qreal> DashPatternFor(std::int32_t drawStyle);

}  // namespace orvenda
