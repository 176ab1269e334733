#include "import/ogr_source.h"

#include <gdal_priv.h>
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <set>

#include "import/antimeridian.h"
#include "import/bridge_holes.h"
#include "import/generalise.h"

namespace orvenda::server {
namespace {

// Coordinates a hair outside the valid range (a ring closed at 180.0000001 after a
// reprojection) are pulled in; anything further out is refused.
constexpr double kEdgeSlack = 1e-6;

bool ClampCoordinate(double& v, double limit) {
  if (!std::isfinite(v) || std::fabs(v) > limit + kEdgeSlack) return false;
  v = std::clamp(v, -limit, limit);
  return true;
}

// No coordinate system of the Earth reaches this far, in any unit it uses. GDAL takes time
// in proportion to a coordinate's size to bring it to a longitude (three seconds at 1e17
// metres, ten times longer for each power of ten beyond), so a feature that goes further
// is skipped before it is reprojected.
constexpr double kFarthestCoordinate = 1e10;

bool WithinReach(const OGRGeometry& g) {
  OGREnvelope e;
  g.getEnvelope(&e);
  for (const double v : {e.MinX, e.MinY, e.MaxX, e.MaxY}) {
    if (!std::isfinite(v) || std::fabs(v) > kFarthestCoordinate) return false;
  }
  return true;
}

LayerKind BaseKind(OGRwkbGeometryType t) {
  switch (wkbFlatten(t)) {
    case wkbPoint:
    case wkbMultiPoint:
      return LayerKind::Point;
    case wkbLineString:
    case wkbMultiLineString:
    case wkbCircularString:
    case wkbCompoundCurve:
    case wkbMultiCurve:
      return LayerKind::Polyline;
    case wkbPolygon:
    case wkbMultiPolygon:
    case wkbCurvePolygon:
    case wkbMultiSurface:
      return LayerKind::Polygon;
    default:
      return LayerKind::Image;  // "no kind": collections, unknown
  }
}

// The kind of the first simple geometry inside g (for sources of mixed type).
LayerKind FirstKind(const OGRGeometry& g) {
  if (wkbFlatten(g.getGeometryType()) == wkbGeometryCollection) {
    for (const OGRGeometry* sub : *g.toGeometryCollection())
      if (LayerKind k = FirstKind(*sub); k != LayerKind::Image) return k;
    return LayerKind::Image;
  }
  return BaseKind(g.getGeometryType());
}

// The core's bridging works on the client's vertex type.
std::vector<orvenda::Point> ClientPoints(const std::vector<Point>& points) {
  std::vector<orvenda::Point> out;
  out.reserve(points.size());
  for (const Point& p : points) out.push_back({p.x, p.y});
  return out;
}

struct PartCollector {
  LayerKind kind;
  std::vector<std::vector<Point>>& parts;
  std::size_t& skipped;
  bool splitAtAntimeridian = false;

  // The curve's vertices; false when one lies outside the world.
  static bool Read(const OGRSimpleCurve& c, std::vector<Point>& pts) {
    pts.reserve(static_cast<std::size_t>(c.getNumPoints()));
    for (int i = 0; i < c.getNumPoints(); ++i) {
      Point p{c.getX(i), c.getY(i)};
      if (!ClampCoordinate(p.x, 180) || !ClampCoordinate(p.y, 90)) return false;
      pts.push_back(p);
    }
    return true;
  }

  void Keep(std::vector<Point> pts, bool ring) {
    if (pts.empty()) {
      ++skipped;
    } else if (splitAtAntimeridian && CrossesAntimeridian(pts)) {
      auto pieces = ring ? SplitRingAtAntimeridian(pts) : SplitLineAtAntimeridian(pts);
      for (auto& piece : pieces) parts.push_back(std::move(piece));
    } else {
      parts.push_back(std::move(pts));
    }
  }

  // A polygon becomes one ring, its holes bridged in before any cut at the
  // antimeridian. The cut clips the ring against x = +-180, which keeps the even-odd
  // count of every point on the kept side, so a hole lands in the piece that holds
  // it, and a hole that straddles the cut is shared by both pieces, each keeping its
  // own side. A ring outside the world refuses the whole polygon: without its hole
  // it would cover what it does not.
  void AddPolygon(const OGRPolygon& polygon) {
    const OGRLinearRing* outer = polygon.getExteriorRing();
    if (!outer) return;
    std::vector<Point> ring;
    bool inRange = Read(*outer, ring);
    std::vector<std::vector<orvenda::Point>> holes;
    for (int h = 0; inRange && h < polygon.getNumInteriorRings(); ++h) {
      std::vector<Point> hole;
      inRange = Read(*polygon.getInteriorRing(h), hole);
      holes.push_back(ClientPoints(hole));
    }
    if (!inRange) {
      ++skipped;
      return;
    }
    if (!holes.empty() && !ring.empty()) {
      std::vector<orvenda::Point> bridged = ClientPoints(ring);
      BridgeHoles(bridged, holes);
      ring.clear();
      for (const orvenda::Point& p : bridged) ring.push_back({p.X, p.Y});
    }
    Keep(std::move(ring), true);
  }

  void Add(const OGRGeometry& g) {
    if (g.IsEmpty()) return;
    const auto t = wkbFlatten(g.getGeometryType());
    if (t == wkbGeometryCollection || t == wkbMultiPoint || t == wkbMultiLineString ||
        t == wkbMultiPolygon) {
      for (const OGRGeometry* sub : *g.toGeometryCollection()) Add(*sub);
      return;
    }
    if (BaseKind(t) != kind) {
      ++skipped;
      return;
    }
    if (t == wkbPoint) {
      const OGRPoint* p = g.toPoint();
      Point q{p->getX(), p->getY()};
      if (ClampCoordinate(q.x, 180) && ClampCoordinate(q.y, 90))
        parts.push_back({q});
      else
        ++skipped;
    } else if (t == wkbLineString) {
      std::vector<Point> line;
      if (Read(*g.toLineString(), line))
        Keep(std::move(line), false);
      else
        ++skipped;
    } else if (t == wkbPolygon) {
      AddPolygon(*g.toPolygon());
    } else {
      ++skipped;
    }
  }
};

std::unique_ptr<OGRCoordinateTransformation> TransformFor(OGRLayer& layer, const SourceOptions& o,
                                                          std::string& described) {
  OGRSpatialReference src;
  if (!o.sourceCrs.empty()) {
    if (src.SetFromUserInput(o.sourceCrs.c_str()) != OGRERR_NONE)
      throw StoreError(StoreFault::BadValue,
                       "unknown coordinate reference system '" + o.sourceCrs + "'");
  } else if (const OGRSpatialReference* s = layer.GetSpatialRef()) {
    src = *s;
  } else {
    described.clear();  // no CRS: coordinates are taken as longitude/latitude
    return nullptr;
  }
  src.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  const char* name = src.GetName();
  described = name ? name : "unnamed CRS";
  OGRSpatialReference wgs84;
  wgs84.importFromEPSG(4326);
  wgs84.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  if (src.IsSame(&wgs84)) return nullptr;
  std::unique_ptr<OGRCoordinateTransformation> ct(OGRCreateCoordinateTransformation(&src, &wgs84));
  if (!ct)
    throw StoreError(StoreFault::StorageFailure,
                     "no transformation from " + described + " to WGS 84");
  return ct;
}

std::vector<FieldDef> MapFields(OGRFeatureDefn& defn, std::vector<int>& ogrIndex) {
  std::vector<FieldDef> fields;
  std::set<std::string> seen;
  for (int i = 0; i < defn.GetFieldCount(); ++i) {
    const OGRFieldDefn* f = defn.GetFieldDefn(i);
    const std::int16_t type = FieldTypeFor(f->GetType(), f->GetSubType());
    if (type == 0) continue;
    std::string name = f->GetNameRef();
    std::string upper = name;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    // Field names are compared without regard to case; keep them distinct.
    for (int n = 2; !seen.insert(upper).second; ++n) {
      name = std::string(f->GetNameRef()) + "_" + std::to_string(n);
      upper = name;
      for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    fields.push_back({name, type});
    ogrIndex.push_back(i);
  }
  return fields;
}

Value ReadValue(const OGRFeature& f, int index) {
  if (!f.IsFieldSetAndNotNull(index)) return std::monostate{};
  switch (f.GetFieldDefnRef(index)->GetType()) {
    case OFTInteger:
    case OFTInteger64:
      return std::int64_t{f.GetFieldAsInteger64(index)};
    case OFTReal:
      return f.GetFieldAsDouble(index);
    default:
      break;
  }
  return std::string(f.GetFieldAsString(index));
}

// A 64-bit integer field whose values do not all fit the 32-bit Long of the wire is
// kept as a Double field instead.
void WidenLongFields(SourceData& data) {
  for (std::size_t k = 0; k < data.fields.size(); ++k) {
    if (data.fields[k].type != 20) continue;
    bool fits = true;
    for (const SourceFeature& f : data.features)
      if (const auto* i = std::get_if<std::int64_t>(&f.values[k]))
        fits = fits && *i >= std::numeric_limits<std::int32_t>::min() &&
               *i <= std::numeric_limits<std::int32_t>::max();
    if (fits) continue;
    data.fields[k].type = 5;
    for (SourceFeature& f : data.features)
      if (const auto* i = std::get_if<std::int64_t>(&f.values[k]))
        f.values[k] = static_cast<double>(*i);
  }
}

}  // namespace

std::int16_t FieldTypeFor(int ogrType, int ogrSubType) {
  switch (ogrType) {
    case OFTInteger:
      return (ogrSubType == OFSTBoolean || ogrSubType == OFSTInt16) ? 2 : 3;
    case OFTInteger64:
      return 20;
    case OFTReal:
      return ogrSubType == OFSTFloat32 ? 4 : 5;
    case OFTBinary:
      return 0;
    default:
      return 202;  // strings, dates, times and lists as their text
  }
}

namespace {

// Reads every usable feature of the source, reprojected to longitude/latitude, and
// hands it to `take` with its values; fills in data's kind, fields and CRS.
void ReadFeatures(const std::filesystem::path& path, const SourceOptions& options, SourceData& data,
                  const std::function<void(OGRGeometry&, std::vector<Value>)>& take) {
  GDALAllRegister();
  // GDAL's own complaint goes into our message instead of straight to stderr.
  CPLPushErrorHandler(CPLQuietErrorHandler);
  GDALDatasetUniquePtr ds(GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY));
  const std::string why = CPLGetLastErrorMsg();
  CPLPopErrorHandler();
  if (!ds)
    throw StoreError(StoreFault::StorageFailure, "cannot open '" + path.string() +
                                                     "' as a vector source" +
                                                     (why.empty() ? std::string() : ": " + why));
  OGRLayer* layer =
      options.layer.empty() ? ds->GetLayer(0) : ds->GetLayerByName(options.layer.c_str());
  if (!layer)
    throw StoreError(StoreFault::UnknownLayer,
                     "'" + path.string() + "' has no layer" +
                         (options.layer.empty() ? std::string() : " '" + options.layer + "'"));
  auto ct = TransformFor(*layer, options, data.sourceCrs);
  std::vector<int> ogrIndex;
  data.fields = MapFields(*layer->GetLayerDefn(), ogrIndex);
  data.kind = BaseKind(layer->GetGeomType());
  if (!options.where.empty() && layer->SetAttributeFilter(options.where.c_str()) != OGRERR_NONE)
    throw StoreError(StoreFault::BadValue, "bad attribute filter '" + options.where + "'");
  layer->ResetReading();
  for (auto& feature : *layer) {
    OGRGeometry* g = feature->GetGeometryRef();
    if (!g || g->IsEmpty()) continue;
    if (g->hasCurveGeometry()) feature->SetGeometryDirectly(g->getLinearGeometry());
    g = feature->GetGeometryRef();
    if (data.kind == LayerKind::Image) data.kind = FirstKind(*g);
    if (ct && (!WithinReach(*g) || g->transform(ct.get()) != OGRERR_NONE)) {
      ++data.skippedParts;
      continue;
    }
    std::vector<Value> values;
    for (std::size_t k = 0; k < data.fields.size(); ++k)
      values.push_back(ReadValue(*feature, ogrIndex[k]));
    take(*g, std::move(values));
  }
}

void Finish(const std::filesystem::path& path, SourceData& data) {
  if (data.features.empty())
    throw StoreError(StoreFault::BadValue, "'" + path.string() + "' holds no usable geometry");
  WidenLongFields(data);
}

}  // namespace

std::size_t VertexCount(const SourceData& data) {
  std::size_t n = 0;
  for (const SourceFeature& f : data.features)
    for (const auto& part : f.parts) n += part.size();
  return n;
}

SourceData ReadSource(const std::filesystem::path& path, const SourceOptions& options) {
  SourceData data;
  ReadFeatures(path, options, data, [&](OGRGeometry& g, std::vector<Value> values) {
    SourceFeature sf;
    PartCollector{data.kind, sf.parts, data.skippedParts, options.splitAtAntimeridian}.Add(g);
    if (sf.parts.empty()) return;
    sf.values = std::move(values);
    data.features.push_back(std::move(sf));
  });
  Finish(path, data);
  return data;
}

std::vector<SourceData> ReadSourceLevels(
    const std::filesystem::path& path, const SourceOptions& options,
    const std::function<std::vector<double>(const Box& extent)>& tolerancesFor,
    const std::function<bool(std::size_t levelVertices, std::size_t originalVertices)>& keep) {
  SourceData original;
  std::vector<std::pair<std::unique_ptr<OGRGeometry>, std::vector<Value>>> kept;
  OGREnvelope extent;
  ReadFeatures(path, options, original, [&](OGRGeometry& g, std::vector<Value> values) {
    OGREnvelope e;
    g.getEnvelope(&e);
    extent.Merge(e);
    kept.emplace_back(g.clone(), std::move(values));
  });
  const std::vector<double> tolerances =
      tolerancesFor({extent.MinX, extent.MinY, extent.MaxX, extent.MaxY});
  std::vector<SourceData> levels;
  for (std::size_t k = 0; k <= tolerances.size(); ++k) {
    if (k > 0 && original.kind != LayerKind::Point) {
      std::size_t forecast = 0;
      for (const auto& kv : kept) forecast += DouglasPeuckerVertices(*kv.first, tolerances[k - 1]);
      if (!keep(forecast, VertexCount(levels[0]))) break;
    }
    SourceData level = original;
    for (auto& [g, values] : kept) {
      // Simplified before the holes are bridged and the rings cut at the antimeridian.
      std::unique_ptr<OGRGeometry> simpler;
      if (k > 0 && level.kind != LayerKind::Point) simpler = Generalised(*g, tolerances[k - 1]);
      SourceFeature sf;
      PartCollector{level.kind, sf.parts, level.skippedParts, options.splitAtAntimeridian}.Add(
          simpler ? *simpler : *g);
      if (sf.parts.empty()) continue;
      sf.values = values;
      level.features.push_back(std::move(sf));
    }
    Finish(path, level);
    if (k > 0 && !keep(VertexCount(level), VertexCount(levels[0]))) break;
    levels.push_back(std::move(level));
  }
  return levels;
}

}  // namespace orvenda::server
