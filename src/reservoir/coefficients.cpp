// The transport terms of the linear system of every constituent and
// sub-step: outflow, inflow, change of the layer volume, exchange between
// the layers, transfer across the thermocline and the sediment flux; the
// constituents' own processes add their terms to these afterwards.
#include <cmath>

#include "common/precision.h"
#include "reservoir/reservoir_steps.h"

namespace tornal {
namespace {

// E12I: the exchange between the layers per sub-step, over the distance
// between the layers' mid-depths; an exchange coefficient whose whole part
// is -1 asks for the power law of the epilimnion thickness (DISPEMB).
void intercambio(Modelo& m, TrabajoEmbalse& w) {
  if (!w.dos_capas()) return;
  const double EEMB = m.cal.EEMB(w.K, m.sim.MESACTUAL);
  const bool ley = std::trunc(EEMB) == -1.0;
  for (int j = 1; j <= w.NSUB; ++j) {
    const double distancia = (w.ZEPILI(j) + w.ZHYPI(j)) * 0.5;
    const double flujo = ley ? sp(8.64f) * m.cal.DISPEMB(1) * w.AHYPI(j) * std::pow(w.ZEPILI(j), m.cal.DISPEMB(2))
                             : sp(8.64f) * w.AHYPI(j) * EEMB;
    w.E12I(j) = w.cociente(w.dt * flujo, distancia);
  }
}

// FLUJSEDEMBA: the sediment flux of the reservoir per unit area and
// sub-step; the last entry that names the reservoir wins, a time-varying one
// over a fixed one.
void flujo_sedimentos(Modelo& m, TrabajoEmbalse& w) {
  const Calidad& cal = m.cal;
  const Simulacion& s = m.sim;
  const int NC = cal.NUMCONTAMINANTES;
  for (int e = 1; e <= cal.NUMFLUJSED; ++e)
    if (cal.NUMEMBFLUJSED(e) == w.K)
      for (int c = 1; c <= NC; ++c) w.FLUJSEDEMBA(c) = w.dt * cal.FLUJSEDEMB(e, c);
  if (!s.HAYSEDEMBTEMP) return;
  for (int e = 1; e <= s.NUMEMBFLUJSEDTEMP; ++e)
    if (s.ORDEMBFLUJSEDVAR(e) == w.K)
      for (int c = 1; c <= NC; ++c) w.FLUJSEDEMBA(c) = w.dt * s.FLUJSEDEMBTEMP(e, c, s.MESACTUAL);
}

}  // namespace

void coeficientes_transporte(Modelo& m, TrabajoEmbalse& w) {
  intercambio(m, w);
  flujo_sedimentos(m, w);
  const int NC = m.cal.NUMCONTAMINANTES;
  for (int j = 1; j <= w.NSUB; ++j) {
    for (int k = 1; k <= NC; ++k) {
      w.AC1I(j, k) = w.cociente(0.0 - w.QS1 - w.E12I(j) - w.V1IO(j + 1) + w.V1IO(j), w.V1I(j));
      w.BC1I(j, k) = w.cociente(w.E12I(j), w.V1I(j));
      w.DC1I(j, k) = w.cociente(w.QE1 * w.C1ENTRI(k) + w.AEPILI(j) * w.FLUJSEDEMBA(k), w.V1I(j));
    }
  }
  if (!w.dos_capas()) return;
  for (int j = 1; j <= w.NSUB; ++j) {
    for (int k = 1; k <= NC; ++k) {
      w.AC1I(j, k) = w.AC1I(j, k) + w.cociente(w.QVBAJA, w.V1I(j));
      w.BC1I(j, k) = w.BC1I(j, k) + w.cociente(w.QVSUBE, w.V1I(j));
      w.AC2I(j, k) = w.cociente(0.0 - w.QS2 - w.E12I(j) - w.V2IO(j + 1) + w.V2IO(j) - w.QVSUBE, w.V2I(j));
      w.BC2I(j, k) = w.cociente(w.E12I(j) - w.QVBAJA, w.V2I(j));
      w.DC2I(j, k) = w.cociente(w.QE2 * w.C2ENTRI(k) + w.AHYPI(j) * w.FLUJSEDEMBA(k), w.V2I(j));
      // The sediment flux of a two-layer month enters the hypolimnion only.
      w.DC1I(j, k) = w.DC1I(j, k) - w.cociente(w.AEPILI(j) * w.FLUJSEDEMBA(k), w.V1I(j));
    }
  }
}

}  // namespace tornal
