// Water temperature of a reach (equilibrium temperature, or the surface heat
// balance iterated with the temperature profile) and the first-order
// pollutants, each with its decay and settling.
#include <cmath>

#include "common/precision.h"
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
void temperatura_equilibrio(Modelo& m, const Tramo& t) {
  TrabajoTramo& w = m.tramo;
  const Calidad& c = m.cal;
  const double FACTORCALOR = factor_calor(c);
  const double TE = c.TECOND(t.I, m.sim.MESACTUAL);
  const double KET = c.KETCOND(t.I);
  const int N = t.N;
  const Run<const double> AXY = w.AXY.run(N);
  const Run<double> WI = w.WI.run(N, 1);
  for (int i = 1; i <= N; ++i) WI(i) = WI(i) + TE * KET * AXY(i) / FACTORCALOR;
  const Run<const double> DIAG = w.DIAG.run(N, 1);
  const Run<double> D = w.DIAGAUX.run(N);
  for (int i = 1; i <= N; ++i) D(i) = DIAG(i) + KET * AXY(i) / FACTORCALOR;
  resolver(m, t, D, WI, w.CX.run(N, 1));
}

// The heat balance of the month has not settled: the temperatures of the
// last good pass stand, the reach is flagged and the run goes on.
void calor_sin_convergencia(Modelo& m, const Tramo& t) {
  m.log.write({"El balance de calor de la conducción no ha convergido"});
  m.log.write({"Conducción:", m.red.NOMCONDUCC(t.I)});
  m.log.write({"Año, Mes:", t.ANO, t.MES});
  m.log.write({"Se asume la temperatura de la última iteración válida"});
  m.sim.ERRORCOND(t.I) = 1;
}

// Passes from the head temperature in every segment: the flux of each
// segment at its temperature of the previous pass enters its right side,
// until the sum of the segment temperatures changes by 1.0 or less.
void balance_calor(Modelo& m, const Tramo& t) {
  TrabajoTramo& w = m.tramo;
  const Calidad& c = m.cal;
  const int MES = m.sim.MESACTUAL;
  const double FACTORCALOR = factor_calor(c);
  for (int i = 1; i <= t.N; ++i) w.CX(i, 1) = (*t.CO)(1);
  double SUMAANT = 15.0;
  double SUMAT = 0.0;
  int pasadas = 0;
  while (std::fabs(SUMAANT - SUMAT) > 1.0) {
    if (++pasadas > MAXPASADASCALOR) {
      calor_sin_convergencia(m, t);
      return;
    }
    SUMAANT = SUMAT;
    for (int i = 1; i <= t.N; ++i) {
      const double H = HTOTAL(c, w.CX(i, 1), c.HSWCOND(t.I, MES), c.TAIRCOND(t.I, MES), c.VIENTOCOND(t.I, MES),
                              c.HRCOND(t.I, MES), c.NUBCOND(t.I, MES));
      w.WIAUX(i) = w.WI(i, 1) + H * w.AXY(i) / FACTORCALOR;
    }
    resolver(m, t, w.DIAG.run(t.N, 1), w.WIAUX.run(t.N), w.SOLAUX.run(t.N));
    double suma = 0.0;
    for (int i = 1; i <= t.N; ++i) suma = suma + w.SOLAUX(i);
    if (!std::isfinite(suma)) {
      calor_sin_convergencia(m, t);
      return;
    }
    for (int i = 1; i <= t.N; ++i) w.CX(i, 1) = w.SOLAUX(i);
    SUMAT = suma;
  }
}

}  // namespace

double temperatura_segmento(const Modelo& m, const Tramo& t, int i) {
  if (m.cal.OPCIONTEMPERATURA == 1) return m.tramo.CX(i, 1);
  return m.cal.TCOND(t.I, m.sim.MESACTUAL);
}

void temperatura_tramo(Modelo& m, const Tramo& t) {
  if (m.cal.MODELOTEMPERATURA == 1)
    temperatura_equilibrio(m, t);
  else if (m.cal.MODELOTEMPERATURA == 2)
    balance_calor(m, t);
}

// Pollutant j decays at KCOND corrected to the segment's temperature and
// settles at VSCOND across the segment bed; both on the stored diagonal.
// The pollutants are solved together; a solution below ERRORCONC is 0.
void primer_orden_tramo(Modelo& m, const Tramo& t) {
  TrabajoTramo& w = m.tramo;
  const Calidad& c = m.cal;
  const int N = t.N;
  if (c.NUMCONT1OR < 1) return;
  const Run<const double> VI = w.VI.run(N), Y = w.Y.run(N);
  const Run<double> KAUX = w.KAUX.run(N);
  const Run<PotenciaRecordada> CORRECCION = w.CORRECCION1OR.run(N);
  // The temperature of each segment, or the one given for the whole reach.
  const bool simulada = c.OPCIONTEMPERATURA == 1;
  const Run<const double> T = simulada ? w.CX.run(N, 1) : Run<const double>();
  const double TDATO = simulada ? 0.0 : temperatura_segmento(m, t, 1);
  // The pollutants whose columns lie in the arrays, from the first on; the
  // column of the next one, if any, is out of range.
  const int PRIMERA = c.POS.CONT1OR(1);
  int M = 0;
  while (M < c.NUMCONT1OR && w.DIAG.contains(1, PRIMERA + M)) ++M;
  for (int j = 1; j <= M; ++j) {
    const double KCOND = c.KCOND(t.I, j);
    const double TECTA = c.TECTAK1OR(j);
    if (simulada) {
      for (int i = 1; i <= N; ++i) KAUX(i) = KCOND * CORRECCION(i)(TECTA, T(i) - 20.0);
    } else {
      const double K = KCOND * CORRECCION(1)(TECTA, TDATO - 20.0);
      for (int i = 1; i <= N; ++i) KAUX(i) = K;
    }
    const double VS = c.VSCOND(t.I, j);
    const Run<double> DIAG = w.DIAG.run(N, PRIMERA + j - 1);
    for (int i = 1; i <= N; ++i) {
      const double decaimiento = KAUX(i) * VI(i);
      const double sedimentacion = Y(i) != 0.0 ? VS * VI(i) / Y(i) : 0.0;
      DIAG(i) = DIAG(i) + decaimiento + sedimentacion;
    }
  }
  if (M > 0) {
    const Columns<double> X = w.CX.columns(N, PRIMERA, M);
    resolver_varios(m, t, w.DIAG.columns(N, PRIMERA, M), w.WI.columns(N, PRIMERA, M), X);
    for (int j = 1; j <= M; ++j)
      for (int i = 1; i <= N; ++i) X(i, j) = c.ERRORCONC > X(i, j) ? 0.0 : X(i, j);
  }
  // The next pollutant's column stops the run, as its first access would.
  if (M < c.NUMCONT1OR) w.DIAG.run(N, PRIMERA + M);
}

}  // namespace tornal
