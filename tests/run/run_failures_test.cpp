// Failures that no procedure reports itself get their line in the run log,
// and non-finite results are listed at the end of the run.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/array.h"
#include "run/tornal.h"
#include "simulation/nonfinite_results.h"
#include "test_util.h"

using tornal::Modelo;

TEST(RunFailures, UnreportedFailuresGetARunLogLineAndStop) {
  struct Caso {
    const char* que;
    std::function<void()> fase;
    std::string parada;
    std::vector<std::string> registro;
  };
  tornal::Array1<int> a{"TABLA"};
  a.resize(2);
  const std::vector<Caso> casos = {
      {"an allocation that fails",
       [] { throw std::bad_alloc(); },
       "error: memoria insuficiente",
       {tornal::latin1("Memoria insuficiente para los datos de la ejecución")}},
      {"a size beyond any vector",
       [] {
         std::vector<double> v;
         v.reserve(v.max_size() + 1);
       },
       "error: memoria insuficiente",
       {tornal::latin1("Memoria insuficiente para los datos de la ejecución")}},
      {"an index out of range",
       [&] { a(3) = 1; },
       "Índice fuera de rango en TABLA(3), de dimensiones (2)",
       {tornal::latin1("Índice fuera de rango en TABLA(3), de dimensiones (2)")}},
      {"a stop that its procedure reported", [] { tornal::stop("error"); }, "error", {}},
      {"a phase that ends well", [] {}, "", {}},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.que);
    Modelo m;
    tornal_test::prepare(m);
    EXPECT_EQ(tornal_test::stop_message([&] { tornal::con_registro(m, c.fase); }), c.parada);
    EXPECT_EQ(tornal_test::log_lines(m), c.registro);
  }
}

// One reach and one reservoir, two constituents, one year: a value that is
// not finite is listed once per element and constituent (or quantity), with
// the first month it appears in.
TEST(RunFailures, NonFiniteResultsAreListedByElementAndConstituent) {
  Modelo m;
  tornal_test::prepare(m);
  tornal::Red& r = m.red;
  r.NUMANYOS = 1;
  r.NUMCONDUCCIONES = r.NUMCONDUCCIONEST1 = 1;
  r.NUMEMBALSES = 1;
  r.NOMCONDUCC.resize_filled(tornal::padded("Rio", 250), 1);
  r.NOMEMB.resize_filled(tornal::padded("Presa", 250), 1);
  m.cal.NUMCONTAMINANTES = 2;
  m.cal.NOMCONT.resize(2);
  m.cal.NOMCONT(1) = tornal::padded("DBO5", 30);
  m.cal.NOMCONT(2) = tornal::padded("Nitratos", 30);
  tornal::Simulacion& s = m.sim;
  s.CONDUCCCS.resize_filled(1.0, 1, 2, 12, 1);
  s.EMB1CF.resize(1, 2, 12, 1);
  s.EMB2CF.resize(1, 2, 12, 1);
  r.QCONDUCC.resize(1, 12, 1);
  r.VOLFINEMB.resize(1, 12, 1);
  EXPECT_EQ(tornal::avisos_resultados_no_finitos(m), 0);
  EXPECT_TRUE(tornal_test::log_lines(m).empty());

  const double inf = std::numeric_limits<double>::infinity();
  s.CONDUCCCS(1, 2, 5, 1) = inf;
  s.CONDUCCCS(1, 2, 7, 1) = -inf;
  s.EMB2CF(1, 1, 12, 1) = std::nan("");
  r.VOLFINEMB(1, 3, 1) = inf;
  r.QCONDUCC(1, 1, 1) = 1e308;  // finite: no warning
  EXPECT_EQ(tornal::avisos_resultados_no_finitos(m), 3);
  const std::string aviso = tornal::latin1("Resultado no finito (desbordamiento en el cálculo), revise los datos");
  const std::string conduccion = tornal::latin1("Número Conducción:");
  const std::string mes = tornal::latin1("Mes de la simulación:");
  EXPECT_EQ(
      tornal_test::log_lines(m),
      (std::vector<std::string>{aviso, conduccion + "           1", "Nombre: Rio", "Contaminante: Nitratos",
                                mes + "           5", aviso, "Numero de embalse           1", "Nombre: Presa",
                                "Contaminante: DBO5", mes + "          12", aviso, "Numero de embalse           1",
                                "Nombre: Presa", "Contaminante: Volumen", mes + "           3"}));
}

// A non-finite value in the last place of a large result array (last
// element, constituent, month and year) is found as any other.
TEST(RunFailures, NonFiniteResultInTheLastPlaceIsListed) {
  Modelo m;
  tornal_test::prepare(m);
  m.red.NUMANYOS = 2;
  m.red.NOMCONDUCC.resize_filled(tornal::padded("Rio", 250), 3);
  m.cal.NOMCONT.resize_filled(tornal::padded("Amonio", 30), 2);
  m.sim.CONDUCCCS.resize_filled(2.0, 3, 2, 12, 2);
  m.sim.CONDUCCCS(3, 2, 12, 2) = std::nan("");
  EXPECT_EQ(tornal::avisos_resultados_no_finitos(m), 1);
  const std::vector<std::string> lineas = tornal_test::log_lines(m);
  ASSERT_EQ(lineas.size(), 5u);
  EXPECT_EQ(lineas[1], tornal::latin1("Número Conducción:") + "           3");
  EXPECT_EQ(lineas[4], tornal::latin1("Mes de la simulación:") + "          24");
}
