// Layer temperature (constituent 1): the equilibrium temperature with a
// surface exchange coefficient, or the surface heat balance HTOTAL from the
// month's meteorology, added to the transport terms and integrated over the
// month. Every heat term is a heating per sub-step: it scales with the
// sub-step's length like every other rate.
#include <cmath>

#include "common/precision.h"
#include "physics/physics.h"
#include "reservoir/reservoir_steps.h"

namespace tornal {
namespace {

// Method 1: the epilimnion (or the whole water) relaxes toward the
// equilibrium temperature TEEMB at the rate KETEMB over its surface; the
// flux TEEMBHIP leaves the epilimnion over its surface and enters the
// hypolimnion over the thermocline plane.
void temperatura_equilibrio(Modelo& m, TrabajoEmbalse& w, double DIVT) {
  const Calidad& cal = m.cal;
  const int K = w.K, t = m.sim.MESACTUAL;
  const double RHO = cal.CARACTERISTICASDELAGUA(1);
  const double KET = cal.KETEMB(K), TE = cal.TEEMB(K, t), TEHIP = cal.TEEMBHIP(K, t);
  for (int j = 1; j <= w.NSUB; ++j) {
    const double capa1 = DIVT * RHO * w.V1I(j);
    if (w.dos_capas()) {
      const double capa2 = DIVT * RHO * w.V2I(j);
      w.DC1I(j, 1) = w.DC1I(j, 1) + w.cociente((KET * TE - TEHIP) * w.AEPILI(j), capa1) * w.dt;
      w.AC1I(j, 1) = w.AC1I(j, 1) - w.cociente(w.AEPILI(j) * KET, capa1) * w.dt;
      w.DC2I(j, 1) = w.DC2I(j, 1) + w.cociente(w.AHYPI(j) * TEHIP, capa2) * w.dt;
    } else {
      w.DC1I(j, 1) = w.DC1I(j, 1) + w.cociente(w.AEPILI(j) * KET * TE, capa1) * w.dt;
      w.AC1I(j, 1) = w.AC1I(j, 1) - w.cociente(w.AEPILI(j) * KET, capa1) * w.dt;
    }
  }
  for (int j = 1; j <= w.NSUB; ++j) integrar(m, w, 1, j);
}

// Method 2: the net surface flux at the temperature of the sub-step's start;
// with two layers the epilimnion keeps H1 and the hypolimnion receives H2,
// by the extinction KEEMBTEMP over the epilimnion thickness.
void balance_calor(Modelo& m, TrabajoEmbalse& w, double DIVT) {
  const Calidad& cal = m.cal;
  const int K = w.K, t = m.sim.MESACTUAL;
  const double RHO = cal.CARACTERISTICASDELAGUA(1);
  for (int j = 1; j <= w.NSUB; ++j) {
    const double T = w.P1(j, 1);
    double H = HTOTAL(cal, T, cal.HSWEMB(K, t), cal.TAIREMB(K, t), cal.VIENTOEMB(K, t), cal.HREMB(K, t),
                      cal.NUBEMB(K, t));
    H = H * w.dt;
    double H1 = H, H2 = 0.0;
    if (w.dos_capas()) {
      const double E = std::exp(-cal.KEEMBTEMP(K) * w.ZEPILI(j));
      H1 = H - sp(0.45f) * H * E;   // kept by the epilimnion
      H2 = sp(0.55f) * H1 * E;      // given to the hypolimnion
    }
    w.DC1I(j, 1) = w.DC1I(j, 1) + w.cociente(w.AEPILI(j) * H1, DIVT * RHO * w.V1I(j));
    if (w.dos_capas()) w.DC2I(j, 1) = w.DC2I(j, 1) + w.cociente(H2 * w.AEPILI(j), DIVT * RHO * w.V2I(j));
    integrar(m, w, 1, j);
  }
}

}  // namespace

void temperatura(Modelo& m, TrabajoEmbalse& w) {
  // The heat divisor: seconds to days and the specific heat of water.
  const double DIVT = sp(1.1574167e-5f) * m.cal.CARACTERISTICASDELAGUA(2);
  if (m.cal.MODELOTEMPERATURA == 1)
    temperatura_equilibrio(m, w, DIVT);
  else if (m.cal.MODELOTEMPERATURA == 2)
    balance_calor(m, w, DIVT);
}

}  // namespace tornal
