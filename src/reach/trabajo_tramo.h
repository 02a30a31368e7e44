// The work arrays of the reach model: one struct, sized for the reach in
// hand at every call (kept while the sizes do not change), held by the
// driver of the monthly road and handed explicitly to every stage.
#pragma once

#include <bit>
#include <cmath>
#include <cstdint>
#include <vector>

#include "common/array.h"
#include "common/free_writer.h"

namespace tornal {

// A power remembered with its base and exponent (bit for bit): the
// temperature correction theta^(T - 20) of a first-order pollutant is asked
// again for every pollutant of the same theta, and month after month at a
// temperature given as data.
struct PotenciaRecordada {
  std::uint64_t base = 0, exponente = 0;
  double valor = 0.0;
  bool hay = false;

  double operator()(double b, double e) {
    const std::uint64_t bb = std::bit_cast<std::uint64_t>(b);
    const std::uint64_t be = std::bit_cast<std::uint64_t>(e);
    if (!hay || bb != base || be != exponente) {
      base = bb;
      exponente = be;
      valor = std::pow(b, e);
      hay = true;
    }
    return valor;
  }
};

// Units in brackets: flows, exchanges and loads per day, concentrations in
// internal units ([C]: the constituent's, temperature in degC), rates per day
// at the segment's temperature. [-]: a ratio.
struct TrabajoTramo {
  // Per segment (i = 1 .. NUMSEGMENTOS, from the head).
  Array1<double> QI1{"QI1"},  // flow through the downstream face [m3/day]
      QI{"QI"},               // flow at the centre [m3/day]
      UI{"UI"},               // mean velocity [m/day]
      AIC{"AIC"},             // wetted cross-section [m2]
      Y{"Y"},                 // depth [m]
      VI{"VI"},               // volume [m3]
      AXY{"AXY"};             // water surface [m2]
  Array1<double> EIJ{"EIJ"};  // interfaces 1 .. NUMSEGMENTOS - 1: dispersive exchange flow [m3/day]
  // The transport rows: the sub- and superdiagonal, the same for every
  // constituent; per segment and constituent the diagonal and the right
  // side (a stage may add its terms to those of its constituents), and the
  // concentrations.
  Array1<double> SUB{"SUB"},  // subdiagonal [m3/day]
      SUPER{"SUPER"};         // superdiagonal [m3/day]
  Array2<double> CX{"CX"},    // (segment, constituent): concentration [C]
      DIAG{"DIAG"},           // (segment, constituent): diagonal [m3/day]
      WI{"WI"};               // (segment, constituent): right side, the loads [m3/day x C]
  // The concentrations as a pass of the oxygen iteration toward its fixed
  // point started (kept while a pass is tried from them).
  Array2<double> CXGUARDADO{"CXGUARDADO"};  // (segment, constituent) [C]
  // Diffuse load of the reach, per constituent.
  Array1<double> SDIF{"SDIF"};  // load of the whole reach [m3/day x C]
  // The diagonal and right side of a system that differs from the stored
  // rows (the heat exchange, a pass of the oxygen iteration), a solution
  // that may be turned down (a pass of the heat balance; the oxygen a pass
  // toward the fixed point of the oxygen iteration starts with), and the
  // solver's work vector.
  Array1<double> DIAGAUX{"DIAGAUX"},  // diagonal [m3/day]
      WIAUX{"WIAUX"},                 // right side [m3/day x C]
      SOLAUX{"SOLAUX"};               // solution [C]
  Array1<double> GAM{"GAM"};          // elimination factors [-]
  // The path of the water where the solve cannot carry a growth, per
  // segment: the water's time through it, its rate and loads over its
  // volume, what crossing it does to the water (C -> e C + f), and the
  // same for it and the segments after it in the window of the path.
  Array1<double> TIEMPOSEG{"TIEMPOSEG"},  // time through the segment [day]
      TASASEG{"TASASEG"},                 // rates and dilution [1/day]
      APORTESEG{"APORTESEG"},             // loads over the volume [C/day]
      EXPSEG{"EXPSEG"},                   // e of the crossing [-]
      CRECESEG{"CRECESEG"},               // f of the crossing [C]
      EXPVENTANA{"EXPVENTANA"},           // e from the segment on [-]
      CRECEVENTANA{"CRECEVENTANA"};       // f from the segment on [C]
  // The work arrays of systems solved together (one per constituent): the
  // factors of the solve, the last pivot and the segment of the first
  // vanishing pivot.
  Array2<double> GAMVARIOS{"GAMVARIOS"};  // (segment, system): elimination factors [-]
  Array1<double> BETVARIOS{"BETVARIOS"};  // (system): last pivot [m3/day]
  Array1<int> PIVOTENULO{"PIVOTENULO"};   // (system): segment of the first vanishing pivot, 0: none
  // Rates per segment (1/day): the first-order pollutant in hand with the
  // last temperature correction of each segment, then the fixed rates of
  // the oxygen group and those of every pass.
  Array1<double> KAUX{"KAUX"};  // decay rate of the pollutant in hand [1/day]
  // The correction theta^(T - 20) of that decay, remembered [-].
  Array1<PotenciaRecordada> CORRECCION1OR{"CORRECCION1OR"};
  Array1<double> KAAUX{"KAAUX"},      // reaeration rate [1/day]
      OSATAUX{"OSATAUX"},             // oxygen saturation, times the altitude factor where given [mg/l]
      KDAUX{"KDAUX"},                 // BOD decay rate [1/day]
      KDAUX2{"KDAUX2"},               // decay of the pass: KDACTUAL, from the second pass its mean with KDPREV [1/day]
      KDACTUAL{"KDACTUAL"},           // BOD decay limited by the oxygen of the pass [1/day]
      KDPREV{"KDPREV"};               // KDACTUAL of the previous pass [1/day]
  Array1<double> KNOAAUX{"KNOAAUX"},  // organic-nitrogen ammonification rate [1/day]
      KNAIAUX{"KNAIAUX"},             // nitrification rate [1/day]
      KNAIAUX2{"KNAIAUX2"},           // nitrification limited by the oxygen of the pass [1/day]
      KNO3AUX{"KNO3AUX"},             // denitrification rate [1/day]
      KNO3AUX2{"KNO3AUX2"};           // denitrification inhibited by the oxygen of the pass [1/day]
  // The share of decay and nitrification that the 1 mg/l switch leaves on,
  // where the oxygen passes settle only with the switch taken gradually.
  Array1<double> UMBRAL{"UMBRAL"};            // [-]
  Array1<double> KMAXGROWAUX{"KMAXGROWAUX"},  // maximum phytoplankton growth rate [1/day]
      KGROWAUX2{"KGROWAUX2"},                 // growth of the pass, limited by light and nutrients [1/day]
      KRESPAUX{"KRESPAUX"},                   // phytoplankton respiration rate [1/day]
      KFOSFAUX{"KFOSFAUX"},                   // organic-phosphorus mineralisation rate [1/day]
      KFOSFAAUX{"KFOSFAAUX"},                 // phosphate loss rate, not temperature-corrected [1/day]
      LIMLUMCOND{"LIMLUMCOND"},               // light limitation of the growth, photoperiod included [-]
      KE{"KE"},                               // light extinction, chlorophyll-a included [1/m]
      ALFA1{"ALFA1"};                         // light at the segment's bottom over the saturating light [-]
  // The notes of the reach-month for the run log, kept until the month
  // stands (nota, escribir_notas of reach/tramo.h).
  std::vector<std::vector<FreeItem>> notas;
  // Whether a solve of the reach-month found its one mixed segment or its
  // segments with no steady state (counted once a month).
  bool sin_estacionario = false;
  // Per constituent, the path of the reach-month decided at its first solve
  // with a growth (transport.cpp): 0 not yet, 1 the solve, 2 the path of the
  // water. Set to 0 at the start of every reach-month.
  Array1<int> CAMINO{"CAMINO"};

  // Every array sized for N segments and NC constituents. Sizes other than
  // those of the last call make every array anew, all values 0; with the
  // same sizes the arrays keep what the last call left in them, since every
  // value that a stage reads is written earlier in the same call, but for
  // the diffuse loads SDIF (added up) and the concentrations CX (a column
  // that no stage solves stays 0), which are set to 0 again.
  void dimensionar(int N, int NC) {
    if (N == N_ && NC == NC_) {
      SDIF.fill(0.0);
      CX.fill(0.0);
      return;
    }
    for (Array1<double>* a :
         {&QI1,      &QI,       &UI,         &AIC,          &Y,        &VI,      &AXY,       &SUB,         &SUPER,
          &DIAGAUX,  &WIAUX,    &SOLAUX,     &GAM,          &KAUX,     &KAAUX,   &OSATAUX,   &KDAUX,       &KDAUX2,
          &KDACTUAL, &KDPREV,   &KNOAAUX,    &KNAIAUX,      &KNAIAUX2, &KNO3AUX, &KNO3AUX2,  &KMAXGROWAUX, &KGROWAUX2,
          &KRESPAUX, &KFOSFAUX, &KFOSFAAUX,  &LIMLUMCOND,   &KE,       &ALFA1,   &TIEMPOSEG, &TASASEG,     &APORTESEG,
          &EXPSEG,   &CRECESEG, &EXPVENTANA, &CRECEVENTANA, &UMBRAL})
      a->resize(N);
    CORRECCION1OR.resize(N);
    EIJ.resize(N - 1);
    for (Array2<double>* a : {&CX, &CXGUARDADO, &DIAG, &WI, &GAMVARIOS}) a->resize(N, NC);
    for (Array1<double>* a : {&SDIF, &BETVARIOS}) a->resize(NC);
    PIVOTENULO.resize(NC);
    CAMINO.resize(NC);
    N_ = N;
    NC_ = NC;
  }

 private:
  int N_ = -1, NC_ = -1;  // the sizes of the arrays
};

}  // namespace tornal
