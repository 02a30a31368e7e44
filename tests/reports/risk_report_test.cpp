// The quality-risk report "Riesgocal.csv": percentages of all the months of
// the run (ties to even on the third decimal), the four name records of a
// block, 800 values a record, and its failures.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "e2e/e2e_util.h"
#include "reports/reports.h"
#include "test_util.h"

using namespace tornal_test;

namespace {

// A risk run of `anyos` years and `reaches` reaches with blocks of the given
// level counts; every count set to `cuenta`.
void preparar(tornal::Modelo& m, const TempDir& dir, int anyos, int reaches, const std::vector<int>& niveles,
              double cuenta) {
  prepare(m, dir.path());
  m.red.NUMANYOS = anyos;
  m.red.NUMCONDUCCIONEST1 = reaches;
  m.red.NUMCONDUCCIONES = reaches;
  tornal::Calidad& c = m.cal;
  c.OPCIONRIESGO = true;
  c.NUMCONTRIESGO = static_cast<int>(niveles.size());
  c.NOMCONTRISK.resize_filled(tornal::blanks(255), c.NUMCONTRIESGO);
  c.NUMNIVELESCONT.resize(c.NUMCONTRIESGO);
  for (int i = 1; i <= c.NUMCONTRIESGO; ++i) {
    c.NOMCONTRISK(i) = tornal::padded("Bloque " + std::to_string(i), 255);
    c.NUMNIVELESCONT(i) = niveles[i - 1];
  }
  c.MATCONDRIESGO.resize_filled(cuenta, reaches, c.NUMCONTRIESGO, 50);
}

TEST(RiskReport, PercentagesOfEveryMonthOfTheRun) {
  struct Caso {
    int anyos;
    double cuenta;
    const char* valor;
  };
  const Caso casos[] = {
      {2, 24.0, "        100.000;"},                                 // every month
      {2, 3.0, "         12.500;"},  {16, 3.0, "          1.562;"},  // 1.5625: ties to even
      {16, 9.0, "          4.688;"},                                 // 4.6875
      {16, 1.0, "          0.521;"}, {0, 5.0, "          0.000;"},   // a run without months: 0, never NaN
  };
  for (const Caso& k : casos) {
    SCOPED_TRACE(k.valor);
    TempDir dir;
    tornal::Modelo m;
    preparar(m, dir, k.anyos, 2, {2}, k.cuenta);
    tornal::ESCRIBIRRIESGOSUB(m);
    bool crlf = false;
    const auto lineas = crlf_lines(dir.read("Riesgocal.csv"), &crlf);
    EXPECT_TRUE(crlf);
    ASSERT_EQ(lineas.size(), 7u);
    EXPECT_EQ(lineas[0], " Archivo salida resultados riesgo de calidad");
    EXPECT_EQ(lineas[5], std::string(k.valor) + k.valor);
  }
}

TEST(RiskReport, NameRecordsLevelsAndLongRecords) {
  TempDir dir;
  tornal::Modelo m;
  // Blocks of 3 levels, of none, and of 1 level; 801 reaches.
  preparar(m, dir, 1, 801, {3, 0, 1}, 0.0);
  m.cal.NOMCONTRISK(1) = tornal::padded(std::string(80, 'a') + std::string(160, 'b') + "cdefghijklmnopqrstu", 255);
  m.cal.MATCONDRIESGO(801, 1, 2) = 6.0;
  tornal::ESCRIBIRRIESGOSUB(m);
  const auto lineas = crlf_lines(dir.read("Riesgocal.csv"));
  // Title; block 1: 4 names + 3 levels x 2 records; block 2: 4 names; block
  // 3: 4 names + 1 level x 2 records.
  ASSERT_EQ(lineas.size(), 1u + 4 + 6 + 4 + 4 + 2);
  EXPECT_EQ(lineas[1], " " + std::string(79, 'a'));
  EXPECT_EQ(lineas[2], " a" + std::string(78, 'b'));
  EXPECT_EQ(lineas[3], " " + std::string(79, 'b'));
  EXPECT_EQ(lineas[4], " bbbcdefghijklmnopq");  // characters 238 to 255
  EXPECT_EQ(lineas[5].size(), 16u * 800);
  EXPECT_EQ(lineas[6], "          0.000;");
  EXPECT_EQ(lineas[8], "         50.000;");  // 6 of 12 months, reach 801, level 2
  EXPECT_EQ(lineas[11], " Bloque 2" + std::string(71, ' '));
  EXPECT_EQ(lineas[14], " " + std::string(18, ' '));
  EXPECT_EQ(lineas[15], " Bloque 3" + std::string(71, ' '));
}

TEST(RiskReport, NoRiskRunWritesNothingAndFailuresStop) {
  {
    TempDir dir;
    tornal::Modelo m;
    preparar(m, dir, 1, 1, {2}, 0.0);
    m.cal.OPCIONRIESGO = false;
    dir.write("Riesgocal.csv", "earlier run\r\n");
    tornal::ESCRIBIRRIESGOSUB(m);
    EXPECT_EQ(dir.read("Riesgocal.csv"), "earlier run\r\n");
  }
  {
    TempDir dir;
    tornal::Modelo m;
    preparar(m, dir, 1, 1, {2}, 0.0);
    std::filesystem::create_directory(dir.file("Riesgocal.csv"));
    EXPECT_EQ(stop_message([&] { tornal::ESCRIBIRRIESGOSUB(m); }), "error");
    EXPECT_EQ(log_lines(m).back(), "Error en el acceso al arcchivo de resultados de riesgo");
  }
  if (std::filesystem::exists("/dev/full")) {
    TempDir dir;
    tornal::Modelo m;
    preparar(m, dir, 1, 1, {2}, 0.0);
    std::filesystem::create_symlink("/dev/full", dir.file("Riesgocal.csv"));
    EXPECT_EQ(stop_message([&] { tornal::ESCRIBIRRIESGOSUB(m); }), "error");
    EXPECT_EQ(log_lines(m).back(), "Error en la escritura archivo riesgo");
  }
}

}  // namespace
