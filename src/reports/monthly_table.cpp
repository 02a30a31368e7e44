// The monthly column table "TablaCal.txt" and its legend "TablaCal.dir":
// one row of concentrations per month of the run over every reach of types
// 1 to 4 and both layers of every reservoir, whatever their report flags,
// and one quoted label per column in the same order.
#include "reports/monthly_table.h"

#include <cstddef>

#include "common/fixed_format.h"
#include "common/latin1.h"
#include "common/stop.h"

namespace tornal {

std::string nombre_conduccion(const Red& red, int c) {
  const Array1<std::string>* nombres[5] = {&red.NOMCONDT1, &red.NOMCONDT2, &red.NOMCONDT3, &red.NOMCONDT4,
                                           &red.NOMCONDT5};
  const int cuentas[5] = {red.NUMCONDUCCIONEST1, red.NUMCONDUCCIONEST2, red.NUMCONDUCCIONEST3,
                          red.NUMCONDUCCIONEST4, red.NUMCONDUCCIONEST5};
  int i = c;
  for (int t = 0; t < 5; ++t) {
    const int n = cuentas[t] > 0 ? cuentas[t] : 0;
    if (i <= n) return trimmed((*nombres[t])(i));
    i -= n;
  }
  // Past the last reach: the checked array names the fault.
  return trimmed(red.NOMCONDT5(cuentas[4] + i));
}

std::string nombre_contaminante(const Calidad& cal, int k) {
  return cal.NOMCONT.contains(k) ? trimmed(cal.NOMCONT(k)) : std::string();
}

namespace {

constexpr std::size_t VALORESPORREGISTRO = 5000;

int positivo(int n) { return n > 0 ? n : 0; }

// "TablaCal.txt": rows of years outer and months inner.
void escribir_tablacal_txt(Modelo& m) {
  const Red& r = m.red;
  const Simulacion& s = m.sim;
  const int R = positivo(r.NUMCONDUCCIONEST1) + positivo(r.NUMCONDUCCIONEST2) + positivo(r.NUMCONDUCCIONEST3) +
                positivo(r.NUMCONDUCCIONEST4);
  const int E = positivo(r.NUMEMBALSES);
  const int C = positivo(m.cal.NUMCONTAMINANTES);

  ResultFile txt(m.log, m.ruta("TablaCal.txt"), ERROR_ESCRITURA_RESULTADOS);
  // One month's row, value by value into one buffer: (F20.5, TAB) for each,
  // and a new record after every VALORESPORREGISTRO values. A month with no
  // value still gives its empty record.
  RecordBuffer registro;
  std::size_t en_registro = 0;
  auto valor = [&](double v) {
    if (en_registro == VALORESPORREGISTRO) {
      txt.line(registro.text());
      registro.clear();
      en_registro = 0;
    }
    registro.F(v, 20, 5).A('\t');
    ++en_registro;
  };
  for (int y = 1; y <= r.NUMANYOS; ++y) {
    for (int mes = 1; mes <= 12; ++mes) {
      registro.clear();
      en_registro = 0;
      for (int g = 1; g <= R; ++g)
        for (int k = 1; k <= C; ++k) valor(s.CONDUCCCS(g, k, mes, y));
      for (int e = 1; e <= E; ++e)
        for (int k = 1; k <= C; ++k) valor(s.EMB1CF(e, k, mes, y));
      for (int e = 1; e <= E; ++e)
        for (int k = 1; k <= C; ++k) valor(s.EMB2CF(e, k, mes, y));
      txt.line(registro.text());
    }
  }
  txt.close();
}

// "TablaCal.dir": one label per column, blocks of reaches of types 1 to 4,
// then upper and lower layers of the reservoirs.
void escribir_tablacal_dir(Modelo& m) {
  const Red& r = m.red;
  const int C = m.cal.NUMCONTAMINANTES;
  ResultFile dir(m.log, m.ruta("TablaCal.dir"), ERROR_ESCRITURA_RESULTADOS);
  auto etiqueta = [&](const char* prefijo, const std::string& nombre) {
    for (int k = 1; k <= C; ++k)
      dir.write_free({FreeItem("\""), FreeItem(prefijo), FreeItem(nombre), FreeItem("_"),
                      FreeItem(nombre_contaminante(m.cal, k)), FreeItem("\"")});
  };
  struct Bloque {
    const char* prefijo;
    const Array1<std::string>* nombres;
    int cuenta;
  };
  const Bloque bloques[6] = {{"Rio_T1_", &r.NOMCONDT1, r.NUMCONDUCCIONEST1}, {"Rio T2_", &r.NOMCONDT2, r.NUMCONDUCCIONEST2},
                             {"Rio T3_", &r.NOMCONDT3, r.NUMCONDUCCIONEST3}, {"Rio T4_", &r.NOMCONDT4, r.NUMCONDUCCIONEST4},
                             {"Embalse_Ep_", &r.NOMEMB, r.NUMEMBALSES},      {"Embalse_Hip_", &r.NOMEMB, r.NUMEMBALSES}};
  for (const Bloque& b : bloques)
    for (int j = 1; j <= b.cuenta; ++j) etiqueta(b.prefijo, trimmed((*b.nombres)(j)));
  dir.close();
}

}  // namespace

void write_monthly_table(Modelo& m) {
  escribir_tablacal_txt(m);
  escribir_tablacal_dir(m);
}

}  // namespace tornal
