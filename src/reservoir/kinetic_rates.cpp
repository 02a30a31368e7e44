// The rates of the reservoir kinetics: the reservoir's constants of the
// month corrected for the layer temperature and scaled to one sub-step, the
// reaeration of the month (the reservoir's constant or the wind law), the
// oxygen saturation of each layer, and at the start of every sub-step the
// oxygen limitations of decay, nitrification and denitrification.
#include <cmath>

#include "physics/physics.h"
#include "reservoir/reservoir_steps.h"

namespace tornal {

namespace {

// The month's rates of one layer over sub-step j at its temperature T, by
// the reservoir's constants corrected by TECTAOD(n) ** (T - 20). KA is the
// month's reaeration, which only the surface layer has; the hypolimnion's
// algae grow at FITOENELHIPO times the maximum rate (the epilimnion's
// factor 1 changes no bit).
void tasas_capa(const Calidad& cal, const TrabajoEmbalse& w, const CapaEmbalse& c, int j, double T, double KA) {
  const int K = w.K;
  const double dt = w.dt;
  auto theta = [&](int n) { return std::pow(cal.TECTAOD(n), T - 20.0); };
  c.KA(j) = c.capa == 1 ? theta(1) * (KA * dt) : 0.0;
  c.KD(j) = theta(2) * (dt * cal.KDEMB(K));
  c.OSAT(j) = saturacion_oxigeno(T);
  if (cal.OPCIONNITROGENO == 1) {
    c.KNOA(j) = theta(3) * (dt * cal.KNOAEMB(K));
    c.KNAI(j) = theta(4) * (dt * cal.KNAIEMB(K));
    c.KNO3(j) = theta(5) * (dt * cal.KNO3EMB(K));
  }
  if (cal.OPCIONFITOPLANCTON == 1) {
    const double fito = c.capa == 1 ? 1.0 : cal.FITOENELHIPO;
    c.KMAXGROW(j) = theta(6) * ((fito * cal.KMAXGROWEMB(K)) * dt);
    c.KRESP(j) = theta(7) * (dt * cal.KRESPEMB(K));
    c.KFOSF(j) = theta(8) * (dt * cal.KFOSFEMB(K));
    c.KFOSFA(j) = dt * cal.KFOSFAEMB(K);
  }
}

}  // namespace

void tasas_cineticas(Modelo& m, TrabajoEmbalse& w) {
  const Calidad& cal = m.cal;
  const int K = w.K, t = m.sim.MESACTUAL;
  // Reaeration of the month: the wind law when the constant's whole part is -1.
  double KA = cal.KAEMB(K);
  if (std::trunc(KA) == -1.0) KA = cal.REAIEMB(2) * std::pow(cal.UWEMB(K, t), cal.REAIEMB(3)) + cal.REAIEMB(1);
  const CapaEmbalse e = epilimnio(w), h = hipolimnio(w);
  for (int j = 1; j <= w.NSUB; ++j) {
    tasas_capa(cal, w, e, j, temperatura_capa(m, w, e, j), KA);
    if (w.dos_capas()) tasas_capa(cal, w, h, j, temperatura_capa(m, w, h, j), KA);
  }
  // The maximum growth rate of each layer kept for the partial results.
  if (cal.OPCIONFITOPLANCTON == 1) {
    for (int j = 1; j <= w.NSUB; ++j) {
      w.LIMITECRECIMIENTO(e.fila_limites() + 1, j) = e.KMAXGROW(j);
      if (w.dos_capas()) w.LIMITECRECIMIENTO(h.fila_limites() + 1, j) = h.KMAXGROW(j);
    }
  }
}

// The oxygen limitations of sub-step j by the oxygen at its start, layer 1
// first, each with its growth rate; then layer 2 in a two-layer month.
void limitaciones_oxigeno(Modelo& m, TrabajoEmbalse& w, int j) {
  const Calidad& cal = m.cal;
  const Array1<double>& KS = cal.CTELIMITACIONNUTRIENTES;
  const int OD = cal.POS.OD;
  auto capa = [&](const CapaEmbalse& c) {
    const double O2 = c.P(j, OD);
    c.KDSINLIM(j) = c.KD(j);
    if (limitacion_activa(KS(1))) c.KD(j) = O2 / (KS(1) + O2) * c.KD(j);
    if (cal.OPCIONNITROGENO == 1) {
      c.KNAISINLIM(j) = c.KNAI(j);
      if (limitacion_activa(KS(2))) c.KNAI(j) = O2 / (KS(2) + O2) * c.KNAI(j);
      if (limitacion_activa(KS(5))) c.KNO3(j) = KS(5) / (KS(5) + O2) * c.KNO3(j);
    }
    if (cal.OPCIONFITOPLANCTON == 1) crecimiento_algas(m, w, c, j);
  };
  capa(epilimnio(w));
  if (w.dos_capas()) capa(hipolimnio(w));
}

}  // namespace tornal
