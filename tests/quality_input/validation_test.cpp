// Validation of the quality parameters on hand-built basins: the exact
// warnings, their order and element labels, the options that gate each
// group (arrays of an option that is off are never touched), and the stops
// that follow the warnings.
#include "quality_input/validation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "common/free_writer.h"
#include "common/latin1.h"
#include "quality_input/kinetic_constants.h"
#include "test_util.h"

namespace {

using tornal::Calidad;
using tornal::ConstanteCinetica;
using tornal::Cota;
using tornal::LONGNOMBRE;
using tornal::Modelo;
using Lineas = std::vector<std::string>;

constexpr double NAN_ = std::numeric_limits<double>::quiet_NaN();

struct Opciones {
  int OT = 0, N1 = 0, OX = 0, ON = 0, OF = 0, MT = 0;
};

const Opciones TODAS{0, 0, 1, 1, 1, 0};

struct Cuenta {
  int NC = 2, NE = 1, NACU = 0, NR = 0, NTF = 0, NVD = 0;
};

std::string nombre(const std::string& utf8_text) { return tornal::padded(tornal::latin1(utf8_text), LONGNOMBRE); }
std::string tramo(int i) { return nombre("Río " + std::to_string(i)); }
std::string embalse(int e) { return nombre("Embalse " + std::to_string(e)); }

// A basin whose quality data pass every check, with exactly the arrays that
// the quality data file reader sizes for these options and counts.
void cuenca(Modelo& m, Opciones o, Cuenta n = {}) {
  tornal_test::prepare(m);
  tornal::Red& red = m.red;
  Calidad& cal = m.cal;
  red.NUMCONDUCCIONES = n.NC;
  red.NUMEMBALSES = n.NE;
  red.NUMACUIFEROS = n.NACU;
  red.NUMRETORNOS = n.NR;
  red.NUMTOMASFIS = n.NTF;
  red.NUMTOMAS = n.NTF;
  red.NOMCONDUCC.resize(n.NC);
  for (int i = 1; i <= n.NC; ++i) red.NOMCONDUCC(i) = tramo(i);
  red.NOMEMB.resize(n.NE);
  for (int e = 1; e <= n.NE; ++e) red.NOMEMB(e) = embalse(e);
  red.NOMACU.resize(n.NACU);
  for (int a = 1; a <= n.NACU; ++a) red.NOMACU(a) = nombre("Acuífero " + std::to_string(a));
  red.NOMRET.resize(n.NR);
  for (int r = 1; r <= n.NR; ++r) red.NOMRET(r) = nombre("Retorno " + std::to_string(r));
  red.NOMTOMA.resize(n.NTF);
  for (int t = 1; t <= n.NTF; ++t) red.NOMTOMA(t) = nombre("Toma " + std::to_string(t));

  cal.OPCIONTEMPERATURA = o.OT;
  cal.NUMCONT1OR = o.N1;
  cal.OPCIONOXIGENO = o.OX;
  cal.OPCIONNITROGENO = o.ON;
  cal.OPCIONFITOPLANCTON = o.OF;
  cal.MODELOTEMPERATURA = o.OT == 0 ? 0 : o.MT;
  cal.NUMCONTAMINANTES = o.OT + o.N1 + 2 * o.OX + 3 * (o.ON + o.OF);
  const int N = std::max(0, cal.NUMCONTAMINANTES);

  cal.INRESCOND.resize_filled(1, n.NC);
  cal.ECOND.resize(n.NC);
  cal.LCOND.resize_filled(1000.0, n.NC);
  cal.INCRX.resize_filled(100.0, n.NC);
  cal.TIPOHID.resize_filled(1, n.NC);
  cal.COEFTESHIDR.resize(n.NC, 6);
  // A Manning channel: roughness, bottom width, bed slope, side slope.
  const double canal[] = {0.03, 10.0, 0.001, 1.0};
  for (int i = 1; i <= n.NC; ++i)
    for (int k = 1; k <= 4; ++k) cal.COEFTESHIDR(i, k) = canal[k - 1];
  cal.PORCENTVO.resize_filled(0.5, n.NE);
  cal.INCRETIEM.resize_filled(10.0, n.NE);

  if (o.OT == 0 || (o.OT == 1 && o.MT == 1)) {
    cal.KETCOND.resize(n.NC);
    cal.KETEMB.resize(n.NE);
  }
  if (o.N1 > 0) cal.TECTAK1OR.resize_filled(1.047, o.N1);
  // The kinetic constants of the options, each at a value that passes.
  tornal::dimensionar_cineticas(cal, n.NC, n.NE, 0);
  for (const ConstanteCinetica& k : tornal::CONSTANTESCINETICAS)
    if (k.cota == Cota::NOPOSITIVO && tornal::grupo_activo(cal, k.grupo)) {
      (cal.*k.COND.valor).fill(100.0);
      (cal.*k.EMB.valor).fill(100.0);
    }
  cal.NUMVERTDIF = n.NVD;
  cal.NUMCONDUCVERTDIF.resize(n.NVD);
  cal.SDVERTDIF.resize(n.NVD, N);
  if (n.NACU > 0) cal.COACU.resize(n.NACU, N);
  if (n.NE > 0) {
    cal.COEMB.resize(n.NE, N);
    cal.COEMB2.resize(n.NE, N);
  }
  cal.RETORNODEPU.resize(n.NR, N);
  cal.TOMADEPU.resize(n.NTF, N);
}

// The validation's stop message ("" when it goes on).
std::string validar(Modelo& m) {
  return tornal_test::stop_message([&] { tornal::validar_calidad(m); });
}

// Expected log lines, without the leading blank of each statement.
Lineas statement(std::initializer_list<tornal::FreeItem> items) {
  Lineas out;
  for (const std::string& l : tornal::free_format_lines(items)) out.push_back(l.substr(1));
  return out;
}
Lineas linea(const char* mensaje) { return statement({mensaje}); }
Lineas aviso(const char* mensaje, const char* etiqueta, const std::string& nombre_elemento) {
  Lineas l = linea(mensaje);
  for (const std::string& s : statement({etiqueta, nombre_elemento})) l.push_back(s);
  return l;
}
Lineas aviso(const char* mensaje, const char* etiqueta, int numero) {
  Lineas l = linea(mensaje);
  for (const std::string& s : statement({etiqueta, numero})) l.push_back(s);
  return l;
}
Lineas en_tramo(const char* mensaje, int i) { return aviso(mensaje, "Conducción:", tramo(i)); }
Lineas en_embalse(const char* mensaje, int e) { return aviso(mensaje, "Embalse:", embalse(e)); }
Lineas operator+(Lineas a, const Lineas& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// Messages.
const char* M_1_1 = "La opción de la simulación de la temperatura debe ser 0, 1 ó 2";
const char* M_1_2 = "El número de contaminantes de primer orden no puede ser negativo";
const char* M_1_3 = "La opción de la simulación del oxígeno disuelto debe ser 0 ó 1";
const char* M_1_4 = "La opción de la simulación del ciclo del nitrógeno debe ser 0 ó 1";
const char* M_1_5 = "La opción de la simulación del fitoplancton debe ser 0 ó 1";
const char* M_1_6 = "Si la opción de la simulación del fitoplancton es 1 la del ciclo del nitrógeno también debe ser 1";
const char* M_1_7 =
    "Si la opción de la simulación del ciclo del nitrógeno es 1 la del oxígeno disuelto también debe ser 1";
const char* M_MT = "El modelo de temperatura debe ser 1 ó 2";
const char* M_INCOHERENTES = "Las opciones de simulación son incoherentes";
const char* M_KET = "La constante de atenuación lumínica debe ser un número positivo";
const char* M_K1OR =
    "La constante de correción por temperatura de los contaminantes de primer orden debe ser un número positivo";
const char* M_4_1 = "La constante de reaireación debe ser -1 o un valor positivo";
const char* M_4_2 = "La constante de degradación de la materia orgánica debe ser un valor positivo";
const char* M_4_8 = "La constante de crecimiento del fitoplancton debe ser un valor positivo";
const char* M_4_4 = "La constante de degradación del nitrógeno orgánico debe ser un valor positivo";
const char* M_4_15 = "La Intensidad de saturación lumínica debe ser un valor mayor que cero";
const char* M_6_1 = "La dispersión de las conducciones debe ser un valor positivo";
const char* M_6_2 = "La longitud de las conducciones debe ser un valor positivo";
const char* M_6_3 = "el diferencial de cálculo las conducciones debe ser un valor positivo";
const char* M_6_4 = "El modo de estimación hidráulica sólo puede valer 1 ó 2";
const char* M_6_5 = "Los coeficientes hidráulicos de las conducciones deben ser un valor positivo";
const char* M_6_9 = "El diferencial de cálculo dno puede ser superior a la longitud del tramo";
const char* M_6_10 =
    "El número de diferenciales, definido por el cociente entre la longitud y el diferencial, debe ser superior a 5";
const char* M_7_1 = "el porcentaje inicial de epilimnion debe ser un valor positivo";
const char* M_7_2 = "el diferencial de calculo debe ser un valor positivo";
const char* M_7_3 = "el diferencial de calculo es muy bajo";
const char* M_8 = "El valor de contaminación difusa debe ser un valor positivo";
const char* M_9_1 = "La concentración inicial de los embalses deben ser un valor positivo";
const char* M_9_2 = "La concentración inicial del hipolimnion de los embalses deben ser un valor positivo";
const char* M_9_3 = "La concentración inicial de los acuíferos deben ser un valor positivo";
const char* M_9_4 = "La concentración de depuración debe ser -1 o un valor positivo";
const char* M_STOP_COND = "El diferencial de cálculo de la conducción debe ser mayor que cero";
const char* M_STOP_EMB = "El diferencial de cálculo del embalse debe ser al menos 1";
const char* M_SECCION = "El ancho de fondo y el talud de las conducciones no pueden valer ambos 0";

TEST(Validacion, ValidDataWithEveryOptionOnWritesNothing) {
  for (Opciones o : {TODAS, Opciones{1, 2, 1, 1, 1, 1}, Opciones{1, 1, 1, 0, 0, 2}, Opciones{}}) {
    Modelo m;
    cuenca(m, o, {3, 2, 1, 1, 1, 1});
    EXPECT_EQ(validar(m), "");
    EXPECT_EQ(tornal_test::log_lines(m), Lineas{});
  }
}

// Option warnings are the message line alone, in their order; every one of
// them makes the options inconsistent and the run stops after the warnings.
TEST(ValidacionOpciones, WarningsInOrderThenInconsistentLineAndStop) {
  struct Caso {
    Opciones o;
    std::vector<const char*> mensajes;
  };
  const std::vector<Caso> casos = {
      {{0, 0, 0, 0, 1, 0}, {M_1_6}},  // nitrogen option not 1: 1.7 does not apply
      {{0, 0, 0, 1, 0, 0}, {M_1_7}},
      {{2, 0, 0, 0, 0, 0}, {M_1_1}},
      {{-1, 0, 1, 0, 0, 0}, {M_1_1}},
      {{0, -1, 0, 0, 0, 0}, {M_1_2}},
      {{0, 0, 2, 0, 0, 0}, {M_1_3}},
      {{0, 0, 1, 3, 0, 0}, {M_1_4}},
      {{0, 0, 1, 1, -1, 0}, {M_1_5}},
      {{1, 0, 0, 0, 0, 3}, {M_MT}},
      {{1, 0, 0, 0, 0, 0}, {M_MT}},
      {{2, -1, 2, 1, 1, 0}, {M_1_1, M_1_2, M_1_3, M_1_7}},
      {{1, 0, 0, 2, 1, 0}, {M_1_4, M_1_6, M_MT}},
  };
  for (const Caso& c : casos) {
    Modelo m;
    cuenca(m, c.o, {1, 1});
    Lineas esperadas;
    for (const char* msg : c.mensajes) esperadas = esperadas + linea(msg);
    esperadas = esperadas + linea(M_INCOHERENTES);
    EXPECT_EQ(validar(m), "error") << c.mensajes.front();
    EXPECT_EQ(tornal_test::log_lines(m), esperadas) << c.mensajes.front();
  }
}

TEST(ValidacionOpciones, TemperatureModelIsCheckedOnlyWhenTemperatureIsModelled) {
  for (int mt : {1, 2}) {
    Modelo m;
    cuenca(m, {1, 0, 0, 0, 0, mt});
    EXPECT_EQ(validar(m), "");
    EXPECT_EQ(tornal_test::log_lines(m), Lineas{});
  }
  Modelo m;
  cuenca(m, {0, 0, 0, 0, 0, 0});
  m.cal.MODELOTEMPERATURA = 7;  // ignored with the temperature given as data
  EXPECT_EQ(validar(m), "");
  EXPECT_EQ(tornal_test::log_lines(m), Lineas{});
}

// Nitrogen without oxygen: the kinetic constants are neither read nor
// sized, so none of their checks may run (a touched array would stop the
// run with its name instead of "error").
TEST(ValidacionOpciones, NitrogenWithoutOxygenSkipsKineticGroups) {
  Modelo m;
  cuenca(m, {0, 0, 0, 1, 0, 0}, {2, 2});
  ASSERT_TRUE(m.cal.KACOND.empty());
  EXPECT_EQ(validar(m), "error");
  EXPECT_EQ(tornal_test::log_lines(m), linea(M_1_7) + linea(M_INCOHERENTES));
}

// Phytoplankton without nitrogen: 1.6 is written, and the phytoplankton
// rows still run on their own option (the nitrogen arrays do not exist).
TEST(ValidacionOpciones, PhytoplanktonRowsRunDespiteInconsistentNitrogen) {
  Modelo m;
  cuenca(m, {0, 0, 1, 0, 1, 0}, {1, 1});
  m.cal.KMAXGROWCOND(1) = -0.1;
  m.cal.KMAXGROWEMB(1) = -0.1;
  EXPECT_EQ(validar(m), "error");
  EXPECT_EQ(tornal_test::log_lines(m),
            linea(M_1_6) + en_tramo(M_4_8, 1) + en_embalse(M_4_8, 1) + linea(M_INCOHERENTES));
}

TEST(ValidacionTemperatura, HeatExchangeCheckedOnlyForEquilibriumModel) {
  Modelo m;
  cuenca(m, {1, 0, 0, 0, 0, 1}, {3, 2});
  m.cal.KETCOND(2) = -0.5;
  m.cal.KETCOND(3) = 0.0;
  m.cal.KETEMB(2) = -1.0;
  EXPECT_EQ(validar(m), "");
  EXPECT_EQ(tornal_test::log_lines(m), en_tramo(M_KET, 2) + en_embalse(M_KET, 2));

  Modelo datos;  // temperature given as data: the same constants pass
  cuenca(datos, {0, 0, 0, 0, 0, 0}, {3, 2});
  datos.cal.KETCOND(2) = -0.5;
  datos.cal.KETEMB(2) = -1.0;
  EXPECT_EQ(validar(datos), "");
  EXPECT_EQ(tornal_test::log_lines(datos), Lineas{});

  Modelo balance;  // heat balance: no exchange constants at all
  cuenca(balance, {1, 0, 0, 0, 0, 2}, {3, 2});
  ASSERT_TRUE(balance.cal.KETCOND.empty());
  EXPECT_EQ(validar(balance), "");
  EXPECT_EQ(tornal_test::log_lines(balance), Lineas{});
}

// A theta of 0 or below makes the rate k theta^(T - 20) infinite below
// 20 degC (0) or not a number (below 0): its warning, labelled by the
// pollutant's position, and the stop after all warnings.
TEST(ValidacionPrimerOrden, ThetaOfZeroOrBelowWarnsAndStops) {
  struct Caso {
    double theta;
    bool para;
  };
  for (const Caso& c : {Caso{-1.0, true}, Caso{0.0, true}, Caso{NAN_, true}, Caso{1e-9, false}, Caso{1.0, false}}) {
    SCOPED_TRACE(c.theta);
    Modelo m;
    cuenca(m, {0, 3, 0, 0, 0, 0});
    m.cal.TECTAK1OR(2) = c.theta;
    EXPECT_EQ(validar(m), c.para ? "error" : "");
    EXPECT_EQ(tornal_test::log_lines(m), c.para ? aviso(M_K1OR, "Contaminante de primer orden", 2) : Lineas{});
  }
}

// Values that fail each bound of the kinetic constants (-1 selects a formula
// of the models, and still warns below 0), and the bound itself, which
// passes.
struct Limite {
  std::vector<double> fallan;
  double pasa;
};
Limite limite(Cota cota) {
  switch (cota) {
    case Cota::MENORQUEMENOSUNO:
      return {{-1.5, -1e9}, -1.0};
    case Cota::NEGATIVO:
      return {{-0.01, -1.0}, 0.0};
    case Cota::NOPOSITIVO:
      return {{0.0, -1.0}, 1e-9};
    case Cota::NINGUNA:
      break;
  }
  return {{}, 0.0};
}

// Every checked constant of the table on reach 2 and on its reservoir twin:
// each failing value warns with the constant's message, the bound passes.
TEST(ValidacionCineticas, EachCheckedConstantOnReachesAndReservoirs) {
  int comprobadas = 0;
  for (const ConstanteCinetica& k : tornal::CONSTANTESCINETICAS) {
    if (k.cota == Cota::NINGUNA) continue;
    ++comprobadas;
    const Limite l = limite(k.cota);
    for (double falla : l.fallan) {
      SCOPED_TRACE(std::string(k.mensaje) + " " + std::to_string(falla));
      Modelo m;
      cuenca(m, TODAS, {2, 2});
      (m.cal.*k.COND.valor)(2) = falla;
      (m.cal.*k.COND.valor)(1) = l.pasa;
      (m.cal.*k.EMB.valor)(2) = falla;
      (m.cal.*k.EMB.valor)(1) = l.pasa;
      EXPECT_EQ(validar(m), "");
      EXPECT_EQ(tornal_test::log_lines(m), en_tramo(k.mensaje, 2) + en_embalse(k.mensaje, 2));
    }
  }
  EXPECT_GE(comprobadas, 16);
}

// Every checked constant failing at once: each reach's warnings in the order
// of the table, then each reservoir's.
TEST(ValidacionCineticas, AllFailingWarnInTableOrder) {
  Modelo m;
  cuenca(m, TODAS, {2, 1});
  Lineas esperadas;
  for (int i = 1; i <= 2; ++i)
    for (const ConstanteCinetica& k : tornal::CONSTANTESCINETICAS)
      if (k.cota != Cota::NINGUNA) {
        (m.cal.*k.COND.valor)(i) = limite(k.cota).fallan.front();
        esperadas = esperadas + en_tramo(k.mensaje, i);
      }
  for (const ConstanteCinetica& k : tornal::CONSTANTESCINETICAS)
    if (k.cota != Cota::NINGUNA) {
      (m.cal.*k.EMB.valor)(1) = limite(k.cota).fallan.front();
      esperadas = esperadas + en_embalse(k.mensaje, 1);
    }
  EXPECT_EQ(validar(m), "");
  EXPECT_EQ(tornal_test::log_lines(m), esperadas);
}

TEST(ValidacionCineticas, ReaerationMinusOneAndBetweenPass) {
  Modelo m;
  cuenca(m, TODAS, {3, 0});
  m.cal.KACOND(1) = -1.0;
  m.cal.KACOND(2) = -0.5;
  m.cal.KACOND(3) = -1.5;
  m.cal.KECOND(1) = 0.0;
  m.cal.ISATCOND(2) = 0.0;
  EXPECT_EQ(validar(m), "");
  EXPECT_EQ(tornal_test::log_lines(m), en_tramo(M_4_15, 2) + en_tramo(M_4_1, 3));
}

// One reach's rows in order before the next reach; reaches before reservoirs.
TEST(ValidacionCineticas, ElementByElementInRowOrder) {
  Modelo m;
  cuenca(m, TODAS, {2, 1});
  m.cal.ISATCOND(1) = -1.0;
  m.cal.KNOACOND(1) = -1.0;
  m.cal.KACOND(1) = -2.0;
  m.cal.KDCOND(2) = -1.0;
  m.cal.KAEMB(1) = -3.0;
  EXPECT_EQ(validar(m), "");
  EXPECT_EQ(tornal_test::log_lines(m),
            en_tramo(M_4_1, 1) + en_tramo(M_4_4, 1) + en_tramo(M_4_15, 1) + en_tramo(M_4_2, 2) + en_embalse(M_4_1, 1));
}

TEST(ValidacionCineticas, OnlyTheGroupsOfTheOptionsRun) {
  Modelo m;
  cuenca(m, {0, 0, 1, 0, 0, 0}, {1, 1});  // oxygen alone: no nitrogen or phytoplankton arrays
  m.cal.KDCOND(1) = -1.0;
  m.cal.KDEMB(1) = -1.0;
  EXPECT_EQ(validar(m), "");
  EXPECT_EQ(tornal_test::log_lines(m), en_tramo(M_4_2, 1) + en_embalse(M_4_2, 1));

  Modelo sin;  // no oxygen: the constants are not looked at
  cuenca(sin, {}, {1, 1});
  EXPECT_EQ(validar(sin), "");
  EXPECT_EQ(tornal_test::log_lines(sin), Lineas{});
}

TEST(ValidacionConducciones, ReachDataRows) {
  struct Caso {
    const char* nombre_caso;
    void (*preparar)(Calidad&);
    Lineas esperadas;
    bool para = false;  // a modelled reach of no hydraulic mode stops after its one warning
  };
  const std::vector<Caso> casos = {
      // -1 and -2 select dispersion formulas and still warn.
      {"ECOND -2", [](Calidad& c) { c.ECOND(1) = -2.0; }, en_tramo(M_6_1, 1)},
      {"LCOND negative, not in tables",
       [](Calidad& c) {
         c.INRESCOND(1) = 0;
         c.LCOND(1) = -10.0;
       },
       en_tramo(M_6_2, 1)},
      {"INCRX negative, not modelled",
       [](Calidad& c) {
         c.INRESCOND(1) = -1;
         c.INCRX(1) = -5.0;
       },
       en_tramo(M_6_3, 1)},
      {"TIPOHID 0", [](Calidad& c) { c.TIPOHID(1) = 0; }, en_tramo(M_6_4, 1), true},
      {"TIPOHID 3", [](Calidad& c) { c.TIPOHID(1) = 3; }, en_tramo(M_6_4, 1), true},
      {"TIPOHID 3, not modelled",
       [](Calidad& c) {
         c.INRESCOND(1) = 2;
         c.TIPOHID(1) = 3;
       },
       en_tramo(M_6_4, 1)},
      {"TIPOHID 2", [](Calidad& c) { c.TIPOHID(1) = 2; }, {}},
      {"four coefficients, whatever TIPOHID (not modelled)",
       [](Calidad& c) {
         c.INRESCOND(1) = 2;
         c.TIPOHID(1) = 2;
         for (int k = 1; k <= 4; ++k) c.COEFTESHIDR(1, k) = -1.0;
       },
       en_tramo(M_6_5, 1) + en_tramo(M_6_5, 1) + en_tramo(M_6_5, 1) + en_tramo(M_6_5, 1)},
      {"columns 5 and 6 not checked",
       [](Calidad& c) {
         c.COEFTESHIDR(1, 5) = -1.0;
         c.COEFTESHIDR(1, 6) = -1.0;
       },
       {}},
      {"step over length, not in tables",
       [](Calidad& c) {
         c.INRESCOND(1) = 0;
         c.LCOND(1) = 100.0;
         c.INCRX(1) = 200.0;
       },
       {}},
      {"step over length, in tables",
       [](Calidad& c) {
         c.LCOND(1) = 100.0;
         c.INCRX(1) = 200.0;
       },
       en_tramo(M_6_9, 1) + en_tramo(M_6_10, 1)},
      {"ratio exactly 5",
       [](Calidad& c) {
         c.LCOND(1) = 500.0;
         c.INCRX(1) = 100.0;
       },
       {}},
      {"ratio below 5",
       [](Calidad& c) {
         c.LCOND(1) = 499.0;
         c.INCRX(1) = 100.0;
       },
       en_tramo(M_6_10, 1)},
      {"step equal to length",
       [](Calidad& c) {
         c.LCOND(1) = 100.0;
         c.INCRX(1) = 100.0;
       },
       en_tramo(M_6_10, 1)},
      {"negative length, not modelled, zero step",
       [](Calidad& c) {
         c.INRESCOND(1) = 2;
         c.LCOND(1) = -1.0;
         c.INCRX(1) = 0.0;
       },
       en_tramo(M_6_2, 1)},
      {"NaN passes (not modelled)",
       [](Calidad& c) {
         c.INRESCOND(1) = -1;
         c.ECOND(1) = NAN_;
         c.LCOND(1) = NAN_;
         c.COEFTESHIDR(1, 1) = NAN_;
       },
       {}},
      {"rows in order",
       [](Calidad& c) {
         c.COEFTESHIDR(1, 3) = -1.0;
         c.TIPOHID(1) = 9;
         c.LCOND(1) = 200.0;
         c.ECOND(1) = -1.0;
       },
       en_tramo(M_6_1, 1) + en_tramo(M_6_4, 1) + en_tramo(M_6_5, 1) + en_tramo(M_6_10, 1), true},
  };
  for (const Caso& c : casos) {
    Modelo m;
    cuenca(m, {}, {1, 0});
    c.preparar(m.cal);
    EXPECT_EQ(validar(m), c.para ? "error" : "") << c.nombre_caso;
    EXPECT_EQ(tornal_test::log_lines(m), c.esperadas) << c.nombre_caso;
  }
}

TEST(ValidacionConducciones, ReachesInGlobalOrder) {
  Modelo m;
  cuenca(m, {}, {3, 0});
  m.cal.ECOND(3) = -1.0;
  m.cal.INRESCOND(1) = -1;  // not modelled: the mode's warning alone
  m.cal.TIPOHID(1) = 0;
  EXPECT_EQ(validar(m), "");
  EXPECT_EQ(tornal_test::log_lines(m), en_tramo(M_6_4, 1) + en_tramo(M_6_1, 3));
}

TEST(ValidacionEmbalses, TimeStepAndEpilimnionShare) {
  struct Caso {
    double PORCENTVO;
    double INCRETIEM;
    Lineas esperadas;
    std::string parada;
  };
  const std::vector<Caso> casos = {
      {0.0, 10.0, {}, ""},
      {0.5, 9.99, en_embalse(M_7_3, 1), ""},
      {0.5, 1.0, en_embalse(M_7_3, 1), ""},
      {-0.1, 30.0, en_embalse(M_7_1, 1), ""},
      {0.5, 0.5, en_embalse(M_7_3, 1) + en_embalse(M_STOP_EMB, 1), "error"},
      {-0.1, -1.0, en_embalse(M_7_1, 1) + en_embalse(M_7_2, 1) + en_embalse(M_7_3, 1) + en_embalse(M_STOP_EMB, 1),
       "error"},
      {0.5, NAN_, en_embalse(M_STOP_EMB, 1), "error"},
  };
  for (const Caso& c : casos) {
    Modelo m;
    cuenca(m, {}, {0, 1});
    m.cal.PORCENTVO(1) = c.PORCENTVO;
    m.cal.INCRETIEM(1) = c.INCRETIEM;
    EXPECT_EQ(validar(m), c.parada) << c.INCRETIEM;
    EXPECT_EQ(tornal_test::log_lines(m), c.esperadas) << c.INCRETIEM;
  }
}

// With no reservoirs only the reach halves write: the reservoir arrays are
// empty and must not be looked at.
TEST(ValidacionEmbalses, NoReservoirsLeavesReservoirChecksSilent) {
  Modelo m;
  cuenca(m, {1, 1, 1, 1, 1, 1}, {1, 0});
  m.cal.KETCOND(1) = -1.0;
  m.cal.KACOND(1) = -2.0;
  EXPECT_EQ(validar(m), "");
  EXPECT_EQ(tornal_test::log_lines(m), en_tramo(M_KET, 1) + en_tramo(M_4_1, 1));
}

TEST(ValidacionVertidos, DiffuseDischargeLabelledByReceivingReach) {
  Modelo m;
  Cuenta n;
  n.NC = 6;
  n.NE = 0;
  n.NVD = 2;
  cuenca(m, {0, 1, 1, 0, 0, 0}, n);  // 3 constituents
  m.cal.NUMCONDUCVERTDIF(1) = 2;
  m.cal.NUMCONDUCVERTDIF(2) = 5;
  m.cal.SDVERTDIF(2, 1) = -1.0;
  m.cal.SDVERTDIF(2, 3) = -1.0;
  m.cal.SDVERTDIF(1, 2) = 0.0;
  EXPECT_EQ(validar(m), "");
  Lineas una = aviso(M_8, "Número de la conducción", 5);
  EXPECT_EQ(tornal_test::log_lines(m), una + una);
}

TEST(ValidacionConcentraciones, InitialConcentrationsPerConstituentAndLoopOrder) {
  Modelo m;
  Cuenta n;
  n.NC = 0;
  n.NE = 2;
  n.NACU = 2;
  cuenca(m, {1, 0, 1, 0, 0, 1}, n);  // 3 constituents
  for (int c = 1; c <= 3; ++c) m.cal.COEMB(2, c) = -1.0;
  m.cal.COEMB2(1, 2) = -0.5;  // after every reservoir of the first loop
  m.cal.COACU(2, 1) = -0.1;
  m.cal.COACU(1, 3) = 0.0;
  EXPECT_EQ(validar(m), "");
  const Lineas emb2 = en_embalse(M_9_1, 2);
  EXPECT_EQ(tornal_test::log_lines(m),
            emb2 + emb2 + emb2 + en_embalse(M_9_2, 1) + aviso(M_9_3, "Acuífero", nombre("Acuífero 2")));
}

TEST(ValidacionConcentraciones, TreatedConcentrationsAcceptMinusOne) {
  Modelo m;
  Cuenta n;
  n.NC = 0;
  n.NE = 0;
  n.NR = 2;
  n.NTF = 2;
  cuenca(m, {0, 0, 1, 0, 0, 0}, n);  // 2 constituents
  m.cal.RETORNODEPU(1, 1) = -1.0;
  m.cal.RETORNODEPU(1, 2) = -0.5;
  m.cal.RETORNODEPU(2, 2) = -1.5;
  m.cal.TOMADEPU(1, 2) = -1.0;
  m.cal.TOMADEPU(2, 1) = -2.0;
  EXPECT_EQ(validar(m), "");
  EXPECT_EQ(tornal_test::log_lines(m),
            aviso(M_9_4, "Elemento de retorno:", nombre("Retorno 2")) + aviso(M_9_4, "Toma:", nombre("Toma 2")));
}

// Intakes switched off by the optimisation model: TOMADEPU keeps the rows of
// every intake of the network file, but none is an intake of the run.
TEST(ValidacionConcentraciones, IntakesOfTheRunOnly) {
  Modelo m;
  Cuenta n;
  n.NC = 0;
  n.NE = 0;
  n.NTF = 3;
  cuenca(m, {0, 0, 1, 0, 0, 0}, n);
  m.cal.TOMADEPU(3, 1) = -5.0;
  m.cal.TOMADEPU(1, 1) = -5.0;
  m.red.NUMTOMAS = 0;
  EXPECT_EQ(validar(m), "");
  EXPECT_EQ(tornal_test::log_lines(m), Lineas{});
  m.red.NUMTOMAS = 2;
  EXPECT_EQ(validar(m), "");
  EXPECT_EQ(tornal_test::log_lines(m), aviso(M_9_4, "Toma:", nombre("Toma 1")));
}

// A name shorter than its stored length is still written at 250.
TEST(Validacion, NameWrittenAtStoredLength) {
  Modelo m;
  cuenca(m, {}, {1, 0});
  m.red.NOMCONDUCC(1) = "R";
  m.cal.ECOND(1) = -1.0;
  EXPECT_EQ(validar(m), "");
  EXPECT_EQ(tornal_test::log_lines(m), aviso(M_6_1, "Conducción:", tornal::padded("R", LONGNOMBRE)));
}

// One warning of every group: the groups come in their fixed order.
TEST(Validacion, GroupsInFixedOrder) {
  Modelo m;
  Cuenta n;
  n.NC = 2;
  n.NE = 1;
  n.NACU = 1;
  n.NR = 1;
  n.NTF = 1;
  n.NVD = 1;
  cuenca(m, {1, 1, 1, 1, 1, 1}, n);  // 10 constituents
  m.cal.NUMCONDUCVERTDIF(1) = 1;
  m.cal.TOMADEPU(1, 10) = -2.0;
  m.cal.RETORNODEPU(1, 9) = -2.0;
  m.cal.COACU(1, 8) = -1.0;
  m.cal.COEMB2(1, 7) = -1.0;
  m.cal.COEMB(1, 6) = -1.0;
  m.cal.SDVERTDIF(1, 5) = -1.0;
  m.cal.PORCENTVO(1) = -1.0;
  m.cal.ECOND(2) = -1.0;
  m.cal.KDEMB(1) = -1.0;
  m.cal.KDCOND(2) = -1.0;
  m.cal.TECTAK1OR(1) = -1.0;  // stops the run after the warnings
  m.cal.KETEMB(1) = -1.0;
  m.cal.KETCOND(1) = -1.0;
  EXPECT_EQ(validar(m), "error");
  EXPECT_EQ(tornal_test::log_lines(m),
            en_tramo(M_KET, 1) + en_embalse(M_KET, 1) + aviso(M_K1OR, "Contaminante de primer orden", 1) +
                en_tramo(M_4_2, 2) + en_embalse(M_4_2, 1) + en_tramo(M_6_1, 2) + en_embalse(M_7_1, 1) +
                aviso(M_8, "Número de la conducción", 1) + en_embalse(M_9_1, 1) + en_embalse(M_9_2, 1) +
                aviso(M_9_3, "Acuífero", nombre("Acuífero 1")) +
                aviso(M_9_4, "Elemento de retorno:", nombre("Retorno 1")) + aviso(M_9_4, "Toma:", nombre("Toma 1")));
}

// A modelled reach is any report flag but -1 and 2; a step of 0, below 0 or
// undefined stops the run, after every warning.
TEST(ValidacionParadas, ReachStepMustBePositiveWhenModelled) {
  struct Caso {
    int INRESCOND;
    double INCRX;
    Lineas avisos;  // the warnings before the stop lines
    bool para;
  };
  const std::vector<Caso> casos = {
      {-1, 0.0, {}, false},
      {2, -3.0, en_tramo(M_6_3, 1), false},
      {1, 0.0, {}, true},  // neither 6.3 nor 6.10 with a positive length
      {0, 0.0, {}, true},
      {5, 0.0, {}, true},
      {0, -3.0, en_tramo(M_6_3, 1), true},
      {1, NAN_, {}, true},
      {1, 1e-9, {}, false},
  };
  for (const Caso& c : casos) {
    Modelo m;
    cuenca(m, {}, {1, 0});
    m.cal.INRESCOND(1) = c.INRESCOND;
    m.cal.LCOND(1) = 1000.0;
    m.cal.INCRX(1) = c.INCRX;
    Lineas esperadas = c.avisos;
    if (c.para) esperadas = esperadas + en_tramo(M_STOP_COND, 1);
    EXPECT_EQ(validar(m), c.para ? "error" : "") << c.INRESCOND << " " << c.INCRX;
    EXPECT_EQ(tornal_test::log_lines(m), esperadas) << c.INRESCOND << " " << c.INCRX;
  }
}

// Hydraulic coefficients that give a modelled reach no cross-section stop
// the run after the warnings: a value of 0 (or undefined) is warned there, a
// negative one keeps its warning among the reach data alone. A Manning
// channel of negative bottom width has none, whatever its side slope; the
// second coefficient of the power laws is an exponent. A hydraulic mode
// that is neither 1 nor 2 gives a modelled reach no section either: its
// coefficients are not looked at, and its one warning is that of the mode.
// Reaches not modelled are not looked at.
TEST(ValidacionParadas, HydraulicCoefficientsMustGiveACrossSection) {
  struct Caso {
    const char* que;
    int INRESCOND, TIPOHID;
    std::vector<double> C;  // columns 1 to 4
    Lineas avisos;
    bool para;
  };
  const Lineas P = en_tramo(M_6_5, 1);
  const std::vector<Caso> casos = {
      {"roughness 0", 1, 1, {0.0, 10.0, 0.001, 1.0}, P, true},
      {"slope 0", 0, 1, {0.03, 10.0, 0.0, 1.0}, P, true},
      {"slope negative: one warning", 1, 1, {0.03, 10.0, -0.001, 1.0}, P, true},
      {"slope undefined", 1, 1, {0.03, 10.0, NAN_, 1.0}, P, true},
      {"no width, no side slope", 1, 1, {0.03, 0.0, 0.001, 0.0}, en_tramo(M_SECCION, 1), true},
      {"width negative, no side slope: one warning", 1, 1, {0.03, -15.0, 0.001, 0.0}, P, true},
      {"width negative, a side slope: one warning", 1, 1, {0.03, -15.0, 0.001, 2.0}, P, true},
      {"width undefined", 1, 1, {0.03, NAN_, 0.001, 2.0}, P, true},
      {"width and slope negative: one warning each", 1, 1, {0.03, -15.0, -0.001, 2.0}, P + P, true},
      {"width negative, power laws: its exponent", 1, 2, {0.2, -0.4, 0.3, 0.45}, P, false},
      {"a triangle", 1, 1, {0.03, 0.0, 0.001, 2.0}, {}, false},
      {"a rectangle", 1, 1, {0.03, 5.0, 0.001, 0.0}, {}, false},
      {"velocity coefficient 0", 1, 2, {0.0, 0.4, 0.3, 0.45}, P, true},
      {"depth coefficient 0", 5, 2, {0.2, 0.4, 0.0, 0.45}, P, true},
      {"power laws with exponents 0", 1, 2, {0.2, 0.0, 0.3, 0.0}, {}, false},
      {"not modelled (-1)", -1, 1, {0.0, 0.0, 0.0, 0.0}, {}, false},
      {"no hydraulic mode", 1, 3, {0.0, 0.0, 0.0, 0.0}, en_tramo(M_6_4, 1), true},
      {"no hydraulic mode, coefficients of a channel", 0, 0, {0.03, 10.0, 0.001, 1.0}, en_tramo(M_6_4, 1), true},
      {"no hydraulic mode, not modelled (2)", 2, 3, {0.03, 10.0, 0.001, 1.0}, en_tramo(M_6_4, 1), false},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.que);
    Modelo m;
    cuenca(m, {}, {1, 0});
    m.cal.INRESCOND(1) = c.INRESCOND;
    m.cal.TIPOHID(1) = c.TIPOHID;
    for (int k = 1; k <= 4; ++k) m.cal.COEFTESHIDR(1, k) = c.C[k - 1];
    EXPECT_EQ(validar(m), c.para ? "error" : "");
    EXPECT_EQ(tornal_test::log_lines(m), c.avisos);
  }
}

// Every stop line comes after all warnings: the inconsistent options first,
// then every offending reach (its step, then its section), then every
// offending reservoir; one stop.
TEST(ValidacionParadas, StopLinesAfterAllWarnings) {
  Modelo m;
  Cuenta n;
  n.NC = 3;
  n.NE = 2;
  n.NR = 1;
  cuenca(m, {0, 0, 1, 0, 1, 0}, n);  // phytoplankton without nitrogen
  m.cal.INCRX(1) = 0.0;
  m.cal.COEFTESHIDR(2, 3) = 0.0;
  m.cal.INCRX(3) = -1.0;
  m.cal.INRESCOND(3) = 0;
  m.cal.INCRETIEM(1) = -1.0;
  m.cal.INCRETIEM(2) = 0.0;
  m.cal.RETORNODEPU(1, 1) = -3.0;
  EXPECT_EQ(validar(m), "error");
  EXPECT_EQ(tornal_test::log_lines(m),
            linea(M_1_6) + en_tramo(M_6_3, 3) + en_embalse(M_7_2, 1) + en_embalse(M_7_3, 1) + en_embalse(M_7_3, 2) +
                aviso(M_9_4, "Elemento de retorno:", nombre("Retorno 1")) + linea(M_INCOHERENTES) +
                en_tramo(M_STOP_COND, 1) + en_tramo(M_6_5, 2) + en_tramo(M_STOP_COND, 3) + en_embalse(M_STOP_EMB, 1) +
                en_embalse(M_STOP_EMB, 2));
}

}  // namespace
