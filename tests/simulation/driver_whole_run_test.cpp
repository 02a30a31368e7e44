// Whole runs of the monthly driver on small hand-built basins: CALCULOSUB
// from the input series in output units to the results converted back,
// with the calibration files of one reach and one reservoir, the
// advanced-options file (long time curves and time-varying constants), the
// unused twenty-second record of the run configuration, and the oxygen
// option's unit factors. The reach and reservoir models are those of a
// conservative substance; every expected value is worked out by hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "corrida_prueba.h"
#include "reach/reach_model.h"

namespace {

using tornal::Modelo;
using namespace tornal_test;

// Allocation-model volumes in hm3 and flows in hm3 per month of 30 days.
constexpr double FV = 1.0e6;
constexpr double DIAS = 30.0;
constexpr double FU = FV / DIAS;

void unidades_hm3(Modelo& m) {
  m.cal.FACTORVOLUMEN = FV;
  m.cal.DIVISORUNIDADES = DIAS;
  m.cal.FACTORUNIDADES = FU;
}

// Turns the constituents C1, C2, C3 of construir() into C1, "DBO5" and
// "Oxígeno Disuelto" (one first-order pollutant and the oxygen option), with
// the BOD decay rate U1 and the series that the option adds.
void con_oxigeno(Modelo& m, double U1) {
  tornal::Calidad& c = m.cal;
  ASSERT_EQ(c.NUMCONTAMINANTES, 3);
  c.OPCIONOXIGENO = 1;
  c.NUMCONT1OR = 1;
  c.POS = tornal::posiciones_contaminantes(c);
  c.NOMCONT(2) = tornal::padded("DBO5", 30);
  c.NOMCONT(3) = tornal::padded(tornal::latin1("Oxígeno Disuelto"), 30);
  c.UNIDADESESTEQUIOMETRICAS(1) = U1;
  for (int k = 1; k < 5; ++k) c.UNIDADESESTEQUIOMETRICAS(k + 1) = 1.0;
  const int NE = m.red.NUMEMBALSES;
  c.UWEM.resize(NE);
  c.CURVAUWEM.resize_filled(1, NE);
  c.UWEMB.resize(NE, 12 * m.red.NUMANYOS);
}

// Relative closeness for values that went through the unit factors.
void cerca(double real, double esperado, const std::string& que) {
  EXPECT_NEAR(real, esperado, 1e-10 * std::max(1.0, std::fabs(esperado))) << que;
}

std::string donde(const char* a, int i, int c, int mes, int y) {
  return std::string(a) + "(" + std::to_string(i) + "," + std::to_string(c) + "," + std::to_string(mes) + "," +
         std::to_string(y) + ")";
}

// ---------------------------------------------------------------------------
// Calibration of a reach (mode 1) and of a reservoir in one run.
//
// 1 --R1--> 2 (reservoir 1) --R2--> 3 --R3--> 4, two years, two
// constituents. The inflow at 1 carries 10 and 4. R2 is calibrated: its
// head takes the file's flow and concentrations (a flow of 0 in May of year
// 2 makes it dry), and R3 downstream carries what R2 delivers. The reservoir
// receives the file's concentrations and its volume and flow series become
// the file's, while the node keeps the mixed water. The reservoir fills from
// empty in the first month (its layer holds the file's concentrations); from
// then on it mixes the file's inflow (no evaporation: the constant second
// constituent stays 7) and its outflow feeds R2.

TEST(DriverWholeRun, ReachAndReservoirCalibrationFilesInOneRun) {
  RedPrueba p;
  p.nudos = {{1, 0}, {2, 1}, {3, 0}, {4, 0}};
  p.conducciones = {{1, 2, 1}, {2, 3, 1}, {3, 4, 1}};
  p.aportaciones = {1};
  p.embalses = {2};
  p.contaminantes = 2;
  p.anyos = 2;
  Corrida r(p);
  Modelo& m = r.m;
  unidades_hm3(m);
  todos(m.red.QAPO, 1, 2.592);
  todos(m.cal.COAPO, 1, 1, 10.0);
  todos(m.cal.COAPO, 1, 2, 4.0);
  for (int i = 1; i <= 3; ++i) todos(m.red.QCONDUCC, i, 2.592);
  todos(m.red.VOLFINEMB, 1, 50.0);
  for (tornal::Array3<double>* a : {&m.red.SUELTASEMB, &m.red.EVAPEMB, &m.red.FILTREMB, &m.red.VERTEMB})
    todos(*a, 1, 1.0);

  std::ostringstream conduccion, embalse;
  conduccion << "2  / calibrated reach\n";
  embalse << "1\n";
  for (int y = 1; y <= 2; ++y)
    for (int mes = 1; mes <= 12; ++mes) {
      const int t = 12 * (y - 1) + mes;
      conduccion << (y == 2 && mes == 5 ? 0.0 : 1.296) << " " << 30 + t << " 0.5\n";
      embalse << 40 + t << " 0.3 0.0 0.003 3.0 " << 60 + t << " 7\n";
    }
  r.dir.write("cal_cond.txt", conduccion.str());
  r.dir.write("cal_emb.txt", embalse.str());

  ASSERT_EQ(r.llamar({.OPCIONCALIBCOND = 1, .cal_cond = "cal_cond.txt", .OPCIONCALIBEMB = 1, .cal_emb = "cal_emb.txt"}),
            "");

  // The reach file is read first, then the reservoir file.
  const long lc = r.linea("Lectura de archivo de calibracion de conduccion realizada con éxito");
  const long le = r.linea("Lectura de archivo de calibracion de embalse realizada con éxito");
  ASSERT_GE(lc, 0);
  ASSERT_GE(le, 0);
  EXPECT_LT(lc, le);
  EXPECT_EQ(m.sim.NUMCONDUCCALIBRAR, 2);
  EXPECT_EQ(m.sim.NUMEMBCALIBRAR, 1);

  const tornal::Simulacion& s = m.sim;
  for (int y = 1; y <= 2; ++y)
    for (int mes = 1; mes <= 12; ++mes) {
      const int t = 12 * (y - 1) + mes;
      const bool seco = y == 2 && mes == 5;
      cerca(s.CAUDALCALIBRA(mes, y), seco ? 0.0 : 1.296 * FU, donde("CAUDALCALIBRA", 0, 0, mes, y));
      // The reservoir: the mixed inflow at the node, the file's
      // concentrations in its layer, the file's volume and flows.
      EXPECT_DOUBLE_EQ(s.NUDOSCE(2, 1, mes, y), 10.0);
      if (t == 1) {
        EXPECT_DOUBLE_EQ(s.NUDOSCS(2, 1, mes, y), 10.0);
        EXPECT_DOUBLE_EQ(s.NUDOSCS(2, 2, mes, y), 4.0);
        EXPECT_DOUBLE_EQ(s.EMB1CF(1, 1, mes, y), 61.0);
      } else {
        EXPECT_GT(s.EMB1CF(1, 1, mes, y), 61.0) << donde("EMB1CF", 1, 1, mes, y);
        EXPECT_LT(s.EMB1CF(1, 1, mes, y), 60.0 + t) << donde("EMB1CF", 1, 1, mes, y);
        EXPECT_GT(s.NUDOSCS(2, 1, mes, y), 61.0) << donde("NUDOSCS", 2, 1, mes, y);
        EXPECT_LT(s.NUDOSCS(2, 1, mes, y), 60.0 + t) << donde("NUDOSCS", 2, 1, mes, y);
        cerca(s.NUDOSCS(2, 2, mes, y), 7.0, donde("NUDOSCS", 2, 2, mes, y));
      }
      cerca(s.EMB1CF(1, 2, mes, y), 7.0, donde("EMB1CF", 1, 2, mes, y));
      EXPECT_DOUBLE_EQ(s.EMB2CF(1, 1, mes, y), t == 1 ? 0.0 : 1.0000000116860974e-07);
      cerca(s.V1F(1, mes, y), 40.0 + t, donde("V1F", 1, 0, mes, y));
      cerca(m.red.VOLFINEMB(1, mes, y), 40.0 + t, donde("VOLFINEMB", 1, 0, mes, y));
      cerca(m.red.SUELTASEMB(1, mes, y), 0.3 * FU, "SUELTASEMB");
      cerca(m.red.EVAPEMB(1, mes, y), 0.0, "EVAPEMB");
      cerca(m.red.FILTREMB(1, mes, y), 0.003 * FU, "FILTREMB");
      cerca(m.red.VERTEMB(1, mes, y), 3.0 * FU, "VERTEMB");
      // The calibrated reach: its inlet is the node's outflow, its outlet
      // the file's concentrations (0 when the file's flow makes it dry); the
      // reach downstream carries that outlet.
      EXPECT_DOUBLE_EQ(s.CONDUCCCE(2, 1, mes, y), s.NUDOSCS(2, 1, mes, y));
      EXPECT_DOUBLE_EQ(s.CONDUCCCE(2, 2, mes, y), s.NUDOSCS(2, 2, mes, y));
      for (int i : {2, 3}) {
        EXPECT_DOUBLE_EQ(s.CONDUCCCS(i, 1, mes, y), seco ? 0.0 : 30.0 + t) << donde("CONDUCCCS", i, 1, mes, y);
        EXPECT_DOUBLE_EQ(s.CONDUCCCS(i, 2, mes, y), seco ? 0.0 : 0.5) << donde("CONDUCCCS", i, 2, mes, y);
      }
      EXPECT_DOUBLE_EQ(s.CONDUCCCS(1, 1, mes, y), 10.0);
      // The reach's own flow series is the allocation model's.
      cerca(m.red.QCONDUCC(2, mes, y), 2.592, "QCONDUCC");
    }
  EXPECT_EQ(log_lines(m).back(), "Los calculos se han realizado con exito");
}

// ---------------------------------------------------------------------------
// "tornal.avz" with long time curves and time-varying constants.
//
// 1 --R1--> 2, two years; an intake at 1 feeds a return at 2. The long
// curve gives factor t/10 in month t of the run, so the reach's given water
// temperature (base 2) is 0.2 t; the BOD decay rate of R1 is 100 + t in
// month t.

std::string avz(bool curvas, bool constantes) {
  std::ostringstream f;
  f << "Opciones avanzadas de la cuenca de prueba\n";
  if (curvas) {
    f << "<CURVAS_TEMPORALES>\n";
    for (int t = 1; t <= 24; ++t) f << t / 10.0 << "\n";
  }
  if (constantes) {
    f << "<CTES_TEMPORALES>\n1 0\n1\n2\n";
    for (int t = 1; t <= 24; ++t) f << 100 + t << "\n";
  }
  return f.str();
}

RedPrueba intake_y_retorno() {
  RedPrueba p;
  p.nudos = {{1, 0}, {2, 0}};
  p.conducciones = {{1, 2, 1}};
  p.aportaciones = {1};
  p.tomas = {{1, 1}};
  p.retornos = {2};
  p.anyos = 2;
  return p;
}

void preparar_intake_y_retorno(Modelo& m) {
  todos(m.red.QAPO, 1, 1.0);
  todos(m.cal.COAPO, 1, 1, 1.0);
  todos(m.red.QCONDUCC, 1, 1.0);
  todos(m.red.SUMTOMAS, 1, 1.0);
  m.red.COEFRETTOMA(1) = 1.0;
  todos(m.red.QRETREAL, 1, 1.0);
  m.cal.KDCOND.resize(1);
  m.cal.TCON(1) = 2.0;
}

TEST(DriverWholeRun, LongTimeCurvesAndTimeVaryingConstants) {
  Corrida r(intake_y_retorno());
  Modelo& m = r.m;
  preparar_intake_y_retorno(m);
  r.dir.write("tornal.avz", avz(true, true));
  ASSERT_EQ(r.llamar(), "");

  EXPECT_TRUE(m.sim.HAYCURVASLARGAS);
  EXPECT_TRUE(m.sim.HAYCTESTEMP);
  for (const char* l :
       {"Existe Tornal.avz", "Existen curvas temporales variables", "Existen constantes variables de forma temporal",
        "Lectura de archivo tORNAL.aVZ realizada con éxito"})
    EXPECT_GE(r.linea(l), 0) << l;
  // The series rebuilt over the whole run: year 2 has its own values.
  for (int t = 1; t <= 24; ++t) cerca(m.cal.TCOND(1, t), 0.2 * t, "TCOND " + std::to_string(t));
  // The month column ran on through year 2; the constant holds the value
  // of the last month of the run.
  EXPECT_EQ(m.sim.MESACTUAL, 24);
  EXPECT_DOUBLE_EQ(m.cal.KDCOND(1), 124.0);
  EXPECT_DOUBLE_EQ(m.sim.CONDUCCCS(1, 1, 12, 2), 1.0);
  EXPECT_EQ(log_lines(m).back(), "Los calculos se han realizado con exito");
}

// The counters as the models see them in month t: a negative inflow
// concentration in month t alone reaches the return untreated and stops the
// run in that month, so the month column and the constants are those of
// month t. MESACTUAL runs 13..24 in year 2 with long curves and 1..12 again
// without; the constants follow the running month 1..24 either way.
TEST(DriverWholeRun, CountersOfTheMonthWithAndWithoutLongCurves) {
  for (bool curvas : {true, false})
    for (int t : {1, 12, 13, 19, 24}) {
      Corrida r(intake_y_retorno());
      Modelo& m = r.m;
      preparar_intake_y_retorno(m);
      const int mes = (t - 1) % 12 + 1;
      const int ano = (t - 1) / 12 + 1;
      m.cal.COAPO(1, 1, mes, ano) = -3.0;
      r.dir.write("tornal.avz", avz(curvas, true));
      const std::string caso = std::string(curvas ? "long curves, " : "12-value curves, ") + std::to_string(t);

      EXPECT_EQ(r.llamar(), "error") << caso;
      EXPECT_GE(r.linea("Error al intentar estimar la calidad de un retorno"), 0) << caso;
      EXPECT_EQ(m.sim.MESACTUAL, curvas ? t : mes) << caso;
      EXPECT_DOUBLE_EQ(m.cal.KDCOND(1), 100.0 + t) << caso;
      // Titles, one "Año" per year begun, one "Mes" per month begun.
      const std::vector<std::string> consola = r.lineas_consola();
      EXPECT_EQ(consola.size(), static_cast<std::size_t>(2 + ano + t)) << caso;
      ASSERT_FALSE(consola.empty());
      EXPECT_EQ(tornal::trimmed(consola.back()),
                (mes < 10 ? " Mes           " : " Mes          ") + std::to_string(mes))
          << caso;
    }
}

// ---------------------------------------------------------------------------
// The oxygen option from input to results: a basin given in output units
// (hm3, hm3 per month, 5-day BOD) reads its results in output units again,
// equal to the values worked out by hand; inside the months everything is in
// m3/day and ultimate BOD.
//
// Inflows at 1 of 2.592 and 7.776 hm3/month with C1 10 and 2, BOD 10 and 2,
// DO 8 and 9: node 1 mixes to 4, 4 and 8.75. R1 takes that to the reservoir
// at 2, R2 on to 3, where a return of 2.592 hm3/month fed by no intake
// delivers C1 0 (untreated), BOD 5 (treated) and DO 0 (untreated, -1.5):
// node 3 gives (10.368 x 4)/12.96 = 3.2, (10.368 x 4 + 2.592 x 5)/12.96 =
// 4.2 and (10.368 x 8.75)/12.96 = 7.0, which R3 carries. R4 from 3 is
// calibrated in mode 2 with C1 1, BOD 10, DO 6 in output units.

constexpr double U1 = 0.23;

RedPrueba cuenca_oxigeno() {
  RedPrueba p;
  p.nudos = {{1, 0}, {2, 1}, {3, 0}, {4, 0}, {5, 0}};
  p.conducciones = {{1, 2, 1}, {2, 3, 1}, {3, 4, 1}, {3, 5, 1}};
  p.aportaciones = {1, 1};
  p.embalses = {2};
  p.retornos = {3};
  p.contaminantes = 3;
  p.anyos = 2;
  return p;
}

void preparar_cuenca_oxigeno(Corrida& r) {
  Modelo& m = r.m;
  unidades_hm3(m);
  con_oxigeno(m, U1);
  todos(m.red.QAPO, 1, 2.592);
  todos(m.red.QAPO, 2, 7.776);
  const double co[2][3] = {{10.0, 10.0, 8.0}, {2.0, 2.0, 9.0}};
  for (int a = 1; a <= 2; ++a)
    for (int c = 1; c <= 3; ++c) todos(m.cal.COAPO, a, c, co[a - 1][c - 1]);
  todos(m.red.QCONDUCC, 1, 10.368);
  todos(m.red.QCONDUCC, 2, 10.368);
  todos(m.red.QCONDUCC, 3, 12.96);
  todos(m.red.QCONDUCC, 4, 1.0);
  todos(m.red.QRETREAL, 1, 2.592);
  todos(m.red.VOLFINEMB, 1, 37.5);
  // The reservoir releases what R2 carries: its outflow is its inflow, mixed.
  todos(m.red.SUELTASEMB, 1, 10.368);
  m.cal.RETORNODEPU(1, 1) = -1.0;
  m.cal.RETORNODEPU(1, 2) = 5.0;
  m.cal.RETORNODEPU(1, 3) = -1.5;
  std::ostringstream f;
  f << "4\n";
  for (int t = 1; t <= 24; ++t) f << "1 10 6\n";
  r.dir.write("cal_cond.txt", f.str());
}

TEST(DriverWholeRun, UnitRoundTripWithTheOxygenOption) {
  Corrida r(cuenca_oxigeno());
  preparar_cuenca_oxigeno(r);
  Modelo& m = r.m;
  ASSERT_EQ(r.llamar({.OPCIONCALIBCOND = 2, .cal_cond = "cal_cond.txt"}), "");

  const double inverso = 1.0 - std::exp(-5.0 * U1);  // 0.683363: ultimate BOD into 5-day BOD
  cerca(m.sim.DESCAMBIOUNIDAD(1), 1.0, "DESCAMBIOUNIDAD(1)");
  cerca(m.sim.DESCAMBIOUNIDAD(2), inverso, "DESCAMBIOUNIDAD(2)");
  cerca(m.sim.DESCAMBIOUNIDAD(3), 1.0, "DESCAMBIOUNIDAD(3)");
  const double nodo1[3] = {4.0, 4.0, 8.75};
  const double nodo3[3] = {3.2, 4.2, 7.0};
  const double calibrado[3] = {1.0, 10.0, 6.0};
  for (int y = 1; y <= 2; ++y)
    for (int mes = 1; mes <= 12; ++mes) {
      for (int c = 1; c <= 3; ++c) {
        const double interno = c == 2 ? 1.0 / inverso : 1.0;
        // Results read back in output units.
        cerca(m.sim.CONDUCCCS(1, c, mes, y), nodo1[c - 1], donde("CONDUCCCS", 1, c, mes, y));
        cerca(m.sim.CONDUCCCE(2, c, mes, y), nodo1[c - 1], donde("CONDUCCCE", 2, c, mes, y));
        cerca(m.sim.CONDUCCCS(2, c, mes, y), nodo1[c - 1], donde("CONDUCCCS", 2, c, mes, y));
        cerca(m.sim.EMB1CF(1, c, mes, y), nodo1[c - 1], donde("EMB1CF", 1, c, mes, y));
        cerca(m.sim.CONDUCCCS(3, c, mes, y), nodo3[c - 1], donde("CONDUCCCS", 3, c, mes, y));
        cerca(m.sim.CONDUCCCE(4, c, mes, y), nodo3[c - 1], donde("CONDUCCCE", 4, c, mes, y));
        cerca(m.sim.CONDUCCCS(4, c, mes, y), calibrado[c - 1], donde("CONDUCCCS", 4, c, mes, y));
        // Node and return results stay in internal units.
        cerca(m.sim.NUDOSCE(1, c, mes, y), nodo1[c - 1] * interno, donde("NUDOSCE", 1, c, mes, y));
        cerca(m.sim.NUDOSCE(3, c, mes, y), nodo3[c - 1] * interno, donde("NUDOSCE", 3, c, mes, y));
        cerca(m.sim.ELERETCS(1, c, mes, y), c == 2 ? 5.0 * interno : 0.0, donde("ELERETCS", 1, c, mes, y));
      }
      cerca(m.sim.V1F(1, mes, y), 37.5, "V1F");
      cerca(m.red.VOLFINEMB(1, mes, y), 37.5, "VOLFINEMB");
      cerca(m.red.QCONDUCC(3, mes, y), 12.96, "QCONDUCC");
      // Inflows stay in m3/day: 2.592 hm3 in 30 days is 1 m3/s.
      cerca(m.red.QAPO(1, mes, y), 86400.0, "QAPO");
    }
  EXPECT_EQ(log_lines(m).back(), "Los calculos se han realizado con exito");
}

// ---------------------------------------------------------------------------
// The twenty-second record of the run configuration changes nothing: runs
// with 0 and with 5 give the same result arrays, run log, console lines and
// files.

template <typename T, int R>
void iguales(const tornal::Array<T, R>& a, const tornal::Array<T, R>& b, const std::string& nombre) {
  for (int d = 1; d <= R; ++d) ASSERT_EQ(a.size(d), b.size(d)) << nombre;
  bool distintos = false;
  if constexpr (R == 4) {
    for (long i = 1; i <= a.size(1); ++i)
      for (long c = 1; c <= a.size(2); ++c)
        for (long mes = 1; mes <= a.size(3); ++mes)
          for (long y = 1; y <= a.size(4); ++y) distintos |= !(a(i, c, mes, y) == b(i, c, mes, y));
  } else if constexpr (R == 3) {
    for (long i = 1; i <= a.size(1); ++i)
      for (long mes = 1; mes <= a.size(2); ++mes)
        for (long y = 1; y <= a.size(3); ++y) distintos |= !(a(i, mes, y) == b(i, mes, y));
  } else {
    for (long i = 1; i <= a.size(1); ++i) distintos |= !(a(i) == b(i));
  }
  EXPECT_FALSE(distintos) << nombre;
}

TEST(DriverWholeRun, RecordTwentyTwoChangesNothing) {
  Corrida r0(cuenca_oxigeno());
  Corrida r5(cuenca_oxigeno());
  for (Corrida* r : {&r0, &r5}) {
    preparar_cuenca_oxigeno(*r);
    r->m.cal.OPCIONBALANCES = 1;
    r->m.cal.INRESPARCOND.fill(1);
    r->m.cal.INRESPAREMB.fill(1);
  }
  ASSERT_EQ(r0.llamar({.OPCIONCALIBCOND = 2, .cal_cond = "cal_cond.txt", .VALORREGISTRO22 = 0}), "");
  ASSERT_EQ(r5.llamar({.OPCIONCALIBCOND = 2, .cal_cond = "cal_cond.txt", .VALORREGISTRO22 = 5}), "");

  const tornal::Simulacion& a = r0.m.sim;
  const tornal::Simulacion& b = r5.m.sim;
  iguales(a.NUDOSCE, b.NUDOSCE, "NUDOSCE");
  iguales(a.NUDOSCS, b.NUDOSCS, "NUDOSCS");
  iguales(a.CONDUCCCE, b.CONDUCCCE, "CONDUCCCE");
  iguales(a.CONDUCCCS, b.CONDUCCCS, "CONDUCCCS");
  iguales(a.CENTRCE, b.CENTRCE, "CENTRCE");
  iguales(a.CENTRCS, b.CENTRCS, "CENTRCS");
  iguales(a.TOMASCE, b.TOMASCE, "TOMASCE");
  iguales(a.TOMASCS, b.TOMASCS, "TOMASCS");
  iguales(a.ELERETCE, b.ELERETCE, "ELERETCE");
  iguales(a.ELERETCS, b.ELERETCS, "ELERETCS");
  iguales(a.V1F, b.V1F, "V1F");
  iguales(a.V2F, b.V2F, "V2F");
  iguales(a.EMB1CF, b.EMB1CF, "EMB1CF");
  iguales(a.EMB2CF, b.EMB2CF, "EMB2CF");
  iguales(a.DESCAMBIOUNIDAD, b.DESCAMBIOUNIDAD, "DESCAMBIOUNIDAD");
  iguales(a.ERROREMB, b.ERROREMB, "ERROREMB");
  iguales(a.ERRORCOND, b.ERRORCOND, "ERRORCOND");
  iguales(r0.m.red.QCONDUCC, r5.m.red.QCONDUCC, "QCONDUCC");
  iguales(r0.m.red.VOLFINEMB, r5.m.red.VOLFINEMB, "VOLFINEMB");
  EXPECT_EQ(log_lines(r0.m), log_lines(r5.m));
  EXPECT_EQ(r0.consola.str(), r5.consola.str());
  for (const char* f : {"cond.txt", "emb.txt", "balances.csv"}) EXPECT_EQ(r0.dir.read(f), r5.dir.read(f)) << f;
}

// ---------------------------------------------------------------------------
// A reach outlet is stored as the reach model stores its solutions: below
// ERRORCONC it is 0 (dissolved oxygen is clipped at 0 instead, the water
// temperature never), and a value above 1.0e6 raises the reach's overflow
// flag. The dry exit sets its outlet at 0 and raises no flag; a reach with
// no head flow, fed by its lateral inflow, is clipped and flagged as any
// other.

TEST(ReachOutlet, ClippedBelowErrorconcAndFlaggedAboveTheOverflowLimit) {
  struct Caso {
    const char* que;
    int temperatura, oxigeno;  // options
    int c;                     // constituent looked at
    double errorconc;
    double qcab, qent, qsal;
    double co, ce;
    double esperado;
    int desborde;  // ERRORCOND(1) afterwards
  };
  const Caso casos[] = {
      {"negative mean", 0, 0, 1, 0.0, 3.0, 1.0, 0.0, -2.0, -2.0, 0.0, 0},
      {"below ERRORCONC", 0, 0, 1, 0.5, 3.0, 0.0, 1.0, 0.3, 0.0, 0.0, 0},
      {"equal to ERRORCONC", 0, 0, 1, 0.5, 3.0, 0.0, 1.0, 0.5, 0.0, 0.5, 0},
      {"BOD below ERRORCONC", 0, 1, 2, 0.5, 3.0, 0.0, 0.0, 0.3, 0.0, 0.0, 0},
      {"DO below ERRORCONC", 0, 1, 3, 0.5, 3.0, 0.0, 0.0, 0.3, 0.0, 0.3, 0},
      {"DO below 0", 0, 1, 3, 0.5, 3.0, 0.0, 0.0, -0.2, 0.0, 0.0, 0},
      {"temperature", 1, 0, 1, 0.5, 3.0, 0.0, 0.0, -0.4, 0.0, -0.4, 0},
      {"overflow", 0, 0, 1, 0.0, 3.0, 1.0, 0.0, 2.0e6, 2.0e6, 2.0e6, 1},
      {"at the limit", 0, 0, 1, 0.0, 3.0, 0.0, 0.0, 1.0e6, 0.0, 1.0e6, 0},
      {"no head flow", 0, 0, 1, 0.5, 0.0, 3.0, 0.0, 0.0, -2.0, 0.0, 0},
      {"no head flow above the limit", 0, 0, 1, 0.0, 0.0, 3.0, 0.0, 0.0, 5.0e6, 5.0e6, 1},
      {"dry", 0, 0, 1, 0.0, 0.004, 0.009, 0.0, 5.0e6, 5.0e6, 0.0, 0},
  };
  for (const Caso& k : casos) {
    RedPrueba p;
    p.nudos = {{1, 0}, {2, 0}};
    p.conducciones = {{1, 2, 1}};
    p.contaminantes = 3;
    Modelo m;
    prepare(m);
    construir(m, p);
    preparar_resultados(m);
    m.cal.OPCIONTEMPERATURA = k.temperatura;
    m.cal.NUMCONT1OR = 3 - k.temperatura - 2 * k.oxigeno;
    m.cal.OPCIONOXIGENO = k.oxigeno;
    m.cal.MODELOTEMPERATURA = 1;  // equilibrium temperature with no exchange
    m.cal.POS = tornal::posiciones_contaminantes(m.cal);
    m.cal.ERRORCONC = k.errorconc;
    tornal::Array1<double> co{"CO"}, ce{"CE"};
    co.resize_filled(1.0, 3);
    ce.resize_filled(1.0, 3);
    co(k.c) = k.co;
    ce(k.c) = k.ce;
    tornal::TrabajoTramo w;
    tornal::CALCULOCONDUCSUB(m, w, 1, k.qcab, k.qent, k.qsal, co, ce, 2, 1);
    EXPECT_DOUBLE_EQ(m.sim.CONDUCCCS(1, k.c, 2, 1), k.esperado) << k.que;
    EXPECT_EQ(m.sim.ERRORCOND(1), k.desborde) << k.que;
  }
}

// Through the whole run: a return treated to -2.0 makes its node negative;
// the reach leaving that node delivers 0. A reach whose outlet passes the
// overflow limit is listed at the end of the run, which still succeeds.
TEST(ReachOutlet, NegativeNodeGivesZeroOutletAndOverflowIsReportedAtTheEnd) {
  RedPrueba p;
  p.nudos = {{1, 0}, {2, 0}, {3, 0}};
  p.conducciones = {{1, 2, 1}, {2, 3, 1}};
  p.aportaciones = {2};
  p.retornos = {1};
  Corrida r(p);
  Modelo& m = r.m;
  todos(m.red.QRETREAL, 1, 1.0);
  m.cal.RETORNODEPU(1, 1) = -2.0;
  todos(m.red.QCONDUCC, 1, 1.0);
  todos(m.red.QCONDUCC, 2, 2.0);
  todos(m.red.QAPO, 1, 1.0);
  todos(m.cal.COAPO, 1, 1, 4.0e6);
  ASSERT_EQ(r.llamar(), "");
  for (int mes = 1; mes <= 12; ++mes) {
    EXPECT_DOUBLE_EQ(m.sim.NUDOSCE(1, 1, mes, 1), -2.0);
    EXPECT_DOUBLE_EQ(m.sim.CONDUCCCS(1, 1, mes, 1), 0.0);
    EXPECT_DOUBLE_EQ(m.sim.CONDUCCCS(2, 1, mes, 1), 2.0e6);  // (1 x 0 + 1 x 4e6)/2
  }
  EXPECT_EQ(m.sim.ERRORCOND(1), 0);
  EXPECT_EQ(m.sim.ERRORCOND(2), 1);
  EXPECT_GE(r.linea("Las concetraciones han superado el valor máximo de 100000"), 0);
  EXPECT_GE(r.linea("Número Conducción:           2"), 0);
  EXPECT_EQ(r.linea("Número Conducción:           1"), -1);
  EXPECT_EQ(log_lines(m).back(), "Los calculos se han realizado con exito");
}

}  // namespace
