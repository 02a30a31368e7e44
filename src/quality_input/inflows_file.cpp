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
// error lines with it. Writes the success line to the run log.
void leer_aportaciones_calidad(Modelo& m, const std::string& PATHARCHIVO4) {
  CountedReader f(m.log, "Error en la lectura del archivo de Aportaciones de calidad", "Error en la linea numero:");
  f.open(PATHARCHIVO4, "Error en el acceso al archivo de aportaciones de calidad");

  f.heading(4);

  const int NAP = std::max(0, m.red.NUMAPORTACIONES);
  const int NC = std::max(0, m.cal.NUMCONTAMINANTES);
  const int NA = std::max(0, m.red.NUMANYOS);
  Array4<double>& COAPO = m.cal.COAPO;
  COAPO.resize(NAP, NC, 12, NA);

  for (int k = 1; k <= NC; ++k) {
    f.heading(2);
    for (int y = 1; y <= NA; ++y) {
      for (int mes = 1; mes <= 12; ++mes) {
        f.record([&](Statement& st) {
          int ANYO = 0;
          int MES = 0;
          st.integer(ANYO).integer(MES);
          for (int i = 1; i <= NAP; ++i) st.real(COAPO(i, k, mes, y));
        });
      }
    }
    f.heading();
  }

  m.log.write({"Lectura de archivo de aportaciones de calidad realizada con éxito"});
}

}  // namespace tornal
