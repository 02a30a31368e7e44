// The monthly results file of the allocation model KELMAR: one row per month
// of the simulation (October of the first year first), one column per element
// and quantity. The file is read row by row into the monthly series of the
// network data model, in the full layout or, for data prepared for the
// optimisation model, in the reduced one; the flows of the five reach types
// are then gathered into QCONDUCC in global reach order.
#include "network/results_file.h"

#include <algorithm>
#include <vector>

#include "common/counted_reader.h"
#include "common/failures.h"
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

}  // namespace

// Reads PATHARCHIVO2 (record 4 of the run configuration) into the 29 monthly
// series of m.red, sized (element, 12, NUMANYOS) whatever the layout; the
// series of the blocks that the reduced layout lacks stay at zero. Writes the
// success line to the run log, or stops with "error" after the access or read
// failure lines. A file that ends before its 12 x NUMANYOS rows, or inside a
// row, is reported like a read error of that row.
void LEERARCHRESSUB(Modelo& m, const std::string& PATHARCHIVO2) {
  Red& r = m.red;
  const bool REDUCIDO = r.INDMODELOOPTIM;

  const long NAP = cuenta(r.NUMAPORTACIONES);
  const long NE = cuenta(r.NUMEMBALSES);
  const long T1 = cuenta(r.NUMCONDUCCIONEST1);
  const long T2 = cuenta(r.NUMCONDUCCIONEST2);
  const long T3 = cuenta(r.NUMCONDUCCIONEST3);
  const long T4 = cuenta(r.NUMCONDUCCIONEST4);
  const long T5 = cuenta(r.NUMCONDUCCIONEST5);
  const long ND = cuenta(r.NUMDEMANDAS);
  const long NR = cuenta(r.NUMRETORNOS);
  const long NC = cuenta(r.NUMCENTRALES);
  const long NB = cuenta(r.NUMBOMBEOS);
  const long NREC = cuenta(r.NUMRECARGAS);
  const long NACU = cuenta(r.NUMACUIFEROS);
  const long NPCT = cuenta(r.NUMPARCTROLTOTAL);
  // Demand supplies and deficits, and the intake flows: in the full layout
  // one value per demand and intake of the run (the same as those of the
  // file), in the reduced one per demand and intake of the file.
  const long NDBLOQUE = REDUCIDO ? cuenta(r.NUMDEMANDASFIS) : ND;
  const long NTBLOQUE = REDUCIDO ? cuenta(r.NUMTOMASFIS) : cuenta(r.NUMTOMAS);
  // Every reach of the five types has its place in QCONDUCC.
  const long NCOND = std::max(cuenta(r.NUMCONDUCCIONES), T1 + T2 + T3 + T4 + T5);
  const long NANYOS = cuenta(r.NUMANYOS);

  // The blocks of a row after its first three values, in the layout's order.
  std::vector<Bloque> bloques;
  if (REDUCIDO) {
    bloques = {{&r.QAPO, NAP},           {&r.VOLFINEMB, NE},      {&r.EVAPEMB, NE},      {&r.QT1, T1},
               {&r.QFT2, T2},            {&r.QFT3, T3},           {&r.QT4, T4},          {&r.QT5, T5},
               {&r.SUMTOMAS, NTBLOQUE},  {&r.SUMSUPDEM, NDBLOQUE}, {&r.DEFDEM, NDBLOQUE}, {&r.QRETREAL, NR}};
  } else {
    bloques = {{&r.QAPO, NAP},
               {&r.APINTEREMB, NE},
               {&r.APPREVEMB, NE},
               {&r.VOLFINEMB, NE},
               {&r.COTFINEMB, NE},
               {&r.SUELTASEMB, NE},
               {&r.VERTEMB, NE},
               {&r.EVAPEMB, NE},
               {&r.FILTREMB, NE},
               {&r.QT1, T1},
               {&r.QFT2, T2},
               {&r.PERDT2, T2},
               {&r.QFT3, T3},
               {&r.PERDT3, T3},
               {&r.QT4, T4},
               {&r.QMAXT4, T4},
               {&r.QT5, T5},
               {&r.DOTRES, ND},
               {&r.SUMSUPDEM, NDBLOQUE},
               {&r.SUMSUBTDEM, ND},
               {&r.DEFDEM, NDBLOQUE},
               {&r.SUMTOMAS, NTBLOQUE},
               {&r.QRETREAL, NR},
               {&r.QOBJRESCEN, NC},
               {&r.QTURRESCEN, NC},
               {&r.HTURBCEN, NC},
               {&r.QBOMB, NB},
               {&r.QREC, NREC},
               // The row ends with values the water-quality run has no use for.
               {nullptr, NC + 2 * NACU + NPCT}};
  }
  long NCOL = 3;
  for (const Bloque& b : bloques) NCOL += b.valores;
  // The values kept: those up to the last block that fills a series. The
  // values after them are read and dropped, never held, however many the
  // counts announce.
  long NGUARDADAS = 3;
  {
    long s = 3;
    for (const Bloque& b : bloques) {
      s += b.valores;
      if (b.serie != nullptr) NGUARDADAS = s;
    }
  }

  CountedReader f(m.log, "Error en la lectura del archivo de resultados de Kelmar", "Error en la linea numero:");
  if (!f.open(PATHARCHIVO2))
    access_failure(m.log, "Error en el acceso al archivo de de resultados de Kelmar");
  std::vector<double> FILA(static_cast<std::size_t>(NGUARDADAS) + 1, 0.0);
  auto leer_fila = [&] {
    f.record([&](Statement& st) {
      for (long c = 1; c <= NGUARDADAS; ++c) st.real(FILA[static_cast<std::size_t>(c)]);
      double resto = 0.0;
      for (long c = NGUARDADAS + 1; c <= NCOL && st.more(); ++c) st.real(resto);
    });
  };

  // Every row begins on a line of its own: a file with fewer lines than the
  // 12 x NUMANYOS rows is read up to the row it lacks, which is reported,
  // before the series are sized by a count the file cannot fill.
  if (12LL * NANYOS > static_cast<long long>(f.reader().line_count())) {
    for (;;) leer_fila();
  }

  r.QAPO.resize(NAP, 12, NANYOS);
  r.APINTEREMB.resize(NE, 12, NANYOS);
  r.APPREVEMB.resize(NE, 12, NANYOS);
  r.VOLFINEMB.resize(NE, 12, NANYOS);
  r.COTFINEMB.resize(NE, 12, NANYOS);
  r.SUELTASEMB.resize(NE, 12, NANYOS);
  r.VERTEMB.resize(NE, 12, NANYOS);
  r.EVAPEMB.resize(NE, 12, NANYOS);
  r.FILTREMB.resize(NE, 12, NANYOS);
  r.QT1.resize(T1, 12, NANYOS);
  r.QFT2.resize(T2, 12, NANYOS);
  r.PERDT2.resize(T2, 12, NANYOS);
  r.QFT3.resize(T3, 12, NANYOS);
  r.PERDT3.resize(T3, 12, NANYOS);
  r.QT4.resize(T4, 12, NANYOS);
  r.QMAXT4.resize(T4, 12, NANYOS);
  r.QT5.resize(T5, 12, NANYOS);
  r.DOTRES.resize(ND, 12, NANYOS);
  r.SUMSUPDEM.resize(NDBLOQUE, 12, NANYOS);
  r.SUMSUBTDEM.resize(ND, 12, NANYOS);
  r.DEFDEM.resize(NDBLOQUE, 12, NANYOS);
  r.SUMTOMAS.resize(NTBLOQUE, 12, NANYOS);
  r.QRETREAL.resize(NR, 12, NANYOS);
  r.QOBJRESCEN.resize(NC, 12, NANYOS);
  r.QTURRESCEN.resize(NC, 12, NANYOS);
  r.HTURBCEN.resize(NC, 12, NANYOS);
  r.QBOMB.resize(NB, 12, NANYOS);
  r.QREC.resize(NREC, 12, NANYOS);
  r.QCONDUCC.resize(NCOND, 12, NANYOS);

  // One row at a time: read with one statement, then distributed. The row is
  // cleared first, so that the values a slash or a null item leaves unread
  // are zero and never those of the row before.
  for (long y = 1; y <= NANYOS; ++y) {
    for (int mes = 1; mes <= 12; ++mes) {
      // The counter is the row, 12 x (year - 1) + month.
      std::fill(FILA.begin(), FILA.end(), 0.0);
      leer_fila();

      long s = 3;
      for (const Bloque& b : bloques) {
        if (b.serie != nullptr)
          for (long i = 1; i <= b.valores; ++i) (*b.serie)(i, mes, y) = FILA[static_cast<std::size_t>(s + i)];
        s += b.valores;
      }
    }
  }

  // The reach flows in global reach order: type 1, then types 2 to 5.
  const Array3<double>* flujos[5] = {&r.QT1, &r.QFT2, &r.QFT3, &r.QT4, &r.QT5};
  for (long y = 1; y <= NANYOS; ++y) {
    for (int mes = 1; mes <= 12; ++mes) {
      long k = 0;
      for (const Array3<double>* q : flujos)
        for (long i = 1; i <= q->size(1); ++i) r.QCONDUCC(++k, mes, y) = (*q)(i, mes, y);
    }
  }

  m.log.write({"Lectura de archivo de resultados de Kelmar realizada con exito"});
}

}  // namespace tornal
