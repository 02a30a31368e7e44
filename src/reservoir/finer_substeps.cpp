// Finer sub-steps for a reservoir month whose integration diverges: the
// four-stage step is stable on a decay only while the decay over one
// sub-step stays below 4 (the heat exchange, settling and outflow of a
// reservoir drawn down to a few centimetres grow as 1/depth), and the heat
// balance, whose flux is taken at the start of each sub-step, only while
// the flux takes back less than twice the error. Such a month is integrated
// again from its start with 2, 4, 8, ... times its sub-steps, until they
// are short enough for the step (or MAXSUBPASOSEMBALSE is reached). The
// integration that stands is then judged: a month that diverges even so,
// or that ends beyond what the water can hold, is one that the sub-steps
// cannot resolve.
#include <cmath>
#include <limits>
#include <memory>
#include <utility>

#include "common/latin1.h"
#include "physics/physics.h"
#include "reservoir/reservoir_steps.h"

namespace tornal {
namespace {

// How far (degC) the temperature of a month that stands may lie beyond the
// range that its own equations allow: the scheme's error over the month, a
// few thousandths of a degree in the months of the example and the
// benchmark basins; a month that the step cannot follow lies tens of
// degrees beyond it, or at the floor.
constexpr double MARGENTEMPERATURA = 0.5;

// The size of the error after one sub-step per unit error before it, for a
// system whose fastest decay over the sub-step is z (z <= 0) and whose
// surface flux, taken at the start of the sub-step, takes back L of every
// degree: 1 + (z - L) fi(z), where 1 + z fi(z) is the step's own polynomial
// 1 + z + 5 z^2 / 12 + z^3 / 8 + z^4 / 48 and fi(z) the weight of a source
// held over the sub-step.
double amplificacion(double z, double L) {
  const double fi = 1.0 + z * (5.0 / 12.0 + z * (1.0 / 8.0 + z / 48.0));
  return std::fabs(1.0 + (z - L) * fi);
}

// The fastest decay of constituent k over sub-step j: its own coefficient in
// a one-layer month, the least eigenvalue (its real part) of the two
// layers' coefficients in a two-layer month; 0 for a growth.
double decaimiento(const TrabajoEmbalse& w, int j, int k) {
  double z = w.AC1I(j, k);
  if (w.dos_capas()) {
    const double medio = 0.5 * (w.AC1I(j, k) + w.AC2I(j, k));
    const double semi = 0.5 * (w.AC1I(j, k) - w.AC2I(j, k));
    const double d = semi * semi + w.BC1I(j, k) * w.BC2I(j, k);
    z = d > 0.0 ? medio - std::sqrt(d) : medio;
  }
  return std::fmin(z, 0.0);
}

// What the net surface flux of the heat balance takes back of every degree
// of the epilimnion over sub-step j: its fall per degree at the sub-step's
// start temperature (a central difference), over the layer's heat capacity.
double retorno_calor(const Modelo& m, const TrabajoEmbalse& w, int j) {
  const double T = w.P1(j, m.cal.POS.TEMPERATURA);
  if (!temperatura_fisica(T)) return 0.0;  // a divergence of its own
  const double L = (flujo_superficie(m, w, T - 0.5) - flujo_superficie(m, w, T + 0.5)) * calentamiento_capa1(m, w, j);
  return L > 0.0 ? L : 0.0;  // a flux that gives back more heat is a growth, no error of the step
}

// The least of 1, 2, 4, ... up to `limite` by which the sub-step j of
// constituent k would have to be cut for the step to bear it (its decay and
// heat return shrink in proportion), or 0 when none would.
int division_estable(double z, double L, int limite) {
  for (int f = 1; f <= limite; f = 2 * f)
    if (amplificacion(z / f, L / f) <= 1.0) return f;
  return 0;
}

// The month again from its start in w.fino with `factor` times the given
// sub-steps. The start of the month (volumes, layers, start concentrations)
// is taken from the given integration, which does not change it; every
// array that an integration changes (concentrations of the sub-steps,
// coefficients, rates, mass-balance terms, flags) starts from zero.
TrabajoEmbalse& integrar_de_nuevo(Modelo& m, TrabajoEmbalse& w, const Array1<double>& CE, int factor) {
  if (!w.fino) w.fino = std::make_unique<TrabajoEmbalse>();
  TrabajoEmbalse& f = *w.fino;
  empezar_mes(m, f, w.I, w.K, w.M, w.Y, w.NSUB * factor);
  f.hasta_divergencia = true;
  f.V0 = w.V0, f.VFIN = w.VFIN, f.ZT = w.ZT, f.V1O = w.V1O, f.V2O = w.V2O;
  f.UNACAPA = w.UNACAPA;
  for (int c = 1; c <= m.cal.NUMCONTAMINANTES; ++c) {
    f.CO1(c) = w.CO1(c);
    f.CO2(c) = w.CO2(c);
  }
  integrar_mes(m, f, CE);
  return f;
}

// The first month of the reservoir that needed finer sub-steps.
void aviso_subpasos_finos(Modelo& m, const TrabajoEmbalse& a) {
  m.log.write({"El cálculo del embalse diverge con el diferencial de cálculo dado"});
  m.log.write({"Embalse:", m.red.NOMEMB(a.K)});
  m.log.write({"Año, Mes:", a.Y, a.M});
  m.log.write({"Se integra el mes con subpasos más finos, número de subpasos:", a.NSUB});
  m.log.flush();  // the work of such months, for whoever looks at a run that does not end
}

// The first month of the reservoir that its sub-steps could not resolve:
// why (a divergence with the finest sub-steps tried, or a value beyond what
// the water can hold), the constituent, the finest sub-steps tried.
void aviso_mezcla(Modelo& m, const TrabajoEmbalse& a, int contaminante) {
  m.log.write({a.diverge ? "El cálculo del embalse diverge y no se resuelve con subpasos más finos"
                         : "El cálculo del embalse da un resultado fuera del rango físico"});
  m.log.write({"Embalse:", m.red.NOMEMB(a.K)});
  m.log.write({"Año, Mes:", a.Y, a.M});
  m.log.write({"Contaminante: ", trimmed(m.cal.NOMCONT(contaminante))});
  m.log.write({"Número de subpasos:", a.NSUB});
  m.log.write({"Se asume la mezcla del agua embalsada y de la que entra"});
  m.log.flush();
}

// The equilibrium temperature of the reservoir's month: TEEMB, or the
// temperature at which the surface flux of the heat balance vanishes (NaN
// where it cannot be told).
double temperatura_equilibrio_mes(const Modelo& m, int K) {
  const Calidad& c = m.cal;
  const int t = m.sim.MESACTUAL;
  if (c.MODELOTEMPERATURA == 1) return c.TEEMB(K, t);
  if (c.MODELOTEMPERATURA == 2)
    return temperatura_flujo_nulo(c, c.HSWEMB(K, t), c.TAIREMB(K, t), c.VIENTOEMB(K, t), c.HREMB(K, t), c.NUBEMB(K, t));
  return std::nan("");
}

// A range of temperatures; a value that is not a number widens none.
struct Rango {
  double min = std::numeric_limits<double>::infinity(), max = -std::numeric_limits<double>::infinity();
  void incluir(double x) { min = std::fmin(min, x), max = std::fmax(max, x); }
  bool contiene(double x) const { return x >= min - MARGENTEMPERATURA && x <= max + MARGENTEMPERATURA; }
};

// The temperatures that the month's own equations allow the epilimnion (the
// whole water in a one-layer month), its equilibrium temperature aside: the
// range spanned by the layers at the start of the month, the inflow and the
// steady state that the terms of each sub-step tend to. That steady state
// holds what the water balance does (the outflow, the inflow at its
// temperature, the water that evaporates and leaves its heat), the exchange
// with the equilibrium temperature in the equilibrium model (the heat
// balance's flux, which follows the water's own temperature, stands apart:
// it tends to the equilibrium temperature) and the water that the
// epilimnion takes from the hypolimnion, at either end of the range of the
// hypolimnion over the month. A layer that follows its equations stays
// within that range, a step of the scheme that follows them within its
// error.
Rango rango_epilimnio(const Modelo& m, const TrabajoEmbalse& a, const Array1<double>& CE) {
  const int T = m.cal.POS.TEMPERATURA;
  const bool balance = m.cal.MODELOTEMPERATURA == 2;
  Rango r, hip;
  r.incluir(a.CO1(T));
  r.incluir(CE(T));
  if (a.dos_capas()) {
    r.incluir(a.CO2(T));
    hip.incluir(a.CO2(T));
    for (int j = 1; j <= a.NSUB; ++j) hip.incluir(a.C2I(j, T));
  }
  for (int j = 1; j <= a.NSUB; ++j) {
    const double A = a.AC1I(j, T);
    if (!(A < 0.0)) continue;  // no steady state: the water balance concentrates
    double D = a.DC1I(j, T);
    if (balance)  // the terms of the water alone
      D = (a.QE1 * a.C1ENTRI(T) + (a.dos_capas() ? 0.0 : a.AEPILI(j) * a.FLUJSEDEMBA(T))) / a.V1I(j);
    if (a.dos_capas()) {
      r.incluir(-(D + a.BC1I(j, T) * hip.min) / A);
      r.incluir(-(D + a.BC1I(j, T) * hip.max) / A);
    } else {
      r.incluir(-D / A);
    }
  }
  return r;
}

// The end of the month and the mean of the sub-steps of constituent c in
// one layer (the outflow is a flow-weighted mean of the layers' means).
std::pair<double, double> fin_y_media(const TrabajoEmbalse& a, const Array2<double>& C, int c) {
  double suma = 0.0;
  for (int j = 1; j <= a.NSUB; ++j) suma = suma + C(j, c);
  return {C(a.NSUB, c), suma / a.NSUB};
}

// The first constituent (in the order of the constituents) of which the
// integration a ends the month, or sends downstream, a value that the water
// cannot hold: in either layer, its value at the end of the month or its
// mean over the sub-steps is not a finite number or is negative, or the
// epilimnion's temperature lies outside the range that the month's own
// equations and its equilibrium temperature allow; 0 when there is none.
// Within the month a sub-step may overshoot that range, as a stable step
// does on its way to a steady state. The hypolimnion, warmed from above by
// a flux of its own, has no equilibrium; the integrators hold its
// temperature within the range of water temperatures.
int contaminante_fuera_de_rango(const Modelo& m, const TrabajoEmbalse& a, const Array1<double>& CE) {
  const int T = m.cal.POS.TEMPERATURA;
  for (int c = 1; c <= m.cal.NUMCONTAMINANTES; ++c) {
    const auto [fin1, media1] = fin_y_media(a, a.C1I, c);
    bool fuera = false;
    for (double x : {fin1, media1}) fuera = fuera || !std::isfinite(x) || x < 0.0;
    if (a.dos_capas()) {
      const auto [fin2, media2] = fin_y_media(a, a.C2I, c);
      for (double x : {fin2, media2}) fuera = fuera || !std::isfinite(x) || x < 0.0;
    }
    if (!fuera && c == T) {
      // The equilibrium temperature is sought only for a month that lies
      // beyond the rest of its range.
      Rango r = rango_epilimnio(m, a, CE);
      if (!r.contiene(fin1) || !r.contiene(media1)) r.incluir(temperatura_equilibrio_mes(m, a.K));
      fuera = !r.contiene(fin1) || !r.contiene(media1);
    }
    if (fuera) return c;
  }
  return 0;
}

// The heat return of sub-step j for constituent k: only the temperature of
// the heat balance has one.
double retorno(const Modelo& m, const TrabajoEmbalse& w, int j, int k) {
  const Calidad& c = m.cal;
  const bool balance = c.OPCIONTEMPERATURA == 1 && c.MODELOTEMPERATURA == 2 && k == c.POS.TEMPERATURA;
  return balance ? retorno_calor(m, w, j) : 0.0;
}

}  // namespace

double amplificacion_subpaso(const Modelo& m, const TrabajoEmbalse& w, int j, int k) {
  return amplificacion(decaimiento(w, j, k), retorno(m, w, j, k));
}

int division_subpasos(const Modelo& m, const TrabajoEmbalse& w, int limite) {
  // After a divergence the rates follow the diverged values (a temperature of
  // 1e5 in theta^(T - 20)): only the coefficients of a sound state count,
  // those of every constituent before the earliest divergence and that of
  // its constituent there.
  const int ultimo = w.diverge ? w.subpaso_diverge : w.NSUB;
  int division = 1;
  for (int j = 1; j <= ultimo; ++j) {
    for (int k = 1; k <= m.cal.NUMCONTAMINANTES; ++k) {
      if (j == w.subpaso_diverge && k != w.contaminante_diverge) continue;
      const int f = division_estable(decaimiento(w, j, k), retorno(m, w, j, k), limite);
      if (f == 0) return 0;
      if (f > division) division = f;
    }
  }
  return division;
}

// Finer sub-steps while the month diverges, its sub-steps are too long for
// the step and sub-steps that the step bears lie within the bound: a month
// whose sub-steps the step bears and that diverges still is diverging by
// its own rates and inflows, and one whose rates no sub-step within the
// bound could follow would only diverge again, at great cost; finer
// sub-steps mend neither. Each count is tried once, so that a month costs
// less than twice the finest, at most 2 MAXSUBPASOSEMBALSE sub-steps.
TrabajoEmbalse& subpasos_finos(Modelo& m, TrabajoEmbalse& w, const Array1<double>& CE) {
  const int maximo = MAXSUBPASOSEMBALSE / w.NSUB;  // the most sub-steps to a given one
  TrabajoEmbalse* a = &w;
  int factor = 1;
  while (a->diverge && 2 * factor <= maximo && division_subpasos(m, *a, maximo / factor) > 1) {
    factor = 2 * factor;
    a = &integrar_de_nuevo(m, w, CE, factor);
  }
  w.factor = factor;
  if (factor > 1 && ++m.sim.NUMMESESFINOSEMB(w.K) == 1) aviso_subpasos_finos(m, *a);
  return *a;
}

bool integracion_aceptada(Modelo& m, const TrabajoEmbalse& a, const Array1<double>& CE) {
  const int c = a.diverge ? a.contaminante_diverge : contaminante_fuera_de_rango(m, a, CE);
  if (c == 0) return true;
  if (++m.sim.MESESMEZCLAEMB(a.K) == 1) aviso_mezcla(m, a, c);
  return false;
}

}  // namespace tornal
