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

struct Red {
  // Counts and run values.
  int NUMANYOS = 0;
  int ANYOINICIAL = 0;
  int NUMNUDOSFIS = 0;
  int NUMEMBALSES = 0;
  int NUMCONDUCCIONEST1 = 0;
  int NUMCONDUCCIONEST2 = 0;
  int NUMCONDUCCIONEST3 = 0;
  int NUMCONDUCCIONEST4 = 0;
  int NUMCONDUCCIONEST5 = 0;
  int NUMAPORTACIONES = 0;
  int NUMDEMANDAS = 0;
  int NUMCENTRALES = 0;
  int NUMRECARGAS = 0;
  int NUMACUIFEROS = 0;
  int NUMBOMBEOS = 0;
  int NUMRETORNOS = 0;
  int NUMCONDUCCIONES = 0;
  int NUMTOMAS = 0;
  int NUMTOMASFIS = 0;
  int NUMDEMANDASFIS = 0;
  int NUMPARCTROLTOTAL = 0;
  bool INDMODELOOPTIM = false;

  // Reaches by global number: initial node, final node, type.
  Array2<int> CONDUCCIONES{"CONDUCCIONES"};
  Array1<std::string> NOMCONDUCC{"NOMCONDUCC"};

  // EMBALSE
  Array1<std::string> NOMEMB{"NOMEMB"};
  Array1<int> NUMNUDOEMB{"NUMNUDOEMB"};
  Array1<int> NUMNUDVERTEMB{"NUMNUDVERTEMB"};
  Array1<int> NUMCOLAPOREMB{"NUMCOLAPOREMB"};
  Array1<int> NUMCOLEVEMB{"NUMCOLEVEMB"};
  Array1<int> NUMPRIOREMB{"NUMPRIOREMB"};
  Array1<double> COEFINFAEMB{"COEFINFAEMB"};
  Array1<double> COEFINFBEMB{"COEFINFBEMB"};
  Array1<double> COEFINFCEMB{"COEFINFCEMB"};
  Array1<int> NUMACUINFEMB{"NUMACUINFEMB"};
  Array1<int> NUMACELEEMB{"NUMACELEEMB"};
  Array1<double> VOLINIEMB{"VOLINIEMB"};
  Array1<double> QMAXSUELEMB{"QMAXSUELEMB"};
  Array2<double> VMAXEMB{"VMAXEMB"};
  Array2<double> VOBJEMB{"VOBJEMB"};
  Array2<double> VMIN{"VMIN"};
  Array2<double> COTAEMB{"COTAEMB"};
  Array2<double> SUPERFEMB{"SUPERFEMB"};
  Array2<double> VOLEMB{"VOLEMB"};
  Array2<double> EVAP{"EVAP"};

  // CONDUCCION, type 1
  Array1<std::string> NOMCONDT1{"NOMCONDT1"};
  Array1<double> VOLMAXCONDT1{"VOLMAXCONDT1"};
  Array1<int> RESTRCONDT1{"RESTRCONDT1"};
  Array1<int> TIPORESTRCONDT1{"TIPORESTRCONDT1"};
  Array1<int> NUDOINICONDT1{"NUDOINICONDT1"};
  Array1<int> NUDOFINCONDT1{"NUDOFINCONDT1"};
  Array1<int> PRIORQMINCONDT1{"PRIORQMINCONDT1"};
  Array1<int> INDCOSTCONDT1{"INDCOSTCONDT1"};
  Array1<double> COSTCONDT1{"COSTCONDT1"};
  Array2<double> CAUMINCONDT1{"CAUMINCONDT1"};
  Array1<double> NIVELFALLQMINCONDT1{"NIVELFALLQMINCONDT1"};
  Array2<double> QMAXCONDT1{"QMAXCONDT1"};

  // type 2
  Array1<std::string> NOMCONDT2{"NOMCONDT2"};
  Array1<int> NUDOINICONDT2{"NUDOINICONDT2"};
  Array1<int> NUDOFINCONDT2{"NUDOFINCONDT2"};
  Array1<int> PRIORQMINCONDT2{"PRIORQMINCONDT2"};
  Array2<double> QMINCONDT2{"QMINCONDT2"};
  Array1<double> NIVELFALLOQMINCONDT2{"NIVELFALLOQMINCONDT2"};
  Array2<double> QMAXCONDT2{"QMAXCONDT2"};
  Array1<double> NUMACUCONDT2{"NUMACUCONDT2"};
  Array1<double> NUMACCELEMCONDT2{"NUMACCELEMCONDT2"};
  Array1<double> COEFACONDT2{"COEFACONDT2"};
  Array1<double> COEFBCONDT2{"COEFBCONDT2"};
  Array1<double> COEFCCONDT2{"COEFCCONDT2"};

  // type 3
  Array1<std::string> NOMCONDT3{"NOMCONDT3"};
  Array1<int> NUDOINICONDT3{"NUDOINICONDT3"};
  Array1<int> NUDOFINCONDT3{"NUDOFINCONDT3"};
  Array1<int> PRIORQMINCONDT3{"PRIORQMINCONDT3"};
  Array2<double> QMINCONDT3{"QMINCONDT3"};
  Array1<double> NIVELFALLOQMINCONDT3{"NIVELFALLOQMINCONDT3"};
  Array2<double> QMAXCONDT3{"QMAXCONDT3"};
  Array1<double> NUMACUCONDT3{"NUMACUCONDT3"};
  Array1<double> NUMPARCONTROLCONDT3{"NUMPARCONTROLCONDT3"};
  Array1<double> NUMACCELEMCONDT3{"NUMACCELEMCONDT3"};

  // type 4
  Array1<std::string> NOMCONDT4{"NOMCONDT4"};
  Array1<double> QMAXANUCONDT4{"QMAXANUCONDT4"};
  Array1<int> NUDOINICONDT4{"NUDOINICONDT4"};
  Array1<int> NUDOFINCONDT4{"NUDOFINCONDT4"};
  Array1<int> PRIORQMINCONDT4{"PRIORQMINCONDT4"};
  Array1<int> INDCOSTECONDT4{"INDCOSTECONDT4"};
  Array1<double> COSTEFLUJOCONDT4{"COSTEFLUJOCONDT4"};
  Array2<double> QMINCONDT4{"QMINCONDT4"};
  Array1<double> NIVELFALLOQMINCONDT4{"NIVELFALLOQMINCONDT4"};
  Array2<double> QMAXCONDT4{"QMAXCONDT4"};
  Array1<double> COTAENTRCONDT4{"COTAENTRCONDT4"};
  Array1<double> COTASALCONDT4{"COTASALCONDT4"};

  // type 5
  Array1<std::string> NOMCONDT5{"NOMCONDT5"};
  Array1<int> NUDOINICONDT5{"NUDOINICONDT5"};
  Array1<int> NUDOFINCONDT5{"NUDOFINCONDT5"};
  Array1<double> COTAENTRCONDT5{"COTAENTRCONDT5"};
  Array1<double> COTASALCONDT5{"COTASALCONDT5"};

  // DEMANDA
  Array1<std::string> NOMDEM{"NOMDEM"};
  Array2<double> DEMMENS{"DEMMENS"};
  Array1<int> ACURECDEM{"ACURECDEM"};
  Array1<int> ACCELEMRECDEM{"ACCELEMRECDEM"};
  Array1<int> ACUBOMBDEM{"ACUBOMBDEM"};
  Array1<int> PARCTRLCOMBDEM{"PARCTRLCOMBDEM"};
  Array1<double> UMBRALPARCTRLDEM{"UMBRALPARCTRLDEM"};
  Array1<double> QMAXBOMBDEM{"QMAXBOMBDEM"};
  Array1<int> NUMTOMASDEM{"NUMTOMASDEM"};
  Array2<double> GARANTIASDEM{"GARANTIASDEM"};

  // TOMA, numbered over all demands
  Array1<std::string> NOMTOMA{"NOMTOMA"};
  Array1<int> NUMTOMA{"NUMTOMA"};
  Array1<double> COTATOMA{"COTATOMA"};
  Array1<double> DOTANUTOMA{"DOTANUTOMA"};
  Array1<double> COEFRETTOMA{"COEFRETTOMA"};
  Array1<double> COEFCONSTOMA{"COEFCONSTOMA"};
  Array1<int> NUMPRIORTOMA{"NUMPRIORTOMA"};
  Array1<int> INDALARTOMA{"INDALARTOMA"};
  Array1<int> INDALARTOMAB{"INDALARTOMAB"};
  Array1<int> NUMRETTOMA{"NUMRETTOMA"};
  Array2<double> PUNTAMENSTOMA{"PUNTAMENSTOMA"};

  // RETORNO
  Array1<std::string> NOMRET{"NOMRET"};
  Array1<int> NUDORET{"NUDORET"};

  // CENTRAL
  Array1<std::string> NOMCEN{"NOMCEN"};
  Array1<int> NUDTOMACEN{"NUDTOMACEN"};
  Array1<int> NUDREINCEN{"NUDREINCEN"};
  Array1<double> QMINCEN{"QMINCEN"};
  Array1<double> QMAXCEN{"QMAXCEN"};
  Array1<int> PRIORCENT{"PRIORCENT"};
  Array2<double> QOBJCEN{"QOBJCEN"};
  Array1<int> NUMEMBCEN{"NUMEMBCEN"};
  Array1<double> SALTOCEN{"SALTOCEN"};
  Array1<double> COEFPRODCEN{"COEFPRODCEN"};
  Array1<double> COTAMIN{"COTAMIN"};

  // RECARGA
  Array1<std::string> NOMREC{"NOMREC"};
  Array1<int> NUDOREC{"NUDOREC"};
  Array1<int> ACUREC{"ACUREC"};
  Array1<int> ACCELEMREC{"ACCELEMREC"};
  Array1<double> QMAXREC{"QMAXREC"};

  // APORTACION
  Array1<std::string> NOMAPO{"NOMAPO"};
  Array1<int> NUDOAPO{"NUDOAPO"};
  Array1<int> COLAPO{"COLAPO"};

  // ACUIFERO
  Array1<std::string> NOMACU{"NOMACU"};
  Array1<int> TIPOACU{"TIPOACU"};

  // BOMBEO
  Array1<std::string> NOMBOMB{"NOMBOMB"};
  Array1<int> ACUBOMB{"ACUBOMB"};
  Array1<int> ACCELEMBOMB{"ACCELEMBOMB"};
  Array1<int> PARCTRLBOMB{"PARCTRLBOMB"};
  Array1<double> UMBRALBOMB{"UMBRALBOMB"};
  Array1<double> QMAXBOMB{"QMAXBOMB"};
  Array1<int> NUDOBOMB{"NUDOBOMB"};
  Array1<int> PRIORBOMB{"PRIORBOMB"};
  Array1<double> MAXSUMBOMB{"MAXSUMBOMB"};

  // Monthly series of the allocation results: (element, month, year),
  // month 1 = October, in the allocation model's units until the monthly
  // driver converts them.
  Array3<double> QAPO{"QAPO"};
  Array3<double> APINTEREMB{"APINTEREMB"};
  Array3<double> APPREVEMB{"APPREVEMB"};
  Array3<double> VOLFINEMB{"VOLFINEMB"};
  Array3<double> COTFINEMB{"COTFINEMB"};
  Array3<double> SUELTASEMB{"SUELTASEMB"};
  Array3<double> VERTEMB{"VERTEMB"};
  Array3<double> EVAPEMB{"EVAPEMB"};
  Array3<double> FILTREMB{"FILTREMB"};
  Array3<double> QT1{"QT1"};
  Array3<double> QFT2{"QFT2"};
  Array3<double> PERDT2{"PERDT2"};
  Array3<double> QFT3{"QFT3"};
  Array3<double> PERDT3{"PERDT3"};
  Array3<double> QT4{"QT4"};
  Array3<double> QMAXT4{"QMAXT4"};
  Array3<double> QT5{"QT5"};
  Array3<double> DOTRES{"DOTRES"};
  Array3<double> SUMSUPDEM{"SUMSUPDEM"};
  Array3<double> SUMSUBTDEM{"SUMSUBTDEM"};
  Array3<double> DEFDEM{"DEFDEM"};
  Array3<double> SUMTOMAS{"SUMTOMAS"};
  Array3<double> QRETREAL{"QRETREAL"};
  Array3<double> QOBJRESCEN{"QOBJRESCEN"};
  Array3<double> QTURRESCEN{"QTURRESCEN"};
  Array3<double> HTURBCEN{"HTURBCEN"};
  Array3<double> QBOMB{"QBOMB"};
  Array3<double> QREC{"QREC"};
  Array3<double> QCONDUCC{"QCONDUCC"};

  // Calculation order: the nodes in order of calculation, head nodes first
  // (node, head flag, reservoir flag), and the elements in the order they
  // were placed (initial node, final node, row, kind).
  int NUMNUDOS = 0;
  Array2<int> ORDENNUDOS{"ORDENNUDOS"};
  Array2<int> ORDENCONDUCCIONES{"ORDENCONDUCCIONES"};
};

// The reach number within its type of global reach number `k`, from the
// type held in CONDUCCIONES(k,3).
int numero_en_tipo(const Red& red, int k);

}  // namespace tornal
