// The reservoir quality model for one reservoir and one month: the steps of
// the month in their order, from the water balance and the layers through
// transport, temperature and kinetics to the month's results and the
// sub-step files.
#include <cmath>

#include "reservoir/reservoir_model.h"
#include "reservoir/reservoir_steps.h"

namespace tornal {

void CALCULOEMBSUB(Modelo& m, int I, int K, int M, int Y) {
  TrabajoEmbalse w;
  CALCULOEMBSUB(m, I, K, M, Y, w);
}

void CALCULOEMBSUB(Modelo& m, int I, int K, int M, int Y, TrabajoEmbalse& w) {
  const Calidad& cal = m.cal;
  const int t = m.sim.MESACTUAL;
  // The month, cut into NSUB sub-steps of equal length that cover its 30
  // days; the volume of a month's flow per sub-step.
  const int NSUB = static_cast<int>(std::trunc(cal.INCRETIEM(K)));
  w.dimensionar(NSUB, cal.NUMCONTAMINANTES, cal.NUMCONT1OR);
  w.K = K, w.I = I, w.M = M, w.Y = Y, w.NSUB = NSUB;
  w.dt = 30.0 / NSUB;
  w.VOLQ = cal.DIVISORUNIDADES / NSUB;
  w.VFIN = m.red.VOLFINEMB(K, M, Y);
  w.ZT = cal.ZTEMB(K, t);

  volumen_inicial(m, w);
  bool fin = embalse_vacio(m, w);
  if (!fin) {
    decision_capas(m, w);
    concentraciones_iniciales(m, w);
    if (vacio(w.VFIN)) {
      embalse_vaciado(m, w);
      fin = true;
    }
  }
  if (!fin) {
    volumenes_subpaso(m, w);
    caudales_capas(m, w);
    concentraciones_entrada(m, w);
    geometria_subpaso(m, w);
    coeficientes_transporte(m, w);
    if (cal.OPCIONTEMPERATURA == 1) temperatura(m, w);
    primer_orden(m, w);
    if (cal.OPCIONOXIGENO == 1) cinetica(m, w);
    resultados_mes(m, w);
  }
  if (w.division_nula) m.sim.ERROREMB(K) = 1;
  if (cal.INRESPAREMB(K) == 1) {
    resultados_parciales(m, w);
    if (cal.OPCIONBALANCES == 1) balances(m, w);
  }
}

}  // namespace tornal
