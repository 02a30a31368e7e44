// The quality data of the run: titles, options and the constituent list;
// the temperature data; first-order pollutants and kinetic constants; the
// quality data of reaches, reservoirs, diffuse discharges, sediment fluxes,
// aquifers, returns and intakes; indicators and time curves; the quality of
// inflows; the coefficients; the monthly input series built from time
// curves; the quality-risk levels. Reach arrays are indexed by global reach
// number, reservoir arrays by reservoir number; series by running month
// (1 to 12 x NUMANYOS, month 1 = the first October).
#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "common/array.h"
#include "common/latin1.h"
#include "quality_input/kinetic_thetas.h"

namespace tornal {

// Length of a constituent name and of the short names of the quality data.
constexpr std::size_t LONGNOMCONT = 30;
// Most levels of one constituent in the quality-risk levels file.
constexpr int MAXNIVELESRIESGO = 50;
// Most sub-steps of a reservoir month, given (INCRETIEM) or taken by a month
// integrated again with finer sub-steps: 100,000 are steps of about 26 s,
// finer than any month needs.
constexpr int MAXSUBPASOSEMBALSE = 100000;
// Most passes of a reach's oxygen iteration (NUMMAXITERCOND): no reach needs
// more to settle.
constexpr int MAXITERCONDUCCION = 10000;

// Places of the constituents in NOMCONT and in every constituent-indexed
// array; 0 for a constituent that the options leave out. Temperature comes
// first, then the first-order pollutants; organic matter and oxygen follow
// them, then the nitrogen cycle, and the phytoplankton group closes the
// list.
struct PosicionesContaminantes {
  int TEMPERATURA = 0;  // "Temperatura" [degC]
  int PRIMERO1OR = 0;   // first first-order pollutant (when NUMCONT1OR > 0)
  int DBO = 0;          // "DBO5": 5-day BOD in the files, ultimate BOD inside
  int OD = 0;           // "Oxígeno Disuelto" [mg/l]
  int NORG = 0;         // "Nitrógeno Orgánico"
  int NH4 = 0;          // "Amonio", times UNIDADESESTEQUIOMETRICAS(2) inside
  int NO3 = 0;          // "Nitratos", times UNIDADESESTEQUIOMETRICAS(3) inside
  int CHLA = 0;         // "Chla", times UNIDADESESTEQUIOMETRICAS(4) inside
  int PORG = 0;         // "Fósforo Orgánico"
  int PO4 = 0;          // "Fósforo Inorgánico", times UNIDADESESTEQUIOMETRICAS(5) inside
  // Place of first-order pollutant j.
  int CONT1OR(int j) const { return PRIMERO1OR + j - 1; }
};

// A half-saturation constant (CTELIMITACIONNUTRIENTES) is on when the whole
// part of 10000 times it is not 0; the limitation it sets is off otherwise.
inline bool limitacion_activa(double Ks) { return std::trunc(10000.0 * Ks) != 0.0; }

// Units in brackets. [C]: a concentration of the constituent in the units
// the quality files write it in (output units; temperature in degC). The
// unit conversion before the months turns COACU, COEMB, COEMB2, RETORNODEPU
// and TOMADEPU (but their -1 entries), SDVERTDIF and COAPO into internal
// units ([then internal]), in which the organic load is the ultimate BOD and
// ammonium, nitrate, chlorophyll-a and phosphate are multiplied by
// UNIDADESESTEQUIOMETRICAS; dissolved oxygen stays in mg/l. Rates are per
// day at 20 degC, corrected by a theta to the power (T - 20), and settling
// velocities in m/day; these, the heat and light data, the time curves and
// the sediment fluxes are used as read. [-]: a ratio. A field without a unit
// is a count, an element number, a curve number (1 to NUMCURVASTEMP), a flag,
// an option or a name. "-1" of a rate or a coefficient means its integer part
// is -1, a choice of formula.
struct Calidad {
  // Titles and options.
  std::string TITULO1 = blanks(255);       // first title, written on the console and in the tagged monthly file
  std::string TITULO2 = blanks(255);       // second title, used like TITULO1
  int OPCIONTEMPERATURA = 0;               // 0: water temperatures given as data; 1: modelled, constituent 1
  int NUMCONT1OR = 0;                      // first-order pollutants
  int OPCIONOXIGENO = 0;                   // 1: organic matter (BOD) and dissolved oxygen modelled
  int OPCIONNITROGENO = 0;                 // 1: nitrogen cycle (organic nitrogen, ammonium, nitrate) modelled
  int OPCIONFITOPLANCTON = 0;              // 1: phytoplankton (chlorophyll-a) and phosphorus cycle modelled
  int MODELOTEMPERATURA = 0;               // 1: equilibrium temperature, 2: heat balance; 0 with temperatures given
  int NUMCONTAMINANTES = 0;                // modelled constituents
  Array1<std::string> NOMCONT{"NOMCONT"};  // (constituent): name, in the fixed order of the list
  PosicionesContaminantes POS;             // set with NOMCONT, from the options

  // Reach data (global reach number).
  Array1<int> INRESCOND{"INRESCOND"};        // 1: modelled, in the result tables; 0: modelled only; -1, 2: not modelled
  Array1<int> INRESPARCOND{"INRESPARCOND"};  // 1: per-segment rows in the partial result file of reaches
  Array1<double> ECOND{"ECOND"};             // longitudinal dispersion [m2/s]; -1, -2 select a formula
  Array1<double> LCOND{"LCOND"};             // length [m]
  Array1<double> INCRX{"INCRX"};             // space step, the segment length [m]
  Array1<int> TIPOHID{"TIPOHID"};            // hydraulic mode: 1 Manning normal depth, 2 power laws of the flow
  // COEFTESHIDR: with TIPOHID 1, (1) Manning's n, (2) bottom width [m], (3)
  // bed slope [m/m], (4) side slope [horizontal per vertical]; with TIPOHID 2,
  // velocity (1) x Q^(2) [m/s] and depth (3) x Q^(4) [m], Q in m3/s. (5) is
  // the altitude of the reach [m] for the oxygen saturation when it is above 0
  // and (6) is 0; the dispersion formula -2 takes ln((6)/(5)).
  Array2<double> COEFTESHIDR{"COEFTESHIDR"};  // (reach, 1..6): hydraulic coefficients, as above

  // Reservoir data.
  Array1<int> INRESEMB{"INRESEMB"};        // 1: written to the result tables
  Array1<int> INRESEMB2{"INRESEMB2"};      // second switch, used by nothing
  Array1<int> INRESPAREMB{"INRESPAREMB"};  // 1: sub-step rows in the partial result file and in "balances.csv"
  Array1<double> PORCENTVO{"PORCENTVO"};   // initial share of the volume in the epilimnion [%], only checked
  Array1<double> INCRETIEM{"INCRETIEM"};   // sub-steps of a month: its integer part, each 30 days over that part
  Array1<double> EEM{"EEM"};               // exchange between the layers, base value of EEMB [cm2/s]
  Array1<int> CURVAEEM{"CURVAEEM"};        // time curve of EEM
  Array1<double> ENTREM{"ENTREM"};         // share of the inflows entering the epilimnion, base value of ENTREMB [-]
  Array1<int> CURVTENTREM{"CURVTENTREM"};  // time curve of ENTREM
  Array1<double> SALEM{"SALEM"};           // share of the outflows leaving the epilimnion, base value of SALEMB [-]
  Array1<int> CURVTSALEM{"CURVTSALEM"};    // time curve of SALEM
  Array1<double> ZTEM{"ZTEM"};             // thermocline depth below the surface, base value of ZTEMB [m]
  Array1<int> CURVTZTEM{"CURVTZTEM"};      // time curve of ZTEM
  Array1<double> KEEMBTEMP{"KEEMBTEMP"};   // heat balance: extinction that splits the surface heat in layers [1/m]

  // Temperature given as data (OPCIONTEMPERATURA 0).
  Array1<double> TCON{"TCON"};           // water temperature of the reach, base value of TCOND [degC]
  Array1<int> CURVATCON{"CURVATCON"};    // time curve of TCON
  Array1<double> TEPI{"TEPI"};           // epilimnion temperature, base value of TEPIL [degC]
  Array1<int> CURVATEPI{"CURVATEPI"};    // time curve of TEPI
  Array1<double> THIPO{"THIPO"};         // hypolimnion temperature, base value of THIPOL [degC]
  Array1<int> CURVATHIPO{"CURVATHIPO"};  // time curve of THIPO
  Array1<double> KETCOND{"KETCOND"};     // heat-exchange coefficient of the reach, also MODELOTEMPERATURA 1 [W/m2/degC]
  Array1<double> KETEMB{"KETEMB"};       // heat-exchange coefficient of the reservoir, likewise [W/m2/degC]
  // Equilibrium temperature (MODELOTEMPERATURA 1).
  Array1<double> TECON{"TECON"};         // equilibrium temperature of the reach, base value of TECOND [degC]
  Array1<int> CURVATECON{"CURVATECON"};  // time curve of TECON
  Array1<double> TEEM{"TEEM"};           // equilibrium temperature of the reservoir, base value of TEEMB [degC]
  Array1<int> CURVATEEM{"CURVATEEM"};    // time curve of TEEM
  Array1<double> TEHI{"TEHI"};           // heat flux from epilimnion to hypolimnion, base value of TEEMBHIP [W/m2]
  Array1<int> CURVATEHI{"CURVATEHI"};    // time curve of TEHI
  // Heat balance (MODELOTEMPERATURA 2): meteorology of reaches and reservoirs.
  Array1<double> HSWCON{"HSWCON"};           // short-wave solar radiation over the reach [W/m2]
  Array1<int> CURHSWCON{"CURHSWCON"};        // time curve of HSWCON
  Array1<double> TAIRCON{"TAIRCON"};         // air temperature over the reach [degC]
  Array1<int> CURTAIRCON{"CURTAIRCON"};      // time curve of TAIRCON
  Array1<double> HRCON{"HRCON"};             // relative humidity [%] or dew point [degC], as EAIOPCIONHRR says
  Array1<int> CURHRCON{"CURHRCON"};          // time curve of HRCON
  Array1<double> NUBCON{"NUBCON"};           // cloud cover [-]
  Array1<int> CURNUBCON{"CURNUBCON"};        // time curve of NUBCON
  Array1<double> VIENTOCON{"VIENTOCON"};     // wind speed [unit of the wind function]
  Array1<int> CURVIENTOCON{"CURVIENTOCON"};  // time curve of VIENTOCON
  Array1<double> HSWEM{"HSWEM"};             // short-wave solar radiation over the reservoir [W/m2]
  Array1<int> CURHSWEM{"CURHSWEM"};          // time curve of HSWEM
  Array1<double> TAIREM{"TAIREM"};           // air temperature over the reservoir [degC]
  Array1<int> CURTAIREM{"CURTAIREM"};        // time curve of TAIREM
  Array1<double> HREM{"HREM"};               // relative humidity [%] or dew point [degC], as EAIOPCIONHRR says
  Array1<int> CURHREM{"CURHREM"};            // time curve of HREM
  Array1<double> NUBEM{"NUBEM"};             // cloud cover [-]
  Array1<int> CURNUBEM{"CURNUBEM"};          // time curve of NUBEM
  Array1<double> VIENTOEM{"VIENTOEM"};       // wind speed [unit of the wind function]
  Array1<int> CURVIENTOEM{"CURVIENTOEM"};    // time curve of VIENTOEM

  // First-order pollutants.
  Array1<std::string> NOMCONT1OR{"NOMCONT1OR"};  // (pollutant): name, copied into NOMCONT
  Array1<double> TECTAK1OR{"TECTAK1OR"};         // (pollutant): temperature correction theta of its decay [-]
  Array2<double> KCOND{"KCOND"};                 // (reach, pollutant): decay rate at 20 degC [1/day]
  Array2<double> VSCOND{"VSCOND"};               // (reach, pollutant): settling velocity [m/day]
  Array2<double> KEMB{"KEMB"};                   // (reservoir, pollutant): decay rate at 20 degC [1/day]
  Array2<double> VSEMB{"VSEMB"};                 // (reservoir, pollutant): settling velocity [m/day]

  // Oxygen: organic matter and reaeration.
  Array1<double> KACOND{"KACOND"};     // reaeration rate [1/day]; -1: computed from depth and velocity
  Array1<double> KDCOND{"KDCOND"};     // BOD decay rate [1/day]
  Array1<double> VSLCOND{"VSLCOND"};   // BOD settling velocity [m/day]
  Array1<double> KAEMB{"KAEMB"};       // reaeration rate [1/day]; -1: the wind law of REAIEMB
  Array1<double> UWEM{"UWEM"};         // wind speed of the reaeration law, base value of UWEMB [unit of REAIEMB]
  Array1<int> CURVAUWEM{"CURVAUWEM"};  // time curve of UWEM
  Array1<double> KDEMB{"KDEMB"};       // BOD decay rate [1/day]
  Array1<double> VSLEMB{"VSLEMB"};     // BOD settling velocity [m/day]
  // Nitrogen cycle.
  Array1<double> KNOACOND{"KNOACOND"};  // organic-nitrogen ammonification rate [1/day]
  Array1<double> VSNOCOND{"VSNOCOND"};  // organic-nitrogen settling velocity [m/day]
  Array1<double> KNAICOND{"KNAICOND"};  // nitrification rate [1/day]
  Array1<double> KNO3COND{"KNO3COND"};  // denitrification rate [1/day]
  Array1<double> KNOAEMB{"KNOAEMB"};    // organic-nitrogen ammonification rate [1/day]
  Array1<double> VSNOEMB{"VSNOEMB"};    // organic-nitrogen settling velocity [m/day]
  Array1<double> KNAIEMB{"KNAIEMB"};    // nitrification rate [1/day]
  Array1<double> KNO3EMB{"KNO3EMB"};    // denitrification rate [1/day]
  // Phytoplankton and phosphorus.
  Array1<double> KMAXGROWCOND{"KMAXGROWCOND"};  // maximum phytoplankton growth rate [1/day]
  Array1<double> KRESPCOND{"KRESPCOND"};        // phytoplankton respiration rate [1/day]
  Array1<double> VSALGCOND{"VSALGCOND"};        // phytoplankton settling velocity [m/day]
  Array1<double> KFOSFCOND{"KFOSFCOND"};        // organic-phosphorus mineralisation rate [1/day]
  Array1<double> VSFOSFCOND{"VSFOSFCOND"};      // organic-phosphorus settling velocity [m/day]
  Array1<double> KFOSFACOND{"KFOSFACOND"};      // phosphate loss rate [1/day]
  Array1<double> KECOND{"KECOND"};              // background light extinction [1/m]
  Array1<double> IOCON{"IOCON"};                // surface light intensity, base value of IOCOND [unit of ISATCOND]
  Array1<int> CURVAIOCON{"CURVAIOCON"};         // time curve of IOCON
  Array1<double> FLUMCON{"FLUMCON"};            // photoperiod, base value of FLUMCOND [fraction of the day]
  Array1<int> CURVAFLUMCON{"CURVAFLUMCON"};     // time curve of FLUMCON
  Array1<double> ISATCOND{"ISATCOND"};          // saturating light intensity [unit of IOCOND]
  Array1<double> ALFAFITOCOND{"ALFAFITOCOND"};  // extinction per chlorophyll-a [1/m per internal C]; -1: a fixed law
  Array1<double> KMAXGROWEMB{"KMAXGROWEMB"};    // maximum phytoplankton growth rate [1/day]
  Array1<double> KRESPEMB{"KRESPEMB"};          // phytoplankton respiration rate [1/day]
  Array1<double> VSALGEMB{"VSALGEMB"};          // phytoplankton settling velocity [m/day]
  Array1<double> KFOSFEMB{"KFOSFEMB"};          // organic-phosphorus mineralisation rate [1/day]
  Array1<double> VSFOSFEMB{"VSFOSFEMB"};        // organic-phosphorus settling velocity [m/day]
  Array1<double> KFOSFAEMB{"KFOSFAEMB"};        // phosphate loss rate, not temperature-corrected [1/day]
  Array1<double> KEEMB{"KEEMB"};                // background light extinction [1/m]
  Array1<double> IOEM{"IOEM"};                  // surface light intensity, base value of IOEMB [unit of ISATEMB]
  Array1<int> CURVAIOEM{"CURVAIOEM"};           // time curve of IOEM
  Array1<double> FLUMEM{"FLUMEM"};              // photoperiod, base value of FLUMEMB [fraction of the day]
  Array1<int> CURVAFLUMEM{"CURVAFLUMEM"};       // time curve of FLUMEM
  Array1<double> ISATEMB{"ISATEMB"};            // saturating light intensity [unit of IOEMB]
  Array1<double> ALFAFITOEMB{"ALFAFITOEMB"};    // extinction per chlorophyll-a [1/m per internal C]; -1: a fixed law

  // Diffuse discharges into reaches.
  int NUMVERTDIF = 0;                                // diffuse discharges
  Array1<std::string> NOMVERTDIF{"NOMVERTDIF"};      // (discharge): name, used by nothing
  Array1<int> NUMCONDUCVERTDIF{"NUMCONDUCVERTDIF"};  // (discharge): global number of the receiving reach
  Array2<double> SDVERTDIF{"SDVERTDIF"};             // (discharge, constituent): load [m3/day x C, then internal]
  // Sediment fluxes of reservoirs.
  int NUMFLUJSED = 0;                          // sediment-flux entries; the arrays exist only when above 0
  Array1<int> NUMEMBFLUJSED{"NUMEMBFLUJSED"};  // (entry): reservoir
  Array2<double> FLUJSEDEMB{"FLUJSEDEMB"};     // (entry, constituent): flux per bed area [m/day x internal C], as read
  // Initial concentrations: aquifers, reservoir epilimnion and hypolimnion.
  Array2<double> COACU{"COACU"};    // (aquifer, constituent): its water [C, then internal]
  Array2<double> COEMB{"COEMB"};    // (reservoir, constituent): epilimnion, whole reservoir if mixed [C, then internal]
  Array2<double> COEMB2{"COEMB2"};  // (reservoir, constituent): hypolimnion [C, then internal]
  // Treated concentrations of returns and intakes (-1: untreated).
  Array2<double> RETORNODEPU{"RETORNODEPU"};  // (return, constituent): its water [C, then internal]
  Array2<double> TOMADEPU{"TOMADEPU"};        // (intake of the file, constituent): its water [C, then internal]
  // Indicators (kept, used by nothing).
  int NUMINDICADORES = 0;                                   // indicators
  Array1<std::string> NOMINDICADOR{"NOMINDICADOR"};         // (indicator): name
  Array1<int> TIPOELEMIND{"TIPOELEMIND"};                   // (indicator): kind of element
  Array1<int> NUMELEMIND{"NUMELEMIND"};                     // (indicator): number of the element
  Array1<int> TIPOIND{"TIPOIND"};                           // (indicator): kind of indicator
  Array2<double> VALORESINDICADORES{"VALORESINDICADORES"};  // (indicator, constituent): value
  // Time curves: 12 monthly factors each, October first.
  int NUMCURVASTEMP = 0;                               // time curves; also the rows of the long curves
  Array1<std::string> NOMCURVASTEMP{"NOMCURVASTEMP"};  // (curve): name, used by nothing
  Array2<double> VALORCURVASTEMP{"VALORCURVASTEMP"};   // (curve, month): factor [-]

  // Quality of inflows: (inflow, constituent, month, year), month 1 = October.
  Array4<double> COAPO{"COAPO"};  // concentration [C, then internal]

  // Coefficients.
  double FACTORVOLUMEN = 0.0;    // calculation volume per allocation volume [m3/hm3]
  double DIVISORUNIDADES = 0.0;  // days of an allocation month [day]
  double FACTORUNIDADES = 0.0;   // FACTORVOLUMEN / DIVISORUNIDADES: hm3/month into m3/day
  double ERRORCONC = 0.0;        // a reach's solutions below it are set to 0 [internal C]
  // Density [kg/m3] and specific heat [J/kg/degC] of water.
  Array1<double> CARACTERISTICASDELAGUA = fixed_array<double>("CARACTERISTICASDELAGUA", 2);
  // Layer exchange of a reservoir with EEMB -1: (1) coefficient [cm2/s], (2)
  // exponent of the epilimnion's thickness [-].
  Array1<double> DISPEMB = fixed_array<double>("DISPEMB", 2);
  double NUMMAXITERCOND = 0.0;  // passes of a reach's oxygen iteration: max(50, integer part)
  Array1<double> REAICOND = fixed_array<double>("REAICOND", 2);  // read, used by nothing
  // Wind reaeration of a reservoir with KAEMB -1: KA = (1) + (2) x UWEMB^(3)
  // [1/day].
  Array1<double> REAIEMB = fixed_array<double>("REAIEMB", 3);
  // Thetas [-] of the rates, one per row of TECTASCINETICAS
  // (kinetic_thetas.h): (1) reaeration, (2) BOD decay, (3) ammonification,
  // (4) nitrification, (5) denitrification, (6) algal growth, (7) algal
  // respiration, (8) organic-phosphorus mineralisation.
  Array1<double> TECTAOD = fixed_array<double>("TECTAOD", NUMTECTAS);
  // Stoichiometric ratios [-]: (1) oxygen per ammonium nitrified, (2) unused,
  // (3) oxygen produced per chlorophyll-a grown, (4) oxygen consumed per
  // chlorophyll-a respired, (5) nitrogen and (6) phosphorus per chlorophyll-a.
  Array1<double> STECHIO = fixed_array<double>("STECHIO", 6);
  // (1) the BOD decay rate that links the 5-day BOD to the ultimate BOD
  // [1/day]; (2) to (5) the internal-unit factors of ammonium, nitrate,
  // chlorophyll-a and phosphate [-].
  Array1<double> UNIDADESESTEQUIOMETRICAS = fixed_array<double>("UNIDADESESTEQUIOMETRICAS", 5);
  Array1<double> OSAT = fixed_array<double>("OSAT", 3);  // read, used by nothing
  double COEFTETERMOCLINA = 0.0;                         // a thermocline below this share of the depth: one layer [-]
  // Half-saturation constants: (1) oxygen of BOD decay [mg/l], (2) oxygen of
  // nitrification [mg/l], (3) ammonium plus nitrate and (4) phosphate of algal
  // growth [internal C], (5) oxygen of half inhibition of denitrification
  // [mg/l]; one whose 10000-fold truncates to 0 is switched off.
  Array1<double> CTELIMITACIONNUTRIENTES = fixed_array<double>("CTELIMITACIONNUTRIENTES", 5);
  // (1) share of the algal nitrogen uptake taken as ammonium, the rest as
  // nitrate; (2) share of the respired algal phosphorus that becomes organic
  // phosphorus, the rest phosphate [-].
  Array1<double> FACTORPREFERENCIA = fixed_array<double>("FACTORPREFERENCIA", 2);
  int OPCIONBALANCES = 0;  // 1: "balances.csv" written
  // Constants of the surface heat flux HTOTAL: (1) Stefan-Boltzmann constant
  // in the units of its formula, (2) emissivity of water [-], (3) + (4) x
  // wind^(5) the wind function.
  Array1<double> CONSTANTESMODTEMPERATURA = fixed_array<double>("CONSTANTESMODTEMPERATURA", 5);
  int EAIOPCIONHRR = 0;                      // 0: HRCON, HREM are relative humidity [%]; else dew point [degC]
  bool HAYCONSTANTESMODTEMPERATURA = false;  // the five constants and EAIOPCIONHRR were read
  double FITOENELHIPO = 1.0;                 // factor of the hypolimnion's algal growth and chlorophyll-a [-]
  int FLUJOSEDIMENTOSNOANOXIA = 0;           // 0: NH4, NO3, PO4 sediment fluxes only over an anoxic bottom
  // Row step of the partial result files: (1) segments of a reach, (2)
  // sub-steps of a reservoir.
  Array1<int> ACUMULACIONRESULTADOSPARCIALES = fixed_array<int>("ACUMULACIONRESULTADOSPARCIALES", 2, 1);
  // The sections that a tagged coefficients file left out (their tags; none
  // in the fixed layout) and the statements that reading it made, the
  // counter of its read error at its end: the time-varying constants of
  // "tornal.avz", read later, may make such a section needed.
  std::vector<std::string> SECCIONESOMITIDAS;
  long SENTENCIASCOEFICIENTES = 0;

  // Monthly input series (element, running month): base value x the factor
  // of its curve; the models read column MESACTUAL.
  Array2<double> TCOND{"TCOND"};            // given water temperature of the reach [degC]
  Array2<double> TECOND{"TECOND"};          // equilibrium temperature of the reach [degC]
  Array2<double> EEMB{"EEMB"};              // exchange between the layers [cm2/s]; -1: the DISPEMB law
  Array2<double> ENTREMB{"ENTREMB"};        // share of the inflows entering the epilimnion [-]
  Array2<double> SALEMB{"SALEMB"};          // share of the outflows leaving from the epilimnion [-]
  Array2<double> ZTEMB{"ZTEMB"};            // thermocline depth below the surface [m]; 0: no stratification
  Array2<double> TEPIL{"TEPIL"};            // given epilimnion temperature [degC]
  Array2<double> THIPOL{"THIPOL"};          // given hypolimnion temperature [degC]
  Array2<double> TEEMB{"TEEMB"};            // equilibrium temperature of the reservoir [degC]
  Array2<double> TEEMBHIP{"TEEMBHIP"};      // heat flux from epilimnion to hypolimnion [W/m2]
  Array2<double> HSWCOND{"HSWCOND"};        // short-wave solar radiation over the reach [W/m2]
  Array2<double> TAIRCOND{"TAIRCOND"};      // air temperature over the reach [degC]
  Array2<double> HRCOND{"HRCOND"};          // relative humidity [%] or dew point [degC] over the reach
  Array2<double> NUBCOND{"NUBCOND"};        // cloud cover over the reach [-]
  Array2<double> VIENTOCOND{"VIENTOCOND"};  // wind speed over the reach [unit of the wind function]
  Array2<double> HSWEMB{"HSWEMB"};          // short-wave solar radiation over the reservoir [W/m2]
  Array2<double> TAIREMB{"TAIREMB"};        // air temperature over the reservoir [degC]
  Array2<double> HREMB{"HREMB"};            // relative humidity [%] or dew point [degC] over the reservoir
  Array2<double> NUBEMB{"NUBEMB"};          // cloud cover over the reservoir [-]
  Array2<double> VIENTOEMB{"VIENTOEMB"};    // wind speed over the reservoir [unit of the wind function]
  Array2<double> UWEMB{"UWEMB"};            // wind speed of the reservoir's reaeration law [unit of REAIEMB]
  Array2<double> IOCOND{"IOCOND"};          // surface light intensity over the reach [unit of ISATCOND]
  Array2<double> FLUMCOND{"FLUMCOND"};      // photoperiod of the reach [fraction of the day]
  Array2<double> IOEMB{"IOEMB"};            // surface light intensity over the reservoir [unit of ISATEMB]
  Array2<double> FLUMEMB{"FLUMEMB"};        // photoperiod of the reservoir [fraction of the day]

  // Quality-risk levels of "NivelesRQ.dat"; the limits brought into internal
  // units on reading. The arrays exist only in a risk run.
  bool OPCIONRIESGO = false;                       // "NivelesRQ.dat" found: a quality-risk run
  int NUMCONTRIESGO = 0;                           // constituent blocks of the file, matched to NOMCONT by position
  Array1<std::string> NOMCONTRISK{"NOMCONTRISK"};  // (block): label of the block
  Array1<int> NUMNIVELESCONT{"NUMNIVELESCONT"};    // (block): risk levels, at most MAXNIVELESRIESGO
  Array2<double> LIMNIVELES{"LIMNIVELES"};         // (block, 1..50): limit between levels j and j+1 [internal C]
  Array3<double> MATCONDRIESGO{"MATCONDRIESGO"};   // (reach, block, level): months counted in the level
};

// The places of the constituents from the options and NUMCONTAMINANTES:
// organic matter and oxygen after the first-order pollutants, the nitrogen
// cycle after oxygen, and chlorophyll-a, organic phosphorus and phosphate as
// the last three of the list.
inline PosicionesContaminantes posiciones_contaminantes(const Calidad& c) {
  PosicionesContaminantes p;
  const int base = c.OPCIONTEMPERATURA + c.NUMCONT1OR;
  if (c.OPCIONTEMPERATURA == 1) p.TEMPERATURA = 1;
  if (c.NUMCONT1OR > 0) p.PRIMERO1OR = c.OPCIONTEMPERATURA + 1;
  if (c.OPCIONOXIGENO == 1) {
    p.DBO = base + 1;
    p.OD = base + 2;
  }
  if (c.OPCIONNITROGENO == 1) {
    p.NORG = base + 3;
    p.NH4 = base + 4;
    p.NO3 = base + 5;
  }
  if (c.OPCIONFITOPLANCTON == 1) {
    p.CHLA = c.NUMCONTAMINANTES - 2;
    p.PORG = c.NUMCONTAMINANTES - 1;
    p.PO4 = c.NUMCONTAMINANTES;
  }
  return p;
}

}  // namespace tornal
