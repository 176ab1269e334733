// Reading a vector source through GDAL/OGR into memory: fields mapped to the type codes
// the client knows, geometries reprojected to longitude/latitude (WGS 84, longitude
// first) and split into single parts.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "store/store.h"

namespace orvenda::server {

struct SourceFeature {
  // One entry per part: a multi-part feature becomes several elements that share the
  // feature's values. A polygon part is one closed vertex list: its outer ring with
  // each hole joined to it by a zero-width bridge (import/bridge_holes.h).
  std::vector<std::vector<Point>> parts;
  std::vector<Value> values;  // one per field of SourceData::fields
};

struct SourceData {
  LayerKind kind = LayerKind::Point;
  std::vector<FieldDef> fields;
  std::vector<SourceFeature> features;
  std::size_t skippedParts = 0;  // parts of another kind, empty or out of range
  std::string sourceCrs;         // description of the CRS read from, or empty
};

struct SourceOptions {
  std::string layer;      // OGR layer name; empty = the first layer
  std::string sourceCrs;  // overrides the source's CRS ("EPSG:32614", WKT, PROJ)
  std::string where;      // OGR attribute filter, e.g. "population >= 1000000"
  // Cut rings and lines that step across ±180 (sources drawn on the sphere).
  bool splitAtAntimeridian = false;
};

// Throws StoreError with a readable message when the source cannot be read, has no such
// layer, no usable geometry, or an unknown CRS.
SourceData ReadSource(const std::filesystem::path& path, const SourceOptions& options);

// The source as ReadSource gives it, then once more for each tolerance (degrees) that
// `tolerancesFor` picks from the extent of the source's geometry: each copy simplified
// part by part through GEOS so that every original vertex stays within the tolerance
// and every part stays valid (rings simple, holes inside their ring). Points are
// copied as they are. The tolerances come coarsest first: the copies stop at the first
// that `keep` refuses, judged by the vertices Douglas-Peucker alone would keep before
// any part is mended, and again once the copy is made.
std::vector<SourceData> ReadSourceLevels(
    const std::filesystem::path& path, const SourceOptions& options,
    const std::function<std::vector<double>(const Box& extent)>& tolerancesFor,
    const std::function<bool(std::size_t levelVertices, std::size_t originalVertices)>& keep);

std::size_t VertexCount(const SourceData& data);

// OGR field type and subtype to the type code of a field (0 = not stored).
std::int16_t FieldTypeFor(int ogrType, int ogrSubType);

}  // namespace orvenda::server
