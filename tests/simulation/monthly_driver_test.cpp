// The monthly driver as a whole on hand-built networks whose unit factors
// make the conversion to calculation units and back the identity: the
// console lines and month counters, the partial result files, the results
// of every month and year, the stops, and the warnings of the end of the
// run.
#include "simulation/monthly_driver.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "corrida_prueba.h"
#include "simulation/node_road.h"
#include "test_util.h"

namespace {

using tornal::Modelo;
using namespace tornal_test;

// A chain 1 -> 2 -> 3 with inflows at 1 and 2, an intake at 3 and a reach
// cut by the loop file.
RedPrueba cadena(int anyos) {
  RedPrueba p;
  p.nudos = {{-999, 0}, {1, 0}, {2, 0}, {3, 0}};
  p.conducciones = {{1, 2, 1}, {2, 3, 1}, {-999, 0, 1}};
  p.aportaciones = {1, 2};
  p.tomas = {{3, 0}};
  p.anyos = anyos;
  return p;
}

// A run of two years: the titles, "Año" with the year index and "Mes" 1 to
// 12 in every year; every month of both years is computed; the cut reach
// keeps its "not computed" mark; the partial result files exist; the run
// ends with its closing line.
TEST(Driver, TwoYearsOfAChain) {
  Corrida r(cadena(2));
  Modelo& m = r.m;
  todos(m.red.QAPO, 1, 2.0);
  todos(m.red.QAPO, 2, 6.0);
  todos(m.cal.COAPO, 1, 1, 10.0);
  todos(m.cal.COAPO, 2, 1, 2.0);
  todos(m.red.QCONDUCC, 1, 2.0);
  todos(m.red.QCONDUCC, 2, 8.0);
  m.cal.COAPO(1, 1, 12, 2) = 14.0;  // last month: (2x14 + 6x2)/8 = 5
  EXPECT_EQ(r.llamar(), "");

  std::vector<std::string> esperadas = {" Cuenca de prueba", " Segundo titulo"};
  for (int a = 1; a <= 2; ++a) {
    esperadas.push_back(" Año           " + std::to_string(a));
    for (int mes = 1; mes <= 12; ++mes)
      esperadas.push_back(std::string(mes < 10 ? " Mes           " : " Mes          ") + std::to_string(mes));
  }
  std::vector<std::string> consola = r.lineas_consola();
  ASSERT_EQ(consola.size(), esperadas.size());
  for (std::size_t i = 0; i < esperadas.size(); ++i) {
    const std::string& l = consola[i];
    EXPECT_EQ(i < 2 ? l.substr(0, l.find_last_not_of(' ') + 1) : l, esperadas[i]) << i;
  }
  EXPECT_EQ(m.sim.MESACTUAL, 12);

  const auto& s = m.sim;
  for (int a = 1; a <= 2; ++a)
    for (int mes = 1; mes <= 12; ++mes) {
      const double esperado = (a == 2 && mes == 12) ? 5.0 : 4.0;
      EXPECT_DOUBLE_EQ(s.CONDUCCCS(1, 1, mes, a), a == 2 && mes == 12 ? 14.0 : 10.0);
      EXPECT_DOUBLE_EQ(s.CONDUCCCS(2, 1, mes, a), esperado);
      EXPECT_DOUBLE_EQ(s.TOMASCS(1, 1, mes, a), esperado);
      EXPECT_DOUBLE_EQ(s.CONDUCCCS(3, 1, mes, a), -999.0);
      EXPECT_DOUBLE_EQ(s.CONDUCCCE(3, 1, mes, a), 0.0);
    }
  EXPECT_TRUE(std::filesystem::exists(r.dir.file("cond.txt")));
  EXPECT_TRUE(std::filesystem::exists(r.dir.file("emb.txt")));
  EXPECT_FALSE(std::filesystem::exists(r.dir.file("balances.csv")));
  ASSERT_FALSE(log_lines(m).empty());
  EXPECT_EQ(log_lines(m).back(), "Los calculos se han realizado con exito");
}

// No year: the set-up and the end run (files opened and closed, closing
// line) but no "Año" or "Mes" line.
TEST(Driver, NoYears) {
  Corrida r(cadena(0));
  EXPECT_EQ(r.llamar(), "");
  EXPECT_EQ(r.lineas_consola().size(), 2u);
  EXPECT_TRUE(std::filesystem::exists(r.dir.file("cond.txt")));
  EXPECT_TRUE(std::filesystem::exists(r.dir.file("emb.txt")));
  EXPECT_EQ(log_lines(r.m), std::vector<std::string>{"Los calculos se han realizado con exito"});
  EXPECT_EQ(r.m.sim.MESACTUAL, 0);
}

// "balances.csv" is opened in the working folder only when OPCIONBALANCES is
// exactly 1; a partial result file that cannot be opened stops the run
// before any month, with its own line.
TEST(Driver, PartialResultFiles) {
  for (int opcion : {0, 1, 2}) {
    Corrida r(cadena(1));
    r.m.cal.OPCIONBALANCES = opcion;
    EXPECT_EQ(r.llamar(), "");
    EXPECT_EQ(std::filesystem::exists(r.dir.file("balances.csv")), opcion == 1) << opcion;
  }
  struct Caso {
    const char* cond;
    const char* emb;
    const char* linea;
  };
  const Caso casos[] = {
      {"no/cond.txt", "emb.txt", "Error en el acceso al archivo de resultados parciales de conduccion"},
      {"cond.txt", "no/emb.txt", "Error en el acceso al archivo de resultados parciales de embalses"},
  };
  for (const Caso& k : casos) {
    Corrida r(cadena(1));
    EXPECT_EQ(r.llamar({.cond = k.cond, .emb = k.emb}), "error");
    EXPECT_EQ(log_lines(r.m), std::vector<std::string>{k.linea});
    EXPECT_EQ(r.lineas_consola().size(), 0u);  // stopped before the titles
  }
}

// A loop found in the months stops the whole run: no closing line.
TEST(Driver, LoopStopsTheRun) {
  RedPrueba p;
  p.nudos = {{2, 0}, {1, 0}};
  p.conducciones = {{1, 2, 1}};
  Corrida r(p);
  EXPECT_EQ(r.llamar(), "Error");
  const auto l = log_lines(r.m);
  ASSERT_FALSE(l.empty());
  EXPECT_EQ(l.back(), "No puede calcularse porque aguas arriba existe un bucle");
  EXPECT_EQ(r.lineas_consola().size(), 4u);  // titles, "Año 1", "Mes 1"
}

// MESACTUAL restarts every year unless long time curves are given; the
// time-varying constants follow the running month, never restarted.
TEST(Driver, MonthCounters) {
  for (bool largas : {false, true}) {
    RedPrueba p = cadena(2);
    Modelo m;
    prepare(m);
    std::ostringstream consola;
    m.consola = &consola;
    construir(m, p);
    preparar_resultados(m);
    m.cal.KDCOND.resize(3);
    m.sim.HAYCURVASLARGAS = largas;
    m.sim.HAYCTESTEMP = true;
    m.sim.NUMCTESTEMPCOND = 1;
    m.sim.CONDUCKTEMP.resize_filled(2.0, 1);
    m.sim.NUMKCONDUCTEMP.resize_filled(2.0, 1);  // BOD decay rate
    m.sim.KTESTEMPCONDUC.resize(1, 24);
    for (int t = 1; t <= 24; ++t) m.sim.KTESTEMPCONDUC(1, t) = 100.0 + t;
    tornal::TrabajoNudos w;
    w.dimensionar(1);
    tornal::meses_calculo(m, w, {});
    EXPECT_EQ(m.sim.MESACTUAL, largas ? 24 : 12);
    EXPECT_DOUBLE_EQ(m.cal.KDCOND(2), 124.0);
  }
}

// Reservoirs in trouble first, then reservoirs with months of finer
// sub-steps (with the most sub-steps of a month), then reservoirs with months taken by the mix of their water,
// then reaches, each with three lines, in increasing number; the run is not
// stopped.
TEST(Driver, EndOfRunWarnings) {
  RedPrueba p;
  p.nudos = {{1, 0}};
  p.conducciones = {{1, 0, 1}, {1, 0, 1}};
  p.embalses = {1, 1};
  Modelo m;
  prepare(m);
  construir(m, p);
  preparar_resultados(m);
  tornal::avisos_fin_calculo(m);
  EXPECT_TRUE(log_lines(m).empty());
  m.sim.ERROREMB(2) = 1;
  m.sim.NUMMESESFINOSEMB(1) = 3;
  m.sim.MAXSUBPASOSFINOSEMB(1) = 61440;
  m.sim.MESESMEZCLAEMB(2) = 2;
  m.sim.ERRORCOND(1) = 1;
  m.sim.ERRORCOND(2) = 1;
  tornal::avisos_fin_calculo(m);
  std::vector<std::string> l;
  for (const std::string& x : log_lines(m))
    if (!tornal::trimmed(x).empty()) l.push_back(tornal::trimmed(x));  // names go on in blank pieces
  const std::vector<std::string> esperadas = {
      tornal::latin1("Posible error numerico, revise los datos o diferencial de cálculo"),
      "Numero de embalse           2",
      "Nombre de embalse",
      "Embalse 2",
      tornal::latin1("Meses del embalse integrados con subpasos más finos"),
      "Embalse:",
      "Embalse 1",
      tornal::latin1("Número de meses:           3"),
      tornal::latin1("Número máximo de subpasos:       61440"),
      "Meses del embalse con la mezcla del agua embalsada y de la que entra",
      "Embalse:",
      "Embalse 2",
      tornal::latin1("Número de meses:           2"),
      tornal::latin1("Las concetraciones han superado el valor máximo de 100000"),
      tornal::latin1("Número Conducción:           1"),
      tornal::latin1("Nombre Conducción:"),
      "Tramo 1",
      tornal::latin1("Las concetraciones han superado el valor máximo de 100000"),
      tornal::latin1("Número Conducción:           2"),
      tornal::latin1("Nombre Conducción:"),
      "Tramo 2",
  };
  EXPECT_EQ(l, esperadas);
}

}  // namespace
