// The element information dialog's grid without a widget: which rows are elements,
// the column overwrite with one level of undo, the copied text and the changes
// handed back.
#include <gtest/gtest.h>

#include "dialogs/infoelementstable.h"

namespace orvenda {
namespace {

std::string Column(const InfoElementsTable& t, int c) {
  std::string s;
  for (int r = 1; r < t.Rows(); ++r) s += (r > 1 ? "," : "") + t.Cell(r, c);
  return s;
}

std::string Changed(const InfoElementsTable& t) {
  const auto ch = t.Collect();
  std::string s;
  for (std::size_t k = 0; k < ch.fields.size(); ++k) {
    s += ch.fields[k] + "(" + std::to_string(ch.types[k]) + ")=" + ch.values[k] + " ";
  }
  for (const std::int32_t id : ch.ids) s += std::to_string(id) + " ";
  return s;
}

TEST(InfoElementsTable, OverwriteUndoAndChangesTouchElementRowsOnly) {
  InfoElementsTable t({"NOMBRE", "POB"}, {200, 3},
                      SelectionTable{7, 3, {{11, {"a", "1"}}, {12, {"b", "2"}}}});
  ASSERT_EQ(t.Rows(), 4);  // header, two elements, the total
  EXPECT_EQ(t.ElementIds(), (std::vector<std::int32_t>{11, 12}));
  EXPECT_EQ(t.ElementOf(0), std::nullopt);
  EXPECT_EQ(t.ElementOf(3), std::nullopt) << "the total row is no element";
  EXPECT_EQ(t.TypeOf(2), 3);
  struct Step {
    const char* op;
    int column;
    const char* text;
    bool done;
    const char* nombre;  // column 1, rows 1 to the total
    std::uint32_t colour;
    const char* changed;
  };
  const std::uint32_t white = 16777215, yellow = 65535;
  const Step steps[] = {
      {"overwrite", 0, "9", false, "a,b,2", white, ""},  // IDs are never edited
      {"overwrite", 3, "9", false, "a,b,2", white, ""},  // past the last column
      {"undo", 0, "", false, "a,b,2", white, ""},
      {"overwrite", 1, "z", true, "z,z,2", yellow, "NOMBRE(200)=z 11 12 "},
      {"overwrite", 1, "y", true, "y,y,2", yellow, "NOMBRE(200)=y 11 12 "},
      {"undo", 0, "", true, "z,z,2", yellow, "NOMBRE(200)=z 11 12 "},
      {"undo", 0, "", false, "z,z,2", yellow, "NOMBRE(200)=z 11 12 "},  // one level only
      {"overwrite", 2, "5", true, "z,z,2", yellow, "NOMBRE(200)=z POB(3)=5 11 12 "},
      {"undo", 0, "", true, "z,z,2", yellow, "NOMBRE(200)=z 11 12 "},
      {"committed", 0, "", true, "z,z,2", white, ""},
      {"overwrite", 1, "w", true, "w,w,2", yellow, "NOMBRE(200)=w 11 12 "},
      {"undo", 0, "", true, "z,z,2", white, ""},
  };
  for (const Step& s : steps) {
    const std::string op = s.op;
    bool done = true;
    if (op == "overwrite") done = t.Overwrite(s.column, s.text);
    if (op == "undo") done = t.Undo();
    if (op == "committed") t.Committed();
    const std::string at = op + " " + std::to_string(s.column) + " " + s.text;
    EXPECT_EQ(done, s.done) << at;
    EXPECT_EQ(Column(t, 1), s.nombre) << at;
    EXPECT_EQ(t.Colour(1, std::nullopt), s.colour) << at;
    EXPECT_EQ(Changed(t), s.changed) << at;
  }
  EXPECT_EQ(t.Colour(2, 2), 255u) << "the column being edited";
  EXPECT_EQ(Column(t, 0), "11,12,Total");
}

TEST(InfoElementsTable, CopiesEveryCellTabbedAndEveryRowEndedByCrLf) {
  const InfoElementsTable t({"NOMBRE"}, {200}, SelectionTable{7, 2, {{11, {"a"}}}});
  EXPECT_EQ(t.CopyText(), "ID\tNOMBRE\t\r\n11\ta\t\r\nTotal\t1\t\r\n");
}

TEST(InfoElementsTable, KeyFilterByFieldType) {
  struct Row {
    std::int16_t type;
    const char* text;
    char32_t key;
    bool accepted;
  };
  const Row rows[] = {
      {2, "", '-', true},   {3, "1", '-', false},  {20, "1", '7', true},    {16, "", '.', false},
      {5, "", '-', true},   {4, "1", '.', true},   {131, "1.", '.', false}, {14, "", 'e', false},
      {17, "", '-', false}, {21, "", '9', true},   {19, "", 8, true},       {202, "a", '"', false},
      {8, "", '\'', false}, {200, "", U'ñ', true}, {7, "", '1', false},     {2, "12", 8, true}};
  for (const Row& r : rows) {
    EXPECT_EQ(InfoElementsTable::KeyAccepted(r.type, r.text, r.key), r.accepted)
        << r.type << " \"" << r.text << "\" " << static_cast<int>(r.key);
  }
}

}  // namespace
}  // namespace orvenda
