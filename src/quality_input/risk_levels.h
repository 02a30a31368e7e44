// The quality-risk levels file "NivelesRQ.dat".
#pragma once

#include "modelo/modelo.h"

namespace tornal {

// Switches the risk option on and reads the levels when the file exists.
void LEERARCHRIESGOSUB(Modelo& m);

}  // namespace tornal
