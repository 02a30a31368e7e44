// The end of a reservoir month: the transport terms of the mass balance of
// every sub-step and constituent, the layer concentrations at the month's
// end and the concentration of the water that leaves the reservoir.
#include "common/precision.h"
#include "reservoir/reservoir_steps.h"

namespace tornal {
namespace {

// Transport terms (positive for a gain of the layer): change of the layer
// volume, outflow, inflow, exchange, transfer across the thermocline and
// sediment flux. No sediment term in a sub-step in which the flux of
// ammonium, nitrate or phosphate was taken out again.
void terminos_transporte(Modelo& m, TrabajoEmbalse& w, int j, int c) {
  const PosicionesContaminantes& P = m.cal.POS;
  const double P1 = w.P1(j, c);
  const double P2 = w.P2(j, c);
  const bool sin_sedimento = w.SINFLUJOSED(j) == 1 && c > 0 && (c == P.NH4 || c == P.NO3 || c == P.PO4);
  w.MASAEP(j, c, 1) = (w.V1IO(j + 1) - w.V1IO(j)) * P1;
  w.MASAEP(j, c, 2) = -w.QS1 * P1;
  w.MASAEP(j, c, 3) = w.QE1 * w.C1ENTRI(c);
  if (w.dos_capas()) {
    const double vertical = w.QVBAJA * P1 + w.QVSUBE * P2;
    w.MASAEP(j, c, 4) = (P2 - P1) * w.E12I(j);
    w.MASAEP(j, c, 5) = vertical;
    w.MASAHIP(j, c, 1) = (w.V2IO(j + 1) - w.V2IO(j)) * P2;
    w.MASAHIP(j, c, 2) = -w.QS2 * P2;
    w.MASAHIP(j, c, 3) = w.QE2 * w.C2ENTRI(c);
    w.MASAHIP(j, c, 4) = (P1 - P2) * w.E12I(j);
    w.MASAHIP(j, c, 5) = -vertical;
    w.MASAHIP(j, c, 6) = sin_sedimento ? 0.0 : w.AHYPI(j) * w.FLUJSEDEMBA(c);
  } else {
    w.MASAEP(j, c, 6) = sin_sedimento ? 0.0 : w.AEPILI(j) * w.FLUJSEDEMBA(c);
  }
}

}  // namespace

void resultados_mes(Modelo& m, TrabajoEmbalse& w) {
  Simulacion& s = m.sim;
  const int NC = m.cal.NUMCONTAMINANTES;
  const int K = w.K, M = w.M, Y = w.Y;
  for (int j = 1; j <= w.NSUB; ++j)
    for (int c = 1; c <= NC; ++c) terminos_transporte(m, w, j, c);
  for (int c = 1; c <= NC; ++c) {
    s.EMB1CF(K, c, M, Y) = w.C1I(w.NSUB, c);
    s.EMB2CF(K, c, M, Y) = w.dos_capas() ? w.C2I(w.NSUB, c) : sp(1.0e-7f);
  }
  // The outflow: the flow-weighted mean over the month of what leaves the
  // layers; nothing leaves when the outflow of a sub-step is below its
  // threshold.
  const double salida = w.dos_capas() ? w.QS1 + w.QS2 : w.QS1;
  for (int c = 1; c <= NC; ++c) {
    double S = 0.0;
    for (int j = 1; j <= w.NSUB; ++j)
      S = w.dos_capas() ? S + (w.QS1 * w.C1I(j, c) + w.QS2 * w.C2I(j, c)) : S + w.QS1 * w.C1I(j, c);
    s.NUDOSCS(w.I, c, M, Y) = salida >= sp(0.001f) ? S / (salida * w.NSUB) : 0.0;
  }
}

}  // namespace tornal
