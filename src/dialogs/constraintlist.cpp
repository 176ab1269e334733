#include "dialogs/constraintlist.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "protocol/fieldvalue.h"

namespace orvenda {
namespace {

constexpr std::array<OperatorTexts, 10> kOperators = {{
    {"=", " = ", " = ", "="},
    {"Starting with", " starting with ", " Starting with ", "Starting with"},
    {"Ending with", " ending with ", " Ending with ", "Ending with"},
    {"Containing", " contains ", " Contains ", "Containing"},
    {"Different", " distinct ", " <> ", "Distinct"},
    {"<", " < ", " < ", "<"},
    {"<=", " <= ", " <= ", "<="},
    {">", " > ", " > ", ">"},
    {">=", " >= ", " >= ", ">="},
    {"Between", " between ", " Between ", "Between"},
}};

bool HasDigit(const std::string& text) {
  return std::any_of(text.begin(), text.end(),
                     [](unsigned char c) { return std::isdigit(c) != 0; });
}

std::optional<std::string> ValueProblem(const Constraint& c, const std::string& value) {
  if (IsTextFieldType(c.fieldType)) {
    if (value.find_first_of("\"'") == std::string::npos) return std::nullopt;
    return "Quotes are not allowed in the value of the field " + c.field + ".";
  }
  // What the key filter lets through before a digit ("", "-", ".") counts as 0 when a
  // value is stored, but compares with nothing.
  if (HasDigit(value) && FieldValueFits(c.fieldType, value)) return std::nullopt;
  return "The value \"" + value + "\" does not suit the field " + c.field + ".";
}

}  // namespace

const OperatorTexts* OperatorOf(int code) {
  return code >= 1 && code <= 10 ? &kOperators[static_cast<std::size_t>(code - 1)] : nullptr;
}

std::uint8_t OperatorCodeOf(const std::string& builderText) {
  for (std::size_t k = 0; k < kOperators.size(); ++k) {
    if (builderText == kOperators[k].builder) return static_cast<std::uint8_t>(k + 1);
  }
  return 0;
}

std::vector<std::uint8_t> OperatorsFor(std::int16_t fieldType) {
  if (IsTextFieldType(fieldType)) return {1, 2, 4, 3, 5};
  return {1, 6, 7, 8, 9, 10, 5};
}

std::string ConstraintLine(const Constraint& c) {
  const OperatorTexts* op = OperatorOf(c.op);
  std::string line = c.field + (op ? op->list : " ? ") + "'" + c.value1 + "'";
  if (c.op == kBetween) line += " And '" + c.value2 + "'";
  return line;
}

std::optional<std::string> ConstraintProblem(const Constraint& c) {
  if (!OperatorOf(c.op)) return "Unknown operator " + std::to_string(c.op) + ".";
  if (auto problem = ValueProblem(c, c.value1)) return problem;
  if (c.op != kBetween) return std::nullopt;
  if (c.value2.empty()) return "Between needs a second value for the field " + c.field + ".";
  return ValueProblem(c, c.value2);
}

void ConstraintList::Set(const ConstraintArrays& a) {
  if (!a.fields) {
    items_.clear();
    return;
  }
  const std::size_t n = a.fields->size();
  if (!a.restrictions || !a.value1 || !a.value2 || a.restrictions->size() != n ||
      a.value1->size() != n || a.value2->size() != n) {
    return;
  }
  items_.clear();
  for (std::size_t k = 0; k < n; ++k) {
    const std::int16_t code = (*a.restrictions)[k];
    if (!OperatorOf(code)) continue;
    items_.push_back(
        {(*a.fields)[k], 0, static_cast<std::uint8_t>(code), (*a.value1)[k], (*a.value2)[k]});
  }
}

ConstraintArrays ConstraintList::Get() const {
  ConstraintArrays a{std::vector<std::string>{}, std::vector<std::int16_t>{},
                     std::vector<std::string>{}, std::vector<std::string>{}};
  for (const Constraint& c : items_) {
    a.fields->push_back(c.field);
    a.restrictions->push_back(c.op);
    a.value1->push_back(c.value1);
    a.value2->push_back(c.value2);
  }
  return a;
}

bool ConstraintList::Remove(int line) {
  if (line < 0 || line >= static_cast<int>(items_.size())) return false;
  items_.erase(items_.begin() + line);
  return true;
}

bool ConstraintList::CheckAgainst(const Campos& fields) {
  for (Constraint& c : items_) {
    const Campo* field = nullptr;
    for (const Campo& f : fields) {
      if (f.Nombre == c.field) field = &f;
    }
    if (field) c.fieldType = field->Tipo;
    if (!field || ConstraintProblem(c)) {
      items_.clear();
      return false;
    }
  }
  return true;
}

std::vector<std::string> ConstraintList::Lines() const {
  if (items_.empty()) return {"No Constraints"};
  std::vector<std::string> lines;
  for (const Constraint& c : items_) lines.push_back(ConstraintLine(c));
  return lines;
}

}  // namespace orvenda
