// One layer of a reservoir month seen through its own work arrays: the
// epilimnion (layer 1, or the whole water body in a one-layer month) or the
// hypolimnion (layer 2). Each kinetic block is written once against a layer
// and applied to layer 1, then to layer 2; the system's names of each layer's
// arrays stand where the layer is bound, below. What only one layer has (the
// reaeration of the surface, what settles out of layer 1 into layer 2, the
// sediment flux of the bottom layer) stays with the block that adds it.
#pragma once

#include "reservoir/reservoir_model.h"

namespace tornal {

// Units as in TrabajoEmbalse: [C] a concentration in internal units, [-] a
// rate per sub-step (dt included).
struct CapaEmbalse {
  int capa;  // 1 epilimnion, 2 hypolimnion
  // The linear system (sub-step, constituent): dC/dt = A C + B C' + D, C'
  // being the other layer.
  Array2<double>& AC;  // coefficient of the layer's own concentration, per sub-step [-]
  Array2<double>& BC;  // coefficient of the other layer's concentration, per sub-step [-]
  Array2<double>& DC;  // independent term, per sub-step [C]
  // Concentrations at the end of each sub-step and at the start of the month.
  const Array2<double>& C;   // (sub-step, constituent): at the end of the sub-step [C]
  const Array1<double>& CO;  // (constituent): at the start of the month [C]
  // Thickness, area and volume of the layer in each sub-step.
  const Array1<double>& Z;  // thickness [m]
  const Array1<double>& A;  // area of the layer's top: the water surface, the thermocline [m2]
  const Array1<double>& V;  // volume at the middle of the sub-step [m3]
  // Kinetic rates of each sub-step (dt included) and oxygen saturation,
  // written by the month's rates; KD, KNAI and KNO3 limited by the oxygen
  // at the start of each sub-step, KGROW written by the growth of the algae.
  Array1<double>& KA;        // reaeration, 0 in layer 2 [-]
  Array1<double>& KD;        // BOD decay [-]
  Array1<double>& KNOA;      // organic-nitrogen ammonification [-]
  Array1<double>& KNAI;      // nitrification [-]
  Array1<double>& KNO3;      // denitrification [-]
  Array1<double>& KMAXGROW;  // maximum phytoplankton growth [-]
  Array1<double>& KGROW;     // phytoplankton growth, limited by light and nutrients [-]
  Array1<double>& KRESP;     // phytoplankton respiration [-]
  Array1<double>& OSAT;      // oxygen saturation [mg/l]
  Array1<double>& KFOSF;     // organic-phosphorus mineralisation [-]
  Array1<double>& KFOSFA;    // phosphate loss, not temperature-corrected [-]
  // BOD decay and nitrification as the month's rates give them, before the
  // oxygen limitation of the sub-step: what the judge of the sub-steps
  // reads to weigh the limitation held over each of them.
  Array1<double>& KDSINLIM;    // BOD decay [-]
  Array1<double>& KNAISINLIM;  // nitrification [-]
  // First-order decay rates (sub-step, pollutant), written by the
  // first-order pollutants; light limitation of the layer.
  Array2<double>& KAUXE;   // decay rate at the layer's temperature [1/day]
  Array1<double>& LIMLUM;  // light limitation [-]
  // Mass-balance terms of the processes (sub-step, term): the change of
  // concentration each brings in the sub-step [C], terms as in TrabajoEmbalse.
  Array2<double>& MASAOD;    // dissolved oxygen
  Array2<double>& MASAL;     // BOD
  Array2<double>& MASANORG;  // organic nitrogen
  Array2<double>& MASANH4;   // ammonium
  Array2<double>& MASANO3;   // nitrate
  Array2<double>& MASACHLA;  // chlorophyll-a
  Array2<double>& MASAPORG;  // organic phosphorus
  Array2<double>& MASAPO4;   // phosphate

  // Concentration of constituent c at the start of sub-step j: the start of
  // the month at j = 1, the end of sub-step j - 1 otherwise.
  double P(int j, int c) const { return j == 1 ? CO(c) : C(j - 1, c); }
  // The layer's rows of LIMITECRECIMIENTO come after this one: 1..4 of
  // layer 1, 5..8 of layer 2 (maximum growth rate, light, phosphorus,
  // nitrogen).
  int fila_limites() const { return capa == 1 ? 0 : 4; }
};

inline CapaEmbalse epilimnio(TrabajoEmbalse& w) {
  return {.capa = 1,
          .AC = w.AC1I,
          .BC = w.BC1I,
          .DC = w.DC1I,
          .C = w.C1I,
          .CO = w.CO1,
          .Z = w.ZEPILI,
          .A = w.AEPILI,
          .V = w.V1I,
          .KA = w.KAAUX1,
          .KD = w.KDAUX1,
          .KNOA = w.KNOAAUX1,
          .KNAI = w.KNAIAUX1,
          .KNO3 = w.KNO3AUX1,
          .KMAXGROW = w.KMAXGROWAUX1,
          .KGROW = w.KGROWAUX1,
          .KRESP = w.KRESPAUX1,
          .OSAT = w.OSATAUX1,
          .KFOSF = w.KFOSFAUX1,
          .KFOSFA = w.KFOSFAAUX1,
          .KDSINLIM = w.KDSINLIMAUX1,
          .KNAISINLIM = w.KNAISINLIMAUX1,
          .KAUXE = w.KAUXE1,
          .LIMLUM = w.LIMLUMEP,
          .MASAOD = w.MASAEPOD,
          .MASAL = w.MASAEPL,
          .MASANORG = w.MASAEPNORG,
          .MASANH4 = w.MASAEPNH4,
          .MASANO3 = w.MASAEPNO3,
          .MASACHLA = w.MASAEPCHLA,
          .MASAPORG = w.MASAEPPORG,
          .MASAPO4 = w.MASAEPPO4};
}

// KAAUX2 is 0: no reaeration below the surface layer.
inline CapaEmbalse hipolimnio(TrabajoEmbalse& w) {
  return {.capa = 2,
          .AC = w.AC2I,
          .BC = w.BC2I,
          .DC = w.DC2I,
          .C = w.C2I,
          .CO = w.CO2,
          .Z = w.ZHYPI,
          .A = w.AHYPI,
          .V = w.V2I,
          .KA = w.KAAUX2,
          .KD = w.KDAUX2,
          .KNOA = w.KNOAAUX2,
          .KNAI = w.KNAIAUX2,
          .KNO3 = w.KNO3AUX2,
          .KMAXGROW = w.KMAXGROWAUX2,
          .KGROW = w.KGROWAUX2,
          .KRESP = w.KRESPAUX2,
          .OSAT = w.OSATAUX2,
          .KFOSF = w.KFOSFAUX2,
          .KFOSFA = w.KFOSFAAUX2,
          .KDSINLIM = w.KDSINLIMAUX2,
          .KNAISINLIM = w.KNAISINLIMAUX2,
          .KAUXE = w.KAUXE2,
          .LIMLUM = w.LIMLUMHIP,
          .MASAOD = w.MASAHIPOD,
          .MASAL = w.MASAHIPL,
          .MASANORG = w.MASAHIPNORG,
          .MASANH4 = w.MASAHIPNH4,
          .MASANO3 = w.MASAHIPNO3,
          .MASACHLA = w.MASAHIPCHLA,
          .MASAPORG = w.MASAHIPPORG,
          .MASAPO4 = w.MASAHIPPO4};
}

// The layer's temperature over sub-step j: modelled (at the end of the
// sub-step, the temperature being integrated first) or the month's given
// one, TEPIL of layer 1 and THIPOL of layer 2.
inline double temperatura_capa(const Modelo& m, const TrabajoEmbalse& w, const CapaEmbalse& c, int j) {
  const Calidad& cal = m.cal;
  if (cal.OPCIONTEMPERATURA == 1) return c.C(j, 1);
  return (c.capa == 1 ? cal.TEPIL : cal.THIPOL)(w.K, m.sim.MESACTUAL);
}

// What settles at speed VS out of layer 1 into layer 2 over sub-step j, a
// term of layer 2 only, computed once: its coefficient of constituent k,
// (V1I / V2I) (VS / ZEPILI) dt, added to BC2I; and the change of
// concentration it brings to layer 2 at the start concentration of layer 1,
// as the books of organic nitrogen, algae and organic phosphorus group it,
// (V1I / V2I) C1 (VS / ZEPILI) dt. The books of organic matter take the
// coefficient times C1 instead, their own grouping.
struct AlHipolimnio {
  double coeficiente;  // added to BC2I(j, k) [-]
  double sedimentado;  // the change it brings to layer 2 [C]
};
inline AlHipolimnio sedimenta_al_hipolimnio(TrabajoEmbalse& w, int j, int k, double VS) {
  const double sed1 = w.cociente(VS, w.ZEPILI(j));
  const double razon = w.cociente(w.V1I(j), w.V2I(j));
  const double coeficiente = razon * sed1 * w.dt;
  w.BC2I(j, k) = w.BC2I(j, k) + coeficiente;
  return {coeficiente, razon * w.P1(j, k) * sed1 * w.dt};
}

// The bottom layer, where the sediment fluxes act: layer 2 of a two-layer
// month, layer 1 of a one-layer one.
inline CapaEmbalse capa_fondo(TrabajoEmbalse& w) { return w.dos_capas() ? hipolimnio(w) : epilimnio(w); }

}  // namespace tornal
