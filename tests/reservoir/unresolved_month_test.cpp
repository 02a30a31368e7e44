// Reservoir months that the sub-steps cannot resolve: a residual volume of
// a few cubic metres on a hundred hectares, a weir pool flushed hundreds of
// thousands of times a month, a month that ends beyond what the water can
// hold. Such a month takes the mix of the water it held and the water it
// received; no month stores or hands on a value that the water cannot hold,
// and the run log names the first such month.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "common/fixed_format.h"
#include "common/precision.h"
#include "embalse_prueba.h"
#include "physics/physics.h"
#include "reservoir/reservoir_steps.h"

namespace {

using namespace tornal_test;

// A flat reservoir of `area` m2 with temperature (model 1: equilibrium 20
// degrees; model 2: the heat balance of a dry September), a pollutant,
// organic matter, oxygen and nitrogen; it starts and its inflow comes at 10
// degrees. `volumen` and `suelta` give the end volume (m3) and the release
// (m3/s) of each month.
tornal::Modelo embalse(int modelo, double area, const std::vector<double>& volumen, const std::vector<double>& suelta) {
  OpcionesEmbalse o;
  o.temperatura = 1, o.modelo_t = modelo, o.oxigeno = o.nitrogeno = 1, o.area = area, o.paso = area;
  tornal::Modelo m = embalse_prueba(o);
  tornal::Calidad& c = m.cal;
  m.red.VOLINIEMB(1) = volumen.front();
  for (int mes = 1; mes <= 12; ++mes) {
    const std::size_t i = std::min<std::size_t>(mes, volumen.size()) - 1;
    m.red.VOLFINEMB(1, mes, 1) = volumen[i];
    m.red.SUELTASEMB(1, mes, 1) = suelta[i] * 86400.0;
  }
  c.KETEMB(1) = 30.0, c.VSEMB(1, 1) = 0.1, c.KEMB(1, 1) = 0.1;
  c.KDEMB(1) = 0.2, c.VSLEMB(1) = 0.5, c.KAEMB(1) = 0.5, c.KNOAEMB(1) = c.KNAIEMB(1) = c.KNO3EMB(1) = 0.1;
  serie(c.TEEMB, 20.0), serie(c.HSWEMB, 250.0), serie(c.TAIREMB, 20.0), serie(c.HREMB, 60.0);
  serie(c.NUBEMB, 0.3), serie(c.VIENTOEMB, 2.0);
  const double constantes[] = {1.17e-7, 0.97, 19.0, 0.95, 2.0};
  for (int i = 1; i <= 5; ++i) c.CONSTANTESMODTEMPERATURA(i) = constantes[i - 1];
  const double inicio[] = {10.0, 100.0, 5.0, 8.0, 1.0, 0.5, 2.0};  // T, P1, DBO5, oxygen, NORG, NH4, NO3
  for (int k = 1; k <= c.NUMCONTAMINANTES; ++k) c.COEMB(1, k) = inicio[k - 1], entrada(m, k, inicio[k - 1]);
  return m;
}

// Residual volumes held for one or two months after a drawdown from 1 hm3,
// and pools of 100 m3 to 1 hm3 passing 0.01 to 1000 m3/s, with both
// temperature models: every month stores and hands on finite values, none
// negative or at the guard, temperatures between the inflow's 10 degrees
// and the equilibrium (to the scheme's error). The smallest volumes are
// taken by the mix, and a reservoir with such a month is flagged with a
// possible numerical error.
TEST(ReservoirUnresolvedMonth, ResidualVolumesAndWeirPoolsStayPhysical) {
  struct Caso {
    std::vector<double> volumen, suelta;
    double area;
    bool mezcla;  // some month taken by the mix
  };
  std::vector<Caso> casos;
  for (double V : {0.01, 1.0, 20.0, 100.0, 400.0, 1000.0}) {
    casos.push_back({{1e6, V, 1e6}, {0.01, 0.4, 0.01}, 1e6, V < 30.0});
    casos.push_back({{1e6, V, V, 1e6}, {0.01, 0.4, 0.01, 0.01}, 1e6, V < 30.0});
  }
  for (double V : {100.0, 1e4, 1e6})
    for (double Q : {0.01, 1.0, 100.0, 1000.0}) casos.push_back({{V}, {Q}, V / 2.0, Q * 2.592e6 / V > 1e5});
  for (int modelo : {1, 2}) {
    for (const Caso& k : casos) {
      SCOPED_TRACE(testing::Message() << "model " << modelo << ", " << k.volumen[1 % k.volumen.size()] << " m3, "
                                      << k.suelta.back() << " m3/s, " << k.volumen.size() << " months");
      tornal::Modelo m = embalse(modelo, k.area, k.volumen, k.suelta);
      const tornal::Calidad& c = m.cal;
      const double TE = modelo == 1 ? 20.0 : tornal::temperatura_flujo_nulo(c, 250.0, 20.0, 2.0, 60.0, 0.3);
      tornal::TrabajoEmbalse w;
      correr_embalse(m, w, [&](int mes, int) {
        if (mes > static_cast<int>(k.volumen.size()) + 1) return;
        SCOPED_TRACE(mes);
        for (int ct = 1; ct <= c.NUMCONTAMINANTES; ++ct) {
          for (double x : {m.sim.EMB1CF(1, ct, mes, 1), m.sim.EMB2CF(1, ct, mes, 1), m.sim.NUDOSCS(1, ct, mes, 1)}) {
            EXPECT_TRUE(std::isfinite(x) && x >= 0.0 && x < 1000.0) << ct << ": " << x;
          }
        }
        for (double T : {m.sim.EMB1CF(1, 1, mes, 1), m.sim.NUDOSCS(1, 1, mes, 1)}) {
          EXPECT_GE(T, 9.5);
          EXPECT_LE(T, TE + 0.5);
        }
      });
      EXPECT_EQ(m.sim.ERROREMB(1), m.sim.MESESMEZCLAEMB(1) > 0 ? 1 : 0);
      if (modelo == 1) {
        EXPECT_EQ(m.sim.MESESMEZCLAEMB(1) > 0, k.mezcla);
      }
    }
  }
}

// A puddle of 1 m3 on 100 ha that passes 100 m3 a day: no sub-step within
// the bound follows its heat exchange (the step grows an error of it even
// with 61 440, the finest count), so its months take the mix of the cubic
// metre held and the 3000 received at once, in both layers of the month's
// end and in the outflow; the first such month is named in the run log
// with its constituent and the given sub-steps, the next one only counted,
// and the reservoir is flagged with a possible numerical error.
TEST(ReservoirUnresolvedMonth, TheMonthTakesTheMixOfItsWater) {
  tornal::Modelo m = embalse(1, 1e6, {1.0}, {100.0 / 86400.0});
  const double entra[] = {12.0, 50.0, 4.0, 9.0, 1.5, 0.2, 3.0};
  for (int k = 1; k <= m.cal.NUMCONTAMINANTES; ++k) entrada(m, k, entra[k - 1]);
  tornal::TrabajoEmbalse w;
  correr_embalse(m, w, [&](int mes, int) {
    if (mes > 2) return;
    for (int k = 1; k <= m.cal.NUMCONTAMINANTES; ++k) {
      const double antes = mes == 1 ? m.cal.COEMB(1, k) : m.sim.EMB1CF(1, k, 1, 1);
      const double mezcla = (1.0 * antes + 3000.0 * entra[k - 1]) / 3001.0;
      EXPECT_NEAR(m.sim.EMB1CF(1, k, mes, 1), mezcla, 1e-12 * mezcla) << k;
      EXPECT_EQ(m.sim.NUDOSCS(1, k, mes, 1), m.sim.EMB1CF(1, k, mes, 1));
      EXPECT_EQ(m.sim.EMB2CF(1, k, mes, 1), tornal::sp(1.0e-7f));
      EXPECT_EQ(w.C1I(30, k), m.sim.EMB1CF(1, k, mes, 1));  // the rows of the sub-step files
    }
  });
  EXPECT_EQ(m.sim.MESESMEZCLAEMB(1), 12);
  EXPECT_EQ(m.sim.ERROREMB(1), 1);
  const std::string fecha = tornal::latin1("Año, Mes:           1           1");
  EXPECT_EQ(lineas_log(m), (std::vector<std::string>{
                               tornal::latin1("El cálculo del embalse diverge y no se resuelve con subpasos más finos"),
                               "Embalse:", "Embalse de prueba", fecha, "Contaminante: Temperatura",
                               tornal::latin1("Número de subpasos:          30"),
                               "Se asume la mezcla del agua embalsada y de la que entra"}));
}

}  // namespace
