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

// Solves constituent k from the stored subdiagonal and superdiagonal and
// the rows in hand (DIAGAUX, WIAUX) and stores the solution, clipped below
// `minimo` (ERRORCONC, or 0 for oxygen) to 0.
void resolver_columna(Modelo& m, const Tramo& t, int k, double minimo, bool estricto_cero) {
  TrabajoTramo& w = m.tramo;
  const int N = t.N;
  const Run<double> X = w.CX.run(N, k);
  resolver(m, t, w.DIAGAUX.run(N), w.WIAUX.run(N), X);
  for (int i = 1; i <= N; ++i) {
    const double v = X(i);
    if (estricto_cero)
      X(i) = v < 0.0 ? 0.0 : v;
    else
      X(i) = minimo > v ? 0.0 : v;
  }
}

// One pass: the rows of each constituent rebuilt from the stored transport
// rows and solved in their order.
void pasada(Modelo& m, const Tramo& t, double& SUMAOD) {
  TrabajoTramo& w = m.tramo;
  const Calidad& c = m.cal;
  const PosicionesContaminantes& p = c.POS;
  const int I = t.I;
  const int N = t.N;
  const double ERRORCONC = c.ERRORCONC;
  const bool nitrogeno = c.OPCIONNITROGENO == 1;
  const bool fito = c.OPCIONFITOPLANCTON == 1;
  const Array1<double>& STECHIO = c.STECHIO;
  const Array1<double>& FP = c.FACTORPREFERENCIA;
  const int L = p.DBO, OD = p.OD, NORG = p.NORG, NH4 = p.NH4, NO3 = p.NO3, CHLA = p.CHLA, PORG = p.PORG,
            PO4 = p.PO4;
  // The rows in hand, the segments and the rates of the pass.
  const Run<double> DIAG2 = w.DIAGAUX.run(N), WI2 = w.WIAUX.run(N);
  const Run<const double> VIs = w.VI.run(N), Y = w.Y.run(N), KDAUX2 = w.KDAUX2.run(N), KAAUX = w.KAAUX.run(N),
                          OSATAUX = w.OSATAUX.run(N), KNAIAUX2 = w.KNAIAUX2.run(N), KGROWAUX2 = w.KGROWAUX2.run(N),
                          KRESPAUX = w.KRESPAUX.run(N), KNOAAUX = w.KNOAAUX.run(N), KNO3AUX2 = w.KNO3AUX2.run(N),
                          KFOSFAUX = w.KFOSFAUX.run(N), KFOSFAAUX = w.KFOSFAAUX.run(N);
  // The columns that the first guess of the iteration has already set.
  const Run<const double> CXL = w.CX.run(N, L), CXOD = w.CX.run(N, OD);
  const Run<const double> CXNH4 = nitrogeno ? w.CX.run(N, NH4) : Run<const double>();
  const Run<const double> CXCHLA = fito ? w.CX.run(N, CHLA) : Run<const double>();

  // 1. Organic matter: decay only where the previous pass left 1 mg/l of
  // oxygen or more; settling everywhere.
  {
    const Run<const double> DIAG = w.DIAG.run(N, L), WI = w.WI.run(N, L);
    const double VS = c.VSLCOND(I);
    for (int i = 1; i <= N; ++i) {
      const double VI = VIs(i);
      if (CXOD(i) >= 1.0)
        DIAG2(i) = DIAG(i) + KDAUX2(i) * VI + sedimenta(VS, VI, Y(i));
      else
        DIAG2(i) = DIAG(i) + sedimenta(VS, VI, Y(i));
      WI2(i) = WI(i);
    }
    resolver_columna(m, t, L, ERRORCONC, false);
  }

  // 2. Oxygen: reaeration towards saturation, the demand of the new organic
  // matter; with nitrogen, the nitrification demand and the algae.
  {
    const Run<const double> DIAG = w.DIAG.run(N, OD), WI = w.WI.run(N, OD);
    for (int i = 1; i <= N; ++i) {
      const double VI = VIs(i);
      DIAG2(i) = DIAG(i) + KAAUX(i) * VI;
      WI2(i) = WI(i) + (KAAUX(i) * OSATAUX(i) - KDAUX2(i) * CXL(i)) * VI;
      if (nitrogeno) {
        WI2(i) = WI2(i) - STECHIO(1) * KNAIAUX2(i) * CXNH4(i) * VI;
        if (fito) WI2(i) = WI2(i) + (STECHIO(3) * KGROWAUX2(i) - STECHIO(4) * KRESPAUX(i)) * CXCHLA(i) * VI;
      }
    }
    resolver_columna(m, t, OD, 0.0, true);
    for (int i = 1; i <= N; ++i) SUMAOD = SUMAOD + CXOD(i);
  }

  if (nitrogeno) {
    // 3. Organic nitrogen: hydrolysis and settling; respired algal nitrogen.
    {
      const Run<const double> DIAG = w.DIAG.run(N, NORG), WI = w.WI.run(N, NORG);
      const double VS = c.VSNOCOND(I);
      for (int i = 1; i <= N; ++i) {
        const double VI = VIs(i);
        DIAG2(i) = DIAG(i) + KNOAAUX(i) * VI + sedimenta(VS, VI, Y(i));
        WI2(i) = WI(i);
        if (fito) WI2(i) = WI2(i) + STECHIO(5) * KRESPAUX(i) * CXCHLA(i) * VI;
      }
      resolver_columna(m, t, NORG, ERRORCONC, false);
    }

    // 4. Ammonium: nitrification where the new oxygen is 1 mg/l or more;
    // hydrolysis of the new organic nitrogen; algal uptake.
    {
      const Run<const double> DIAG = w.DIAG.run(N, NH4), WI = w.WI.run(N, NH4), CXNORG = w.CX.run(N, NORG);
      for (int i = 1; i <= N; ++i) {
        const double VI = VIs(i);
        DIAG2(i) = CXOD(i) >= 1.0 ? DIAG(i) + KNAIAUX2(i) * VI : DIAG(i);
        WI2(i) = WI(i) + KNOAAUX(i) * CXNORG(i) * VI;
        if (fito) WI2(i) = WI2(i) - FP(1) * STECHIO(5) * KGROWAUX2(i) * CXCHLA(i) * VI;
      }
      resolver_columna(m, t, NH4, ERRORCONC, false);
    }

    // 5. Nitrate: denitrification; nitrification of the new ammonium; algal
    // uptake.
    {
      const Run<const double> DIAG = w.DIAG.run(N, NO3), WI = w.WI.run(N, NO3);
      for (int i = 1; i <= N; ++i) {
        const double VI = VIs(i);
        DIAG2(i) = DIAG(i) + KNO3AUX2(i) * VI;
        WI2(i) = WI(i) + KNAIAUX2(i) * CXNH4(i) * VI;
        if (fito) WI2(i) = WI2(i) - (1.0 - FP(1)) * STECHIO(5) * KGROWAUX2(i) * CXCHLA(i) * VI;
      }
      resolver_columna(m, t, NO3, ERRORCONC, false);
    }
  }

  if (fito) {
    // 6. Chlorophyll-a: net growth and settling.
    {
      const Run<const double> DIAG = w.DIAG.run(N, CHLA), WI = w.WI.run(N, CHLA);
      const double VS = c.VSALGCOND(I);
      for (int i = 1; i <= N; ++i) {
        const double VI = VIs(i);
        DIAG2(i) = DIAG(i) - (KGROWAUX2(i) - KRESPAUX(i)) * VI + sedimenta(VS, VI, Y(i));
        WI2(i) = WI(i);
      }
      resolver_columna(m, t, CHLA, ERRORCONC, false);
    }

    // 7. Organic phosphorus: mineralisation and settling; its share of the
    // phosphorus respired by the new algae.
    {
      const Run<const double> DIAG = w.DIAG.run(N, PORG), WI = w.WI.run(N, PORG);
      const double VS = c.VSFOSFCOND(I);
      for (int i = 1; i <= N; ++i) {
        const double VI = VIs(i);
        DIAG2(i) = DIAG(i) + KFOSFAUX(i) * VI + sedimenta(VS, VI, Y(i));
        WI2(i) = WI(i) + FP(2) * STECHIO(6) * KRESPAUX(i) * CXCHLA(i) * VI;
      }
      resolver_columna(m, t, PORG, ERRORCONC, false);
    }

    // 8. Phosphate: loss; the rest of the respired phosphorus less the
    // uptake of the new algae, and the mineralised new organic phosphorus.
    {
      const Run<const double> DIAG = w.DIAG.run(N, PO4), WI = w.WI.run(N, PO4), CXPORG = w.CX.run(N, PORG);
      for (int i = 1; i <= N; ++i) {
        const double VI = VIs(i);
        DIAG2(i) = DIAG(i) + KFOSFAAUX(i) * VI;
        WI2(i) = WI(i) + (((1.0 - FP(2)) * KRESPAUX(i) - KGROWAUX2(i)) * STECHIO(6) * CXCHLA(i) + KFOSFAUX(i) * CXPORG(i)) * VI;
      }
      resolver_columna(m, t, PO4, ERRORCONC, false);
    }
  }
}

}  // namespace

void iteracion_oxigeno(Modelo& m, const Tramo& t) {
  TrabajoTramo& w = m.tramo;
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
      m.log.write({"Los calculos iterativos para obtener el estado estacionario no han convergido"});
      m.log.write({"Año, Mes, Numero de Conduccion:", t.ANO, t.MES, t.I});
      m.log.write({"Se asume la concentracion de la ultima iteracion"});
      return;
    }
    tasas_pasada(m, t);
    for (int i = 1; i <= N; ++i) {
      w.KDAUX2(i) = NUMITERCOND == 1 ? w.KDACTUAL(i) : 0.5 * (w.KDACTUAL(i) + w.KDPREV(i));
      w.KDPREV(i) = w.KDACTUAL(i);
    }
    pasada(m, t, SUMAOD);
  }
}

}  // namespace tornal
