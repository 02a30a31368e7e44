// The state of the monthly calculation driver that other subsystems read:
// the month counter, the long time curves and the time-varying constants of
// the advanced-options file.
//
// Units in brackets. [internal C]: a concentration in the units the reach and
// reservoir models compute in: those of the quality files, but the organic
// load as ultimate BOD and ammonium, nitrate, chlorophyll-a and phosphate
// times UNIDADESESTEQUIOMETRICAS; DESCAMBIOUNIDAD turns it into the output
// units of the files. [then output]: converted back to them after the months.
// Flows are in m3/day and volumes in m3 during the months. A field without a
// unit is a count, an element number, a flag or a file.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "common/array.h"
#include "common/fixed_format.h"
#include "common/free_writer.h"

namespace tornal {

// The first field of a result file that an edit filled with asterisks (a
// value too wide for its field, or not finite), as the run log names it at
// the end of the run.
struct CampoAsteriscos {
  std::string archivo;     // the file as the run configuration names it (trimmed), or its fixed name
  long registro = 0;       // its record: the line of the file, from 1
  long columna = 0;        // its field in the record, from 1
  std::string encabezado;  // the heading of its column, when the file has one [Latin-1]
  std::string elemento;    // the element that its record names, when it names one [Latin-1]
};

struct Simulacion {
  // Result arrays (element, constituent, month, year); nodes by their row of
  // ORDENNUDOS, reaches by global reach number. Calculation units during the
  // months; CONDUCCCE, CONDUCCCS, EMB1CF, EMB2CF, V1F and V2F are converted
  // back to output units after them. In a month of one layer the epilimnion's
  // arrays hold the whole reservoir.
  Array4<double> NUDOSCE{"NUDOSCE"};      // mixed water of the node [internal C]
  Array4<double> NUDOSCS{"NUDOSCS"};      // water leaving the node [internal C]
  Array4<double> CONDUCCCE{"CONDUCCCE"};  // inlet of the reach [internal C, then output]
  Array4<double> CONDUCCCS{"CONDUCCCS"};  // outlet of the reach, -999 until computed [internal C, then output]
  Array4<double> CENTRCE{"CENTRCE"};      // water taken by the hydro plant [internal C]
  Array4<double> CENTRCS{"CENTRCS"};      // water the hydro plant gives back [internal C]
  Array4<double> TOMASCE{"TOMASCE"};      // water taken by the intake [internal C]
  Array4<double> TOMASCS{"TOMASCS"};      // delivered by the intake, treated or not; -9999 until computed [internal C]
  Array4<double> ELERETCE{"ELERETCE"};    // mix of the intakes feeding the return [internal C]
  Array4<double> ELERETCS{"ELERETCS"};    // water the return delivers [internal C]
  Array3<double> V1F{"V1F"};              // (reservoir, month, year): end-of-month epilimnion volume [m3, then hm3]
  Array3<double> V2F{"V2F"};              // (reservoir, month, year): end-of-month hypolimnion volume [m3, then hm3]
  Array4<double> EMB1CF{"EMB1CF"};        // end-of-month epilimnion [internal C, then output]
  Array4<double> EMB2CF{"EMB2CF"};        // end-of-month hypolimnion [internal C, then output]
  // Factors from internal back to output concentration units.
  Array1<double> DESCAMBIOUNIDAD{"DESCAMBIOUNIDAD"};  // (constituent): internal C x it = output units [-]
  // Numerical trouble of a reservoir or a reach, reported at the end of the run.
  Array1<int> ERROREMB{"ERROREMB"};    // 1: trouble
  Array1<int> ERRORCOND{"ERRORCOND"};  // 1: trouble
  // Months of each reach whose heat balance was solved linearised, and of
  // those the months that took the equilibrium temperature of the flux.
  Array1<int> MESESCALORLINEAL{"MESESCALORLINEAL"};          // (reach): months
  Array1<int> MESESCALOREQUILIBRIO{"MESESCALOREQUILIBRIO"};  // (reach): months
  // Months of each reach whose flow the solves could not resolve on its
  // segments, computed as one mixed segment, listed at the end of the run.
  Array1<int> MESESMEZCLACOND{"MESESMEZCLACOND"};  // (reach): months
  // Months of each reach whose one mixed segment had no steady state (a
  // growth that its flow cannot carry away) and took the value it reaches
  // at the end of the month, listed at the end of the run.
  Array1<int> MESESSINESTACIONARIOCOND{"MESESSINESTACIONARIOCOND"};  // (reach): months
  // Months of each reach of many segments whose solve had no steady state
  // for a constituent with a growth, which took the value its segments'
  // water reaches at the end of the month, listed at the end of the run.
  Array1<int> MESESSINESTACIONARIOSEG{"MESESSINESTACIONARIOSEG"};  // (reach): months
  // Months of each reservoir integrated with finer sub-steps than its given
  // ones, listed at the end of the run.
  Array1<int> NUMMESESFINOSEMB{"NUMMESESFINOSEMB"};  // (reservoir): months
  // The largest count of sub-steps of each reservoir's months integrated
  // with finer ones (for a month taken by the mix, the finest count tried),
  // listed at the end of the run with their months: what such a month cost.
  Array1<int> MAXSUBPASOSFINOSEMB{"MAXSUBPASOSFINOSEMB"};  // (reservoir): sub-steps
  // Months of each reservoir that its sub-steps could not resolve, taken by
  // the mix of the water it held and the water it received, listed at the
  // end of the run.
  Array1<int> MESESMEZCLAEMB{"MESESMEZCLAEMB"};  // (reservoir): months
  // The partial result files (opened and closed by the driver) and whether
  // their headings have been written.
  OutputFile archivo_cond_par;    // partial result file of reaches
  OutputFile archivo_emb_par;     // partial result file of reservoirs
  OutputFile archivo_balances;    // "balances.csv", open with OPCIONBALANCES 1
  bool CABECERACONDPAR = false;   // heading of the reaches' partial file written
  bool CABECERAEMBPAR = false;    // heading of the reservoirs' partial file written
  bool CABECERABALANCES = false;  // heading of "balances.csv" written
  // The first field filled with asterisks of every result file that has
  // one, in the order they were found; a file is listed once.
  std::vector<CampoAsteriscos> campos_asteriscos;

  // Column of the monthly input series that the models read this month.
  int MESACTUAL = 0;  // 1..12 each year, or 1..12 x NUMANYOS with long curves
  // Long time curves of "tornal.avz": (curve, month of the run).
  bool HAYCURVASLARGAS = false;                         // "<CURVAS_TEMPORALES>" read
  int NUMMESESTEMP = 0;                                 // months of the run, 12 x NUMANYOS
  Array2<double> CURVASTEMPLARGAS{"CURVASTEMPLARGAS"};  // (curve, month of the run): factor [-]
  // Time-varying constants of reaches and reservoirs.
  bool HAYCTESTEMP = false;                         // "<CTES_TEMPORALES>" read
  int NUMCTESTEMPCOND = 0;                          // time-varying reach constants
  int NUMCTESTEMPEMB = 0;                           // time-varying reservoir constants
  Array1<double> CONDUCKTEMP{"CONDUCKTEMP"};        // (row): global reach number, held as a real, truncated
  Array1<double> NUMKCONDUCTEMP{"NUMKCONDUCTEMP"};  // (row): code 1..15 of the constant, held as a real, truncated
  Array2<double> KTESTEMPCONDUC{"KTESTEMPCONDUC"};  // (row, month of the run): value, in the unit of the constant
  Array1<double> EMBKTEMP{"EMBKTEMP"};              // (row): reservoir number, held as a real, truncated
  Array1<double> NUMKEMBTEMP{"NUMKEMBTEMP"};        // (row): code 1..15 of the constant, held as a real, truncated
  Array2<double> KTESTEMPEMB{"KTESTEMPEMB"};        // (row, month of the run): value, in the unit of the constant
  // Time-varying diffuse loads of reaches (row, constituent, month of the
  // run) and the global reach number of each row; used as read, with no
  // unit change.
  bool HAYCONTDIFTEMP = false;                       // "<CONTDIF_TEMPORAL>" read
  int NUMVERTDIFTEMP = 0;                            // rows
  Array1<int> ORDENVERTDIFTEMP{"ORDENVERTDIFTEMP"};  // (row): global reach number
  Array3<double> SDVERTDIFTEMP{"SDVERTDIFTEMP"};     // load [m3/day x internal C, as read]
  // Time-varying sediment fluxes of reservoirs (row, constituent, month of
  // the run), per day, and the reservoir number of each row.
  bool HAYSEDEMBTEMP = false;                        // "<SED_EMB_TEMPORAL>" read
  int NUMEMBFLUJSEDTEMP = 0;                         // rows
  Array1<int> ORDEMBFLUJSEDVAR{"ORDEMBFLUJSEDVAR"};  // (row): reservoir number
  Array3<double> FLUJSEDEMBTEMP{"FLUJSEDEMBTEMP"};   // flux per bed area [m/day x internal C, as read]

  // Calibration of one reach and one reservoir: the calibrated element (0:
  // none), the measured head flow of the reach (month, year; calculation
  // units; mode 1 only) and the inlet concentrations of the reach and the
  // inflow concentrations of the reservoir (constituent, month, year;
  // internal units). Empty when their file is not read.
  int NUMCONDUCCALIBRAR = 0;                      // global number of the calibrated reach, 0 none
  int NUMEMBCALIBRAR = 0;                         // number of the calibrated reservoir, 0 none
  Array2<double> CAUDALCALIBRA{"CAUDALCALIBRA"};  // (month, year): head flow of the reach [m3/day]
  Array3<double> CONCCALIBRAC{"CONCCALIBRAC"};    // (constituent, month, year): inlet of the reach [internal C]
  Array3<double> CONCCALIBRAE{"CONCCALIBRAE"};    // (constituent, month, year): inflow of the reservoir [internal C]
  // Release, evaporation, seepage and spill of the reservoir calibration
  // record being read, in the allocation model's units.
  double SUELTASCALIB = 0.0;  // release [hm3/month]
  double EVAPCALIB = 0.0;     // evaporation [hm3/month]
  double FILTRCALIB = 0.0;    // seepage [hm3/month]
  double VERTCALIB = 0.0;     // spill [hm3/month]
};

// Lists `campo` unless its file is listed already.
inline void anotar_campo_asteriscos(Simulacion& s, CampoAsteriscos campo) {
  for (const CampoAsteriscos& c : s.campos_asteriscos)
    if (c.archivo == campo.archivo) return;
  s.campos_asteriscos.push_back(std::move(campo));
}

// Whether the file is listed.
inline bool campo_asteriscos_anotado(const Simulacion& s, const std::string& archivo) {
  for (const CampoAsteriscos& c : s.campos_asteriscos)
    if (c.archivo == archivo) return true;
  return false;
}

// Lists the first field filled with asterisks of a row of a partial result
// file, unless its file is listed: the row, naming `elemento`, is written
// from line `linea` of `archivo`; its first record begins with `propias`
// fields of its own (the element, the date, the step) and its numbers
// follow, `por_linea` a record. `propia` is the first of its own fields that
// holds asterisks (from 1), or 0 when `numero`, the first of its numbers that
// does (from 0), is meant. `encabezados` gives the headings of the row's
// fields in their order; it is asked only when the field is listed.
inline void anotar_fila_asteriscos(Simulacion& s, const std::string& archivo, long linea, long propia,
                                   std::size_t numero, std::size_t propias, std::size_t por_linea,
                                   const std::string& elemento,
                                   const std::function<std::vector<std::string>()>& encabezados) {
  if (campo_asteriscos_anotado(s, archivo)) return;
  CampoAsteriscos campo{archivo, linea, propia, "", elemento};
  std::size_t en_fila = static_cast<std::size_t>(propia);
  if (propia == 0) {
    const RevertedPlace lugar = reverted_place(numero, por_linea, propias);
    campo.registro += lugar.record;
    campo.columna = lugar.field;
    en_fila = propias + numero + 1;
  }
  const std::vector<std::string> h = encabezados();
  if (en_fila <= h.size()) campo.encabezado = h[en_fila - 1];
  anotar_campo_asteriscos(s, std::move(campo));
}

}  // namespace tornal
