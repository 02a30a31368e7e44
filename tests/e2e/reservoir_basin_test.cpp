// The example basin run end to end with a reservoir that stratifies from
// April to November (a lake-like curve, the thermocline series of the
// example), with oxygen, nitrogen and phytoplankton, its partial results
// every fifth sub-step and "balances.csv": the output files compared with
// copies checked by hand (the balances of the first month), numbers within
// a tolerance, texts exactly.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "e2e/e2e_util.h"

using namespace tornal_test;

namespace {

const std::string BASE = std::string(TORNAL_EXAMPLES) + "/../tests/e2e/";

// The fields of a line between semicolons and blanks.
std::vector<std::string> campos(const std::string& linea) {
  std::vector<std::string> out;
  std::string f;
  std::istringstream in(linea);
  while (std::getline(in, f, ';')) {
    std::istringstream partes(f);
    for (std::string p; partes >> p;) out.push_back(p);
    out.push_back(";");
  }
  return out;
}

bool iguales(const std::string& a, const std::string& b) {
  char* fa = nullptr;
  char* fb = nullptr;
  const double x = std::strtod(a.c_str(), &fa), y = std::strtod(b.c_str(), &fb);
  if (*fa != '\0' || *fb != '\0' || a.empty() || b.empty()) return a == b;
  return std::isfinite(x) && std::fabs(x - y) <= std::max(1e-6, 1e-9 * std::fabs(y));
}

void comparar(const std::string& obtenido, const std::string& esperado, const std::string& nombre, std::size_t n = 0) {
  SCOPED_TRACE(nombre);
  auto a = crlf_lines(obtenido);
  const auto b = crlf_lines(esperado);
  if (n > 0 && a.size() > n) a.resize(n);
  ASSERT_EQ(a.size(), b.size());
  int fallos = 0;
  for (std::size_t i = 0; i < a.size() && fallos < 5; ++i) {
    const auto x = campos(a[i]), y = campos(b[i]);
    bool ok = x.size() == y.size();
    for (std::size_t k = 0; ok && k < x.size(); ++k) ok = iguales(x[k], y[k]);
    if (!ok) {
      ADD_FAILURE() << "line " << i + 1 << "\n  got:      " << a[i] << "\n  expected: " << b[i];
      ++fallos;
    }
  }
}

}  // namespace

TEST(ReservoirBasin, StratifiedReservoirWithItsFiles) {
  TempDir dir;
  copy_example("basin", dir);
  for (const char* f : {"red.dat", "calidad.dat", "aportaciones.dat", "coeficientes.dat"})
    std::filesystem::copy_file(BASE + "input/reservoir/" + f, dir.file(f),
                               std::filesystem::copy_options::overwrite_existing);
  const RunResult r = run_tornal(dir);
  ASSERT_EQ(r.status, 0) << r.console;
  const std::string log = dir.read("tornal.log");
  EXPECT_EQ(log.find("Posible error numerico"), std::string::npos);

  // Two layers from April to November, one from December to March.
  const auto filas = crlf_lines(dir.read("embalses_parcial.csv"));
  ASSERT_EQ(filas.size(), 1u + 24 * 6);
  for (std::size_t i = 1; i < filas.size(); ++i) {
    const int mes = int((i - 1) / 6) % 12 + 1;
    const bool estratificado = !(mes >= 3 && mes <= 6);
    std::istringstream fila(filas[i]);
    std::string v2;
    for (int k = 0; k < 5; ++k) std::getline(fila, v2, ';');  // the hypolimnion's volume
    EXPECT_EQ(v2 != "          0.000", estratificado) << filas[i];
  }
  for (const char* f : {"embalses_parcial.csv", "resultados.xml", "graficos.txt"})
    comparar(dir.read(f), TempDir::read_file(BASE + "expected/reservoir/" + f), f);
  const std::string balances = dir.read("balances.csv");
  EXPECT_EQ(crlf_lines(balances).size(), 1u + 24 * 30);
  EXPECT_EQ(balances.find("*"), std::string::npos);
  EXPECT_EQ(balances.find("nan"), std::string::npos);
  comparar(balances, TempDir::read_file(BASE + "expected/reservoir/balances_oct2000.csv"), "balances.csv", 31);
}
