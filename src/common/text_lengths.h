// Lengths of the fixed-length texts that more than one part of the system
// holds.
#pragma once

#include <cstddef>

namespace tornal {

// Length of a path of the run configuration.
constexpr std::size_t LONGRUTA = 255;

}  // namespace tornal
