// The corners of a reservoir month: the layer decision, the empty and
// emptied months, the stop on a negative depth, divisions by zero and stages
// that are not numbers, the water age, and in the kinetics the hypolimnion
// factor of the algae, the series read at the running month and the
// sediment terms of the balances and the anoxia of the bottom layer.
#include <gtest/gtest.h>

#include <cmath>

#include "common/precision.h"
#include "embalse_prueba.h"

namespace {

using namespace tornal_test;

TEST(ReservoirMonth, LayerDecision) {
  struct Caso {
    const char* nombre;
    double area, paso, fondo, V0, VFIN, ZT;
    int UNACAPA;
    double V1F;
  };
  const Caso casos[] = {
      {"no thermocline", 1e5, 1e7, 0, 2e7, 2e7, 0.0, 1, 2e7},
      {"a thermocline above the surface", 1e5, 1e7, 0, 2e7, 2e7, -5.0, 1, 2e7},
      {"a thermocline below 0.001", 2e7, 2e8, 0, 1e9, 1e9, 0.0005, 1, 1e9},
      {"two layers", 1e5, 1e7, 0, 2e7, 2e7, 20.0, 0, 2e6},
      {"deeper than 0.8 of the depth at the end", 1e5, 1e7, 0, 2e7, 2e6, 20.0, 1, 2e6},
      {"a layer of 5000 keeps two", 500, 5e6, 0, 2e5, 2e5, 10.0, 0, 5000.0},
      {"a layer of 4999.99 does not", 500, 5e6, 0, 2e5, 2e5, 9.99998, 1, 2e5},
      {"elevations: depth from the curve's bottom", 1e5, 1e7, 500, 2e7, 2e7, 170.0, 1, 2e7},
      {"elevations: two layers", 1e5, 1e7, 500, 2e7, 2e7, 20.0, 0, 2e6},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nombre);
    OpcionesEmbalse o;
    o.area = c.area, o.paso = c.paso, o.fondo = c.fondo;
    tornal::Modelo m = embalse_prueba(o);
    m.red.VOLINIEMB(1) = c.V0;
    cada_mes(m.red.VOLFINEMB, c.VFIN);
    serie(m.cal.ZTEMB, c.ZT);
    tornal::TrabajoEmbalse w;
    un_mes(m, w);
    EXPECT_EQ(w.UNACAPA, c.UNACAPA);
    EXPECT_NEAR(m.sim.V1F(1, 1, 1), c.V1F, 1e-6);
    EXPECT_NEAR(m.sim.V1F(1, 1, 1) + m.sim.V2F(1, 1, 1), c.VFIN, 1e-6);
    if (c.UNACAPA == 1) {
      EXPECT_EQ(m.sim.EMB2CF(1, 1, 1, 1), tornal::sp(1.0e-7f));
    }
  }
}

// Empty at the start: the inflow passes (and fills one layer). Emptied
// during the month: the stored water (50) and the inflow (10) mix, and the
// mix leaves, so no stored load is lost.
TEST(ReservoirMonth, EmptyAndEmptiedMonths) {
  struct Caso {
    const char* nombre;
    double V0, VFIN, EMB1CF, NUDOSCS;
  };
  const Caso casos[] = {{"empty", 0.0, 0.0, 0.0, 10.0},
                        {"filled from empty", 0.0, 1e6, 10.0, 10.0},
                        {"emptied", 1e6, 0.0, 0.0, (1e6 * 50.0 + 1e6 * 10.0) / 2e6}};
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nombre);
    tornal::Modelo m = embalse_prueba();
    m.red.VOLINIEMB(1) = c.V0;
    cada_mes(m.red.VOLFINEMB, c.VFIN);
    cada_mes(m.red.SUELTASEMB, 2e6 / 30.0);  // the month releases 2e6
    m.cal.COEMB(1, 1) = 50.0;
    entrada(m, 1, 10.0);
    tornal::TrabajoEmbalse w;
    un_mes(m, w);
    EXPECT_NEAR(m.sim.EMB1CF(1, 1, 1, 1), c.EMB1CF, 1e-12);
    EXPECT_EQ(m.sim.EMB2CF(1, 1, 1, 1), 0.0);
    EXPECT_NEAR(m.sim.NUDOSCS(1, 1, 1, 1), c.NUDOSCS, 1e-12);
    EXPECT_EQ(m.sim.V1F(1, 1, 1), c.VFIN);
    EXPECT_EQ(m.sim.V2F(1, 1, 1), 0.0);
  }
}

// A volume below the curve's floor has level 0.01: under a bottom at 5 that
// is a negative depth, which stops the run.
TEST(ReservoirMonth, NegativeDepthStops) {
  OpcionesEmbalse o;
  o.fondo = 5.0;
  tornal::Modelo m = embalse_prueba(o);
  m.red.VOLINIEMB(1) = 0.005;
  cada_mes(m.red.VOLFINEMB, 0.005);
  tornal::TrabajoEmbalse w;
  EXPECT_EQ(stop_message([&] { un_mes(m, w); }), "Problemas con las curvas batimetricas de embalses");
  const auto l = log_lines(m);
  ASSERT_EQ(l.size(), 5u);  // the second message takes two lines
  EXPECT_EQ(l[0], "Calados estimados de embalse negativos. Revise la curva cota-sup-vol");
  EXPECT_EQ(l[3], tornal::latin1("Embalse, año, mes"));
  EXPECT_EQ(l[4], "          1           1           1");
}

// A zero depth (a settling velocity over it) raises the reservoir's flag
// and the month goes on; a stage that is not a number (a theta of 0 below
// 20 degrees, times a rate of 0) is a month that the sub-steps cannot
// resolve, which takes the mix of its water (3 held, 3 received) and
// raises the flag too. No result is a NaN.
TEST(ReservoirMonth, ZeroDivisorsRaiseTheFlagAndNaNsTakeTheMix) {
  for (int caso = 0; caso < 2; ++caso) {
    SCOPED_TRACE(caso);
    OpcionesEmbalse o;
    if (caso == 0) o.fondo = tornal::sp(0.01f);
    tornal::Modelo m = embalse_prueba(o);
    m.red.VOLINIEMB(1) = caso == 0 ? 0.005 : 1e7;
    cada_mes(m.red.VOLFINEMB, m.red.VOLINIEMB(1));
    cada_mes(m.red.SUELTASEMB, 1e-3);
    m.cal.VSEMB(1, 1) = 1.0;
    if (caso == 1) m.cal.TECTAK1OR(1) = 0.0, serie(m.cal.TEPIL, 10.0);
    m.cal.COEMB(1, 1) = 3.0;
    entrada(m, 1, 3.0);
    tornal::TrabajoEmbalse w;
    un_mes(m, w);
    EXPECT_EQ(m.sim.ERROREMB(1), 1);
    EXPECT_EQ(m.sim.MESESMEZCLAEMB(1), caso);
    EXPECT_TRUE(std::isfinite(m.sim.EMB1CF(1, 1, 1, 1)));
    EXPECT_TRUE(std::isfinite(m.sim.NUDOSCS(1, 1, 1, 1)));
  }
}

// "RESIDENCIA" in a closed reservoir ages by the month's 30 days, in 30, 60
// or 2 sub-steps (2.5 a month: sub-steps of 15 days); another name does not.
TEST(ReservoirMonth, WaterAgeGrowsByTheDays) {
  struct Caso {
    const char* nombre;
    double INCR, edad;
  };
  for (const Caso& c : {Caso{"RESIDENCIA", 30.0, 30.0}, Caso{"RESIDENCIA", 60.0, 30.0}, Caso{"RESIDENCIA", 2.5, 30.0},
                        Caso{"Residencia", 30.0, 0.0}}) {
    SCOPED_TRACE(c.INCR);
    tornal::Modelo m = embalse_prueba();
    m.cal.NOMCONT1OR(1) = tornal::padded(c.nombre, 30);
    m.cal.INCRETIEM(1) = c.INCR;
    m.red.VOLINIEMB(1) = 1e7;
    cada_mes(m.red.VOLFINEMB, 1e7);
    tornal::TrabajoEmbalse w;
    un_mes(m, w);
    EXPECT_NEAR(m.sim.EMB1CF(1, 1, 1, 1), c.edad, 1e-6);
  }
}

// Oxygen, nitrogen and phytoplankton (eight constituents) in a closed
// reservoir of 2e7 at 20 degrees; rates of 0 unless a test sets them.
tornal::Modelo cinetico(int anyos = 1) {
  OpcionesEmbalse o;
  o.primer_orden = 0;
  o.oxigeno = o.nitrogeno = o.fitoplancton = 1;
  o.anyos = anyos;
  tornal::Modelo m = embalse_prueba(o);
  m.red.VOLINIEMB(1) = 2e7;
  cada_mes(m.red.VOLFINEMB, 2e7);
  m.cal.ISATEMB(1) = 250.0;
  m.cal.KEEMB(1) = 0.5;
  serie(m.cal.IOEMB, 300.0);
  serie(m.cal.FLUMEMB, 0.5);
  m.cal.STECHIO.fill(0.1);
  for (int c = 1; c <= 8; ++c) m.cal.COEMB(1, c) = m.cal.COEMB2(1, c) = 1.0;
  m.cal.COEMB(1, 2) = m.cal.COEMB2(1, 2) = 9.0;  // oxygen
  return m;
}

// The hypolimnion's algae take FITOENELHIPO once a month: without growth,
// losses or exchange, 0.5 and then 0.25 of the start, not 0.5 to the power
// of the sub-steps.
TEST(ReservoirKinetics, HypolimnionFactorOnceAMonth) {
  tornal::Modelo m = cinetico();
  m.cal.FITOENELHIPO = 0.5;
  serie(m.cal.ZTEMB, 20.0);
  tornal::TrabajoEmbalse w;
  correr_embalse(m, w, [&](int mes, int) {
    if (mes <= 2) {
      EXPECT_NEAR(m.sim.EMB2CF(1, 6, mes, 1), std::pow(0.5, mes), 1e-12) << mes;
    }
  });
}

// Wind and light are read at the running month: with long series the
// second October has its own (wind 5: reaeration 0.01 x 25 + 0.05; no light:
// no growth).
TEST(ReservoirKinetics, WindAndLightAtTheRunningMonth) {
  tornal::Modelo m = cinetico(2);
  m.cal.KAEMB(1) = -1.0;
  m.cal.REAIEMB(1) = 0.05, m.cal.REAIEMB(2) = 0.01, m.cal.REAIEMB(3) = 2.0;
  m.cal.KMAXGROWEMB(1) = 1.0;
  serie(m.cal.UWEMB, 1.0);
  m.cal.UWEMB(1, 13) = 5.0;
  m.cal.IOEMB(1, 13) = 0.0;
  tornal::TrabajoEmbalse w;
  correr_embalse(m, w, [&](int mes, int y) {
    if (mes != 1) return;
    EXPECT_NEAR(w.KAAUX1(1), y == 1 ? 0.06 : 0.3, 1e-15);
    EXPECT_EQ(w.KGROWAUX1(1) > 0.0, y == 1);
  });
  // No saturating light, or no extinction: the flag instead of a NaN.
  for (int caso = 0; caso < 2; ++caso) {
    tornal::Modelo n = cinetico();
    n.cal.KMAXGROWEMB(1) = 1.0;
    (caso == 0 ? n.cal.ISATEMB(1) : n.cal.KEEMB(1)) = 0.0;
    un_mes(n, w);
    EXPECT_EQ(n.sim.ERROREMB(1), 1);
    EXPECT_TRUE(std::isfinite(n.sim.EMB1CF(1, 6, 1, 1)));
  }
}

// The sediment flux of ammonium acts only while the water is anoxic, and the
// balances book it only then; that of organic nitrogen always.
TEST(ReservoirKinetics, SedimentTermsOfTheBalances) {
  for (double oxigeno : {9.0, 0.5}) {
    SCOPED_TRACE(oxigeno);
    tornal::Modelo m = cinetico();
    m.cal.COEMB(1, 2) = oxigeno;
    m.cal.NUMFLUJSED = 1;
    m.cal.NUMEMBFLUJSED.resize_filled(1, 1);
    m.cal.FLUJSEDEMB.resize_filled(0.1, 1, 8);
    m.cal.FLUJSEDEMB(1, 2) = 0.0;
    tornal::TrabajoEmbalse w;
    un_mes(m, w);
    const double flujo = 1e5 * 0.1;                             // area x flux of a day-long sub-step
    EXPECT_EQ(w.MASAEP(1, 3, 6), flujo);                        // organic nitrogen
    EXPECT_EQ(w.MASAEP(1, 4, 6), oxigeno < 1.0 ? flujo : 0.0);  // ammonium
    EXPECT_EQ(w.MASAEP(1, 8, 6), oxigeno < 1.0 ? flujo : 0.0);  // phosphate
    EXPECT_EQ(m.sim.EMB1CF(1, 4, 1, 1) > 1.0, oxigeno < 1.0);
  }
}

// The bottom layer is anoxic while its oxygen is under 1 mg/l (oxygen keeps
// its output units in the calculation: its factor is 1): at exactly 1 it is
// not, and the sediment fluxes of ammonium, nitrate and phosphate are taken
// out again; at the next value below it is. The bottom layer is the
// hypolimnion of a two-layer month, whatever the epilimnion holds. Without
// rates, flows or exchange the oxygen stays at its start in every sub-step.
TEST(ReservoirKinetics, AnoxiaOfTheBottomLayerUnderOneMilligramPerLitre) {
  const double debajo = std::nextafter(1.0, 0.0);
  struct Caso {
    double ZT, epilimnio, hipolimnio;
    bool anoxico;
  };
  const Caso casos[] = {
      {0.0, 1.0, 1.0, false},    {0.0, debajo, debajo, true}, {20.0, 9.0, 1.0, false},
      {20.0, 9.0, debajo, true}, {20.0, 0.5, 1.0, false},     {20.0, 1.0, debajo, true},
  };
  for (const Caso& k : casos) {
    SCOPED_TRACE(testing::Message() << "ZT " << k.ZT << ", oxygen " << k.epilimnio << " over " << k.hipolimnio - 1.0
                                    << " + 1");
    tornal::Modelo m = cinetico();
    serie(m.cal.ZTEMB, k.ZT);
    m.cal.COEMB(1, 2) = k.epilimnio;
    m.cal.COEMB2(1, 2) = k.hipolimnio;
    m.cal.NUMFLUJSED = 1;
    m.cal.NUMEMBFLUJSED.resize_filled(1, 1);
    m.cal.FLUJSEDEMB.resize_filled(0.1, 1, 8);
    m.cal.FLUJSEDEMB(1, 2) = 0.0;  // no flux of oxygen
    tornal::TrabajoEmbalse w;
    un_mes(m, w);
    ASSERT_EQ(w.dos_capas(), k.ZT > 0.0);
    const auto& fondo = w.dos_capas() ? w.C2I : w.C1I;
    for (int j = 1; j <= w.NSUB; ++j) {
      ASSERT_EQ(fondo(j, 2), w.dos_capas() ? k.hipolimnio : k.epilimnio) << "sub-step " << j;
      EXPECT_EQ(w.SINFLUJOSED(j), k.anoxico ? 0 : 1) << "sub-step " << j;
    }
  }
}

}  // namespace
