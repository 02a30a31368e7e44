// The thetas of the temperature corrections of the kinetic rates, declared
// once beside the kinetic constants (kinetic_constants.h): TECTAOD(n), the
// n-th row of TECTASCINETICAS, turns a rate k of both models at 20 degC into
// k theta^(T - 20) at the water temperature T. Their count sizes TECTAOD, the
// values that the coefficients file reads into it and the reach's cache of
// corrections.
#pragma once

#include <iterator>

namespace tornal {

// One theta: the rate it corrects, by the name of its constant in the quality
// data file without the model's suffix, and its value where the coefficients
// file gives none.
struct TectaCinetica {
  const char* tasa;
  double defecto;
};

// In the order of the coefficients file; each theta holds its default until
// the file gives it. The first TECTASREGISTRO are its record of thetas
// ("<TECTAS>"; record 16 of the fixed layout, which must be there), at 0
// where a tagged file has none, which a run with oxygen refuses as a read
// error of the file. A theta after them is read from the
// optional record "<TECTASADICIONALES>" of the tagged layout, in this order,
// so that a file without it reads as before; the fixed layout has no place
// for it. Its default is 1, no correction, unless its rate has always been
// corrected by another value.
inline constexpr TectaCinetica TECTASCINETICAS[] = {
    {"KA", 0.0},        // reaeration
    {"KD", 0.0},        // decay of organic matter
    {"KNOA", 0.0},      // ammonification
    {"KNAI", 0.0},      // nitrification
    {"KNO3", 0.0},      // denitrification
    {"KMAXGROW", 0.0},  // algal growth
    {"KRESP", 0.0},     // algal respiration
    {"KFOSF", 0.0},     // mineralisation of organic phosphorus
};
inline constexpr int NUMTECTAS = static_cast<int>(std::size(TECTASCINETICAS));

// The thetas of the record that every coefficients file has held: the layout
// of existing files, not a count of the table.
inline constexpr int TECTASREGISTRO = 8;
static_assert(NUMTECTAS >= TECTASREGISTRO, "the record of thetas holds eight");

}  // namespace tornal
