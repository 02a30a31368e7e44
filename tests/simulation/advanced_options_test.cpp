// The advanced-options file "tornal.avz": its four sections, the record
// counter of its read errors, the rebuild of the series from long curves and
// the refused files.
#include "simulation/advanced_options.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "quality_input/time_constants.h"
#include "test_util.h"

namespace {

using namespace tornal;
using tornal_test::log_lines;
using tornal_test::stop_message;
using tornal_test::TempDir;

// A code beyond the last code of the time-varying constants.
const std::string FUERA = std::to_string(NUMCODIGOSTEMPORALES + 1);

const char* const EXISTE = "Existe Tornal.avz";
const std::string FIN = latin1("Lectura de archivo tORNAL.aVZ realizada con éxito");

// Two reaches, one reservoir, two constituents and two time curves over NA
// years. The oxygen constants exist (codes 1 to 3), the nitrogen and
// phytoplankton ones do not. Temperature is modelled by no series of its
// own, so the long curves rebuild only the layer series of the reservoir
// (base 0.5, curve 1).
void preparar(Modelo& m, const TempDir& dir, int NA = 1) {
  tornal_test::prepare(m, dir.path());
  m.red.NUMANYOS = NA;
  m.red.NUMCONDUCCIONES = 2;
  m.red.NUMEMBALSES = 1;
  m.red.NOMCONDUCC.resize(2);
  m.red.NOMEMB.resize(1);
  m.cal.OPCIONTEMPERATURA = 1;
  m.cal.NUMCONTAMINANTES = 2;
  m.cal.NUMCURVASTEMP = 2;
  for (Array1<double>* a : {&m.cal.KACOND, &m.cal.KDCOND, &m.cal.VSLCOND}) a->resize(2);
  for (Array1<double>* a : {&m.cal.KAEMB, &m.cal.KDEMB, &m.cal.VSLEMB}) a->resize(1);
  for (Array2<double>* s : {&m.cal.EEMB, &m.cal.ENTREMB, &m.cal.SALEMB, &m.cal.ZTEMB}) s->resize(1, 12 * NA);
  for (Array1<double>* b : {&m.cal.EEM, &m.cal.ENTREM, &m.cal.SALEM, &m.cal.ZTEM}) b->resize_filled(0.5, 1);
  for (Array1<int>* c : {&m.cal.CURVAEEM, &m.cal.CURVTENTREM, &m.cal.CURVTSALEM, &m.cal.CURVTZTEM})
    c->resize_filled(1, 1);
}

// `filas` lines: line t is what `linea(t)` gives.
template <typename F>
std::string lineas(int filas, F&& linea) {
  std::string out;
  for (int t = 1; t <= filas; ++t) out += std::string(linea(t)) + "\n";
  return out;
}

std::string num(double v) {
  std::ostringstream o;
  o << v;
  return o.str();
}

// The sections as a test file writes them for one year (12 months): long
// curve factors 1 + t/100 and 2 + t/100; diffuse load rows for reaches 2
// and 1 with values 100k + t + c/10; sediment rows of reservoir 1 with
// 200k + t + c/10; constants of reach 2 (code 3.7) and reach 1 (a code beyond
// the last),
// of reservoir 1 (code 1).
std::string curvas(int M = 12) {
  return "<CURVAS_TEMPORALES>\n" + lineas(M, [](int t) { return num(1 + t / 100.0) + " " + num(2 + t / 100.0); });
}
std::string filas(const std::string& tag, double base, const std::string& lista, int n) {
  std::string s = tag + "\n" + std::to_string(n) + "\n" + lista + "\n";
  for (int k = 1; k <= n; ++k)
    s += lineas(12, [&](int t) { return num(base * k + t + 0.1) + ", " + num(base * k + t + 0.2); });
  return s;
}
std::string contdif() { return filas("<CONTDIF_TEMPORAL>", 100, "2 1", 2); }
std::string sed() { return filas("<SED_EMB_TEMPORAL>", 200, "1", 1); }
std::string ctes() {
  return "<CTES_TEMPORALES>\n2 1\n2 1\n3.7 " + FUERA + "\n" +
         lineas(12, [](int t) { return num(10 + t) + " " + num(20 + t); }) + "1\n1\n" +
         lineas(12, [](int t) { return num(30 + t); });
}

// The last three lines of the run log are the read-error lines with `NUMLINEA`.
void espera_error_lectura(const Modelo& m, long NUMLINEA) {
  const std::vector<std::string> l = log_lines(m);
  ASSERT_GE(l.size(), 3u);
  EXPECT_EQ(l[l.size() - 3], "Error en la lectura del archivo TORNAL.AVZ");
  EXPECT_EQ(l[l.size() - 2], "Error en la linea numero:");
  EXPECT_EQ(std::stol(l[l.size() - 1]), NUMLINEA);
}

TEST(AdvancedOptions, AbsentFileLeavesEverythingAsItWas) {
  TempDir dir;
  Modelo m;
  preparar(m, dir);
  m.cal.EEMB(1, 3) = -7.0;
  LEERARCHAVZSUB(m);
  EXPECT_TRUE(m.log.lines().empty());
  EXPECT_FALSE(m.sim.HAYCURVASLARGAS);
  EXPECT_FALSE(m.sim.HAYCONTDIFTEMP);
  EXPECT_FALSE(m.sim.HAYSEDEMBTEMP);
  EXPECT_FALSE(m.sim.HAYCTESTEMP);
  EXPECT_EQ(m.sim.NUMMESESTEMP, 0);
  EXPECT_EQ(m.cal.EEMB(1, 3), -7.0);
}

// Lines that are no tag are passed over: a lower-case tag, a comment, a tag
// behind a comma; the lines of an unrecognised section are passed over too.
TEST(AdvancedOptions, FileWithoutTagsOnlyWritesItsTwoLines) {
  TempDir dir;
  dir.write("tornal.avz", "comentario libre\r\n<curvas_temporales>\r\n1 2\r\n\r\n,<CTES_TEMPORALES>\r\nx\r\n");
  Modelo m;
  preparar(m, dir, 2);
  LEERARCHAVZSUB(m);
  EXPECT_EQ(log_lines(m), (std::vector<std::string>{EXISTE, FIN}));
  EXPECT_EQ(m.sim.NUMMESESTEMP, 24);
  EXPECT_FALSE(m.sim.HAYCURVASLARGAS);
  EXPECT_FALSE(m.sim.HAYCTESTEMP);
}

// Long curves over two years (24 records), the tag indented and followed by
// words; the layer series are rebuilt from them at the end.
TEST(AdvancedOptions, LongCurvesAreReadAndRebuildTheSeries) {
  TempDir dir;
  dir.write("tornal.avz", "  <CURVAS_TEMPORALES> curvas largas\n" +
                              lineas(24, [](int t) { return num(1 + t / 100.0) + " " + num(2 + t / 100.0); }));
  Modelo m;
  preparar(m, dir, 2);
  m.cal.CURVTSALEM(1) = 2;
  m.cal.SALEM(1) = 0.4;  // a share within 0 and 1 with every factor of curve 2
  LEERARCHAVZSUB(m);
  EXPECT_EQ(log_lines(m), (std::vector<std::string>{EXISTE, "Existen curvas temporales variables", FIN}));
  ASSERT_TRUE(m.sim.HAYCURVASLARGAS);
  ASSERT_EQ(m.sim.CURVASTEMPLARGAS.size(1), 2);
  ASSERT_EQ(m.sim.CURVASTEMPLARGAS.size(2), 24);
  EXPECT_DOUBLE_EQ(m.sim.CURVASTEMPLARGAS(1, 1), 1.01);
  EXPECT_DOUBLE_EQ(m.sim.CURVASTEMPLARGAS(2, 17), 2.17);
  // Month 17 of the run differs from month 5: no 12-month repetition.
  EXPECT_DOUBLE_EQ(m.cal.EEMB(1, 17), 0.5 * 1.17);
  EXPECT_DOUBLE_EQ(m.cal.EEMB(1, 5), 0.5 * 1.05);
  EXPECT_DOUBLE_EQ(m.cal.SALEMB(1, 24), 0.4 * 2.24);
}

// The diffuse loads and the sediment fluxes share one layout: count, element
// list, then for each row one record per month of every constituent.
TEST(AdvancedOptions, DiffuseLoadAndSedimentRows) {
  TempDir dir;
  dir.write("tornal.avz", contdif() + sed());
  Modelo m;
  preparar(m, dir);
  m.cal.UNIDADESESTEQUIOMETRICAS(1) = 0.2;  // no factor applies to the values read
  LEERARCHAVZSUB(m);
  EXPECT_EQ(log_lines(m), (std::vector<std::string>{EXISTE, "Existen contaminacion difusa variable temporal",
                                                    "Existen flujo de sedimento de embalse variable temporal", FIN}));
  const Simulacion& s = m.sim;
  ASSERT_TRUE(s.HAYCONTDIFTEMP);
  ASSERT_TRUE(s.HAYSEDEMBTEMP);
  EXPECT_FALSE(s.HAYCURVASLARGAS);
  ASSERT_EQ(s.NUMVERTDIFTEMP, 2);
  EXPECT_EQ(s.ORDENVERTDIFTEMP(1), 2);
  EXPECT_EQ(s.ORDENVERTDIFTEMP(2), 1);
  ASSERT_EQ(s.SDVERTDIFTEMP.size(3), 12);
  EXPECT_DOUBLE_EQ(s.SDVERTDIFTEMP(1, 1, 1), 101.1);
  EXPECT_DOUBLE_EQ(s.SDVERTDIFTEMP(1, 2, 12), 112.2);
  EXPECT_DOUBLE_EQ(s.SDVERTDIFTEMP(2, 1, 7), 207.1);
  ASSERT_EQ(s.NUMEMBFLUJSEDTEMP, 1);
  EXPECT_EQ(s.ORDEMBFLUJSEDVAR(1), 1);
  EXPECT_DOUBLE_EQ(s.FLUJSEDEMBTEMP(1, 2, 9), 209.2);
}

// A count of 0 still takes its list line: here the list line holds a tag,
// which is therefore not seen as one.
TEST(AdvancedOptions, ZeroRowsStillTakeTheirListLine) {
  TempDir dir;
  dir.write("tornal.avz", "<SED_EMB_TEMPORAL>\n0\n<CTES_TEMPORALES>\n1 0\n");
  Modelo m;
  preparar(m, dir);
  LEERARCHAVZSUB(m);
  EXPECT_TRUE(m.sim.HAYSEDEMBTEMP);
  EXPECT_EQ(m.sim.NUMEMBFLUJSEDTEMP, 0);
  EXPECT_EQ(m.sim.FLUJSEDEMBTEMP.size(1), 0);
  EXPECT_FALSE(m.sim.HAYCTESTEMP);
}

TEST(AdvancedOptions, TimeVaryingConstantsOfReachesAndReservoirs) {
  TempDir dir;
  dir.write("tornal.avz", ctes());
  Modelo m;
  preparar(m, dir);
  LEERARCHAVZSUB(m);
  EXPECT_EQ(log_lines(m), (std::vector<std::string>{EXISTE, "Existen constantes variables de forma temporal", FIN}));
  const Simulacion& s = m.sim;
  ASSERT_TRUE(s.HAYCTESTEMP);
  ASSERT_EQ(s.NUMCTESTEMPCOND, 2);
  ASSERT_EQ(s.NUMCTESTEMPEMB, 1);
  EXPECT_EQ(s.CONDUCKTEMP(1), 2.0);
  EXPECT_EQ(s.NUMKCONDUCTEMP(1), 3.7);  // held as read, truncated where used
  EXPECT_EQ(s.NUMKCONDUCTEMP(2), NUMCODIGOSTEMPORALES + 1.0);
  EXPECT_EQ(s.KTESTEMPCONDUC(1, 5), 15.0);
  EXPECT_EQ(s.KTESTEMPCONDUC(2, 12), 32.0);
  EXPECT_EQ(s.EMBKTEMP(1), 1.0);
  EXPECT_EQ(s.NUMKEMBTEMP(1), 1.0);
  EXPECT_EQ(s.KTESTEMPEMB(1, 12), 42.0);
}

// Without reach constants the reservoir records follow the counts at once.
TEST(AdvancedOptions, ReservoirConstantsOnly) {
  TempDir dir;
  dir.write("tornal.avz", "<CTES_TEMPORALES>\n0 2\n1 1\n2 0\n" + lineas(12, [](int t) { return num(t) + " 9"; }));
  Modelo m;
  preparar(m, dir);
  LEERARCHAVZSUB(m);
  const Simulacion& s = m.sim;
  EXPECT_EQ(s.KTESTEMPCONDUC.size(1), 0);
  EXPECT_EQ(s.CONDUCKTEMP.size(), 0);
  ASSERT_EQ(s.KTESTEMPEMB.size(1), 2);
  EXPECT_EQ(s.NUMKEMBTEMP(2), 0.0);
  EXPECT_EQ(s.KTESTEMPEMB(1, 11), 11.0);
  EXPECT_EQ(s.KTESTEMPEMB(2, 11), 9.0);
  EXPECT_EQ(log_lines(m).back(), FIN);
}

// The order of the sections changes only the order of their log lines.
TEST(AdvancedOptions, SectionsInAnyOrderGiveTheSameArrays) {
  TempDir a, b;
  a.write("tornal.avz", curvas() + contdif() + sed() + ctes());
  b.write("tornal.avz", "comentario\n" + ctes() + "\n" + curvas() + sed() + "otro\n" + contdif());
  Modelo ma, mb;
  preparar(ma, a);
  preparar(mb, b);
  LEERARCHAVZSUB(ma);
  LEERARCHAVZSUB(mb);
  const Simulacion& x = ma.sim;
  const Simulacion& y = mb.sim;
  EXPECT_TRUE(y.HAYCURVASLARGAS && y.HAYCONTDIFTEMP && y.HAYSEDEMBTEMP && y.HAYCTESTEMP);
  for (int t = 1; t <= 12; ++t) {
    for (int c = 1; c <= 2; ++c) {
      EXPECT_EQ(x.CURVASTEMPLARGAS(c, t), y.CURVASTEMPLARGAS(c, t));
      EXPECT_EQ(x.FLUJSEDEMBTEMP(1, c, t), y.FLUJSEDEMBTEMP(1, c, t));
      for (int k = 1; k <= 2; ++k) EXPECT_EQ(x.SDVERTDIFTEMP(k, c, t), y.SDVERTDIFTEMP(k, c, t));
      EXPECT_EQ(x.KTESTEMPCONDUC(c, t), y.KTESTEMPCONDUC(c, t));
    }
    EXPECT_EQ(x.KTESTEMPEMB(1, t), y.KTESTEMPEMB(1, t));
    EXPECT_DOUBLE_EQ(mb.cal.EEMB(1, t), 0.5 * (1 + t / 100.0));
  }
  EXPECT_EQ(y.ORDENVERTDIFTEMP(1), 2);
  EXPECT_EQ(log_lines(mb)[1], "Existen constantes variables de forma temporal");
}

// Every refused file: the read-error lines with the running number of the
// series record being read or next to be read, and a stop.
struct Fallo {
  const char* caso;
  std::string contenido;
  long NUMLINEA;
};

std::string con_letra(std::string s, int linea) {
  // Replaces the first character of line `linea` (1-based) with a letter.
  std::size_t pos = 0;
  for (int l = 1; l < linea; ++l) pos = s.find('\n', pos) + 1;
  s[pos] = 'x';
  return s;
}

std::string hasta_linea(const std::string& s, int lineas_que_quedan) {
  std::size_t pos = 0;
  for (int l = 0; l < lineas_que_quedan; ++l) pos = s.find('\n', pos) + 1;
  return s.substr(0, pos);
}

// Twelve series records that would all read well.
std::string doce(const char* linea) {
  return lineas(12, [&](int) { return linea; });
}

// Faults that only a check can see are given files that hold all their
// records, so that no end of file stands in for the check.
TEST(AdvancedOptions, RefusedFilesReportTheSeriesRecordCounter) {
  const std::vector<Fallo> fallos = {
      // Values that cannot be read.
      {"letter in the 5th record of the first section", con_letra(curvas(), 6), 5},
      {"letter in a diffuse-load record after the curves", curvas() + con_letra(contdif(), 4 + 13), 12 + 14},
      {"letter in the count after the curves", curvas() + "<SED_EMB_TEMPORAL>\ndos\n", 13},
      {"decimal point in a count", "<CONTDIF_TEMPORAL>\n2.0\n", 1},
      {"letter in an element list", "<CONTDIF_TEMPORAL>\n1\nuno\n", 1},
      {"letter in a constant code", "<CTES_TEMPORALES>\n1 0\n1\ntres\n", 1},
      // The file ends inside a section.
      {"end of file inside the long curves", hasta_linea(curvas(), 4), 4},
      {"end of file in a count", "<CTES_TEMPORALES>\n", 1},
      {"end of file in an element list", curvas() + "<CONTDIF_TEMPORAL>\n1\n", 13},
      // A count whose records the rest of the file cannot hold is refused at
      // the count, before the arrays are sized.
      {"end of file in the second row of loads", hasta_linea(contdif(), 3 + 12 + 5), 1},
      {"end of file in the reservoir constants", hasta_linea(ctes(), 4 + 12 + 1), 1},
      {"a count the file cannot hold", "<SED_EMB_TEMPORAL>\n1000000000\n1\n1 1\n", 1},
      {"a negative count of rows", "<SED_EMB_TEMPORAL>\n-1\n\n", 1},
      {"time-varying constants beyond the file", "<CTES_TEMPORALES>\n2000000000 2000000000\n1\n1\n" + doce("1"), 1},
      {"a negative count of constants", "<CTES_TEMPORALES>\n-1 0\n" + doce("1"), 1},
      {"reservoir constants whose months the file lacks", "<CTES_TEMPORALES>\n1 1\n1\n1\n" + doce("1") + "1\n1\n", 1},
      // Repeat counts give the values, but the constants would hold more of
      // them than the file writes out and than the bound of repeated values.
      {"twenty million constants of repeated values",
       "<CTES_TEMPORALES>\n20000000 0\n20000000*1\n20000000*" + FUERA + "\n" + doce("20000000*1"), 1},
      // A section given twice.
      {"long curves twice", curvas() + curvas(), 13},
      {"diffuse loads twice", contdif() + sed() + contdif(), 37},
      // Element numbers out of range.
      {"diffuse load of reach 3 of 2", filas("<CONTDIF_TEMPORAL>", 100, "1 3", 2), 1},
      {"diffuse load of reach 0", curvas() + filas("<CONTDIF_TEMPORAL>", 100, "0", 1), 13},
      {"sediment flux of reservoir 2 of 1", filas("<SED_EMB_TEMPORAL>", 200, "2", 1), 1},
      {"constant of reach 3 of 2", "<CTES_TEMPORALES>\n2 0\n1 3\n1 2\n" + doce("1 1"), 1},
      {"constant of reach -1 with code 1.5", "<CTES_TEMPORALES>\n1 0\n-1\n1.5\n" + doce("1"), 1},
      {"constant of reservoir 2 of 1", "<CTES_TEMPORALES>\n0 1\n2\n3\n" + doce("1"), 1},
      // Codes whose constants the options of the run do not have.
      {"nitrogen code of a reach", "<CTES_TEMPORALES>\n1 0\n1\n4\n" + doce("1"), 1},
      {"phytoplankton code of a reservoir", curvas() + "<CTES_TEMPORALES>\n0 1\n1\n15.2\n" + doce("1"), 13},
  };
  for (const Fallo& f : fallos) {
    SCOPED_TRACE(f.caso);
    TempDir dir;
    dir.write("tornal.avz", f.contenido);
    Modelo m;
    preparar(m, dir);
    EXPECT_EQ(stop_message([&] { LEERARCHAVZSUB(m); }), "error");
    espera_error_lectura(m, f.NUMLINEA);
  }
}

// A repeat count n*v gives n values: a thousand constants, each list written
// as one repeat count, in a file of fewer characters than constants.
TEST(AdvancedOptions, RepeatCountsGiveTheirValues) {
  TempDir dir;
  dir.write("tornal.avz", "<CTES_TEMPORALES>\n1000 0\n1000*1\n999*" + FUERA + " 3\n" + doce("999*0.5,2.5"));
  Modelo m;
  preparar(m, dir);
  ASSERT_EQ(stop_message([&] { LEERARCHAVZSUB(m); }), "");
  const Simulacion& s = m.sim;
  ASSERT_EQ(s.NUMCTESTEMPCOND, 1000);
  EXPECT_EQ(s.CONDUCKTEMP(1000), 1.0);
  EXPECT_EQ(s.NUMKCONDUCTEMP(999), NUMCODIGOSTEMPORALES + 1.0);
  EXPECT_EQ(s.NUMKCONDUCTEMP(1000), 3.0);
  EXPECT_EQ(s.KTESTEMPCONDUC(999, 12), 0.5);
  EXPECT_EQ(s.KTESTEMPCONDUC(1000, 12), 2.5);
}

// Entries that are never applied are not checked: codes outside 1 to
// NUMCODIGOSTEMPORALES with any element number.
TEST(AdvancedOptions, EntriesOfOtherCodesAreNotChecked) {
  TempDir dir;
  dir.write("tornal.avz", "<CTES_TEMPORALES>\n2 1\n99 -5\n0 " + FUERA + ".5\n" + lineas(12, [](int) { return "1 2"; }) +
                              "7\n-3\n" + lineas(12, [](int) { return "3"; }));
  Modelo m;
  preparar(m, dir);
  LEERARCHAVZSUB(m);
  EXPECT_EQ(log_lines(m).back(), FIN);
  EXPECT_EQ(m.sim.CONDUCKTEMP(1), 99.0);
  EXPECT_EQ(m.sim.KTESTEMPEMB(1, 12), 3.0);
}

}  // namespace
