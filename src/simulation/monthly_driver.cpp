// The monthly calculation driver. Not in place yet: no month is computed.
#include "simulation/monthly_driver.h"

namespace tornal {

void CALCULOSUB(Modelo& m, const std::string& NOMARCHCONDPAR1, const std::string& NOMARCHEMBPAR1,
                const std::string& PATHARCHIVO23, int OPCIONCALIBCOND, const std::string& PATHARCHIVO22,
                int OPCIONCALIBEMB, int OPCIONREGISTRO22) {
  (void)m;
  (void)NOMARCHCONDPAR1;
  (void)NOMARCHEMBPAR1;
  (void)PATHARCHIVO23;
  (void)OPCIONCALIBCOND;
  (void)PATHARCHIVO22;
  (void)OPCIONCALIBEMB;
  (void)OPCIONREGISTRO22;
}

}  // namespace tornal
