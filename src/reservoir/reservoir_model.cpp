// The reservoir quality model for one reservoir and one month: the steps of
// the month in their order, from the water balance and the layers through
// transport, temperature and kinetics to the month's results and the
// sub-step files.
#include "reservoir/reservoir_model.h"

#include <cmath>

#include "reservoir/reservoir_steps.h"

namespace tornal {

void empezar_mes(Modelo& m, TrabajoEmbalse& w, int I, int K, int M, int Y, int NSUB) {
  const Calidad& cal = m.cal;
  w.dimensionar(NSUB, cal.NUMCONTAMINANTES, cal.NUMCONT1OR);
  w.K = K, w.I = I, w.M = M, w.Y = Y, w.NSUB = NSUB;
  w.dt = 30.0 / NSUB;
  w.VOLQ = cal.DIVISORUNIDADES / NSUB;
  w.VFIN = m.red.VOLFINEMB(K, M, Y);
  w.ZT = cal.ZTEMB(K, m.sim.MESACTUAL);
}

void integrar_mes(Modelo& m, TrabajoEmbalse& w, const Array1<double>& CE) {
  volumenes_subpaso(m, w);
  caudales_capas(m, w);
  concentraciones_entrada(m, w, CE);
  geometria_subpaso(m, w);
  coeficientes_transporte(m, w);
  if (m.cal.OPCIONTEMPERATURA == 1) temperatura(m, w);
  primer_orden(m, w);
  if (m.cal.OPCIONOXIGENO == 1) cinetica(m, w);
}

void CALCULOEMBSUB(Modelo& m, TrabajoEmbalse& w, int I, int K, const Array1<double>& CE, int M, int Y) {
  const Calidad& cal = m.cal;
  // The month, cut into NSUB sub-steps of equal length that cover its 30
  // days; the volume of a month's flow per sub-step.
  empezar_mes(m, w, I, K, M, Y, static_cast<int>(std::trunc(cal.INCRETIEM(K))));

  volumen_inicial(m, w);
  bool fin = embalse_vacio(m, w, CE);
  if (!fin) {
    decision_capas(m, w);
    concentraciones_iniciales(m, w);
    if (vacio(w.VFIN)) {
      embalse_vaciado(m, w, CE);
      fin = true;
    }
  }
  // A division by zero met in the month (in the empty or emptied month, or
  // in the integration that stands: an attempt given up for finer sub-steps
  // leaves no flag) raises the reservoir's flag.
  bool division_nula = w.division_nula;
  if (!fin) {
    integrar_mes(m, w, CE);
    // Again with finer sub-steps where the step cannot bear the given ones;
    // a month that diverges even so, by the mix of its water, listed among
    // the reservoirs with a possible numerical error.
    TrabajoEmbalse& a = subpasos_finos(m, w, CE);
    if (integracion_aceptada(m, a)) {
      resultados_mes(m, a);
      division_nula = a.division_nula;
    } else {
      embalse_mezclado(m, w, CE);
      division_nula = true;
    }
  }
  if (division_nula) m.sim.ERROREMB(K) = 1;
  if (cal.INRESPAREMB(K) == 1) {
    resultados_parciales(m, w);
    if (cal.OPCIONBALANCES == 1) balances(m, w);
  }
}

}  // namespace tornal
