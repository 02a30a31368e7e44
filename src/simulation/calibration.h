// The calibration files of one reach and one reservoir.
#pragma once

#include <string>

#include "modelo/modelo.h"

namespace tornal {

// The reach calibration file in mode 1 (flow and concentrations) or 2
// (concentrations only).
void leer_calibracion_conduccion(Modelo& m, const std::string& PATHARCHIVO23, int OPCIONCALIBCOND);
// The reservoir calibration file.
void leer_calibracion_embalse(Modelo& m, const std::string& PATHARCHIVO22);

}  // namespace tornal
