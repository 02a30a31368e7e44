// Unit conversion of the run: every input series and concentration into
// calculation units before the months, and the results the reports read
// back into output units after them.
#pragma once

#include "modelo/modelo.h"

namespace tornal {

void CAMBIOUNIDADESSUB(Modelo& m);
// DESCAMBIOUNIDAD: 1 for every constituent, then the factors of the
// converted constituents when OPCIONOXIGENO is 1.
void factores_descambio(Modelo& m);
void DESCAMBIOUNIDADESSUB(Modelo& m);

}  // namespace tornal
