// The first-order pollutants: decay at a temperature-corrected rate and
// settling (out of the epilimnion into the hypolimnion, out of the bottom
// layer to the sediment); "RESIDENCIA" is the age of the water, which grows
// by the sub-step's length in days.
#include <cmath>

#include "common/latin1.h"
#include "reservoir/reservoir_steps.h"

namespace tornal {

void primer_orden(Modelo& m, TrabajoEmbalse& w) {
  const Calidad& cal = m.cal;
  const int K = w.K, t = m.sim.MESACTUAL;
  for (int i = 1; i <= cal.NUMCONT1OR; ++i) {
    const int k = cal.POS.CONT1OR(i);
    const double KEMB = cal.KEMB(K, i), VS = cal.VSEMB(K, i), TECTA = cal.TECTAK1OR(i);
    for (int j = 1; j <= w.NSUB; ++j) {
      const double T1 = cal.OPCIONTEMPERATURA == 1 ? w.C1I(j, 1) : cal.TEPIL(K, t);
      w.KAUXE1(j, i) = KEMB * std::pow(TECTA, T1 - 20.0);
      if (w.dos_capas()) {
        const double T2 = cal.OPCIONTEMPERATURA == 1 ? w.C2I(j, 1) : cal.THIPOL(K, t);
        w.KAUXE2(j, i) = KEMB * std::pow(TECTA, T2 - 20.0);
      }
    }
    if (trimmed(cal.NOMCONT1OR(i)) == "RESIDENCIA") {
      for (int j = 1; j <= w.NSUB; ++j) {
        w.DC1I(j, k) = w.DC1I(j, k) + w.dt;
        if (w.dos_capas()) w.DC2I(j, k) = w.DC2I(j, k) + w.dt;
      }
    }
    for (int j = 1; j <= w.NSUB; ++j) {
      const double sedimenta1 = w.cociente(VS, w.ZEPILI(j));
      w.AC1I(j, k) = w.AC1I(j, k) + (0.0 - w.KAUXE1(j, i) - sedimenta1) * w.dt;
      if (w.dos_capas()) {
        w.AC2I(j, k) = w.AC2I(j, k) + (0.0 - w.KAUXE2(j, i) - w.cociente(VS, w.ZHYPI(j))) * w.dt;
        w.BC2I(j, k) = w.BC2I(j, k) + w.cociente(w.V1I(j), w.V2I(j)) * sedimenta1 * w.dt;
      }
    }
    for (int j = 1; j <= w.NSUB; ++j) integrar(m, w, k, j);
  }
}

}  // namespace tornal
