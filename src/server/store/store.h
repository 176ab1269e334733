// The map server's storage, seen by the command handlers, the importer and the
// administration commands. One abstract class, two backends (SQLite: sqlite_store.h;
// PostgreSQL with PostGIS: pg_store.h); every result is a plain struct so the handlers
// never see SQL.
//
// Threading: a Store object is used by one thread at a time. A process that serves
// from several threads opens one Store per thread on the same database file (SQLite in
// WAL mode lets readers run beside one writer).
//
// Errors: lookups of things that may legitimately be absent return an empty optional;
// broken input from an administrator or a client (unknown field, value that does not
// fit its field's type, unknown layer in a write) and database failures throw
// StoreError, whose kind tells the caller which of these it met.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <unordered_set>
#include <utility>
#include <variant>
#include <vector>

#include "protocol/fieldvalue.h"

namespace orvenda::server {

// What a StoreError is about: a caller refuses a request that names something absent
// or gives a bad value, but reports a storage failure as its own fault.
enum class StoreFault {
  UnknownLayer,    // no such layer (or not in the map named)
  UnknownField,    // the layer has no field of that name
  UnknownRecord,   // no such user, map or element
  BadValue,        // out of range, of the wrong type, empty, or a name already taken
  StorageFailure,  // the database, a source file or a library failed
};

class StoreError : public std::runtime_error {
 public:
  StoreError(StoreFault kind, const std::string& what) : std::runtime_error(what), kind_(kind) {}
  StoreFault Kind() const { return kind_; }

 private:
  StoreFault kind_;
};

// "unknown layer", "storage failure"...: the kind in a log line.
const char* StoreFaultName(StoreFault kind);

// Layer kinds as the client knows them (TipoLayer): 1 point, 2 polyline, 4 polygon,
// 5 image.
enum class LayerKind : std::int16_t { Point = 1, Polyline = 2, Polygon = 4, Image = 5 };

// A user's rights on one layer (CONSTACCESSLEVEL).
enum class AccessLevel : std::int16_t { NoAccess = 0, Viewer = 1, Editor = 2, Draw = 3 };

struct Point {
  double x = 0;  // longitude, degrees
  double y = 0;  // latitude, degrees
};

struct Box {
  double minX = 0, minY = 0, maxX = 0, maxY = 0;
};

// One grid cell. `row` comes from latitude, `column` from longitude; requests 2 and 5
// carry (row, column) as their (i, j) and replies 102/105 echo them.
struct CellKey {
  std::int32_t row = 0;
  std::int32_t column = 0;
  friend bool operator==(const CellKey&, const CellKey&) = default;
  friend auto operator<=>(const CellKey&, const CellKey&) = default;
};

// A layer's grid: cells of cellWidth x cellHeight degrees counted from (-180, -90),
// index = nearest integer (halves to even) of (x + 180) / cellWidth and
// (y + 90) / cellHeight. The limits are the index ranges that hold elements.
// The layer record of reply 101 sends firstRow, firstColumn, lastRow, lastColumn as its
// fields 4 to 7, the four values the client stores as minCol, minRow, maxCol, maxRow and
// uses to bound rows by the first and third, columns by the second and fourth.
struct LayerGrid {
  std::int32_t firstRow = 0, firstColumn = 0, lastRow = -1, lastColumn = -1;
  float cellWidth = 1.0f;
  float cellHeight = 1.0f;
};

// Attribute field: name and ADO type code (2, 3, 4, 5, 8, 14, 16-21, 129-131, 200-203).
struct FieldDef {
  std::string name;
  std::int16_t type = 0;
};

// Line and fill settings, in the wire order of the layer record and the theme record.
struct DrawingStyle {
  std::int32_t lineColor = 0xFF0000;
  std::int16_t lineStyle = 0;
  std::int16_t lineWidth = 1;
  std::int32_t fillColor = 0xC0C000;
  std::int16_t fillStyle = 0;
};

// One thematic class: a value (text fields) or a range (numeric fields) and its style.
struct ThemeClass {
  std::string lower;
  std::string upper;
  DrawingStyle style;
};

// A layer as set up in one map: everything one layer record of reply 101 carries.
// Empty labelField / thematicField mean none (the wire sends a single space then).
struct LayerRecord {
  std::int32_t id = 0;
  std::string name;
  LayerKind kind = LayerKind::Point;
  LayerGrid grid;
  std::int16_t userVisibility = 1;
  float zoomMin = 0, zoomMax = 0;
  DrawingStyle style;
  std::string labelField;
  float labelZoomMin = 0, labelZoomMax = 0;
  std::int16_t userLabelVisibility = 0;
  bool labelBold = false;
  std::int32_t labelColor = 0;
  std::string thematicField;
  std::int16_t thematicType = 0;
  std::vector<FieldDef> fields;    // in the layer's own order
  std::vector<ThemeClass> themes;  // without the default class, which the style gives
};

// Map projection codes: 0 longitude/latitude, 1 Albers, 100 + zone for UTM.
struct MapSummary {
  std::int32_t code = 0;
  std::string name;
};

// Reply 101: the map and its layers in drawing order.
struct MapDefinition {
  std::int32_t code = 0;
  std::string name;
  Box extents;
  std::int32_t backgroundColor = 0xFFFFFF;
  std::int16_t projection = 0;
  std::vector<LayerRecord> layers;
};

struct UserRecord {
  std::int32_t id = 0;
  std::string name;
  std::string passwordHash;  // Argon2id string of crypto_pwhash_str; see password.h
  bool guest = false;
};

// An element of a cell reply: its identifier and vertices. Polygons are closed rings
// (first vertex repeated at the end); points have one vertex.
struct CellElement {
  std::int32_t id = 0;
  std::vector<Point> points;
};

// Element identifiers of one layer, as a set to leave out of a cell's elements.
using ElementIds = std::unordered_set<std::int32_t>;

// `ids` as a JSON array, the one form both stores take as a bound list.
inline std::string JsonIdList(const ElementIds& ids) {
  std::string text = "[";
  for (const std::int32_t id : ids) text += (text.size() > 1 ? "," : "") + std::to_string(id);
  return text + "]";
}

// Typed attribute value: empty (NULL), integer, real or text. The handlers encode it by
// the field's type code; an empty value travels as 0 or as an empty string.
using Value = FieldValue;

struct AttributeValue {
  std::int16_t type = 0;  // the field's type code
  Value value;
};

// Reply 105: each element of the cell points (from 1) into a list of distinct texts.
struct CellFieldValues {
  struct Ref {
    std::int32_t elementId = 0;
    std::int32_t position = 0;  // 1-based index into `values`
  };
  std::vector<Ref> refs;
  std::vector<std::string> values;
};

// Reply 106 kind 2.
struct ValueRange {
  std::string lowest;
  std::string highest;
};

// Result of a geometry write: the cells the element now occupies and whether the layer's
// grid limits grew (the server then tells open maps, message 250 operation 4), with the
// limits after the write when they did.
struct ElementWrite {
  std::int32_t id = 0;
  std::vector<CellKey> cells;
  bool gridChanged = false;
  LayerGrid grid;
};

// Layer creation (import, administration).
struct NewLayer {
  std::string name;
  LayerKind kind = LayerKind::Point;
  float cellWidth = 1.0f;
  float cellHeight = 1.0f;
  std::vector<FieldDef> fields;
};

// Information about a stored layer, for administration listings.
struct LayerInfo {
  std::int32_t id = 0;
  std::string name;
  LayerKind kind = LayerKind::Point;
  LayerGrid grid;
  std::vector<FieldDef> fields;
  std::int64_t elementCount = 0;
};

// Request 240 says "as a new map" with map code 0, but 0 is also a real map's code.
enum class SaveMode { Over, AsNew };

// Result of saving a map setup (request 240 / reply 241).
struct SavedMap {
  enum Result { Saved = 0, InvalidName = 1 } result = Saved;
  std::int32_t code = 0;  // the map saved (a fresh code for a new map)
};

// One attribute condition of requests 13 and 14. Operators: 1 equal, 2 starting with,
// 3 ending with, 4 containing, 5 different, 6 less, 7 less or equal, 8 greater,
// 9 greater or equal, 10 between (value1..value2, both included). Text fields compare
// without regard to (ASCII) case; numeric fields compare numbers; 2-4 apply to the
// text of any value. An element without a value (NULL) meets "different" only.
struct Condition {
  std::string field;
  std::int16_t op = 1;
  std::string value1;
  std::string value2;
};

// An element found by condition, with its value of the condition's field (reply 113).
struct FoundElement {
  std::int32_t id = 0;
  Value value;
};

// An element chosen by a multiple selection, with its values in field order (reply 114).
struct MatchedElement {
  std::int32_t id = 0;
  std::vector<AttributeValue> values;
};

// A candidate of an address search (reply 231).
struct AddressCandidate {
  std::int32_t id = 0;
  std::string street;
  std::string firstNumber, secondNumber;
  Box box;
  Point point;  // the house number placed along the segment
};

class SharedSite;

class Store {
 public:
  virtual ~Store() = default;

  // --- users and rights (requests 12, 120, 10, 11) ---
  virtual std::optional<UserRecord> FindUser(const std::string& name) = 0;
  virtual std::optional<UserRecord> FindUserById(std::int32_t id) = 0;
  virtual std::vector<UserRecord> ListUsers() = 0;
  // Throws StoreError when the name is taken or empty. Returns the new id.
  virtual std::int32_t AddUser(const std::string& name, const std::string& passwordHash,
                               bool guest) = 0;
  virtual void SetPasswordHash(std::int32_t userId, const std::string& passwordHash) = 0;
  virtual void RemoveUser(std::int32_t userId) = 0;
  virtual void SetAccess(std::int32_t userId, std::int32_t layerId, AccessLevel level) = 0;
  // NoAccess when nothing was granted.
  virtual AccessLevel AccessLevelOf(std::int32_t userId, std::int32_t layerId) = 0;
  // Maps the user may open: those with at least one layer the user can view.
  virtual std::vector<MapSummary> MapsForUser(std::int32_t userId) = 0;
  virtual bool CanOpenMap(std::int32_t userId, std::int32_t mapCode) = 0;

  // --- maps and layer setups (request 1) ---
  virtual std::optional<MapDefinition> FindMapDefinition(std::int32_t mapCode) = 0;
  virtual std::vector<MapSummary> ListMaps() = 0;
  virtual void CreateMap(const MapDefinition& map) = 0;  // layers are added separately
  // Appends the layer to the map's drawing order with the given setup; the setup's
  // id, name, kind, grid and fields are taken from the layer itself.
  virtual void AddLayerToMap(std::int32_t mapCode, const LayerRecord& setup) = 0;
  // Replaces the setup of a layer already in the map (zoom, labels, themes, styles).
  virtual void UpdateLayerSetup(std::int32_t mapCode, const LayerRecord& setup) = 0;
  // Saves a whole map setup: over map.code (name, extents, colour, projection, and the
  // layers with their order replaced by map.layers), or as a new map with a fresh code,
  // recorded as made by `authorId` (0: nobody).
  // Only the setup fields of each layer record are taken; grids, kinds and fields stay
  // the store's own. The name must be 1 to 255 characters without control characters
  // and not another map's (InvalidName). Throws StoreError for an unknown map or layer,
  // a layer listed twice, a label or thematic field that the layer lacks, or a value
  // outside the rules of setup_rules.h; nothing is changed then.
  virtual SavedMap SaveMap(const MapDefinition& map, SaveMode mode, std::int32_t authorId) = 0;
  // True when the user made the map by saving it as a new one, or holds the editor
  // level or above on every layer of it (a map without layers has no such editor).
  virtual bool MayChangeMap(std::int32_t userId, std::int32_t mapCode) = 0;

  // --- layers and elements (requests 2, 4, 5, 6, 15) ---
  virtual std::int32_t CreateLayer(const NewLayer& layer) = 0;
  virtual std::optional<LayerInfo> FindLayerInfo(std::int32_t layerId) = 0;
  virtual std::optional<LayerInfo> FindLayer(const std::string& name) = 0;
  virtual std::vector<LayerInfo> ListLayers() = 0;
  // Elements whose box meets the cell but are not among `leaveOut` (whose points are
  // then not even read); empty when the layer or cell holds nothing.
  virtual std::vector<CellElement> CellElements(std::int32_t layerId, CellKey cell,
                                                const ElementIds& leaveOut = {}) = 0;
  // Values of one field (name compared without regard to case) for the elements of
  // a cell; nullopt when the layer has no such field.
  virtual std::optional<CellFieldValues> FindCellFieldValues(std::int32_t layerId, CellKey cell,
                                                             const std::string& field) = 0;
  // Distinct texts of a field in ascending order, at most `limit`; nullopt for an
  // unknown field.
  virtual std::optional<std::vector<std::string>> DistinctValues(std::int32_t layerId,
                                                                 const std::string& field,
                                                                 std::size_t limit) = 0;
  // Lowest and highest value (numeric order for numeric fields); nullopt for an
  // unknown field or a field without values.
  virtual std::optional<ValueRange> FindValueRange(std::int32_t layerId,
                                                   const std::string& field) = 0;
  // All values of the element in the order of the layer's fields; nullopt when the
  // element does not exist.
  virtual std::optional<std::vector<AttributeValue>> ElementAttributes(std::int32_t layerId,
                                                                       std::int32_t elementId) = 0;
  virtual std::optional<Box> ElementExtent(std::int32_t layerId, std::int32_t elementId) = 0;

  // --- queries (requests 13, 14, 230) ---
  // Elements of the layer meeting the condition, by identifier, at most `limit`;
  // nullopt for an unknown field. Throws StoreError for an operator outside 1-10 or a
  // value that is not a number for a numeric field.
  virtual std::optional<std::vector<FoundElement>> FindElements(std::int32_t layerId,
                                                                const Condition& c,
                                                                std::size_t limit) = 0;
  // The candidates (existing elements only, each once, in the order given; an empty
  // list stands for every element of the layer, by identifier) meeting every
  // condition, with all their values, at most `limit`; nullopt when a condition names
  // an unknown field. Throws StoreError as FindElements does.
  virtual std::optional<std::vector<MatchedElement>> MatchElements(
      std::int32_t layerId, const std::vector<std::int32_t>& candidates,
      const std::vector<Condition>& conditions, std::size_t limit) = 0;
  // Street segments for a street name and a house number, at most `limit`: see
  // FindAddress in sqlite_queries.cpp for the rules (which fields, which names, where
  // the point goes). Empty for a layer without a name field or NUMINI and NUMFIN.
  virtual std::vector<AddressCandidate> FindAddress(std::int32_t layerId, const std::string& street,
                                                    std::int64_t number, std::size_t limit) = 0;
  // Sets the fields at the given positions (in the layer's field list) to the same
  // values on every listed element, in one transaction; texts are read by each field's
  // type (an empty text stores NULL in a numeric field). Elements that do not exist are
  // passed over. Returns the elements changed. Throws StoreError, changing nothing, for
  // an unknown layer, a position beyond the fields or a value that does not fit.
  virtual std::vector<std::int32_t> SetFieldValues(
      std::int32_t layerId, const std::vector<std::int32_t>& elementIds,
      const std::vector<std::pair<std::size_t, std::string>>& values) = 0;

  // --- element writes (import; requests 205-210 and 220) ---
  // Cells are computed here from the element's box and the layer's grid; values are
  // given one per field in field order, as texts converted by the field's type (an
  // empty text stores NULL in a numeric field). Throws StoreError on a bad value or
  // an unknown layer.
  virtual ElementWrite AddElement(std::int32_t layerId, const std::vector<Point>& points,
                                  const std::vector<std::string>& values) = 0;
  // Same as addElement with values already typed (the importer's path).
  virtual ElementWrite AddElementTyped(std::int32_t layerId, const std::vector<Point>& points,
                                       const std::vector<Value>& values) = 0;
  virtual std::optional<ElementWrite> SetGeometry(std::int32_t layerId, std::int32_t elementId,
                                                  const std::vector<Point>& points) = 0;
  // Returns false when the element does not exist.
  virtual bool SetAttributes(std::int32_t layerId, std::int32_t elementId,
                             const std::vector<std::string>& values) = 0;
  // The cells the element occupied, or nullopt when it did not exist.
  virtual std::optional<std::vector<CellKey>> RemoveElement(std::int32_t layerId,
                                                            std::int32_t elementId) = 0;
  // The cells the element occupies, row by row; empty when it does not exist.
  virtual std::vector<CellKey> ElementCells(std::int32_t layerId, std::int32_t elementId) = 0;

  // Runs `work` in one transaction: all of it is stored or none (bulk import, an edit
  // that writes two elements). The store's own writes inside it join it; a
  // Transaction inside another one is undone alone when its work throws.
  virtual void Transaction(const std::function<void()>& work) = 0;

  // What several server processes sharing this database keep in it (shared_site.h);
  // null for a database that one process serves alone.
  virtual SharedSite* Shared() { return nullptr; }
};

// Opens (creating and migrating when needed) the SQLite database at `path`. Either
// backend: OpenStoreAt in site_copy.h.
std::unique_ptr<Store> OpenStore(const std::filesystem::path& path);

}  // namespace orvenda::server
