// The result table for graphics: a long table of one record per value, the
// concentrations of the selected reaches and reservoir layers and then their
// flows, losses and end-of-month volumes; after it "TablaCal.txt" and
// "TablaCal.dir" (monthly_table.cpp).
#include <string>
#include <string_view>

#include "common/fixed_format.h"
#include "common/latin1.h"
#include "reports/monthly_table.h"
#include "reports/reports.h"

namespace tornal {

namespace {

// The date field of the records of one month: (A3, "-", I4).
std::string fecha_grafico(const Array1<std::string>& ETIQ, int ANYOINICIAL, int iy, int mes) {
  RecordBuffer f;
  f.A(edit_A(ETIQ(mes), 3)).A('-').I(anyo_calendario(ANYOINICIAL, iy, mes), 4);
  return std::string(f.text());
}

}  // namespace

// Writes the result table for graphics at NOMARCHIGRF (without its trailing
// blanks): the header, the concentration records (year, month, constituent,
// then reaches of types 1 to 5 and reservoirs, epilimnion and hypolimnion,
// of report flag 1), then the flow, loss and volume records of the same
// elements (year, month, element); then "TablaCal.txt" and "TablaCal.dir".
// Reads the results CONDUCCCS, EMB1CF and EMB2CF and the series QCONDUCC,
// PERDT2, PERDT3 and VOLFINEMB in output units. Nothing in a risk run.
void ESCRIBIRTABLACALSUB(Modelo& m, const std::string& NOMARCHIGRF) {
  if (m.cal.OPCIONRIESGO) return;

  const Red& r = m.red;
  const Calidad& c = m.cal;
  const Simulacion& s = m.sim;

  ResultFile grf(m.log, NOMARCHIGRF, ERROR_ESCRITURA_RESULTADOS);

  Array1<std::string> NOMBREARCHIVOSAUXE{"NOMBREARCHIVOSAUXE"};
  NOMBREARCHIVOSAUXE.resize(r.NUMEMBALSES);
  for (int e = 1; e <= r.NUMEMBALSES; ++e) NOMBREARCHIVOSAUXE(e) = padded("Hip" + trimmed(r.NOMEMB(e)), LONGRUTA);

  Array1<std::string> ETIQ{"ETIQ"};
  ETIQ.resize(12);
  for (int mes = 1; mes <= 12; ++mes) ETIQ(mes) = nombre_mes(mes);

  grf.line("Nombre contaminante;Fecha;Nombre Elemento;Valor;Tipo");

  const int cuentas[5] = {r.NUMCONDUCCIONEST1, r.NUMCONDUCCIONEST2, r.NUMCONDUCCIONEST3, r.NUMCONDUCCIONEST4,
                          r.NUMCONDUCCIONEST5};
  int NUMCOND = 0;
  for (int n : cuentas) NUMCOND += n > 0 ? n : 0;

  // The names of the records, trimmed once for the whole table.
  Array1<std::string> NOMBRESCOND{"NOMBRESCOND"};
  NOMBRESCOND.resize(NUMCOND);
  for (int g = 1; g <= NUMCOND; ++g) NOMBRESCOND(g) = nombre_conduccion(r, g);
  Array1<std::string> NOMBRESEMB{"NOMBRESEMB"};
  Array1<std::string> NOMBRESHIP{"NOMBRESHIP"};
  NOMBRESEMB.resize(r.NUMEMBALSES);
  NOMBRESHIP.resize(r.NUMEMBALSES);
  for (int e = 1; e <= r.NUMEMBALSES; ++e) {
    NOMBRESEMB(e) = trimmed(r.NOMEMB(e));
    NOMBRESHIP(e) = trimmed(NOMBREARCHIVOSAUXE(e));
  }
  Array1<std::string> NOMBRESCONT{"NOMBRESCONT"};
  NOMBRESCONT.resize(c.NUMCONTAMINANTES);
  for (int k = 1; k <= c.NUMCONTAMINANTES; ++k) NOMBRESCONT(k) = nombre_contaminante(c, k);

  // One record of the table: (A, ";", A3, "-", I4, ";", A, ";", F15.3, ";", A),
  // built in one buffer.
  RecordBuffer registro;
  auto escribir = [&](std::string_view serie, std::string_view fecha, std::string_view elemento, double valor,
                      std::string_view tipo) {
    registro.clear();
    registro.A(serie).A(';').A(fecha).A(';').A(elemento).A(';').F(valor, 15, 3).A(';').A(tipo);
    grf.line(registro.text());
  };

  // Concentrations.
  for (int iy = 1; iy <= r.NUMANYOS; ++iy)
    for (int mes = 1; mes <= 12; ++mes) {
      const std::string fecha = fecha_grafico(ETIQ, r.ANYOINICIAL, iy, mes);
      for (int k = 1; k <= c.NUMCONTAMINANTES; ++k) {
        const std::string& cont = NOMBRESCONT(k);
        for (int g = 1; g <= NUMCOND; ++g)
          if (c.INRESCOND(g) == 1) escribir(cont, fecha, NOMBRESCOND(g), s.CONDUCCCS(g, k, mes, iy), "Simulado");
        for (int e = 1; e <= r.NUMEMBALSES; ++e)
          if (c.INRESEMB(e) == 1) {
            escribir(cont, fecha, NOMBRESEMB(e), s.EMB1CF(e, k, mes, iy), "Simulado");
            escribir(cont, fecha, NOMBRESHIP(e), s.EMB2CF(e, k, mes, iy), "Simulado hipolimnion");
          }
      }
    }

  // Flows, losses of the reaches of types 2 and 3, end-of-month volumes.
  for (int iy = 1; iy <= r.NUMANYOS; ++iy)
    for (int mes = 1; mes <= 12; ++mes) {
      const std::string fecha = fecha_grafico(ETIQ, r.ANYOINICIAL, iy, mes);
      int g = 0;
      for (int t = 1; t <= 5; ++t)
        for (int j = 1; j <= cuentas[t - 1]; ++j) {
          ++g;
          if (c.INRESCOND(g) != 1) continue;
          const std::string& nombre = NOMBRESCOND(g);
          escribir("Caudal", fecha, nombre, r.QCONDUCC(g, mes, iy), "Simulado");
          if (t == 2)
            escribir("Perdidas", fecha, nombre, r.PERDT2(j, mes, iy), "Simulado");
          else if (t == 3)
            escribir("Perdidas", fecha, nombre, r.PERDT3(j, mes, iy), "Simulado");
        }
      for (int e = 1; e <= r.NUMEMBALSES; ++e)
        if (c.INRESEMB(e) == 1) escribir("Volumen Fin", fecha, NOMBRESEMB(e), r.VOLFINEMB(e, mes, iy), "Simulado");
    }
  grf.close();

  write_monthly_table(m);
}

}  // namespace tornal
