// The work arrays of the reach model: one struct, sized for the reach in
// hand at every call (the storage of the largest reach so far is reused),
// held by the run's Modelo and handed explicitly to every stage.
#pragma once

#include "common/array.h"

namespace tornal {

struct TrabajoTramo {
  // Per segment (i = 1 .. NUMSEGMENTOS, from the head).
  Array1<double> QI1{"QI1"}, QI{"QI"}, UI{"UI"}, AIC{"AIC"}, Y{"Y"}, VI{"VI"}, AXY{"AXY"};
  Array1<double> EIJ{"EIJ"};  // interfaces 1 .. NUMSEGMENTOS - 1
  // Per segment and constituent: concentrations and the stored transport
  // rows; DIAG2 and WI2 are the rows of one pass of the oxygen iteration.
  Array2<double> CX{"CX"}, SUB{"SUB"}, DIAG{"DIAG"}, SUPER{"SUPER"}, WI{"WI"}, DIAG2{"DIAG2"}, WI2{"WI2"};
  // Diffuse load of the reach, per constituent.
  Array1<double> SDIF{"SDIF"};
  // One constituent's system, its solution and the solver's work vector.
  Array1<double> SUBAUX{"SUBAUX"}, DIAGAUX{"DIAGAUX"}, SUPERAUX{"SUPERAUX"}, WIAUX{"WIAUX"}, SOLAUX{"SOLAUX"};
  Array1<double> GAM{"GAM"};
  // Rates per segment (1/day): the first-order pollutant in hand, then the
  // fixed rates of the oxygen group and those of every pass.
  Array1<double> KAUX{"KAUX"};
  Array1<double> KAAUX{"KAAUX"}, OSATAUX{"OSATAUX"}, KDAUX{"KDAUX"}, KDAUX2{"KDAUX2"}, KDACTUAL{"KDACTUAL"},
      KDPREV{"KDPREV"};
  Array1<double> KNOAAUX{"KNOAAUX"}, KNAIAUX{"KNAIAUX"}, KNAIAUX2{"KNAIAUX2"}, KNO3AUX{"KNO3AUX"},
      KNO3AUX2{"KNO3AUX2"};
  Array1<double> KMAXGROWAUX{"KMAXGROWAUX"}, KGROWAUX2{"KGROWAUX2"}, KRESPAUX{"KRESPAUX"}, KFOSFAUX{"KFOSFAUX"},
      KFOSFAAUX{"KFOSFAAUX"}, LIMLUMCOND{"LIMLUMCOND"}, KE{"KE"}, ALFA1{"ALFA1"};

  // Every array sized for N segments and NC constituents, all values 0.
  void dimensionar(int N, int NC) {
    for (Array1<double>* a : {&QI1, &QI, &UI, &AIC, &Y, &VI, &AXY, &SUBAUX, &DIAGAUX, &SUPERAUX, &WIAUX, &SOLAUX,
                              &GAM, &KAUX, &KAAUX, &OSATAUX, &KDAUX, &KDAUX2, &KDACTUAL, &KDPREV, &KNOAAUX,
                              &KNAIAUX, &KNAIAUX2, &KNO3AUX, &KNO3AUX2, &KMAXGROWAUX, &KGROWAUX2, &KRESPAUX,
                              &KFOSFAUX, &KFOSFAAUX, &LIMLUMCOND, &KE, &ALFA1})
      a->resize(N);
    EIJ.resize(N - 1);
    for (Array2<double>* a : {&CX, &SUB, &DIAG, &SUPER, &WI, &DIAG2, &WI2}) a->resize(N, NC);
    SDIF.resize(NC);
  }
};

}  // namespace tornal
