// The time-varying kinetic constants of reaches and reservoirs.
#pragma once

#include "run/modelo.h"

namespace tornal {

// Overwrites the listed constants with their values for month MES of the run
// (1 to 12 x NUMANYOS, never restarted).
void CTESTEMPORALESSUB(Modelo& m, int MES);

}  // namespace tornal
