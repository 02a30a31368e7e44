// The reservoir quality model: one reservoir in one month, one mixed layer or
// an epilimnion (layer 1) over a hypolimnion (layer 2), integrated through
// the month in sub-steps; its level-area-volume curve lookup and its two
// sub-step integrators.
#pragma once

#include <memory>

#include "common/array.h"
#include "modelo/modelo.h"

namespace tornal {

// The work arrays of one reservoir month, sized by the sub-steps NSUB, the
// constituents NC and the first-order pollutants. Layer 1 is the epilimnion
// (or the whole water body in a one-layer month), layer 2 the hypolimnion.
// Every array starts the month at 0.
struct TrabajoEmbalse {
  // The month: reservoir, node row, month, year, sub-steps and their length
  // in days; the volume of a month's flow per sub-step (DIVISORUNIDADES /
  // NSUB).
  int K = 0, I = 0, M = 0, Y = 0, NSUB = 0;
  double dt = 0.0, VOLQ = 0.0;
  // Water balance (volumes, flows per sub-step, transfer across the
  // thermocline) and the one-layer flag.
  double V0 = 0.0, VFIN = 0.0, ZT = 0.0, V1O = 0.0, V2O = 0.0;
  double QIN = 0.0, QS1 = 0.0, QE1 = 0.0, QS2 = 0.0, QE2 = 0.0, QV = 0.0, QVSUBE = 0.0, QVBAJA = 0.0;
  int UNACAPA = 1;
  bool ANOXICO = false;
  // A division by zero was met (a depth, volume, extinction or light of 0):
  // the month goes on and the reservoir's error flag is raised.
  bool division_nula = false;
  // The integration of the month diverged: a stage above the integrators'
  // guard, a result that is not a finite number, a layer temperature
  // outside -50..100 degrees, or a negative result lifted by the floor in a
  // sub-step too long for the step; the earliest sub-step where it did and
  // its constituent.
  bool diverge = false;
  int subpaso_diverge = 0, contaminante_diverge = 0;
  // The sub-steps of the month that make up each given one: 1, or 2, 4, 8,
  // ... when the given sub-steps diverge and the month is integrated again
  // from its start in the work arrays `fino` (kept for the next such month
  // of these work arrays). The sub-step files keep the rows of the given
  // sub-steps.
  int factor = 1;
  std::unique_ptr<TrabajoEmbalse> fino;

  // Start concentrations, inflow concentrations, sediment flux per unit area
  // and sub-step (constituent).
  Array1<double> CO1{"CO1"}, CO2{"CO2"}, C1ENTRI{"C1ENTRI"}, C2ENTRI{"C2ENTRI"}, FLUJSEDEMBA{"FLUJSEDEMBA"};
  // Concentrations at the end of each sub-step and the linear system of each
  // sub-step (sub-step, constituent).
  Array2<double> C1I{"C1I"}, C2I{"C2I"};
  Array2<double> AC1I{"AC1I"}, BC1I{"BC1I"}, DC1I{"DC1I"}, AC2I{"AC2I"}, BC2I{"BC2I"}, DC2I{"DC2I"};
  // Volumes at the middle of each sub-step and at its boundaries (NSUB + 1),
  // thickness and areas of the layers, exchange between them (sub-step).
  Array1<double> V1I{"V1I"}, V2I{"V2I"}, VI{"VI"}, V1IO{"V1IO"}, V2IO{"V2IO"};
  Array1<double> ZEPILI{"ZEPILI"}, AEPILI{"AEPILI"}, ZHYPI{"ZHYPI"}, AHYPI{"AHYPI"}, E12I{"E12I"};
  // First-order decay rates (sub-step, pollutant).
  Array2<double> KAUXE1{"KAUXE1"}, KAUXE2{"KAUXE2"};
  // Kinetic rates per sub-step (dt included) and oxygen saturation.
  Array1<double> KAAUX1{"KAAUX1"}, KDAUX1{"KDAUX1"}, KNOAAUX1{"KNOAAUX1"}, KNAIAUX1{"KNAIAUX1"},
      KNO3AUX1{"KNO3AUX1"}, KMAXGROWAUX1{"KMAXGROWAUX1"}, KGROWAUX1{"KGROWAUX1"}, KRESPAUX1{"KRESPAUX1"},
      OSATAUX1{"OSATAUX1"}, KFOSFAUX1{"KFOSFAUX1"}, KFOSFAAUX1{"KFOSFAAUX1"};
  Array1<double> KAAUX2{"KAAUX2"}, KDAUX2{"KDAUX2"}, KNOAAUX2{"KNOAAUX2"}, KNAIAUX2{"KNAIAUX2"},
      KNO3AUX2{"KNO3AUX2"}, KMAXGROWAUX2{"KMAXGROWAUX2"}, KGROWAUX2{"KGROWAUX2"}, KRESPAUX2{"KRESPAUX2"},
      OSATAUX2{"OSATAUX2"}, KFOSFAUX2{"KFOSFAUX2"}, KFOSFAAUX2{"KFOSFAAUX2"};
  // Light limitation of each layer and the growth factors kept for the
  // partial results (factor 1..8, sub-step).
  Array1<double> LIMLUMEP{"LIMLUMEP"}, LIMLUMHIP{"LIMLUMHIP"};
  Array2<double> LIMITECRECIMIENTO{"LIMITECRECIMIENTO"};
  // Mass-balance terms: transport (sub-step, constituent, term 1..6) and the
  // processes of the kinetics (sub-step, term).
  Array3<double> MASAEP{"MASAEP"}, MASAHIP{"MASAHIP"};
  Array2<double> MASAEPOD{"MASAEPOD"}, MASAHIPOD{"MASAHIPOD"}, MASAEPL{"MASAEPL"}, MASAHIPL{"MASAHIPL"},
      MASAEPNORG{"MASAEPNORG"}, MASAHIPNORG{"MASAHIPNORG"}, MASAEPNH4{"MASAEPNH4"}, MASAHIPNH4{"MASAHIPNH4"},
      MASAEPNO3{"MASAEPNO3"}, MASAHIPNO3{"MASAHIPNO3"}, MASAEPCHLA{"MASAEPCHLA"}, MASAHIPCHLA{"MASAHIPCHLA"},
      MASAEPPORG{"MASAEPPORG"}, MASAHIPPORG{"MASAHIPPORG"}, MASAEPPO4{"MASAEPPO4"}, MASAHIPPO4{"MASAHIPPO4"};
  // Sub-steps in which the sediment flux of ammonium, nitrate and phosphate
  // was taken out again (the bottom layer was not anoxic): 1.
  Array1<int> SINFLUJOSED{"SINFLUJOSED"};

  // Sizes every array for the month, all at 0.
  void dimensionar(int NSUB, int NC, int NUMCONT1OR);

  // Concentration of constituent c at the start of sub-step j: the start of
  // the month at j = 1, the end of sub-step j - 1 otherwise.
  double P1(int j, int c) const { return j == 1 ? CO1(c) : C1I(j - 1, c); }
  double P2(int j, int c) const { return j == 1 ? CO2(c) : C2I(j - 1, c); }
  bool dos_capas() const { return UNACAPA == 0; }
  // The work arrays of the month's accepted integration: these, or those of
  // the finer sub-steps.
  TrabajoEmbalse& integrado() { return factor == 1 ? *this : *fino; }

  // a / b; a zero divisor (or a result that is not a number) is noted and
  // gives 0.
  double cociente(double a, double b);
};

// Reservoir K at row I of ORDENNUDOS in month M (1 = October) of year Y:
// turns the inflow concentrations CEEMBAUX, the month's water balance and
// the previous month's layers into the layer concentrations EMB1CF, EMB2CF,
// the layer volumes V1F, V2F and the outflow NUDOSCS of the node; may raise
// ERROREMB(K); writes the partial result file of reservoirs and
// "balances.csv" for a reservoir whose INRESPAREMB is 1. A month whose
// integration diverges is integrated again from its start with 2, 4, 8, ...
// times its sub-steps, while they are too long for the step to be stable and
// MAXSUBPASOSEMBALSE allows; such months are counted in NUMMESESFINOSEMB(K) and
// the first of them is named in the run log, as is a month that diverges
// still.
void CALCULOEMBSUB(Modelo& m, int I, int K, int M, int Y);
// The same with the caller's work arrays, which hold the month afterwards
// (the sub-steps as given; the finer ones in `w.fino`).
void CALCULOEMBSUB(Modelo& m, int I, int K, int M, int Y, TrabajoEmbalse& w);

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
// dC/dt = A C + D from P.
PasoEmbalse paso_una_capa(double A, double D, double P);
// dC1/dt = A1 C1 + B1 C2 + D1, dC2/dt = A2 C2 + B2 C1 + D2 from (P1, P2).
PasoEmbalse paso_dos_capas(double A1, double B1, double D1, double A2, double B2, double D2, double P1, double P2);

// Constituent k over sub-step j of the month from the previous
// concentration(s): writes C1I(j, k) (and C2I(j, k)); a divergence is noted
// in the work arrays, and the month decides (finer sub-steps, or ERROREMB).
void INTEGRAEMB1SUB(const Modelo& m, TrabajoEmbalse& w, int k, int j, double CPREV);
void INTEGRAEMB2SUB(const Modelo& m, TrabajoEmbalse& w, int k, int j, double C1PREV, double C2PREV);

}  // namespace tornal
