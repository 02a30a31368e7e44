// The water side of a reservoir month: start and end volumes, one layer or
// two, the layer volumes at the start and end of the month and of every
// sub-step, the month's inflow and the layer flows per sub-step, and the
// thickness and area of each layer per sub-step from the curve.
#include <cmath>

#include "common/stop.h"
#include "reservoir/reservoir_steps.h"

namespace tornal {

bool vacio(double x) { return std::trunc(1000.0 * x) == 0.0; }

// V0: the start volume of the allocation run in its first month, the end
// volume of the month before otherwise.
void volumen_inicial(Modelo& m, TrabajoEmbalse& w) {
  const Red& r = m.red;
  if (w.M == 1 && w.Y == 1)
    w.V0 = r.VOLINIEMB(w.K);
  else if (w.M == 1)
    w.V0 = r.VOLFINEMB(w.K, 12, w.Y - 1);
  else
    w.V0 = r.VOLFINEMB(w.K, w.M - 1, w.Y);
}

// One layer or two. A thermocline at no depth (nil, or above the water
// surface) gives one layer; so does one deeper than COEFTETERMOCLINA of the
// water depth at the start or the end of the month, measured from the
// curve's first level, and one that leaves a layer below 5000 at either
// end. Writes V1O, V2O, UNACAPA and V1F, V2F of the month.
void decision_capas(Modelo& m, TrabajoEmbalse& w) {
  Simulacion& s = m.sim;
  const int K = w.K;
  auto una_capa = [&] {
    w.V1O = w.V0;
    w.V2O = 0.0;
    s.V1F(K, w.M, w.Y) = w.VFIN;
    s.V2F(K, w.M, w.Y) = 0.0;
    w.UNACAPA = 1;
  };
  if (vacio(w.ZT) || w.ZT < 0.0) {
    una_capa();
    return;
  }
  w.UNACAPA = 0;
  const double Z0 = m.red.COTAEMB(K, 1);
  double vol = w.V0, ZI = 0.0, ZF = 0.0, sup = 0.0;
  CURVAEMBSUB(m, K, vol, ZI, sup, 1);
  vol = w.VFIN;
  CURVAEMBSUB(m, K, vol, ZF, sup, 1);
  const double coef = m.cal.COEFTETERMOCLINA;
  if (w.ZT > (ZI - Z0) * coef || w.ZT > (ZF - Z0) * coef) {
    una_capa();
    return;
  }
  double VH0 = 0.0, VHF = 0.0;
  double cota = ZI - w.ZT;
  CURVAEMBSUB(m, K, VH0, cota, sup, 2);
  cota = ZF - w.ZT;
  CURVAEMBSUB(m, K, VHF, cota, sup, 2);
  w.V1O = w.V0 - VH0;
  w.V2O = w.V0 - w.V1O;
  s.V1F(K, w.M, w.Y) = w.VFIN - VHF;
  s.V2F(K, w.M, w.Y) = w.VFIN - s.V1F(K, w.M, w.Y);
  if (w.V1O < 5000.0 || w.V2O < 5000.0 || s.V1F(K, w.M, w.Y) < 5000.0 || s.V2F(K, w.M, w.Y) < 5000.0) una_capa();
}

// Layer volumes at the middle of each sub-step (V1I, V2I, VI) and at its
// boundaries (V1IO, V2IO): straight from the start to the end of the month.
void volumenes_subpaso(Modelo& m, TrabajoEmbalse& w) {
  const double V1F = m.sim.V1F(w.K, w.M, w.Y);
  const double V2F = m.sim.V2F(w.K, w.M, w.Y);
  const double n = w.NSUB;
  w.V1IO(1) = w.V1O;
  w.V2IO(1) = w.V2O;
  for (int j = 1; j <= w.NSUB; ++j) {
    w.V1I(j) = w.V1O + (j - 0.5) * (V1F - w.V1O) / n;
    w.V2I(j) = w.V2O + (j - 0.5) * (V2F - w.V2O) / n;
    w.VI(j) = w.V1I(j) + w.V2I(j);
    w.V1IO(j + 1) = w.V1O + j * (V1F - w.V1O) / n;
    w.V2IO(j + 1) = w.V2O + j * (V2F - w.V2O) / n;
  }
}

// The month's inflow QIN (a flow: the one that closes the allocation
// model's balance) and the volumes that leave and enter each layer in one
// sub-step; QV is the month's transfer across the thermocline that closes
// the balance of layer 1, split per sub-step into its upward (QVSUBE) or
// downward (QVBAJA) share. Evaporation leaves no layer as an outflow.
void caudales_capas(Modelo& m, TrabajoEmbalse& w) {
  const Red& r = m.red;
  const int K = w.K, M = w.M, Y = w.Y;
  const double R = r.SUELTASEMB(K, M, Y), E = r.EVAPEMB(K, M, Y), S = r.FILTREMB(K, M, Y), V = r.VERTEMB(K, M, Y);
  const double DIV = m.cal.DIVISORUNIDADES;
  w.QIN = ((r.VOLFINEMB(K, M, Y) - w.V0) + (((R + E) + S) + V) * DIV) / DIV;
  const int t = m.sim.MESACTUAL;
  const double SAL = m.cal.SALEMB(K, t);
  const double ENT = m.cal.ENTREMB(K, t);
  if (w.dos_capas()) {
    w.QS1 = (V + R * SAL) * w.VOLQ;
    w.QE1 = w.QIN * (ENT * w.VOLQ);
    w.QS2 = (S + R * (1.0 - SAL)) * w.VOLQ;
    w.QE2 = w.QIN * ((1.0 - ENT) * w.VOLQ);
    w.QV = (m.sim.V1F(K, M, Y) - w.V1O) + (R * SAL + (E + V) - ENT * w.QIN) * DIV;
    if (w.QV > 0.0) {
      w.QVSUBE = w.QV / w.NSUB;
      w.QVBAJA = 0.0;
    } else {
      w.QVBAJA = w.QV / w.NSUB;
      w.QVSUBE = 0.0;
    }
  } else {
    w.QE1 = w.QIN * w.VOLQ;
    w.QS1 = (V + (R + S)) * w.VOLQ;
    w.QS2 = w.QE2 = w.QV = w.QVSUBE = w.QVBAJA = 0.0;
  }
}

// Depth and area of each layer per sub-step: the level and area of the
// water surface, and with two layers those of the thermocline, less the
// curve's first level. A negative depth stops the run.
void geometria_subpaso(Modelo& m, TrabajoEmbalse& w) {
  const int K = w.K;
  for (int j = 1; j <= w.NSUB; ++j) {
    double vol = w.dos_capas() ? w.VI(j) : w.V1I(j);
    CURVAEMBSUB(m, K, vol, w.ZEPILI(j), w.AEPILI(j), 1);
    if (w.dos_capas()) {
      vol = w.V2I(j);
      CURVAEMBSUB(m, K, vol, w.ZHYPI(j), w.AHYPI(j), 1);
    } else {
      w.ZHYPI(j) = 0.0;
      w.AHYPI(j) = 0.0;
    }
  }
  const double fondo = m.red.COTAEMB(K, 1);
  for (int j = 1; j <= w.NSUB; ++j) {
    w.ZEPILI(j) = w.ZEPILI(j) - fondo;
    if (w.ZEPILI(j) < 0.0) {
      m.log.write({"Calados estimados de embalse negativos. Revise la curva cota-sup-vol"});
      m.log.write({"el primer valor del volumen debe ser un valor nulo para poder estimar calados reales"});
      m.log.write({"Embalse, año, mes"});
      m.log.write({K, w.Y, w.M});
      stop("Problemas con las curvas batimetricas de embalses");
    }
    if (w.dos_capas()) {
      w.ZHYPI(j) = w.ZHYPI(j) - fondo;
      w.ZEPILI(j) = w.ZEPILI(j) - w.ZHYPI(j);
    }
  }
}

}  // namespace tornal
