// The heat balance of a reach (temperature model 2): where the passes of the
// flux settle their temperatures stand bit for bit; a slow reach, whose
// passes overshoot the equilibrium further at every pass, is solved by the
// linearised balance and reaches the temperature at which the flux vanishes;
// a pass whose sum of segment temperatures holds while the segments move
// apart is not taken as settled.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "physics/physics.h"
#include "tramo_prueba.h"

namespace {

using tornal::Modelo;
using namespace tornal_test;

constexpr int JULIO = 10;  // months count from October

// Reach 1 of N segments over L metres with power-law hydraulics of velocity
// U and depth H, temperature alone by the heat balance, and a Mediterranean
// July: 300 W/m2 of short-wave radiation, air at 25 degC, 60 % humidity,
// wind 2 m/s, a fifth of the sky cloudy; the example basin's constants.
void tramo_calor(Modelo& m, double L, int N, double U, double H) {
  tramo_prueba(m, 1, L, L / N, U, H);
  opciones(m, 1, 0, 2);
  tornal::Calidad& c = m.cal;
  for (tornal::Array2<double>* a : {&c.HSWCOND, &c.TAIRCOND, &c.HRCOND, &c.NUBCOND, &c.VIENTOCOND}) a->resize(2, 12);
  for (int mes = 1; mes <= 12; ++mes) {
    c.HSWCOND(1, mes) = 300.0;
    c.TAIRCOND(1, mes) = 25.0;
    c.HRCOND(1, mes) = 60.0;
    c.VIENTOCOND(1, mes) = 2.0;
    c.NUBCOND(1, mes) = 0.2;
  }
  const double constantes[] = {1.17e-7, 0.97, 19.0, 0.95, 2.0};
  for (int k = 1; k <= 5; ++k) c.CONSTANTESMODTEMPERATURA(k) = constantes[k - 1];
}

double flujo(const Modelo& m, double T) {
  const tornal::Calidad& c = m.cal;
  return tornal::HTOTAL(c, T, c.HSWCOND(1, JULIO), c.TAIRCOND(1, JULIO), c.VIENTOCOND(1, JULIO), c.HRCOND(1, JULIO),
                        c.NUBCOND(1, JULIO));
}

// The root of the flux by the secant method on HTOTAL alone.
double equilibrio(const Modelo& m) {
  double a = 0.0, b = 40.0;
  for (int k = 0; k < 100 && std::fabs(b - a) > 1e-12; ++k) {
    const double c = b - flujo(m, b) * (b - a) / (flujo(m, b) - flujo(m, a));
    a = b;
    b = c;
  }
  return b;
}

// The passes of the flux replayed on the stored rows of the reach (never
// changed by the heat balance): from the head temperature, the flux of the
// previous pass on the right side, until the sum of the segment
// temperatures moves by 1.0 or less. Returns the temperatures and the sum of
// the absolute changes of the last pass.
struct Pasadas {
  std::vector<double> T;
  double cambio = 0.0;
};
Pasadas pasadas_del_flujo(ModeloTramo& m, double cabecera) {
  tornal::TrabajoTramo& w = m.tramo;
  const int N = w.AXY.size();
  const double F = 1000.0 * 4186.0 * static_cast<double>(1.1574167e-5f);
  tornal::Array1<double> R{"R"}, U{"U"}, G{"G"}, X{"X"};
  for (tornal::Array1<double>* a : {&R, &U, &G, &X}) a->resize(N);
  X.fill(cabecera);
  double SUMAANT = 15.0, SUMAT = 0.0, cambio = 0.0;
  while (std::fabs(SUMAANT - SUMAT) > 1.0) {
    SUMAANT = SUMAT;
    for (int i = 1; i <= N; ++i) R(i) = w.WI(i, 1) + flujo(m, X(i)) * w.AXY(i) / F;
    EXPECT_EQ(tornal::TRIDIAGONALSUB(w.SUB.run(N), w.DIAG.run(N, 1), w.SUPER.run(N), R.run(N), U.run(N), G.run(N), N),
              0);
    double suma = 0.0;
    cambio = 0.0;
    for (int i = 1; i <= N; ++i) {
      suma = suma + U(i);
      EXPECT_TRUE(U(i) >= -50.0 && U(i) <= 100.0) << i;
      cambio += std::fabs(U(i) - X(i));
      X(i) = U(i);
    }
    SUMAT = suma;
  }
  Pasadas p;
  for (int i = 1; i <= N; ++i) p.T.push_back(X(i));
  p.cambio = cambio;
  return p;
}

// A fast deep reach (exchange over travel time g = 0.26): the passes settle
// and their temperatures stand to the bit, with nothing in the run log.
TEST(ReachHeatBalance, SettledPassesStandBitForBit) {
  ModeloTramo m;
  tramo_calor(m, 20000.0, 20, 0.5, 1.0);
  calcular(m, 86400.0, 8640.0, 0.0, {18.0}, {16.0}, JULIO);
  const Pasadas p = pasadas_del_flujo(m, 18.0);
  ASSERT_LE(p.cambio, 1.0);
  for (int i = 1; i <= 20; ++i) EXPECT_EQ(m.tramo.CX(i, 1), p.T[i - 1]) << i;
  EXPECT_EQ(m.sim.MESESCALORLINEAL(1), 0);
  EXPECT_TRUE(log_lines(m).empty());
}

// A slow shallow reach (g about 13): the passes diverge, the linearised
// balance settles, every segment lies between the head temperature and the
// equilibrium and the outlet is at the equilibrium (the distance that is
// left, (Teq - T0) e^-g, is below 1e-4 degC; the passes stop at changes of
// 0.001 degC after quadratic steps). The first month alone is written to
// the run log; both are counted; no overflow flag.
TEST(ReachHeatBalance, SlowReachReachesTheEquilibriumOfTheFlux) {
  ModeloTramo m;
  tramo_calor(m, 20000.0, 40, 0.05, 0.2);
  const double TE = equilibrio(m);
  ASSERT_NEAR(TE, 25.85, 0.01);
  for (int vez = 0; vez < 2; ++vez) calcular(m, 8640.0, 0.0, 0.0, {18.0}, {18.0}, JULIO);
  for (int i = 1; i <= 40; ++i) {
    EXPECT_GE(m.tramo.CX(i, 1), 18.0 - 1e-9) << i;
    EXPECT_LE(m.tramo.CX(i, 1), TE + 1e-6) << i;
  }
  EXPECT_NEAR(salida(m, 1, JULIO), TE, 1e-4);
  EXPECT_EQ(m.sim.MESESCALORLINEAL(1), 2);
  EXPECT_EQ(m.sim.MESESCALOREQUILIBRIO(1), 0);
  EXPECT_EQ(m.sim.ERRORCOND(1), 0);
  EXPECT_EQ(lineas_con(m, "El balance de calor de la conducción no ha convergido"), 1);
  EXPECT_EQ(lineas_con(m, "Se resuelve el balance de calor linealizado"), 1);
  EXPECT_EQ(lineas_con(m, "Año, Mes:           1          10"), 1);
}

// Two segments whose passes end by the sum of their temperatures while the
// segments still move apart by more than a degree: the passes do not stand
// and the linearised balance puts the outlet between the inflow and the
// equilibrium.
TEST(ReachHeatBalance, SumThatHoldsWhileTheSegmentsMoveApartIsNotSettled) {
  ModeloTramo m;
  tramo_calor(m, 2000.0, 2, 0.02, 0.17);
  calcular(m, 8640.0, 0.0, 0.0, {22.0}, {22.0}, JULIO);
  const Pasadas p = pasadas_del_flujo(m, 22.0);
  ASSERT_GT(p.cambio, 1.0);
  EXPECT_EQ(m.sim.MESESCALORLINEAL(1), 1);
  const double TE = equilibrio(m);
  EXPECT_GT(salida(m, 1, JULIO), 22.0);
  EXPECT_LE(salida(m, 1, JULIO), TE);
}

// Weather that the flux cannot evaluate (a negative wind to a fractional
// power): the transport of the head temperature with no surface exchange,
// no overflow flag, the run goes on, both fallbacks in the run log.
TEST(ReachHeatBalance, FluxThatCannotBeEvaluatedLeavesTheTransportedTemperature) {
  ModeloTramo m;
  tramo_calor(m, 10000.0, 20, 0.5, 1.0);
  m.cal.CONSTANTESMODTEMPERATURA(5) = 0.5;
  for (int mes = 1; mes <= 12; ++mes) m.cal.VIENTOCOND(1, mes) = -2.0;
  EXPECT_EQ(stop_message([&] { calcular(m, 86400.0, 0.0, 0.0, {15.0}, {15.0}, 3); }), "");
  for (int i = 1; i <= 20; ++i) EXPECT_DOUBLE_EQ(m.tramo.CX(i, 1), 15.0) << i;
  EXPECT_EQ(m.sim.ERRORCOND(1), 0);
  EXPECT_EQ(m.sim.MESESCALORLINEAL(1), 1);
  EXPECT_EQ(m.sim.MESESCALOREQUILIBRIO(1), 1);
  EXPECT_EQ(lineas_con(m, "Año, Mes:           1           3"), 2);
  EXPECT_EQ(lineas_con(m, "Se asume la temperatura de equilibrio"), 1);
}

}  // namespace
