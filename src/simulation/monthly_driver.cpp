// The monthly calculation driver: the set-up of the run (result arrays,
// conversion to calculation units, partial result files, calibration files,
// monthly input series, advanced options, presets), the months of the run
// and the end of the run (conversion back to output units and the warnings
// of numerical trouble).
#include "simulation/monthly_driver.h"

#include <initializer_list>
#include <string>

#include "common/failures.h"
#include "common/latin1.h"
#include "quality_input/coefficients_file.h"
#include "quality_input/time_curves.h"
#include "simulation/advanced_options.h"
#include "simulation/calibration.h"
#include "simulation/node_road.h"
#include "simulation/unit_conversion.h"

namespace tornal {
namespace {

const char* const ERRORCONDPAR = "Error en el acceso al archivo de resultados parciales de conduccion";
const char* const ERROREMBPAR = "Error en el acceso al archivo de resultados parciales de embalses";

// Sizes every result array of the run and the work arrays of the node road
// (its sums and the inflows it hands to the models), each filled once with
// its start value: 0, but the "not computed" mark -999
// of the reach outlets (CONDUCCCS) and -9999 of the treated intakes
// (TOMASCS).
void dimensionar_resultados(Modelo& m, TrabajoNudos& w) {
  const Red& r = m.red;
  const int NC = m.cal.NUMCONTAMINANTES;
  const int NA = r.NUMANYOS;
  Simulacion& s = m.sim;
  s.NUDOSCE.resize(r.NUMNUDOS, NC, 12, NA);
  s.NUDOSCS.resize(r.NUMNUDOS, NC, 12, NA);
  s.CONDUCCCE.resize(r.NUMCONDUCCIONES, NC, 12, NA);
  s.CONDUCCCS.resize_filled(-999.0, r.NUMCONDUCCIONES, NC, 12, NA);
  s.CENTRCE.resize(r.NUMCENTRALES, NC, 12, NA);
  s.CENTRCS.resize(r.NUMCENTRALES, NC, 12, NA);
  s.TOMASCE.resize(r.NUMTOMAS, NC, 12, NA);
  s.TOMASCS.resize_filled(-9999.0, r.NUMTOMAS, NC, 12, NA);
  s.ELERETCE.resize(r.NUMRETORNOS, NC, 12, NA);
  s.ELERETCS.resize(r.NUMRETORNOS, NC, 12, NA);
  s.V1F.resize(r.NUMEMBALSES, 12, NA);
  s.V2F.resize(r.NUMEMBALSES, 12, NA);
  s.EMB1CF.resize(r.NUMEMBALSES, NC, 12, NA);
  s.EMB2CF.resize(r.NUMEMBALSES, NC, 12, NA);
  w.dimensionar(NC);
  s.DESCAMBIOUNIDAD.resize(NC);
  s.ERROREMB.resize(r.NUMEMBALSES);
  s.NUMMESESFINOSEMB.resize(r.NUMEMBALSES);
  s.MAXSUBPASOSFINOSEMB.resize(r.NUMEMBALSES);
  s.MESESMEZCLAEMB.resize(r.NUMEMBALSES);
  s.ERRORCOND.resize(r.NUMCONDUCCIONES);
  s.MESESCALORLINEAL.resize(r.NUMCONDUCCIONES);
  s.MESESCALOREQUILIBRIO.resize(r.NUMCONDUCCIONES);
  s.MESESMEZCLACOND.resize(r.NUMCONDUCCIONES);
  s.MESESSINESTACIONARIOCOND.resize(r.NUMCONDUCCIONES);
  s.MESESSINESTACIONARIOSEG.resize(r.NUMCONDUCCIONES);
}

// Opens one partial result file; a failure writes its line and stops.
void abrir(Modelo& m, OutputFile& archivo, const std::string& ruta, const char* mensaje) {
  if (!archivo.open(ruta)) access_failure(m.log, mensaje);
}

// Closes one partial result file; rows that could not be completed are
// reported like a failed open, never lost.
void cerrar(Modelo& m, OutputFile& archivo, const char* mensaje) {
  if (!archivo.close()) access_failure(m.log, mensaje);
}

}  // namespace

// Runs the whole monthly simulation. Reads the network, its monthly series,
// the calculation order and the quality data; writes every result array of
// the run, the partial result files of reaches and reservoirs (through the
// models), the console lines and the run log. The paths are used without
// their trailing blanks; VALORREGISTRO22 is accepted and used by nothing.
void CALCULOSUB(Modelo& m, const std::string& NOMARCHCONDPAR1, const std::string& NOMARCHEMBPAR1,
                const std::string& PATHARCHIVO23, int OPCIONCALIBCOND, const std::string& PATHARCHIVO22,
                int OPCIONCALIBEMB, int VALORREGISTRO22) {
  (void)VALORREGISTRO22;
  Simulacion& s = m.sim;
  TrabajoNudos w;
  const OpcionesCalibracion op{OPCIONCALIBCOND, OPCIONCALIBEMB};

  // Result arrays at their start values (nothing computed yet; nothing
  // before the months writes them); flags of the headings, of trouble and of
  // the sections of the advanced-options file cleared.
  dimensionar_resultados(m, w);
  s.CABECERAEMBPAR = false;
  s.CABECERACONDPAR = false;
  s.CABECERABALANCES = false;
  s.campos_asteriscos.clear();
  s.HAYCURVASLARGAS = false;
  s.HAYCONTDIFTEMP = false;
  s.HAYCTESTEMP = false;
  s.HAYSEDEMBTEMP = false;

  // Every input series and concentration into calculation units.
  CAMBIOUNIDADESSUB(m);

  abrir(m, s.archivo_cond_par, trimmed(NOMARCHCONDPAR1), ERRORCONDPAR);
  abrir(m, s.archivo_emb_par, trimmed(NOMARCHEMBPAR1), ERROREMBPAR);
  if (m.cal.OPCIONBALANCES == 1) abrir(m, s.archivo_balances, m.ruta("balances.csv"), ERROREMBPAR);

  // Factors back to output units: 1, then those of the converted
  // constituents.
  s.DESCAMBIOUNIDAD.fill(1.0);
  factores_descambio(m);

  // Calibration of one reach (mode 1 or 2), then of one reservoir.
  if (OPCIONCALIBCOND == 1 || OPCIONCALIBCOND == 2) leer_calibracion_conduccion(m, PATHARCHIVO23, OPCIONCALIBCOND);
  if (OPCIONCALIBEMB == 1) leer_calibracion_embalse(m, PATHARCHIVO22);

  // Monthly input series from the 12-value curves, then the advanced
  // options (which rebuild them from long curves when it has them); a
  // section that the coefficients file left out and that its time-varying
  // constants need stops the run; the shares of the layer flows in force
  // must lie within 0 and 1.
  CURVASTEMPSUB(m);
  LEERARCHAVZSUB(m);
  comprobar_secciones_coeficientes(m);
  comprobar_proporciones_capas(m);

  for (const std::string* titulo : {&m.cal.TITULO1, &m.cal.TITULO2}) {
    std::string linea(1, ' ');
    linea += utf8(*titulo);
    m.consola_linea(linea);
  }

  meses_calculo(m, w, op);

  cerrar(m, s.archivo_cond_par, ERRORCONDPAR);
  cerrar(m, s.archivo_emb_par, ERROREMBPAR);
  if (m.cal.OPCIONBALANCES == 1) cerrar(m, s.archivo_balances, ERROREMBPAR);

  DESCAMBIOUNIDADESSUB(m);

  avisos_fin_calculo(m);
  m.log.write({"Los calculos se han realizado con exito"});
}

}  // namespace tornal
