// The result table for graphics, "TablaCal.txt" and "TablaCal.dir".
#include "reports/reports.h"

namespace tornal {

void ESCRIBIRTABLACALSUB(Modelo& m, const std::string& NOMARCHIGRF) {
  (void)NOMARCHIGRF;
  if (m.cal.OPCIONRIESGO) return;
}

}  // namespace tornal
