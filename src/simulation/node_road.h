// The months of the run: the loops over years and months with their
// counters and console lines, the node road of one month (mixing at every
// node in calculation order, returns, reservoirs, hydro plants, intakes and
// reaches) and the warnings of numerical trouble after the last month.
#pragma once

#include "common/array.h"
#include "modelo/modelo.h"
#include "reach/trabajo_tramo.h"
#include "reservoir/reservoir_model.h"

namespace tornal {

// The elements of one kind grouped by row of the calculation order: the
// elements of row f are ELEMENTOS(INICIO(f)) .. ELEMENTOS(INICIO(f + 1) - 1),
// in increasing element number.
struct ElementosPorFila {
  Array1<int> INICIO;     // (row 1 .. rows + 1): place in ELEMENTOS of the row's first element
  Array1<int> ELEMENTOS;  // element numbers, row after row
};

// What the node road looks up at each node, built once from the network
// before the months (on the first node visited), so that a month costs time
// in proportion to the elements and not to nodes times elements: per row of
// ORDENNUDOS the inflows (NUDOAPO), the reaches ending (CONDUCCIONES(I, 2))
// and starting (CONDUCCIONES(I, 1)) there, the hydro plants re-entering
// (NUDREINCEN) and taking (NUDTOMACEN) there, the pumping (NUDOBOMB), the
// returns (NUDORET), the intakes (NUMTOMA) and the reservoir of the highest
// number at the node (NUMNUDOEMB, 0 for none); per return, the intakes that
// feed it (NUMRETTOMA). Every element whose node is that of the row is in its
// list, as the scan of all the elements would find it.
struct ElementosNudos {
  bool hechos = false;                     // the lists are built
  ElementosPorFila APORTACIONES,           // inflows at the node
      LLEGADAS,                            // reaches ending there
      SALIDAS,                             // reaches starting there
      REINCEN,                             // hydro plants re-entering there
      TOMACEN,                             // hydro plants taking there
      BOMBEOS,                             // pumping at the node
      RETORNOS,                            // returns at the node
      TOMAS;                               // intakes at the node
  ElementosPorFila TOMASRETORNO;           // by return number: the intakes feeding it
  Array1<int> EMBALSEFILA{"EMBALSEFILA"};  // (row): reservoir at the node, 0: none
};

// Builds the lists of `e` from the network data and calculation order of r.
void preparar_elementos_nudos(const Red& r, ElementosNudos& e);

// The work of the node road, kept for the whole run: the sums of the
// current node and the inflow concentrations it hands to the models, sized
// once for the constituents of the run (flow times concentration of the
// inflows of the current node, weight times concentration of the intakes
// feeding the current return; the inflow of the reservoir of the current
// node, the head and lateral inflow of the reach being handed its water),
// the elements of each node, and the work arrays of the reach and reservoir
// models, handed to them at every reach and reservoir month and allocated
// again only when the sizes they need change. Flows in m3/day,
// concentrations in internal units ([C]).
struct TrabajoNudos {
  Array1<double> CENUDOAUX{"CENUDOAUX"};  // (constituent): sum of flow x concentration into the node [m3/day x C]
  Array1<double> CERETAUX{"CERETAUX"};    // (constituent): sum of abstraction x COEFRETTOMA x concentration
                                          // of the intakes feeding the return [m3/day x C]
  Array1<double> CEEMBAUX{"CEEMBAUX"};    // (constituent): inflow of the reservoir, to CALCULOEMBSUB [C]
  Array1<double> COIN{"COIN"};            // (constituent): head of the reach, to CALCULOCONDUCSUB [C]
  Array1<double> CEIN{"CEIN"};            // (constituent): lateral inflow of the reach, to CALCULOCONDUCSUB [C]
  ElementosNudos elementos;               // the elements of each row of the calculation order
  TrabajoTramo tramo;                     // work arrays of the reach model
  TrabajoEmbalse embalse;                 // work arrays of the reservoir model
  void dimensionar(int NUMCONTAMINANTES) {
    for (Array1<double>* a : {&CENUDOAUX, &CERETAUX, &CEEMBAUX, &COIN, &CEIN}) a->resize(NUMCONTAMINANTES);
  }
};

// Calibration options of the run, as CALCULOSUB receives them.
struct OpcionesCalibracion {
  int OPCIONCALIBCOND = 0;  // 1: flow and concentrations, 2: concentrations only
  int OPCIONCALIBEMB = 0;   // 1: the calibrated reservoir gets the measured inflow
};

// Row FILANUDO of ORDENNUDOS in month MES of year ANO: mixes all that flows
// into the node (NUDOSCE, ELERETCE/ELERETCS of its returns), sets the node's
// outflow NUDOSCS (through CALCULOEMBSUB at a reservoir node) and hands it to
// the plants (CENTRCE/CS), intakes (TOMASCE/CS) and reaches (CONDUCCCE and,
// through CALCULOCONDUCSUB or directly, CONDUCCCS) that start there. A row
// whose node number is negative is skipped. Stops on a loop found at run
// time and on an untreated return of negative concentration.
void recorrido_nudo(Modelo& m, TrabajoNudos& w, const OpcionesCalibracion& op, int FILANUDO, int MES, int ANO);

// Every row of the calculation order, in order, for one month.
void recorrido_mes(Modelo& m, TrabajoNudos& w, const OpcionesCalibracion& op, int MES, int ANO);

// The years and months of the run: MESACTUAL (restarted every year unless
// HAYCURVASLARGAS) and the running month MESSERIE, the console lines "Año"
// and "Mes", the time-varying constants of the month when HAYCTESTEMP, then
// the node road.
void meses_calculo(Modelo& m, TrabajoNudos& w, const OpcionesCalibracion& op);

// The warnings of the end of the run: three lines in the run log for every
// reservoir (ERROREMB) in numerical trouble, for every reservoir with months
// integrated with finer sub-steps (NUMMESESFINOSEMB), for every reservoir
// with months taken by the mix of its water (MESESMEZCLAEMB) and then for
// every reach (ERRORCOND) in numerical trouble, in increasing number; then,
// for every reach whose heat balance was solved linearised, its name and
// the count of such months, and for every reach with months computed as one
// mixed segment (MESESMEZCLACOND), its name and their count, and for every
// reach with months whose one mixed segment had no steady state
// (MESESSINESTACIONARIOCOND), its name and their count, and for every reach
// with months whose segments had no steady state for a growth
// (MESESSINESTACIONARIOSEG), its name and their count. They never stop the
// run.
void avisos_fin_calculo(Modelo& m);

}  // namespace tornal
