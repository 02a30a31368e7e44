// The quality-risk levels file: the risk option, blocks and limits in their
// places, the unit factors of the stoichiometric constituents by position,
// the count array, and the statement counter of the read errors, the refused
// level counts and the refused number of blocks.
#include "quality_input/risk_levels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "common/latin1.h"
#include "test_util.h"

using tornal::Modelo;

namespace {

const char* const EXISTE = "Existe archivo de niveles de riesgo. Opcion de riesgo activada";

struct Lectura : tornal_test::FileReading {
  Lectura() {
    m.red.NUMCONDUCCIONEST1 = 2;
    m.red.NUMCONDUCCIONEST3 = 1;
  }
  void leer(const std::string& contenido) {
    read("NivelesRQ.dat", contenido, [&](const std::string&) { tornal::LEERARCHRIESGOSUB(m); });
  }
};

std::vector<std::string> lineas_error(long n) {
  std::vector<std::string> l =
      tornal_test::read_error_lines("Error en la lectura del archivo de niveles de riesgo", "Error en la linea:", n);
  l.insert(l.begin(), EXISTE);
  return l;
}

// A block of n levels whose limits are 10, 20, ...
std::string bloque(const std::string& nombre, int n) {
  std::string s = nombre + "\n" + std::to_string(n) + "\n";
  for (int j = 1; j < n; ++j) s += std::to_string(10 * j) + "\n";
  return s + "----\n";
}

TEST(RiskLevelsFile, MissingFileLeavesAnOrdinaryRun) {
  Lectura l;
  l.m.cal.OPCIONRIESGO = true;
  l.parada = tornal_test::stop_message([&] { tornal::LEERARCHRIESGOSUB(l.m); });
  EXPECT_EQ(l.parada, "");
  EXPECT_FALSE(l.m.cal.OPCIONRIESGO);
  EXPECT_EQ(l.log(), std::vector<std::string>{"No existe archivo de niveles de riesgo"});
  EXPECT_TRUE(l.m.cal.MATCONDRIESGO.empty());
  EXPECT_TRUE(l.m.cal.LIMNIVELES.empty());
}

TEST(RiskLevelsFile, BlocksLimitsAndCounts) {
  // Two blocks of 3 and 1 levels: 10 records. The first limit line holds two
  // numbers, the first name holds blanks without quotes, the second is quoted.
  Lectura l;
  l.m.cal.NUMCONTAMINANTES = 2;
  l.m.cal.MATCONDRIESGO.resize_filled(7.0, 1, 1, 1);  // a count array left from before
  l.leer("Niveles de riesgo\n2\nSolidos en suspension\n3\n12.5 13.0\n40\n----\n'Cloruros totales'\n1\n----\n");
  ASSERT_EQ(l.parada, "");
  EXPECT_EQ(l.log(), std::vector<std::string>{EXISTE});
  const tornal::Calidad& c = l.m.cal;
  EXPECT_TRUE(c.OPCIONRIESGO);
  ASSERT_EQ(c.NUMCONTRIESGO, 2);
  EXPECT_EQ(c.NOMCONTRISK(1), tornal::padded("Solidos", 255));
  EXPECT_EQ(c.NOMCONTRISK(2), tornal::padded("Cloruros totales", 255));
  EXPECT_EQ(c.NUMNIVELESCONT(1), 3);
  EXPECT_EQ(c.NUMNIVELESCONT(2), 1);
  ASSERT_EQ(c.LIMNIVELES.size(1), 2);
  ASSERT_EQ(c.LIMNIVELES.size(2), 50);
  EXPECT_EQ(c.LIMNIVELES(1, 1), 12.5);
  EXPECT_EQ(c.LIMNIVELES(1, 2), 40.0);
  for (int j = 3; j <= 50; ++j) EXPECT_EQ(c.LIMNIVELES(1, j), 0.0);
  for (int j = 1; j <= 50; ++j) EXPECT_EQ(c.LIMNIVELES(2, j), 0.0);
  ASSERT_EQ(c.MATCONDRIESGO.size(1), 3);
  ASSERT_EQ(c.MATCONDRIESGO.size(2), 2);
  ASSERT_EQ(c.MATCONDRIESGO.size(3), 50);
  EXPECT_EQ(c.MATCONDRIESGO(1, 1, 1), 0.0);
}

TEST(RiskLevelsFile, FiftyLevelsFit) {
  Lectura l;
  l.m.cal.NUMCONTAMINANTES = 1;
  l.leer("cabecera\n1\n" + bloque("Amonio", 50));
  ASSERT_EQ(l.parada, "");
  EXPECT_EQ(l.m.cal.LIMNIVELES(1, 49), 490.0);
  EXPECT_EQ(l.m.cal.LIMNIVELES(1, 50), 0.0);
}

TEST(RiskLevelsFile, ReadErrorsReportTheirRecord) {
  struct Caso {
    const char* nombre;
    std::string contenido;
    int NUMCONTAMINANTES;
    long linea;
  };
  const std::string B2 = "'Cloruros'\n1\n----\n";
  const std::vector<Caso> casos = {
      {"a word in the second limit of block 1", "h\n2\nSolidos\n3\n12.5\nx\n----\n" + B2, 2, 6},
      {"a level count with a decimal point", "h\n2\nSolidos\n3.0\n12.5\n40\n----\n" + B2, 2, 4},
      {"a word for the number of blocks", "h\ndos\n", 0, 2},
      {"an error in the second block", "h\n2\nSolidos\n3\n12.5\n40\n----\nCloruros\nuno\n", 2, 9},
      {"end of file before the last separator", "h\n2\nSolidos\n3\n12.5\n40\n----\nCloruros\n1\n", 2, 10},
      {"end of file inside the limits", "h\n1\nSolidos\n3\n12.5\n", 1, 6},
      {"an empty file", "", 0, 1},
      {"more than 50 levels", "h\n2\n" + bloque("Solidos", 3) + "Cloruros\n51\n", 2, 9},
      {"fewer blocks than constituents", "h\n2\n" + bloque("A", 2) + bloque("B", 2), 3, 2},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nombre);
    Lectura l;
    l.m.cal.NUMCONTAMINANTES = c.NUMCONTAMINANTES;
    l.leer(c.contenido);
    EXPECT_EQ(l.parada, "error");
    EXPECT_EQ(l.log(), lineas_error(c.linea));
    EXPECT_TRUE(l.m.cal.OPCIONRIESGO);
  }
}

TEST(RiskLevelsFile, LimitsInInternalUnits) {
  const double DBO5 = 1.0 / (1.0 - std::exp(-1.0));
  struct Caso {
    const char* nombre;
    int T, N1OR, O, N, F;
    double u1;
    std::vector<double> factores;  // by block
  };
  const std::vector<Caso> casos = {
      {"every option, 11 constituents", 1, 2, 1, 1, 1, 0.2, {1, 1, 1, DBO5, 1, 1, 2, 3, 4, 1, 5}},
      {"oxygen and nitrogen, 5 constituents", 0, 0, 1, 1, 0, 0.2, {DBO5, 1, 1, 2, 3}},
      {"oxygen only, 2 constituents", 0, 0, 1, 0, 0, 0.2, {DBO5, 1}},
      {"a decay rate below 0.0001 gives 1", 0, 0, 1, 0, 0, 0.00009, {1, 1}},
      {"oxygen off", 1, 1, 0, 0, 0, 0.2, {1, 1}},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nombre);
    Lectura l;
    tornal::Calidad& cal = l.m.cal;
    cal.OPCIONTEMPERATURA = c.T;
    cal.NUMCONT1OR = c.N1OR;
    cal.OPCIONOXIGENO = c.O;
    cal.OPCIONNITROGENO = c.N;
    cal.OPCIONFITOPLANCTON = c.F;
    cal.NUMCONTAMINANTES = c.T + c.N1OR + 2 * c.O + 3 * (c.N + c.F);
    cal.POS = tornal::posiciones_contaminantes(cal);
    ASSERT_EQ(static_cast<std::size_t>(cal.NUMCONTAMINANTES), c.factores.size());
    const double U[5] = {c.u1, 2, 3, 4, 5};
    for (int i = 0; i < 5; ++i) cal.UNIDADESESTEQUIOMETRICAS(i + 1) = U[i];
    // One block more than constituents: it keeps the file's limits.
    const int NB = cal.NUMCONTAMINANTES + 1;
    std::string s = "h\n" + std::to_string(NB) + "\n";
    for (int i = 1; i <= NB; ++i) s += bloque("C" + std::to_string(i), 3);
    l.leer(s);
    ASSERT_EQ(l.parada, "");
    for (int i = 1; i <= NB; ++i) {
      const double f = i <= cal.NUMCONTAMINANTES ? c.factores[i - 1] : 1.0;
      EXPECT_NEAR(cal.LIMNIVELES(i, 1), 10.0 * f, 1e-12) << "block " << i;
      EXPECT_NEAR(cal.LIMNIVELES(i, 2), 20.0 * f, 1e-12) << "block " << i;
    }
  }
  EXPECT_NEAR(DBO5, 1.5819767, 1e-7);
}

}  // namespace

// A number of blocks that the rest of the file cannot hold is the read error
// of its record, before the arrays are sized: never an exhausted memory. A
// file that holds its blocks exactly is read.
TEST(RiskLevelsFile, BlocksBeyondTheFileAreTheReadErrorOfTheirCount) {
  const struct {
    const char* bloques;
    long linea;  // 0: read
  } casos[] = {{"2", 0}, {"3", 2}, {"100000000", 2}, {"2147483647", 2}};
  for (const auto& c : casos) {
    SCOPED_TRACE(c.bloques);
    Lectura l;
    l.leer(std::string("Niveles\n") + c.bloques + "\n" + bloque("A", 1) + bloque("B", 2));
    if (c.linea == 0) {
      EXPECT_EQ(l.parada, "");
      EXPECT_EQ(l.m.cal.NUMCONTRIESGO, 2);
    } else {
      EXPECT_EQ(l.parada, "error");
      EXPECT_EQ(l.log(), lineas_error(c.linea));
      EXPECT_TRUE(l.m.cal.LIMNIVELES.empty());
    }
  }
}
