// The nitrogen cycle of one sub-step: organic nitrogen (ammonification,
// settling, release by algal respiration), ammonium (nitrification, algal
// uptake) and nitrate (denitrification, algal uptake), each solved before
// the next. Each block adds the terms of one layer, applied to layer 1 and
// then to layer 2. The sediment fluxes of ammonium and nitrate act only
// while the bottom layer is anoxic, unless FLUJOSEDIMENTOSNOANOXIA says
// always.
#include "reservoir/layer.h"
#include "reservoir/reservoir_steps.h"

namespace tornal {

void sin_flujo_sin_anoxia(Modelo& m, TrabajoEmbalse& w, int j, int k) {
  if (m.cal.FLUJOSEDIMENTOSNOANOXIA != 0 || w.ANOXICO) return;
  const CapaEmbalse fondo = capa_fondo(w);
  fondo.DC(j, k) = fondo.DC(j, k) - w.cociente(w.FLUJSEDEMBA(k) * fondo.A(j), fondo.V(j));
  w.SINFLUJOSED(j) = 1;
}

namespace {

// Organic nitrogen of one layer: ammonification, settling out of the layer
// and, with algae, their respired nitrogen.
void nitrogeno_organico_capa(Modelo& m, TrabajoEmbalse& w, const CapaEmbalse& c, int j) {
  const Calidad& cal = m.cal;
  const int k = cal.POS.NORG;
  const double VSNO = cal.VSNOEMB(w.K);
  const double Np = c.P(j, k);
  const double sed = w.cociente(VSNO, c.Z(j));  // settling out of the layer, per day
  c.AC(j, k) = c.AC(j, k) - c.KNOA(j) - sed * w.dt;
  c.MASANORG(j, 1) = -c.KNOA(j) * Np;
  c.MASANORG(j, 2) = -Np * sed * w.dt;
  if (cal.OPCIONFITOPLANCTON != 1) return;
  const double respiracion = cal.STECHIO(5) * c.KRESP(j) * c.P(j, cal.POS.CHLA);
  c.DC(j, k) = c.DC(j, k) + respiracion;
  c.MASANORG(j, 3) = respiracion;
}

void nitrogeno_organico(Modelo& m, TrabajoEmbalse& w, int j) {
  const int k = m.cal.POS.NORG;
  nitrogeno_organico_capa(m, w, epilimnio(w), j);
  if (w.dos_capas()) {
    nitrogeno_organico_capa(m, w, hipolimnio(w), j);
    w.MASAHIPNORG(j, 4) = sedimenta_al_hipolimnio(w, j, k, m.cal.VSNOEMB(w.K)).sedimentado;
  }
  integrar(m, w, k, j);
}

// Ammonium of one layer: nitrification, ammonification of organic nitrogen
// and, with algae, the share of their uptake taken from ammonium.
void amonio_capa(Modelo& m, const TrabajoEmbalse& w, const CapaEmbalse& c, int j) {
  const Calidad& cal = m.cal;
  const PosicionesContaminantes& P = cal.POS;
  const int k = P.NH4;
  const double amonificacion = c.KNOA(j) * c.P(j, P.NORG);
  if (w.oxigeno_implicito)
    c.DC(j, k) = c.DC(j, k) - c.KNAI(j) * c.P(j, k);  // what the oxygen's sink takes, held
  else
    c.AC(j, k) = c.AC(j, k) - c.KNAI(j);
  c.DC(j, k) = c.DC(j, k) + amonificacion;
  c.MASANH4(j, 1) = -c.KNAI(j) * c.P(j, k);
  c.MASANH4(j, 2) = amonificacion;
  if (cal.OPCIONFITOPLANCTON != 1) return;
  const double absorcion = cal.FACTORPREFERENCIA(1) * cal.STECHIO(5);  // share of the uptake from ammonium
  const double algas = absorcion * c.KGROW(j) * c.P(j, P.CHLA);
  c.DC(j, k) = c.DC(j, k) - algas;
  c.MASANH4(j, 3) = -algas;
}

// The sediment flux of a one-layer month is taken out after the layer's
// terms, that of a two-layer month before layer 2's.
void amonio(Modelo& m, TrabajoEmbalse& w, int j) {
  const int k = m.cal.POS.NH4;
  amonio_capa(m, w, epilimnio(w), j);
  sin_flujo_sin_anoxia(m, w, j, k);
  if (w.dos_capas()) amonio_capa(m, w, hipolimnio(w), j);
  integrar(m, w, k, j);
}

// Nitrate of one layer: denitrification, nitrification of ammonium and,
// with algae, the share of their uptake taken from nitrate.
void nitratos_capa(Modelo& m, const CapaEmbalse& c, int j) {
  const Calidad& cal = m.cal;
  const PosicionesContaminantes& P = cal.POS;
  const int k = P.NO3;
  c.AC(j, k) = c.AC(j, k) - c.KNO3(j);
  c.MASANO3(j, 1) = -c.KNO3(j) * c.P(j, k);
  const double nitrificacion = c.KNAI(j) * c.P(j, P.NH4);
  c.DC(j, k) = c.DC(j, k) + nitrificacion;
  c.MASANO3(j, 2) = nitrificacion;
  if (cal.OPCIONFITOPLANCTON != 1) return;
  const double absorcion = (1.0 - cal.FACTORPREFERENCIA(1)) * cal.STECHIO(5);  // share from nitrate
  const double algas = absorcion * c.KGROW(j) * c.P(j, P.CHLA);
  c.DC(j, k) = c.DC(j, k) - algas;
  c.MASANO3(j, 3) = -algas;
}

// The sediment flux is taken out before the terms of either layer.
void nitratos(Modelo& m, TrabajoEmbalse& w, int j) {
  const int k = m.cal.POS.NO3;
  sin_flujo_sin_anoxia(m, w, j, k);
  nitratos_capa(m, epilimnio(w), j);
  if (w.dos_capas()) nitratos_capa(m, hipolimnio(w), j);
  integrar(m, w, k, j);
}

}  // namespace

void ciclo_nitrogeno(Modelo& m, TrabajoEmbalse& w, int j) {
  nitrogeno_organico(m, w, j);
  amonio(m, w, j);
  nitratos(m, w, j);
}

}  // namespace tornal
