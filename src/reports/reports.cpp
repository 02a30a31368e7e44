// The quality-risk report "Riesgocal.csv". Its writer is not in place yet.
#include "reports/reports.h"

namespace tornal {

void ESCRIBIRRIESGOSUB(Modelo& m) {
  if (!m.cal.OPCIONRIESGO) return;
}

}  // namespace tornal
