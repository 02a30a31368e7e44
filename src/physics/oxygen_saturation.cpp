// The saturation concentration of dissolved oxygen in fresh water, by
// Benson and Krause: ln Cs = -139.34411 + 1.575701e5 / Tk - 6.642308e7 / Tk^2
// + 1.243800e10 / Tk^3 - 8.621949e11 / Tk^4, Tk the temperature in kelvin.
#include <cmath>

#include "common/precision.h"
#include "physics/physics.h"

namespace tornal {

// The reach and the reservoir models once wrote this sum each in its own
// order: the reservoir added the first two terms the other way round and
// formed Tk^3 as Tk x Tk^2. Both are the same operations on the same
// operands (a sum and a product of two numbers do not depend on their
// order), the terms are summed from left to right in both, so the two gave
// the same bits: one formula serves both.
double saturacion_oxigeno(double T) {
  const double Tk = T + sp(273.15f);
  const double Tk2 = Tk * Tk;
  const double Tk3 = Tk2 * Tk;
  const double Tk4 = Tk2 * Tk2;
  return std::exp(-sp(139.34411f) + sp(1.575701e5f) / Tk - sp(6.642308e7f) / Tk2 + sp(1.243800e10f) / Tk3 -
                  sp(8.621949e11f) / Tk4);
}

}  // namespace tornal
