// The files of a run and their roles: no two outputs of the run may be the
// same file, and no output may be one of its input files, since the run
// would write over what it needs or what it has written.
#pragma once

#include "modelo/modelo.h"

namespace tornal {

// Looks at the output files of the run configuration (records 10 to 13 and
// the run log of record 20), the output files with fixed names of the
// working folder, and every input file (records 2 to 8, the calibration
// files of records 16 and 18 when their option reads them, VekArch.cal and
// the optional input files with fixed names). Two outputs that are one file,
// or an output that is an input, stop the run with a message that names the
// records, before any file is written.
void comprobar_archivos_de_la_ejecucion(const Modelo& m);

}  // namespace tornal
