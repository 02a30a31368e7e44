// The two sub-step files of a reservoir whose INRESPAREMB is 1: the partial
// result file of reservoirs (volumes, depths, flows, exchange, layer and
// inflow concentrations, growth factors; every N-th sub-step) and, with
// OPCIONBALANCES, "balances.csv" (the mass balance of every sub-step, in
// calculation units). Text with ";" after each field; one header line for
// the whole run. A failed write stops the run, never loses rows.
#include <string>
#include <string_view>
#include <vector>

#include "common/failures.h"
#include "common/fixed_format.h"
#include "common/latin1.h"
#include "reservoir/reservoir_steps.h"

namespace tornal {
namespace {

const char* const ERROREMBPAR = "Error en el acceso al archivo de resultados parciales de embalses";

void escribir(Modelo& m, OutputFile& archivo, const std::string& linea) {
  if (!archivo.line(linea)) access_failure(m.log, ERROREMBPAR);
}

// One line or more of a header: the first item as it stands, then every
// item followed by ";", `por_linea` items a line.
void escribir_cabecera(Modelo& m, OutputFile& archivo, const std::string& primero,
                       const std::vector<std::string>& items, std::size_t por_linea) {
  std::vector<std::string> grupos;
  grupos.reserve(items.size());
  for (const std::string& i : items) grupos.push_back(i + ";");
  std::vector<std::string> lineas = reverted_records(grupos, por_linea);
  lineas.front() = primero + lineas.front();
  for (const std::string& l : lineas) escribir(m, archivo, l);
}

// The headings of the columns of a row, from the first: the texts of the
// heading's first item and of its other items split at their ";".
std::vector<std::string> encabezados(const char* primero, const std::vector<std::string>& items) {
  std::vector<std::string> h;
  // A heading without the blanks around it.
  auto limpio = [](std::string_view t) {
    while (!t.empty() && t.front() == ' ') t.remove_prefix(1);
    return trimmed(t);
  };
  auto partir = [&](std::string_view texto) {
    std::size_t desde = 0;
    for (std::size_t punto = texto.find(';'); punto != std::string_view::npos; punto = texto.find(';', desde)) {
      h.push_back(limpio(texto.substr(desde, punto - desde)));
      desde = punto + 1;
    }
    if (!limpio(texto.substr(desde)).empty()) h.push_back(limpio(texto.substr(desde)));
  };
  partir(primero);
  for (const std::string& i : items) partir(i);
  return h;
}

// One of the two files: its name as the run configuration gives it, the
// first item and the other items of its heading.
struct ArchivoSubpasos {
  std::string nombre;
  const char* primero;
  std::vector<std::string> (*items)(const Calidad&);
};

// One row: the reservoir, the date and the sub-step, then every value in
// F15.3 followed by ";", 800 values a line. The first field filled with
// asterisks of the file is listed with its record and column.
void escribir_fila(Modelo& m, OutputFile& archivo, TrabajoEmbalse& w, int j, const std::vector<double>& valores,
                   const ArchivoSubpasos& cual) {
  AsteriskCount asteriscos;
  AsteriskWatch vigilancia(asteriscos);
  const std::string fecha = edit_I(anyo_calendario(m.red.ANYOINICIAL, w.Y, w.M), 4);
  long columna = asteriscos.fields != 0 ? 2 : 0;
  const std::string subpaso = edit_I(j, 4);
  if (columna == 0 && asteriscos.fields != 0) columna = 3;
  const std::string inicio = trimmed(m.red.NOMEMB(w.K)) + ";" + nombre_mes(w.M) + "-" + fecha + ";" + subpaso + ";";
  std::vector<std::string> grupos;
  grupos.reserve(valores.size());
  std::size_t primero = 0;
  for (double v : valores) {
    const long visto = asteriscos.fields;
    grupos.push_back(edit_F(v, 15, 3) + ";");
    if (asteriscos.fields != visto && primero == 0) primero = grupos.size();
  }
  if (columna != 0 || primero != 0) [[unlikely]]
    anotar_fila_asteriscos(m.sim, cual.nombre, archivo.lines() + 1, columna, primero == 0 ? 0 : primero - 1, 3, 800,
                           trimmed(m.red.NOMEMB(w.K)), [&] { return encabezados(cual.primero, cual.items(m.cal)); });
  std::vector<std::string> lineas = reverted_records(grupos, 800);
  lineas.front() = inicio + lineas.front();
  for (const std::string& l : lineas) escribir(m, archivo, l);
}

// What the rows of an empty or one-layer month show: the volumes of a month
// emptied (0) or filled from empty (VFIN), no hypolimnion concentration in
// a one-layer month.
void preparar_filas(Modelo& m, TrabajoEmbalse& w) {
  for (int j = 1; j <= w.NSUB; ++j) {
    if (vacio(w.VFIN)) w.V1I(j) = 0.0;
    if (vacio(w.V0)) w.V1I(j) = w.VFIN;
    if (w.dos_capas()) {
      if (vacio(w.VFIN)) w.V2I(j) = 0.0;
      if (vacio(w.V0)) w.V2I(j) = w.VFIN;
    }
  }
  TrabajoEmbalse& a = w.integrado();
  if (!a.dos_capas())
    for (int j = 1; j <= a.NSUB; ++j)
      for (int c = 1; c <= m.cal.NUMCONTAMINANTES; ++c) a.C2I(j, c) = 0.0;
}

// A term of the given sub-step J: the sum of its values over the sub-steps
// of the month's integration that make J up (J alone when the given
// sub-steps stand), added in order from the first.
template <typename F>
double suma_subpasos(const TrabajoEmbalse& w, int J, F&& valor) {
  const int f = w.factor;
  double s = valor((J - 1) * f + 1);
  for (int i = (J - 1) * f + 2; i <= J * f; ++i) s = s + valor(i);
  return s;
}

std::vector<std::string> con_prefijo(const Calidad& cal, std::string_view prefijo) {
  std::vector<std::string> out;
  for (int c = 1; c <= cal.NUMCONTAMINANTES; ++c) out.push_back(std::string(prefijo) + trimmed(cal.NOMCONT(c)));
  return out;
}

// The items of the two headings after their first one.
std::vector<std::string> items_parcial(const Calidad& cal) {
  std::vector<std::string> items;
  for (const char* prefijo : PREFIJOSPARCIAL)
    for (const std::string& i : con_prefijo(cal, prefijo)) items.push_back(i);
  items.push_back(LIMITACIONES);
  return items;
}

// The items of "balances.csv" after its first: the concentrations of the
// layers and the transport terms, headed by prefixes of the constituent
// names, then the blocks of process headings, each padded to
// LARGOBLOQUEPROCESOS characters.
std::vector<std::string> items_balances(const Calidad& cal) {
  std::vector<std::string> items;
  auto por_contaminante = [&](std::string_view prefijo) {
    for (const std::string& i : con_prefijo(cal, prefijo)) items.push_back(i);
  };
  por_contaminante(PREFIJOSPARCIAL[0]);
  por_contaminante(PREFIJOSPARCIAL[1]);
  for (const TransporteBalance& b : BALANCETRANSPORTE)
    for (int t = 1; t <= b.terminos(); ++t) por_contaminante(b.encabezado(t));
  for (int bloque = 1; bloque <= NUMBLOQUESPROCESOS; ++bloque) {
    std::string texto;
    for (const ProcesoBalance& p : BALANCEPROCESOS)
      if (p.bloque == bloque) {
        if (!texto.empty()) texto += ';';
        texto += p.encabezados;
      }
    texto.resize(LARGOBLOQUEPROCESOS, ' ');
    items.push_back(texto);
  }
  return items;
}

}  // namespace

void resultados_parciales(Modelo& m, TrabajoEmbalse& w) {
  const Calidad& cal = m.cal;
  Simulacion& s = m.sim;
  OutputFile& archivo = s.archivo_emb_par;
  const int NC = cal.NUMCONTAMINANTES;
  preparar_filas(m, w);
  const ArchivoSubpasos cual{trimmed(m.conf.NOMARCHEMBPAR1), CABECERAPARCIAL, items_parcial};
  if (w.M == 1 && w.Y == 1 && !s.CABECERAEMBPAR) {
    escribir_cabecera(m, archivo, CABECERAPARCIAL, items_parcial(cal), 500);
    s.CABECERAEMBPAR = true;
  }
  // One row for every N-th given sub-step J: the water of J, the state at
  // its end, and the growth rates of its sub-steps summed.
  const TrabajoEmbalse& a = w.integrado();
  const int N = cal.ACUMULACIONRESULTADOSPARCIALES(2);
  const double FV = cal.FACTORVOLUMEN;
  int R = 1;
  for (int J = 1; J <= w.NSUB; ++J) {
    if (R != N) {
      ++R;
      continue;
    }
    R = 1;
    const int j = J * w.factor;
    std::vector<double> v = {w.V1I(J) / FV, w.V2I(J) / FV, w.ZEPILI(J), w.ZHYPI(J), w.QS1 / FV,
                             w.QS2 / FV,    w.QE1 / FV,    w.QE2 / FV,  w.QV / FV,  w.E12I(J)};
    for (int c = 1; c <= NC; ++c) v.push_back(a.C1I(j, c) * s.DESCAMBIOUNIDAD(c));
    for (int c = 1; c <= NC; ++c) v.push_back(a.C2I(j, c) * s.DESCAMBIOUNIDAD(c));
    for (int c = 1; c <= NC; ++c) v.push_back(w.C1ENTRI(c) * s.DESCAMBIOUNIDAD(c));
    for (int c = 1; c <= NC; ++c) v.push_back(w.C2ENTRI(c) * s.DESCAMBIOUNIDAD(c));
    for (int f = 1; f <= 8; ++f) {
      const bool tasa = f == 1 || f == 5;  // the maximum growth over the sub-step
      v.push_back(tasa ? suma_subpasos(w, J, [&](int i) { return a.LIMITECRECIMIENTO(f, i); })
                       : a.LIMITECRECIMIENTO(f, j));
    }
    escribir_fila(m, archivo, w, J, v, cual);
  }
}

void balances(Modelo& m, TrabajoEmbalse& w) {
  const Calidad& cal = m.cal;
  Simulacion& s = m.sim;
  OutputFile& archivo = s.archivo_balances;
  const int NC = cal.NUMCONTAMINANTES;
  preparar_filas(m, w);
  const ArchivoSubpasos cual{"balances.csv", CABECERABALANCE, items_balances};
  if (w.M == 1 && w.Y == 1 && !s.CABECERABALANCES) {
    escribir_cabecera(m, archivo, CABECERABALANCE, items_balances(cal), 800);
    s.CABECERABALANCES = true;
  }
  // One row for every given sub-step J: the substance held at its end and
  // the terms of its balance, summed over the sub-steps that make it up.
  const TrabajoEmbalse& a = w.integrado();
  const double FV = cal.FACTORVOLUMEN;
  for (int J = 1; J <= w.NSUB; ++J) {
    const int j = J * w.factor;
    const double V1 = w.V1I(J), V2 = w.V2I(J);
    std::vector<double> v = {V1 / FV, V2 / FV};
    for (int c = 1; c <= NC; ++c) v.push_back(V1 * a.C1I(j, c) / 1000000.0);
    for (int c = 1; c <= NC; ++c) v.push_back(V2 * a.C2I(j, c) / 1000000.0);
    for (const TransporteBalance& b : BALANCETRANSPORTE) {
      const Array3<double>& masa = a.*b.masa;
      for (int t = 1; t <= b.terminos(); ++t)
        for (int c = 1; c <= NC; ++c)
          v.push_back(suma_subpasos(w, J, [&](int i) { return masa(i, c, t); }) / 1000000.0);
    }
    for (const ProcesoBalance& p : BALANCEPROCESOS) {
      const Array2<double>& masa = a.*p.masa;
      const Array1<double>& volumen = a.*p.volumen;
      for (int t = 1; t <= p.terminos(); ++t)
        v.push_back(suma_subpasos(w, J, [&](int i) { return volumen(i) * masa(i, t); }) / 1000000.0);
    }
    escribir_fila(m, archivo, w, J, v, cual);
  }
}

}  // namespace tornal
