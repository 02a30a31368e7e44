// The run: the configuration file VekArch.cal, the run log and its header,
// the ten phases in their fixed order, and the closing lines.
#pragma once

#include "modelo/modelo.h"

namespace tornal {

// Reads the 22 records of VekArch.cal (in m.carpeta) into m.conf and
// computes NUMVERSION; stops the run when the file is missing or unreadable.
void leer_vekarch(Modelo& m);

// NUMVERSION: ten times the version, formed and truncated in single precision.
int numero_version(float version);

// Opens the run log of record 20 for appending and writes its header.
void abrir_registro(Modelo& m);

// The whole run, the main program TORNAL: configuration, log, phases,
// closing lines and "Fin de simulación" on the console. A failure throws
// Stop (the caller shows it and ends with status 1).
void TORNAL(Modelo& m);

}  // namespace tornal
