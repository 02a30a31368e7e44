// The two sub-step integrators (their stages, the guard of each, the floor)
// and the level-area-volume curve lookup in its three modes.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "common/latin1.h"
#include "reservoir/reservoir_model.h"
#include "test_util.h"

namespace {

using tornal::PasoEmbalse;
using namespace tornal_test;

const double NaN = std::numeric_limits<double>::quiet_NaN();
const double INF = std::numeric_limits<double>::infinity();
const double SUELO = 9.99999993922529e-09;

TEST(ReservoirIntegrators, OneLayerStepGuardAndFloor) {
  struct Caso {
    const char* nombre;
    double A, D, P;
    double esperado;
    bool diverge;
  };
  const Caso casos[] = {
      // Four stages of 1, weighted by one sixth held in single precision.
      {"constant source", 0.0, 1.0, 0.0, 1.0000000298023224, false},
      // Stages -1, -0.5, -0.75 and -0.625: the fourth takes half of k3.
      {"decay", -1.0, 0.0, 1.0, 0.31249997951090336, false},
      {"stage of exactly 1e5 passes", 0.0, 1.0e5, 0.0, 6.0e5 * 0.1666666716337204, false},
      {"stage above 1e5 diverges", 0.0, 100000.00001, 0.0, 1.0e5, true},
      {"a stage that is not a number diverges", NaN, 0.0, 1.0, 1.0e5, true},
      {"an infinite source diverges", 0.0, -INF, 1.0, 1.0e5, true},
      {"far below zero does not diverge, it floors", 0.0, -1.0e9, 0.0, SUELO, false},
      {"the floor threshold itself stays", 0.0, 0.0, 1.0000000116860974e-07, 1.0000000116860974e-07, false},
      {"zero floors", 0.0, 0.0, 0.0, SUELO, false},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nombre);
    const PasoEmbalse r = tornal::paso_una_capa(c.A, c.D, c.P);
    EXPECT_EQ(r.C1, c.esperado);
    EXPECT_EQ(r.diverge, c.diverge);
  }
}

// Two layers: uncoupled layers advance as one layer does; every stage of a
// layer takes the other's staged value; stages up to 1e6 pass; a divergence
// (or a NaN) of either layer stores 1e5 in both; each layer floors alone.
TEST(ReservoirIntegrators, TwoLayerStepGuardAndFloor) {
  struct Caso {
    const char* nombre;
    double A1, B1, D1, A2, B2, D2, P1, P2;
    double C1, C2;
    bool diverge;
  };
  const double big = 5.0e5 * 6.0 * 0.1666666716337204;
  const Caso casos[] = {
      {"uncoupled", -1, 0, 0, 0, 0, 1, 1, 0, 0.31249997951090336, 1.0000000298023224, false},
      {"coupled", 0, 1, 0, 0, 0, 0, 0, 1, 1.0000000298023224, 1.0, false},
      {"stages of 5e5 pass", 0, 0, 0, 0, 0, 5e5, 1, 0, 1.0, big, false},
      {"hypolimnion diverges", 0, 0, 0, 0, 0, 1.5e6, 3, 0, 1e5, 1e5, true},
      {"a NaN diverges", 0, 0, 0, 0, 0, NaN, 3, 0, 1e5, 1e5, true},
      {"each layer floors", 0, 0, -2, 0, 0, 0, 1, 4, SUELO, 4.0, false},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nombre);
    const PasoEmbalse r = tornal::paso_dos_capas(c.A1, c.B1, c.D1, c.A2, c.B2, c.D2, c.P1, c.P2);
    EXPECT_EQ(r.C1, c.C1);
    EXPECT_EQ(r.C2, c.C2);
    EXPECT_EQ(r.diverge, c.diverge);
  }
}

// Reservoir 1: volumes 10..100, levels 1..10, areas 100..1000; reservoir 2:
// a curve from volume 0 with two equal points (30 at points 4 and 5).
tornal::Modelo curvas() {
  tornal::Modelo m;
  prepare(m);
  m.red.NUMEMBALSES = 2;
  m.red.NOMEMB.resize(2);
  m.red.NOMEMB(1) = tornal::padded("Embalse de prueba", 250);
  m.red.NOMEMB(2) = tornal::padded("Otro", 250);
  m.red.VOLEMB.resize(2, 10);
  m.red.COTAEMB.resize(2, 10);
  m.red.SUPERFEMB.resize(2, 10);
  const double v2[10] = {0, 10, 20, 30, 30, 50, 60, 70, 80, 90};
  for (int i = 1; i <= 10; ++i) {
    m.red.VOLEMB(1, i) = 10.0 * i;
    m.red.COTAEMB(1, i) = i;
    m.red.SUPERFEMB(1, i) = 100.0 * i;
    m.red.VOLEMB(2, i) = v2[i - 1];
    m.red.COTAEMB(2, i) = 100.0 + i;
    m.red.SUPERFEMB(2, i) = 5.0 * i;
  }
  return m;
}

TEST(ReservoirCurve, LookupsInTheirThreeModes) {
  struct Caso {
    const char* nombre;
    int K, modo;
    double vol, cota, sup;     // the input among them
    double evol, ecota, esup;  // expected
  };
  const double E = 0.009999999776482582;
  const Caso casos[] = {
      {"mode 0 changes nothing", 1, 0, 1.0, 2.0, 3.0, 1.0, 2.0, 3.0},
      {"mode 4 changes nothing", 1, 4, 1.0, 2.0, 3.0, 1.0, 2.0, 3.0},
      {"volume 0 is empty", 2, 1, 0.0, -5.0, -5.0, 0.0, E, E},
      {"volume at the widened floor is looked up", 2, 1, E, -5.0, -5.0, E, 101.0 + E * 0.1, 5.0 + E * 0.5},
      {"level below the floor", 1, 2, -5.0, 0.05, -5.0, E, 0.05, E},
      {"level 0.1 is below the widened floor", 1, 2, -5.0, 0.1, -5.0, E, 0.1, E},
      {"surface below the floor", 1, 3, -5.0, -5.0, 0.05, E, E, 0.05},
      {"half the first point", 1, 1, 5.0, -5.0, -5.0, 5.0, 0.5, 50.0},
      {"equal to a point", 1, 1, 40.0, -5.0, -5.0, 40.0, 4.0, 400.0},
      {"between points", 1, 2, -5.0, 2.5, -5.0, 25.0, 2.5, 250.0},
      {"from a surface", 1, 3, -5.0, -5.0, 650.0, 65.0, 6.5, 650.0},
      {"above the curve along the last segment", 1, 1, 110.0, -5.0, -5.0, 110.0, 11.0, 1100.0},
      {"level at the top is interpolated", 1, 2, -5.0, 10.0, -5.0, 100.0, 10.0, 1000.0},
      {"equal points: the first of them", 2, 1, 30.0, -5.0, -5.0, 30.0, 104.0, 20.0},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nombre);
    tornal::Modelo m = curvas();
    double vol = c.vol, cota = c.cota, sup = c.sup;
    tornal::CURVAEMBSUB(m, c.K, vol, cota, sup, c.modo);
    EXPECT_NEAR(vol, c.evol, 1e-12);
    EXPECT_NEAR(cota, c.ecota, 1e-12);
    EXPECT_NEAR(sup, c.esup, 1e-12);
  }
}

// A level or surface above the curve: -9999 in both outputs, three lines in
// the run log (the name at its full 250 characters) and the stop.
TEST(ReservoirCurve, AboveTheCurveStops) {
  for (int modo : {2, 3}) {
    tornal::Modelo m = curvas();
    double vol = 0.0, cota = modo == 2 ? 10.5 : 0.0, sup = modo == 3 ? 1000.5 : 0.0;
    EXPECT_EQ(stop_message([&] { tornal::CURVAEMBSUB(m, 1, vol, cota, sup, modo); }), "error");
    EXPECT_EQ(vol, -9999.0);
    EXPECT_EQ(modo == 2 ? sup : cota, -9999.0);
    // Texts longer than a line go on in pieces of 79.
    std::string todo;
    for (const std::string& l : log_lines(m)) todo += l;
    const std::string mensaje =
        modo == 2 ? "Una profundidad simulada es superior a la profundidad maxima de la curva cota-sup-vol"
                  : "Un superficie simulada es superior a la superficie maxima de la curva cota-sup-vol";
    EXPECT_EQ(
        todo.rfind(mensaje + "Modifique la curva para que englobe todos los valores simulados" + "Nombre del embalse",
                   0),
        0u)
        << todo;
    const std::string resto = todo.substr(todo.find("Nombre del embalse") + 18);
    EXPECT_NE(resto.find("Embalse de prueba"), std::string::npos);
    EXPECT_GE(resto.size(), 250u);
  }
}

}  // namespace
