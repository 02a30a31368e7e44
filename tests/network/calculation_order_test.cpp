// The calculation order of the network: order of the nodes and of the
// elements for hand-built networks, head and reservoir flags, the failures
// (equal ends, loops, no element, too many nodes), loops broken by
// "bucle.avz", and a long chain listed against the flow.
#include "network/calculation_order.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "common/free_writer.h"
#include "common/latin1.h"
#include "test_util.h"

using tornal::Modelo;
using tornal::Red;

namespace {

using Tramo = tornal_test::TramoRed;
using RedPrueba = tornal_test::ElementosRed;
using tornal_test::montar_elementos;

using Nudo = std::array<int, 3>;      // node, head flag, reservoir flag
using Elemento = std::array<int, 4>;  // initial node, final node, row, kind

std::vector<Nudo> orden_nudos(const Red& r) {
  std::vector<Nudo> out;
  EXPECT_EQ(r.ORDENNUDOS.size(1), r.NUMNUDOS);
  for (int i = 1; i <= r.NUMNUDOS; ++i) out.push_back({r.ORDENNUDOS(i, 1), r.ORDENNUDOS(i, 2), r.ORDENNUDOS(i, 3)});
  return out;
}

std::vector<Elemento> orden_elementos(const Red& r) {
  std::vector<Elemento> out;
  for (int p = 1; p <= r.ORDENCONDUCCIONES.size(1); ++p)
    out.push_back(
        {r.ORDENCONDUCCIONES(p, 1), r.ORDENCONDUCCIONES(p, 2), r.ORDENCONDUCCIONES(p, 3), r.ORDENCONDUCCIONES(p, 4)});
  return out;
}

std::vector<int> filas_colocadas(const Red& r) {
  std::vector<int> out;
  for (const Elemento& e : orden_elementos(r)) out.push_back(e[2]);
  return out;
}

// The log line that the free-format writer makes of these items.
std::string linea(std::initializer_list<tornal::FreeItem> items) {
  return tornal::free_format_lines(items).front().substr(1);
}

struct CasoOrden {
  const char* nombre;
  RedPrueba red;
  std::vector<Nudo> nudos;
  std::vector<int> filas;  // rows of the element table in the order of placing
};

const std::vector<CasoOrden>& casos_orden() {
  static const std::vector<CasoOrden> casos = {
      {"chain in flow order, one scan",
       {.tramos = {{1, 10, 20}, {1, 20, 30}}},
       {{10, 1, 0}, {20, 0, 0}, {30, 0, 0}},
       {1, 2}},
      {"chain listed against the flow, two scans",
       {.tramos = {{1, 20, 30}, {1, 10, 20}}},
       {{10, 1, 0}, {20, 0, 0}, {30, 0, 0}},
       {2, 1}},
      {"head nodes moved to the front",
       {.tramos = {{1, 10, 20}, {1, 20, 40}, {1, 30, 40}}},
       {{10, 1, 0}, {30, 1, 0}, {20, 0, 0}, {40, 0, 0}},
       {1, 2, 3}},
      // X=1, A=2, Y=3, Z=4, W=5: X freed by A waits for the next scan, while
      // W freed by Y later in the list goes in the same scan.
      {"node freed behind the scan waits for the next scan",
       {.tramos = {{1, 1, 4}, {1, 2, 1}, {1, 3, 5}}},
       {{2, 1, 0}, {3, 1, 0}, {5, 0, 0}, {1, 0, 0}, {4, 0, 0}},
       {2, 3, 1}},
      {"reaches of several types in global order",
       {.tramos = {{5, 30, 40}, {2, 20, 30}, {1, 10, 20}}},
       {{10, 1, 0}, {20, 0, 0}, {30, 0, 0}, {40, 0, 0}},
       {1, 2, 3}},
      {"intake with a return and intake without one",
       {.tramos = {{1, 1, 2}}, .tomas = {{2, 1}, {1, 0}}, .retornos = {5}},
       {{1, 1, 0}, {2, 0, 0}, {5, 0, 0}},
       {1, 3, 2}},
      {"plant puts its re-entry node after its intake node",
       {.tramos = {{1, 1, 2}}, .centrales = {{3, 1}}},
       {{3, 1, 0}, {1, 0, 0}, {2, 0, 0}},
       {2, 1}},
      {"reservoir flags on head and inner nodes",
       {.tramos = {{1, 10, 20}, {1, 20, 30}}, .embalses = {20, 99, 10}},
       {{10, 1, 1}, {20, 0, 1}, {30, 0, 0}},
       {1, 2}},
      {"exactly NUMNUDOSFIS + 1 nodes",
       {.tramos = {{1, 1, 2}, {1, 2, 3}}, .nudos_fis = 2},
       {{1, 1, 0}, {2, 0, 0}, {3, 0, 0}},
       {1, 2}},
      // Placed rows hold 0 at both ends, so a node 0 that starts an element
      // can only go before anything else has been placed.
      {"node 0 as the only head node", {.tomas = {{0, 1}}, .retornos = {5}}, {{0, 1, 0}, {5, 0, 0}}, {1}},
  };
  return casos;
}

TEST(CalculationOrder, PlacesNodesAndElementsAsTheScansDo) {
  for (const CasoOrden& caso : casos_orden()) {
    SCOPED_TRACE(caso.nombre);
    Modelo m;
    tornal_test::TempDir dir;
    tornal_test::prepare(m, dir.path());
    montar_elementos(m.red, caso.red);
    EXPECT_EQ(tornal_test::stop_message([&] { tornal::ORDENCALCULOSUB(m); }), "");
    EXPECT_EQ(orden_nudos(m.red), caso.nudos);
    EXPECT_EQ(filas_colocadas(m.red), caso.filas);
    EXPECT_TRUE(m.log.lines().empty());
  }
}

TEST(CalculationOrder, ElementRowsCarryEndsRowNumberAndKind) {
  // Type-1 reach 1->2, type-3 reach 2->3, intake at 3 returning to 4 (return
  // 2), intake at 2 whose return 1 stands at node 3, plant 4->5.
  Modelo m;
  tornal_test::TempDir dir;
  tornal_test::prepare(m, dir.path());
  montar_elementos(
      m.red, {.tramos = {{3, 2, 3}, {1, 1, 2}}, .tomas = {{3, 2}, {2, 1}}, .retornos = {3, 4}, .centrales = {{4, 5}}});
  tornal::ORDENCALCULOSUB(m);
  const std::vector<Elemento> esperado = {
      {1, 2, 1, 1}, {2, 3, 2, 3}, {2, 3, 4, 6}, {3, 4, 3, 6}, {4, 5, 5, 7},
  };
  EXPECT_EQ(orden_elementos(m.red), esperado);
  EXPECT_EQ(orden_nudos(m.red), (std::vector<Nudo>{{1, 1, 0}, {2, 0, 0}, {3, 0, 0}, {4, 0, 0}, {5, 0, 0}}));
}

struct CasoFallo {
  const char* nombre;
  RedPrueba red;
  std::vector<std::string> log;  // UTF-8
};

TEST(CalculationOrder, StopsWithErrorAndItsLogLines) {
  const std::string sin_orden = "No se ha resuelto el orden de flujo";
  const std::string iguales = "Alguna Conducción, Toma o Central tiene como nudo final el inicial";
  const std::string bucle = "Elimine el bucle de conducciones";
  const std::string demasiados = "Hay más nudos que los declarados en el archivo de datos fisicos de Kelmar";
  const std::vector<CasoFallo> casos = {
      {"intake returning to its own node",
       {.tramos = {{1, 1, 2}}, .tomas = {{2, 1}}, .retornos = {2}},
       {sin_orden, iguales, linea({"Nudo:", 2})}},
      {"first element with equal ends is named",
       {.tramos = {{1, 1, 2}, {1, 3, 3}}, .centrales = {{4, 4}}},
       {sin_orden, iguales, linea({"Nudo:", 3})}},
      {"plant with equal ends", {.centrales = {{-7, -7}}}, {sin_orden, iguales, linea({"Nudo:", -7})}},
      {"two-node loop", {.tramos = {{1, 10, 20}, {1, 20, 10}}}, {sin_orden, bucle}},
      {"loop below a head node", {.tramos = {{1, 1, 2}, {1, 2, 3}, {1, 3, 2}}}, {sin_orden, bucle}},
      {"loop through an intake and its return",
       {.tramos = {{1, 1, 2}}, .tomas = {{2, 1}}, .retornos = {1}},
       {sin_orden, bucle}},
      {"node 0 met after other nodes are placed",
       {.tramos = {{1, 1, 2}}, .tomas = {{0, 1}}, .retornos = {5}},
       {sin_orden, bucle}},
      {"network without elements", {}, {sin_orden, "La red no tiene conducciones, tomas ni centrales"}},
      {"more nodes than NUMNUDOSFIS + 1", {.tramos = {{1, 1, 2}, {1, 2, 3}}, .nudos_fis = 1}, {sin_orden, demasiados}},
      {"final-only node beyond the room", {.tramos = {{1, 1, 2}, {1, 3, 4}}, .nudos_fis = 2}, {sin_orden, demasiados}},
      {"negative NUMNUDOSFIS", {.tramos = {{1, 1, 2}}, .nudos_fis = -5}, {sin_orden, demasiados}},
  };
  for (const CasoFallo& caso : casos) {
    SCOPED_TRACE(caso.nombre);
    Modelo m;
    tornal_test::TempDir dir;
    tornal_test::prepare(m, dir.path());
    montar_elementos(m.red, caso.red);
    EXPECT_EQ(tornal_test::stop_message([&] { tornal::ORDENCALCULOSUB(m); }), "Error");
    std::vector<std::string> esperado;
    for (const std::string& l : caso.log) esperado.push_back(tornal::latin1(l));
    EXPECT_EQ(tornal_test::log_lines(m), esperado);
  }
}

TEST(CalculationOrder, LoopCutByLoopFileIsOrderedWithThePseudoNode) {
  Modelo m;
  tornal_test::TempDir dir;
  tornal_test::prepare(m, dir.path());
  // The pseudo-node counts against the room of NUMNUDOSFIS + 1 nodes.
  montar_elementos(m.red, {.tramos = {{1, 10, 20}, {1, 20, 10}}, .nudos_fis = 2});
  dir.write("bucle.avz", "<CONDUCCIONEST1_CONTAMINADAS>\n1\n2\n");
  EXPECT_EQ(tornal_test::stop_message([&] { tornal::ORDENCALCULOSUB(m); }), "");
  EXPECT_EQ(tornal_test::log_lines(m),
            (std::vector<std::string>{"Existe bucle.avz", "Existen Conducciones Tipo 1 dentro de un bucle",
                                      tornal::latin1("Lectura de archivo bucle.avz realizada con éxito")}));
  EXPECT_EQ(m.red.NUMNUDOS, 3);
  EXPECT_EQ(orden_nudos(m.red), (std::vector<Nudo>{{10, 1, 0}, {-999, 1, 0}, {20, 0, 0}}));
  EXPECT_EQ(orden_elementos(m.red), (std::vector<Elemento>{{10, 20, 1, 1}, {-999, 0, 2, 1}}));
  EXPECT_EQ(m.red.CONDUCCIONES(2, 1), -999);
  EXPECT_EQ(m.red.CONDUCCIONES(2, 2), 0);
  EXPECT_EQ(m.red.CONDUCCIONES(2, 3), 1);

  Modelo sin_sitio;
  tornal_test::prepare(sin_sitio, dir.path());
  montar_elementos(sin_sitio.red, {.tramos = {{1, 10, 20}, {1, 20, 10}}, .nudos_fis = 1});
  EXPECT_EQ(tornal_test::stop_message([&] { tornal::ORDENCALCULOSUB(sin_sitio); }), "Error");
  EXPECT_EQ(tornal_test::log_lines(sin_sitio).back(),
            tornal::latin1("Hay más nudos que los declarados en el archivo de datos fisicos de Kelmar"));
}

TEST(CalculationOrder, CutReturnAndPlantTieNoNode) {
  Modelo m;
  tornal_test::TempDir dir;
  tornal_test::prepare(m, dir.path());
  // Intake at 2 returning to 1 and plant 2->1 both close a loop with reach 1->2.
  montar_elementos(m.red, {.tramos = {{1, 1, 2}}, .tomas = {{2, 1}}, .retornos = {1}, .centrales = {{2, 1}}});
  dir.write("bucle.avz", "<RETORNOS_CONTAMINADOS>\n1\n1\n<CENTRALES_CONTAMINADOS>\n1\n1\n");
  EXPECT_EQ(tornal_test::stop_message([&] { tornal::ORDENCALCULOSUB(m); }), "");
  EXPECT_EQ(orden_nudos(m.red), (std::vector<Nudo>{{1, 1, 0}, {-999, 1, 0}, {2, 0, 0}}));
  EXPECT_EQ(orden_elementos(m.red), (std::vector<Elemento>{{1, 2, 1, 1}, {2, 0, 2, 6}, {-999, 0, 3, 7}}));
}

// A reversed chain of n reaches: reach k runs from node n-k+1 to n-k+2, so
// every scan frees only the node it has just passed.
RedPrueba cadena_invertida(int n) {
  RedPrueba d;
  for (int k = 1; k <= n; ++k) d.tramos.push_back({1, n - k + 1, n - k + 2});
  d.nudos_fis = n + 1;
  return d;
}

TEST(CalculationOrder, LongChainAgainstTheFlowIsOrdered) {
  constexpr int n = 20000;
  Modelo m;
  tornal_test::TempDir dir;
  tornal_test::prepare(m, dir.path());
  montar_elementos(m.red, cadena_invertida(n));
  EXPECT_EQ(tornal_test::stop_message([&] { tornal::ORDENCALCULOSUB(m); }), "");
  ASSERT_EQ(m.red.NUMNUDOS, n + 1);
  bool en_orden = true;
  for (int i = 1; i <= n + 1; ++i)
    en_orden = en_orden && m.red.ORDENNUDOS(i, 1) == i && m.red.ORDENNUDOS(i, 2) == (i == 1 ? 1 : 0);
  EXPECT_TRUE(en_orden);
  bool filas = true;
  for (int p = 1; p <= n; ++p) filas = filas && m.red.ORDENCONDUCCIONES(p, 3) == n - p + 1;
  EXPECT_TRUE(filas);
}

TEST(CalculationOrder, LoopAtTheEndOfALongChainStops) {
  constexpr int n = 20000;
  Modelo m;
  tornal_test::TempDir dir;
  tornal_test::prepare(m, dir.path());
  RedPrueba d = cadena_invertida(n);
  d.tramos.push_back({2, n + 1, n});
  montar_elementos(m.red, d);
  EXPECT_EQ(tornal_test::stop_message([&] { tornal::ORDENCALCULOSUB(m); }), "Error");
  EXPECT_EQ(tornal_test::log_lines(m),
            (std::vector<std::string>{"No se ha resuelto el orden de flujo", "Elimine el bucle de conducciones"}));
}

}  // namespace
