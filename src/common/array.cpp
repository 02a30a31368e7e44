// Out-of-range indices of the system's arrays (see array.h).
#include "common/array.h"

#include "common/stop.h"

namespace tornal {

void array_index_error(const std::string& name, const long* index, int rank, const long* size) {
  std::string text = "Índice fuera de rango en " + (name.empty() ? std::string("una tabla") : name) + "(";
  std::string dims = "(";
  for (int d = 0; d < rank; ++d) {
    if (d > 0) {
      text += ",";
      dims += ",";
    }
    text += std::to_string(index[d]);
    dims += std::to_string(size[d]);
  }
  throw IndexOutOfRange(text + "), de dimensiones " + dims + ")");
}

}  // namespace tornal
