// The monthly calculation driver.
#pragma once

#include <string>

#include "modelo/modelo.h"

namespace tornal {

// Runs the whole monthly simulation of the network.
void CALCULOSUB(Modelo& m, const std::string& NOMARCHCONDPAR1, const std::string& NOMARCHEMBPAR1,
                const std::string& PATHARCHIVO23, int OPCIONCALIBCOND, const std::string& PATHARCHIVO22,
                int OPCIONCALIBEMB, int VALORREGISTRO22);

}  // namespace tornal
