// The quality of inflows file: every value lands in its (inflow, constituent,
// month, year) place, records are taken by position whatever their dates,
// records over several lines count once, and the statement counter of the
// read errors (an end of file too, however many blocks it lacks).
#include "quality_input/inflows_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/latin1.h"
#include "test_util.h"

using tornal::Modelo;

namespace {

const char* const EXITO = "Lectura de archivo de aportaciones de calidad realizada con éxito";

// The value written for inflow i, constituent k, month m and year y.
double codigo(int i, int k, int m, int y) { return i + 10.0 * k + 100.0 * m + 10000.0 * y + 0.25; }

// The records of a well-formed file, one line each: record r is lines[r - 1].
// Headings hold numbers, so that a heading taken as data shifts everything.
std::vector<std::string> registros(int NAP, int NC, int NA) {
  std::vector<std::string> l = {"Calidad de las aportaciones", "1 2 3", "", "Aportacion 1 2"};
  for (int k = 1; k <= NC; ++k) {
    l.push_back("Contaminante " + std::to_string(k));
    l.push_back("9 9 9");
    for (int y = 1; y <= NA; ++y) {
      for (int m = 1; m <= 12; ++m) {
        std::string r = std::to_string(1999 + y) + " " + std::to_string(m);
        for (int i = 1; i <= NAP; ++i) {
          char buf[32];
          std::snprintf(buf, sizeof buf, " %.2f", codigo(i, k, m, y));
          r += buf;
        }
        l.push_back(r);
      }
    }
    l.push_back("-----");
  }
  return l;
}

std::string unir(const std::vector<std::string>& l) {
  std::string s;
  for (const std::string& x : l) s += x + "\n";
  return s;
}

struct Lectura : tornal_test::FileReading {
  Lectura(int NAP, int NC, int NA, const std::string& contenido) {
    m.red.NUMAPORTACIONES = NAP;
    m.red.NUMANYOS = NA;
    m.cal.NUMCONTAMINANTES = NC;
    read("aportaciones.dat", contenido, [&](const std::string& ruta) {
      tornal::leer_aportaciones_calidad(m, tornal::padded(ruta, tornal::LONGRUTA));
    });
  }
};

std::vector<std::string> lineas_error(long n) {
  return tornal_test::read_error_lines("Error en la lectura del archivo de Aportaciones de calidad",
                                       "Error en la linea numero:", n);
}

TEST(InflowsFile, EveryValueInItsPlace) {
  Lectura l(3, 2, 2, unir(registros(3, 2, 2)));
  ASSERT_EQ(l.parada, "");
  EXPECT_EQ(l.log(), std::vector<std::string>{tornal::latin1(EXITO)});
  const auto& C = l.m.cal.COAPO;
  ASSERT_EQ(C.size(1), 3);
  ASSERT_EQ(C.size(2), 2);
  ASSERT_EQ(C.size(3), 12);
  ASSERT_EQ(C.size(4), 2);
  for (int y = 1; y <= 2; ++y)
    for (int m = 1; m <= 12; ++m)
      for (int k = 1; k <= 2; ++k)
        for (int i = 1; i <= 3; ++i) EXPECT_DOUBLE_EQ(C(i, k, m, y), codigo(i, k, m, y)) << i << k << m << y;
}

TEST(InflowsFile, RecordsTakenByPositionNotByDate) {
  // Every record dated 2000 1, one record over two lines, an empty closing
  // record and CR LF line ends: the values go where the record's place says.
  std::vector<std::string> l = registros(2, 1, 2);
  for (std::size_t r = 7; r <= 30; ++r) l[r - 1] = "2000 1" + l[r - 1].substr(l[r - 1].find(' ', 5));
  l[8 - 1] = "2000 1\n\n " + l[8 - 1].substr(7);  // record of month 2 over three lines
  l.back() = "";
  std::string s;
  for (const std::string& x : l) s += x + "\r\n";
  Lectura lec(2, 1, 2, s);
  ASSERT_EQ(lec.parada, "");
  const auto& C = lec.m.cal.COAPO;
  EXPECT_DOUBLE_EQ(C(1, 1, 1, 1), codigo(1, 1, 1, 1));
  EXPECT_DOUBLE_EQ(C(2, 1, 2, 1), codigo(2, 1, 2, 1));
  EXPECT_DOUBLE_EQ(C(1, 1, 3, 1), codigo(1, 1, 3, 1));
  EXPECT_DOUBLE_EQ(C(2, 1, 12, 2), codigo(2, 1, 12, 2));
}

TEST(InflowsFile, NoInflowsOrNoConstituents) {
  {
    // Without inflows every data record still holds its year and month.
    Lectura l(0, 2, 1, unir(registros(0, 2, 1)));
    EXPECT_EQ(l.parada, "");
    EXPECT_EQ(l.log(), std::vector<std::string>{tornal::latin1(EXITO)});
    EXPECT_TRUE(l.m.cal.COAPO.empty());
  }
  {
    // Without constituents only the four headings are read.
    Lectura l(3, 0, 2, "a\nb\nc\nd\n");
    EXPECT_EQ(l.parada, "");
    EXPECT_EQ(l.log(), std::vector<std::string>{tornal::latin1(EXITO)});
    EXPECT_TRUE(l.m.cal.COAPO.empty());
  }
}

TEST(InflowsFile, ReadErrorsReportTheirRecord) {
  struct Caso {
    const char* nombre;
    int NAP, NC, NA;
    // Changes the well-formed records; returns the file.
    std::string (*preparar)(std::vector<std::string>&);
    long linea;
    bool corto = false;  // fewer lines than the blocks need: COAPO is never sized
  };
  const std::vector<Caso> casos = {
      {"a word in the first data record of the second constituent", 2, 2, 2,
       [](std::vector<std::string>& l) {
         l[34 - 1] = "2000 1 1.0 abc";
         return unir(l);
       },
       34},
      {"a year with a decimal point", 2, 1, 1,
       [](std::vector<std::string>& l) {
         l[9 - 1] = "2000.0 3 1 2";
         return unir(l);
       },
       9},
      {"a month that is a word", 2, 1, 1,
       [](std::vector<std::string>& l) {
         l[7 - 1] = "2000 oct 1 2";
         return unir(l);
       },
       7},
      {"a record over two lines counts once", 2, 1, 1,
       [](std::vector<std::string>& l) {
         l[7 - 1] = "2000 1\n1.5 2.5";
         l[8 - 1] = "2000 2 1.5 x";
         return unir(l);
       },
       8},
      // The short record takes the year of the next line as its last value:
      // every later record shifts and the closing line is read as a year.
      {"a record one value short shifts the later records", 2, 1, 1,
       [](std::vector<std::string>& l) {
         l[7 - 1] = "2000 1 1.5";
         return unir(l);
       },
       18},
      {"end of file inside a data record", 2, 1, 1,
       [](std::vector<std::string>& l) {
         l.resize(10);
         l[10 - 1] = "2000 4 1.5";
         return unir(l);
       },
       10},
      {"end of file before the closing record", 2, 1, 1,
       [](std::vector<std::string>& l) {
         l.pop_back();
         return unir(l);
       },
       19, true},
      // Ninety-nine constituents announced, one block given: the file ends
      // at the first heading of the second block.
      {"blocks missing", 2, 99, 1,
       [](std::vector<std::string>& l) {
         l.resize(19);
         return unir(l);
       },
       20, true},
      {"a word before the end of a short file", 2, 3, 1,
       [](std::vector<std::string>& l) {
         l.resize(30);
         l[7 - 1] = "2000 1 x 1";
         return unir(l);
       },
       7, true},
      {"end of file in the headings", 2, 1, 1, [](std::vector<std::string>&) { return std::string("a\nb\n"); }, 3},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nombre);
    std::vector<std::string> l = registros(c.NAP, c.NC, c.NA);
    Lectura lec(c.NAP, c.NC, c.NA, c.preparar(l));
    EXPECT_EQ(lec.parada, "error");
    EXPECT_EQ(lec.log(), lineas_error(c.linea));
    if (c.corto) {
      EXPECT_TRUE(lec.m.cal.COAPO.empty());
    }
  }
}

TEST(InflowsFile, MissingFileIsAnAccessError) {
  tornal_test::TempDir dir;
  Modelo m;
  tornal_test::prepare(m, dir.path());
  EXPECT_EQ(tornal_test::stop_message([&] { tornal::leer_aportaciones_calidad(m, dir.file("no_existe.dat")); }),
            "error");
  EXPECT_EQ(tornal_test::log_lines(m),
            std::vector<std::string>{"Error en el acceso al archivo de aportaciones de calidad"});
}

}  // namespace
