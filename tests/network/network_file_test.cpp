// Tests of the network data file reader: the values of every element kind
// in their fields, the record counter of read errors, the global reach
// numbering, the intakes numbered over the demands and the end of reading.
#include "network/network_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "test_util.h"

namespace {

using tornal::Modelo;
using tornal::Red;
using tornal::trimmed;
using Block = std::vector<std::string>;

// "first first+step ..." with n values.
std::string seq(double first, int n, double step = 1.0) {
  std::string out;
  for (int k = 0; k < n; ++k) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", first + step * k);
    out += (k ? " " : "") + std::string(buf);
  }
  return out;
}

std::string q(const std::string& name) { return "'" + name + "'"; }

struct Toma {
  std::string nombre;
  int nudo;
  int retorno = 0;
};

// A network data file built element by element: each element is a block of
// records (one string each; a record may hold line ends of its own), and
// the header's counts follow the blocks unless `registro5` replaces it.
class RedBuilder {
 public:
  std::vector<Block> embalses, t1, t2, t3, t4, t5, demandas, retornos, centrales, recargas, aportaciones, acuiferos,
      bombeos;
  std::string registro5;
  std::string eol = "\n";

  RedBuilder& embalse(const std::string& nombre, int nudo) {
    embalses.push_back({q(nombre), std::to_string(nudo) + " " + std::to_string(nudo + 100) + " 3 4", "7",
                        "0.1 0.2 0.3 8 9", "50.5", "40.5", seq(101, 12), seq(201, 12), seq(301, 12), seq(500, 10),
                        seq(0.5, 10), seq(600, 10), seq(0.01, 12, 0.01)});
    return *this;
  }
  RedBuilder& tramo1(const std::string& nombre, int ini, int fin) {
    t1.push_back({q(nombre) + " 10.5 1 2", std::to_string(ini) + " " + std::to_string(fin) + " 3 0 0.25", seq(1, 13),
                  seq(901, 12)});
    return *this;
  }
  RedBuilder& tramo2(const std::string& nombre, int ini, int fin) {
    t2.push_back({q(nombre), std::to_string(ini) + " " + std::to_string(fin) + " 1", seq(1, 13), seq(901, 12),
                  "1 2 0.1 0.2 0.3"});
    return *this;
  }
  RedBuilder& tramo3(const std::string& nombre, int ini, int fin, int acuifero = 1) {
    t3.push_back({q(nombre), std::to_string(ini) + " " + std::to_string(fin) + " 1", seq(1, 13), seq(901, 12),
                  std::to_string(acuifero) + " 5 6"});
    return *this;
  }
  RedBuilder& tramo4(const std::string& nombre, int ini, int fin) {
    t4.push_back({q(nombre) + " 99.5", std::to_string(ini) + " " + std::to_string(fin) + " 1 0 0.0", seq(1, 13),
                  seq(901, 12), "100.5 90.5", "C:\\kelmar\\a.dat", "'otro texto' 1 2", "3.5"});
    return *this;
  }
  RedBuilder& tramo5(const std::string& nombre, int ini, int fin) {
    t5.push_back({q(nombre), std::to_string(ini) + " " + std::to_string(fin), "80.5 70.5", "texto", "1", "x/y"});
    return *this;
  }
  RedBuilder& demanda(const std::string& nombre, const std::vector<Toma>& tomas) {
    Block b = {q(nombre), seq(0.1, 12, 0.1), "1 2 3 4 0.5 0.6", "90 80 70 60 50", std::to_string(tomas.size())};
    for (const Toma& t : tomas) {
      b.push_back(q(t.nombre));
      b.push_back(std::to_string(t.nudo) + " 12.5");
      b.push_back("8.6 0.6 0.4");
      b.push_back("1 0 1");
      b.push_back(std::to_string(t.retorno));
      b.push_back(seq(1.01, 12, 0.01));
    }
    demandas.push_back(b);
    return *this;
  }
  RedBuilder& retorno(const std::string& nombre, int nudo) {
    retornos.push_back({q(nombre), std::to_string(nudo)});
    return *this;
  }
  RedBuilder& central(const std::string& nombre, int toma, int reinc, int embalse, double cotamin = 0.0) {
    Block b = {q(nombre), std::to_string(toma) + " " + std::to_string(reinc) + " 0.5 30.5 2", seq(2, 12),
               std::to_string(embalse) + " 45.5 0.8"};
    if (embalse > 0) b.push_back(seq(cotamin, 1));
    centrales.push_back(b);
    return *this;
  }
  RedBuilder& recarga(const std::string& nombre, int nudo) {
    recargas.push_back({q(nombre), std::to_string(nudo) + " 1 2 3.5"});
    return *this;
  }
  RedBuilder& aportacion(const std::string& nombre, int nudo, int columna) {
    aportaciones.push_back({q(nombre), std::to_string(nudo) + " " + std::to_string(columna)});
    return *this;
  }
  RedBuilder& acuifero(const std::string& nombre, int tipo, const Block& resto = {}) {
    Block b = {q(nombre), std::to_string(tipo)};
    b.insert(b.end(), resto.begin(), resto.end());
    acuiferos.push_back(b);
    return *this;
  }
  RedBuilder& bombeo(const std::string& nombre, int acuifero, int nudo) {
    bombeos.push_back({q(nombre), std::to_string(acuifero) + " 2 3 0.5 1.5 " + std::to_string(nudo) + " 4 9.5"});
    return *this;
  }

  std::string text() const {
    std::string out;
    auto put = [&](const std::string& r) { out += r + eol; };
    put("'Cuenca de prueba con un titulo largo de mas de treinta'");
    put("2 2000");
    put("0 0 0 0 0");
    put("'Segundo texto'");
    if (!registro5.empty()) {
      put(registro5);
    } else {
      const std::vector<std::size_t> n = {30,
                                          embalses.size(),
                                          t1.size(),
                                          t2.size(),
                                          t3.size(),
                                          t4.size(),
                                          t5.size(),
                                          aportaciones.size(),
                                          demandas.size(),
                                          centrales.size(),
                                          recargas.size(),
                                          acuiferos.size(),
                                          bombeos.size(),
                                          retornos.size(),
                                          0,
                                          0};
      std::string r;
      for (std::size_t v : n) r += (r.empty() ? "" : " ") + std::to_string(v);
      put(r);
    }
    for (const auto* seccion : {&embalses, &t1, &t2, &t3, &t4, &t5, &demandas, &retornos, &centrales, &recargas,
                                &aportaciones, &acuiferos, &bombeos})
      for (const Block& b : *seccion)
        for (const std::string& r : b) put(r);
    return out;
  }
};

// One reading of a network data file into a fresh model.
struct Lectura : tornal_test::FileReading {
  explicit Lectura(const std::string& contenido, bool brundel = false) {
    m.red.INDMODELOOPTIM = brundel;
    read("red.dat", contenido, [&](const std::string& ruta) { tornal::leer_archivo_fisico(m, ruta); });
  }
  explicit Lectura(const RedBuilder& b, bool brundel = false) : Lectura(b.text(), brundel) {}
  Red& red() { return m.red; }
};

std::vector<std::string> read_error_lines(int counter) {
  return tornal_test::read_error_lines("Error en la lectura del archivo de datos fisicos de Kelmar",
                                       "Numero de linea:", counter);
}

// A basin with one element of every kind.
RedBuilder cuenca_completa() {
  RedBuilder b;
  b.embalse("Embalse Mayor", 2)
      .tramo1("Rio Alto", 1, 2)
      .tramo2("Canal", 2, 3)
      .tramo3("Tramo del Acuifero", 3, 4, 2)
      .tramo4("Trasvase", 4, 5)
      .tramo5("Salto", 5, 6)
      .demanda("Regadio", {{"Toma de la Vega", 3, 1}})
      .retorno("Retorno de la Vega", 5)
      .central("Central", 2, 3, 1, 498.5)
      .recarga("Recarga", 4)
      .aportacion("Aportacion", 1, 4)
      .acuifero("Acuifero", 8)
      .bombeo("Bombeo", 1, 6);
  return b;
}

class NetworkFileLineEnds : public ::testing::TestWithParam<const char*> {};

TEST_P(NetworkFileLineEnds, EveryFieldOfABasinLandsInItsPlace) {
  RedBuilder b = cuenca_completa();
  b.eol = GetParam();
  Lectura l(b);
  ASSERT_EQ(l.parada, "");
  EXPECT_TRUE(tornal_test::log_lines(l.m).empty()) << "the network file writes no success line";
  Red& r = l.red();

  EXPECT_EQ(r.NUMANYOS, 2);
  EXPECT_EQ(r.ANYOINICIAL, 2000);
  EXPECT_EQ(r.NUMNUDOSFIS, 30);
  EXPECT_EQ(r.NUMCONDUCCIONES, 5);

  EXPECT_EQ(r.NOMEMB(1), tornal::padded("Embalse Mayor", 250));
  EXPECT_EQ(r.NUMNUDOEMB(1), 2);
  EXPECT_EQ(r.NUMNUDVERTEMB(1), 102);
  EXPECT_EQ(r.NUMCOLEVEMB(1), 4);
  EXPECT_EQ(r.NUMPRIOREMB(1), 7);
  EXPECT_DOUBLE_EQ(r.COEFINFCEMB(1), 0.3);
  EXPECT_EQ(r.NUMACELEEMB(1), 9);
  EXPECT_DOUBLE_EQ(r.VOLINIEMB(1), 50.5);
  EXPECT_DOUBLE_EQ(r.QMAXSUELEMB(1), 40.5);
  EXPECT_DOUBLE_EQ(r.VMAXEMB(1, 12), 112);
  EXPECT_DOUBLE_EQ(r.VOBJEMB(1, 1), 201);
  EXPECT_DOUBLE_EQ(r.VMIN(1, 12), 312);
  EXPECT_DOUBLE_EQ(r.COTAEMB(1, 10), 509);
  EXPECT_DOUBLE_EQ(r.SUPERFEMB(1, 10), 9.5);
  EXPECT_DOUBLE_EQ(r.VOLEMB(1, 1), 600);
  EXPECT_DOUBLE_EQ(r.EVAP(1, 12), 0.12);

  EXPECT_DOUBLE_EQ(r.VOLMAXCONDT1(1), 10.5);
  EXPECT_EQ(r.TIPORESTRCONDT1(1), 2);
  EXPECT_DOUBLE_EQ(r.COSTCONDT1(1), 0.25);
  EXPECT_DOUBLE_EQ(r.CAUMINCONDT1(1, 12), 12);
  EXPECT_DOUBLE_EQ(r.NIVELFALLQMINCONDT1(1), 13);
  EXPECT_DOUBLE_EQ(r.QMAXCONDT1(1, 12), 912);
  EXPECT_DOUBLE_EQ(r.NIVELFALLOQMINCONDT2(1), 13);
  EXPECT_DOUBLE_EQ(r.COEFCCONDT2(1), 0.3);
  EXPECT_DOUBLE_EQ(r.NUMACUCONDT3(1), 2);
  EXPECT_DOUBLE_EQ(r.NUMACCELEMCONDT3(1), 6);
  EXPECT_DOUBLE_EQ(r.QMAXANUCONDT4(1), 99.5);
  EXPECT_DOUBLE_EQ(r.QMAXCONDT4(1, 12), 912);
  EXPECT_DOUBLE_EQ(r.COTASALCONDT4(1), 90.5);
  EXPECT_DOUBLE_EQ(r.COTAENTRCONDT5(1), 80.5);
  EXPECT_DOUBLE_EQ(r.COTASALCONDT5(1), 70.5);
  EXPECT_EQ(r.CONDUCCIONES(5, 1), 5);
  EXPECT_EQ(r.CONDUCCIONES(5, 2), 6);
  EXPECT_EQ(trimmed(r.NOMCONDUCC(5)), "Salto");

  EXPECT_DOUBLE_EQ(r.DEMMENS(1, 12), 1.2);
  EXPECT_EQ(r.PARCTRLCOMBDEM(1), 4);
  EXPECT_DOUBLE_EQ(r.QMAXBOMBDEM(1), 0.6);
  EXPECT_DOUBLE_EQ(r.GARANTIASDEM(1, 5), 50);
  EXPECT_DOUBLE_EQ(r.GARANTIASDEM(1, 6), 0);
  EXPECT_EQ(r.NUMTOMASDEM(1), 1);
  EXPECT_EQ(r.NUMTOMAS, 1);
  EXPECT_EQ(r.NUMTOMA(1), 3);
  EXPECT_DOUBLE_EQ(r.COTATOMA(1), 12.5);
  EXPECT_DOUBLE_EQ(r.COEFRETTOMA(1), 0.6);
  EXPECT_EQ(r.INDALARTOMAB(1), 1);
  EXPECT_EQ(r.NUMRETTOMA(1), 1);
  EXPECT_DOUBLE_EQ(r.PUNTAMENSTOMA(1, 12), 1.12);

  EXPECT_EQ(trimmed(r.NOMRET(1)), "Retorno de la Vega");
  EXPECT_EQ(r.NUDORET(1), 5);
  EXPECT_EQ(r.NUDTOMACEN(1), 2);
  EXPECT_EQ(r.NUDREINCEN(1), 3);
  EXPECT_EQ(r.PRIORCENT(1), 2);
  EXPECT_DOUBLE_EQ(r.QOBJCEN(1, 12), 13);
  EXPECT_EQ(r.NUMEMBCEN(1), 1);
  EXPECT_DOUBLE_EQ(r.COEFPRODCEN(1), 0.8);
  EXPECT_DOUBLE_EQ(r.COTAMIN(1), 498.5);
  EXPECT_EQ(r.NUDOREC(1), 4);
  EXPECT_DOUBLE_EQ(r.QMAXREC(1), 3.5);
  EXPECT_EQ(r.NUDOAPO(1), 1);
  EXPECT_EQ(r.COLAPO(1), 4);
  EXPECT_EQ(trimmed(r.NOMACU(1)), "Acuifero");
  EXPECT_EQ(r.TIPOACU(1), 8);
  EXPECT_EQ(r.ACUBOMB(1), 1);
  EXPECT_DOUBLE_EQ(r.QMAXBOMB(1), 1.5);
  EXPECT_EQ(r.NUDOBOMB(1), 6);
  EXPECT_EQ(r.PRIORBOMB(1), 4);
  EXPECT_DOUBLE_EQ(r.MAXSUMBOMB(1), 9.5);

  EXPECT_EQ(r.NUMTOMASFIS, 1);
  EXPECT_EQ(r.NUMDEMANDASFIS, 1);
  EXPECT_EQ(r.NUMDEMANDAS, 1);
}

INSTANTIATE_TEST_SUITE_P(LfAndCrLf, NetworkFileLineEnds, ::testing::Values("\n", "\r\n"));

// Layouts of the same records over lines: every row gives the model of the
// plain layout.
TEST(NetworkFile, RecordsOverSeveralLinesGiveTheSameValues) {
  struct Caso {
    const char* nombre;
    std::function<void(RedBuilder&)> cambio;
  };
  const std::vector<Caso> casos = {
      {"curve on one line", [](RedBuilder&) {}},
      {"curve on ten lines",
       [](RedBuilder& b) { b.embalses[0][9] = "500\n501\n502\n503\n504\n505\n506\n507\n508\n509"; }},
      {"curve on 6 and 4", [](RedBuilder& b) { b.embalses[0][9] = "500 501 502 503 504 505\n506 507 508 509"; }},
      {"curve with commas and a blank line",
       [](RedBuilder& b) { b.embalses[0][9] = "500,501,502,503,504\n\n  505, 506 507 508 509"; }},
      {"record 2 with a fifth integer", [](RedBuilder& b) { b.embalses[0][1] = "2 102 3 4 99"; }},
      {"record 2 taking its fourth from the next line", [](RedBuilder& b) { b.embalses[0][1] = "2 102 3\n4"; }},
      {"blank lines between records", [](RedBuilder& b) { b.embalses[0][4] = "\n\n50.5"; }},
      {"13 values of a reach over two lines", [](RedBuilder& b) { b.t1[0][2] = "1 2 3 4 5 6 7\n8 9 10 11 12 13 777"; }},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nombre);
    RedBuilder b;
    b.embalse("E", 2).tramo1("T", 1, 2);
    c.cambio(b);
    Lectura l(b);
    ASSERT_EQ(l.parada, "");
    Red& r = l.red();
    EXPECT_EQ(r.NUMNUDOEMB(1), 2);
    EXPECT_EQ(r.NUMNUDVERTEMB(1), 102);
    EXPECT_EQ(r.NUMCOLAPOREMB(1), 3);
    EXPECT_EQ(r.NUMCOLEVEMB(1), 4);
    EXPECT_EQ(r.NUMPRIOREMB(1), 7);
    EXPECT_DOUBLE_EQ(r.VOLINIEMB(1), 50.5);
    for (int j = 1; j <= 10; ++j) EXPECT_DOUBLE_EQ(r.COTAEMB(1, j), 499 + j);
    EXPECT_DOUBLE_EQ(r.SUPERFEMB(1, 1), 0.5);
    EXPECT_DOUBLE_EQ(r.EVAP(1, 12), 0.12);
    EXPECT_DOUBLE_EQ(r.NIVELFALLQMINCONDT1(1), 13);
    EXPECT_DOUBLE_EQ(r.QMAXCONDT1(1, 1), 901);
    EXPECT_EQ(r.CONDUCCIONES(1, 2), 2);
  }
}

TEST(NetworkFile, ReachesAreNumberedTogetherByType) {
  struct Caso {
    std::vector<int> por_tipo;
    std::vector<int> tipos;
  };
  const std::vector<Caso> casos = {
      {{1, 1, 0, 1, 1}, {1, 2, 4, 5}},
      {{2, 0, 1, 0, 2}, {1, 1, 3, 5, 5}},
      {{0, 0, 0, 0, 0}, {}},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(::testing::PrintToString(c.por_tipo));
    RedBuilder b;
    int n = 0;
    for (int tipo = 1; tipo <= 5; ++tipo) {
      for (int i = 0; i < c.por_tipo[static_cast<std::size_t>(tipo - 1)]; ++i) {
        ++n;
        const std::string nombre = "R" + std::to_string(n);
        const int ini = 10 * n + 1;
        const int fin = 10 * n + 2;
        if (tipo == 1) b.tramo1(nombre, ini, fin);
        if (tipo == 2) b.tramo2(nombre, ini, fin);
        if (tipo == 3) b.tramo3(nombre, ini, fin);
        if (tipo == 4) b.tramo4(nombre, ini, fin);
        if (tipo == 5) b.tramo5(nombre, ini, fin);
      }
    }
    b.retorno("Ret", 7);  // the section after the reaches is still in step
    Lectura l(b);
    ASSERT_EQ(l.parada, "");
    Red& r = l.red();
    ASSERT_EQ(r.NUMCONDUCCIONES, static_cast<int>(c.tipos.size()));
    for (int k = 1; k <= r.NUMCONDUCCIONES; ++k) {
      EXPECT_EQ(r.CONDUCCIONES(k, 1), 10 * k + 1);
      EXPECT_EQ(r.CONDUCCIONES(k, 2), 10 * k + 2);
      EXPECT_EQ(r.CONDUCCIONES(k, 3), c.tipos[static_cast<std::size_t>(k - 1)]);
      EXPECT_EQ(r.NOMCONDUCC(k), tornal::padded("R" + std::to_string(k), 250));
    }
    EXPECT_EQ(r.NUDORET(1), 7);
  }
}

TEST(NetworkFile, ReadErrorsReportTheNumberOfTheFailingRecord) {
  struct Caso {
    const char* nombre;
    std::function<RedBuilder()> fichero;
    int contador;
  };
  const std::vector<Caso> casos = {
      {"record 3 of the first type-2 reach after 2 reservoirs and 3 type-1 reaches",
       [] {
         RedBuilder b;
         b.embalse("E1", 1).embalse("E2", 2).tramo1("A", 1, 2).tramo1("B", 2, 3).tramo1("C", 3, 4).tramo2("D", 4, 5);
         b.t2[0][2] = "1 2 3 x 5 6 7 8 9 10 11 12 13";
         return b;
       },
       46},
      {"record 2 of the first return after one demand with one intake",
       [] {
         RedBuilder b;
         b.embalse("E", 1).demanda("D", {{"T", 1}}).retorno("R", 2);
         b.retornos[0][1] = "x";
         return b;
       },
       31},
      {"unquoted type-1 reach name, no reservoirs",
       [] {
         RedBuilder b;
         b.tramo1("A", 1, 2);
         b.t1[0][0] = "Rio Alto 100 1 2";
         return b;
       },
       6},
      {"unquoted type-1 reach name after 2 reservoirs",
       [] {
         RedBuilder b;
         b.embalse("E1", 1).embalse("E2", 2).tramo1("A", 1, 2);
         b.t1[0][0] = "Rio Alto 100 1 2";
         return b;
       },
       5 + 13 * 2 + 1},
      {"decimal point in an integer of reservoir record 2",
       [] {
         RedBuilder b;
         b.embalse("E", 1);
         b.embalses[0][1] = "2 3.0 1 1";
         return b;
       },
       7},
      {"type-5 reach after a type-4 reach: its 3 closing records count",
       [] {
         RedBuilder b;
         b.tramo4("A", 1, 2).tramo5("B", 2, 3);
         b.t5[0][1] = "2 x";
         return b;
       },
       5 + 8 + 2},
      {"blank lines before a closing record do not count",
       [] {
         RedBuilder b;
         b.tramo4("A", 1, 2).tramo5("B", 2, 3);
         b.t4[0][6] = "\n   \n" + b.t4[0][6];
         b.t5[0][1] = "2 x";
         return b;
       },
       5 + 8 + 2},
      {"a demand without intakes takes 5 records",
       [] {
         RedBuilder b;
         b.demanda("D1", {}).demanda("D2", {});
         b.demandas[1][1] = "x";
         return b;
       },
       5 + 5 + 2},
      {"a demand with 2 intakes takes 17 records",
       [] {
         RedBuilder b;
         b.demanda("D", {{"T1", 1}, {"T2", 2}}).retorno("R", 3);
         b.retornos[0][1] = "x";
         return b;
       },
       5 + 17 + 2},
      {"an error in the second intake of the second demand",
       [] {
         RedBuilder b;
         b.demanda("D1", {{"T1", 1}}).demanda("D2", {{"T2", 2}, {"T3", 3}});
         b.demandas[1][5 + 6 + 3] = "1 x 0";
         return b;
       },
       5 + 11 + 5 + 6 + 4},
      {"a plant without a reservoir takes 4 records",
       [] {
         RedBuilder b;
         b.central("C", 1, 2, 0).aportacion("A", 1, 1);
         b.aportaciones[0][1] = "x 1";
         return b;
       },
       5 + 4 + 2},
      {"a plant with a reservoir takes 5 records",
       [] {
         RedBuilder b;
         b.central("C", 1, 2, 3, 400).aportacion("A", 1, 1);
         b.aportaciones[0][1] = "x 1";
         return b;
       },
       5 + 5 + 2},
      {"a negative number of intakes of a demand",
       [] {
         RedBuilder b;
         b.demanda("D", {});
         b.demandas[0][4] = "-1";
         return b;
       },
       5 + 5},
      // A count that announces more records than the rest of the file holds
      // is the error of the record that holds it.
      {"a reservoir cut short: the count of record 5",
       [] {
         RedBuilder b;
         b.embalse("E", 1);
         b.embalses[0].resize(10);
         b.embalses[0][9] = "500 501 502 503 504 505";
         return b;
       },
       5},
      {"end of file inside a curve record that blank lines hide from the count",
       [] {
         RedBuilder b;
         b.embalse("E", 1);
         b.embalses[0].resize(10);
         b.embalses[0][9] = "500 501 502 503 504 505\n\n\n\n";
         return b;
       },
       5 + 10},
      {"end of file before the last record of the last pumping element",
       [] {
         RedBuilder b;
         b.acuifero("A", 8).bombeo("B", 1, 2);
         b.bombeos[0].pop_back();
         return b;
       },
       5},
      {"end of file before a closing record of a type-5 reach",
       [] {
         RedBuilder b;
         b.tramo5("A", 1, 2);
         b.t5[0].pop_back();
         return b;
       },
       5},
      {"end of file before the intake that NUMTOMASDEM announces",
       [] {
         RedBuilder b;
         b.demanda("D", {{"T1", 1}});
         b.demandas[0][4] = "2";
         return b;
       },
       5 + 5},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nombre);
    Lectura l(c.fichero());
    EXPECT_EQ(l.parada, "error");
    EXPECT_EQ(tornal_test::log_lines(l.m), read_error_lines(c.contador));
  }
}

// Counts are bounded where they are read, before any array is sized by them,
// and element references are checked at their record: each fault is the
// read error of the record that holds it, never an exhausted memory, an
// overflow or an index error later in the run.
TEST(NetworkFile, CountsAndReferencesAreCheckedWhereTheyAreRead) {
  struct Caso {
    const char* nombre;
    std::function<std::string()> fichero;
    int filas_resultados;  // lines of the monthly results file; -1: no such file
    int contador;          // 0: read
  };
  auto con_cabecera = [](const std::string& registro2, const std::string& registro5) {
    RedBuilder b;
    std::string t = b.text();
    t.replace(t.find("2 2000"), 6, registro2);
    if (!registro5.empty()) {
      const std::size_t p = t.find("\n30 ");
      t.replace(p + 1, t.find('\n', p + 1) - p - 1, registro5);
    }
    return t;
  };
  const std::string ceros = " 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0";
  const std::vector<Caso> casos = {
      {"a negative NUMANYOS", [&] { return con_cabecera("-1 2000", ""); }, -1, 2},
      {"no months: read", [&] { return con_cabecera("0 2000", ""); }, 0, 0},
      {"NUMANYOS that the results file holds", [&] { return con_cabecera("2 2000", ""); }, 24, 0},
      // Years beyond the rows of the results file are that file's read error
      // (comprobar_filas_resultados), not this file's.
      {"NUMANYOS beyond the rows of the results file: read", [&] { return con_cabecera("3 2000", ""); }, 35, 0},
      {"NUMANYOS of ten million: read", [&] { return con_cabecera("10000000 2000", ""); }, 24, 0},
      {"months beyond the integer range", [&] { return con_cabecera("178956971 2000", ""); }, 24, 2},
      {"months beyond the integer range, no results file", [&] { return con_cabecera("178956971 2000", ""); }, -1, 2},
      {"the most months of an integer, no results file: read", [&] { return con_cabecera("178956970 2000", ""); }, -1,
       0},
      {"ten million reservoirs", [&] { return con_cabecera("2 2000", "30 10000000" + ceros.substr(2)); }, -1, 5},
      {"five reach counts whose sum overflows 32 bits",
       [&] {
         return con_cabecera("2 2000", "30 0 2147483647 2147483647 2147483647 2147483647 2147483647 0 0 0 0 0 0 0 0 0");
       },
       -1, 5},
      {"a number of intakes far beyond the file",
       [] {
         RedBuilder b;
         b.demanda("D", {});
         b.demandas[0][4] = "100000000";
         return b.text();
       },
       -1, 5 + 5},
      {"an intake whose return does not exist",
       [] {
         RedBuilder b;
         b.demanda("D", {{"T1", 1, 2}}).retorno("R", 3);
         return b.text();
       },
       -1, 5 + 5 + 5},
      {"an intake with a negative return",
       [] {
         RedBuilder b;
         b.demanda("D", {{"T1", 1, -1}});
         return b.text();
       },
       -1, 5 + 5 + 5},
      {"an intake that returns to the last return: read",
       [] {
         RedBuilder b;
         b.demanda("D", {{"T1", 1, 2}}).retorno("R1", 3).retorno("R2", 4);
         return b.text();
       },
       -1, 0},
      {"a pumping element of an aquifer that does not exist",
       [] {
         RedBuilder b;
         b.acuifero("A", 8).bombeo("B", 2, 6);
         return b.text();
       },
       -1, 5 + 2 + 2},
      {"a pumping element of aquifer 0",
       [] {
         RedBuilder b;
         b.acuifero("A", 8).bombeo("B", 0, 6);
         return b.text();
       },
       -1, 5 + 2 + 2},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nombre);
    tornal_test::TempDir dir;
    Modelo m;
    tornal_test::prepare(m, dir.path());
    if (c.filas_resultados >= 0) {
      std::string filas;
      for (int k = 0; k < c.filas_resultados; ++k) filas += "0 0 0\n";
      m.conf.PATHARCHIVO2 = tornal::padded(dir.write("resultados.dat", filas), tornal::LONGRUTA);
    }
    const std::string ruta = dir.write("red.dat", c.fichero());
    const std::string parada = tornal_test::stop_message([&] { tornal::leer_archivo_fisico(m, ruta); });
    if (c.contador == 0) {
      EXPECT_EQ(parada, "");
    } else {
      EXPECT_EQ(parada, "error");
      EXPECT_EQ(tornal_test::log_lines(m), read_error_lines(c.contador));
    }
  }
}

TEST(NetworkFile, HeaderReadErrorsAndEndsOfFile) {
  struct Caso {
    const char* nombre;
    std::string contenido;
    int contador;
  };
  const std::string r5 = "30 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0";
  const std::vector<Caso> casos = {
      {"empty file", "", 1},
      {"only blank lines", "\n\n  \n", 1},
      {"decimal point in NUMANYOS", "'T'\n2.0 2000\n", 2},
      {"letters in record 3", "'T'\n2 2000\n0 0 x 0 0\n", 3},
      {"end of file after the title", "'T'\n", 2},
      {"record 5 one count short", "'T'\n2 2000\n0 0 0 0 0\n'S'\n30 0 0 0 0 0 0 0 0 0 0 0 0 0 0\n", 5},
      {"header only, no sections: read", "'T'\n2 2000\n0 0 0 0 0\n'S'\n" + r5 + "\n", 0},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nombre);
    Lectura l(c.contenido);
    if (c.contador == 0) {
      EXPECT_EQ(l.parada, "");
      EXPECT_TRUE(l.m.log.lines().empty());
      EXPECT_EQ(l.red().NUMTOMA.size(), 0);
      continue;
    }
    EXPECT_EQ(l.parada, "error");
    EXPECT_EQ(tornal_test::log_lines(l.m), read_error_lines(c.contador));
  }
}

TEST(NetworkFile, NegativeHeaderCountIsAReadErrorOfRecord5) {
  for (int posicion = 0; posicion < 14; ++posicion) {
    SCOPED_TRACE(posicion);
    std::string r5;
    for (int v = 0; v < 16; ++v) r5 += (v ? " " : "") + std::string(v == posicion ? "-1" : "1");
    RedBuilder b;
    b.registro5 = r5;
    Lectura l(b);
    EXPECT_EQ(l.parada, "error");
    EXPECT_EQ(tornal_test::log_lines(l.m), read_error_lines(5));
  }
}

// Aquifer groups followed by a pumping element whose record 2 fails: the
// counter shows how many records the aquifer took.
TEST(NetworkFile, AquiferTypeDecidesItsNumberOfRecords) {
  struct Caso {
    int tipo;
    Block resto;
    int registros;
  };
  const std::string d = "'linea descartada' 1 2";
  const std::vector<Caso> casos = {
      {8, {}, 2},
      {0, {}, 2},
      {-3, {}, 2},
      {1, {"0 2 0", d, d, d, d, d, d, d}, 10},
      {1, {"9 1 2", d, d, d, d, d, d, d, d, d}, 12},
      {1, {"0 -3 1", d, d, d, d, d}, 8},
      {2, {d, d}, 4},
      {3, {d, d, d}, 5},
      {4, {d, d, d}, 5},
      {5, {"1", d, d, d, d, d}, 8},
      {6, {"2", d, d, d, d, d, d, d}, 10},
      {7, {"4 0", d, d, d}, 6},
      {7, {"0 1", d, d, d, "x", "5.5/"}, 8},
      {11, {d, "/", ",", d}, 6},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.tipo);
    SCOPED_TRACE(c.registros);
    RedBuilder b;
    b.acuifero("A", c.tipo, c.resto).bombeo("B", 1, 2);
    b.bombeos[0][1] = "1 2 x";
    Lectura l(b);
    EXPECT_EQ(l.parada, "error");
    EXPECT_EQ(tornal_test::log_lines(l.m), read_error_lines(5 + c.registros + 2));
  }
}

TEST(NetworkFile, IntakesAreNumberedOverAllDemands) {
  struct Caso {
    std::vector<int> tomas_por_demanda;
  };
  const std::vector<Caso> casos = {
      {{2, 3}},     {{7, 0}}, {{0, 0, 4}}, {{8}},  // more than 5 times the number of demands: all are held
      {{3, 12, 0}}, {{}},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(::testing::PrintToString(c.tomas_por_demanda));
    RedBuilder b;
    int k = 0;
    int total = 0;
    for (std::size_t d = 0; d < c.tomas_por_demanda.size(); ++d) {
      std::vector<Toma> tomas;
      for (int j = 0; j < c.tomas_por_demanda[d]; ++j) {
        ++k;
        tomas.push_back({"Toma " + std::to_string(k) + " de la demanda " + std::to_string(d + 1), 100 + k, k});
      }
      total += c.tomas_por_demanda[d];
      b.demanda("D" + std::to_string(d + 1), tomas);
    }
    for (int n = 0; n < std::max(total, 1); ++n) b.retorno("R" + std::to_string(n + 1), 9);
    Lectura l(b);
    ASSERT_EQ(l.parada, "");
    Red& r = l.red();
    EXPECT_EQ(r.NUMTOMAS, total);
    EXPECT_EQ(r.NUMTOMASFIS, total);
    ASSERT_EQ(r.NUMTOMA.size(), total);
    ASSERT_EQ(r.PUNTAMENSTOMA.size(1), total);
    k = 0;
    for (std::size_t d = 0; d < c.tomas_por_demanda.size(); ++d) {
      EXPECT_EQ(r.NUMTOMASDEM(static_cast<int>(d + 1)), c.tomas_por_demanda[d]);
      for (int j = 0; j < c.tomas_por_demanda[d]; ++j) {
        ++k;
        EXPECT_EQ(r.NUMTOMA(k), 100 + k);
        EXPECT_EQ(r.NUMRETTOMA(k), k);
        EXPECT_EQ(r.NOMTOMA(k),
                  tornal::padded("Toma " + std::to_string(k) + " de la demanda " + std::to_string(d + 1), 250));
      }
    }
    EXPECT_EQ(r.NUDORET(1), 9);
  }
}

TEST(NetworkFile, NamesKeepTheirLength) {
  const std::string largo(260, 'n');
  const std::string toma40 = "Toma con un nombre de cuarenta letras xx";
  ASSERT_EQ(toma40.size(), 40u);
  RedBuilder b;
  b.embalse(largo, 1).demanda("D", {{toma40, 3}}).retorno("R\xEDo abajo", 4);
  b.demandas[0][0] = "Regadio de la Vega";  // unquoted: its first word, the rest of the line ignored
  Lectura l(b);
  ASSERT_EQ(l.parada, "");
  Red& r = l.red();
  EXPECT_EQ(r.NOMEMB(1), largo.substr(0, 250));
  EXPECT_EQ(r.NOMTOMA(1), tornal::padded(toma40.substr(0, 30), 250));
  EXPECT_EQ(r.NOMTOMA(1).size(), 250u);
  EXPECT_EQ(r.NOMDEM(1), tornal::padded("Regadio", 250));
  EXPECT_DOUBLE_EQ(r.DEMMENS(1, 1), 0.1);
  EXPECT_EQ(r.NOMRET(1), tornal::padded("R\xEDo abajo", 250));
}

TEST(NetworkFile, SlashEndsARecordAndLeavesTheRestAtZero) {
  RedBuilder b;
  b.embalse("E", 1);
  b.embalses[0][6] = "1 2 3 / 4 5 6 7 8 9 10 11 12";
  Lectura l(b);
  ASSERT_EQ(l.parada, "");
  EXPECT_DOUBLE_EQ(l.red().VMAXEMB(1, 3), 3);
  EXPECT_DOUBLE_EQ(l.red().VMAXEMB(1, 4), 0);
  EXPECT_DOUBLE_EQ(l.red().VOBJEMB(1, 1), 201);
}

TEST(NetworkFile, OptimisationModelDataSwitchOffDemandsAndIntakes) {
  for (bool brundel : {true, false}) {
    SCOPED_TRACE(brundel);
    tornal_test::TempDir dir;
    Modelo m;
    tornal_test::prepare(m, dir.path());
    RedBuilder b;
    b.demanda("D1", {{"T1", 1}, {"T2", 2}})
        .demanda("D2", {{"T3", 3}, {"T4", 4}, {"T5", 5}})
        .demanda("D3", {{"T6", 6}, {"T7", 7}, {"T8", 8}, {"T9", 9}})
        .demanda("D4", {});
    const std::string red = dir.write("red.dat", b.text());
    const std::string xml = dir.write("red.xml", brundel ? "<KELMAR>\n  <BRUNDEL>\n</KELMAR>\n" : "<KELMAR>\n");
    ASSERT_EQ(tornal_test::stop_message([&] { tornal::LEERARCHFISSUB(m, red, xml); }), "");
    EXPECT_EQ(tornal_test::log_lines(m),
              std::vector<std::string>{tornal::latin1("Lectura de archivo de KELMAR_ XML realizada con éxito")});
    const Red& r = m.red;
    EXPECT_EQ(r.INDMODELOOPTIM, brundel);
    EXPECT_EQ(r.NUMDEMANDASFIS, 4);
    EXPECT_EQ(r.NUMTOMASFIS, 9);
    EXPECT_EQ(r.NUMDEMANDAS, brundel ? 0 : 4);
    EXPECT_EQ(r.NUMTOMAS, brundel ? 0 : 9);
    EXPECT_EQ(r.NOMDEM.size(), 4);
    EXPECT_EQ(r.NUMTOMA.size(), 9);
    EXPECT_EQ(r.NUMTOMA(9), 9);
    EXPECT_EQ(trimmed(r.NOMDEM(4)), "D4");
  }
}

TEST(NetworkFile, MissingFileIsAnAccessError) {
  tornal_test::TempDir dir;
  Modelo m;
  tornal_test::prepare(m, dir.path());
  EXPECT_EQ(tornal_test::stop_message([&] { tornal::leer_archivo_fisico(m, dir.file("no_existe.dat") + "   "); }),
            "error");
  EXPECT_EQ(tornal_test::log_lines(m),
            std::vector<std::string>{"Error en el acceso al archivo de datos fisicos de Kelmar"});
}

TEST(NetworkFile, PathWithTrailingBlanksIsOpened) {
  tornal_test::TempDir dir;
  Modelo m;
  tornal_test::prepare(m, dir.path());
  RedBuilder b;
  b.retorno("R", 3);
  const std::string ruta = tornal::padded(dir.write("red.dat", b.text()), 255);
  EXPECT_EQ(tornal_test::stop_message([&] { tornal::leer_archivo_fisico(m, ruta); }), "");
  EXPECT_EQ(m.red.NUDORET(1), 3);
}

}  // namespace
