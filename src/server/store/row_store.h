// RowStore: what both backends do alike above their own rows and statements. An edit
// checks its input, parses the texts by the layer's fields and runs its writes in one
// savepoint; a query by conditions tests each element's values in the same way. Each
// backend gives the primitives (a layer's shape, the writes, a savepoint, its rows).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "store/store.h"

namespace orvenda::server {

class RowStore : public Store {
 public:
  ElementWrite AddElement(std::int32_t layerId, const std::vector<Point>& points,
                          const std::vector<std::string>& values) final;
  std::optional<ElementWrite> SetGeometry(std::int32_t layerId, std::int32_t elementId,
                                          const std::vector<Point>& points) final;
  bool SetAttributes(std::int32_t layerId, std::int32_t elementId,
                     const std::vector<std::string>& values) final;
  std::optional<std::vector<MatchedElement>> MatchElements(
      std::int32_t layerId, const std::vector<std::int32_t>& candidates,
      const std::vector<Condition>& conditions, std::size_t limit) final;
  std::vector<CellKey> ElementCells(std::int32_t layerId, std::int32_t elementId) final {
    return CellsOfElement(layerId, elementId);
  }
  std::vector<std::int32_t> SetFieldValues(
      std::int32_t layerId, const std::vector<std::int32_t>& elementIds,
      const std::vector<std::pair<std::size_t, std::string>>& values) final;
  void Transaction(const std::function<void()>& work) final { InSavepoint(work); }
  std::optional<LayerInfo> FindLayerInfo(std::int32_t layerId) final;
  std::optional<LayerInfo> FindLayer(const std::string& name) final;
  std::vector<LayerInfo> ListLayers() final { return QueryLayers("", nullptr, 0); }

 protected:
  // Fields and cell size never change once a layer exists, so the backends keep them.
  struct LayerShape {
    LayerKind kind = LayerKind::Point;
    float cellWidth = 1, cellHeight = 1;
    std::vector<FieldDef> fields;
  };

  virtual const LayerShape& Shape(std::int32_t layerId) = 0;  // throws StoreError when unknown
  virtual bool HasLayer(std::int32_t layerId) = 0;
  // The layer's limits after growing them to hold `cells`; nothing when they held them.
  virtual std::optional<LayerGrid> WidenGrid(std::int32_t layerId,
                                             const std::vector<CellKey>& cells) = 0;
  virtual std::vector<CellKey> StoreGeometry(std::int32_t layerId, std::int32_t elementId,
                                             const std::vector<Point>& points, bool isNew) = 0;
  // One value of an element, in place of the one it had.
  virtual void WriteValue(std::int32_t layerId, std::int32_t elementId, std::size_t position,
                          const Value& v) = 0;
  virtual std::vector<CellKey> CellsOfElement(std::int32_t layerId, std::int32_t elementId) = 0;
  // Runs `work` in a transaction, or in a savepoint of the one under way.
  virtual void InSavepoint(const std::function<void()>& work) = 0;
  // Every element of the layer in the order of their identifiers, each with its values
  // (position, value; no position for an element without values), until `row` returns
  // false.
  virtual void LayerValueRows(
      std::int32_t layerId,
      const std::function<bool(std::int32_t id, std::optional<std::int64_t> position, Value value)>&
          row) = 0;

  // The layers where `where` holds, by identifier; its $1 is `name` when given, else
  // `id` when not 0 (SQLite reads $1 as the first parameter too).
  virtual std::vector<LayerInfo> QueryLayers(const char* where, const std::string* name,
                                             std::int64_t id) = 0;

  // Every value of an element, each fitted to its field's type first.
  void WriteValues(std::int32_t layerId, std::int32_t elementId, const std::vector<Value>& values);

  // The cells an element with this box belongs to: every cell the box covers, so that a
  // view lying inside a large polygon still asks for a cell that holds it. Refuses an
  // element of a million cells or more (a continent in cells of a few metres).
  std::vector<CellKey> CellsOfElementBox(std::int32_t layerId, const Box& box);
  // The lowest and the highest row and column of `cells` (not empty).
  static std::pair<CellKey, CellKey> CellBounds(const std::vector<CellKey>& cells);

  static std::optional<std::size_t> FieldPosition(const LayerShape& s, const std::string& name);
  static void NoteGrid(ElementWrite& w, const std::optional<LayerGrid>& grid);
};

}  // namespace orvenda::server
