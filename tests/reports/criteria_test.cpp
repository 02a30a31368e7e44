// Tests of the compliance criteria: the file "Criterios.txt" with its record
// counter, the evaluation of hand-built monthly series, and "Criterios.csv".
#include "reports/criteria.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <filesystem>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "common/latin1.h"
#include "reports/reports.h"
#include "test_util.h"

namespace {

using tornal::Modelo;
using tornal::padded;
using tornal::TrabajoCriterios;
using tornal_test::log_lines;
using tornal_test::stop_message;
using tornal_test::TempDir;

struct Tramo {
  std::string nombre;  // Latin-1
  int tipo = 1;        // list type 1 first, then 2 .. 5
  int INRESCOND = 0;
};

// A basin of `anyos` years: the reaches in global order, the constituents,
// and every outlet concentration at `valor` (output units).
void basin(Modelo& m, int anyos, const std::vector<Tramo>& tramos, const std::vector<std::string>& contaminantes,
           double valor = 5.0) {
  tornal::Red& r = m.red;
  r.NUMANYOS = anyos;
  int* cuenta[5] = {&r.NUMCONDUCCIONEST1, &r.NUMCONDUCCIONEST2, &r.NUMCONDUCCIONEST3, &r.NUMCONDUCCIONEST4,
                    &r.NUMCONDUCCIONEST5};
  tornal::Array1<std::string>* nombres[5] = {&r.NOMCONDT1, &r.NOMCONDT2, &r.NOMCONDT3, &r.NOMCONDT4, &r.NOMCONDT5};
  for (const Tramo& t : tramos) ++*cuenta[t.tipo - 1];
  for (int t = 0; t < 5; ++t) nombres[t]->resize(*cuenta[t]);
  int usados[5] = {0, 0, 0, 0, 0};
  for (const Tramo& t : tramos) (*nombres[t.tipo - 1])(++usados[t.tipo - 1]) = padded(t.nombre, tornal::LONGNOMBRE);
  const int NC = static_cast<int>(tramos.size());
  const int NK = static_cast<int>(contaminantes.size());
  r.NUMCONDUCCIONES = NC;
  m.cal.NUMCONTAMINANTES = NK;
  m.cal.NOMCONT.resize(NK);
  for (int k = 1; k <= NK; ++k) m.cal.NOMCONT(k) = padded(contaminantes[k - 1], tornal::LONGNOMCONT);
  m.cal.INRESCOND.resize(NC);
  for (int c = 1; c <= NC; ++c) m.cal.INRESCOND(c) = tramos[c - 1].INRESCOND;
  m.sim.CONDUCCCS.resize_filled(valor, NC, NK, 12, anyos);
}

// The outlet concentration of reach c, constituent k, in running month t.
double& at(Modelo& m, int c, int k, long t) { return m.sim.CONDUCCCS(c, k, (t - 1) % 12 + 1, (t - 1) / 12 + 1); }

// Criteria with the same values for every constituent, as the file would give them.
struct Criterio {
  int ventana_punt = 3;
  int permitidos = 1;
  int ventana_seq = 3;
  double maximo = 10.0;
  double minimo = 0.0;
  std::vector<std::pair<int, int>> sequias;
  int NUMSEQUIAS = -1000;  // the number of periods when not their count
};

TrabajoCriterios evaluate(Modelo& m, const Criterio& k) {
  TrabajoCriterios cr;
  tornal::preparar_criterios(m, cr);
  for (int i = 1; i <= m.cal.NUMCONTAMINANTES; ++i) {
    cr.NUMMESPOSTPUNT(i) = k.ventana_punt;
    cr.NUMPERFALLOSSEQ(i) = k.permitidos;
    cr.NUMMESPOSTSEQ(i) = k.ventana_seq;
    cr.UMBRALMAXG(i) = k.maximo;
    cr.UMBRALMING(i) = k.minimo;
  }
  const long S = static_cast<long>(k.sequias.size());
  cr.NUMSEQUIAS = k.NUMSEQUIAS == -1000 ? static_cast<int>(S) : k.NUMSEQUIAS;
  cr.MESINISEQ.resize(S);
  cr.MESFINSEQ.resize(S);
  for (long s = 1; s <= S; ++s) {
    cr.MESINISEQ(s) = k.sequias[s - 1].first;
    cr.MESFINSEQ(s) = k.sequias[s - 1].second;
  }
  tornal::evaluar_criterios(m, cr);
  return cr;
}

std::string crlf(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& l : lines) out += l + "\r\n";
  return out;
}

std::string L1(const char* utf8) { return tornal::latin1(utf8); }

// The lines of a read error of the criteria file at record `linea`.
std::vector<std::string> read_error(long linea) {
  return {" Error en la lectura del archivo de criterios",
          " Error en la linea:", tornal::free_format_lines({linea})[0]};
}

// ----------------------------------------------------------------------------
// The criteria file

TEST(CriteriaFile, ReadsEveryBlockIntoItsArrays) {
  TempDir dir;
  Modelo m;
  tornal_test::prepare(m, dir.path());
  basin(m, 1, {{"R1"}}, {"Temperatura", "Amonio"});
  // Headings with words and empty ones; the first item of a constituent
  // record is not compared with anything; reals with and without a point or
  // an exponent; a record spread over two lines; words after the last item.
  dir.write("Criterios.txt",
            "CRITERIOS\r\n\r\nk  fallo  permit  seq\r\n"
            "7 3 1 6 words after the items\r\n"
            "9 2\r\n 0 2\r\n"
            "UMBRALES\r\n\r\n"
            "1 25.5 1E-1\r\n"
            "2 3 -2.5D0\r\n"
            "SEQUIAS\r\n"
            "3\r\n"
            "10 12\r\n15 20 9 9\r\n30 2\r\n"
            "never read\r\n");
  TrabajoCriterios cr;
  tornal::preparar_criterios(m, cr);
  ASSERT_TRUE(tornal::leer_archivo_criterios(m, cr));
  EXPECT_EQ(cr.NUMMESPOSTPUNT(1), 3);
  EXPECT_EQ(cr.NUMPERFALLOSSEQ(1), 1);
  EXPECT_EQ(cr.NUMMESPOSTSEQ(1), 6);
  EXPECT_EQ(cr.NUMMESPOSTPUNT(2), 2);
  EXPECT_EQ(cr.NUMPERFALLOSSEQ(2), 0);
  EXPECT_EQ(cr.NUMMESPOSTSEQ(2), 2);
  EXPECT_DOUBLE_EQ(cr.UMBRALMAXG(1), 25.5);
  EXPECT_DOUBLE_EQ(cr.UMBRALMING(1), 0.1);
  EXPECT_DOUBLE_EQ(cr.UMBRALMAXG(2), 3.0);
  EXPECT_DOUBLE_EQ(cr.UMBRALMING(2), -2.5);
  ASSERT_EQ(cr.NUMSEQUIAS, 3);
  ASSERT_EQ(cr.MESINISEQ.size(), 3);
  EXPECT_EQ(cr.MESINISEQ(1), 10);
  EXPECT_EQ(cr.MESFINSEQ(1), 12);
  EXPECT_EQ(cr.MESINISEQ(2), 15);
  EXPECT_EQ(cr.MESFINSEQ(2), 20);
  EXPECT_EQ(cr.MESINISEQ(3), 30);  // ends before it starts: kept as read
  EXPECT_EQ(cr.MESFINSEQ(3), 2);
  EXPECT_TRUE(m.log.lines().empty());
}

TEST(CriteriaFile, NullItemsReadAsZero) {
  TempDir dir;
  Modelo m;
  tornal_test::prepare(m, dir.path());
  basin(m, 1, {{"R1"}}, {"A"});
  dir.write("Criterios.txt", "h\nh\nh\n1,,4,,\nh\nh\n1 5 /\nh\n1\n, 8\n");
  TrabajoCriterios cr;
  tornal::preparar_criterios(m, cr);
  ASSERT_TRUE(tornal::leer_archivo_criterios(m, cr));
  EXPECT_EQ(cr.NUMMESPOSTPUNT(1), 0);
  EXPECT_EQ(cr.NUMPERFALLOSSEQ(1), 4);
  EXPECT_EQ(cr.NUMMESPOSTSEQ(1), 0);
  EXPECT_EQ(cr.UMBRALMAXG(1), 5.0);
  EXPECT_EQ(cr.UMBRALMING(1), 0.0);
  EXPECT_EQ(cr.MESINISEQ(1), 0);
  EXPECT_EQ(cr.MESFINSEQ(1), 8);
}

TEST(CriteriaFile, CountOfZeroOrLessReadsNoDroughtRecord) {
  for (const char* cuenta : {"0", "-3"}) {
    SCOPED_TRACE(cuenta);
    TempDir dir;
    Modelo m;
    tornal_test::prepare(m, dir.path());
    basin(m, 1, {{"R1"}}, {"A", "B"});
    // The file ends at the count, line 7 + 2N.
    dir.write("Criterios.txt", std::string("h\nh\nh\n1 1 1 1\n2 1 1 1\nh\nh\n1 1 0\n2 1 0\nh\n") + cuenta);
    TrabajoCriterios cr;
    tornal::preparar_criterios(m, cr);
    ASSERT_TRUE(tornal::leer_archivo_criterios(m, cr));
    EXPECT_EQ(cr.NUMSEQUIAS, std::stoi(cuenta));
    EXPECT_EQ(cr.MESINISEQ.size(), 0);
    EXPECT_EQ(cr.MESFINSEQ.size(), 0);
  }
}

TEST(CriteriaFile, NoConstituentsTakesSixHeadingsAndTheCount) {
  TempDir dir;
  Modelo m;
  tornal_test::prepare(m, dir.path());
  basin(m, 1, {}, {});
  dir.write("Criterios.txt", "\n\n\n\n\n\n1\n4 5\n");
  TrabajoCriterios cr;
  tornal::preparar_criterios(m, cr);
  ASSERT_TRUE(tornal::leer_archivo_criterios(m, cr));
  EXPECT_EQ(cr.NUMSEQUIAS, 1);
  EXPECT_EQ(cr.MESINISEQ(1), 4);
  EXPECT_EQ(cr.MESFINSEQ(1), 5);
  EXPECT_EQ(cr.NOMBREAUXCONDUCC.size(), 0);
}

// Every failing read, with two constituents, gives the three lines of the
// read error with the number of the failing record, and no report.
TEST(CriteriaFile, ReadErrorsGiveTheRecordNumber) {
  const std::string cab = "h\nh\nh\n";
  const std::string meses = "1 3 1 6\n2 2 0 2\n";
  const std::string umbrales = "h\nh\n1 10 0\n2 1.5 -1\n";
  struct Caso {
    const char* nombre;
    std::string texto;
    long linea;
  };
  const std::vector<Caso> casos = {
      {"name instead of the first integer", cab + "Temperatura 3 1 6\n2 2 0 2\n" + umbrales + "h\n0\n", 4},
      {"decimal point in an integer", cab + "1 3 1 6\n2 2.5 0 2\n" + umbrales + "h\n0\n", 5},
      {"text for a threshold", cab + meses + "h\nh\n1 10 0\n2 alto -1\nh\n0\n", 9},
      {"second drought period unreadable", cab + meses + umbrales + "h\n2\n1 2\n3 x\n", 13},
      {"text for the count", cab + meses + umbrales + "h\ndos\n", 11},
      {"count beyond 32 bits", cab + meses + umbrales + "h\n99999999999\n", 11},
      {"block one record short: its heading read as a record", cab + "1 3 1 6\n" + umbrales + "h\n0\n", 5},
      // A record over two lines moves the later records down one line: the
      // number is one less than the physical line of the failing record.
      {"after a record over two lines", cab + "1 3\n1 6\n2 2 0 2\n" + "h\nh\n1 10 0\n2 x -1\nh\n0\n", 9},
      // An end of file is reported like a read error, at the first record
      // that the file does not hold.
      {"end of file in the headings", "h\nh\n", 3},
      {"end of file in a constituent record", cab + "1 3 1 6\n2 2", 5},
      {"end of file before the thresholds", cab + meses + "h\nh\n", 8},
      {"file without the count line", cab + meses + umbrales + "h\n", 11},
      {"missing drought block", cab + meses + umbrales + "h\n2\n", 12},
      {"drought record cut short", cab + meses + umbrales + "h\n2\n1 2\n3\n", 13},
      // A huge count is read record by record, never allocated at once: it
      // ends at the file's end like a short drought block.
      {"huge count", cab + meses + umbrales + "h\n2000000000\n1 2\n", 13},
  };
  for (const Caso& caso : casos) {
    SCOPED_TRACE(caso.nombre);
    TempDir dir;
    Modelo m;
    tornal_test::prepare(m, dir.path());
    basin(m, 1, {{"R1"}}, {"A", "B"});
    dir.write("Criterios.txt", caso.texto);
    EXPECT_EQ(stop_message([&] { tornal::CRITERIOSUB(m); }), "error");
    EXPECT_EQ(m.log.lines(), read_error(caso.linea));
    EXPECT_FALSE(std::filesystem::exists(dir.file("Criterios.csv")));
  }
}

TEST(CriteriaFile, MissingFileWritesOneLogLineAndLeavesTheReportAlone) {
  TempDir dir;
  Modelo m;
  tornal_test::prepare(m, dir.path());
  basin(m, 1, {{"R1"}}, {"A"});
  EXPECT_EQ(stop_message([&] { tornal::CRITERIOSUB(m); }), "");
  EXPECT_EQ(log_lines(m), std::vector<std::string>{"No existe archivo de criterios"});
  EXPECT_FALSE(std::filesystem::exists(dir.file("Criterios.csv")));

  // A report of an earlier run stays as it was.
  Modelo m2;
  tornal_test::prepare(m2, dir.path());
  basin(m2, 1, {{"R1"}}, {"A"});
  dir.write("Criterios.csv", "old\r\n");
  tornal::CRITERIOSUB(m2);
  EXPECT_EQ(dir.read("Criterios.csv"), "old\r\n");
}

// Asked at the start of the run: only a criteria file that is there and
// cannot be opened stops it, with the file's access error; the file is not
// read yet.
TEST(CriteriaFile, AtTheStartOnlyAFileThatCannotBeOpenedStops) {
  struct Caso {
    const char* que;
    std::function<void(const TempDir&)> poner;
    bool para;
  };
  const std::vector<Caso> casos = {
      {"no criteria file", [](const TempDir&) {}, false},
      {"a file that the reading would refuse", [](const TempDir& d) { d.write("Criterios.txt", "h\n"); }, false},
      {"a folder of that name", [](const TempDir& d) { std::filesystem::create_directory(d.file("Criterios.txt")); },
       true},
      {"a link to nothing",
       [](const TempDir& d) { std::filesystem::create_symlink(d.file("nada"), d.file("Criterios.txt")); }, true},
  };
  for (const Caso& caso : casos) {
    SCOPED_TRACE(caso.que);
    TempDir dir;
    Modelo m;
    tornal_test::prepare(m, dir.path());
    caso.poner(dir);
    EXPECT_EQ(stop_message([&] { tornal::comprobar_archivo_criterios(m); }), caso.para ? "error" : "");
    EXPECT_EQ(log_lines(m), caso.para ? std::vector<std::string>{"Error en el acceso al archivo de criterios"}
                                      : std::vector<std::string>{});
  }
}

TEST(CriteriaFile, ReachLabelsFollowTheGlobalReachOrder) {
  Modelo m;
  tornal_test::prepare(m);
  basin(m, 1, {{"T1a", 1}, {"T1b", 1}, {"T2", 2}, {"T4", 4}, {"T5", 5}}, {"A"});
  TrabajoCriterios cr;
  tornal::preparar_criterios(m, cr);
  ASSERT_EQ(cr.NUMCONDUCCIONES, 5);
  const char* esperado[] = {"T1a", "T1b", "T2", "T4", "T5"};
  for (int c = 1; c <= 5; ++c) {
    EXPECT_EQ(cr.NOMBREAUXCONDUCC(c).size(), 255u);
    EXPECT_EQ(tornal::trimmed(cr.NOMBREAUXCONDUCC(c)), esperado[c - 1]);
  }
}

// ----------------------------------------------------------------------------
// The evaluation

TEST(CriteriaEvaluation, FailureIsStrictlyOutsideTheThresholds) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Caso {
    const char* nombre;
    double maximo, minimo, valor;
    int fallos;  // in the 12 months
  };
  const std::vector<Caso> casos = {
      {"inside", 10, 0, 5, 0},
      {"at the upper threshold", 10, 0, 10, 0},
      {"at the lower threshold", 10, 0, 0, 0},
      {"above", 10, 0, 10.000001, 12},
      {"below", 10, 0, -1e-9, 12},
      {"not a number", 10, 0, nan, 0},
      {"lower threshold above the upper", 1, 2, 1.5, 12},
      {"cut reach, lower threshold above the mark", 10, 0, -999, 12},
      {"cut reach, mark at the lower threshold", 10, -999, -999, 0},
  };
  for (const Caso& caso : casos) {
    SCOPED_TRACE(caso.nombre);
    Modelo m;
    tornal_test::prepare(m);
    basin(m, 1, {{"R1"}}, {"A"}, caso.valor);
    Criterio k;
    k.maximo = caso.maximo;
    k.minimo = caso.minimo;
    k.ventana_punt = 0;
    TrabajoCriterios cr = evaluate(m, k);
    EXPECT_EQ(cr.NUMFALLOSPUNT(1, 1), caso.fallos);
  }
}

// Point failures outside the drought periods against the window of the
// point-failure criterion, in 64-bit arithmetic.
TEST(CriteriaEvaluation, PointFailureWindow) {
  struct Caso {
    const char* nombre;
    int ventana;
    std::vector<long> fallos;  // running months
    int CUMPLEFP;
  };
  const std::vector<Caso> casos = {
      {"three months apart, window 3", 3, {1, 4}, 1},
      {"two months apart, window 3", 3, {1, 3}, 0},
      {"broken only by the closest pair", 3, {1, 5, 7, 20}, 0},
      {"many failures far apart: the count does not enter", 2, {1, 3, 5, 7, 9, 11}, 1},
      {"window 2, consecutive months", 2, {6, 7}, 0},
      {"window 1, consecutive months", 1, {6, 7}, 1},
      {"window 0, consecutive months", 0, {6, 7}, 1},
      {"negative window", -5, {1, 2, 3}, 1},
      {"first month of the run, window 1000", 1000, {1}, 1},
      {"largest window: no overflow before the first failure", INT_MAX, {1}, 1},
      {"largest window, second failure", INT_MAX, {1, 24}, 0},
      {"smallest window: no overflow of its negation", INT_MIN, {1, 2}, 1},
      {"September to October of the next year, window 2", 2, {12, 13}, 0},
  };
  for (const Caso& caso : casos) {
    SCOPED_TRACE(caso.nombre);
    Modelo m;
    tornal_test::prepare(m);
    basin(m, 2, {{"R1"}}, {"A"});
    for (long t : caso.fallos) at(m, 1, 1, t) = 100;
    Criterio k;
    k.ventana_punt = caso.ventana;
    TrabajoCriterios cr = evaluate(m, k);
    EXPECT_EQ(cr.NUMFALLOSPUNT(1, 1), static_cast<int>(caso.fallos.size()));
    EXPECT_EQ(cr.CUMPLEFP(1, 1), caso.CUMPLEFP);
    EXPECT_EQ(cr.CUMPLEFPC(1, 1), caso.CUMPLEFP ? "CUMPLE    " : "NO CUMPLE ");
    EXPECT_EQ(cr.UFP(1, 1), caso.fallos.back());
    // Without droughts the drought criterion is never broken.
    EXPECT_EQ(cr.CUMPLESEQ(1, 1), 1);
    EXPECT_EQ(cr.CUMPLESEQC(1, 1), "CUMPLE    ");
  }
}

// The example of the drought criterion: window 6; period 1 fails at 10, 11
// and 12; period 2 begins at 15 and fails at 16 (4 months after 12) and 19.
TEST(CriteriaEvaluation, DroughtExample) {
  struct Caso {
    int ventana_seq;
    int permitidos;
    int CUMPLESEQ;
    const char* verdict;
  };
  const std::vector<Caso> casos = {
      {6, 3, 0, "NO CUMPLE "},  // 16 - 12 = 4 < 6
      {4, 3, 1, "CUMPLE    "},  // 4 is not less than 4
      {4, 2, 1, "NO CUMPLE "},  // three failures in period 1, two permitted
  };
  for (const Caso& caso : casos) {
    SCOPED_TRACE(caso.ventana_seq * 10 + caso.permitidos);
    Modelo m;
    tornal_test::prepare(m);
    basin(m, 2, {{"R1"}}, {"A"});
    for (long t : {10, 11, 12, 16, 19}) at(m, 1, 1, t) = 100;
    Criterio k;
    k.ventana_seq = caso.ventana_seq;
    k.permitidos = caso.permitidos;
    k.sequias = {{10, 12}, {15, 20}};
    TrabajoCriterios cr = evaluate(m, k);
    EXPECT_EQ(cr.NUMFALLOSSEQ(1, 1, 1), 3);
    EXPECT_EQ(cr.NUMFALLOSSEQ(2, 1, 1), 2);
    EXPECT_EQ(cr.MAXFALLOSSEQ(1, 1), 3);
    EXPECT_EQ(cr.UFSEQ(1, 1), 19);
    EXPECT_EQ(cr.NUMFALLOSPUNT(1, 1), 0);
    EXPECT_EQ(cr.CUMPLESEQ(1, 1), caso.CUMPLESEQ);
    EXPECT_EQ(cr.CUMPLESEQC(1, 1), caso.verdict);
    EXPECT_EQ(cr.CUMPLEFP(1, 1), 1);
  }
}

// How failures inside and outside the drought periods meet: which
// failures move which last-failure month and which tests they make.
TEST(CriteriaEvaluation, FailuresInsideAndOutsideDroughts) {
  struct Caso {
    const char* nombre;
    int ventana_punt, ventana_seq;
    std::vector<std::pair<int, int>> sequias;
    std::vector<long> fallos;
    int CUMPLEFP, CUMPLESEQ;
    long UFP, UFSEQ;
  };
  const std::vector<Caso> casos = {
      {"outside failure 2 months after a drought failure, window 3", 0, 3, {{10, 10}}, {10, 12}, 1, 0, 12, 10},
      {"outside failure 3 months after a drought failure, window 3", 0, 3, {{10, 10}}, {10, 13}, 1, 1, 13, 10},
      {"first drought failure 2 months after a point failure", 3, 0, {{5, 8}}, {3, 5}, 0, 1, 3, 5},
      {"later drought failures are not measured", 0, 3, {{5, 8}}, {5, 6, 7}, 1, 1, 0, 7},
      {"drought failures never move UFP", 5, 0, {{6, 7}}, {1, 6, 7, 9}, 1, 1, 9, 7},
      {"a point failure never moves UFSEQ", 0, 3, {{1, 1}, {6, 6}}, {1, 4, 6}, 1, 1, 4, 6},
      {"first failure of a second period within the window", 0, 3, {{1, 2}, {4, 6}}, {2, 4}, 1, 0, 0, 4},
  };
  for (const Caso& caso : casos) {
    SCOPED_TRACE(caso.nombre);
    Modelo m;
    tornal_test::prepare(m);
    basin(m, 2, {{"R1"}}, {"A"});
    for (long t : caso.fallos) at(m, 1, 1, t) = 100;
    Criterio k;
    k.ventana_punt = caso.ventana_punt;
    k.ventana_seq = caso.ventana_seq;
    k.permitidos = 100;
    k.sequias = caso.sequias;
    TrabajoCriterios cr = evaluate(m, k);
    EXPECT_EQ(cr.CUMPLEFP(1, 1), caso.CUMPLEFP);
    EXPECT_EQ(cr.CUMPLESEQ(1, 1), caso.CUMPLESEQ);
    if (caso.UFP != 0) {
      EXPECT_EQ(cr.UFP(1, 1), caso.UFP);
    } else {
      EXPECT_EQ(cr.UFP(1, 1), -caso.ventana_punt);
    }
    EXPECT_EQ(cr.UFSEQ(1, 1), caso.UFSEQ);
  }
}

TEST(CriteriaEvaluation, DroughtPeriodOfAMonth) {
  Modelo m;
  tornal_test::prepare(m);
  basin(m, 1, {{"R1"}}, {"A"}, 100.0);  // every month fails
  Criterio k;
  k.permitidos = 100;
  // Period 2 overlaps period 1 (months 4 to 6) and period 3 holds month 5:
  // the highest-numbered period gets the month. Periods 4 to 6 match no month.
  k.sequias = {{2, 6}, {4, 8}, {5, 5}, {0, 0}, {13, 20}, {9, 7}};
  TrabajoCriterios cr = evaluate(m, k);
  EXPECT_EQ(cr.NUMFALLOSSEQ(1, 1, 1), 2);  // months 2, 3
  EXPECT_EQ(cr.NUMFALLOSSEQ(2, 1, 1), 4);  // months 4, 6, 7, 8
  EXPECT_EQ(cr.NUMFALLOSSEQ(3, 1, 1), 1);
  EXPECT_EQ(cr.NUMFALLOSSEQ(4, 1, 1), 0);
  EXPECT_EQ(cr.NUMFALLOSSEQ(5, 1, 1), 0);
  EXPECT_EQ(cr.NUMFALLOSSEQ(6, 1, 1), 0);
  EXPECT_EQ(cr.NUMFALLOSPUNT(1, 1), 5);  // months 1, 9 to 12
  EXPECT_EQ(cr.MAXFALLOSSEQ(1, 1), 4);
}

TEST(CriteriaEvaluation, PermittedDroughtFailures) {
  struct Caso {
    int permitidos;
    int fallos;  // in the period
    const char* verdict;
  };
  const std::vector<Caso> casos = {
      {0, 1, "NO CUMPLE "}, {0, 0, "CUMPLE    "}, {2, 2, "CUMPLE    "}, {2, 3, "NO CUMPLE "}, {-1, 0, "NO CUMPLE "}};
  for (const Caso& caso : casos) {
    SCOPED_TRACE(caso.permitidos * 10 + caso.fallos);
    Modelo m;
    tornal_test::prepare(m);
    basin(m, 1, {{"R1"}}, {"A"});
    for (int i = 0; i < caso.fallos; ++i) at(m, 1, 1, 4 + i) = 100;
    Criterio k;
    k.ventana_seq = 0;
    k.permitidos = caso.permitidos;
    k.sequias = {{4, 9}};
    TrabajoCriterios cr = evaluate(m, k);
    EXPECT_EQ(cr.CUMPLESEQ(1, 1), 1);
    EXPECT_EQ(cr.MAXFALLOSSEQ(1, 1), caso.fallos);
    EXPECT_EQ(cr.CUMPLESEQC(1, 1), caso.verdict);
  }
}

// A count of drought periods of 0 or less means none: every failure is a
// point failure. With a count of exactly 0 the drought criterion holds; a
// negative count keeps the verdict of the counts, which fails where the
// permitted number of failures is negative (no period has fewer than 0).
TEST(CriteriaEvaluation, NoDroughtPeriods) {
  struct Caso {
    int NUMSEQUIAS;
    int permitidos;
    const char* verdict;
  };
  const std::vector<Caso> casos = {
      {0, -1, "CUMPLE    "},       {0, 0, "CUMPLE    "},  {-1, -1, "NO CUMPLE "}, {INT_MIN, -1, "NO CUMPLE "},
      {-1, INT_MIN, "NO CUMPLE "}, {-1, 0, "CUMPLE    "}, {-5, 2, "CUMPLE    "},
  };
  for (const Caso& caso : casos) {
    SCOPED_TRACE(std::to_string(caso.NUMSEQUIAS) + " " + std::to_string(caso.permitidos));
    Modelo m;
    tornal_test::prepare(m);
    basin(m, 1, {{"R1"}}, {"A"});
    at(m, 1, 1, 3) = 100;
    at(m, 1, 1, 4) = 100;
    Criterio k;
    k.permitidos = caso.permitidos;
    k.ventana_seq = INT_MAX;
    k.NUMSEQUIAS = caso.NUMSEQUIAS;
    TrabajoCriterios cr = evaluate(m, k);
    EXPECT_EQ(cr.NUMFALLOSSEQ.size(1), 0);
    EXPECT_EQ(cr.NUMFALLOSPUNT(1, 1), 2);
    EXPECT_EQ(cr.MAXFALLOSSEQ(1, 1), 0);
    EXPECT_EQ(cr.CUMPLESEQ(1, 1), 1);
    EXPECT_EQ(cr.CUMPLESEQC(1, 1), caso.verdict);
    EXPECT_EQ(cr.CUMPLEFPC(1, 1), "NO CUMPLE ");
  }
}

TEST(CriteriaEvaluation, ReachesAndConstituentsAreJudgedApart) {
  Modelo m;
  tornal_test::prepare(m);
  // Reach 2 (flag -1) and reach 4 (flag 2) are not solved and not judged;
  // flags 0 and 1 are.
  basin(m, 2, {{"R1", 1, 0}, {"R2", 1, -1}, {"R3", 2, 1}, {"R4", 3, 2}}, {"A", "B"});
  for (int c = 1; c <= 4; ++c) {
    if (c == 1) continue;
    for (long t = 1; t <= 24; ++t) at(m, c, 1, t) = 100;
  }
  at(m, 1, 1, 24) = 100;
  // Constituent 2 fails in reach 1 two months apart, and in reach 3 in the
  // first month only: its last-failure month starts from minus the window.
  at(m, 1, 2, 5) = 100;
  at(m, 1, 2, 7) = 100;
  at(m, 3, 2, 1) = 100;
  Criterio k;
  k.ventana_punt = 2;
  k.sequias = {{10, 11}};
  TrabajoCriterios cr = evaluate(m, k);
  for (int c : {2, 4}) {
    for (int i = 1; i <= 2; ++i) {
      EXPECT_EQ(cr.NUMFALLOSPUNT(c, i), 0);
      EXPECT_EQ(cr.NUMFALLOSSEQ(1, c, i), 0);
      EXPECT_EQ(cr.MAXFALLOSSEQ(c, i), 0);
      EXPECT_EQ(cr.CUMPLEFPC(c, i), "CUMPLE    ");
      EXPECT_EQ(cr.CUMPLESEQC(c, i), "CUMPLE    ");
    }
  }
  EXPECT_EQ(cr.NUMFALLOSPUNT(1, 1), 1);
  EXPECT_EQ(cr.CUMPLEFP(1, 1), 1);
  EXPECT_EQ(cr.NUMFALLOSPUNT(3, 1), 22);
  EXPECT_EQ(cr.NUMFALLOSSEQ(1, 3, 1), 2);
  EXPECT_EQ(cr.CUMPLEFP(3, 1), 0);
  EXPECT_EQ(cr.CUMPLEFP(1, 2), 1);  // 7 - 5 = 2, not less than 2
  EXPECT_EQ(cr.NUMFALLOSPUNT(1, 2), 2);
  EXPECT_EQ(cr.NUMFALLOSPUNT(3, 2), 1);
  EXPECT_EQ(cr.CUMPLEFP(3, 2), 1);
}

TEST(CriteriaEvaluation, NoYearsOrNoConstituentsKeepTheStartValues) {
  Modelo m;
  tornal_test::prepare(m);
  basin(m, 0, {{"R1"}}, {"A"});
  Criterio k;
  k.sequias = {{1, 12}};
  TrabajoCriterios cr = evaluate(m, k);
  EXPECT_EQ(cr.NUMFALLOSPUNT(1, 1), 0);
  EXPECT_EQ(cr.NUMFALLOSSEQ(1, 1, 1), 0);
  EXPECT_EQ(cr.CUMPLEFPC(1, 1), "CUMPLE    ");
  EXPECT_EQ(cr.CUMPLESEQC(1, 1), "CUMPLE    ");

  Modelo m2;
  tornal_test::prepare(m2);
  basin(m2, 1, {{"R1"}}, {});
  TrabajoCriterios cr2 = evaluate(m2, k);
  EXPECT_EQ(cr2.NUMFALLOSSEQ.size(3), 0);
}

// ----------------------------------------------------------------------------
// The report

// Two constituents, the middle reach of three left out, two drought
// periods; every count and verdict worked out by hand.
TEST(CriteriaReport, WholeRunByteForByte) {
  TempDir dir;
  Modelo m;
  tornal_test::prepare(m, dir.path());
  basin(m, 2, {{"R1", 1, 0}, {"Skip", 2, -1}, {L1("Río Bajo"), 3, 1}}, {"Conductividad", L1("Oxígeno Disuelto")});
  for (long t = 1; t <= 24; ++t) {
    at(m, 2, 1, t) = 100;
    at(m, 1, 2, t) = 0.5;
    at(m, 2, 2, t) = 100;
    at(m, 3, 2, t) = 0.5;
  }
  // Constituent 1 (window 3, one failure permitted, window 6; 0 to 10).
  for (long t : {1, 10, 11, 12, 16, 19}) at(m, 1, 1, t) = 100;
  for (long t : {2, 4, 24}) at(m, 3, 1, t) = -1;
  // Constituent 2 (window 2, none permitted, window 2; -1 to 1.5).
  at(m, 1, 2, 3) = 1.5;
  at(m, 1, 2, 5) = -1;
  at(m, 1, 2, 11) = -2;
  for (long t : {13, 14, 15, 21}) at(m, 3, 2, t) = 7;
  dir.write("Criterios.csv", std::string(5000, 'x') + "\r\nold line\r\n");
  dir.write("Criterios.txt",
            "Criterios de cumplimiento\r\nMeses entre fallos\r\nk punt permit seq\r\n"
            "1 3 1 6\r\n2 2 0 2\r\n"
            "Umbrales\r\nk max min\r\n"
            "1 10.0 0\r\n2 1.5E0 -1\r\n"
            "Sequias\r\n2\r\n10 12\r\n15 20\r\n");
  tornal::CRITERIOSUB(m);
  EXPECT_TRUE(m.log.lines().empty());
  const std::string cabecera = " Conduccion;Numero de Fallos;C/NC_FallosPunt;MaxNumFallosSeq;C/NC_Sequia ;";
  const std::string cab_seq = L1(" Conduccion;Numero de Fallos en Sequías;");
  const std::string rio = L1("Río Bajo");
  const std::string c1 = padded("Conductividad", 30);
  const std::string c2 = padded(L1("Oxígeno Disuelto"), 30);
  const std::string seq1 = L1(" Sequía número;           1");
  const std::string seq2 = L1(" Sequía número;           2");
  const std::string fallos = L1(" *Fallos en Sequías");
  EXPECT_EQ(dir.read("Criterios.csv"), crlf({
                                           " SALIDA DE RESULTADOS DE CUMPLIMIENTO DE CRITERIOS",
                                           " RESULTADOS GENERALES",
                                           c1,
                                           cabecera,
                                           "R1;   1;CUMPLE    ;   3;NO CUMPLE ;",
                                           rio + ";   3;NO CUMPLE ;   0;CUMPLE    ;",
                                           c2,
                                           cabecera,
                                           "R1;   0;CUMPLE    ;   1;NO CUMPLE ;",
                                           rio + ";   3;NO CUMPLE ;   1;NO CUMPLE ;",
                                           L1(" ANALISIS DE NUMERO DE FALLOS EN CADA SEQUÍA"),
                                           c1,
                                           fallos,
                                           seq1,
                                           cab_seq,
                                           "R1;   3;",
                                           rio + ";   0;",
                                           seq2,
                                           cab_seq,
                                           "R1;   2;",
                                           rio + ";   0;",
                                           c2,
                                           fallos,
                                           seq1,
                                           cab_seq,
                                           "R1;   1;",
                                           rio + ";   0;",
                                           seq2,
                                           cab_seq,
                                           "R1;   0;",
                                           rio + ";   1;",
                                       }));
}

const std::string kHeadings = " SALIDA DE RESULTADOS DE CUMPLIMIENTO DE CRITERIOS\r\n RESULTADOS GENERALES\r\n";
const std::string kDroughtHeading = L1(" ANALISIS DE NUMERO DE FALLOS EN CADA SEQUÍA") + "\r\n";

TEST(CriteriaReport, NoConstituentsGivesTheThreeHeadings) {
  TempDir dir;
  Modelo m;
  tornal_test::prepare(m, dir.path());
  basin(m, 1, {{"R1"}}, {});
  dir.write("Criterios.txt", "\n\n\n\n\n\n1\n1 2\n");
  tornal::CRITERIOSUB(m);
  EXPECT_EQ(dir.read("Criterios.csv"), kHeadings + kDroughtHeading);
}

// A negative count of periods keeps the drought verdict of the counts: with
// -1 failures permitted, "NO CUMPLE ".
TEST(CriteriaReport, NoDroughtPeriodsEndsWithTheDroughtHeading) {
  for (auto [cuenta, sequia] : {std::pair{"0", "CUMPLE    "}, std::pair{"-2", "NO CUMPLE "}}) {
    SCOPED_TRACE(cuenta);
    TempDir dir;
    Modelo m;
    tornal_test::prepare(m, dir.path());
    basin(m, 1, {{"R1"}}, {"A"});
    at(m, 1, 1, 2) = 100;
    dir.write("Criterios.txt", std::string("h\nh\nh\n1 1 -1 1\nh\nh\n1 10 0\nh\n") + cuenta + "\n");
    tornal::CRITERIOSUB(m);
    EXPECT_EQ(dir.read("Criterios.csv"),
              kHeadings +
                  crlf({padded("A", 30), " Conduccion;Numero de Fallos;C/NC_FallosPunt;MaxNumFallosSeq;C/NC_Sequia ;",
                        std::string("R1;   1;CUMPLE    ;   0;") + sequia + ";"}) +
                  kDroughtHeading);
  }
}

TEST(CriteriaReport, RowsOfUnusualReachesAndCounts) {
  TempDir dir;
  Modelo m;
  tornal_test::prepare(m, dir.path());
  // A name of blanks; a name with leading blanks; every reach left out of
  // a second basin below.
  basin(m, 1, {{""}, {"  Lejos"}}, {"A"});
  TrabajoCriterios cr;
  tornal::preparar_criterios(m, cr);
  cr.NUMSEQUIAS = 12;
  cr.NUMFALLOSSEQ.resize(12, 2, 1);
  cr.NUMFALLOSPUNT(1, 1) = 10000;
  cr.NUMFALLOSPUNT(2, 1) = 9999;
  cr.MAXFALLOSSEQ(1, 1) = -999;
  cr.MAXFALLOSSEQ(2, 1) = -1000;
  cr.NUMFALLOSSEQ(12, 1, 1) = 12345;
  cr.NUMFALLOSSEQ(12, 2, 1) = 7;
  cr.CUMPLEFPC(2, 1) = "NO CUMPLE ";
  tornal::escribir_informe_criterios(m, cr);
  std::vector<std::string> lines;
  std::string text = dir.read("Criterios.csv");
  for (std::size_t p = 0; p < text.size();) {
    std::size_t e = text.find("\r\n", p);
    ASSERT_NE(e, std::string::npos);
    lines.push_back(text.substr(p, e - p));
    p = e + 2;
  }
  ASSERT_EQ(lines.size(), 4u + 3u + 2u + 12u * 4u);
  EXPECT_EQ(lines[4], ";****;CUMPLE    ;-999;CUMPLE    ;");
  EXPECT_EQ(lines[5], "  Lejos;9999;NO CUMPLE ;****;CUMPLE    ;");
  EXPECT_EQ(lines[lines.size() - 4], L1(" Sequía número;          12"));
  EXPECT_EQ(lines[lines.size() - 2], ";****;");
  EXPECT_EQ(lines[lines.size() - 1], "  Lejos;   7;");
  // The first count cut to asterisks is listed once: record 5, column 2.
  ASSERT_EQ(m.sim.campos_asteriscos.size(), 1u);
  EXPECT_EQ(m.sim.campos_asteriscos[0].archivo, "Criterios.csv");
  EXPECT_EQ(m.sim.campos_asteriscos[0].registro, 5);
  EXPECT_EQ(m.sim.campos_asteriscos[0].columna, 2);
  EXPECT_EQ(m.sim.campos_asteriscos[0].encabezado, "Numero de Fallos");
}

TEST(CriteriaReport, EveryReachLeftOutGivesHeadingsWithoutRows) {
  TempDir dir;
  Modelo m;
  tornal_test::prepare(m, dir.path());
  basin(m, 1, {{"R1", 1, -1}, {"R2", 1, 2}}, {"A"});
  dir.write("Criterios.txt", "h\nh\nh\n1 1 1 1\nh\nh\n1 10 0\nh\n1\n1 12\n");
  tornal::CRITERIOSUB(m);
  EXPECT_EQ(dir.read("Criterios.csv"),
            kHeadings +
                crlf({padded("A", 30), " Conduccion;Numero de Fallos;C/NC_FallosPunt;MaxNumFallosSeq;C/NC_Sequia ;"}) +
                kDroughtHeading +
                crlf({padded("A", 30), L1(" *Fallos en Sequías"), L1(" Sequía número;           1"),
                      L1(" Conduccion;Numero de Fallos en Sequías;")}));
}

TEST(CriteriaReport, ReportThatCannotBeOpenedOrWrittenStops) {
  const std::string txt = "h\nh\nh\n1 1 1 1\nh\nh\n1 10 0\nh\n0\n";
  {
    SCOPED_TRACE("a folder in the report's place");
    TempDir dir;
    Modelo m;
    tornal_test::prepare(m, dir.path());
    basin(m, 1, {{"R1"}}, {"A"});
    dir.write("Criterios.txt", txt);
    std::filesystem::create_directory(dir.file("Criterios.csv"));
    EXPECT_EQ(stop_message([&] { tornal::CRITERIOSUB(m); }), "error");
    EXPECT_EQ(log_lines(m), std::vector<std::string>{"Error en el acceso al arcchivo de resultados de criterios"});
  }
  if (std::filesystem::exists("/dev/full")) {
    SCOPED_TRACE("a full disk");
    TempDir dir;
    Modelo m;
    tornal_test::prepare(m, dir.path());
    basin(m, 1, {{"R1"}}, {"A"});
    dir.write("Criterios.txt", txt);
    std::filesystem::create_symlink("/dev/full", dir.file("Criterios.csv"));
    EXPECT_EQ(stop_message([&] { tornal::CRITERIOSUB(m); }), "error");
    EXPECT_EQ(log_lines(m), std::vector<std::string>{"Error en el acceso al arcchivo de resultados de criterios"});
  }
}

}  // namespace
