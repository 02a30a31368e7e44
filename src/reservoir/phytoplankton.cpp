// Phytoplankton and the phosphorus cycle of one sub-step: chlorophyll-a
// (growth, respiration, settling), organic phosphorus (mineralisation,
// settling, respired algal phosphorus) and phosphate (first-order loss,
// mineralisation, uptake by growth, respired algal phosphorus), each solved
// before the next. Each block adds the terms of one layer, applied to layer
// 1 and then to layer 2. The phosphate sediment flux acts only while the
// bottom layer is anoxic, unless FLUJOSEDIMENTOSNOANOXIA says always.
#include "reservoir/layer.h"
#include "reservoir/reservoir_steps.h"

namespace tornal {
namespace {

// Chlorophyll-a of one layer: without algae in the hypolimnion
// (FITOENELHIPO 0) the exchange between the layers is taken out again;
// growth, respiration and settling out of the layer.
void clorofila_capa(Modelo& m, TrabajoEmbalse& w, const CapaEmbalse& c, int j) {
  const Calidad& cal = m.cal;
  const int k = cal.POS.CHLA;
  if (cal.FITOENELHIPO == 0.0) {
    c.AC(j, k) = c.AC(j, k) + w.cociente(w.E12I(j), c.V(j));
    if (w.dos_capas()) c.BC(j, k) = 0.0;
  }
  const double Chlap = c.P(j, k);
  const double sed = w.cociente(cal.VSALGEMB(w.K), c.Z(j));  // settling out of the layer, per day
  c.AC(j, k) = c.AC(j, k) + c.KGROW(j) - c.KRESP(j) - sed * w.dt;
  c.MASACHLA(j, 1) = c.KGROW(j) * Chlap;
  c.MASACHLA(j, 2) = -c.KRESP(j) * Chlap;
  c.MASACHLA(j, 3) = -sed * w.dt * Chlap;
}

void clorofila(Modelo& m, TrabajoEmbalse& w, int j) {
  const int k = m.cal.POS.CHLA;
  clorofila_capa(m, w, epilimnio(w), j);
  if (w.dos_capas()) {
    clorofila_capa(m, w, hipolimnio(w), j);
    w.MASAHIPCHLA(j, 4) = sedimenta_al_hipolimnio(w, j, k, m.cal.VSALGEMB(w.K)).sedimentado;
  }
  integrar(m, w, k, j);
}

// Organic phosphorus of one layer: mineralisation, settling out of the layer
// and the organic share of the algae's respired phosphorus.
void fosforo_organico_capa(Modelo& m, TrabajoEmbalse& w, const CapaEmbalse& c, int j) {
  const Calidad& cal = m.cal;
  const PosicionesContaminantes& P = cal.POS;
  const int k = P.PORG;
  const double sed = w.cociente(cal.VSFOSFEMB(w.K), c.Z(j));  // settling out of the layer, per day
  c.AC(j, k) = c.AC(j, k) - c.KFOSF(j) - sed * w.dt;
  const double respiracion = cal.STECHIO(6) * cal.FACTORPREFERENCIA(2) * c.KRESP(j) * c.P(j, P.CHLA);
  c.MASAPORG(j, 1) = -c.KFOSF(j) * c.P(j, k);
  c.MASAPORG(j, 2) = -c.P(j, k) * sed * w.dt;
  c.MASAPORG(j, 3) = respiracion;
  c.DC(j, k) = c.DC(j, k) + respiracion;
}

void fosforo_organico(Modelo& m, TrabajoEmbalse& w, int j) {
  const int k = m.cal.POS.PORG;
  fosforo_organico_capa(m, w, epilimnio(w), j);
  if (w.dos_capas()) {
    fosforo_organico_capa(m, w, hipolimnio(w), j);
    w.MASAHIPPORG(j, 4) = sedimenta_al_hipolimnio(w, j, k, m.cal.VSFOSFEMB(w.K)).sedimentado;
  }
  integrar(m, w, k, j);
}

// Phosphate of one layer: first-order loss, mineralisation of organic
// phosphorus, uptake by growth and the dissolved share of the algae's
// respired phosphorus.
void fosfato_capa(Modelo& m, const CapaEmbalse& c, int j) {
  const PosicionesContaminantes& P = m.cal.POS;
  const int k = P.PO4;
  const double ST6 = m.cal.STECHIO(6);
  const double resto = 1.0 - m.cal.FACTORPREFERENCIA(2);  // share of respired phosphorus that is phosphate
  const double KFOSFA = c.KFOSFA(j), KFOSF = c.KFOSF(j), KGROW = c.KGROW(j), KRESP = c.KRESP(j);
  const double PO4p = c.P(j, k), PORGp = c.P(j, P.PORG), Chlap = c.P(j, P.CHLA);
  c.AC(j, k) = c.AC(j, k) - KFOSFA;
  c.MASAPO4(j, 1) = -KFOSFA * PO4p;
  c.MASAPO4(j, 2) = KFOSF * PORGp;
  c.MASAPO4(j, 3) = -ST6 * KGROW * Chlap;
  c.MASAPO4(j, 4) = resto * KRESP * ST6 * Chlap;
  c.DC(j, k) = c.DC(j, k) + KFOSF * PORGp - ST6 * (KGROW - resto * KRESP) * Chlap;
}

// The sediment flux is taken out before the terms of either layer.
void fosfato(Modelo& m, TrabajoEmbalse& w, int j) {
  const int k = m.cal.POS.PO4;
  sin_flujo_sin_anoxia(m, w, j, k);
  fosfato_capa(m, epilimnio(w), j);
  if (w.dos_capas()) fosfato_capa(m, hipolimnio(w), j);
  integrar(m, w, k, j);
}

}  // namespace

void fitoplancton_fosforo(Modelo& m, TrabajoEmbalse& w, int j) {
  clorofila(m, w, j);
  fosforo_organico(m, w, j);
  fosfato(m, w, j);
}

}  // namespace tornal
