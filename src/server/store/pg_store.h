// The PostgreSQL backend of the store: one connection to a database with PostGIS.
// Several server processes may share the database; write transactions take one
// advisory lock, so they run one after the other as SQLite's do.
#pragma once

#include <map>
#include <string>

#include "store/pg_db.h"
#include "store/row_store.h"
#include "store/shared_site.h"
#include "store/site_copy.h"
#include "store/store.h"

namespace orvenda::server {

class PgStore final : public RowStore, public SiteRows, public SharedSite {
 public:
  // Connects with a libpq connection string and brings the schema up to date.
  explicit PgStore(const std::string& conninfo);
  ~PgStore() override = default;

  std::optional<UserRecord> FindUser(const std::string& name) override;
  std::optional<UserRecord> FindUserById(std::int32_t id) override;
  std::vector<UserRecord> ListUsers() override;
  std::int32_t AddUser(const std::string& name, const std::string& passwordHash,
                       bool guest) override;
  void SetPasswordHash(std::int32_t userId, const std::string& passwordHash) override;
  void RemoveUser(std::int32_t userId) override;
  void SetAccess(std::int32_t userId, std::int32_t layerId, AccessLevel level) override;
  AccessLevel AccessLevelOf(std::int32_t userId, std::int32_t layerId) override;
  std::vector<MapSummary> MapsForUser(std::int32_t userId) override;
  bool CanOpenMap(std::int32_t userId, std::int32_t mapCode) override;

  std::optional<MapDefinition> FindMapDefinition(std::int32_t mapCode) override;
  std::vector<MapSummary> ListMaps() override;
  void CreateMap(const MapDefinition& map) override;
  void AddLayerToMap(std::int32_t mapCode, const LayerRecord& setup) override;
  void UpdateLayerSetup(std::int32_t mapCode, const LayerRecord& setup) override;
  SavedMap SaveMap(const MapDefinition& map, SaveMode mode, std::int32_t authorId) override;
  bool MayChangeMap(std::int32_t userId, std::int32_t mapCode) override;

  std::int32_t CreateLayer(const NewLayer& layer) override;
  std::vector<CellElement> CellElements(std::int32_t layerId, CellKey cell,
                                        const ElementIds& leaveOut = {}) override;
  std::optional<CellFieldValues> FindCellFieldValues(std::int32_t layerId, CellKey cell,
                                                     const std::string& field) override;
  std::optional<std::vector<std::string>> DistinctValues(std::int32_t layerId,
                                                         const std::string& field,
                                                         std::size_t limit) override;
  std::optional<ValueRange> FindValueRange(std::int32_t layerId, const std::string& field) override;
  std::optional<std::vector<AttributeValue>> ElementAttributes(std::int32_t layerId,
                                                               std::int32_t elementId) override;
  std::optional<Box> ElementExtent(std::int32_t layerId, std::int32_t elementId) override;
  std::optional<std::vector<FoundElement>> FindElements(std::int32_t layerId, const Condition& c,
                                                        std::size_t limit) override;
  std::vector<AddressCandidate> FindAddress(std::int32_t layerId, const std::string& street,
                                            std::int64_t number, std::size_t limit) override;

  ElementWrite AddElementTyped(std::int32_t layerId, const std::vector<Point>& points,
                               const std::vector<Value>& values) override;
  std::optional<std::vector<CellKey>> RemoveElement(std::int32_t layerId,
                                                    std::int32_t elementId) override;

  SharedSite* Shared() override { return this; }
  void LogChange(std::int32_t layerId, std::int32_t elementId, std::int16_t operation,
                 std::string_view message) override;
  std::unique_ptr<ChangeWatch> WatchChanges() override;
  bool AddHandle(std::int32_t handle, std::int32_t userId, std::int64_t expires) override;
  std::optional<std::int32_t> FindHandle(std::int32_t handle, std::int64_t now,
                                         bool attach) override;
  void DetachHandle(std::int32_t handle, std::int64_t now) override;
  std::size_t LiveHandles(std::int64_t now) override;

  bool SiteEmpty() override;
  void BeginReads() override { db_.Exec("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY"); }
  void EndReads() override { db_.Exec("COMMIT"); }
  void ReadRows(SiteTable table, const std::function<void(SiteRow&&)>& row) override;
  void WriteRows(SiteTable table, const std::vector<SiteRow>& rows) override;
  void FinishWrites() override;

 private:
  const LayerShape& Shape(std::int32_t layerId) override;
  bool HasLayer(std::int32_t layerId) override;
  std::vector<LayerInfo> QueryLayers(const char* where, const std::string* name,
                                     std::int64_t id) override;
  std::vector<ThemeClass> ThemesOf(std::int32_t mapCode, std::int32_t layerId);
  void WriteSetup(std::int32_t mapCode, const LayerRecord& setup, std::int64_t order);
  std::optional<LayerGrid> WidenGrid(std::int32_t layerId,
                                     const std::vector<CellKey>& cells) override;
  std::vector<CellKey> StoreGeometry(std::int32_t layerId, std::int32_t elementId,
                                     const std::vector<Point>& points, bool isNew) override;
  void WriteValue(std::int32_t layerId, std::int32_t elementId, std::size_t position,
                  const Value& v) override;
  std::vector<CellKey> CellsOfElement(std::int32_t layerId, std::int32_t elementId) override;
  void InSavepoint(const std::function<void()>& work) override;
  void LayerValueRows(
      std::int32_t layerId,
      const std::function<bool(std::int32_t, std::optional<std::int64_t>, Value)>& row) override;
  std::int32_t FreshMapCode();

  void Migrate();

  // A layer's identifier counter and grid limits while a write transaction runs. Kept
  // here and written back once (before the transaction commits, or before anything
  // reads them): PostgreSQL keeps every version of a row that one transaction updates,
  // so a bulk import that updated the layer's row for each element would slow down
  // with each one.
  struct LayerCounters {
    std::int64_t lastId = 0;
    LayerGrid grid;
    bool dirty = false;
  };
  LayerCounters& Counters(std::int32_t layerId);
  void FlushCounters();
  std::map<std::int32_t, LayerCounters> counters_;

  std::string conninfo_;
  PgDb db_;
  std::map<std::int32_t, LayerShape> shapes_;
};

}  // namespace orvenda::server
