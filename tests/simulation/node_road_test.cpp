// The node road of one month on hand-built networks whose series are set
// directly in calculation units: mixing at nodes in the fixed order of
// element kinds, returns and intakes with and without treatment, hydro
// plants, pumping, reaches of types 2 and 3, reservoir nodes, calibration,
// cut elements and the loop found at run time.
#include "simulation/node_road.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "reach/reach_model.h"
#include "red_prueba.h"
#include "test_util.h"

namespace {

using tornal::Modelo;
using namespace tornal_test;

// Runs every month of every year of the network.
void correr(Modelo& m, tornal::OpcionesCalibracion op = {}) {
  tornal::TrabajoNudos w;
  w.dimensionar(m.cal.NUMCONTAMINANTES);
  for (int ano = 1; ano <= m.red.NUMANYOS; ++ano)
    for (int mes = 1; mes <= 12; ++mes) {
      m.sim.MESACTUAL = mes;
      tornal::recorrido_mes(m, w, op, mes, ano);
    }
}

Modelo nuevo(const RedPrueba& p) {
  Modelo m;
  prepare(m);
  construir(m, p);
  preparar_resultados(m);
  return m;
}

// A chain 1 -> 2 -> 3 with an inflow at 1 and another at 2: every node and
// reach carries the flow-weighted mean of what reaches it, in every month,
// constituent by constituent.
TEST(NodeRoad, ChainOfReachesWithInflows) {
  RedPrueba p;
  p.nudos = {{1, 0}, {2, 0}, {3, 0}};
  p.conducciones = {{1, 2, 1}, {2, 3, 1}};
  p.aportaciones = {1, 2};
  p.contaminantes = 2;
  p.anyos = 2;
  Modelo m = nuevo(p);
  todos(m.red.QAPO, 1, 2.0);
  todos(m.red.QAPO, 2, 6.0);
  todos(m.cal.COAPO, 1, 1, 10.0);
  todos(m.cal.COAPO, 2, 1, 2.0);
  todos(m.cal.COAPO, 1, 2, 3.0);
  todos(m.cal.COAPO, 2, 2, 7.0);
  todos(m.red.QCONDUCC, 1, 2.0);
  todos(m.red.QCONDUCC, 2, 8.0);
  m.red.QAPO(2, 5, 2) = 2.0;  // one month differs: (2x10 + 2x2)/4 = 6
  correr(m);
  const auto& s = m.sim;
  EXPECT_DOUBLE_EQ(s.NUDOSCE(1, 1, 1, 1), 10.0);
  EXPECT_DOUBLE_EQ(s.CONDUCCCE(1, 1, 1, 1), 10.0);
  EXPECT_DOUBLE_EQ(s.CONDUCCCS(1, 1, 1, 1), 10.0);
  EXPECT_DOUBLE_EQ(s.NUDOSCE(2, 1, 1, 1), 4.0);  // (2x10 + 6x2) / 8
  EXPECT_DOUBLE_EQ(s.NUDOSCE(2, 2, 1, 1), 6.0);  // (2x3 + 6x7) / 8
  EXPECT_DOUBLE_EQ(s.NUDOSCS(2, 2, 1, 1), 6.0);
  EXPECT_DOUBLE_EQ(s.CONDUCCCS(2, 1, 12, 2), 4.0);
  EXPECT_DOUBLE_EQ(s.NUDOSCE(3, 1, 12, 2), 4.0);
  EXPECT_DOUBLE_EQ(s.NUDOSCE(3, 2, 7, 1), 6.0);
  EXPECT_DOUBLE_EQ(s.NUDOSCE(2, 1, 5, 2), 6.0);
  EXPECT_DOUBLE_EQ(s.NUDOSCE(2, 1, 5, 1), 4.0);
}

// The summed flow is tested to the hundredth on its integer part, in
// double: below 0.01 in magnitude the node gets 0, and flows far above the
// 32-bit range of 100 x flow are mixed like any other.
TEST(NodeRoad, MixingThresholdOnTheHundredth) {
  struct Caso {
    double q;
    double esperado;
  };
  const Caso casos[] = {{0.0, 0.0},   {0.009, 0.0}, {0.01, 5.0},  {-0.009, 0.0},
                        {-0.01, 5.0}, {3.0e7, 5.0}, {1.0e12, 5.0}};
  for (const Caso& k : casos) {
    RedPrueba p;
    p.nudos = {{1, 0}};
    p.aportaciones = {1};
    Modelo m = nuevo(p);
    todos(m.red.QAPO, 1, k.q);
    todos(m.cal.COAPO, 1, 1, 5.0);
    correr(m);
    EXPECT_DOUBLE_EQ(m.sim.NUDOSCE(1, 1, 1, 1), k.esperado) << "flow " << k.q;
  }
}

// Inflows 1 and 2 at nodes 1 and 3, an intake at each feeding the return at
// node 2, which reach 1 from node 1 reaches; calculation order 1, 3, 2.
RedPrueba dos_tomas_y_su_retorno(int contaminantes) {
  RedPrueba p;
  p.nudos = {{1, 0}, {3, 0}, {2, 0}};
  p.conducciones = {{1, 2, 1}};
  p.aportaciones = {1, 3};
  p.retornos = {2};
  p.tomas = {{1, 1}, {3, 1}};
  p.contaminantes = contaminantes;
  return p;
}

// Intake weights are abstraction x returned fraction, not the return's own
// flow; an intake's treated concentration replaces the node's; a return's
// treated value replaces the mix of its intakes, -1.5 counting as untreated
// and -2.0 as a treated value (no sign test).
TEST(NodeRoad, IntakesAndTheirReturn) {
  Modelo m = nuevo(dos_tomas_y_su_retorno(3));
  todos(m.red.QAPO, 1, 10.0);
  todos(m.red.QAPO, 2, 5.0);
  const double ca[2][3] = {{8.0, 4.0, 1.0}, {2.0, 8.0, 1.0}};
  for (int a = 1; a <= 2; ++a)
    for (int c = 1; c <= 3; ++c) todos(m.cal.COAPO, a, c, ca[a - 1][c - 1]);
  todos(m.red.SUMTOMAS, 1, 6.0);
  todos(m.red.SUMTOMAS, 2, 2.0);
  m.red.COEFRETTOMA(1) = 0.5;
  m.red.COEFRETTOMA(2) = 0.5;
  todos(m.red.QRETREAL, 1, 2.0);
  todos(m.red.QCONDUCC, 1, 4.0);
  m.cal.TOMADEPU(1, 2) = 1.0;
  m.cal.RETORNODEPU(1, 2) = -1.5;
  m.cal.RETORNODEPU(1, 3) = -2.0;
  correr(m);
  const auto& s = m.sim;
  EXPECT_DOUBLE_EQ(s.TOMASCE(1, 2, 1, 1), 4.0);
  EXPECT_DOUBLE_EQ(s.TOMASCS(1, 2, 1, 1), 1.0);
  EXPECT_DOUBLE_EQ(s.TOMASCS(1, 1, 1, 1), 8.0);
  EXPECT_DOUBLE_EQ(s.TOMASCS(2, 2, 1, 1), 8.0);
  EXPECT_DOUBLE_EQ(s.ELERETCE(1, 1, 1, 1), 6.5);  // (3x8 + 1x2) / 4
  EXPECT_DOUBLE_EQ(s.ELERETCS(1, 1, 1, 1), 6.5);
  EXPECT_DOUBLE_EQ(s.ELERETCE(1, 2, 1, 1), 2.75);  // (3x1 + 1x8) / 4
  EXPECT_DOUBLE_EQ(s.ELERETCS(1, 2, 1, 1), 2.75);
  EXPECT_DOUBLE_EQ(s.ELERETCS(1, 3, 1, 1), -2.0);
  EXPECT_DOUBLE_EQ(s.NUDOSCE(3, 1, 1, 1), 7.5);         // (4x8 + 2x6.5) / 6
  EXPECT_DOUBLE_EQ(s.NUDOSCE(3, 2, 1, 1), 21.5 / 6.0);  // (4x4 + 2x2.75) / 6
  EXPECT_NEAR(s.NUDOSCE(3, 3, 1, 1), 0.0, 1e-15);       // (4x1 + 2x(-2)) / 6
}

// A return fed by two intakes of different returned fractions and
// abstractions (intake 1 at 8, intake 2 at 2): each intake weighs its
// abstraction times its own fraction. The rows are chosen so that a mix that
// drops either fraction, or either abstraction, or weighs by the return's
// own flow, gives another value; the node then mixes the return at its own
// flow.
TEST(NodeRoad, ReturnOfTwoIntakesWeighsEachByItsOwnFraction) {
  struct Caso {
    double S1, k1, S2, k2;
    double mezcla;  // (S1 k1 8 + S2 k2 2) / (S1 k1 + S2 k2)
  };
  const Caso casos[] = {
      {6.0, 0.5, 4.0, 0.25, 26.0 / 4.0},  // not 5.6 (no fractions), 6.0 (no abstractions), 50/7, 32/7, 4, 98/13
      {2.0, 0.25, 3.0, 1.0, 10.0 / 3.5},  // the heavier weight on the smaller abstraction
      {5.0, 0.0, 1.0, 0.6, 2.0},          // intake 1 returns nothing
  };
  for (const Caso& k : casos) {
    SCOPED_TRACE(k.mezcla);
    Modelo m = nuevo(dos_tomas_y_su_retorno(1));
    todos(m.red.QAPO, 1, 10.0);
    todos(m.red.QAPO, 2, 5.0);
    todos(m.cal.COAPO, 1, 1, 8.0);
    todos(m.cal.COAPO, 2, 1, 2.0);
    todos(m.red.SUMTOMAS, 1, k.S1);
    todos(m.red.SUMTOMAS, 2, k.S2);
    m.red.COEFRETTOMA(1) = k.k1;
    m.red.COEFRETTOMA(2) = k.k2;
    todos(m.red.QRETREAL, 1, 1.5);
    todos(m.red.QCONDUCC, 1, 4.0);
    correr(m);
    EXPECT_DOUBLE_EQ(m.sim.ELERETCE(1, 1, 3, 1), k.mezcla);
    EXPECT_DOUBLE_EQ(m.sim.ELERETCS(1, 1, 3, 1), k.mezcla);
    EXPECT_DOUBLE_EQ(m.sim.NUDOSCE(3, 1, 3, 1), (4.0 * 8.0 + 1.5 * k.mezcla) / 5.5);
  }
}

// A return fed by no intake carries 0; treated, its treated value.
TEST(NodeRoad, ReturnWithoutIntakes) {
  RedPrueba p;
  p.nudos = {{1, 0}};
  p.retornos = {1};
  p.contaminantes = 2;
  Modelo m = nuevo(p);
  todos(m.red.QRETREAL, 1, 4.0);
  m.cal.RETORNODEPU(1, 2) = 5.0;
  correr(m);
  EXPECT_DOUBLE_EQ(m.sim.ELERETCE(1, 1, 1, 1), 0.0);
  EXPECT_DOUBLE_EQ(m.sim.ELERETCS(1, 1, 1, 1), 0.0);
  EXPECT_DOUBLE_EQ(m.sim.ELERETCS(1, 2, 1, 1), 5.0);
  EXPECT_DOUBLE_EQ(m.sim.NUDOSCE(1, 2, 1, 1), 5.0);
}

// An untreated return fed by an intake whose node comes later in the order
// mixes the intake's "not computed" mark and stops naming the return; the
// same return treated passes with its treated value.
TEST(NodeRoad, ReturnFedFromDownstreamIntake) {
  for (bool depurado : {false, true}) {
    RedPrueba p;
    p.nudos = {{2, 0}, {1, 0}};
    p.retornos = {2};
    p.tomas = {{1, 1}};
    Modelo m = nuevo(p);
    todos(m.red.SUMTOMAS, 1, 3.0);
    m.red.COEFRETTOMA(1) = 1.0;
    todos(m.red.QRETREAL, 1, 3.0);
    if (depurado) m.cal.RETORNODEPU(1, 1) = 2.0;
    const std::string msg = stop_message([&] { correr(m); });
    if (depurado) {
      EXPECT_EQ(msg, "");
      EXPECT_DOUBLE_EQ(m.sim.NUDOSCE(1, 1, 1, 1), 2.0);
      continue;
    }
    EXPECT_EQ(msg, "error");
    const auto l = log_lines(m);
    ASSERT_GE(l.size(), 5u);  // the name of 250 goes on in pieces of 79
    EXPECT_EQ(l[0], "Error al intentar estimar la calidad de un retorno");
    EXPECT_EQ(l[1], "Numero de retorno");
    EXPECT_EQ(l[2], "          1");
    EXPECT_EQ(l[3], "Nombre de retorno");
    EXPECT_EQ(tornal::trimmed(l[4]), "Retorno 1");
  }
}

// A hydro plant hands its intake node's outflow to its re-entry node; a
// pumping element brings its aquifer's concentration.
TEST(NodeRoad, PlantAndPumping) {
  RedPrueba p;
  p.nudos = {{1, 0}, {2, 0}};
  p.conducciones = {{1, 2, 1}};
  p.aportaciones = {1};
  p.centrales = {{1, 2}};
  p.bombeos = {{2, 1}};
  p.acuiferos = 1;
  Modelo m = nuevo(p);
  todos(m.red.QAPO, 1, 4.0);
  todos(m.cal.COAPO, 1, 1, 6.0);
  todos(m.red.QCONDUCC, 1, 2.0);
  todos(m.red.QTURRESCEN, 1, 2.0);
  todos(m.red.QBOMB, 1, 2.0);
  m.cal.COACU(1, 1) = 12.0;
  correr(m);
  EXPECT_DOUBLE_EQ(m.sim.CENTRCE(1, 1, 3, 1), 6.0);
  EXPECT_DOUBLE_EQ(m.sim.CENTRCS(1, 1, 3, 1), 6.0);
  EXPECT_DOUBLE_EQ(m.sim.NUDOSCE(2, 1, 3, 1), 8.0);  // (2x6 + 2x6 + 2x12) / 6
}

// Reaches of types 2 and 3: the head flow adds the loss (or the gain)
// back to QCONDUCC, a gain brings the aquifer's concentration.
TEST(NodeRoad, LossAndGainReaches) {
  struct Caso {
    const char* nombre;
    int tipo;
    double qconducc;
    double perdida;
    double esperado;
  };
  const Caso casos[] = {
      {"type 3 gain: (6x10 + 2x2)/8", 3, 8.0, -2.0, 8.0},
      {"type 3 loss: the inlet", 3, 8.0, 2.0, 10.0},
      {"type 3 no exchange: the inlet", 3, 8.0, 0.0, 10.0},
      {"type 3 fed by the aquifer only", 3, 2.0, -2.0, 2.0},
      {"type 2 loss: the inlet", 2, 8.0, 2.0, 10.0},
      {"type 2 losing all its water: dry", 2, 0.0, 5.0, 0.0},
      {"type 2, flows beyond 32 bits: not dry", 2, 1.0e7, 2.5e7, 10.0},
      {"type 3, gain beyond 32 bits", 3, 4.0e7, -3.0e7, 4.0},  // (1e7x10 + 3e7x2)/4e7
  };
  for (const Caso& k : casos) {
    RedPrueba p;
    p.nudos = {{1, 0}, {2, 0}};
    p.conducciones = {{1, 2, k.tipo}};
    p.aportaciones = {1};
    p.acuiferos = 1;
    p.acuiferos_t3 = {1.7};  // used through its integer part
    Modelo m = nuevo(p);
    todos(m.red.QAPO, 1, 10.0);
    todos(m.cal.COAPO, 1, 1, 10.0);
    todos(m.red.QCONDUCC, 1, k.qconducc);
    todos(k.tipo == 2 ? m.red.PERDT2 : m.red.PERDT3, 1, k.perdida);
    m.cal.COACU(1, 1) = 2.0;
    correr(m);
    EXPECT_DOUBLE_EQ(m.sim.CONDUCCCE(1, 1, 1, 1), 10.0) << k.nombre;
    EXPECT_DOUBLE_EQ(m.sim.CONDUCCCS(1, 1, 1, 1), k.esperado) << k.nombre;
    EXPECT_DOUBLE_EQ(m.sim.NUDOSCE(2, 1, 1, 1), k.qconducc == 0.0 ? 0.0 : k.esperado) << k.nombre;
  }
}

// The aquifer of a type-3 reach is looked at only when the reach gains
// water; out of range it stops naming the reach.
TEST(NodeRoad, AquiferOfGainingReachOutOfRange) {
  for (double perdida : {0.0, 2.0, -2.0}) {
    RedPrueba p;
    p.nudos = {{1, 0}, {2, 0}};
    p.conducciones = {{1, 2, 1}, {1, 2, 3}};
    p.acuiferos = 1;
    p.acuiferos_t3 = {2.0};
    Modelo m = nuevo(p);
    todos(m.red.QCONDUCC, 2, 8.0);
    todos(m.red.PERDT3, 1, perdida);
    const std::string msg = stop_message([&] { correr(m); });
    if (perdida >= 0.0) {
      EXPECT_EQ(msg, "") << perdida;
      continue;
    }
    EXPECT_EQ(msg, "error");
    const auto l = log_lines(m);
    ASSERT_GE(l.size(), 4u);
    EXPECT_EQ(l[0], tornal::latin1("El acuífero de la conducción no existe"));
    EXPECT_EQ(l[1], tornal::latin1("Número Conducción:") + "           2");
    EXPECT_EQ(l[2], tornal::latin1("Nombre Conducción:"));
    EXPECT_EQ(tornal::trimmed(l[3]), "Tramo 2");
  }
}

// A reach not modelled (INRESCOND -1 or 2) passes its inlet through,
// whatever its lateral inflow.
TEST(NodeRoad, ReachNotModelledPassesItsInlet) {
  for (int inres : {-1, 2, 0, 1}) {
    RedPrueba p;
    p.nudos = {{1, 0}, {2, 0}};
    p.conducciones = {{1, 2, 3}};
    p.aportaciones = {1};
    p.acuiferos = 1;
    p.acuiferos_t3 = {1.0};
    Modelo m = nuevo(p);
    todos(m.red.QAPO, 1, 6.0);
    todos(m.cal.COAPO, 1, 1, 10.0);
    todos(m.red.QCONDUCC, 1, 8.0);
    todos(m.red.PERDT3, 1, -2.0);
    m.cal.COACU(1, 1) = 2.0;
    m.cal.INRESCOND(1) = inres;
    correr(m);
    const bool pasa = inres == -1 || inres == 2;
    EXPECT_DOUBLE_EQ(m.sim.CONDUCCCS(1, 1, 1, 1), pasa ? 10.0 : 8.0) << inres;
  }
}

// Reach calibration: mode 1 replaces the whole flow balance and the head
// concentrations, mode 2 only the head concentrations (the lateral inflow
// keeps the aquifer's);
// a calibrated reach that is not modelled passes its inlet. Without a
// calibration file no reach is calibrated, whatever the option.
TEST(NodeRoad, ReachCalibration) {
  struct Caso {
    int opcion;
    int calibrada;
    int inres;
    double esperado;
  };
  const Caso casos[] = {
      {1, 1, 0, 4.0},   // QCAB = 5, no lateral flow: the calibration concentration
      {2, 1, 0, 3.5},   // QCAB = 6, QENT = 2 of the aquifer: (6x4 + 2x2)/8
      {1, 1, 2, 10.0},  // not modelled: the inlet
      {1, 0, 0, 8.0},   // no reach calibrated: (6x10 + 2x2)/8
      {3, 1, 0, 8.0},   // no calibration mode
  };
  for (const Caso& k : casos) {
    RedPrueba p;
    p.nudos = {{1, 0}, {2, 0}};
    p.conducciones = {{1, 2, 3}};
    p.aportaciones = {1};
    p.acuiferos = 1;
    p.acuiferos_t3 = {1.0};
    Modelo m = nuevo(p);
    todos(m.red.QAPO, 1, 6.0);
    todos(m.cal.COAPO, 1, 1, 10.0);
    todos(m.red.QCONDUCC, 1, 8.0);
    todos(m.red.PERDT3, 1, -2.0);
    m.cal.COACU(1, 1) = 2.0;
    m.cal.INRESCOND(1) = k.inres;
    if (k.calibrada != 0) {
      m.sim.NUMCONDUCCALIBRAR = k.calibrada;
      m.sim.CAUDALCALIBRA.resize_filled(5.0, 12, 1);
      m.sim.CONCCALIBRAC.resize_filled(4.0, 1, 12, 1);
    }
    correr(m, {k.opcion, 0});
    EXPECT_DOUBLE_EQ(m.sim.CONDUCCCS(1, 1, 1, 1), k.esperado) << k.opcion << " " << k.inres;
    EXPECT_DOUBLE_EQ(m.sim.CONDUCCCE(1, 1, 1, 1), 10.0);
  }
}

// A type-3 reach carrying 3 m3/s at 10 at its head and gaining 3 m3/s from
// an aquifer at 40, of a conservative constituent: its outlet is the mix,
// 25, without calibration and calibrated in mode 2 with a head
// concentration of 10, the gained water keeping the aquifer's 40; mode 1
// has no lateral water, and the outlet is the measured head concentration.
TEST(NodeRoad, ReachCalibratedInModeTwoKeepsTheWaterOfItsAquifer) {
  const double DIA = 86400.0;  // m3/s into m3/day
  struct Caso {
    const char* que;
    int opcion;
    double esperado;
  };
  const Caso casos[] = {
      {"without calibration", 0, 25.0},
      {"mode 2, head at 10", 2, 25.0},
      {"mode 1, 3 m3/s at 10", 1, 10.0},
  };
  for (const Caso& k : casos) {
    SCOPED_TRACE(k.que);
    RedPrueba p;
    p.nudos = {{1, 0}, {2, 0}};
    p.conducciones = {{1, 2, 3}};
    p.aportaciones = {1};
    p.acuiferos = 1;
    p.acuiferos_t3 = {1.0};
    Modelo m = nuevo(p);
    todos(m.red.QAPO, 1, 3.0 * DIA);
    todos(m.cal.COAPO, 1, 1, 20.0);  // the node's water, which the calibration replaces
    todos(m.red.QCONDUCC, 1, 6.0 * DIA);
    todos(m.red.PERDT3, 1, -3.0 * DIA);
    m.cal.COACU(1, 1) = 40.0;
    if (k.opcion == 0) todos(m.cal.COAPO, 1, 1, 10.0);
    m.sim.NUMCONDUCCALIBRAR = k.opcion == 0 ? 0 : 1;
    m.sim.CAUDALCALIBRA.resize_filled(3.0 * DIA, 12, 1);
    m.sim.CONCCALIBRAC.resize_filled(10.0, 1, 12, 1);
    correr(m, {k.opcion, 0});
    for (int mes = 1; mes <= 12; ++mes) EXPECT_NEAR(m.sim.CONDUCCCS(1, 1, mes, 1), k.esperado, 1e-9) << mes;
  }
}

// A reservoir node hands the mixed inflow to the reservoir of the highest
// number at the node; the calibrated reservoir gets the measured inflow
// concentrations while the node keeps its mix. The reservoir fills from
// empty in the first month and then releases what the reach carries: its
// one layer and its outflow hold the (measured) inflow concentration.
TEST(NodeRoad, ReservoirNode) {
  for (bool calibrado : {false, true}) {
    RedPrueba p;
    p.nudos = {{1, 1}, {2, 0}};
    p.conducciones = {{1, 2, 1}};
    p.aportaciones = {1, 1};
    p.embalses = {1, 1};
    Modelo m = nuevo(p);
    todos(m.red.QAPO, 1, 5.0);
    todos(m.red.QAPO, 2, 5.0);
    todos(m.cal.COAPO, 1, 1, 3.0);
    todos(m.cal.COAPO, 2, 1, 7.0);
    todos(m.red.QCONDUCC, 1, 10.0);
    todos(m.red.VOLFINEMB, 2, 40.0);
    todos(m.red.SUELTASEMB, 2, 10.0);
    if (calibrado) {
      m.sim.NUMEMBCALIBRAR = 2;
      m.sim.CONCCALIBRAE.resize_filled(9.0, 1, 12, 1);
    }
    correr(m, {0, calibrado ? 1 : 0});
    const auto& s = m.sim;
    EXPECT_DOUBLE_EQ(s.NUDOSCE(1, 1, 4, 1), 5.0);
    const double embalse = calibrado ? 9.0 : 5.0;
    EXPECT_DOUBLE_EQ(s.NUDOSCS(1, 1, 1, 1), 5.0);  // filling from empty: the inflow passes
    EXPECT_NEAR(s.NUDOSCS(1, 1, 4, 1), embalse, 1e-12);
    EXPECT_NEAR(s.EMB1CF(2, 1, 4, 1), embalse, 1e-12);
    EXPECT_DOUBLE_EQ(s.EMB2CF(2, 1, 4, 1), 1.0000000116860974e-07);  // one layer
    EXPECT_DOUBLE_EQ(s.V1F(2, 4, 1), 40.0);
    EXPECT_DOUBLE_EQ(s.EMB1CF(1, 1, 4, 1), 0.0);  // the other reservoir is never computed
    EXPECT_NEAR(s.CONDUCCCS(1, 1, 4, 1), embalse, 1e-12);
    EXPECT_NEAR(s.NUDOSCE(2, 1, 4, 1), embalse, 1e-12);
  }
}

// Elements hanging from the pseudo-node of a loop cut are never reached:
// their row is skipped and the cut reach keeps "not computed" and its
// inlet 0, while the rest of the network is computed.
TEST(NodeRoad, CutLoopKeepsItsMarks) {
  RedPrueba p;
  p.nudos = {{-999, 0}, {1, 0}, {2, 0}};
  p.conducciones = {{1, 2, 1}, {-999, 0, 1}};
  p.aportaciones = {1};
  Modelo m = nuevo(p);
  todos(m.red.QAPO, 1, 3.0);
  todos(m.cal.COAPO, 1, 1, 4.0);
  todos(m.red.QCONDUCC, 1, 3.0);
  todos(m.red.QCONDUCC, 2, 3.0);
  m.sim.NUDOSCE.fill(0.25);
  correr(m);
  for (int mes = 1; mes <= 12; ++mes) {
    EXPECT_DOUBLE_EQ(m.sim.CONDUCCCS(2, 1, mes, 1), -999.0);
    EXPECT_DOUBLE_EQ(m.sim.CONDUCCCE(2, 1, mes, 1), 0.0);
    EXPECT_DOUBLE_EQ(m.sim.NUDOSCE(1, 1, mes, 1), 0.25);
    EXPECT_DOUBLE_EQ(m.sim.NUDOSCE(3, 1, mes, 1), 4.0);
  }
}

// A reach ending at a node while its outlet still holds "not computed"
// (integer part -999) stops the run with the loop lines, even at flow 0.
TEST(NodeRoad, LoopFoundAtRunTime) {
  struct Caso {
    double salida;
    bool para;
  };
  const Caso casos[] = {{-999.0, true}, {-999.99, true}, {-1000.0, false}, {-998.99, false}, {0.0, false}};
  for (const Caso& k : casos) {
    RedPrueba p;
    p.nudos = {{-5, 0}, {7, 0}};
    p.conducciones = {{-5, 7, 1}};
    Modelo m = nuevo(p);
    m.sim.CONDUCCCS.fill(k.salida);
    const std::string msg = stop_message([&] { correr(m); });
    EXPECT_EQ(msg, k.para ? "Error" : "") << k.salida;
    if (!k.para) continue;
    const auto l = log_lines(m);
    ASSERT_EQ(l.size(), 3u);
    EXPECT_EQ(l[0], "Bucle en la red de flujo");
    EXPECT_EQ(l[1], "El nudo:           7");
    EXPECT_EQ(l[2], "No puede calcularse porque aguas arriba existe un bucle");
  }
  // The same found through the calculation order: node 2 before node 1.
  RedPrueba p;
  p.nudos = {{2, 0}, {1, 0}};
  p.conducciones = {{1, 2, 1}};
  Modelo m = nuevo(p);
  EXPECT_EQ(stop_message([&] { correr(m); }), "Error");
  EXPECT_EQ(log_lines(m)[1], "El nudo:           2");
}

// A head node with nothing flowing in gets 0 for every constituent, and an
// intake with a treated concentration delivers it even from such a node.
TEST(NodeRoad, HeadNodeAndTreatedIntake) {
  RedPrueba p;
  p.nudos = {{1, 0}};
  p.tomas = {{1, 0}};
  p.contaminantes = 2;
  Modelo m = nuevo(p);
  m.cal.TOMADEPU(1, 2) = 3.0;
  m.sim.NUDOSCE.fill(7.0);
  correr(m);
  EXPECT_DOUBLE_EQ(m.sim.NUDOSCE(1, 1, 1, 1), 0.0);
  EXPECT_DOUBLE_EQ(m.sim.NUDOSCE(1, 2, 1, 1), 0.0);
  EXPECT_DOUBLE_EQ(m.sim.TOMASCS(1, 1, 1, 1), 0.0);
  EXPECT_DOUBLE_EQ(m.sim.TOMASCS(1, 2, 1, 1), 3.0);
}

}  // namespace

namespace {

// The reach outlet of a substance that neither decays nor settles: the dry
// exit on the hundredth of each flow, then the steady transport, which
// delivers the flow-weighted mean of head and lateral inflow (and the head
// concentration when the reach only loses water). Head and lateral inflow
// together are mixed, not cut to the lateral inflow alone, also when the
// two flows are equal or the head flow is below the hundredth.
TEST(NodeRoad, ReachOutletOfAConservativeSubstance) {
  struct Caso {
    double qcab, qent, qsal, esperado;
  };
  const Caso casos[] = {
      {5.004, 0.009, 5.009, 0.0},                             // 500, 0, 500: dry
      {0.0, 0.0, 0.0, 0.0},                                   // dry
      {0.0, 3.0, 0.0, 2.0},                                   // no head flow: the lateral inflow
      {0.004, 3.0, 0.0, (0.004 * 10.0 + 3.0 * 2.0) / 3.004},  // below the hundredth, mixed
      {3.0, 3.0, 0.0, 6.0},                                   // (3x10 + 3x2)/6, not the lateral inflow
      {3.0, 1.0, 0.0, 8.0},                                   // (3x10 + 1x2)/4
      {3.0, 0.0, 1.0, 10.0},                                  // only loses: the head
      {3.0, 0.0, 3.5, 0.0},                                   // loses more than it carries: dry
      {3.5e7, 0.0, 2.5e7, 10.0},                              // beyond 32 bits: not dry
      {2.5e7, 2.5e7, 0.0, 6.0},                               // beyond 32 bits: mixed
  };
  for (const Caso& k : casos) {
    RedPrueba p;
    p.nudos = {{1, 0}, {2, 0}};
    p.conducciones = {{1, 2, 1}};
    Modelo m = nuevo(p);
    tornal::Array1<double> co{"CO"}, ce{"CE"};
    co.resize_filled(10.0, 1);
    ce.resize_filled(2.0, 1);
    tornal::TrabajoTramo w;
    tornal::CALCULOCONDUCSUB(m, w, 1, k.qcab, k.qent, k.qsal, co, ce, 3, 1);
    EXPECT_NEAR(m.sim.CONDUCCCS(1, 1, 3, 1), k.esperado, 1e-12 * k.esperado)
        << k.qcab << " " << k.qent << " " << k.qsal;
  }
}

}  // namespace

namespace {

// The elements of row f of a list.
std::vector<int> de_fila(const tornal::ElementosPorFila& l, int f) {
  std::vector<int> v;
  for (int p = l.INICIO(f); p < l.INICIO(f + 1); ++p) v.push_back(l.ELEMENTOS(p));
  return v;
}

// What a scan of every element finds at row f: the elements whose node is
// that of the row, in increasing number.
template <typename Nudo>
std::vector<int> escaneo(const Modelo& m, int f, int n, Nudo nudo) {
  std::vector<int> v;
  for (int I = 1; I <= n; ++I)
    if (nudo(I) == m.red.ORDENNUDOS(f, 1)) v.push_back(I);
  return v;
}

}  // namespace

// The node lists built once before the months hold, row by row, exactly the
// elements that a scan of the whole network finds there, in the same order:
// on random networks with repeated rows of one node, node 0, negative nodes
// and nodes outside the calculation order; the intakes feeding each return
// leave out return numbers that name no return; the reservoir of a row is
// the highest-numbered one at its node.
TEST(NodeRoad, NodeListsMatchAScanOfTheNetwork) {
  std::mt19937 gen(11);
  for (int ronda = 0; ronda < 40; ++ronda) {
    std::uniform_int_distribution<int> nudo(-2, 12);
    std::uniform_int_distribution<int> cuantos(0, 9);
    RedPrueba p;
    const int filas = 1 + cuantos(gen);
    for (int f = 0; f < filas; ++f) p.nudos.push_back({nudo(gen), 0});
    for (int i = cuantos(gen); i > 0; --i) p.conducciones.push_back({nudo(gen), nudo(gen), 1});
    for (int i = cuantos(gen); i > 0; --i) p.aportaciones.push_back(nudo(gen));
    for (int i = cuantos(gen); i > 0; --i) p.embalses.push_back(nudo(gen));
    for (int i = cuantos(gen); i > 0; --i) p.centrales.push_back({nudo(gen), nudo(gen)});
    for (int i = cuantos(gen); i > 0; --i) p.bombeos.push_back({nudo(gen), 1});
    for (int i = cuantos(gen); i > 0; --i) p.retornos.push_back(nudo(gen));
    for (int i = cuantos(gen); i > 0; --i) p.tomas.push_back({nudo(gen), nudo(gen)});
    Modelo m;
    prepare(m);
    construir(m, p);
    const tornal::Red& r = m.red;
    tornal::ElementosNudos e;
    tornal::preparar_elementos_nudos(r, e);
    for (int f = 1; f <= r.NUMNUDOS; ++f) {
      SCOPED_TRACE("ronda " + std::to_string(ronda) + ", fila " + std::to_string(f));
      EXPECT_EQ(de_fila(e.APORTACIONES, f), escaneo(m, f, r.NUMAPORTACIONES, [&](int I) { return r.NUDOAPO(I); }));
      EXPECT_EQ(de_fila(e.LLEGADAS, f), escaneo(m, f, r.NUMCONDUCCIONES, [&](int I) { return r.CONDUCCIONES(I, 2); }));
      EXPECT_EQ(de_fila(e.SALIDAS, f), escaneo(m, f, r.NUMCONDUCCIONES, [&](int I) { return r.CONDUCCIONES(I, 1); }));
      EXPECT_EQ(de_fila(e.REINCEN, f), escaneo(m, f, r.NUMCENTRALES, [&](int I) { return r.NUDREINCEN(I); }));
      EXPECT_EQ(de_fila(e.TOMACEN, f), escaneo(m, f, r.NUMCENTRALES, [&](int I) { return r.NUDTOMACEN(I); }));
      EXPECT_EQ(de_fila(e.BOMBEOS, f), escaneo(m, f, r.NUMBOMBEOS, [&](int I) { return r.NUDOBOMB(I); }));
      EXPECT_EQ(de_fila(e.RETORNOS, f), escaneo(m, f, r.NUMRETORNOS, [&](int I) { return r.NUDORET(I); }));
      EXPECT_EQ(de_fila(e.TOMAS, f), escaneo(m, f, r.NUMTOMAS, [&](int I) { return r.NUMTOMA(I); }));
      const std::vector<int> embalses = escaneo(m, f, r.NUMEMBALSES, [&](int I) { return r.NUMNUDOEMB(I); });
      EXPECT_EQ(e.EMBALSEFILA(f), embalses.empty() ? 0 : embalses.back());
    }
    for (int ret = 1; ret <= r.NUMRETORNOS; ++ret) {
      std::vector<int> tomas;
      for (int t = 1; t <= r.NUMTOMAS; ++t)
        if (r.NUMRETTOMA(t) == ret) tomas.push_back(t);
      EXPECT_EQ(de_fila(e.TOMASRETORNO, ret), tomas) << "retorno " << ret;
    }
  }
}
