// The compliance criteria of the reaches, in the three stages of one call of
// CRITERIOSUB: the criteria file "Criterios.txt", the evaluation of the
// outlet concentrations against it, and the report "Criterios.csv". The
// stages share the arrays below, which live for the one call.
#pragma once

#include <string>

#include "common/array.h"
#include "modelo/modelo.h"

namespace tornal {

// A verdict text, always 10 characters.
inline constexpr const char* CUMPLE = "CUMPLE    ";
inline constexpr const char* NO_CUMPLE = "NO CUMPLE ";

// Whether the criteria judge a reach of result option INRESCOND: the reaches
// that the river-reach model does not solve are left out.
inline bool conduccion_informada(int INRESCOND) { return INRESCOND != -1 && INRESCOND != 2; }

// Windows in months; thresholds in output units, as the criteria file and
// the outlet concentrations CONDUCCCS hold them.
struct TrabajoCriterios {
  int NUMCONDUCCIONES = 0;  // reaches of all five types
  // Per constituent, from the file: the window of the point-failure
  // criterion, the failures permitted in one drought period, the window of
  // the drought criterion and the two thresholds (output units).
  Array1<int> NUMMESPOSTPUNT{"NUMMESPOSTPUNT"};    // two failures closer than this fail the point criterion [month]
  Array1<int> NUMPERFALLOSSEQ{"NUMPERFALLOSSEQ"};  // failures permitted in one drought period
  Array1<int> NUMMESPOSTSEQ{"NUMMESPOSTSEQ"};      // two failures closer than this fail the drought criterion [month]
  Array1<double> UMBRALMAXG{"UMBRALMAXG"};         // a concentration above it fails [output units]
  Array1<double> UMBRALMING{"UMBRALMING"};         // a concentration below it fails [output units]
  // Per reach and constituent: the evaluation's counts, flags and verdicts.
  Array2<int> NUMFALLOSPUNT{"NUMFALLOSPUNT"};    // failures outside the drought periods
  Array2<int> CUMPLESEQ{"CUMPLESEQ"};            // 1: the window of the drought criterion holds, 0: not
  Array2<int> CUMPLEFP{"CUMPLEFP"};              // 1: the point-failure criterion holds, 0: not
  Array2<int> MAXFALLOSSEQ{"MAXFALLOSSEQ"};      // most failures in one drought period
  Array2<std::string> CUMPLESEQC{"CUMPLESEQC"};  // verdict of the drought criterion, CUMPLE or NO_CUMPLE
  Array2<std::string> CUMPLEFPC{"CUMPLEFPC"};    // verdict of the point-failure criterion, CUMPLE or NO_CUMPLE
  // Running months of the last failure outside and inside the drought
  // periods. Held in 64 bits, as the window tests are made: a start value
  // of minus a huge window never overflows.
  Array2<long long> UFP{"UFP"};      // last failure outside the drought periods [running month]
  Array2<long long> UFSEQ{"UFSEQ"};  // last failure inside a drought period [running month]
  // Reach names in global reach order, 255 characters each.
  Array1<std::string> NOMBREAUXCONDUCC{"NOMBREAUXCONDUCC"};  // (reach): name, blank-padded
  // The drought periods: first and last running month of each, both included.
  // A count of 0 or less means no drought period.
  int NUMSEQUIAS = 0;                  // drought periods
  Array1<int> MESINISEQ{"MESINISEQ"};  // (period): first running month
  Array1<int> MESFINSEQ{"MESFINSEQ"};  // (period): last running month
  // Failures counted to each drought period (period, reach, constituent).
  Array3<int> NUMFALLOSSEQ{"NUMFALLOSSEQ"};  // failures in the period
};

// Sizes the per-constituent and per-reach arrays for the counts of the
// network and the quality data, and builds the reach label list.
void preparar_criterios(const Modelo& m, TrabajoCriterios& cr);

// Reads "Criterios.txt" into the criteria arrays; false, after the run log's
// line "No existe archivo de criterios", when the file does not exist. One
// that exists and cannot be opened (a folder of that name included) stops the
// run with the file's access error; a record that cannot be read, or that the
// file ends before, with the file's read error and the record's number.
bool leer_archivo_criterios(Modelo& m, TrabajoCriterios& cr);

// Judges the outlet concentrations CONDUCCCS of every reported reach against
// the criteria: failure counts, window tests and verdicts.
void evaluar_criterios(const Modelo& m, TrabajoCriterios& cr);

// Writes the report "Criterios.csv"; a file that cannot be opened or
// written stops the run with "error".
void escribir_informe_criterios(Modelo& m, const TrabajoCriterios& cr);

}  // namespace tornal
