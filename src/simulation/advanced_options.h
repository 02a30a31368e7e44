// The advanced-options file "tornal.avz": long time curves, time-varying
// diffuse pollution, reservoir sediment fluxes and time-varying constants.
#pragma once

#include "modelo/modelo.h"

namespace tornal {

// Reads "tornal.avz" when it exists; at its end rebuilds the monthly input
// series from the long time curves when the file holds them.
void LEERARCHAVZSUB(Modelo& m);

}  // namespace tornal
