// Non-finite results at the end of the run (see nonfinite_results.h).
#include "simulation/nonfinite_results.h"

#include <cmath>
#include <string>

#include "common/latin1.h"

namespace tornal {

namespace {

const char* const AVISO = "Resultado no finito (desbordamiento en el cálculo), revise los datos";

struct Aviso {
  Modelo& m;
  int cuenta = 0;

  // One warning: the element, the constituent (or the quantity) and the
  // month of the run (1 = the first October) where it first appears.
  void escribir(const char* tipo, long numero, const std::string& nombre, const std::string& contaminante,
                long mes_de_la_serie) {
    m.log.write({AVISO});
    m.log.write({tipo, numero});
    m.log.write({"Nombre: ", trimmed(nombre)});
    m.log.write({"Contaminante: ", trimmed(contaminante)});
    m.log.write({"Mes de la simulación:", mes_de_la_serie});
    ++cuenta;
  }
};

// The first month (counted over the run) whose value of `valor(mes, anyo)`
// is not finite, or 0.
template <typename F>
long primer_mes_no_finito(long anyos, F&& valor) {
  for (long y = 1; y <= anyos; ++y)
    for (int mes = 1; mes <= 12; ++mes)
      if (!std::isfinite(valor(mes, y))) return 12 * (y - 1) + mes;
  return 0;
}

// Whether every value of the array is finite, read in memory order.
bool todos_finitos(const Array4<double>& res) {
  bool finitos = true;
  for (long y = 1; y <= res.size(4); ++y)
    for (long ms = 1; ms <= res.size(3); ++ms)
      for (long k = 1; k <= res.size(2); ++k) {
        const auto fila = res.run(res.size(1), k, ms, y);
        for (long e = 1; e <= fila.size(); ++e) finitos = finitos && std::isfinite(fila(e));
        if (!finitos) return false;
      }
  return true;
}

// Element by constituent results: (element, constituent, month, year). The
// search by element is made only for an array that holds a non-finite value.
void concentraciones(Aviso& a, const Array4<double>& res, const char* tipo, const Array1<std::string>& nombres) {
  if (todos_finitos(res)) return;
  const Calidad& c = a.m.cal;
  for (long e = 1; e <= res.size(1); ++e)
    for (long k = 1; k <= res.size(2); ++k) {
      const long mes = primer_mes_no_finito(res.size(4), [&](int ms, long y) { return res(e, k, ms, y); });
      if (mes == 0) continue;
      const std::string nombre = nombres.contains(e) ? nombres(e) : std::string();
      const std::string cont = c.NOMCONT.contains(k) ? c.NOMCONT(k) : std::to_string(k);
      a.escribir(tipo, e, nombre, cont, mes);
    }
}

// Element series of a flow or a volume: (element, month, year); `primero`
// is the element's number within `nombres` of the first entry.
void serie(Aviso& a, const Array3<double>& res, const char* tipo, const Array1<std::string>& nombres,
           const std::string& magnitud, long primero = 1) {
  for (long e = 1; e <= res.size(1); ++e) {
    const long mes = primer_mes_no_finito(res.size(3), [&](int ms, long y) { return res(e, ms, y); });
    if (mes == 0) continue;
    const long n = e + primero - 1;
    a.escribir(tipo, n, nombres.contains(n) ? nombres(n) : std::string(), latin1(magnitud), mes);
  }
}

}  // namespace

int avisos_resultados_no_finitos(Modelo& m) {
  const Red& r = m.red;
  const Simulacion& s = m.sim;
  Aviso a{m};
  const char* const COND = "Número Conducción:";
  const char* const EMB = "Numero de embalse";
  concentraciones(a, s.CONDUCCCS, COND, r.NOMCONDUCC);
  concentraciones(a, s.EMB1CF, EMB, r.NOMEMB);
  concentraciones(a, s.EMB2CF, EMB, r.NOMEMB);
  serie(a, r.QCONDUCC, COND, r.NOMCONDUCC, "Caudal");
  serie(a, r.PERDT2, COND, r.NOMCONDUCC, "Caudal", 1L + r.NUMCONDUCCIONEST1);
  serie(a, r.PERDT3, COND, r.NOMCONDUCC, "Caudal", 1L + r.NUMCONDUCCIONEST1 + r.NUMCONDUCCIONEST2);
  serie(a, r.VOLFINEMB, EMB, r.NOMEMB, "Volumen");
  serie(a, s.V1F, EMB, r.NOMEMB, "Volumen");
  serie(a, s.V2F, EMB, r.NOMEMB, "Volumen");
  return a.cuenta;
}

int avisos_campos_asteriscos(Modelo& m) {
  for (const CampoAsteriscos& c : m.sim.campos_asteriscos) {
    m.log.write({"Campo con asteriscos (valor que no cabe en su formato), revise los datos"});
    m.log.write({"Archivo: ", c.archivo});
    m.log.write({"Registro:", c.registro});
    if (c.encabezado.empty())
      m.log.write({"Columna:", c.columna});
    else
      m.log.write({"Columna:", c.columna, c.encabezado});
    if (!c.elemento.empty()) m.log.write({"Elemento: ", c.elemento});
  }
  return static_cast<int>(m.sim.campos_asteriscos.size());
}

}  // namespace tornal
