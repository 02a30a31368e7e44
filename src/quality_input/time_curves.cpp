#include "quality_input/time_curves.h"

namespace tornal {

void CURVASTEMPSUB(Modelo& m) { (void)m; }
void CURVASTEMPLARGASSUB(Modelo& m) { (void)m; }

}  // namespace tornal
