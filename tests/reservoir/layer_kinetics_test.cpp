// The kinetic blocks of the reservoir are one per layer: a two-layer
// sub-step whose layers trade every datum of their own (start
// concentrations, geometry, rates) trades every term it adds and books,
// bit for bit, but for what only the hypolimnion has (what settles into it
// from the epilimnion). A term of one layer that reads the other's array,
// or that differs from its twin in sign or factor, breaks the trade.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "embalse_prueba.h"
#include "quality_input/kinetic_constants.h"
#include "reservoir/reservoir_steps.h"

namespace {

using namespace tornal_test;
using tornal::Array1;
using tornal::Array2;
using tornal::TrabajoEmbalse;

// The arrays of layer 1 and of layer 2 under the system's names: the start
// concentrations, the geometry and every rate of the layers (TASASCAPAS, the
// list that sizes them).
std::vector<std::pair<Array1<double>*, Array1<double>*>> datos(TrabajoEmbalse& w) {
  std::vector<std::pair<Array1<double>*, Array1<double>*>> v = {
      {&w.CO1, &w.CO2}, {&w.ZEPILI, &w.ZHYPI}, {&w.AEPILI, &w.AHYPI}, {&w.V1I, &w.V2I}};
  for (const tornal::TasaCapas& t : tornal::TASASCAPAS) v.emplace_back(&(w.*t.capa1), &(w.*t.capa2));
  return v;
}

// The rates of the layers that the month's rates write from the constants
// (all but the reaeration, which only the surface has, and the growth,
// which the light and nutrients limit in each sub-step).
std::vector<std::pair<Array1<double>*, Array1<double>*>> tasas_del_mes(TrabajoEmbalse& w) {
  std::vector<std::pair<Array1<double>*, Array1<double>*>> v;
  for (const tornal::TasaCapas& t : tornal::TASASCAPAS)
    if (t.capa1 != &TrabajoEmbalse::KAAUX1 && t.capa1 != &TrabajoEmbalse::KGROWAUX1)
      v.emplace_back(&(w.*t.capa1), &(w.*t.capa2));
  return v;
}

// Every kinetic constant of the reservoir its own value above 0.
void constantes(tornal::Calidad& c) {
  int n = 0;
  for (const tornal::ConstanteCinetica& k : tornal::CONSTANTESCINETICAS)
    if (k.EMB.existe()) (c.*k.EMB.valor)(1) = 0.05 + 0.01 * ++n;
}

// The coefficients of the layers and every booked process array, layer 1
// with layer 2 (BALANCEPROCESOS lists each layer 1 array before its twin).
std::vector<std::pair<const Array2<double>*, const Array2<double>*>> terminos(const TrabajoEmbalse& w) {
  std::vector<std::pair<const Array2<double>*, const Array2<double>*>> v = {{&w.AC1I, &w.AC2I}, {&w.DC1I, &w.DC2I}};
  const auto& P = tornal::BALANCEPROCESOS;
  EXPECT_EQ(std::size(P) % 2, 0u);
  for (std::size_t i = 0; i + 1 < std::size(P); i += 2) {
    EXPECT_EQ(P[i].volumen, &TrabajoEmbalse::V1I);
    EXPECT_EQ(P[i + 1].volumen, &TrabajoEmbalse::V2I);
    v.emplace_back(&(w.*P[i].masa), &(w.*P[i + 1].masa));
  }
  return v;
}

// The work of the first sub-step, of a quarter day, of a two-layer month of
// reservoir 1, sized for the constituents of `m`.
void dos_capas(const tornal::Modelo& m, TrabajoEmbalse& w) {
  w.dimensionar(1, m.cal.NUMCONTAMINANTES, m.cal.NUMCONT1OR);
  w.K = 1;
  w.NSUB = 1;
  w.dt = 0.25;
  w.UNACAPA = 0;
}

// The first sub-step of a two-layer month, every datum of layer 1 from
// `uno` and of layer 2 from `dos` (swapped when `trocar`).
void subpaso(tornal::Modelo& m, TrabajoEmbalse& w, bool trocar) {
  dos_capas(m, w);
  w.E12I(1) = 0.3;
  int n = 0;
  for (auto [uno, dos] : datos(w))
    for (int i = 1; i <= uno->size(1); ++i) {
      ++n;
      (*uno)(i) = 0.5 + 0.37 * n;  // every datum its own value
      (*dos)(i) = 1.1 + 0.23 * n;
      if (trocar) std::swap((*uno)(i), (*dos)(i));
    }
  tornal::materia_organica_oxigeno(m, w, 1);
  tornal::ciclo_nitrogeno(m, w, 1);
  tornal::fitoplancton_fosforo(m, w, 1);
}

TEST(ReservoirLayerKinetics, LayersThatTradeTheirDataTradeTheirTerms) {
  for (double FITOENELHIPO : {1.0, 0.0}) {
    OpcionesEmbalse o;
    o.oxigeno = o.nitrogeno = o.fitoplancton = 1;
    tornal::Modelo m = embalse_prueba(o);
    auto& c = m.cal;
    for (int i = 1; i <= 6; ++i) c.STECHIO(i) = 0.1 * i + 0.05;
    c.FACTORPREFERENCIA(1) = 0.6;
    c.FACTORPREFERENCIA(2) = 0.3;
    constantes(c);
    c.FITOENELHIPO = FITOENELHIPO;
    TrabajoEmbalse a, b;
    subpaso(m, a, false);
    subpaso(m, b, true);
    const auto ta = terminos(a), tb = terminos(b);
    for (std::size_t t = 0; t < ta.size(); ++t) {
      const Array2<double>& uno = *ta[t].first;
      const Array2<double>& dos = *ta[t].second;
      // The hypolimnion's last term of a settling constituent is what
      // settles into it: its own.
      const int n = std::min(uno.size(2), dos.size(2));
      for (int k = 1; k <= n; ++k) {
        SCOPED_TRACE(uno.name() + " / " + dos.name() + " " + std::to_string(k) + ", FITOENELHIPO " +
                     std::to_string(FITOENELHIPO));
        EXPECT_EQ(uno(1, k), (*tb[t].second)(1, k));
        EXPECT_EQ(dos(1, k), (*tb[t].first)(1, k));
      }
    }
    // Every term is there to compare: the own coefficient of each constituent
    // of the kinetics, and each booked term of a layer.
    for (int k = c.POS.DBO; k <= c.POS.PO4; ++k) EXPECT_NE(a.AC1I(1, k), 0.0) << "AC1I " << k;
    for (const auto& [uno, dos] : ta) {
      if (uno == &a.AC1I || uno == &a.DC1I) continue;
      for (int k = 1; k <= std::min(uno->size(2), dos->size(2)); ++k) {
        EXPECT_NE((*uno)(1, k), 0.0) << uno->name() << " " << k;
      }
    }
  }
}

// The month's rates and oxygen limitations of a layer are those of its
// temperature (modelled, or the month's given one) and of its oxygen: layers
// that trade them trade every rate, but for the reaeration, which only the
// surface has.
TEST(ReservoirLayerKinetics, LayersThatTradeTemperatureAndOxygenTradeTheirRates) {
  for (int modelada : {1, 0}) {
    SCOPED_TRACE("OPCIONTEMPERATURA " + std::to_string(modelada));
    OpcionesEmbalse o;
    o.temperatura = 1;
    o.oxigeno = o.nitrogeno = o.fitoplancton = 1;
    tornal::Modelo m = embalse_prueba(o);
    auto& c = m.cal;
    c.OPCIONTEMPERATURA = modelada;
    m.sim.MESACTUAL = 1;
    c.FITOENELHIPO = 1.0;
    for (int n = 1; n <= 8; ++n) c.TECTAOD(n) = 1.01 + 0.01 * n;
    constantes(c);
    c.KAEMB(1) = 0.3;
    c.CTELIMITACIONNUTRIENTES(1) = 0.5;
    c.CTELIMITACIONNUTRIENTES(2) = 0.6;
    c.CTELIMITACIONNUTRIENTES(5) = 0.4;
    auto mes = [&](TrabajoEmbalse& w, bool trocar) {
      dos_capas(m, w);
      double T1 = 24.0, T2 = 9.0, O1 = 8.5, O2 = 3.0;
      if (trocar) std::swap(T1, T2), std::swap(O1, O2);
      w.C1I(1, 1) = c.TEPIL(1, 1) = T1;
      w.C2I(1, 1) = c.THIPOL(1, 1) = T2;
      w.CO1(c.POS.OD) = O1;
      w.CO2(c.POS.OD) = O2;
      tornal::tasas_cineticas(m, w);
      tornal::limitaciones_oxigeno(m, w, 1);
    };
    TrabajoEmbalse a, b;
    mes(a, false);
    mes(b, true);
    const auto ta = tasas_del_mes(a), tb = tasas_del_mes(b);
    for (std::size_t t = 0; t < ta.size(); ++t) {
      SCOPED_TRACE(ta[t].first->name());
      EXPECT_NE((*ta[t].first)(1), 0.0);
      EXPECT_EQ((*ta[t].first)(1), (*tb[t].second)(1));
      EXPECT_EQ((*ta[t].second)(1), (*tb[t].first)(1));
    }
    EXPECT_EQ(a.LIMITECRECIMIENTO(1, 1), b.LIMITECRECIMIENTO(5, 1));
    EXPECT_EQ(a.LIMITECRECIMIENTO(5, 1), b.LIMITECRECIMIENTO(1, 1));
    // Reaeration at the surface only, at the surface's temperature.
    EXPECT_EQ(a.KAAUX2(1), 0.0);
    EXPECT_EQ(b.KAAUX2(1), 0.0);
    EXPECT_DOUBLE_EQ(a.KAAUX1(1), std::pow(1.02, 4.0) * (0.3 * 0.25));
    EXPECT_DOUBLE_EQ(b.KAAUX1(1), std::pow(1.02, -11.0) * (0.3 * 0.25));
  }
}

}  // namespace
