#pragma once
// The grid of the element information dialog without a widget: the cells, which
// rows are elements, the column overwrite with its one level of undo, the text
// copied to the clipboard and the changes handed back when the dialog closes.
//
// Row 0 is the header (the field names), column 0 the element IDs; the rows after
// the header are the elements, and the last row holds no element (the total).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "protocol/querymessages.h"

namespace orvenda {

class InfoElementsTable {
 public:
  // The cell colours: a column as received, overwritten, and being edited.
  static constexpr std::uint32_t kUnchanged = 16777215;
  static constexpr std::uint32_t kOverwritten = 65535;
  static constexpr std::uint32_t kEditing = 255;

  // The header (`idHeading` and the field names), one row per element of `table` and
  // the total row; `fieldTypes` gives the type of each field column.
  InfoElementsTable(const std::vector<std::string>& fieldNames,
                    std::vector<std::int16_t> fieldTypes, const SelectionTable& table,
                    const std::string& idHeading = "ID");

  int Rows() const { return static_cast<int>(cells_.size()); }
  int Columns() const { return static_cast<int>(cells_.front().size()); }
  const std::string& Cell(int row, int column) const { return cells_[row][column]; }
  // The element of a row, or nothing for the header, the total row and a row
  // whose ID cell is empty.
  std::optional<std::int32_t> ElementOf(int row) const;
  std::vector<std::int32_t> ElementIds() const;
  // The field type of a column (0 for the ID column).
  std::int16_t TypeOf(int column) const;

  // The ID column is never edited.
  bool Editable(int column) const { return column >= 1 && column < Columns(); }
  // Writes `text` into the column for every element row, keeping the column's
  // values and flag for Undo; false for a column that is not editable.
  bool Overwrite(int column, const std::string& text);
  bool CanUndo() const { return undoColumn_.has_value(); }
  // Puts the last overwritten column back as it was; once only.
  bool Undo();
  bool Unchanged(int column) const { return unchanged_[column]; }
  std::uint32_t Colour(int column, std::optional<int> editing) const;

  // Every cell followed by a tab, every row ended by CR LF.
  std::string CopyText() const;

  // What the overwritten columns now hold. An overwrite gives every element row
  // the same text, so one value stands for the column.
  struct Changes {
    std::vector<std::string> fields;
    std::vector<std::int16_t> types;
    std::vector<std::string> values;
    std::vector<std::int32_t> ids;
  };
  Changes Collect() const;
  // The changes were sent: every column counts as received again.
  void Committed();

 private:
  std::vector<std::vector<std::string>> cells_;
  std::vector<std::int16_t> types_;  // by column
  std::vector<bool> unchanged_;      // by column
  std::optional<int> undoColumn_;
  std::vector<std::string> undoValues_;  // by element row
  bool undoFlag_ = true;
};

}  // namespace orvenda
