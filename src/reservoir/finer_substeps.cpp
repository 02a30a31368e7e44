// Sub-steps that a reservoir month's equations can bear. Over one sub-step
// the four-stage step carries an error of the layers' concentrations by a
// 2 x 2 matrix (a number in a one-layer month) that follows from the
// month's coefficients: the decays and exchange of the layers and what a
// term held over the sub-step gives back per unit of the error: in the
// surface heat balance, the heat that the flux, taken at the start of the
// sub-step, gives back per degree of the epilimnion. (The oxygen sinks,
// limited by the oxygen, are weighed sub-step by sub-step as the kinetics
// run, oxigeno_implicito below, and taken at the sub-step's end where the
// step cannot bear them held at its start.) The step bears a
// sub-step when that matrix grows no error beyond what the equations
// themselves grow, when no decay lies beyond the root of the step's
// polynomial (beyond it the error of the old water changes sign at every
// sub-step), and, where a held term gives back, when the error keeps its
// sign (otherwise the sub-step overshoots the value at which that term
// balances the rest). A month whose given sub-steps the step cannot bear,
// or whose integration diverges, is integrated again from its start with
// 2, 4, 8, ... times its sub-steps until it bears them and no longer
// diverges (or MAXSUBPASOSEMBALSE is reached). A month that diverges where
// no count within the bound can follow it, or even with the finest
// sub-steps tried, is one that the sub-steps cannot resolve.
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

// The root of the step's polynomial: R(-2) = 0, and R < 0 from there to
// about -2.79 (its least, -0.037, at -2.417). A decay beyond -2 over a
// sub-step would turn the error of the old water to the other side of the
// value the water tends to, at every sub-step: a flush of 2.2 times the
// volume in one sub-step left 3000 at -78 where the month ends at 346.
constexpr double RAIZ = -2.0;

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
// absent in a one-layer month) and what a term held over the sub-step takes
// back of every unit of an error: of the epilimnion's, from the epilimnion
// (L1) and from the hypolimnion (L2: the surface flux's share that reaches
// it); of the hypolimnion's, from the hypolimnion (L3: its own oxygen
// sinks).
struct Subpaso {
  bool dos_capas;
  double A1, B1, A2, B2, L1, L2, L3;
};

// What the step does to an error over the sub-step cut by f.
struct Juicio {
  bool soportado;  // the step bears it
  bool crece;      // its error grows beyond the equations' own growth
};

// The error e of the layers over one sub-step. The held terms add -L e to
// the sources, L = [L1 0; L2 L3], so that the step carries e by
//   G = R(M) - fi(M) L = I + fi(M) (M - L),
// M the coefficients; the equations carry it by exp(M - L), whose largest
// eigenvalue's real part is s. The sub-step is borne when no eigenvalue of
// G is larger in size than max(1, e^s) (the step's own growth of an error,
// where the equations have none of that size), when every eigenvalue of M
// lies at or above the root of the step's polynomial (no error of the old
// water changes sign), and, with L, when every eigenvalue of G has a real
// part of 0 or more (an error that changes sign at every sub-step
// overshoots the value at which the held term balances the rest).
Juicio juzgar(const Subpaso& p, double f) {
  const double A1 = p.A1 / f, L1 = p.L1 / f;
  if (!p.dos_capas) {
    const double g = 1.0 + (A1 - L1) * peso(A1);
    const bool crece = std::fabs(g) > std::max(1.0, std::exp(A1 - L1)) * (1.0 + 1.0e-12);
    return {!crece && A1 >= RAIZ && (L1 <= 0.0 || g >= 0.0), crece};
  }
  const Matriz M{A1, p.B1 / f, p.B2 / f, p.A2 / f};
  const Matriz Mc{M.a - L1, M.b, M.c - p.L2 / f, M.d - p.L3 / f};
  const Matriz fi = mas_identidad(
      M * mas_identidad(M * mas_identidad(M * Matriz{1.0 / 48.0, 0, 0, 1.0 / 48.0}, 1.0 / 8.0), 5.0 / 12.0), 1.0);
  const Espectro G = espectro(mas_identidad(fi * Mc, 1.0));
  const bool crece = G.radio > std::max(1.0, std::exp(espectro(Mc).mayor)) * (1.0 + 1.0e-12);
  const bool retiene = L1 > 0.0 || p.L2 > 0.0 || p.L3 > 0.0;
  return {!crece && espectro(M).menor >= RAIZ && (!retiene || G.menor >= 0.0), crece};
}

// Whether the layers' coefficients, with no held term, have no decay
// beyond the root of the step's polynomial, told without the square root
// of the eigenvalue: medio - sqrt(d) >= RAIZ. Such a sub-step the step bears
// as it stands: G = R(M) has the eigenvalues R of M's, between 0 and the
// step's own growth of a positive one. A complex pair is left to the whole
// judge.
bool sin_decaimiento_rapido(bool dos_capas, double A1, double B1, double A2, double B2) {
  if (!dos_capas) return A1 >= RAIZ;
  const double medio = 0.5 * (A1 + A2);
  const double semi = 0.5 * (A1 - A2);
  const double d = semi * semi + B1 * B2;
  const double margen = medio - RAIZ;
  return margen >= 0.0 && d >= 0.0 && d <= margen * margen;
}

// What the term held over sub-step j takes back of every unit of an error
// of the epilimnion: from the epilimnion (capa1) and from the hypolimnion
// (capa2).
struct Retorno {
  double capa1 = 0.0, capa2 = 0.0;
};

// The surface flux of the heat balance: its slope -dH/dT times each layer's
// warming per unit flux. The slope grows with the temperature, so over the
// sub-step it is largest at the warmer of its start and, where the sub-step
// has been integrated (`al_fin`), its end.
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

// Whether constituent k has a term held over its sub-steps that gives back
// part of an error: the temperature of the heat balance. (The oxygen sinks
// are taken at the end of a sub-step where the step cannot bear them at its
// start, oxigeno_implicito, and give the judge nothing to weigh.)
bool con_retorno(const Modelo& m, int k) {
  const Calidad& c = m.cal;
  return c.OPCIONTEMPERATURA == 1 && c.MODELOTEMPERATURA == 2 && k == c.POS.TEMPERATURA;
}

Retorno retorno(const Modelo& m, const TrabajoEmbalse& w, int j, int k, bool al_fin) {
  if (!con_retorno(m, k)) return {};
  return retorno_calor(m, w, j, al_fin);
}

bool sin_retorno(const Retorno& L) { return L.capa1 == 0.0 && L.capa2 == 0.0; }

// Sub-step j of constituent k as the judge takes it.
Subpaso subpaso(const Modelo& m, const TrabajoEmbalse& w, int j, int k, bool al_fin) {
  const Retorno L = retorno(m, w, j, k, al_fin);
  return {w.dos_capas(), w.AC1I(j, k), w.BC1I(j, k), w.AC2I(j, k), w.BC2I(j, k), L.capa1, L.capa2, 0.0};
}

// The least of 1, 2, 4, ... up to `limite` by which a sub-step would have
// to be cut for the step to bear it (its coefficients and held terms
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

// The sub-steps of integration w that the judge reads, constituent by
// constituent: those up to its earliest divergence (after it the rates
// follow the diverged values, a temperature of 1e5 in theta^(T - 20)), and
// of the sub-step that diverged only its constituent.
int ultimo_sano(const TrabajoEmbalse& w) { return w.diverge ? w.subpaso_diverge : w.NSUB; }
bool sano(const TrabajoEmbalse& w, int j, int k) { return j != w.subpaso_diverge || k == w.contaminante_diverge; }

// The largest of 1, 2, 4, ... within `limite`: the cut of the finest count
// that the bound allows.
int corte_mas_fino(int limite) {
  int f = 1;
  while (2 * f <= limite) f = 2 * f;
  return f;
}

// Whether every sub-step of integration a up to its earliest divergence is
// borne at its own length (of the constituent that diverged, the sub-step
// that diverged too, read at its start).
bool soportada_hasta_divergencia(const Modelo& m, const TrabajoEmbalse& a) {
  for (int k = 1; k <= m.cal.NUMCONTAMINANTES; ++k) {
    for (int j = 1; j <= a.subpaso_diverge; ++j) {
      if (j == a.subpaso_diverge && k != a.contaminante_diverge) continue;
      const Subpaso p = subpaso(m, a, j, k, j != a.subpaso_diverge);
      if (p.L1 == 0.0 && p.L2 == 0.0 && p.L3 == 0.0 && sin_decaimiento_rapido(p.dos_capas, p.A1, p.B1, p.A2, p.B2))
        continue;
      if (!juzgar(p, 1.0).soportado) return false;
    }
  }
  return true;
}

// The later stage beyond the guard of sin_remedio, below.
bool desborde_sin_remedio(const Modelo& m, const TrabajoEmbalse& a, int fino) {
  if (!a.desborde || a.subpaso_diverge <= 1 || !soportada_hasta_divergencia(m, a)) return false;
  const int j = a.subpaso_diverge, k = a.contaminante_diverge;
  const double f = fino;
  const double P1 = a.P1(j, k), P2 = a.dos_capas() ? a.P2(j, k) : 0.0;
  const double A1 = a.AC1I(j, k), B1 = a.BC1I(j, k), D1 = a.DC1I(j, k);
  const double A2 = a.AC2I(j, k), B2 = a.BC2I(j, k), D2 = a.DC2I(j, k);
  const bool dos = a.dos_capas();
  auto etapa = [&](double Q1, double Q2) {
    if (!dos) return etapa_divergente((A1 / f) * Q1 + D1 / f, false);
    return etapa_divergente((A1 / f * Q1 + D1 / f) + B1 / f * Q2, true) ||
           etapa_divergente((B2 / f * Q1 + D2 / f) + A2 / f * Q2, true);
  };
  if (etapa(P1, P2)) return true;
  // The equations' own growth per sub-step, kept to the end of the month.
  const double s = dos ? espectro(Matriz{A1, B1, B2, A2}).mayor : A1;
  if (!(s > 0.0)) return false;
  const double crecimiento = std::exp(s * (a.NSUB - j + 1));
  return etapa(P1 * crecimiento, P2 * crecimiento);
}

// Whether no count of sub-steps within the bound can follow the month that
// integration a diverged in, told from the month's own data, with a's
// sub-steps cut by `fino`, the finest cut the bound allows:
// - a coefficient that is not a finite number up to the divergence (a rate
//   of no value);
// - the month's first sub-step, from the month's start (the same at every
//   count), so cut: an error that the step grows even so (a weir pool
//   flushed millions of times a month, a film of water under the heat
//   exchange), or a first stage beyond the integrators' guard (a source, a
//   start or an inflow beyond what they accept at any count).
// - a stage beyond the guard later in the month, where every sub-step up
//   to it is borne at a's count (so that its start is the equations' own
//   within the step's error, which a finer count would reach too, and not
//   an error grown by the step): its first stage so cut from that start
//   still beyond the guard (a source or a start), or a growth of the
//   equations that, kept over the rest of the month, takes that start
//   beyond what the guard accepts at the finest count.
// Where the volume changes over the month, the finest count's first
// sub-step holds no more water than a's at its middle, so that its terms
// are no smaller than a's cut: a month told so cannot be followed by the
// finest count either. Where a sub-step before the divergence is not borne,
// its start is a's own, which a finer count changes, and it is not read for
// this. Every other month that diverges is refined.
bool sin_remedio(const Modelo& m, const TrabajoEmbalse& a, int fino) {
  if (desborde_sin_remedio(m, a, fino)) return true;
  for (int k = 1; k <= m.cal.NUMCONTAMINANTES; ++k) {
    for (int j = 1; j <= ultimo_sano(a); ++j) {
      if (!sano(a, j, k)) continue;
      for (double x : {a.AC1I(j, k), a.BC1I(j, k), a.DC1I(j, k), a.AC2I(j, k), a.BC2I(j, k), a.DC2I(j, k)})
        if (!std::isfinite(x)) return true;
    }
    if (!sano(a, 1, k)) continue;
    if (juzgar(subpaso(m, a, 1, k, false), fino).crece) return true;
    const double P1 = a.CO1(k), P2 = a.CO2(k), f = fino;
    if (!a.dos_capas()) {
      if (etapa_divergente((a.AC1I(1, k) / f) * P1 + a.DC1I(1, k) / f, false)) return true;
    } else if (etapa_divergente((a.AC1I(1, k) / f * P1 + a.DC1I(1, k) / f) + a.BC1I(1, k) / f * P2, true) ||
               etapa_divergente((a.BC2I(1, k) / f * P1 + a.DC2I(1, k) / f) + a.AC2I(1, k) / f * P2, true)) {
      return true;
    }
  }
  return false;
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
  m.log.write({w.desborde ? "El cálculo del embalse diverge con el diferencial de cálculo dado"
                          : "El cálculo del embalse no admite los subpasos dados"});
  m.log.write({"Embalse:", m.red.NOMEMB(a.K)});
  m.log.write({"Año, Mes:", a.Y, a.M});
  m.log.write({"Se integra el mes con subpasos más finos, número de subpasos:", a.NSUB});
  m.log.flush();  // the work of such months, for whoever looks at a run that does not end
}

// The first month of the reservoir that its sub-steps could not resolve:
// the constituent that diverged in the integration that stands (the finest
// count tried, or the given one where no count could follow the month), and
// its sub-steps.
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

bool oxigeno_implicito(const Modelo& m, TrabajoEmbalse& w, int j) {
  const int OD = m.cal.POS.OD;
  const double L1 = pendiente_sumideros(m, w, 1, j);
  const double L3 = w.dos_capas() ? pendiente_sumideros(m, w, 2, j) : 0.0;
  if (L1 == 0.0 && L3 == 0.0) return false;
  const Subpaso p{w.dos_capas(), w.AC1I(j, OD) - w.KAAUX1(j),
                  w.BC1I(j, OD), w.AC2I(j, OD) - w.KAAUX2(j),
                  w.BC2I(j, OD), 0.0,
                  0.0,           0.0};
  if (!juzgar(p, 1.0).soportado) return false;  // too long a sub-step for other reasons: refined
  Subpaso q = p;
  q.L1 = L1, q.L3 = L3;
  return !juzgar(q, 1.0).soportado;
}

bool subpaso_crece(const Modelo& m, const TrabajoEmbalse& w, int j, int k) {
  return juzgar(subpaso(m, w, j, k, false), 1.0).crece;
}

int division_subpasos(const Modelo& m, const TrabajoEmbalse& w, int limite) {
  const int ultimo = ultimo_sano(w);
  int division = 1;
  // Constituent by constituent along the sub-steps, through views of the
  // coefficients; a sub-step that the step bears as it stands costs no more.
  for (int k = 1; k <= m.cal.NUMCONTAMINANTES; ++k) {
    const View<const double> A1 = w.AC1I.run(ultimo, k), B1 = w.BC1I.run(ultimo, k);
    const View<const double> A2 = w.AC2I.run(ultimo, k), B2 = w.BC2I.run(ultimo, k);
    const bool retiene = con_retorno(m, k);
    for (int j = 1; j <= ultimo; ++j) {
      if (!sano(w, j, k)) continue;
      // The end of the sub-step that diverged is no value to take a held
      // term's slope at.
      const Retorno L = retiene ? retorno(m, w, j, k, j != w.subpaso_diverge) : Retorno{};
      if (sin_retorno(L) && sin_decaimiento_rapido(w.dos_capas(), A1(j), B1(j), A2(j), B2(j))) continue;
      const int f = division_estable({w.dos_capas(), A1(j), B1(j), A2(j), B2(j), L.capa1, L.capa2, 0.0}, limite);
      if (f == 0) return 0;
      if (f > division) division = f;
    }
  }
  return division;
}

// Finer sub-steps while the integration diverges or the step cannot bear
// its sub-steps, one doubling at a time, each count judged on its own
// integration, up to the finest count within the bound. A month that
// diverges is refined whatever the judge says of its sub-steps, since a
// divergence is the surest sign that they are too long, unless the month's
// own data show that no count within the bound can follow it
// (`sin_remedio`): that month is taken by the mix of its water at once,
// instead of costing every count up to the finest for the same mix. A
// month whose given sub-steps the step bears and that does not diverge
// keeps its integration. Each count is tried once, and an attempt stops at
// its earliest divergence, so that a month costs less than twice the
// finest, at most 2 MAXSUBPASOSEMBALSE sub-steps.
TrabajoEmbalse& subpasos_finos(Modelo& m, TrabajoEmbalse& w, const Array1<double>& CE) {
  const int maximo = MAXSUBPASOSEMBALSE / w.NSUB;  // the most sub-steps to a given one
  TrabajoEmbalse* a = &w;
  int factor = 1;
  while (2 * factor <= maximo) {
    if (a->diverge) {
      if (sin_remedio(m, *a, corte_mas_fino(maximo / factor))) break;
    } else if (division_subpasos(m, *a, maximo / factor) == 1) {
      break;
    }
    factor = 2 * factor;
    a = &integrar_de_nuevo(m, w, CE, factor);
  }
  w.factor = factor;
  if (factor > 1) {
    // Counted, with the reservoir's largest count (that of the integration
    // that stands, or the finest tried before a mix).
    if (++m.sim.NUMMESESFINOSEMB(w.K) == 1) aviso_subpasos_finos(m, w, *a);
    m.sim.MAXSUBPASOSFINOSEMB(w.K) = std::max(m.sim.MAXSUBPASOSFINOSEMB(w.K), a->NSUB);
  }
  return *a;
}

bool integracion_aceptada(Modelo& m, const TrabajoEmbalse& a) {
  if (!a.diverge) return true;
  if (++m.sim.MESESMEZCLAEMB(a.K) == 1) aviso_mezcla(m, a, a.contaminante_diverge);
  return false;
}

}  // namespace tornal
