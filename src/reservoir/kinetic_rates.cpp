// The rates of the reservoir kinetics: the reservoir's constants of the
// month corrected for the layer temperature and scaled to one sub-step, the
// reaeration of the month (the reservoir's constant or the wind law), the
// oxygen saturation of each layer, and at the start of every sub-step the
// oxygen limitations of decay, nitrification and denitrification.
#include <cmath>

#include "physics/physics.h"
#include "reservoir/reservoir_steps.h"

namespace tornal {

void tasas_cineticas(Modelo& m, TrabajoEmbalse& w) {
  const Calidad& cal = m.cal;
  const int K = w.K, t = m.sim.MESACTUAL;
  const double dt = w.dt;
  const bool nitrogeno = cal.OPCIONNITROGENO == 1;
  const bool fito = cal.OPCIONFITOPLANCTON == 1;
  const Array1<double>& TECTA = cal.TECTAOD;
  // Reaeration of the month: the wind law when the constant's whole part is -1.
  double KA = cal.KAEMB(K);
  if (std::trunc(KA) == -1.0) KA = cal.REAIEMB(2) * std::pow(cal.UWEMB(K, t), cal.REAIEMB(3)) + cal.REAIEMB(1);
  auto theta = [&](int n, double T) { return std::pow(TECTA(n), T - 20.0); };

  for (int j = 1; j <= w.NSUB; ++j) {
    const double T1 = cal.OPCIONTEMPERATURA == 1 ? w.C1I(j, 1) : cal.TEPIL(K, t);
    w.KAAUX1(j) = theta(1, T1) * (KA * dt);
    w.KDAUX1(j) = theta(2, T1) * (dt * cal.KDEMB(K));
    w.OSATAUX1(j) = saturacion_oxigeno(T1);
    if (nitrogeno) {
      w.KNOAAUX1(j) = theta(3, T1) * (dt * cal.KNOAEMB(K));
      w.KNAIAUX1(j) = theta(4, T1) * (dt * cal.KNAIEMB(K));
      w.KNO3AUX1(j) = theta(5, T1) * (dt * cal.KNO3EMB(K));
    }
    if (fito) {
      w.KMAXGROWAUX1(j) = theta(6, T1) * (dt * cal.KMAXGROWEMB(K));
      w.KRESPAUX1(j) = theta(7, T1) * (dt * cal.KRESPEMB(K));
      w.KFOSFAUX1(j) = theta(8, T1) * (dt * cal.KFOSFEMB(K));
      w.KFOSFAAUX1(j) = dt * cal.KFOSFAEMB(K);
    }
    if (!w.dos_capas()) continue;
    const double T2 = cal.OPCIONTEMPERATURA == 1 ? w.C2I(j, 1) : cal.THIPOL(K, t);
    w.KAAUX2(j) = 0.0;  // no reaeration below the surface layer
    w.KDAUX2(j) = theta(2, T2) * (dt * cal.KDEMB(K));
    w.OSATAUX2(j) = saturacion_oxigeno(T2);
    if (nitrogeno) {
      w.KNOAAUX2(j) = theta(3, T2) * (dt * cal.KNOAEMB(K));
      w.KNAIAUX2(j) = theta(4, T2) * (dt * cal.KNAIEMB(K));
      w.KNO3AUX2(j) = theta(5, T2) * (dt * cal.KNO3EMB(K));
    }
    if (fito) {
      w.KMAXGROWAUX2(j) = theta(6, T2) * ((cal.FITOENELHIPO * cal.KMAXGROWEMB(K)) * dt);
      w.KRESPAUX2(j) = theta(7, T2) * (dt * cal.KRESPEMB(K));
      w.KFOSFAUX2(j) = theta(8, T2) * (dt * cal.KFOSFEMB(K));
      w.KFOSFAAUX2(j) = dt * cal.KFOSFAEMB(K);
    }
  }
  if (fito) {
    for (int j = 1; j <= w.NSUB; ++j) {
      w.LIMITECRECIMIENTO(1, j) = w.KMAXGROWAUX1(j);
      if (w.dos_capas()) w.LIMITECRECIMIENTO(5, j) = w.KMAXGROWAUX2(j);
    }
  }
}

// The oxygen limitations of sub-step j by the oxygen at its start, layer 1
// first, each with its growth rate; then layer 2 in a two-layer month.
void limitaciones_oxigeno(Modelo& m, TrabajoEmbalse& w, int j) {
  const Calidad& cal = m.cal;
  const Array1<double>& KS = cal.CTELIMITACIONNUTRIENTES;
  const int OD = cal.POS.OD;
  auto capa = [&](double O2, double& KD, double& KNAI, double& KNO3) {
    if (limitacion_activa(KS(1))) KD = O2 / (KS(1) + O2) * KD;
    if (cal.OPCIONNITROGENO == 1) {
      if (limitacion_activa(KS(2))) KNAI = O2 / (KS(2) + O2) * KNAI;
      if (limitacion_activa(KS(5))) KNO3 = KS(5) / (KS(5) + O2) * KNO3;
    }
  };
  capa(w.P1(j, OD), w.KDAUX1(j), w.KNAIAUX1(j), w.KNO3AUX1(j));
  if (cal.OPCIONFITOPLANCTON == 1) crecimiento_algas(m, w, j, 1);
  if (!w.dos_capas()) return;
  capa(w.P2(j, OD), w.KDAUX2(j), w.KNAIAUX2(j), w.KNO3AUX2(j));
  if (cal.OPCIONFITOPLANCTON == 1) crecimiento_algas(m, w, j, 2);
}

}  // namespace tornal
