#include "network/calculation_order.h"
namespace tornal {
void ORDENCALCULOSUB(Modelo& m) { aplicar_bucles(m); }
void aplicar_bucles(Modelo&) {}
}  // namespace tornal
