// The network data model: the basin as the allocation model KELMAR describes
// it. Counts of every element kind and, per kind, parallel arrays indexed by
// the element's number within its kind (file order). Reaches are also
// numbered together (global reach number: types 1 to 5 in turn), and every
// per-reach array of the rest of the system uses that number. The monthly
// series of the allocation results (element, month, year) and the
// calculation order of the nodes belong here too.
#pragma once

#include <cstddef>
#include <string>

#include "common/array.h"

namespace tornal {

// Length of a name of the network data file.
constexpr std::size_t LONGNOMBRE = 250;

// Units in brackets. The allocation model gives volumes in hm3 and flows in
// hm3 a month; the unit conversion before the months turns VOLINIEMB, VOLEMB,
// SUPERFEMB and the monthly series below into calculation units (m3, m2,
// m3/day), and the conversion after them turns VOLFINEMB, QCONDUCC, PERDT2
// and PERDT3 back. [-]: a ratio. [KELMAR]: a value of the allocation model's
// own, kept as read in its units and used by nothing here. A field without a
// unit is a count, a node or element number, a flag, an indicator or a name
// (a text of LONGNOMBRE, blank-padded). Node numbers are KELMAR's; the loop cuts write 0
// (no node) and -999 (the start of a cut element).
struct Red {
  // Counts and run values.
  int NUMANYOS = 0;             // hydrological years of the run (October to September)
  int ANYOINICIAL = 0;          // calendar year of the first October of the run
  int NUMNUDOSFIS = 0;          // nodes declared by KELMAR
  int NUMEMBALSES = 0;          // reservoirs
  int NUMCONDUCCIONEST1 = 0;    // reaches of type 1
  int NUMCONDUCCIONEST2 = 0;    // reaches of type 2, with losses
  int NUMCONDUCCIONEST3 = 0;    // reaches of type 3, linked to an aquifer
  int NUMCONDUCCIONEST4 = 0;    // reaches of type 4
  int NUMCONDUCCIONEST5 = 0;    // reaches of type 5
  int NUMAPORTACIONES = 0;      // inflows
  int NUMDEMANDAS = 0;          // demands of the run (0 with INDMODELOOPTIM)
  int NUMCENTRALES = 0;         // hydro plants
  int NUMRECARGAS = 0;          // recharges
  int NUMACUIFEROS = 0;         // aquifers
  int NUMBOMBEOS = 0;           // pumping elements
  int NUMRETORNOS = 0;          // returns
  int NUMCONDUCCIONES = 0;      // reaches of all five types: the global reach numbers
  int NUMTOMAS = 0;             // intakes of the run (0 with INDMODELOOPTIM)
  int NUMTOMASFIS = 0;          // intakes of the network data file
  int NUMDEMANDASFIS = 0;       // demands of the network data file
  int NUMPARCTROLTOTAL = 0;     // control parcels of all the aquifers (XML data file)
  bool INDMODELOOPTIM = false;  // data prepared for BRUNDEL: demands and intakes left out

  // Reaches by global number.
  Array2<int> CONDUCCIONES{"CONDUCCIONES"};      // (reach, 1..3): initial node, final node, type
  Array1<std::string> NOMCONDUCC{"NOMCONDUCC"};  // name

  // EMBALSE, by reservoir number; the quality calculation uses the name, the
  // node, the initial volume and the level-area-volume curve (10 points).
  Array1<std::string> NOMEMB{"NOMEMB"};        // name
  Array1<int> NUMNUDOEMB{"NUMNUDOEMB"};        // node of the reservoir
  Array1<int> NUMNUDVERTEMB{"NUMNUDVERTEMB"};  // spill node
  Array1<int> NUMCOLAPOREMB{"NUMCOLAPOREMB"};  // column of the inflow
  Array1<int> NUMCOLEVEMB{"NUMCOLEVEMB"};      // column of the evaporation
  Array1<int> NUMPRIOREMB{"NUMPRIOREMB"};      // priority
  Array1<double> COEFINFAEMB{"COEFINFAEMB"};   // seepage coefficient a [KELMAR]
  Array1<double> COEFINFBEMB{"COEFINFBEMB"};   // seepage coefficient b [KELMAR]
  Array1<double> COEFINFCEMB{"COEFINFCEMB"};   // seepage coefficient c [KELMAR]
  Array1<int> NUMACUINFEMB{"NUMACUINFEMB"};    // aquifer that receives the seepage
  Array1<int> NUMACELEEMB{"NUMACELEEMB"};      // elementary action
  Array1<double> VOLINIEMB{"VOLINIEMB"};       // volume at the start of the run [hm3, then m3]
  Array1<double> QMAXSUELEMB{"QMAXSUELEMB"};   // maximum release [hm3/month]
  Array2<double> VMAXEMB{"VMAXEMB"};           // (reservoir, month): maximum volume [hm3]
  Array2<double> VOBJEMB{"VOBJEMB"};           // (reservoir, month): target volume [hm3]
  Array2<double> VMIN{"VMIN"};                 // (reservoir, month): minimum volume [hm3]
  Array2<double> COTAEMB{"COTAEMB"};           // (reservoir, point): level of the curve [m]
  Array2<double> SUPERFEMB{"SUPERFEMB"};       // (reservoir, point): area of the curve [ha, then m2]
  Array2<double> VOLEMB{"VOLEMB"};             // (reservoir, point): volume of the curve [hm3, then m3]
  Array2<double> EVAP{"EVAP"};                 // (reservoir, month): evaporation [KELMAR]

  // CONDUCCION, by number within the type; the quality calculation uses the
  // names, the nodes and NUMACUCONDT3. Type 1:
  Array1<std::string> NOMCONDT1{"NOMCONDT1"};                 // name
  Array1<double> VOLMAXCONDT1{"VOLMAXCONDT1"};                // maximum volume [hm3]
  Array1<int> RESTRCONDT1{"RESTRCONDT1"};                     // restriction
  Array1<int> TIPORESTRCONDT1{"TIPORESTRCONDT1"};             // type of the restriction
  Array1<int> NUDOINICONDT1{"NUDOINICONDT1"};                 // initial node
  Array1<int> NUDOFINCONDT1{"NUDOFINCONDT1"};                 // final node
  Array1<int> PRIORQMINCONDT1{"PRIORQMINCONDT1"};             // priority of the minimum flow
  Array1<int> INDCOSTCONDT1{"INDCOSTCONDT1"};                 // cost indicator
  Array1<double> COSTCONDT1{"COSTCONDT1"};                    // cost [KELMAR]
  Array2<double> CAUMINCONDT1{"CAUMINCONDT1"};                // (reach, month): minimum flow [hm3/month]
  Array1<double> NIVELFALLQMINCONDT1{"NIVELFALLQMINCONDT1"};  // failure level of the minimum flow [KELMAR]
  Array2<double> QMAXCONDT1{"QMAXCONDT1"};                    // (reach, month): maximum flow [hm3/month]

  // type 2, with losses (PERDT2)
  Array1<std::string> NOMCONDT2{"NOMCONDT2"};                   // name
  Array1<int> NUDOINICONDT2{"NUDOINICONDT2"};                   // initial node
  Array1<int> NUDOFINCONDT2{"NUDOFINCONDT2"};                   // final node
  Array1<int> PRIORQMINCONDT2{"PRIORQMINCONDT2"};               // priority of the minimum flow
  Array2<double> QMINCONDT2{"QMINCONDT2"};                      // (reach, month): minimum flow [hm3/month]
  Array1<double> NIVELFALLOQMINCONDT2{"NIVELFALLOQMINCONDT2"};  // failure level of the minimum flow [KELMAR]
  Array2<double> QMAXCONDT2{"QMAXCONDT2"};                      // (reach, month): maximum flow [hm3/month]
  Array1<double> NUMACUCONDT2{"NUMACUCONDT2"};                  // aquifer, held as a real
  Array1<double> NUMACCELEMCONDT2{"NUMACCELEMCONDT2"};          // elementary action, held as a real
  Array1<double> COEFACONDT2{"COEFACONDT2"};                    // coefficient a [KELMAR]
  Array1<double> COEFBCONDT2{"COEFBCONDT2"};                    // coefficient b [KELMAR]
  Array1<double> COEFCCONDT2{"COEFCCONDT2"};                    // coefficient c [KELMAR]

  // type 3, linked to an aquifer (PERDT3)
  Array1<std::string> NOMCONDT3{"NOMCONDT3"};                   // name
  Array1<int> NUDOINICONDT3{"NUDOINICONDT3"};                   // initial node
  Array1<int> NUDOFINCONDT3{"NUDOFINCONDT3"};                   // final node
  Array1<int> PRIORQMINCONDT3{"PRIORQMINCONDT3"};               // priority of the minimum flow
  Array2<double> QMINCONDT3{"QMINCONDT3"};                      // (reach, month): minimum flow [hm3/month]
  Array1<double> NIVELFALLOQMINCONDT3{"NIVELFALLOQMINCONDT3"};  // failure level of the minimum flow [KELMAR]
  Array2<double> QMAXCONDT3{"QMAXCONDT3"};                      // (reach, month): maximum flow [hm3/month]
  Array1<double> NUMACUCONDT3{"NUMACUCONDT3"};                  // aquifer whose concentrations a gain brings, as a real
  Array1<double> NUMPARCONTROLCONDT3{"NUMPARCONTROLCONDT3"};    // control parcel, held as a real
  Array1<double> NUMACCELEMCONDT3{"NUMACCELEMCONDT3"};          // elementary action, held as a real

  // type 4
  Array1<std::string> NOMCONDT4{"NOMCONDT4"};                   // name
  Array1<double> QMAXANUCONDT4{"QMAXANUCONDT4"};                // maximum flow of a year [hm3]
  Array1<int> NUDOINICONDT4{"NUDOINICONDT4"};                   // initial node
  Array1<int> NUDOFINCONDT4{"NUDOFINCONDT4"};                   // final node
  Array1<int> PRIORQMINCONDT4{"PRIORQMINCONDT4"};               // priority of the minimum flow
  Array1<int> INDCOSTECONDT4{"INDCOSTECONDT4"};                 // cost indicator
  Array1<double> COSTEFLUJOCONDT4{"COSTEFLUJOCONDT4"};          // cost of the flow [KELMAR]
  Array2<double> QMINCONDT4{"QMINCONDT4"};                      // (reach, month): minimum flow [hm3/month]
  Array1<double> NIVELFALLOQMINCONDT4{"NIVELFALLOQMINCONDT4"};  // failure level of the minimum flow [KELMAR]
  Array2<double> QMAXCONDT4{"QMAXCONDT4"};                      // (reach, month): maximum flow [hm3/month]
  Array1<double> COTAENTRCONDT4{"COTAENTRCONDT4"};              // inlet level [m]
  Array1<double> COTASALCONDT4{"COTASALCONDT4"};                // outlet level [m]

  // type 5
  Array1<std::string> NOMCONDT5{"NOMCONDT5"};       // name
  Array1<int> NUDOINICONDT5{"NUDOINICONDT5"};       // initial node
  Array1<int> NUDOFINCONDT5{"NUDOFINCONDT5"};       // final node
  Array1<double> COTAENTRCONDT5{"COTAENTRCONDT5"};  // inlet level [m]
  Array1<double> COTASALCONDT5{"COTASALCONDT5"};    // outlet level [m]

  // DEMANDA, by demand number; used by nothing after the reading.
  Array1<std::string> NOMDEM{"NOMDEM"};                 // name
  Array2<double> DEMMENS{"DEMMENS"};                    // (demand, month): demand [hm3/month]
  Array1<int> ACURECDEM{"ACURECDEM"};                   // aquifer of the recharge
  Array1<int> ACCELEMRECDEM{"ACCELEMRECDEM"};           // elementary action of the recharge
  Array1<int> ACUBOMBDEM{"ACUBOMBDEM"};                 // aquifer of the pumping
  Array1<int> PARCTRLCOMBDEM{"PARCTRLCOMBDEM"};         // control parcel
  Array1<double> UMBRALPARCTRLDEM{"UMBRALPARCTRLDEM"};  // threshold of the control parcel [KELMAR]
  Array1<double> QMAXBOMBDEM{"QMAXBOMBDEM"};            // maximum pumping [hm3/month]
  Array1<int> NUMTOMASDEM{"NUMTOMASDEM"};               // intakes of the demand
  Array2<double> GARANTIASDEM{"GARANTIASDEM"};          // (demand, 1..6): guarantee criteria, 6 unread [KELMAR]

  // TOMA, numbered over all demands (those of demand 1 first); the quality
  // calculation uses the name, the node, COEFRETTOMA and NUMRETTOMA.
  Array1<std::string> NOMTOMA{"NOMTOMA"};         // name, its first 30 characters
  Array1<int> NUMTOMA{"NUMTOMA"};                 // node where the intake takes its water
  Array1<double> COTATOMA{"COTATOMA"};            // level of the intake [m]
  Array1<double> DOTANUTOMA{"DOTANUTOMA"};        // allotment of a year [hm3]
  Array1<double> COEFRETTOMA{"COEFRETTOMA"};      // share of the supplied flow that goes to the return [-]
  Array1<double> COEFCONSTOMA{"COEFCONSTOMA"};    // consumption coefficient [KELMAR]
  Array1<int> NUMPRIORTOMA{"NUMPRIORTOMA"};       // priority
  Array1<int> INDALARTOMA{"INDALARTOMA"};         // first alarm indicator
  Array1<int> INDALARTOMAB{"INDALARTOMAB"};       // second alarm indicator
  Array1<int> NUMRETTOMA{"NUMRETTOMA"};           // return that receives the returned water, 0 none
  Array2<double> PUNTAMENSTOMA{"PUNTAMENSTOMA"};  // (intake, month): peak factor [KELMAR]

  // RETORNO, by return number
  Array1<std::string> NOMRET{"NOMRET"};  // name
  Array1<int> NUDORET{"NUDORET"};        // node where the returned water enters

  // CENTRAL, by plant number; the quality calculation uses the two nodes.
  Array1<std::string> NOMCEN{"NOMCEN"};       // name
  Array1<int> NUDTOMACEN{"NUDTOMACEN"};       // intake node: where the plant takes its water
  Array1<int> NUDREINCEN{"NUDREINCEN"};       // re-entry node: where the turbined water comes back
  Array1<double> QMINCEN{"QMINCEN"};          // minimum flow [hm3/month]
  Array1<double> QMAXCEN{"QMAXCEN"};          // maximum flow [hm3/month]
  Array1<int> PRIORCENT{"PRIORCENT"};         // priority
  Array2<double> QOBJCEN{"QOBJCEN"};          // (plant, month): target flow [hm3/month]
  Array1<int> NUMEMBCEN{"NUMEMBCEN"};         // reservoir of the plant, above 0 when it has one
  Array1<double> SALTOCEN{"SALTOCEN"};        // head [m]
  Array1<double> COEFPRODCEN{"COEFPRODCEN"};  // production coefficient [KELMAR]
  Array1<double> COTAMIN{"COTAMIN"};          // minimum level, of a plant with a reservoir [m]

  // RECARGA, by recharge number; used by nothing after the reading.
  Array1<std::string> NOMREC{"NOMREC"};  // name
  Array1<int> NUDOREC{"NUDOREC"};        // node
  Array1<int> ACUREC{"ACUREC"};          // aquifer
  Array1<int> ACCELEMREC{"ACCELEMREC"};  // elementary action
  Array1<double> QMAXREC{"QMAXREC"};     // maximum flow [hm3/month]

  // APORTACION, by inflow number
  Array1<std::string> NOMAPO{"NOMAPO"};  // name
  Array1<int> NUDOAPO{"NUDOAPO"};        // node where the inflow enters
  Array1<int> COLAPO{"COLAPO"};          // column

  // ACUIFERO, by aquifer number
  Array1<std::string> NOMACU{"NOMACU"};  // name
  Array1<int> TIPOACU{"TIPOACU"};        // type: which records of the aquifer follow

  // BOMBEO, by pumping element number: from an aquifer to a node
  Array1<std::string> NOMBOMB{"NOMBOMB"};   // name
  Array1<int> ACUBOMB{"ACUBOMB"};           // aquifer pumped from: its water's concentrations
  Array1<int> ACCELEMBOMB{"ACCELEMBOMB"};   // elementary action
  Array1<int> PARCTRLBOMB{"PARCTRLBOMB"};   // control parcel
  Array1<double> UMBRALBOMB{"UMBRALBOMB"};  // threshold [KELMAR]
  Array1<double> QMAXBOMB{"QMAXBOMB"};      // maximum pumped flow [hm3/month]
  Array1<int> NUDOBOMB{"NUDOBOMB"};         // node that receives the pumped water
  Array1<int> PRIORBOMB{"PRIORBOMB"};       // priority
  Array1<double> MAXSUMBOMB{"MAXSUMBOMB"};  // maximum total pumping [KELMAR]

  // Monthly series of the allocation results: (element, month, year),
  // month 1 = October; flows [hm3/month, m3/day during the months], volumes
  // [hm3, m3 during the months].
  Array3<double> QAPO{"QAPO"};              // flow of the inflow
  Array3<double> APINTEREMB{"APINTEREMB"};  // first inflow term of the reservoir
  Array3<double> APPREVEMB{"APPREVEMB"};    // second inflow term of the reservoir
  Array3<double> VOLFINEMB{"VOLFINEMB"};    // end-of-month volume of the reservoir
  Array3<double> COTFINEMB{"COTFINEMB"};    // end-of-month level of the reservoir [m], not converted
  Array3<double> SUELTASEMB{"SUELTASEMB"};  // release of the reservoir
  Array3<double> VERTEMB{"VERTEMB"};        // spill of the reservoir
  Array3<double> EVAPEMB{"EVAPEMB"};        // evaporation of the reservoir
  Array3<double> FILTREMB{"FILTREMB"};      // seepage of the reservoir
  Array3<double> QT1{"QT1"};                // flow of the type-1 reach
  Array3<double> QFT2{"QFT2"};              // flow of the type-2 reach
  Array3<double> PERDT2{"PERDT2"};          // losses of the type-2 reach
  Array3<double> QFT3{"QFT3"};              // flow of the type-3 reach
  Array3<double> PERDT3{"PERDT3"};          // exchange of the type-3 reach with its aquifer: > 0 loss, < 0 gain
  Array3<double> QT4{"QT4"};                // flow of the type-4 reach
  Array3<double> QMAXT4{"QMAXT4"};          // maximum flow of the type-4 reach
  Array3<double> QT5{"QT5"};                // flow of the type-5 reach
  Array3<double> DOTRES{"DOTRES"};          // allocation of the demand
  Array3<double> SUMSUPDEM{"SUMSUPDEM"};    // surface supply of the demand, NUMDEMANDASFIS of them
  Array3<double> SUMSUBTDEM{"SUMSUBTDEM"};  // groundwater supply of the demand
  Array3<double> DEFDEM{"DEFDEM"};          // deficit of the demand, NUMDEMANDASFIS of them
  Array3<double> SUMTOMAS{"SUMTOMAS"};      // flow taken by the intake, NUMTOMASFIS of them
  Array3<double> QRETREAL{"QRETREAL"};      // flow of the return
  Array3<double> QOBJRESCEN{"QOBJRESCEN"};  // target flow of the hydro plant
  Array3<double> QTURRESCEN{"QTURRESCEN"};  // turbined flow of the hydro plant
  Array3<double> HTURBCEN{"HTURBCEN"};      // third monthly value of the hydro plant [KELMAR], not converted
  Array3<double> QBOMB{"QBOMB"};            // pumped flow
  Array3<double> QREC{"QREC"};              // flow of the recharge
  Array3<double> QCONDUCC{"QCONDUCC"};      // flow of every reach, by global number

  // Calculation order: the nodes in order of calculation, head nodes first,
  // and the elements in the order they were placed, each with its row of the
  // element table (the reaches by global number, then the intakes, then the
  // plants) and its kind (1 to 5 the reach type, 6 an intake, 7 a plant).
  int NUMNUDOS = 0;                                    // distinct nodes of the reaches, intakes and plants
  Array2<int> ORDENNUDOS{"ORDENNUDOS"};                // (row, 1..3): node, head flag, reservoir flag
  Array2<int> ORDENCONDUCCIONES{"ORDENCONDUCCIONES"};  // (row, 1..4): initial node, final node, element, kind
};

// The reach number within its type of global reach number `k`, from the
// type held in CONDUCCIONES(k,3).
int numero_en_tipo(const Red& red, int k);

}  // namespace tornal
