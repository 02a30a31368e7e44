// The quality data, quality of inflows and coefficients files. The readers
// are not in place yet: the run goes on without quality data.
#include "quality_input/quality_file.h"

namespace tornal {

void LEERARCHCALSUB(Modelo& m, const std::string& PATHARCHIVO3, const std::string& PATHARCHIVO4,
                    const std::string& PATHARCHIVO5, int NUMVERSION) {
  (void)m;
  (void)PATHARCHIVO3;
  (void)PATHARCHIVO4;
  (void)PATHARCHIVO5;
  (void)NUMVERSION;
}

}  // namespace tornal
