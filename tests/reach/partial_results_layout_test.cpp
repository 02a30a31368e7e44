// The partial result file of reaches: its heading (once, before the first
// row, whatever the month), the rows of every K-th segment below the last,
// the date label, and the wrapping of long rows and headings.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/fixed_format.h"
#include "e2e/e2e_util.h"
#include "reach/reach_model.h"
#include "simulation/nonfinite_results.h"
#include "simulation/red_prueba.h"

using namespace tornal_test;

namespace {

struct Caso {
  const char* que;
  int oxigeno;    // OPCIONOXIGENO
  int primer;     // first-order pollutants
  int K;          // ACUMULACIONRESULTADOSPARCIALES(1)
  int mes, anyo;  // month and year of the one call
  int segmentos;  // rows expected (each with its segment number)
  const char* fecha;
};

// The columns before the concentrations that the file has, with oxygen or
// without, in their order.
std::vector<tornal::ColumnaParcial> columnas(int oxigeno) {
  std::vector<tornal::ColumnaParcial> c;
  for (const tornal::ColumnaParcial& col : tornal::columnas_parciales())
    if (!col.oxigeno || oxigeno == 1) c.push_back(col);
  return c;
}

// The heading line before the constituent names.
std::string cabecera_columnas(int oxigeno) {
  std::string s;
  for (const tornal::ColumnaParcial& col : columnas(oxigeno)) s += std::string(col.encabezado) + ";";
  return s;
}

// The row's own fields (the reach, the date, the segment), and the numbers
// before the concentrations.
int propias(int oxigeno) {
  const std::vector<tornal::ColumnaParcial> c = columnas(oxigeno);
  return static_cast<int>(std::count_if(c.begin(), c.end(), [](const auto& col) { return col.valor == nullptr; }));
}
int valores(int oxigeno) { return static_cast<int>(columnas(oxigeno).size()) - propias(oxigeno); }

// The field of the row (from 0) under the heading `encabezado`, -1 none.
int columna_de(const std::string& encabezado, int oxigeno) {
  const std::vector<tornal::ColumnaParcial> c = columnas(oxigeno);
  for (std::size_t n = 0; n < c.size(); ++n)
    if (c[n].encabezado == encabezado) return static_cast<int>(n);
  return -1;
}

std::string nombres(int desde, int hasta) {
  std::string s;
  for (int k = desde; k <= hasta; ++k) s += "C" + std::to_string(k) + ";";
  return s;
}

// One reach of 10 segments of 100 m between nodes 1 and 2, two years, with
// `primer` first-order pollutants named C1, C2, ... (and oxygen when
// `oxigeno`), its rows written every K-th segment.
void un_tramo(tornal::Modelo& m, int primer, int oxigeno, int K) {
  RedPrueba p;
  p.nudos = {{1, 0}, {2, 0}};
  p.conducciones = {{1, 2, 1}};
  p.contaminantes = primer + 2 * oxigeno;
  p.anyos = 2;
  prepare(m);
  construir(m, p);
  preparar_resultados(m);
  tornal::Calidad& c = m.cal;
  c.NUMCONT1OR = primer;
  c.OPCIONOXIGENO = oxigeno;
  c.POS = tornal::posiciones_contaminantes(c);
  for (int j = 1; j <= p.contaminantes; ++j) c.NOMCONT(j) = tornal::padded("C" + std::to_string(j), 30);
  c.INRESPARCOND(1) = 1;
  c.ACUMULACIONRESULTADOSPARCIALES(1) = K;
}

TEST(PartialResultsOfReaches, LayoutOfHeadingAndRows) {
  // A reach of 10 segments of 100 m, 1 m/s and 1 m deep, 86400 m3/day.
  const Caso casos[] = {
      {"every segment below the last", 0, 2, 1, 1, 1, 9, "Oct-2000"},
      {"every third segment", 0, 2, 3, 3, 2, 3, "Dic-2001"},
      {"a step as long as the reach", 0, 2, 10, 4, 2, 0, "Ene-2002"},
      {"no step", 0, 2, 0, 1, 1, 0, "Oct-2000"},
      {"17 pollutants: rows of 20 + 2 numbers", 0, 17, 5, 6, 1, 1, "Mar-2001"},
      {"22 pollutants: the heading wraps after 20 names", 0, 22, 9, 1, 1, 1, "Oct-2000"},
      {"oxygen: reaeration and saturation, 22 numbers a line", 1, 16, 9, 1, 1, 1, "Oct-2000"},
  };
  for (const Caso& k : casos) {
    SCOPED_TRACE(k.que);
    tornal::Modelo m;
    tornal::TrabajoTramo w;
    un_tramo(m, k.primer, k.oxigeno, k.K);
    const int contaminantes = k.primer + 2 * k.oxigeno;
    TempDir dir;
    ASSERT_TRUE(m.sim.archivo_cond_par.open(dir.file("parcial.csv")));
    tornal::Array1<double> co{"CO"};
    co.resize_filled(2.0, contaminantes);
    tornal::CALCULOCONDUCSUB(m, w, 1, 86400.0, 0.0, 0.0, co, co, k.mes, k.anyo);
    ASSERT_TRUE(m.sim.archivo_cond_par.close());
    bool crlf = false;
    const std::vector<std::string> lineas = crlf_lines(dir.read("parcial.csv"), &crlf);
    EXPECT_TRUE(crlf);
    ASSERT_FALSE(lineas.empty());

    // The heading: the names 20 a line after the fixed columns.
    const int NC = contaminantes;
    std::string cabecera = cabecera_columnas(k.oxigeno) + nombres(1, std::min(NC, 20));
    EXPECT_EQ(lineas[0], cabecera);
    std::size_t l = 1;
    if (NC > 20) {
      EXPECT_EQ(lineas[l], nombres(21, NC));
      ++l;
    }

    // The rows: a number for every column with a value that the file has
    // (more with oxygen), then every constituent; 20 numbers a line (22 with
    // oxygen), whatever the columns, continuation lines holding numbers alone.
    const int numeros = valores(k.oxigeno) + NC;
    const int por_linea = k.oxigeno ? 22 : 20;
    const int lineas_fila = (numeros + por_linea - 1) / por_linea;
    ASSERT_EQ(lineas.size(), l + static_cast<std::size_t>(k.segmentos * lineas_fila));
    for (int s = 1; s <= k.segmentos; ++s) {
      const int segmento = k.K * s;
      const std::string prefijo = "Tramo 1;" + std::string(k.fecha) + ";" + tornal::edit_I(segmento, 4) + ";";
      const std::string& primera = lineas[l];
      EXPECT_EQ(primera.substr(0, prefijo.size()), prefijo);
      // Flow 1 m3/s, velocity 1 m/s, area 1 m2, depth 1 m, each under its
      // heading.
      for (const char* h : {"Caudal(m3/s)", "Velocidad(m/s)", "AreaMojada(m2)", "Calado(m)"}) {
        const int n = columna_de(h, k.oxigeno);
        ASSERT_GE(n, propias(k.oxigeno)) << h;
        ASSERT_LT(n, propias(k.oxigeno) + por_linea) << h;
        std::string campo = primera;
        for (int f = 0; f < n; ++f) campo.erase(0, campo.find(';') + 1);
        EXPECT_EQ(campo.substr(0, campo.find(';')), "    1.000000") << h;
      }
      int contados = 0;
      for (int n = 0; n < lineas_fila; ++n) {
        const std::string& linea = lineas[l + n];
        const std::string numeros_linea = n == 0 ? linea.substr(prefijo.size()) : linea;
        EXPECT_EQ(numeros_linea.size() % 13, 0u) << linea;
        contados += static_cast<int>(numeros_linea.size() / 13);
        if (n > 0) {
          EXPECT_EQ(linea.substr(0, 4), "    ");
        }
      }
      EXPECT_EQ(contados, numeros);
      // The concentrations: 2.000000 in every segment.
      EXPECT_EQ(lineas[l + lineas_fila - 1].substr(lineas[l + lineas_fila - 1].size() - 13), "    2.000000;");
      l += lineas_fila;
    }
  }
}

// The heading goes before the first row written, also when the first month
// that reaches this stage is not the first of the run; it is written once.
TEST(PartialResultsOfReaches, HeadingOnceBeforeTheFirstRowOfAnyMonth) {
  RedPrueba p;
  p.nudos = {{1, 0}, {2, 0}};
  p.conducciones = {{1, 2, 1}};
  tornal::Modelo m;
  tornal::TrabajoTramo w;
  prepare(m);
  construir(m, p);
  preparar_resultados(m);
  m.cal.INRESPARCOND(1) = 1;
  m.cal.ACUMULACIONRESULTADOSPARCIALES(1) = 9;
  TempDir dir;
  ASSERT_TRUE(m.sim.archivo_cond_par.open(dir.file("parcial.csv")));
  tornal::Array1<double> co{"CO"};
  co.resize_filled(1.0, 1);
  tornal::CALCULOCONDUCSUB(m, w, 1, 0.0, 0.0, 0.0, co, co, 1, 1);  // dry: no row, no heading
  tornal::CALCULOCONDUCSUB(m, w, 1, 86400.0, 0.0, 0.0, co, co, 5, 1);
  tornal::CALCULOCONDUCSUB(m, w, 1, 86400.0, 0.0, 0.0, co, co, 6, 1);
  ASSERT_TRUE(m.sim.archivo_cond_par.close());
  const std::vector<std::string> lineas = crlf_lines(dir.read("parcial.csv"));
  ASSERT_EQ(lineas.size(), 3u);
  EXPECT_EQ(lineas[0], cabecera_columnas(0) + "C1;");
  EXPECT_EQ(lineas[1].substr(0, 22), "Tramo 1;Feb-2001;   9;");
  EXPECT_EQ(lineas[2].substr(0, 22), "Tramo 1;Mar-2001;   9;");
}

// The fields of lines [desde, hasta) of the file (from 0), one record after
// another, each without the blanks before it.
std::vector<std::string> campos(const std::vector<std::string>& lineas, std::size_t desde, std::size_t hasta) {
  std::vector<std::string> c;
  for (std::size_t l = desde; l < hasta; ++l)
    for (std::size_t i = 0, punto; (punto = lineas[l].find(';', i)) != std::string::npos; i = punto + 1) {
      const std::string campo = lineas[l].substr(i, punto - i);
      c.push_back(campo.substr(std::min(campo.find_first_not_of(' '), campo.size())));
    }
  return c;
}

// The first field filled with asterisks of the file is listed once, with
// its record, its column and heading, and the reach, and the run log names
// it so: a concentration on the second record of a row (17 pollutants: 20
// numbers a line; with oxygen, 19 constituents, 22 a line, the reaeration and
// saturation before them) or at either end of the first, a year past 9999
// in the date of the first row; nothing when every field fits. The record
// and column of a concentration follow from the numbers before it (the
// columns of the list) and the turn of the records; the heading is the
// heading line's at the field's place in the row.
TEST(PartialResultsOfReaches, FirstFieldWithAsterisksIsListed) {
  constexpr int ULTIMO = -1;  // the constituent at the end of the first record
  struct Fila {
    const char* que;
    int oxigeno;
    int k;  // the constituent too wide for its field, 0 none
    int ANYOINICIAL;
    long registro;  // of the field, 0 none
  };
  const Fila filas[] = {
      {"a concentration too wide", 0, 17, 2000, 3},
      {"a year cut", 0, 0, 9999, 2},
      {"every field fits", 0, 0, 2000, 0},
      {"oxygen: a concentration too wide on the second record", 1, 17, 2000, 3},
      {"oxygen: the first concentration, after the saturation", 1, 1, 2000, 2},
      {"oxygen: the last field of the first record", 1, ULTIMO, 2000, 2},
      {"oxygen: a year cut", 1, 0, 9999, 2},
  };
  for (Fila f : filas) {
    SCOPED_TRACE(f.que);
    tornal::Modelo m;
    tornal::TrabajoTramo w;
    un_tramo(m, 17, f.oxigeno, 4);
    const int NC = m.cal.NUMCONTAMINANTES;
    // The field: the year of the date (the second field of the first
    // record) or concentration k, the (V + k)-th number of the row, V the
    // numbers before the concentrations; a record holds 20 numbers (22 with
    // oxygen), the first one after the row's own fields.
    const int V = valores(f.oxigeno);
    const int por_linea = f.oxigeno ? 22 : 20;
    if (f.k == ULTIMO) {
      f.k = por_linea - V;
      ASSERT_GE(f.k, 1);
    }
    ASSERT_LE(f.k, 17);
    long columna = 2;
    std::string encabezado = "Fecha";
    if (f.k != 0) {
      const int n = V + f.k - 1;  // from 0
      ASSERT_EQ(2 + n / por_linea, f.registro) << "the field is not on the record that the case names";
      columna = n % por_linea + 1 + (n < por_linea ? propias(f.oxigeno) : 0);
      encabezado = "C" + std::to_string(f.k);
    }
    m.red.ANYOINICIAL = f.ANYOINICIAL;
    m.conf.NOMARCHCONDPAR1 = tornal::padded("parcial.csv", tornal::LONGRUTA);
    TempDir dir;
    ASSERT_TRUE(m.sim.archivo_cond_par.open(dir.file("parcial.csv")));
    tornal::Array1<double> co{"CO"};
    co.resize_filled(2.0, NC);
    if (f.k != 0) co(f.k) = 1.0E7;
    for (int mes = 4; mes <= 5; ++mes) tornal::CALCULOCONDUCSUB(m, w, 1, 86400.0, 0.0, 0.0, co, co, mes, 1);
    ASSERT_TRUE(m.sim.archivo_cond_par.close());
    const std::vector<std::string> lineas = crlf_lines(dir.read("parcial.csv"));
    if (f.registro == 0) {
      EXPECT_TRUE(m.sim.campos_asteriscos.empty());
      continue;
    }
    ASSERT_EQ(m.sim.campos_asteriscos.size(), 1u);
    const tornal::CampoAsteriscos& a = m.sim.campos_asteriscos[0];
    EXPECT_EQ(a.archivo, "parcial.csv");
    EXPECT_EQ(a.registro, f.registro);
    EXPECT_EQ(a.columna, columna);
    EXPECT_EQ(a.encabezado, encabezado);
    EXPECT_EQ(a.elemento, "Tramo 1");
    // The field itself (a number, or the year of the date), and no
    // asterisks in a record before it.
    ASSERT_GE(lineas.size(), static_cast<std::size_t>(f.registro));
    std::string campo = lineas[static_cast<std::size_t>(f.registro - 1)];
    for (long n = 1; n < columna; ++n) campo.erase(0, campo.find(';') + 1);
    EXPECT_NE(campo.substr(0, campo.find(';')).find("****"), std::string::npos) << campo;
    for (long r = 1; r < f.registro; ++r)
      EXPECT_EQ(lineas[static_cast<std::size_t>(r - 1)].find('*'), std::string::npos);
    // The heading line's field at the same place of the row: the heading
    // takes one line (NC of 20 names or fewer), the first row follows.
    ASSERT_LE(NC, 20);
    const std::size_t en_fila = campos(lineas, 1, static_cast<std::size_t>(f.registro - 1)).size() + columna - 1;
    const std::vector<std::string> cabecera = campos(lineas, 0, 1);
    ASSERT_LT(en_fila, cabecera.size());
    EXPECT_EQ(a.encabezado, cabecera[en_fila]);
    // The run log: the record, then the column with its heading.
    EXPECT_EQ(tornal::avisos_campos_asteriscos(m), 1);
    const std::vector<std::string> l = log_lines(m);
    const auto aviso = std::find(l.begin(), l.end(), "Columna:" + tornal::edit_I(columna, 12) + " " + a.encabezado);
    ASSERT_NE(aviso, l.end());
    EXPECT_EQ(*(aviso - 1), "Registro:" + tornal::edit_I(f.registro, 12));
  }
}

}  // namespace
