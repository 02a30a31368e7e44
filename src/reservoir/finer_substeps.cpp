// Sub-steps that a reservoir month's equations can bear. The four-stage
// step is stable on a decay only while the decay over one sub-step stays
// below 4 (the heat exchange, settling and outflow of a reservoir drawn down
// to a few centimetres grow as 1/depth), and the heat balance, whose flux is
// taken at the start of each sub-step, follows the water only while the
// flux takes back less of a degree than the degree itself: beyond that it
// overshoots the equilibrium temperature, and beyond twice that the
// overshoot grows. A month whose given sub-steps the step cannot bear, or
// whose integration diverges, is integrated again from its start with 2, 4,
// 8, ... times its sub-steps until they are short enough (or
// MAXSUBPASOSEMBALSE is reached). A month that diverges even with the
// finest sub-steps tried is one that the sub-steps cannot resolve.
#include <cmath>
#include <memory>

#include "common/latin1.h"
#include "physics/physics.h"
#include "reservoir/reservoir_steps.h"

namespace tornal {
namespace {

// The error after one sub-step per unit error before it, for a system whose
// fastest decay over the sub-step is z (z <= 0) and whose surface flux,
// taken at the start of the sub-step, takes back L of every degree:
// 1 + (z - L) fi(z), where 1 + z fi(z) is the step's own polynomial
// 1 + z + 5 z^2 / 12 + z^3 / 8 + z^4 / 48 and fi(z) the weight of a source
// held over the sub-step. Below 0 the error changes sign at every sub-step.
double amplificacion(double z, double L) {
  const double fi = 1.0 + z * (5.0 / 12.0 + z * (1.0 / 8.0 + z / 48.0));
  return 1.0 + (z - L) * fi;
}

// Whether the step bears a sub-step: its error does not grow and, where the
// surface flux returns heat (L > 0), it does not change sign either: such a
// sub-step overshoots the temperature at which the flux balances the rest,
// and the flux of the next one, taken at the overshot temperature, sends it
// back beyond it.
bool soportado(double z, double L) {
  const double g = amplificacion(z, L);
  return g <= 1.0 && g >= (L > 0.0 ? 0.0 : -1.0);
}

// The fastest decay of a one-layer coefficient A1, or of the two layers'
// coefficients in a two-layer month: the least eigenvalue (its real part);
// 0 for a growth.
double decaimiento(bool dos_capas, double A1, double B1, double A2, double B2) {
  double z = A1;
  if (dos_capas) {
    const double medio = 0.5 * (A1 + A2);
    const double semi = 0.5 * (A1 - A2);
    const double d = semi * semi + B1 * B2;
    z = d > 0.0 ? medio - std::sqrt(d) : medio;
  }
  return std::fmin(z, 0.0);
}

// The fastest decay of constituent k over sub-step j.
double decaimiento(const TrabajoEmbalse& w, int j, int k) {
  return decaimiento(w.dos_capas(), w.AC1I(j, k), w.BC1I(j, k), w.AC2I(j, k), w.BC2I(j, k));
}

// A decay of less than this over a sub-step, with no heat return, the step
// bears as it stands: its polynomial lies between -0.04 and 1 there.
constexpr double DECAIMIENTOSOPORTADO = -3.9;

// Whether the fastest decay of those coefficients is less than that, told
// without the square root of the eigenvalue: medio - sqrt(d) >= -3.9.
bool sin_decaimiento_rapido(bool dos_capas, double A1, double B1, double A2, double B2) {
  if (!dos_capas) return A1 >= DECAIMIENTOSOPORTADO;
  const double medio = 0.5 * (A1 + A2);
  const double semi = 0.5 * (A1 - A2);
  const double d = semi * semi + B1 * B2;
  const double margen = medio - DECAIMIENTOSOPORTADO;
  return margen >= 0.0 && (d <= 0.0 || d <= margen * margen);
}

// What the net surface flux of the heat balance takes back of every degree
// of the epilimnion over sub-step j: its slope -dH/dT at the sub-step's
// start temperature, over the layer's heat capacity.
double retorno_calor(const Modelo& m, const TrabajoEmbalse& w, int j) {
  const double T = w.P1(j, m.cal.POS.TEMPERATURA);
  if (!temperatura_fisica(T)) return 0.0;  // a divergence of its own
  const double VIENTO = m.cal.VIENTOEMB(w.K, m.sim.MESACTUAL);
  const double L = intercambio_calor(m.cal, T, VIENTO) * calentamiento_capa1(m, w, j);
  return L > 0.0 ? L : 0.0;  // a flux that gives back more heat is a growth, no error of the step
}

// The least of 1, 2, 4, ... up to `limite` by which the sub-step j of
// constituent k would have to be cut for the step to bear it (its decay and
// heat return shrink in proportion); where no such cut overshoots no more,
// the least by which its error stops growing; 0 when none would.
int division_estable(double z, double L, int limite) {
  int sin_crecer = 0;
  for (int f = 1; f <= limite; f = 2 * f) {
    if (soportado(z / f, L / f)) return f;
    if (sin_crecer == 0 && std::fabs(amplificacion(z / f, L / f)) <= 1.0) sin_crecer = f;
  }
  return sin_crecer;
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
// the constituent that diverged with the finest sub-steps tried, and those
// sub-steps.
void aviso_mezcla(Modelo& m, const TrabajoEmbalse& a, int contaminante) {
  m.log.write({"El cálculo del embalse diverge y no se resuelve con subpasos más finos"});
  m.log.write({"Embalse:", m.red.NOMEMB(a.K)});
  m.log.write({"Año, Mes:", a.Y, a.M});
  m.log.write({"Contaminante: ", trimmed(m.cal.NOMCONT(contaminante))});
  m.log.write({"Número de subpasos:", a.NSUB});
  m.log.write({"Se asume la mezcla del agua embalsada y de la que entra"});
  m.log.flush();
}

// Whether constituent k has a heat return: only the temperature of the heat
// balance.
bool retorno(const Modelo& m, int k) {
  const Calidad& c = m.cal;
  return c.OPCIONTEMPERATURA == 1 && c.MODELOTEMPERATURA == 2 && k == c.POS.TEMPERATURA;
}

}  // namespace

double amplificacion_subpaso(const Modelo& m, const TrabajoEmbalse& w, int j, int k) {
  return std::fabs(amplificacion(decaimiento(w, j, k), retorno(m, k) ? retorno_calor(m, w, j) : 0.0));
}

int division_subpasos(const Modelo& m, const TrabajoEmbalse& w, int limite) {
  // After a divergence the rates follow the diverged values (a temperature of
  // 1e5 in theta^(T - 20)): only the coefficients of a sound state count,
  // those of every constituent before the earliest divergence and that of
  // its constituent there.
  const int ultimo = w.diverge ? w.subpaso_diverge : w.NSUB;
  int division = 1;
  // Constituent by constituent along the sub-steps, through views of the
  // coefficients; a sub-step that the step bears as it stands costs no more.
  for (int k = 1; k <= m.cal.NUMCONTAMINANTES; ++k) {
    const View<const double> A1 = w.AC1I.run(ultimo, k), B1 = w.BC1I.run(ultimo, k);
    const View<const double> A2 = w.AC2I.run(ultimo, k), B2 = w.BC2I.run(ultimo, k);
    const bool calor = retorno(m, k);
    for (int j = 1; j <= ultimo; ++j) {
      if (j == w.subpaso_diverge && k != w.contaminante_diverge) continue;
      const double L = calor ? retorno_calor(m, w, j) : 0.0;
      if (L == 0.0 && sin_decaimiento_rapido(w.dos_capas(), A1(j), B1(j), A2(j), B2(j))) continue;
      const int f = division_estable(decaimiento(w.dos_capas(), A1(j), B1(j), A2(j), B2(j)), L, limite);
      if (f == 0) return 0;
      if (f > division) division = f;
    }
  }
  return division;
}

// Finer sub-steps while the step cannot bear the month's sub-steps (those
// up to its earliest divergence, when it diverges) and sub-steps that it
// bears lie within the bound: a month whose sub-steps the step bears and
// that diverges still is diverging by its own rates and inflows, and one
// whose rates no sub-step within the bound could follow would only diverge
// again, at great cost; finer sub-steps mend neither. A month whose given
// sub-steps the step bears keeps its integration. Each count is tried once,
// so that a month costs less than twice the finest, at most 2
// MAXSUBPASOSEMBALSE sub-steps.
TrabajoEmbalse& subpasos_finos(Modelo& m, TrabajoEmbalse& w, const Array1<double>& CE) {
  const int maximo = MAXSUBPASOSEMBALSE / w.NSUB;  // the most sub-steps to a given one
  TrabajoEmbalse* a = &w;
  int factor = 1;
  while (2 * factor <= maximo && division_subpasos(m, *a, maximo / factor) > 1) {
    factor = 2 * factor;
    a = &integrar_de_nuevo(m, w, CE, factor);
  }
  w.factor = factor;
  if (factor > 1 && ++m.sim.NUMMESESFINOSEMB(w.K) == 1) aviso_subpasos_finos(m, *a);
  return *a;
}

bool integracion_aceptada(Modelo& m, const TrabajoEmbalse& a) {
  if (!a.diverge) return true;
  if (++m.sim.MESESMEZCLAEMB(a.K) == 1) aviso_mezcla(m, a, a.contaminante_diverge);
  return false;
}

}  // namespace tornal
