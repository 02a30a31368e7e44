// The loop cuts file "bucle.avz": the cuts of every element kind, the block
// layout (tags, counts, lists over lines), the line counter of read errors,
// the refused inputs (numbers out of range, repeated tags, end of file inside
// a block) and the intakes at the ends of cut reaches.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "common/latin1.h"
#include "network/calculation_order.h"
#include "test_util.h"

using tornal::Modelo;
using tornal::Red;

namespace {

const std::string T1 = "<CONDUCCIONEST1_CONTAMINADAS>";
const std::string T2 = "<CONDUCCIONEST2_CONTAMINADAS>";
const std::string T3 = "<CONDUCCIONEST3_CONTAMINADAS>";
const std::string T4 = "<CONDUCCIONEST4_CONTAMINADAS>";
const std::string T5 = "<CONDUCCIONEST5_CONTAMINADAS>";
const std::string RET = "<RETORNOS_CONTAMINADOS>";
const std::string CEN = "<CENTRALES_CONTAMINADOS>";

const std::string EXISTE = "Existe bucle.avz";
const std::string EXITO = tornal::latin1("Lectura de archivo bucle.avz realizada con éxito");
const std::string MSG_T1 = "Existen Conducciones Tipo 1 dentro de un bucle";
const std::string MSG_T2 = "Existen Conducciones Tipo 2 dentro de un bucle";

// Reaches: type 1: 1->2, 2->3, 3->4; type 2: 4->5, 5->6, 6->7; types 3, 4
// and 5: one each, 7->8, 8->9, 9->10 (global numbers 1 to 9). Returns 1 to 4
// at nodes 11 to 14. Intakes: at 2 to return 4, at 3 to return 2, at 5 to
// return 4, at 6 without return. Plants 3->7 and 5->9.
void montar(Red& r) {
  tornal_test::montar_elementos(
      r,
      {.tramos = {{1, 1, 2}, {1, 2, 3}, {1, 3, 4}, {2, 4, 5}, {2, 5, 6}, {2, 6, 7}, {3, 7, 8}, {4, 8, 9}, {5, 9, 10}},
       .tomas = {{2, 4}, {3, 2}, {5, 4}, {6, 0}},
       .retornos = {11, 12, 13, 14},
       .centrales = {{3, 7}, {5, 9}},
       .nudos_fis = 0});
}

// Every node field that the cuts may change, by element.
struct Nudos {
  std::vector<std::pair<int, int>> conducciones;  // CONDUCCIONES columns 1 and 2
  std::vector<std::pair<int, int>> tramos;        // per-type arrays, in global order
  std::vector<int> NUDORET, NUMRETTOMA, NUMTOMA;
  std::vector<std::pair<int, int>> centrales;
  bool operator==(const Nudos&) const = default;
};

Nudos nudos(const Red& r) {
  Nudos n;
  for (int g = 1; g <= r.NUMCONDUCCIONES; ++g) {
    n.conducciones.push_back({r.CONDUCCIONES(g, 1), r.CONDUCCIONES(g, 2)});
    EXPECT_EQ(r.CONDUCCIONES(g, 3), g <= 3 ? 1 : g <= 6 ? 2 : g - 4);
  }
  const tornal::Array1<int>* ini[5] = {&r.NUDOINICONDT1, &r.NUDOINICONDT2, &r.NUDOINICONDT3, &r.NUDOINICONDT4,
                                       &r.NUDOINICONDT5};
  const tornal::Array1<int>* fin[5] = {&r.NUDOFINCONDT1, &r.NUDOFINCONDT2, &r.NUDOFINCONDT3, &r.NUDOFINCONDT4,
                                       &r.NUDOFINCONDT5};
  for (int k = 0; k < 5; ++k)
    for (int j = 1; j <= ini[k]->size(); ++j) n.tramos.push_back({(*ini[k])(j), (*fin[k])(j)});
  for (int i = 1; i <= r.NUMRETORNOS; ++i) n.NUDORET.push_back(r.NUDORET(i));
  for (int t = 1; t <= r.NUMTOMAS; ++t) {
    n.NUMRETTOMA.push_back(r.NUMRETTOMA(t));
    n.NUMTOMA.push_back(r.NUMTOMA(t));
  }
  for (int c = 1; c <= r.NUMCENTRALES; ++c) n.centrales.push_back({r.NUDTOMACEN(c), r.NUDREINCEN(c)});
  return n;
}

// The node fields of the test network with the given reaches (global
// numbers) cut.
Nudos con_tramos_cortados(std::initializer_list<int> globales) {
  Modelo m;
  montar(m.red);
  Nudos n = nudos(m.red);
  for (int g : globales) {
    n.conducciones[g - 1] = {-999, 0};
    n.tramos[g - 1] = {-999, 0};
  }
  return n;
}

struct Corrida {
  std::string parada;  // stop message, "" when none
  std::vector<std::string> log;
  Nudos nudos;
};

Corrida correr(const std::string* contenido) {
  tornal_test::TempDir dir;
  Modelo m;
  tornal_test::prepare(m, dir.path());
  montar(m.red);
  if (contenido != nullptr) dir.write("bucle.avz", *contenido);
  Corrida c;
  c.parada = tornal_test::stop_message([&] { tornal::aplicar_bucles(m); });
  c.log = tornal_test::log_lines(m);
  c.nudos = nudos(m.red);
  return c;
}

Corrida correr(const std::string& contenido) { return correr(&contenido); }

TEST(LoopCuts, NoFileLeavesTheNetworkAndTheLogAlone) {
  const Corrida c = correr(nullptr);
  EXPECT_EQ(c.parada, "");
  EXPECT_TRUE(c.log.empty());
  EXPECT_EQ(c.nudos, con_tramos_cortados({}));
}

TEST(LoopCuts, FileWithoutTagsCutsNothing) {
  for (const std::string contenido : {"", "\n\n", "comentario\n  <OTRA_ETIQUETA>\n5\n1 2 3\n"}) {
    SCOPED_TRACE(contenido);
    const Corrida c = correr(contenido);
    EXPECT_EQ(c.parada, "");
    EXPECT_EQ(c.log, (std::vector<std::string>{EXISTE, EXITO}));
    EXPECT_EQ(c.nudos, con_tramos_cortados({}));
  }
}

TEST(LoopCuts, TypeTwoReachesByTheirNumberWithinTheType) {
  const Corrida c = correr(T2 + "\n2\n3 1\n");
  EXPECT_EQ(c.parada, "");
  EXPECT_EQ(c.log, (std::vector<std::string>{EXISTE, MSG_T2, EXITO}));
  // Type-2 reaches 3 and 1 are global reaches 3 + 3 and 3 + 1.
  EXPECT_EQ(c.nudos, con_tramos_cortados({6, 4}));
}

TEST(LoopCuts, ReturnCutAndTheIntakesThatFedIt) {
  const Corrida c = correr(RET + "\n1\n4\n");
  EXPECT_EQ(c.parada, "");
  EXPECT_EQ(c.log, (std::vector<std::string>{EXISTE, "Existen retornos que hacen bucles", EXITO}));
  Nudos esperado = con_tramos_cortados({});
  esperado.NUDORET = {11, 12, 13, 0};
  esperado.NUMRETTOMA = {0, 2, 0, 0};
  EXPECT_EQ(c.nudos, esperado);
}

TEST(LoopCuts, PlantCutStartsAtThePseudoNode) {
  const Corrida c = correr(CEN + "\n1\n2\n");
  EXPECT_EQ(c.parada, "");
  EXPECT_EQ(c.log, (std::vector<std::string>{EXISTE, "Existen centrales que hacen bucles", EXITO}));
  Nudos esperado = con_tramos_cortados({});
  esperado.centrales = {{3, 7}, {-999, 0}};
  EXPECT_EQ(c.nudos, esperado);
}

TEST(LoopCuts, EveryTagInAnyOrderWithItsMessage) {
  const Corrida c = correr("titulo\n" + CEN + "\n1\n1\n" + T5 + "\n1\n1\n" + T4 + "\n1\n1\n" + RET + "\n1\n2\n" + T3 +
                           "\n1\n1\n" + T2 + "\n1\n2\n" + T1 + "\n1\n3\n");
  EXPECT_EQ(c.parada, "");
  EXPECT_EQ(c.log, (std::vector<std::string>{
                       EXISTE, "Existen centrales que hacen bucles", "Existen Conducciones Tipo 5 dentro de un bucle",
                       "Existen Conducciones Tipo 4 dentro de un bucle", "Existen retornos que hacen bucles",
                       "Existen Conducciones Tipo 3 dentro de un bucle", MSG_T2, MSG_T1, EXITO}));
  Nudos esperado = con_tramos_cortados({3, 5, 7, 8, 9});
  esperado.NUDORET = {11, 0, 13, 14};
  esperado.NUMRETTOMA = {4, 0, 4, 0};
  esperado.centrales = {{-999, 0}, {5, 9}};
  EXPECT_EQ(c.nudos, esperado);
}

struct CasoBloque {
  const char* nombre;
  std::string contenido;
  std::vector<std::string> mensajes;  // tag messages between the first and last lines
  std::vector<int> cortados;          // global reach numbers cut
};

TEST(LoopCuts, BlockLayout) {
  const std::vector<CasoBloque> casos = {
      {"values on several lines", T1 + "\n3\n1\n2\n\n3\n", {MSG_T1}, {1, 2, 3}},
      {"values separated by commas", T1 + "\n3\n1,2 , 3\n", {MSG_T1}, {1, 2, 3}},
      {"text after the tag is ignored", T1 + " 2\n1\n3\n", {MSG_T1}, {3}},
      {"values after the count are ignored", T1 + "\n1 2\n3\n", {MSG_T1}, {3}},
      {"text after the list is ignored", T1 + "\n1\n2 3 " + T2 + "\n", {MSG_T1}, {2}},
      {"tag in small letters is passed over", "<conduccionest1_contaminadas>\n1\n1\n", {}, {}},
      {"tag after another word is passed over", "x " + T1 + "\n1\n1\n", {}, {}},
      {"quoted tag", "'" + T1 + "'\n1\n1\n", {MSG_T1}, {1}},
      {"comments between blocks",
       "cortes\n" + T1 + "\n1\n1\notro comentario\n\n" + T2 + "\n1\n1\n",
       {MSG_T1, MSG_T2},
       {1, 4}},
      {"CR LF line ends", T1 + "\r\n1\r\n2\r\n" + T2 + "\r\n1\r\n3\r\n", {MSG_T1, MSG_T2}, {2, 6}},
      // The list is read only for a count above 0, so the next tag opens its block.
      {"count 0 followed by a tag", T1 + "\n0\n" + T2 + "\n1\n2\n", {MSG_T1, MSG_T2}, {5}},
      {"negative count followed by a tag", T1 + "\n-3\n" + T2 + "\n1\n2\n", {MSG_T1, MSG_T2}, {5}},
      {"count 0 at the end of the file", T1 + "\n0\n", {MSG_T1}, {}},
      {"same reach listed twice", T1 + "\n2\n2 2\n", {MSG_T1}, {2}},
      // A repeat count n*v gives n values, read run by run.
      {"ten values of one repeat count", T1 + "\n10\n10*1\n", {MSG_T1}, {1}},
      {"repeat counts among values over lines", T2 + "\n5\n2*3,\n1 2*2\n", {MSG_T2}, {6, 4, 5}},
      {"two thousand million values of three repeat counts",
       T2 + "\n2000000000\n999999999*1 999999999*3 2*2\n",
       {MSG_T2},
       {4, 6, 5}},
  };
  for (const CasoBloque& caso : casos) {
    SCOPED_TRACE(caso.nombre);
    const Corrida c = correr(caso.contenido);
    EXPECT_EQ(c.parada, "");
    std::vector<std::string> log{EXISTE};
    log.insert(log.end(), caso.mensajes.begin(), caso.mensajes.end());
    log.push_back(EXITO);
    EXPECT_EQ(c.log, log);
    Nudos esperado = con_tramos_cortados({});
    for (int g : caso.cortados) {
      esperado.conducciones[g - 1] = {-999, 0};
      esperado.tramos[g - 1] = {-999, 0};
    }
    EXPECT_EQ(c.nudos, esperado);
  }
}

struct CasoError {
  const char* nombre;
  std::string contenido;
  int NUMLINEA;
};

TEST(LoopCuts, ReadErrorsGiveTheLineCounterAndStop) {
  const std::vector<CasoError> casos = {
      {"count after the first tag", T1 + "\nx\n", 1},
      {"count with a decimal point", "cabecera\n\n" + T3 + "\n1.0\n", 1},
      {"value in the first list", T1 + "\n2\n1 x\n", 2},
      {"count of a block after a type-1 block", T1 + "\n1\n1\n" + T2 + "\nx\n", 3},
      {"count of a block after a first returns block", RET + "\n1\n1\n" + CEN + "\nx\n", 2},
      {"list after a plants block", CEN + "\n1\n1\n" + T1 + "\n1\nx\n", 3},
      // The count line is counted, the list line that was not read is not
      // left out: the counter stands as after a block with a list.
      {"count after a type-1 block with count 0", T1 + "\n0\n" + T2 + "\nx\n", 3},
      {"list shorter than its count, next tag", T1 + "\n2\n1\n" + T2 + "\n1\n1\n", 2},
      {"end of file after a tag", T1 + "\n", 1},
      {"end of file after a count", RET + "\n1\n", 2},
      {"end of file inside a list", T1 + "\n1\n1\n" + T2 + "\n3\n1\n2\n", 4},
      {"slash leaves a value unread", T1 + "\n2\n1 /\n", 2},
      {"reach number above its type", T3 + "\n1\n2\n", 2},
      {"reach number 0", T1 + "\n1\n0\n", 2},
      {"negative reach number", T5 + "\n1\n-1\n", 2},
      {"return number above the returns", RET + "\n2\n1 5\n", 2},
      {"plant number above the plants", T1 + "\n1\n1\n" + CEN + "\n1\n3\n", 4},
      {"tag given twice", CEN + "\n1\n1\n" + T1 + "\n1\n1\n" + CEN + "\n1\n2\n", 4},
      {"tag given twice with count 0 first", T2 + "\n0\n" + T2 + "\n1\n1\n", 3},
      // Counts beyond the values that the rest of the file can supply.
      {"a count beyond its repeat count", T1 + "\n11\n10*1\n", 2},
      {"a repeat count of ten digits", RET + "\n2000000000\n2000000000*1\n", 2},
      {"a repeat count over a bad value", T1 + "\n3\n3*x\n", 2},
      {"a repeated value above its type", T1 + "\n1\n1\n" + T3 + "\n4\n4*2\n", 4},
  };
  for (const CasoError& caso : casos) {
    SCOPED_TRACE(caso.nombre);
    const Corrida c = correr(caso.contenido);
    EXPECT_EQ(c.parada, "error");
    ASSERT_GE(c.log.size(), 4u);
    EXPECT_EQ(c.log.front(), EXISTE);
    const std::vector<std::string> ultimas(c.log.end() - 3, c.log.end());
    const std::string cifras = std::to_string(caso.NUMLINEA);
    EXPECT_EQ(ultimas,
              (std::vector<std::string>{"Error en la lectura del archivo BUCLE.AVZ",
                                        "Error en la linea numero:", std::string(11 - cifras.size(), ' ') + cifras}));
    // Nothing is cut before the whole file has been read.
    EXPECT_EQ(c.nudos, con_tramos_cortados({}));
  }
}

TEST(LoopCuts, FileThatCannotBeOpened) {
  tornal_test::TempDir dir;
  Modelo m;
  tornal_test::prepare(m, dir.path());
  montar(m.red);
  std::filesystem::create_directory(dir.file("bucle.avz"));
  EXPECT_EQ(tornal_test::stop_message([&] { tornal::aplicar_bucles(m); }), "error");
  EXPECT_EQ(tornal_test::log_lines(m), (std::vector<std::string>{EXISTE, "Error en el acceso al archivo BUCLE.AVZ"}));
}

TEST(LoopCuts, IntakesAtTheEndsOfCutReaches) {
  // Intake 4 stands at node 0 and intake 1 at node -999 (as a cut element
  // would); intake 2 stands at node 3, where cut reach 3 started.
  auto preparar = [](Modelo& m) {
    montar(m.red);
    m.red.NUMTOMA(4) = 0;
    m.red.NUMTOMA(1) = -999;
  };
  {
    tornal_test::TempDir dir;
    Modelo m;
    tornal_test::prepare(m, dir.path());
    preparar(m);
    dir.write("bucle.avz", T1 + "\n1\n3\n");
    tornal::aplicar_bucles(m);
    EXPECT_EQ(nudos(m.red).NUMTOMA, (std::vector<int>{-999, 3, 5, -999}));
  }
  {
    // Without a cut reach no intake changes.
    tornal_test::TempDir dir;
    Modelo m;
    tornal_test::prepare(m, dir.path());
    preparar(m);
    dir.write("bucle.avz", CEN + "\n1\n1\n" + RET + "\n1\n1\n");
    tornal::aplicar_bucles(m);
    EXPECT_EQ(nudos(m.red).NUMTOMA, (std::vector<int>{-999, 3, 5, 0}));
  }
}

}  // namespace
