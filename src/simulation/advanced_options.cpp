#include "simulation/advanced_options.h"

namespace tornal {

void LEERARCHAVZSUB(Modelo& m) { (void)m; }

}  // namespace tornal
