// Validation of the quality parameters: warnings in the run log, element by
// element; options that cannot make a constituent list, reaches and
// reservoirs that the models could not compute stop the run afterwards.
#pragma once

#include "modelo/modelo.h"

namespace tornal {

void validar_calidad(Modelo& m);

}  // namespace tornal
