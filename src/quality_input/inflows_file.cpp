#include "quality_input/inflows_file.h"

namespace tornal {

void leer_aportaciones_calidad(Modelo& m, const std::string& PATHARCHIVO4) {
  (void)m;
  (void)PATHARCHIVO4;
}

}  // namespace tornal
