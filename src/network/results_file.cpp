#include "network/results_file.h"
namespace tornal {
void LEERARCHRESSUB(Modelo&, const std::string&) {}
}  // namespace tornal
