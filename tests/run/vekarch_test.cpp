// The run configuration file VekArch.cal, the version number and the run
// log header.
#include <gtest/gtest.h>

#include <climits>
#include <limits>
#include <string>
#include <vector>

#include "common/free_reader.h"
#include "run/tornal.h"
#include "test_util.h"

using tornal::Modelo;
using tornal_test::TempDir;

namespace {

// The 22 records of a configuration whose paths name files in the folder.
std::vector<std::string> configuracion() {
  return {"VERSION 1.2",
          "'red.dat'",
          "'red.xml'",
          "'resultados.dat'",
          "Calidad",
          "'calidad.dat'",
          "'aportaciones.dat'",
          "'coef.dat'",
          "Resultados",
          "'cond.csv'",
          "'emb.csv'",
          "'res.xml'",
          "'graf.txt'",
          "Calibracion",
          "1",
          "'calcond.dat'",
          "0",
          "'calemb.dat'",
          "Registro",
          "'tornal.log'",
          "Reservado",
          "7"};
}

std::string unir(const std::vector<std::string>& lineas, const char* fin = "\n") {
  std::string s;
  for (const auto& l : lineas) s += l + fin;
  return s;
}

std::string leer(const std::string& contenido, Modelo& m) {
  TempDir dir;
  dir.write("VekArch.cal", contenido);
  m.carpeta = dir.path();
  return tornal_test::stop_message([&] { tornal::leer_vekarch(m); });
}

const char* kError = "Error en la lectura del archivo Vekarch.cal, revise el contenido del archivo";

}  // namespace

TEST(VekArch, ReadsEveryRecordAndSkipsTheHeadings) {
  Modelo m;
  EXPECT_EQ(leer(unir(configuracion(), "\r\n"), m), "");
  EXPECT_EQ(tornal::trimmed(m.conf.PATHARCHIVO), "red.dat");
  EXPECT_EQ(tornal::trimmed(m.conf.PATHARCHIVOKELMARXML), "red.xml");
  EXPECT_EQ(tornal::trimmed(m.conf.PATHARCHIVO2), "resultados.dat");
  EXPECT_EQ(tornal::trimmed(m.conf.PATHARCHIVO3), "calidad.dat");
  EXPECT_EQ(tornal::trimmed(m.conf.PATHARCHIVO4), "aportaciones.dat");
  EXPECT_EQ(tornal::trimmed(m.conf.PATHARCHIVO5), "coef.dat");
  EXPECT_EQ(tornal::trimmed(m.conf.NOMARCHCONDPAR1), "cond.csv");
  EXPECT_EQ(tornal::trimmed(m.conf.NOMARCHEMBPAR1), "emb.csv");
  EXPECT_EQ(tornal::trimmed(m.conf.NOMARCHIVO), "res.xml");
  EXPECT_EQ(tornal::trimmed(m.conf.NOMARCHIGRF), "graf.txt");
  EXPECT_EQ(m.conf.OPCIONCALIBCOND, 1);
  EXPECT_EQ(tornal::trimmed(m.conf.PATHARCHIVO23), "calcond.dat");
  EXPECT_EQ(m.conf.OPCIONCALIBEMB, 0);
  EXPECT_EQ(tornal::trimmed(m.conf.PATHARCHIVO22), "calemb.dat");
  EXPECT_EQ(tornal::trimmed(m.conf.ARCHIVOLOG), "tornal.log");
  EXPECT_EQ(m.conf.VALORREGISTRO22, 7);
  EXPECT_EQ(m.conf.NUMVERSION, 12);
  EXPECT_EQ(m.conf.PATHARCHIVO.size(), 255u);
}

TEST(VekArch, VersionIsTruncatedInSinglePrecision) {
  struct Caso {
    const char* linea;
    int numversion;
  };
  const Caso casos[] = {{"VERSION 1.2", 12},
                        {"VERSION 1.0", 10},
                        {"VERSION 1.3", 13},
                        {"VERSION 1.4", 14},
                        {"VERSION 1.25", 12},
                        {"VERSION 0.95", 9},
                        {"VERSION uno", 10},
                        {"VERSION 1", 10},
                        {"VERSION 1.1D0", 11},
                        // Not a finite single-precision number: an unreadable first record.
                        {"VERSION 1e308", 10},
                        {"VERSION 1.0E+39", 10},
                        {"VERSION -1D300", 10},
                        // Finite, but ten times it is no integer: held at the ends of the range.
                        {"VERSION 3.0E+38", INT_MAX},
                        {"VERSION -1.0E+9", INT_MIN}};
  for (const Caso& c : casos) {
    auto lineas = configuracion();
    lineas[0] = c.linea;
    Modelo m;
    EXPECT_EQ(leer(unir(lineas), m), "") << c.linea;
    EXPECT_EQ(m.conf.NUMVERSION, c.numversion) << c.linea;
  }
  // Widening the version to double before multiplying would give 13 for 1.4.
  EXPECT_EQ(tornal::numero_version(1.4f), 14);
  EXPECT_EQ(tornal::numero_version(1.3f), 13);
  EXPECT_EQ(tornal::numero_version(std::numeric_limits<float>::infinity()), INT_MAX);
  EXPECT_EQ(tornal::numero_version(std::numeric_limits<float>::quiet_NaN()), INT_MIN);
}

TEST(VekArch, PathsAndHeadingRecords) {
  {
    auto lineas = configuracion();
    lineas[1] = "red de ejemplo.dat";
    lineas[2] = "'datos de red.xml' resto";
    lineas[4] = "";
    lineas[8] = "123 456";
    lineas[13] = "'sin cerrar";
    lineas[18] = "/";
    Modelo m;
    EXPECT_EQ(leer(unir(lineas), m), "");
    EXPECT_EQ(tornal::trimmed(m.conf.PATHARCHIVO), "red");
    EXPECT_EQ(tornal::trimmed(m.conf.PATHARCHIVOKELMARXML), "datos de red.xml");
    EXPECT_EQ(tornal::trimmed(m.conf.PATHARCHIVO3), "calidad.dat");
    EXPECT_EQ(m.conf.OPCIONCALIBCOND, 1);
    EXPECT_EQ(m.conf.VALORREGISTRO22, 7);
  }
  {
    // A value record passes over lines that hold nothing.
    auto lineas = configuracion();
    lineas[1] = "\n\n'red.dat'";
    Modelo m;
    EXPECT_EQ(leer(unir(lineas), m), "");
    EXPECT_EQ(tornal::trimmed(m.conf.PATHARCHIVO), "red.dat");
    EXPECT_EQ(tornal::trimmed(m.conf.ARCHIVOLOG), "tornal.log");
  }
  {
    auto lineas = configuracion();
    lineas[14] = "2 5";
    Modelo m;
    EXPECT_EQ(leer(unir(lineas), m), "");
    EXPECT_EQ(m.conf.OPCIONCALIBCOND, 2);
  }
}

TEST(VekArch, FailuresStopWithTheirMessages) {
  struct Caso {
    int registro;  // 0-based line to change
    const char* valor;
  };
  const Caso malos[] = {{14, "1.0"}, {14, "uno"}, {16, "1e0"}, {21, "x"}};
  for (const Caso& c : malos) {
    auto lineas = configuracion();
    lineas[c.registro] = c.valor;
    Modelo m;
    EXPECT_EQ(leer(unir(lineas), m), kError) << c.valor;
  }
  // A file that ends before record 22, an empty file included.
  for (std::size_t n : {0u, 1u, 10u, 21u}) {
    auto lineas = configuracion();
    lineas.resize(n);
    Modelo m;
    EXPECT_EQ(leer(unir(lineas), m), kError) << n << " records";
  }
  Modelo m;
  TempDir vacio;
  m.carpeta = vacio.path();
  EXPECT_EQ(tornal_test::stop_message([&] { tornal::leer_vekarch(m); }), "Falta el archivo Vekarch.cal");
}

TEST(RunLog, HeaderIsAppendedByEveryRun) {
  TempDir dir;
  Modelo m;
  m.conf.ARCHIVOLOG = tornal::padded(dir.file("tornal.log"), 255);
  m.conf.NUMVERSIONAUX = 1.4f;
  dir.write("tornal.log", " linea anterior\r\n");
  tornal::abrir_registro(m);
  m.log.close();
  Modelo m2;
  m2.conf = m.conf;
  tornal::abrir_registro(m2);
  m2.log.close();

  std::string texto = dir.read("tornal.log");
  std::vector<std::string> lineas;
  for (std::size_t p = 0; p < texto.size();) {
    std::size_t e = texto.find("\r\n", p);
    ASSERT_NE(e, std::string::npos) << "every line ends with CR LF";
    lineas.push_back(texto.substr(p, e - p));
    p = e + 2;
  }
  ASSERT_EQ(lineas.size(), 11u);
  EXPECT_EQ(lineas[0], " linea anterior");
  for (int r : {0, 5}) {
    EXPECT_EQ(lineas[1 + r], " Fecha: ");
    EXPECT_EQ(lineas[2 + r].size(), 10u);
    EXPECT_EQ(lineas[2 + r].substr(9), " ");
    EXPECT_EQ(lineas[3 + r], " Hora:  ");
    EXPECT_EQ(lineas[4 + r].size(), 12u);
    EXPECT_EQ(lineas[4 + r][3], ':');
    EXPECT_EQ(lineas[4 + r].substr(9), "   ");
    EXPECT_EQ(lineas[5 + r].rfind(" Numero de versio:", 0), 0u);
    // The version as read, in single precision.
    EXPECT_EQ(std::stof(lineas[5 + r].substr(18)), 1.4f) << lineas[5 + r];
  }
}

TEST(RunLog, LogThatCannotBeOpenedStops) {
  TempDir dir;
  Modelo m;
  m.conf.ARCHIVOLOG = tornal::padded(dir.file("no/existe/tornal.log"), 255);
  std::string msg = tornal_test::stop_message([&] { tornal::abrir_registro(m); });
  EXPECT_NE(msg.find("Error en el acceso al archivo de registro"), std::string::npos) << msg;
}
