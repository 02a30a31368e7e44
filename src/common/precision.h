// Decimal constants that the system uses at single precision: sp(0.61f) is
// the float nearest to 0.61 widened to double (0.6100000143051147), so a
// threshold or a formula gives exactly the value the system has always
// given.
#pragma once

namespace tornal {

constexpr double sp(float valor) { return static_cast<double>(valor); }

}  // namespace tornal
