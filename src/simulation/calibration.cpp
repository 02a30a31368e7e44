#include "simulation/calibration.h"

namespace tornal {

void leer_calibracion_conduccion(Modelo& m, const std::string& PATHARCHIVO23, int OPCIONCALIBCOND) {
  (void)m;
  (void)PATHARCHIVO23;
  (void)OPCIONCALIBCOND;
}

void leer_calibracion_embalse(Modelo& m, const std::string& PATHARCHIVO22) {
  (void)m;
  (void)PATHARCHIVO22;
}

}  // namespace tornal
