// Pieces of the result-table writer shared by its two files: the failure
// line of a result file, the names of the constituents, and the monthly
// column table "TablaCal.txt" with its legend "TablaCal.dir".
#pragma once

#include <array>
#include <string>
#include <vector>

#include "common/result_file.h"
#include "modelo/modelo.h"

namespace tornal {

// The failure line of the result tables, followed by the file's path.
inline constexpr const char* ERROR_ESCRITURA_RESULTADOS = "Error en la escritura del archivo de resultados ";

// The name of constituent `k` of NOMCONT, trimmed; empty past the end of the
// list.
std::string nombre_contaminante(const Calidad& cal, int k);

// The blocks of columns of a row of "TablaCal.txt", in their order, each
// element with all its constituents: the reaches of types 1 to 4, then the
// upper and the lower layer of the reservoirs. Each block gives the prefix
// and the names of its labels in "TablaCal.dir", its count of elements, and
// the results whose values "TablaCal.txt" writes, from element `primero` on.
// Both files and the labels of the run log follow from this one list.
struct BloqueTabla {
  const char* prefijo;
  const Array1<std::string>* nombres;
  int cuenta;
  const Array4<double>* valores;  // (element, constituent, month, year)
  int primero;                    // the element of `valores` of the block's first
};
std::array<BloqueTabla, 6> bloques_tabla(const Red& r, const Simulacion& s);

// "TablaCal.txt" (one row per month: every reach of types 1 to 4, then the
// upper and the lower layer of every reservoir, each with all its
// constituents, in F20.5 with a TAB after each value, 5000 values to a
// record) and its column legend "TablaCal.dir", in the working folder.
void escribir_tabla_mensual(Modelo& m);

}  // namespace tornal
