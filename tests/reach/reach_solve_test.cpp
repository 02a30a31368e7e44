// The solves of the reach model: the systems of the first-order pollutants
// solved together give each pollutant its own solve and stop on the first
// vanishing pivot in their order; the work arrays kept from one reach-month
// to the next leave nothing behind; a remembered power is recalled only for
// the very same base and exponent.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "reach/tramo.h"
#include "tramo_prueba.h"

namespace {

using tornal::Array1;
using tornal::Array2;
using tornal::Modelo;
using namespace tornal_test;

// Rows of 4 segments sharing A and C; system 1 is regular, the second
// pivot of system 2 is 1 - 1 x 1 / 1 = 0 and the first of system 3 is
// below 0.0001.
struct Sistemas {
  Array1<double> A{"A"}, C{"C"};
  Array2<double> B{"B"}, R{"R"};
  Sistemas() {
    A.resize(4);
    C.resize(4);
    B.resize(4, 3);
    R.resize(4, 3);
    const double b[3][4] = {{4.0, 3.5, 5.0, 4.25}, {1.0, 1.0, 3.0, 3.0}, {0.00001, 2.0, 2.0, 2.0}};
    for (int j = 1; j <= 4; ++j) {
      A(j) = j > 1 ? 1.0 : 0.0;
      C(j) = j < 4 ? 1.0 : 0.0;
      for (int s = 1; s <= 3; ++s) {
        B(j, s) = b[s - 1][j - 1];
        R(j, s) = 0.1 * j + s / 3.0;
      }
    }
  }
};

TEST(ReachSolve, SystemsSolvedTogetherGiveEachItsOwnSolveAndItsFirstVanishingPivot) {
  Sistemas p;
  Array2<double> U{"U"}, GAM{"GAM"};
  Array1<double> BET{"BET"}, U1{"U1"}, GAM1{"GAM1"};
  Array1<int> NULO{"NULO"};
  U.resize(4, 3);
  GAM.resize(4, 3);
  BET.resize(3);
  NULO.resize(3);
  U1.resize(4);
  GAM1.resize(4);
  tornal::TRIDIAGONALVARIOS(p.A.run(4), p.B.columns(4, 1, 3), p.C.run(4), p.R.columns(4, 1, 3), U.columns(4, 1, 3),
                            GAM.columns(4, 1, 3), BET.run(3), NULO.run(3), 4, 3);
  EXPECT_EQ(NULO(1), 0);
  EXPECT_EQ(NULO(2), 2);
  EXPECT_EQ(NULO(3), 1);
  ASSERT_EQ(tornal::TRIDIAGONALSUB(p.A.run(4), p.B.run(4, 1), p.C.run(4), p.R.run(4, 1), U1.run(4), GAM1.run(4), 4), 0);
  for (int j = 1; j <= 4; ++j) EXPECT_EQ(U(j, 1), U1(j)) << j;  // bit for bit
  // Solved on its own, each gives the segment of its vanishing pivot.
  for (int s = 2; s <= 3; ++s)
    EXPECT_EQ(tornal::TRIDIAGONALSUB(p.A.run(4), p.B.run(4, s), p.C.run(4), p.R.run(4, s), U1.run(4), GAM1.run(4), 4),
              NULO(s));
}

// Where the flow of the rows is resolved, the run stops with the message of
// the first system, in their order, that has a vanishing pivot: a later
// pivot of system 2 before the first pivot of system 3, and the other way
// round.
TEST(ReachSolve, FirstSystemInOrderWithAVanishingPivotStopsTheRun) {
  for (const bool invertido : {false, true}) {
    ModeloTramo m;
    tramo_prueba(m, 3, 400.0, 100.0, 1.0, 1.0);
    Sistemas p;
    if (invertido)
      for (int j = 1; j <= 4; ++j) std::swap(p.B(j, 2), p.B(j, 3));
    tornal::TrabajoTramo& w = m.tramo;
    w.dimensionar(4, 3);
    for (int j = 1; j <= 4; ++j) {
      w.SUB(j) = p.A(j);
      w.SUPER(j) = p.C(j);
      w.QI1(j) = 1.0;  // a flow the pivot test resolves
    }
    tornal::Tramo t;
    t.I = 1;
    t.N = 4;
    t.MES = 5;
    t.ANO = 1;
    const std::string parada = stop_message([&] {
      tornal::resolver_varios(m, w, t, 1, p.B.columns(4, 1, 3), p.R.columns(4, 1, 3), w.CX.columns(4, 1, 3));
    });
    EXPECT_EQ(parada, invertido ? "Inestabilidad numerica" : "inestabilidad numerica");
    EXPECT_EQ(lineas_con(m, "nestabilidad numerica"), 1);
    EXPECT_EQ(lineas_con(m, "Año, Mes:           1           5"), 1);
  }
}

// The same reach-month computed after another one on the same work arrays
// gives, bit for bit, what a fresh model gives: the diffuse load is not
// added twice, a hydraulic mode of neither kind leaves no depths of the
// month before, and a temperature that no model solves stays 0.
TEST(ReachSolve, WorkArraysKeptFromTheMonthBeforeLeaveNothingBehind) {
  struct Caso {
    const char* que;
    void (*antes)(Modelo&);  // the month before, on the same model
    void (*datos)(Modelo&);  // the reach-month compared
  };
  auto carga = [](Modelo& m) {
    m.cal.NUMVERTDIF = 1;
    m.cal.NUMCONDUCVERTDIF.resize_filled(1, 1);
    m.cal.SDVERTDIF.resize_filled(5000.0, 1, 3);
  };
  const Caso casos[] = {
      {"diffuse load in both months", carga, carga},
      {"hydraulic mode 3 after Manning",
       [](Modelo& m) {
         m.cal.TIPOHID(1) = 1;
         for (int j = 1; j <= 4; ++j) m.cal.COEFTESHIDR(1, j) = std::vector<double>{0.035, 15.0, 0.002, 2.0}[j - 1];
       },
       [](Modelo& m) {
         m.cal.TIPOHID(1) = 3;
         m.cal.ECOND(1) = 10.0;
       }},
      {"temperature of no model", [](Modelo& m) { m.cal.KETCOND(1) = 50.0; },
       [](Modelo& m) { m.cal.MODELOTEMPERATURA = 3; }},
  };
  for (const Caso& caso : casos) {
    auto preparar = [&](ModeloTramo& m) {
      tramo_prueba(m, 3, 1000.0, 200.0, 0.5, 1.0);
      opciones(m, 1, 0, 1);
      m.cal.KCOND(1, 1) = 2.0;
      m.cal.VSCOND(1, 2) = 0.3;
      for (int mes = 1; mes <= 12; ++mes) m.cal.TECOND(1, mes) = 25.0;
    };
    ModeloTramo nuevo, usado;
    preparar(nuevo);
    preparar(usado);
    caso.datos(nuevo);
    caso.antes(usado);
    calcular(usado, 86400.0, 20000.0, 5000.0, {12.0, 3.0, 4.0}, {8.0, 1.0, 2.0}, 2);
    caso.datos(usado);
    calcular(nuevo, 86400.0, 0.0, 0.0, {10.0, 2.0, 5.0}, {0.0, 0.0, 0.0}, 3);
    calcular(usado, 86400.0, 0.0, 0.0, {10.0, 2.0, 5.0}, {0.0, 0.0, 0.0}, 3);
    for (int k = 1; k <= 3; ++k) {
      EXPECT_EQ(salida(usado, k, 3), salida(nuevo, k, 3)) << caso.que << " " << k;
      for (int i = 1; i <= 5; ++i) EXPECT_EQ(usado.tramo.CX(i, k), nuevo.tramo.CX(i, k)) << caso.que << " " << i;
    }
  }
}

// 0 and -0 are different bases: 0^-1 is +inf, (-0)^-1 is -inf.
TEST(ReachSolve, RememberedPowerIsRecalledForTheSameBitsOnly) {
  tornal::PotenciaRecordada potencia;
  EXPECT_EQ(potencia(1.07, -5.0), std::pow(1.07, -5.0));
  EXPECT_EQ(potencia(1.07, -5.0), std::pow(1.07, -5.0));
  EXPECT_EQ(potencia(1.047, -5.0), std::pow(1.047, -5.0));
  EXPECT_EQ(potencia(0.0, -1.0), INFINITY);
  EXPECT_EQ(potencia(-0.0, -1.0), -INFINITY);
}

}  // namespace
