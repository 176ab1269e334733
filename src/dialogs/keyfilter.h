#pragma once
// Typed keys of a text box passed through the key filter of its field's type
// (FldVerify): a refused key never reaches the box.

#include <cstdint>

class QLineEdit;

namespace orvenda {

void FilterKeys(QLineEdit* box, std::int16_t fieldType);

}  // namespace orvenda
