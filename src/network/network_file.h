// The allocation model's network data: the XML data file first, then the
// network data file, into the network data model.
#pragma once

#include <string>

#include "modelo/modelo.h"

namespace tornal {

// Reads the XML data file (PATHARCHIVOKELMARXML) and then the network data
// file (PATHARCHIVO) into m.red; stops the run on an access or read error.
void LEERARCHFISSUB(Modelo& m, const std::string& PATHARCHIVO, const std::string& PATHARCHIVOKELMARXML);

// The XML data file alone: NUMPARCTROLTOTAL and INDMODELOOPTIM.
void leer_archivo_xml(Modelo& m, const std::string& PATHARCHIVOKELMARXML);

// The network data file alone (the XML data file already read).
void leer_archivo_fisico(Modelo& m, const std::string& PATHARCHIVO);

}  // namespace tornal
