// The coefficients file: unit factors and global coefficients, in the fixed
// layout (up to version 1.1) or the tagged one (from version 1.2).
#pragma once

#include <string>

#include "modelo/modelo.h"

namespace tornal {

void leer_coeficientes(Modelo& m, const std::string& PATHARCHIVO5, int NUMVERSION);

}  // namespace tornal
