#include "model/campos.h"

#include <memory>

namespace orvenda {

Campo& Campos::Add(const std::string& Nombre, int16_t Tipo) {
  auto campo = std::make_unique<Campo>();
  campo->Nombre = Nombre;
  campo->Tipo = Tipo;
  return items_.Add(Nombre, std::move(campo));
}

}  // namespace orvenda
