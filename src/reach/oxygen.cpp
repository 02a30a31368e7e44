// The oxygen iteration of a reach: organic matter (L), dissolved oxygen and,
// by option, organic nitrogen, ammonium, nitrate, chlorophyll-a, organic
// phosphorus and phosphate, solved one after another in passes. A coupling
// term reads the value solved earlier in the same pass when its
// constituent comes earlier in the order, and the previous pass's value
// otherwise; the passes end when the sum of the oxygen over the segments
// changes by 0.5 or less, or at the cap on passes.
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

  Modelo& m;
  const Tramo& t;
  TrabajoTramo& w;
  const Calidad& c;
  const int I, N;
  const bool nitrogeno, fito;
  const Array1<double>& STECHIO;
  const Array1<double>& FP;
};

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

// 2. Oxygen: reaeration towards saturation, the demand of the new organic
// matter; with nitrogen, the nitrification demand and the algae. Adds the
// new oxygen of the segments to SUMAOD.
void oxigeno(const Pasada& p, double& SUMAOD) {
  TrabajoTramo& w = p.w;
  const int N = p.N, OD = p.c.POS.OD;
  const View<double> DIAG2 = w.DIAGAUX.run(N), WI2 = w.WIAUX.run(N);
  const View<const double> DIAG = w.DIAG.run(N, OD), WI = w.WI.run(N, OD), VIs = w.VI.run(N), KAAUX = w.KAAUX.run(N),
                           OSATAUX = w.OSATAUX.run(N), KDAUX2 = w.KDAUX2.run(N), CXL = w.CX.run(N, p.c.POS.DBO);
  for (int i = 1; i <= N; ++i) {
    const double VI = VIs(i);
    DIAG2(i) = DIAG(i) + KAAUX(i) * VI;
    WI2(i) = WI(i) + (KAAUX(i) * OSATAUX(i) - KDAUX2(i) * CXL(i)) * VI;
  }
  if (p.nitrogeno) {
    const View<const double> KNAIAUX2 = w.KNAIAUX2.run(N), CXNH4 = w.CX.run(N, p.c.POS.NH4);
    for (int i = 1; i <= N; ++i) WI2(i) = WI2(i) - p.STECHIO(1) * KNAIAUX2(i) * CXNH4(i) * VIs(i);
    if (p.fito) {
      const View<const double> KGROWAUX2 = w.KGROWAUX2.run(N), KRESPAUX = w.KRESPAUX.run(N),
                               CXCHLA = w.CX.run(N, p.c.POS.CHLA);
      for (int i = 1; i <= N; ++i)
        WI2(i) = WI2(i) + (p.STECHIO(3) * KGROWAUX2(i) - p.STECHIO(4) * KRESPAUX(i)) * CXCHLA(i) * VIs(i);
    }
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
  for (int i = 1; i <= N; ++i) {
    const double VI = VIs(i);
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

}  // namespace

void iteracion_oxigeno(Modelo& m, TrabajoTramo& w, const Tramo& t) {
  const Calidad& c = m.cal;
  const PosicionesContaminantes& p = c.POS;
  const Array1<double>& CO = *t.CO;
  const int N = t.N;

  // The cap: max(50, INT(NUMMAXITERCOND)).
  int MAXITERCOND = 50;
  if (!(50.0 > c.NUMMAXITERCOND)) {
    const double tope = std::trunc(c.NUMMAXITERCOND);
    MAXITERCOND = tope < std::numeric_limits<int>::max() ? static_cast<int>(tope) : std::numeric_limits<int>::max();
  }

  // First guess: the head concentrations (organic nitrogen is solved before
  // anything reads it).
  for (int i = 1; i <= N; ++i) {
    w.CX(i, p.DBO) = CO(p.DBO);
    w.CX(i, p.OD) = CO(p.OD);
    if (c.OPCIONNITROGENO == 1) {
      w.CX(i, p.NH4) = CO(p.NH4);
      w.CX(i, p.NO3) = CO(p.NO3);
    }
    if (c.OPCIONFITOPLANCTON == 1) {
      w.CX(i, p.CHLA) = CO(p.CHLA);
      w.CX(i, p.PORG) = CO(p.PORG);
      w.CX(i, p.PO4) = CO(p.PO4);
    }
  }

  const Pasada datos(m, w, t);
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
      nota(w, {"Se asume la concentracion de la ultima iteracion"});
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
