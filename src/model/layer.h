#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "model/boundingbox.h"
#include "model/campos.h"
#include "model/cellregister.h"
#include "model/entidades.h"
#include "model/labels.h"
#include "model/thematicmap.h"
#include "model/tipolayer.h"

namespace orvenda {

class CellValueRequester;
class LayerOwner;

// Everything the client knows about one layer of the open map: its
// definition, its elements, label dictionary, attribute fields and thematic
// classes, which grid cells were already requested, and the spatial
// questions the viewer asks of it. Coordinates and tolerances are in
// geographic degrees. Owned by `Layers`; refers back to its viewer through
// `parentMap` (may be nullptr).
class layer {
 public:
  layer() = default;
  ~layer();
  layer(const layer&) = delete;
  layer& operator=(const layer&) = delete;

  BoundingBox bb;  // union of the loaded elements' boxes; never shrinks
  std::string Nombre;
  TipoLayer Tipo = 0;
  LayerOwner* parentMap = nullptr;
  bool Selectable = true;
  bool Visible = true;
  orvenda::Entidades Entidades;
  int16_t ThematicType = 0;
  std::string ThematicField;
  int16_t ThematicFieldType = 0;
  int32_t IDLayer = 0;
  bool Loaded = false;
  bool CamposPedidos = false;
  float GridDeltaX = 0;
  float GridDeltaY = 0;
  float ZoomMin = 0;
  std::string lblField;
  float lblZoomMin = 0;
  float ZoomMax = 0;
  bool lblVisible = false;
  bool lblBold = false;
  uint32_t lblColor = 0;
  float lblZoomMax = 0;
  bool lblAllowDuplicates = false;
  bool CalculateThemes = true;
  bool DirectionVisible = false;
  bool DirectionBold = false;
  uint32_t DirectionColor = 0;
  float DirectionZoomMax = 0;
  float DirectionZoomMin = 0;
  std::string DirectionField;
  CONSTACCESSLEVEL AccessLevel = ALNoAccess;
  // Grid index bounds in the order the server sends them. minCol/maxCol bound
  // the row index (from latitude), minRow/maxRow the column index.
  int32_t minCol = 0;
  int32_t minRow = 0;
  int32_t maxCol = 0;
  int32_t maxRow = 0;
  std::string ImageName;
  int32_t ImageNumber = -1;
  // IDs the last redraw drew, in drawing order; selection and labels use
  // only these. Rebuilt by every full redraw.
  std::vector<int32_t> DrawnEntities;

  // User choices 0 never, 1 by zoom range, 2 always; anything else stores 1.
  [[nodiscard]] int16_t UserVisibility() const { return userVisibility_; }
  void SetUserVisibility(int16_t value);
  [[nodiscard]] int16_t UserLabelVisibility() const { return userLabelVisibility_; }
  void SetUserLabelVisibility(int16_t value);
  [[nodiscard]] int16_t UserDirectionVisibility() const { return userDirectionVisibility_; }
  void SetUserDirectionVisibility(int16_t value);

  // Created empty on first read and kept.
  orvenda::Labels& Labels();
  void SetLabels(orvenda::Labels value);
  orvenda::Campos& Campos();
  void SetCampos(orvenda::Campos value);
  orvenda::ThematicMap& ThematicMap();
  void SetThematicMap(orvenda::ThematicMap value);
  [[nodiscard]] bool HasThematicMap() const { return thematicMap_ != nullptr; }

  // The class under key "1" (the first added); std::out_of_range when absent.
  Theme& DefaultTheme();
  // Replaces the look and bounds of the class under key "1", adding it when
  // the layer has no classes yet.
  void SetDefaultTheme(const Theme& theme);

  // Requested cells, for elements, labels and directions.
  void CeldaSolicitada(int32_t i, int32_t j) { requestedCells_.Record(i, j); }
  void LabelCellSolicitada(int32_t i, int32_t j) { requestedLabelCells_.Record(i, j); }
  void DirectionCellSolicitada(int32_t i, int32_t j) { requestedDirectionCells_.Record(i, j); }
  [[nodiscard]] bool IsCellRequested(int32_t i, int32_t j) const {
    return requestedCells_.Contains(i, j);
  }
  [[nodiscard]] bool IsLabelCellRequested(int32_t i, int32_t j) const {
    return requestedLabelCells_.Contains(i, j);
  }
  [[nodiscard]] bool IsDirectionCellRequested(int32_t i, int32_t j) const {
    return requestedDirectionCells_.Contains(i, j);
  }
  [[nodiscard]] const CellRegister& RequestedCells() const { return requestedCells_; }
  [[nodiscard]] const CellRegister& RequestedLabelCells() const { return requestedLabelCells_; }
  [[nodiscard]] const CellRegister& RequestedDirectionCells() const {
    return requestedDirectionCells_;
  }

  // Cell of a position by the grid rule of gridrule.h; std::range_error for a
  // cell size of 0 (or below, or NaN) and for an index beyond 32 bits.
  static void GetRowColumn(double X, double Y, float dDeltaX, float dDeltaY, int32_t& lRow,
                           int32_t& lColumn);
  // GetRowColumn with the layer's own cell size; always answers true.
  bool CellOfPoint(double X, double Y, int32_t& column, int32_t& row) const;

  struct CellList {
    std::vector<int32_t> rows;
    std::vector<int32_t> columns;
    [[nodiscard]] int32_t count() const { return static_cast<int32_t>(rows.size()); }
  };
  // Cells covering the box from lower-left (x1, y1) to upper-right (x2, y2),
  // row by row, within the layer's grid bounds; std::range_error as GetRowColumn.
  [[nodiscard]] CellList CellsInBox(double x1, double y1, double x2, double y2) const;

  struct ColumnsRows {
    std::vector<int32_t> columns;
    std::vector<int32_t> rows;
  };
  // Distinct cells of the element's vertices, first occurrence order;
  // std::out_of_range when the element is not loaded.
  [[nodiscard]] ColumnsRows EntityCells(int32_t ID) const;

  // Drawn element under the point, or 0. Points and lines count as under it
  // within a fixed distance in degrees, or within `reach` when that is larger:
  // the viewer gives a few pixels' worth, so that a symbol drawn under the
  // pointer can be picked at any scale.
  [[nodiscard]] int32_t SelectByPoint(double X, double Y, double reach = 0);
  // Appends the drawn elements under the point to `Entities` (a slot whose
  // last value is 0 or less is filled before the list grows).
  void SelectByPointMany(double X, double Y, std::vector<int32_t>& Entities, double reach = 0);
  // Loaded elements with one vertex (or all, with WholeElementInside) inside
  // the polygon, in collection order; {0} when none.
  [[nodiscard]] std::vector<int32_t> SelectElementsInPolygon(std::span<const Point> polygon,
                                                             bool WholeElementInside);

  // Position of the text in Labels, adding it when new.
  int32_t LabelIndex(const std::string& text);

  struct SegmentHit {
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    double distance = 1e30;  // 1E30: no segment applies (ends meaningless)
  };
  [[nodiscard]] SegmentHit NearestSegmentInLayer(double X, double Y) const;
  struct VertexHit {
    double X = 0, Y = 0;
    double distance = 1e38;  // 1E38: no drawn element has a vertex
  };
  [[nodiscard]] VertexHit NearestVertexInLayer(double X, double Y) const;

  // Classifies one element by its ThemeValue into ThemeCode.
  void CalculateThemeObject(Entidad& ent);
  // Every element back to no value and class 1.
  void ResetThemes();
  // Asks, in RequestedCells order, for the ThematicField values of every
  // requested cell. The second form goes through the viewer and does nothing
  // without one (or without a connection).
  void RequestThemesForCells(CellValueRequester& connection) const;
  void RequestThemesForCells() const;
  // Forgets every label: element IDLabel 0, dictionary and label cells emptied.
  void ClearLabels();
  // Forgets every direction: element Direction 0 and direction cells emptied.
  void ClearDirections();
  void RemoveEntity(int32_t ID) { Entidades.RemoveID(ID); }

 private:
  int16_t userVisibility_ = 1;
  int16_t userLabelVisibility_ = 0;
  int16_t userDirectionVisibility_ = 0;
  std::unique_ptr<orvenda::Labels> labels_;
  std::unique_ptr<orvenda::Campos> campos_;
  std::unique_ptr<orvenda::ThematicMap> thematicMap_;
  CellRegister requestedCells_;
  CellRegister requestedLabelCells_;
  CellRegister requestedDirectionCells_;
};

}  // namespace orvenda
