// The quality-risk levels file. Its reader is not in place yet: every run is
// an ordinary run.
#include "quality_input/risk_levels.h"

namespace tornal {

void LEERARCHRIESGOSUB(Modelo& m) { m.cal.OPCIONRIESGO = false; }

}  // namespace tornal
