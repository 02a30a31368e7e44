// Whole runs of the example basin with faulty input: every fault ends with
// exit status 1 and its lines in the run log (or, for a refused run
// configuration, its message and no file written), and a result that
// overflows in the calculation is listed in the run log of a finished run.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "e2e/e2e_util.h"

using namespace tornal_test;

namespace {

// Replaces line `n` (1-based) of a file of the folder.
void poner_linea(const TempDir& dir, const std::string& archivo, int n, const std::string& linea) {
  std::string texto = dir.read(archivo);
  std::size_t p = 0;
  for (int k = 1; k < n; ++k) p = texto.find('\n', p) + 1;
  std::size_t e = texto.find('\n', p);
  if (e != std::string::npos && e > p && texto[e - 1] == '\r') --e;
  texto.replace(p, e == std::string::npos ? std::string::npos : e - p, linea);
  dir.write(archivo, texto);
}

std::vector<std::string> registro(const TempDir& dir) {
  std::vector<std::string> out;
  for (const std::string& l : crlf_lines(dir.read("tornal.log"))) out.push_back(l.empty() ? l : tornal::utf8(l.substr(1)));
  return out;
}

bool contiene(const std::vector<std::string>& v, const std::string& s) {
  return std::find(v.begin(), v.end(), s) != v.end();
}

}  // namespace

// Faults of the input files: each is the read error of its file in the run
// log, with its record counter, and exit status 1.
TEST(Robustness, InputFaultsEndWithTheirReadErrorInTheRunLog) {
  struct Caso {
    const char* que;
    const char* archivo;
    int linea;
    const char* nueva;
    std::vector<std::string> final_del_registro;
  };
  const std::vector<Caso> casos = {
      {"a number beyond double in the network data file", "red.dat", 21, "1.0E+400 0 0 1 1",
       {"Error en la lectura del archivo de datos fisicos de Kelmar", "Numero de linea:", "21"}},
      {"a number beyond double in the inflows quality file", "aportaciones.dat", 8, "2000    1       1.0E+400",
       {"Error en la lectura del archivo de Aportaciones de calidad", "Error en la linea numero:", "8"}},
      {"a negative NUMANYOS", "red.dat", 2, "-1 2000",
       {"Error en la lectura del archivo de datos fisicos de Kelmar", "Numero de linea:", "2"}},
      {"ten million years", "red.dat", 2, "10000000 2000",
       {"Error en la lectura del archivo de datos fisicos de Kelmar", "Numero de linea:", "2"}},
      {"ten million reservoirs", "red.dat", 5, "5 10000000 2 1 1 0 0 1 1 1 0 1 0 1 0 0",
       {"Error en la lectura del archivo de datos fisicos de Kelmar", "Numero de linea:", "5"}},
      {"an intake whose return does not exist", "red.dat", 46, "2",
       {"Error en la lectura del archivo de datos fisicos de Kelmar", "Numero de linea:", "46"}},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.que);
    TempDir dir;
    copy_example("basin", dir);
    poner_linea(dir, c.archivo, c.linea, c.nueva);
    RunResult r = run_tornal(dir);
    EXPECT_EQ(r.status, 1) << r.console;
    EXPECT_EQ(r.console, "error\n");
    std::vector<std::string> l = registro(dir);
    ASSERT_GE(l.size(), c.final_del_registro.size());
    std::vector<std::string> final_(l.end() - static_cast<long>(c.final_del_registro.size()), l.end());
    for (std::string& x : final_) x.erase(0, x.find_first_not_of(' '));
    EXPECT_EQ(final_, c.final_del_registro);
  }
}

// Two outputs of the run that are one file, or an output that is an input,
// refuse the run configuration before any file is written.
TEST(Robustness, OutputsThatOverwriteOtherFilesAreRefused) {
  struct Caso {
    int registro;
    const char* ruta;
    const char* mensaje;  // "" when the run goes on
  };
  const std::vector<Caso> casos = {
      {20, "'resultados.xml'",
       "Error en el archivo Vekarch.cal: los archivos de salida del registro 12 y del registro 20 son el mismo "
       "archivo, resultados.xml"},
      {11, "'./sub/../conducciones_parcial.csv'",
       "Error en el archivo Vekarch.cal: los archivos de salida del registro 10 y del registro 11 son el mismo "
       "archivo, ./sub/../conducciones_parcial.csv"},
      {13, "'TablaCal.txt'",
       "Error en el archivo Vekarch.cal: los archivos de salida del registro 13 y del archivo TablaCal.txt son el "
       "mismo archivo, TablaCal.txt"},
      {12, "'red.dat'",
       "Error en el archivo Vekarch.cal: el archivo de salida del registro 12 es el archivo de entrada del "
       "registro 2, red.dat"},
      {20, "'VekArch.cal'",
       "Error en el archivo Vekarch.cal: el archivo de salida del registro 20 es el archivo de entrada del "
       "archivo VekArch.cal, VekArch.cal"},
      // A calibration file that its option does not read may share a name.
      {16, "'graficos.txt'", ""},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.ruta);
    TempDir dir;
    copy_example("basin", dir);
    std::filesystem::create_directory(dir.file("sub"));
    poner_linea(dir, "VekArch.cal", c.registro, c.ruta);
    const std::string red = dir.read("red.dat");
    RunResult r = run_tornal(dir);
    if (std::string(c.mensaje).empty()) {
      EXPECT_EQ(r.status, 0) << r.console;
      continue;
    }
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.console, std::string(c.mensaje) + "\n");
    for (const char* salida : {"tornal.log", "resultados.xml", "graficos.txt", "conducciones_parcial.csv",
                               "embalses_parcial.csv", "TablaCal.txt"})
      EXPECT_FALSE(std::filesystem::exists(dir.file(salida))) << salida;
    EXPECT_EQ(dir.read("red.dat"), red);
  }
}

// A finite input that overflows in the calculation: the run ends, the result
// files keep their asterisks, and the run log lists the element and the
// constituent before the closing line.
TEST(Robustness, ResultsThatOverflowAreListedInTheRunLog) {
  TempDir dir;
  copy_example("basin", dir);
  poner_linea(dir, "aportaciones.dat", 8, "2000    1       1.0E+308");
  RunResult r = run_tornal(dir);
  EXPECT_EQ(r.status, 0) << r.console;
  const std::vector<std::string> l = registro(dir);
  ASSERT_TRUE(contiene(l, "Resultado no finito (desbordamiento en el cálculo), revise los datos"));
  const auto p = std::find(l.begin(), l.end(), "Resultado no finito (desbordamiento en el cálculo), revise los datos");
  ASSERT_LT(p + 5, l.end());
  EXPECT_NE(p[1].find("Número Conducción:"), std::string::npos) << p[1];
  EXPECT_EQ(p[2].find("Nombre: Rio Alto"), 0u) << p[2];
  EXPECT_EQ(p[3].find("Contaminante: Temperatura"), 0u) << p[3];
  EXPECT_NE(p[4].find("Mes de la simulación:"), std::string::npos) << p[4];
  EXPECT_LT(p, std::find(l.begin(), l.end(), "Simulación Finalizada con éxito"));
  EXPECT_NE(dir.read("TablaCal.txt").find("********"), std::string::npos);

  // The example as it stands has no such line.
  TempDir limpio;
  copy_example("basin", limpio);
  ASSERT_EQ(run_tornal(limpio).status, 0);
  for (const std::string& x : registro(limpio)) EXPECT_EQ(x.find("Resultado no finito"), std::string::npos);
}
