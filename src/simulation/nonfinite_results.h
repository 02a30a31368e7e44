// The check of the results at the end of the run: a concentration, flow or
// volume that overflowed in the calculation (infinite or not a number) is
// listed in the run log with its element and constituent, as the overflow
// flags of the reaches and reservoirs are. The result files keep what their
// formats make of it (asterisks); the first field filled with asterisks of
// every result file is listed after them.
#pragma once

#include "modelo/modelo.h"

namespace tornal {

// Looks at the results that the result files show (CONDUCCCS, EMB1CF,
// EMB2CF, QCONDUCC, PERDT2, PERDT3, VOLFINEMB, V1F, V2F) and writes, for
// every element and constituent (or flow, or volume) with a value that is
// not finite in some month, one warning with the element's number and name,
// the constituent and the first such month. Returns the number of warnings.
int avisos_resultados_no_finitos(Modelo& m);

// Writes, for every result file that the writers found holding a field
// filled with asterisks (campos_asteriscos, in the order they were found),
// one warning: the file as the run configuration names it, the record
// (line) and the column (field, with its heading when the file has one) of
// its first such field, and the element that its record names, if any.
// Returns the number of warnings.
int avisos_campos_asteriscos(Modelo& m);

}  // namespace tornal
