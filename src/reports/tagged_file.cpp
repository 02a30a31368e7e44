// The tagged monthly concentration file: an XML-like text declared as
// ISO-8859-1 with the root "<TORNAL>", holding the two titles of the quality
// data, the constituents with their output codes and labels, and for every
// year the monthly concentrations of every constituent in the upper layer of
// every reservoir and at the outlet of every reach, reach type by reach type.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "common/fixed_format.h"
#include "common/latin1.h"
#include "common/ordered_pipeline.h"
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

// The bytes of one free-format statement of one text, with its CR LF.
std::string sentencia(const char* texto) {
  std::string bytes;
  for (const std::string& l : free_format_lines({FreeItem(texto)})) bytes.append(l).append("\r\n");
  return bytes;
}

// The characters of a concentration record: I3 with the output code, then
// 12F15.3 with the twelve months, then CR LF.
constexpr std::size_t LARGO_CONCENTRACION = 3 + 12 * 15 + 2;

// A block of the year: its tags, and the elements (reservoirs or reaches,
// by their number in `valores`) whose records it holds.
struct Seccion {
  std::string abre, cierra;
  const Array4<double>* valores;
  long desde, hasta;
};

// A chunk of the file: records of one year, that may open it (the year's tag
// and label), holds a run of the elements of one block (with the block's
// opening and closing tags at its ends), and may close it.
struct Trozo {
  int iy;
  int seccion;  // -1: none
  long desde, hasta;
  bool cabecera, abre, cierra, fin;
};

// The head of the file: the XML declaration, the root tag and the general
// data (the two titles, the number of constituents, their codes and labels).
// Returns the line of the first code cut to asterisks, 0 when every code fits.
long datos_generales(ResultFile& f, const Calidad& c, const TablaSalida& tabla) {
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
  long cortado = 0;
  AsteriskCount asteriscos;
  AsteriskWatch vigilancia(asteriscos);
  for (int k = 1; k <= c.NUMCONTAMINANTES; ++k) {
    f.line(edit_I(tabla.NUMCONTSALIDA(k), 4) + " \"" + edit_A(tabla.NOMCONTAUX(k), 30) + "\"");
    if (asteriscos.fields != 0 && cortado == 0) [[unlikely]]
      cortado = f.lines();
  }
  f.write_free({"</NOMCONT>"});
  f.write_free({"</DATGENC>"});
  return cortado;
}

// The blocks of every year: the upper layer of the reservoirs, then the
// reaches by global reach number, type 1 first, then types 2 to 5; a kind
// with no element has no block.
std::vector<Seccion> secciones_anyo(const Red& r, const Simulacion& s) {
  static const char* const ABRECOND[5] = {"<CONTCOND1>", "<CONTCOND2>", "<CONTCOND3>", "<CONTCOND4>", "<CONTCOND5>"};
  static const char* const CIERRACOND[5] = {"</CONTCOND1>", "</CONTCOND2>", "</CONTCOND3>", "</CONTCOND4>",
                                            "</CONTCOND5>"};
  const int NUMT[5] = {r.NUMCONDUCCIONEST1, r.NUMCONDUCCIONEST2, r.NUMCONDUCCIONEST3, r.NUMCONDUCCIONEST4,
                       r.NUMCONDUCCIONEST5};

  std::vector<Seccion> secciones;
  if (r.NUMEMBALSES != 0)
    secciones.push_back({sentencia("<CONTEMBALSES>"), sentencia("</CONTEMBALSES>"), &s.EMB1CF, 1, r.NUMEMBALSES});
  long primera = 1;
  for (int t = 0; t < 5; ++t) {
    const long ultima = primera + NUMT[t] - 1;
    if (NUMT[t] > 0)
      secciones.push_back({sentencia(ABRECOND[t]), sentencia(CIERRACOND[t]), &s.CONDUCCCS, primera, ultima});
    primera = ultima + 1;
  }
  return secciones;
}

// The chunks: every block of a year in runs of about CHUNK_TARGET_BYTES of
// the NC constituents' records; a year with no block is one chunk of its
// tags.
std::vector<Trozo> trozos_archivo(const Red& r, const std::vector<Seccion>& secciones, int NC) {
  const long por_trozo = std::max<long>(
      1, static_cast<long>(CHUNK_TARGET_BYTES / (LARGO_CONCENTRACION * static_cast<std::size_t>(std::max(NC, 1)))));
  std::vector<Trozo> trozos;
  for (int iy = 1; iy <= r.NUMANYOS; ++iy) {
    const std::size_t primero = trozos.size();
    for (std::size_t i = 0; i < secciones.size(); ++i) {
      const Seccion& sec = secciones[i];
      const long n = sec.hasta >= sec.desde ? sec.hasta - sec.desde + 1 : 0;
      const long grupos = std::max<long>(1, (n + por_trozo - 1) / por_trozo);
      for (long grupo = 0; grupo < grupos; ++grupo) {
        const long desde = sec.desde + grupo * por_trozo;
        trozos.push_back({iy, static_cast<int>(i), desde, std::min(sec.hasta, desde + por_trozo - 1),
                          trozos.size() == primero, grupo == 0, grupo == grupos - 1, false});
      }
    }
    if (trozos.size() == primero) trozos.push_back({iy, -1, 1, 0, true, false, false, false});
    trozos.back().fin = true;
  }
  return trozos;
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
  // A code of the general data cut to asterisks is the file's first such field.
  if (const long linea = datos_generales(f, c, tabla); linea != 0) [[unlikely]]
    anotar_campo_asteriscos(m.sim, {trimmed(NOMARCHIVO), linea, 1, "", ""});
  const std::vector<Seccion> secciones = secciones_anyo(r, s);
  const std::string ABREANYO = sentencia("<IANYC>");
  const std::string CIERRAANYO = sentencia("</IANYC>");
  const int NC = c.NUMCONTAMINANTES > 0 ? c.NUMCONTAMINANTES : 0;
  // The codes, edited once; a code cut to asterisks is told where a record
  // copies it.
  std::string codigos(3 * static_cast<std::size_t>(NC), ' ');
  std::vector<char> cortado(static_cast<std::size_t>(NC), 0);
  {
    AsteriskCount asteriscos;
    AsteriskWatch vigilancia(asteriscos);
    for (int k = 1; k <= NC; ++k) {
      const long antes = asteriscos.fields;
      put_I(codigos.data() + std::ptrdiff_t{3} * (k - 1), tabla.NUMCONTSALIDA(k), 3);
      cortado[static_cast<std::size_t>(k - 1)] = asteriscos.fields != antes ? 1 : 0;
    }
  }

  const std::vector<Trozo> trozos = trozos_archivo(r, secciones, NC);

  auto formato = [&](std::size_t i, ChunkBuffer& out) {
    const Trozo& t = trozos[i];
    if (t.cabecera) {
      out.append(ABREANYO);
      char* p = out.room(11);
      put_I(p, static_cast<long long>(r.ANYOINICIAL) + t.iy - 1, 4);
      p[4] = '-';
      put_I(p + 5, static_cast<long long>(r.ANYOINICIAL) + t.iy, 4);
      p[9] = '\r';
      p[10] = '\n';
      out.commit(p + 11);
    }
    if (t.seccion >= 0) {
      const Seccion& sec = secciones[static_cast<std::size_t>(t.seccion)];
      if (t.abre) out.append(sec.abre);
      const Array4<double>& valores = *sec.valores;
      for (long e = t.desde; e <= t.hasta; ++e)
        for (int k = 1; k <= NC; ++k) {
          char* p = out.room(LARGO_CONCENTRACION);
          std::memcpy(p, codigos.data() + std::ptrdiff_t{3} * (k - 1), 3);
          if (cortado[static_cast<std::size_t>(k - 1)]) [[unlikely]]
            asterisks_copied(p, 3);
          for (int mes = 1; mes <= 12; ++mes)
            put_F_fixed<15, 3>(p + 3 + std::ptrdiff_t{15} * (mes - 1), valores(e, k, mes, t.iy));
          p[LARGO_CONCENTRACION - 2] = '\r';
          p[LARGO_CONCENTRACION - 1] = '\n';
          out.commit(p + LARGO_CONCENTRACION);
        }
      if (t.cierra) out.append(sec.cierra);
    }
    if (t.fin) out.append(CIERRAANYO);
  };
  const long cabecera = f.lines();
  AsteriskPlace primero;
  write_chunks_in_order(trozos.size(), formato, f, &primero);
  if (primero.found) [[unlikely]] {
    // A concentration record: the code is field 1, the months fields 2 to
    // 13; the label of a year: its two years.
    const std::size_t o = primero.offset;
    const long columna = primero.record.size() == LARGO_CONCENTRACION - 2
                             ? (o < 3 ? 1 : 2 + static_cast<long>((o - 3) / 15))
                             : (o < 5 ? 1 : 2);
    anotar_campo_asteriscos(m.sim,
                            {trimmed(NOMARCHIVO), cabecera + static_cast<long>(primero.line) + 1, columna, "", ""});
  }
  f.write_free({"</TORNAL>"});
  f.close();
}

}  // namespace tornal
