// The coefficients file: every value in its place in both layouts, the
// defaults, the tag rules, repeated sections, the statement counter of the
// read errors, the ends of file that end the reading, the heat-balance stop
// and the refused zero unit factors; the thetas after the record of thetas.
#include "quality_input/coefficients_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <span>
#include <string>
#include <vector>

#include "common/latin1.h"
#include "test_util.h"

using tornal::Calidad;
using tornal::Modelo;

namespace {

const char* const EXITO = "Lectura de archivo de coeficientes realizada con éxito";
const char* const BALANCE = "Para modelar la temperatura por balance actualice el archivo de coeficientes";

// The options of the quality data file and the elements of the network.
struct Opciones {
  int T = 0, MT = 0, O = 0, N = 0, F = 0;
  int NC = 0, NE = 0, N1 = 0;  // reaches, reservoirs, first-order pollutants
  double KAEMB = 0.0;          // of every reservoir
};

struct Lectura : tornal_test::FileReading {
  Lectura(const std::string& contenido, int NUMVERSION, Opciones o = {},
          std::span<const tornal::TectaCinetica> tectas = tornal::TECTASCINETICAS) {
    m.cal.OPCIONTEMPERATURA = o.T;
    m.cal.MODELOTEMPERATURA = o.MT;
    m.cal.OPCIONOXIGENO = o.O;
    m.cal.OPCIONNITROGENO = o.N;
    m.cal.OPCIONFITOPLANCTON = o.F;
    m.red.NUMCONDUCCIONES = o.NC;
    m.red.NUMEMBALSES = o.NE;
    m.cal.NUMCONT1OR = o.N1;
    m.cal.KAEMB.resize_filled(o.KAEMB, o.NE);
    read("coeficientes.dat", contenido, [&](const std::string& ruta) {
      tornal::leer_coeficientes(m, tornal::padded(ruta, tornal::LONGRUTA), NUMVERSION, tectas);
    });
  }
};

std::vector<std::string> lineas_error(long n) {
  return tornal_test::read_error_lines("Error en la lectura del archivo de coeficientes",
                                       "Error en la linea numero:", n);
}

const std::vector<std::string> LOG_EXITO = {tornal::latin1(EXITO)};

// Where the thetas start among the values of todos().
constexpr std::size_t PRIMERATECTA = 14;

// Every coefficient, in a fixed order, integers as reals.
std::vector<double> todos(const Calidad& c) {
  std::vector<double> v = {c.FACTORVOLUMEN, c.DIVISORUNIDADES, c.FACTORUNIDADES, c.ERRORCONC};
  auto add = [&](const tornal::Array1<double>& a, int n) {
    for (int i = 1; i <= n; ++i) v.push_back(a(i));
  };
  add(c.CARACTERISTICASDELAGUA, 2);
  add(c.DISPEMB, 2);
  v.push_back(c.NUMMAXITERCOND);
  add(c.REAICOND, 2);
  add(c.REAIEMB, 3);
  add(c.TECTAOD, static_cast<int>(c.TECTAOD.size()));
  add(c.STECHIO, 6);
  add(c.UNIDADESESTEQUIOMETRICAS, 5);
  add(c.OSAT, 3);
  v.push_back(c.COEFTETERMOCLINA);
  add(c.CTELIMITACIONNUTRIENTES, 5);
  add(c.FACTORPREFERENCIA, 2);
  v.push_back(c.OPCIONBALANCES);
  add(c.CONSTANTESMODTEMPERATURA, 5);
  v.push_back(c.EAIOPCIONHRR);
  v.push_back(c.FITOENELHIPO);
  v.push_back(c.FLUJOSEDIMENTOSNOANOXIA);
  v.push_back(c.ACUMULACIONRESULTADOSPARCIALES(1));
  v.push_back(c.ACUMULACIONRESULTADOSPARCIALES(2));
  return v;
}

// The values of the complete files below, in the order of todos(), without
// the two of ACUMULACIONRESULTADOSPARCIALES; the thetas after the record of
// thetas at their defaults.
std::vector<double> esperados() {
  // clang-format off
  std::vector<double> v = {1000, 30.5, 1000 / 30.5,  // units and the flow factor
          1e-6,                                       // error
          1000, 4186,                                 // water
          0.5, -1.5,                                  // reservoir dispersion
          75, 0.1, 0.2,                               // reaches
          0.6, 0.03, 2,                               // reservoirs
          1.024, 1.047, 1.02, 1.08, 1.045, 1.066, 1.081, 1.07,  // thetas
          4.57, 2.67, 1.6, 1.4, 0.07, 0.01,           // stoichiometric ratios
          0.23, 1.1, 1.2, 1.3, 1.4,                   // stoichiometric unit factors
          14.6, 0.4, 0.008,                           // saturation
          0.8,                                        // thermocline
          0.5, 0.6, 0.025, 0.005, 0.3,                // half-saturation constants
          0.7, 0.4,                                   // preference factors
          1,                                          // balances option
          5.67e-8, 0.97, 9.2, 0.46, 2, 1,             // heat-balance constants, EAIOPCIONHRR
          0.5,                                        // phytoplankton in the hypolimnion
          1};                                         // sediment fluxes without anoxia
  // clang-format on
  const std::size_t n = PRIMERATECTA + tornal::TECTASREGISTRO;
  for (int t = tornal::TECTASREGISTRO; t < tornal::NUMTECTAS; ++t)
    v.insert(v.begin() + static_cast<long>(n) + (t - tornal::TECTASREGISTRO), tornal::TECTASCINETICAS[t].defecto);
  return v;
}

// The records of a complete fixed-layout file (38 records). Headings hold
// numbers, so that a heading read as values shifts what follows; record 16
// runs over two lines.
std::vector<std::string> registros_fijos() {
  const std::string h = "9 9 9";
  return {"Coeficientes",
          h,
          "1000 30.5",
          h,
          "1e-6",
          h,
          "1000 4186",
          h,
          "0.5 -1.5",
          h,
          h,
          "75 0.1 0.2",
          h,
          "0.6 0.03 2",
          h,
          "1.024 1.047 1.02 1.08\n1.045 1.066 1.081 1.07",
          h,
          "4.57 2.67 1.6 1.4 0.07 0.01",
          h,
          "0.23 1.1 1.2 1.3 1.4",
          h,
          "14.6 0.4 0.008",
          h,
          "0.8",
          h,
          "0.5 0.6 0.025 0.005 0.3",
          h,
          "0.7 0.4",
          h,
          "1",
          h,
          "5.67e-8 0.97 9.2 0.46 2",
          h,
          "1",
          h,
          "0.5",
          h,
          "1"};
}

// The first n records of the fixed layout, with record r replaced when given.
std::string fijo(std::size_t n, std::size_t r = 0, const std::string& registro = "") {
  std::vector<std::string> l = registros_fijos();
  if (r > 0) l[r - 1] = registro;
  std::string s;
  for (std::size_t i = 0; i < n; ++i) s += l[i] + "\n";
  return s;
}

// A complete tagged file, its sections out of order with text between them.
const std::string ETIQUETADO =
    "Archivo de coeficientes, version 1.2\n"
    "<TECTAS>\n1.024 1.047 1.02 1.08 1.045 1.066 1.081 1.07\n"
    "Texto libre 3 4\n\n"
    "<UNIDADES>\n1000 30.5\n"
    "<ACUMULACIONRESULTADOSPARCIALES>\n2 3\n"
    "<ERROR>\n1e-6\n"
    "<CARACTERISTICASDELAGUA>\n1000 4186\n"
    "<DISPERSIONEMBALSES>\n0.5 -1.5\n"
    "<CONDUCCIONES>\n75 0.1 0.2\n"
    "<EMBALSES>\n0.6 0.03 2\n"
    "<ESTEQUIMETRICOS>\n4.57 2.67 1.6 1.4 0.07 0.01\n"
    "<UNIDADESESTEQUIOMETRICAS>\n0.23 1.1 1.2 1.3 1.4\n"
    "<OSAT>\n14.6 0.4 0.008\n"
    "<COEFTETERMOCLINA>\n0.8\n"
    "<CTELIMITACIONNUTRIENTES>\n0.5 0.6 0.025 0.005 0.3\n"
    "<FACTORPREFERENCIA>\n0.7 0.4\n"
    "<OPCIONBALANCES>\n1\n"
    "<CONSTANTESMODTEMPERATURA>\n5.67e-8 0.97 9.2 0.46 2\n1\n"
    "<FITOENELHIPO>\n0.5\n"
    "<FLUJOSEDIMENTOSNOANOXIA>\n1\n";

const std::string UNIDADES = "<UNIDADES>\n1000 86400\n";

void comparar(const std::vector<double>& obtenidos, const std::vector<double>& esperados) {
  ASSERT_EQ(obtenidos.size(), esperados.size());
  for (std::size_t i = 0; i < esperados.size(); ++i) EXPECT_DOUBLE_EQ(obtenidos[i], esperados[i]) << "value " << i;
}

TEST(CoefficientsFile, OnlyUnitsGivesDefaultsAndZeros) {
  Lectura l(UNIDADES, 12);
  ASSERT_EQ(l.parada, "");
  EXPECT_EQ(l.log(), LOG_EXITO);
  std::vector<double> e(todos(l.m.cal).size(), 0.0);
  e[0] = 1000;
  e[1] = 86400;
  e[2] = 1000.0 / 86400.0;
  for (int t = 0; t < tornal::NUMTECTAS; ++t) e[PRIMERATECTA + t] = tornal::TECTASCINETICAS[t].defecto;
  e[e.size() - 4] = 1.0;  // FITOENELHIPO
  e[e.size() - 2] = 1.0;  // ACUMULACIONRESULTADOSPARCIALES
  e[e.size() - 1] = 1.0;
  comparar(todos(l.m.cal), e);
  EXPECT_FALSE(l.m.cal.HAYCONSTANTESMODTEMPERATURA);
}

TEST(CoefficientsFile, EveryValueInItsPlaceInBothLayouts) {
  struct Caso {
    const char* nombre;
    std::string contenido;
    int NUMVERSION;
    int acum1, acum2;
  };
  const std::vector<Caso> casos = {
      {"tagged, sections in any order", ETIQUETADO, 12, 2, 3},
      {"tagged, later version", ETIQUETADO, 20, 2, 3},
      {"fixed, version 1.1", fijo(38), 11, 1, 1},
      {"fixed, version 1.0", fijo(38), 10, 1, 1},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nombre);
    // A heat-balance run: the complete constants let it go on.
    Lectura l(c.contenido, c.NUMVERSION, Opciones{1, 2, 1, 1, 1});
    ASSERT_EQ(l.parada, "");
    EXPECT_EQ(l.log(), LOG_EXITO);
    std::vector<double> e = esperados();
    e.push_back(c.acum1);
    e.push_back(c.acum2);
    comparar(todos(l.m.cal), e);
    EXPECT_TRUE(l.m.cal.HAYCONSTANTESMODTEMPERATURA);
  }
}

// A theta more than the program has: the program's thetas and one after
// them of default 1. TECTAOD is sized for the table; the thetas after the
// record of thetas come from their optional section of the tagged layout, in
// the table's order, and keep their defaults where it is missing, cut off by
// a slash or the end of the file, or the layout is the fixed one, which reads
// nothing after record 38. Old files read as they always did.
TEST(CoefficientsFile, ThetasAfterTheRecordOfThetasInTheirOptionalSection) {
  std::vector<tornal::TectaCinetica> tabla(std::begin(tornal::TECTASCINETICAS), std::end(tornal::TECTASCINETICAS));
  tabla.push_back({"KNUEVA", 1.0});
  const int N = static_cast<int>(tabla.size());
  // The section with a value of its own for each theta after the record.
  std::string valores;
  std::vector<double> leidos(tabla.size());
  for (int t = 0; t < N; ++t) {
    leidos[t] = tabla[t].defecto;
    if (t < tornal::TECTASREGISTRO) continue;
    const std::string v = std::to_string(1.03 + 0.001 * t);
    leidos[t] = std::stod(v);
    valores += v + " ";
  }
  const std::string SECCION = "<TECTASADICIONALES>\n" + valores + "\n";
  struct Caso {
    const char* nombre;
    std::string contenido;
    int NUMVERSION;
    bool leida;  // the section read
  };
  const std::vector<Caso> casos = {
      {"tagged, the section after the others", ETIQUETADO + SECCION, 12, true},
      {"tagged, the section first", SECCION + ETIQUETADO, 12, true},
      {"tagged, an old file without the section", ETIQUETADO, 12, false},
      {"tagged, the section cut by a slash", ETIQUETADO + "<TECTASADICIONALES>\n/\n", 12, false},
      {"tagged, the file ends after its tag", ETIQUETADO + "<TECTASADICIONALES>\n", 12, false},
      {"fixed, version 1.1", fijo(38), 11, false},
      {"fixed, version 1.1, the section after record 38", fijo(38) + SECCION, 11, false},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nombre);
    Lectura l(c.contenido, c.NUMVERSION, Opciones{1, 2, 1, 1, 1}, tabla);
    ASSERT_EQ(l.parada, "");
    EXPECT_EQ(l.log(), LOG_EXITO);
    const Calidad& cal = l.m.cal;
    ASSERT_EQ(cal.TECTAOD.size(), N);
    // The record of thetas and every other value as in a file of the
    // program's thetas.
    std::vector<double> e = esperados();
    std::vector<double> v = todos(cal);
    v.erase(v.begin() + PRIMERATECTA + tornal::TECTASREGISTRO, v.begin() + PRIMERATECTA + N);
    e.erase(e.begin() + PRIMERATECTA + tornal::TECTASREGISTRO, e.begin() + PRIMERATECTA + tornal::NUMTECTAS);
    v.resize(e.size());
    comparar(v, e);
    for (int t = tornal::TECTASREGISTRO; t < N; ++t)
      EXPECT_DOUBLE_EQ(cal.TECTAOD(t + 1), c.leida ? leidos[t] : tabla[t].defecto) << "theta " << t + 1;
  }
  // A word in the section is a read error of its record.
  Lectura l(UNIDADES + "<TECTASADICIONALES>\nx\n", 12, {}, tabla);
  EXPECT_EQ(l.parada, "error");
  EXPECT_EQ(l.log(), lineas_error(4));
  // The program's own thetas size TECTAOD, before any reading too.
  EXPECT_EQ(Calidad().TECTAOD.size(), tornal::NUMTECTAS);
  EXPECT_EQ(Lectura(ETIQUETADO, 12).m.cal.TECTAOD.size(), tornal::NUMTECTAS);
}

TEST(CoefficientsFile, FixedFileOfTwentyEightRecords) {
  for (const Opciones& o : {Opciones{0, 0, 1, 1, 1}, Opciones{1, 1, 1, 0, 0}}) {
    Lectura l(fijo(28), 11, o);
    ASSERT_EQ(l.parada, "");
    EXPECT_EQ(l.log(), LOG_EXITO);
    const Calidad& c = l.m.cal;
    EXPECT_FALSE(c.HAYCONSTANTESMODTEMPERATURA);
    EXPECT_EQ(c.OPCIONBALANCES, 0);
    EXPECT_EQ(c.FITOENELHIPO, 1.0);
    EXPECT_EQ(c.FLUJOSEDIMENTOSNOANOXIA, 0);
    EXPECT_EQ(c.ACUMULACIONRESULTADOSPARCIALES(1), 1);
    EXPECT_EQ(c.ACUMULACIONRESULTADOSPARCIALES(2), 1);
    EXPECT_EQ(c.CONSTANTESMODTEMPERATURA(1), 0.0);
    EXPECT_DOUBLE_EQ(c.FACTORPREFERENCIA(2), 0.4);
  }
}

TEST(CoefficientsFile, TagRules) {
  struct Caso {
    const char* nombre;
    std::string texto;  // after the units section
    double ERRORCONC;
  };
  const std::vector<Caso> casos = {
      {"a tag after blanks matches", "   <ERROR>\n0.5\n", 0.5},
      {"a tag after a tab matches", "\t<ERROR>\n0.5\n", 0.5},
      {"a quoted tag is one word", "\"<ERROR>\"\n0.5\n", 0.5},
      {"a comma ends the tag word", "<ERROR>,x\n0.5\n", 0.5},
      {"values on the tag line are ignored", "<ERROR> 0.9\n0.5\n", 0.5},
      {"the values may follow empty lines", "<ERROR>\n\n  \n0.5\n", 0.5},
      {"a lower-case tag and its value line are skipped", "<error>\n0.5\n", 0.0},
      {"a tag that is not the first word is skipped", "texto <ERROR>\n0.5\n", 0.0},
      {"a longer word is no tag", "<ERROR>x\n0.5\n", 0.0},
      {"a repeated section keeps the second value", "<ERROR>\n0.5\n<ERROR>\n0.7\n", 0.7},
      {"a repeated section cut by a slash leaves 0", "<ERROR>\n0.5\n<ERROR>\n/\n", 0.0},
      {"a line starting with a comma matches no tag", "<ERROR>\n0.5\n,<ERROR>\n0.7\n", 0.5},
      {"a line starting with a slash matches no tag", "<ERROR>\n0.5\n/\n0.7\n", 0.5},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nombre);
    Lectura l(UNIDADES + c.texto, 12);
    ASSERT_EQ(l.parada, "");
    EXPECT_EQ(l.m.cal.ERRORCONC, c.ERRORCONC);
    EXPECT_DOUBLE_EQ(l.m.cal.FACTORUNIDADES, 1000.0 / 86400.0);
  }
}

TEST(CoefficientsFile, RepeatedSectionReplacesAllItsValues) {
  Lectura l("<UNIDADES>\n0 1\n<DISPERSIONEMBALSES>\n1 2\n<UNIDADES>\n500 25\n<DISPERSIONEMBALSES>\n3 /\n", 12);
  ASSERT_EQ(l.parada, "");  // the zero volume factor of the first section is replaced
  EXPECT_EQ(l.m.cal.FACTORVOLUMEN, 500.0);
  EXPECT_EQ(l.m.cal.FACTORUNIDADES, 20.0);
  EXPECT_EQ(l.m.cal.DISPEMB(1), 3.0);
  EXPECT_EQ(l.m.cal.DISPEMB(2), 0.0);
}

TEST(CoefficientsFile, EndOfFileWhereTheFileMayEnd) {
  struct Caso {
    const char* nombre;
    std::string texto;
    double FITOENELHIPO;
    int acum1;
  };
  const std::vector<Caso> casos = {
      {"after a tag of the options", "<OPCIONBALANCES>\n", 1.0, 1},
      {"after the phytoplankton tag", "<FITOENELHIPO>\n", 1.0, 1},
      {"a cut-off section keeps the earlier value", "<FITOENELHIPO>\n0.5\n<FITOENELHIPO>\n", 0.5, 1},
      {"inside the partial-results values", "<ACUMULACIONRESULTADOSPARCIALES>\n4\n", 1.0, 1},
      {"inside the heat-balance constants", "<CONSTANTESMODTEMPERATURA>\n1 2 3\n", 1.0, 1},
      {"after the heat-balance constants", "<CONSTANTESMODTEMPERATURA>\n1 2 3 4 5\n", 1.0, 1},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nombre);
    Lectura l(UNIDADES + c.texto, 12);
    ASSERT_EQ(l.parada, "");
    EXPECT_EQ(l.log(), LOG_EXITO);
    EXPECT_EQ(l.m.cal.FITOENELHIPO, c.FITOENELHIPO);
    EXPECT_EQ(l.m.cal.ACUMULACIONRESULTADOSPARCIALES(1), c.acum1);
    EXPECT_FALSE(l.m.cal.HAYCONSTANTESMODTEMPERATURA);
  }
  // The fixed layout may end after any record from 28 on.
  for (std::size_t n : {28, 29, 30, 31, 33, 35, 37}) {
    SCOPED_TRACE(n);
    Lectura l(fijo(n), 11);
    ASSERT_EQ(l.parada, "");
    EXPECT_EQ(l.m.cal.OPCIONBALANCES, n >= 30 ? 1 : 0);
    EXPECT_EQ(l.m.cal.HAYCONSTANTESMODTEMPERATURA, n >= 34);
    EXPECT_EQ(l.m.cal.FITOENELHIPO, n >= 36 ? 0.5 : 1.0);
  }
}

TEST(CoefficientsFile, ReadErrorsReportTheStatementCounter) {
  struct Caso {
    const char* nombre;
    std::string contenido;
    int NUMVERSION;
    long linea;
  };
  const std::vector<Caso> casos = {
      {"tagged: a word in the thetas of a tag on line 9",
       "<UNIDADES>\n1000 30\n<ERROR>\n0.1\n<CARACTERISTICASDELAGUA>\n1 2\n<DISPERSIONEMBALSES>\n1 2\n"
       "<TECTAS>\n1 2 x 4 5 6 7 8\n",
       12, 10},
      {"tagged: text lines count, empty lines do not", "comentario\n\n<UNIDADES>\n1000 30\notro\n<ERROR>\nabc\n", 12,
       6},
      {"tagged: a record over two lines counts once", "<TECTAS>\n1 2 3 4\n5 6 7 8\n<ERROR>\nabc\n", 12, 4},
      {"tagged: end of file inside the thetas", "<UNIDADES>\n1000 30\n<TECTAS>\n1 2 3\n", 12, 4},
      {"tagged: end of file right after a tag that needs values", "<UNIDADES>\n1000 30\n<OSAT>\n", 12, 4},
      {"tagged: an integer option with a decimal point", "<UNIDADES>\n1000 30\n<OPCIONBALANCES>\n1.0\n", 12, 4},
      {"tagged: a word in the partial-results options", "<UNIDADES>\n1000 30\n<ACUMULACIONRESULTADOSPARCIALES>\n1 x\n",
       12, 4},
      {"tagged: a word in EAIOPCIONHRR", "<UNIDADES>\n1000 30\n<CONSTANTESMODTEMPERATURA>\n1 2 3 4 5\n0.5\n", 12, 5},
      {"fixed: a word in the stoichiometric ratios after a two-line record", fijo(38, 18, "4.57 x"), 11, 18},
      {"fixed: a word in the first record of values", fijo(38, 3, "mil 30"), 11, 3},
      {"fixed: end of file inside the compulsory records", fijo(19), 11, 20},
      {"fixed: end of file at a compulsory heading", fijo(26), 11, 27},
      {"fixed: end of file inside a compulsory record", fijo(27) + "0.7\n", 11, 28},
      {"fixed: an integer option with a decimal point", fijo(38, 30, "1.0"), 11, 30},
      {"fixed: a word in the phytoplankton factor", fijo(38, 36, "x"), 11, 36},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nombre);
    Lectura l(c.contenido, c.NUMVERSION);
    EXPECT_EQ(l.parada, "error");
    EXPECT_EQ(l.log(), lineas_error(c.linea));
  }
}

TEST(CoefficientsFile, HeatBalanceNeedsTheCompleteConstants) {
  const Opciones BALANCE_CALOR{1, 2, 0, 0, 0};
  const std::string CTES = "<CONSTANTESMODTEMPERATURA>\n5.67e-8 0.97 9.2 0.46 2\n0\n";
  struct Caso {
    const char* nombre;
    std::string contenido;
    int NUMVERSION;
    Opciones opciones;
    bool para;
  };
  const std::vector<Caso> casos = {
      {"tagged, complete section", UNIDADES + CTES + "texto\n", 12, BALANCE_CALOR, false},
      {"tagged, no section", UNIDADES, 12, BALANCE_CALOR, true},
      {"tagged, file ends on the tag", UNIDADES + "<CONSTANTESMODTEMPERATURA>\n", 12, BALANCE_CALOR, true},
      {"tagged, file ends before EAIOPCIONHRR", UNIDADES + "<CONSTANTESMODTEMPERATURA>\n5.67e-8 0.97 9.2 0.46 2\n", 12,
       BALANCE_CALOR, true},
      {"tagged, a second section cut off keeps the first", UNIDADES + CTES + "<CONSTANTESMODTEMPERATURA>\n1 2 3\n", 12,
       BALANCE_CALOR, false},
      {"tagged, file ends in the options value", UNIDADES + "<OPCIONBALANCES>\n", 12, BALANCE_CALOR, true},
      {"tagged, temperature given as data", UNIDADES, 12, Opciones{0, 2, 0, 0, 0}, false},
      {"tagged, equilibrium temperature", UNIDADES, 12, Opciones{1, 1, 0, 0, 0}, false},
      {"fixed, 28 records", fijo(28), 11, BALANCE_CALOR, true},
      {"fixed, 30 records", fijo(30), 11, BALANCE_CALOR, true},
      {"fixed, 33 records", fijo(33), 11, BALANCE_CALOR, true},
      {"fixed, 34 records", fijo(34), 11, BALANCE_CALOR, false},
      {"fixed, 28 records, equilibrium temperature", fijo(28), 11, Opciones{1, 1, 0, 0, 0}, false},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nombre);
    Lectura l(c.contenido, c.NUMVERSION, c.opciones);
    if (c.para) {
      EXPECT_EQ(l.parada, "error");
      EXPECT_EQ(l.log(), std::vector<std::string>{BALANCE});
    } else {
      EXPECT_EQ(l.parada, "");
      EXPECT_EQ(l.log(), LOG_EXITO);
    }
  }
  Lectura l(UNIDADES + CTES, 12, BALANCE_CALOR);
  EXPECT_DOUBLE_EQ(l.m.cal.CONSTANTESMODTEMPERATURA(1), 5.67e-8);
  EXPECT_DOUBLE_EQ(l.m.cal.CONSTANTESMODTEMPERATURA(5), 2.0);
  EXPECT_EQ(l.m.cal.EAIOPCIONHRR, 0);
  EXPECT_TRUE(l.m.cal.HAYCONSTANTESMODTEMPERATURA);
}

// Values that the run would compute with to no sense are the read error of
// the record that gave them: a unit factor that is divided by (0, or never
// given: the section named), a theta that the run uses of 0 or below
// (theta^(T - 20)), a half-saturation constant that the run uses, on and
// below 0 (K / (K + C) passes through infinity); the last two name their
// section.
TEST(CoefficientsFile, ValuesThatTheRunCannotComputeWithStop) {
  const Opciones ON{0, 0, 1, 1, 0};
  const Opciones ONF{0, 0, 1, 1, 1};
  const Opciones OX1{0, 0, 1, 0, 0, 1};               // oxygen and a reach
  const Opciones TODO{1, 1, 1, 1, 1, 1, 1, 1, -1.0};  // every option and element
  const char* CERO = "Valor de 0 o menor en la sección <TECTAS>";
  const char* NEGATIVO = "Valor negativo en la sección <CTELIMITACIONNUTRIENTES>";
  // The complete tagged file with `desde` replaced by `hasta`.
  auto en_etiquetado = [](const std::string& desde, const std::string& hasta) {
    std::string s = ETIQUETADO;
    return s.replace(s.find(desde), desde.size(), hasta);
  };
  struct Caso {
    const char* nombre;
    std::string contenido;
    int NUMVERSION;
    Opciones opciones;
    long linea;                     // 0: no stop
    const char* detalle = nullptr;  // the line after the read error
  };
  const std::vector<Caso> casos = {
      {"a slash leaves the divisor 0", "<UNIDADES>\n1000 /\n<ERROR>\n0.1\n", 12, {}, 2},
      {"a null item leaves the divisor 0", "<ERROR>\n0.1\n<UNIDADES>\n1000,,\n", 12, {}, 4},
      {"a zero volume factor", "<UNIDADES>\n0 30\n", 12, {}, 2},
      {"no units section: the statements made", "<ERROR>\n0.1\n", 12, {}, 3, "Falta la sección <UNIDADES>"},
      {"fixed: a zero divisor", fijo(28, 3, "1000 0"), 11, {}, 3},
      {"ammonium factor 0 with nitrogen", UNIDADES + "<UNIDADESESTEQUIOMETRICAS>\n0.23 0 1 1 1\n", 12, ON, 4},
      {"nitrate factor 0 with nitrogen", UNIDADES + "<UNIDADESESTEQUIOMETRICAS>\n0.23 1 0 1 1\n", 12, ON, 4},
      {"phosphate factor 0 with phytoplankton", UNIDADES + "<UNIDADESESTEQUIOMETRICAS>\n0.23 1 1 1 0\n", 12, ONF, 4},
      {"chlorophyll factor 0 with phytoplankton", UNIDADES + "<UNIDADESESTEQUIOMETRICAS>\n0.23 1 1 0 1\n", 12, ONF, 4},
      {"no stoichiometric section with nitrogen", UNIDADES, 12, ON, 3, "Falta la sección <UNIDADESESTEQUIOMETRICAS>"},
      {"fixed: nitrate factor 0", fijo(28, 20, "0.23 1 0 1 1"), 11, ON, 20},
      {"zero factors without nitrogen are not divided by", UNIDADES, 12, Opciones{0, 0, 1, 0, 0}, 0},
      {"zero phytoplankton factors without phytoplankton", UNIDADES + "<UNIDADESESTEQUIOMETRICAS>\n0.23 1 1 0 0\n", 12,
       ON, 0},
      {"a zero decay rate for BOD5", UNIDADES + "<UNIDADESESTEQUIOMETRICAS>\n0 1 1 1 1\n", 12, ONF, 0},
      {"a theta of 0 with oxygen", UNIDADES + "<TECTAS>\n1.024 0 1 1 1 1 1 1\n", 12, OX1, 4, CERO},
      {"a theta of -1 with oxygen", UNIDADES + "<TECTAS>\n-1 1.047 1 1 1 1 1 1\n", 12, OX1, 4, CERO},
      {"a theta of the algae of 0 with phytoplankton", en_etiquetado("1.081", "0"), 12, TODO, 3, CERO},
      {"fixed: thetas of 0 with oxygen", fijo(28, 16, "0 0 0 0 0 0 0 0"), 11, OX1, 16, CERO},
      {"thetas of 0 that the options do not use", en_etiquetado("1.02 1.08 1.045 1.066 1.081 1.07", "0 0 0 0 0 -1"), 12,
       OX1, 0},
      {"thetas of 0 without elements", en_etiquetado("1.024 1.047", "0 0"), 12, Opciones{0, 0, 1}, 0},
      {"a half-saturation constant of -1", en_etiquetado("0.025 0.005", "0.025 -1"), 12, TODO, 28, NEGATIVO},
      {"a half-saturation constant below 0 that is off", en_etiquetado("0.025 0.005", "0.025 -0.00009"), 12, TODO, 0},
      {"half-saturation constants of -1 that the options do not use",
       en_etiquetado("0.6 0.025 0.005 0.3", "-1 -1 -1 -1"), 12, OX1, 0},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nombre);
    Lectura l(c.contenido, c.NUMVERSION, c.opciones);
    if (c.linea > 0) {
      std::vector<std::string> e = lineas_error(c.linea);
      if (c.detalle) e.push_back(tornal::latin1(c.detalle));
      EXPECT_EQ(l.parada, "error");
      EXPECT_EQ(l.log(), e);
    } else {
      EXPECT_EQ(l.parada, "");
      EXPECT_EQ(l.log(), LOG_EXITO);
    }
  }
  Lectura l("<UNIDADES>\n1000 /\n", 12);
  EXPECT_EQ(l.m.cal.FACTORVOLUMEN, 1000.0);
  EXPECT_EQ(l.m.cal.DIVISORUNIDADES, 0.0);
}

// ETIQUETADO without the section of `etiqueta` (its tag and its record).
std::string sin_seccion(const std::string& etiqueta) {
  std::string s = ETIQUETADO;
  const std::size_t p = s.find(etiqueta + "\n");
  std::size_t fin = s.find('\n', p + etiqueta.size() + 1) + 1;
  if (etiqueta == "<CONSTANTESMODTEMPERATURA>") fin = s.find('\n', fin) + 1;  // and EAIOPCIONHRR
  return s.erase(p, fin - p);
}

// The statements that reading a whole tagged file makes: a line that is not
// blank, and the end of the file.
long sentencias(const std::string& s) {
  long n = 1;
  std::size_t p = 0;
  while (p < s.size()) {
    const std::size_t e = s.find('\n', p);
    if (s.find_first_not_of(" \t", p) < e) ++n;
    p = e + 1;
  }
  return n;
}

// A tagged file that leaves a section out. In a run whose options and
// elements use it, a section whose zeros leave the model undefined or absurd
// is the file's read error where the reading ended, naming the section;
// one whose zeros (or default) are a choice is named in the run log with the
// value taken, and the reading goes on. A section that the run does not use
// does neither. Every section given: the success line alone.
TEST(CoefficientsFile, SectionsLeftOutOfATaggedFile) {
  // Every option on, equilibrium temperature, a reach, a reservoir of the
  // wind law of reaeration and a first-order pollutant.
  const Opciones TODO{1, 1, 1, 1, 1, 1, 1, 1, -1.0};
  auto nota = [](const std::string& etiqueta, const char* valor) {
    return std::vector<std::string>{tornal::latin1("Archivo de coeficientes sin la sección " + etiqueta),
                                    tornal::latin1(valor)};
  };
  struct Caso {
    const char* etiqueta;
    Opciones opciones;
    bool para;
    const char* valor;  // the note's second line; null: no note
  };
  const std::vector<Caso> casos = {
      {"<UNIDADES>", {}, true, nullptr},
      {"<ERROR>", TODO, false, "Se toma 0: solo se anulan las concentraciones negativas de las conducciones"},
      {"<ERROR>", {0, 0, 0, 0, 0, 1, 1, 0}, false, nullptr},
      {"<CARACTERISTICASDELAGUA>", TODO, true, nullptr},
      {"<CARACTERISTICASDELAGUA>", {0, 0, 1, 1, 1, 1, 1}, false, nullptr},
      {"<DISPERSIONEMBALSES>", TODO, false,
       "Se toma 0 0: sin intercambio entre capas en los embalses cuya dispersión es -1"},
      {"<CONDUCCIONES>", TODO, false, "Se toma 0: 50 iteraciones como máximo en las conducciones"},
      {"<CONDUCCIONES>", {1, 1, 1, 1, 1, 0, 1, 0, -1.0}, false, nullptr},
      {"<EMBALSES>", TODO, true, nullptr},
      {"<EMBALSES>", {1, 1, 1, 1, 1, 1, 1, 1, -1.5}, true, nullptr},  // its integer part
      {"<EMBALSES>", {1, 1, 1, 1, 1, 1, 1, 1, 0.5}, false, nullptr},
      {"<TECTAS>", TODO, true, nullptr},
      {"<TECTAS>", {1, 1, 0, 0, 0, 1, 1, 1}, false, nullptr},
      {"<TECTAS>", {0, 0, 1, 0, 0}, false, nullptr},  // no element
      {"<ESTEQUIMETRICOS>", TODO, true, nullptr},
      {"<ESTEQUIMETRICOS>", {0, 0, 1, 0, 0, 1, 1}, false, nullptr},
      {"<UNIDADESESTEQUIOMETRICAS>", TODO, true, nullptr},
      {"<UNIDADESESTEQUIOMETRICAS>", {0, 0, 1, 0, 0, 1}, false, "Se toma 0: la DBO5 no se convierte en DBO última"},
      {"<OSAT>", TODO, false, nullptr},
      {"<COEFTETERMOCLINA>", TODO, false, "Se toma 0: todos los embalses de una sola capa"},
      {"<COEFTETERMOCLINA>", {1, 1, 1, 1, 1, 1, 0}, false, nullptr},
      {"<CTELIMITACIONNUTRIENTES>", TODO, false, "Se toma 0: sin limitación por oxígeno ni por nutrientes"},
      {"<FACTORPREFERENCIA>", TODO, false,
       "Se toma 0 0: el fitoplancton toma nitratos y respira el fósforo como fosfatos"},
      {"<OPCIONBALANCES>", TODO, false, "Se toma 0: no se escribe balances.csv"},
      {"<CONSTANTESMODTEMPERATURA>", TODO, false, nullptr},
      {"<FITOENELHIPO>", TODO, false, "Se toma 1: el fitoplancton del hipolimnion sin reducción"},
      {"<FLUJOSEDIMENTOSNOANOXIA>", TODO, false, "Se toma 0: flujos de los sedimentos solo con anoxia"},
      {"<ACUMULACIONRESULTADOSPARCIALES>", TODO, false,
       "Se toma 1 1: todos los segmentos y subpasos en los resultados parciales"},
      {"<ACUMULACIONRESULTADOSPARCIALES>", {}, false, nullptr},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.etiqueta);
    const std::string contenido = sin_seccion(c.etiqueta);
    Lectura l(contenido, 12, c.opciones);
    std::vector<std::string> e;
    if (c.para) {
      e = lineas_error(sentencias(contenido));
      e.push_back(tornal::latin1(std::string("Falta la sección ") + c.etiqueta));
    } else if (c.valor) {
      e = nota(c.etiqueta, c.valor);
    }
    if (!c.para) e.push_back(tornal::latin1(EXITO));
    EXPECT_EQ(l.parada, c.para ? "error" : "");
    EXPECT_EQ(l.log(), e);
    for (const std::string& linea : e) EXPECT_LE(linea.size(), 79u) << linea;  // one line of the run log
  }
  // Every section given, in a run that uses them all: as before.
  Lectura completo(ETIQUETADO, 12, TODO);
  EXPECT_EQ(completo.parada, "");
  EXPECT_EQ(completo.log(), LOG_EXITO);
  // The needed sections that a file lacks, each on a line of one read error,
  // in the order of the tags; no note before it.
  Lectura varias(UNIDADES + "<COEFTETERMOCLINA>\n0.8\n", 12, TODO);
  EXPECT_EQ(varias.parada, "error");
  std::vector<std::string> e = lineas_error(5);
  for (const char* etiqueta :
       {"<CARACTERISTICASDELAGUA>", "<EMBALSES>", "<TECTAS>", "<ESTEQUIMETRICOS>", "<UNIDADESESTEQUIOMETRICAS>"})
    e.push_back(tornal::latin1(std::string("Falta la sección ") + etiqueta));
  EXPECT_EQ(varias.log(), e);
  // The fixed layout has no sections: a file of its 28 compulsory records
  // writes no note.
  Lectura fijo28(fijo(28), 11, TODO);
  EXPECT_EQ(fijo28.parada, "");
  EXPECT_EQ(fijo28.log(), LOG_EXITO);
}

TEST(CoefficientsFile, MissingFileIsAnAccessError) {
  tornal_test::TempDir dir;
  Modelo m;
  tornal_test::prepare(m, dir.path());
  EXPECT_EQ(tornal_test::stop_message([&] { tornal::leer_coeficientes(m, dir.file("no_existe.dat"), 12); }), "error");
  EXPECT_EQ(tornal_test::log_lines(m), std::vector<std::string>{"Error en el acceso al archivo de coeficientes"});
}

}  // namespace
