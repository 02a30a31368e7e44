// The quality data of the run: options, constituent list, element quality
// data and the quality-risk levels.
#pragma once

#include <string>

#include "common/array.h"

namespace tornal {

struct Calidad {
  // Quality-risk run: switched on when the risk levels file exists.
  bool OPCIONRIESGO = false;
};

}  // namespace tornal
