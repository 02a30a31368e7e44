// The example basin with the water temperature by the surface heat balance
// (temperature model 2) in a Mediterranean climate of the interior, and a
// dry second summer: from June the natural inflow falls to 10 to 150 l/s,
// the reservoir releases little and no turbine water, and the intake takes
// nearly all of it, so that Rio Alto, Rio Bajo and Tramo del Acuifero run
// at 2 to 12 l/s while the reservoir keeps some 49 hm3. The variant's input
// files (input/basin-heat) lie over those of the example, as the run
// "basin-heat" of tests/e2e/layout.txt says; its outputs are compared whole
// with the checked copies in expected/basin-heat.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "e2e/e2e_util.h"
#include "physics/physics.h"
#include "quality_input/time_curves.h"

using namespace tornal_test;

namespace {

std::string L(const char* utf8_text) { return tornal::latin1(utf8_text); }

// The first month in which a reach's passes of the flux did not settle.
std::vector<std::string> aviso_lineal(const char* conduccion, int ANO, int MES) {
  std::vector<std::string> out = {L(" El balance de calor de la conducción no ha convergido"), L(" Conducción:")};
  for (const std::string& l : name_lines(conduccion)) out.push_back(l);
  char fecha[32];
  std::snprintf(fecha, sizeof fecha, "%12d%12d", ANO, MES);
  out.push_back(L(" Año, Mes:") + fecha);
  out.push_back(L(" Se resuelve el balance de calor linealizado"));
  return out;
}

// The count of a reach's months solved by the linearised balance.
std::vector<std::string> cuenta_lineal(const char* conduccion, int meses) {
  std::vector<std::string> out = {L(" Balance de calor linealizado en la conducción:")};
  for (const std::string& l : name_lines(conduccion)) out.push_back(l);
  char n[16];
  std::snprintf(n, sizeof n, "%12d", meses);
  out.push_back(L(" Número de meses:") + n);
  return out;
}

// The water temperatures of graficos.txt by element and month ("Ago-2002").
std::map<std::pair<std::string, std::string>, double> temperaturas(const std::string& graficos) {
  std::map<std::pair<std::string, std::string>, double> out;
  for (const std::string& l : crlf_lines(graficos)) {
    std::vector<std::string> f;
    for (std::size_t p = 0;;) {
      const std::size_t q = l.find(';', p);
      f.push_back(l.substr(p, q - p));
      if (q == std::string::npos) break;
      p = q + 1;
    }
    if (f.size() < 4 || f[0] != "Temperatura") continue;
    double v = std::nan("");
    if (!field_number(tornal::trimmed(f[3]), v)) v = std::nan("");
    out[{f[2], f[1]}] = v;
  }
  return out;
}

// The temperature at which the surface flux of reach I in month column MES
// vanishes: the root of HTOTAL, by bisection.
double equilibrio(const tornal::Calidad& c, int I, int MES) {
  auto H = [&](double T) {
    return tornal::HTOTAL(c, T, c.HSWCOND(I, MES), c.TAIRCOND(I, MES), c.VIENTOCOND(I, MES), c.HRCOND(I, MES),
                          c.NUBCOND(I, MES));
  };
  double a = -50.0, b = 100.0;
  for (int k = 0; k < 100; ++k) (H(0.5 * (a + b)) > 0.0 ? a : b) = 0.5 * (a + b);
  return 0.5 * (a + b);
}

}  // namespace

TEST(HeatBalanceBasin, DrySummerRunsToTheEndAndMatchesTheCheckedCopies) {
  TempDir dir;
  lay_out_run("basin-heat", dir);
  const RunResult r = run_tornal(dir);
  ASSERT_EQ(r.status, 0) << r.console;
  EXPECT_TRUE(r.console.ends_with("Fin de simulación\n")) << r.console;

  // The run log between the readings and the end of the calculation: the
  // first month of each reach whose passes did not settle (the summer of
  // the first year below the reservoir, Rio Alto from the dry June), then
  // the count per reach; no reservoir, overflow or equilibrium line.
  {
    const auto lineas = crlf_lines(dir.read("tornal.log"));
    const auto desde = std::find(lineas.begin(), lineas.end(), " No existe archivo de niveles de riesgo");
    const auto hasta = std::find(lineas.begin(), lineas.end(), " Los calculos se han realizado con exito");
    ASSERT_TRUE(desde < hasta) << r.console;
    std::vector<std::string> esperadas;
    for (const auto& bloque :
         {aviso_lineal("Rio Bajo", 1, 10), aviso_lineal("Rio Medio", 1, 11), aviso_lineal("Rio Alto", 2, 9),
          cuenta_lineal("Rio Alto", 4), cuenta_lineal("Rio Medio", 3), cuenta_lineal("Rio Bajo", 6)})
      esperadas.insert(esperadas.end(), bloque.begin(), bloque.end());
    EXPECT_EQ(std::vector<std::string>(desde + 1, hasta), esperadas);
  }

  // Every reach- and reservoir-month temperature is a water temperature.
  const auto T = temperaturas(dir.read("graficos.txt"));
  EXPECT_EQ(T.size(), 6u * 24u);
  for (const auto& [clave, v] : T)
    EXPECT_TRUE(v >= -50.0 && v <= 100.0) << clave.first << " " << clave.second << ": " << v;
  {
    const auto lineas = crlf_lines(dir.read("conducciones_parcial.csv"));
    ASSERT_GT(lineas.size(), 1u);
    const auto cabecera = line_fields(lineas[0]);
    const auto columna = std::find(cabecera.begin(), cabecera.end(), "Temperatura") - cabecera.begin();
    ASSERT_LT(static_cast<std::size_t>(columna), cabecera.size());
    for (std::size_t i = 1; i < lineas.size(); ++i) {
      const auto f = line_fields(lineas[i]);
      double v = 0.0;
      ASSERT_LT(static_cast<std::size_t>(columna), f.size()) << lineas[i];
      EXPECT_TRUE(field_number(f[columna], v) && v >= -50.0 && v <= 100.0) << lineas[i];
    }
  }

  // At a few l/s a reach has all the time it needs to come to the
  // equilibrium of its month's surface flux: Rio Alto, Rio Bajo and Tramo
  // del Acuifero from July to September of the dry summer (without long
  // curves the run reads the series' columns 10 to 12 in every year).
  {
    tornal::Modelo m;
    read_basin(m, dir);
    tornal::CURVASTEMPSUB(m);
    ASSERT_EQ(m.cal.MODELOTEMPERATURA, 2);
    const std::pair<int, const char*> tramos[] = {{1, "Rio Alto"}, {3, "Rio Bajo"}, {4, "Tramo del Acuifero"}};
    const std::pair<int, const char*> meses[] = {{10, "Jul-2002"}, {11, "Ago-2002"}, {12, "Sep-2002"}};
    for (const auto& [I, tramo] : tramos)
      for (const auto& [MES, fecha] : meses) {
        const auto v = T.find({tramo, fecha});
        ASSERT_NE(v, T.end()) << tramo << " " << fecha;
        EXPECT_NEAR(v->second, equilibrio(m.cal, I, MES), 0.002) << tramo << " " << fecha;
      }
  }

  compare_run_with_expected(dir, "basin-heat");
}
