#include "dialogs/infoelementstable.h"

#include <algorithm>
#include <string>
#include <utility>

namespace orvenda {

InfoElementsTable::InfoElementsTable(const std::vector<std::string>& fieldNames,
                                     std::vector<std::int16_t> fieldTypes,
                                     const SelectionTable& table, const std::string& idHeading) {
  const auto columns = static_cast<std::size_t>(std::max<int>(1, table.columns));
  std::vector<std::string> header(columns);
  header[0] = idHeading;
  types_.assign(columns, 0);
  for (std::size_t c = 1; c < columns; ++c) {
    if (c - 1 < fieldNames.size()) header[c] = fieldNames[c - 1];
    if (c - 1 < fieldTypes.size()) types_[c] = fieldTypes[c - 1];
  }
  cells_.push_back(std::move(header));
  for (const SelectionTable::Row& r : table.rows) {
    std::vector<std::string> row(columns);
    row[0] = std::to_string(r.elementId);
    for (std::size_t c = 1; c < columns && c - 1 < r.texts.size(); ++c) row[c] = r.texts[c - 1];
    cells_.push_back(std::move(row));
  }
  std::vector<std::string> total(columns);
  total[0] = "Total";
  if (columns > 1) total[1] = std::to_string(table.rows.size());
  cells_.push_back(std::move(total));
  unchanged_.assign(columns, true);
}

std::optional<std::int32_t> InfoElementsTable::ElementOf(int row) const {
  if (row < 1 || row > Rows() - 2 || cells_[row][0].empty()) return std::nullopt;
  return static_cast<std::int32_t>(std::stol(cells_[row][0]));
}

std::vector<std::int32_t> InfoElementsTable::ElementIds() const {
  std::vector<std::int32_t> ids;
  for (int r = 1; r < Rows(); ++r) {
    if (const auto id = ElementOf(r)) ids.push_back(*id);
  }
  return ids;
}

std::int16_t InfoElementsTable::TypeOf(int column) const {
  return column >= 0 && column < Columns() ? types_[column] : 0;
}

bool InfoElementsTable::Overwrite(int column, const std::string& text) {
  if (!Editable(column)) return false;
  undoValues_.clear();
  // Element rows only: the total row keeps its count.
  for (int r = 1; r <= Rows() - 2; ++r) {
    undoValues_.push_back(std::exchange(cells_[r][column], text));
  }
  undoFlag_ = unchanged_[column];
  unchanged_[column] = false;
  undoColumn_ = column;
  return true;
}

bool InfoElementsTable::Undo() {
  if (!undoColumn_) return false;
  const int column = *std::exchange(undoColumn_, std::nullopt);
  for (std::size_t k = 0; k < undoValues_.size(); ++k) {
    cells_[k + 1][column] = undoValues_[k];
  }
  unchanged_[column] = undoFlag_;
  return true;
}

std::uint32_t InfoElementsTable::Colour(int column, std::optional<int> editing) const {
  if (editing == column) return kEditing;
  return unchanged_[column] ? kUnchanged : kOverwritten;
}

std::string InfoElementsTable::CopyText() const {
  std::string text;
  for (const auto& row : cells_) {
    for (const std::string& cell : row) text += cell + "\t";
    text += "\r\n";
  }
  return text;
}

InfoElementsTable::Changes InfoElementsTable::Collect() const {
  Changes changes;
  const std::vector<std::int32_t> ids = ElementIds();
  if (ids.empty()) return changes;
  for (int c = 1; c < Columns(); ++c) {
    if (unchanged_[c]) continue;
    changes.fields.push_back(cells_[0][c]);
    changes.types.push_back(types_[c]);
    changes.values.push_back(cells_[1][c]);
  }
  if (!changes.fields.empty()) changes.ids = ids;
  return changes;
}

void InfoElementsTable::Committed() {
  unchanged_.assign(unchanged_.size(), true);
  undoColumn_.reset();
}

}  // namespace orvenda
