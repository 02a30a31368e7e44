// The monthly results file of the allocation model KELMAR: one row per month
// of the simulation (October of the first year first), one column per element
// and quantity. The file is read row by row into the monthly series of the
// network data model, in the full layout or, for data prepared for the
// optimisation model, in the reduced one; the flows of the five reach types
// are then gathered into QCONDUCC in global reach order.
#include "network/results_file.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "common/counted_reader.h"
#include "common/free_reader.h"
#include "common/latin1.h"

namespace tornal {

namespace {

// A count as a number of columns and elements: a negative count takes none.
long cuenta(int n) { return n < 0 ? 0 : n; }

// One block of a row: the series it fills (none for values read and not
// used) and its number of values.
struct Bloque {
  Array3<double>* serie;
  long valores;
};

// The counts of the network data model that size the blocks of a row and the
// monthly series, negative counts taken as none.
struct Tamanos {
  long NAP, NE, T1, T2, T3, T4, T5, ND, NR, NC, NB, NREC, NACU, NPCT;
  long NDBLOQUE, NTBLOQUE;  // demands and intakes of the supply, deficit and intake blocks
  long NCOND;               // reaches in QCONDUCC
  long NANYOS;
};

Tamanos tamanos(const Red& r) {
  Tamanos t{};
  t.NAP = cuenta(r.NUMAPORTACIONES);
  t.NE = cuenta(r.NUMEMBALSES);
  t.T1 = cuenta(r.NUMCONDUCCIONEST1);
  t.T2 = cuenta(r.NUMCONDUCCIONEST2);
  t.T3 = cuenta(r.NUMCONDUCCIONEST3);
  t.T4 = cuenta(r.NUMCONDUCCIONEST4);
  t.T5 = cuenta(r.NUMCONDUCCIONEST5);
  t.ND = cuenta(r.NUMDEMANDAS);
  t.NR = cuenta(r.NUMRETORNOS);
  t.NC = cuenta(r.NUMCENTRALES);
  t.NB = cuenta(r.NUMBOMBEOS);
  t.NREC = cuenta(r.NUMRECARGAS);
  t.NACU = cuenta(r.NUMACUIFEROS);
  t.NPCT = cuenta(r.NUMPARCTROLTOTAL);
  // Demand supplies and deficits, and the intake flows: in the full layout
  // one value per demand and intake of the run (the same as those of the
  // file), in the reduced one per demand and intake of the file.
  t.NDBLOQUE = r.INDMODELOOPTIM ? cuenta(r.NUMDEMANDASFIS) : t.ND;
  t.NTBLOQUE = r.INDMODELOOPTIM ? cuenta(r.NUMTOMASFIS) : cuenta(r.NUMTOMAS);
  // Every reach of the five types has its place in QCONDUCC.
  t.NCOND = std::max(cuenta(r.NUMCONDUCCIONES), t.T1 + t.T2 + t.T3 + t.T4 + t.T5);
  t.NANYOS = cuenta(r.NUMANYOS);
  return t;
}

// The blocks of a row after its first three values, in the order of the
// reduced layout (data prepared for the optimisation model) or of the full one.
std::vector<Bloque> bloques_fila(Red& r, const Tamanos& t) {
  if (r.INDMODELOOPTIM)
    return {{&r.QAPO, t.NAP},
            {&r.VOLFINEMB, t.NE},
            {&r.EVAPEMB, t.NE},
            {&r.QT1, t.T1},
            {&r.QFT2, t.T2},
            {&r.QFT3, t.T3},
            {&r.QT4, t.T4},
            {&r.QT5, t.T5},
            {&r.SUMTOMAS, t.NTBLOQUE},
            {&r.SUMSUPDEM, t.NDBLOQUE},
            {&r.DEFDEM, t.NDBLOQUE},
            {&r.QRETREAL, t.NR}};
  return {{&r.QAPO, t.NAP},
          {&r.APINTEREMB, t.NE},
          {&r.APPREVEMB, t.NE},
          {&r.VOLFINEMB, t.NE},
          {&r.COTFINEMB, t.NE},
          {&r.SUELTASEMB, t.NE},
          {&r.VERTEMB, t.NE},
          {&r.EVAPEMB, t.NE},
          {&r.FILTREMB, t.NE},
          {&r.QT1, t.T1},
          {&r.QFT2, t.T2},
          {&r.PERDT2, t.T2},
          {&r.QFT3, t.T3},
          {&r.PERDT3, t.T3},
          {&r.QT4, t.T4},
          {&r.QMAXT4, t.T4},
          {&r.QT5, t.T5},
          {&r.DOTRES, t.ND},
          {&r.SUMSUPDEM, t.NDBLOQUE},
          {&r.SUMSUBTDEM, t.ND},
          {&r.DEFDEM, t.NDBLOQUE},
          {&r.SUMTOMAS, t.NTBLOQUE},
          {&r.QRETREAL, t.NR},
          {&r.QOBJRESCEN, t.NC},
          {&r.QTURRESCEN, t.NC},
          {&r.HTURBCEN, t.NC},
          {&r.QBOMB, t.NB},
          {&r.QREC, t.NREC},
          // The row ends with values the water-quality run has no use for.
          {nullptr, t.NC + 2 * t.NACU + t.NPCT}};
}

// A row of the file: its columns, the values kept of them and the buffer they
// are read into (FILA(c) the value of column c).
struct Fila {
  long NCOL = 3;
  long NGUARDADAS = 3;
  std::vector<double> FILA;
};

// The columns of a row, the three first values and every block. The values
// kept: those up to the last block that fills a series. The values after
// them are read and dropped, never held, however many the counts announce.
Fila medir_fila(const std::vector<Bloque>& bloques) {
  Fila fila;
  for (const Bloque& b : bloques) {
    fila.NCOL += b.valores;
    if (b.serie != nullptr) fila.NGUARDADAS = fila.NCOL;
  }
  return fila;
}

// The lines of the file, counted from 1, on which a row begins (its first
// value) and ends (its last value, or the slash that ends it).
struct LineasFila {
  std::size_t primera = 0;
  std::size_t ultima = 0;
};

// Reads one row with one statement: the values kept into FILA, the rest, up to
// the end of the row or a slash, read and dropped. Counts the row; returns the
// lines it stands on.
LineasFila leer_fila(CountedReader& f, Fila& fila) {
  LineasFila lineas;
  f.record([&](Statement& st) {
    for (long c = 1; c <= fila.NGUARDADAS; ++c) {
      st.real(fila.FILA[static_cast<std::size_t>(c)]);
      if (c == 1) lineas.primera = st.line() + 1;
    }
    double resto = 0.0;
    for (long c = fila.NGUARDADAS + 1; c <= fila.NCOL && st.more(); ++c) st.real(resto);
    lineas.ultima = st.line() + 1;
  });
  return lineas;
}

// A row that ends on a later line than it began, in a file whose first row
// stands on one line: a row short of values that took the rest from the
// next line, so that every later row is read one line down. Only the first
// such row is named: it is the one that shifts the others, and a file wrapped
// at a width that only some of its rows reach would otherwise fill the log.
// A file whose first row already goes over several lines is wrapped
// throughout and draws no note.
struct FilasPartidas {
  bool una_linea = false;  // the first row stands on one line
  bool avisada = false;    // a row has been named

  void fila_leida(Modelo& m, const std::string& PATHARCHIVO2, long numero, const LineasFila& lineas) {
    const bool partida = lineas.ultima > lineas.primera;
    if (numero == 1) una_linea = !partida;
    if (!partida || !una_linea || avisada) return;
    avisada = true;
    m.log.write({"Fila del archivo de resultados de Kelmar que sigue en una línea posterior"});
    m.log.write({"Archivo: ", trimmed(PATHARCHIVO2)});
    m.log.write({"Fila:", numero});
    m.log.write({"Línea:", static_cast<long long>(lineas.primera)});
  }
};

// Every row begins on a line of its own: a file with fewer lines than the
// 12 x NUMANYOS rows is read up to the row it lacks, which is reported,
// before the series are sized by a count the file cannot fill.
void comprobar_lineas(CountedReader& f, Fila& fila, long NANYOS) {
  if (12LL * NANYOS > static_cast<long long>(f.reader().line_count())) {
    for (;;) leer_fila(f, fila);
  }
}

// The reading of the file: its counter is the row being read.
CountedReader lector_resultados(Modelo& m) {
  return CountedReader(m.log, "Error en la lectura del archivo de resultados de Kelmar", "Error en la linea numero:");
}

// Sizes the 29 monthly series (element, 12, NUMANYOS) whatever the layout,
// every value at zero.
void dimensionar_series(Red& r, const Tamanos& t) {
  const long NANYOS = t.NANYOS;
  r.QAPO.resize(t.NAP, 12, NANYOS);
  r.APINTEREMB.resize(t.NE, 12, NANYOS);
  r.APPREVEMB.resize(t.NE, 12, NANYOS);
  r.VOLFINEMB.resize(t.NE, 12, NANYOS);
  r.COTFINEMB.resize(t.NE, 12, NANYOS);
  r.SUELTASEMB.resize(t.NE, 12, NANYOS);
  r.VERTEMB.resize(t.NE, 12, NANYOS);
  r.EVAPEMB.resize(t.NE, 12, NANYOS);
  r.FILTREMB.resize(t.NE, 12, NANYOS);
  r.QT1.resize(t.T1, 12, NANYOS);
  r.QFT2.resize(t.T2, 12, NANYOS);
  r.PERDT2.resize(t.T2, 12, NANYOS);
  r.QFT3.resize(t.T3, 12, NANYOS);
  r.PERDT3.resize(t.T3, 12, NANYOS);
  r.QT4.resize(t.T4, 12, NANYOS);
  r.QMAXT4.resize(t.T4, 12, NANYOS);
  r.QT5.resize(t.T5, 12, NANYOS);
  r.DOTRES.resize(t.ND, 12, NANYOS);
  r.SUMSUPDEM.resize(t.NDBLOQUE, 12, NANYOS);
  r.SUMSUBTDEM.resize(t.ND, 12, NANYOS);
  r.DEFDEM.resize(t.NDBLOQUE, 12, NANYOS);
  r.SUMTOMAS.resize(t.NTBLOQUE, 12, NANYOS);
  r.QRETREAL.resize(t.NR, 12, NANYOS);
  r.QOBJRESCEN.resize(t.NC, 12, NANYOS);
  r.QTURRESCEN.resize(t.NC, 12, NANYOS);
  r.HTURBCEN.resize(t.NC, 12, NANYOS);
  r.QBOMB.resize(t.NB, 12, NANYOS);
  r.QREC.resize(t.NREC, 12, NANYOS);
  r.QCONDUCC.resize(t.NCOND, 12, NANYOS);
}

// The 12 x NUMANYOS rows, October of the first year first: each read with
// one statement, then distributed block by block into its series. The row is
// cleared first, so that the values a slash or a null item leaves unread are
// zero and never those of the row before. The first row that runs onto a later
// line is named in the run log as it is read (FilasPartidas), before a read
// error that the shift may bring at the last row.
void leer_filas(Modelo& m, const std::string& PATHARCHIVO2, CountedReader& f, Fila& fila,
                const std::vector<Bloque>& bloques, long NANYOS) {
  FilasPartidas partidas;
  for (long y = 1; y <= NANYOS; ++y) {
    for (int mes = 1; mes <= 12; ++mes) {
      // The counter is the row, 12 x (year - 1) + month.
      std::fill(fila.FILA.begin(), fila.FILA.end(), 0.0);
      const LineasFila lineas = leer_fila(f, fila);
      partidas.fila_leida(m, PATHARCHIVO2, 12 * (y - 1) + mes, lineas);

      long s = 3;
      for (const Bloque& b : bloques) {
        if (b.serie != nullptr)
          for (long i = 1; i <= b.valores; ++i) (*b.serie)(i, mes, y) = fila.FILA[static_cast<std::size_t>(s + i)];
        s += b.valores;
      }
    }
  }
}

// The reach flows in global reach order into QCONDUCC: type 1, then types 2
// to 5.
void reunir_qconducc(Red& r, long NANYOS) {
  const Array3<double>* flujos[5] = {&r.QT1, &r.QFT2, &r.QFT3, &r.QT4, &r.QT5};
  for (long y = 1; y <= NANYOS; ++y) {
    for (int mes = 1; mes <= 12; ++mes) {
      long k = 0;
      for (const Array3<double>* q : flujos)
        for (long i = 1; i <= q->size(1); ++i) r.QCONDUCC(++k, mes, y) = (*q)(i, mes, y);
    }
  }
}

}  // namespace

// Reads PATHARCHIVO2 (record 4 of the run configuration) into the 29 monthly
// series of m.red, sized (element, 12, NUMANYOS) whatever the layout; the
// series of the blocks that the reduced layout lacks stay at zero. Writes the
// success line to the run log, or stops with "error" after the access or read
// failure lines. A file that ends before its 12 x NUMANYOS rows, or inside a
// row, is reported like a read error of that row. The first row that ends on a
// later line than it began, where the first row stands on one line, is named
// in the run log (file, row, line); the values read are the same.
void LEERARCHRESSUB(Modelo& m, const std::string& PATHARCHIVO2) {
  Red& r = m.red;
  const Tamanos t = tamanos(r);
  const std::vector<Bloque> bloques = bloques_fila(r, t);
  Fila fila = medir_fila(bloques);

  CountedReader f = lector_resultados(m);
  f.open(PATHARCHIVO2, "Error en el acceso al archivo de de resultados de Kelmar");
  fila.FILA.assign(static_cast<std::size_t>(fila.NGUARDADAS) + 1, 0.0);

  comprobar_lineas(f, fila, t.NANYOS);
  dimensionar_series(r, t);
  leer_filas(m, PATHARCHIVO2, f, fila, bloques, t.NANYOS);
  reunir_qconducc(r, t.NANYOS);

  m.log.write({"Lectura de archivo de resultados de Kelmar realizada con exito"});
}

void comprobar_filas_resultados(Modelo& m, const std::string& PATHARCHIVO2) {
  const Tamanos t = tamanos(m.red);
  // The lines are counted as the file is read, never held; a file that
  // cannot be opened has its access error when LEERARCHRESSUB opens it.
  const std::optional<long long> lineas = file_line_count(trimmed(PATHARCHIVO2));
  if (!lineas || 12LL * t.NANYOS <= *lineas) return;
  Fila fila = medir_fila(bloques_fila(m.red, t));
  CountedReader f = lector_resultados(m);
  if (!f.open(PATHARCHIVO2)) return;
  fila.FILA.assign(static_cast<std::size_t>(fila.NGUARDADAS) + 1, 0.0);
  comprobar_lineas(f, fila, t.NANYOS);
}

}  // namespace tornal
