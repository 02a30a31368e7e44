// The quality of inflows file: COAPO.
#pragma once

#include <string>

#include "modelo/modelo.h"

namespace tornal {

void leer_aportaciones_calidad(Modelo& m, const std::string& PATHARCHIVO4);

}  // namespace tornal
