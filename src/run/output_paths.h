// The files of a run and their roles: no two outputs of the run may be the
// same file, and no output may be one of its input files, since the run
// would write over what it needs or what it has written.
#pragma once

#include "modelo/modelo.h"

namespace tornal {

// Looks at the output files of the run configuration (records 10 to 13 and
// the run log of record 20), the output files with fixed names that the run
// writes, and every input file (records 2 to 8, the calibration files of
// records 16 and 18 when their option reads them, VekArch.cal and the
// optional input files with fixed names). Two outputs that are one file, or
// an output that is an input, stop the run with a message that names the
// records; a path is taken for the file that writing there ends in, through
// symbolic links whose targets do not exist yet as well. An existing file that writing does not overwrite (a character
// device such as /dev/null, or, between outputs, a FIFO) may be named more
// than once. Called before the run log is opened: of the files with fixed
// names, "TablaCal.txt" and "TablaCal.dir" count when "NivelesRQ.dat" is
// absent, "Riesgocal.csv" when it is present and "Criterios.csv" when
// "Criterios.txt" is present; "balances.csv" waits for its option.
void comprobar_archivos_de_la_ejecucion(const Modelo& m);

// The same check once the input phases have read the options, before the
// first result file is opened: the risk option OPCIONRIESGO decides the
// tables and the risk report, and "balances.csv" counts with OPCIONBALANCES
// 1. A refusal also writes its message to the run log.
void comprobar_archivos_tras_la_lectura(Modelo& m);

}  // namespace tornal
