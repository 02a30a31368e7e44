// The result table for graphics, "TablaCal.txt" and "TablaCal.dir" of a
// hand-built basin: records in their loop order, selection by report flag 1,
// hypolimnion records, flows, losses and volumes, the monthly columns and
// their labels, the 5000-values records, a risk run, and files that cannot
// be written.
#include <gtest/gtest.h>

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "common/latin1.h"
#include "reports/reports.h"
#include "test_util.h"

namespace {

using tornal::LONGNOMBRE;
using tornal::LONGRUTA;
using tornal::padded;
using tornal_test::crlf_lines;

const std::string kOxigeno = "Ox\xEDgeno Disuelto";  // Latin-1

// Sets the names of one reach type, each padded to 250.
void nombres(tornal::Array1<std::string>& a, const std::vector<std::string>& v) {
  a.resize(static_cast<int>(v.size()));
  for (std::size_t i = 0; i < v.size(); ++i) a(static_cast<int>(i) + 1) = padded(v[i], LONGNOMBRE);
}

// Sizes every array the writer reads for the counts already set.
void dimensionar(tornal::Modelo& m) {
  tornal::Red& r = m.red;
  tornal::Calidad& c = m.cal;
  const int nc =
      r.NUMCONDUCCIONEST1 + r.NUMCONDUCCIONEST2 + r.NUMCONDUCCIONEST3 + r.NUMCONDUCCIONEST4 + r.NUMCONDUCCIONEST5;
  r.NUMCONDUCCIONES = nc;
  const int C = c.NUMCONTAMINANTES, E = r.NUMEMBALSES, Y = r.NUMANYOS;
  c.INRESCOND.resize(nc);
  c.INRESEMB.resize(E);
  m.sim.CONDUCCCS.resize(nc, C, 12, Y);
  m.sim.EMB1CF.resize(E, C, 12, Y);
  m.sim.EMB2CF.resize(E, C, 12, Y);
  r.QCONDUCC.resize(nc, 12, Y);
  r.PERDT2.resize(r.NUMCONDUCCIONEST2, 12, Y);
  r.PERDT3.resize(r.NUMCONDUCCIONEST3, 12, Y);
  r.VOLFINEMB.resize(E, 12, Y);
}

// Two years from October 2000; reaches Alto (1) and Bajo (0) of type 1,
// Canal (1) of type 2, Molino (1) and Vado (2) of type 3, Toma (-1) of
// type 4, Salto (1) of type 5; reservoirs "Embalse Alto" (1) and Presa (0);
// constituents Temperatura and Oxígeno Disuelto. Values:
//   CONDUCCCS(g,k,m,y) = 100 y + m + k/10 + g/100
//   EMB1CF(e,k,m,y)    = 50 e + k + m/100
//   EMB2CF(e,k,m,y)    = 1.0E-7 in October (one layer), else 5 e + k
//   QCONDUCC(g,m,y)    = 10 g + m + y/2
//   PERDT2(j,m,y)      = 1.25 m;  PERDT3(j,m,y) = -0.75 j m
//   VOLFINEMB(e,m,y)   = 45.1 e + 100 y
struct Cuenca {
  tornal_test::TempDir dir;
  tornal::Modelo m;
  std::string grf;

  Cuenca() {
    tornal_test::prepare(m, dir.path());
    grf = padded(dir.file("graficos.txt"), LONGRUTA);
    tornal::Red& r = m.red;
    r.NUMANYOS = 2;
    r.ANYOINICIAL = 2000;
    r.NUMCONDUCCIONEST1 = 2;
    r.NUMCONDUCCIONEST2 = 1;
    r.NUMCONDUCCIONEST3 = 2;
    r.NUMCONDUCCIONEST4 = 1;
    r.NUMCONDUCCIONEST5 = 1;
    r.NUMEMBALSES = 2;
    nombres(r.NOMCONDT1, {"Alto", "Bajo"});
    nombres(r.NOMCONDT2, {"Canal"});
    nombres(r.NOMCONDT3, {"Molino", "Vado"});
    nombres(r.NOMCONDT4, {"Toma"});
    nombres(r.NOMCONDT5, {"Salto"});
    nombres(r.NOMEMB, {"Embalse Alto", "Presa"});
    m.cal.NUMCONTAMINANTES = 2;
    m.cal.NOMCONT.resize(2);
    m.cal.NOMCONT(1) = padded("Temperatura", 30);
    m.cal.NOMCONT(2) = padded(kOxigeno, 30);
    dimensionar(m);
    const int flags[7] = {1, 0, 1, 1, 2, -1, 1};
    for (int g = 1; g <= 7; ++g) m.cal.INRESCOND(g) = flags[g - 1];
    m.cal.INRESEMB(1) = 1;
    m.cal.INRESEMB(2) = 0;
    for (int y = 1; y <= 2; ++y)
      for (int mes = 1; mes <= 12; ++mes) {
        for (int g = 1; g <= 7; ++g) {
          for (int k = 1; k <= 2; ++k) m.sim.CONDUCCCS(g, k, mes, y) = 100.0 * y + mes + k / 10.0 + g / 100.0;
          r.QCONDUCC(g, mes, y) = 10.0 * g + mes + y / 2.0;
        }
        for (int e = 1; e <= 2; ++e) {
          for (int k = 1; k <= 2; ++k) {
            m.sim.EMB1CF(e, k, mes, y) = 50.0 * e + k + mes / 100.0;
            m.sim.EMB2CF(e, k, mes, y) = mes == 1 ? 1.0000000116860974E-7 : 5.0 * e + k;
          }
          r.VOLFINEMB(e, mes, y) = 45.1 * e + 100.0 * y;
        }
        r.PERDT2(1, mes, y) = 1.25 * mes;
        for (int j = 1; j <= 2; ++j) r.PERDT3(j, mes, y) = -0.75 * j * mes;
      }
  }
};

TEST(ResultTables, GraphicsTableRecordsInLoopOrder) {
  Cuenca t;
  tornal::ESCRIBIRTABLACALSUB(t.m, t.grf);
  const std::vector<std::string> l = crlf_lines(t.dir.read("graficos.txt"));
  // Header, 24 months x 2 constituents x (4 reaches + 2 layers), then
  // 24 months x (4 flows + 2 losses + 1 volume).
  ASSERT_EQ(l.size(), 1u + 288u + 168u);
  const std::string O = kOxigeno;
  const std::vector<std::string> octubre = {
      "Nombre contaminante;Fecha;Nombre Elemento;Valor;Tipo",
      "Temperatura;Oct-2000;Alto;        101.110;Simulado",
      "Temperatura;Oct-2000;Canal;        101.130;Simulado",
      "Temperatura;Oct-2000;Molino;        101.140;Simulado",
      "Temperatura;Oct-2000;Salto;        101.170;Simulado",
      "Temperatura;Oct-2000;Embalse Alto;         51.010;Simulado",
      "Temperatura;Oct-2000;HipEmbalse Alto;          0.000;Simulado hipolimnion",
      O + ";Oct-2000;Alto;        101.210;Simulado",
      O + ";Oct-2000;Canal;        101.230;Simulado",
      O + ";Oct-2000;Molino;        101.240;Simulado",
      O + ";Oct-2000;Salto;        101.270;Simulado",
      O + ";Oct-2000;Embalse Alto;         52.010;Simulado",
      O + ";Oct-2000;HipEmbalse Alto;          0.000;Simulado hipolimnion",
      "Temperatura;Nov-2000;Alto;        102.110;Simulado",
  };
  for (std::size_t i = 0; i < octubre.size(); ++i) EXPECT_EQ(l[i], octubre[i]) << "line " << i + 1;
  EXPECT_EQ(l[18], "Temperatura;Nov-2000;HipEmbalse Alto;          6.000;Simulado hipolimnion");
  EXPECT_EQ(l[25], "Temperatura;Dic-2000;Alto;        103.110;Simulado");
  EXPECT_EQ(l[37], "Temperatura;Ene-2001;Alto;        104.110;Simulado");
  EXPECT_EQ(l[133], "Temperatura;Sep-2001;Alto;        112.110;Simulado");
  EXPECT_EQ(l[145], "Temperatura;Oct-2001;Alto;        201.110;Simulado");
  EXPECT_EQ(l[288], O + ";Sep-2002;HipEmbalse Alto;          7.000;Simulado hipolimnion");
  // Quantities of all years after the concentrations of all years.
  const std::vector<std::string> caudales = {
      "Caudal;Oct-2000;Alto;         11.500;Simulado",
      "Caudal;Oct-2000;Canal;         31.500;Simulado",
      "Perdidas;Oct-2000;Canal;          1.250;Simulado",
      "Caudal;Oct-2000;Molino;         41.500;Simulado",
      "Perdidas;Oct-2000;Molino;         -0.750;Simulado",
      "Caudal;Oct-2000;Salto;         71.500;Simulado",
      "Volumen Fin;Oct-2000;Embalse Alto;        145.100;Simulado",
      "Caudal;Nov-2000;Alto;         12.500;Simulado",
  };
  for (std::size_t i = 0; i < caudales.size(); ++i) EXPECT_EQ(l[289 + i], caudales[i]) << "line " << 290 + i;
  EXPECT_EQ(l[456], "Volumen Fin;Sep-2002;Embalse Alto;        245.100;Simulado");
  EXPECT_EQ(l[455], "Caudal;Sep-2002;Salto;         83.000;Simulado");
  // Flags other than 1 select nothing.
  for (const std::string& s : l)
    for (const char* fuera : {";Bajo;", ";Vado;", ";Toma;", ";Presa;", "HipPresa"})
      EXPECT_EQ(s.find(fuera), std::string::npos) << s;
}

TEST(ResultTables, MonthlyColumnTableAndLegend) {
  Cuenca t;
  tornal::ESCRIBIRTABLACALSUB(t.m, t.grf);
  const std::vector<std::string> filas = crlf_lines(t.dir.read("TablaCal.txt"));
  ASSERT_EQ(filas.size(), 24u);
  // Reaches of types 1 to 4 (6 of them), upper layers, lower layers; the
  // type-5 reach has no column.
  const std::string primera =
      "           101.11000\t           101.21000\t           101.12000\t           101.22000\t"
      "           101.13000\t           101.23000\t           101.14000\t           101.24000\t"
      "           101.15000\t           101.25000\t           101.16000\t           101.26000\t"
      "            51.01000\t            52.01000\t           101.01000\t           102.01000\t"
      "             0.00000\t             0.00000\t             0.00000\t             0.00000\t";
  EXPECT_EQ(filas[0], primera);
  const std::string ultima =
      "           212.11000\t           212.21000\t           212.12000\t           212.22000\t"
      "           212.13000\t           212.23000\t           212.14000\t           212.24000\t"
      "           212.15000\t           212.25000\t           212.16000\t           212.26000\t"
      "            51.12000\t            52.12000\t           101.12000\t           102.12000\t"
      "             6.00000\t             7.00000\t            11.00000\t            12.00000\t";
  EXPECT_EQ(filas[23], ultima);
  for (const std::string& f : filas) EXPECT_EQ(f.size(), 20u * 21u);

  const std::string O = kOxigeno;
  const std::vector<std::string> etiquetas = {
      " \"Rio_T1_Alto_Temperatura\"",
      " \"Rio_T1_Alto_" + O + "\"",
      " \"Rio_T1_Bajo_Temperatura\"",
      " \"Rio_T1_Bajo_" + O + "\"",
      " \"Rio T2_Canal_Temperatura\"",
      " \"Rio T2_Canal_" + O + "\"",
      " \"Rio T3_Molino_Temperatura\"",
      " \"Rio T3_Molino_" + O + "\"",
      " \"Rio T3_Vado_Temperatura\"",
      " \"Rio T3_Vado_" + O + "\"",
      " \"Rio T4_Toma_Temperatura\"",
      " \"Rio T4_Toma_" + O + "\"",
      " \"Embalse_Ep_Embalse Alto_Temperatura\"",
      " \"Embalse_Ep_Embalse Alto_" + O + "\"",
      " \"Embalse_Ep_Presa_Temperatura\"",
      " \"Embalse_Ep_Presa_" + O + "\"",
      " \"Embalse_Hip_Embalse Alto_Temperatura\"",
      " \"Embalse_Hip_Embalse Alto_" + O + "\"",
      " \"Embalse_Hip_Presa_Temperatura\"",
      " \"Embalse_Hip_Presa_" + O + "\"",
  };
  EXPECT_EQ(crlf_lines(t.dir.read("TablaCal.dir")), etiquetas);
}

// Blank names, a name of 250 characters, the mark of a reach never computed,
// a value beyond F15.3 and F20.5, and a label longer than a line.
TEST(ResultTables, NamesMarksAndOverflow) {
  tornal_test::TempDir dir;
  tornal::Modelo m;
  tornal_test::prepare(m, dir.path());
  tornal::Red& r = m.red;
  r.NUMANYOS = 1;
  r.ANYOINICIAL = 1999;
  r.NUMCONDUCCIONEST1 = 2;
  r.NUMCONDUCCIONEST2 = 1;
  r.NUMEMBALSES = 1;
  const std::string largo(250, 'L');
  const std::string sesenta(60, 'N');
  nombres(r.NOMCONDT1, {"", sesenta});
  nombres(r.NOMCONDT2, {largo});
  nombres(r.NOMEMB, {"  Lago; Sur"});
  m.cal.NUMCONTAMINANTES = 1;
  m.cal.NOMCONT.resize(1);
  m.cal.NOMCONT(1) = padded("F\xF3sforo Inorg\xE1nico", 30);
  dimensionar(m);
  m.cal.INRESCOND(1) = 1;
  m.cal.INRESCOND(2) = 0;
  m.cal.INRESCOND(3) = 1;
  m.cal.INRESEMB(1) = 1;
  m.sim.CONDUCCCS(1, 1, 1, 1) = -999.0;
  m.sim.CONDUCCCS(2, 1, 1, 1) = 1.0E14;
  m.sim.CONDUCCCS(3, 1, 1, 1) = 1.0E11;
  m.sim.EMB1CF(1, 1, 1, 1) = -0.0001;
  m.sim.EMB2CF(1, 1, 1, 1) = -1.0E13;
  r.QCONDUCC(1, 1, 1) = 11.0;
  r.QCONDUCC(1, 2, 1) = 12.0;
  r.QCONDUCC(3, 1, 1) = 2.5;
  r.PERDT2(1, 1, 1) = -1.0E10;
  r.VOLFINEMB(1, 1, 1) = 7.0;
  tornal::ESCRIBIRTABLACALSUB(m, padded(dir.file("g.txt"), LONGRUTA));

  const std::vector<std::string> l = crlf_lines(dir.read("g.txt"));
  const std::string P = "F\xF3sforo Inorg\xE1nico";
  ASSERT_EQ(l.size(), 1u + 12u * 4u + 12u * 4u);
  EXPECT_EQ(l[1], P + ";Oct-1999;;       -999.000;Simulado");
  EXPECT_EQ(l[2], P + ";Oct-1999;" + largo + ";***************;Simulado");
  EXPECT_EQ(l[3], P + ";Oct-1999;  Lago; Sur;         -0.000;Simulado");
  EXPECT_EQ(l[4], P + ";Oct-1999;Hip  Lago; Sur;***************;Simulado hipolimnion");
  EXPECT_EQ(l[5], P + ";Nov-1999;;          0.000;Simulado");
  EXPECT_EQ(l[49], "Caudal;Oct-1999;;         11.000;Simulado");
  EXPECT_EQ(l[50], "Caudal;Oct-1999;" + largo + ";          2.500;Simulado");
  EXPECT_EQ(l[51], "Perdidas;Oct-1999;" + largo + ";***************;Simulado");
  EXPECT_EQ(l[52], "Volumen Fin;Oct-1999;  Lago; Sur;          7.000;Simulado");
  EXPECT_EQ(l[50].size(), 291u);
  EXPECT_EQ(l[51].size(), 293u);
  EXPECT_EQ(l[53], "Caudal;Nov-1999;;         12.000;Simulado");

  const std::vector<std::string> f = crlf_lines(dir.read("TablaCal.txt"));
  ASSERT_EQ(f.size(), 12u);
  EXPECT_EQ(f[0],
            "          -999.00000\t********************\t  100000000000.00000\t"
            "            -0.00010\t********************\t");

  const std::vector<std::string> d = crlf_lines(dir.read("TablaCal.dir"));
  const std::vector<std::string> etiquetas = {
      " \"Rio_T1__" + P + "\"",
      " \"Rio_T1_" + sesenta + "_",
      " " + P + "\"",
      " \"Rio T2_",
      " " + largo.substr(0, 79),
      " " + largo.substr(79, 79),
      " " + largo.substr(158, 79),
      " " + largo.substr(237) + "_" + P + "\"",
      " \"Embalse_Ep_  Lago; Sur_" + P + "\"",
      " \"Embalse_Hip_  Lago; Sur_" + P + "\"",
  };
  EXPECT_EQ(d, etiquetas);
  EXPECT_EQ(d[1].size(), 70u);
  EXPECT_EQ(d[2].size(), 20u);
}

// A row of more than 5000 values goes on in a new record; one of exactly
// 5000 is one record.
TEST(ResultTables, MonthlyRowsOfMoreThan5000Values) {
  for (int n : {5000, 5001}) {
    tornal_test::TempDir dir;
    tornal::Modelo m;
    tornal_test::prepare(m, dir.path());
    m.red.NUMANYOS = 1;
    m.red.ANYOINICIAL = 2000;
    m.red.NUMCONDUCCIONEST1 = n;
    m.red.NOMCONDT1.resize_filled(padded("R", LONGNOMBRE), n);
    m.cal.NUMCONTAMINANTES = 1;
    m.cal.NOMCONT.resize_filled(padded("Amonio", 30), 1);
    dimensionar(m);
    for (int mes = 1; mes <= 12; ++mes) m.sim.CONDUCCCS(n, 1, mes, 1) = mes;
    tornal::ESCRIBIRTABLACALSUB(m, padded(dir.file("g.txt"), LONGRUTA));
    const std::vector<std::string> f = crlf_lines(dir.read("TablaCal.txt"));
    if (n == 5000) {
      ASSERT_EQ(f.size(), 12u);
      for (const std::string& s : f) EXPECT_EQ(s.size(), 5000u * 21u);
      EXPECT_EQ(f[11].substr(4999 * 21), "            12.00000\t");
    } else {
      ASSERT_EQ(f.size(), 24u);
      const char* ultimos[12] = {"             1.00000\t", "             2.00000\t", "             3.00000\t",
                                 "             4.00000\t", "             5.00000\t", "             6.00000\t",
                                 "             7.00000\t", "             8.00000\t", "             9.00000\t",
                                 "            10.00000\t", "            11.00000\t", "            12.00000\t"};
      for (std::size_t i = 0; i < 24; i += 2) {
        EXPECT_EQ(f[i].size(), 5000u * 21u);
        EXPECT_EQ(f[i].substr(0, 21), "             0.00000\t");
        EXPECT_EQ(f[i + 1], ultimos[i / 2]);
      }
    }
    EXPECT_EQ(crlf_lines(dir.read("TablaCal.dir")).size(), static_cast<std::size_t>(n));
    // No reach is selected: the table holds its header alone.
    EXPECT_EQ(crlf_lines(dir.read("g.txt")),
              std::vector<std::string>{"Nombre contaminante;Fecha;Nombre Elemento;Valor;Tipo"});
  }
}

// Every file is truncated when it is opened: no file keeps an earlier run's
// content, also when this run writes nothing to it (no year: no row; no
// constituent: no label).
TEST(ResultTables, EveryFileTruncatedWhenOpened) {
  Cuenca t;
  const std::string viejo(5000, 'x');
  t.dir.write("graficos.txt", viejo);
  t.dir.write("TablaCal.txt", viejo);
  t.dir.write("TablaCal.dir", viejo);
  t.m.red.NUMANYOS = 0;
  t.m.cal.NUMCONTAMINANTES = 0;
  tornal::ESCRIBIRTABLACALSUB(t.m, t.grf);
  EXPECT_EQ(t.dir.read("graficos.txt"), "Nombre contaminante;Fecha;Nombre Elemento;Valor;Tipo\r\n");
  EXPECT_EQ(t.dir.read("TablaCal.txt"), "");
  EXPECT_EQ(t.dir.read("TablaCal.dir"), "");

  // Constituents but no year: the legend is written, the table stays empty.
  t.m.cal.NUMCONTAMINANTES = 2;
  t.dir.write("TablaCal.txt", viejo);
  tornal::ESCRIBIRTABLACALSUB(t.m, t.grf);
  EXPECT_EQ(t.dir.read("TablaCal.txt"), "");
  EXPECT_EQ(crlf_lines(t.dir.read("TablaCal.dir")).size(), 20u);

  // Years but no constituent: one empty record per month, no label.
  t.m.red.NUMANYOS = 2;
  t.m.cal.NUMCONTAMINANTES = 0;
  t.dir.write("TablaCal.dir", viejo);
  tornal::ESCRIBIRTABLACALSUB(t.m, t.grf);
  EXPECT_EQ(crlf_lines(t.dir.read("TablaCal.txt")), std::vector<std::string>(24, ""));
  EXPECT_EQ(t.dir.read("TablaCal.dir"), "");
  EXPECT_EQ(crlf_lines(t.dir.read("graficos.txt")).size(), 1u + 168u);
}

TEST(ResultTables, RiskRunWritesNothing) {
  Cuenca t;
  t.dir.write("graficos.txt", "antes");
  t.dir.write("TablaCal.dir", "antes");
  t.m.cal.OPCIONRIESGO = true;
  tornal::ESCRIBIRTABLACALSUB(t.m, t.grf);
  EXPECT_EQ(t.dir.read("graficos.txt"), "antes");
  EXPECT_EQ(t.dir.read("TablaCal.dir"), "antes");
  EXPECT_FALSE(std::filesystem::exists(t.dir.file("TablaCal.txt")));
  EXPECT_TRUE(t.m.log.lines().empty());
}

// A result file that cannot be opened or written stops the run with a log
// line naming it, and no later file is written.
TEST(ResultTables, UnwritableFileStops) {
  const std::string msg = "Error en la escritura del archivo de resultados ";
  {
    Cuenca t;
    const std::string ruta = t.dir.file("no_existe/graficos.txt");
    EXPECT_EQ(tornal_test::stop_message([&] { tornal::ESCRIBIRTABLACALSUB(t.m, padded(ruta, LONGRUTA)); }), "error");
    EXPECT_EQ(t.m.log.lines(), tornal::free_format_lines({msg.c_str(), ruta}));
    EXPECT_FALSE(std::filesystem::exists(t.dir.file("TablaCal.txt")));
  }
  {
    Cuenca t;  // record 13 missing: a path of blanks
    EXPECT_EQ(tornal_test::stop_message([&] { tornal::ESCRIBIRTABLACALSUB(t.m, tornal::blanks(LONGRUTA)); }), "error");
    EXPECT_EQ(tornal_test::log_lines(t.m), std::vector<std::string>{msg});
    EXPECT_FALSE(std::filesystem::exists(t.dir.file("TablaCal.txt")));
  }
  {
    Cuenca t;  // the working folder is missing: the table is written, "TablaCal.txt" is not
    t.m.carpeta = t.dir.file("falta");
    EXPECT_EQ(tornal_test::stop_message([&] { tornal::ESCRIBIRTABLACALSUB(t.m, t.grf); }), "error");
    EXPECT_EQ(t.m.log.lines(), tornal::free_format_lines({msg.c_str(), t.dir.file("falta") + "/TablaCal.txt"}));
    EXPECT_EQ(crlf_lines(t.dir.read("graficos.txt")).size(), 457u);
  }
  if (std::filesystem::exists("/dev/full")) {
    Cuenca t;  // a full disk: the writes fail
    EXPECT_EQ(tornal_test::stop_message([&] { tornal::ESCRIBIRTABLACALSUB(t.m, padded("/dev/full", LONGRUTA)); }),
              "error");
    EXPECT_EQ(tornal_test::log_lines(t.m), std::vector<std::string>{msg + "/dev/full"});
    EXPECT_FALSE(std::filesystem::exists(t.dir.file("TablaCal.txt")));
  }
}

}  // namespace
