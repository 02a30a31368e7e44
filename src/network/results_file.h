// The monthly results file of the allocation model.
#pragma once

#include <string>

#include "modelo/modelo.h"

namespace tornal {

// Reads the monthly results file (PATHARCHIVO2) into the monthly series of
// m.red, in the full or the reduced layout, and gathers QCONDUCC.
void LEERARCHRESSUB(Modelo& m, const std::string& PATHARCHIVO2);

}  // namespace tornal
