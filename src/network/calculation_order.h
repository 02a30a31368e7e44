// The loop cuts of "bucle.avz" and the calculation order of the network.
#pragma once

#include "modelo/modelo.h"

namespace tornal {

// Applies the loop cuts when "bucle.avz" exists, then works out NUMNUDOS,
// ORDENNUDOS and ORDENCONDUCCIONES; stops the run when the network has
// equal ends or a loop.
void ORDENCALCULOSUB(Modelo& m);

// Reads "bucle.avz" (when present) and cuts the listed elements.
void aplicar_bucles(Modelo& m);

}  // namespace tornal
