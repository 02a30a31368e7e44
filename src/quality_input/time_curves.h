// The monthly input series of temperatures, meteorology, light and layer
// exchange, built from base values and time curves, with their range
// warnings.
#pragma once

#include "modelo/modelo.h"

namespace tornal {

// From the 12-value time curves of the quality data file.
void CURVASTEMPSUB(Modelo& m);
// From the long time curves of the advanced-options file.
void CURVASTEMPLARGASSUB(Modelo& m);

}  // namespace tornal
