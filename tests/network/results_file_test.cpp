// The monthly results file of the allocation model: placement of every block
// in both layouts, rows and months, rows over several lines, QCONDUCC, and
// the access and read failures.
#include "network/results_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/latin1.h"
#include "test_util.h"

using tornal::Array3;
using tornal::Modelo;
using tornal::Red;

namespace {

// The value written in row r, column c: it tells where it came from.
double codigo(long r, long c) { return 100.0 * static_cast<double>(r) + static_cast<double>(c); }

// `filas` rows of `ncol` values codigo(r, c). With `ultimo_aparte` the last
// value of each row stands alone on the next line, so that a row width one
// too small or too large shifts every later row.
std::string tabla(long filas, long ncol, bool ultimo_aparte = false, const std::string& fin = "\n") {
  std::string out;
  for (long r = 1; r <= filas; ++r) {
    for (long c = 1; c <= ncol; ++c) {
      if (c == ncol && ultimo_aparte)
        out += fin;
      else if (c > 1)
        out += ' ';
      out += std::to_string(static_cast<long>(codigo(r, c)));
    }
    out += fin;
  }
  return out;
}

struct Lectura : tornal_test::FileReading {
  // Writes the results file and reads it through a path held at 255
  // characters, as the run configuration gives it; returns the stop message.
  std::string leer(const std::string& contenido) {
    return read("resultados.dat", contenido,
                [&](const std::string& ruta) { tornal::LEERARCHRESSUB(m, tornal::padded(ruta, tornal::LONGRUTA)); });
  }
};

void tramos(Red& r, int t1, int t2, int t3, int t4, int t5) {
  r.NUMCONDUCCIONEST1 = t1;
  r.NUMCONDUCCIONEST2 = t2;
  r.NUMCONDUCCIONEST3 = t3;
  r.NUMCONDUCCIONEST4 = t4;
  r.NUMCONDUCCIONEST5 = t5;
  r.NUMCONDUCCIONES = t1 + t2 + t3 + t4 + t5;
}

// Element `i` of a series and the column of the row it must come from.
struct Columna {
  Array3<double> Red::*serie;
  int i;
  long col;
};

// Every listed element holds its column's value in every month and year.
void comprobar_columnas(const Red& r, const std::vector<Columna>& casos) {
  for (const Columna& c : casos) {
    const Array3<double>& a = r.*c.serie;
    for (int y = 1; y <= r.NUMANYOS; ++y)
      for (int mes = 1; mes <= 12; ++mes)
        ASSERT_DOUBLE_EQ(a(c.i, mes, y), codigo(12 * (y - 1) + mes, c.col))
            << a.name() << "(" << c.i << "," << mes << "," << y << ")";
  }
}

// The series is sized (n, 12, NUMANYOS) and holds only zeros.
void comprobar_vacia(const Red& r, Array3<double> Red::*serie, long n) {
  const Array3<double>& a = r.*serie;
  ASSERT_EQ(a.size(1), n) << a.name();
  ASSERT_EQ(a.size(2), 12) << a.name();
  ASSERT_EQ(a.size(3), r.NUMANYOS) << a.name();
  for (long i = 1; i <= n; ++i)
    for (int y = 1; y <= r.NUMANYOS; ++y)
      for (int mes = 1; mes <= 12; ++mes) ASSERT_DOUBLE_EQ(a(i, mes, y), 0.0) << a.name();
}

const char* const EXITO = "Lectura de archivo de resultados de Kelmar realizada con exito";

}  // namespace

TEST(ResultsFile, FullLayoutTwoInflowsOneReservoir) {
  Lectura t;
  Red& r = t.m.red;
  r.NUMANYOS = 1;
  r.NUMAPORTACIONES = 2;
  r.NUMEMBALSES = 1;
  // NCOL = 3 + 2 + 8.
  ASSERT_EQ(t.leer(tabla(12, 13, true)), "");
  comprobar_columnas(r, {{&Red::QAPO, 1, 4},
                         {&Red::QAPO, 2, 5},
                         {&Red::APINTEREMB, 1, 6},
                         {&Red::APPREVEMB, 1, 7},
                         {&Red::VOLFINEMB, 1, 8},
                         {&Red::COTFINEMB, 1, 9},
                         {&Red::SUELTASEMB, 1, 10},
                         {&Red::VERTEMB, 1, 11},
                         {&Red::EVAPEMB, 1, 12},
                         {&Red::FILTREMB, 1, 13}});
  EXPECT_EQ(t.log(), std::vector<std::string>{EXITO});
}

TEST(ResultsFile, ReducedLayoutTwoInflowsOneReservoir) {
  Lectura t;
  Red& r = t.m.red;
  r.INDMODELOOPTIM = true;
  r.NUMANYOS = 1;
  r.NUMAPORTACIONES = 2;
  r.NUMEMBALSES = 1;
  // NCOL = 3 + 2 + 2.
  ASSERT_EQ(t.leer(tabla(12, 7, true)), "");
  comprobar_columnas(r, {{&Red::QAPO, 1, 4}, {&Red::QAPO, 2, 5}, {&Red::VOLFINEMB, 1, 6}, {&Red::EVAPEMB, 1, 7}});
  for (auto serie :
       {&Red::APINTEREMB, &Red::APPREVEMB, &Red::COTFINEMB, &Red::SUELTASEMB, &Red::VERTEMB, &Red::FILTREMB})
    comprobar_vacia(r, serie, 1);
}

TEST(ResultsFile, RowsAreMonthsFromOctoberOfTheFirstYear) {
  Lectura t;
  Red& r = t.m.red;
  r.NUMANYOS = 3;
  r.NUMAPORTACIONES = 1;
  // Lines after the last row are never read.
  ASSERT_EQ(t.leer(tabla(36, 4) + "basura que no se lee\n"), "");
  ASSERT_EQ(r.QAPO.size(3), 3);
  EXPECT_DOUBLE_EQ(r.QAPO(1, 1, 1), codigo(1, 4));
  EXPECT_DOUBLE_EQ(r.QAPO(1, 12, 1), codigo(12, 4));
  EXPECT_DOUBLE_EQ(r.QAPO(1, 1, 2), codigo(13, 4));
  EXPECT_DOUBLE_EQ(r.QAPO(1, 12, 3), codigo(36, 4));
}

// One element of every kind, two intakes, an aquifer and two control
// parcels: every block of the full layout in its place, and the row's width.
TEST(ResultsFile, FullLayoutEveryBlock) {
  Lectura t;
  Red& r = t.m.red;
  r.NUMANYOS = 2;
  r.NUMAPORTACIONES = 1;
  r.NUMEMBALSES = 1;
  tramos(r, 1, 1, 1, 1, 1);
  r.NUMDEMANDAS = r.NUMDEMANDASFIS = 1;
  r.NUMTOMAS = r.NUMTOMASFIS = 2;
  r.NUMRETORNOS = 1;
  r.NUMCENTRALES = 1;
  r.NUMBOMBEOS = 1;
  r.NUMRECARGAS = 1;
  r.NUMACUIFEROS = 1;
  r.NUMPARCTROLTOTAL = 2;
  // 32 columns of blocks, then 1 + 2 + 2 read and not used.
  ASSERT_EQ(t.leer(tabla(24, 37, true)), "");
  comprobar_columnas(
      r, {{&Red::QAPO, 1, 4},        {&Red::APINTEREMB, 1, 5},  {&Red::APPREVEMB, 1, 6},  {&Red::VOLFINEMB, 1, 7},
          {&Red::COTFINEMB, 1, 8},   {&Red::SUELTASEMB, 1, 9},  {&Red::VERTEMB, 1, 10},   {&Red::EVAPEMB, 1, 11},
          {&Red::FILTREMB, 1, 12},   {&Red::QT1, 1, 13},        {&Red::QFT2, 1, 14},      {&Red::PERDT2, 1, 15},
          {&Red::QFT3, 1, 16},       {&Red::PERDT3, 1, 17},     {&Red::QT4, 1, 18},       {&Red::QMAXT4, 1, 19},
          {&Red::QT5, 1, 20},        {&Red::DOTRES, 1, 21},     {&Red::SUMSUPDEM, 1, 22}, {&Red::SUMSUBTDEM, 1, 23},
          {&Red::DEFDEM, 1, 24},     {&Red::SUMTOMAS, 1, 25},   {&Red::SUMTOMAS, 2, 26},  {&Red::QRETREAL, 1, 27},
          {&Red::QOBJRESCEN, 1, 28}, {&Red::QTURRESCEN, 1, 29}, {&Red::HTURBCEN, 1, 30},  {&Red::QBOMB, 1, 31},
          {&Red::QREC, 1, 32},       {&Red::QCONDUCC, 1, 13},   {&Red::QCONDUCC, 2, 14},  {&Red::QCONDUCC, 3, 16},
          {&Red::QCONDUCC, 4, 18},   {&Red::QCONDUCC, 5, 20}});
  EXPECT_EQ(r.QCONDUCC.size(1), 5);
}

// The reduced layout: intake flows (one per intake of the file) right after
// the type-5 flows, then supplies and deficits (one per demand of the file),
// then returns; plants, pumping and recharges take no columns.
TEST(ResultsFile, ReducedLayoutEveryBlock) {
  Lectura t;
  Red& r = t.m.red;
  r.INDMODELOOPTIM = true;
  r.NUMANYOS = 2;
  r.NUMAPORTACIONES = 1;
  r.NUMEMBALSES = 1;
  tramos(r, 1, 1, 1, 1, 1);
  r.NUMDEMANDAS = 0;
  r.NUMDEMANDASFIS = 2;
  r.NUMTOMAS = 0;
  r.NUMTOMASFIS = 3;
  r.NUMRETORNOS = 1;
  r.NUMCENTRALES = 1;
  r.NUMBOMBEOS = 1;
  r.NUMRECARGAS = 1;
  r.NUMACUIFEROS = 1;
  r.NUMPARCTROLTOTAL = 2;
  ASSERT_EQ(t.leer(tabla(24, 19, true)), "");
  comprobar_columnas(r, {{&Red::QAPO, 1, 4},
                         {&Red::VOLFINEMB, 1, 5},
                         {&Red::EVAPEMB, 1, 6},
                         {&Red::QT1, 1, 7},
                         {&Red::QFT2, 1, 8},
                         {&Red::QFT3, 1, 9},
                         {&Red::QT4, 1, 10},
                         {&Red::QT5, 1, 11},
                         {&Red::SUMTOMAS, 1, 12},
                         {&Red::SUMTOMAS, 2, 13},
                         {&Red::SUMTOMAS, 3, 14},
                         {&Red::SUMSUPDEM, 1, 15},
                         {&Red::SUMSUPDEM, 2, 16},
                         {&Red::DEFDEM, 1, 17},
                         {&Red::DEFDEM, 2, 18},
                         {&Red::QRETREAL, 1, 19},
                         {&Red::QCONDUCC, 1, 7},
                         {&Red::QCONDUCC, 5, 11}});
  comprobar_vacia(r, &Red::DOTRES, 0);
  comprobar_vacia(r, &Red::SUMSUBTDEM, 0);
  for (auto serie : {&Red::PERDT2, &Red::PERDT3, &Red::QMAXT4, &Red::QOBJRESCEN, &Red::QTURRESCEN, &Red::HTURBCEN,
                     &Red::QBOMB, &Red::QREC})
    comprobar_vacia(r, serie, 1);
}

TEST(ResultsFile, RowOverTwoLinesAndExtraNumbersIgnored) {
  Lectura t;
  Red& r = t.m.red;
  r.NUMANYOS = 1;
  r.NUMAPORTACIONES = 2;
  // NCOL = 5. Row 1 over two lines with an empty line between; row 2 with
  // three numbers too many, separated by commas; rows 3 to 12 plain.
  std::string contenido = "1 2 3\n\n 4.5\t5.5\n6,7,8,9.25,10.75,77,88,99\n";
  for (int fila = 3; fila <= 12; ++fila)
    contenido += "0 0 0 " + std::to_string(fila) + " -" + std::to_string(fila) + "\n";
  ASSERT_EQ(t.leer(contenido), "");
  EXPECT_DOUBLE_EQ(r.QAPO(1, 1, 1), 4.5);
  EXPECT_DOUBLE_EQ(r.QAPO(2, 1, 1), 5.5);
  EXPECT_DOUBLE_EQ(r.QAPO(1, 2, 1), 9.25);
  EXPECT_DOUBLE_EQ(r.QAPO(2, 2, 1), 10.75);
  EXPECT_DOUBLE_EQ(r.QAPO(1, 3, 1), 3.0);
  EXPECT_DOUBLE_EQ(r.QAPO(2, 12, 1), -12.0);
}

TEST(ResultsFile, SlashLeavesTheRestOfTheRowAtZero) {
  Lectura t;
  Red& r = t.m.red;
  r.NUMANYOS = 1;
  r.NUMAPORTACIONES = 2;
  // Row 2 ends at its slash and row 3 has a null item: their unread values
  // are zero, not those of the row before.
  std::string contenido = "1 2 3 4 5\n1 2 3 6 /\n1,2,3,,8\n";
  for (int fila = 4; fila <= 12; ++fila) contenido += "1 2 3 4 5\n";
  ASSERT_EQ(t.leer(contenido), "");
  EXPECT_DOUBLE_EQ(r.QAPO(1, 2, 1), 6.0);
  EXPECT_DOUBLE_EQ(r.QAPO(2, 2, 1), 0.0);
  EXPECT_DOUBLE_EQ(r.QAPO(1, 3, 1), 0.0);
  EXPECT_DOUBLE_EQ(r.QAPO(2, 3, 1), 8.0);
}

// Without type-2 reaches the type-3 flow follows the type-1 flow directly.
TEST(ResultsFile, NoTypeTwoReachesInBothLayouts) {
  for (bool reducido : {false, true}) {
    SCOPED_TRACE(reducido ? "reduced" : "full");
    Lectura t;
    Red& r = t.m.red;
    r.INDMODELOOPTIM = reducido;
    r.NUMANYOS = 1;
    tramos(r, 1, 0, 1, 0, 0);
    // Full: QT1, QFT3, PERDT3; reduced: QT1, QFT3.
    ASSERT_EQ(t.leer(tabla(12, reducido ? 5 : 6, true)), "");
    comprobar_columnas(r, {{&Red::QT1, 1, 4}, {&Red::QFT3, 1, 5}, {&Red::QCONDUCC, 1, 4}, {&Red::QCONDUCC, 2, 5}});
    if (!reducido) comprobar_columnas(r, {{&Red::PERDT3, 1, 6}});
    EXPECT_EQ(r.QFT2.size(1), 0);
    EXPECT_EQ(r.QCONDUCC.size(1), 2);
  }
}

TEST(ResultsFile, QconduccOfTheFirstTypeTwoReach) {
  for (bool reducido : {false, true}) {
    SCOPED_TRACE(reducido ? "reduced" : "full");
    Lectura t;
    Red& r = t.m.red;
    r.INDMODELOOPTIM = reducido;
    r.NUMANYOS = 2;
    tramos(r, 2, 2, 0, 0, 1);
    // Full: QT1 x2, QFT2 x2, PERDT2 x2, QT5; reduced: QT1 x2, QFT2 x2, QT5.
    ASSERT_EQ(t.leer(tabla(24, reducido ? 8 : 10, true)), "");
    for (int y = 1; y <= 2; ++y)
      for (int mes = 1; mes <= 12; ++mes) {
        ASSERT_DOUBLE_EQ(r.QCONDUCC(3, mes, y), r.QFT2(1, mes, y));
        ASSERT_DOUBLE_EQ(r.QCONDUCC(4, mes, y), r.QFT2(2, mes, y));
        ASSERT_DOUBLE_EQ(r.QCONDUCC(5, mes, y), r.QT5(1, mes, y));
        ASSERT_DOUBLE_EQ(r.QCONDUCC(3, mes, y), codigo(12 * (y - 1) + mes, 6));
      }
  }
}

TEST(ResultsFile, CrLfLineEnds) {
  Lectura t;
  Red& r = t.m.red;
  r.NUMANYOS = 1;
  r.NUMAPORTACIONES = 1;
  r.NUMEMBALSES = 1;
  // A value at the end of a line is not spoilt by its CR.
  ASSERT_EQ(t.leer(tabla(12, 12, true, "\r\n")), "");
  comprobar_columnas(r, {{&Red::QAPO, 1, 4}, {&Red::EVAPEMB, 1, 11}, {&Red::FILTREMB, 1, 12}});
}

// A bad number, or a file that ends before its last row or inside a row:
// three lines with the number of the row (not of the line), stop "error".
TEST(ResultsFile, ReadFailuresCountRows) {
  // Rows of NCOL = 4 (one inflow, NUMANYOS = 2); rows 1 and 2 over two lines.
  const std::string dos_primeras = "1 2\n3 4\n1 2 3\n\n4\n";
  const struct {
    const char* caso;
    std::string contenido;
    long fila;
  } casos[] = {
      {"bad number in row 3", dos_primeras + "1 2 3 x4\n" + tabla(21, 4), 3},
      {"integer with a letter", dos_primeras + "1 2 3 4\n1 2 3 4q\n", 4},
      {"end of file inside row 3", dos_primeras + "1 2\n", 3},
      {"file ends before row 24", tabla(23, 4), 24},
      {"end of file inside the last row", tabla(23, 4) + "1 2 3\n", 24},
      {"empty file", "", 1},
      {"only empty lines", "\n\n\n", 1},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.caso);
    Lectura t;
    t.m.red.NUMANYOS = 2;
    t.m.red.NUMAPORTACIONES = 1;
    EXPECT_EQ(t.leer(c.contenido), "error");
    std::string numero(11, ' ');
    std::string cifras = std::to_string(c.fila);
    numero.replace(11 - cifras.size(), cifras.size(), cifras);
    EXPECT_EQ(t.log(), (std::vector<std::string>{"Error en la lectura del archivo de resultados de Kelmar",
                                                 "Error en la linea numero:", numero}));
  }
}

// A number of years far beyond the rows of the file is reported at the row
// the file lacks, before the series are sized: never an exhausted memory.
TEST(ResultsFile, YearsBeyondTheFileAreTheReadErrorOfTheMissingRow) {
  for (int anyos : {3, 100000000}) {
    SCOPED_TRACE(anyos);
    Lectura t;
    t.m.red.NUMANYOS = anyos;
    t.m.red.NUMAPORTACIONES = 1;
    EXPECT_EQ(t.leer(tabla(24, 4) + "\n\n"), "error");
    EXPECT_EQ(t.log(), (std::vector<std::string>{"Error en la lectura del archivo de resultados de Kelmar",
                                                 "Error en la linea numero:", "         25"}));
    EXPECT_TRUE(t.m.red.QAPO.empty());
  }
}

// The check made once the network is read, before the quality data size
// their series by the years: a file with fewer lines than rows is the read
// error of the row it lacks (rows over several lines counted once); a file
// with lines enough, or none to open, is left to LEERARCHRESSUB.
TEST(ResultsFile, RowsCheckedBeforeTheSeriesAreSized) {
  const struct {
    const char* caso;
    int anyos;
    const char* archivo;  // nullptr: no such file
    std::string contenido;
    const char* fila;  // "": nothing done
  } casos[] = {
      {"the rows of the years", 2, "resultados.dat", tabla(24, 4), ""},
      {"lines enough, rows too few", 2, "resultados.dat", tabla(20, 4) + "\n\n\n\n", ""},
      {"no file", 100000000, nullptr, "", ""},
      {"a year short", 3, "resultados.dat", tabla(24, 4), "         25"},
      {"ten million years", 10000000, "resultados.dat", "1 2\n3 4\n" + tabla(20, 4), "         22"},
      {"end inside a row", 3, "resultados.dat", tabla(24, 4) + "1 2\n", "         25"},
      {"a bad number before the end", 3, "resultados.dat", tabla(3, 4) + "1 x 3 4\n", "          4"},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.caso);
    tornal_test::TempDir dir;
    Modelo m;
    tornal_test::prepare(m, dir.path());
    m.red.NUMANYOS = c.anyos;
    m.red.NUMAPORTACIONES = 1;
    const std::string ruta = c.archivo ? dir.write(c.archivo, c.contenido) : dir.file("resultados.dat");
    const std::string parada = tornal_test::stop_message(
        [&] { tornal::comprobar_filas_resultados(m, tornal::padded(ruta, tornal::LONGRUTA)); });
    if (*c.fila == '\0') {
      EXPECT_EQ(parada, "");
      EXPECT_TRUE(tornal_test::log_lines(m).empty());
    } else {
      EXPECT_EQ(parada, "error");
      EXPECT_EQ(tornal_test::log_lines(m),
                (std::vector<std::string>{"Error en la lectura del archivo de resultados de Kelmar",
                                          "Error en la linea numero:", c.fila}));
    }
    EXPECT_TRUE(m.red.QAPO.empty());
  }
}

// The values after the last series of a row (the plants, the aquifers and
// the control parcels) are read and dropped, never held: a total of control
// parcels near the integer range is the read error of the first row, which
// the file cannot fill, and a known total reads as before.
TEST(ResultsFile, UnusedValuesOfARowAreNeverHeld) {
  const struct {
    int parcelas;
    long fila;  // 0: read
  } casos[] = {{2, 0}, {2147483647, 1}};
  for (const auto& c : casos) {
    SCOPED_TRACE(c.parcelas);
    Lectura t;
    t.m.red.NUMANYOS = 1;
    t.m.red.NUMAPORTACIONES = 1;
    t.m.red.NUMPARCTROLTOTAL = c.parcelas;
    const std::string parada = t.leer(tabla(12, 6, true));
    if (c.fila == 0) {
      EXPECT_EQ(parada, "");
      EXPECT_EQ(t.m.red.QAPO(1, 12, 1), codigo(12, 4));
    } else {
      EXPECT_EQ(parada, "error");
      EXPECT_EQ(t.log(), (std::vector<std::string>{"Error en la lectura del archivo de resultados de Kelmar",
                                                   "Error en la linea numero:", "          1"}));
    }
  }
}

TEST(ResultsFile, MissingFileIsAnAccessFailure) {
  Lectura t;
  t.m.red.NUMANYOS = 1;
  std::string msg = tornal_test::stop_message(
      [&] { tornal::LEERARCHRESSUB(t.m, tornal::padded(t.dir.file("no_existe.dat"), tornal::LONGRUTA)); });
  EXPECT_EQ(msg, "error");
  EXPECT_EQ(t.log(), std::vector<std::string>{"Error en el acceso al archivo de de resultados de Kelmar"});
}

// No years: no rows are read, and the file may be empty. Negative counts
// take no columns and give empty series, never an index out of range.
TEST(ResultsFile, NoYearsAndNegativeCounts) {
  for (int anyos : {0, -2}) {
    SCOPED_TRACE(anyos);
    Lectura t;
    t.m.red.NUMANYOS = anyos;
    t.m.red.NUMAPORTACIONES = 2;
    ASSERT_EQ(t.leer(""), "");
    EXPECT_EQ(t.m.red.QAPO.size(1), 2);
    EXPECT_EQ(t.m.red.QAPO.size(3), 0);
    EXPECT_EQ(t.log(), std::vector<std::string>{EXITO});
  }
  Lectura t;
  Red& r = t.m.red;
  r.NUMANYOS = 1;
  r.NUMAPORTACIONES = 1;
  r.NUMEMBALSES = -1;
  tramos(r, 1, -3, 1, 0, 0);  // NUMCONDUCCIONES = -1
  r.NUMPARCTROLTOTAL = -5;
  // Full layout: QAPO, QT1, QFT3, PERDT3.
  ASSERT_EQ(t.leer(tabla(12, 7, true)), "");
  EXPECT_EQ(r.VOLFINEMB.size(1), 0);
  EXPECT_EQ(r.QFT2.size(1), 0);
  comprobar_columnas(
      r, {{&Red::QAPO, 1, 4}, {&Red::QT1, 1, 5}, {&Red::QFT3, 1, 6}, {&Red::PERDT3, 1, 7}, {&Red::QCONDUCC, 2, 6}});
}

// A row that ends on a later line than it began is named once in the run log
// (the file, the row and the line it begins on, blank lines counted) where the
// first row stands on one line; a file wrapped throughout draws no note. The
// values read are those of the shifted reading in both: a row one value short
// takes the first value of the next line, and every later row comes one line
// down. Rows of NCOL = 4 (one inflow, one year).
TEST(ResultsFile, RowThatRunsOntoALaterLineIsNamed) {
  // Row 5 of `filas` rows, one value short, after an empty line below row 2.
  const auto con_fila_corta = [](long filas) {
    std::string t = tabla(filas, 4);
    t.insert(t.find("301 "), "\n");
    t.erase(t.find(" 504\n"), 4);
    return t;
  };
  const struct {
    const char* caso;
    std::string contenido;
    long corta;  // the row one value short, 0 for none
    const char* parada;
    long linea;  // the line named, 0 for no note
  } casos[] = {
      {"a short row in a longer file", con_fila_corta(24), 5, "", 6},
      {"a short row in a file of the run's rows", con_fila_corta(12), 5, "error", 6},
      {"a file wrapped throughout, longer than the run", tabla(24, 4, true), 0, "", 0},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.caso);
    Lectura t;
    Red& r = t.m.red;
    r.NUMANYOS = 1;
    r.NUMAPORTACIONES = 1;
    ASSERT_EQ(t.leer(c.contenido), c.parada);
    std::vector<std::string> esperado;
    if (c.linea > 0) {
      char fila[32], linea[32];
      std::snprintf(fila, sizeof fila, "Fila:%12ld", c.corta);
      std::snprintf(linea, sizeof linea, "%12ld", c.linea);
      esperado = {tornal::latin1("Fila del archivo de resultados de Kelmar que sigue en una línea posterior"),
                  "Archivo: " + t.dir.file("resultados.dat"), fila, tornal::latin1("Línea:") + linea};
    }
    if (*c.parada == '\0') {
      esperado.push_back(EXITO);
      for (int mes = 1; mes <= 12; ++mes) {
        const double valor = c.corta == 0 || mes < c.corta ? codigo(mes, 4)
                             : mes == c.corta              ? codigo(mes + 1, 1)
                                                           : codigo(mes + 1, 4);
        EXPECT_DOUBLE_EQ(r.QAPO(1, mes, 1), valor) << "mes " << mes;
      }
    } else {
      // The shift leaves the last row without its line: its read error
      // follows the note.
      for (const std::string& l : tornal_test::read_error_lines(
               "Error en la lectura del archivo de resultados de Kelmar", "Error en la linea numero:", 12))
        esperado.push_back(l);
    }
    EXPECT_EQ(t.log(), esperado);
  }
}
