// A reservoir month that diverges with its given sub-steps (a few
// centimetres of water under a strong heat exchange, settling or the heat
// balance), integrated again with finer ones: against closed forms and the
// same month at a stable sub-step count given in the input; the months that
// finer sub-steps cannot mend, with the bound and the run log; the rows of
// the sub-step files, which stay those of the given sub-steps.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "common/fixed_format.h"
#include "common/precision.h"
#include "e2e/e2e_util.h"
#include "embalse_prueba.h"
#include "physics/physics.h"
#include "reach/reach_model.h"
#include "reservoir/reservoir_steps.h"

namespace {

using namespace tornal_test;

// A prism of 1e5 m2 from `calado` to `calado_fin` metres every month, `paso`
// m3 a month through it: temperature (inflow 10 degrees, equilibrium 20, or
// the heat balance of a dry September) when `T`, and a pollutant that
// settles (inflow 100).
struct Somero {
  double calado = 0.05, calado_fin = 0.05, paso = 1.5e4, KET = 30.0, VS = 0.5, INCR = 30.0;
  int T = 1, modelo_t = 1, oxigeno = 0;
};

tornal::Modelo somero(const Somero& s) {
  OpcionesEmbalse o;
  o.temperatura = s.T, o.modelo_t = s.modelo_t, o.oxigeno = s.oxigeno;
  tornal::Modelo m = embalse_prueba(o);
  tornal::Calidad& c = m.cal;
  m.red.VOLINIEMB(1) = s.calado * o.area;
  cada_mes(m.red.VOLFINEMB, s.calado_fin * o.area);
  cada_mes(m.red.SUELTASEMB, s.paso / 30.0);
  c.INCRETIEM(1) = s.INCR, c.KETEMB(1) = s.KET, c.VSEMB(1, 1) = s.VS;
  serie(c.TEEMB, 20.0), serie(c.HSWEMB, 250.0), serie(c.TAIREMB, 20.0), serie(c.HREMB, 60.0);
  serie(c.NUBEMB, 0.3), serie(c.VIENTOEMB, 2.0);
  const double constantes[] = {1.17e-7, 0.97, 19.0, 0.95, 2.0};
  for (int i = 1; i <= 5; ++i) c.CONSTANTESMODTEMPERATURA(i) = constantes[i - 1];
  c.KDEMB(1) = 0.2, c.VSLEMB(1) = 0.5, c.KAEMB(1) = 0.5;
  const double inicio[] = {10.0, 100.0, 5.0, 8.0};  // T, P1, DBO5, oxygen
  for (int k = 1; k <= c.NUMCONTAMINANTES; ++k) c.COEMB(1, k) = inicio[k - s.T];
  for (int k = 1; k <= c.NUMCONTAMINANTES; ++k) entrada(m, k, inicio[k - s.T]);
  if (s.T == 0) c.COEMB(1, 1) = 0.0;  // the pollutant starts below its steady state
  return m;
}

// October of the first year.
void un_mes(tornal::Modelo& m, tornal::TrabajoEmbalse& w) {
  m.sim.MESACTUAL = 1;
  tornal::CALCULOEMBSUB(m, w, 1, 1, entrada_mes(m, 1, 1), 1, 1);
}

int subpasos(const tornal::TrabajoEmbalse& w) { return w.NSUB * w.factor; }

// Shallow months of steady volume and flow end on the steady state of their
// equations: temperature (q Tin + k TE) / (q + k), q the flow and k the
// exchange over the volume, or the root of HTOTAL in a closed puddle; the
// pollutant q Cin / (q + VS / H). A month stable as given keeps its
// sub-steps; the others take those that their fastest rate needs, a year of
// them is counted month by month and only its first month is named.
TEST(ReservoirFinerSubsteps, ShallowMonthsReachTheirSteadyState) {
  struct Caso {
    const char* nombre;
    Somero s;
    int subpasos;
  };
  const Caso casos[] = {
      {"half a metre: stable as given", {.calado = 0.5, .calado_fin = 0.5}, 30},
      {"five centimetres: exchange 12.4 and settling 10 a day", {}, 240},
      // 240 sub-steps would bear its growth, but overshoot the root of the
      // flux at every sub-step.
      {"the heat balance of a closed puddle", {.paso = 0.0, .modelo_t = 2}, 480},
      // Settling of 6 a day: the pollutant overshoots below 0 and the floor
      // would hold it at 1e-8 all month, with no guard to trip.
      {"a pollutant held at the floor", {.VS = 0.3, .T = 0}, 120},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nombre);
    tornal::Modelo m = somero(c.s);
    tornal::TrabajoEmbalse w;
    const int refinados = c.subpasos > 30 ? 12 : 0;
    correr_embalse(m, w, [&](int mes, int) {
      EXPECT_EQ(subpasos(w), c.subpasos);
      EXPECT_EQ(m.sim.NUMMESESFINOSEMB(1), refinados == 0 ? 0 : mes);
    });
    const double H = c.s.calado, q = c.s.paso / 30.0 / (H * 1e5);
    const double k = c.s.KET / (tornal::sp(1.1574167e-5f) * 4186.0 * 1000.0 * H);
    const double T = c.s.modelo_t == 1 ? (q * 10.0 + k * 20.0) / (q + k) : 0.0;
    if (c.s.T == 1) {
      EXPECT_NEAR(m.sim.EMB1CF(1, 1, 12, 1), c.s.modelo_t == 1 ? T : 20.602307, 1e-6);
    }
    EXPECT_NEAR(m.sim.EMB1CF(1, c.s.T + 1, 12, 1), q * 100.0 / (q + c.s.VS / H), 1e-7);  // a floor of 1e-8
    EXPECT_EQ(m.sim.ERROREMB(1), 0);
    EXPECT_EQ(lineas_log(m).size(), refinados == 0 ? 0u : 5u);
  }
  // The root of the puddle's heat balance.
  const tornal::Modelo m = somero({});
  const tornal::Calidad& c = m.cal;
  EXPECT_NEAR(tornal::HTOTAL(c, 20.602307, 250.0, 20.0, 2.0, 60.0, 0.3), 0.0, 1e-4);
}

// A year of a flat reservoir under the monthly weather of a Mediterranean
// lowland (October first), with temperature, a pollutant that decays by 1 a
// day (coliforms), organic matter and oxygen; `ajuste` changes what a case
// needs after that.
struct Anyo {
  const char* nombre;
  double area, volumen;                   // m2, m3 at the start
  std::vector<double> fin, suelta, evap;  // each month: end volume (m3), release (m3/s), evaporation (mm/day)
  std::function<void(tornal::Modelo&)> ajuste = [](tornal::Modelo&) {};
  int oxigeno = 1, nitrogeno = 0;
};

tornal::Modelo anyo(const Anyo& e, int modelo, bool dos_capas, double INCR) {
  OpcionesEmbalse o;
  o.temperatura = 1, o.modelo_t = modelo, o.oxigeno = e.oxigeno, o.nitrogeno = e.nitrogeno, o.area = e.area,
  o.paso = 10.0 * e.volumen;
  tornal::Modelo m = embalse_prueba(o);
  tornal::Calidad& c = m.cal;
  m.red.VOLINIEMB(1) = e.volumen;
  const double HSW[] = {130, 90, 75, 85, 115, 165, 200, 240, 270, 280, 240, 180};
  const double TAIRE[] = {18.5, 13.5, 10.5, 10.0, 11.0, 13.0, 15.0, 18.5, 22.5, 25.5, 26.0, 23.0};
  const double TE[] = {17, 12, 9, 8, 9, 11, 14, 18, 22, 25, 26, 22};
  for (int mes = 1; mes <= 12; ++mes) {
    m.red.VOLFINEMB(1, mes, 1) = e.fin[mes - 1];
    m.red.SUELTASEMB(1, mes, 1) = e.suelta[mes - 1] * 86400.0;
    m.red.EVAPEMB(1, mes, 1) = e.evap[mes - 1] / 1000.0 * e.area;
    c.HSWEMB(1, mes) = HSW[mes - 1], c.TAIREMB(1, mes) = TAIRE[mes - 1], c.TEEMB(1, mes) = TE[mes - 1];
    m.sim.NUDOSCE(1, 1, mes, 1) = TE[mes - 1] - 3.0;  // the inflow, a little cooler
  }
  serie(c.HREMB, 62.0), serie(c.NUBEMB, 0.4), serie(c.VIENTOEMB, 2.8);
  serie(c.ZTEMB, dos_capas ? 0.3 * e.volumen / e.area : 0.0);
  serie(c.SALEMB, 0.5), serie(c.ENTREMB, 0.5), serie(c.EEMB, 0.05);
  const double constantes[] = {1.17e-7, 0.97, 19.0, 0.95, 2.0};
  for (int i = 1; i <= 5; ++i) c.CONSTANTESMODTEMPERATURA(i) = constantes[i - 1];
  c.INCRETIEM(1) = INCR, c.KETEMB(1) = 30.0, c.KEEMBTEMP(1) = 0.5;
  c.KEMB(1, 1) = 1.0, c.VSEMB(1, 1) = 0.1, c.KDEMB(1) = 0.2, c.VSLEMB(1) = 0.1, c.KAEMB(1) = 0.5;
  // T, P1, DBO5, oxygen, organic nitrogen, ammonium, nitrate
  const double inicio[] = {15.0, 100.0, 3.0, 8.0, 1.0, 0.5, 2.0}, entra[] = {0.0, 1000.0, 5.0, 8.0, 1.0, 0.5, 2.0};
  for (int k = 1; k <= c.NUMCONTAMINANTES; ++k) {
    c.COEMB(1, k) = c.COEMB2(1, k) = inicio[k - 1];
    if (k > 1) entrada(m, k, entra[k - 1]);
  }
  e.ajuste(m);
  return m;
}

// Month `mes` of the year that `a` ran, again from the same start (the
// previous month's layers) with `n` sub-steps given.
tornal::Modelo mes_de_nuevo(const std::function<tornal::Modelo(double)>& hacer, const tornal::Modelo& a, int mes,
                            int n) {
  tornal::Modelo r = hacer(n);
  tornal::Simulacion& s = r.sim;
  if (mes > 1) {
    s.V1F(1, mes - 1, 1) = a.sim.V1F(1, mes - 1, 1), s.V2F(1, mes - 1, 1) = a.sim.V2F(1, mes - 1, 1);
    for (int c = 1; c <= r.cal.NUMCONTAMINANTES; ++c)
      s.EMB1CF(1, c, mes - 1, 1) = a.sim.EMB1CF(1, c, mes - 1, 1),
                              s.EMB2CF(1, c, mes - 1, 1) = a.sim.EMB2CF(1, c, mes - 1, 1);
  }
  tornal::TrabajoEmbalse w;
  s.MESACTUAL = mes;
  tornal::CALCULOEMBSUB(r, w, 1, 1, entrada_mes(r, mes, 1), mes, 1);
  return r;
}

// Whether the layers at the end of month `mes` of the year `a` (its sub-steps
// given INCR, n taken) are within the scheme's error of the same month from
// the same start integrated with N sub-steps given. The step is of first
// order (its polynomial departs from e^z by z^2 / 12, and the couplings and
// the surface flux are held over each sub-step), so its error at n
// sub-steps is about N / 8 / n times that at N / 8, which the change from N
// / 8 to N gives (8 / 7 of it). That extrapolation holds for small steps;
// at a few sub-steps a month it is capped by what a step the judge bears
// (a decay of at most 2 a sub-step) can err: one mode that tends to its
// steady state ends within 0.157 of the month's change of it, at most at
// one sub-step of -2 (R(-2) = 0 where e^-2 = 0.135), so the error is at most
// that of the change from the month's start to the fine month's end. The
// allowance is three times the smaller (the couplings held over each
// sub-step add a little of higher order), plus the reference's own error
// (1 / 7 of the change) and two units of the result files' last decimal.
void cerca_del_mes_fino(const std::function<tornal::Modelo(double)>& hacer, const tornal::Modelo& a, int mes, int n,
                        int N) {
  const tornal::Modelo r = mes_de_nuevo(hacer, a, mes, N), g = mes_de_nuevo(hacer, a, mes, N / 8);
  for (int c = 1; c <= a.cal.NUMCONTAMINANTES; ++c) {
    auto cerca = [&](auto&& x, double inicio) {
      const double v = x(a), fino = x(r), cambio = std::fabs(x(g) - fino) * 8.0 / 7.0;
      const double orden = std::min((N / 8.0) / n * cambio, 0.157 * std::fabs(fino - inicio));
      EXPECT_LE(std::fabs(v - fino), 3.0 * orden + cambio / 7.0 + 0.002 + 1e-9 * std::fabs(fino))
          << c << ": " << v << " " << fino << " from " << inicio;
    };
    const tornal::Simulacion& s = a.sim;
    cerca([&](const tornal::Modelo& m) { return m.sim.EMB1CF(1, c, mes, 1); },
          mes == 1 ? a.cal.COEMB(1, c) : s.EMB1CF(1, c, mes - 1, 1));
    cerca([&](const tornal::Modelo& m) { return m.sim.EMB2CF(1, c, mes, 1); },
          mes == 1 ? a.cal.COEMB2(1, c) : s.EMB2CF(1, c, mes - 1, 1));
  }
}

// A year built by `hacer` with INCR sub-steps given: no month takes the mix
// or flags the reservoir, and the layers at the end of every month are
// within the scheme's error of the same month from the same start
// integrated with N = 1920 sub-steps (8 times the count the month took,
// where that is more). A month whose volume falls more than tenfold is
// left out of the comparison: the layer equations, whose coefficients are taken at each sub-step's start, then grow
// over its last sub-steps (drawn down 2000-fold, the oxygen of the 44 hm3 goes from 8.4 to 6.0 in 20 sub-steps, to 2.2
// in 80 and to 0 in 160 or more), so that no count's error follows the order there; it must still be physical, neither
// mixed nor flagged. Returns the sub-steps each month took.
std::vector<int> contra_el_mes_fino(const std::function<tornal::Modelo(double)>& hacer, double INCR) {
  tornal::Modelo a = hacer(INCR);
  tornal::TrabajoEmbalse w;
  std::vector<int> n(13);
  correr_embalse(a, w, [&](int mes, int) { n[mes] = subpasos(w); });
  EXPECT_EQ(a.sim.MESESMEZCLAEMB(1), 0);
  EXPECT_EQ(a.sim.ERROREMB(1), 0);
  for (int mes = 1; mes <= 12; ++mes) {
    SCOPED_TRACE(testing::Message() << "month " << mes << ", " << n[mes] << " sub-steps");
    const double antes = mes == 1 ? a.red.VOLINIEMB(1) : a.red.VOLFINEMB(1, mes - 1, 1);
    if (a.red.VOLFINEMB(1, mes, 1) < 0.1 * antes) continue;
    cerca_del_mes_fino(hacer, a, mes, n[mes], std::max(1920, 8 * n[mes]));
  }
  return n;
}

// Years of a pond, a hot dry summer and a drawdown, with both temperature
// models, one layer and two, 10 and 3 sub-steps a month given, against the
// fine month. Left to the sub-steps given, the pond's November in the heat
// balance ends at 13.2 degrees where the month tends to 7.8 (the mix of its
// water is 10.1). The outflow, a mean over the sub-steps, is left to the
// whole runs.
TEST(ReservoirFinerSubsteps, MonthsAgainstTheFineMonth) {
  const std::vector<double> ceros(12, 0.0);
  std::vector<double> seco(12, 9e7), seca(12, 2.0), evap = {4, 2, 1, 1, 1.5, 2.5, 3.5, 5, 8, 12, 14, 9};
  seco[9] = 9e7 - 30.0 * 86400.0 * (2.0 + 12e-3 * 3e7 / 86400.0);  // July and August: no inflow
  seco[10] = seco[9] - 30.0 * 86400.0 * (2.0 + 14e-3 * 3e7 / 86400.0);
  for (int mes = 12; mes <= 12; ++mes) seco[mes - 1] = seco[10];
  std::vector<double> vaciado(12, 44e6);
  vaciado[10] = vaciado[11] = 44e6 * 5e-4;  // August and September: 0.05 % of it
  const Anyo anyos[] = {
      {"a pond of 100 ha, 0.5 m deep",
       1e6,
       5e5,
       std::vector<double>(12, 5e5),
       {2, 2, 2, 2, 2, 2, 0.05, 0.05, 0.05, 0.05, 0.05, 0.05},
       ceros},
      {"a hot dry summer: 3000 ha, 3 m deep", 3e7, 9e7, seco, seca, evap},
      {"44 hm3 drawn down to 0.05 %", 4e6, 44e6, vaciado, std::vector<double>(12, 1.0), ceros},
  };
  for (const Anyo& e : anyos)
    for (int modelo : {1, 2})
      for (bool dos_capas : {false, true})
        for (double INCR : {10.0, 3.0}) {
          SCOPED_TRACE(testing::Message() << e.nombre << ", model " << modelo << (dos_capas ? ", two layers, " : ", ")
                                          << INCR << " sub-steps");
          contra_el_mes_fino([&](double n) { return anyo(e, modelo, dos_capas, n); }, INCR);
        }
}

// Months that a judge of one mode at a time, with the surface flux's slope
// at the sub-step's start and a bound of -3.9 on a decay, took as borne,
// against the fine month:
// - 100 ha, 3 m deep, the thermocline at 2 m and a slow exchange, under the
//   heat balance with 1, 2, 3 and 5 sub-steps a month: the flux acts on the
//   epilimnion, the slow mode of the two layers (one sub-step ended October
//   at 35.7 degrees, and December at 0);
// - 1000 ha, 10 m deep, starting at 5 degrees under the weather of July
//   (the flux's slope grows with the temperature, so that at the start of a
//   sub-step of cold water it understates the return over it);
// - a pollutant that neither decays nor settles, flushed 3 to 4 times a
//   month in one sub-step (15 in, 5 at the start): past the turning point of
//   the step's polynomial, near -2.42, a faster flush left more of the old
//   water behind, 7.30 at 3.85 flushes where the month ends at 14.79.
TEST(ReservoirFinerSubsteps, WholeSystemMonthsAgainstTheFineMonth) {
  const std::vector<double> ceros(12, 0.0);
  for (double EEM : {0.0145, 0.0298})
    for (double INCR : {1.0, 2.0, 3.0, 5.0}) {
      SCOPED_TRACE(testing::Message() << "two layers under the heat balance, exchange " << EEM << ", " << INCR
                                      << " sub-steps");
      const Anyo e{"",
                   1e6,
                   3e6,
                   std::vector<double>(12, 3e6),
                   std::vector<double>(12, 0.1),
                   ceros,
                   [EEM](tornal::Modelo& m) {
                     serie(m.cal.ZTEMB, 2.0), serie(m.cal.EEMB, EEM);
                     m.cal.COEMB2(1, 1) = 12.0;
                     m.cal.KEMB(1, 1) = 0.0, m.cal.VSEMB(1, 1) = 0.0;  // temperature alone sets the sub-steps
                   },
                   0};
      contra_el_mes_fino([&](double n) { return anyo(e, 2, true, n); }, INCR);
    }
  {
    SCOPED_TRACE("cold water under a hot month");
    const Anyo e{"",
                 1e7,
                 1e8,
                 std::vector<double>(12, 1e8),
                 std::vector<double>(12, 1.0),
                 ceros,
                 [](tornal::Modelo& m) {
                   serie(m.cal.HSWEMB, 280.0), serie(m.cal.TAIREMB, 26.0), serie(m.cal.HREMB, 50.0);
                   m.cal.COEMB(1, 1) = 5.0;
                 },
                 0};
    const std::vector<int> n = contra_el_mes_fino([&](double x) { return anyo(e, 2, false, x); }, 1.0);
    EXPECT_GT(n[1], 1);
  }
  for (auto [flujos, inicio] :
       {std::pair{2.1, 3000.0}, {2.2, 3000.0}, {3.0, 5.0}, {3.5, 5.0}, {3.85, 5.0}, {3.9, 5.0}, {4.0, 5.0}}) {
    SCOPED_TRACE(testing::Message() << "flushed " << flujos << " times in one sub-step");
    // 100 m deep, so that the flush alone sets the sub-steps.
    const Anyo e{"",
                 1e5,
                 1e7,
                 std::vector<double>(12, 1e7),
                 std::vector<double>(12, flujos * 1e7 / 2592000.0),
                 ceros,
                 [inicio](tornal::Modelo& m) {
                   m.cal.KEMB(1, 1) = 0.0, m.cal.VSEMB(1, 1) = 0.0, m.cal.COEMB(1, 2) = inicio;
                   entrada(m, 2, 15.0);
                 },
                 0};
    tornal::Modelo a = anyo(e, 1, false, 1.0);
    tornal::TrabajoEmbalse w;
    un_mes(a, w);
    EXPECT_GT(subpasos(w), 1);
    // The reference against the closed form of the month.
    const tornal::Modelo r = mes_de_nuevo([&](double x) { return anyo(e, 1, false, x); }, a, 1, 1920);
    const double cerrada = 15.0 + (inicio - 15.0) * std::exp(-flujos);
    EXPECT_NEAR(r.sim.EMB1CF(1, 2, 1, 1), cerrada, std::fabs(inicio - 15.0) * flujos * flujos / 12.0 / 1920.0);
    // The month's water is a mix of the old and the inflow's, and within the
    // error of a step the judge bears of the month's change.
    const double v = a.sim.EMB1CF(1, 2, 1, 1);
    EXPECT_GE(v, std::min(inicio, 15.0));
    EXPECT_LE(v, std::max(inicio, 15.0));
    EXPECT_NEAR(v, cerrada, 0.157 * std::fabs(cerrada - inicio));
    contra_el_mes_fino([&](double x) { return anyo(e, 1, false, x); }, 1.0);
  }
}

// Months of 30 sub-steps given that diverge late in the month, under the
// heat balance, with an outfall of 0.05 m3/s at 1e6 coliforms (decaying by
// 1 a day): 1.7 hm3 on 30 ha drawn down to 300 m3, fed by a stream of
// 0.0138 m3/s (its last sub-step diverges); refilled from 500 m3 to 1.7 hm3;
// a pond 2.5 m deep on 10 ha near anoxia in July, with organic matter and
// ammonium in the stream. None is mixed or flagged, and the month is within
// the scheme's error of the same month from the same start at 1920
// sub-steps. The drawdown once took the mix at 60 sub-steps (70 875
// coliforms where the fine month ends at 5049), and the pond's July ended
// at 1.27 mg/l of oxygen where the fine month ends near 0.1.
TEST(ReservoirFinerSubsteps, LateDivergingMonthsAgainstTheFineMonth) {
  const double Q = 0.0138 + 0.05, arrastre = (1.7e6 - 300.0) / 2.592e6;
  std::vector<double> vaciado(12, 300.0), suelta(12, Q);
  suelta[0] = Q + arrastre;
  auto vertido = [](double caudal) { return [caudal](tornal::Modelo& m) { entrada(m, 2, 1e6 * 0.05 / caudal); }; };
  const std::vector<double> ceros(12, 0.0);
  struct Fila {
    const char* nombre;
    Anyo e;
    int mes;
  };
  const Fila filas[] = {
      {"drawn down to 300 m3", {"", 3e5, 1.7e6, vaciado, suelta, ceros, vertido(Q)}, 1},
      {"refilled from 500 m3",
       {"", 3e5, 500.0, std::vector<double>(12, 1.7e6), ceros, ceros, vertido((1.7e6 - 500.0) / 2.592e6)},
       1},
      {"a pond near anoxia",
       {"", 1e5, 2.5e5, std::vector<double>(12, 2.5e5), std::vector<double>(12, Q), ceros,
        [&](tornal::Modelo& m) {
          vertido(Q)(m);
          entrada(m, 3, 400.0), entrada(m, 6, 30.0);  // organic matter and ammonium
          tornal::Calidad& c = m.cal;
          c.CTELIMITACIONNUTRIENTES(1) = 0.5, c.CTELIMITACIONNUTRIENTES(2) = 2.0, c.STECHIO(1) = 4.57;
          c.KDEMB(1) = 0.3, c.KNOAEMB(1) = 0.1, c.KNAIEMB(1) = 0.2;
        },
        1, 1},
       10},
  };
  for (const Fila& f : filas) {
    SCOPED_TRACE(f.nombre);
    auto hacer = [&](double n) {
      tornal::Modelo m = anyo(f.e, 2, true, n);
      serie(m.cal.ZTEMB, 6.0);
      return m;
    };
    tornal::Modelo a = hacer(30.0);
    tornal::TrabajoEmbalse w;
    for (int mes = 1; mes <= f.mes; ++mes) {
      a.sim.MESACTUAL = mes;
      tornal::CALCULOEMBSUB(a, w, 1, 1, entrada_mes(a, mes, 1), mes, 1);
    }
    EXPECT_EQ(a.sim.MESESMEZCLAEMB(1), 0);
    EXPECT_EQ(a.sim.ERROREMB(1), 0);
    cerca_del_mes_fino(hacer, a, f.mes, subpasos(w), 1920);
  }
}

// The pond near anoxia above, its July at 30 sub-steps given: the sinks of
// oxygen, stiffer than a sub-step of a day near anoxia, are taken at the
// oxygen of each such sub-step's end, and the month is not refined. With
// the half-saturation constants of 0.5 and 2 its oxygen is within 0.01 mg/l
// of the same month at 1920 sub-steps (where the step bears the sinks as
// they are held, so that the reference is the given integration), and its
// organic matter and ammonium within 1 %; with constants of 0.005 and
// 0.0005, which no count of sub-steps within the bound follows as held, the
// month agrees with the one of 0.005 within 0.02 mg/l of oxygen and 2 % of
// organic matter. Temperature and the pollutant do not depend on oxygen and
// are those of the pond without it, to the bit.
TEST(ReservoirFinerSubsteps, OxygenNearAnoxiaAtTheGivenSubsteps) {
  const double Q = 0.0138 + 0.05;
  auto estanque = [&](double K1, double K2, int oxigeno) {
    return [=](double n) {
      Anyo e{"",
             1e5,
             2.5e5,
             std::vector<double>(12, 2.5e5),
             std::vector<double>(12, Q),
             std::vector<double>(12, 0.0),
             [=](tornal::Modelo& m) {
               entrada(m, 2, 1e6 * 0.05 / Q);
               if (oxigeno == 0) return;
               entrada(m, 3, 400.0), entrada(m, 6, 30.0);  // organic matter and ammonium
               tornal::Calidad& c = m.cal;
               c.CTELIMITACIONNUTRIENTES(1) = K1, c.CTELIMITACIONNUTRIENTES(2) = K2, c.STECHIO(1) = 4.57;
               c.KDEMB(1) = 0.3, c.KNOAEMB(1) = 0.1, c.KNAIEMB(1) = 0.2;
             },
             oxigeno,
             oxigeno};
      tornal::Modelo m = anyo(e, 2, true, n);
      serie(m.cal.ZTEMB, 6.0);
      return m;
    };
  };
  const int julio = 10;
  auto julio_de = [&](const std::function<tornal::Modelo(double)>& hacer, int n, tornal::TrabajoEmbalse& w) {
    tornal::Modelo a = hacer(n);
    for (int mes = 1; mes <= julio; ++mes) {
      a.sim.MESACTUAL = mes;
      tornal::CALCULOEMBSUB(a, w, 1, 1, entrada_mes(a, mes, 1), mes, 1);
    }
    EXPECT_EQ(subpasos(w), n);
    EXPECT_EQ(a.sim.MESESMEZCLAEMB(1), 0);
    return a;
  };
  auto capas = [&](const tornal::Modelo& m, int k) {
    return std::vector<double>{m.sim.EMB1CF(1, k, julio, 1), m.sim.EMB2CF(1, k, julio, 1)};
  };
  tornal::TrabajoEmbalse w;
  const tornal::Modelo a = julio_de(estanque(0.5, 2.0, 1), 30, w);
  EXPECT_GT(w.subpasos_oxigeno_implicito, 0);
  {
    const tornal::Modelo f = mes_de_nuevo(estanque(0.5, 2.0, 1), a, julio, 1920);
    const int OD = a.cal.POS.OD, L = a.cal.POS.DBO, NH4 = a.cal.POS.NH4;
    for (int c = 0; c < 2; ++c) {
      EXPECT_NEAR(capas(a, OD)[c], capas(f, OD)[c], 0.01);
      EXPECT_NEAR(capas(a, L)[c], capas(f, L)[c], 0.01 * capas(f, L)[c]);
      EXPECT_NEAR(capas(a, NH4)[c], capas(f, NH4)[c], 0.01 * capas(f, NH4)[c]);
    }
  }
  tornal::TrabajoEmbalse w1, w2, w3;
  const tornal::Modelo b = julio_de(estanque(0.005, 0.005, 1), 30, w1);
  const tornal::Modelo c = julio_de(estanque(0.0005, 0.0005, 1), 30, w2);
  const tornal::Modelo sin = julio_de(estanque(0.5, 2.0, 0), 30, w3);
  const int OD = b.cal.POS.OD, L = b.cal.POS.DBO;
  for (int k : {1, 2}) EXPECT_EQ(capas(a, k), capas(sin, k)) << k;  // temperature and the pollutant
  EXPECT_GT(capas(b, L)[0], 20.0);
  for (int i = 0; i < 2; ++i) {
    EXPECT_NEAR(capas(c, OD)[i], capas(b, OD)[i], 0.02);
    EXPECT_NEAR(capas(c, L)[i], capas(b, L)[i], 0.02 * capas(b, L)[i]);
  }
}

// Drawn down from 2 m to 5 cm in the month, under an exchange of 100 and
// settling of 2 m a day, with organic matter and oxygen: the last sub-steps
// diverge as given. With the finer sub-steps it is the month of that count
// given in the input, to the bit (the same start state); against 64 times
// that count it is within the scheme's first-order error, about twice the
// change from n to 2 n sub-steps (three times: the couplings of the
// kinetics are taken at the start of every sub-step).
TEST(ReservoirFinerSubsteps, ADrawnDownMonthAgainstAStableSubstepCount) {
  const Somero s{.calado = 2.0, .paso = 4e5, .KET = 100.0, .VS = 2.0, .oxigeno = 1};
  tornal::Modelo automatico = somero(s);
  tornal::TrabajoEmbalse w;
  un_mes(automatico, w);
  const int n = subpasos(w);
  ASSERT_GT(n, 30);
  auto con = [&](int INCR) {
    Somero d = s;
    d.INCR = INCR;
    tornal::Modelo m = somero(d);
    tornal::TrabajoEmbalse v;
    un_mes(m, v);
    EXPECT_EQ(v.factor, 1) << INCR;
    return m;
  };
  const tornal::Modelo dado = con(n), doble = con(2 * n), fino = con(64 * n);
  for (int c = 1; c <= automatico.cal.NUMCONTAMINANTES; ++c) {
    SCOPED_TRACE(c);
    const double x = automatico.sim.EMB1CF(1, c, 1, 1);
    EXPECT_EQ(x, dado.sim.EMB1CF(1, c, 1, 1));
    EXPECT_EQ(automatico.sim.NUDOSCS(1, c, 1, 1), dado.sim.NUDOSCS(1, c, 1, 1));
    const double error = std::fabs(x - doble.sim.EMB1CF(1, c, 1, 1));
    EXPECT_LE(std::fabs(x - fino.sim.EMB1CF(1, c, 1, 1)), 3.0 * error + 1e-9 * std::fabs(x));
  }
  EXPECT_EQ(automatico.sim.ERROREMB(1), 0);
}

// The driver keeps one set of work arrays for all reservoir months: months
// of another depth and number of layers, refined or not, worked in the
// arrays that the month before left end on the bits of the same months
// worked each in new arrays.
TEST(ReservoirFinerSubsteps, WorkArraysKeptFromMonthToMonth) {
  auto preparar = [] {
    tornal::Modelo m = somero({.calado = 2.0, .paso = 4e5, .KET = 70.0, .VS = 1.5, .oxigeno = 1});
    const double calados[12] = {2.0, 0.05, 0.05, 2.0, 3.0, 0.05, 2.0, 2.0, 0.9, 0.9, 0.05, 2.0};
    for (int mes = 1; mes <= 12; ++mes) m.red.VOLFINEMB(1, mes, 1) = calados[mes - 1] * 1e5;
    serie(m.cal.ZTEMB, 1.0);
    return m;
  };
  tornal::Modelo guardado = preparar(), nuevo = preparar();
  tornal::TrabajoEmbalse w;
  int refinados = 0, dos_capas = 0;
  correr_embalse(guardado, w, [&](int, int) {
    refinados += w.factor > 1;
    dos_capas += w.dos_capas();
  });
  for (int mes = 1; mes <= 12; ++mes) {
    tornal::TrabajoEmbalse v;
    nuevo.sim.MESACTUAL = mes;
    tornal::CALCULOEMBSUB(nuevo, v, 1, 1, entrada_mes(nuevo, mes, 1), mes, 1);
  }
  EXPECT_GT(refinados, 0);
  EXPECT_GT(dos_capas, 0);
  EXPECT_LT(refinados + dos_capas, 12);
  const tornal::Simulacion &g = guardado.sim, &n = nuevo.sim;
  for (int mes = 1; mes <= 12; ++mes) {
    EXPECT_EQ(g.V1F(1, mes, 1), n.V1F(1, mes, 1)) << mes;
    EXPECT_EQ(g.V2F(1, mes, 1), n.V2F(1, mes, 1)) << mes;
    for (int c = 1; c <= guardado.cal.NUMCONTAMINANTES; ++c) {
      EXPECT_EQ(g.EMB1CF(1, c, mes, 1), n.EMB1CF(1, c, mes, 1)) << mes << " " << c;
      EXPECT_EQ(g.EMB2CF(1, c, mes, 1), n.EMB2CF(1, c, mes, 1)) << mes << " " << c;
      EXPECT_EQ(g.NUDOSCS(1, c, mes, 1), n.NUDOSCS(1, c, mes, 1)) << mes << " " << c;
    }
  }
  EXPECT_EQ(g.ERROREMB(1), n.ERROREMB(1));
  EXPECT_EQ(g.NUMMESESFINOSEMB(1), n.NUMMESESFINOSEMB(1));
  EXPECT_EQ(lineas_log(guardado), lineas_log(nuevo));
}

// The bound on the sub-steps and the months that finer sub-steps cannot
// mend, which take the mix of the water held (5000 m3 at 100) and received
// (15 000 m3), are named in the run log with the sub-steps of the
// integration that diverged and flag the reservoir: a source beyond the
// guard at any count, a rate that is not a number, and settling of 10 000
// a day, which the step grows an error of even in 60 000 sub-steps (the
// finest within the bound), are mixed at the given count with no finer one
// tried. Settling of 6 000 a day diverges in 30 000 sub-steps and not in
// 60 000, which stand.
TEST(ReservoirFinerSubsteps, TheBoundAndTheDivergencesThatFinerSubstepsCannotMend) {
  struct Caso {
    const char* nombre;
    double inflow, INCR, VS, TECTA;
    int subpasos;
    bool diverge;
    double K = 0.0;  // the pollutant's decay (below 0, a growth) [1/day]
  };
  const Caso casos[] = {{"a source beyond the guard", 1e12, 30.0, 0.0, 1.0, 30, true},
                        {"a decay that is not a number", 100.0, 30.0, 0.0, 0.0, 30, true},
                        {"twice the sub-steps, within the bound", 100.0, 30000.0, 300.0, 1.0, 60000, false},
                        {"past the bound", 100.0, 30000.0, 500.0, 1.0, 30000, true},
                        {"a growth of 1 a day, past the guard by day 10", 100.0, 30.0, 0.0, 1.0, 30, true, -1.0}};
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nombre);
    tornal::Modelo m = somero({.paso = 1.5e4, .INCR = c.INCR, .T = 0});
    m.cal.VSEMB(1, 1) = c.VS, m.cal.TECTAK1OR(1) = c.TECTA, m.cal.COEMB(1, 1) = 100.0, m.cal.KEMB(1, 1) = c.K;
    serie(m.cal.TEPIL, 10.0);
    entrada(m, 1, c.inflow);
    tornal::TrabajoEmbalse w;
    un_mes(m, w);
    EXPECT_EQ(subpasos(w), c.subpasos);
    if (c.diverge) {
      EXPECT_NEAR(m.sim.EMB1CF(1, 1, 1, 1), (5000.0 * 100.0 + 15000.0 * c.inflow) / 20000.0, 1e-9 * c.inflow);
    }
    EXPECT_EQ(m.sim.ERROREMB(1), c.diverge ? 1 : 0);
    const std::string fecha = tornal::latin1("Año, Mes:           1           1");
    std::vector<std::string> l;
    if (c.subpasos > c.INCR)
      l = {tornal::latin1("El cálculo del embalse diverge con el diferencial de cálculo dado"),
           "Embalse:", "Embalse de prueba", fecha,
           tornal::latin1("Se integra el mes con subpasos más finos, número de subpasos:") +
               tornal::edit_I(c.subpasos, 12)};
    if (c.diverge)
      for (const std::string& x :
           {tornal::latin1("El cálculo del embalse diverge y no se resuelve con subpasos más finos"),
            std::string("Embalse:"), std::string("Embalse de prueba"), fecha, std::string("Contaminante: P1"),
            tornal::latin1("Número de subpasos:") + tornal::edit_I(c.subpasos, 12),
            std::string("Se asume la mezcla del agua embalsada y de la que entra")})
        l.push_back(x);
    EXPECT_EQ(lineas_log(m), l);
  }
}

// A month of 8 finer sub-steps to every given one keeps a row per given
// sub-step J (every N-th in the partial results): its water as given, the
// concentrations at its end (sub-step 8 J), the terms of the balances summed
// over its 8 sub-steps (transport as they stand, processes times the
// volume of each sub-step).
TEST(ReservoirFinerSubsteps, FileRowsStayThoseOfTheGivenSubsteps) {
  for (int N : {1, 5}) {
    SCOPED_TRACE(N);
    tornal::Modelo m = somero({.oxigeno = 1});
    TempDir dir;
    tornal::TrabajoEmbalse w;
    con_archivos(m, dir, N, 1, [&] { un_mes(m, w); });
    ASSERT_EQ(w.factor, 8);
    const int R = w.factor;
    const tornal::TrabajoEmbalse& f = *w.fino;
    const int NC = m.cal.NUMCONTAMINANTES;  // temperature, P1, DBO5, oxygen
    auto F = [](double v) { return tornal::edit_F(v, 15, 3); };
    auto suma = [R](int J, auto&& termino) {
      double x = 0.0;
      for (int i = R * J - R + 1; i <= R * J; ++i) x += termino(i);
      return x / 1e6;
    };
    const auto p = crlf_lines(dir.read("emb.csv"));
    ASSERT_EQ(p.size(), 1u + 30 / N);
    for (int J = N; J <= 30; J += N) {
      EXPECT_EQ(campo(p[J / N], 2), tornal::edit_I(J, 4));
      EXPECT_EQ(campo(p[J / N], 3), F(w.V1I(J) / 1e6));
      for (int c = 1; c <= NC; ++c) EXPECT_EQ(campo(p[J / N], 12 + c), F(f.C1I(R * J, c))) << J;
    }
    const auto b = crlf_lines(dir.read("balances.csv"));
    ASSERT_EQ(b.size(), 31u);
    for (int J = 1; J <= 30; ++J) {
      EXPECT_EQ(campo(b[J], 5), F(w.V1I(J) * f.C1I(R * J, 1) / 1e6)) << J;
      for (int c = 1; c <= NC; ++c)  // outflow of layer 1
        EXPECT_EQ(campo(b[J], columna_transporte(NC, &tornal::TrabajoEmbalse::MASAEP, 2, c)),
                  F(suma(J, [&](int i) { return f.MASAEP(i, c, 2); })))
            << J;
      // settling of organic matter out of layer 1
      EXPECT_EQ(campo(b[J], columna_proceso(NC, &tornal::TrabajoEmbalse::MASAEPL, 2)),
                F(suma(J, [&](int i) { return f.V1I(i) * f.MASAEPL(i, 2); })))
          << J;
    }
  }
}

}  // namespace
