// A reservoir month that diverges with its given sub-steps (a few
// centimetres of water under a strong heat exchange, settling or the heat
// balance): integrated again with finer ones, against closed forms and
// against the same month at a stable sub-step count given in the input; the
// months that finer sub-steps cannot mend, the bound on the sub-steps, the
// lines of the run log; and the rows of the sub-step files, which stay those
// of the given sub-steps.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "common/fixed_format.h"
#include "common/precision.h"
#include "e2e/e2e_util.h"
#include "embalse_prueba.h"
#include "reach/reach_model.h"

namespace {

using namespace tornal_test;

// A prism of 1e5 m2 holding `calado` metres at the start and `calado_fin` at
// the end of every month, with `paso` m3 flowing through it in a month:
// temperature (inflow at 10 degrees, equilibrium 20) and one pollutant that
// settles (inflow 100).
struct Somero {
  double calado = 0.05, calado_fin = 0.05, paso = 1.5e4;
  double KET = 30.0, VS = 0.5, INCR = 30.0;
  int modelo_t = 1, oxigeno = 0, anyos = 1;
};

tornal::Modelo somero(const Somero& s) {
  OpcionesEmbalse o;
  o.temperatura = 1;
  o.modelo_t = s.modelo_t;
  o.oxigeno = s.oxigeno;
  o.anyos = s.anyos;
  tornal::Modelo m = embalse_prueba(o);
  m.red.VOLINIEMB(1) = s.calado * o.area;
  cada_mes(m.red.VOLFINEMB, s.calado_fin * o.area);
  cada_mes(m.red.SUELTASEMB, s.paso / 30.0);
  m.cal.INCRETIEM(1) = s.INCR;
  m.cal.KETEMB(1) = s.KET;
  serie(m.cal.TEEMB, 20.0);
  m.cal.VSEMB(1, 1) = s.VS;
  m.cal.COEMB(1, 1) = 10.0;
  m.cal.COEMB(1, 2) = 100.0;
  entrada(m, 1, 10.0);
  entrada(m, 2, 100.0);
  // The heat balance of a dry September: 250 W/m2, 20 degrees, 60 %.
  serie(m.cal.HSWEMB, 250.0);
  serie(m.cal.TAIREMB, 20.0);
  serie(m.cal.HREMB, 60.0);
  serie(m.cal.NUBEMB, 0.3);
  serie(m.cal.VIENTOEMB, 2.0);
  const double constantes[] = {1.17e-7, 0.97, 19.0, 0.95, 2.0};
  for (int i = 1; i <= 5; ++i) m.cal.CONSTANTESMODTEMPERATURA(i) = constantes[i - 1];
  if (s.oxigeno == 1) {
    m.cal.KDEMB(1) = 0.2, m.cal.VSLEMB(1) = 0.5, m.cal.KAEMB(1) = 0.5;
    m.cal.COEMB(1, 3) = 5.0, m.cal.COEMB(1, 4) = 8.0;
    entrada(m, 3, 5.0);
    entrada(m, 4, 8.0);
  }
  return m;
}

// One month (October of the first year).
void un_mes(tornal::Modelo& m, tornal::TrabajoEmbalse& w) {
  m.sim.MESACTUAL = 1;
  for (int c = 1; c <= m.cal.NUMCONTAMINANTES; ++c) m.sim.CEEMBAUX(c) = m.sim.NUDOSCE(1, c, 1, 1);
  tornal::CALCULOEMBSUB(m, 1, 1, 1, 1, w);
}

// The sub-steps that the month was integrated with.
int subpasos(const tornal::TrabajoEmbalse& w) { return w.NSUB * w.factor; }

// The root of the net surface heat flux of the month: the temperature that
// the heat balance of a closed, shallow reservoir settles on.
double raiz_htotal(const tornal::Modelo& m) {
  const tornal::Calidad& c = m.cal;
  auto H = [&](double T) {
    return tornal::HTOTAL(c, T, c.HSWEMB(1, 1), c.TAIREMB(1, 1), c.VIENTOEMB(1, 1), c.HREMB(1, 1), c.NUBEMB(1, 1));
  };
  double a = -20.0, b = 60.0;
  for (int i = 0; i < 100; ++i) (H(0.5 * (a + b)) > 0.0 ? a : b) = 0.5 * (a + b);
  return 0.5 * (a + b);
}

// Shallow months with a steady volume and flow end on the steady state of
// their equations: temperature (q Tin + k TE) / (q + k), q the flow and k
// the exchange over the volume; the pollutant q Cin / (q + VS / H); with
// the heat balance of a closed reservoir, the root of HTOTAL. A month that
// is stable with its given sub-steps keeps them; one that diverges ends up
// on the sub-steps that its fastest rate needs.
TEST(ReservoirFinerSubsteps, ShallowMonthsReachTheirSteadyState) {
  struct Caso {
    const char* nombre;
    Somero s;
    int subpasos;
  };
  Somero estable;
  estable.calado = estable.calado_fin = 0.5;
  Somero balance;
  balance.modelo_t = 2, balance.paso = 0.0;
  const Caso casos[] = {
      {"half a metre: stable as given", estable, 30},
      // Exchange 12.4 and settling 10 a day: 4 sub-steps a day.
      {"five centimetres, heat exchange and settling", Somero{}, 120},
      {"the heat balance of a closed puddle", balance, 0},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nombre);
    tornal::Modelo m = somero(c.s);
    tornal::TrabajoEmbalse w;
    un_mes(m, w);
    const double H = c.s.calado;
    const double q = c.s.paso / 30.0 / (H * 1e5);  // per day
    const double k = c.s.KET / (tornal::sp(1.1574167e-5f) * 4186.0 * 1000.0 * H);
    if (c.s.modelo_t == 1) {
      EXPECT_EQ(subpasos(w), c.subpasos);
      EXPECT_NEAR(m.sim.EMB1CF(1, 1, 1, 1), (q * 10.0 + k * 20.0) / (q + k), 1e-9);
    } else {
      EXPECT_GT(subpasos(w), 30);
      EXPECT_NEAR(m.sim.EMB1CF(1, 1, 1, 1), raiz_htotal(m), 1e-6);
    }
    EXPECT_NEAR(m.sim.EMB1CF(1, 2, 1, 1), q * 100.0 / (q + c.s.VS / H), 1e-7);  // the floor: 1e-8
    EXPECT_EQ(m.sim.ERROREMB(1), 0);
    EXPECT_EQ(m.sim.NUMMESESFINOSEMB(1), subpasos(w) > 30 ? 1 : 0);
    EXPECT_EQ(w.fino != nullptr, subpasos(w) > 30);
  }
}

// A reservoir drawn down from 2 m to 5 cm in the month, under an exchange
// of 100 and settling of 2 m a day, with organic matter and oxygen: the
// last sub-steps diverge as given.
// Integrated with finer ones it is the same month as that of the finer
// sub-step count given in the input, to the bit (it starts from the same
// state); against a count 64 times finer it is within the first-order error
// of the scheme, which halves with the sub-step, so that the error of n
// sub-steps is about twice the change from n to 2 n: |x(n) - x(64 n)| <=
// 3 |x(n) - x(2 n)|, the margin for the couplings of the kinetics (organic
// matter and oxygen), which are taken at the start of every sub-step.
TEST(ReservoirFinerSubsteps, ADrawnDownMonthAgainstAStableSubstepCount) {
  Somero s;
  s.calado = 2.0, s.KET = 100.0, s.VS = 2.0, s.paso = 4e5, s.oxigeno = 1;
  tornal::Modelo automatico = somero(s);
  tornal::TrabajoEmbalse w;
  un_mes(automatico, w);
  const int n = subpasos(w);
  ASSERT_GT(n, 30);
  EXPECT_EQ(automatico.sim.ERROREMB(1), 0);
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
}

// A pollutant that starts below its steady state in a sub-step too long
// for its settling (6 a day) overshoots below 0 and the floor holds it
// there, 1e-8 all month, with no guard to trip: a divergence all the same.
// With 2 sub-steps a day it reaches q Cin / (q + VS / H).
TEST(ReservoirFinerSubsteps, APollutantHeldAtTheFloorIsADivergence) {
  tornal::Modelo m = embalse_prueba();
  m.red.VOLINIEMB(1) = 5000.0;
  cada_mes(m.red.VOLFINEMB, 5000.0);
  cada_mes(m.red.SUELTASEMB, 500.0);
  m.cal.VSEMB(1, 1) = 0.3;
  entrada(m, 1, 100.0);
  tornal::TrabajoEmbalse w;
  un_mes(m, w);
  EXPECT_EQ(subpasos(w), 60);
  EXPECT_NEAR(m.sim.EMB1CF(1, 1, 1, 1), 0.1 * 100.0 / (0.1 + 0.3 / 0.05), 1e-9);
  EXPECT_EQ(w.C1I(30, 1), tornal::sp(1.0e-8f));  // the given sub-steps, held at the floor
  EXPECT_EQ(m.sim.ERROREMB(1), 0);
}

// Months that finer sub-steps cannot mend keep what the integrators stored,
// raise the reservoir's flag and are named in the run log: a source beyond
// the guard (stable sub-steps: no finer ones are tried), a rate that is not
// a number, and a month whose sub-steps would pass the bound on them.
TEST(ReservoirFinerSubsteps, DivergencesThatFinerSubstepsCannotMend) {
  struct Caso {
    const char* nombre;
    double inflow, INCR, VS, TECTA;
    int subpasos;
    double resultado;
  };
  const Caso casos[] = {
      {"a source beyond the guard", 1e12, 30.0, 0.0, 1.0, 30, 1.0e5},
      {"a decay that is not a number", 100.0, 30.0, 0.0, 0.0, 30, 1.0e5},
      // Settling of 40 000 a day: 30 000 sub-steps and then 60 000 diverge,
      // 120 000 would pass the bound.
      {"the bound on the sub-steps", 100.0, 30000.0, 2000.0, 1.0, 60000, -1.0},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nombre);
    tornal::Modelo m = embalse_prueba();
    m.red.VOLINIEMB(1) = 5000.0;
    cada_mes(m.red.VOLFINEMB, 5000.0);
    cada_mes(m.red.SUELTASEMB, 500.0);
    m.cal.INCRETIEM(1) = c.INCR;
    m.cal.VSEMB(1, 1) = c.VS;
    m.cal.TECTAK1OR(1) = c.TECTA;
    serie(m.cal.TEPIL, 10.0);
    m.cal.COEMB(1, 1) = 100.0;
    entrada(m, 1, c.inflow);
    tornal::TrabajoEmbalse w;
    un_mes(m, w);
    EXPECT_EQ(subpasos(w), c.subpasos);
    EXPECT_LE(subpasos(w), tornal::MAXSUBPASOSMES);
    if (c.resultado > 0.0) {
      EXPECT_EQ(m.sim.EMB1CF(1, 1, 1, 1), c.resultado);
    }
    EXPECT_EQ(m.sim.ERROREMB(1), 1);
    std::vector<std::string> esperadas;
    if (c.subpasos > 30) {
      esperadas = {tornal::latin1("El cálculo del embalse diverge con el diferencial de cálculo dado"),
                   "Embalse:",
                   "Embalse de prueba",
                   tornal::latin1("Año, Mes:           1           1"),
                   tornal::latin1("Se integra el mes con subpasos más finos, número de subpasos:       60000")};
    }
    for (const std::string& l :
         {tornal::latin1("El cálculo del embalse diverge y no se resuelve con subpasos más finos"),
          std::string("Embalse:"), std::string("Embalse de prueba"),
          tornal::latin1("Año, Mes:           1           1"), std::string("Contaminante: P1"),
          tornal::latin1("Número de subpasos:") + tornal::edit_I(c.subpasos, 12)})
      esperadas.push_back(l);
    EXPECT_EQ(lineas_log(m), esperadas);
  }
}

// A year of shallow months: every month needs finer sub-steps, the run log
// names the first alone, and every one is counted.
TEST(ReservoirFinerSubsteps, TheFirstMonthIsNamedAndEveryMonthCounted) {
  tornal::Modelo m = somero(Somero{});
  tornal::TrabajoEmbalse w;
  correr_embalse(m, w);
  EXPECT_EQ(m.sim.NUMMESESFINOSEMB(1), 12);
  EXPECT_EQ(m.sim.ERROREMB(1), 0);
  const std::vector<std::string> esperadas = {
      tornal::latin1("El cálculo del embalse diverge con el diferencial de cálculo dado"), "Embalse:",
      "Embalse de prueba", tornal::latin1("Año, Mes:           1           1"),
      tornal::latin1("Se integra el mes con subpasos más finos, número de subpasos:         120")};
  EXPECT_EQ(lineas_log(m), esperadas);
}

// The sub-step files of a month integrated with 4 sub-steps for every given
// one keep a row per given sub-step J (every N-th in the partial results):
// its water as given, the concentrations at its end (sub-step 4 J of the
// finer ones), the growth rate and the terms of the balances summed over
// the 4 sub-steps that make it up; the rows of the month sum to the month's
// balance.
TEST(ReservoirFinerSubsteps, FileRowsStayThoseOfTheGivenSubsteps) {
  for (int N : {1, 5}) {
    SCOPED_TRACE(N);
    Somero s;
    s.oxigeno = 1;
    tornal::Modelo m = somero(s);
    TempDir dir;
    tornal::TrabajoEmbalse w;
    con_archivos(m, dir, N, 1, [&] { un_mes(m, w); });
    ASSERT_EQ(w.factor, 4);
    const tornal::TrabajoEmbalse& f = *w.fino;
    const int NC = m.cal.NUMCONTAMINANTES;  // temperature, P1, DBO5, oxygen
    auto F = [](double v) { return tornal::edit_F(v, 15, 3); };
    // The sum of a term over the finer sub-steps of J.
    auto suma = [&](int J, auto&& termino) {
      double x = 0.0;
      for (int i = 4 * J - 3; i <= 4 * J; ++i) x += termino(i);
      return x;
    };

    const auto p = crlf_lines(dir.read("emb.csv"));
    ASSERT_EQ(p.size(), 1u + 30 / N);
    for (int r = 1; r <= 30 / N; ++r) {
      const int J = r * N;
      SCOPED_TRACE(J);
      EXPECT_EQ(campo(p[r], 2), tornal::edit_I(J, 4));
      EXPECT_EQ(campo(p[r], 3), F(w.V1I(J) / 1e6));
      EXPECT_EQ(campo(p[r], 5), F(w.ZEPILI(J)));
      EXPECT_EQ(campo(p[r], 7), F(w.QS1 / 1e6));
      for (int c = 1; c <= NC; ++c) EXPECT_EQ(campo(p[r], 12 + c), F(f.C1I(4 * J, c)));
    }

    const auto b = crlf_lines(dir.read("balances.csv"));
    ASSERT_EQ(b.size(), 31u);
    const int salida = 3 + 2 + 2 * NC + NC;   // outflow of layer 1, constituent 1
    const int sedimentacion = 3 + 2 + 14 * NC + 10 + 1;  // L_Sed_Ep
    double mes = 0.0;
    for (int J = 1; J <= 30; ++J) {
      SCOPED_TRACE(J);
      EXPECT_EQ(campo(b[J], 2), tornal::edit_I(J, 4));
      EXPECT_EQ(campo(b[J], 5), F(w.V1I(J) * f.C1I(4 * J, 1) / 1e6));
      for (int c = 1; c <= NC; ++c) {
        const double esperado = suma(J, [&](int i) { return f.MASAEP(i, c, 2); }) / 1e6;
        EXPECT_EQ(campo(b[J], salida + c - 1), F(esperado));
        if (c == 1) mes += esperado;
      }
      EXPECT_EQ(campo(b[J], sedimentacion), F(suma(J, [&](int i) { return f.V1I(i) * f.MASAEPL(i, 2); }) / 1e6));
    }
    // The month's outflow of heat: 30 given sub-steps of QS1 at the
    // month's temperatures.
    double total = 0.0;
    for (int i = 1; i <= f.NSUB; ++i) total += f.MASAEP(i, 1, 2);
    EXPECT_NEAR(mes, total / 1e6, 1e-9 * std::fabs(total / 1e6));
  }
}

}  // namespace
