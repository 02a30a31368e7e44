// The reservoir quality model: one reservoir in one month, one mixed layer or
// an epilimnion (layer 1) over a hypolimnion (layer 2), integrated through
// the month in sub-steps; its level-area-volume curve lookup and its two
// sub-step integrators.
#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <string_view>

#include "common/array.h"
#include "modelo/modelo.h"

namespace tornal {

// The work arrays of one reservoir month, sized by the sub-steps NSUB, the
// constituents NC and the first-order pollutants. Layer 1 is the epilimnion
// (or the whole water body in a one-layer month), layer 2 the hypolimnion.
// Every array starts the month at 0. Units in brackets: volumes in m3,
// concentrations in internal units ([C]: the constituent's, temperature in
// degC, oxygen in mg/l). A rate "per sub-step" is the rate per day times the
// sub-step's length dt, a ratio [-] of what a sub-step takes or adds.
struct TrabajoEmbalse {
  // The month: reservoir, node row, month, year, sub-steps and their length
  // in days; the volume of a month's flow per sub-step (DIVISORUNIDADES /
  // NSUB).
  int K = 0,        // reservoir
      I = 0,        // row of ORDENNUDOS
      M = 0,        // month, 1 = October
      Y = 0,        // year of the run
      NSUB = 0;     // sub-steps of the month
  double dt = 0.0,  // length of a sub-step, 30 / NSUB [day]
      VOLQ = 0.0;   // DIVISORUNIDADES / NSUB: a flow times VOLQ is its volume in a sub-step [day]
  // Water balance (volumes, flows per sub-step, transfer across the
  // thermocline) and the one-layer flag.
  double V0 = 0.0,       // volume at the start of the month [m3]
      VFIN = 0.0,        // volume at the end of the month [m3]
      ZT = 0.0,          // depth of the thermocline below the surface [m]
      V1O = 0.0,         // volume of layer 1 at the start of the month [m3]
      V2O = 0.0;         // volume of layer 2 at the start of the month [m3]
  double QIN = 0.0,      // the month's inflow, closing the allocation model's balance [m3/day]
      QS1 = 0.0,         // outflow of layer 1 in a sub-step [m3]
      QE1 = 0.0,         // inflow into layer 1 in a sub-step [m3]
      QS2 = 0.0,         // outflow of layer 2 in a sub-step [m3]
      QE2 = 0.0,         // inflow into layer 2 in a sub-step [m3]
      QV = 0.0,          // the month's transfer across the thermocline, upward positive [m3]
      QVSUBE = 0.0,      // upward transfer in a sub-step, 0 or more [m3]
      QVBAJA = 0.0;      // downward transfer in a sub-step, 0 or less [m3]
  int UNACAPA = 1;       // 1: one layer in the month, 0: two
  bool ANOXICO = false;  // the bottom layer's oxygen under 1 mg/l at the end of the sub-step before
  // A division by zero was met (a depth, volume, extinction or light of 0):
  // the month goes on and the reservoir's error flag is raised.
  bool division_nula = false;
  // The integration of the month diverged: a stage above the integrators'
  // guard, a result that is not a finite number, a layer temperature
  // outside -50..100 degrees, or a negative result lifted by the floor in a
  // sub-step too long for the step; the earliest sub-step where it did and
  // its constituent.
  bool diverge = false;
  int subpaso_diverge = 0,       // earliest sub-step that diverged
      contaminante_diverge = 0;  // its constituent
  // Of those divergences, a stage above the guard or a result that is not a
  // finite number (what the run log calls a divergence).
  bool desborde = false;
  // The oxygen sinks of the sub-step in hand are stiffer than the step
  // bears at its length: their oxygen limitations are taken at the end of
  // the sub-step (oxigeno_implicito, finer_substeps.cpp, and
  // limitaciones_al_final, implicit_oxygen.cpp), and the organic matter and
  // ammonium lose what those sinks take, held over the sub-step.
  bool oxigeno_implicito = false;
  int subpasos_oxigeno_implicito = 0;  // the month's sub-steps so taken
  double OXIGENOFINAL1 = 0.0,          // the oxygen of each layer at the end of that sub-step [C]
      OXIGENOFINAL2 = 0.0;
  // The sub-steps of the month that make up each given one: 1, or 2, 4, 8,
  // ... when the given sub-steps diverge and the month is integrated again
  // from its start in the work arrays `fino` (kept for the next such month
  // of these work arrays). The sub-step files keep the rows of the given
  // sub-steps.
  int factor = 1;
  std::unique_ptr<TrabajoEmbalse> fino;
  // An integration with finer sub-steps is of use only where it does not
  // diverge: it stops at its earliest divergence (every constituent up to
  // that sub-step, which is all that the choice of the next count reads).
  bool hasta_divergencia = false;

  // Start concentrations, inflow concentrations, sediment flux per unit area
  // and sub-step (constituent).
  Array1<double> CO1{"CO1"},       // layer 1 at the start of the month [C]
      CO2{"CO2"},                  // layer 2 at the start of the month [C]
      C1ENTRI{"C1ENTRI"},          // inflow into layer 1 [C]
      C2ENTRI{"C2ENTRI"},          // inflow into layer 2, 0 in a one-layer month [C]
      FLUJSEDEMBA{"FLUJSEDEMBA"};  // sediment flux per bed area in a sub-step [m x C]
  // Concentrations at the end of each sub-step and the linear system of each
  // sub-step (sub-step, constituent).
  Array2<double> C1I{"C1I"},    // layer 1 at the end of the sub-step [C]
      C2I{"C2I"};               // layer 2 at the end of the sub-step [C]
  Array2<double> AC1I{"AC1I"},  // layer 1: coefficient of its own concentration, per sub-step [-]
      BC1I{"BC1I"},             // layer 1: coefficient of layer 2's concentration, per sub-step [-]
      DC1I{"DC1I"},             // layer 1: independent term, per sub-step [C]
      AC2I{"AC2I"},             // layer 2: coefficient of its own concentration, per sub-step [-]
      BC2I{"BC2I"},             // layer 2: coefficient of layer 1's concentration, per sub-step [-]
      DC2I{"DC2I"};             // layer 2: independent term, per sub-step [C]
  // Volumes at the middle of each sub-step and at its boundaries (NSUB + 1),
  // thickness and areas of the layers, exchange between them (sub-step).
  Array1<double> V1I{"V1I"},        // layer 1 at the middle [m3]
      V2I{"V2I"},                   // layer 2 at the middle [m3]
      VI{"VI"},                     // both layers at the middle [m3]
      V1IO{"V1IO"},                 // layer 1 at the start of sub-step j, the end of the month at NSUB + 1 [m3]
      V2IO{"V2IO"};                 // layer 2 at the start of sub-step j, the end of the month at NSUB + 1 [m3]
  Array1<double> ZEPILI{"ZEPILI"},  // thickness of layer 1 [m]
      AEPILI{"AEPILI"},             // area of the water surface [m2]
      ZHYPI{"ZHYPI"},               // thickness of layer 2, 0 in a one-layer month [m]
      AHYPI{"AHYPI"},               // area of the thermocline, 0 in a one-layer month [m2]
      E12I{"E12I"};                 // exchange between the layers in a sub-step [m3]
  // First-order decay rates (sub-step, pollutant).
  Array2<double> KAUXE1{"KAUXE1"},  // layer 1, at its temperature [1/day]
      KAUXE2{"KAUXE2"};             // layer 2, at its temperature [1/day]
  // Kinetic rates per sub-step (dt included) and oxygen saturation, of
  // layer 1 (...AUX1) and of layer 2 (...AUX2), at the layer's temperature;
  // each pair listed in TASASCAPAS.
  Array1<double> KAAUX1{"KAAUX1"},       // reaeration [-]
      KDAUX1{"KDAUX1"},                  // BOD decay, limited by oxygen in each sub-step [-]
      KNOAAUX1{"KNOAAUX1"},              // organic-nitrogen ammonification [-]
      KNAIAUX1{"KNAIAUX1"},              // nitrification, limited by oxygen in each sub-step [-]
      KNO3AUX1{"KNO3AUX1"},              // denitrification, inhibited by oxygen in each sub-step [-]
      KMAXGROWAUX1{"KMAXGROWAUX1"},      // maximum phytoplankton growth [-]
      KGROWAUX1{"KGROWAUX1"},            // phytoplankton growth, limited by light and nutrients [-]
      KRESPAUX1{"KRESPAUX1"},            // phytoplankton respiration [-]
      OSATAUX1{"OSATAUX1"},              // oxygen saturation [mg/l]
      KFOSFAUX1{"KFOSFAUX1"},            // organic-phosphorus mineralisation [-]
      KFOSFAAUX1{"KFOSFAAUX1"},          // phosphate loss, not temperature-corrected [-]
      KDSINLIMAUX1{"KDSINLIMAUX1"},      // BOD decay before its oxygen limitation [-]
      KNAISINLIMAUX1{"KNAISINLIMAUX1"};  // nitrification before its oxygen limitation [-]
  Array1<double> KAAUX2{"KAAUX2"},       // reaeration, 0 [-]
      KDAUX2{"KDAUX2"},                  // BOD decay, limited by oxygen in each sub-step [-]
      KNOAAUX2{"KNOAAUX2"},              // organic-nitrogen ammonification [-]
      KNAIAUX2{"KNAIAUX2"},              // nitrification, limited by oxygen in each sub-step [-]
      KNO3AUX2{"KNO3AUX2"},              // denitrification, inhibited by oxygen in each sub-step [-]
      KMAXGROWAUX2{"KMAXGROWAUX2"},      // maximum phytoplankton growth, FITOENELHIPO included [-]
      KGROWAUX2{"KGROWAUX2"},            // phytoplankton growth, limited by light and nutrients [-]
      KRESPAUX2{"KRESPAUX2"},            // phytoplankton respiration [-]
      OSATAUX2{"OSATAUX2"},              // oxygen saturation [mg/l]
      KFOSFAUX2{"KFOSFAUX2"},            // organic-phosphorus mineralisation [-]
      KFOSFAAUX2{"KFOSFAAUX2"},          // phosphate loss, not temperature-corrected [-]
      KDSINLIMAUX2{"KDSINLIMAUX2"},      // BOD decay before its oxygen limitation [-]
      KNAISINLIMAUX2{"KNAISINLIMAUX2"};  // nitrification before its oxygen limitation [-]
  // Light limitation of each layer and the growth factors kept for the
  // partial results (factor 1..8, sub-step).
  Array1<double> LIMLUMEP{"LIMLUMEP"},  // light limitation of layer 1 [-]
      LIMLUMHIP{"LIMLUMHIP"};           // light limitation of layer 2 [-]
  // Rows 1..4 of layer 1, 5..8 of layer 2: maximum growth per sub-step, the
  // light, phosphorus and nitrogen factors [-].
  Array2<double> LIMITECRECIMIENTO{"LIMITECRECIMIENTO"};
  // Mass-balance terms: transport (sub-step, constituent, term) and the
  // processes of the kinetics (sub-step, term). A transport term is a mass
  // gained by the layer in the sub-step [m3 x C], a process term the change
  // of concentration it brings in the sub-step [C], gain positive. Every
  // such array is booked once in BALANCETRANSPORTE or BALANCEPROCESOS below,
  // which give its terms in order, their count and their headings.
  Array3<double> MASAEP{"MASAEP"},      // transport of layer 1 [m3 x C]
      MASAHIP{"MASAHIP"};               // transport of layer 2 [m3 x C]
  Array2<double> MASAEPOD{"MASAEPOD"},  // oxygen, layer 1 [C]
      MASAHIPOD{"MASAHIPOD"},           // oxygen, layer 2 [C]
      MASAEPL{"MASAEPL"},               // BOD, layer 1 [C]
      MASAHIPL{"MASAHIPL"},             // BOD, layer 2 [C]
      MASAEPNORG{"MASAEPNORG"},         // organic nitrogen, layer 1 [C]
      MASAHIPNORG{"MASAHIPNORG"},       // organic nitrogen, layer 2 [C]
      MASAEPNH4{"MASAEPNH4"},           // ammonium, layer 1 [C]
      MASAHIPNH4{"MASAHIPNH4"},         // ammonium, layer 2 [C]
      MASAEPNO3{"MASAEPNO3"},           // nitrate, layer 1 [C]
      MASAHIPNO3{"MASAHIPNO3"},         // nitrate, layer 2 [C]
      MASAEPCHLA{"MASAEPCHLA"},         // chlorophyll-a, layer 1 [C]
      MASAHIPCHLA{"MASAHIPCHLA"},       // chlorophyll-a, layer 2 [C]
      MASAEPPORG{"MASAEPPORG"},         // organic phosphorus, layer 1 [C]
      MASAHIPPORG{"MASAHIPPORG"},       // organic phosphorus, layer 2 [C]
      MASAEPPO4{"MASAEPPO4"},           // phosphate, layer 1 [C]
      MASAHIPPO4{"MASAHIPPO4"};         // phosphate, layer 2 [C]
  // Sub-steps in which the sediment flux of ammonium, nitrate and phosphate
  // was taken out again (the bottom layer was not anoxic): 1.
  Array1<int> SINFLUJOSED{"SINFLUJOSED"};

  // Sizes every array for the month, all at 0; arrays of the sizes they
  // had are cleared, not allocated again.
  void dimensionar(int NSUB, int NC, int NUMCONT1OR);
  // Clears the growth factors and every mass-balance term.
  void sin_procesos();

  // Concentration of constituent c at the start of sub-step j: the start of
  // the month at j = 1, the end of sub-step j - 1 otherwise.
  double P1(int j, int c) const { return j == 1 ? CO1(c) : C1I(j - 1, c); }
  double P2(int j, int c) const { return j == 1 ? CO2(c) : C2I(j - 1, c); }
  bool dos_capas() const { return UNACAPA == 0; }
  // Whether an integration that stops at its earliest divergence is done
  // with sub-step j.
  bool parada(int j) const { return hasta_divergencia && diverge && j >= subpaso_diverge; }
  // The work arrays of the month's accepted integration: these, or those of
  // the finer sub-steps.
  TrabajoEmbalse& integrado() { return factor == 1 ? *this : *fino; }

  // a / b; a zero divisor (or a result that is not a number) is noted and
  // gives 0.
  double cociente(double a, double b);

 private:
  int NSUB_ = -1, NC_ = -1, NUMCONT1OR_ = -1;  // the sizes of the arrays
};

// The kinetic rates of the layers, each once as the pair of its layer 1 and
// layer 2 arrays: `dimensionar` sizes them from this list, and the layer
// bindings `epilimnio` and `hipolimnio` (layer.h) give each pair a member of
// CapaEmbalse; a rate of the layers that is not listed here is never sized.
struct TasaCapas {
  Array1<double> TrabajoEmbalse::*capa1;
  Array1<double> TrabajoEmbalse::*capa2;
};
inline constexpr TasaCapas TASASCAPAS[] = {
    {&TrabajoEmbalse::KAAUX1, &TrabajoEmbalse::KAAUX2},
    {&TrabajoEmbalse::KDAUX1, &TrabajoEmbalse::KDAUX2},
    {&TrabajoEmbalse::KNOAAUX1, &TrabajoEmbalse::KNOAAUX2},
    {&TrabajoEmbalse::KNAIAUX1, &TrabajoEmbalse::KNAIAUX2},
    {&TrabajoEmbalse::KNO3AUX1, &TrabajoEmbalse::KNO3AUX2},
    {&TrabajoEmbalse::KMAXGROWAUX1, &TrabajoEmbalse::KMAXGROWAUX2},
    {&TrabajoEmbalse::KGROWAUX1, &TrabajoEmbalse::KGROWAUX2},
    {&TrabajoEmbalse::KRESPAUX1, &TrabajoEmbalse::KRESPAUX2},
    {&TrabajoEmbalse::OSATAUX1, &TrabajoEmbalse::OSATAUX2},
    {&TrabajoEmbalse::KFOSFAUX1, &TrabajoEmbalse::KFOSFAUX2},
    {&TrabajoEmbalse::KFOSFAAUX1, &TrabajoEmbalse::KFOSFAAUX2},
    {&TrabajoEmbalse::KDSINLIMAUX1, &TrabajoEmbalse::KDSINLIMAUX2},
    {&TrabajoEmbalse::KNAISINLIMAUX1, &TrabajoEmbalse::KNAISINLIMAUX2},
};

// The terms of a booked array, as "balances.csv" heads them: the heading
// of each term in order, ";" between them; and the heading of term t (from
// 1).
constexpr int terminos_balance(std::string_view encabezados) {
  return static_cast<int>(std::count(encabezados.begin(), encabezados.end(), ';')) + 1;
}
constexpr std::string_view encabezado_balance(std::string_view encabezados, int t) {
  for (; t > 1; --t) encabezados.remove_prefix(encabezados.find(';') + 1);
  return encabezados.substr(0, encabezados.find(';'));
}

// The transport terms of each layer, booked for every constituent. Their
// headings in "balances.csv" are prefixes of the constituent names.
struct TransporteBalance {
  Array3<double> TrabajoEmbalse::*masa;  // (sub-step, constituent, term)
  std::string_view encabezados;          // the prefix of each term's headings
  constexpr int terminos() const { return terminos_balance(encabezados); }
  constexpr std::string_view encabezado(int t) const { return encabezado_balance(encabezados, t); }
};
// Terms: 1 change of the layer volume, 2 outflow, 3 inflow, 4 exchange,
// 5 transfer across the thermocline, 6 sediment flux.
inline constexpr TransporteBalance BALANCETRANSPORTE[] = {
    {&TrabajoEmbalse::MASAEP, "IncreVol_ep;SalidaEp_;EntradaEp_;DispersionEp_;VariacTermEp_;FlujoSedEp_"},
    {&TrabajoEmbalse::MASAHIP, "IncreVol_Hip;SalidaHip_;EntradaHip_;DispersionHip_;VariacTermHip_;FlujSedHip_"},
};

// The booked process terms of the kinetics, each array once, in the order
// of their columns in "balances.csv": the array, the volume of its layer
// (which turns a term into a mass there), the block of headings it is
// headed in and the heading of each of its terms. `dimensionar` sizes each
// array with one term a heading, and "balances.csv" writes, after the
// transport, the terms of each array in turn under these headings, in three
// blocks each padded, and cut, to LARGOBLOQUEPROCESOS characters: a booked
// term more is a heading more here, and no count elsewhere.
struct ProcesoBalance {
  Array2<double> TrabajoEmbalse::*masa;     // (sub-step, term)
  Array1<double> TrabajoEmbalse::*volumen;  // V1I or V2I
  int bloque;                               // block of headings, 1 to 3
  std::string_view encabezados;
  constexpr int terminos() const { return terminos_balance(encabezados); }
  constexpr std::string_view encabezado(int t) const { return encabezado_balance(encabezados, t); }
};
inline constexpr ProcesoBalance BALANCEPROCESOS[] = {
    // Reaeration, BOD decay, nitrification, algal growth and respiration.
    {&TrabajoEmbalse::MASAEPOD, &TrabajoEmbalse::V1I, 1,
     "OD_Reaireac_Ep;OD_DegrL_Ep;OD_DegrNh4_Ep;OD_CrecFit_Ep;OD_MuertFit_Ep"},
    {&TrabajoEmbalse::MASAHIPOD, &TrabajoEmbalse::V2I, 1,
     "OD_Reaireac_Hip;OD_DegrL_Hip;OD_DegrNh4_Hip;OD_CrecFit_Hip;OD_MuertFit_Hip"},
    // Decay, settling; in layer 2 what settles from layer 1.
    {&TrabajoEmbalse::MASAEPL, &TrabajoEmbalse::V1I, 1, "L_Degr_Ep;L_Sed_Ep"},
    {&TrabajoEmbalse::MASAHIPL, &TrabajoEmbalse::V2I, 1, "L_Degr_Hip;L_Sed_Hip;L_Sed12_Hip"},
    // Ammonification, settling, algal respiration; in layer 2 what settles
    // from layer 1.
    {&TrabajoEmbalse::MASAEPNORG, &TrabajoEmbalse::V1I, 2, "Norg_Degr_Ep;Norg_Sed_Ep;Norg_MuertFit_Ep"},
    {&TrabajoEmbalse::MASAHIPNORG, &TrabajoEmbalse::V2I, 2,
     "Norg_Degr_Hip;Norg_Sed_Hip;Norg_MuertFit_Hip;Norg_Sed12_Hip"},
    // Nitrification, ammonification, algal uptake.
    {&TrabajoEmbalse::MASAEPNH4, &TrabajoEmbalse::V1I, 2, "Nh4_Degr_Ep;Nh4_DegrNorg_Ep;NH4_CrecFito_Ep"},
    {&TrabajoEmbalse::MASAHIPNH4, &TrabajoEmbalse::V2I, 2, "Nh4_Degr_Hip;Nh4_DegrNorg_Hip;NH4_CrecFito_Hip"},
    // Denitrification, nitrification, algal uptake.
    {&TrabajoEmbalse::MASAEPNO3, &TrabajoEmbalse::V1I, 2, "No3_Desnitr_Ep;No3_Nitrif_Ep;No3_CrecFito_Ep"},
    {&TrabajoEmbalse::MASAHIPNO3, &TrabajoEmbalse::V2I, 2, "No3_Desnitr_Hip;No3_Nitrif_Hip;No3_CrecFito_Hip"},
    // Growth, respiration, settling; in layer 2 what settles from layer 1.
    {&TrabajoEmbalse::MASAEPCHLA, &TrabajoEmbalse::V1I, 3, "Chla_Crec_Ep;Chla_MuertFit_Ep;Chla_Sed_Ep"},
    {&TrabajoEmbalse::MASAHIPCHLA, &TrabajoEmbalse::V2I, 3,
     "Chla_CrecFit_hip;Chla_Muert_hip;Chla_Sed_hip;Chla_Sed12_hip"},
    // Mineralisation, settling, algal respiration; in layer 2 what settles
    // from layer 1.
    {&TrabajoEmbalse::MASAEPPORG, &TrabajoEmbalse::V1I, 3, "Porg_Degr_Ep;Porg_Sed_Ep;Porg_Resp_Ep"},
    {&TrabajoEmbalse::MASAHIPPORG, &TrabajoEmbalse::V2I, 3, "Porg_Degr_Hip;Porg_Sed_Hip;Porg_Resp_Hip;Porg_Sed12_Hip"},
    // Loss, mineralisation, algal uptake, algal respiration.
    {&TrabajoEmbalse::MASAEPPO4, &TrabajoEmbalse::V1I, 3, "Po4_Degr_Ep;Po4_PorgDegr_Ep;Po4_CrecFit_Ep;Po4_MuertFit_Ep"},
    {&TrabajoEmbalse::MASAHIPPO4, &TrabajoEmbalse::V2I, 3,
     "Po4_Degr_Hip;Po4_PorgDegr_Hip;Po4_CrecFit_Hip;Po4_MuertFit_Hip"},
};

// The blocks of process headings of "balances.csv" and the characters each
// is padded, and cut, to.
inline constexpr int NUMBLOQUESPROCESOS = 3;
inline constexpr std::size_t LARGOBLOQUEPROCESOS = 500;

// The characters of the headings of block b, ";" between them.
constexpr std::size_t largo_bloque_procesos(int b) {
  std::size_t n = 0;
  bool primero = true;
  for (const ProcesoBalance& p : BALANCEPROCESOS)
    if (p.bloque == b) {
      n += p.encabezados.size() + (primero ? 0 : 1);
      primero = false;
    }
  return n;
}

// The arrays come block by block, each block holds one at least, and its
// headings fit in it: a heading cut by the padding would leave its column
// unnamed.
static_assert(
    [] {
      int b = 1;
      for (const ProcesoBalance& p : BALANCEPROCESOS) {
        if (p.bloque != b && p.bloque != b + 1) return false;
        b = p.bloque;
      }
      for (int k = 1; k <= NUMBLOQUESPROCESOS; ++k)
        if (largo_bloque_procesos(k) == 0 || largo_bloque_procesos(k) > LARGOBLOQUEPROCESOS) return false;
      return b == NUMBLOQUESPROCESOS;
    }(),
    "the process arrays of BALANCEPROCESOS come block by block, and each block's headings fit in it");

// Reservoir K at row I of ORDENNUDOS in month M (1 = October) of year Y: turns
// the inflow concentrations CE (constituent, calculation units: the node's mix,
// or the measured inflow of the calibrated reservoir, as the caller hands
// them), the month's water balance and the previous month's layers into the
// layer concentrations EMB1CF, EMB2CF, the layer volumes V1F, V2F and the
// outflow NUDOSCS of the node; may raise ERROREMB(K); writes the partial result
// file of reservoirs and "balances.csv" for a reservoir whose INRESPAREMB is 1.
// A month whose integration diverges is integrated again from its start with 2,
// 4, 8, ... times its sub-steps, while they are too long for the step to be
// stable and MAXSUBPASOSEMBALSE allows; such months are counted in
// NUMMESESFINOSEMB(K) and the first of them is named in the run log. A month
// that the sub-steps cannot resolve (it diverges still, or ends beyond what the
// water can hold) takes the mix of the water it held and the water it received,
// as a reservoir emptied in it would; such months are counted in
// MESESMEZCLAEMB(K) and the first of them is named in the run log. The month is
// worked in the caller's work arrays w, kept from month to month, which hold
// the month afterwards (the sub-steps as given; the finer ones in `w.fino`).
void CALCULOEMBSUB(Modelo& m, TrabajoEmbalse& w, int I, int K, const Array1<double>& CE, int M, int Y);

// Level-area-volume curve of reservoir K: MODE 1 gives the level COTA and
// area SUP of the volume VOL, MODE 2 the volume and area of the level, MODE
// 3 the volume and level of the area; any other mode does nothing. Below the
// curve's first point by proportion, between points by straight lines,
// above the last point by the last segment (mode 1) or a stop with three
// lines in the run log (modes 2 and 3).
void CURVAEMBSUB(Modelo& m, int K, double& VOL, double& COTA, double& SUP, int MODE);

// One sub-step of the four-stage scheme, as pure functions: the new
// concentration(s) and whether a stage value diverged (above the bound or
// not a number).
struct PasoEmbalse {
  double C1 = 0.0;
  double C2 = 0.0;
  bool diverge = false;
  // The results of the four stages before the guard and the floor (the
  // second 0 in a one-layer step).
  double bruto1 = 0.0;
  double bruto2 = 0.0;
};
// Whether a result of the step is one that the floor lifts (below 1e-7,
// stored as 1e-8).
bool en_el_suelo(double c);
// Whether a stage value of the one-layer or the two-layer step passes the
// guard against divergence (above its bound, or not a finite number).
bool etapa_divergente(double etapa, bool dos_capas);
// Constituent k's result of sub-step j found by other means than the step
// (the oxygen of a sub-step whose sinks are taken at its end): C1 (and C2 in
// a two-layer month), with the floor and the notes of a divergence of the
// step.
void FIJAEMBSUB(const Modelo& m, TrabajoEmbalse& w, int k, int j, double C1, double C2);
// dC/dt = A C + D from P.
PasoEmbalse paso_una_capa(double A, double D, double P);
// dC1/dt = A1 C1 + B1 C2 + D1, dC2/dt = A2 C2 + B2 C1 + D2 from (P1, P2).
PasoEmbalse paso_dos_capas(double A1, double B1, double D1, double A2, double B2, double D2, double P1, double P2);

// Constituent k over sub-step j of the month from the previous
// concentration(s): writes C1I(j, k) (and C2I(j, k)); a divergence is noted
// in the work arrays, and the month decides (finer sub-steps, or the mix of
// its water).
void INTEGRAEMB1SUB(const Modelo& m, TrabajoEmbalse& w, int k, int j, double CPREV);
void INTEGRAEMB2SUB(const Modelo& m, TrabajoEmbalse& w, int k, int j, double C1PREV, double C2PREV);

}  // namespace tornal
