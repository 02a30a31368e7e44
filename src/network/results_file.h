// The monthly results file of the allocation model.
#pragma once

#include <string>

#include "modelo/modelo.h"

namespace tornal {

// Reads the monthly results file (PATHARCHIVO2) into the monthly series of
// m.red, in the full or the reduced layout, and gathers QCONDUCC. Names in
// the run log the first row that runs onto a later line, in a file whose
// first row stands on one line.
void LEERARCHRESSUB(Modelo& m, const std::string& PATHARCHIVO2);

// The months of the network (12 x NUMANYOS, the network data read) against
// the rows of the monthly results file, before anything is sized by them:
// when the file, if it can be opened, has fewer lines than rows, it is read
// as LEERARCHRESSUB reads it up to the row it lacks, which stops the run with
// the results file's read error and that row. Otherwise nothing is done here.
void comprobar_filas_resultados(Modelo& m, const std::string& PATHARCHIVO2);

}  // namespace tornal
