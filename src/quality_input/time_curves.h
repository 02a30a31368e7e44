// The monthly input series of temperatures, meteorology, light and layer
// exchange, built from base values and time curves, with their range
// warnings and the stop for shares of the layer flows out of range.
#pragma once

#include "modelo/modelo.h"

namespace tornal {

// From the 12-value time curves of the quality data file.
void CURVASTEMPSUB(Modelo& m);
// From the long time curves of the advanced-options file.
void CURVASTEMPLARGASSUB(Modelo& m);
// Stops the run when a share ENTREMB or SALEMB of the series in force lies
// outside 0 to 1 (the warnings of the series have named it).
void comprobar_proporciones_capas(const Modelo& m);

}  // namespace tornal
