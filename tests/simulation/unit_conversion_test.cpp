// The unit conversion of the run: series, reservoir curves and input
// concentrations into calculation units before the months, the factors
// DESCAMBIOUNIDAD, and the results back into output units after them.
#include "simulation/unit_conversion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "test_util.h"

namespace {

using namespace tornal;

constexpr double FV = 1000000.0;         // m3 in one hm3
constexpr double DIAS = 30.0;            // days in one month of the series
constexpr double FU = FV / DIAS;         // hm3 per month into m3/day
constexpr double U1 = 0.23;              // BOD decay rate per day
constexpr double DBO_IDA = 1.46335;      // 1 / (1 - e^(-5 x 0.23))
constexpr double DBO_VUELTA = 0.683363;  // 1 - e^(-5 x 0.23)
constexpr int NA = 2;

struct Opciones {
  int T, N1OR, O, N, P;
  int nc() const { return T + N1OR + 2 * O + 3 * (N + P); }
};

void llenar(Array3<double>& a, long n, double v) { a.resize_filled(v, n, 12, NA); }

// A basin with every element kind, every series and curve point at `v`,
// every input concentration at `c`, and the result arrays of the driver
// allocated as the driver does (filled with `c` too).
void preparar(Modelo& m, Opciones o, double v = 1.0, double c = 1.0) {
  tornal_test::prepare(m);
  Red& r = m.red;
  Calidad& q = m.cal;
  r.NUMANYOS = NA;
  r.NUMEMBALSES = 2;
  r.NUMCONDUCCIONEST1 = 1;
  r.NUMCONDUCCIONEST2 = 2;
  r.NUMCONDUCCIONEST3 = 1;
  r.NUMCONDUCCIONEST4 = 1;
  r.NUMCONDUCCIONEST5 = 1;
  r.NUMCONDUCCIONES = 6;
  r.NUMAPORTACIONES = 3;
  r.NUMDEMANDAS = 1;
  r.NUMDEMANDASFIS = 2;
  r.NUMTOMAS = 2;
  r.NUMTOMASFIS = 3;
  r.NUMRETORNOS = 2;
  r.NUMCENTRALES = 1;
  r.NUMBOMBEOS = 1;
  r.NUMRECARGAS = 1;
  r.NUMACUIFEROS = 2;

  r.VOLINIEMB.resize_filled(v, 2);
  r.SUPERFEMB.resize_filled(v, 2, 10);
  r.VOLEMB.resize_filled(v, 2, 10);
  llenar(r.QAPO, 3, v);
  for (Array3<double>* a :
       {&r.APINTEREMB, &r.APPREVEMB, &r.VOLFINEMB, &r.COTFINEMB, &r.SUELTASEMB, &r.VERTEMB, &r.EVAPEMB, &r.FILTREMB})
    llenar(*a, 2, v);
  llenar(r.QT1, 1, v);
  llenar(r.QFT2, 2, v);
  llenar(r.PERDT2, 2, v);
  llenar(r.QFT3, 1, v);
  llenar(r.PERDT3, 1, v);
  llenar(r.QT4, 1, v);
  llenar(r.QMAXT4, 1, v);
  llenar(r.QT5, 1, v);
  llenar(r.QCONDUCC, 6, v);
  llenar(r.DOTRES, 1, v);
  llenar(r.SUMSUBTDEM, 1, v);
  llenar(r.SUMSUPDEM, 2, v);
  llenar(r.DEFDEM, 2, v);
  llenar(r.SUMTOMAS, 3, v);
  llenar(r.QRETREAL, 2, v);
  llenar(r.QOBJRESCEN, 1, v);
  llenar(r.QTURRESCEN, 1, v);
  llenar(r.HTURBCEN, 1, v);
  llenar(r.QBOMB, 1, v);
  llenar(r.QREC, 1, v);

  q.OPCIONTEMPERATURA = o.T;
  q.NUMCONT1OR = o.N1OR;
  q.OPCIONOXIGENO = o.O;
  q.OPCIONNITROGENO = o.N;
  q.OPCIONFITOPLANCTON = o.P;
  q.NUMCONTAMINANTES = o.nc();
  q.POS = tornal::posiciones_contaminantes(q);
  const int NC = o.nc();
  q.FACTORVOLUMEN = FV;
  q.DIVISORUNIDADES = DIAS;
  q.FACTORUNIDADES = FU;
  const double U[5] = {U1, 2.0, 4.0, 5.0, 8.0};
  for (int i = 0; i < 5; ++i) q.UNIDADESESTEQUIOMETRICAS(i + 1) = U[i];

  q.NUMVERTDIF = 2;
  q.SDVERTDIF.resize_filled(c, 2, NC);
  q.NUMFLUJSED = 1;
  q.FLUJSEDEMB.resize_filled(c, 1, NC);
  q.COACU.resize_filled(c, 2, NC);
  q.COEMB.resize_filled(c, 2, NC);
  q.COEMB2.resize_filled(c, 2, NC);
  q.RETORNODEPU.resize_filled(c, 2, NC);
  q.TOMADEPU.resize_filled(c, 3, NC);
  q.COAPO.resize_filled(c, 3, NC, 12, NA);

  Simulacion& s = m.sim;
  s.V1F.resize_filled(c, 2, 12, NA);
  s.V2F.resize_filled(c, 2, 12, NA);
  s.EMB1CF.resize_filled(c, 2, NC, 12, NA);
  s.EMB2CF.resize_filled(c, 2, NC, 12, NA);
  s.CONDUCCCE.resize_filled(c, 6, NC, 12, NA);
  s.CONDUCCCS.resize_filled(c, 6, NC, 12, NA);
  s.NUDOSCS.resize_filled(c, 3, NC, 12, NA);
  s.DESCAMBIOUNIDAD.resize(NC);
}

// Every element of a series equal to `esperado`.
void todos_valen(const Array3<double>& a, double esperado, const std::string& nombre) {
  ASSERT_GT(a.size(1), 0) << nombre;
  for (long i = 1; i <= a.size(1); ++i)
    for (long mes = 1; mes <= 12; ++mes)
      for (long y = 1; y <= NA; ++y)
        ASSERT_NEAR(a(i, mes, y), esperado, 1e-9 * std::fabs(esperado))
            << nombre << "(" << i << "," << mes << "," << y << ")";
}

const Opciones TODAS = {1, 1, 1, 1, 1};  // NC = 10

// ---------------------------------------------------------------------------
// Series and curves before the months.

struct Serie {
  const char* nombre;
  Array3<double> Red::*serie;
  double factor;
};

TEST(CambioUnidadesSeries, EverySeriesTakesItsFactorOnce) {
  const Serie SERIES[] = {
      {"QAPO", &Red::QAPO, FU},
      {"APINTEREMB", &Red::APINTEREMB, FU},
      {"APPREVEMB", &Red::APPREVEMB, FU},
      {"VOLFINEMB", &Red::VOLFINEMB, FV},
      {"SUELTASEMB", &Red::SUELTASEMB, FU},
      {"VERTEMB", &Red::VERTEMB, FU},
      {"EVAPEMB", &Red::EVAPEMB, FU},
      {"FILTREMB", &Red::FILTREMB, FU},
      {"QT1", &Red::QT1, FU},
      {"QFT2", &Red::QFT2, FU},
      {"PERDT2", &Red::PERDT2, FU},
      {"QFT3", &Red::QFT3, FU},
      {"PERDT3", &Red::PERDT3, FU},
      {"QT4", &Red::QT4, FU},
      {"QMAXT4", &Red::QMAXT4, FU},
      {"QT5", &Red::QT5, FU},
      {"QCONDUCC", &Red::QCONDUCC, FU},
      {"DOTRES", &Red::DOTRES, FU},
      {"SUMSUPDEM", &Red::SUMSUPDEM, FU},
      {"SUMSUBTDEM", &Red::SUMSUBTDEM, FU},
      {"DEFDEM", &Red::DEFDEM, FU},
      {"SUMTOMAS", &Red::SUMTOMAS, FU},
      {"QRETREAL", &Red::QRETREAL, FU},
      {"QOBJRESCEN", &Red::QOBJRESCEN, FU},
      {"QTURRESCEN", &Red::QTURRESCEN, FU},
      {"QBOMB", &Red::QBOMB, FU},
      {"QREC", &Red::QREC, FU},
      // The end-of-month level and the third hydro-plant block stay as read.
      {"COTFINEMB", &Red::COTFINEMB, 1.0},
      {"HTURBCEN", &Red::HTURBCEN, 1.0},
  };
  Modelo m;
  preparar(m, TODAS);
  CAMBIOUNIDADESSUB(m);
  for (const Serie& s : SERIES) todos_valen(m.red.*s.serie, s.factor, s.nombre);
}

TEST(CambioUnidadesSeries, ReservoirCurvesInM3AndM2) {
  Modelo m;
  preparar(m, TODAS);
  m.red.SUPERFEMB(2, 10) = 3.5;  // hectares
  m.red.VOLEMB(1, 4) = 0.25;     // hm3
  CAMBIOUNIDADESSUB(m);
  for (int e = 1; e <= 2; ++e) {
    EXPECT_DOUBLE_EQ(m.red.VOLINIEMB(e), FV);
    for (int k = 1; k <= 10; ++k) {
      EXPECT_DOUBLE_EQ(m.red.SUPERFEMB(e, k), e == 2 && k == 10 ? 35000.0 : 10000.0) << e << "," << k;
      EXPECT_DOUBLE_EQ(m.red.VOLEMB(e, k), e == 1 && k == 4 ? 250000.0 : FV) << e << "," << k;
    }
  }
}

TEST(CambioUnidadesSeries, InflowOfOneCubicMetrePerSecond) {
  Modelo m;
  preparar(m, TODAS, 2.592);
  CAMBIOUNIDADESSUB(m);
  EXPECT_NEAR(m.red.QAPO(3, 12, 2), 86400.0, 1e-8);
  EXPECT_NEAR(m.red.QAPO(3, 12, 2) / 86400.0, 1.0, 1e-12);
}

// Neither the sediment fluxes nor the series built from the time curves are
// converted.
TEST(CambioUnidadesSeries, SedimentFluxesAndCurveSeriesAsRead) {
  Modelo m;
  preparar(m, TODAS, 1.0, 3.0);
  m.cal.TCOND.resize_filled(12.0, 6, 12 * NA);
  CAMBIOUNIDADESSUB(m);
  for (int c = 1; c <= TODAS.nc(); ++c) EXPECT_DOUBLE_EQ(m.cal.FLUJSEDEMB(1, c), 3.0) << c;
  EXPECT_DOUBLE_EQ(m.cal.TCOND(6, 24), 12.0);
}

// ---------------------------------------------------------------------------
// Concentration factors of the constituents.

struct CasoFactores {
  const char* caso;
  Opciones o;
  double u1;
  // Forward and reverse factor of every constituent, in list order.
  std::vector<double> ida;
  std::vector<double> vuelta;
};

const double B = DBO_IDA, b = DBO_VUELTA;

const CasoFactores CASOS_FACTORES[] = {
    // Temperature, two first-order pollutants: nothing changes.
    {"sin oxigeno", {1, 2, 0, 0, 0}, U1, {1, 1, 1}, {1, 1, 1}},
    // The three option groups set without oxygen change nothing either.
    {"nitrogeno sin oxigeno", {0, 1, 0, 1, 1}, U1, std::vector<double>(7, 1.0), std::vector<double>(7, 1.0)},
    // "DBO5" at NC - 1, "Oxígeno Disuelto" at NC keeps 1.
    {"oxigeno", {1, 1, 1, 0, 0}, U1, {1, 1, B, 1}, {1, 1, b, 1}},
    // DBO5, OD, NOrg, NH4 (U2), NO3 (U3).
    {"nitrogeno", {0, 1, 1, 1, 0}, U1, {1, B, 1, 1, 2, 4}, {1, b, 1, 1, 0.5, 0.25}},
    // ... Chla (U4), POrg, PO4 (U5).
    {"fitoplancton", {1, 0, 1, 1, 1}, U1, {1, B, 1, 1, 2, 4, 5, 1, 8}, {1, b, 1, 1, 0.5, 0.25, 0.2, 1, 0.125}},
    // Phytoplankton without nitrogen: only "DBO5" (at NC - 4) converted.
    {"fitoplancton sin nitrogeno", {0, 0, 1, 0, 1}, U1, {B, 1, 1, 1, 1}, {b, 1, 1, 1, 1}},
    // The BOD conversion is off below 0.0001 (either sign), on from 0.0001.
    {"U1 0.00009", {0, 0, 1, 0, 0}, 0.00009, {1, 1}, {1, 1}},
    {"U1 -0.00009", {0, 0, 1, 0, 0}, -0.00009, {1, 1}, {1, 1}},
    {"U1 0", {0, 0, 1, 0, 0}, 0.0, {1, 1}, {1, 1}},
    {"U1 0.0001", {0, 0, 1, 0, 0}, 0.0001, {2000.500042, 1}, {4.998750208e-4, 1}},
};

TEST(CambioUnidadesFactores, ForwardFactorsOfEveryInputConcentration) {
  for (const CasoFactores& k : CASOS_FACTORES) {
    SCOPED_TRACE(k.caso);
    Modelo m;
    preparar(m, k.o);
    m.cal.UNIDADESESTEQUIOMETRICAS(1) = k.u1;
    CAMBIOUNIDADESSUB(m);
    const Calidad& q = m.cal;
    const int NC = k.o.nc();
    ASSERT_EQ(static_cast<int>(k.ida.size()), NC);
    for (int c = 1; c <= NC; ++c) {
      const double f = k.ida[c - 1];
      const double tol = 1e-5 * f;
      SCOPED_TRACE("constituent " + std::to_string(c));
      for (int i = 1; i <= 2; ++i) {
        EXPECT_NEAR(q.COACU(i, c), f, tol);
        EXPECT_NEAR(q.COEMB(i, c), f, tol);
        EXPECT_NEAR(q.COEMB2(i, c), f, tol);
        EXPECT_NEAR(q.RETORNODEPU(i, c), f, tol);
        EXPECT_NEAR(q.TOMADEPU(i, c), f, tol);
        EXPECT_NEAR(q.SDVERTDIF(i, c), f, tol);
      }
      for (int a = 1; a <= 3; ++a)
        for (int mes = 1; mes <= 12; ++mes)
          for (int y = 1; y <= NA; ++y) EXPECT_NEAR(q.COAPO(a, c, mes, y), f, tol) << a << "," << mes << "," << y;
    }
  }
}

TEST(CambioUnidadesFactores, ReverseFactorsDescambioUnidad) {
  for (const CasoFactores& k : CASOS_FACTORES) {
    SCOPED_TRACE(k.caso);
    Modelo m;
    preparar(m, k.o);
    m.cal.UNIDADESESTEQUIOMETRICAS(1) = k.u1;
    m.sim.DESCAMBIOUNIDAD.fill(7.0);  // every factor is set, none left over
    factores_descambio(m);
    const int NC = k.o.nc();
    ASSERT_EQ(m.sim.DESCAMBIOUNIDAD.size(), NC);
    for (int c = 1; c <= NC; ++c)
      EXPECT_NEAR(m.sim.DESCAMBIOUNIDAD(c), k.vuelta[c - 1], 1e-5 * k.vuelta[c - 1]) << "constituent " << c;
  }
}

TEST(CambioUnidadesFactores, ReverseFactorsOfTheResults) {
  for (const CasoFactores& k : CASOS_FACTORES) {
    SCOPED_TRACE(k.caso);
    Modelo m;
    preparar(m, k.o);
    m.cal.UNIDADESESTEQUIOMETRICAS(1) = k.u1;
    DESCAMBIOUNIDADESSUB(m);
    const Simulacion& s = m.sim;
    for (int c = 1; c <= k.o.nc(); ++c) {
      const double f = k.vuelta[c - 1];
      for (int e = 1; e <= 2; ++e) {
        EXPECT_NEAR(s.EMB1CF(e, c, 1, 1), f, 1e-5 * f) << c;
        EXPECT_NEAR(s.EMB2CF(e, c, 12, NA), f, 1e-5 * f) << c;
      }
      for (int j = 1; j <= 6; ++j) {
        EXPECT_NEAR(s.CONDUCCCE(j, c, 7, 1), f, 1e-5 * f) << c;
        EXPECT_NEAR(s.CONDUCCCS(j, c, 3, NA), f, 1e-5 * f) << c;
      }
    }
  }
}

// ---------------------------------------------------------------------------
// Treated and untreated returns and intakes.

TEST(CambioUnidadesDepuradas, UntreatedMarkKeptEverythingElseScaled) {
  struct Fila {
    double valor;
    double esperado;
  };
  // "DBO5" is constituent 2 of the oxygen case {0, 1, 1, 0, 0}.
  const Fila FILAS[] = {
      {-1.0, -1.0},     {-1.5, -1.5}, {-1.99, -1.99},  {-0.5, -0.5 * B},
      {-2.0, -2.0 * B}, {0.0, 0.0},   {10.0, 14.6335}, {3.0e9, 3.0e9 * B},
  };
  for (const Fila& f : FILAS) {
    Modelo m;
    preparar(m, {0, 1, 1, 0, 0});
    m.cal.RETORNODEPU(2, 2) = f.valor;
    m.cal.TOMADEPU(1, 2) = f.valor;
    CAMBIOUNIDADESSUB(m);
    EXPECT_NEAR(m.cal.RETORNODEPU(2, 2), f.esperado, 1e-4 + 1e-5 * std::fabs(f.esperado)) << f.valor;
    EXPECT_NEAR(m.cal.TOMADEPU(1, 2), f.esperado, 1e-4 + 1e-5 * std::fabs(f.esperado)) << f.valor;
    EXPECT_NEAR(m.cal.RETORNODEPU(1, 2), B, 1e-5);  // the neighbour is scaled
  }
}

// Only the intakes that the node road visits (NUMTOMAS of NUMTOMASFIS) are
// converted; none for network data of the optimisation model.
TEST(CambioUnidadesDepuradas, OnlyVisitedIntakes) {
  for (int NUMTOMAS : {0, 2, 3}) {
    Modelo m;
    preparar(m, {0, 1, 1, 0, 0});
    m.red.NUMTOMAS = NUMTOMAS;
    CAMBIOUNIDADESSUB(m);
    for (int t = 1; t <= 3; ++t)
      EXPECT_NEAR(m.cal.TOMADEPU(t, 2), t <= NUMTOMAS ? B : 1.0, 1e-5) << NUMTOMAS << " intake " << t;
  }
}

// ---------------------------------------------------------------------------
// Back conversion after the months.

TEST(DescambioUnidades, VolumesAndFlowsBackToOutputUnits) {
  Modelo m;
  preparar(m, TODAS);
  llenar(m.red.VOLFINEMB, 2, FV);
  m.sim.V1F.fill(2.0 * FV);
  m.sim.V2F.fill(0.5 * FV);
  llenar(m.red.QCONDUCC, 6, FU);
  llenar(m.red.PERDT2, 2, 3.0 * FU);
  llenar(m.red.PERDT3, 1, -FU);  // a gain of the aquifer
  DESCAMBIOUNIDADESSUB(m);
  todos_valen(m.red.VOLFINEMB, 1.0, "VOLFINEMB");
  todos_valen(m.sim.V1F, 2.0, "V1F");
  todos_valen(m.sim.V2F, 0.5, "V2F");
  todos_valen(m.red.QCONDUCC, 1.0, "QCONDUCC");
  todos_valen(m.red.PERDT2, 3.0, "PERDT2");
  todos_valen(m.red.PERDT3, -1.0, "PERDT3");
  // What the reports do not read stays in calculation units.
  todos_valen(m.red.QAPO, 1.0, "QAPO");
  todos_valen(m.red.QFT2, 1.0, "QFT2");
  EXPECT_DOUBLE_EQ(m.sim.NUDOSCS(1, 2, 1, 1), 1.0);
  EXPECT_DOUBLE_EQ(m.red.VOLINIEMB(1), 1.0);
}

// A reach outlet that was never computed keeps the "not computed" mark
// (integer part -999) so that the reports still tell a cut reach; values
// just outside the mark are converted.
TEST(DescambioUnidades, NotComputedMarkOfACutReachKept) {
  struct Fila {
    double valor;
    double esperado;
  };
  const Fila FILAS[] = {
      {-999.0, -999.0}, {-999.5, -999.5}, {-998.9, -998.9 * b}, {-1000.0, -1000.0 * b}, {14.6335, 10.0},
  };
  // "DBO5" is constituent 2 of the oxygen case {0, 1, 1, 0, 0}.
  for (const Fila& f : FILAS) {
    Modelo m;
    preparar(m, {0, 1, 1, 0, 0});
    m.sim.CONDUCCCS.fill(-999.0);
    m.sim.CONDUCCCS(4, 2, 6, 2) = f.valor;
    m.sim.CONDUCCCE(4, 2, 6, 2) = f.valor;
    DESCAMBIOUNIDADESSUB(m);
    EXPECT_NEAR(m.sim.CONDUCCCS(4, 2, 6, 2), f.esperado, 1e-3) << f.valor;
    EXPECT_NEAR(m.sim.CONDUCCCE(4, 2, 6, 2), f.esperado, 1e-3) << f.valor;
    EXPECT_DOUBLE_EQ(m.sim.CONDUCCCS(1, 2, 1, 1), -999.0);
    EXPECT_DOUBLE_EQ(m.sim.CONDUCCCS(6, 1, 12, 2), -999.0);
  }
}

// ---------------------------------------------------------------------------
// Round trip with the oxygen option: what the months would pass through
// unchanged reads, after the back conversion, as it was given.

TEST(CambioUnidadesIdaYVuelta, InputConvertedAndResultsConvertedBackGiveTheInput) {
  Modelo m;
  preparar(m, TODAS);
  const int NC = TODAS.nc();
  std::vector<double> entrada(NC + 1);
  for (int c = 1; c <= NC; ++c) {
    entrada[c] = 1.5 * c + 0.25;
    for (int mes = 1; mes <= 12; ++mes)
      for (int y = 1; y <= NA; ++y) m.cal.COAPO(1, c, mes, y) = entrada[c] + mes + 100.0 * y;
    m.cal.COEMB(2, c) = entrada[c];
  }
  llenar(m.red.VOLFINEMB, 2, 37.5);
  llenar(m.red.QCONDUCC, 6, 2.75);

  CAMBIOUNIDADESSUB(m);
  factores_descambio(m);
  // The months of a conservative network: the inflow's concentrations reach
  // a reach inlet and outlet, the reservoir's initial ones its layers.
  for (int c = 1; c <= NC; ++c)
    for (int mes = 1; mes <= 12; ++mes)
      for (int y = 1; y <= NA; ++y) {
        m.sim.CONDUCCCE(3, c, mes, y) = m.cal.COAPO(1, c, mes, y);
        m.sim.CONDUCCCS(3, c, mes, y) = m.cal.COAPO(1, c, mes, y);
        m.sim.EMB1CF(2, c, mes, y) = m.cal.COEMB(2, c);
        m.sim.EMB2CF(2, c, mes, y) = m.cal.COEMB(2, c);
        m.sim.V1F(2, mes, y) = m.red.VOLFINEMB(2, mes, y);
      }
  // The contract of DESCAMBIOUNIDAD: internal x factor = output units,
  // output / factor = internal.
  for (int c = 1; c <= NC; ++c) {
    EXPECT_NEAR(m.cal.COEMB(2, c) * m.sim.DESCAMBIOUNIDAD(c), entrada[c], 1e-12 * entrada[c]) << c;
    EXPECT_NEAR(entrada[c] / m.sim.DESCAMBIOUNIDAD(c), m.cal.COEMB(2, c), 1e-12 * m.cal.COEMB(2, c)) << c;
  }
  DESCAMBIOUNIDADESSUB(m);

  for (int c = 1; c <= NC; ++c)
    for (int mes = 1; mes <= 12; ++mes)
      for (int y = 1; y <= NA; ++y) {
        const double dato = entrada[c] + mes + 100.0 * y;
        EXPECT_NEAR(m.sim.CONDUCCCE(3, c, mes, y), dato, 1e-12 * dato) << c;
        EXPECT_NEAR(m.sim.CONDUCCCS(3, c, mes, y), dato, 1e-12 * dato) << c;
        EXPECT_NEAR(m.sim.EMB1CF(2, c, mes, y), entrada[c], 1e-12 * entrada[c]) << c;
        EXPECT_NEAR(m.sim.EMB2CF(2, c, mes, y), entrada[c], 1e-12 * entrada[c]) << c;
        EXPECT_NEAR(m.sim.V1F(2, mes, y), 37.5, 1e-12);
      }
  todos_valen(m.red.VOLFINEMB, 37.5, "VOLFINEMB");
  todos_valen(m.red.QCONDUCC, 2.75, "QCONDUCC");
}

// An organic load of 10 mg/l of 5-day BOD is 14.6335 of ultimate BOD inside,
// and a result of 14.6335 reads 10 again.
TEST(CambioUnidadesIdaYVuelta, BodOfTen) {
  Modelo m;
  preparar(m, {0, 0, 1, 0, 0}, 1.0, 10.0);
  CAMBIOUNIDADESSUB(m);
  EXPECT_NEAR(m.cal.COAPO(1, 1, 1, 1), 14.6335, 1e-4);
  EXPECT_DOUBLE_EQ(m.cal.COAPO(1, 2, 1, 1), 10.0);  // dissolved oxygen
  m.sim.CONDUCCCS(1, 1, 1, 1) = 14.6335;
  DESCAMBIOUNIDADESSUB(m);
  EXPECT_NEAR(m.sim.CONDUCCCS(1, 1, 1, 1), 10.0, 1e-4);
}

// ---------------------------------------------------------------------------
// Counts of 0 and arrays that the options or counts leave unallocated.

TEST(CambioUnidadesVacios, NothingAllocatedNothingTouched) {
  Modelo m;
  tornal_test::prepare(m);
  m.cal.FACTORVOLUMEN = FV;
  m.cal.DIVISORUNIDADES = DIAS;
  m.cal.FACTORUNIDADES = FU;
  EXPECT_NO_THROW(CAMBIOUNIDADESSUB(m));
  EXPECT_NO_THROW(factores_descambio(m));
  EXPECT_NO_THROW(DESCAMBIOUNIDADESSUB(m));
  EXPECT_EQ(m.sim.DESCAMBIOUNIDAD.size(), 0);
}

TEST(CambioUnidadesVacios, CountsWithoutTheirArrays) {
  // No aquifer, reservoir, return or diffuse discharge arrays although the
  // counts say so, no inflow quality: the rest is still converted.
  Modelo m;
  preparar(m, {0, 1, 1, 0, 0});
  m.cal.COACU = Array2<double>{"COACU"};
  m.cal.COEMB = Array2<double>{"COEMB"};
  m.cal.COEMB2 = Array2<double>{"COEMB2"};
  m.cal.RETORNODEPU = Array2<double>{"RETORNODEPU"};
  m.cal.SDVERTDIF = Array2<double>{"SDVERTDIF"};
  m.cal.COAPO = Array4<double>{"COAPO"};
  m.sim.EMB1CF = Array4<double>{"EMB1CF"};
  m.sim.V1F = Array3<double>{"V1F"};
  ASSERT_NO_THROW(CAMBIOUNIDADESSUB(m));
  EXPECT_NEAR(m.cal.TOMADEPU(1, 2), B, 1e-5);
  todos_valen(m.red.QAPO, FU, "QAPO");
  ASSERT_NO_THROW(DESCAMBIOUNIDADESSUB(m));
  EXPECT_NEAR(m.sim.EMB2CF(1, 2, 1, 1), b, 1e-5);
}

TEST(CambioUnidadesVacios, NoConstituents) {
  Modelo m;
  preparar(m, {0, 0, 0, 0, 0});
  ASSERT_EQ(m.cal.NUMCONTAMINANTES, 0);
  ASSERT_NO_THROW(CAMBIOUNIDADESSUB(m));
  factores_descambio(m);
  EXPECT_EQ(m.sim.DESCAMBIOUNIDAD.size(), 0);
  ASSERT_NO_THROW(DESCAMBIOUNIDADESSUB(m));
  todos_valen(m.red.VOLFINEMB, 1.0, "VOLFINEMB");  // FV forward, FV back
  todos_valen(m.red.QAPO, FU, "QAPO");
}

}  // namespace
