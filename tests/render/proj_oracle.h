#pragma once

#include <gtest/gtest.h>

#include <string>

#include "render/cprojection.h"

struct pj_ctx;
struct PJconsts;

namespace orvenda::test {

// A PROJ operation built from a proj-string, taking and giving degrees like the
// projection classes. Failed points come back as NaN.
class ProjOracle {
 public:
  explicit ProjOracle(const std::string& definition);
  ~ProjOracle();
  ProjOracle(const ProjOracle&) = delete;
  ProjOracle& operator=(const ProjOracle&) = delete;

  ProjectedXY Forward(double lon, double lat) const;
  GeoLonLat Inverse(double x, double y) const;

 private:
  pj_ctx* ctx_ = nullptr;
  PJconsts* pj_ = nullptr;
};

// Transverse Mercator in PROJ's Evenden/Snyder series form, with the constants of a
// UTM zone (negative zones south, false northing 10 000 000 m).
std::string UtmSeriesDefinition(int zone, double r_major, double r_minor, double scale);

std::string AlbersDefinition(double lat1, double lat2, double lon0, double lat0, double x0,
                             double y0, double r_major, double r_minor);

// Distance on the ground between two nearby positions, in metres (mean earth radius).
double GroundMetres(const GeoLonLat& a, const GeoLonLat& b);

// Both coordinates within `tolerance` of the wanted ones, printing both otherwise.
::testing::AssertionResult Near(const ProjectedXY& got, const ProjectedXY& want, double tolerance);
::testing::AssertionResult Near(const GeoLonLat& got, const GeoLonLat& want, double tolerance);

// Readable coordinates for failure messages.
std::string Text(const GeoLonLat& p);
std::string Text(const ProjectedXY& p);

// A projection that refused its set-up must hand positions back unchanged both
// ways; `projected` is a position in its own units.
void ExpectPassesPositionsThrough(const CProjection& projection, const ProjectedXY& projected,
                                  const std::string& name);

// Infinite or NaN coordinates never project to a finite position, nor does a NaN unproject to one.
void ExpectNoPositionFromNonFiniteInput(const CProjection& projection, const std::string& name);

}  // namespace orvenda::test
