// The quality data, quality of inflows and coefficients files.
#pragma once

#include <string>

#include "modelo/modelo.h"

namespace tornal {

void LEERARCHCALSUB(Modelo& m, const std::string& PATHARCHIVO3, const std::string& PATHARCHIVO4,
                    const std::string& PATHARCHIVO5, int NUMVERSION);

}  // namespace tornal
