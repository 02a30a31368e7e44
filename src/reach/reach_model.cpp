// The river-reach quality model, in its conservative form: the outlet of a
// reach for substances that neither decay nor settle. A dry reach gives 0;
// a reach fed by its lateral inflow alone gives the lateral inflow's
// concentration; otherwise the outlet is the flow-weighted mean of the head
// and the lateral inflow (the head concentration when the reach only loses
// water, since losses take water at the concentration it carries).
#include "reach/reach_model.h"

#include <cmath>

namespace tornal {

// Reach I in month MES of year ANO: writes CONDUCCCS(I, c, MES, ANO) for
// every constituent from the head flow QCAB with concentrations CO, the
// lateral inflow QENT with concentrations CE and the loss QSAL (m3/day).
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
    if (QENT > 0.0 && QTOTAL > 0.0)
      CONDUCCCS(I, c, MES, ANO) = (QCAB * CO(c) + QENT * CE(c)) / QTOTAL;
    else
      CONDUCCCS(I, c, MES, ANO) = CO(c);
  }
}

}  // namespace tornal
