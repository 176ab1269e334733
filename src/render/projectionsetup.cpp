#include "render/projectionsetup.h"

#include <array>
#include <cstdlib>

#include "render/calbers.h"
#include "render/clatlon.h"
#include "render/cutm.h"

namespace orvenda {

namespace {

constexpr double kAlbersFalseOffset = 5000000.0;
constexpr double kUtmScale = 0.9996;
constexpr int kUtmCodeOffset = 100;

bool HoldsClass(const CProjection* p, ProjectionClass kind) {
  switch (kind) {
    case ProjectionClass::LatLon:
      return dynamic_cast<const CLatLon*>(p) != nullptr;
    case ProjectionClass::Albers:
      return dynamic_cast<const CAlbers*>(p) != nullptr;
    case ProjectionClass::UTM:
      return dynamic_cast<const CUTM*>(p) != nullptr;
    case ProjectionClass::None:
      break;
  }
  return false;
}

}  // namespace

ProjectionClass ProjectionClassForCode(int code) {
  if (code == 0) {
    return ProjectionClass::LatLon;
  }
  if (code == 1) {
    return ProjectionClass::Albers;
  }
  if (code >= 40 && code <= 160) {
    return ProjectionClass::UTM;
  }
  return ProjectionClass::None;
}

std::unique_ptr<CProjection> MakeProjection(int code) {
  switch (ProjectionClassForCode(code)) {
    case ProjectionClass::LatLon:
      return std::make_unique<CLatLon>();
    case ProjectionClass::Albers:
      return std::make_unique<CAlbers>();
    case ProjectionClass::UTM:
      return std::make_unique<CUTM>();
    case ProjectionClass::None:
      break;
  }
  return nullptr;
}

bool SetUpProjection(std::unique_ptr<CProjection>& projector, int code, double minY, double maxY,
                     double centerX, double centerY) {
  const ProjectionClass kind = ProjectionClassForCode(code);
  if (kind == ProjectionClass::None) {
    return false;
  }
  if (!HoldsClass(projector.get(), kind)) {
    projector = MakeProjection(code);
  }
  switch (kind) {
    case ProjectionClass::LatLon:
      projector->Init(0.0, 0.0, {});
      break;
    case ProjectionClass::Albers: {
      const std::array<double, 6> params{
          minY, maxY, centerX, centerY, kAlbersFalseOffset, kAlbersFalseOffset};
      projector->Init(kWgs84SemiMajor, kWgs84SemiMinor, params);
      break;
    }
    case ProjectionClass::UTM: {
      const std::array<double, 2> params{static_cast<double>(code - kUtmCodeOffset), kUtmScale};
      projector->Init(kWgs84SemiMajor, kWgs84SemiMinor, params);
      break;
    }
    case ProjectionClass::None:
      break;
  }
  return true;
}

GeoWindow ViewWindowForCode(int code) {
  if (ProjectionClassForCode(code) != ProjectionClass::UTM) {
    return {};
  }
  constexpr double kUtmHalfWidth = 20;
  constexpr double kUtmLatitudeLimit = 84;
  const int zone = std::abs(code - kUtmCodeOffset);
  if (zone < 1 || zone > 60) {
    return {};  // no zone: the projector is never set up
  }
  const double meridian = zone * 6.0 - 183.0;
  return {meridian - kUtmHalfWidth, -kUtmLatitudeLimit, meridian + kUtmHalfWidth,
          kUtmLatitudeLimit};
}

}  // namespace orvenda
