// The river-reach quality model, in its conservative form: the outlet of a
// reach for substances that neither decay nor settle. A dry reach gives 0;
// a reach fed by its lateral inflow alone gives the lateral inflow's
// concentration; otherwise the outlet is the flow-weighted mean of the head
// and the lateral inflow (the head concentration when the reach only loses
// water, since losses take water at the concentration it carries). A solved
// outlet is stored as the reach model stores its solutions: a concentration
// below ERRORCONC becomes 0 (dissolved oxygen below 0 becomes 0, the water
// temperature is never clipped), and a value above 1.0e6 raises the reach's
// overflow flag ERRORCOND.
#include "reach/reach_model.h"

#include <cmath>

namespace tornal {
namespace {

// Overflow limit of a solved concentration, in calculation units.
constexpr double LIMITEDESBORDE = 1.0e6;

// A solved value of constituent k as the reach model stores it.
double solucion_guardada(const Calidad& cal, int k, double valor) {
  if (cal.OPCIONTEMPERATURA == 1 && k == 1) return valor;
  const int OD = cal.OPCIONTEMPERATURA + cal.NUMCONT1OR + 2;
  if (cal.OPCIONOXIGENO == 1 && k == OD) return valor < 0.0 ? 0.0 : valor;
  return cal.ERRORCONC > valor ? 0.0 : valor;
}

}  // namespace

// Reach I in month MES of year ANO: writes CONDUCCCS(I, c, MES, ANO) for
// every constituent from the head flow QCAB with concentrations CO, the
// lateral inflow QENT with concentrations CE and the loss QSAL (m3/day).
// The two early exits set the outlet as it stands; a solved outlet is
// clipped and tested for overflow (ERRORCOND(I)).
void CALCULOCONDUCSUB(Modelo& m, int I, double QCAB, double QENT, double QSAL, const Array1<double>& CO,
                      const Array1<double>& CE, int MES, int ANO) {
  const int NC = m.cal.NUMCONTAMINANTES;
  Array4<double>& CONDUCCCS = m.sim.CONDUCCCS;
  // Flows are compared to the hundredth, in double: INT(100 x q).
  const double HCAB = std::trunc(100.0 * QCAB);
  const double HENT = std::trunc(100.0 * QENT);
  const double HSAL = std::trunc(100.0 * QSAL);

  if (HCAB == HSAL && HENT == 0.0) {  // dry reach
    for (int c = 1; c <= NC; ++c) CONDUCCCS(I, c, MES, ANO) = 0.0;
    return;
  }
  if (HCAB == HENT && HSAL == 0.0) {  // lateral inflow only
    for (int c = 1; c <= NC; ++c) CONDUCCCS(I, c, MES, ANO) = CE(c);
    return;
  }
  const double QTOTAL = QCAB + QENT;
  for (int c = 1; c <= NC; ++c) {
    double valor = CO(c);
    if (QENT > 0.0 && QTOTAL > 0.0) valor = (QCAB * CO(c) + QENT * CE(c)) / QTOTAL;
    valor = solucion_guardada(m.cal, c, valor);
    CONDUCCCS(I, c, MES, ANO) = valor;
    if (valor > LIMITEDESBORDE) m.sim.ERRORCOND(I) = 1;
  }
}

}  // namespace tornal
