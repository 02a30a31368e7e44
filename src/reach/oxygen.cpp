// The oxygen iteration of a reach: organic matter (L), dissolved oxygen and,
// by option, organic nitrogen, ammonium, nitrate, chlorophyll-a, organic
// phosphorus and phosphate, solved one after another in passes. A coupling
// term reads the value solved earlier in the same pass when its
// constituent comes earlier in the order, and the previous pass's value
// otherwise; the passes end when the sum of the oxygen over the segments
// changes by 0.5 or less, or at the cap on passes. A month whose passes
// reach the cap is carried to the fixed point of the passes by passes that
// converge (punto_fijo, below).
#include <algorithm>
#include <cmath>
#include <limits>

#include "reach/reach_model.h"
#include "reach/tramo.h"

namespace tornal {
namespace {

// Settling of a segment: velocity VS (m/day) times the bed area VI / Y
// (none in a segment without depth).
double sedimenta(double VS, double VI, double Y) { return Y != 0.0 ? VS * VI / Y : 0.0; }

// What the stages of a pass share: the reach, its work arrays and the
// options. Each stage takes from the work arrays the runs of the N segments
// that it reads and writes: the stored transport rows of its constituent,
// the rows in hand (DIAGAUX, WIAUX), the segments, the rates of the pass
// and the concentrations.
struct Pasada {
  Pasada(Modelo& modelo, TrabajoTramo& trabajo, const Tramo& tramo)
      : m(modelo),
        t(tramo),
        w(trabajo),
        c(modelo.cal),
        I(tramo.I),
        N(tramo.N),
        nitrogeno(c.OPCIONNITROGENO == 1),
        fito(c.OPCIONFITOPLANCTON == 1),
        STECHIO(c.STECHIO),
        FP(c.FACTORPREFERENCIA) {}
  Pasada(const Pasada&) = default;
  Pasada& operator=(const Pasada&) = delete;

  Modelo& m;
  const Tramo& t;
  TrabajoTramo& w;
  const Calidad& c;
  const int I, N;
  const bool nitrogeno, fito;
  const Array1<double>& STECHIO;
  const Array1<double>& FP;
  // The passes that carry a month to its fixed point: the oxygen sinks of
  // decay and nitrification linear in the new oxygen (`lineal`), and the
  // 1 mg/l switch of the two sinks taken as the share of each segment in
  // UMBRAL (`umbral`).
  bool lineal = false, umbral = false;
};

// The slope of an oxygen-limited sink K O / (KS + O) at the oxygen O the
// pass starts with: K / (KS + O), the sink over the oxygen, so that the
// sink taken as that slope times the new oxygen is the sink of the passes
// wherever the new oxygen is the old. -1 where the sink is not limited
// (the constant is off, INT(10000 KS) = 0): it stays a held load.
double pendiente(double K, double KS, double O) {
  if (!limitacion_activa(KS) || !(KS + O > 0.0)) return -1.0;
  return K / (KS + O);
}

// Solves constituent k from the stored subdiagonal and superdiagonal and
// the rows in hand and stores the solution, clipped below `minimo`
// (ERRORCONC, or 0 for oxygen) to 0.
void resolver_columna(const Pasada& p, int k, double minimo, bool estricto_cero) {
  const int N = p.N;
  const View<double> X = p.w.CX.run(N, k);
  resolver(p.m, p.w, p.t, k, p.w.DIAGAUX.run(N), p.w.WIAUX.run(N), X);
  for (int i = 1; i <= N; ++i) {
    const double v = X(i);
    if (estricto_cero)
      X(i) = v < 0.0 ? 0.0 : v;
    else
      X(i) = minimo > v ? 0.0 : v;
  }
}

// 1. Organic matter: decay only where the previous pass left 1 mg/l of
// oxygen or more; settling everywhere.
void materia_organica(const Pasada& p) {
  TrabajoTramo& w = p.w;
  const int N = p.N, L = p.c.POS.DBO;
  const View<double> DIAG2 = w.DIAGAUX.run(N), WI2 = w.WIAUX.run(N);
  const View<const double> DIAG = w.DIAG.run(N, L), WI = w.WI.run(N, L), VIs = w.VI.run(N), Y = w.Y.run(N),
                           KDAUX2 = w.KDAUX2.run(N), CXOD = w.CX.run(N, p.c.POS.OD);
  const double VS = p.c.VSLCOND(p.I);
  if (p.umbral) {
    const View<const double> UMBRAL = w.UMBRAL.run(N);
    for (int i = 1; i <= N; ++i) {
      DIAG2(i) = DIAG(i) + UMBRAL(i) * KDAUX2(i) * VIs(i) + sedimenta(VS, VIs(i), Y(i));
      WI2(i) = WI(i);
    }
    resolver_columna(p, L, p.c.ERRORCONC, false);
    return;
  }
  for (int i = 1; i <= N; ++i) {
    const double VI = VIs(i);
    if (CXOD(i) >= 1.0)
      DIAG2(i) = DIAG(i) + KDAUX2(i) * VI + sedimenta(VS, VI, Y(i));
    else
      DIAG2(i) = DIAG(i) + sedimenta(VS, VI, Y(i));
    WI2(i) = WI(i);
  }
  resolver_columna(p, L, p.c.ERRORCONC, false);
}

// The oxygen rows of the passes that carry a month to its fixed point:
// reaeration as in the passes; the demand of decay and nitrification, where
// oxygen limits them, on the diagonal, as their slope at the oxygen the pass
// starts with (pendiente) times the new oxygen, and elsewhere held on the
// right side. A held sink that the old oxygen sets can take more oxygen than
// the segment holds, the floor takes it to 0 and the next pass has no sink:
// a cycle of two states. On the diagonal the sink falls with the new oxygen
// and never takes it below 0, and the new oxygen grows with the old, so the
// passes climb or fall to the fixed point, where the new oxygen is the old
// and the sinks are those of the passes.
void oxigeno_lineal(const Pasada& p) {
  TrabajoTramo& w = p.w;
  const int N = p.N, OD = p.c.POS.OD;
  const View<double> DIAG2 = w.DIAGAUX.run(N), WI2 = w.WIAUX.run(N);
  const View<const double> DIAG = w.DIAG.run(N, OD), WI = w.WI.run(N, OD), VIs = w.VI.run(N), KAAUX = w.KAAUX.run(N),
                           OSATAUX = w.OSATAUX.run(N), KDAUX = w.KDAUX.run(N), KDAUX2 = w.KDAUX2.run(N),
                           CXL = w.CX.run(N, p.c.POS.DBO), CXOD = w.CX.run(N, OD);
  const Array1<double>& KS = p.c.CTELIMITACIONNUTRIENTES;
  for (int i = 1; i <= N; ++i) {
    const double VI = VIs(i);
    DIAG2(i) = DIAG(i) + KAAUX(i) * VI;
    WI2(i) = WI(i) + KAAUX(i) * OSATAUX(i) * VI;
    const double kd = pendiente(KDAUX(i), KS(1), CXOD(i));
    if (kd >= 0.0)
      DIAG2(i) = DIAG2(i) + kd * CXL(i) * VI;
    else
      WI2(i) = WI2(i) - KDAUX2(i) * CXL(i) * VI;
  }
  if (!p.nitrogeno) return;
  const View<const double> KNAIAUX = w.KNAIAUX.run(N), KNAIAUX2 = w.KNAIAUX2.run(N), CXNH4 = w.CX.run(N, p.c.POS.NH4);
  for (int i = 1; i <= N; ++i) {
    const double kn = pendiente(KNAIAUX(i), KS(2), CXOD(i));
    if (kn >= 0.0)
      DIAG2(i) = DIAG2(i) + p.STECHIO(1) * kn * CXNH4(i) * VIs(i);
    else
      WI2(i) = WI2(i) - p.STECHIO(1) * KNAIAUX2(i) * CXNH4(i) * VIs(i);
  }
}

// 2. Oxygen: reaeration towards saturation, the demand of the new organic
// matter; with nitrogen, the nitrification demand and the algae. Adds the
// new oxygen of the segments to SUMAOD.
void oxigeno(const Pasada& p, double& SUMAOD) {
  TrabajoTramo& w = p.w;
  const int N = p.N, OD = p.c.POS.OD;
  const View<double> DIAG2 = w.DIAGAUX.run(N), WI2 = w.WIAUX.run(N);
  const View<const double> DIAG = w.DIAG.run(N, OD), WI = w.WI.run(N, OD), VIs = w.VI.run(N), KAAUX = w.KAAUX.run(N),
                           OSATAUX = w.OSATAUX.run(N), KDAUX2 = w.KDAUX2.run(N), CXL = w.CX.run(N, p.c.POS.DBO);
  if (p.lineal) {
    oxigeno_lineal(p);
  } else {
    for (int i = 1; i <= N; ++i) {
      const double VI = VIs(i);
      DIAG2(i) = DIAG(i) + KAAUX(i) * VI;
      WI2(i) = WI(i) + (KAAUX(i) * OSATAUX(i) - KDAUX2(i) * CXL(i)) * VI;
    }
  }
  if (p.nitrogeno && !p.lineal) {
    const View<const double> KNAIAUX2 = w.KNAIAUX2.run(N), CXNH4 = w.CX.run(N, p.c.POS.NH4);
    for (int i = 1; i <= N; ++i) WI2(i) = WI2(i) - p.STECHIO(1) * KNAIAUX2(i) * CXNH4(i) * VIs(i);
  }
  if (p.nitrogeno && p.fito) {
    const View<const double> KGROWAUX2 = w.KGROWAUX2.run(N), KRESPAUX = w.KRESPAUX.run(N),
                             CXCHLA = w.CX.run(N, p.c.POS.CHLA);
    for (int i = 1; i <= N; ++i)
      WI2(i) = WI2(i) + (p.STECHIO(3) * KGROWAUX2(i) - p.STECHIO(4) * KRESPAUX(i)) * CXCHLA(i) * VIs(i);
  }
  resolver_columna(p, OD, 0.0, true);
  const View<const double> CXOD = w.CX.run(N, OD);
  for (int i = 1; i <= N; ++i) SUMAOD = SUMAOD + CXOD(i);
}

// 3. Organic nitrogen: hydrolysis and settling; respired algal nitrogen.
void nitrogeno_organico(const Pasada& p) {
  TrabajoTramo& w = p.w;
  const int N = p.N, NORG = p.c.POS.NORG;
  const View<double> DIAG2 = w.DIAGAUX.run(N), WI2 = w.WIAUX.run(N);
  const View<const double> DIAG = w.DIAG.run(N, NORG), WI = w.WI.run(N, NORG), VIs = w.VI.run(N), Y = w.Y.run(N),
                           KNOAAUX = w.KNOAAUX.run(N);
  const double VS = p.c.VSNOCOND(p.I);
  for (int i = 1; i <= N; ++i) {
    const double VI = VIs(i);
    DIAG2(i) = DIAG(i) + KNOAAUX(i) * VI + sedimenta(VS, VI, Y(i));
    WI2(i) = WI(i);
  }
  if (p.fito) {
    const View<const double> KRESPAUX = w.KRESPAUX.run(N), CXCHLA = w.CX.run(N, p.c.POS.CHLA);
    for (int i = 1; i <= N; ++i) WI2(i) = WI2(i) + p.STECHIO(5) * KRESPAUX(i) * CXCHLA(i) * VIs(i);
  }
  resolver_columna(p, NORG, p.c.ERRORCONC, false);
}

// 4. Ammonium: nitrification where the new oxygen is 1 mg/l or more;
// hydrolysis of the new organic nitrogen; algal uptake.
void amonio(const Pasada& p) {
  TrabajoTramo& w = p.w;
  const int N = p.N, NH4 = p.c.POS.NH4;
  const View<double> DIAG2 = w.DIAGAUX.run(N), WI2 = w.WIAUX.run(N);
  const View<const double> DIAG = w.DIAG.run(N, NH4), WI = w.WI.run(N, NH4), VIs = w.VI.run(N),
                           KNAIAUX2 = w.KNAIAUX2.run(N), KNOAAUX = w.KNOAAUX.run(N), CXOD = w.CX.run(N, p.c.POS.OD),
                           CXNORG = w.CX.run(N, p.c.POS.NORG);
  const View<const double> UMBRAL = w.UMBRAL.run(N);
  for (int i = 1; i <= N; ++i) {
    const double VI = VIs(i);
    if (p.umbral)
      DIAG2(i) = DIAG(i) + UMBRAL(i) * KNAIAUX2(i) * VI;
    else
      DIAG2(i) = CXOD(i) >= 1.0 ? DIAG(i) + KNAIAUX2(i) * VI : DIAG(i);
    WI2(i) = WI(i) + KNOAAUX(i) * CXNORG(i) * VI;
  }
  if (p.fito) {
    const View<const double> KGROWAUX2 = w.KGROWAUX2.run(N), CXCHLA = w.CX.run(N, p.c.POS.CHLA);
    for (int i = 1; i <= N; ++i) WI2(i) = WI2(i) - p.FP(1) * p.STECHIO(5) * KGROWAUX2(i) * CXCHLA(i) * VIs(i);
  }
  resolver_columna(p, NH4, p.c.ERRORCONC, false);
}

// 5. Nitrate: denitrification; nitrification of the new ammonium; algal
// uptake.
void nitrato(const Pasada& p) {
  TrabajoTramo& w = p.w;
  const int N = p.N, NO3 = p.c.POS.NO3;
  const View<double> DIAG2 = w.DIAGAUX.run(N), WI2 = w.WIAUX.run(N);
  const View<const double> DIAG = w.DIAG.run(N, NO3), WI = w.WI.run(N, NO3), VIs = w.VI.run(N),
                           KNO3AUX2 = w.KNO3AUX2.run(N), KNAIAUX2 = w.KNAIAUX2.run(N), CXNH4 = w.CX.run(N, p.c.POS.NH4);
  for (int i = 1; i <= N; ++i) {
    const double VI = VIs(i);
    DIAG2(i) = DIAG(i) + KNO3AUX2(i) * VI;
    WI2(i) = WI(i) + KNAIAUX2(i) * CXNH4(i) * VI;
  }
  if (p.fito) {
    const View<const double> KGROWAUX2 = w.KGROWAUX2.run(N), CXCHLA = w.CX.run(N, p.c.POS.CHLA);
    for (int i = 1; i <= N; ++i) WI2(i) = WI2(i) - (1.0 - p.FP(1)) * p.STECHIO(5) * KGROWAUX2(i) * CXCHLA(i) * VIs(i);
  }
  resolver_columna(p, NO3, p.c.ERRORCONC, false);
}

// 6. Chlorophyll-a: net growth and settling.
void clorofila(const Pasada& p) {
  TrabajoTramo& w = p.w;
  const int N = p.N, CHLA = p.c.POS.CHLA;
  const View<double> DIAG2 = w.DIAGAUX.run(N), WI2 = w.WIAUX.run(N);
  const View<const double> DIAG = w.DIAG.run(N, CHLA), WI = w.WI.run(N, CHLA), VIs = w.VI.run(N), Y = w.Y.run(N),
                           KGROWAUX2 = w.KGROWAUX2.run(N), KRESPAUX = w.KRESPAUX.run(N);
  const double VS = p.c.VSALGCOND(p.I);
  for (int i = 1; i <= N; ++i) {
    const double VI = VIs(i);
    DIAG2(i) = DIAG(i) - (KGROWAUX2(i) - KRESPAUX(i)) * VI + sedimenta(VS, VI, Y(i));
    WI2(i) = WI(i);
  }
  resolver_columna(p, CHLA, p.c.ERRORCONC, false);
}

// 7. Organic phosphorus: mineralisation and settling; its share of the
// phosphorus respired by the new algae.
void fosforo_organico(const Pasada& p) {
  TrabajoTramo& w = p.w;
  const int N = p.N, PORG = p.c.POS.PORG;
  const View<double> DIAG2 = w.DIAGAUX.run(N), WI2 = w.WIAUX.run(N);
  const View<const double> DIAG = w.DIAG.run(N, PORG), WI = w.WI.run(N, PORG), VIs = w.VI.run(N), Y = w.Y.run(N),
                           KFOSFAUX = w.KFOSFAUX.run(N), KRESPAUX = w.KRESPAUX.run(N),
                           CXCHLA = w.CX.run(N, p.c.POS.CHLA);
  const double VS = p.c.VSFOSFCOND(p.I);
  for (int i = 1; i <= N; ++i) {
    const double VI = VIs(i);
    DIAG2(i) = DIAG(i) + KFOSFAUX(i) * VI + sedimenta(VS, VI, Y(i));
    WI2(i) = WI(i) + p.FP(2) * p.STECHIO(6) * KRESPAUX(i) * CXCHLA(i) * VI;
  }
  resolver_columna(p, PORG, p.c.ERRORCONC, false);
}

// 8. Phosphate: loss; the rest of the respired phosphorus less the uptake
// of the new algae, and the mineralised new organic phosphorus.
void fosfato(const Pasada& p) {
  TrabajoTramo& w = p.w;
  const int N = p.N, PO4 = p.c.POS.PO4;
  const View<double> DIAG2 = w.DIAGAUX.run(N), WI2 = w.WIAUX.run(N);
  const View<const double> DIAG = w.DIAG.run(N, PO4), WI = w.WI.run(N, PO4), VIs = w.VI.run(N),
                           KFOSFAAUX = w.KFOSFAAUX.run(N), KFOSFAUX = w.KFOSFAUX.run(N), KRESPAUX = w.KRESPAUX.run(N),
                           KGROWAUX2 = w.KGROWAUX2.run(N), CXCHLA = w.CX.run(N, p.c.POS.CHLA),
                           CXPORG = w.CX.run(N, p.c.POS.PORG);
  for (int i = 1; i <= N; ++i) {
    const double VI = VIs(i);
    DIAG2(i) = DIAG(i) + KFOSFAAUX(i) * VI;
    WI2(i) = WI(i) +
             (((1.0 - p.FP(2)) * KRESPAUX(i) - KGROWAUX2(i)) * p.STECHIO(6) * CXCHLA(i) + KFOSFAUX(i) * CXPORG(i)) * VI;
  }
  resolver_columna(p, PO4, p.c.ERRORCONC, false);
}

// One pass: the rows of each constituent rebuilt from the stored transport
// rows and solved in their order.
void pasada(const Pasada& p, double& SUMAOD) {
  materia_organica(p);
  oxigeno(p, SUMAOD);
  if (p.nitrogeno) {
    nitrogeno_organico(p);
    amonio(p);
    nitrato(p);
  }
  if (p.fito) {
    clorofila(p);
    fosforo_organico(p);
    fosfato(p);
  }
}

// The first guess of the passes: the head concentrations (organic nitrogen
// is solved before anything reads it).
void primera_estimacion(const Pasada& p) {
  const PosicionesContaminantes& pos = p.c.POS;
  const Array1<double>& CO = *p.t.CO;
  for (int i = 1; i <= p.N; ++i) {
    p.w.CX(i, pos.DBO) = CO(pos.DBO);
    p.w.CX(i, pos.OD) = CO(pos.OD);
    if (p.nitrogeno) {
      p.w.CX(i, pos.NH4) = CO(pos.NH4);
      p.w.CX(i, pos.NO3) = CO(pos.NO3);
    }
    if (p.fito) {
      p.w.CX(i, pos.CHLA) = CO(pos.CHLA);
      p.w.CX(i, pos.PORG) = CO(pos.PORG);
      p.w.CX(i, pos.PO4) = CO(pos.PO4);
    }
  }
}

// A pass toward the fixed point: the rates of the oxygen it starts with, the
// decay of that oxygen undamped (at the fixed point the damped decay is that
// decay), and the pass `p`. Returns the change of the oxygen, summed over
// the segments in absolute value; the sum of the new oxygen goes to SUMAOD.
double pasada_hacia_punto_fijo(Modelo& m, const Pasada& p, double& SUMAOD) {
  TrabajoTramo& w = p.w;
  const int N = p.N, OD = p.c.POS.OD;
  tasas_pasada(m, w, p.t);
  for (int i = 1; i <= N; ++i) {
    w.KDAUX2(i) = w.KDACTUAL(i);
    w.KDPREV(i) = w.KDACTUAL(i);
    w.SOLAUX(i) = w.CX(i, OD);
  }
  SUMAOD = 0.0;
  pasada(p, SUMAOD);
  double cambio = 0.0;
  for (int i = 1; i <= N; ++i) cambio += std::fabs(w.CX(i, OD) - w.SOLAUX(i));
  return cambio;
}

// Whether the oxygen of the passes toward the fixed point has settled: a
// change of at most a billionth of 1 mg/l plus the summed oxygen.
bool asentado(double cambio, double SUMAOD) { return cambio <= 1e-9 * (1.0 + SUMAOD); }

// The share of decay and nitrification that the 1 mg/l switch leaves on at
// oxygen O, as a ramp over the 0.01 mg/l below the threshold: the passes
// switch the two sinks fully on at 1 mg/l and off below it, and where a
// segment's oxygen settles nowhere (on, the oxygen falls below 1; off, it
// rises above) the ramp lets the passes settle with the segment at the
// threshold and the sinks partly on.
double rampa(double O) {
  constexpr double ANCHO = 0.01;
  if (O >= 1.0) return 1.0;
  if (O <= 1.0 - ANCHO) return 0.0;
  return (O - (1.0 - ANCHO)) / ANCHO;
}

// How a month whose passes reach their cap ends.
enum class Desenlace {
  PUNTO_FIJO,  // at the fixed point of the passes: one more pass changes
               // the summed oxygen by 0.5 or less
  UMBRAL,      // the 1 mg/l switch leaves the passes no fixed point: the
               // fixed point with the switch taken gradually
  SIN_ASENTAR  // even the relaxed passes do not settle: their last state
};

// Carries a month whose passes reach their cap to the fixed point of the
// passes, from the first guess again, so that what the month takes does not
// depend on where in its cycle the cap stopped the passes:
// 1. Passes whose oxygen sinks are linear in the new oxygen (oxigeno_lineal)
//    until the oxygen settles (at most TOPE). They have the fixed points of
//    the passes.
// 2. One pass of the month's own rows from there: where it changes the
//    summed oxygen by 0.5 or less (the passes' own test), the month is at
//    the fixed point of its passes and takes that pass.
// 3. Otherwise relaxed passes: the switch of the sinks at 1 mg/l of each
//    segment becomes a share (UMBRAL) moved toward the ramp of its oxygen,
//    and the state of each pass is moved only a fraction OMEGA of the way to
//    what the pass gives; OMEGA is halved (down to 1/1024) whenever the
//    oxygen changes more than in the pass before, and grows by a quarter (up
//    to 1/2) otherwise. At most TOPE passes, until the oxygen and the shares
//    settle; then one pass of the month's own rows again. Where it meets
//    the test the month takes it (a fixed point). Where it does not, and the
//    relaxed passes settled, the switch has no fixed point and the month
//    takes the fixed point of the gradual switch, with a segment held at the
//    threshold and its sinks partly on; where they did not settle, the
//    month takes their last state.
Desenlace punto_fijo(Modelo& m, const Pasada& datos) {
  constexpr int TOPE = 1000;
  TrabajoTramo& w = datos.w;
  const int N = datos.N, OD = datos.c.POS.OD;
  Pasada lineal(datos);
  lineal.lineal = true;
  primera_estimacion(datos);
  double SUMAOD = 0.0;
  for (int n = 1; n <= TOPE; ++n)
    if (asentado(pasada_hacia_punto_fijo(m, lineal, SUMAOD), SUMAOD)) break;
  // Values out of every scale (a load that overflows) leave no oxygen to
  // settle: the outlet flags them.
  if (!std::isfinite(SUMAOD)) return Desenlace::SIN_ASENTAR;

  // The state of the passes toward the fixed point, kept while a pass of the
  // month's own rows is tried from it, and while a relaxed pass is made.
  const int NC = static_cast<int>(w.CX.size(2));
  auto guardar = [&] {
    for (int k = 1; k <= NC; ++k)
      for (int i = 1; i <= N; ++i) w.CXGUARDADO(i, k) = w.CX(i, k);
  };
  auto recuperar = [&] {
    for (int k = 1; k <= NC; ++k)
      for (int i = 1; i <= N; ++i) w.CX(i, k) = w.CXGUARDADO(i, k);
  };
  // The test of the passes, by one pass of the month's own rows from the
  // state in hand, which stays where the pass does not meet it.
  auto una_pasada_mas = [&] {
    guardar();
    double SUMAODANT = 0.0;
    for (int i = 1; i <= N; ++i) SUMAODANT = SUMAODANT + w.CX(i, OD);
    double SUMA = 0.0;
    pasada_hacia_punto_fijo(m, datos, SUMA);
    if (std::fabs(SUMAODANT - SUMA) <= 0.5) return true;
    recuperar();
    return false;
  };
  if (una_pasada_mas()) return Desenlace::PUNTO_FIJO;

  Pasada relajada(lineal);
  relajada.umbral = true;
  for (int i = 1; i <= N; ++i) w.UMBRAL(i) = w.CX(i, OD) >= 1.0 ? 1.0 : 0.0;
  double OMEGA = 0.5;
  double cambio_antes = std::numeric_limits<double>::infinity();
  bool asentada = false;
  for (int n = 1; n <= TOPE && !asentada; ++n) {
    double cambio_umbral = 0.0;
    for (int i = 1; i <= N; ++i) {
      const double resto = rampa(w.CX(i, OD)) - w.UMBRAL(i);
      w.UMBRAL(i) = w.UMBRAL(i) + OMEGA * resto;
      cambio_umbral += std::fabs(resto);
    }
    guardar();
    const double cambio = pasada_hacia_punto_fijo(m, relajada, SUMAOD);
    asentada = asentado(cambio, SUMAOD) && cambio_umbral <= 1e-9 * N;
    if (asentada) break;
    OMEGA = cambio > cambio_antes ? std::max(0.5 * OMEGA, 1.0 / 1024.0) : std::min(1.25 * OMEGA, 0.5);
    cambio_antes = cambio;
    for (int k = 1; k <= NC; ++k)
      for (int i = 1; i <= N; ++i) w.CX(i, k) = w.CXGUARDADO(i, k) + OMEGA * (w.CX(i, k) - w.CXGUARDADO(i, k));
  }
  if (una_pasada_mas()) return Desenlace::PUNTO_FIJO;
  return asentada ? Desenlace::UMBRAL : Desenlace::SIN_ASENTAR;
}

}  // namespace

void iteracion_oxigeno(Modelo& m, TrabajoTramo& w, const Tramo& t) {
  const Calidad& c = m.cal;
  const int N = t.N;

  // The cap: max(50, INT(NUMMAXITERCOND)).
  int MAXITERCOND = 50;
  if (!(50.0 > c.NUMMAXITERCOND)) {
    const double tope = std::trunc(c.NUMMAXITERCOND);
    MAXITERCOND = tope < std::numeric_limits<int>::max() ? static_cast<int>(tope) : std::numeric_limits<int>::max();
  }

  const Pasada datos(m, w, t);
  primera_estimacion(datos);
  double SUMAODANT = 100.0;
  double SUMAOD = 0.0;
  int NUMITERCOND = 0;
  while (!(std::fabs(SUMAODANT - SUMAOD) <= 0.5)) {
    NUMITERCOND = NUMITERCOND + 1;
    if (NUMITERCOND > 1) {
      SUMAODANT = SUMAOD;
      SUMAOD = 0.0;
    }
    if (NUMITERCOND > MAXITERCOND) {
      nota(w, {"Los calculos iterativos para obtener el estado estacionario no han convergido"});
      nota(w, {"Año, Mes, Numero de Conduccion:", t.ANO, t.MES, t.I});
      switch (punto_fijo(m, datos)) {
        case Desenlace::PUNTO_FIJO:
          nota(w, {"Se asume el punto fijo de las iteraciones"});
          break;
        case Desenlace::UMBRAL:
          nota(w, {"El umbral de 1 mg/l de oxígeno no deja punto fijo: se asume el del umbral gradual"});
          break;
        case Desenlace::SIN_ASENTAR:
          nota(w, {"Las iteraciones relajadas no convergen: se asume su último estado"});
          break;
      }
      return;
    }
    tasas_pasada(m, w, t);
    for (int i = 1; i <= N; ++i) {
      w.KDAUX2(i) = NUMITERCOND == 1 ? w.KDACTUAL(i) : 0.5 * (w.KDACTUAL(i) + w.KDPREV(i));
      w.KDPREV(i) = w.KDACTUAL(i);
    }
    pasada(datos, SUMAOD);
  }
}

}  // namespace tornal
