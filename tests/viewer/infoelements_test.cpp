// The element information dialog's grid without a widget: which rows are elements,
// the column overwrite with one level of undo, the changes handed back, the copied
// text and the key filter.
#include <gtest/gtest.h>

#include "dialogs/infoelementstable.h"
#include "protocol/fieldvalue.h"

namespace orvenda {
namespace {

TEST(InfoElementsTable, OverwriteUndoAndChangesTouchElementRowsOnly) {
  InfoElementsTable t({"NOMBRE", "POB"}, {200, 3},
                      SelectionTable{7, 3, {{11, {"a", "1"}}, {12, {"b", "2"}}}});
  EXPECT_EQ(t.ElementIds(), (std::vector<std::int32_t>{11, 12})) << "not the header nor the total";
  const std::uint32_t white = 16777215, yellow = 65535;
  // Each step: the operation, its column and text, whether it acted, then column 1
  // (element rows and the total) with its colour, and the changes collected.
  const std::tuple<char, int, const char*, bool, const char*, std::uint32_t, const char*> steps[] =
      {{'o', 0, "9", false, "a b 2", white, ""},  // IDs are never edited
       {'o', 3, "9", false, "a b 2", white, ""},  // past the last column
       {'u', 0, "", false, "a b 2", white, ""},
       {'o', 1, "z", true, "z z 2", yellow, "NOMBRE(200)=z 11 12"},
       {'o', 1, "y", true, "y y 2", yellow, "NOMBRE(200)=y 11 12"},
       {'u', 0, "", true, "z z 2", yellow, "NOMBRE(200)=z 11 12"},
       {'u', 0, "", false, "z z 2", yellow, "NOMBRE(200)=z 11 12"},  // one level only
       {'o', 2, "5", true, "z z 2", yellow, "NOMBRE(200)=z POB(3)=5 11 12"},
       {'u', 0, "", true, "z z 2", yellow, "NOMBRE(200)=z 11 12"},
       {'c', 0, "", true, "z z 2", white, ""},
       {'o', 1, "w", true, "w w 2", yellow, "NOMBRE(200)=w 11 12"},
       {'u', 0, "", true, "z z 2", white, ""}};
  for (const auto& [op, column, text, acted, cells, colour, changed] : steps) {
    bool done = true;
    if (op == 'o') done = t.Overwrite(column, text);
    if (op == 'u') done = t.Undo();
    if (op == 'c') t.Committed();
    const auto ch = t.Collect();
    std::string got;
    for (std::size_t k = 0; k < ch.fields.size(); ++k) {
      got += ch.fields[k] + "(" + std::to_string(ch.types[k]) + ")=" + ch.values[k] + " ";
    }
    for (const std::int32_t id : ch.ids) got += std::to_string(id) + " ";
    const std::string at = op + std::to_string(column) + text;
    EXPECT_EQ(done, acted) << at;
    EXPECT_EQ(t.Cell(1, 1) + " " + t.Cell(2, 1) + " " + t.Cell(3, 1), cells) << at;
    EXPECT_EQ(t.Colour(1, std::nullopt), colour) << at;
    EXPECT_EQ(got, std::string(changed) + (*changed ? " " : "")) << at;
  }
  EXPECT_EQ(t.Colour(2, 2), 255u) << "the column being edited";
  EXPECT_EQ(InfoElementsTable({"N"}, {200}, SelectionTable{7, 2, {{11, {"a"}}}}).CopyText(),
            "ID\tN\t\r\n11\ta\t\r\nTotal\t1\t\r\n");
}

}  // namespace
}  // namespace orvenda
