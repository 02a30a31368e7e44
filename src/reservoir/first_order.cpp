// The first-order pollutants: decay at a temperature-corrected rate and
// settling (out of the epilimnion into the hypolimnion, out of the bottom
// layer to the sediment); "RESIDENCIA" is the age of the water, which grows
// by the sub-step's length in days. The terms of one layer are written once
// and applied to layer 1, then to layer 2.
#include <cmath>

#include "common/latin1.h"
#include "reservoir/layer.h"
#include "reservoir/reservoir_steps.h"

namespace tornal {
namespace {

// Pollutant i (constituent k) in one layer over the month: its decay rate
// at the layer's temperature, the age of the water, decay and settling out
// of the layer.
void primer_orden_capa(Modelo& m, TrabajoEmbalse& w, const CapaEmbalse& c, int i, int k, bool residencia) {
  const Calidad& cal = m.cal;
  const double KEMB = cal.KEMB(w.K, i), VS = cal.VSEMB(w.K, i), TECTA = cal.TECTAK1OR(i);
  for (int j = 1; j <= w.NSUB; ++j) c.KAUXE(j, i) = KEMB * std::pow(TECTA, temperatura_capa(m, w, c, j) - 20.0);
  if (residencia)
    for (int j = 1; j <= w.NSUB; ++j) c.DC(j, k) = c.DC(j, k) + w.dt;
  for (int j = 1; j <= w.NSUB; ++j) c.AC(j, k) = c.AC(j, k) + (0.0 - c.KAUXE(j, i) - w.cociente(VS, c.Z(j))) * w.dt;
}

}  // namespace

void primer_orden(Modelo& m, TrabajoEmbalse& w) {
  const Calidad& cal = m.cal;
  for (int i = 1; i <= cal.NUMCONT1OR; ++i) {
    const int k = cal.POS.CONT1OR(i);
    const bool residencia = trimmed(cal.NOMCONT1OR(i)) == "RESIDENCIA";
    primer_orden_capa(m, w, epilimnio(w), i, k, residencia);
    if (w.dos_capas()) {
      primer_orden_capa(m, w, hipolimnio(w), i, k, residencia);
      for (int j = 1; j <= w.NSUB; ++j) sedimenta_al_hipolimnio(w, j, k, cal.VSEMB(w.K, i));
    }
    for (int j = 1; j <= w.NSUB && !w.parada(j); ++j) integrar(m, w, k, j);
  }
}

}  // namespace tornal
