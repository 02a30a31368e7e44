// The result files of a run: the tagged monthly concentration file, the
// result tables for graphics, the compliance criteria and the risk report.
#pragma once

#include <string>

#include "modelo/modelo.h"

namespace tornal {

// The tagged monthly concentration file; nothing in a risk run.
void ESCRIBIRARCHXMLSUB(Modelo& m, const std::string& NOMARCHIVO);
// The result table for graphics, "TablaCal.txt" and "TablaCal.dir";
// nothing in a risk run.
void ESCRIBIRTABLACALSUB(Modelo& m, const std::string& NOMARCHIGRF);
// Whether "Criterios.txt", when present, can be opened, asked at the start
// of the run: one that exists and cannot be opened (a folder of that name,
// no read permission) stops the run with the file's access error. Writes
// nothing otherwise; the file is read by CRITERIOSUB.
void comprobar_archivo_criterios(Modelo& m);
// The compliance criteria of "Criterios.txt", when present, into "Criterios.csv".
void CRITERIOSUB(Modelo& m);
// The risk report "Riesgocal.csv"; only in a risk run.
void ESCRIBIRRIESGOSUB(Modelo& m);

}  // namespace tornal
