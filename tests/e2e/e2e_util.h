// Whole runs of the program: a basin copied into a temporary folder, the
// program run there, its console, exit status and run log read back.
#pragma once

#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "common/latin1.h"
#include "modelo/modelo.h"
#include "network/calculation_order.h"
#include "network/network_file.h"
#include "quality_input/quality_file.h"
#include "run/tornal.h"
#include "test_util.h"

namespace tornal_test {

struct RunResult {
  int status = -1;
  std::string console;
};

// Copies the input files of the example basin `name` into `dir`: its run
// configuration, the files that configuration reads and the optional files
// with fixed names. What a run of the example left in its folder (run log,
// result files) is never copied, so a test does not depend on earlier runs.
inline void copy_example(const std::string& name, const TempDir& dir) {
  namespace fs = std::filesystem;
  const std::string origen = std::string(TORNAL_EXAMPLES) + "/" + name;
  tornal::Modelo m;
  m.carpeta = origen;
  tornal::leer_vekarch(m);
  const tornal::Configuracion& c = m.conf;
  std::vector<std::string> entradas = {"VekArch.cal", "bucle.avz", "tornal.avz", "NivelesRQ.dat", "Criterios.txt"};
  for (const std::string* ruta : {&c.PATHARCHIVO, &c.PATHARCHIVOKELMARXML, &c.PATHARCHIVO2, &c.PATHARCHIVO3,
                                  &c.PATHARCHIVO4, &c.PATHARCHIVO5, &c.PATHARCHIVO23, &c.PATHARCHIVO22})
    entradas.push_back(tornal::trimmed(*ruta));
  for (const std::string& e : entradas) {
    const fs::path desde = fs::path(origen) / e;
    if (e.empty() || fs::path(e).is_absolute() || !fs::is_regular_file(desde)) continue;
    fs::create_directories((fs::path(dir.path()) / e).parent_path());
    fs::copy_file(desde, fs::path(dir.path()) / e, fs::copy_options::overwrite_existing);
  }
}

// A file or folder of the end-to-end test data (tests/e2e): the input files
// that a test lays over an example, and the checked copies of the outputs.
inline std::string e2e_data(const std::string& relative) {
  return std::string(TORNAL_EXAMPLES) + "/../tests/e2e/" + relative;
}

// Copies every file of the folder `folder` into `dir`, over the files of the
// same name: the input files in which a variant of an example differs from it.
inline void overlay_inputs(const std::string& folder, const TempDir& dir) {
  namespace fs = std::filesystem;
  for (const fs::directory_entry& e : fs::directory_iterator(folder))
    if (e.is_regular_file())
      fs::copy_file(e.path(), fs::path(dir.path()) / e.path().filename(), fs::copy_options::overwrite_existing);
}

// Reads the basin copied into `dir` into `m`, its run log kept in memory: the
// network files, the calculation order and the three quality files of a
// configuration of version NUMVERSION (14 for the examples' 1.4).
inline void read_basin(tornal::Modelo& m, const TempDir& dir, int NUMVERSION = 14) {
  prepare(m, dir.path());
  tornal::LEERARCHFISSUB(m, dir.file("red.dat"), dir.file("red.xml"));
  tornal::ORDENCALCULOSUB(m);
  tornal::LEERARCHCALSUB(m, dir.file("calidad.dat"), dir.file("aportaciones.dat"), dir.file("coeficientes.dat"),
                         NUMVERSION);
}

// Runs the program in `dir` with no arguments.
inline RunResult run_tornal(const TempDir& dir) {
  std::string cmd = "cd '" + dir.path() + "' && '" + TORNAL_BINARY + "' < /dev/null > console.out 2>&1";
  int raw = std::system(cmd.c_str());
  RunResult r;
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.console = dir.read("console.out");
  return r;
}

// The run-log lines of an element name written at its length of 250: pieces
// of 79 characters, the last one of 13.
inline std::vector<std::string> name_lines(const std::string& nombre) {
  const std::string n = nombre + std::string(250 - nombre.size(), ' ');
  return {" " + n.substr(0, 79), " " + n.substr(79, 79), " " + n.substr(158, 79), " " + n.substr(237)};
}

// The fields of a result line: pieces between semicolons, tabs and blanks.
// Runs of separators give no empty fields, but the separators themselves are
// kept as a field each, so that a moved semicolon is a difference.
inline std::vector<std::string> line_fields(const std::string& linea) {
  std::vector<std::string> out;
  std::string actual;
  auto cerrar = [&] {
    if (!actual.empty()) out.push_back(actual);
    actual.clear();
  };
  for (char ch : linea) {
    if (ch == ' ' || ch == '\t') {
      cerrar();
    } else if (ch == ';') {
      cerrar();
      out.push_back(";");
    } else {
      actual += ch;
    }
  }
  cerrar();
  return out;
}

// The value of a field that is a finite number as a whole; false otherwise.
inline bool field_number(const std::string& campo, double& valor) {
  if (campo.empty()) return false;
  const char* p = campo.c_str();
  char* fin = nullptr;
  errno = 0;
  valor = std::strtod(p, &fin);
  return fin == p + campo.size() && errno == 0 && std::isfinite(valor);
}

inline bool numbers_agree(double a, double b) {
  const double d = std::fabs(a - b);
  return d <= 1e-6 || d <= 1e-9 * std::max(std::fabs(a), std::fabs(b));
}

// Differences between a result line and its checked copy, "" when they
// agree: numbers within a tolerance, texts exactly.
inline std::string line_difference(const std::string& obtenida, const std::string& esperada) {
  const auto a = line_fields(obtenida);
  const auto b = line_fields(esperada);
  if (a.size() != b.size()) return "fields " + std::to_string(a.size()) + " instead of " + std::to_string(b.size());
  for (std::size_t i = 0; i < a.size(); ++i) {
    double x = 0, y = 0;
    const bool nx = field_number(a[i], x), ny = field_number(b[i], y);
    if (nx && ny) {
      if (!numbers_agree(x, y)) return "field " + std::to_string(i + 1) + ": " + a[i] + " instead of " + b[i];
    } else if (a[i] != b[i]) {
      return "field " + std::to_string(i + 1) + ": '" + a[i] + "' instead of '" + b[i] + "'";
    }
  }
  return std::string();
}

// The result files of a run of the example basin, with its criteria file.
inline constexpr const char* RESULT_FILES[] = {"resultados.xml",       "graficos.txt",  "TablaCal.txt",
                                               "TablaCal.dir",         "Criterios.csv", "conducciones_parcial.csv",
                                               "embalses_parcial.csv", "balances.csv"};

// The output file `nombre` of a run in `dir` against its checked copy in the
// folder `esperados`: line by line as line_difference says, every line
// ending with CR LF; the first ten differing lines are reported.
inline void compare_with_expected(const TempDir& dir, const std::string& esperados, const std::string& nombre) {
  SCOPED_TRACE(nombre);
  ASSERT_TRUE(std::filesystem::exists(dir.file(nombre))) << nombre << " not written";
  bool crlf = false;
  const auto obtenidas = crlf_lines(dir.read(nombre), &crlf);
  const auto esperadas = crlf_lines(TempDir::read_file(esperados + "/" + nombre));
  ASSERT_FALSE(esperadas.empty()) << "no expected copy of " << nombre;
  EXPECT_TRUE(crlf) << nombre << ": a line without CR LF";
  EXPECT_EQ(obtenidas.size(), esperadas.size()) << nombre << ": line count";
  int fallos = 0;
  for (std::size_t i = 0; i < std::min(obtenidas.size(), esperadas.size()) && fallos < 10; ++i) {
    const std::string d = line_difference(obtenidas[i], esperadas[i]);
    if (!d.empty()) {
      ADD_FAILURE() << nombre << " line " << i + 1 << ": " << d << "\n  got:      " << obtenidas[i]
                    << "\n  expected: " << esperadas[i];
      ++fallos;
    }
  }
}

}  // namespace tornal_test
