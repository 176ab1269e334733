#pragma once
// The attribute constraints of a multiple selection without a widget: the operator
// codes 1 to 10 with their texts, the operators each field type offers, the lines of
// the constraint list, the check of a typed value by its field's type, and the list
// itself with the host's four parallel arrays going in and out.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/campos.h"
#include "protocol/querymessages.h"

namespace orvenda {

// The texts of an operator: in the builder's combo, in the constraint list, in
// the caption of the find results and in the find dialog's combo.
struct OperatorTexts {
  const char* builder;
  const char* list;
  const char* caption;
  const char* find;
};
inline constexpr std::uint8_t kBetween = 10;

// The texts of a code 1 to 10, or null for any other code.
const OperatorTexts* OperatorOf(int code);
// The code of a builder text, 0 for a text that names no operator.
std::uint8_t OperatorCodeOf(const std::string& builderText);
// The operators offered for a field type, in the builder's order.
std::vector<std::uint8_t> OperatorsFor(std::int16_t fieldType);

// One line of the constraint list: the field, the operator's list text and the
// values between apostrophes ("AREA between '10' And '20'").
std::string ConstraintLine(const Constraint& c);

// What is wrong with a constraint (or a find condition) for its field type, or
// nothing. Typed keys pass the key filter, but pasted text and a host's presets do
// not: the operator must be one of 1 to 10, a number field needs a number that its
// type holds, a text may not hold quotes, and "Between" needs its second value.
std::optional<std::string> ConstraintProblem(const Constraint& c);

// The four parallel arrays of a host (fields, operator codes, first and second values);
// an array the host never filled is nothing.
struct ConstraintArrays {
  std::optional<std::vector<std::string>> fields;
  std::optional<std::vector<std::int16_t>> restrictions;
  std::optional<std::vector<std::string>> value1;
  std::optional<std::vector<std::string>> value2;
};

class ConstraintList {
 public:
  const std::vector<Constraint>& items() const { return items_; }
  bool empty() const { return items_.empty(); }

  // SetConstraints: no fields array clears the list; arrays of one length replace it
  // (a constraint whose operator code is not 1 to 10 is dropped); arrays of different
  // lengths leave it as it was.
  void Set(const ConstraintArrays& arrays);
  // The list as four arrays.
  ConstraintArrays Get() const;
  void Add(Constraint c) { items_.push_back(std::move(c)); }
  // Drops the constraint of a list line (from 0); false when there is none there.
  bool Remove(int line);
  void Clear() { items_.clear(); }
  // The preset check: every constraint names one of `fields` (taking its type) and
  // has values that suit it, or the whole list is dropped. False when it was dropped.
  bool CheckAgainst(const Campos& fields);
  // The list's lines; "No Constraints" alone when it is empty.
  std::vector<std::string> Lines() const;

 private:
  std::vector<Constraint> items_;
};

}  // namespace orvenda
