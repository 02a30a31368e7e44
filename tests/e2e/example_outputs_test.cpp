// The result files of the example basin compared with copies checked by
// hand: line by line, numbers within a tolerance, texts exactly, every line
// ending with CR LF.
#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "e2e/e2e_util.h"

using namespace tornal_test;

namespace {

const std::string EXPECTED = std::string(TORNAL_EXAMPLES) + "/../tests/e2e/expected/basin/";
// The compliance criteria of the run: see Criterios.txt; the expected
// verdicts are those of the checked copy of Criterios.csv.
const std::string CRITERIOS = std::string(TORNAL_EXAMPLES) + "/../tests/e2e/input/basin/Criterios.txt";

// The fields of a line: pieces between semicolons, tabs and blanks. Runs of
// separators give no empty fields, but the separators themselves are kept
// as a field each, so that a moved semicolon is a difference.
std::vector<std::string> campos(const std::string& linea) {
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

// The value of a field that is a number as a whole; false otherwise.
bool numero(const std::string& campo, double& valor) {
  if (campo.empty()) return false;
  const char* p = campo.c_str();
  char* fin = nullptr;
  errno = 0;
  valor = std::strtod(p, &fin);
  return fin == p + campo.size() && errno == 0 && std::isfinite(valor);
}

bool cerca(double a, double b) {
  const double d = std::fabs(a - b);
  return d <= 1e-6 || d <= 1e-9 * std::max(std::fabs(a), std::fabs(b));
}

// Differences between two lines, "" when they agree.
std::string diferencia(const std::string& obtenida, const std::string& esperada) {
  const auto a = campos(obtenida);
  const auto b = campos(esperada);
  if (a.size() != b.size())
    return "fields " + std::to_string(a.size()) + " instead of " + std::to_string(b.size());
  for (std::size_t i = 0; i < a.size(); ++i) {
    double x = 0, y = 0;
    const bool nx = numero(a[i], x), ny = numero(b[i], y);
    if (nx && ny) {
      if (!cerca(x, y)) return "field " + std::to_string(i + 1) + ": " + a[i] + " instead of " + b[i];
    } else if (a[i] != b[i]) {
      return "field " + std::to_string(i + 1) + ": '" + a[i] + "' instead of '" + b[i] + "'";
    }
  }
  return std::string();
}

void comparar(const TempDir& dir, const std::string& nombre) {
  SCOPED_TRACE(nombre);
  ASSERT_TRUE(std::filesystem::exists(dir.file(nombre))) << nombre << " not written";
  bool crlf = false;
  const auto obtenidas = crlf_lines(dir.read(nombre), &crlf);
  const auto esperadas = crlf_lines(TempDir::read_file(EXPECTED + nombre));
  ASSERT_FALSE(esperadas.empty()) << "no expected copy of " << nombre;
  EXPECT_TRUE(crlf) << nombre << ": a line without CR LF";
  EXPECT_EQ(obtenidas.size(), esperadas.size()) << nombre << ": line count";
  int fallos = 0;
  for (std::size_t i = 0; i < std::min(obtenidas.size(), esperadas.size()) && fallos < 10; ++i) {
    const std::string d = diferencia(obtenidas[i], esperadas[i]);
    if (!d.empty()) {
      ADD_FAILURE() << nombre << " line " << i + 1 << ": " << d << "\n  got:      " << obtenidas[i]
                    << "\n  expected: " << esperadas[i];
      ++fallos;
    }
  }
}

}  // namespace

// The comparison itself: a number off in its last printed digit, a changed
// text and a lost field are found; a blank more or less is not a difference.
TEST(ExampleOutputs, LineComparisonRules) {
  struct Caso {
    const char* obtenida;
    const char* esperada;
    bool iguales;
  };
  const Caso casos[] = {
      {"Rio Alto;   2;NO CUMPLE ;", "Rio Alto;   2;NO CUMPLE ;", true},
      {"Rio Alto;   2;CUMPLE    ;", "Rio Alto;   2;NO CUMPLE ;", false},
      {"Rio Alto;   3;NO CUMPLE ;", "Rio Alto;   2;NO CUMPLE ;", false},
      {"  13.00000\t  300.00000\t", "13.00000 300.00000", true},
      {"  13.00001\t  300.00000\t", "13.00000\t300.00000\t", false},
      {"  1.0000000001e6", "1.0e6", true},
      {"Caudal;Oct-2000;Rio Alto;5.000", "Caudal;Oct-2000;Rio Alto;", false},
      {"Rio Alto;5;", "Rio Alto;;5", false},
  };
  for (const Caso& c : casos) EXPECT_EQ(diferencia(c.obtenida, c.esperada).empty(), c.iguales) << c.obtenida;
}

TEST(ExampleOutputs, ResultFilesMatchTheCheckedCopies) {
  TempDir dir;
  copy_example("basin", dir);
  std::filesystem::copy_file(CRITERIOS, dir.file("Criterios.txt"));
  const RunResult r = run_tornal(dir);
  ASSERT_EQ(r.status, 0) << r.console;
  for (const char* nombre :
       {"resultados.xml", "graficos.txt", "TablaCal.txt", "TablaCal.dir", "Criterios.csv", "conducciones_parcial.csv",
        "embalses_parcial.csv", "balances.csv"})
    comparar(dir, nombre);
}
