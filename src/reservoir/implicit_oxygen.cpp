// Oxygen sinks stiffer than the step: the decay of organic matter and
// nitrification take oxygen at rates limited by O2 / (K + O2). Near anoxia,
// with a small half-saturation constant K and a heavy load, the limitation
// swings from nothing to all of the sink within a fraction of a mg/l, far
// faster than a sub-step of a day can follow: held at the oxygen of the
// sub-step's start, the sink takes nothing from water at the floor and then
// everything from water a little above it, and the oxygen flips between the
// two. In a sub-step where the slope of those sinks is more than the step
// bears at its length, the limitations are taken at the oxygen of the
// sub-step's end instead: the sinks held over the sub-step are those that
// the oxygen they leave gives, s = R O2 / (K + O2) at the end, R being the
// sink's rate before its limitation times its substance at the start. The
// oxygen's step is affine in what is held over the sub-step, O2 = a - F s,
// so each layer's end oxygen is the root of an increasing function on
// [0, a], found by a safeguarded Newton iteration: positive, at any step and
// for any K above 0, at a cost that does not grow as K falls. The organic
// matter and the ammonium then lose, held over the sub-step, what those
// sinks took of oxygen, and nitrate gains what the ammonium lost to
// nitrification, so that decay limited by oxygen is limited by the oxygen
// there was.
#include <algorithm>
#include <cmath>

#include "reservoir/layer.h"
#include "reservoir/reservoir_steps.h"

namespace tornal {
namespace {

// The oxygen sinks of one layer over sub-step j whose limitations follow
// the oxygen: R O2 / (K + O2) of decay and of nitrification, and what the
// rest of the oxygen's terms come to with those two left out.
struct SumiderosCapa {
  double RL = 0.0, KL = 0.0;  // decay: rate before the limitation times L [C], its constant
  double RN = 0.0, KN = 0.0;  // nitrification: STECHIO(1) times the rate times NH4 [C], its constant
  double A = 0.0, B = 0.0;    // the oxygen's coefficients of its own layer and of the other one [-]
  double D = 0.0;             // its independent term without the limited sinks [C]
  double O2 = 0.0;            // at the start of the sub-step [C]

  double tomado(double x) const {
    double s = 0.0;
    if (RL > 0.0) s += RL * x / (KL + x);
    if (RN > 0.0) s += RN * x / (KN + x);
    return s;
  }
  // The slope of s with respect to the oxygen x.
  double pendiente(double x) const {
    double d = 0.0;
    if (RL > 0.0) d += RL * (KL / ((KL + x) * (KL + x)));
    if (RN > 0.0) d += RN * (KN / ((KN + x) * (KN + x)));
    return d;
  }
};

SumiderosCapa sumideros_capa(const Modelo& m, const CapaEmbalse& c, int j) {
  const Calidad& cal = m.cal;
  const PosicionesContaminantes& P = cal.POS;
  const Array1<double>& KS = cal.CTELIMITACIONNUTRIENTES;
  auto p = [&](int k) { return k > 0 ? c.P(j, k) : 0.0; };
  SumiderosCapa s;
  s.A = c.AC(j, P.OD) - c.KA(j);
  s.B = c.BC(j, P.OD);
  s.O2 = p(P.OD);
  const double L = std::max(p(P.DBO), 0.0);
  s.D = c.DC(j, P.OD) + c.KA(j) * c.OSAT(j);
  if (limitacion_activa(KS(1))) {
    s.RL = c.KDSINLIM(j) * L;
    s.KL = KS(1);
  } else {
    s.D -= c.KD(j) * L;
  }
  if (cal.OPCIONNITROGENO == 1) {
    const double NH4 = std::max(p(P.NH4), 0.0);
    if (limitacion_activa(KS(2))) {
      s.RN = cal.STECHIO(1) * c.KNAISINLIM(j) * NH4;
      s.KN = KS(2);
    } else {
      s.D -= cal.STECHIO(1) * c.KNAI(j) * NH4;
    }
    if (cal.OPCIONFITOPLANCTON == 1) s.D += (cal.STECHIO(3) * c.KGROW(j) - cal.STECHIO(4) * c.KRESP(j)) * p(P.CHLA);
  }
  return s;
}

// The end oxygen x of a layer: x + F s(x) = c, on [0, c] (s increasing, F
// above 0); 0 where c is 0 or less (the other terms alone take it all).
// Newton steps from x0 (the oxygen of the part before) kept inside the
// bracket, a halving where one would leave it.
double oxigeno_final(const SumiderosCapa& s, double F, double c, double x0) {
  if (!(c > 0.0)) return 0.0;
  double lo = 0.0, hi = c, x = x0 > 0.0 && x0 < c ? x0 : c;
  for (int n = 0; n < 200; ++n) {
    const double h = x + F * s.tomado(x) - c;
    if (h == 0.0) return x;
    if (h > 0.0)
      hi = x;
    else
      lo = x;
    const double paso = h / (1.0 + F * s.pendiente(x));
    double y = x - paso;
    if (!(y > lo && y < hi)) y = 0.5 * (lo + hi);
    if (std::fabs(y - x) <= 1.0e-15 * std::max(y, s.KL + s.KN) || hi - lo <= 1.0e-15 * hi) return y;
    x = y;
  }
  return x;
}

}  // namespace

double pendiente_sumideros(const Modelo& m, TrabajoEmbalse& w, int capa, int j) {
  const SumiderosCapa s = sumideros_capa(m, capa == 1 ? epilimnio(w) : hipolimnio(w), j);
  const double d = s.pendiente(std::max(s.O2, 0.0));
  return std::isfinite(d) && d > 0.0 ? d : 0.0;
}

// The parts of a sub-step in which the oxygen is stepped alone, each
// taken with its sinks at the oxygen of the part's end: one part would lag
// the sinks behind an oxygen that falls within the sub-step (the sink of
// its lowest point held over all of it).
constexpr int PARTES = 4;

// Takes the limited rates KD and KNAI of sub-step j as the mean of their
// limitations over its parts, for every layer, and the oxygen at its end,
// as the header says.
void limitaciones_al_final(Modelo& m, TrabajoEmbalse& w, int j) {
  const Calidad& cal = m.cal;
  const Array1<double>& KS = cal.CTELIMITACIONNUTRIENTES;
  const CapaEmbalse e = epilimnio(w), h = hipolimnio(w);
  const bool dos = w.dos_capas();
  const SumiderosCapa s1 = sumideros_capa(m, e, j);
  const SumiderosCapa s2 = dos ? sumideros_capa(m, h, j) : SumiderosCapa{};
  // Over one part: the oxygen's step without the limited sinks from x, and
  // what a unit of sink held in each layer over the sub-step takes from each
  // layer's end of the part (F).
  const double n = PARTES;
  double F11, F12 = 0.0, F21 = 0.0, F22 = 1.0;
  if (!dos) {
    F11 = paso_una_capa(s1.A / n, 1.0 / n, 0.0).bruto1;
  } else {
    const PasoEmbalse u1 = paso_dos_capas(s1.A / n, s1.B / n, 1.0 / n, s2.A / n, s2.B / n, 0.0, 0.0, 0.0);
    const PasoEmbalse u2 = paso_dos_capas(s1.A / n, s1.B / n, 0.0, s2.A / n, s2.B / n, 1.0 / n, 0.0, 0.0);
    F11 = u1.bruto1, F21 = u1.bruto2, F12 = u2.bruto1, F22 = u2.bruto2;
  }
  double x1 = std::max(s1.O2, 0.0), x2 = std::max(s2.O2, 0.0);
  double f1L = 0.0, f1N = 0.0, f2L = 0.0, f2N = 0.0;  // the limitations summed over the parts
  for (int parte = 1; parte <= PARTES; ++parte) {
    double a1, a2 = 0.0;
    if (!dos) {
      a1 = paso_una_capa(s1.A / n, s1.D / n, x1).bruto1;
    } else {
      const PasoEmbalse p = paso_dos_capas(s1.A / n, s1.B / n, s1.D / n, s2.A / n, s2.B / n, s2.D / n, x1, x2);
      a1 = p.bruto1, a2 = p.bruto2;
    }
    // Layer by layer, each with the other's sink as it last stood, until
    // neither end moves.
    double y1 = std::max(a1, 0.0), y2 = std::max(a2, 0.0), t2 = 0.0;
    for (int it = 0; it < (dos ? 100 : 1); ++it) {
      const double z1 = oxigeno_final(s1, F11, a1 - F12 * t2, x1);
      if (!dos) {
        y1 = z1;
        break;
      }
      const double z2 = oxigeno_final(s2, F22, a2 - F21 * s1.tomado(z1), x2);
      t2 = s2.tomado(z2);
      const bool quieto =
          std::fabs(z1 - y1) <= 1.0e-13 * (z1 + s1.KL + s1.KN) && std::fabs(z2 - y2) <= 1.0e-13 * (z2 + s2.KL + s2.KN);
      y1 = z1, y2 = z2;
      if (quieto && it > 0) break;
    }
    x1 = y1, x2 = y2;
    f1L += x1 / (s1.KL + x1), f1N += x1 / (s1.KN + x1);
    if (dos) f2L += x2 / (s2.KL + x2), f2N += x2 / (s2.KN + x2);
  }
  auto capa = [&](const CapaEmbalse& c, double fL, double fN) {
    if (limitacion_activa(KS(1))) c.KD(j) = fL / n * c.KDSINLIM(j);
    if (cal.OPCIONNITROGENO == 1 && limitacion_activa(KS(2))) c.KNAI(j) = fN / n * c.KNAISINLIM(j);
  };
  capa(e, f1L, f1N);
  if (dos) capa(h, f2L, f2N);
  w.OXIGENOFINAL1 = x1;
  w.OXIGENOFINAL2 = x2;
}

}  // namespace tornal
