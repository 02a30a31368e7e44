// A quality-risk run of the example basin: "NivelesRQ.dat" present, so the
// reach model counts the outlet of every reach-month into its risk levels
// and the run writes "Riesgocal.csv" instead of the tagged file and the
// tables.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "e2e/e2e_util.h"

using namespace tornal_test;

namespace {

// Ten blocks for the ten constituents of the basin and one more beyond them.
// Temperature in four levels (limits 10, 15 and 20 degC); the others in two.
std::string niveles() {
  std::string s = "Niveles de riesgo de calidad\r\n11\r\n";
  s += "'Temperatura'\r\n4\r\n10.0\r\n15.0\r\n20.0\r\n----\r\n";
  for (int b = 2; b <= 11; ++b) s += "'Bloque " + std::to_string(b) + "'\r\n2\r\n1.0\r\n----\r\n";
  return s;
}

// The values of a level record.
std::vector<double> valores(const std::string& linea) {
  std::vector<double> v;
  std::size_t inicio = 0;
  for (std::size_t p = linea.find(';'); p != std::string::npos; p = linea.find(';', inicio)) {
    v.push_back(std::strtod(linea.substr(inicio, p - inicio).c_str(), nullptr));
    inicio = p + 1;
  }
  return v;
}

TEST(RiskRun, ExampleBasinWritesThePercentagesOfEveryReach) {
  TempDir dir;
  copy_example("basin", dir);
  for (const char* f : {"Riesgocal.csv", "resultados.xml", "graficos.txt", "TablaCal.txt"})
    std::filesystem::remove(dir.file(f));
  dir.write("NivelesRQ.dat", niveles());
  const RunResult r = run_tornal(dir);
  ASSERT_EQ(r.status, 0) << r.console;

  // Neither the tagged file nor the tables; no partial rows.
  EXPECT_FALSE(std::filesystem::exists(dir.file("resultados.xml")));
  EXPECT_FALSE(std::filesystem::exists(dir.file("graficos.txt")));
  EXPECT_EQ(dir.read("conducciones_parcial.csv"), "");

  const std::string log = dir.read("tornal.log");
  EXPECT_NE(log.find("Existe archivo de niveles de riesgo. Opcion de riesgo activada"), std::string::npos);
  std::size_t contados = 0;
  for (std::size_t p = log.find("NumDoncucion"); p != std::string::npos; p = log.find("NumDoncucion", p + 1))
    ++contados;
  EXPECT_EQ(contados, 4u * 24u);  // four reaches, 24 months, none dry

  const auto lineas = crlf_lines(dir.read("Riesgocal.csv"));
  ASSERT_EQ(lineas.size(), 1u + (4 + 4) + 10 * (4 + 2));
  EXPECT_EQ(lineas[0], " Archivo salida resultados riesgo de calidad");
  EXPECT_EQ(lineas[1].substr(0, 12), " Temperatura");
  // Every block of the constituents: each reach's levels add up to 100 (it
  // was modelled every month); the block beyond them is 0 throughout.
  std::size_t l = 1;
  for (int b = 1; b <= 11; ++b) {
    l += 4;
    const int n = b == 1 ? 4 : 2;
    std::vector<double> suma(4, 0.0);
    for (int j = 0; j < n; ++j, ++l) {
      const auto v = valores(lineas[l]);
      ASSERT_EQ(v.size(), 4u) << lineas[l];
      for (int c = 0; c < 4; ++c) suma[c] += v[c];
    }
    for (int c = 0; c < 4; ++c)
      EXPECT_NEAR(suma[c], b <= 10 ? 100.0 : 0.0, 0.002) << "block " << b << " reach " << c + 1;
  }
  // Temperature of the first reach: its 24 months over the four classes
  // of 10, 15 and 20 degC, in multiples of 1/24.
  for (double p : valores(lineas[5])) EXPECT_NEAR(std::fmod(p * 24.0 / 100.0 + 1e-6, 1.0), 0.0, 1e-3);
}

}  // namespace
