// The time-varying kinetic constants of reaches and reservoirs.
#include "quality_input/time_constants.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "test_util.h"

namespace {

using namespace tornal;

// A time-varying constant: its code, name, the constants of reaches and of
// reservoirs it writes and its group.
struct Codigo {
  int codigo;
  std::string nombre;
  Array1<double> Calidad::*cond;
  Array1<double> Calidad::*emb;
  GrupoCinetico grupo;
};

// The codes as the table of kinetic constants gives them.
std::vector<Codigo> codigos() {
  const Calidad vacia;
  std::vector<Codigo> v;
  for (const ConstanteCinetica& k : CONSTANTESCINETICAS)
    if (k.codigo > 0) v.push_back({k.codigo, (vacia.*k.COND.valor).name(), k.COND.valor, k.EMB.valor, k.grupo});
  return v;
}
const std::vector<Codigo> CODIGOS = codigos();

// The first code beyond the last one.
constexpr double FUERA = NUMCODIGOSTEMPORALES + 1;

// The value that the quality data file gave constant `codigo` of element e.
double del_archivo(int codigo, int e, bool embalse) { return (embalse ? 1000.0 : 0.0) + 10.0 * codigo + e; }

// NR reaches, NE reservoirs, NA years; the constants of the groups up to
// `ultimo` (oxygen, nitrogen, phytoplankton) sized and holding the values of
// the quality data file.
void preparar(Modelo& m, int NR, int NE, int NA, GrupoCinetico ultimo = GrupoCinetico::FITOPLANCTON) {
  tornal_test::prepare(m);
  m.red.NUMCONDUCCIONES = NR;
  m.red.NUMEMBALSES = NE;
  m.red.NUMANYOS = NA;
  m.sim.NUMMESESTEMP = 12 * NA;
  for (const Codigo& c : CODIGOS) {
    if (c.grupo > ultimo) continue;
    (m.cal.*c.cond).resize(NR);
    (m.cal.*c.emb).resize(NE);
    for (int e = 1; e <= NR; ++e) (m.cal.*c.cond)(e) = del_archivo(c.codigo, e, false);
    for (int e = 1; e <= NE; ++e) (m.cal.*c.emb)(e) = del_archivo(c.codigo, e, true);
  }
}

// One entry of the advanced-options file: element, code, value in month t.
struct Entrada {
  double elemento;
  double codigo;
  double (*valor)(int t);
};

double valor_mes(int t) { return -t; }
double valor_fijo(int) { return 0.25; }

void entradas_cond(Modelo& m, const std::vector<Entrada>& v) {
  const int n = static_cast<int>(v.size());
  m.sim.NUMCTESTEMPCOND = n;
  m.sim.CONDUCKTEMP.resize(n);
  m.sim.NUMKCONDUCTEMP.resize(n);
  m.sim.KTESTEMPCONDUC.resize(n, m.sim.NUMMESESTEMP);
  for (int k = 1; k <= n; ++k) {
    m.sim.CONDUCKTEMP(k) = v[k - 1].elemento;
    m.sim.NUMKCONDUCTEMP(k) = v[k - 1].codigo;
    for (int t = 1; t <= m.sim.NUMMESESTEMP; ++t) m.sim.KTESTEMPCONDUC(k, t) = v[k - 1].valor(t) - 100.0 * k;
  }
}

void entradas_emb(Modelo& m, const std::vector<Entrada>& v) {
  const int n = static_cast<int>(v.size());
  m.sim.NUMCTESTEMPEMB = n;
  m.sim.EMBKTEMP.resize(n);
  m.sim.NUMKEMBTEMP.resize(n);
  m.sim.KTESTEMPEMB.resize(n, m.sim.NUMMESESTEMP);
  for (int k = 1; k <= n; ++k) {
    m.sim.EMBKTEMP(k) = v[k - 1].elemento;
    m.sim.NUMKEMBTEMP(k) = v[k - 1].codigo;
    for (int t = 1; t <= m.sim.NUMMESESTEMP; ++t) m.sim.KTESTEMPEMB(k, t) = v[k - 1].valor(t) - 100.0 * k;
  }
}

// Every constant of every element still holds the value of the file, but
// those listed: (code, element, reservoir?, value).
struct Cambio {
  int codigo;
  int elemento;
  bool embalse;
  double valor;
};

void comprobar(const Modelo& m, const std::vector<Cambio>& cambios) {
  for (const Codigo& c : CODIGOS) {
    for (bool embalse : {false, true}) {
      const Array1<double>& a = m.cal.*(embalse ? c.emb : c.cond);
      for (int e = 1; e <= a.size(); ++e) {
        double esperado = del_archivo(c.codigo, e, embalse);
        for (const Cambio& x : cambios)
          if (x.codigo == c.codigo && x.elemento == e && x.embalse == embalse) esperado = x.valor;
        EXPECT_DOUBLE_EQ(a(e), esperado) << a.name() << "(" << e << ")";
      }
    }
  }
}

// Each code writes its own constant of reaches and of reservoirs and nothing
// else.
TEST(CtesTemporales, EachCodeSelectsItsConstant) {
  for (const Codigo& c : CODIGOS) {
    SCOPED_TRACE(c.nombre);
    Modelo m;
    preparar(m, 3, 2, 1);
    entradas_cond(m, {{2, static_cast<double>(c.codigo), valor_mes}});
    entradas_emb(m, {{1, static_cast<double>(c.codigo), valor_mes}});
    CTESTEMPORALESSUB(m, 4);
    comprobar(m, {{c.codigo, 2, false, -4.0 - 100.0}, {c.codigo, 1, true, -4.0 - 100.0}});
  }
}

// The code and the element are the integer parts of the reals; codes outside
// 1 to NUMCODIGOSTEMPORALES are passed over without a message.
TEST(CtesTemporales, CodesAndElementsAreTruncatedOtherCodesIgnored) {
  const int ultimo = NUMCODIGOSTEMPORALES;
  Modelo m;
  preparar(m, 4, 2, 1);
  entradas_cond(m, {{1, 0.0, valor_mes},
                    {1, FUERA, valor_mes},
                    {1, -3.0, valor_mes},
                    {1, 0.9, valor_mes},
                    {1, -0.5, valor_mes},
                    {1, 2.9, valor_mes},             // entry 6: code 2
                    {3.7, ultimo + 0.9, valor_mes},  // entry 7: the last code, of reach 3
                    {4, FUERA + 0.5, valor_mes}});
  entradas_emb(m, {{2.99, 1.2, valor_mes}, {1, 100.0, valor_mes}});
  CTESTEMPORALESSUB(m, 7);
  comprobar(m, {{2, 1, false, -7.0 - 600.0}, {ultimo, 3, false, -7.0 - 700.0}, {1, 2, true, -7.0 - 100.0}});
  EXPECT_TRUE(m.log.lines().empty());
}

// The month of the run selects the column: month 13 is the first October of
// the second year; a constant value still overwrites from the first month,
// and a written constant keeps its value until the next call.
TEST(CtesTemporales, MonthOfTheRunSelectsTheColumn) {
  Modelo m;
  preparar(m, 2, 1, 2);
  entradas_cond(m, {{1, 1, valor_mes}, {2, 3, valor_fijo}});
  entradas_emb(m, {{1, 14, valor_mes}});
  CTESTEMPORALESSUB(m, 1);
  comprobar(m, {{1, 1, false, -1.0 - 100.0}, {3, 2, false, 0.25 - 200.0}, {14, 1, true, -1.0 - 100.0}});
  CTESTEMPORALESSUB(m, 13);
  comprobar(m, {{1, 1, false, -13.0 - 100.0}, {3, 2, false, 0.25 - 200.0}, {14, 1, true, -13.0 - 100.0}});
  CTESTEMPORALESSUB(m, 24);
  EXPECT_DOUBLE_EQ(m.cal.KACOND(1), -24.0 - 100.0);
  EXPECT_DOUBLE_EQ(m.cal.KEEMB(1), -24.0 - 100.0);
}

// Two entries for the same constant of the same element: the later holds.
TEST(CtesTemporales, LaterDuplicateEntryWins) {
  Modelo m;
  preparar(m, 2, 2, 1);
  entradas_cond(m, {{2, 6, valor_mes}, {1, 6, valor_mes}, {2.5, 6.2, valor_mes}});
  entradas_emb(m, {{2, 9, valor_mes}, {2, 9, valor_fijo}});
  CTESTEMPORALESSUB(m, 3);
  comprobar(m, {{6, 2, false, -3.0 - 300.0}, {6, 1, false, -3.0 - 200.0}, {9, 2, true, 0.25 - 200.0}});
}

// Without reach entries only reservoirs change, and the other way round.
TEST(CtesTemporales, OnlyTheKindWithEntriesChanges) {
  {
    Modelo m;
    preparar(m, 2, 2, 1);
    entradas_cond(m, {});
    entradas_emb(m, {{1, 2, valor_mes}});
    CTESTEMPORALESSUB(m, 5);
    comprobar(m, {{2, 1, true, -5.0 - 100.0}});
  }
  {
    Modelo m;
    preparar(m, 2, 2, 1);
    entradas_cond(m, {{2, 2, valor_mes}});
    entradas_emb(m, {});
    CTESTEMPORALESSUB(m, 5);
    comprobar(m, {{2, 2, false, -5.0 - 100.0}});
  }
}

// An entry whose element is not in the network, or whose constant the
// options did not create, is passed over without touching anything, and the
// other entries still apply.
TEST(CtesTemporales, EntriesOutsideTheDataSetAreSkippedSafely) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  Modelo m;
  preparar(m, 2, 1, 1, GrupoCinetico::OXIGENO);  // no nitrogen nor phytoplankton constants
  entradas_cond(m, {{0, 1, valor_mes},
                    {0.5, 1, valor_mes},
                    {3, 1, valor_mes},
                    {-1, 2, valor_mes},
                    {1e30, 2, valor_mes},
                    {nan, 2, valor_mes},
                    {1, nan, valor_mes},
                    {1, 4, valor_mes},    // nitrogen constant not created
                    {1, 15, valor_mes},   // phytoplankton constant not created
                    {2, 3, valor_mes}});  // entry 10 applies
  entradas_emb(m, {{2, 1, valor_mes}, {1, 8, valor_mes}, {1, 2, valor_mes}});
  EXPECT_EQ(tornal_test::stop_message([&] { CTESTEMPORALESSUB(m, 2); }), "");
  comprobar(m, {{3, 2, false, -2.0 - 1000.0}, {2, 1, true, -2.0 - 300.0}});
  EXPECT_TRUE(m.cal.KNOACOND.empty());
  EXPECT_TRUE(m.cal.ALFAFITOEMB.empty());
  EXPECT_TRUE(m.log.lines().empty());
}

}  // namespace
