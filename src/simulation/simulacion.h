// The state of the monthly calculation driver that other subsystems read:
// the month counter, the long time curves and the time-varying constants of
// the advanced-options file.
#pragma once

#include "common/array.h"
#include "common/free_writer.h"

namespace tornal {

struct Simulacion {
  // Result arrays (element, constituent, month, year); nodes by their row of
  // ORDENNUDOS, reaches by global reach number. Calculation units during the
  // months; CONDUCCCE, CONDUCCCS, EMB1CF, EMB2CF, V1F and V2F are converted
  // back to output units after them.
  Array4<double> NUDOSCE{"NUDOSCE"};
  Array4<double> NUDOSCS{"NUDOSCS"};
  Array4<double> CONDUCCCE{"CONDUCCCE"};
  Array4<double> CONDUCCCS{"CONDUCCCS"};
  Array4<double> CENTRCE{"CENTRCE"};
  Array4<double> CENTRCS{"CENTRCS"};
  Array4<double> TOMASCE{"TOMASCE"};
  Array4<double> TOMASCS{"TOMASCS"};
  Array4<double> ELERETCE{"ELERETCE"};
  Array4<double> ELERETCS{"ELERETCS"};
  Array3<double> V1F{"V1F"};
  Array3<double> V2F{"V2F"};
  Array4<double> EMB1CF{"EMB1CF"};
  Array4<double> EMB2CF{"EMB2CF"};
  // Inflow concentrations of the reservoir of the current node, and the head
  // and lateral-inflow concentrations of the reach being handed its water.
  Array1<double> CEEMBAUX{"CEEMBAUX"};
  Array1<double> COIN{"COIN"};
  Array1<double> CEIN{"CEIN"};
  // Factors from internal back to output concentration units.
  Array1<double> DESCAMBIOUNIDAD{"DESCAMBIOUNIDAD"};
  // Numerical trouble of a reservoir or a reach, reported at the end of the run.
  Array1<int> ERROREMB{"ERROREMB"};  // 1: trouble
  Array1<int> ERRORCOND{"ERRORCOND"};  // 1: trouble
  // Months of each reach whose heat balance was solved linearised, and of
  // those the months that took the equilibrium temperature of the flux.
  Array1<int> MESESCALORLINEAL{"MESESCALORLINEAL"};
  Array1<int> MESESCALOREQUILIBRIO{"MESESCALOREQUILIBRIO"};
  // Months of each reservoir integrated with finer sub-steps than its given
  // ones, listed at the end of the run.
  Array1<int> NUMMESESFINOSEMB{"NUMMESESFINOSEMB"};
  // The partial result files (opened and closed by the driver) and whether
  // their headings have been written.
  OutputFile archivo_cond_par;
  OutputFile archivo_emb_par;
  OutputFile archivo_balances;
  bool CABECERACONDPAR = false;
  bool CABECERAEMBPAR = false;
  bool CABECERABALANCES = false;

  // Column of the monthly input series that the models read this month.
  int MESACTUAL = 0;
  // Long time curves of "tornal.avz": (curve, month of the run).
  bool HAYCURVASLARGAS = false;
  int NUMMESESTEMP = 0;
  Array2<double> CURVASTEMPLARGAS{"CURVASTEMPLARGAS"};
  // Time-varying constants of reaches and reservoirs.
  bool HAYCTESTEMP = false;
  int NUMCTESTEMPCOND = 0;
  int NUMCTESTEMPEMB = 0;
  Array1<double> CONDUCKTEMP{"CONDUCKTEMP"};
  Array1<double> NUMKCONDUCTEMP{"NUMKCONDUCTEMP"};
  Array2<double> KTESTEMPCONDUC{"KTESTEMPCONDUC"};
  Array1<double> EMBKTEMP{"EMBKTEMP"};
  Array1<double> NUMKEMBTEMP{"NUMKEMBTEMP"};
  Array2<double> KTESTEMPEMB{"KTESTEMPEMB"};
  // Time-varying diffuse loads of reaches (row, constituent, month of the
  // run) and the global reach number of each row; used as read, with no
  // unit change.
  bool HAYCONTDIFTEMP = false;
  int NUMVERTDIFTEMP = 0;
  Array1<int> ORDENVERTDIFTEMP{"ORDENVERTDIFTEMP"};
  Array3<double> SDVERTDIFTEMP{"SDVERTDIFTEMP"};
  // Time-varying sediment fluxes of reservoirs (row, constituent, month of
  // the run), per day, and the reservoir number of each row.
  bool HAYSEDEMBTEMP = false;
  int NUMEMBFLUJSEDTEMP = 0;
  Array1<int> ORDEMBFLUJSEDVAR{"ORDEMBFLUJSEDVAR"};
  Array3<double> FLUJSEDEMBTEMP{"FLUJSEDEMBTEMP"};

  // Calibration of one reach and one reservoir: the calibrated element (0:
  // none), the measured head flow of the reach (month, year; calculation
  // units; mode 1 only) and the inlet concentrations of the reach and the
  // inflow concentrations of the reservoir (constituent, month, year;
  // internal units). Empty when their file is not read.
  int NUMCONDUCCALIBRAR = 0;
  int NUMEMBCALIBRAR = 0;
  Array2<double> CAUDALCALIBRA{"CAUDALCALIBRA"};
  Array3<double> CONCCALIBRAC{"CONCCALIBRAC"};
  Array3<double> CONCCALIBRAE{"CONCCALIBRAE"};
  // Release, evaporation, seepage and spill of the reservoir calibration
  // record being read, in the allocation model's units.
  double SUELTASCALIB = 0.0;
  double EVAPCALIB = 0.0;
  double FILTRCALIB = 0.0;
  double VERTCALIB = 0.0;
};

}  // namespace tornal
