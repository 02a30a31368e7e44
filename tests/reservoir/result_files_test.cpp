// The layouts of the partial result file of reservoirs and of
// "balances.csv": header items and their padding, row fields, the row
// interval, the date labels, the zeros of a one-layer month; a failed write
// stops the run.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/fixed_format.h"
#include "e2e/e2e_util.h"
#include "embalse_prueba.h"

namespace {

using namespace tornal_test;

long puntos_y_comas(const std::string& l) { return std::count(l.begin(), l.end(), ';'); }

TEST(ReservoirFiles, LayoutsOfThePartialResultsAndBalances) {
  struct Caso {
    const char* nombre;
    int temperatura;  // NC = 1 + temperatura
    double ZT;
    int N, balances;
  };
  const Caso casos[] = {{"one pollutant, one layer, every sub-step", 0, 0.0, 1, 1},
                        {"temperature and a pollutant, two layers, every third", 1, 20.0, 3, 1},
                        {"a row interval above the sub-steps", 0, 0.0, 40, 0}};
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nombre);
    OpcionesEmbalse o;
    o.temperatura = c.temperatura;
    tornal::Modelo m = embalse_prueba(o);
    const int NC = m.cal.NUMCONTAMINANTES;
    m.red.VOLINIEMB(1) = 2e7;
    cada_mes(m.red.VOLFINEMB, 2e7);
    cada_mes(m.red.SUELTASEMB, 1e5);
    serie(m.cal.ZTEMB, c.ZT);
    TempDir dir;
    tornal::TrabajoEmbalse w;
    con_archivos(m, dir, c.N, c.balances, [&] { correr_embalse(m, w); });

    bool crlf = false;
    const auto p = crlf_lines(dir.read("emb.csv"), &crlf);
    EXPECT_TRUE(crlf);
    ASSERT_EQ(p.size(), 1u + 12 * (30 / c.N));
    EXPECT_EQ(p[0].find("DispersFinal(m3/d);Epi_Ci_"), 251u - 19u);
    EXPECT_NE(p[0].find(";Altura Epi(m); Altura Hipo(m);"), std::string::npos);
    EXPECT_EQ(p[0].substr(p[0].size() - 23), "LimFosfHip;LimNitrHip;;");
    EXPECT_EQ(puntos_y_comas(p[0]), 13 + 4 * NC + 9);
    EXPECT_NE(p[0].find(";Centr_HipP1;"), std::string::npos);
    for (std::size_t i = 1; i < p.size(); ++i) {
      EXPECT_EQ(puntos_y_comas(p[i]), 3 + 10 + 4 * NC + 8);
      EXPECT_EQ(campo(p[i], 2),
                c.N == 1 ? tornal::edit_I(int((i - 1) % 30 + 1), 4) : tornal::edit_I(int((i - 1) % 10 + 1) * 3, 4));
      EXPECT_EQ(campo(p[i], 4), c.ZT == 0.0 ? "          0.000" : "         18.000");  // hypolimnion
    }
    if (p.size() > 1) {
      EXPECT_EQ(campo(p[1], 0), "Embalse de prueba");
      EXPECT_EQ(campo(p[1 + 2 * (30 / c.N)], 1), "Dic-2000");
      EXPECT_EQ(campo(p[1 + 3 * (30 / c.N)], 1), "Ene-2001");
    }

    const auto b = crlf_lines(dir.read("balances.csv"));
    if (c.balances == 0) {
      EXPECT_TRUE(b.empty());
      continue;
    }
    ASSERT_EQ(b.size(), 1u + 12 * 30);
    EXPECT_EQ(
        b[0].rfind("Nombre Embalse;Fecha;UnidTemporal;Volumen Epilimnion(hm3);Volumen Hipolimnion(hm3);Epi_Ci_", 0),
        0u);
    // One field a booked term: the transport terms of every constituent, then
    // the process terms, each under its heading.
    int transporte = 0, procesos = 0;
    for (const tornal::TransporteBalance& t : tornal::BALANCETRANSPORTE) transporte += t.terminos();
    for (const tornal::ProcesoBalance& t : tornal::BALANCEPROCESOS) procesos += t.terminos();
    EXPECT_EQ(puntos_y_comas(b[0]), 5 + (2 + transporte) * NC + procesos);
    for (std::size_t i = 1; i < b.size(); ++i)
      EXPECT_EQ(puntos_y_comas(b[i]), 3 + 2 + (2 + transporte) * NC + procesos);
    for (const tornal::TransporteBalance& t : tornal::BALANCETRANSPORTE)
      for (int k = 1; k <= t.terminos(); ++k)
        EXPECT_EQ(campo(b[0], columna_transporte(NC, t.masa, k, NC)),
                  std::string(t.encabezado(k)) + tornal::trimmed(m.cal.NOMCONT(NC)));
    for (const tornal::ProcesoBalance& p : tornal::BALANCEPROCESOS)
      for (int k = 1; k <= p.terminos(); ++k)
        EXPECT_EQ(tornal::trimmed(campo(b[0], columna_proceso(NC, p.masa, k))), p.encabezado(k));
    // The process headings in their blocks, each padded with blanks to 500
    // characters before its ";", the last one ending the line.
    std::size_t desde = 0;
    for (int k = 0; k < columna_proceso(NC, tornal::BALANCEPROCESOS[0].masa, 1); ++k) desde = b[0].find(';', desde) + 1;
    for (int bloque = 1; bloque <= tornal::NUMBLOQUESPROCESOS; ++bloque) {
      SCOPED_TRACE(bloque);
      const std::string texto = b[0].substr(desde, 500);
      const std::size_t largo = texto.find_last_not_of(' ') + 1;
      EXPECT_EQ(largo, tornal::largo_bloque_procesos(bloque));
      EXPECT_EQ(texto.substr(largo), std::string(500 - largo, ' '));
      EXPECT_EQ(b[0].substr(desde + 500, 1), ";");
      desde += 501;
    }
    EXPECT_EQ(desde, b[0].size());
  }
}

// The first field filled with asterisks of each of the two files is
// listed once, with its record, its column and heading, and the reservoir:
// a volume too wide for F15.3, from the first row on.
TEST(ReservoirFiles, FirstFieldWithAsterisksOfEachFile) {
  tornal::Modelo m = embalse_prueba(OpcionesEmbalse{});
  m.red.VOLINIEMB(1) = 1e20;
  cada_mes(m.red.VOLFINEMB, 1e20);
  cada_mes(m.red.SUELTASEMB, 1e5);
  m.conf.NOMARCHEMBPAR1 = tornal::padded("emb.csv", tornal::LONGRUTA);
  TempDir dir;
  tornal::TrabajoEmbalse w;
  con_archivos(m, dir, 1, 1, [&] { correr_embalse(m, w); });
  ASSERT_EQ(m.sim.campos_asteriscos.size(), 2u);
  const char* archivos[2] = {"emb.csv", "balances.csv"};
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(archivos[i]);
    const tornal::CampoAsteriscos& a = m.sim.campos_asteriscos[static_cast<std::size_t>(i)];
    EXPECT_EQ(a.archivo, archivos[i]);
    EXPECT_EQ(a.registro, 2);
    EXPECT_EQ(a.columna, 4);
    EXPECT_EQ(a.encabezado, "Volumen Epilimnion(hm3)");
    EXPECT_EQ(a.elemento, "Embalse de prueba");
    EXPECT_EQ(campo(crlf_lines(dir.read(archivos[i]))[1], 3), std::string(15, '*'));
  }
}

// A row that cannot be written is reported and stops the run.
TEST(ReservoirFiles, AFailedWriteStops) {
  tornal::Modelo m = embalse_prueba();
  m.red.VOLINIEMB(1) = 2e7;
  cada_mes(m.red.VOLFINEMB, 2e7);
  m.cal.INRESPAREMB(1) = 1;
  tornal::TrabajoEmbalse w;
  EXPECT_EQ(stop_message([&] { correr_embalse(m, w); }), "error");
  EXPECT_EQ(log_lines(m).back(), "Error en el acceso al archivo de resultados parciales de embalses");
}

}  // namespace
