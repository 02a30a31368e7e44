// The calibration files of one reach and one reservoir: the number of the
// calibrated element, then one record per month of the run (years outer,
// months 1..12 inner) with its measured flows, volumes and concentrations in
// the units of the allocation model's results and of the quality data file.
// The values are stored in calculation and internal units: flows times
// FACTORUNIDADES, volumes times FACTORVOLUMEN, concentrations divided by
// DESCAMBIOUNIDAD. Both readers count records from the start of the file (a
// record over several lines counts once) and report that count on a read
// error.
#include "simulation/calibration.h"

#include "common/counted_reader.h"
#include "common/free_reader.h"

namespace tornal {

namespace {

const char* const LINEA_ERROR = "Error en la linea numero:";

}  // namespace

// Reads the reach calibration file PATHARCHIVO23 when OPCIONCALIBCOND is 1
// (each month: the head flow, then NUMCONTAMINANTES concentrations) or 2
// (each month: the NUMCONTAMINANTES concentrations alone); any other value
// reads nothing. Writes NUMCONDUCCALIBRAR (0 when no file is read),
// CAUDALCALIBRA (mode 1 only) and CONCCALIBRAC. The file must exist; a
// missing file gives the access line and stops. A record that cannot be
// read, a reach number outside 1..NUMCONDUCCIONES or an end of file before
// the last month gives the read-error lines with the record number and stops.
void leer_calibracion_conduccion(Modelo& m, const std::string& PATHARCHIVO23, int OPCIONCALIBCOND) {
  Simulacion& s = m.sim;
  s.NUMCONDUCCALIBRAR = 0;
  if (OPCIONCALIBCOND != 1 && OPCIONCALIBCOND != 2) return;
  const bool con_caudal = OPCIONCALIBCOND == 1;
  const int NUMANYOS = m.red.NUMANYOS;
  const int NC = m.cal.NUMCONTAMINANTES;

  if (con_caudal)
    s.CAUDALCALIBRA.resize(12, NUMANYOS);
  else
    s.CAUDALCALIBRA.resize(0, 0);
  s.CONCCALIBRAC.resize(NC, 12, NUMANYOS);

  CountedReader f(m.log, "Error en la lectura del archivo de calibracion de conduccion", LINEA_ERROR);
  f.open(PATHARCHIVO23, "Error en el acceso al archivo de calibracion de conduccion");

  int NUMCONDUCCALIBRAR = 0;
  f.record([&](Statement& st) { st.integer(NUMCONDUCCALIBRAR); });
  // The node road compares every reach with this number: one that names no
  // reach is a fault of the file, not a silent run without calibration.
  if (NUMCONDUCCALIBRAR < 1 || NUMCONDUCCALIBRAR > m.red.NUMCONDUCCIONES) f.failure();
  s.NUMCONDUCCALIBRAR = NUMCONDUCCALIBRAR;

  for (int y = 1; y <= NUMANYOS; ++y) {
    for (int mes = 1; mes <= 12; ++mes) {
      f.record([&](Statement& st) {
        if (con_caudal) st.real(s.CAUDALCALIBRA(mes, y));
        for (int c = 1; c <= NC; ++c) st.real(s.CONCCALIBRAC(c, mes, y));
      });
      if (con_caudal) s.CAUDALCALIBRA(mes, y) *= m.cal.FACTORUNIDADES;
      for (int c = 1; c <= NC; ++c) s.CONCCALIBRAC(c, mes, y) /= s.DESCAMBIOUNIDAD(c);
    }
  }
  m.log.write({"Lectura de archivo de calibracion de conduccion realizada con éxito"});
}

// Reads the reservoir calibration file PATHARCHIVO22: each month the
// end-of-month volume, the release, evaporation, seepage and spill, then
// NUMCONTAMINANTES concentrations. Writes NUMEMBCALIBRAR, CONCCALIBRAE and,
// for the calibrated reservoir only, VOLFINEMB, SUELTASEMB, EVAPEMB, FILTREMB
// and VERTEMB of every month (already in calculation units by then, so the
// values read are converted here). The failures are those of the reach file,
// with the reservoir number limited to 1..NUMEMBALSES.
void leer_calibracion_embalse(Modelo& m, const std::string& PATHARCHIVO22) {
  Simulacion& s = m.sim;
  Red& r = m.red;
  s.NUMEMBCALIBRAR = 0;
  s.SUELTASCALIB = s.EVAPCALIB = s.FILTRCALIB = s.VERTCALIB = 0.0;
  const int NUMANYOS = r.NUMANYOS;
  const int NC = m.cal.NUMCONTAMINANTES;
  s.CONCCALIBRAE.resize(NC, 12, NUMANYOS);

  CountedReader f(m.log, "Error en la lectura del archivo de calibracion de embalse", LINEA_ERROR);
  f.open(PATHARCHIVO22, "Error en el acceso al archivo de calibracion de embalse");

  int NUMEMBCALIBRAR = 0;
  f.record([&](Statement& st) { st.integer(NUMEMBCALIBRAR); });
  if (NUMEMBCALIBRAR < 1 || NUMEMBCALIBRAR > r.NUMEMBALSES) f.failure();
  s.NUMEMBCALIBRAR = NUMEMBCALIBRAR;
  const int k = NUMEMBCALIBRAR;

  // Values left out of a record (null items, a slash) keep those of the
  // record before.
  double V = 0.0;
  for (int y = 1; y <= NUMANYOS; ++y) {
    for (int mes = 1; mes <= 12; ++mes) {
      f.record([&](Statement& st) {
        st.real(V).real(s.SUELTASCALIB).real(s.EVAPCALIB).real(s.FILTRCALIB).real(s.VERTCALIB);
        for (int c = 1; c <= NC; ++c) st.real(s.CONCCALIBRAE(c, mes, y));
      });
      r.VOLFINEMB(k, mes, y) = V * m.cal.FACTORVOLUMEN;
      r.SUELTASEMB(k, mes, y) = s.SUELTASCALIB * m.cal.FACTORUNIDADES;
      r.EVAPEMB(k, mes, y) = s.EVAPCALIB * m.cal.FACTORUNIDADES;
      r.FILTREMB(k, mes, y) = s.FILTRCALIB * m.cal.FACTORUNIDADES;
      r.VERTEMB(k, mes, y) = s.VERTCALIB * m.cal.FACTORUNIDADES;
      for (int c = 1; c <= NC; ++c) s.CONCCALIBRAE(c, mes, y) /= s.DESCAMBIOUNIDAD(c);
    }
  }
  m.log.write({"Lectura de archivo de calibracion de embalse realizada con éxito"});
}

}  // namespace tornal
