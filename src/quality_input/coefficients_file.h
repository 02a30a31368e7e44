// The coefficients file: unit factors and global coefficients, in the fixed
// layout (up to version 1.1) or the tagged one (from version 1.2).
#pragma once

#include <span>
#include <string>

#include "modelo/modelo.h"
#include "quality_input/kinetic_thetas.h"

namespace tornal {

// `tectas`: the thetas that TECTAOD holds, those of the program but in a test
// of the reading of thetas that the program does not have yet. Read after the
// quality data file: its options and the network's reaches and reservoirs
// decide which sections a tagged file cannot leave out.
void leer_coeficientes(Modelo& m, const std::string& PATHARCHIVO5, int NUMVERSION,
                       std::span<const TectaCinetica> tectas = TECTASCINETICAS);

// Once "tornal.avz" is read: a section that the tagged coefficients file
// left out and that the run needs with the time-varying constants in force
// (<EMBALSES>, for a reservoir that only "tornal.avz" gives the wind law of
// reaeration) stops the run with the file's read error at its end and a line
// naming the section, as the reading does.
void comprobar_secciones_coeficientes(Modelo& m);

}  // namespace tornal
