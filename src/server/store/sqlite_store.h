// The SQLite backend of the store: one database file in WAL mode.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "store/sqlite_db.h"
#include "store/store.h"

namespace orvenda::server {

class SqliteStore final : public Store {
 public:
  // Opens or creates the file and brings its schema up to date; `schemaTarget` other
  // than 0 stops at that version (tests build old files with it).
  explicit SqliteStore(const std::filesystem::path& path, int schemaTarget = 0);

  // For building a file that is thrown away when the build fails: the journal in
  // memory and no syncing until the store is closed, when the file goes back to WAL.
  void startBulkLoad();
  ~SqliteStore() override;

  std::optional<UserRecord> findUser(const std::string& name) override;
  std::optional<UserRecord> findUserById(std::int32_t id) override;
  std::vector<UserRecord> listUsers() override;
  std::int32_t addUser(const std::string& name, const std::string& passwordHash,
                       bool guest) override;
  void setPasswordHash(std::int32_t userId, const std::string& passwordHash) override;
  void removeUser(std::int32_t userId) override;
  void setAccess(std::int32_t userId, std::int32_t layerId, AccessLevel level) override;
  AccessLevel accessLevel(std::int32_t userId, std::int32_t layerId) override;
  std::vector<MapSummary> mapsForUser(std::int32_t userId) override;
  bool canOpenMap(std::int32_t userId, std::int32_t mapCode) override;

  std::optional<MapDefinition> mapDefinition(std::int32_t mapCode) override;
  std::vector<MapSummary> listMaps() override;
  void createMap(const MapDefinition& map) override;
  void addLayerToMap(std::int32_t mapCode, const LayerRecord& setup) override;
  void updateLayerSetup(std::int32_t mapCode, const LayerRecord& setup) override;
  SavedMap saveMap(const MapDefinition& map) override;

  std::int32_t createLayer(const NewLayer& layer) override;
  std::optional<LayerInfo> layerInfo(std::int32_t layerId) override;
  std::optional<LayerInfo> findLayer(const std::string& name) override;
  std::vector<LayerInfo> listLayers() override;
  std::vector<CellElement> cellElements(std::int32_t layerId, CellKey cell) override;
  std::optional<CellFieldValues> cellFieldValues(std::int32_t layerId, CellKey cell,
                                                 const std::string& field) override;
  std::optional<std::vector<std::string>> distinctValues(std::int32_t layerId,
                                                         const std::string& field,
                                                         std::size_t limit) override;
  std::optional<ValueRange> valueRange(std::int32_t layerId, const std::string& field) override;
  std::optional<std::vector<AttributeValue>> elementAttributes(std::int32_t layerId,
                                                               std::int32_t elementId) override;
  std::optional<Box> elementExtent(std::int32_t layerId, std::int32_t elementId) override;
  std::optional<std::vector<FoundElement>> findElements(std::int32_t layerId, const Condition& c,
                                                        std::size_t limit) override;
  std::optional<std::vector<std::int32_t>> matchElements(
      std::int32_t layerId, const std::vector<std::int32_t>& candidates,
      const std::vector<Condition>& conditions) override;
  std::vector<AddressCandidate> findAddress(std::int32_t layerId, const std::string& street,
                                            std::int64_t number, std::size_t limit) override;

  ElementWrite addElement(std::int32_t layerId, const std::vector<Point>& points,
                          const std::vector<std::string>& values) override;
  ElementWrite addElementTyped(std::int32_t layerId, const std::vector<Point>& points,
                               const std::vector<Value>& values) override;
  std::optional<ElementWrite> setGeometry(std::int32_t layerId, std::int32_t elementId,
                                          const std::vector<Point>& points) override;
  bool setAttributes(std::int32_t layerId, std::int32_t elementId,
                     const std::vector<std::string>& values) override;
  std::optional<std::vector<CellKey>> removeElement(std::int32_t layerId,
                                                    std::int32_t elementId) override;

  void transaction(const std::function<void()>& work) override;

 private:
  // Fields and cell size never change once a layer exists, so they are kept here.
  struct LayerShape {
    LayerKind kind = LayerKind::Point;
    float cellWidth = 1, cellHeight = 1;
    std::vector<FieldDef> fields;
  };

  SqliteStatement& cached(const char* sql);
  const LayerShape& shape(std::int32_t layerId);  // throws StoreError when unknown
  bool hasLayer(std::int32_t layerId);
  std::optional<std::size_t> fieldPosition(const LayerShape& s, const std::string& name);
  std::vector<LayerInfo> queryLayers(const char* where, const std::string* name, std::int64_t id);
  std::vector<ThemeClass> themesOf(std::int32_t mapCode, std::int32_t layerId);
  void writeSetup(std::int32_t mapCode, const LayerRecord& setup, std::int64_t order);
  bool widenGrid(std::int32_t layerId, const std::vector<CellKey>& cells);
  std::vector<CellKey> storeGeometry(std::int32_t layerId, std::int32_t elementId,
                                     const std::vector<Point>& points, bool isNew);
  void writeValues(std::int32_t layerId, std::int32_t elementId, const std::vector<Value>& values);
  std::vector<CellKey> cellsOfElement(std::int32_t layerId, std::int32_t elementId);
  void inSavepoint(const std::function<void()>& work);

  SqliteDb db_;
  bool bulk_ = false;
  std::map<std::string, std::unique_ptr<SqliteStatement>> statements_;
  std::map<std::int32_t, LayerShape> shapes_;
};

}  // namespace orvenda::server
