// The reservoir month on a prism (volume 0 at level 0, constant area)
// against closed forms: the scheme's own discrete solution, whose
// amplification per sub-step for dC = A C + D is G = 1 + A g(A) with
// g = sixth (6 + 2.5 A + 0.75 A^2 + 0.125 A^3) (every stage from half the
// one before); conservation of a tracer and of the exchanged mass; steady
// states of decay, organic matter and oxygen, equilibrium temperature.
#include <gtest/gtest.h>

#include <cmath>

#include "embalse_prueba.h"
#include "physics/physics.h"
#include "reservoir/reservoir_steps.h"

namespace {

using namespace tornal_test;

const double SEXTO = 0.1666666716337204;
// The amplification of one sub-step of the scheme.
double G(double A) { return 1.0 + A * (SEXTO * (6.0 + 2.5 * A + 0.75 * A * A + 0.125 * A * A * A)); }

// Mixed reservoir, constant volume V, flow Q through it, decay k: each month
// ends on C* + (C0 - C*) G^n, C* = D / -A = Q Cin / (Q + k V), and the outflow
// reaches C* once G^n is gone.
TEST(ReservoirClosedForms, FirstOrderDecayOfAMixedReservoir) {
  tornal::Modelo m = embalse_prueba();
  const double V = 1.0e7, Q = 1.0e5, k = 0.1, Cin = 100.0;
  m.red.VOLINIEMB(1) = V;
  cada_mes(m.red.VOLFINEMB, V);
  cada_mes(m.red.SUELTASEMB, Q);
  m.cal.KEMB(1, 1) = k;
  entrada(m, 1, Cin);
  const double A = (0.0 - Q - 0.0 - V + V) / V + (0.0 - k - 0.0) * 1.0;
  const double Cs = Q * Cin / V / -A;
  tornal::TrabajoEmbalse w;
  correr_embalse(m, w, [&](int mes, int) {
    const double esperado = Cs + (0.0 - Cs) * std::pow(G(A), 30.0 * mes);
    EXPECT_NEAR(m.sim.EMB1CF(1, 1, mes, 1), esperado, 1e-12 * Cs) << mes;
  });
  EXPECT_NEAR(m.sim.EMB1CF(1, 1, 12, 1), Q * Cin / (Q + k * V), 1e-12 * Cs);
  EXPECT_NEAR(m.sim.NUDOSCS(1, 1, 12, 1), Q * Cin / (Q + k * V), 1e-12 * Cs);
  EXPECT_EQ(m.sim.ERROREMB(1), 0);
}

// A conservative tracer whose inflow holds what the reservoir holds stays
// where it is, month after month, whatever the volumes do: one layer and
// two, a month of 31 days (the flows' volumes close the layers' balances),
// a fractional sub-step count (the sub-steps cover the month); a trace
// through a small outflow leaves at its concentration, not 0.
TEST(ReservoirClosedForms, ConservativeTracerStaysConstant) {
  struct Caso {
    const char* nombre;
    double ZT, DIV, INCR, C, R;
  };
  const Caso casos[] = {{"one layer", 0.0, 30.0, 30.0, 5.0, 2e5},
                        {"two layers", 20.0, 30.0, 30.0, 5.0, 2e5},
                        {"two layers, 31 days", 20.0, 31.0, 30.0, 5.0, 2e5},
                        {"one layer, 2.5 sub-steps", 0.0, 31.0, 2.5, 5.0, 2e5},
                        {"two layers, 12.5 sub-steps", 20.0, 30.0, 12.5, 5.0, 2e5},
                        {"two layers, a trace", 20.0, 30.0, 30.0, 1e-5, 10.0}};
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nombre);
    tornal::Modelo m = embalse_prueba();
    m.cal.DIVISORUNIDADES = c.DIV;
    m.cal.INCRETIEM(1) = c.INCR;
    serie(m.cal.ZTEMB, c.ZT);
    serie(m.cal.SALEMB, 0.3);
    serie(m.cal.ENTREMB, 0.8);
    serie(m.cal.EEMB, 0.5);
    m.red.VOLINIEMB(1) = 2.0e7;
    for (int mes = 1; mes <= 12; ++mes) m.red.VOLFINEMB(1, mes, 1) = 2.0e7 + 3.0e6 * std::sin(mes);
    cada_mes(m.red.SUELTASEMB, c.R);
    cada_mes(m.red.VERTEMB, c.R / 20.0);
    cada_mes(m.red.FILTREMB, c.R / 40.0);
    m.cal.COEMB(1, 1) = m.cal.COEMB2(1, 1) = c.C;
    entrada(m, 1, c.C);
    tornal::TrabajoEmbalse w;
    correr_embalse(m, w, [&](int mes, int) {
      EXPECT_EQ(w.UNACAPA, c.ZT > 0.0 ? 0 : 1);
      const double E2 = c.ZT > 0.0 ? m.sim.EMB2CF(1, 1, mes, 1) : c.C;
      for (double x : {m.sim.EMB1CF(1, 1, mes, 1), E2, m.sim.NUDOSCS(1, 1, mes, 1)})
        EXPECT_NEAR(x, c.C, 2e-12 * c.C) << mes;
      EXPECT_NEAR(w.V1IO(w.NSUB + 1), m.sim.V1F(1, mes, 1), 1e-6);
    });
  }
}

// Exchange alone between the layers of a closed reservoir: V1 C1 + V2 C2 of
// every sub-step is the start's to round-off, and the layers end mixed.
TEST(ReservoirClosedForms, ExchangeConservesTheLayersMass) {
  tornal::Modelo m = embalse_prueba();
  m.red.VOLINIEMB(1) = 2.0e7;
  cada_mes(m.red.VOLFINEMB, 2.0e7);
  serie(m.cal.ZTEMB, 50.0);
  serie(m.cal.EEMB, 100.0);
  m.cal.COEMB(1, 1) = 10.0;
  tornal::TrabajoEmbalse w;
  const double masa = 5.0e6 * 10.0;
  correr_embalse(m, w, [&](int mes, int) {
    ASSERT_EQ(w.UNACAPA, 0);
    for (int j = 1; j <= w.NSUB; ++j) {
      EXPECT_NEAR(w.V1I(j) * w.C1I(j, 1) + w.V2I(j) * w.C2I(j, 1), masa, 1e-13 * masa) << mes << " " << j;
      EXPECT_EQ(w.MASAEP(j, 1, 4), -w.MASAHIP(j, 1, 4));
    }
  });
  EXPECT_NEAR(m.sim.EMB1CF(1, 1, 12, 1), 2.5, 1e-9);
  EXPECT_NEAR(m.sim.EMB2CF(1, 1, 12, 1), 2.5, 1e-9);
}

// Organic matter L and oxygen of a mixed reservoir at 20 degrees, once the
// amplification G^n of the slowest mode (q + kd + vs/Z) is gone:
// L* = q Lin / (q + kd + vs/Z), O* = (ka OSAT - kd L* + q Oin) / (ka + q).
TEST(ReservoirClosedForms, OrganicMatterAndOxygenSteadyState) {
  OpcionesEmbalse o;
  o.primer_orden = 0;
  o.oxigeno = 1;
  o.anyos = 2;
  tornal::Modelo m = embalse_prueba(o);
  const double V = 1.0e7, Q = 1.0e5, kd = 0.2, ka = 0.5, vs = 1.0, Lin = 10.0, Oin = 6.0;
  m.red.VOLINIEMB(1) = V;
  cada_mes(m.red.VOLFINEMB, V);
  cada_mes(m.red.SUELTASEMB, Q);
  m.cal.KDEMB(1) = kd;
  m.cal.KAEMB(1) = ka;
  m.cal.VSLEMB(1) = vs;
  entrada(m, 1, Lin);
  entrada(m, 2, Oin);
  tornal::TrabajoEmbalse w;
  correr_embalse(m, w);
  const double q = Q / V, Z = V / 1.0e5;
  const double Ls = q * Lin / (q + kd + vs / Z);
  const double OSAT = tornal::saturacion_oxigeno(20.0);
  const double Os = (ka * OSAT - kd * Ls + q * Oin) / (ka + q);
  EXPECT_NEAR(m.sim.EMB1CF(1, 1, 12, 2), Ls, 1e-10);
  EXPECT_NEAR(m.sim.EMB1CF(1, 2, 12, 2), Os, 1e-10);
  // Benson and Krause at 0, 10, 20, 25 and 30 degrees.
  const double T[5] = {0, 10, 20, 25, 30}, S[5] = {14.620, 11.287, 9.092, 8.263, 7.558};
  for (int i = 0; i < 5; ++i) EXPECT_NEAR(tornal::saturacion_oxigeno(T[i]), S[i], 5e-4) << T[i];
}

// The equilibrium temperature of a closed mixed reservoir: T relaxes toward
// TE by G(-a dt) a sub-step, a = area KETEMB / (1.1574167e-5 c rho V) a day.
// The heat terms scale with the sub-step: 60 sub-steps a month give the
// month's relaxation of 30, to the scheme's error (G(h) falls short of
// exp(h) by h^2/12 a step: 30 a^2 / 12 over a month of 30 steps).
TEST(ReservoirClosedForms, EquilibriumTemperature) {
  OpcionesEmbalse o;
  o.temperatura = 1;
  o.primer_orden = 0;
  double fin[2] = {0.0, 0.0};
  double a = 0.0;
  for (int i = 0; i < 2; ++i) {
    tornal::Modelo m = embalse_prueba(o);
    const double V = 1.0e7, TE = 20.0, T0 = 5.0;
    m.cal.INCRETIEM(1) = i == 0 ? 30.0 : 60.0;
    m.red.VOLINIEMB(1) = V;
    cada_mes(m.red.VOLFINEMB, V);
    m.cal.KETEMB(1) = 50.0;
    serie(m.cal.TEEMB, TE);
    m.cal.COEMB(1, 1) = T0;
    const double dt = 30.0 / m.cal.INCRETIEM(1);
    a = 1.0e5 * 50.0 / (static_cast<double>(1.1574167e-5f) * 4186.0 * 1000.0 * V);
    tornal::TrabajoEmbalse w;
    correr_embalse(m, w, [&](int mes, int) {
      const double esperado = TE + (T0 - TE) * std::pow(G(-a * dt), mes * m.cal.INCRETIEM(1));
      EXPECT_NEAR(m.sim.EMB1CF(1, 1, mes, 1), esperado, 1e-12 * TE) << mes;
    });
    fin[i] = m.sim.EMB1CF(1, 1, 1, 1);
  }
  EXPECT_NEAR(fin[0], fin[1], 15.0 * 30.0 * a * a / 12.0);
}

}  // namespace
