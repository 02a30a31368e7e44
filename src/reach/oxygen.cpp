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

// Settling of a segment: velocity (m/day) times the bed area VI / Y (none
// in a segment without depth).
double sedimenta(double VS, const TrabajoTramo& w, int i) { return w.Y(i) != 0.0 ? VS * w.VI(i) / w.Y(i) : 0.0; }

// Solves constituent k from DIAG2 and WI2 and stores the solution, clipped
// below `minimo` (ERRORCONC, or 0 for oxygen) to 0.
void resolver_columna(Modelo& m, const Tramo& t, int k, double minimo, bool estricto_cero) {
  TrabajoTramo& w = m.tramo;
  copiar_filas(w, t.N, k);
  for (int i = 1; i <= t.N; ++i) {
    w.DIAGAUX(i) = w.DIAG2(i, k);
    w.WIAUX(i) = w.WI2(i, k);
  }
  resolver(m, t);
  for (int i = 1; i <= t.N; ++i) {
    const double v = w.SOLAUX(i);
    if (estricto_cero)
      w.CX(i, k) = v < 0.0 ? 0.0 : v;
    else
      w.CX(i, k) = minimo > v ? 0.0 : v;
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

  // 1. Organic matter: decay only where the previous pass left 1 mg/l of
  // oxygen or more; settling everywhere.
  for (int i = 1; i <= N; ++i) {
    const double VI = w.VI(i);
    if (w.CX(i, OD) >= 1.0)
      w.DIAG2(i, L) = w.DIAG(i, L) + w.KDAUX2(i) * VI + sedimenta(c.VSLCOND(I), w, i);
    else
      w.DIAG2(i, L) = w.DIAG(i, L) + sedimenta(c.VSLCOND(I), w, i);
    w.WI2(i, L) = w.WI(i, L);
  }
  resolver_columna(m, t, L, ERRORCONC, false);

  // 2. Oxygen: reaeration towards saturation, the demand of the new organic
  // matter; with nitrogen, the nitrification demand and the algae.
  for (int i = 1; i <= N; ++i) {
    const double VI = w.VI(i);
    w.DIAG2(i, OD) = w.DIAG(i, OD) + w.KAAUX(i) * VI;
    w.WI2(i, OD) = w.WI(i, OD) + (w.KAAUX(i) * w.OSATAUX(i) - w.KDAUX2(i) * w.CX(i, L)) * VI;
    if (nitrogeno) {
      w.WI2(i, OD) = w.WI2(i, OD) - STECHIO(1) * w.KNAIAUX2(i) * w.CX(i, NH4) * VI;
      if (fito)
        w.WI2(i, OD) =
            w.WI2(i, OD) + (STECHIO(3) * w.KGROWAUX2(i) - STECHIO(4) * w.KRESPAUX(i)) * w.CX(i, CHLA) * VI;
    }
  }
  resolver_columna(m, t, OD, 0.0, true);
  for (int i = 1; i <= N; ++i) SUMAOD = SUMAOD + w.CX(i, OD);

  if (nitrogeno) {
    // 3. Organic nitrogen: hydrolysis and settling; respired algal nitrogen.
    for (int i = 1; i <= N; ++i) {
      const double VI = w.VI(i);
      w.DIAG2(i, NORG) = w.DIAG(i, NORG) + w.KNOAAUX(i) * VI + sedimenta(c.VSNOCOND(I), w, i);
      w.WI2(i, NORG) = w.WI(i, NORG);
      if (fito) w.WI2(i, NORG) = w.WI2(i, NORG) + STECHIO(5) * w.KRESPAUX(i) * w.CX(i, CHLA) * VI;
    }
    resolver_columna(m, t, NORG, ERRORCONC, false);

    // 4. Ammonium: nitrification where the new oxygen is 1 mg/l or more;
    // hydrolysis of the new organic nitrogen; algal uptake.
    for (int i = 1; i <= N; ++i) {
      const double VI = w.VI(i);
      w.DIAG2(i, NH4) = w.CX(i, OD) >= 1.0 ? w.DIAG(i, NH4) + w.KNAIAUX2(i) * VI : w.DIAG(i, NH4);
      w.WI2(i, NH4) = w.WI(i, NH4) + w.KNOAAUX(i) * w.CX(i, NORG) * VI;
      if (fito)
        w.WI2(i, NH4) = w.WI2(i, NH4) - FP(1) * STECHIO(5) * w.KGROWAUX2(i) * w.CX(i, CHLA) * VI;
    }
    resolver_columna(m, t, NH4, ERRORCONC, false);

    // 5. Nitrate: denitrification; nitrification of the new ammonium; algal
    // uptake.
    for (int i = 1; i <= N; ++i) {
      const double VI = w.VI(i);
      w.DIAG2(i, NO3) = w.DIAG(i, NO3) + w.KNO3AUX2(i) * VI;
      w.WI2(i, NO3) = w.WI(i, NO3) + w.KNAIAUX2(i) * w.CX(i, NH4) * VI;
      if (fito)
        w.WI2(i, NO3) = w.WI2(i, NO3) - (1.0 - FP(1)) * STECHIO(5) * w.KGROWAUX2(i) * w.CX(i, CHLA) * VI;
    }
    resolver_columna(m, t, NO3, ERRORCONC, false);
  }

  if (fito) {
    // 6. Chlorophyll-a: net growth and settling.
    for (int i = 1; i <= N; ++i) {
      const double VI = w.VI(i);
      w.DIAG2(i, CHLA) = w.DIAG(i, CHLA) - (w.KGROWAUX2(i) - w.KRESPAUX(i)) * VI + sedimenta(c.VSALGCOND(I), w, i);
      w.WI2(i, CHLA) = w.WI(i, CHLA);
    }
    resolver_columna(m, t, CHLA, ERRORCONC, false);

    // 7. Organic phosphorus: mineralisation and settling; its share of the
    // phosphorus respired by the new algae.
    for (int i = 1; i <= N; ++i) {
      const double VI = w.VI(i);
      w.DIAG2(i, PORG) = w.DIAG(i, PORG) + w.KFOSFAUX(i) * VI + sedimenta(c.VSFOSFCOND(I), w, i);
      w.WI2(i, PORG) = w.WI(i, PORG) + FP(2) * STECHIO(6) * w.KRESPAUX(i) * w.CX(i, CHLA) * VI;
    }
    resolver_columna(m, t, PORG, ERRORCONC, false);

    // 8. Phosphate: loss; the rest of the respired phosphorus less the
    // uptake of the new algae, and the mineralised new organic phosphorus.
    for (int i = 1; i <= N; ++i) {
      const double VI = w.VI(i);
      w.DIAG2(i, PO4) = w.DIAG(i, PO4) + w.KFOSFAAUX(i) * VI;
      w.WI2(i, PO4) = w.WI(i, PO4) + (((1.0 - FP(2)) * w.KRESPAUX(i) - w.KGROWAUX2(i)) * STECHIO(6) * w.CX(i, CHLA) +
                                      w.KFOSFAUX(i) * w.CX(i, PORG)) *
                                         VI;
    }
    resolver_columna(m, t, PO4, ERRORCONC, false);
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
  for (int i = 1; i <= N; ++i)
    for (int k = 1; k <= c.NUMCONTAMINANTES; ++k) w.WI2(i, k) = w.WI(i, k);

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
