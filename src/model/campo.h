#pragma once

#include <cstdint>
#include <string>

namespace orvenda {

// One attribute field of a layer. `Tipo` is the ADO data type code the
// server sends: 2, 3, 16, 20 whole numbers; 4, 5, 14, 131 decimals; 17, 18,
// 19, 21 unsigned whole numbers; 8, 129, 130, 200 to 203 text.
struct Campo {
  int16_t Tipo = 0;
  std::string Nombre;
};

// True for the type codes that hold text.
[[nodiscard]] constexpr bool IsTextFieldType(int32_t tipo) {
  return tipo == 8 || tipo == 129 || tipo == 130 || (tipo >= 200 && tipo <= 203);
}

}  // namespace orvenda
