// The roles of the files of a run (see output_paths.h).
#include "run/output_paths.h"

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "common/latin1.h"
#include "common/stop.h"

namespace tornal {

namespace {

struct Archivo {
  std::string origen;  // "registro 12", or the fixed name
  std::string ruta;    // as the run opens it
};

// The file a path names, as far as it can be told: the same path once made
// absolute and normal, with the links of its existing part followed.
std::filesystem::path identidad(const std::string& ruta) {
  std::error_code ec;
  std::filesystem::path p = std::filesystem::absolute(ruta, ec);
  if (ec) p = ruta;
  std::filesystem::path canonica = std::filesystem::weakly_canonical(p, ec);
  return ec ? p.lexically_normal() : canonica;
}

bool mismo_archivo(const std::string& a, const std::string& b) {
  std::error_code ec;
  if (std::filesystem::exists(a, ec) && std::filesystem::exists(b, ec)) {
    const bool igual = std::filesystem::equivalent(a, b, ec);
    if (!ec) return igual;
  }
  return identidad(a) == identidad(b);
}

}  // namespace

void comprobar_archivos_de_la_ejecucion(const Modelo& m) {
  const Configuracion& c = m.conf;
  auto registro = [](int n, const std::string& ruta) {
    return Archivo{"registro " + std::to_string(n), trimmed(ruta)};
  };
  auto fijo = [&](const char* nombre) { return Archivo{std::string("archivo ") + nombre, m.ruta(nombre)}; };

  std::vector<Archivo> salidas = {registro(10, c.NOMARCHCONDPAR1),
                                  registro(11, c.NOMARCHEMBPAR1),
                                  registro(12, c.NOMARCHIVO),
                                  registro(13, c.NOMARCHIGRF),
                                  registro(20, c.ARCHIVOLOG),
                                  fijo("TablaCal.txt"),
                                  fijo("TablaCal.dir"),
                                  fijo("Criterios.csv"),
                                  fijo("balances.csv"),
                                  fijo("Riesgocal.csv")};
  std::vector<Archivo> entradas = {registro(2, c.PATHARCHIVO),  registro(3, c.PATHARCHIVOKELMARXML),
                                   registro(4, c.PATHARCHIVO2), registro(6, c.PATHARCHIVO3),
                                   registro(7, c.PATHARCHIVO4), registro(8, c.PATHARCHIVO5),
                                   fijo("VekArch.cal"),         fijo("bucle.avz"),
                                   fijo("tornal.avz"),          fijo("NivelesRQ.dat"),
                                   fijo("Criterios.txt")};
  if (c.OPCIONCALIBCOND == 1 || c.OPCIONCALIBCOND == 2) entradas.push_back(registro(16, c.PATHARCHIVO23));
  if (c.OPCIONCALIBEMB == 1) entradas.push_back(registro(18, c.PATHARCHIVO22));

  // An empty path names no file: its output fails when it is opened.
  for (std::size_t i = 0; i < salidas.size(); ++i) {
    if (salidas[i].ruta.empty()) continue;
    for (std::size_t j = i + 1; j < salidas.size(); ++j)
      if (!salidas[j].ruta.empty() && mismo_archivo(salidas[i].ruta, salidas[j].ruta))
        stop("Error en el archivo Vekarch.cal: los archivos de salida del " + salidas[i].origen + " y del " +
             salidas[j].origen + " son el mismo archivo, " + utf8(salidas[j].ruta));
    for (const Archivo& e : entradas)
      if (!e.ruta.empty() && mismo_archivo(salidas[i].ruta, e.ruta))
        stop("Error en el archivo Vekarch.cal: el archivo de salida del " + salidas[i].origen +
             " es el archivo de entrada del " + e.origen + ", " + utf8(e.ruta));
  }
}

}  // namespace tornal
