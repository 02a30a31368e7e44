// Water temperature of a reach (equilibrium temperature, or the surface heat
// balance iterated with the temperature profile) and the first-order
// pollutants, each with its decay and settling.
#include <algorithm>
#include <cmath>

#include "common/precision.h"
#include "physics/physics.h"
#include "reach/reach_model.h"
#include "reach/tramo.h"

namespace tornal {
namespace {

// Most passes of the heat balance of one reach.
constexpr int MAXPASADASCALOR = 200;

// Heat flow (W) into degC x m3/day: density x specific heat x 1.1574167e-5.
double factor_calor(const Calidad& c) {
  return c.CARACTERISTICASDELAGUA(1) * c.CARACTERISTICASDELAGUA(2) * sp(1.1574167e-5f);
}

// Exchange with the equilibrium temperature TECOND at the coefficient
// KETCOND: the gain on the stored right side, the exchange on the solved
// diagonal only.
void temperatura_equilibrio(Modelo& m, TrabajoTramo& w, const Tramo& t) {
  const Calidad& c = m.cal;
  const double FACTORCALOR = factor_calor(c);
  const double TE = c.TECOND(t.I, m.sim.MESACTUAL);
  const double KET = c.KETCOND(t.I);
  const int N = t.N;
  const View<const double> AXY = w.AXY.run(N);
  const View<double> WI = w.WI.run(N, 1);
  for (int i = 1; i <= N; ++i) WI(i) = WI(i) + TE * KET * AXY(i) / FACTORCALOR;
  const View<const double> DIAG = w.DIAG.run(N, 1);
  const View<double> D = w.DIAGAUX.run(N);
  for (int i = 1; i <= N; ++i) D(i) = DIAG(i) + KET * AXY(i) / FACTORCALOR;
  resolver(m, w, t, 1, D, WI, w.CX.run(N, 1));
}

// A temperature held within the range of water temperatures, the one that
// a solve may hand on to the rates, the files and the node mixes.
double en_rango(double T) { return std::clamp(T, TMINAGUA, TMAXAGUA); }

// Most passes of the linearised heat balance, and the largest change of a
// segment temperature (degC) of the pass that ends it.
constexpr int MAXPASADASLINEAL = 100;
constexpr double CAMBIOLINEAL = 0.001;

// The net surface flux of the reach's weather this month at water
// temperature TW (W/m2).
double flujo(const Modelo& m, const Tramo& t, double TW) {
  const Calidad& c = m.cal;
  const int MES = m.sim.MESACTUAL;
  return HTOTAL(c, TW, c.HSWCOND(t.I, MES), c.TAIRCOND(t.I, MES), c.VIENTOCOND(t.I, MES), c.HRCOND(t.I, MES),
                c.NUBCOND(t.I, MES));
}

// Passes from the head temperature in every segment: the flux of each
// segment at its temperature of the previous pass enters its right side,
// until the sum of the segment temperatures changes by 1.0 or less. The
// passes settle only when the last of them also moved the segments by 1.0
// or less in all (a sum may hold while its segments move apart) and no
// segment left the range of water temperatures; otherwise they have
// diverged (the flux of a slow reach overshoots its equilibrium further at
// every pass) and false is returned.
bool pasadas_calor(Modelo& m, TrabajoTramo& w, const Tramo& t) {
  const double FACTORCALOR = factor_calor(m.cal);
  for (int i = 1; i <= t.N; ++i) w.CX(i, 1) = (*t.CO)(1);
  double SUMAANT = 15.0;
  double SUMAT = 0.0;
  double cambio = 0.0;
  int pasadas = 0;
  while (std::fabs(SUMAANT - SUMAT) > 1.0) {
    if (++pasadas > MAXPASADASCALOR) return false;
    SUMAANT = SUMAT;
    for (int i = 1; i <= t.N; ++i) w.WIAUX(i) = w.WI(i, 1) + flujo(m, t, w.CX(i, 1)) * w.AXY(i) / FACTORCALOR;
    resolver(m, w, t, 1, w.DIAG.run(t.N, 1), w.WIAUX.run(t.N), w.SOLAUX.run(t.N));
    double suma = 0.0;
    cambio = 0.0;
    for (int i = 1; i <= t.N; ++i) {
      if (!temperatura_fisica(w.SOLAUX(i))) return false;
      suma = suma + w.SOLAUX(i);
      cambio = cambio + std::fabs(w.SOLAUX(i) - w.CX(i, 1));
    }
    for (int i = 1; i <= t.N; ++i) w.CX(i, 1) = w.SOLAUX(i);
    SUMAT = suma;
  }
  return cambio <= 1.0;
}

// The same balance with the flux of each segment linearised about its
// temperature of the previous pass (a Newton pass): the exchange
// coefficient -dH/dT goes on the diagonal and H + (-dH/dT) T on the right
// side, the rows of the equilibrium temperature at that coefficient. The
// rows stay diagonally dominant at any flow and the passes settle where
// those of the flux itself would. From the head temperature, until no
// segment changes by more than CAMBIOLINEAL; each pass's temperatures are
// held within the range of water temperatures. False when they do not
// settle within MAXPASADASLINEAL passes or the flux is not finite.
bool balance_linealizado(Modelo& m, TrabajoTramo& w, const Tramo& t) {
  const Calidad& c = m.cal;
  const int MES = m.sim.MESACTUAL;
  const double FACTORCALOR = factor_calor(c);
  const double VIENTO = c.VIENTOCOND(t.I, MES);
  const int N = t.N;
  for (int i = 1; i <= N; ++i) w.CX(i, 1) = en_rango((*t.CO)(1));
  for (int pasada = 1; pasada <= MAXPASADASLINEAL; ++pasada) {
    for (int i = 1; i <= N; ++i) {
      const double T = w.CX(i, 1);
      const double H = flujo(m, t, T);
      const double lambda = intercambio_calor(c, T, VIENTO);
      const double K = lambda > 0.0 ? lambda : 0.0;
      w.DIAGAUX(i) = w.DIAG(i, 1) + K * w.AXY(i) / FACTORCALOR;
      w.WIAUX(i) = w.WI(i, 1) + (H + K * T) * w.AXY(i) / FACTORCALOR;
    }
    resolver(m, w, t, 1, w.DIAGAUX.run(N), w.WIAUX.run(N), w.SOLAUX.run(N));
    double cambio = 0.0;
    for (int i = 1; i <= N; ++i) {
      if (!std::isfinite(w.SOLAUX(i))) return false;
      const double T = en_rango(w.SOLAUX(i));
      cambio = std::max(cambio, std::fabs(T - w.CX(i, 1)));
      w.CX(i, 1) = T;
    }
    if (cambio <= CAMBIOLINEAL) return true;
  }
  return false;
}

// The temperature at which the reach's surface flux of the month vanishes
// (NaN where the flux is not finite).
double equilibrio_flujo(const Modelo& m, const Tramo& t) {
  const Calidad& c = m.cal;
  const int MES = m.sim.MESACTUAL;
  return temperatura_flujo_nulo(c, c.HSWCOND(t.I, MES), c.TAIRCOND(t.I, MES), c.VIENTOCOND(t.I, MES),
                                c.HRCOND(t.I, MES), c.NUBCOND(t.I, MES));
}

// The last resort where the linearised balance does not settle either:
// every segment at the equilibrium temperature of the flux; where the flux
// cannot be evaluated, the transport of the head and lateral temperatures
// with no surface exchange, held within the range.
void temperatura_ultimo_recurso(Modelo& m, TrabajoTramo& w, const Tramo& t) {
  const double TE = equilibrio_flujo(m, t);
  if (std::isfinite(TE)) {
    for (int i = 1; i <= t.N; ++i) w.CX(i, 1) = TE;
    return;
  }
  resolver(m, w, t, 1, w.DIAG.run(t.N, 1), w.WI.run(t.N, 1), w.SOLAUX.run(t.N));
  for (int i = 1; i <= t.N; ++i) w.CX(i, 1) = std::isfinite(w.SOLAUX(i)) ? en_rango(w.SOLAUX(i)) : TMINAGUA;
}

// The heat balance of the month: the passes of the flux where they settle,
// bit for bit; otherwise the linearised balance, and the equilibrium
// temperature where that does not settle either. The first month of a
// reach that needs either is noted for the run log, and every such month
// is counted for the end of the run.
void balance_calor(Modelo& m, TrabajoTramo& w, const Tramo& t) {
  if (pasadas_calor(m, w, t)) return;
  Simulacion& s = m.sim;
  if (s.MESESCALORLINEAL(t.I)++ == 0) {
    nota(w, {"El balance de calor de la conducción no ha convergido"});
    nota(w, {"Conducción:", m.red.NOMCONDUCC(t.I)});
    nota(w, {"Año, Mes:", t.ANO, t.MES});
    nota(w, {"Se resuelve el balance de calor linealizado"});
  }
  if (balance_linealizado(m, w, t)) return;
  if (s.MESESCALOREQUILIBRIO(t.I)++ == 0) {
    nota(w, {"El balance de calor linealizado no ha convergido"});
    nota(w, {"Conducción:", m.red.NOMCONDUCC(t.I)});
    nota(w, {"Año, Mes:", t.ANO, t.MES});
    nota(w, {"Se asume la temperatura de equilibrio"});
  }
  temperatura_ultimo_recurso(m, w, t);
}

}  // namespace

double temperatura_segmento(const Modelo& m, const TrabajoTramo& w, const Tramo& t, int i) {
  if (m.cal.OPCIONTEMPERATURA == 1) return w.CX(i, 1);
  return m.cal.TCOND(t.I, m.sim.MESACTUAL);
}

void temperatura_tramo(Modelo& m, TrabajoTramo& w, const Tramo& t) {
  if (m.cal.MODELOTEMPERATURA == 1)
    temperatura_equilibrio(m, w, t);
  else if (m.cal.MODELOTEMPERATURA == 2)
    balance_calor(m, w, t);
}

// Pollutant j decays at KCOND corrected to the segment's temperature and
// settles at VSCOND across the segment bed; both on the stored diagonal.
// The pollutants are solved together; a solution below ERRORCONC is 0.
void primer_orden_tramo(Modelo& m, TrabajoTramo& w, const Tramo& t) {
  const Calidad& c = m.cal;
  const int N = t.N;
  if (c.NUMCONT1OR < 1) return;
  const View<const double> VI = w.VI.run(N), Y = w.Y.run(N);
  const View<double> KAUX = w.KAUX.run(N);
  const View<PotenciaRecordada> CORRECCION = w.CORRECCION1OR.run(N);
  // The temperature of each segment, or the one given for the whole reach.
  const bool simulada = c.OPCIONTEMPERATURA == 1;
  const double TDATO = simulada ? 0.0 : temperatura_segmento(m, w, t, 1);
  // The pollutants whose columns lie in the arrays, from the first on; the
  // column of the next one, if any, is out of range.
  const int PRIMERA = c.POS.CONT1OR(1);
  int M = 0;
  while (M < c.NUMCONT1OR && w.DIAG.contains(1, PRIMERA + M)) ++M;
  const Columns<double> DIAG = w.DIAG.columns(N, PRIMERA, M);
  for (int j = 1; j <= M; ++j) {
    const double KCOND = c.KCOND(t.I, j);
    const double TECTA = c.TECTAK1OR(j);
    if (simulada) {
      const View<const double> T = w.CX.run(N, 1);
      for (int i = 1; i <= N; ++i) KAUX(i) = KCOND * CORRECCION(i)(TECTA, T(i) - 20.0);
    } else {
      const double K = KCOND * CORRECCION(1)(TECTA, TDATO - 20.0);
      for (int i = 1; i <= N; ++i) KAUX(i) = K;
    }
    const double VS = c.VSCOND(t.I, j);
    for (int i = 1; i <= N; ++i) {
      const double decaimiento = KAUX(i) * VI(i);
      const double sedimentacion = Y(i) != 0.0 ? VS * VI(i) / Y(i) : 0.0;
      DIAG(i, j) = DIAG(i, j) + decaimiento + sedimentacion;
    }
  }
  if (M > 0) {
    const Columns<double> X = w.CX.columns(N, PRIMERA, M);
    resolver_varios(m, w, t, PRIMERA, DIAG, w.WI.columns(N, PRIMERA, M), X);
    const double ERRORCONC = c.ERRORCONC;
    for (int j = 1; j <= M; ++j)
      for (int i = 1; i <= N; ++i) X(i, j) = ERRORCONC > X(i, j) ? 0.0 : X(i, j);
  }
  // The next pollutant's column stops the run, as its first access would.
  if (M < c.NUMCONT1OR) w.DIAG.run(N, PRIMERA + M);
}

}  // namespace tornal
