// The close of a reach-month: the outlet concentrations, the overflow flag,
// and either the risk counts (in a quality-risk run) or the rows of the
// partial result file of reaches.
#include <cmath>
#include <string>
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

// The heading: the fixed columns, then every constituent name (trimmed)
// with its ";", 20 names a line.
void cabecera(Modelo& m) {
  const Calidad& c = m.cal;
  std::string texto =
      "Nombre Conduccion;Fecha;Segmento;Caudal(m3/s);Velocidad(m/s);AreaMojada(m2);Calado(m);"
      "Dispersion(m2/s);";
  if (c.OPCIONOXIGENO == 1) texto += "Ka(1/d); Osat(mg/l);";
  std::vector<std::string> nombres;
  for (int k = 1; k <= c.NUMCONTAMINANTES; ++k) nombres.push_back(trimmed(c.NOMCONT(k)) + ";");
  std::vector<std::string> lineas = reverted_records(nombres, 20);
  lineas.front() = texto + lineas.front();
  for (const std::string& l : lineas) escribir(m, l);
}

// The headings of the fields of a row, in their order.
std::vector<std::string> encabezados_fila(const Calidad& c) {
  std::vector<std::string> h = {"Nombre Conduccion", "Fecha",          "Segmento",  "Caudal(m3/s)",
                                "Velocidad(m/s)",    "AreaMojada(m2)", "Calado(m)", "Dispersion(m2/s)"};
  if (c.OPCIONOXIGENO == 1) {
    h.push_back("Ka(1/d)");
    h.push_back("Osat(mg/l)");
  }
  for (int k = 1; k <= c.NUMCONTAMINANTES; ++k) h.push_back(trimmed(c.NOMCONT(k)));
  return h;
}

// The rows of segments K, 2K, 3K, ... below the last one: name, date and
// segment, then the segment's hydraulics (in m3/s, m/s, m2, m and m3/s),
// with oxygen its reaeration rate and saturation, and every concentration
// in output units; 20 numbers a line (22 with oxygen). A field filled with
// asterisks is counted where it is edited.
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
    numero(w.QI(i) / 24.0 / 3600.0);
    numero(w.UI(i) / 24.0 / 3600.0);
    numero(w.AIC(i));
    numero(w.Y(i));
    numero(w.EIJ(i) / 24.0 / 3600.0);
    if (oxigeno) {
      numero(w.KAAUX(i));
      numero(w.OSATAUX(i));
    }
    for (int k = 1; k <= c.NUMCONTAMINANTES; ++k) numero(w.CX(i, k) * m.sim.DESCAMBIOUNIDAD(k));
    if (columna != 0 || primero != 0) [[unlikely]]
      anotar_fila_asteriscos(m.sim, trimmed(m.conf.NOMARCHCONDPAR1), m.sim.archivo_cond_par.lines() + 1, columna,
                             primero == 0 ? 0 : primero - 1, 3, por_linea, trimmed(m.red.NOMCONDUCC(t.I)),
                             [&] { return encabezados_fila(c); });
    std::vector<std::string> lineas = reverted_records(numeros, por_linea);
    lineas.front() = nombre + segmento + lineas.front();
    for (const std::string& l : lineas) escribir(m, l);
  }
}

}  // namespace

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
