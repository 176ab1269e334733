#pragma once
// The layouts of the query messages: find by condition (13 -> 113), multiple selection
// with constraints (14 -> 114) and the rows picked in its table (221), and find address
// (230 -> 231). Writers build whole messages; readers start with the cursor just past
// the command code and throw a ProtocolError for a message that breaks its layout.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "protocol/dwbuffer.h"
#include "protocol/fieldvalue.h"
#include "protocol/messagefields.h"

namespace orvenda {

// One attribute condition: a field of the layer, its type code, an operator code
// (1 equal ... 10 between) and its values (the second only for "between").
struct Constraint {
  std::string field;
  std::int16_t fieldType = 0;
  std::uint8_t op = 1;
  std::string value1;
  std::string value2;
  friend bool operator==(const Constraint&, const Constraint&) = default;
};

// Request 13, and the echo that starts reply 113.
struct ConditionQuery {
  std::int32_t layerId = 0;
  Constraint condition;
  friend bool operator==(const ConditionQuery&, const ConditionQuery&) = default;
};

DWBUffer WriteFindByCondition(const ConditionQuery& q);
ConditionQuery ReadFindByCondition(DWBUffer& b);

// Reply 113: the elements found, each with its value of the field, encoded by the
// field type that the echo carries.
DWBUffer WriteFoundElements(const ConditionQuery& echo,
                            const std::vector<std::pair<std::int32_t, FieldValue>>& found);
struct FoundElements {
  ConditionQuery echo;
  std::vector<std::pair<std::int32_t, std::string>> found;  // element ID, value text
};
FoundElements ReadFoundElements(DWBUffer& b);

// Request 14: the candidates found inside a polygon (or none) and the constraints that
// all must hold.
struct SelectionQuery {
  std::int32_t layerId = 0;
  std::vector<std::int32_t> candidates;
  std::vector<Constraint> constraints;
  friend bool operator==(const SelectionQuery&, const SelectionQuery&) = default;
};

DWBUffer WriteMultipleSelection(const SelectionQuery& q);
SelectionQuery ReadMultipleSelection(DWBUffer& b);

// Reply 114: one row per element, its ID then the texts of the columns after it. A
// table of one row whose ID is 0 means that nothing matched.
struct SelectionTable {
  std::int32_t layerId = 0;
  std::int16_t columns = 1;  // the ID column included
  struct Row {
    std::int32_t elementId = 0;
    std::vector<std::string> texts;  // columns - 1 of them
    friend bool operator==(const Row&, const Row&) = default;
  };
  std::vector<Row> rows;
  friend bool operator==(const SelectionTable&, const SelectionTable&) = default;
};

DWBUffer WriteSelectionTable(const SelectionTable& t);
SelectionTable ReadSelectionTable(DWBUffer& b);

// Request 221, sent from the table of reply 114: set the same values on every element
// picked in the table. The cells are those the client holds the elements in; the
// server finds them itself. Each field travels as three parallel lists.
struct PickedRowsEdit {
  std::int32_t layerId = 0;
  std::vector<std::int32_t> elementIds;
  std::vector<CellIJ> cells;
  struct FieldValueText {
    std::string field;
    std::int16_t fieldType = 0;
    std::string value;
    friend bool operator==(const FieldValueText&, const FieldValueText&) = default;
  };
  std::vector<FieldValueText> values;
  friend bool operator==(const PickedRowsEdit&, const PickedRowsEdit&) = default;
};

DWBUffer WritePickedRowsEdit(const PickedRowsEdit& e);
PickedRowsEdit ReadPickedRowsEdit(DWBUffer& b);

// Request 230, and the echo that starts reply 231.
struct AddressQuery {
  std::int32_t layerId = 0;
  std::string street;
  std::string number;
  friend bool operator==(const AddressQuery&, const AddressQuery&) = default;
};

DWBUffer WriteFindAddress(const AddressQuery& q);
AddressQuery ReadFindAddress(DWBUffer& b);

// Reply 231: street candidates, each with its box and the address point on it.
struct AddressCandidates {
  AddressQuery echo;
  struct Candidate {
    std::int32_t elementId = 0;
    std::string name;
    std::string firstNumber;
    std::string secondNumber;
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
    double x = 0, y = 0;
    friend bool operator==(const Candidate&, const Candidate&) = default;
  };
  std::vector<Candidate> candidates;
  friend bool operator==(const AddressCandidates&, const AddressCandidates&) = default;
};

DWBUffer WriteAddressCandidates(const AddressCandidates& a);
AddressCandidates ReadAddressCandidates(DWBUffer& b);

}  // namespace orvenda
