// The tagged monthly concentration file.
#include "reports/reports.h"

namespace tornal {

void ESCRIBIRARCHXMLSUB(Modelo& m, const std::string& NOMARCHIVO) {
  (void)NOMARCHIVO;
  if (m.cal.OPCIONRIESGO) return;
}

}  // namespace tornal
