// Rates of the oxygen group along a reach: reaeration (given, or from depth
// and velocity), oxygen saturation with its altitude factor and the
// temperature-corrected rates, fixed for the call; and the rates of each
// pass of the oxygen iteration: decay and nitrification limited by oxygen,
// denitrification inhibited by it, and algal growth limited by light and
// nutrients. Every rate is corrected to the water temperature T by the
// Arrhenius (van 't Hoff) factor theta^(T - 20).
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

#include "common/precision.h"
#include "physics/physics.h"
#include "quality_input/kinetic_thetas.h"
#include "reach/reach_model.h"
#include "reach/tramo.h"

namespace tornal {
namespace {

// Theta corrections of the rates of a segment at its temperature T: the
// power of each theta is computed once, and a rate of a theta already seen
// takes it again.
class Correcciones {
 public:
  explicit Correcciones(double T) : T_(T) {}

  double operator()(double k, double theta) {
    const std::uint64_t b = std::bit_cast<std::uint64_t>(theta);
    int n = 0;
    while (n < vistas_ && base_[n] != b) ++n;
    if (n == vistas_) {
      base_[n] = b;
      potencia_[n] = std::pow(theta, T_ - 20.0);
      ++vistas_;
    }
    return k * potencia_[n];
  }

 private:
  double T_;
  int vistas_ = 0;
  // At most one for each theta (TECTASCINETICAS).
  std::uint64_t base_[NUMTECTAS] = {};
  double potencia_[NUMTECTAS] = {};
};

// Reaeration rate (1/day at 20 degC) of a depth H (m) and velocity U (m/s),
// by the formula that Covar's chart of depth against velocity selects:
// - shallow water, H < 0.61 m: Owens, Edwards and Gibbs,
//   ka = 5.32 U^0.67 / H^1.85;
// - deep and slow water, H > 3.45 U^2.5: O'Connor and Dobbins,
//   ka = 3.93 U^0.5 / H^1.5;
// - between the two: Churchill, Elmore and Buckingham,
//   ka = 5.026 U / H^1.67.
double reaireacion(double H, double U) {
  if (H < sp(0.61f)) return sp(5.32f) * std::pow(U, sp(0.67f)) / std::pow(H, sp(1.85f));
  if (H > sp(3.45f) * std::pow(U, sp(2.5f))) return sp(3.93f) * std::pow(U, sp(0.5f)) / std::pow(H, sp(1.5f));
  return sp(5.026f) * U / std::pow(H, sp(1.67f));
}

}  // namespace

void tasas_fijas(Modelo& m, TrabajoTramo& w, const Tramo& t) {
  const Calidad& c = m.cal;
  const int I = t.I;
  const Array1<double>& TECTAOD = c.TECTAOD;
  const bool formula = std::trunc(c.KACOND(I)) == -1.0;
  const bool nitrogeno = c.OPCIONNITROGENO == 1;
  const bool fito = c.OPCIONFITOPLANCTON == 1;
  for (int i = 1; i <= t.N; ++i) {
    w.KAAUX(i) = formula ? reaireacion(w.Y(i), w.UI(i) / 3600.0 / 24.0) : c.KACOND(I);
    Correcciones corregida(temperatura_segmento(m, w, t, i));
    w.KAAUX(i) = corregida(w.KAAUX(i), TECTAOD(1));
    w.KDAUX(i) = corregida(c.KDCOND(I), TECTAOD(2));
    w.OSATAUX(i) = saturacion_oxigeno(temperatura_segmento(m, w, t, i));
    if (nitrogeno) {
      w.KNOAAUX(i) = corregida(c.KNOACOND(I), TECTAOD(3));
      w.KNAIAUX(i) = corregida(c.KNAICOND(I), TECTAOD(4));
      w.KNO3AUX(i) = corregida(c.KNO3COND(I), TECTAOD(5));
    }
    if (fito) {
      w.KMAXGROWAUX(i) = corregida(c.KMAXGROWCOND(I), TECTAOD(6));
      w.KRESPAUX(i) = corregida(c.KRESPCOND(I), TECTAOD(7));
      w.KFOSFAUX(i) = corregida(c.KFOSFCOND(I), TECTAOD(8));
      w.KFOSFAAUX(i) = c.KFOSFACOND(I);
    }
  }
  // The altitude factor: the saturation is proportional to the atmospheric
  // pressure, taken at the reach's altitude z (m) as its sea-level value
  // times 1 - 0.1148 z / 1000, the first-order term of the barometric law
  // exp(-0.1148 z / 1000): 11.48 % less per 1000 m.
  const double ALTITUD = c.COEFTESHIDR(I, 5);
  if (ALTITUD > 0.0 && c.COEFTESHIDR(I, 6) == 0.0)
    for (int i = 1; i <= t.N; ++i) w.OSATAUX(i) = w.OSATAUX(i) * (1.0 - sp(0.1148f) * ALTITUD / 1000.0);
}

void tasas_pasada(Modelo& m, TrabajoTramo& w, const Tramo& t) {
  const Calidad& c = m.cal;
  const PosicionesContaminantes& p = c.POS;
  const int I = t.I;
  const int N = t.N;
  const int MES = m.sim.MESACTUAL;
  const bool nitrogeno = c.OPCIONNITROGENO == 1;
  const bool fito = c.OPCIONFITOPLANCTON == 1;
  const double C1 = c.CTELIMITACIONNUTRIENTES(1);
  const double C2 = c.CTELIMITACIONNUTRIENTES(2);
  const double C3 = c.CTELIMITACIONNUTRIENTES(3);
  const double C4 = c.CTELIMITACIONNUTRIENTES(4);
  const double C5 = c.CTELIMITACIONNUTRIENTES(5);
  // The columns that the first guess of the oxygen iteration has set.
  const View<const double> DO = w.CX.run(N, p.OD);
  // Oxygen limits decay and nitrification by a Monod (half-saturation)
  // factor DO / (C + DO), and inhibits denitrification by C5 / (C5 + DO).
  for (int i = 1; i <= N; ++i) {
    w.KDACTUAL(i) = limitacion_activa(C1) ? w.KDAUX(i) * DO(i) / (C1 + DO(i)) : w.KDAUX(i);
    if (nitrogeno) {
      w.KNAIAUX2(i) = limitacion_activa(C2) ? w.KNAIAUX(i) * DO(i) / (C2 + DO(i)) : w.KNAIAUX(i);
      w.KNO3AUX2(i) = limitacion_activa(C5) ? w.KNO3AUX(i) * C5 / (C5 + DO(i)) : w.KNO3AUX(i);
    }
  }
  if (!fito) return;
  // The light of the reach in the month, the same for every segment.
  const bool formula = std::trunc(c.ALFAFITOCOND(I)) == -1.0;
  const double KECOND = c.KECOND(I);
  const double ALFAFITO = c.ALFAFITOCOND(I);
  const double IO = c.IOCOND(I, MES);
  const double ISAT = c.ISATCOND(I);
  const double FLUM = c.FLUMCOND(I, MES);
  const double superficie = std::exp(-IO / ISAT);
  const View<const double> CHLA = w.CX.run(N, p.CHLA), PO4 = w.CX.run(N, p.PO4);
  for (int i = 1; i <= N; ++i) {
    // Light extinction: the background of the water plus the self-shading
    // of the algae, by Riley's equation (a linear and a two-thirds power
    // term of the chlorophyll-a) or linear at ALFAFITO per unit of
    // chlorophyll-a.
    if (formula)
      w.KE(i) = KECOND + sp(88.0f) * CHLA(i) + sp(0.054f) * std::pow(1000.0 * CHLA(i), sp(0.6667f));
    else
      w.KE(i) = KECOND + ALFAFITO * CHLA(i);
    // Light limitation: Steele's photoinhibition curve, (I / ISAT)
    // exp(1 - I / ISAT), averaged over the depth of the segment (Beer-Lambert
    // extinction, ALFA1 the relative light at the bed) and over the day
    // (the photoperiod FLUM), with e written 2.718.
    w.ALFA1(i) = IO / ISAT * std::exp(-w.KE(i) * w.Y(i));
    const double KEY = w.KE(i) * w.Y(i);
    // Without extinction the light factor is its limit as KE x Y tends to 0.
    if (KEY == 0.0)
      w.LIMLUMCOND(i) = sp(2.718f) * FLUM * (IO / ISAT) * superficie;
    else
      w.LIMLUMCOND(i) = sp(2.718f) * FLUM / KEY * (std::exp(-w.ALFA1(i)) - superficie);
    const double NIT = p.NH4 > 0 ? w.CX(i, p.NH4) + w.CX(i, p.NO3) : 0.0;
    const double P = PO4(i);
    // Nutrient limitation: a Monod (half-saturation) factor of inorganic
    // nitrogen and of phosphate, the smaller of the two when both are on
    // (Liebig's law of the minimum).
    double F = 1.0;
    if (limitacion_activa(C3) && limitacion_activa(C4))
      F = std::min(NIT / (C3 + NIT), P / (C4 + P));
    else if (limitacion_activa(C3))
      F = NIT / (C3 + NIT);
    else if (limitacion_activa(C4))
      F = P / (C4 + P);
    w.KGROWAUX2(i) = w.KMAXGROWAUX(i) * w.LIMLUMCOND(i) * F;
  }
}

}  // namespace tornal
