// The roles of the files of a run (see output_paths.h).
#include "run/output_paths.h"

#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "common/free_reader.h"
#include "common/latin1.h"
#include "common/stop.h"

namespace tornal {

namespace {

struct Archivo {
  std::string origen;  // "registro 12", or the fixed name
  std::string ruta;    // as the run opens it
};

// The files with fixed names that the run writes.
struct SalidasFijas {
  bool tablas = false;     // "TablaCal.txt" and "TablaCal.dir": every run but a risk run
  bool criterios = false;  // "Criterios.csv": "Criterios.txt" present
  bool balances = false;   // "balances.csv": OPCIONBALANCES 1
  bool riesgo = false;     // "Riesgocal.csv": a risk run
};

// Links that a path may pass through before it is taken for a loop of
// links, which no file can be opened through.
constexpr int MAXENLACES = 40;

// The file that writing at a path ends in, as far as it can be told: the path
// made absolute and normal, with the links of its existing part followed; a
// link at its end whose target does not exist yet is followed to that target
// (a relative target from the link's own folder), link after link, since
// writing through it creates that target. A loop of links is left where the
// search stands after MAXENLACES of them.
std::filesystem::path identidad(const std::string& ruta) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::path p = fs::absolute(ruta, ec);
  if (ec) p = ruta;
  for (int enlaces = 0;; ++enlaces) {
    fs::path canonica = fs::weakly_canonical(p, ec);
    p = ec ? p.lexically_normal() : std::move(canonica);
    if (enlaces == MAXENLACES || !fs::is_symlink(fs::symlink_status(p, ec))) return p;
    const fs::path destino = fs::read_symlink(p, ec);
    if (ec) return p;
    p = destino.is_absolute() ? destino : p.parent_path() / destino;
  }
}

// Whether two paths end in one file: two existing files as the system tells
// them apart (a second hard link is the same file), otherwise by the file
// that writing at each ends in.
bool mismo_archivo(const std::string& a, const std::string& b) {
  std::error_code ec;
  if (std::filesystem::exists(a, ec) && std::filesystem::exists(b, ec)) {
    const bool igual = std::filesystem::equivalent(a, b, ec);
    if (!ec) return igual;
  }
  return identidad(a) == identidad(b);
}

// The kind of the existing file a path names, its links followed; none for
// a path that names nothing yet (the run creates a regular file there).
std::optional<std::filesystem::file_type> tipo(const std::string& ruta) {
  std::error_code ec;
  const std::filesystem::file_status st = std::filesystem::status(ruta, ec);
  if (ec || !std::filesystem::exists(st)) return std::nullopt;
  return st.type();
}

// Writing to a character device (/dev/null, a terminal) keeps nothing that
// a read gives back: it may be every output and input at once.
bool es_dispositivo(const std::string& ruta) { return tipo(ruta) == std::filesystem::file_type::character; }

// A FIFO passes on what is written without keeping it: two outputs may share
// one. It stays refused as an input, which would read what the run writes.
bool es_tuberia(const std::string& ruta) { return tipo(ruta) == std::filesystem::file_type::fifo; }

// The message of the first output that is another output or an input; empty
// when there is none.
std::string conflicto(const Modelo& m, const SalidasFijas& fijas) {
  const Configuracion& c = m.conf;
  auto registro = [](int n, const std::string& ruta) {
    return Archivo{"registro " + std::to_string(n), trimmed(ruta)};
  };
  auto fijo = [&](const char* nombre) { return Archivo{std::string("archivo ") + nombre, m.ruta(nombre)}; };

  std::vector<Archivo> salidas = {registro(10, c.NOMARCHCONDPAR1), registro(11, c.NOMARCHEMBPAR1),
                                  registro(12, c.NOMARCHIVO), registro(13, c.NOMARCHIGRF), registro(20, c.ARCHIVOLOG)};
  if (fijas.tablas) salidas.insert(salidas.end(), {fijo("TablaCal.txt"), fijo("TablaCal.dir")});
  if (fijas.criterios) salidas.push_back(fijo("Criterios.csv"));
  if (fijas.balances) salidas.push_back(fijo("balances.csv"));
  if (fijas.riesgo) salidas.push_back(fijo("Riesgocal.csv"));
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
    const std::string& ruta = salidas[i].ruta;
    if (ruta.empty()) continue;
    const bool dispositivo = es_dispositivo(ruta);
    const bool compartible = dispositivo || es_tuberia(ruta);
    for (std::size_t j = i + 1; j < salidas.size(); ++j)
      if (!compartible && !salidas[j].ruta.empty() && mismo_archivo(ruta, salidas[j].ruta))
        return "Error en el archivo Vekarch.cal: los archivos de salida del " + salidas[i].origen + " y del " +
               salidas[j].origen + " son el mismo archivo, " + utf8(salidas[j].ruta);
    for (const Archivo& e : entradas)
      if (!dispositivo && !e.ruta.empty() && mismo_archivo(ruta, e.ruta))
        return "Error en el archivo Vekarch.cal: el archivo de salida del " + salidas[i].origen +
               " es el archivo de entrada del " + e.origen + ", " + utf8(e.ruta);
  }
  return std::string();
}

}  // namespace

void comprobar_archivos_de_la_ejecucion(const Modelo& m) {
  SalidasFijas fijas;
  fijas.riesgo = name_exists(m.ruta("NivelesRQ.dat"));
  fijas.tablas = !fijas.riesgo;
  fijas.criterios = name_exists(m.ruta("Criterios.txt"));
  const std::string mensaje = conflicto(m, fijas);
  if (!mensaje.empty()) stop(mensaje);
}

void comprobar_archivos_tras_la_lectura(Modelo& m) {
  SalidasFijas fijas;
  fijas.riesgo = m.cal.OPCIONRIESGO;
  fijas.tablas = !fijas.riesgo;
  fijas.criterios = name_exists(m.ruta("Criterios.txt"));
  fijas.balances = m.cal.OPCIONBALANCES == 1;
  const std::string mensaje = conflicto(m, fijas);
  if (mensaje.empty()) return;
  m.log.write({latin1(mensaje)});
  stop(mensaje);
}

}  // namespace tornal
