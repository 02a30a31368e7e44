// Whole runs of the program: a basin copied into a temporary folder, the
// program run there, its console, exit status and run log read back.
#pragma once

#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/free_reader.h"
#include "common/latin1.h"
#include "common/text_lengths.h"
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

// A file or folder of the end-to-end test data (tests/e2e): the layout of
// the runs, the input files that a run lays over an example, and the checked
// copies of the outputs.
inline std::string e2e_data(const std::string& relative) { return std::string(TORNAL_E2E) + "/" + relative; }

// A run whose result files are compared with checked copies: the input files
// of examples/<ejemplo>, then the files of each folder of `capas` (relative
// to tests/e2e) laid over them, in order; its copies in expected/<nombre>.
struct E2ERun {
  std::string nombre;
  std::string ejemplo;
  std::vector<std::string> capas;
};

// tests/e2e/layout.txt, which the command that writes the checked copies
// anew (regenerate_expected.py) reads as well, so that both lay out a run
// alike: the input files with fixed names, the records of the run
// configuration that name input files, the result files compared and the
// runs.
struct E2ELayout {
  std::vector<std::string> fijos;
  std::vector<int> registros;
  std::vector<std::string> resultados;
  std::vector<E2ERun> corridas;
};

// Reads the layout once; a line it cannot read throws, naming the line.
inline const E2ELayout& e2e_layout() {
  static const E2ELayout layout = [] {
    const std::string ruta = e2e_data("layout.txt");
    const std::string texto = TempDir::read_file(ruta);
    if (texto.empty()) throw std::runtime_error(ruta + ": missing or empty");
    E2ELayout l;
    std::istringstream in(texto);
    std::string linea;
    for (int n = 1; std::getline(in, linea); ++n) {
      if (!linea.empty() && linea.back() == '\r') linea.pop_back();
      std::istringstream campos(linea);
      std::vector<std::string> w{std::istream_iterator<std::string>(campos), std::istream_iterator<std::string>()};
      if (w.empty() || w[0].starts_with("#")) continue;
      const std::string clave = w[0];
      w.erase(w.begin());
      auto falla = [&](const std::string& por_que) {
        throw std::runtime_error(ruta + " line " + std::to_string(n) + ": " + por_que);
      };
      if (clave == "fixed") {
        l.fijos.insert(l.fijos.end(), w.begin(), w.end());
      } else if (clave == "records") {
        for (const std::string& r : w) {
          if (r.find_first_not_of("0123456789") != std::string::npos || r.size() > 3 || std::stoi(r) < 1)
            falla("'" + r + "' is no record number");
          l.registros.push_back(std::stoi(r));
        }
      } else if (clave == "results") {
        l.resultados.insert(l.resultados.end(), w.begin(), w.end());
      } else if (clave == "run") {
        if (w.size() < 2) falla("a run needs its name and its example");
        for (const E2ERun& c : l.corridas)
          if (c.nombre == w[0]) falla("run " + w[0] + " named twice");
        l.corridas.push_back({w[0], w[1], std::vector<std::string>(w.begin() + 2, w.end())});
      } else {
        falla("unknown key '" + clave + "'");
      }
    }
    if (l.fijos.empty() || l.registros.empty() || l.resultados.empty() || l.corridas.empty())
      throw std::runtime_error(ruta + ": fixed, records, results and run are all needed");
    return l;
  }();
  return layout;
}

// The run `nombre` of the layout; throws when it names none.
inline const E2ERun& e2e_run(const std::string& nombre) {
  for (const E2ERun& c : e2e_layout().corridas)
    if (c.nombre == nombre) return c;
  throw std::runtime_error("no run " + nombre + " in tests/e2e/layout.txt");
}

// Copies the input files of the example basin `name` into `dir`: its run
// configuration, the files that the layout's records of it name and the
// optional files with fixed names. The records are read as the program reads
// them, one statement each. What a run of the example left in its folder (run
// log, result files) is never copied, so a test does not depend on earlier
// runs.
inline void copy_example(const std::string& name, const TempDir& dir) {
  namespace fs = std::filesystem;
  const E2ELayout& l = e2e_layout();
  const std::string origen = std::string(TORNAL_EXAMPLES) + "/" + name;
  std::vector<std::string> entradas = l.fijos;
  tornal::FreeReader rd;
  if (!rd.open(origen + "/VekArch.cal")) throw std::runtime_error(origen + "/VekArch.cal cannot be read");
  const int ultimo = *std::max_element(l.registros.begin(), l.registros.end());
  for (int r = 1; r <= ultimo; ++r) {
    tornal::Statement st = rd.statement();
    if (std::find(l.registros.begin(), l.registros.end(), r) != l.registros.end()) {
      std::string ruta;
      st.text(ruta, tornal::LONGRUTA);
      entradas.push_back(tornal::trimmed(ruta));
    }
    if (st.finish() != tornal::ReadStatus::Ok)
      throw std::runtime_error(origen + "/VekArch.cal: record " + std::to_string(r) + " cannot be read");
  }
  for (const std::string& e : entradas) {
    const fs::path desde = fs::path(origen) / e;
    if (e.empty() || fs::path(e).is_absolute() || !fs::is_regular_file(desde)) continue;
    fs::create_directories((fs::path(dir.path()) / e).parent_path());
    fs::copy_file(desde, fs::path(dir.path()) / e, fs::copy_options::overwrite_existing);
  }
}

// Copies every file of the folder `folder` into `dir`, over the files of the
// same name: the input files in which a variant of an example differs from it.
inline void overlay_inputs(const std::string& folder, const TempDir& dir) {
  namespace fs = std::filesystem;
  for (const fs::directory_entry& e : fs::directory_iterator(folder))
    if (e.is_regular_file())
      fs::copy_file(e.path(), fs::path(dir.path()) / e.path().filename(), fs::copy_options::overwrite_existing);
}

// Lays out the run `nombre` of the layout in `dir`: its example, then its
// folders over it.
inline void lay_out_run(const std::string& nombre, const TempDir& dir) {
  const E2ERun& c = e2e_run(nombre);
  copy_example(c.ejemplo, dir);
  for (const std::string& capa : c.capas) overlay_inputs(e2e_data(capa), dir);
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

// Every result file of the layout written by the run `nombre` in `dir`
// against its checked copy in expected/<nombre>.
inline void compare_run_with_expected(const TempDir& dir, const std::string& nombre) {
  for (const std::string& archivo : e2e_layout().resultados)
    compare_with_expected(dir, e2e_data("expected/" + nombre), archivo);
}

}  // namespace tornal_test
