#include "quality_input/validation.h"

namespace tornal {

void validar_calidad(Modelo& m) { (void)m; }

}  // namespace tornal
