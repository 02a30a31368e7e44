#include "quality_input/coefficients_file.h"

namespace tornal {

void leer_coeficientes(Modelo& m, const std::string& PATHARCHIVO5, int NUMVERSION) {
  (void)m;
  (void)PATHARCHIVO5;
  (void)NUMVERSION;
}

}  // namespace tornal
