// Tests of the tagged monthly concentration file: the whole file of a small
// basin against a text worked out by hand, the code and label table under
// several option sets, the blocks that counts of zero leave out, the mark of
// a cut reach, the risk run and the files that cannot be written.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "common/latin1.h"
#include "reports/reports.h"
#include "test_util.h"

namespace {

using tornal::Modelo;
using tornal_test::TempDir;

// The lines of a file written with CR LF ends; fails the test on a bare LF
// or on a last line without its end.
std::vector<std::string> lineas_crlf(const std::string& bytes) {
  std::vector<std::string> out;
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    std::size_t fin = bytes.find("\r\n", pos);
    if (fin == std::string::npos) {
      ADD_FAILURE() << "last line without CR LF";
      out.push_back(bytes.substr(pos));
      break;
    }
    out.push_back(bytes.substr(pos, fin - pos));
    pos = fin + 2;
  }
  for (const std::string& l : out) EXPECT_EQ(l.find_first_of("\r\n"), std::string::npos) << "stray line end in: " << l;
  return out;
}

// The lines strictly between the first `abre` and the following `cierra`.
std::vector<std::string> entre(const std::vector<std::string>& lineas, const std::string& abre,
                               const std::string& cierra) {
  std::vector<std::string> out;
  std::size_t i = 0;
  while (i < lineas.size() && lineas[i] != abre) ++i;
  EXPECT_LT(i, lineas.size()) << "no " << abre;
  for (++i; i < lineas.size() && lineas[i] != cierra; ++i) out.push_back(lineas[i]);
  EXPECT_LT(i, lineas.size()) << "no " << cierra;
  return out;
}

// Network counts, years and options; the result arrays sized to them, every
// value 0.
void red_y_opciones(Modelo& m, int anyos, int embalses, std::vector<int> tipos, int temp, int n1or, int oxi,
                    int nit = 0, int fito = 0) {
  tornal_test::prepare(m);
  m.red.NUMANYOS = anyos;
  m.red.ANYOINICIAL = 2000;
  m.red.NUMEMBALSES = embalses;
  tipos.resize(5, 0);
  m.red.NUMCONDUCCIONEST1 = tipos[0];
  m.red.NUMCONDUCCIONEST2 = tipos[1];
  m.red.NUMCONDUCCIONEST3 = tipos[2];
  m.red.NUMCONDUCCIONEST4 = tipos[3];
  m.red.NUMCONDUCCIONEST5 = tipos[4];
  m.red.NUMCONDUCCIONES = tipos[0] + tipos[1] + tipos[2] + tipos[3] + tipos[4];
  m.cal.OPCIONTEMPERATURA = temp;
  m.cal.NUMCONT1OR = n1or;
  m.cal.OPCIONOXIGENO = oxi;
  m.cal.OPCIONNITROGENO = nit;
  m.cal.OPCIONFITOPLANCTON = fito;
  m.cal.NUMCONTAMINANTES = temp + n1or + 2 * oxi + 3 * (nit + fito);
  m.cal.NOMCONT1OR.resize(n1or);
  const char* const nombres[] = {"Cloruros", "Boro", "Coliformes"};
  for (int i = 1; i <= n1or; ++i) m.cal.NOMCONT1OR(i) = tornal::padded(nombres[(i - 1) % 3], 30);
  const int n = m.cal.NUMCONTAMINANTES;
  m.sim.EMB1CF.resize(embalses, n, 12, anyos);
  m.sim.EMB2CF.resize(embalses, n, 12, anyos);
  m.sim.CONDUCCCS.resize(m.red.NUMCONDUCCIONES, n, 12, anyos);
  m.cal.INRESEMB.resize(embalses);
  m.cal.INRESCOND.resize(m.red.NUMCONDUCCIONES);
}

std::vector<std::string> escribir(Modelo& m, const TempDir& dir) {
  tornal::ESCRIBIRARCHXMLSUB(m, tornal::padded(dir.file("conc.xml"), 255));
  return lineas_crlf(dir.read("conc.xml"));
}

// Two years from October 2000; one reservoir; two reaches of type 1, none of
// type 2, one of type 3 (cut by the loop cuts); temperature, one first-order
// pollutant and the oxygen option. Every value tells its element,
// constituent, month and year apart: reservoir 10000 y + 100 k + mes + 0.25,
// reach c 10000 y + 1000 c + 100 k + mes + 0.5; the cut reach keeps -999
// times the back factor (0.5 for DBO5 here). No element is selected for the
// graphics tables, and the lower layer holds values that must not appear.
TEST(TaggedFile, WholeFileLineByLine) {
  TempDir dir;
  Modelo m;
  red_y_opciones(m, 2, 1, {2, 0, 1}, 1, 1, 1);
  m.cal.NOMCONT1OR(1) = tornal::padded("F\xF3sforo total", 30);
  m.cal.TITULO1 = tornal::padded(
      "Cuenca del R\xEDo <Tajo> & afluentes: simulaci\xF3n mensual de la calidad del agua, 2000-2002", 255);
  m.cal.TITULO2 = std::string(255, '\0');  // left unset by the quality data
  for (int y = 1; y <= 2; ++y)
    for (int k = 1; k <= 4; ++k)
      for (int mes = 1; mes <= 12; ++mes) {
        m.sim.EMB1CF(1, k, mes, y) = 10000 * y + 100 * k + mes + 0.25;
        m.sim.EMB2CF(1, k, mes, y) = 7777.0;
        for (int c = 1; c <= 2; ++c) m.sim.CONDUCCCS(c, k, mes, y) = 10000 * y + 1000 * c + 100 * k + mes + 0.5;
        m.sim.CONDUCCCS(3, k, mes, y) = k == 3 ? -999.0 * 0.5 : -999.0;
      }
  // An earlier, longer file at the path loses all its content.
  dir.write("conc.xml", std::string(40000, 'x') + "\r\n");

  // The expected file, one line of it per line.
  // clang-format off
  const std::vector<std::string> esperado = {
      "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" ?>",
      " <TORNAL>",
      " <DATGENC>",
      " <TIT1C>",
      " Cuenca del R\xED""o <Tajo> & afluentes: simulaci\xF3""n mensual de la calidad del agua, 2",
      " 000-2002                                                                       ",
      std::string(80, ' '),
      std::string(19, ' '),
      " </TIT1C>",
      " <TIT2C>",
      std::string(80, ' '),
      std::string(80, ' '),
      std::string(80, ' '),
      std::string(19, ' '),
      " </TIT2C>",
      " <NUMCONT>",
      "           4",
      " </NUMCONT>",
      " <NOMCONT>",
      "   1 \"TEMPERATURA                   \"",
      "  10 \"F\xF3""sforo total                 \"",
      "   2 \"DBO5                          \"",
      "   3 \"O2DISCMP                      \"",
      " </NOMCONT>",
      " </DATGENC>",
      " <IANYC>",
      "2000-2001",
      " <CONTEMBALSES>",
      "  1      10101.250      10102.250      10103.250      10104.250      10105.250      10106.250      10107.250      10108.250      10109.250      10110.250      10111.250      10112.250",
      " 10      10201.250      10202.250      10203.250      10204.250      10205.250      10206.250      10207.250      10208.250      10209.250      10210.250      10211.250      10212.250",
      "  2      10301.250      10302.250      10303.250      10304.250      10305.250      10306.250      10307.250      10308.250      10309.250      10310.250      10311.250      10312.250",
      "  3      10401.250      10402.250      10403.250      10404.250      10405.250      10406.250      10407.250      10408.250      10409.250      10410.250      10411.250      10412.250",
      " </CONTEMBALSES>",
      " <CONTCOND1>",
      "  1      11101.500      11102.500      11103.500      11104.500      11105.500      11106.500      11107.500      11108.500      11109.500      11110.500      11111.500      11112.500",
      " 10      11201.500      11202.500      11203.500      11204.500      11205.500      11206.500      11207.500      11208.500      11209.500      11210.500      11211.500      11212.500",
      "  2      11301.500      11302.500      11303.500      11304.500      11305.500      11306.500      11307.500      11308.500      11309.500      11310.500      11311.500      11312.500",
      "  3      11401.500      11402.500      11403.500      11404.500      11405.500      11406.500      11407.500      11408.500      11409.500      11410.500      11411.500      11412.500",
      "  1      12101.500      12102.500      12103.500      12104.500      12105.500      12106.500      12107.500      12108.500      12109.500      12110.500      12111.500      12112.500",
      " 10      12201.500      12202.500      12203.500      12204.500      12205.500      12206.500      12207.500      12208.500      12209.500      12210.500      12211.500      12212.500",
      "  2      12301.500      12302.500      12303.500      12304.500      12305.500      12306.500      12307.500      12308.500      12309.500      12310.500      12311.500      12312.500",
      "  3      12401.500      12402.500      12403.500      12404.500      12405.500      12406.500      12407.500      12408.500      12409.500      12410.500      12411.500      12412.500",
      " </CONTCOND1>",
      " <CONTCOND3>",
      "  1       -999.000       -999.000       -999.000       -999.000       -999.000       -999.000       -999.000       -999.000       -999.000       -999.000       -999.000       -999.000",
      " 10       -999.000       -999.000       -999.000       -999.000       -999.000       -999.000       -999.000       -999.000       -999.000       -999.000       -999.000       -999.000",
      "  2       -499.500       -499.500       -499.500       -499.500       -499.500       -499.500       -499.500       -499.500       -499.500       -499.500       -499.500       -499.500",
      "  3       -999.000       -999.000       -999.000       -999.000       -999.000       -999.000       -999.000       -999.000       -999.000       -999.000       -999.000       -999.000",
      " </CONTCOND3>",
      " </IANYC>",
      " <IANYC>",
      "2001-2002",
      " <CONTEMBALSES>",
      "  1      20101.250      20102.250      20103.250      20104.250      20105.250      20106.250      20107.250      20108.250      20109.250      20110.250      20111.250      20112.250",
      " 10      20201.250      20202.250      20203.250      20204.250      20205.250      20206.250      20207.250      20208.250      20209.250      20210.250      20211.250      20212.250",
      "  2      20301.250      20302.250      20303.250      20304.250      20305.250      20306.250      20307.250      20308.250      20309.250      20310.250      20311.250      20312.250",
      "  3      20401.250      20402.250      20403.250      20404.250      20405.250      20406.250      20407.250      20408.250      20409.250      20410.250      20411.250      20412.250",
      " </CONTEMBALSES>",
      " <CONTCOND1>",
      "  1      21101.500      21102.500      21103.500      21104.500      21105.500      21106.500      21107.500      21108.500      21109.500      21110.500      21111.500      21112.500",
      " 10      21201.500      21202.500      21203.500      21204.500      21205.500      21206.500      21207.500      21208.500      21209.500      21210.500      21211.500      21212.500",
      "  2      21301.500      21302.500      21303.500      21304.500      21305.500      21306.500      21307.500      21308.500      21309.500      21310.500      21311.500      21312.500",
      "  3      21401.500      21402.500      21403.500      21404.500      21405.500      21406.500      21407.500      21408.500      21409.500      21410.500      21411.500      21412.500",
      "  1      22101.500      22102.500      22103.500      22104.500      22105.500      22106.500      22107.500      22108.500      22109.500      22110.500      22111.500      22112.500",
      " 10      22201.500      22202.500      22203.500      22204.500      22205.500      22206.500      22207.500      22208.500      22209.500      22210.500      22211.500      22212.500",
      "  2      22301.500      22302.500      22303.500      22304.500      22305.500      22306.500      22307.500      22308.500      22309.500      22310.500      22311.500      22312.500",
      "  3      22401.500      22402.500      22403.500      22404.500      22405.500      22406.500      22407.500      22408.500      22409.500      22410.500      22411.500      22412.500",
      " </CONTCOND1>",
      " <CONTCOND3>",
      "  1       -999.000       -999.000       -999.000       -999.000       -999.000       -999.000       -999.000       -999.000       -999.000       -999.000       -999.000       -999.000",
      " 10       -999.000       -999.000       -999.000       -999.000       -999.000       -999.000       -999.000       -999.000       -999.000       -999.000       -999.000       -999.000",
      "  2       -499.500       -499.500       -499.500       -499.500       -499.500       -499.500       -499.500       -499.500       -499.500       -499.500       -499.500       -499.500",
      "  3       -999.000       -999.000       -999.000       -999.000       -999.000       -999.000       -999.000       -999.000       -999.000       -999.000       -999.000       -999.000",
      " </CONTCOND3>",
      " </IANYC>",
      " </TORNAL>",
  };
  // clang-format on
  const std::vector<std::string> lineas = escribir(m, dir);
  ASSERT_EQ(lineas.size(), esperado.size());
  for (std::size_t i = 0; i < esperado.size(); ++i) EXPECT_EQ(lineas[i], esperado[i]) << "line " << i + 1;
  EXPECT_TRUE(tornal_test::log_lines(m).empty());
}

// One row of option sets: the label lines and, in the same order, the codes
// that begin the concentration lines.
struct FilaTabla {
  const char* caso;
  int temp, n1or, oxi, nit, fito;
  std::vector<std::pair<int, std::string>> tabla;  // code, label
};

std::string linea_etiqueta(int codigo, const std::string& etiqueta) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%4d \"%-30s\"", codigo, etiqueta.c_str());
  return buf;
}

TEST(TaggedFile, CodeTableForOptionSets) {
  const std::vector<FilaTabla> filas = {
      {"temperature alone", 1, 0, 0, 0, 0, {{1, "TEMPERATURA"}}},
      {"pollutants before oxygen", 0, 2, 1, 0, 0, {{10, "Cloruros"}, {11, "Boro"}, {2, "DBO5"}, {3, "O2DISCMP"}}},
      {"every option",
       1,
       3,
       1,
       1,
       1,
       {{1, "TEMPERATURA"},
        {10, "Cloruros"},
        {11, "Boro"},
        {12, "Coliformes"},
        {2, "DBO5"},
        {3, "O2DISCMP"},
        {4, "NORG"},
        {5, "NH4"},
        {6, "NO3"},
        {7, "FiTOPLANCTON"},
        {8, "FOSFORG"},
        {9, "FOSFATOS"}}},
      {"oxygen and nitrogen", 0, 0, 1, 1, 0, {{2, "DBO5"}, {3, "O2DISCMP"}, {4, "NORG"}, {5, "NH4"}, {6, "NO3"}}},
      {"nothing modelled", 0, 0, 0, 0, 0, {}},
      // Options outside their domain: the list counts more constituents
      // than the table names, and the entries past the names are blank with
      // code 0 ...
      {"nitrogen without oxygen", 0, 0, 0, 1, 0, {{0, ""}, {0, ""}, {0, ""}}},
      {"temperature switch 2", 2, 0, 0, 0, 0, {{0, ""}, {0, ""}}},
      {"phytoplankton switch 2",
       0,
       0,
       1,
       1,
       2,
       {{2, "DBO5"},
        {3, "O2DISCMP"},
        {4, "NORG"},
        {5, "NH4"},
        {6, "NO3"},
        {0, ""},
        {0, ""},
        {0, ""},
        {0, ""},
        {0, ""},
        {0, ""}}},
      // ... or fewer, and the table stops at the count.
      {"negative pollutant count", 1, -1, 1, 0, 0, {{1, "TEMPERATURA"}, {2, "DBO5"}}},
  };
  for (const FilaTabla& f : filas) {
    SCOPED_TRACE(f.caso);
    TempDir dir;
    Modelo m;
    red_y_opciones(m, 1, 1, {}, f.temp, f.n1or < 0 ? 0 : f.n1or, f.oxi, f.nit, f.fito);
    if (f.n1or < 0) {
      m.cal.NUMCONT1OR = f.n1or;
      m.cal.NUMCONTAMINANTES += f.n1or;
    }
    ASSERT_EQ(m.cal.NUMCONTAMINANTES, static_cast<int>(f.tabla.size()));
    const std::vector<std::string> lineas = escribir(m, dir);
    std::vector<std::string> etiquetas, codigos;
    for (const auto& [codigo, etiqueta] : f.tabla) {
      etiquetas.push_back(linea_etiqueta(codigo, etiqueta));
      codigos.push_back(linea_etiqueta(codigo, "").substr(1, 3));
    }
    EXPECT_EQ(entre(lineas, " <NOMCONT>", " </NOMCONT>"), etiquetas);
    std::vector<std::string> en_embalse;
    for (const std::string& l : entre(lineas, " <CONTEMBALSES>", " </CONTEMBALSES>"))
      en_embalse.push_back(l.substr(0, 3));
    EXPECT_EQ(en_embalse, codigos);
    char cuenta[16];
    std::snprintf(cuenta, sizeof cuenta, "%12d", m.cal.NUMCONTAMINANTES);
    EXPECT_EQ(entre(lineas, " <NUMCONT>", " </NUMCONT>"), std::vector<std::string>{cuenta});
  }
}

// The tag lines of the file, without titles, labels and values: what the
// counts leave in and out.
TEST(TaggedFile, BlocksThatCountsLeaveOut) {
  struct Fila {
    const char* caso;
    int anyos, embalses;
    std::vector<int> tipos;
    int temp;
    std::vector<std::string> tras_datgenc;  // lines after " </DATGENC>"
  };
  const std::vector<Fila> filas = {
      {"no year", 0, 1, {1, 1, 1, 1, 1}, 1, {" </TORNAL>"}},
      {"no reservoir, no reach",
       2,
       0,
       {},
       1,
       {" <IANYC>", "2000-2001", " </IANYC>", " <IANYC>", "2001-2002", " </IANYC>", " </TORNAL>"}},
      {"no constituent",
       1,
       1,
       {0, 0, 0, 0, 2},
       0,
       {" <IANYC>", "2000-2001", " <CONTEMBALSES>", " </CONTEMBALSES>", " <CONTCOND5>", " </CONTCOND5>", " </IANYC>",
        " </TORNAL>"}},
      {"types 2 and 4 only",
       1,
       0,
       {0, 1, 0, 2},
       1,
       {" <IANYC>", "2000-2001", " <CONTCOND2>", "C", " </CONTCOND2>", " <CONTCOND4>", "C", "C", " </CONTCOND4>",
        " </IANYC>", " </TORNAL>"}},
  };
  for (const Fila& f : filas) {
    SCOPED_TRACE(f.caso);
    TempDir dir;
    Modelo m;
    red_y_opciones(m, f.anyos, f.embalses, f.tipos, f.temp, 0, 0);
    const std::vector<std::string> lineas = escribir(m, dir);
    std::vector<std::string> tras;
    bool visto = false;
    for (const std::string& l : lineas) {
      if (visto) tras.push_back(l.size() == 183 ? "C" : l);
      if (l == " </DATGENC>") visto = true;
    }
    EXPECT_EQ(tras, f.tras_datgenc);
  }
}

// A reach of type 1 cut by the loop cuts, with temperature alone: twelve
// fields of -999.000 behind the code; the first year 1990 reads 1990-1991.
TEST(TaggedFile, CutReachKeepsTheMark) {
  TempDir dir;
  Modelo m;
  red_y_opciones(m, 1, 0, {2}, 1, 0, 0);
  m.red.ANYOINICIAL = 1990;
  m.sim.CONDUCCCS.fill(-999.0);
  for (int mes = 1; mes <= 12; ++mes) m.sim.CONDUCCCS(1, 1, mes, 1) = 0.0004 * mes - 0.003;
  const std::vector<std::string> lineas = escribir(m, dir);
  const std::vector<std::string> esperado = {
      "1990-1991",
      " <CONTCOND1>",
      "  1         -0.003         -0.002         -0.002         -0.001         -0.001         -0.001         -0.000"
      "          0.000          0.001          0.001          0.001          0.002",
      "  1       -999.000       -999.000       -999.000       -999.000       -999.000       -999.000       -999.000"
      "       -999.000       -999.000       -999.000       -999.000       -999.000",
      " </CONTCOND1>",
  };
  EXPECT_EQ(entre(lineas, " <IANYC>", " </IANYC>"), esperado);
}

// A risk run writes nothing: an existing file keeps its content, and no
// file is created where there was none.
TEST(TaggedFile, RiskRunWritesNothing) {
  TempDir dir;
  Modelo m;
  red_y_opciones(m, 1, 1, {1}, 1, 0, 0);
  m.cal.OPCIONRIESGO = true;
  dir.write("conc.xml", "old content\n");
  tornal::ESCRIBIRARCHXMLSUB(m, dir.file("conc.xml"));
  EXPECT_EQ(dir.read("conc.xml"), "old content\n");
  tornal::ESCRIBIRARCHXMLSUB(m, dir.file("otro.xml"));
  EXPECT_FALSE(std::filesystem::exists(dir.file("otro.xml")));
  EXPECT_TRUE(tornal_test::log_lines(m).empty());
}

// A file that cannot be opened or written stops the run with "error" after
// one log statement naming the file.
TEST(TaggedFile, UnwritablePathStopsWithLogLine) {
  TempDir dir;
  std::vector<std::string> rutas = {dir.file("no_such_folder/conc.xml"), dir.path(), ""};
  if (std::filesystem::exists("/dev/full")) rutas.push_back("/dev/full");  // opens, but every write fails
  for (const std::string& ruta : rutas) {
    SCOPED_TRACE(ruta);
    Modelo m;
    red_y_opciones(m, 1, 1, {1}, 1, 0, 0);
    EXPECT_EQ(tornal_test::stop_message([&] { tornal::ESCRIBIRARCHXMLSUB(m, tornal::padded(ruta, 255)); }), "error");
    std::string log;
    for (const std::string& l : tornal_test::log_lines(m)) log += l;
    EXPECT_EQ(log, "Error en la escritura del archivo de resultados " + ruta);
  }
}

}  // namespace
