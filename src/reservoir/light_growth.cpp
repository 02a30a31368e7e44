// The growth rate of the phytoplankton of a layer in one sub-step: the
// maximum rate times the light factor of the layer (averaged over its depth
// and weighted by the photoperiod) and the nutrient factor (nitrogen,
// phosphorus, or the scarcer of the two). The factors are kept for the
// partial results.
#include <algorithm>
#include <cmath>

#include "common/precision.h"
#include "reservoir/layer.h"
#include "reservoir/reservoir_steps.h"

namespace tornal {

void crecimiento_algas(Modelo& m, TrabajoEmbalse& w, const CapaEmbalse& c, int j) {
  const Calidad& cal = m.cal;
  const PosicionesContaminantes& P = cal.POS;
  const int K = w.K, t = m.sim.MESACTUAL;
  const bool uno = c.capa == 1;
  // Light extinction: both layers with the chlorophyll-a of layer 1.
  const double Chl1 = w.P1(j, P.CHLA);
  const double ALFA = cal.ALFAFITOEMB(K);
  const double Ke = std::trunc(ALFA) == -1.0
                        ? (88.0 * Chl1 + cal.KEEMB(K)) + sp(0.054f) * std::pow(1000.0 * Chl1, sp(0.6667f))
                        : ALFA * Chl1 + cal.KEEMB(K);
  // Light factor between the layer's top and bottom: layer 1 from the
  // surface, layer 2 from the bottom of layer 1 down.
  const double r = w.cociente(cal.IOEMB(K, t), cal.ISATEMB(K));
  const double zt = uno ? 0.0 : w.ZEPILI(j);
  const double zb = uno ? w.ZEPILI(j) : w.ZHYPI(j) + w.ZEPILI(j);
  const double H = c.Z(j);
  const double a = r * std::exp(-Ke * zb);
  const double eb = std::exp(-a);
  const double et = uno ? std::exp(-r) : std::exp(-r * std::exp(-Ke * zt));
  const double luz = (eb - et) * w.cociente(w.cociente(sp(2.718f) * cal.FLUMEMB(K, t), Ke), H);
  // Nutrient factors of the layer's own water.
  const double NH4 = c.P(j, P.NH4);
  const double NO3 = c.P(j, P.NO3);
  const double PO4 = c.P(j, P.PO4);
  const Array1<double>& KS = cal.CTELIMITACIONNUTRIENTES;
  const bool limN = limitacion_activa(KS(3));
  const bool limP = limitacion_activa(KS(4));
  const double fN = limN ? w.cociente(NH4 + NO3, (KS(3) + NH4) + NO3) : 0.0;
  const double fP = limP ? w.cociente(PO4, KS(4) + PO4) : 0.0;
  const int fila = c.fila_limites();
  w.LIMITECRECIMIENTO(fila + 2, j) = luz;
  if (limP) w.LIMITECRECIMIENTO(fila + 3, j) = fP;
  if (limN) w.LIMITECRECIMIENTO(fila + 4, j) = fN;
  const double G = c.KMAXGROW(j) * luz;
  double crecimiento = G;
  if (limN && limP)
    crecimiento = std::min(fN, fP) * G;
  else if (limP)
    crecimiento = G * fP;
  else if (limN)
    crecimiento = G * fN;
  c.LIMLUM(j) = luz;
  c.KGROW(j) = crecimiento;
}

}  // namespace tornal
