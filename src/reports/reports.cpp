// The result files. Their writers are not in place yet: each does what the
// run asks of it when there is nothing to write.
#include "reports/reports.h"

#include <fstream>

namespace tornal {

void ESCRIBIRARCHXMLSUB(Modelo& m, const std::string& NOMARCHIVO) {
  (void)NOMARCHIVO;
  if (m.cal.OPCIONRIESGO) return;
}

void ESCRIBIRTABLACALSUB(Modelo& m, const std::string& NOMARCHIGRF) {
  (void)NOMARCHIGRF;
  if (m.cal.OPCIONRIESGO) return;
}

void CRITERIOSUB(Modelo& m) {
  std::ifstream criterios(m.ruta("Criterios.txt"), std::ios::binary);
  if (!criterios) {
    m.log.write({"No existe archivo de criterios"});
    return;
  }
}

void ESCRIBIRRIESGOSUB(Modelo& m) {
  if (!m.cal.OPCIONRIESGO) return;
}

}  // namespace tornal
