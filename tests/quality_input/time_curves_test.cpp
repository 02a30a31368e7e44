// The monthly input series from the 12-value and the long time curves, and
// their range warnings in the run log.
#include "quality_input/time_curves.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_util.h"

namespace {

using namespace tornal;

const double SIN = -999.0;  // a series value that no procedure wrote

struct Opciones {
  int T = 0;
  int MT = 0;
  int OD = 0;
  int F = 0;
};

enum Grupo { TDATO, TEQUI, BALANCE, VIENTO, LUZ, CAPAS };

bool activo(Grupo g, const Opciones& o) {
  switch (g) {
    case TDATO:
      return o.T == 0;
    case TEQUI:
      return o.T == 1 && o.MT == 1;
    case BALANCE:
      return o.T == 1 && o.MT == 2;
    case VIENTO:
      return o.OD == 1;
    case LUZ:
      return o.OD == 1 && o.F == 1;
    case CAPAS:
      return true;
  }
  return false;
}

// Whether the quality data reader creates the series of a group.
bool creada(Grupo g, const Opciones& o) {
  if (g == VIENTO) return o.OD == 1;
  if (g == LUZ) return o.OD == 1 && o.F == 1;
  return true;
}

struct FilaSerie {
  const char* nombre;
  Array2<double> Calidad::*serie;
  Array1<double> Calidad::*base;
  Array1<int> Calidad::*curva;
  bool embalse;
  Grupo grupo;
  double base_defecto;  // in range for every month
};

const FilaSerie SERIES[] = {
    {"TCOND", &Calidad::TCOND, &Calidad::TCON, &Calidad::CURVATCON, false, TDATO, 12},
    {"TEPIL", &Calidad::TEPIL, &Calidad::TEPI, &Calidad::CURVATEPI, true, TDATO, 14},
    {"THIPOL", &Calidad::THIPOL, &Calidad::THIPO, &Calidad::CURVATHIPO, true, TDATO, 8},
    {"TECOND", &Calidad::TECOND, &Calidad::TECON, &Calidad::CURVATECON, false, TEQUI, 13},
    {"TEEMB", &Calidad::TEEMB, &Calidad::TEEM, &Calidad::CURVATEEM, true, TEQUI, 15},
    {"TEEMBHIP", &Calidad::TEEMBHIP, &Calidad::TEHI, &Calidad::CURVATEHI, true, TEQUI, 2},
    {"HSWCOND", &Calidad::HSWCOND, &Calidad::HSWCON, &Calidad::CURHSWCON, false, BALANCE, 200},
    {"TAIRCOND", &Calidad::TAIRCOND, &Calidad::TAIRCON, &Calidad::CURTAIRCON, false, BALANCE, 16},
    {"HRCOND", &Calidad::HRCOND, &Calidad::HRCON, &Calidad::CURHRCON, false, BALANCE, 60},
    {"NUBCOND", &Calidad::NUBCOND, &Calidad::NUBCON, &Calidad::CURNUBCON, false, BALANCE, 0.4},
    {"VIENTOCOND", &Calidad::VIENTOCOND, &Calidad::VIENTOCON, &Calidad::CURVIENTOCON, false, BALANCE, 3},
    {"HSWEMB", &Calidad::HSWEMB, &Calidad::HSWEM, &Calidad::CURHSWEM, true, BALANCE, 210},
    {"TAIREMB", &Calidad::TAIREMB, &Calidad::TAIREM, &Calidad::CURTAIREM, true, BALANCE, 17},
    {"HREMB", &Calidad::HREMB, &Calidad::HREM, &Calidad::CURHREM, true, BALANCE, 65},
    {"NUBEMB", &Calidad::NUBEMB, &Calidad::NUBEM, &Calidad::CURNUBEM, true, BALANCE, 0.3},
    {"VIENTOEMB", &Calidad::VIENTOEMB, &Calidad::VIENTOEM, &Calidad::CURVIENTOEM, true, BALANCE, 2.5},
    {"UWEMB", &Calidad::UWEMB, &Calidad::UWEM, &Calidad::CURVAUWEM, true, VIENTO, 2},
    {"IOCOND", &Calidad::IOCOND, &Calidad::IOCON, &Calidad::CURVAIOCON, false, LUZ, 300},
    {"FLUMCOND", &Calidad::FLUMCOND, &Calidad::FLUMCON, &Calidad::CURVAFLUMCON, false, LUZ, 0.5},
    {"IOEMB", &Calidad::IOEMB, &Calidad::IOEM, &Calidad::CURVAIOEM, true, LUZ, 310},
    {"FLUMEMB", &Calidad::FLUMEMB, &Calidad::FLUMEM, &Calidad::CURVAFLUMEM, true, LUZ, 0.45},
    {"EEMB", &Calidad::EEMB, &Calidad::EEM, &Calidad::CURVAEEM, true, CAPAS, 0.1},
    {"ENTREMB", &Calidad::ENTREMB, &Calidad::ENTREM, &Calidad::CURVTENTREM, true, CAPAS, 0.5},
    {"SALEMB", &Calidad::SALEMB, &Calidad::SALEM, &Calidad::CURVTSALEM, true, CAPAS, 0.6},
    {"ZTEMB", &Calidad::ZTEMB, &Calidad::ZTEM, &Calidad::CURVTZTEM, true, CAPAS, 5},
};

// The test curves. 1: all 1. 2: the month number (12-value) or the month of
// the run (long). 3: -1 in December (12-value) or in month 15 of the run
// (long), 1 otherwise. 4: -1 in October, 10 in November, 1 otherwise, every
// year in both versions. 11 and on: a factor a little above 1 that differs
// from curve to curve and from month to month.
const int NUMCURVAS = 40;

double factor_anual(int c, int mes) {
  switch (c) {
    case 1:
      return 1.0;
    case 2:
      return mes;
    case 3:
      return mes == 3 ? -1.0 : 1.0;
    case 4:
      return mes == 1 ? -1.0 : mes == 2 ? 10.0 : 1.0;
    default:
      return 1.0 + (c - 10) / 64.0 + mes / 1024.0;
  }
}

double factor_largo(int c, int t) {
  switch (c) {
    case 1:
      return 1.0;
    case 2:
      return t;
    case 3:
      return t == 15 ? -1.0 : 1.0;
    case 4:
      return factor_anual(4, (t - 1) % 12 + 1);
    default:
      return 1.0 + (c - 10) / 64.0 + t / 1024.0;
  }
}

std::string nombre_cond(int e) { return padded("Tramo " + std::to_string(e), LONGNOMBRE); }
std::string nombre_emb(int e) { return padded("Embalse " + std::to_string(e), LONGNOMBRE); }

// A model of NR reaches, NE reservoirs and NA years whose arrays are sized as
// the quality data reader sizes them for the options: the base values and
// curve numbers of the groups that are on, in range, each series with its own
// curve; the series that the options create, preset to SIN. With `todas`,
// every series is created.
void preparar(Modelo& m, int NR, int NE, int NA, Opciones o, bool todas = false) {
  tornal_test::prepare(m);
  m.red.NUMCONDUCCIONES = NR;
  m.red.NUMEMBALSES = NE;
  m.red.NUMANYOS = NA;
  m.red.NOMCONDUCC.resize(NR);
  m.red.NOMEMB.resize(NE);
  for (int e = 1; e <= NR; ++e) m.red.NOMCONDUCC(e) = nombre_cond(e);
  for (int e = 1; e <= NE; ++e) m.red.NOMEMB(e) = nombre_emb(e);
  m.cal.OPCIONTEMPERATURA = o.T;
  m.cal.MODELOTEMPERATURA = o.MT;
  m.cal.OPCIONOXIGENO = o.OD;
  m.cal.OPCIONFITOPLANCTON = o.F;
  m.cal.NUMCURVASTEMP = NUMCURVAS;
  m.cal.VALORCURVASTEMP.resize(NUMCURVAS, 12);
  m.sim.NUMMESESTEMP = 12 * NA;
  m.sim.CURVASTEMPLARGAS.resize(NUMCURVAS, 12 * NA);
  for (int c = 1; c <= NUMCURVAS; ++c) {
    for (int mes = 1; mes <= 12; ++mes) m.cal.VALORCURVASTEMP(c, mes) = factor_anual(c, mes);
    for (int t = 1; t <= 12 * NA; ++t) m.sim.CURVASTEMPLARGAS(c, t) = factor_largo(c, t);
  }
  int i = 0;
  for (const FilaSerie& s : SERIES) {
    ++i;
    const int n = s.embalse ? NE : NR;
    if (todas || creada(s.grupo, o)) (m.cal.*s.serie).resize_filled(SIN, n, 12 * NA);
    if (!activo(s.grupo, o)) continue;
    (m.cal.*s.base).resize(n);
    (m.cal.*s.curva).resize(n);
    for (int e = 1; e <= n; ++e) {
      (m.cal.*s.base)(e) = s.base_defecto * (1.0 + e / 128.0);
      (m.cal.*s.curva)(e) = 10 + i;
    }
  }
}

// Base value and curve of element e of a series.
void poner(Modelo& m, Array1<double> Calidad::*base, Array1<int> Calidad::*curva, int e, double valor, int c) {
  (m.cal.*base)(e) = valor;
  (m.cal.*curva)(e) = c;
}

// The lines of one warning.
std::vector<std::string> aviso(const char* mensaje, const char* etiqueta, const std::string& nombre, const char* mes,
                               int t) {
  std::vector<std::string> out;
  for (const std::vector<std::string>& l :
       {free_format_lines({mensaje}), free_format_lines({etiqueta, nombre}), free_format_lines({mes, t})})
    out.insert(out.end(), l.begin(), l.end());
  return out;
}

void anadir(std::vector<std::string>& a, const std::vector<std::string>& b) { a.insert(a.end(), b.begin(), b.end()); }

const char* const TEMPCOND = "La temperatura base de las conducciones debe ser un valor positivo";
const char* const HIERVECOND = "Cuidado: el agua de la conducción está hirviendo";
const char* const TEMPEMB = "La temperatura base de los embalses debe ser un valor positivo";
const char* const TEMPHIPO = "La temperatura base del hipolimnion de los embalses debe ser un valor positivo";
const char* const HIERVEEPI = "Cuidado: el epilimnion está hirviendo (T>100ºC)";
const char* const HIERVEHIPO = "Cuidado: el hipolimnion está hirviendo (T>100ºC)";
const char* const VIENTO_NEG = "La velocidad del viento de los embalses debe ser un valor positivo";
const char* const LUZCOND = "La intesidad lumínica de las conducciones debe ser superior a 0";
const char* const FOTOCOND = "El fotoperiodo de las conduccionesdebe ser un valor positivo";
const char* const LUZEMB = "La intesidad lumínica de los embalses debe ser superior a 0";
const char* const FOTOEMB = "El fotoperiodo de los embalses debe ser un valor positivo";
const char* const DISPERSION = "La dispersión entre capas del embalse debe ser un valor positivo";
const char* const ENTRADAS = "La proporción de entradas al epilimnión debe ser un valor entre 0 y 1";
const char* const SALIDAS = "La proporción de salidas del epilimnión debe ser un valor entre 0 y 1";
const char* const TERMOCLINA = "La altura de la termoclina del embalse debe ser un valor entre 0 y 1";

TEST(CurvasTemp, TwelveValueCurvesRepeatEveryYear) {
  Modelo m;
  preparar(m, 1, 1, 3, {});
  poner(m, &Calidad::TCON, &Calidad::CURVATCON, 1, 5.0, 2);
  poner(m, &Calidad::EEM, &Calidad::CURVAEEM, 1, 0.01, 2);
  CURVASTEMPSUB(m);
  for (int t : {1, 13, 25}) {
    EXPECT_DOUBLE_EQ(m.cal.TCOND(1, t), 5.0 * m.cal.VALORCURVASTEMP(2, 1)) << t;
    EXPECT_DOUBLE_EQ(m.cal.EEMB(1, t), 0.01) << t;
  }
  for (int t = 1; t <= 36; ++t) EXPECT_DOUBLE_EQ(m.cal.TCOND(1, t), 5.0 * ((t - 1) % 12 + 1)) << t;
  EXPECT_DOUBLE_EQ(m.cal.EEMB(1, 36), 0.12);
  EXPECT_TRUE(m.log.lines().empty());
}

TEST(CurvasTemp, LongCurvesGiveColumnTAndOverwriteTheTwelveValueSeries) {
  Modelo m;
  preparar(m, 2, 1, 2, {});
  poner(m, &Calidad::TCON, &Calidad::CURVATCON, 2, 2.0, 2);
  poner(m, &Calidad::TEPI, &Calidad::CURVATEPI, 1, 3.0, 2);
  CURVASTEMPSUB(m);
  EXPECT_DOUBLE_EQ(m.cal.TCOND(2, 13), 2.0);
  CURVASTEMPLARGASSUB(m);
  for (int t = 1; t <= 24; ++t) {
    EXPECT_DOUBLE_EQ(m.cal.TCOND(2, t), 2.0 * t) << t;
    EXPECT_DOUBLE_EQ(m.cal.TEPIL(1, t), 3.0 * t) << t;
  }
  // Reach 1 keeps its own curve.
  EXPECT_DOUBLE_EQ(m.cal.TCOND(1, 20), m.cal.TCON(1) * m.sim.CURVASTEMPLARGAS(m.cal.CURVATCON(1), 20));
  EXPECT_TRUE(m.log.lines().empty());
}

// Which series each option set writes, each from its own base value and
// curve, element by element; the others keep what they held. In range data:
// no warning, and no test reads a series that was not written.
TEST(CurvasTemp, OptionsSelectTheSeriesWritten) {
  struct Caso {
    const char* nombre;
    Opciones o;
  };
  const Caso casos[] = {
      {"given temperature", {0, 0, 0, 0}},
      {"equilibrium temperature", {1, 1, 0, 0}},
      {"heat balance", {1, 2, 0, 0}},
      {"equilibrium and oxygen", {1, 1, 1, 0}},
      {"oxygen and phytoplankton", {0, 0, 1, 1}},
      {"heat balance, oxygen, phytoplankton", {1, 2, 1, 1}},
      {"temperature option 2", {2, 0, 1, 0}},
      {"temperature model 3", {1, 3, 0, 0}},
      {"phytoplankton without oxygen", {0, 0, 0, 1}},
  };
  for (const Caso& caso : casos) {
    for (bool largas : {false, true}) {
      SCOPED_TRACE(std::string(caso.nombre) + (largas ? ", long curves" : ", 12-value curves"));
      Modelo m;
      preparar(m, 2, 2, 2, caso.o, true);
      if (largas)
        CURVASTEMPLARGASSUB(m);
      else
        CURVASTEMPSUB(m);
      for (const FilaSerie& s : SERIES) {
        const Array2<double>& serie = m.cal.*s.serie;
        for (int e = 1; e <= 2; ++e) {
          for (int t = 1; t <= 24; ++t) {
            if (!activo(s.grupo, caso.o)) {
              ASSERT_EQ(serie(e, t), SIN) << s.nombre << " written";
              continue;
            }
            const int c = (m.cal.*s.curva)(e);
            const double f = largas ? factor_largo(c, t) : factor_anual(c, (t - 1) % 12 + 1);
            ASSERT_DOUBLE_EQ(serie(e, t), (m.cal.*s.base)(e)*f) << s.nombre << "(" << e << "," << t << ")";
          }
        }
      }
      EXPECT_EQ(tornal_test::log_lines(m), std::vector<std::string>());
    }
  }
}

// The limits of every check, one bad value of reach 1 or reservoir 1 with
// curve 1 and one year: 12 warnings or none.
TEST(CurvasTemp, RangeLimitsOfEveryCheck) {
  struct Caso {
    Opciones o;
    Array1<double> Calidad::*base;
    Array1<int> Calidad::*curva;
    double valor;
    const char* mensaje;  // nullptr: no warning
  };
  const Opciones T0{0, 0, 0, 0}, EQ{1, 1, 0, 0}, BAL{1, 2, 1, 1}, OD{0, 0, 1, 0}, FI{0, 0, 1, 1};
  const Caso casos[] = {
      {T0, &Calidad::TCON, &Calidad::CURVATCON, 100.0, nullptr},
      {T0, &Calidad::TCON, &Calidad::CURVATCON, 100.5, HIERVECOND},
      {T0, &Calidad::TCON, &Calidad::CURVATCON, 0.0, nullptr},
      {T0, &Calidad::TCON, &Calidad::CURVATCON, -0.5, TEMPCOND},
      {T0, &Calidad::TEPI, &Calidad::CURVATEPI, 100.0, nullptr},
      {T0, &Calidad::TEPI, &Calidad::CURVATEPI, 100.5, HIERVEEPI},
      {T0, &Calidad::TEPI, &Calidad::CURVATEPI, -1.0, TEMPEMB},
      {T0, &Calidad::THIPO, &Calidad::CURVATHIPO, 0.0, nullptr},
      {T0, &Calidad::THIPO, &Calidad::CURVATHIPO, 100.5, HIERVEHIPO},
      {T0, &Calidad::THIPO, &Calidad::CURVATHIPO, -1.0, TEMPHIPO},
      {EQ, &Calidad::TECON, &Calidad::CURVATECON, 0.0, nullptr},
      {EQ, &Calidad::TECON, &Calidad::CURVATECON, 150.0, nullptr},
      {EQ, &Calidad::TECON, &Calidad::CURVATECON, -1.0, TEMPCOND},
      {EQ, &Calidad::TEEM, &Calidad::CURVATEEM, -1.0, TEMPEMB},
      {EQ, &Calidad::TEHI, &Calidad::CURVATEHI, -1.0, nullptr},
      {BAL, &Calidad::HSWCON, &Calidad::CURHSWCON, -5.0, nullptr},
      {BAL, &Calidad::TAIRCON, &Calidad::CURTAIRCON, -5.0, nullptr},
      {BAL, &Calidad::VIENTOEM, &Calidad::CURVIENTOEM, -5.0, nullptr},
      {OD, &Calidad::UWEM, &Calidad::CURVAUWEM, 0.0, nullptr},
      {OD, &Calidad::UWEM, &Calidad::CURVAUWEM, -1.0, VIENTO_NEG},
      {FI, &Calidad::IOCON, &Calidad::CURVAIOCON, 0.0, LUZCOND},
      {FI, &Calidad::IOCON, &Calidad::CURVAIOCON, 0.001, nullptr},
      {FI, &Calidad::FLUMCON, &Calidad::CURVAFLUMCON, 0.0, nullptr},
      {FI, &Calidad::FLUMCON, &Calidad::CURVAFLUMCON, -0.1, FOTOCOND},
      {FI, &Calidad::IOEM, &Calidad::CURVAIOEM, 0.0, LUZEMB},
      {FI, &Calidad::FLUMEM, &Calidad::CURVAFLUMEM, -0.1, FOTOEMB},
      {FI, &Calidad::EEM, &Calidad::CURVAEEM, 0.0, nullptr},
      {FI, &Calidad::EEM, &Calidad::CURVAEEM, -1.0, DISPERSION},
      {FI, &Calidad::ENTREM, &Calidad::CURVTENTREM, 0.0, nullptr},
      {FI, &Calidad::ENTREM, &Calidad::CURVTENTREM, 1.0, nullptr},
      {FI, &Calidad::ENTREM, &Calidad::CURVTENTREM, 1.01, ENTRADAS},
      {FI, &Calidad::ENTREM, &Calidad::CURVTENTREM, -0.01, ENTRADAS},
      {FI, &Calidad::SALEM, &Calidad::CURVTSALEM, 0.0, nullptr},
      {FI, &Calidad::SALEM, &Calidad::CURVTSALEM, 1.0, nullptr},
      {FI, &Calidad::SALEM, &Calidad::CURVTSALEM, 1.01, SALIDAS},
      {FI, &Calidad::SALEM, &Calidad::CURVTSALEM, -0.01, SALIDAS},
      {FI, &Calidad::ZTEM, &Calidad::CURVTZTEM, 5.0, nullptr},
      {FI, &Calidad::ZTEM, &Calidad::CURVTZTEM, -1.0, TERMOCLINA},
      {OD, &Calidad::EEM, &Calidad::CURVAEEM, -1.0, nullptr},
      // The shares of the layer flows whatever the options.
      {OD, &Calidad::ENTREM, &Calidad::CURVTENTREM, 1.5, ENTRADAS},
      {OD, &Calidad::SALEM, &Calidad::CURVTSALEM, -1.0, SALIDAS},
      {T0, &Calidad::SALEM, &Calidad::CURVTSALEM, 1.0, nullptr},
      {OD, &Calidad::ZTEM, &Calidad::CURVTZTEM, -1.0, nullptr},
  };
  int fila = 0;
  for (const Caso& caso : casos) {
    SCOPED_TRACE("row " + std::to_string(++fila));
    Modelo m;
    preparar(m, 1, 1, 1, caso.o);
    poner(m, caso.base, caso.curva, 1, caso.valor, 1);
    CURVASTEMPSUB(m);
    const std::vector<std::string>& lineas = m.log.lines();
    if (!caso.mensaje) {
      EXPECT_TRUE(lineas.empty()) << lineas.front();
      continue;
    }
    const bool embalse = caso.base != &Calidad::TCON && caso.base != &Calidad::TECON && caso.base != &Calidad::IOCON &&
                         caso.base != &Calidad::FLUMCON;
    std::vector<std::string> esperadas;
    for (int t = 1; t <= 12; ++t)
      anadir(esperadas, aviso(caso.mensaje, embalse ? "Embalse:" : "Conducción:",
                              embalse ? nombre_emb(1) : nombre_cond(1), "Mes hidrológico", t));
    EXPECT_EQ(lineas, esperadas);
  }
}

// The month written is the month of the run, and the lines are written as
// they stand, the name at its 250 characters.
TEST(CurvasTemp, NegativeValueInDecemberOfYearTwoIsMonth15) {
  Modelo m;
  preparar(m, 1, 0, 2, {});
  poner(m, &Calidad::TCON, &Calidad::CURVATCON, 1, 7.0, 3);
  CURVASTEMPLARGASSUB(m);
  const std::string nombre = nombre_cond(1);
  const std::vector<std::string> esperadas = {
      " La temperatura base de las conducciones debe ser un valor positivo",
      " Conducci\xF3n:",
      " " + nombre.substr(0, 79),
      " " + nombre.substr(79, 79),
      " " + nombre.substr(158, 79),
      " " + nombre.substr(237),
      " Mes de la serie:           15",
  };
  EXPECT_EQ(m.log.lines(), esperadas);
  EXPECT_DOUBLE_EQ(m.cal.TCOND(1, 15), -7.0);

  // The 12-value curve is negative in both Decembers.
  Modelo a;
  preparar(a, 1, 0, 2, {});
  poner(a, &Calidad::TCON, &Calidad::CURVATCON, 1, 7.0, 3);
  CURVASTEMPSUB(a);
  const std::vector<std::string>& l = a.log.lines();
  ASSERT_EQ(l.size(), 14u);
  EXPECT_EQ(l[6], " Mes hidrol\xF3gico           3");
  EXPECT_EQ(l[13], " Mes hidrol\xF3gico          15");
}

// Every check that can warn, on two reaches and one reservoir over two years:
// the warnings in their order (element by element, a reach's months below 0
// before its months above 100, the reservoir tests of one month together),
// first from the 12-value curves, then from the long curves, whose month
// label ends in a blank only after the water temperature of reaches below 0.
TEST(CurvasTemp, OrderOfTheWarningsAndTheMonthLabels) {
  Modelo m;
  preparar(m, 2, 1, 2, {0, 0, 1, 1});
  poner(m, &Calidad::TCON, &Calidad::CURVATCON, 1, 20.0, 4);  // -20 in October, 200 in November
  poner(m, &Calidad::TCON, &Calidad::CURVATCON, 2, -1.0, 1);  // below 0 in every month
  poner(m, &Calidad::TEPI, &Calidad::CURVATEPI, 1, 20.0, 4);
  poner(m, &Calidad::THIPO, &Calidad::CURVATHIPO, 1, 20.0, 4);
  poner(m, &Calidad::UWEM, &Calidad::CURVAUWEM, 1, 1.0, 4);
  poner(m, &Calidad::IOCON, &Calidad::CURVAIOCON, 1, 100.0, 4);
  poner(m, &Calidad::FLUMCON, &Calidad::CURVAFLUMCON, 1, 0.5, 4);
  poner(m, &Calidad::IOEM, &Calidad::CURVAIOEM, 1, 10.0, 4);
  poner(m, &Calidad::FLUMEM, &Calidad::CURVAFLUMEM, 1, 0.5, 4);
  poner(m, &Calidad::EEM, &Calidad::CURVAEEM, 1, 0.1, 4);
  poner(m, &Calidad::ENTREM, &Calidad::CURVTENTREM, 1, 0.5, 4);  // -0.5 in October, 5 in November
  poner(m, &Calidad::SALEM, &Calidad::CURVTSALEM, 1, 0.5, 4);
  poner(m, &Calidad::ZTEM, &Calidad::CURVTZTEM, 1, 1.0, 4);

  auto esperadas = [](bool largas) {
    const char* mes = largas ? "Mes de la serie:" : "Mes hidrológico";
    const char* primera = largas ? "Mes de la serie: " : "Mes hidrológico";
    const std::string r1 = nombre_cond(1), r2 = nombre_cond(2), e1 = nombre_emb(1);
    std::vector<std::string> v;
    for (int t : {1, 13}) anadir(v, aviso(TEMPCOND, "Conducción:", r1, primera, t));
    for (int t : {2, 14}) anadir(v, aviso(HIERVECOND, "Conducción:", r1, mes, t));
    for (int t = 1; t <= 24; ++t) anadir(v, aviso(TEMPCOND, "Conducción:", r2, primera, t));
    for (int t : {1, 13}) {
      anadir(v, aviso(TEMPEMB, "Embalse:", e1, mes, t));
      anadir(v, aviso(TEMPHIPO, "Embalse:", e1, mes, t));
    }
    for (int t : {2, 14}) {
      anadir(v, aviso(HIERVEEPI, "Embalse:", e1, mes, t));
      anadir(v, aviso(HIERVEHIPO, "Embalse:", e1, mes, t));
    }
    for (int t : {1, 13}) anadir(v, aviso(VIENTO_NEG, "Embalse:", e1, mes, t));
    for (int t : {1, 13}) {
      anadir(v, aviso(LUZCOND, "Conducción:", r1, mes, t));
      anadir(v, aviso(FOTOCOND, "Conducción:", r1, mes, t));
    }
    for (int t : {1, 2, 13, 14}) {
      const bool octubre = t == 1 || t == 13;
      if (octubre) {
        anadir(v, aviso(LUZEMB, "Embalse:", e1, mes, t));
        anadir(v, aviso(FOTOEMB, "Embalse:", e1, mes, t));
        anadir(v, aviso(DISPERSION, "Embalse:", e1, mes, t));
      }
      anadir(v, aviso(ENTRADAS, "Embalse:", e1, mes, t));
      anadir(v, aviso(SALIDAS, "Embalse:", e1, mes, t));
      if (octubre) anadir(v, aviso(TERMOCLINA, "Embalse:", e1, mes, t));
    }
    return v;
  };

  CURVASTEMPSUB(m);
  std::vector<std::string> todas = esperadas(false);
  EXPECT_EQ(m.log.lines(), todas);
  // A value bad in both versions is reported by each.
  CURVASTEMPLARGASSUB(m);
  anadir(todas, esperadas(true));
  EXPECT_EQ(m.log.lines(), todas);
}

// The equilibrium temperature of reaches shares its message with the given
// water temperature, not its month label.
TEST(CurvasTemp, EquilibriumTemperatureOfReachesTakesTheShortLabel) {
  Modelo m;
  preparar(m, 1, 1, 1, {1, 1, 0, 0});
  poner(m, &Calidad::TECON, &Calidad::CURVATECON, 1, 10.0, 4);
  poner(m, &Calidad::TEEM, &Calidad::CURVATEEM, 1, 10.0, 4);
  CURVASTEMPLARGASSUB(m);
  std::vector<std::string> v = aviso(TEMPCOND, "Conducción:", nombre_cond(1), "Mes de la serie:", 1);
  anadir(v, aviso(TEMPEMB, "Embalse:", nombre_emb(1), "Mes de la serie:", 1));
  EXPECT_EQ(m.log.lines(), v);
  EXPECT_EQ(m.log.lines()[6], " Mes de la serie:" + std::string(11, ' ') + "1");
}

// Without phytoplankton the layer series are built from their curves, and
// of them only the shares of the flows of the epilimnion are checked.
TEST(CurvasTemp, LayerSeriesWithoutPhytoplanktonCheckOnlyTheShares) {
  Modelo m;
  preparar(m, 0, 1, 1, {0, 0, 1, 0});
  poner(m, &Calidad::EEM, &Calidad::CURVAEEM, 1, -1.0, 2);
  poner(m, &Calidad::ENTREM, &Calidad::CURVTENTREM, 1, 1.5, 1);
  poner(m, &Calidad::SALEM, &Calidad::CURVTSALEM, 1, -0.5, 1);
  poner(m, &Calidad::ZTEM, &Calidad::CURVTZTEM, 1, -3.0, 1);
  CURVASTEMPSUB(m);
  EXPECT_DOUBLE_EQ(m.cal.EEMB(1, 12), -12.0);
  EXPECT_DOUBLE_EQ(m.cal.ENTREMB(1, 1), 1.5);
  EXPECT_DOUBLE_EQ(m.cal.SALEMB(1, 5), -0.5);
  EXPECT_DOUBLE_EQ(m.cal.ZTEMB(1, 12), -3.0);
  std::vector<std::string> esperadas;
  for (int t = 1; t <= 12; ++t) {
    anadir(esperadas, aviso(ENTRADAS, "Embalse:", nombre_emb(1), "Mes hidrológico", t));
    anadir(esperadas, aviso(SALIDAS, "Embalse:", nombre_emb(1), "Mes hidrológico", t));
  }
  EXPECT_EQ(m.log.lines(), esperadas);
  // A layer exchange of -1 is still a negative value with phytoplankton.
  Modelo f;
  preparar(f, 0, 1, 1, {0, 0, 1, 1});
  poner(f, &Calidad::EEM, &Calidad::CURVAEEM, 1, -1.0, 1);
  CURVASTEMPSUB(f);
  EXPECT_EQ(f.log.lines().size(), 12 * aviso(DISPERSION, "Embalse:", nombre_emb(1), "Mes hidrológico", 1).size());
}

// A share of the flows of the epilimnion outside 0 to 1 in the series in
// force stops the run, whatever the options: the long curves when they are
// read, the 12-value curves otherwise. Curve 2 gives 0.05 x 12 at most in a
// year and 0.05 x 24 over the two years of the run; curve 4 gives -1 in
// October, unless its long curve is set to 1.
TEST(CurvasTemp, SharesOutOfRangeInForceStopTheRun) {
  struct Caso {
    const char* que;
    Opciones o;
    Array1<double> Calidad::*base;
    Array1<int> Calidad::*curva;
    double valor;
    int c;
    bool largas;
    bool para;
  };
  const Caso casos[] = {
      {"inflows 1.5 without phytoplankton", {0, 0, 1, 0}, &Calidad::ENTREM, &Calidad::CURVTENTREM, 1.5, 1, false, true},
      {"outflows -0.1 with phytoplankton", {0, 0, 1, 1}, &Calidad::SALEM, &Calidad::CURVTSALEM, -0.1, 1, false, true},
      {"curve 2 over a year: within 0 and 1", {}, &Calidad::SALEM, &Calidad::CURVTSALEM, 0.05, 2, false, false},
      {"out in the long curves", {}, &Calidad::SALEM, &Calidad::CURVTSALEM, 0.05, 2, true, true},
      {"out in the 12-value curves alone", {}, &Calidad::ENTREM, &Calidad::CURVTENTREM, 0.5, 4, true, false},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.que);
    Modelo m;
    preparar(m, 1, 1, 2, c.o);
    poner(m, c.base, c.curva, 1, c.valor, c.c);
    for (int t = 1; t <= 24; ++t) m.sim.CURVASTEMPLARGAS(4, t) = 1.0;
    CURVASTEMPSUB(m);
    if (c.largas) CURVASTEMPLARGASSUB(m);
    EXPECT_EQ(tornal_test::stop_message([&] { comprobar_proporciones_capas(m); }), c.para ? "error" : "");
  }
}

// Basins without reservoirs or without reaches: the arrays of the missing
// kind are empty and never touched.
TEST(CurvasTemp, BasinWithOneKindOfElementOnly) {
  for (bool sin_embalses : {true, false}) {
    SCOPED_TRACE(sin_embalses ? "no reservoirs" : "no reaches");
    Modelo m;
    preparar(m, sin_embalses ? 2 : 0, sin_embalses ? 0 : 2, 1, {0, 0, 1, 1});
    if (sin_embalses)
      poner(m, &Calidad::TCON, &Calidad::CURVATCON, 2, -1.0, 1);
    else
      poner(m, &Calidad::TEPI, &Calidad::CURVATEPI, 2, -1.0, 1);
    CURVASTEMPSUB(m);
    CURVASTEMPLARGASSUB(m);
    const std::vector<std::string> l = tornal_test::log_lines(m);
    ASSERT_FALSE(l.empty());
    EXPECT_EQ(l.front(), latin1(sin_embalses ? TEMPCOND : TEMPEMB));
    if (sin_embalses) {
      EXPECT_DOUBLE_EQ(m.cal.TCOND(2, 12), -1.0);
      EXPECT_DOUBLE_EQ(m.cal.IOCOND(1, 1), m.cal.IOCON(1) * factor_largo(m.cal.CURVAIOCON(1), 1));
    } else {
      EXPECT_DOUBLE_EQ(m.cal.TEPIL(2, 12), -1.0);
      EXPECT_DOUBLE_EQ(m.cal.ZTEMB(1, 1), m.cal.ZTEM(1) * factor_largo(m.cal.CURVTZTEM(1), 1));
    }
  }
}

// A curve number that escaped the reader's check stops the run in the
// checked arrays of the curves instead of reading outside them.
TEST(CurvasTemp, CurveNumberOutOfRangeStopsInsteadOfReadingOutside) {
  for (int c : {0, NUMCURVAS + 1}) {
    Modelo m;
    preparar(m, 1, 1, 1, {});
    poner(m, &Calidad::EEM, &Calidad::CURVAEEM, 1, 0.1, c);
    EXPECT_NE(tornal_test::stop_message([&] { CURVASTEMPSUB(m); }).find("VALORCURVASTEMP"), std::string::npos);
    EXPECT_NE(tornal_test::stop_message([&] { CURVASTEMPLARGASSUB(m); }).find("CURVASTEMPLARGAS"), std::string::npos);
  }
}

}  // namespace
