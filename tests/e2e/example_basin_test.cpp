// The example basin run end to end.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "e2e/e2e_util.h"
#include "quality_input/time_curves.h"

using namespace tornal_test;

namespace {

bool contiene(const std::vector<std::string>& lineas, const std::string& linea) {
  return std::find(lineas.begin(), lineas.end(), linea) != lineas.end();
}

// Position of a line in the log, or the line count when it is missing.
std::size_t posicion(const std::vector<std::string>& lineas, const std::string& linea) {
  return static_cast<std::size_t>(std::find(lineas.begin(), lineas.end(), linea) - lineas.begin());
}

// Words that only warnings of the quality input write: the element labels of
// the second line of a warning, and the texts of the option and step warnings
// and of the checks of the monthly series.
const char* const MARCASAVISO[] = {
    "Conducción:",
    "Embalse:",
    "Acuífero",
    "Elemento de retorno:",
    "Toma:",
    "Contaminante de primer orden",
    "Número de la conducción",
    "debe ser",
    "es muy bajo",
    "Cuidado",
    "fuera de rango",
    "incoherentes",
    "Mes hidrológico",
};

// The lines of `lineas` that hold a warning word.
std::vector<std::string> avisos(const std::vector<std::string>& lineas) {
  std::vector<std::string> out;
  for (const std::string& l : lineas)
    for (const char* marca : MARCASAVISO)
      if (l.find(tornal::latin1(marca)) != std::string::npos) {
        out.push_back(tornal::utf8(l));
        break;
      }
  return out;
}

}  // namespace

TEST(ExampleBasin, RunsToTheEndAndWritesItsLog) {
  TempDir dir;
  copy_example("basin", dir);
  RunResult r = run_tornal(dir);
  EXPECT_EQ(r.status, 0) << r.console;
  // Console: the two titles, "Año" and "Mes" of every month, then the end.
  {
    std::vector<std::string> consola;
    std::size_t p = 0;
    while (p < r.console.size()) {
      std::size_t e = r.console.find('\n', p);
      consola.push_back(r.console.substr(p, e - p));
      p = e == std::string::npos ? r.console.size() : e + 1;
    }
    ASSERT_EQ(consola.size(), 2u + 2u * 13u + 1u) << r.console;
    EXPECT_EQ(tornal::trimmed(consola[0]), " Cuenca de ejemplo del río Vega");
    for (int anyo = 1; anyo <= 2; ++anyo) {
      const std::size_t base = 2 + 13 * (anyo - 1);
      EXPECT_EQ(consola[base], " Año" + std::string(11, ' ') + std::to_string(anyo));
      for (int mes = 1; mes <= 12; ++mes) {
        char esperado[32];
        std::snprintf(esperado, sizeof esperado, " Mes%12d", mes);
        EXPECT_EQ(consola[base + mes], esperado);
      }
    }
    EXPECT_EQ(consola.back(), "Fin de simulación");
  }

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
  EXPECT_TRUE(contiene(lineas, " Los calculos se han realizado con exito"));
  EXPECT_TRUE(contiene(lineas, " No existe archivo de criterios"));
  // The three quality files are read one after the other, with no warning of
  // the validation between the first two success lines.
  const std::size_t calidad = posicion(lineas, tornal::latin1(" Lectura de archivos de calidad realizada con éxito"));
  ASSERT_LT(calidad + 2, lineas.size());
  EXPECT_EQ(lineas[calidad + 1], tornal::latin1(" Lectura de archivo de aportaciones de calidad realizada con éxito"));
  EXPECT_EQ(lineas[calidad + 2], tornal::latin1(" Lectura de archivo de coeficientes realizada con éxito"));
  EXPECT_TRUE(avisos(lineas).empty()) << avisos(lineas).front();
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

// The example's quality files read as they are meant: every value lands in
// its place (a record shifted by a missing or extra line would move values
// into the wrong arrays without a read error), and neither the validation nor
// the monthly series built from the time curves find anything to warn about.
TEST(ExampleBasin, QualityFilesHoldTheBasinData) {
  TempDir dir;
  copy_example("basin", dir);
  tornal::Modelo m;
  read_basin(m, dir);
  tornal::CURVASTEMPSUB(m);

  const auto lineas = log_lines(m);
  EXPECT_TRUE(avisos(lineas).empty()) << avisos(lineas).front();
  EXPECT_TRUE(contiene(lineas, tornal::latin1("Lectura de archivo de coeficientes realizada con éxito")));

  const tornal::Red& r = m.red;
  const tornal::Calidad& c = m.cal;
  // The headings of the quality data file name the elements in this order.
  ASSERT_EQ(r.NUMCONDUCCIONES, 4);
  const char* const tramos[] = {"Rio Alto", "Rio Medio", "Rio Bajo", "Tramo del Acuifero"};
  for (int i = 1; i <= 4; ++i) EXPECT_EQ(tornal::trimmed(r.NOMCONDUCC(i)), tramos[i - 1]) << i;
  ASSERT_EQ(r.NUMEMBALSES, 1);
  ASSERT_EQ(r.NUMAPORTACIONES, 1);
  ASSERT_EQ(r.NUMACUIFEROS, 1);
  ASSERT_EQ(r.NUMRETORNOS, 1);
  ASSERT_EQ(r.NUMTOMASFIS, 1);
  ASSERT_EQ(r.NUMANYOS, 2);

  EXPECT_EQ(tornal::trimmed(c.TITULO1), tornal::latin1("Cuenca de ejemplo del río Vega"));
  ASSERT_EQ(c.NUMCONTAMINANTES, 10);
  const char* const nombres[] = {"Temperatura", "Coliformes totales", "DBO5", "Oxígeno Disuelto", "Nitrógeno Orgánico",
                                 "Amonio",      "Nitratos",           "Chla", "Fósforo Orgánico", "Fósforo Inorgánico"};
  for (int k = 1; k <= 10; ++k) EXPECT_EQ(tornal::trimmed(c.NOMCONT(k)), tornal::latin1(nombres[k - 1])) << k;
  EXPECT_EQ(c.MODELOTEMPERATURA, 1);

  // One value near the end of every section.
  EXPECT_DOUBLE_EQ(c.KETEMB(1), 25.0);
  EXPECT_DOUBLE_EQ(c.VSEMB(1, 1), 0.2);
  EXPECT_DOUBLE_EQ(c.VSLEMB(1), 0.1);
  EXPECT_DOUBLE_EQ(c.ALFAFITOCOND(4), 10.0);
  EXPECT_DOUBLE_EQ(c.ALFAFITOEMB(1), 8.8);
  EXPECT_EQ(c.INRESPARCOND(2), 1);
  EXPECT_DOUBLE_EQ(c.LCOND(4), 6000.0);
  EXPECT_DOUBLE_EQ(c.INCRX(4), 250.0);
  EXPECT_EQ(c.TIPOHID(4), 2);
  EXPECT_DOUBLE_EQ(c.COEFTESHIDR(1, 5), 520.0);
  EXPECT_DOUBLE_EQ(c.COEFTESHIDR(4, 6), 0.0);
  for (int i = 1; i <= 4; ++i) {
    EXPECT_EQ(c.INRESCOND(i), 1) << i;
    EXPECT_GE(std::trunc(c.LCOND(i) / c.INCRX(i)), 5.0) << i;
  }
  EXPECT_DOUBLE_EQ(c.INCRETIEM(1), 30.0);
  EXPECT_EQ(c.CURVTZTEM(1), 3);
  ASSERT_EQ(c.NUMVERTDIF, 1);
  EXPECT_EQ(c.NUMCONDUCVERTDIF(1), 3);
  EXPECT_DOUBLE_EQ(c.SDVERTDIF(1, 3), 50000.0);
  ASSERT_EQ(c.NUMFLUJSED, 1);
  EXPECT_DOUBLE_EQ(c.FLUJSEDEMB(1, 4), -0.5);
  EXPECT_DOUBLE_EQ(c.COACU(1, 4), 6.0);
  EXPECT_DOUBLE_EQ(c.COEMB2(1, 1), 9.0);
  EXPECT_DOUBLE_EQ(c.RETORNODEPU(1, 1), -1.0);
  EXPECT_DOUBLE_EQ(c.RETORNODEPU(1, 2), 1000.0);
  EXPECT_DOUBLE_EQ(c.COEMB2(1, 10), 0.04);
  for (int k = 1; k <= 10; ++k) EXPECT_DOUBLE_EQ(c.TOMADEPU(1, k), -1.0) << k;
  EXPECT_EQ(c.NUMINDICADORES, 0);
  ASSERT_EQ(c.NUMCURVASTEMP, 5);
  EXPECT_DOUBLE_EQ(c.VALORCURVASTEMP(3, 12), 1.1);

  // Inflows: the first and the last record of the file.
  EXPECT_DOUBLE_EQ(c.COAPO(1, 1, 1, 1), 13.0);
  EXPECT_DOUBLE_EQ(c.COAPO(1, 4, 12, 2), 8.6);
  EXPECT_DOUBLE_EQ(c.COAPO(1, 10, 12, 2), 0.042);

  // Coefficients: hm3 into m3, and a 30-day month.
  EXPECT_DOUBLE_EQ(c.FACTORVOLUMEN, 1000000.0);
  EXPECT_DOUBLE_EQ(c.DIVISORUNIDADES, 30.0);
  EXPECT_NEAR(c.FACTORUNIDADES, 1000000.0 / 30.0, 1e-9);
  EXPECT_DOUBLE_EQ(c.UNIDADESESTEQUIOMETRICAS(1), 0.23);
  EXPECT_DOUBLE_EQ(c.FACTORPREFERENCIA(2), 0.5);
  EXPECT_TRUE(c.HAYCONSTANTESMODTEMPERATURA);
  EXPECT_EQ(c.ACUMULACIONRESULTADOSPARCIALES(1), 1);
  EXPECT_EQ(c.ACUMULACIONRESULTADOSPARCIALES(2), 5);
  EXPECT_EQ(c.OPCIONBALANCES, 1);
  EXPECT_EQ(c.INRESPAREMB(1), 1);

  // Monthly series: October of the second year, and the winter without a
  // thermocline.
  EXPECT_NEAR(c.TECOND(1, 13), 14.0 * 0.85, 1e-12);
  EXPECT_DOUBLE_EQ(c.ZTEMB(1, 3), 0.0);
  EXPECT_DOUBLE_EQ(c.UWEMB(1, 24), 3.0);
}
