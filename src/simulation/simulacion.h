// The state of the monthly calculation driver that other subsystems read:
// the month counter, the long time curves and the time-varying constants of
// the advanced-options file.
#pragma once

#include "common/array.h"

namespace tornal {

struct Simulacion {
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
};

}  // namespace tornal
