// The compliance criteria of "Criterios.txt" and the report "Criterios.csv".
#include <fstream>

#include "reports/reports.h"

namespace tornal {

void CRITERIOSUB(Modelo& m) {
  std::ifstream criterios(m.ruta("Criterios.txt"), std::ios::binary);
  if (!criterios) {
    m.log.write({"No existe archivo de criterios"});
    return;
  }
}

}  // namespace tornal
