#include "model/layer.h"

#include <set>
#include <stdexcept>
#include <utility>

#include "model/cellvaluerequester.h"
#include "model/gridrule.h"
#include "model/layerowner.h"

namespace orvenda {

namespace {

int16_t ValidVisibility(int16_t value) { return value >= 0 && value <= 2 ? value : 1; }

}  // namespace

layer::~layer() {
  // The viewer opened an image renderer for an image layer; it goes with it.
  if (Tipo == ImageLayer && ImageNumber != -1 && parentMap != nullptr) {
    parentMap->CloseImage(ImageNumber);
  }
}

void layer::SetUserVisibility(int16_t value) { userVisibility_ = ValidVisibility(value); }
void layer::SetUserLabelVisibility(int16_t value) { userLabelVisibility_ = ValidVisibility(value); }
void layer::SetUserDirectionVisibility(int16_t value) {
  userDirectionVisibility_ = ValidVisibility(value);
}

orvenda::Labels& layer::Labels() {
  if (!labels_) labels_ = std::make_unique<orvenda::Labels>();
  return *labels_;
}
void layer::SetLabels(orvenda::Labels value) {
  labels_ = std::make_unique<orvenda::Labels>(std::move(value));
}
orvenda::Campos& layer::Campos() {
  if (!campos_) campos_ = std::make_unique<orvenda::Campos>();
  return *campos_;
}
void layer::SetCampos(orvenda::Campos value) {
  campos_ = std::make_unique<orvenda::Campos>(std::move(value));
}
orvenda::ThematicMap& layer::ThematicMap() {
  if (!thematicMap_) thematicMap_ = std::make_unique<orvenda::ThematicMap>();
  return *thematicMap_;
}
void layer::SetThematicMap(orvenda::ThematicMap value) {
  thematicMap_ = std::make_unique<orvenda::ThematicMap>(std::move(value));
}

Theme& layer::DefaultTheme() { return ThematicMap().Item("1"); }

void layer::SetDefaultTheme(const Theme& theme) {
  Theme* first = ThematicMap().Find("1");
  if (first == nullptr) {
    first = &ThematicMap().Add(0, 1, 0, 0, 0, "", "");
  }
  *first = theme;
}

void layer::GetRowColumn(double X, double Y, float dDeltaX, float dDeltaY, int32_t& lRow,
                         int32_t& lColumn) {
  const GridCell cell = GridCellOfPoint(X, Y, dDeltaX, dDeltaY);
  lRow = cell.row;
  lColumn = cell.column;
}

bool layer::CellOfPoint(double X, double Y, int32_t& column, int32_t& row) const {
  GetRowColumn(X, Y, GridDeltaX, GridDeltaY, row, column);
  return true;
}

layer::CellList layer::CellsInBox(double x1, double y1, double x2, double y2) const {
  // Rows are bounded by the first pair the server sends, columns by the second.
  const GridRange range = GridCellsOfBox(x1, y1, x2, y2, GridDeltaX, GridDeltaY,
                                         GridBounds{minCol, minRow, maxCol, maxRow});
  CellList cells;
  cells.rows.reserve(static_cast<std::size_t>(range.Count()));
  cells.columns.reserve(static_cast<std::size_t>(range.Count()));
  range.ForEach([&cells](GridCell c) {
    cells.rows.push_back(c.row);
    cells.columns.push_back(c.column);
  });
  return cells;
}

layer::ColumnsRows layer::EntityCells(int32_t ID) const {
  const Entidad* ent = Entidades.ItemByID(ID);
  if (ent == nullptr) {
    throw std::out_of_range("element " + std::to_string(ID) + " is not loaded");
  }
  ColumnsRows cells;
  std::set<std::pair<int32_t, int32_t>> seen;
  for (const Point& p : ent->Vertices()) {
    int32_t column = 0;
    int32_t row = 0;
    CellOfPoint(p.X, p.Y, column, row);
    if (seen.emplace(column, row).second) {
      cells.columns.push_back(column);
      cells.rows.push_back(row);
    }
  }
  return cells;
}

int32_t layer::LabelIndex(const std::string& text) {
  const int32_t known = Labels().FindWord(text);
  if (known != 0) {
    return known;
  }
  Labels().Add(text);
  return Labels().count();
}

layer::SegmentHit layer::NearestSegmentInLayer(double X, double Y) const {
  SegmentHit best;
  for (int32_t id : DrawnEntities) {
    const Entidad* ent = Entidades.ItemByID(id);
    if (ent == nullptr) continue;  // drawn, then removed
    SegmentHit hit = best;         // outputs an element leaves unset keep earlier values
    hit.distance = ent->GetNearestSegment(X, Y, hit.x0, hit.y0, hit.x1, hit.y1);
    if (hit.distance <= best.distance) {  // a later element wins a tie
      best = hit;
    }
  }
  return best;
}

layer::VertexHit layer::NearestVertexInLayer(double X, double Y) const {
  VertexHit best;
  for (int32_t id : DrawnEntities) {
    const Entidad* ent = Entidades.ItemByID(id);
    if (ent == nullptr) continue;
    const Entidad::VertexHit hit = ent->NearestVertex(X, Y);
    if (hit.index > 0 && hit.distance <= best.distance) {  // a later element wins a tie
      const Point& v = ent->Vertices()[static_cast<std::size_t>(hit.index - 1)];
      best = {v.X, v.Y, hit.distance};
    }
  }
  return best;
}

void layer::CalculateThemeObject(Entidad& ent) {
  if (!HasThematicMap()) {
    return;
  }
  const orvenda::ThematicMap& classes = *thematicMap_;
  if (classes.count() == 1) {
    ent.ThemeCode = 1;
    return;
  }
  if (const auto position = classes.ClassOf(ent.ThemeValue(), ThematicFieldType)) {
    ent.ThemeCode = *position;
  }
}

void layer::ResetThemes() {
  for (Entidad& ent : Entidades) {
    ent.SetThemeValue({});
    ent.ThemeCode = 1;
  }
}

void layer::RequestThemesForCells(CellValueRequester& connection) const {
  // By index over the cells known now: a sender that lets events run may
  // record more cells meanwhile.
  const int32_t n = requestedCells_.count();
  for (int32_t k = 0; k < n; ++k) {
    const CellIndex cell = requestedCells_.Cells()[static_cast<std::size_t>(k)];
    connection.RequestCellValues(IDLayer, cell.i, cell.j, ThematicField);
  }
}

void layer::RequestThemesForCells() const {
  if (parentMap == nullptr) return;
  if (CellValueRequester* connection = parentMap->CellValues()) {
    RequestThemesForCells(*connection);
  }
}

void layer::ClearLabels() {
  for (Entidad& ent : Entidades) {
    ent.IDLabel = 0;
  }
  Labels().Clear();
  requestedLabelCells_.Clear();
}

void layer::ClearDirections() {
  for (Entidad& ent : Entidades) ent.Direction = 0;
  requestedDirectionCells_.Clear();
}

}  // namespace orvenda
