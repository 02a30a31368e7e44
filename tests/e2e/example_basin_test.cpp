// The example basin run end to end.
#include <gtest/gtest.h>

#include <algorithm>

#include "e2e/e2e_util.h"

using namespace tornal_test;

namespace {

bool contiene(const std::vector<std::string>& lineas, const std::string& linea) {
  return std::find(lineas.begin(), lineas.end(), linea) != lineas.end();
}

}  // namespace

TEST(ExampleBasin, RunsToTheEndAndWritesItsLog) {
  TempDir dir;
  copy_example("basin", dir);
  RunResult r = run_tornal(dir);
  EXPECT_EQ(r.status, 0) << r.console;
  EXPECT_EQ(r.console, "Fin de simulación\n");

  bool crlf = false;
  auto lineas = crlf_lines(dir.read("tornal.log"), &crlf);
  EXPECT_TRUE(crlf);
  ASSERT_GE(lineas.size(), 7u);
  EXPECT_EQ(lineas[0], " Fecha: ");
  EXPECT_EQ(lineas[2], " Hora:  ");
  EXPECT_EQ(lineas[4].rfind(" Numero de versio:", 0), 0u);
  // Latin-1 bytes in the log.
  EXPECT_TRUE(contiene(lineas, tornal::latin1(" Lectura de archivo de KELMAR_ XML realizada con éxito")));
  EXPECT_TRUE(contiene(lineas, " Lectura de archivo de resultados de Kelmar realizada con exito"));
  EXPECT_TRUE(contiene(lineas, " No existe archivo de criterios"));
  // The closing line of 95 "-" is one text item, cut at 79 characters.
  EXPECT_EQ(lineas[lineas.size() - 3], tornal::latin1(" Simulación Finalizada con éxito"));
  EXPECT_EQ(lineas[lineas.size() - 2], " " + std::string(79, '-'));
  EXPECT_EQ(lineas.back(), " " + std::string(16, '-'));

  // A second run appends its own header and closing lines.
  RunResult r2 = run_tornal(dir);
  EXPECT_EQ(r2.status, 0) << r2.console;
  auto dos = crlf_lines(dir.read("tornal.log"));
  EXPECT_EQ(dos.size(), 2 * lineas.size());
  EXPECT_EQ(dos[lineas.size()], " Fecha: ");
}

TEST(ExampleBasin, StopsEndWithStatusOne) {
  {
    TempDir dir;
    RunResult r = run_tornal(dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.console, "Falta el archivo Vekarch.cal\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("tornal.log")));
  }
  {
    TempDir dir;
    copy_example("basin", dir);
    std::filesystem::remove(dir.file("red.dat"));
    RunResult r = run_tornal(dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.console, "error\n");
    auto lineas = crlf_lines(dir.read("tornal.log"));
    ASSERT_FALSE(lineas.empty());
    EXPECT_EQ(lineas.back(), " Error en el acceso al archivo de datos fisicos de Kelmar");
  }
}
