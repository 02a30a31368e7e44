// Sub-steps that a reservoir month's equations can bear. Over one sub-step
// the four-stage step carries an error of the layers' concentrations by a
// 2 x 2 matrix (a number in a one-layer month) that follows from the
// month's coefficients: the decays and exchange of the layers and, in the
// surface heat balance, the heat that the flux, taken at the start of the
// sub-step, gives back per degree of the epilimnion. The step bears a
// sub-step when that matrix grows no error beyond what the equations
// themselves grow, when every decay lies before the turning point of the
// step's polynomial (beyond it a faster decay would leave more behind), and,
// where the flux returns heat, when the error keeps its sign (otherwise the
// sub-step overshoots the temperature at which the flux balances the rest).
// A month whose given sub-steps the step cannot bear, or whose integration
// diverges, is integrated again from its start with 2, 4, 8, ... times its
// sub-steps until it bears them and no longer diverges (or
// MAXSUBPASOSEMBALSE is reached). A month that diverges even with the
// finest sub-steps tried is one that the sub-steps cannot resolve.
#include <algorithm>
#include <cmath>
#include <memory>

#include "common/latin1.h"
#include "physics/physics.h"
#include "reservoir/reservoir_steps.h"

namespace tornal {
namespace {

// The step's polynomial is R(z) = 1 + z + 5 z^2 / 12 + z^3 / 8 + z^4 / 48 =
// 1 + z fi(z), with fi(z) the weight that the step gives a source held over
// the sub-step: for dC/dt = M C + D the step gives R(M) C + fi(M) D.
double peso(double z) { return 1.0 + z * (5.0 / 12.0 + z * (1.0 / 8.0 + z / 48.0)); }

// The turning point of the step's polynomial, the root of R'(z) = 1 +
// 5 z / 6 + 3 z^2 / 8 + z^3 / 12 (R = -0.0369 there, about -2.41677):
// R falls from 1 at z = 0 to it and rises again beyond it, to 1 at z = -4.
constexpr double punto_vuelta() {
  double z = -2.4;
  for (int i = 0; i < 20; ++i) {
    const double d1 = 1.0 + z * (5.0 / 6.0 + z * (3.0 / 8.0 + z / 12.0));
    const double d2 = 5.0 / 6.0 + z * (3.0 / 4.0 + z / 4.0);
    z = z - d1 / d2;
  }
  return z;
}
constexpr double VUELTA = punto_vuelta();

// A 2 x 2 matrix [a b; c d] and what the judge needs of it.
struct Matriz {
  double a, b, c, d;
};
Matriz operator*(const Matriz& x, const Matriz& y) {
  return {x.a * y.a + x.b * y.c, x.a * y.b + x.b * y.d, x.c * y.a + x.d * y.c, x.c * y.b + x.d * y.d};
}
Matriz mas_identidad(const Matriz& x, double s) { return {x.a + s, x.b, x.c, x.d + s}; }

// Its eigenvalues: the least and largest real parts and the largest size.
struct Espectro {
  double menor, mayor, radio;
};
Espectro espectro(const Matriz& x) {
  const double medio = 0.5 * (x.a + x.d);
  const double semi = 0.5 * (x.a - x.d);
  const double disc = semi * semi + x.b * x.c;
  if (disc >= 0.0) {
    const double r = std::sqrt(disc);
    return {medio - r, medio + r, std::max(std::fabs(medio - r), std::fabs(medio + r))};
  }
  const double modulo = std::sqrt(std::max(0.0, x.a * x.d - x.b * x.c));  // a complex pair
  return {medio, medio, modulo};
}

// One sub-step of a constituent: the coefficients of the layers (dC1/dt =
// A1 C1 + B1 C2 + ..., dC2/dt = B2 C1 + A2 C2 + ..., the second layer
// absent in a one-layer month) and what the surface flux takes back of
// every degree of the epilimnion from the epilimnion (L1) and from the
// hypolimnion, through its share of the flux (L2), both over the sub-step.
struct Subpaso {
  bool dos_capas;
  double A1, B1, A2, B2, L1, L2;
};

// What the step does to an error over the sub-step cut by f.
struct Juicio {
  bool soportado;  // the step bears it
  bool crece;      // its error grows beyond the equations' own growth
};

// The error e of the layers over one sub-step. The flux held over it adds
// -(L1, L2) e1 to the sources, so the step carries e by
//   G = R(M) - fi(M) L e1' = I + fi(M) (M - L e1'),
// M the coefficients; the equations carry it by exp(M - L e1'), whose
// largest eigenvalue's real part is s. The sub-step is borne when no
// eigenvalue of G is larger in size than max(1, e^s) (the step's own growth
// of an error, where the equations have none of that size), when every
// eigenvalue of M lies at or above the turning point, and, with L, when
// every eigenvalue of G has a real part of 0 or more (an error that changes
// sign at every sub-step overshoots the flux's balance; the eigenvalues of
// R(M) near the turning point, down to -0.037, only concern a decay).
Juicio juzgar(const Subpaso& p, double f) {
  const double A1 = p.A1 / f, L1 = p.L1 / f;
  if (!p.dos_capas) {
    const double g = 1.0 + (A1 - L1) * peso(A1);
    const bool crece = std::fabs(g) > std::max(1.0, std::exp(A1 - L1)) * (1.0 + 1.0e-12);
    return {!crece && A1 >= VUELTA && (L1 <= 0.0 || g >= 0.0), crece};
  }
  const Matriz M{A1, p.B1 / f, p.B2 / f, p.A2 / f};
  const Matriz Mc{M.a - L1, M.b, M.c - p.L2 / f, M.d};
  const Matriz fi = mas_identidad(
      M * mas_identidad(M * mas_identidad(M * Matriz{1.0 / 48.0, 0, 0, 1.0 / 48.0}, 1.0 / 8.0), 5.0 / 12.0), 1.0);
  const Espectro G = espectro(mas_identidad(fi * Mc, 1.0));
  const bool crece = G.radio > std::max(1.0, std::exp(espectro(Mc).mayor)) * (1.0 + 1.0e-12);
  const bool calor = L1 > 0.0 || p.L2 > 0.0;
  return {!crece && espectro(M).menor >= VUELTA && (!calor || G.menor >= 0.0), crece};
}

// Whether the layers' coefficients, with no heat return, have no decay
// beyond the turning point, told without the square root of the
// eigenvalue: medio - sqrt(d) >= VUELTA. Such a sub-step the step bears as
// it stands: G = R(M) has the eigenvalues R of M's, between -0.037 and the
// step's own growth of a positive one. A complex pair is left to the whole
// judge.
bool sin_decaimiento_rapido(bool dos_capas, double A1, double B1, double A2, double B2) {
  if (!dos_capas) return A1 >= VUELTA;
  const double medio = 0.5 * (A1 + A2);
  const double semi = 0.5 * (A1 - A2);
  const double d = semi * semi + B1 * B2;
  const double margen = medio - VUELTA;
  return margen >= 0.0 && d >= 0.0 && d <= margen * margen;
}

// What the surface flux of the heat balance takes back of every degree of
// the epilimnion over sub-step j, from each layer: its slope -dH/dT times
// each layer's warming per unit flux. The slope grows with the temperature,
// so over the sub-step it is largest at the warmer of its start and, where
// the sub-step has been integrated (`al_fin`), its end.
struct Retorno {
  double capa1 = 0.0, capa2 = 0.0;
};
Retorno retorno_calor(const Modelo& m, const TrabajoEmbalse& w, int j, bool al_fin) {
  const int T1 = m.cal.POS.TEMPERATURA;
  double T = w.P1(j, T1);
  if (!temperatura_fisica(T)) return {};  // a divergence of its own
  if (al_fin && temperatura_fisica(w.C1I(j, T1))) T = std::max(T, w.C1I(j, T1));
  const double VIENTO = m.cal.VIENTOEMB(w.K, m.sim.MESACTUAL);
  const double L = intercambio_calor(m.cal, T, VIENTO);
  if (!(L > 0.0)) return {};  // a flux that gives back more heat is a growth, no error of the step
  const Calentamiento c = calentamiento_capas(m, w, j);
  return {L * c.capa1, L * c.capa2};
}

// Whether constituent k has a heat return: only the temperature of the heat
// balance.
bool retorno(const Modelo& m, int k) {
  const Calidad& c = m.cal;
  return c.OPCIONTEMPERATURA == 1 && c.MODELOTEMPERATURA == 2 && k == c.POS.TEMPERATURA;
}

// Sub-step j of constituent k as the judge takes it.
Subpaso subpaso(const Modelo& m, const TrabajoEmbalse& w, int j, int k, bool al_fin) {
  const Retorno L = retorno(m, k) ? retorno_calor(m, w, j, al_fin) : Retorno{};
  return {w.dos_capas(), w.AC1I(j, k), w.BC1I(j, k), w.AC2I(j, k), w.BC2I(j, k), L.capa1, L.capa2};
}

// The least of 1, 2, 4, ... up to `limite` by which a sub-step would have
// to be cut for the step to bear it (its coefficients and heat return
// shrink in proportion); where no such cut is borne, the least by which its
// error stops growing; 0 when none would.
int division_estable(const Subpaso& p, int limite) {
  int sin_crecer = 0;
  for (int f = 1; f <= limite; f = 2 * f) {
    const Juicio j = juzgar(p, f);
    if (j.soportado) return f;
    if (sin_crecer == 0 && !j.crece) sin_crecer = f;
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

// The first month of the reservoir that needed finer sub-steps, by its
// cause: the given sub-steps diverged, or the step could not bear them
// though they did not diverge; and the sub-steps that stood.
void aviso_subpasos_finos(Modelo& m, const TrabajoEmbalse& w, const TrabajoEmbalse& a) {
  m.log.write({w.diverge ? "El cálculo del embalse diverge con el diferencial de cálculo dado"
                         : "El cálculo del embalse no admite los subpasos dados"});
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

}  // namespace

bool subpaso_crece(const Modelo& m, const TrabajoEmbalse& w, int j, int k) {
  return juzgar(subpaso(m, w, j, k, false), 1.0).crece;
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
      // The end of the sub-step that diverged is no temperature to take the
      // flux's slope at.
      const Retorno L = calor ? retorno_calor(m, w, j, j != w.subpaso_diverge) : Retorno{};
      if (L.capa1 == 0.0 && L.capa2 == 0.0 && sin_decaimiento_rapido(w.dos_capas(), A1(j), B1(j), A2(j), B2(j)))
        continue;
      const int f = division_estable({w.dos_capas(), A1(j), B1(j), A2(j), B2(j), L.capa1, L.capa2}, limite);
      if (f == 0) return 0;
      if (f > division) division = f;
    }
  }
  return division;
}

// Finer sub-steps while the integration diverges or the step cannot bear
// its sub-steps (those up to its earliest divergence, when it diverges),
// each count judged on its own integration, up to the finest count within
// the bound. A month that diverges is refined whatever the judge says of
// its sub-steps, since a divergence is the surest sign that they are too
// long; where the judge bears them, it is refined again only while each
// finer count puts the divergence later in the month: one that comes no
// later with sub-steps half as long (an inflow or a start beyond what the
// integrators accept, a rate that is not a number) comes from the month's
// own sources and rates, which no count mends, and would cost every count
// up to the finest in every such month. A month whose given sub-steps the
// step bears and that does not diverge keeps its integration. Each count is
// tried once, and an attempt stops at its earliest divergence, so that a
// month costs less than twice the finest, at most 2 MAXSUBPASOSEMBALSE
// sub-steps.
TrabajoEmbalse& subpasos_finos(Modelo& m, TrabajoEmbalse& w, const Array1<double>& CE) {
  const int maximo = MAXSUBPASOSEMBALSE / w.NSUB;  // the most sub-steps to a given one
  TrabajoEmbalse* a = &w;
  int factor = 1;
  double antes = -1.0;  // where in the month the count before diverged (none yet)
  while (2 * factor <= maximo) {
    const bool soportados = division_subpasos(m, *a, maximo / factor) == 1;
    if (!a->diverge && soportados) break;
    if (a->diverge) {
      const double cuando = static_cast<double>(a->subpaso_diverge) / a->NSUB;
      if (soportados && cuando <= antes) break;
      antes = cuando;
    }
    factor = 2 * factor;
    a = &integrar_de_nuevo(m, w, CE, factor);
  }
  w.factor = factor;
  if (factor > 1 && ++m.sim.NUMMESESFINOSEMB(w.K) == 1) aviso_subpasos_finos(m, w, *a);
  return *a;
}

bool integracion_aceptada(Modelo& m, const TrabajoEmbalse& a) {
  if (!a.diverge) return true;
  if (++m.sim.MESESMEZCLAEMB(a.K) == 1) aviso_mezcla(m, a, a.contaminante_diverge);
  return false;
}

}  // namespace tornal
