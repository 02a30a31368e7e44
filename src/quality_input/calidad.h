// The quality data of the run: titles, options and the constituent list;
// the temperature data; first-order pollutants and kinetic constants; the
// quality data of reaches, reservoirs, diffuse discharges, sediment fluxes,
// aquifers, returns and intakes; indicators and time curves; the quality of
// inflows; the coefficients; the monthly input series built from time
// curves; the quality-risk levels. Reach arrays are indexed by global reach
// number, reservoir arrays by reservoir number; series by running month
// (1 to 12 x NUMANYOS, month 1 = the first October).
#pragma once

#include <string>

#include "common/array.h"
#include "common/latin1.h"

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
  int TEMPERATURA = 0;
  int PRIMERO1OR = 0;  // first first-order pollutant (when NUMCONT1OR > 0)
  int DBO = 0;
  int OD = 0;
  int NORG = 0;
  int NH4 = 0;
  int NO3 = 0;
  int CHLA = 0;
  int PORG = 0;
  int PO4 = 0;
  // Place of first-order pollutant j.
  int CONT1OR(int j) const { return PRIMERO1OR + j - 1; }
};

struct Calidad {
  // Titles and options.
  std::string TITULO1 = blanks(255);
  std::string TITULO2 = blanks(255);
  int OPCIONTEMPERATURA = 0;
  int NUMCONT1OR = 0;
  int OPCIONOXIGENO = 0;
  int OPCIONNITROGENO = 0;
  int OPCIONFITOPLANCTON = 0;
  int MODELOTEMPERATURA = 0;
  int NUMCONTAMINANTES = 0;
  Array1<std::string> NOMCONT{"NOMCONT"};
  PosicionesContaminantes POS;  // set with NOMCONT, from the options

  // Reach data (global reach number).
  Array1<int> INRESCOND{"INRESCOND"};
  Array1<int> INRESPARCOND{"INRESPARCOND"};
  Array1<double> ECOND{"ECOND"};
  Array1<double> LCOND{"LCOND"};
  Array1<double> INCRX{"INCRX"};
  Array1<int> TIPOHID{"TIPOHID"};
  Array2<double> COEFTESHIDR{"COEFTESHIDR"};

  // Reservoir data.
  Array1<int> INRESEMB{"INRESEMB"};
  Array1<int> INRESEMB2{"INRESEMB2"};
  Array1<int> INRESPAREMB{"INRESPAREMB"};
  Array1<double> PORCENTVO{"PORCENTVO"};
  Array1<double> INCRETIEM{"INCRETIEM"};
  Array1<double> EEM{"EEM"};
  Array1<int> CURVAEEM{"CURVAEEM"};
  Array1<double> ENTREM{"ENTREM"};
  Array1<int> CURVTENTREM{"CURVTENTREM"};
  Array1<double> SALEM{"SALEM"};
  Array1<int> CURVTSALEM{"CURVTSALEM"};
  Array1<double> ZTEM{"ZTEM"};
  Array1<int> CURVTZTEM{"CURVTZTEM"};
  Array1<double> KEEMBTEMP{"KEEMBTEMP"};

  // Temperature given as data (OPCIONTEMPERATURA 0).
  Array1<double> TCON{"TCON"};
  Array1<int> CURVATCON{"CURVATCON"};
  Array1<double> TEPI{"TEPI"};
  Array1<int> CURVATEPI{"CURVATEPI"};
  Array1<double> THIPO{"THIPO"};
  Array1<int> CURVATHIPO{"CURVATHIPO"};
  Array1<double> KETCOND{"KETCOND"};
  Array1<double> KETEMB{"KETEMB"};
  // Equilibrium temperature (MODELOTEMPERATURA 1).
  Array1<double> TECON{"TECON"};
  Array1<int> CURVATECON{"CURVATECON"};
  Array1<double> TEEM{"TEEM"};
  Array1<int> CURVATEEM{"CURVATEEM"};
  Array1<double> TEHI{"TEHI"};
  Array1<int> CURVATEHI{"CURVATEHI"};
  // Heat balance (MODELOTEMPERATURA 2): meteorology of reaches and reservoirs.
  Array1<double> HSWCON{"HSWCON"};
  Array1<int> CURHSWCON{"CURHSWCON"};
  Array1<double> TAIRCON{"TAIRCON"};
  Array1<int> CURTAIRCON{"CURTAIRCON"};
  Array1<double> HRCON{"HRCON"};
  Array1<int> CURHRCON{"CURHRCON"};
  Array1<double> NUBCON{"NUBCON"};
  Array1<int> CURNUBCON{"CURNUBCON"};
  Array1<double> VIENTOCON{"VIENTOCON"};
  Array1<int> CURVIENTOCON{"CURVIENTOCON"};
  Array1<double> HSWEM{"HSWEM"};
  Array1<int> CURHSWEM{"CURHSWEM"};
  Array1<double> TAIREM{"TAIREM"};
  Array1<int> CURTAIREM{"CURTAIREM"};
  Array1<double> HREM{"HREM"};
  Array1<int> CURHREM{"CURHREM"};
  Array1<double> NUBEM{"NUBEM"};
  Array1<int> CURNUBEM{"CURNUBEM"};
  Array1<double> VIENTOEM{"VIENTOEM"};
  Array1<int> CURVIENTOEM{"CURVIENTOEM"};

  // First-order pollutants.
  Array1<std::string> NOMCONT1OR{"NOMCONT1OR"};
  Array1<double> TECTAK1OR{"TECTAK1OR"};
  Array2<double> KCOND{"KCOND"};
  Array2<double> VSCOND{"VSCOND"};
  Array2<double> KEMB{"KEMB"};
  Array2<double> VSEMB{"VSEMB"};

  // Oxygen: organic matter and reaeration.
  Array1<double> KACOND{"KACOND"};
  Array1<double> KDCOND{"KDCOND"};
  Array1<double> VSLCOND{"VSLCOND"};
  Array1<double> KAEMB{"KAEMB"};
  Array1<double> UWEM{"UWEM"};
  Array1<int> CURVAUWEM{"CURVAUWEM"};
  Array1<double> KDEMB{"KDEMB"};
  Array1<double> VSLEMB{"VSLEMB"};
  // Nitrogen cycle.
  Array1<double> KNOACOND{"KNOACOND"};
  Array1<double> VSNOCOND{"VSNOCOND"};
  Array1<double> KNAICOND{"KNAICOND"};
  Array1<double> KNO3COND{"KNO3COND"};
  Array1<double> KNOAEMB{"KNOAEMB"};
  Array1<double> VSNOEMB{"VSNOEMB"};
  Array1<double> KNAIEMB{"KNAIEMB"};
  Array1<double> KNO3EMB{"KNO3EMB"};
  // Phytoplankton and phosphorus.
  Array1<double> KMAXGROWCOND{"KMAXGROWCOND"};
  Array1<double> KRESPCOND{"KRESPCOND"};
  Array1<double> VSALGCOND{"VSALGCOND"};
  Array1<double> KFOSFCOND{"KFOSFCOND"};
  Array1<double> VSFOSFCOND{"VSFOSFCOND"};
  Array1<double> KFOSFACOND{"KFOSFACOND"};
  Array1<double> KECOND{"KECOND"};
  Array1<double> IOCON{"IOCON"};
  Array1<int> CURVAIOCON{"CURVAIOCON"};
  Array1<double> FLUMCON{"FLUMCON"};
  Array1<int> CURVAFLUMCON{"CURVAFLUMCON"};
  Array1<double> ISATCOND{"ISATCOND"};
  Array1<double> ALFAFITOCOND{"ALFAFITOCOND"};
  Array1<double> KMAXGROWEMB{"KMAXGROWEMB"};
  Array1<double> KRESPEMB{"KRESPEMB"};
  Array1<double> VSALGEMB{"VSALGEMB"};
  Array1<double> KFOSFEMB{"KFOSFEMB"};
  Array1<double> VSFOSFEMB{"VSFOSFEMB"};
  Array1<double> KFOSFAEMB{"KFOSFAEMB"};
  Array1<double> KEEMB{"KEEMB"};
  Array1<double> IOEM{"IOEM"};
  Array1<int> CURVAIOEM{"CURVAIOEM"};
  Array1<double> FLUMEM{"FLUMEM"};
  Array1<int> CURVAFLUMEM{"CURVAFLUMEM"};
  Array1<double> ISATEMB{"ISATEMB"};
  Array1<double> ALFAFITOEMB{"ALFAFITOEMB"};

  // Diffuse discharges into reaches.
  int NUMVERTDIF = 0;
  Array1<std::string> NOMVERTDIF{"NOMVERTDIF"};
  Array1<int> NUMCONDUCVERTDIF{"NUMCONDUCVERTDIF"};
  Array2<double> SDVERTDIF{"SDVERTDIF"};
  // Sediment fluxes of reservoirs.
  int NUMFLUJSED = 0;
  Array1<int> NUMEMBFLUJSED{"NUMEMBFLUJSED"};
  Array2<double> FLUJSEDEMB{"FLUJSEDEMB"};
  // Initial concentrations: aquifers, reservoir epilimnion and hypolimnion.
  Array2<double> COACU{"COACU"};
  Array2<double> COEMB{"COEMB"};
  Array2<double> COEMB2{"COEMB2"};
  // Treated concentrations of returns and intakes (-1: untreated).
  Array2<double> RETORNODEPU{"RETORNODEPU"};
  Array2<double> TOMADEPU{"TOMADEPU"};
  // Indicators (kept, used by nothing).
  int NUMINDICADORES = 0;
  Array1<std::string> NOMINDICADOR{"NOMINDICADOR"};
  Array1<int> TIPOELEMIND{"TIPOELEMIND"};
  Array1<int> NUMELEMIND{"NUMELEMIND"};
  Array1<int> TIPOIND{"TIPOIND"};
  Array2<double> VALORESINDICADORES{"VALORESINDICADORES"};
  // Time curves: 12 monthly factors each, October first.
  int NUMCURVASTEMP = 0;
  Array1<std::string> NOMCURVASTEMP{"NOMCURVASTEMP"};
  Array2<double> VALORCURVASTEMP{"VALORCURVASTEMP"};

  // Quality of inflows: (inflow, constituent, month, year).
  Array4<double> COAPO{"COAPO"};

  // Coefficients.
  double FACTORVOLUMEN = 0.0;
  double DIVISORUNIDADES = 0.0;
  double FACTORUNIDADES = 0.0;
  double ERRORCONC = 0.0;
  Array1<double> CARACTERISTICASDELAGUA = fixed_array<double>("CARACTERISTICASDELAGUA", 2);  // density, specific heat
  Array1<double> DISPEMB = fixed_array<double>("DISPEMB", 2);
  double NUMMAXITERCOND = 0.0;
  Array1<double> REAICOND = fixed_array<double>("REAICOND", 2);
  Array1<double> REAIEMB = fixed_array<double>("REAIEMB", 3);
  Array1<double> TECTAOD = fixed_array<double>("TECTAOD", 8);
  Array1<double> STECHIO = fixed_array<double>("STECHIO", 6);
  Array1<double> UNIDADESESTEQUIOMETRICAS = fixed_array<double>("UNIDADESESTEQUIOMETRICAS", 5);
  Array1<double> OSAT = fixed_array<double>("OSAT", 3);
  double COEFTETERMOCLINA = 0.0;
  Array1<double> CTELIMITACIONNUTRIENTES = fixed_array<double>("CTELIMITACIONNUTRIENTES", 5);
  Array1<double> FACTORPREFERENCIA = fixed_array<double>("FACTORPREFERENCIA", 2);
  int OPCIONBALANCES = 0;
  Array1<double> CONSTANTESMODTEMPERATURA = fixed_array<double>("CONSTANTESMODTEMPERATURA", 5);
  int EAIOPCIONHRR = 0;
  bool HAYCONSTANTESMODTEMPERATURA = false;  // the five constants and EAIOPCIONHRR were read
  double FITOENELHIPO = 1.0;
  int FLUJOSEDIMENTOSNOANOXIA = 0;
  Array1<int> ACUMULACIONRESULTADOSPARCIALES = fixed_array<int>("ACUMULACIONRESULTADOSPARCIALES", 2, 1);

  // Monthly input series (element, running month).
  Array2<double> TCOND{"TCOND"};
  Array2<double> TECOND{"TECOND"};
  Array2<double> EEMB{"EEMB"};
  Array2<double> ENTREMB{"ENTREMB"};
  Array2<double> SALEMB{"SALEMB"};
  Array2<double> ZTEMB{"ZTEMB"};
  Array2<double> TEPIL{"TEPIL"};
  Array2<double> THIPOL{"THIPOL"};
  Array2<double> TEEMB{"TEEMB"};
  Array2<double> TEEMBHIP{"TEEMBHIP"};
  Array2<double> HSWCOND{"HSWCOND"};
  Array2<double> TAIRCOND{"TAIRCOND"};
  Array2<double> HRCOND{"HRCOND"};
  Array2<double> NUBCOND{"NUBCOND"};
  Array2<double> VIENTOCOND{"VIENTOCOND"};
  Array2<double> HSWEMB{"HSWEMB"};
  Array2<double> TAIREMB{"TAIREMB"};
  Array2<double> HREMB{"HREMB"};
  Array2<double> NUBEMB{"NUBEMB"};
  Array2<double> VIENTOEMB{"VIENTOEMB"};
  Array2<double> UWEMB{"UWEMB"};
  Array2<double> IOCOND{"IOCOND"};
  Array2<double> FLUMCOND{"FLUMCOND"};
  Array2<double> IOEMB{"IOEMB"};
  Array2<double> FLUMEMB{"FLUMEMB"};

  // Quality-risk levels.
  bool OPCIONRIESGO = false;
  int NUMCONTRIESGO = 0;
  Array1<std::string> NOMCONTRISK{"NOMCONTRISK"};
  Array1<int> NUMNIVELESCONT{"NUMNIVELESCONT"};
  Array2<double> LIMNIVELES{"LIMNIVELES"};
  Array3<double> MATCONDRIESGO{"MATCONDRIESGO"};
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
