#include "simulation/unit_conversion.h"

namespace tornal {

void CAMBIOUNIDADESSUB(Modelo& m) { (void)m; }
void factores_descambio(Modelo& m) { (void)m; }
void DESCAMBIOUNIDADESSUB(Modelo& m) { (void)m; }

}  // namespace tornal
