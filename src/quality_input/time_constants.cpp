// The time-varying kinetic constants of reaches and reservoirs: at the start
// of a month, each constant that the advanced-options file declares as
// time-varying takes that month's value. The code of an entry (1 to
// NUMCODIGOSTEMPORALES) selects the constant, the same codes for reaches and
// reservoirs.
#include "quality_input/time_constants.h"

#include <cmath>

namespace tornal {
namespace {

// Applies entries 1 to `entradas` in order: the code and the element number
// are the integer parts of the reals that hold them. A code outside 1 to
// NUMCODIGOSTEMPORALES is passed over. An element outside 1 to `elementos`,
// or a constant that the options of the run did not create, is passed over
// too, so that no entry reaches outside the constants (the advanced-options
// reader refuses such entries first).
void aplicar(Modelo& m, int MES, int entradas, int elementos, const Array1<double>& ELEM, const Array1<double>& CODIGO,
             const Array2<double>& VALOR, const ConstantesTemporales& constantes) {
  for (int k = 1; k <= entradas; ++k) {
    const ConstanteTemporal* codigo = constante_del_codigo(constantes, CODIGO(k));
    if (codigo == nullptr) continue;
    Array1<double>& constante = m.cal.**codigo;
    const double j = std::trunc(ELEM(k));
    if (!(j >= 1.0 && j <= static_cast<double>(elementos) && j <= static_cast<double>(constante.size()))) continue;
    constante(static_cast<long>(j)) = VALOR(k, MES);
  }
}

}  // namespace

// Overwrites the declared time-varying constants with their values for month
// MES of the run (1 to 12 x NUMANYOS, counted from the first October and never
// restarted): the reach entries (CONDUCKTEMP, NUMKCONDUCTEMP, KTESTEMPCONDUC)
// first, then the reservoir entries (EMBKTEMP, NUMKEMBTEMP, KTESTEMPEMB); a
// later entry for the same constant and element holds. Values are stored as
// they stand, and a constant keeps its value until an entry writes it again.
void CTESTEMPORALESSUB(Modelo& m, int MES) {
  const Simulacion& s = m.sim;
  aplicar(m, MES, s.NUMCTESTEMPCOND, m.red.NUMCONDUCCIONES, s.CONDUCKTEMP, s.NUMKCONDUCTEMP, s.KTESTEMPCONDUC,
          CONSTANTESCOND);
  aplicar(m, MES, s.NUMCTESTEMPEMB, m.red.NUMEMBALSES, s.EMBKTEMP, s.NUMKEMBTEMP, s.KTESTEMPEMB, CONSTANTESEMB);
}

}  // namespace tornal
