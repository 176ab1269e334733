// Evaluating one attribute condition against a stored value, the same way for a search
// over a layer (request 13) and for a list of candidates (request 14).
#pragma once

#include "store/store.h"

namespace orvenda::server {

class ConditionTest {
 public:
  // Throws StoreError for an operator outside 1-10 or a non-numeric value given for a
  // numeric field under a numeric comparison.
  ConditionTest(const Condition& c, std::int16_t fieldType);
  bool operator()(const Value& v) const;

 private:
  bool numeric_;
  std::int16_t op_;
  std::string text1_, text2_;  // upper case for text comparisons
  double number1_ = 0, number2_ = 0;
};

}  // namespace orvenda::server
