// The work arrays of the reach model: one struct, sized for the reach in
// hand at every call (kept while the sizes do not change), held by the
// run's Modelo and handed explicitly to every stage.
#pragma once

#include <bit>
#include <cmath>
#include <cstdint>

#include "common/array.h"

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

struct TrabajoTramo {
  // Per segment (i = 1 .. NUMSEGMENTOS, from the head).
  Array1<double> QI1{"QI1"}, QI{"QI"}, UI{"UI"}, AIC{"AIC"}, Y{"Y"}, VI{"VI"}, AXY{"AXY"};
  Array1<double> EIJ{"EIJ"};  // interfaces 1 .. NUMSEGMENTOS - 1
  // The transport rows: the sub- and superdiagonal, the same for every
  // constituent; per segment and constituent the diagonal and the right
  // side (a stage may add its terms to those of its constituents), and the
  // concentrations.
  Array1<double> SUB{"SUB"}, SUPER{"SUPER"};
  Array2<double> CX{"CX"}, DIAG{"DIAG"}, WI{"WI"};
  // Diffuse load of the reach, per constituent.
  Array1<double> SDIF{"SDIF"};
  // The diagonal and right side of a system that differs from the stored
  // rows (the heat exchange, a pass of the oxygen iteration), a solution
  // that may be turned down (a pass of the heat balance), and the solver's
  // work vector.
  Array1<double> DIAGAUX{"DIAGAUX"}, WIAUX{"WIAUX"}, SOLAUX{"SOLAUX"};
  Array1<double> GAM{"GAM"};
  // The work arrays of systems solved together (one per constituent): the
  // factors of the solve, the last pivot and the segment of the first
  // vanishing pivot.
  Array2<double> GAMVARIOS{"GAMVARIOS"};
  Array1<double> BETVARIOS{"BETVARIOS"};
  Array1<int> PIVOTENULO{"PIVOTENULO"};
  // Rates per segment (1/day): the first-order pollutant in hand with the
  // last temperature correction of each segment, then the fixed rates of
  // the oxygen group and those of every pass.
  Array1<double> KAUX{"KAUX"};
  Array1<PotenciaRecordada> CORRECCION1OR{"CORRECCION1OR"};
  Array1<double> KAAUX{"KAAUX"}, OSATAUX{"OSATAUX"}, KDAUX{"KDAUX"}, KDAUX2{"KDAUX2"}, KDACTUAL{"KDACTUAL"},
      KDPREV{"KDPREV"};
  Array1<double> KNOAAUX{"KNOAAUX"}, KNAIAUX{"KNAIAUX"}, KNAIAUX2{"KNAIAUX2"}, KNO3AUX{"KNO3AUX"},
      KNO3AUX2{"KNO3AUX2"};
  Array1<double> KMAXGROWAUX{"KMAXGROWAUX"}, KGROWAUX2{"KGROWAUX2"}, KRESPAUX{"KRESPAUX"}, KFOSFAUX{"KFOSFAUX"},
      KFOSFAAUX{"KFOSFAAUX"}, LIMLUMCOND{"LIMLUMCOND"}, KE{"KE"}, ALFA1{"ALFA1"};

  // Every array sized for N segments and NC constituents, all values 0.
  // With the sizes of the last call the arrays are kept as they are: every
  // value that a stage reads is written earlier in the same call, but for
  // the diffuse loads (added up) and the concentrations (a column that no
  // stage solves stays 0), which are set to 0 again.
  void dimensionar(int N, int NC) {
    if (N == N_ && NC == NC_) {
      SDIF.fill(0.0);
      CX.fill(0.0);
      return;
    }
    for (Array1<double>* a : {&QI1, &QI, &UI, &AIC, &Y, &VI, &AXY, &SUB, &SUPER, &DIAGAUX, &WIAUX, &SOLAUX, &GAM, &KAUX,
                              &KAAUX, &OSATAUX, &KDAUX, &KDAUX2, &KDACTUAL, &KDPREV, &KNOAAUX, &KNAIAUX, &KNAIAUX2,
                              &KNO3AUX, &KNO3AUX2, &KMAXGROWAUX, &KGROWAUX2, &KRESPAUX, &KFOSFAUX, &KFOSFAAUX,
                              &LIMLUMCOND, &KE, &ALFA1})
      a->resize(N);
    CORRECCION1OR.resize(N);
    EIJ.resize(N - 1);
    for (Array2<double>* a : {&CX, &DIAG, &WI, &GAMVARIOS}) a->resize(N, NC);
    for (Array1<double>* a : {&SDIF, &BETVARIOS}) a->resize(NC);
    PIVOTENULO.resize(NC);
    N_ = N;
    NC_ = NC;
  }

 private:
  int N_ = -1, NC_ = -1;  // the sizes of the arrays
};

}  // namespace tornal
