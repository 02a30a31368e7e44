// The kinetic sub-step loop and its first two constituents: organic matter
// L ("DBO5"), which decays and settles, and dissolved oxygen, which gains by
// reaeration toward saturation and loses to the decay of L, to
// nitrification and to algal respiration and gains by algal growth; and the
// anoxia of the bottom layer, which the sediment fluxes of the nitrogen and
// phosphorus cycles read.
#include "reservoir/reservoir_steps.h"

namespace tornal {
namespace {

void materia_organica(Modelo& m, TrabajoEmbalse& w, int j) {
  const int L = m.cal.POS.DBO;
  const double VSL = m.cal.VSLEMB(w.K);
  const double Lp1 = w.P1(j, L);
  const double sed1 = w.cociente(VSL, w.ZEPILI(j)) * w.dt;     // settled out of layer 1
  w.AC1I(j, L) = w.AC1I(j, L) - w.KDAUX1(j) - sed1;
  w.MASAEPL(j, 1) = -w.KDAUX1(j) * Lp1;
  w.MASAEPL(j, 2) = -sed1 * Lp1;
  if (w.dos_capas()) {
    const double Lp2 = w.P2(j, L);
    const double sed2 = w.cociente(VSL, w.ZHYPI(j)) * w.dt;    // settled out of layer 2
    const double sed12 = w.cociente(w.V1I(j), w.V2I(j)) * w.cociente(VSL, w.ZEPILI(j)) * w.dt;  // into layer 2
    w.AC2I(j, L) = w.AC2I(j, L) - w.KDAUX2(j) - sed2;
    w.BC2I(j, L) = w.BC2I(j, L) + sed12;
    w.MASAHIPL(j, 1) = -w.KDAUX2(j) * Lp2;
    w.MASAHIPL(j, 2) = -sed2 * Lp2;
    w.MASAHIPL(j, 3) = w.cociente(VSL, w.ZEPILI(j)) * w.cociente(w.V1I(j), w.V2I(j)) * w.dt * Lp1;
  }
  integrar(m, w, L, j);
}

// The oxygen terms of one layer: reaeration, decay of L, nitrification and
// algae, each computed once and booked from the same value.
void oxigeno_capa(Modelo& m, int j, double& AC, double& DC, Array2<double>& MASA, double KA,
                  double OSAT, double KD, double KNAI, double KGROW, double KRESP, double ODp, double Lp, double NH4p,
                  double Chlap) {
  const Calidad& cal = m.cal;
  const Array1<double>& ST = cal.STECHIO;
  const double dbo = KD * Lp;                          // decay of organic matter
  AC = AC - KA;
  DC = DC + KA * OSAT - dbo;
  MASA(j, 1) = KA * (OSAT - ODp);
  MASA(j, 2) = -dbo;
  if (cal.OPCIONNITROGENO != 1) return;
  const double nitrificacion = ST(1) * KNAI * NH4p;
  DC = DC - nitrificacion;
  MASA(j, 3) = -nitrificacion;
  if (cal.OPCIONFITOPLANCTON != 1) return;
  const double crecimiento = ST(3) * KGROW;
  const double respiracion = ST(4) * KRESP;
  DC = DC + (crecimiento - respiracion) * Chlap;
  MASA(j, 4) = crecimiento * Chlap;
  MASA(j, 5) = -respiracion * Chlap;
}

void oxigeno(Modelo& m, TrabajoEmbalse& w, int j) {
  const PosicionesContaminantes& P = m.cal.POS;
  const int OD = P.OD;
  // Nitrogen and algae, when absent, read as nothing.
  auto p1 = [&](int c) { return c > 0 ? w.P1(j, c) : 0.0; };
  auto p2 = [&](int c) { return c > 0 ? w.P2(j, c) : 0.0; };
  oxigeno_capa(m, j, w.AC1I(j, OD), w.DC1I(j, OD), w.MASAEPOD, w.KAAUX1(j), w.OSATAUX1(j), w.KDAUX1(j),
               w.KNAIAUX1(j), w.KGROWAUX1(j), w.KRESPAUX1(j), p1(OD), p1(P.DBO), p1(P.NH4), p1(P.CHLA));
  if (w.dos_capas())
    oxigeno_capa(m, j, w.AC2I(j, OD), w.DC2I(j, OD), w.MASAHIPOD, w.KAAUX2(j), w.OSATAUX2(j), w.KDAUX2(j),
                 w.KNAIAUX2(j), w.KGROWAUX2(j), w.KRESPAUX2(j), p2(OD), p2(P.DBO), p2(P.NH4), p2(P.CHLA));
  integrar(m, w, OD, j);
  // Anoxia of the bottom layer at the end of the sub-step.
  w.ANOXICO = (w.dos_capas() ? w.C2I(j, OD) : w.C1I(j, OD)) < 1.0;
}

}  // namespace

void materia_organica_oxigeno(Modelo& m, TrabajoEmbalse& w, int j) {
  materia_organica(m, w, j);
  oxigeno(m, w, j);
}

// The month's rates, then sub-step by sub-step the oxygen limitations and
// growth rates and the constituents in their fixed order, each solved before
// the next, every coupling read at the end of the sub-step before. The
// hypolimnion's algae take the factor FITOENELHIPO once, when the month is
// done.
void cinetica(Modelo& m, TrabajoEmbalse& w) {
  const Calidad& cal = m.cal;
  tasas_cineticas(m, w);
  w.ANOXICO = false;
  for (int j = 1; j <= w.NSUB; ++j) {
    limitaciones_oxigeno(m, w, j);
    materia_organica_oxigeno(m, w, j);
    if (cal.OPCIONNITROGENO != 1) continue;
    ciclo_nitrogeno(m, w, j);
    if (cal.OPCIONFITOPLANCTON == 1) fitoplancton_fosforo(m, w, j);
  }
  if (cal.OPCIONNITROGENO == 1 && cal.OPCIONFITOPLANCTON == 1 && w.dos_capas())
    for (int j = 1; j <= w.NSUB; ++j) w.C2I(j, cal.POS.CHLA) = w.C2I(j, cal.POS.CHLA) * cal.FITOENELHIPO;
}

}  // namespace tornal
