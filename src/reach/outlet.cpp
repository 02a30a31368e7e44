// The close of a reach-month: the outlet concentrations, the overflow flag,
// and either the risk counts (in a quality-risk run) or the rows of the
// partial result file of reaches.
#include <algorithm>
#include <cmath>
#include <iterator>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/fixed_format.h"
#include "common/latin1.h"
#include "common/stop.h"
#include "reach/reach_model.h"
#include "reach/tramo.h"

namespace tornal {
namespace {

// Overflow limit of a solved concentration, in calculation units.
constexpr double LIMITEDESBORDE = 1.0e6;

// Counts the outlet of every constituent into its risk level: the first
// level whose limit is strictly above the outlet, or the last level.
void contar_riesgo(Modelo& m, const Tramo& t) {
  Calidad& c = m.cal;
  for (int k = 1; k <= c.NUMCONTAMINANTES && k <= c.NUMCONTRIESGO; ++k) {
    const int L = c.NUMNIVELESCONT(k) - 1;
    if (L <= 0) continue;
    const double C = m.sim.CONDUCCCS(t.I, k, t.MES, t.ANO);
    int nivel = L + 1;
    for (int l = 1; l <= L; ++l) {
      if (c.LIMNIVELES(k, l) > C) {
        nivel = l;
        break;
      }
    }
    c.MATCONDRIESGO(t.I, k, nivel) = c.MATCONDRIESGO(t.I, k, nivel) + 1.0;
  }
  m.log.write({"NumDoncucion, año, mes", t.I, t.MES, t.ANO});
}

void escribir(Modelo& m, const std::string& linea) {
  if (m.sim.archivo_cond_par.line(linea)) return;
  m.log.write({"Error en la escritura del archivo de resultados parciales de conduccion"});
  stop("error");
}

// The columns of a row before the concentrations (see ColumnaParcial): the
// heading line, the rows and the headings by which the run log names a field
// of asterisks all follow from this one list: a column is one entry more.
constexpr ColumnaParcial COLUMNASPARCIALES[] = {
    {"Nombre Conduccion", nullptr},
    {"Fecha", nullptr},
    {"Segmento", nullptr},
    {"Caudal(m3/s)", [](const TrabajoTramo& w, int i) { return w.QI(i) / 24.0 / 3600.0; }},
    {"Velocidad(m/s)", [](const TrabajoTramo& w, int i) { return w.UI(i) / 24.0 / 3600.0; }},
    {"AreaMojada(m2)", [](const TrabajoTramo& w, int i) { return w.AIC(i); }},
    {"Calado(m)", [](const TrabajoTramo& w, int i) { return w.Y(i); }},
    {"Dispersion(m2/s)", [](const TrabajoTramo& w, int i) { return w.EIJ(i) / 24.0 / 3600.0; }},
    {"Ka(1/d)", [](const TrabajoTramo& w, int i) { return w.KAAUX(i); }, true},
    // The heading line writes a blank before this heading.
    {" Osat(mg/l)", [](const TrabajoTramo& w, int i) { return w.OSATAUX(i); }, true},
};

// The row's own fields: the columns without a value, all before the others.
constexpr std::size_t PROPIAS = [] {
  std::size_t n = 0;
  while (n < std::size(COLUMNASPARCIALES) && COLUMNASPARCIALES[n].valor == nullptr) ++n;
  return n;
}();
static_assert(std::none_of(std::begin(COLUMNASPARCIALES) + PROPIAS, std::end(COLUMNASPARCIALES),
                           [](const ColumnaParcial& col) { return col.valor == nullptr; }),
              "the row's own fields come before its numbers");

bool en_archivo(const ColumnaParcial& col, const Calidad& c) { return !col.oxigeno || c.OPCIONOXIGENO == 1; }

// The heading: the columns of the list, then every constituent name
// (trimmed) with its ";", 20 names a line.
void cabecera(Modelo& m) {
  const Calidad& c = m.cal;
  std::string texto;
  for (const ColumnaParcial& col : COLUMNASPARCIALES)
    if (en_archivo(col, c)) texto.append(col.encabezado).append(1, ';');
  std::vector<std::string> nombres;
  for (int k = 1; k <= c.NUMCONTAMINANTES; ++k) nombres.push_back(trimmed(c.NOMCONT(k)) + ";");
  std::vector<std::string> lineas = reverted_records(nombres, 20);
  lineas.front() = texto + lineas.front();
  for (const std::string& l : lineas) escribir(m, l);
}

// The headings of the fields of a row, in their order, as the run log names
// them: those of the heading line without the blanks before them.
std::vector<std::string> encabezados_fila(const Calidad& c) {
  std::vector<std::string> h;
  for (const ColumnaParcial& col : COLUMNASPARCIALES) {
    if (!en_archivo(col, c)) continue;
    std::string_view e = col.encabezado;
    while (!e.empty() && e.front() == ' ') e.remove_prefix(1);
    h.emplace_back(e);
  }
  for (int k = 1; k <= c.NUMCONTAMINANTES; ++k) h.push_back(trimmed(c.NOMCONT(k)));
  return h;
}

// The rows of segments K, 2K, 3K, ... below the last one: the row's own
// fields, then the value of every other column of COLUMNASPARCIALES that the
// file has and every concentration, in output units; the records turn after
// 20 numbers (22 with oxygen), whatever the columns.
// A field filled with asterisks is counted where it is edited.
void filas_parciales(Modelo& m, const TrabajoTramo& w, const Tramo& t) {
  const Calidad& c = m.cal;
  const int K = c.ACUMULACIONRESULTADOSPARCIALES(1);
  const bool oxigeno = c.OPCIONOXIGENO == 1;
  const std::size_t por_linea = oxigeno ? 22 : 20;
  AsteriskCount asteriscos;
  AsteriskWatch vigilancia(asteriscos);
  const std::string nombre = trimmed(m.red.NOMCONDUCC(t.I)) + ";" + nombre_mes(t.MES) + "-" +
                             edit_I(anyo_calendario(m.red.ANYOINICIAL, t.ANO, t.MES), 4) + ";";
  const bool fecha_cortada = asteriscos.fields != 0;
  std::vector<std::string> numeros;
  int contador = 1;
  for (int i = 1; i <= t.N - 1; ++i) {
    if (contador != K) {
      contador = contador + 1;
      continue;
    }
    contador = 1;
    numeros.clear();
    const long antes = asteriscos.fields;
    const std::string segmento = edit_I(i, 4) + ";";
    long columna = fecha_cortada ? 2 : asteriscos.fields != antes ? 3 : 0;
    std::size_t primero = 0;
    auto numero = [&](double v) {
      const long visto = asteriscos.fields;
      numeros.push_back(edit_F(v, 12, 6) + ";");
      if (asteriscos.fields != visto && columna == 0 && primero == 0) primero = numeros.size();
    };
    for (const ColumnaParcial& col : COLUMNASPARCIALES)
      if (col.valor != nullptr && en_archivo(col, c)) numero(col.valor(w, i));
    for (int k = 1; k <= c.NUMCONTAMINANTES; ++k) numero(w.CX(i, k) * m.sim.DESCAMBIOUNIDAD(k));
    if (columna != 0 || primero != 0) [[unlikely]]
      anotar_fila_asteriscos(m.sim, trimmed(m.conf.NOMARCHCONDPAR1), m.sim.archivo_cond_par.lines() + 1, columna,
                             primero == 0 ? 0 : primero - 1, PROPIAS, por_linea, trimmed(m.red.NOMCONDUCC(t.I)),
                             [&] { return encabezados_fila(c); });
    std::vector<std::string> lineas = reverted_records(numeros, por_linea);
    lineas.front() = nombre + segmento + lineas.front();
    for (const std::string& l : lineas) escribir(m, l);
  }
}

}  // namespace

std::span<const ColumnaParcial> columnas_parciales() { return COLUMNASPARCIALES; }

void salida_tramo(Modelo& m, const TrabajoTramo& w, const Tramo& t) {
  Simulacion& s = m.sim;
  const int NC = m.cal.NUMCONTAMINANTES;
  for (int k = 1; k <= NC; ++k) s.CONDUCCCS(t.I, k, t.MES, t.ANO) = w.CX(t.N, k);
  const Columns<const double> CX = w.CX.columns(t.N, 1, NC);
  bool desborde = false;
  for (int k = 1; k <= NC; ++k)
    for (int i = 1; i <= t.N; ++i)
      if (CX(i, k) > LIMITEDESBORDE || !std::isfinite(CX(i, k))) desborde = true;
  if (desborde) s.ERRORCOND(t.I) = 1;

  if (m.cal.OPCIONRIESGO) {
    contar_riesgo(m, t);
    return;
  }
  if (m.cal.INRESPARCOND(t.I) != 1) return;
  if (!s.CABECERACONDPAR) {
    cabecera(m);
    s.CABECERACONDPAR = true;
  }
  filas_parciales(m, w, t);
}

}  // namespace tornal
