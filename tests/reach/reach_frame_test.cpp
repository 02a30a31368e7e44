// The reach model's frame and its guards: normal depths of the worked
// channels and of a grid of channels against the root of the Manning
// equation, exchange flows of the worked channels, the early exit of a dry
// reach (and of losses above the flow) on flows far beyond 32 bits, a reach
// with no head flow along its whole length, reaches of one segment and of
// many, the guards on the heat balance and on non-finite values, the one
// mixed segment of a flow too small for the solves, the stop on a pivot
// that vanishes where the flow is resolved and the segments with no steady
// state for a growth, the reaeration formula at its
// depth threshold and the oxygen passes that do not settle.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "reach/tramo.h"
#include "simulation/node_road.h"
#include "tramo_prueba.h"

namespace {

using tornal::Modelo;
using namespace tornal_test;

TEST(ReachHydraulics, NormalDepthOfTheWorkedChannels) {
  struct Caso {
    double n, b, s, talud, q;
    double calado, tolerancia;  // m
  };
  const Caso casos[] = {
      {0.03, 10.0, 0.001, 0.0, 10.0, 1.0453, 0.00005},   // six secant steps
      {0.03, 20.0, 0.002, 2.0, 0.05, 0.0182, 0.00005},   // stops at its second step; the root is 0.0216
      {0.025, 1.0, 0.0001, 2.0, 2.0, 1.4902, 0.00005},   // a canal in winter
      {0.025, 1.0, 0.0001, 2.0, 10.0, 2.9087, 0.00005},  // in flood: the root, not the secant's 0.119
  };
  for (const Caso& c : casos)
    EXPECT_NEAR(tornal::CALADONORMALSUB(c.n, c.b, c.s, c.talud, c.q), c.calado, c.tolerancia) << c.q;
  // A flow whose depth the secant puts below a millimetre, or a flow so
  // small that the residuals do not change: a depth of at least 0.001 m.
  for (double q : {1.0e-4, 1.0e-9, 1.0e-30}) {
    const double y = tornal::CALADONORMALSUB(0.03, 10.0, 0.001, 0.0, q);
    EXPECT_TRUE(std::isfinite(y)) << q;
    EXPECT_GE(y, static_cast<double>(0.001f)) << q;
  }
}

// The root of the Manning equation sqrt(IMN) / NMN A^(5/3) / P^(2/3) = QMN
// by bisection in extended precision, the channel carrying nothing at 0.
double raiz_manning(double n, double b, double s, double talud, double q) {
  auto caudal = [&](long double y) {
    const long double A = (talud * y + b) * y, P = b + 2.0L * y * std::sqrt(1.0L + talud * talud);
    return std::sqrt(static_cast<long double>(s)) / n * std::pow(A, 5.0L / 3.0L) / std::pow(P, 2.0L / 3.0L);
  };
  long double bajo = 0.0L, alto = 1.0L;
  while (caudal(alto) < q) alto *= 2.0L;
  for (int k = 0; k < 100; ++k) (caudal(0.5L * (bajo + alto)) < q ? bajo : alto) = 0.5L * (bajo + alto);
  return static_cast<double>(bajo);
}

// Over channels 1 to 100 m wide, of slopes 1e-4 to 1e-2, side slopes 0 to
// 2 and roughness 0.025 to 0.05 carrying 0.01 to 3000 m3/s, the depth lies
// within the search's step of 0.01 m of the root. In a narrow channel in
// flood the secant's first step overshoots to some 100 m and its short
// steps then come far from the root (a canal 1 m wide carrying 10 m3/s
// stood at 0.119 m instead of 2.9 m).
TEST(ReachHydraulics, NormalDepthLiesWithinTheStepOfTheRootOfTheManningEquation) {
  for (double b : {1.0, 2.0, 3.0, 5.0, 10.0, 20.0, 50.0, 100.0})
    for (double s : {1.0e-4, 1.0e-3, 1.0e-2})
      for (double talud : {0.0, 0.5, 1.0, 2.0})
        for (double n : {0.025, 0.035, 0.05}) {
          double antes = 0.0;  // the depth of the smaller flow in the same channel
          for (double q : {0.01, 0.1, 1.0, 2.0, 10.0, 30.0, 100.0, 300.0, 1000.0, 2000.0, 3000.0}) {
            const double raiz = raiz_manning(n, b, s, talud, q);
            const double y = tornal::CALADONORMALSUB(n, b, s, talud, q);
            EXPECT_NEAR(y, raiz, 0.01) << "B=" << b << " I=" << s << " talud=" << talud << " n=" << n << " Q=" << q;
            // A larger flow runs deeper, to within the step on either depth.
            EXPECT_GE(y, antes - 0.02) << "B=" << b << " I=" << s << " talud=" << talud << " n=" << n << " Q=" << q;
            antes = y;
          }
        }
}

// ECOND 5 m2/s over an area of 20 m2 and a step of 100 m; and the formula
// -1 in a rectangular channel of 10 m and slope 0.001 carrying 5 m3/s. With
// U = Q / (B Y) the formula gives EIJ = 0.011 Q^2 B 86400 / (dx Y^2.5
// sqrt(9.81 IMN)), so EIJ Y^2.5 is 23989 m3/day whatever depth the search
// returns (E = 2.7765 m2/s at a depth of 1 m).
TEST(ReachHydraulics, DispersiveExchangeOfTheWorkedReaches) {
  {
    ModeloTramo m;
    tramo_prueba(m, 1, 1000.0, 100.0, 1.0, 1.0);
    m.cal.ECOND(1) = 5.0;
    calcular(m, 20.0 * 86400.0, 0.0, 0.0, {1.0}, {1.0});
    ASSERT_DOUBLE_EQ(m.tramo.AIC(1), 20.0);
    EXPECT_NEAR(m.tramo.EIJ(1), 86400.0, 1e-9);
  }
  ModeloTramo m;
  tramo_prueba(m, 1, 1000.0, 100.0, 1.0, 1.0);
  tornal::Calidad& c = m.cal;
  c.TIPOHID(1) = 1;
  c.COEFTESHIDR(1, 1) = 0.056;  // about 1 m deep at 5 m3/s
  c.COEFTESHIDR(1, 2) = 10.0;
  c.COEFTESHIDR(1, 3) = 0.001;
  c.COEFTESHIDR(1, 4) = 0.0;
  c.ECOND(1) = -1.0;
  calcular(m, 5.0 * 86400.0, 0.0, 0.0, {1.0}, {1.0});
  const tornal::TrabajoTramo& w = m.tramo;
  EXPECT_NEAR(w.Y(1), 1.0, 0.01);
  EXPECT_NEAR(w.UI(1), 5.0 / (10.0 * w.Y(1)) * 86400.0, 1e-6);
  for (int i = 1; i <= 9; ++i) EXPECT_NEAR(w.EIJ(i) * std::pow(w.Y(i), 2.5), 23989.0, 1.0) << i;
}

// Which exit a reach takes, by its flows (m3/day) compared to the
// hundredth, with CO = 2 and CE = 5 of a conservative substance.
TEST(ReachEarlyExits, OutletByTheFlowsOfTheReach) {
  struct Caso {
    const char* que;
    double qcab, qent, qsal;
    double esperado;
  };
  const double GRANDE = 2.5e7;  // 289 m3/s: 100 q is beyond 32 bits
  const Caso casos[] = {
      {"large flows with losses", GRANDE, 0.0, 2.2e7, 2.0},
      {"large flows, equal hundredths beyond 32 bits", GRANDE, 0.0, GRANDE - 1.0e5, 2.0},
      {"large head and lateral flows", GRANDE, 3.0e7, 0.0, (GRANDE * 2.0 + 3.0e7 * 5.0) / (GRANDE + 3.0e7)},
      {"large lateral inflow only", 0.0, 3.0e7, 0.0, 5.0},
      {"head flow equal to the lateral inflow", 259200.0, 259200.0, 0.0, 3.5},
      {"head flow below a hundredth", 0.004, 1000.0, 0.0, (0.004 * 2.0 + 1000.0 * 5.0) / 1000.004},
      {"dry to the hundredth", 5.004, 0.009, 5.009, 0.0},
      {"three zero flows", 0.0, 0.0, 0.0, 0.0},
      {"losses twice the head flow", 100.0, 0.0, 200.0, 0.0},
      {"losses above the head flow by half a unit", 100.0, 0.0, 100.5, 0.0},
  };
  for (const Caso& caso : casos) {
    ModeloTramo m;
    tramo_prueba(m, 1, 1000.0, 100.0, 1.0, 1.0);
    m.cal.ECOND(1) = 10.0;
    const std::string parada = stop_message([&] { calcular(m, caso.qcab, caso.qent, caso.qsal, {2.0}, {5.0}); });
    EXPECT_EQ(parada, "") << caso.que;
    EXPECT_NEAR(salida(m, 1), caso.esperado, 1e-12 * caso.esperado) << caso.que;
    for (int i = 1; i <= m.tramo.CX.size(1); ++i) EXPECT_TRUE(std::isfinite(m.tramo.CX(i, 1))) << caso.que;
    EXPECT_EQ(m.sim.ERRORCOND(1), 0) << caso.que;
  }
}

// A reach with no head flow, fed by its aquifer, is modelled along its
// length and joins the reach with a trickle at its head. With the lateral
// inflow QENT at CE and the diffuse load SDIF spread over the length L, and
// decay k at the constant velocity u of the test reach (area Q / u), the
// load M = Q C carried past x obeys dM/dx = (QENT CE + SDIF) / L - (k / u) M
// from M(0) = QCAB CO, so that the outlet is
//   C(L) = [(QENT CE + SDIF) (1 - e^-a) / a + QCAB CO e^-a] / (QCAB + QENT),
// a = k L / u: with no head flow, (CE + SDIF / QENT) (1 - e^-a) / a, the
// 94.43 and 203.73 of an aquifer at 100 decaying at 0.5/day over 10 km. The
// central scheme is second order.
TEST(ReachWithoutHeadFlow, DecayAndDiffuseLoadAlongTheReachAsSolvedByHand) {
  const double U = 0.5, LONG = 10000.0, QENT = 86400.0, CO = 2.0, CE = 100.0;
  struct Caso {
    const char* que;
    double qcab, k, sdif;
  };
  const Caso casos[] = {
      {"no head flow", 0.0, 0.0, 0.0},
      {"no head flow, decay", 0.0, 0.5, 0.0},
      {"no head flow, decay and a diffuse load", 0.0, 0.5, 1.0e7},
      {"a trickle at the head, decay", 0.02, 0.5, 0.0},
      {"a trickle at the head, decay and a diffuse load", 0.02, 0.5, 1.0e7},
      {"a head flow equal to the inflow, decay and a diffuse load", QENT, 0.5, 1.0e7},
  };
  for (const Caso& caso : casos) {
    const double a = caso.k * LONG / (U * 86400.0);
    const double f = a > 0.0 ? (1.0 - std::exp(-a)) / a : 1.0;
    const double exacta = ((QENT * CE + caso.sdif) * f + caso.qcab * CO * std::exp(-a)) / (caso.qcab + QENT);
    double error[2];
    for (int n = 0; n < 2; ++n) {
      const int N = 20 << n;
      ModeloTramo m;
      tramo_prueba(m, 1, LONG, LONG / N, U, 1.0);
      tornal::Calidad& c = m.cal;
      c.KCOND(1, 1) = caso.k;
      c.NUMVERTDIF = 1;
      c.NUMCONDUCVERTDIF.resize_filled(1, 1);
      c.SDVERTDIF.resize_filled(caso.sdif, 1, 1);
      calcular(m, caso.qcab, QENT, 0.0, {CO}, {CE});
      error[n] = salida(m, 1) - exacta;
    }
    // Conservative: the mean of what enters, to rounding; otherwise within
    // 2 (a/N)^2 of the outlet at N = 20, and four times closer at N = 40.
    if (a == 0.0) {
      EXPECT_NEAR(error[0], 0.0, 1e-12 * exacta) << caso.que;
      EXPECT_NEAR(error[1], 0.0, 1e-12 * exacta) << caso.que;
      continue;
    }
    EXPECT_LT(std::fabs(error[0]), 2.0 * (a / 20) * (a / 20) * exacta) << caso.que;
    EXPECT_GT(error[0] / error[1], 3.5) << caso.que;
    EXPECT_LT(error[0] / error[1], 4.5) << caso.que;
  }
  // Every segment of a reach with no head flow has a flow, a depth, an area
  // and a velocity, also in a Manning channel whose dispersion follows from
  // its depths and velocities (ECOND -1).
  ModeloTramo m;
  tramo_prueba(m, 1, LONG, LONG / 100, U, 1.0);
  m.cal.TIPOHID(1) = 1;
  const double canal[] = {0.035, 15.0, 0.002, 2.0};
  for (int j = 1; j <= 4; ++j) m.cal.COEFTESHIDR(1, j) = canal[j - 1];
  m.cal.ECOND(1) = -1.0;
  calcular(m, 0.0, 0.5 * 86400.0, 0.0, {CO}, {CE});
  const tornal::TrabajoTramo& w = m.tramo;
  for (int i = 1; i <= 100; ++i) {
    for (double v : {w.QI(i), w.QI1(i), w.Y(i), w.AIC(i), w.UI(i)}) EXPECT_TRUE(v > 0.0 && std::isfinite(v)) << i;
    if (i < 100) {
      EXPECT_TRUE(w.EIJ(i) >= 0.0 && std::isfinite(w.EIJ(i))) << i;
    }
  }
  EXPECT_NEAR(salida(m, 1), CE, 1e-9 * CE);
}

// A reach shorter than two steps is one mixed segment of its step (of its
// own length when shorter than one step) with an upwind outlet: C = loads /
// (outlet flow + losses + k V), V the centre area (QI / u) times the length.
TEST(ReachSegments, ReachOfOneSegmentIsOneMixedVolume) {
  struct Caso {
    double lcond, incrx, longitud;
  };
  const double U = 0.5, k = 3.0, qcab = 86400.0, qent = 20000.0, qsal = 30000.0, CO = 4.0, CE = 1.0;
  for (const Caso& caso :
       {Caso{150.0, 100.0, 100.0}, Caso{199.9, 100.0, 100.0}, Caso{50.0, 100.0, 50.0}, Caso{50.0, 0.0, 50.0}}) {
    ModeloTramo m;
    tramo_prueba(m, 1, caso.lcond, caso.incrx, U, 1.0);
    m.cal.ECOND(1) = 5.0;  // nothing to exchange with
    m.cal.KCOND(1, 1) = k;
    EXPECT_EQ(stop_message([&] { calcular(m, qcab, qent, qsal, {CO}, {CE}); }), "") << caso.lcond;
    const double V = (qcab + (qent - qsal) / 2.0) / 86400.0 / U * caso.longitud;
    const double esperado = (qcab * CO + qent * CE) / (qcab + qent - qsal + qsal + k * V);
    EXPECT_NEAR(salida(m, 1), esperado, 1e-12 * esperado) << caso.lcond << " " << caso.incrx;
  }
}

// The weather of reach 1 of two under a heat balance that runs away: a back
// radiation a billion times too strong.
void balance_desbocado(ModeloTramo& m) {
  tornal::Calidad& c = m.cal;
  for (tornal::Array2<double>* a : {&c.HSWCOND, &c.TAIRCOND, &c.HRCOND, &c.NUBCOND, &c.VIENTOCOND}) a->resize(2, 12);
  for (int mes = 1; mes <= 12; ++mes) c.TAIRCOND(1, mes) = 15.0;
  c.CONSTANTESMODTEMPERATURA(1) = 1.0e3;
  c.CONSTANTESMODTEMPERATURA(2) = 1.0;
}

// A heat balance that runs away keeps finite temperatures, logs the reach
// and flags it.
TEST(ReachGuards, RunawayHeatBalanceIsSolvedLinearisedWithinTheRangeOfWaterTemperatures) {
  ModeloTramo m;
  tramo_prueba(m, 1, 10000.0, 500.0, 0.5, 1.0);
  opciones(m, 1, 0, 2);
  balance_desbocado(m);
  EXPECT_EQ(stop_message([&] { calcular(m, 86400.0, 0.0, 0.0, {15.0}, {15.0}, 3); }), "");
  for (int i = 1; i <= 20; ++i) {
    EXPECT_GE(m.tramo.CX(i, 1), -50.0) << i;
    EXPECT_LE(m.tramo.CX(i, 1), 100.0) << i;
  }
  EXPECT_EQ(m.sim.MESESCALORLINEAL(1), 1);
  EXPECT_EQ(m.sim.ERRORCOND(1), 0);
  EXPECT_EQ(m.sim.ERRORCOND(2), 0);
  EXPECT_GE(lineas_con(m, "Tramo 1"), 1);
  EXPECT_GE(lineas_con(m, "Año, Mes:           1           3"), 1);
}

// What a month given up on its segments noted is not kept: a runaway heat
// balance on the 100 segments of a spring of 0.012 m3/day is solved
// linearised and noted; with a decay below 0 that the first segment's flow
// cannot tell from 0 in its pollutant, the month is one mixed segment,
// whose heat balance is noted and counted once, after the note of the mix.
TEST(ReachGuards, NotesOfAMonthGivenUpOnItsSegmentsAreNotKept) {
  for (const double k : {0.0, -7200.0}) {
    SCOPED_TRACE(k);
    ModeloTramo m;
    tramo_prueba(m, 2, 1000.0, 10.0, 1.0, 1.0);
    opciones(m, 1, 0, 2);
    balance_desbocado(m);
    tornal::Calidad& c = m.cal;
    c.ECOND(1) = 10.0;
    c.KCOND(1, 1) = k;
    EXPECT_EQ(stop_message([&] { calcular(m, 0.0, 0.012, 0.0, {15.0, 1.0}, {15.0, 1.0}, 3); }), "");
    const bool mezcla = k < 0.0;
    EXPECT_EQ(m.tramo.QI1.size(), mezcla ? 1 : 100);
    EXPECT_EQ(m.sim.MESESMEZCLACOND(1), mezcla ? 1 : 0);
    EXPECT_EQ(m.sim.MESESCALORLINEAL(1), 1);
    std::vector<std::string> l = log_lines(m);
    const auto calor = std::find(l.begin(), l.end(), "Se resuelve el balance de calor linealizado");
    ASSERT_NE(calor, l.end());
    EXPECT_EQ(std::find(calor + 1, l.end(), *calor), l.end());
    EXPECT_EQ(std::find(l.begin(), calor, "Se calcula como un solo segmento de mezcla completa") != calor, mezcla);
  }
}

TEST(ReachGuards, NonFiniteConcentrationFlagsTheReach) {
  ModeloTramo m;
  tramo_prueba(m, 2, 1000.0, 100.0, 1.0, 1.0);
  calcular(m, 86400.0, 0.0, 0.0, {1.0, std::numeric_limits<double>::quiet_NaN()}, {1.0, 1.0});
  EXPECT_EQ(m.sim.ERRORCOND(1), 1);
}

// A Manning channel whose slope, roughness, width or side slope leave the
// normal depth undefined flags the reach (its depths stand at 0.001 m).
TEST(ReachGuards, ChannelWithoutNormalDepthFlagsTheReach) {
  const double canales[][4] = {{0.035, 15.0, -0.002, 2.0},
                               {0.0, 15.0, 0.002, 2.0},
                               {0.035, -1.0, 0.002, 2.0},
                               {0.035, 15.0, 0.002, -2.0},
                               {0.035, 15.0, 0.002, 2.0}};
  for (const auto& k : canales) {
    ModeloTramo m;
    tramo_prueba(m, 1, 1000.0, 100.0, 1.0, 1.0);
    m.cal.TIPOHID(1) = 1;
    for (int j = 1; j <= 4; ++j) m.cal.COEFTESHIDR(1, j) = k[j - 1];
    calcular(m, 86400.0, 0.0, 0.0, {1.0}, {1.0});
    EXPECT_EQ(m.sim.ERRORCOND(1), k[0] == 0.035 && k[1] > 0 && k[2] > 0 && k[3] > 0 ? 0 : 1) << k[0] << " " << k[2];
    EXPECT_TRUE(std::isfinite(salida(m, 1)));
  }
}

// A flow too small for the solves on the reach's segments (a pivot below
// 0.0001 m3/day where no flow, exchange or loss of its row reaches that) is
// one mixed segment over the reach's length, as a reach shorter than its
// step: C = loads / (outlet flow + losses + k V), V the centre area times
// the length. A head flow below the hundredth with equal lateral inflow and
// loss over 1000 segments (a first pivot of 0.000035 m3/day), and a spring
// of 0.4 m3 a month over 600 (0.000011). The first such month of the reach
// is noted in the run log, every one is counted. A spring in a channel
// whose decay keeps every pivot is solved on its segments.
TEST(ReachGuards, FlowTooSmallForTheSolvesIsOneMixedSegment) {
  struct Caso {
    const char* que;
    double lcond, incrx, qcab, qent, qsal;
  };
  const double U = 0.5, k = 0.2, CO = 40.0, CE = 3.0;
  const std::string NOTA = "El caudal de la conducción es demasiado pequeño para el cálculo del transporte";
  for (const Caso& caso : {Caso{"a trickle at the head", 1000.0, 1.0, 0.00005, 0.01, 0.01},
                           Caso{"a spring of 0.4 m3 a month", 6000.0, 10.0, 0.0, 0.4 / 30.0, 0.0}}) {
    SCOPED_TRACE(caso.que);
    ModeloTramo m;
    tramo_prueba(m, 2, caso.lcond, caso.incrx, U, 1.0);
    m.cal.KCOND(1, 2) = k;  // pollutant 1 conservative, pollutant 2 decays
    const double V = (caso.qcab + (caso.qent - caso.qsal) / 2.0) / 86400.0 / U * caso.lcond;
    for (int mes : {2, 3}) {
      EXPECT_EQ(stop_message([&] { calcular(m, caso.qcab, caso.qent, caso.qsal, {CO, CO}, {CE, CE}, mes); }), "");
      for (int c = 1; c <= 2; ++c) {
        const double kV = c == 2 ? k * V : 0.0;
        const double esperado =
            (caso.qcab * CO + caso.qent * CE) / (caso.qcab + caso.qent - caso.qsal + caso.qsal + kV);
        EXPECT_NEAR(salida(m, c, mes), esperado, 1e-12 * esperado) << mes << " " << c;
      }
    }
    EXPECT_EQ(m.sim.MESESMEZCLACOND(1), 2);
    EXPECT_EQ(lineas_con(m, NOTA), 1);
    EXPECT_GE(lineas_con(m, "Tramo 1"), 1);
    EXPECT_EQ(lineas_con(m, "Año, Mes:           1           2"), 1);
    EXPECT_EQ(lineas_con(m, "Se calcula como un solo segmento de mezcla completa"), 1);
  }
  ModeloTramo m;
  tramo_prueba(m, 1, 6000.0, 10.0, U, 1.0);
  m.cal.TIPOHID(1) = 1;
  const double canal[] = {0.035, 15.0, 0.002, 2.0};
  for (int j = 1; j <= 4; ++j) m.cal.COEFTESHIDR(1, j) = canal[j - 1];
  m.cal.KCOND(1, 1) = k;
  calcular(m, 0.0, 0.4 / 30.0, 0.0, {CO}, {CE});
  EXPECT_EQ(m.tramo.QI1.size(), 600);
  EXPECT_EQ(m.sim.MESESMEZCLACOND(1), 0);
  EXPECT_EQ(lineas_con(m, NOTA), 0);
  EXPECT_GT(salida(m, 1), 0.0);
  EXPECT_LT(salida(m, 1), CE);
}

// A pivot that vanishes where the flow is resolved, for a constituent with
// no growth, stops the run: a dispersion coefficient of -50 m2/s whose
// exchange (-43200 m3/day over 1 m2 and a step of 100 m) cancels the first
// pivot of a reach carrying 1 m3/s over 10 segments (0.5 QI1).
TEST(ReachGuards, VanishingPivotWhereTheFlowIsResolvedStopsAndLogsTheReachYearAndMonth) {
  ModeloTramo m;
  tramo_prueba(m, 1, 1000.0, 100.0, 1.0, 1.0);
  m.cal.ECOND(1) = -50.0;
  EXPECT_EQ(stop_message([&] { calcular(m, 86400.0, 0.0, 0.0, {1.0}, {1.0}, 2); }), "Inestabilidad numerica");
  EXPECT_EQ(lineas_con(m, "Inestabilidad numerica"), 1);
  EXPECT_GE(lineas_con(m, "Tramo 1"), 1);
  EXPECT_EQ(lineas_con(m, "Año, Mes:           1           2"), 1);
  EXPECT_EQ(m.sim.MESESMEZCLACOND(1), 0);
}

// The one mixed segment with no steady state: a decay below 0 that the flow
// Q entering it cannot carry away, Q + k V <= 0 (or too near 0 for the
// pivot), neither stops the run nor leaves a 0. The segment takes the value
// of the box V dC/dt = R - (Q + k V) C at the end of the month of 30 days,
// from the concentration of the water that enters it, C0 (head flow and
// lateral inflow mixed): R / B + (C0 - R / B) e^(-30 B / V) with B = Q + kV,
// and C0 + 30 R / V where B is 0. A spring too small for its 600 segments,
// whose water stays 164 days in the reach, at -0.01/day (B = -0.64 Q, a
// steady state below 0) and at -0.0061/day (B = -0.0004 Q, a pivot that
// vanishes) in two months: noted once after the note of the mix, counted in
// both and listed at the end of the run. A reach 50 m long, shorter than its
// step carrying 1 m3/s from its head and a lateral inflow (37.5 m3), its
// second pollutant at -2304/day: B is 0 exactly; its first, conservative,
// pollutant keeps its steady mix.
TEST(ReachGuards, MixedSegmentWithNoSteadyStateTakesTheValueItReachesAtTheEndOfTheMonth) {
  const std::string NOTA = "El segmento de mezcla completa de la conducción no tiene estado estacionario";
  const std::string FIN = "Meses de la conducción con mezcla completa sin estado estacionario";
  const double CE = 3.0, QENT = 0.4 / 30.0, LCOND = 6000.0;
  const double U = 0.5 * LCOND / (86400.0 * 164.0);  // V = 164 QENT
  for (const double k : {-0.01, -0.0061}) {
    SCOPED_TRACE(k);
    ModeloTramo m;
    tramo_prueba(m, 1, LCOND, 10.0, U, 1.0);
    m.cal.KCOND(1, 1) = k;
    const double V = QENT / 2.0 / 86400.0 / U * LCOND;
    const double B = QENT + k * V, R = QENT * CE;
    const double esperado = R / B + (CE - R / B) * std::exp(-30.0 * B / V);
    for (int mes : {2, 3}) {
      EXPECT_EQ(stop_message([&] { calcular(m, 0.0, QENT, 0.0, {40.0}, {CE}, mes); }), "");
      EXPECT_NEAR(salida(m, 1, mes), esperado, 1e-9 * esperado) << mes;
    }
    EXPECT_GT(esperado, CE);
    EXPECT_EQ(m.sim.MESESMEZCLACOND(1), 2);
    EXPECT_EQ(m.sim.MESESSINESTACIONARIOCOND(1), 2);
    EXPECT_EQ(m.sim.ERRORCOND(1), 0);
    std::vector<std::string> l = log_lines(m);
    const auto mezcla = std::find(l.begin(), l.end(), "Se calcula como un solo segmento de mezcla completa");
    ASSERT_NE(mezcla, l.end());
    ASSERT_GE(l.end() - mezcla, 2);
    EXPECT_EQ(mezcla[1], tornal::latin1(NOTA));
    const auto fecha = std::find(mezcla, l.end(), tornal::latin1("Año, Mes:           1           2"));
    const auto contaminante = std::find(mezcla, l.end(), "Contaminante: C1");
    EXPECT_NE(std::find_if(mezcla, fecha, [](const std::string& x) { return x.find("Tramo 1") == 0; }), fecha);
    EXPECT_LT(fecha, contaminante);
    ASSERT_NE(contaminante, l.end());
    EXPECT_EQ(lineas_con(m, NOTA), 1);
    EXPECT_EQ(lineas_con(m, "Se asume el valor que alcanza al cabo del mes"), 1);
    tornal::avisos_fin_calculo(m);
    l = log_lines(m);
    const auto fin = std::find(l.begin(), l.end(), tornal::latin1(FIN));
    const auto meses = std::find(fin, l.end(), tornal::latin1("Número de meses:           2"));
    EXPECT_NE(std::find_if(fin, meses, [](const std::string& x) { return x.find("Tramo 1") == 0; }), meses);
    EXPECT_NE(meses, l.end());
  }
  ModeloTramo m;
  tramo_prueba(m, 2, 50.0, 100.0, 1.0, 1.0);
  m.cal.KCOND(1, 2) = -2304.0;
  const double QCAB = 43200.0, QLAT = 43200.0, CO = 1.0, CEL = 5.0, V = 37.5;
  EXPECT_EQ(stop_message([&] { calcular(m, QCAB, QLAT, 0.0, {CO, CO}, {CEL, CEL}, 2); }), "");
  const double C0 = (QCAB * CO + QLAT * CEL) / (QCAB + QLAT);
  EXPECT_NEAR(salida(m, 1, 2), C0, 1e-12);
  EXPECT_NEAR(salida(m, 2, 2), C0 + 30.0 * (QCAB * CO + QLAT * CEL) / V, 1e-9 * salida(m, 2, 2));
  EXPECT_EQ(m.sim.MESESMEZCLACOND(1), 0);
  EXPECT_EQ(m.sim.MESESSINESTACIONARIOCOND(1), 1);
  EXPECT_EQ(lineas_con(m, NOTA), 1);
  EXPECT_EQ(lineas_con(m, "Contaminante: C2"), 1);
}

// A reach of many segments whose solve has no steady state for a growth
// (rate -0.5/day) neither stops the run nor leaves a silent 0: its water
// grows over the month. A trickle of 1 m3/day over 6 km in 10 m segments at
// 0.001 m/s stays 69 days in the reach: all the water at its outlet at the
// end of the month was there at its start, and has grown for the 30 days,
// 1000 e^15. A spring of 0.001 m3/s over the same 6 km at a velocity of
// 0.15 Q^0.4 stays 12 days: its outlet is that of plug flow, the lateral
// inflow at CE grown from where it enters, CE / L int_0^L e^(G(L) - G(x)) dx
// with G(x) = 0.5 x^0.6 / (0.6 c), u = c x^0.4 the velocity at x (m/day):
// the water followed down the segments stands within 0.05 % of it, and
// more than twice as far with segments twice as long. Noted once with the constituent,
// counted in every month and listed at the end of the run. The one mixed
// segment (50 m, shorter than its step) with a growth beyond e^709 and no
// start or source stands at 0.
TEST(ReachGuards, SegmentsWithNoSteadyStateTakeTheValueTheirWaterReachesAtTheEndOfTheMonth) {
  const std::string NOTA = "Los segmentos de la conducción no tienen estado estacionario";
  const std::string FIN = "Meses de la conducción sin estado estacionario en sus segmentos";
  const double L = 6000.0, CE = 1000.0, QENT = 86.4;
  const double c = 0.15 * std::pow(0.001 / L, 0.4) * 86400.0;
  const auto G = [&](double x) { return 0.5 * std::pow(x, 0.6) / (0.6 * c); };
  double integral = 0.0;
  const int n = 100000;
  for (int j = 0; j < n; ++j) integral += std::exp(G(L) - G((j + 0.5) * L / n)) * L / n;
  const double piston = CE * integral / L;
  double desvio[2] = {0.0, 0.0};
  for (const double INCRX : {10.0, 20.0}) {
    SCOPED_TRACE(INCRX);
    ModeloTramo m;
    tramo_prueba(m, 1, L, INCRX, 0.15, 0.1);
    m.cal.COEFTESHIDR(1, 2) = 0.4;
    m.cal.KCOND(1, 1) = -0.5;
    for (int mes : {6, 7}) EXPECT_EQ(stop_message([&] { calcular(m, 0.0, QENT, 0.0, {0.0}, {CE}, mes); }), "");
    desvio[INCRX > 10.0] = salida(m, 1, 7) / piston - 1.0;
    EXPECT_EQ(salida(m, 1, 6), salida(m, 1, 7));
    EXPECT_EQ(m.sim.MESESSINESTACIONARIOSEG(1), 2);
    EXPECT_EQ(m.sim.MESESSINESTACIONARIOCOND(1) + m.sim.MESESMEZCLACOND(1), 0);
    EXPECT_EQ(lineas_con(m, NOTA), 1);
    EXPECT_EQ(lineas_con(m, "Contaminante: C1"), 1);
    EXPECT_EQ(lineas_con(m, "Año, Mes:           1           6"), 1);
    EXPECT_EQ(lineas_con(m, "Se asume el valor que alcanza al cabo del mes"), 1);
    tornal::avisos_fin_calculo(m);
    const std::vector<std::string> l = log_lines(m);
    const auto fin = std::find(l.begin(), l.end(), tornal::latin1(FIN));
    EXPECT_NE(std::find(fin, l.end(), tornal::latin1("Número de meses:           2")), l.end());
  }
  EXPECT_LT(std::fabs(desvio[0]), 5e-4);
  EXPECT_GT(std::fabs(desvio[1] / desvio[0]), 2.0);

  ModeloTramo m;
  tramo_prueba(m, 1, L, 10.0, 0.001, 0.1);
  m.cal.KCOND(1, 1) = -0.5;
  EXPECT_EQ(stop_message([&] { calcular(m, 1.0, 0.0, 0.0, {1000.0}, {0.0}, 9); }), "");
  EXPECT_NEAR(salida(m, 1, 9), 1000.0 * std::exp(15.0), 2e-4 * 1000.0 * std::exp(15.0));
  EXPECT_EQ(m.sim.MESESSINESTACIONARIOSEG(1), 1);

  tramo_prueba(m, 1, 50.0, 100.0, 1.0, 1.0);
  m.cal.KCOND(1, 1) = -5000.0;  // x = 30 (5000 V - Q) / V = 98160, V = 50 m3
  EXPECT_EQ(stop_message([&] { calcular(m, 86400.0, 0.0, 0.0, {0.0}, {0.0}, 2); }), "");
  EXPECT_EQ(salida(m, 1, 2), 0.0);
  EXPECT_EQ(m.sim.MESESSINESTACIONARIOCOND(1), 1);
}

// A growth of a reach of 10 km in 10 segments with no dispersion, a
// velocity of 0.15 Q^0.4 and an inlet of 1000: where the solve follows the
// water (its values positive, though they go up and down from segment to
// segment) it stands bit for bit as the plain solve of the same rows, with
// no note; where its values swing in sign, the water followed down the
// reach stands at plug flow, 1000 e^(g L / u) (the travel time is below the
// month), noted and counted.
TEST(ReachGuards, GrowthTakesThePathOfItsWaterOnlyWhereTheSolveSwingsInSign) {
  struct Caso {
    double Q, g;  // m3/s, 1/day
    bool camino;
  };
  const double L = 10000.0, DX = 1000.0;
  const int N = 10;
  for (const Caso& caso : {Caso{1.0, 0.5, false}, Caso{0.1, 0.5, false}, Caso{0.01, 0.5, true}, Caso{0.001, 0.2, true},
                           Caso{0.01, 2.0, true}}) {
    SCOPED_TRACE(caso.Q);
    ModeloTramo m;
    tramo_prueba(m, 1, L, DX, 0.15, 0.1);
    m.cal.COEFTESHIDR(1, 2) = 0.4;
    m.cal.KCOND(1, 1) = -caso.g;
    const double Q = caso.Q * 86400.0;
    calcular(m, Q, 0.0, 0.0, {1000.0}, {0.0}, 3);
    EXPECT_EQ(m.sim.MESESSINESTACIONARIOSEG(1), caso.camino ? 1 : 0);
    if (caso.camino) {
      const double u = 0.15 * std::pow(caso.Q, 0.4) * 86400.0;
      EXPECT_NEAR(salida(m, 1, 3), 1000.0 * std::exp(caso.g * L / u), 1e-9 * salida(m, 1, 3));
      continue;
    }
    // The rows: central faces, the upwind outlet, the growth times the
    // volume on the diagonal.
    const double V = caso.Q / (0.15 * std::pow(caso.Q, 0.4)) * DX, kV = -caso.g * V;
    tornal::Array1<double> A{"A"}, B{"B"}, C{"C"}, R{"R"}, U{"U"}, G{"G"};
    for (tornal::Array1<double>* a : {&A, &B, &C, &R, &U, &G}) a->resize(N);
    for (int i = 1; i <= N; ++i) {
      A(i) = i == 1 ? 0.0 : -0.5 * Q;
      C(i) = i == N ? 0.0 : 0.5 * Q;
      B(i) = (i == 1 ? 0.5 * Q : i == N ? Q - 0.5 * Q : 0.5 * (Q - Q)) + kV;
    }
    R(1) = 1000.0 * Q;
    ASSERT_EQ(tornal::TRIDIAGONALSUB(A.run(N), B.run(N), C.run(N), R.run(N), U.run(N), G.run(N), N), 0);
    EXPECT_EQ(salida(m, 1, 3), U(N));
    EXPECT_EQ(lineas_con(m, "Los segmentos de la conducción no tienen estado estacionario"), 0);
  }
}

// Algae growing at 3.5 a day on a slow reach of 20 km in 2 km segments,
// whose solve swings in sign along the reach: their growth in a pass is
// limited by the nutrients of the pass before, and the reach keeps its
// solve, floored, with no note; every value is finite and not below 0.
TEST(ReachGuards, AlgaeKeepTheirSolveWhereItGivesValues) {
  ModeloTramo m;
  tramo_prueba(m, 8, 20000.0, 2000.0, 0.02, 1.0);
  opciones_nutrientes(m);
  tornal::Calidad& c = m.cal;
  constantes_tramo(c);
  c.KMAXGROWCOND(1) = 3.5, c.KRESPCOND(1) = 0.1, c.VSALGCOND(1) = 0.0, c.ISATCOND(1) = 250.0;
  for (int mes = 1; mes <= 12; ++mes) c.IOCOND(1, mes) = 400.0, c.FLUMCOND(1, mes) = 0.5;
  calcular(m, 86400.0, 0.0, 0.0, {3.0, 8.0, 0.5, 0.05, 2.0, 0.01, 0.05, 0.2}, std::vector<double>(8, 0.0), 10);
  EXPECT_EQ(m.sim.MESESSINESTACIONARIOSEG(1), 0);
  EXPECT_EQ(lineas_con(m, "Los segmentos de la conducción no tienen estado estacionario"), 0);
  for (int k = 1; k <= 8; ++k) {
    EXPECT_TRUE(std::isfinite(salida(m, k, 10))) << k;
    EXPECT_GE(salida(m, k, 10), 0.0) << k;
  }
}

// Reaeration from depth and velocity: the three worked cases, and a depth
// of exactly 0.61 m, below the single-precision 0.61, takes the first
// formula (the second would give 5.83).
TEST(ReachRates, ReaerationFormulaByDepthAndVelocity) {
  struct Caso {
    double H, U, ka, tolerancia;
  };
  const double primera = 5.32 * std::pow(0.5, 0.67) / std::pow(0.61, 1.85);
  const double segunda = 3.93 * std::pow(0.5, 0.5) / std::pow(0.62, 1.5);
  const Caso casos[] = {{0.5, 0.5, 12.05, 0.005},
                        {1.0, 0.5, 2.779, 0.0005},
                        {2.0, 1.0, 1.579, 0.0005},
                        {0.61, 0.5, primera, 1e-5},
                        {0.62, 0.5, segunda, 1e-5}};
  for (const Caso& caso : casos) {
    ModeloTramo m;
    tramo_prueba(m, 2, 1000.0, 100.0, caso.U, caso.H);
    opciones(m, 0, 1);
    m.cal.KACOND(1) = -1.0;
    calcular(m, 86400.0, 0.0, 0.0, {1.0, 8.0}, {0.0, 0.0});
    EXPECT_NEAR(m.tramo.KAAUX(1), caso.ka, caso.tolerancia) << caso.H << " " << caso.U;
  }
}

// The altitude factor of the saturation (9.092 mg/l at 20 degC) applies only
// to a reach whose column 5 is positive and column 6 exactly 0; Riley's
// self-shading and Steele's light curve over the depth and the day at
// their worked values.
TEST(ReachRates, AltitudeFactorSelfShadingAndLightFactor) {
  struct Altitud {
    double z, columna6, OSAT;
  };
  for (const Altitud& a : {Altitud{1000.0, 0.0, 8.048}, Altitud{1000.0, 0.5, 9.092}, Altitud{0.0, 0.0, 9.092},
                           Altitud{-300.0, 0.0, 9.092}}) {
    ModeloTramo m;
    tramo_prueba(m, 2, 1000.0, 100.0, 1.0, 1.0);
    opciones(m, 0, 1);
    m.cal.COEFTESHIDR(1, 5) = a.z;
    m.cal.COEFTESHIDR(1, 6) = a.columna6;
    calcular(m, 86400.0, 0.0, 0.0, {1.0, 8.0}, {0.0, 0.0});
    EXPECT_NEAR(m.tramo.OSATAUX(1), a.OSAT, 0.0005) << a.z << " " << a.columna6;
  }

  // The light factor is checked where the extinction is 1/m over 1 m.
  struct Luz {
    double ALFAFITO, KECOND, CHLA, KE;
    bool luz;
    double ALFA1, LIMLUM;
  };
  for (const Luz& l : {Luz{-1.0, 0.5, 0.01, 1.631, false, 0.0, 0.0}, Luz{0.0, 1.0, 0.01, 1.0, true, 0.5518, 0.4794}}) {
    ModeloTramo m;
    tramo_prueba(m, 8, 1000.0, 1000.0, 1.0, 1.0);
    opciones_nutrientes(m);
    tornal::Calidad& c = m.cal;
    c.ALFAFITOCOND(1) = l.ALFAFITO;
    c.KECOND(1) = l.KECOND;
    c.ISATCOND(1) = 2.0;
    c.IOCOND(1, 1) = 3.0;
    c.FLUMCOND(1, 1) = 0.5;
    m.sim.MESACTUAL = 1;
    tornal::Tramo t;
    t.I = 1;
    t.N = 1;
    m.tramo.dimensionar(1, 8);
    m.tramo.Y(1) = 1.0;
    m.tramo.CX(1, c.POS.CHLA) = l.CHLA;
    tornal::tasas_pasada(m, m.tramo, t);
    EXPECT_NEAR(m.tramo.KE(1), l.KE, 0.0005) << l.ALFAFITO;
    if (!l.luz) continue;
    EXPECT_NEAR(m.tramo.ALFA1(1), l.ALFA1, 0.00005);
    EXPECT_NEAR(m.tramo.LIMLUMCOND(1), l.LIMLUM, 0.00005);
  }
}

// One mixed segment of one day's residence, oxygen and nitrogen with no
// organic matter, under a strong nitrification (0.5 per day, limited by
// oxygen at a half-saturation of 0.5 mg/l) and reaeration of 2 per day.
// Below water of no oxygen and 50 mg/l of ammonium the nitrification that
// the oxygen of one pass sets takes more oxygen than the next pass has, the
// floor takes it to 0, and the pass after has no sink: the passes cycle
// between 0 and the oxygen of reaeration alone, whatever their cap. The
// month is taken at the fixed point of the passes: one more pass, written
// out here for the mixed segment, leaves its oxygen where it is, and caps
// of 50 and 51 passes give the same bits. Below oxygenated water the passes
// settle, and the month is that of the passes, replayed here to the bit.
TEST(ReachOxygen, PassesThatDoNotSettleEndAtTheirFixedPoint) {
  constexpr double KA = 2.0, KNAI = 0.5, KS = 0.5, S1 = 4.57;
  struct Caso {
    double OD, NH4;
    bool asentado;
  };
  for (const Caso& caso : {Caso{0.0, 50.0, false}, Caso{8.0, 1.0, true}}) {
    SCOPED_TRACE(caso.OD);
    auto calcular_con_tope = [&](double NUMMAXITERCOND, ModeloTramo& m) {
      tramo_prueba(m, 5, 86.4, 86.4, 0.001, 1.0);
      tornal::Calidad& c = m.cal;
      c.OPCIONTEMPERATURA = 0;
      c.OPCIONOXIGENO = c.OPCIONNITROGENO = 1;
      c.NUMCONT1OR = 0;
      c.POS = tornal::posiciones_contaminantes(c);
      c.KACOND(1) = KA;
      c.KNAICOND(1) = KNAI;
      c.CTELIMITACIONNUTRIENTES(2) = KS;
      c.STECHIO(1) = S1;
      c.NUMMAXITERCOND = NUMMAXITERCOND;
      calcular(m, 86400.0, 0.0, 0.0, {0.0, caso.OD, 0.0, caso.NH4, 0.0}, {0.0, 0.0, 0.0, 0.0, 0.0}, 4);
      return salida(m, 2, 4);
    };
    ModeloTramo m, m51;
    const double OD = calcular_con_tope(50.0, m);
    const double OD51 = calcular_con_tope(51.0, m51);
    const tornal::TrabajoTramo& w = m.tramo;
    ASSERT_EQ(w.VI.size(), 1);
    const double V = w.VI(1), OSAT = w.OSATAUX(1);
    // A pass of the mixed segment from oxygen O and ammonium NH4: the new
    // oxygen, then the new ammonium (nitrified where the new oxygen is
    // 1 mg/l or more).
    auto pasada = [&](double& O, double& NH4) {
      const double KNAI2 = KNAI * O / (KS + O);
      double R = w.WI(1, 2) + (KA * OSAT - 0.0 * 0.0) * V;
      R = R - S1 * KNAI2 * NH4 * V;
      const double ODN = R / (w.DIAG(1, 2) + KA * V);
      O = ODN < 0.0 ? 0.0 : ODN;
      NH4 = (w.WI(1, 4) + 0.0 * 0.0 * V) / (O >= 1.0 ? w.DIAG(1, 4) + KNAI2 * V : w.DIAG(1, 4));
    };
    EXPECT_EQ(lineas_con(m, "Los calculos iterativos para obtener el estado estacionario no han convergido"),
              caso.asentado ? 0 : 1);
    if (!caso.asentado) {
      EXPECT_EQ(lineas_con(m, "Año, Mes, Numero de Conduccion:           1           4           1"), 1);
      EXPECT_EQ(lineas_con(m, "Se asume el punto fijo de las iteraciones"), 1);
      EXPECT_EQ(OD51, OD);
      double O = OD, NH4 = w.CX(1, 4);
      pasada(O, NH4);
      EXPECT_NEAR(O, OD, 1e-6);
      EXPECT_GT(OD, 0.0);
      EXPECT_LT(OD, 1.0);
      continue;
    }
    // The passes from the head, to the test of the summed oxygen.
    double O = caso.OD, NH4 = caso.NH4, SUMAODANT = 100.0, SUMAOD = 0.0;
    for (int n = 1; !(std::fabs(SUMAODANT - SUMAOD) <= 0.5); ++n) {
      ASSERT_LE(n, 50);
      if (n > 1) SUMAODANT = SUMAOD;
      pasada(O, NH4);
      SUMAOD = O;
    }
    EXPECT_EQ(OD, O);
  }
}

}  // namespace
