#pragma once
// Typed keys of a text box passed through the key filter of its field's type
// (FldVerify): a refused key never reaches the box.

#include <cstdint>
#include <functional>

class QLineEdit;

namespace orvenda {

void FilterKeys(QLineEdit* box, std::int16_t fieldType);
// The same with the type of the field chosen when the key comes.
void FilterKeys(QLineEdit* box, std::function<std::int16_t()> fieldType);

}  // namespace orvenda
