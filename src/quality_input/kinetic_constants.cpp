// The sizing of the kinetic constants of reaches and reservoirs, from their
// table.
#include "quality_input/kinetic_constants.h"

namespace tornal {

void dimensionar_cineticas(Calidad& c, int NR, int NE, int NM, bool todos_los_grupos) {
  auto dimensionar = [&](const CampoCinetico& k, int n) {
    if (!k.existe()) return;
    (c.*k.valor).resize(n);
    if (k.curva != nullptr) (c.*k.curva).resize(n);
    if (k.serie != nullptr) (c.*k.serie).resize(n, NM);
  };
  for (const ConstanteCinetica& k : CONSTANTESCINETICAS) {
    if (!todos_los_grupos && !grupo_activo(c, k.grupo)) continue;
    dimensionar(k.COND, NR);
    dimensionar(k.EMB, NE);
  }
}

}  // namespace tornal
