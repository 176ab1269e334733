#include "viewer/qpaintersurface.h"

#include <QFontMetricsF>
#include <QPolygonF>
#include <QString>
#include <algorithm>

#include "viewer/qtcolour.h"

namespace orvenda {

Qt::BrushStyle BrushStyleFor(std::int32_t fillStyle) {
  switch (fillStyle) {
    case fillstyle::kSolid:
      return Qt::SolidPattern;
    case fillstyle::kHorizontalLine:
      return Qt::HorPattern;
    case fillstyle::kVerticalLine:
      return Qt::VerPattern;
    case fillstyle::kUpwardDiagonal:
      return Qt::BDiagPattern;  // "/": rising to the right
    case fillstyle::kDownwardDiagonal:
      return Qt::FDiagPattern;  // "\": falling to the right
    case fillstyle::kCross:
      return Qt::CrossPattern;
    case fillstyle::kDiagonalCross:
      return Qt::DiagCrossPattern;
    default:
      return Qt::NoBrush;
  }
}

QList<qreal> DashPatternFor(std::int32_t drawStyle) {
  // The patterns of the Windows cosmetic pens, in pixels.
  switch (drawStyle) {
    case drawstyle::kDash:
      return {18, 6};
    case drawstyle::kDot:
      return {3, 3};
    case drawstyle::kDashDot:
      return {9, 6, 3, 6};
    case drawstyle::kDashDotDot:
      return {9, 3, 3, 3, 3, 3};
    default:
      return {};
  }
}

QPainterSurface::QPainterSurface(int width, int height) { Resize(width, height); }

QPainterSurface::~QPainterSurface() {
  if (painter_) painter_->end();
}

void QPainterSurface::Resize(int width, int height) {
  if (painter_) painter_->end();
  image_ = QImage(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
  image_.fill(ToQColor(backColor_));
  Begin();
}

void QPainterSurface::PaintWith(const std::function<void(QPainter&)>& paint) {
  painter_->save();
  paint(*painter_);
  painter_->restore();
}

void QPainterSurface::Begin() {
  painter_ = std::make_unique<QPainter>(&image_);
  painter_->setRenderHint(QPainter::Antialiasing, antialias_);
  painter_->setRenderHint(QPainter::TextAntialiasing, antialias_);
  painter_->setBackgroundMode(Qt::TransparentMode);
  // The painter holds the picture's memory from here on; plain rings go there too.
  pixels_ = {reinterpret_cast<std::uint32_t*>(image_.bits()), image_.width(), image_.height(),
             image_.bytesPerLine() / 4};
}

void QPainterSurface::SetAntialiasing(bool on) {
  antialias_ = on;
  painter_->setRenderHint(QPainter::Antialiasing, on);
  painter_->setRenderHint(QPainter::TextAntialiasing, on);
  qfont_.reset();
}

void QPainterSurface::DrawImage(const QImage& picture) {
  painter_->drawImage(QPointF(0, 0), picture);
}

void QPainterSurface::SetFont(const FontSpec& font) {
  // The turn is applied when printing; only the face, size and weight make the
  // Qt font, so labels at many angles share one.
  const bool sameFace = font.face == font_.face && font.heightPoints == font_.heightPoints &&
                        font.weight == font_.weight;
  font_ = font;
  if (!sameFace) qfont_.reset();
}

QFont QPainterSurface::QtFont(const FontSpec& wanted) const {
  QFont font(QString::fromStdString(wanted.face));
  // The character height (em) in pixels, as a negative Windows font height gives it.
  font.setPixelSize(std::max(1, FontPixelHeight(wanted, TwipsPerPixelY(*this))));
  font.setWeight(static_cast<QFont::Weight>(std::clamp(wanted.weight, 1, 1000)));
  font.setStyleStrategy(antialias_ ? QFont::PreferDefault : QFont::NoAntialias);
  return font;
}

const QFont& QPainterSurface::CurrentFont() const {
  if (!qfont_) {
    qfont_ = QtFont(font_);
    ascent_ = QFontMetricsF(*qfont_, &image_).ascent();
  }
  return *qfont_;
}

QPen QPainterSurface::MakePen(Colour colour) const {
  if (drawStyle_ == drawstyle::kTransparent) return QPen(Qt::NoPen);
  QPen pen(ToQColor(colour));
  if (drawWidth_ <= 1) {
    pen.setWidth(1);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    const QList<qreal> dashes = DashPatternFor(drawStyle_);
    if (!dashes.isEmpty()) pen.setDashPattern(dashes);
  } else {
    pen.setWidth(drawWidth_);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
  }
  return pen;
}

QBrush QPainterSurface::MakeBrush() const {
  const Qt::BrushStyle style = BrushStyleFor(fillStyle_);
  if (style == Qt::NoBrush) return QBrush(Qt::NoBrush);
  return QBrush(ToQColor(fillColor_), style);
}

// Aliased drawing lands on whole pixels (rounded halves to even, like every pixel
// conversion); smooth drawing keeps the fraction and aims at pixel centres.
QPointF QPainterSurface::Device(SurfacePoint at) const {
  if (antialias_) return {at.x + 0.5, at.y + 0.5};
  const PixelPoint p = ToPixel(*this, at);
  return {static_cast<qreal>(p.x), static_cast<qreal>(p.y)};
}

QPointF QPainterSurface::Device(PixelPoint at) const {
  const qreal shift = antialias_ ? 0.5 : 0.0;
  return {at.x + shift, at.y + shift};
}

void QPainterSurface::Cls() { painter_->fillRect(image_.rect(), ToQColor(backColor_)); }

void QPainterSurface::Dot(SurfacePoint at, Colour colour) {
  if (drawStyle_ == drawstyle::kTransparent) return;
  const PixelPoint p = ToPixel(*this, at);
  if (drawWidth_ <= 1) {
    // One pixel: a painter call per point would cost more than the point.
    if (pixels_.Contains(p.x, p.y)) pixels_.Row(p.y)[p.x] = OpaquePixel(colour);
    return;
  }
  const qreal radius = drawWidth_ / 2.0;
  painter_->setPen(Qt::NoPen);
  painter_->setBrush(ToQColor(colour));
  painter_->drawEllipse(QPointF(p.x + 0.5, p.y + 0.5), radius, radius);
}

void QPainterSurface::Line(SurfacePoint from, SurfacePoint to, Colour colour) {
  if (drawStyle_ == drawstyle::kTransparent) return;
  painter_->setPen(MakePen(colour));
  painter_->drawLine(Device(from), Device(to));
}

void QPainterSurface::Polyline(const std::vector<SurfacePoint>& points, Colour colour) {
  if (drawStyle_ == drawstyle::kTransparent || points.size() < 2) return;
  QPolygonF line;
  line.reserve(static_cast<qsizetype>(points.size()));
  for (const auto& p : points) line.append(Device(p));
  painter_->setPen(MakePen(colour));
  painter_->drawPolyline(line);
}

bool QPainterSurface::PaintPlainRing(const std::vector<PixelPoint>& ring) {
  const bool solidFill = fillStyle_ == fillstyle::kSolid;
  if (!antialias_) {
    // Hard edges: whole-number positions are pixel corners, and the fill takes
    // the pixels whose centres are inside, as the painter's own fill does. The
    // outline stays the painter's, pixel for pixel.
    if (!solidFill) return false;
    rings_.Fill(pixels_, ring, OpaquePixel(fillColor_), VertexPlace::kPixelCorner);
    if (drawStyle_ != drawstyle::kTransparent) PainterPolygon(ring, QBrush(Qt::NoBrush));
    return true;
  }
  // Smooth: vertices are pixel centres and a thin outline covers the fill's hard
  // edge. A fill without one needs the painter's smooth edge.
  const bool thinPen = drawStyle_ == drawstyle::kSolid && drawWidth_ <= 1;
  if (!thinPen || !(solidFill || fillStyle_ == fillstyle::kTransparent)) return false;
  if (solidFill) rings_.Fill(pixels_, ring, OpaquePixel(fillColor_), VertexPlace::kPixelCentre);
  const std::uint32_t outline = OpaquePixel(foreColor_);
  for (std::size_t i = 0; i < ring.size(); ++i) {
    SmoothLine(pixels_, ring[i], ring[(i + 1) % ring.size()], outline, ring.size() == 1);
  }
  return true;
}

void QPainterSurface::PainterPolygon(const std::vector<PixelPoint>& pixels, const QBrush& brush) {
  QPolygonF ring;
  ring.reserve(static_cast<qsizetype>(pixels.size()));
  for (const auto& p : pixels) ring.append(Device(p));
  painter_->setPen(MakePen(foreColor_));
  painter_->setBrush(brush);
  // The Windows default polygon fill rule.
  painter_->drawPolygon(ring, Qt::OddEvenFill);
}

void QPainterSurface::Polygon(const std::vector<PixelPoint>& pixels) {
  if (pixels.empty() || PaintPlainRing(pixels)) return;
  PainterPolygon(pixels, MakeBrush());
}

void QPainterSurface::Print(SurfacePoint topLeft, const std::string& text) {
  const QFont& font = CurrentFont();
  const QPointF origin = antialias_ ? QPointF(topLeft.x, topLeft.y) : Device(topLeft);
  QTransform turn;
  turn.translate(origin.x(), origin.y());
  // Escapement turns counter-clockwise; y grows downwards on the surface.
  turn.rotate(-font_.escapement / 10.0);
  painter_->setTransform(turn);
  painter_->setFont(font);
  painter_->setPen(ToQColor(foreColor_));
  painter_->drawText(QPointF(0, ascent_), QString::fromStdString(text));
  painter_->resetTransform();
}

double QPainterSurface::TextWidth(const std::string& text) const {
  return QFontMetricsF(CurrentFont(), &image_).horizontalAdvance(QString::fromStdString(text));
}

double QPainterSurface::TextHeight(const std::string&) const {
  return QFontMetricsF(CurrentFont(), &image_).height();
}

void QPainterSurface::Refresh() {
  if (refresh_) refresh_();
}

}  // namespace orvenda
