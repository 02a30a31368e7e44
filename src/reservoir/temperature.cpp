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

// Method 1 on one layer over sub-step j: the heat `calor` (a flux times an
// area) enters it over its heat capacity; the surface layer also relaxes at
// the rate KET over its area.
void equilibrio_capa(TrabajoEmbalse& w, const CapaEmbalse& c, int j, double calor, double capacidad, double KET) {
  c.DC(j, 1) = c.DC(j, 1) + w.cociente(calor, capacidad) * w.dt;
  if (c.capa == 1) c.AC(j, 1) = c.AC(j, 1) - w.cociente(c.A(j) * KET, capacidad) * w.dt;
}

// Method 1: the epilimnion (or the whole water) relaxes toward the
// equilibrium temperature TEEMB at the rate KETEMB over its surface; the
// flux TEEMBHIP leaves the epilimnion over its surface and enters the
// hypolimnion over the thermocline plane. The heat each layer takes is its
// own, written where the layer is bound.
void temperatura_equilibrio(Modelo& m, TrabajoEmbalse& w, double DIVT) {
  const Calidad& cal = m.cal;
  const int K = w.K, t = m.sim.MESACTUAL;
  const double RHO = cal.CARACTERISTICASDELAGUA(1);
  const double KET = cal.KETEMB(K), TE = cal.TEEMB(K, t), TEHIP = cal.TEEMBHIP(K, t);
  const CapaEmbalse e = epilimnio(w), h = hipolimnio(w);
  for (int j = 1; j <= w.NSUB; ++j) {
    const double capa1 = DIVT * RHO * e.V(j);
    if (w.dos_capas()) {
      equilibrio_capa(w, e, j, (KET * TE - TEHIP) * e.A(j), capa1, KET);
      equilibrio_capa(w, h, j, h.A(j) * TEHIP, DIVT * RHO * h.V(j), KET);
    } else {
      equilibrio_capa(w, e, j, e.A(j) * KET * TE, capa1, KET);
    }
  }
  for (int j = 1; j <= w.NSUB && !w.parada(j); ++j) integrar(m, w, 1, j);
}

// Method 2: the net surface flux at the temperature of the sub-step's start;
// with two layers the epilimnion keeps H1 and the hypolimnion receives H2,
// by the extinction KEEMBTEMP over the epilimnion thickness. Each layer
// takes its share over the surface area, the area the flux comes through.
void balance_calor(Modelo& m, TrabajoEmbalse& w, double DIVT) {
  const Calidad& cal = m.cal;
  const int K = w.K;
  const double RHO = cal.CARACTERISTICASDELAGUA(1);
  auto calentar = [&](const CapaEmbalse& c, int j, double Hc) {
    c.DC(j, 1) = c.DC(j, 1) + w.cociente(w.AEPILI(j) * Hc, DIVT * RHO * c.V(j));
  };
  for (int j = 1; j <= w.NSUB && !w.parada(j); ++j) {
    const double T = w.P1(j, 1);
    double H = flujo_superficie(m, w, T);
    H = H * w.dt;
    double H1 = H, H2 = 0.0;
    if (w.dos_capas()) {
      const double E = std::exp(-cal.KEEMBTEMP(K) * w.ZEPILI(j));
      H1 = H - sp(0.45f) * H * E;  // kept by the epilimnion
      H2 = sp(0.55f) * H1 * E;     // given to the hypolimnion
    }
    calentar(epilimnio(w), j, H1);
    if (w.dos_capas()) calentar(hipolimnio(w), j, H2);
    integrar(m, w, 1, j);
  }
}

// The heat divisor: seconds to days and the specific heat of water.
double divisor_calor(const Calidad& cal) { return sp(1.1574167e-5f) * cal.CARACTERISTICASDELAGUA(2); }

}  // namespace

double flujo_superficie(const Modelo& m, const TrabajoEmbalse& w, double TW) {
  const Calidad& c = m.cal;
  const int K = w.K, t = m.sim.MESACTUAL;
  return HTOTAL(c, TW, c.HSWEMB(K, t), c.TAIREMB(K, t), c.VIENTOEMB(K, t), c.HREMB(K, t), c.NUBEMB(K, t));
}

// The warming of each layer over sub-step j per W/m2 of the net flux, as
// the heat balance shares it: the epilimnion keeps H1 = H (1 - 0.45 E) and
// the hypolimnion receives 0.55 E H1, each over its heat capacity.
Calentamiento calentamiento_capas(const Modelo& m, const TrabajoEmbalse& w, int j) {
  const Calidad& cal = m.cal;
  const double capacidad = divisor_calor(cal) * cal.CARACTERISTICASDELAGUA(1);
  const double superficie = w.dt * w.AEPILI(j);
  if (!w.dos_capas()) return {superficie / (capacidad * w.V1I(j)), 0.0};
  const double E = std::exp(-cal.KEEMBTEMP(w.K) * w.ZEPILI(j));
  const double parte1 = 1.0 - sp(0.45f) * E;
  return {parte1 * superficie / (capacidad * w.V1I(j)), sp(0.55f) * E * parte1 * superficie / (capacidad * w.V2I(j))};
}

void temperatura(Modelo& m, TrabajoEmbalse& w) {
  const double DIVT = divisor_calor(m.cal);
  if (m.cal.MODELOTEMPERATURA == 1)
    temperatura_equilibrio(m, w, DIVT);
  else if (m.cal.MODELOTEMPERATURA == 2)
    balance_calor(m, w, DIVT);
}

}  // namespace tornal
