// The reach model against closed forms, on one reach of constant velocity
// and depth with no lateral flows. The central scheme is second order at the
// outlet, so every comparison is made at N and 2N segments: the outlet
// error must shrink about four times. For a single first-order exchange
// (decay, or exchange with an equilibrium temperature) the leading error is
// known exactly: with the head face at the head value, central faces and an
// upwind outlet, the discrete outlet is
//   C(N) = C(L) [1 + (a/N)^2 ((1 - (-1)^N e^(-2a)) / 4 + a / 6) + O(N^-3)],
// a = k L / u, the a/6 from the per-segment factor exp(-asinh(a/N)) and the
// rest from the two faces at the ends.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tramo_prueba.h"

namespace {

using tornal::Modelo;
using namespace tornal_test;

constexpr double DIA = 86400.0;
constexpr double Q = DIA;  // 1 m3/s
constexpr double LONG = 10000.0;

// Relative leading error of the outlet of a first-order exchange.
double error_principal(double a, int N) {
  const double signo = N % 2 == 0 ? 1.0 : -1.0;
  return (a / N) * (a / N) * ((1.0 - signo * std::exp(-2.0 * a)) / 4.0 + a / 6.0);
}

// Decay of a first-order pollutant (k 1/day) or exchange of temperature
// with TECOND through the water surface (KETCOND W/m2/degC); both are an
// exponential approach along the reach with rate a = K L.
struct CasoExponencial {
  const char* que;
  bool temperatura;
  double k;  // KCOND or KETCOND
};

TEST(ReachClosedForm, ExponentialApproachConvergesAtSecondOrderToTheLeadingError) {
  const double U = 0.5, H = 1.0;  // A = 2 m2, width 2 m
  const CasoExponencial casos[] = {{"decay", false, 4.32}, {"equilibrium temperature", true, 200.0}};
  for (const CasoExponencial& caso : casos) {
    double error_anterior = 0.0;
    for (int N : {20, 40, 6400}) {
      ModeloTramo m;
      tramo_prueba(m, 1, LONG, LONG / N, U, H);
      double inicial = 3.0, final_ = 0.0, a = caso.k * LONG / (U * DIA);
      if (caso.temperatura) {
        opciones(m, 1, 0, 1);
        m.cal.KETCOND(1) = caso.k;
        for (int mes = 1; mes <= 12; ++mes) m.cal.TECOND(1, mes) = 25.0;
        // Exchange per segment KETCOND AXY / (rho c 1.1574167e-5), AXY the
        // width times the segment length; the last factor is a
        // single-precision constant of the system (it shows at N = 6400).
        const double FACTORCALOR = 1000.0 * 4186.0 * static_cast<double>(1.1574167e-5f);
        a = caso.k * (Q / DIA / U / H) * LONG / (FACTORCALOR * Q);
        inicial = 10.0;
        final_ = 25.0;
      } else {
        m.cal.KCOND(1, 1) = caso.k;
      }
      calcular(m, Q, 0.0, 0.0, {inicial}, {0.0});
      const double exacta = final_ + (inicial - final_) * std::exp(-a);
      const double error = salida(m, 1) - exacta;
      const double principal = (inicial - final_) * std::exp(-a) * error_principal(a, N);
      // The next term is smaller by a further factor of order a/N.
      EXPECT_NEAR(error, principal, 0.1 * std::fabs(principal)) << caso.que << " N=" << N;
      if (N == 40) {
        const double razon = error_anterior / error;
        EXPECT_GT(razon, 3.5) << caso.que;
        EXPECT_LT(razon, 4.5) << caso.que;
      }
      error_anterior = error;
    }
  }
}

// Closed-vessel (Danckwerts) outlet of decay with dispersion (Wehner and
// Wilhelm).
double wehner_wilhelm(double k, double D, double u, double L) {
  const double Pe = u * L / D;
  const double a = std::sqrt(1.0 + 4.0 * k * D / (u * u));
  return 4.0 * a * std::exp(Pe / 2.0) /
         ((1.0 + a) * (1.0 + a) * std::exp(a * Pe / 2.0) - (1.0 - a) * (1.0 - a) * std::exp(-a * Pe / 2.0));
}

TEST(ReachClosedForm, DecayWithDispersionConvergesToTheClosedVesselSolution) {
  const double U = 0.5, H = 1.0;
  struct Caso {
    double D, k;  // m2/s, 1/day: Peclet uL/D and k L / u
  };
  for (const Caso& caso : {Caso{1000.0, 4.32}, Caso{250.0, 4.32}, Caso{500.0, 8.64}}) {
    const double exacta = wehner_wilhelm(caso.k / DIA, caso.D, U, LONG);
    std::vector<double> error;
    for (int N : {20, 40}) {
      ModeloTramo m;
      tramo_prueba(m, 1, LONG, LONG / N, U, H);
      m.cal.ECOND(1) = caso.D;
      m.cal.KCOND(1, 1) = caso.k;
      calcular(m, Q, 0.0, 0.0, {1.0}, {0.0});
      error.push_back(salida(m, 1) - exacta);
    }
    // Second order: below (kL/u / N)^2 of the outlet at N = 20, and four
    // times smaller at N = 40.
    const double a = caso.k * LONG / (U * DIA);
    EXPECT_LT(std::fabs(error[0]), (a / 20) * (a / 20) * exacta) << "D=" << caso.D;
    EXPECT_GT(error[0] / error[1], 3.5) << "D=" << caso.D;
    EXPECT_LT(error[0] / error[1], 4.5) << "D=" << caso.D;
  }
}

// BOD decay with reaeration (Streeter-Phelps), nitrogen and phytoplankton
// off, decay not limited by oxygen, 20 degC: the deficit at travel time t is
// kd L0/(ka - kd) (e^-kd t - e^-ka t) + D0 e^-ka t. The decay rate does not
// depend on the oxygen, so the second pass repeats the first and the
// tolerance of the oxygen iteration plays no part.
TEST(ReachClosedForm, OxygenSagFollowsStreeterPhelps) {
  const double U = 0.1, H = 1.0, LONGITUD = 50000.0;
  const double kd = 0.3, ka = 0.6, L0 = 10.0, OD0 = 8.0;
  const double t = LONGITUD / (U * DIA);
  std::vector<double> error;
  for (int N : {20, 40}) {
    ModeloTramo m;
    tramo_prueba(m, 2, LONGITUD, LONGITUD / N, U, H);
    opciones(m, 0, 1);
    m.cal.KACOND(1) = ka;
    m.cal.KDCOND(1) = kd;
    calcular(m, Q, 0.0, 0.0, {L0, OD0}, {0.0, 0.0});
    const double OSAT = m.tramo.OSATAUX(1);
    ASSERT_NEAR(OSAT, 9.092, 0.0005);
    const double D0 = OSAT - OD0;
    const double deficit = kd * L0 / (ka - kd) * (std::exp(-kd * t) - std::exp(-ka * t)) + D0 * std::exp(-ka * t);
    const double a = kd * t;
    const double principal = L0 * std::exp(-a) * error_principal(a, N);
    EXPECT_NEAR(salida(m, 1) - L0 * std::exp(-a), principal, 0.1 * principal) << N;
    error.push_back(salida(m, 2) - (OSAT - deficit));
    EXPECT_LT(std::fabs(error.back()), (ka * t / N) * (ka * t / N) * deficit) << N;
  }
  EXPECT_GT(error[0] / error[1], 3.5);
  EXPECT_LT(error[0] / error[1], 4.5);
}

// Each rate of the oxygen group that is fixed for the call is its constant
// times its own theta to the power T - 20, at 25 degC: every theta of TECTAOD
// its own value, as many corrections as there are thetas in the cache of a
// segment, then all of them one value, one correction shared.
TEST(ReachClosedForm, EveryRateIsCorrectedByItsOwnTheta) {
  using tornal::Calidad;
  using tornal::TrabajoTramo;
  struct Tasa {
    tornal::Array1<double> TrabajoTramo::*tasa;
    tornal::Array1<double> Calidad::*constante;
    int tecta;  // n of TECTAOD(n)
  };
  const Tasa tasas[] = {
      {&TrabajoTramo::KAAUX, &Calidad::KACOND, 1},       {&TrabajoTramo::KDAUX, &Calidad::KDCOND, 2},
      {&TrabajoTramo::KNOAAUX, &Calidad::KNOACOND, 3},   {&TrabajoTramo::KNAIAUX, &Calidad::KNAICOND, 4},
      {&TrabajoTramo::KNO3AUX, &Calidad::KNO3COND, 5},   {&TrabajoTramo::KMAXGROWAUX, &Calidad::KMAXGROWCOND, 6},
      {&TrabajoTramo::KRESPAUX, &Calidad::KRESPCOND, 7}, {&TrabajoTramo::KFOSFAUX, &Calidad::KFOSFCOND, 8},
  };
  const double T = 25.0;
  for (bool propias : {true, false}) {
    SCOPED_TRACE(propias ? "a theta of its own" : "one theta");
    ModeloTramo m;
    tramo_prueba(m, 8, 2000.0, 500.0, 0.2, 1.5);
    opciones_nutrientes(m);
    Calidad& c = m.cal;
    constantes_tramo(c);
    for (int mes = 1; mes <= 12; ++mes) c.TCOND(1, mes) = T;
    for (int n = 1; n <= tornal::NUMTECTAS; ++n) c.TECTAOD(n) = propias ? 1.01 + 0.01 * n : 1.04;
    calcular(m, Q, 0.0, 0.0, {5.0, 8.0, 1.0, 0.5, 2.0, 0.02, 0.1, 0.2}, std::vector<double>(8, 0.0));
    for (const Tasa& t : tasas) {
      const double esperada = (c.*t.constante)(1) * std::pow(c.TECTAOD(t.tecta), T - 20.0);
      for (int i = 1; i <= 4; ++i)
        EXPECT_EQ((m.tramo.*t.tasa)(i), esperada) << "theta " << t.tecta << ", segment " << i;
    }
  }
}

// The rows balance the reach's mass exactly: outlet flux, plus what the
// losses take at their segment's concentration, plus what decays and
// settles, equals the head, lateral and diffuse loads. Several constant
// discharges into the reach add up; a time-varying load of the month
// replaces them, and applies even when no constant discharge names the
// reach; a discharge into the other reach is not counted.
TEST(ReachClosedForm, RowsBalanceTheMassOfTheReach) {
  struct Caso {
    const char* que;
    int tipohid;
    double econd;
    double qcab, qent, qsal;
    std::vector<int> constantes;  // reach of each constant discharge
    std::vector<int> variables;   // reach of each time-varying entry
    double carga;                 // diffuse load expected on reach 1
  };
  const Caso casos[] = {
      {"one discharge, power laws", 2, 50.0, 86400.0, 40000.0, 10000.0, {1}, {}, 1000.0},
      {"two discharges add up, Manning", 1, -1.0, 86400.0, 10000.0, 60000.0, {1, 2, 1}, {}, 1000.0 + 3000.0},
      {"time-varying only", 2, 5.0, 86400.0, 0.0, 0.0, {2}, {1, 2}, 70000.0},
      {"time-varying over constant", 2, 0.0, 86400.0, 5000.0, 0.0, {1}, {2, 1}, 80000.0},
  };
  const double k = 2.0, vs = 0.5, CO = 4.0, CE = 7.0;
  for (const Caso& caso : casos) {
    ModeloTramo m;
    tramo_prueba(m, 1, 5000.0, 100.0, 0.3, 0.8);
    tornal::Calidad& c = m.cal;
    c.TIPOHID(1) = caso.tipohid;
    if (caso.tipohid == 1) {  // Manning n, bottom width, slope, side slope
      c.COEFTESHIDR(1, 1) = 0.035;
      c.COEFTESHIDR(1, 2) = 5.0;
      c.COEFTESHIDR(1, 3) = 0.0005;
      c.COEFTESHIDR(1, 4) = 1.5;
    }
    c.ECOND(1) = caso.econd;
    c.KCOND(1, 1) = k;
    c.VSCOND(1, 1) = vs;
    c.NUMVERTDIF = static_cast<int>(caso.constantes.size());
    c.NUMCONDUCVERTDIF.resize(c.NUMVERTDIF);
    c.SDVERTDIF.resize(c.NUMVERTDIF, 1);
    for (int d = 1; d <= c.NUMVERTDIF; ++d) {
      c.NUMCONDUCVERTDIF(d) = caso.constantes[d - 1];
      c.SDVERTDIF(d, 1) = 1000.0 * d;
    }
    tornal::Simulacion& s = m.sim;
    s.HAYCONTDIFTEMP = !caso.variables.empty();
    s.NUMVERTDIFTEMP = static_cast<int>(caso.variables.size());
    s.ORDENVERTDIFTEMP.resize(s.NUMVERTDIFTEMP);
    s.SDVERTDIFTEMP.resize(s.NUMVERTDIFTEMP, 1, 12);
    for (int j = 1; j <= s.NUMVERTDIFTEMP; ++j) {
      s.ORDENVERTDIFTEMP(j) = caso.variables[j - 1];
      s.SDVERTDIFTEMP(j, 1, 1) = 5.0e6;  // another month
      s.SDVERTDIFTEMP(j, 1, 2) = 70000.0 + 10000.0 * (j - 1);
    }
    calcular(m, caso.qcab, caso.qent, caso.qsal, {CO}, {CE}, 2);
    const tornal::TrabajoTramo& w = m.tramo;
    const int N = 50;
    ASSERT_EQ(w.CX.size(1), N) << caso.que;
    double sale = w.QI1(N) * w.CX(N, 1);
    for (int i = 1; i <= N; ++i) sale += (caso.qsal / N + k * w.VI(i) + vs * w.VI(i) / w.Y(i)) * w.CX(i, 1);
    const double entra = caso.qcab * CO + caso.qent * CE + caso.carga;
    EXPECT_NEAR(salida(m, 1, 2), w.CX(N, 1), 0.0) << caso.que;
    // Round-off of N rows of the solve.
    EXPECT_NEAR(sale, entra, 1.0e3 * N * 2.2e-16 * entra) << caso.que;
  }
}

}  // namespace
