// The kinetic sub-step loop and its first two constituents: organic matter
// L ("DBO5"), which decays and settles, and dissolved oxygen, which gains by
// reaeration toward saturation and loses to the decay of L, to
// nitrification and to algal respiration and gains by algal growth; and the
// anoxia of the bottom layer, which the sediment fluxes of the nitrogen and
// phosphorus cycles read.
#include "reservoir/layer.h"
#include "reservoir/reservoir_steps.h"

namespace tornal {
namespace {

// Organic matter of one layer: decay and settling out of the layer.
void materia_organica_capa(Modelo& m, TrabajoEmbalse& w, const CapaEmbalse& c, int j) {
  const int L = m.cal.POS.DBO;
  const double Lp = c.P(j, L);
  const double sed = w.cociente(m.cal.VSLEMB(w.K), c.Z(j)) * w.dt;  // settled out of the layer
  if (w.oxigeno_implicito) {
    // What the oxygen's sink takes, held over the sub-step.
    c.AC(j, L) = c.AC(j, L) - sed;
    c.DC(j, L) = c.DC(j, L) - c.KD(j) * Lp;
  } else {
    c.AC(j, L) = c.AC(j, L) - c.KD(j) - sed;
  }
  c.MASAL(j, 1) = -c.KD(j) * Lp;
  c.MASAL(j, 2) = -sed * Lp;
}

void materia_organica(Modelo& m, TrabajoEmbalse& w, int j) {
  const int L = m.cal.POS.DBO;
  materia_organica_capa(m, w, epilimnio(w), j);
  if (w.dos_capas()) {
    materia_organica_capa(m, w, hipolimnio(w), j);
    // What settles into layer 2, booked as its coefficient times the start
    // concentration of layer 1, the grouping of L's books: the settling over
    // the depth of layer 1 and the volume ratio first, then dt, then C1.
    const double entra = sedimenta_al_hipolimnio(w, j, L, m.cal.VSLEMB(w.K)).coeficiente;
    w.MASAHIPL(j, 3) = entra * w.P1(j, L);
  }
  integrar(m, w, L, j);
}

// The oxygen terms of one layer: reaeration (none in layer 2, whose KAAUX2
// is 0), decay of L, nitrification and algae, each computed once and booked
// from the same value. Nitrogen and algae, when absent, read as nothing.
void oxigeno_capa(Modelo& m, const CapaEmbalse& c, int j) {
  const Calidad& cal = m.cal;
  const PosicionesContaminantes& P = cal.POS;
  const Array1<double>& ST = cal.STECHIO;
  const int OD = P.OD;
  auto p = [&](int k) { return k > 0 ? c.P(j, k) : 0.0; };
  const double KA = c.KA(j), OSAT = c.OSAT(j);
  const double dbo = c.KD(j) * p(P.DBO);  // decay of organic matter
  c.AC(j, OD) = c.AC(j, OD) - KA;
  c.DC(j, OD) = c.DC(j, OD) + KA * OSAT - dbo;
  c.MASAOD(j, 1) = KA * (OSAT - p(OD));
  c.MASAOD(j, 2) = -dbo;
  if (cal.OPCIONNITROGENO != 1) return;
  const double nitrificacion = ST(1) * c.KNAI(j) * p(P.NH4);
  c.DC(j, OD) = c.DC(j, OD) - nitrificacion;
  c.MASAOD(j, 3) = -nitrificacion;
  if (cal.OPCIONFITOPLANCTON != 1) return;
  const double crecimiento = ST(3) * c.KGROW(j);
  const double respiracion = ST(4) * c.KRESP(j);
  const double Chlap = p(P.CHLA);
  c.DC(j, OD) = c.DC(j, OD) + (crecimiento - respiracion) * Chlap;
  c.MASAOD(j, 4) = crecimiento * Chlap;
  c.MASAOD(j, 5) = -respiracion * Chlap;
}

void oxigeno(Modelo& m, TrabajoEmbalse& w, int j) {
  const int OD = m.cal.POS.OD;
  oxigeno_capa(m, epilimnio(w), j);
  if (w.dos_capas()) oxigeno_capa(m, hipolimnio(w), j);
  if (w.oxigeno_implicito)
    FIJAEMBSUB(m, w, OD, j, w.OXIGENOFINAL1, w.OXIGENOFINAL2);
  else
    integrar(m, w, OD, j);
  // Anoxia of the bottom layer at the end of the sub-step.
  w.ANOXICO = capa_fondo(w).C(j, OD) < 1.0;
}

}  // namespace

void materia_organica_oxigeno(Modelo& m, TrabajoEmbalse& w, int j) {
  w.oxigeno_implicito = oxigeno_implicito(m, w, j);
  if (w.oxigeno_implicito) {
    limitaciones_al_final(m, w, j);
    ++w.subpasos_oxigeno_implicito;
  }
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
  for (int j = 1; j <= w.NSUB && !w.parada(j); ++j) {
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
