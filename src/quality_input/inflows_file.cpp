// The quality of inflows file: four heading records, then one block per
// constituent (two headings, one record per month of the run holding the
// year, the month and the concentration of every inflow, one closing record)
// into COAPO, in the units in which the file writes them.
#include "quality_input/inflows_file.h"

#include <algorithm>

#include "common/counted_reader.h"
#include "common/free_reader.h"
#include "common/latin1.h"

namespace tornal {

// Reads PATHARCHIVO4 (record 7 of the run configuration) into COAPO, sized
// (NUMAPORTACIONES, NUMCONTAMINANTES, 12, NUMANYOS) after the four headings.
// The records are taken in file order: the year and month that open a data
// record are read as integers and not compared with its place. NUMLINEA
// counts the read statements from the start of the file; a record that cannot
// be read, or an end of file before the last closing record, gives the read
// error lines with it. A file with fewer lines than the blocks of every
// constituent need (a last closing line lost by an editor, a block missing)
// ends before its last record: it is read through a row of scratch up to its
// end, where its read error is reported, and COAPO is never sized for blocks
// that the file does not hold. Writes the success line to the run log.
void leer_aportaciones_calidad(Modelo& m, const std::string& PATHARCHIVO4) {
  CountedReader f(m.log, "Error en la lectura del archivo de Aportaciones de calidad", "Error en la linea numero:");
  f.open(PATHARCHIVO4, "Error en el acceso al archivo de aportaciones de calidad");

  f.heading(4);

  const int NAP = std::max(0, m.red.NUMAPORTACIONES);
  const int NC = std::max(0, m.cal.NUMCONTAMINANTES);
  const int NA = std::max(0, m.red.NUMANYOS);
  // NC blocks of 3 + 12 NA records, each record on a line of its own at least.
  const long long lineas = static_cast<long long>(f.reader().lines_left());
  const bool cabe = NC == 0 || 3 + 12LL * NA <= lineas / NC;
  Array4<double>& COAPO = m.cal.COAPO;
  Array1<double> fila("COAPO");
  if (cabe)
    COAPO.resize(NAP, NC, 12, NA);
  else
    fila.resize(NAP);

  for (int k = 1; k <= NC; ++k) {
    f.heading(2);
    for (int y = 1; y <= NA; ++y) {
      for (int mes = 1; mes <= 12; ++mes) {
        f.record([&](Statement& st) {
          int ANYO = 0;
          int MES = 0;
          st.integer(ANYO).integer(MES);
          for (int i = 1; i <= NAP; ++i) st.real(cabe ? COAPO(i, k, mes, y) : fila(i));
        });
      }
    }
    f.heading();
  }
  // A file too short for its blocks has ended in the loop above.
  if (!cabe) f.failure();

  m.log.write({"Lectura de archivo de aportaciones de calidad realizada con éxito"});
}

}  // namespace tornal
