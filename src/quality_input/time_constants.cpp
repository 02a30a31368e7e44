#include "quality_input/time_constants.h"

namespace tornal {

void CTESTEMPORALESSUB(Modelo& m, int MES) {
  (void)m;
  (void)MES;
}

}  // namespace tornal
