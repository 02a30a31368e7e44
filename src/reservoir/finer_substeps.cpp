// Finer sub-steps for a reservoir month whose integration diverges: the
// four-stage step is stable on a decay only while the decay over one
// sub-step stays below 4 (the heat exchange, settling and outflow of a
// reservoir drawn down to a few centimetres grow as 1/depth), and the heat
// balance, whose flux is taken at the start of each sub-step, only while
// the flux takes back less than twice the error. Such a month is integrated
// again from its start with 2, 4, 8, ... times its sub-steps, until they
// are short enough for the step (or MAXSUBPASOSEMBALSE is reached).
#include <cmath>
#include <memory>

#include "common/latin1.h"
#include "physics/physics.h"
#include "reservoir/reservoir_steps.h"

namespace tornal {
namespace {

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
TrabajoEmbalse& integrar_de_nuevo(Modelo& m, TrabajoEmbalse& w, int factor) {
  if (!w.fino) w.fino = std::make_unique<TrabajoEmbalse>();
  TrabajoEmbalse& f = *w.fino;
  empezar_mes(m, f, w.I, w.K, w.M, w.Y, w.NSUB * factor);
  f.V0 = w.V0, f.VFIN = w.VFIN, f.ZT = w.ZT, f.V1O = w.V1O, f.V2O = w.V2O;
  f.UNACAPA = w.UNACAPA;
  for (int c = 1; c <= m.cal.NUMCONTAMINANTES; ++c) {
    f.CO1(c) = w.CO1(c);
    f.CO2(c) = w.CO2(c);
  }
  integrar_mes(m, f);
  return f;
}

// The first month of the reservoir that needed finer sub-steps.
void aviso_subpasos_finos(Modelo& m, const TrabajoEmbalse& a) {
  m.log.write({"El cálculo del embalse diverge con el diferencial de cálculo dado"});
  m.log.write({"Embalse:", m.red.NOMEMB(a.K)});
  m.log.write({"Año, Mes:", a.Y, a.M});
  m.log.write({"Se integra el mes con subpasos más finos, número de subpasos:", a.NSUB});
}

// A month whose integration stands with a divergence (the guard's value, a
// temperature out of range, a value held at the floor, in some sub-step).
void aviso_divergencia(Modelo& m, const TrabajoEmbalse& a) {
  m.log.write({"El cálculo del embalse diverge y no se resuelve con subpasos más finos"});
  m.log.write({"Embalse:", m.red.NOMEMB(a.K)});
  m.log.write({"Año, Mes:", a.Y, a.M});
  m.log.write({"Contaminante: ", trimmed(m.cal.NOMCONT(a.contaminante_diverge))});
  m.log.write({"Número de subpasos:", a.NSUB});
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
// sub-steps mend neither.
TrabajoEmbalse& subpasos_finos(Modelo& m, TrabajoEmbalse& w) {
  const int maximo = MAXSUBPASOSEMBALSE / w.NSUB;  // the most sub-steps to a given one
  TrabajoEmbalse* a = &w;
  int factor = 1;
  while (a->diverge && 2 * factor <= maximo && division_subpasos(m, *a, maximo / factor) > 1) {
    factor = 2 * factor;
    a = &integrar_de_nuevo(m, w, factor);
  }
  w.factor = factor;
  if (factor > 1 && ++m.sim.NUMMESESFINOSEMB(w.K) == 1) aviso_subpasos_finos(m, *a);
  if (a->diverge) {
    m.sim.ERROREMB(w.K) = 1;
    aviso_divergencia(m, *a);
  }
  return *a;
}

}  // namespace tornal
