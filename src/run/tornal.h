// The run: the configuration file VekArch.cal, the run log and its header,
// the ten phases in their fixed order, and the closing lines.
#pragma once

#include <functional>

#include "modelo/modelo.h"

namespace tornal {

// Reads the 22 records of VekArch.cal (in m.carpeta) into m.conf and
// computes NUMVERSION; stops the run when the file is missing or unreadable.
void leer_vekarch(Modelo& m);

// NUMVERSION: ten times the version, formed and truncated in single precision.
int numero_version(float version);

// Opens the run log of record 20 for appending and writes its header.
void abrir_registro(Modelo& m);

// Runs `fases` (the phases of the run, once the run log is open). A failure
// that no procedure has reported in the run log gets its line there and ends
// the run as a stop: an allocation that fails ("Memoria insuficiente ...")
// and an index out of range (its message).
void con_registro(Modelo& m, const std::function<void()>& fases);

// The whole run, the main program TORNAL: configuration, log, phases,
// closing lines and "Fin de simulación" on the console. A failure throws
// Stop (the caller shows it and ends with status 1).
void TORNAL(Modelo& m);

}  // namespace tornal
