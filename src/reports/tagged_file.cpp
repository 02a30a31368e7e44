// The tagged monthly concentration file: an XML-like text declared as
// ISO-8859-1 with the root "<TORNAL>", holding the two titles of the quality
// data, the constituents with their output codes and labels, and for every
// year the monthly concentrations of every constituent in the upper layer of
// every reservoir and at the outlet of every reach, reach type by reach type.
#include <algorithm>
#include <string>
#include <string_view>

#include "common/fixed_format.h"
#include "common/latin1.h"
#include "reports/monthly_table.h"
#include "reports/reports.h"

namespace tornal {

namespace {

constexpr std::size_t LONGTITULO = 255;

// The constituent output table: label (30 characters) and output code of
// each constituent, in the order of the constituent list. The fixed
// constituents keep the codes 1 to 9 whatever options are on; first-order
// pollutant i is coded 9 + i. The table has NUMCONTAMINANTES entries and is
// never filled past them; with options outside their domain it may fill
// fewer, and an entry left unfilled keeps a blank label and the code 0.
struct TablaSalida {
  Array1<std::string> NOMCONTAUX{"NOMCONTAUX"};
  Array1<int> NUMCONTSALIDA{"NUMCONTSALIDA"};
};

void LLENARTABLASALIDA(const Calidad& c, TablaSalida& t) {
  const int N = c.NUMCONTAMINANTES;
  t.NOMCONTAUX.resize_filled(blanks(LONGNOMCONT), N);
  t.NUMCONTSALIDA.resize(N);
  int k = 0;
  auto entrada = [&](std::string_view etiqueta, int codigo) {
    if (k >= N) return;
    ++k;
    t.NOMCONTAUX(k) = padded(etiqueta, LONGNOMCONT);
    t.NUMCONTSALIDA(k) = codigo;
  };
  if (c.OPCIONTEMPERATURA == 1) entrada("TEMPERATURA", 1);
  for (int i = 1; i <= c.NUMCONT1OR && k < N; ++i) entrada(c.NOMCONT1OR(i), 9 + i);
  if (c.OPCIONOXIGENO == 1) {
    entrada("DBO5", 2);
    entrada("O2DISCMP", 3);
    if (c.OPCIONNITROGENO == 1) {
      entrada("NORG", 4);
      entrada("NH4", 5);
      entrada("NO3", 6);
      if (c.OPCIONFITOPLANCTON == 1) {
        entrada("FiTOPLANCTON", 7);
        entrada("FOSFORG", 8);
        entrada("FOSFATOS", 9);
      }
    }
  }
}

// A title at its 255 characters; an unset title (NUL bytes) goes out as blanks.
std::string titulo_salida(const std::string& TITULO) {
  std::string t = padded(TITULO, LONGTITULO);
  std::replace(t.begin(), t.end(), '\0', ' ');
  return t;
}

// I3 with the output code, then 12F15.3 with the twelve months, built in
// the caller's buffer.
template <typename Valor>
std::string_view linea_concentracion(RecordBuffer& linea, int codigo, Valor valor) {
  linea.clear();
  linea.I(codigo, 3);
  for (int mes = 1; mes <= 12; ++mes) linea.F(valor(mes), 15, 3);
  return linea.text();
}

}  // namespace

// Writes the tagged monthly concentration file at NOMARCHIVO (trailing
// blanks are not part of the path) from TITULO1, TITULO2, the options and
// NUMCONTAMINANTES of the quality data, the network's counts, ANYOINICIAL and
// NUMANYOS, and the results EMB1CF and CONDUCCCS in output units. Nothing in
// a risk run, where an existing file keeps its content.
void ESCRIBIRARCHXMLSUB(Modelo& m, const std::string& NOMARCHIVO) {
  if (m.cal.OPCIONRIESGO) return;
  const Calidad& c = m.cal;
  const Red& r = m.red;
  const Simulacion& s = m.sim;

  TablaSalida tabla;
  LLENARTABLASALIDA(c, tabla);

  ResultFile f(m.log, NOMARCHIVO, ERROR_ESCRITURA_RESULTADOS);
  f.line("<?xml version=\"1.0\" encoding=\"ISO-8859-1\" ?>");
  f.write_free({"<TORNAL>"});
  f.write_free({"<DATGENC>"});
  f.write_free({"<TIT1C>"});
  f.write_free({FreeItem(titulo_salida(c.TITULO1))});
  f.write_free({"</TIT1C>"});
  f.write_free({"<TIT2C>"});
  f.write_free({FreeItem(titulo_salida(c.TITULO2))});
  f.write_free({"</TIT2C>"});
  f.write_free({"<NUMCONT>"});
  f.write_free({FreeItem(c.NUMCONTAMINANTES)});
  f.write_free({"</NUMCONT>"});
  f.write_free({"<NOMCONT>"});
  for (int k = 1; k <= c.NUMCONTAMINANTES; ++k)
    f.line(edit_I(tabla.NUMCONTSALIDA(k), 4) + " \"" + edit_A(tabla.NOMCONTAUX(k), 30) + "\"");
  f.write_free({"</NOMCONT>"});
  f.write_free({"</DATGENC>"});

  static const char* const ABRECOND[5] = {"<CONTCOND1>", "<CONTCOND2>", "<CONTCOND3>", "<CONTCOND4>", "<CONTCOND5>"};
  static const char* const CIERRACOND[5] = {"</CONTCOND1>", "</CONTCOND2>", "</CONTCOND3>", "</CONTCOND4>",
                                            "</CONTCOND5>"};
  const int NUMT[5] = {r.NUMCONDUCCIONEST1, r.NUMCONDUCCIONEST2, r.NUMCONDUCCIONEST3, r.NUMCONDUCCIONEST4,
                       r.NUMCONDUCCIONEST5};

  RecordBuffer linea;
  for (int iy = 1; iy <= r.NUMANYOS; ++iy) {
    f.write_free({"<IANYC>"});
    f.line(edit_I(static_cast<long long>(r.ANYOINICIAL) + iy - 1, 4) + "-" +
               edit_I(static_cast<long long>(r.ANYOINICIAL) + iy, 4));
    if (r.NUMEMBALSES != 0) {
      f.write_free({"<CONTEMBALSES>"});
      for (int e = 1; e <= r.NUMEMBALSES; ++e)
        for (int k = 1; k <= c.NUMCONTAMINANTES; ++k)
          f.line(linea_concentracion(linea, tabla.NUMCONTSALIDA(k), [&](int mes) { return s.EMB1CF(e, k, mes, iy); }));
      f.write_free({"</CONTEMBALSES>"});
    }
    // Reaches by global reach number: type 1 first, then types 2 to 5.
    long primera = 1;
    for (int t = 0; t < 5; ++t) {
      const long ultima = primera + NUMT[t] - 1;
      if (NUMT[t] > 0) {
        f.write_free({ABRECOND[t]});
        for (long cc = primera; cc <= ultima; ++cc)
          for (int k = 1; k <= c.NUMCONTAMINANTES; ++k)
            f.line(linea_concentracion(linea, tabla.NUMCONTSALIDA(k),
                                       [&](int mes) { return s.CONDUCCCS(cc, k, mes, iy); }));
        f.write_free({CIERRACOND[t]});
      }
      primera = ultima + 1;
    }
    f.write_free({"</IANYC>"});
  }
  f.write_free({"</TORNAL>"});
  f.close();
}

}  // namespace tornal
