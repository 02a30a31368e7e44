// The monthly input series of reaches and reservoirs: each base value that
// changes over the year (given or equilibrium temperatures, the meteorology of
// the heat balance, wind for reaeration, light, photoperiod and the exchange
// between reservoir layers) times the factor of its time curve, for every
// month of the run. The factors come from the 12-value time curves of the
// quality data file (the same every year) or from the long time curves of the
// advanced-options file (one per month of the run). Then the series are
// checked and every value out of range is written to the run log as a
// warning. A share of the flows of the epilimnion outside 0 to 1 then stops
// the run (comprobar_proporciones_capas); no other warning does.
#include "quality_input/time_curves.h"

#include <vector>

#include "common/stop.h"
#include "quality_input/kinetic_constants.h"

namespace tornal {
namespace {

// Where the factors of the time curves come from.
enum class Curvas {
  Anuales,  // VALORCURVASTEMP: 12 factors, October first, every year
  Largas,   // CURVASTEMPLARGAS: one factor per month of the run
};

// One series: the array it fills, its base value and its curve number, one
// of each per element.
struct Serie {
  Array2<double> Calidad::*serie;
  Array1<double> Calidad::*base;
  Array1<int> Calidad::*curva;
};

// The factor of curve `curva` for month t of the run. A curve number out of
// range stops the run in the checked array (the quality data reader refuses
// such numbers before).
double factor(const Modelo& m, Curvas curvas, int curva, int t) {
  if (curvas == Curvas::Anuales) return m.cal.VALORCURVASTEMP(curva, (t - 1) % 12 + 1);
  return m.sim.CURVASTEMPLARGAS(curva, t);
}

// Fills the given series of elements 1 to `elementos`, all series of one
// element together: series(e, t) = base(e) x factor(curve(e), t).
void construir(Modelo& m, Curvas curvas, int elementos, const std::vector<Serie>& series) {
  const int NT = 12 * m.red.NUMANYOS;
  for (int e = 1; e <= elementos; ++e) {
    for (const Serie& s : series) {
      Array2<double>& serie = m.cal.*s.serie;
      const double base = (m.cal.*s.base)(e);
      const int curva = (m.cal.*s.curva)(e);
      for (int t = 1; t <= NT; ++t) serie(e, t) = base * factor(m, curvas, curva, t);
    }
  }
}

// Builds every series whose options hold, group by group, reaches before
// reservoirs. Series of groups that are off are not touched.
void construir_series(Modelo& m, Curvas curvas) {
  const Calidad& c = m.cal;
  const int NR = m.red.NUMCONDUCCIONES;
  const int NE = m.red.NUMEMBALSES;
  const bool T0 = c.OPCIONTEMPERATURA == 0;
  const bool T1 = c.OPCIONTEMPERATURA == 1;
  // Temperatures given as data.
  if (T0) {
    construir(m, curvas, NR, {{&Calidad::TCOND, &Calidad::TCON, &Calidad::CURVATCON}});
    construir(m, curvas, NE,
              {{&Calidad::TEPIL, &Calidad::TEPI, &Calidad::CURVATEPI},
               {&Calidad::THIPOL, &Calidad::THIPO, &Calidad::CURVATHIPO}});
  }
  // Equilibrium temperatures.
  if (T1 && c.MODELOTEMPERATURA == 1) {
    construir(m, curvas, NR, {{&Calidad::TECOND, &Calidad::TECON, &Calidad::CURVATECON}});
    construir(m, curvas, NE,
              {{&Calidad::TEEMB, &Calidad::TEEM, &Calidad::CURVATEEM},
               {&Calidad::TEEMBHIP, &Calidad::TEHI, &Calidad::CURVATEHI}});
  }
  // Meteorology of the surface heat balance.
  if (T1 && c.MODELOTEMPERATURA == 2) {
    construir(m, curvas, NR,
              {{&Calidad::HSWCOND, &Calidad::HSWCON, &Calidad::CURHSWCON},
               {&Calidad::TAIRCOND, &Calidad::TAIRCON, &Calidad::CURTAIRCON},
               {&Calidad::HRCOND, &Calidad::HRCON, &Calidad::CURHRCON},
               {&Calidad::NUBCOND, &Calidad::NUBCON, &Calidad::CURNUBCON},
               {&Calidad::VIENTOCOND, &Calidad::VIENTOCON, &Calidad::CURVIENTOCON}});
    construir(m, curvas, NE,
              {{&Calidad::HSWEMB, &Calidad::HSWEM, &Calidad::CURHSWEM},
               {&Calidad::TAIREMB, &Calidad::TAIREM, &Calidad::CURTAIREM},
               {&Calidad::HREMB, &Calidad::HREM, &Calidad::CURHREM},
               {&Calidad::NUBEMB, &Calidad::NUBEM, &Calidad::CURNUBEM},
               {&Calidad::VIENTOEMB, &Calidad::VIENTOEM, &Calidad::CURVIENTOEM}});
  }
  // The kinetic constants that vary over the year (the wind of the
  // reservoirs' reaeration, light and photoperiod), of the groups whose
  // options hold.
  for (const ConstanteCinetica& k : CONSTANTESCINETICAS) {
    if (!grupo_activo(c, k.grupo)) continue;
    if (k.COND.serie != nullptr) construir(m, curvas, NR, {{k.COND.serie, k.COND.valor, k.COND.curva}});
    if (k.EMB.serie != nullptr) construir(m, curvas, NE, {{k.EMB.serie, k.EMB.valor, k.EMB.curva}});
  }
  // Exchange between the layers of reservoirs, in every run.
  construir(m, curvas, NE,
            {{&Calidad::EEMB, &Calidad::EEM, &Calidad::CURVAEEM},
             {&Calidad::ENTREMB, &Calidad::ENTREM, &Calidad::CURVTENTREM},
             {&Calidad::SALEMB, &Calidad::SALEM, &Calidad::CURVTSALEM},
             {&Calidad::ZTEMB, &Calidad::ZTEM, &Calidad::CURVTZTEM}});
}

bool bajo_cero(double v) { return v < 0.0; }
bool cero_o_menos(double v) { return v <= 0.0; }
bool sobre_cien(double v) { return v > 100.0; }
bool fuera_de_0_1(double v) { return v < 0.0 || v > 1.0; }

// One range test of a series and its warning message.
struct Prueba {
  const Array2<double> Calidad::*serie;
  bool (*falla)(double);
  const char* mensaje;
  // The water temperature of reaches below 0: the one test whose month label
  // of the long curves ends in a blank.
  bool primera = false;
};

// Writes the three lines of one warning: the message, the element label with
// its name, the month label with the month of the run.
void avisar(Modelo& m, Curvas curvas, const Prueba& p, const char* etiqueta, const std::string& nombre, int t) {
  const char* mes = curvas == Curvas::Anuales ? "Mes hidrológico"
                    : p.primera               ? "Mes de la serie: "
                                              : "Mes de la serie:";
  m.log.write({p.mensaje});
  m.log.write({etiqueta, nombre});
  m.log.write({mes, t});
}

// For each element, one loop over the months of the run per pass; each pass
// makes its tests in turn at each month. So the warnings of one element come
// together, a pass after the other, in month order.
void revisar_por_prueba(Modelo& m, Curvas curvas, bool embalses, const std::vector<std::vector<Prueba>>& pasadas) {
  const int elementos = embalses ? m.red.NUMEMBALSES : m.red.NUMCONDUCCIONES;
  const int NT = 12 * m.red.NUMANYOS;
  const char* etiqueta = embalses ? "Embalse:" : "Conducción:";
  for (int e = 1; e <= elementos; ++e) {
    for (const std::vector<Prueba>& pruebas : pasadas) {
      for (int t = 1; t <= NT; ++t) {
        for (const Prueba& p : pruebas) {
          if (p.falla((m.cal.*p.serie)(e, t)))
            avisar(m, curvas, p, etiqueta, embalses ? m.red.NOMEMB(e) : m.red.NOMCONDUCC(e), t);
        }
      }
    }
  }
}

// One pass: for each element and month, the given tests in turn.
void revisar(Modelo& m, Curvas curvas, bool embalses, const std::vector<Prueba>& pruebas) {
  revisar_por_prueba(m, curvas, embalses, {pruebas});
}

// The range warnings of the series, in their fixed order.
void revisar_series(Modelo& m, Curvas curvas) {
  const Calidad& c = m.cal;
  const char* TEMPCOND = "La temperatura base de las conducciones debe ser un valor positivo";
  const char* TEMPEMB = "La temperatura base de los embalses debe ser un valor positivo";

  // Temperatures given as data: for each reach all months below 0, then all
  // months above 100; for each reservoir the same two passes, the epilimnion
  // and the hypolimnion tested together in each month.
  if (c.OPCIONTEMPERATURA == 0) {
    revisar_por_prueba(m, curvas, false,
                       {{{&Calidad::TCOND, bajo_cero, TEMPCOND, true}},
                        {{&Calidad::TCOND, sobre_cien, "Cuidado: el agua de la conducción está hirviendo"}}});
    revisar_por_prueba(m, curvas, true,
                       {{{&Calidad::TEPIL, bajo_cero, TEMPEMB},
                         {&Calidad::THIPOL, bajo_cero,
                          "La temperatura base del hipolimnion de los embalses debe ser un valor positivo"}},
                        {{&Calidad::TEPIL, sobre_cien, "Cuidado: el epilimnion está hirviendo (T>100ºC)"},
                         {&Calidad::THIPOL, sobre_cien, "Cuidado: el hipolimnion está hirviendo (T>100ºC)"}}});
  }
  // Equilibrium temperatures.
  if (c.OPCIONTEMPERATURA == 1 && c.MODELOTEMPERATURA == 1) {
    revisar(m, curvas, false, {{&Calidad::TECOND, bajo_cero, TEMPCOND}});
    revisar(m, curvas, true, {{&Calidad::TEEMB, bajo_cero, TEMPEMB}});
  }
  // Wind for reaeration.
  if (c.OPCIONOXIGENO == 1)
    revisar(m, curvas, true,
            {{&Calidad::UWEMB, bajo_cero, "La velocidad del viento de los embalses debe ser un valor positivo"}});
  // Light, photoperiod and the layer series with phytoplankton. The light
  // and photoperiod series exist only with the oxygen option as well
  // (phytoplankton without oxygen is refused by the validation): without it
  // their tests are passed over instead of reading series never built.
  // Without phytoplankton the shares of the inflows and outflows of the
  // epilimnion are tested alone, since every run with two layers splits its
  // flows by them.
  const char* ENTRADAS = "La proporción de entradas al epilimnión debe ser un valor entre 0 y 1";
  const char* SALIDAS = "La proporción de salidas del epilimnión debe ser un valor entre 0 y 1";
  if (c.OPCIONFITOPLANCTON == 1) {
    const bool luz = c.OPCIONOXIGENO == 1;
    std::vector<Prueba> conducciones;
    std::vector<Prueba> embalses;
    if (luz) {
      conducciones = {
          {&Calidad::IOCOND, cero_o_menos, "La intesidad lumínica de las conducciones debe ser superior a 0"},
          {&Calidad::FLUMCOND, bajo_cero, "El fotoperiodo de las conduccionesdebe ser un valor positivo"}};
      embalses = {{&Calidad::IOEMB, cero_o_menos, "La intesidad lumínica de los embalses debe ser superior a 0"},
                  {&Calidad::FLUMEMB, bajo_cero, "El fotoperiodo de los embalses debe ser un valor positivo"}};
    }
    embalses.push_back({&Calidad::EEMB, bajo_cero, "La dispersión entre capas del embalse debe ser un valor positivo"});
    embalses.push_back({&Calidad::ENTREMB, fuera_de_0_1, ENTRADAS});
    embalses.push_back({&Calidad::SALEMB, fuera_de_0_1, SALIDAS});
    // A depth below the surface: tested against 0 only, whatever the message says.
    embalses.push_back(
        {&Calidad::ZTEMB, bajo_cero, "La altura de la termoclina del embalse debe ser un valor entre 0 y 1"});
    if (!conducciones.empty()) revisar(m, curvas, false, conducciones);
    revisar(m, curvas, true, embalses);
  } else {
    revisar(m, curvas, true, {{&Calidad::ENTREMB, fuera_de_0_1, ENTRADAS}, {&Calidad::SALEMB, fuera_de_0_1, SALIDAS}});
  }
}

}  // namespace

// Builds the monthly input series from the base values and the 12-value time
// curves (VALORCURVASTEMP), the same factors in every year, and writes the
// range warnings with the label "Mes hidrológico". Reads the options, the
// counts, the names of reaches and reservoirs, the base values and curve
// numbers; writes only the series of the groups its options select and the
// run log.
void CURVASTEMPSUB(Modelo& m) {
  construir_series(m, Curvas::Anuales);
  revisar_series(m, Curvas::Anuales);
}

// The same from the long time curves of the advanced-options file
// (CURVASTEMPLARGAS, one factor per month of the run), overwriting the series
// of the 12-value curves; its warnings carry the label "Mes de la serie:".
void CURVASTEMPLARGASSUB(Modelo& m) {
  construir_series(m, Curvas::Largas);
  revisar_series(m, Curvas::Largas);
}

// A share of the inflows entering or of the outflows leaving the epilimnion
// outside 0 to 1 would give a layer a negative flow: the run stops, once the
// series in force are built and their warnings, which name the reservoir and
// the month, written.
void comprobar_proporciones_capas(const Modelo& m) {
  const Calidad& c = m.cal;
  const int NT = 12 * m.red.NUMANYOS;
  for (int e = 1; e <= m.red.NUMEMBALSES; ++e)
    for (int t = 1; t <= NT; ++t)
      if (fuera_de_0_1(c.ENTREMB(e, t)) || fuera_de_0_1(c.SALEMB(e, t))) stop("error");
}

}  // namespace tornal
