// Phytoplankton and the phosphorus cycle of one sub-step: chlorophyll-a
// (growth, respiration, settling), organic phosphorus (mineralisation,
// settling, respired algal phosphorus) and phosphate (first-order loss,
// mineralisation, uptake by growth, respired algal phosphorus), each solved
// before the next. The phosphate sediment flux acts only while the bottom
// layer is anoxic, unless FLUJOSEDIMENTOSNOANOXIA says always.
#include "reservoir/reservoir_steps.h"

namespace tornal {
namespace {

void clorofila(Modelo& m, TrabajoEmbalse& w, int j) {
  const Calidad& cal = m.cal;
  const int k = cal.POS.CHLA;
  const double VSALG = cal.VSALGEMB(w.K);
  // No algae in the hypolimnion: no exchange of algae between the layers.
  if (cal.FITOENELHIPO == 0.0) {
    w.AC1I(j, k) = w.AC1I(j, k) + w.cociente(w.E12I(j), w.V1I(j));
    if (w.dos_capas()) {
      w.BC1I(j, k) = 0.0;
      w.BC2I(j, k) = 0.0;
      w.AC2I(j, k) = w.AC2I(j, k) + w.cociente(w.E12I(j), w.V2I(j));
    }
  }
  const double Chlap1 = w.P1(j, k);
  const double sed1 = w.cociente(VSALG, w.ZEPILI(j));
  w.AC1I(j, k) = w.AC1I(j, k) + w.KGROWAUX1(j) - w.KRESPAUX1(j) - sed1 * w.dt;
  w.MASAEPCHLA(j, 1) = w.KGROWAUX1(j) * Chlap1;
  w.MASAEPCHLA(j, 2) = -w.KRESPAUX1(j) * Chlap1;
  w.MASAEPCHLA(j, 3) = -sed1 * w.dt * Chlap1;
  if (w.dos_capas()) {
    const double Chlap2 = w.P2(j, k);
    const double sed2 = w.cociente(VSALG, w.ZHYPI(j));
    const double razon = w.cociente(w.V1I(j), w.V2I(j));
    w.AC2I(j, k) = w.AC2I(j, k) + w.KGROWAUX2(j) - w.KRESPAUX2(j) - sed2 * w.dt;
    w.BC2I(j, k) = w.BC2I(j, k) + razon * sed1 * w.dt;
    w.MASAHIPCHLA(j, 1) = w.KGROWAUX2(j) * Chlap2;
    w.MASAHIPCHLA(j, 2) = -w.KRESPAUX2(j) * Chlap2;
    w.MASAHIPCHLA(j, 3) = -sed2 * w.dt * Chlap2;
    w.MASAHIPCHLA(j, 4) = razon * Chlap1 * sed1 * w.dt;
  }
  integrar(m, w, k, j);
}

void fosforo_organico(Modelo& m, TrabajoEmbalse& w, int j) {
  const Calidad& cal = m.cal;
  const PosicionesContaminantes& P = cal.POS;
  const int k = P.PORG;
  const double VSF = cal.VSFOSFEMB(w.K);
  const double ST6 = cal.STECHIO(6);
  const double FP2 = cal.FACTORPREFERENCIA(2);
  const double sed1 = w.cociente(VSF, w.ZEPILI(j));
  w.AC1I(j, k) = w.AC1I(j, k) - w.KFOSFAUX1(j) - sed1 * w.dt;
  const double respiracion1 = ST6 * FP2 * w.KRESPAUX1(j) * w.P1(j, P.CHLA);
  w.MASAEPPORG(j, 1) = -w.KFOSFAUX1(j) * w.P1(j, k);
  w.MASAEPPORG(j, 2) = -w.P1(j, k) * sed1 * w.dt;
  w.MASAEPPORG(j, 3) = respiracion1;
  w.DC1I(j, k) = w.DC1I(j, k) + respiracion1;
  if (w.dos_capas()) {
    const double sed2 = w.cociente(VSF, w.ZHYPI(j));
    const double razon = w.cociente(w.V1I(j), w.V2I(j));
    w.AC2I(j, k) = w.AC2I(j, k) - w.KFOSFAUX2(j) - sed2 * w.dt;
    w.BC2I(j, k) = w.BC2I(j, k) + razon * sed1 * w.dt;
    const double respiracion2 = ST6 * FP2 * w.KRESPAUX2(j) * w.P2(j, P.CHLA);
    w.MASAHIPPORG(j, 1) = -w.KFOSFAUX2(j) * w.P2(j, k);
    w.MASAHIPPORG(j, 2) = -w.P2(j, k) * sed2 * w.dt;
    w.MASAHIPPORG(j, 3) = respiracion2;
    w.MASAHIPPORG(j, 4) = razon * w.P1(j, k) * sed1 * w.dt;
    w.DC2I(j, k) = w.DC2I(j, k) + respiracion2;
  }
  integrar(m, w, k, j);
}

// The phosphate terms of one layer: first-order loss, mineralisation of
// organic phosphorus, uptake by growth and respired algal phosphorus.
void fosfato_capa(Modelo& m, double& AC, double& DC, Array2<double>& MASA, int j, double KFOSFA, double KFOSF,
                  double KGROW, double KRESP, double PO4p, double PORGp, double Chlap) {
  const double ST6 = m.cal.STECHIO(6);
  const double resto = 1.0 - m.cal.FACTORPREFERENCIA(2);  // share of respired phosphorus that is phosphate
  AC = AC - KFOSFA;
  MASA(j, 1) = -KFOSFA * PO4p;
  MASA(j, 2) = KFOSF * PORGp;
  MASA(j, 3) = -ST6 * KGROW * Chlap;
  MASA(j, 4) = resto * KRESP * ST6 * Chlap;
  DC = DC + KFOSF * PORGp - ST6 * (KGROW - resto * KRESP) * Chlap;
}

void fosfato(Modelo& m, TrabajoEmbalse& w, int j) {
  const Calidad& cal = m.cal;
  const PosicionesContaminantes& P = cal.POS;
  const int k = P.PO4;
  // The sediment flux, by default, only while the bottom layer is anoxic.
  if (cal.FLUJOSEDIMENTOSNOANOXIA == 0 && !w.ANOXICO) {
    if (w.dos_capas())
      w.DC2I(j, k) = w.DC2I(j, k) - w.cociente(w.FLUJSEDEMBA(k) * w.AHYPI(j), w.V2I(j));
    else
      w.DC1I(j, k) = w.DC1I(j, k) - w.cociente(w.FLUJSEDEMBA(k) * w.AEPILI(j), w.V1I(j));
    w.SINFLUJOSED(j) = 1;
  }
  fosfato_capa(m, w.AC1I(j, k), w.DC1I(j, k), w.MASAEPPO4, j, w.KFOSFAAUX1(j), w.KFOSFAUX1(j), w.KGROWAUX1(j),
               w.KRESPAUX1(j), w.P1(j, k), w.P1(j, P.PORG), w.P1(j, P.CHLA));
  if (w.dos_capas())
    fosfato_capa(m, w.AC2I(j, k), w.DC2I(j, k), w.MASAHIPPO4, j, w.KFOSFAAUX2(j), w.KFOSFAUX2(j), w.KGROWAUX2(j),
                 w.KRESPAUX2(j), w.P2(j, k), w.P2(j, P.PORG), w.P2(j, P.CHLA));
  integrar(m, w, k, j);
}

}  // namespace

void fitoplancton_fosforo(Modelo& m, TrabajoEmbalse& w, int j) {
  clorofila(m, w, j);
  fosforo_organico(m, w, j);
  fosfato(m, w, j);
}

}  // namespace tornal
