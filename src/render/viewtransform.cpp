#include "render/viewtransform.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "render/projectionsetup.h"

namespace orvenda {
namespace {

GeoLonLat WithinWindow(GeoLonLat g, const GeoWindow& w) {
  const double lon = std::isfinite(g.lon) ? g.lon : (g.lon < 0 ? w.minLon : w.maxLon);
  const double lat = std::isfinite(g.lat) ? g.lat : (g.lat < 0 ? w.minLat : w.maxLat);
  return {std::clamp(lon, w.minLon, w.maxLon), std::clamp(lat, w.minLat, w.maxLat)};
}

}  // namespace

std::ostream& operator<<(std::ostream& os, const ExtentsRect& r) {
  return os << "(" << r.X1 << ", " << r.Y1 << ") - (" << r.X2 << ", " << r.Y2 << ")";
}

std::string Describe(const BoundingBox& bb) {
  std::ostringstream os;
  os.precision(10);
  os << "[" << bb.MinX << " .. " << bb.MaxX << "] x [" << bb.MinY << " .. " << bb.MaxY << "]";
  return os.str();
}

double ViewTransform::SurfaceToProjectedX(double x) const {
  if (FactorEscala == 0) {
    return kNoPosition;
  }
  return (x - ViewWidth / 2.0) / FactorEscala + CenterX;
}

double ViewTransform::SurfaceToProjectedY(double y) const {
  if (FactorEscala == 0) {
    return kNoPosition;
  }
  return CenterY - (y - ViewHeight / 2.0) / FactorEscala;
}

ProjectedXY ViewTransform::Project(double lon, double lat) const {
  if (!Projector) {
    return {lon, lat};
  }
  return Projector->Project(lon, lat);
}

GeoLonLat ViewTransform::Unproject(double x, double y) const {
  if (!Projector) {
    return {x, y};
  }
  return Projector->Unproject(x, y);
}

SurfacePoint ViewTransform::GeoToSurface(double lon, double lat) const {
  const ProjectedXY p = Project(lon, lat);
  return {ProjectedToSurfaceX(p.x), ProjectedToSurfaceY(p.y)};
}

GeoLonLat ViewTransform::SurfaceToGeo(double x, double y) const {
  return Unproject(SurfaceToProjectedX(x), SurfaceToProjectedY(y));
}

void ViewTransform::ApplyExtents(double X1, double Y1, double X2, double Y2) {
  const GeoWindow window = ViewWindowForCode(Projection);
  X1 = std::clamp(X1, window.minLon, window.maxLon);
  X2 = std::clamp(X2, window.minLon, window.maxLon);
  Y1 = std::clamp(Y1, window.minLat, window.maxLat);
  Y2 = std::clamp(Y2, window.minLat, window.maxLat);
  const double minX = std::min(X1, X2);
  const double maxX = std::max(X1, X2);
  const double minY = std::min(Y1, Y2);
  const double maxY = std::max(Y1, Y2);

  const double geoCenterX = (maxX - minX) / 2 + minX;
  const double geoCenterY = (maxY - minY) / 2 + minY;
  SetUpProjection(Projector, Projection, minY, maxY, geoCenterX, geoCenterY);
  const ProjectedXY centre = Project(geoCenterX, geoCenterY);
  CenterX = centre.x;
  CenterY = centre.y;

  const double cornersLon[4] = {minX, minX, maxX, maxX};
  const double cornersLat[4] = {minY, maxY, minY, maxY};
  ProjectedExtents = BoundingBox{};
  for (int i = 0; i < 4; ++i) {
    const ProjectedXY c = Project(cornersLon[i], cornersLat[i]);
    CornerX[static_cast<std::size_t>(i)] = c.x;
    CornerY[static_cast<std::size_t>(i)] = c.y;
    ProjectedExtents.Union(c.x, c.y, c.x, c.y);
  }

  // A rectangle flat in one direction fits by the other alone; a single point
  // keeps the scale it had, instead of an infinite one.
  const double pw = ProjectedExtents.MaxX - ProjectedExtents.MinX;
  const double ph = ProjectedExtents.MaxY - ProjectedExtents.MinY;
  if (pw > 0 && ph > 0) {
    FactorEscala = static_cast<float>(std::min(ViewWidth / pw, ViewHeight / ph));
  } else if (pw > 0) {
    FactorEscala = static_cast<float>(ViewWidth / pw);
  } else if (ph > 0) {
    FactorEscala = static_cast<float>(ViewHeight / ph);
  }

  const double w = ViewWidth;
  const double h = ViewHeight;
  const double sx[6] = {0, 0, w, w, w / 2, w / 2};
  const double sy[6] = {0, h, 0, h, h, 0};
  ViewExtents = BoundingBox{};
  for (int i = 0; i < 6; ++i) {
    GeoLonLat g = SurfaceToGeo(sx[i], sy[i]);
    if (!window.WholeGlobe()) {
      // A corner beyond a limited window has no trustworthy position (the UTM
      // inverse runs wild far from its zone): the window's edge stands for it.
      g = WithinWindow(g, window);
    }
    ViewExtents.Union(g.lon, g.lat, g.lon, g.lat);
  }
}

ExtentsRect ViewTransform::ZoomAboutRect(double pointerX, double pointerY, double factor) const {
  const double W = std::abs(ViewExtents.MaxX - ViewExtents.MinX);
  const double H = std::abs(ViewExtents.MaxY - ViewExtents.MinY);
  const GeoLonLat c = Unproject(pointerX, pointerY);
  return {c.lon - W / factor / 2, c.lat - H / factor / 2, c.lon + W / factor / 2,
          c.lat + H / factor / 2};
}

std::optional<ExtentsRect> ViewTransform::PanRect(double Xd, double Yd, double Xu,
                                                  double Yu) const {
  if (Xd == Xu && Yd == Yu) {
    return std::nullopt;
  }
  const double dx = Xd - Xu;
  const double dy = Yd - Yu;
  return ExtentsRect{ViewExtents.MinX + dx, ViewExtents.MinY + dy, ViewExtents.MaxX + dx,
                     ViewExtents.MaxY + dy};
}

std::optional<ExtentsRect> ViewTransform::ResizeRect() const {
  if (FactorEscala == 0) {
    return std::nullopt;
  }
  const GeoLonLat bottomLeft = SurfaceToGeo(0, ViewHeight);
  const GeoLonLat topRight = SurfaceToGeo(ViewWidth, 0);
  return ExtentsRect{bottomLeft.lon, bottomLeft.lat, topRight.lon, topRight.lat};
}

float ViewTransform::CurrentZoom() const {
  const double xm = (ViewExtents.MinX + ViewExtents.MaxX) / 2;
  const ProjectedXY p1 = Project(xm, ViewExtents.MinY);
  const ProjectedXY p2 = Project(xm, ViewExtents.MaxY);
  return static_cast<float>(std::abs(p2.y - p1.y) / 1000);
}

double ViewTransform::MeasuredTotal(const std::vector<GeoLonLat>& vertices) const {
  double total = 0;
  for (std::size_t i = 1; i < vertices.size(); ++i) {
    const ProjectedXY a = Project(vertices[i - 1].lon, vertices[i - 1].lat);
    const ProjectedXY b = Project(vertices[i].lon, vertices[i].lat);
    total += std::hypot(b.x - a.x, b.y - a.y);
  }
  return std::floor(total * 100) / 100;
}

bool ViewTransform::IsValidPosition(double X, double Y) {
  return std::abs(X) <= 180 && std::abs(Y) <= 90;
}

std::string TotalDistanceMessage(double total) {
  // The total is already in hundredths: two decimals, trailing zeros dropped.
  char number[64];
  std::snprintf(number, sizeof number, "%.2f", total);
  std::string text = number;
  while (!text.empty() && text.back() == '0') {
    text.pop_back();
  }
  if (!text.empty() && text.back() == '.') {
    text.pop_back();
  }
  return "Total distance: " + text + " m.";
}

}  // namespace orvenda
