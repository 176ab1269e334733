#pragma once
// Map, layer and theme rows read into records once for both databases. A `Row`
// is anything with the column calls Integer(c), Real(c) and Text(c): a stepped
// SqliteStatement or a PgRow.

#include <cstdint>

#include "store/store.h"

namespace orvenda::server {

// A layer's setup in one map, in the order ReadSetup reads it.
inline constexpr const char* kSetupColumns =
    "user_visibility, zoom_min, zoom_max, line_color, line_style, line_width, fill_color, "
    "fill_style, label_field, label_zoom_min, label_zoom_max, user_label_visibility, "
    "label_bold, label_color, thematic_field, thematic_type";

// A layer's own columns, in the order ReadLayerHead reads them.
inline constexpr const char* kLayerHeadColumns =
    "id, name, kind, cell_width, cell_height, first_row, first_column, last_row, last_column";

// A layer's element count, for listings of layers (FROM layers).
inline constexpr const char* kElementCountColumn =
    "(SELECT count(*) FROM elements e WHERE e.layer_id = layers.id)";

template <typename Row>
DrawingStyle ReadStyle(const Row& r, int first) {
  return {static_cast<std::int32_t>(r.Integer(first)),
          static_cast<std::int16_t>(r.Integer(first + 1)),
          static_cast<std::int16_t>(r.Integer(first + 2)),
          static_cast<std::int32_t>(r.Integer(first + 3)),
          static_cast<std::int16_t>(r.Integer(first + 4))};
}

template <typename Row>
void ReadSetup(const Row& r, int first, LayerRecord& l) {
  l.userVisibility = static_cast<std::int16_t>(r.Integer(first));
  l.zoomMin = static_cast<float>(r.Real(first + 1));
  l.zoomMax = static_cast<float>(r.Real(first + 2));
  l.style = ReadStyle(r, first + 3);
  l.labelField = r.Text(first + 8);
  l.labelZoomMin = static_cast<float>(r.Real(first + 9));
  l.labelZoomMax = static_cast<float>(r.Real(first + 10));
  l.userLabelVisibility = static_cast<std::int16_t>(r.Integer(first + 11));
  l.labelBold = r.Integer(first + 12) != 0;
  l.labelColor = static_cast<std::int32_t>(r.Integer(first + 13));
  l.thematicField = r.Text(first + 14);
  l.thematicType = static_cast<std::int16_t>(r.Integer(first + 15));
}

// The kLayerHeadColumns from column 0 into a LayerRecord or a LayerInfo.
template <typename Row, typename Layer>
void ReadLayerHead(const Row& r, Layer& l) {
  l.id = static_cast<std::int32_t>(r.Integer(0));
  l.name = r.Text(1);
  l.kind = static_cast<LayerKind>(r.Integer(2));
  l.grid.cellWidth = static_cast<float>(r.Real(3));
  l.grid.cellHeight = static_cast<float>(r.Real(4));
  l.grid.firstRow = static_cast<std::int32_t>(r.Integer(5));
  l.grid.firstColumn = static_cast<std::int32_t>(r.Integer(6));
  l.grid.lastRow = static_cast<std::int32_t>(r.Integer(7));
  l.grid.lastColumn = static_cast<std::int32_t>(r.Integer(8));
}

// lower, upper and the five style columns.
template <typename Row>
ThemeClass ReadTheme(const Row& r) {
  return {r.Text(0), r.Text(1), ReadStyle(r, 2)};
}

}  // namespace orvenda::server
