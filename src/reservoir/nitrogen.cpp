// The nitrogen cycle of one sub-step: organic nitrogen (ammonification,
// settling, release by algal respiration), ammonium (nitrification, algal
// uptake) and nitrate (denitrification, algal uptake), each solved before
// the next. The sediment fluxes of ammonium and nitrate act only while the
// bottom layer is anoxic, unless FLUJOSEDIMENTOSNOANOXIA says always.
#include "reservoir/reservoir_steps.h"

namespace tornal {
namespace {

// Takes the sediment flux of constituent k out of the bottom layer again in
// a sub-step whose bottom layer is not anoxic (by default); notes it, so
// that the balances book no sediment term there.
void sin_flujo_sin_anoxia(Modelo& m, TrabajoEmbalse& w, int j, int k) {
  if (m.cal.FLUJOSEDIMENTOSNOANOXIA != 0 || w.ANOXICO) return;
  if (w.dos_capas())
    w.DC2I(j, k) = w.DC2I(j, k) - w.cociente(w.FLUJSEDEMBA(k) * w.AHYPI(j), w.V2I(j));
  else
    w.DC1I(j, k) = w.DC1I(j, k) - w.cociente(w.FLUJSEDEMBA(k) * w.AEPILI(j), w.V1I(j));
  w.SINFLUJOSED(j) = 1;
}

void nitrogeno_organico(Modelo& m, TrabajoEmbalse& w, int j) {
  const Calidad& cal = m.cal;
  const PosicionesContaminantes& P = cal.POS;
  const int k = P.NORG;
  const bool fito = cal.OPCIONFITOPLANCTON == 1;
  const double VSNO = cal.VSNOEMB(w.K);
  const double ST5 = cal.STECHIO(5);
  const double sed1 = w.cociente(VSNO, w.ZEPILI(j)) * w.dt;   // settled out of layer 1
  w.AC1I(j, k) = w.AC1I(j, k) - w.KNOAAUX1(j) - sed1;
  w.MASAEPNORG(j, 1) = -w.KNOAAUX1(j) * w.P1(j, k);
  w.MASAEPNORG(j, 2) = -w.P1(j, k) * w.cociente(VSNO, w.ZEPILI(j)) * w.dt;
  if (w.dos_capas()) {
    const double sed2 = w.cociente(VSNO, w.ZHYPI(j)) * w.dt;  // settled out of layer 2
    const double razon = w.cociente(w.V1I(j), w.V2I(j));
    w.AC2I(j, k) = w.AC2I(j, k) - w.KNOAAUX2(j) - sed2;
    w.BC2I(j, k) = w.BC2I(j, k) + razon * w.cociente(VSNO, w.ZEPILI(j)) * w.dt;
    w.MASAHIPNORG(j, 1) = -w.KNOAAUX2(j) * w.P2(j, k);
    w.MASAHIPNORG(j, 2) = -w.P2(j, k) * w.cociente(VSNO, w.ZHYPI(j)) * w.dt;
    w.MASAHIPNORG(j, 4) = razon * w.P1(j, k) * w.cociente(VSNO, w.ZEPILI(j)) * w.dt;
  }
  if (fito) {
    const double respiracion1 = ST5 * w.KRESPAUX1(j) * w.P1(j, P.CHLA);
    w.DC1I(j, k) = w.DC1I(j, k) + respiracion1;
    w.MASAEPNORG(j, 3) = respiracion1;
    if (w.dos_capas()) {
      const double respiracion2 = ST5 * w.KRESPAUX2(j) * w.P2(j, P.CHLA);
      w.DC2I(j, k) = w.DC2I(j, k) + respiracion2;
      w.MASAHIPNORG(j, 3) = respiracion2;
    }
  }
  integrar(m, w, k, j);
}

void amonio(Modelo& m, TrabajoEmbalse& w, int j) {
  const Calidad& cal = m.cal;
  const PosicionesContaminantes& P = cal.POS;
  const int k = P.NH4;
  const bool fito = cal.OPCIONFITOPLANCTON == 1;
  const double absorcion = cal.FACTORPREFERENCIA(1) * cal.STECHIO(5);  // share of the uptake from ammonium
  const double amonificacion1 = w.KNOAAUX1(j) * w.P1(j, P.NORG);
  w.AC1I(j, k) = w.AC1I(j, k) - w.KNAIAUX1(j);
  w.DC1I(j, k) = w.DC1I(j, k) + amonificacion1;
  w.MASAEPNH4(j, 1) = -w.KNAIAUX1(j) * w.P1(j, k);
  w.MASAEPNH4(j, 2) = amonificacion1;
  if (fito) {
    const double algas1 = absorcion * w.KGROWAUX1(j) * w.P1(j, P.CHLA);
    w.DC1I(j, k) = w.DC1I(j, k) - algas1;
    w.MASAEPNH4(j, 3) = -algas1;
  }
  sin_flujo_sin_anoxia(m, w, j, k);
  if (w.dos_capas()) {
    const double amonificacion2 = w.KNOAAUX2(j) * w.P2(j, P.NORG);
    w.AC2I(j, k) = w.AC2I(j, k) - w.KNAIAUX2(j);
    w.DC2I(j, k) = w.DC2I(j, k) + amonificacion2;
    w.MASAHIPNH4(j, 1) = -w.KNAIAUX2(j) * w.P2(j, k);
    w.MASAHIPNH4(j, 2) = amonificacion2;
    if (fito) {
      const double algas2 = absorcion * w.KGROWAUX2(j) * w.P2(j, P.CHLA);
      w.DC2I(j, k) = w.DC2I(j, k) - algas2;
      w.MASAHIPNH4(j, 3) = -algas2;
    }
  }
  integrar(m, w, k, j);
}

void nitratos(Modelo& m, TrabajoEmbalse& w, int j) {
  const Calidad& cal = m.cal;
  const PosicionesContaminantes& P = cal.POS;
  const int k = P.NO3;
  const bool fito = cal.OPCIONFITOPLANCTON == 1;
  const double absorcion = (1.0 - cal.FACTORPREFERENCIA(1)) * cal.STECHIO(5);  // share from nitrate
  w.AC1I(j, k) = w.AC1I(j, k) - w.KNO3AUX1(j);
  w.MASAEPNO3(j, 1) = -w.KNO3AUX1(j) * w.P1(j, k);
  if (w.dos_capas()) w.MASAHIPNO3(j, 1) = -w.KNO3AUX2(j) * w.P2(j, k);
  sin_flujo_sin_anoxia(m, w, j, k);
  const double nitrificacion1 = w.KNAIAUX1(j) * w.P1(j, P.NH4);
  w.DC1I(j, k) = w.DC1I(j, k) + nitrificacion1;
  w.MASAEPNO3(j, 2) = nitrificacion1;
  if (fito) {
    const double algas1 = absorcion * w.KGROWAUX1(j) * w.P1(j, P.CHLA);
    w.DC1I(j, k) = w.DC1I(j, k) - algas1;
    w.MASAEPNO3(j, 3) = -algas1;
  }
  if (w.dos_capas()) {
    const double nitrificacion2 = w.KNAIAUX2(j) * w.P2(j, P.NH4);
    w.AC2I(j, k) = w.AC2I(j, k) - w.KNO3AUX2(j);
    w.DC2I(j, k) = w.DC2I(j, k) + nitrificacion2;
    w.MASAHIPNO3(j, 2) = nitrificacion2;
    if (fito) {
      const double algas2 = absorcion * w.KGROWAUX2(j) * w.P2(j, P.CHLA);
      w.DC2I(j, k) = w.DC2I(j, k) - algas2;
      w.MASAHIPNO3(j, 3) = -algas2;
    }
  }
  integrar(m, w, k, j);
}

}  // namespace

void ciclo_nitrogeno(Modelo& m, TrabajoEmbalse& w, int j) {
  nitrogeno_organico(m, w, j);
  amonio(m, w, j);
  nitratos(m, w, j);
}

}  // namespace tornal
