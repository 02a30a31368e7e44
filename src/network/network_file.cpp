#include "network/network_file.h"
namespace tornal {
void LEERARCHFISSUB(Modelo& m, const std::string& PATHARCHIVO, const std::string& PATHARCHIVOKELMARXML) {
  leer_archivo_xml(m, PATHARCHIVOKELMARXML);
  leer_archivo_fisico(m, PATHARCHIVO);
}
void leer_archivo_xml(Modelo&, const std::string&) {}
void leer_archivo_fisico(Modelo&, const std::string&) {}
}  // namespace tornal
