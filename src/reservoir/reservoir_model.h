// The reservoir quality model.
#pragma once

#include "modelo/modelo.h"

namespace tornal {

// Reservoir K at row FILANUDO of ORDENNUDOS in month MES of year ANO: turns
// the inflow concentrations CEEMBAUX into the layer concentrations, layer
// volumes and the outflow NUDOSCS of the node.
void CALCULOEMBSUB(Modelo& m, int FILANUDO, int K, int MES, int ANO);

}  // namespace tornal
