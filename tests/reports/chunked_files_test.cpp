// The result files of a basin large enough that the writers cut them in many
// chunks (chunks that end inside a block of a month or of a year, blocks of
// one type of reach cut in several chunks, names long enough to shorten the
// chunks): every record against the record-by-record definition of the
// file, with report flags of every kind, negative values, overflows and a
// value that is no number.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "common/fixed_format.h"
#include "common/latin1.h"
#include "reports/reports.h"
#include "test_util.h"

namespace {

using tornal::edit_F;
using tornal::edit_I;
using tornal::padded;
using tornal::trimmed;

const int TIPOS[5] = {320, 45, 30, 12, 20};
const int NE = 25, NY = 3, NC = 3;

double valor(int a, int b, int c, int d) {
  const int h = (a * 37 + b * 11 + c * 5 + d * 3) % 211;
  if (h == 7) return 1.0E12;                                    // asterisks
  if (h == 8) return std::numeric_limits<double>::quiet_NaN();  // asterisks
  if (h == 9) return -0.0;
  return (h - 60) * 1.0137 + a * 1.0E-4;
}

struct Cuenca {
  tornal_test::TempDir dir;
  tornal::Modelo m;

  Cuenca() {
    tornal_test::prepare(m, dir.path());
    tornal::Red& r = m.red;
    tornal::Calidad& c = m.cal;
    r.NUMANYOS = NY;
    r.ANYOINICIAL = 1990;
    int* const cuentas[5] = {&r.NUMCONDUCCIONEST1, &r.NUMCONDUCCIONEST2, &r.NUMCONDUCCIONEST3, &r.NUMCONDUCCIONEST4,
                             &r.NUMCONDUCCIONEST5};
    tornal::Array1<std::string>* nombres[5] = {&r.NOMCONDT1, &r.NOMCONDT2, &r.NOMCONDT3, &r.NOMCONDT4, &r.NOMCONDT5};
    int nc = 0;
    for (int t = 0; t < 5; ++t) {
      *cuentas[t] = TIPOS[t];
      nombres[t]->resize(TIPOS[t]);
      for (int j = 1; j <= TIPOS[t]; ++j)
        (*nombres[t])(j) =
            padded(j == 17 ? std::string(250, 'L') : "T" + std::to_string(t + 1) + " n" + std::to_string(j),
                   tornal::LONGNOMBRE);
      nc += TIPOS[t];
    }
    r.NUMCONDUCCIONES = nc;
    r.NUMEMBALSES = NE;
    r.NOMEMB.resize(NE);
    for (int e = 1; e <= NE; ++e) r.NOMEMB(e) = padded("Embalse " + std::to_string(e), tornal::LONGNOMBRE);
    c.OPCIONTEMPERATURA = 1;
    c.NUMCONT1OR = 2;
    c.NOMCONT1OR.resize(2);
    c.NOMCONT1OR(1) = padded("Cloruros", 30);
    c.NOMCONT1OR(2) = padded("Boro", 30);
    c.NUMCONTAMINANTES = NC;
    c.NOMCONT.resize(NC);
    c.NOMCONT(1) = padded("Temperatura", 30);
    c.NOMCONT(2) = padded("Cloruros", 30);
    c.NOMCONT(3) = padded("Boro", 30);
    c.INRESCOND.resize(nc);
    for (int g = 1; g <= nc; ++g) c.INRESCOND(g) = g % 9 == 4 ? 0 : g % 13 == 5 ? 2 : g % 17 == 6 ? -1 : 1;
    c.INRESEMB.resize(NE);
    for (int e = 1; e <= NE; ++e) c.INRESEMB(e) = e % 4 == 2 ? 0 : 1;
    tornal::Simulacion& s = m.sim;
    s.CONDUCCCS.resize(nc, NC, 12, NY);
    s.EMB1CF.resize(NE, NC, 12, NY);
    s.EMB2CF.resize(NE, NC, 12, NY);
    r.QCONDUCC.resize(nc, 12, NY);
    r.PERDT2.resize(TIPOS[1], 12, NY);
    r.PERDT3.resize(TIPOS[2], 12, NY);
    r.VOLFINEMB.resize(NE, 12, NY);
    for (int y = 1; y <= NY; ++y)
      for (int mes = 1; mes <= 12; ++mes) {
        for (int k = 1; k <= NC; ++k) {
          for (int g = 1; g <= nc; ++g) s.CONDUCCCS(g, k, mes, y) = valor(g, k, mes, y);
          for (int e = 1; e <= NE; ++e) {
            s.EMB1CF(e, k, mes, y) = valor(e, k + 5, mes, y);
            s.EMB2CF(e, k, mes, y) = valor(e, k + 9, mes, y);
          }
        }
        for (int g = 1; g <= nc; ++g) r.QCONDUCC(g, mes, y) = valor(g, 20, mes, y) * 1000.0;
        for (int j = 1; j <= TIPOS[1]; ++j) r.PERDT2(j, mes, y) = valor(j, 21, mes, y);
        for (int j = 1; j <= TIPOS[2]; ++j) r.PERDT3(j, mes, y) = valor(j, 22, mes, y);
        for (int e = 1; e <= NE; ++e) r.VOLFINEMB(e, mes, y) = valor(e, 23, mes, y) * 1.0E4;
      }
  }

  std::string nombre(int g) const {
    const tornal::Array1<std::string>* nombres[5] = {&m.red.NOMCONDT1, &m.red.NOMCONDT2, &m.red.NOMCONDT3,
                                                     &m.red.NOMCONDT4, &m.red.NOMCONDT5};
    for (int t = 0; t < 5; g -= TIPOS[t++])
      if (g <= TIPOS[t]) return trimmed((*nombres[t])(g));
    return std::string();
  }
};

TEST(ChunkedFiles, GraphicsTableRecordByRecord) {
  Cuenca t;
  const tornal::Modelo& m = t.m;
  tornal::ESCRIBIRTABLACALSUB(t.m, padded(t.dir.file("graficos.txt"), tornal::LONGRUTA));
  std::string esperado = "Nombre contaminante;Fecha;Nombre Elemento;Valor;Tipo\r\n";
  auto registro = [&](const std::string& serie, const std::string& fecha, const std::string& elemento, double v,
                      const char* tipo) {
    esperado += serie + ";" + fecha + ";" + elemento + ";" + edit_F(v, 15, 3) + ";" + tipo + "\r\n";
  };
  const int nc = m.red.NUMCONDUCCIONES;
  for (int y = 1; y <= NY; ++y)
    for (int mes = 1; mes <= 12; ++mes)
      for (int k = 1; k <= NC; ++k) {
        const std::string fecha = tornal::etiqueta_fecha(1990, y, mes), cont = trimmed(m.cal.NOMCONT(k));
        for (int g = 1; g <= nc; ++g)
          if (m.cal.INRESCOND(g) == 1) registro(cont, fecha, t.nombre(g), m.sim.CONDUCCCS(g, k, mes, y), "Simulado");
        for (int e = 1; e <= NE; ++e)
          if (m.cal.INRESEMB(e) == 1) {
            registro(cont, fecha, trimmed(m.red.NOMEMB(e)), m.sim.EMB1CF(e, k, mes, y), "Simulado");
            registro(cont, fecha, "Hip" + trimmed(m.red.NOMEMB(e)), m.sim.EMB2CF(e, k, mes, y), "Simulado hipolimnion");
          }
      }
  for (int y = 1; y <= NY; ++y)
    for (int mes = 1; mes <= 12; ++mes) {
      const std::string fecha = tornal::etiqueta_fecha(1990, y, mes);
      for (int g = 1; g <= nc; ++g) {
        if (m.cal.INRESCOND(g) != 1) continue;
        registro("Caudal", fecha, t.nombre(g), m.red.QCONDUCC(g, mes, y), "Simulado");
        const int j2 = g - TIPOS[0], j3 = j2 - TIPOS[1];
        if (j2 >= 1 && j2 <= TIPOS[1]) registro("Perdidas", fecha, t.nombre(g), m.red.PERDT2(j2, mes, y), "Simulado");
        if (j3 >= 1 && j3 <= TIPOS[2]) registro("Perdidas", fecha, t.nombre(g), m.red.PERDT3(j3, mes, y), "Simulado");
      }
      for (int e = 1; e <= NE; ++e)
        if (m.cal.INRESEMB(e) == 1)
          registro("Volumen Fin", fecha, trimmed(m.red.NOMEMB(e)), m.red.VOLFINEMB(e, mes, y), "Simulado");
    }
  const std::string escrito = t.dir.read("graficos.txt");
  ASSERT_EQ(escrito.size(), esperado.size());
  EXPECT_TRUE(escrito == esperado);
}

TEST(ChunkedFiles, TaggedFileRecordByRecord) {
  Cuenca t;
  const tornal::Modelo& m = t.m;
  tornal::ESCRIBIRARCHXMLSUB(t.m, padded(t.dir.file("conc.xml"), tornal::LONGRUTA));
  const int codigos[NC] = {1, 10, 11};
  std::string esperado;
  auto lineas = [&](const tornal::Array4<double>& a, int desde, int hasta, int y) {
    for (int i = desde; i <= hasta; ++i)
      for (int k = 1; k <= NC; ++k) {
        esperado += edit_I(codigos[k - 1], 3);
        for (int mes = 1; mes <= 12; ++mes) esperado += edit_F(a(i, k, mes, y), 15, 3);
        esperado += "\r\n";
      }
  };
  for (int y = 1; y <= NY; ++y) {
    esperado += " <IANYC>\r\n" + edit_I(1989 + y, 4) + "-" + edit_I(1990 + y, 4) + "\r\n";
    esperado += " <CONTEMBALSES>\r\n";
    lineas(m.sim.EMB1CF, 1, NE, y);
    esperado += " </CONTEMBALSES>\r\n";
    for (int t = 0, primera = 1; t < 5; primera += TIPOS[t++]) {
      esperado += " <CONTCOND" + std::to_string(t + 1) + ">\r\n";
      lineas(m.sim.CONDUCCCS, primera, primera + TIPOS[t] - 1, y);
      esperado += " </CONTCOND" + std::to_string(t + 1) + ">\r\n";
    }
    esperado += " </IANYC>\r\n";
  }
  esperado += " </TORNAL>\r\n";
  const std::string escrito = t.dir.read("conc.xml");
  const std::size_t inicio = escrito.find(" </DATGENC>\r\n");
  ASSERT_NE(inicio, std::string::npos);
  const std::string cuerpo = escrito.substr(inicio + 13);
  ASSERT_EQ(cuerpo.size(), esperado.size());
  EXPECT_TRUE(cuerpo == esperado);
}

}  // namespace

namespace {

// An index out of range met while a chunk is formatted (the report flags
// of the last two reaches missing): the file keeps the records before it,
// in their order, and the run stops with the index's message.
TEST(ChunkedFiles, IndexOutOfRangeKeepsTheRecordsBeforeIt) {
  Cuenca t;
  const std::string ruta = padded(t.dir.file("graficos.txt"), tornal::LONGRUTA);
  tornal::ESCRIBIRTABLACALSUB(t.m, ruta);
  const std::string completo = t.dir.read("graficos.txt");
  const int nc = t.m.red.NUMCONDUCCIONES;
  tornal::Array1<int>& flags = t.m.cal.INRESCOND;
  std::vector<int> guardados;
  for (int g = 1; g <= nc - 2; ++g) guardados.push_back(flags(g));
  flags.resize(nc - 2);
  int antes = 0;
  for (int g = 1; g <= nc - 2; ++g) {
    flags(g) = guardados[static_cast<std::size_t>(g - 1)];
    antes += flags(g) == 1 ? 1 : 0;
  }
  const std::string mensaje = tornal_test::stop_message([&] { tornal::ESCRIBIRTABLACALSUB(t.m, ruta); });
  EXPECT_NE(mensaje.find("INRESCOND(" + std::to_string(nc - 1) + ")"), std::string::npos) << mensaje;
  // The header and the records of the flagged reaches before the missing
  // flag, in the first month of the first constituent.
  std::size_t fin = 0;
  for (int l = 0; l < 1 + antes; ++l) fin = completo.find("\r\n", fin) + 2;
  EXPECT_TRUE(t.dir.read("graficos.txt") == completo.substr(0, fin));
}

}  // namespace

namespace {

// The first field filled with asterisks of each of the three files, named
// where it stands in the file as written: the basin's values all finite and
// narrow but for two planted late in the run, and a reach whose name holds
// asterisks that no edit wrote. In the graphics table and "TablaCal.txt" the
// hypolimnion of reservoir 20 in November of year 2 comes first; the tagged
// file has no hypolimnia, so reach 200 in April of year 3 does.
TEST(ChunkedFiles, FirstFieldWithAsterisksOfEveryFile) {
  Cuenca t;
  tornal::Modelo& m = t.m;
  for (tornal::Array4<double>* a : {&m.sim.CONDUCCCS, &m.sim.EMB1CF, &m.sim.EMB2CF})
    for (long i = 1; i <= a->size(1); ++i)
      for (int k = 1; k <= NC; ++k)
        for (int mes = 1; mes <= 12; ++mes)
          for (int y = 1; y <= NY; ++y)
            if (!(std::fabs((*a)(i, k, mes, y)) < 1.0E3)) (*a)(i, k, mes, y) = 1.5;
  for (tornal::Array3<double>* a : {&m.red.QCONDUCC, &m.red.PERDT2, &m.red.PERDT3, &m.red.VOLFINEMB})
    for (long i = 1; i <= a->size(1); ++i)
      for (int mes = 1; mes <= 12; ++mes)
        for (int y = 1; y <= NY; ++y)
          if (!(std::fabs((*a)(i, mes, y)) < 1.0E6)) (*a)(i, mes, y) = 1.5;
  m.red.NOMCONDT1(3) = padded("T1 *** n3", tornal::LONGNOMBRE);
  m.sim.CONDUCCCS(200, 2, 7, 3) = 1.0E13;
  m.sim.EMB2CF(20, 3, 11, 2) = -1.0E13;
  tornal::ESCRIBIRARCHXMLSUB(m, padded(t.dir.file("conc.xml"), tornal::LONGRUTA));
  tornal::ESCRIBIRTABLACALSUB(m, padded(t.dir.file("graficos.txt"), tornal::LONGRUTA));

  struct Fila {
    std::string archivo, leido;
    std::size_t ancho;
    char separador;  // 0: fields of the format I3, 12F15.3
    long columna;
    std::string elemento;
  };
  const Fila filas[] = {
      {t.dir.file("conc.xml"), "conc.xml", 15, 0, 1 + 7, ""},
      {t.dir.file("graficos.txt"), "graficos.txt", 15, ';', 4, "HipEmbalse 20"},
      {"TablaCal.txt", "TablaCal.txt", 20, '\t', 1221 + 75 + 57 + 3, "Embalse_Hip_Embalse 20_Boro"},
  };
  ASSERT_EQ(m.sim.campos_asteriscos.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    const Fila& f = filas[i];
    SCOPED_TRACE(f.leido);
    const tornal::CampoAsteriscos& c = m.sim.campos_asteriscos[i];
    EXPECT_EQ(c.archivo, f.archivo);
    // The first line of the file that holds a field of asterisks.
    const std::string texto = t.dir.read(f.leido);
    const std::size_t en = texto.find(std::string(f.ancho, '*'));
    ASSERT_NE(en, std::string::npos);
    const std::size_t inicio = texto.rfind('\n', en) + 1;
    EXPECT_EQ(c.registro, 1 + std::count(texto.begin(), texto.begin() + static_cast<long>(inicio), '\n'));
    const std::string antes = texto.substr(inicio, en - inicio);
    EXPECT_EQ(c.columna, f.separador ? 1 + std::count(antes.begin(), antes.end(), f.separador)
                                     : 2 + static_cast<long>((antes.size() - 3) / 15));
    EXPECT_EQ(c.columna, f.columna);
    EXPECT_EQ(c.elemento, f.elemento);
  }
  EXPECT_EQ(m.sim.campos_asteriscos[1].encabezado, "Valor");
}

}  // namespace

namespace {

// A code of the general data of the tagged file past 9999 (the 9991st
// first-order pollutant) is the file's first field of asterisks, although
// the codes of the records are cut as well, later in the file.
TEST(ChunkedFiles, ACodeOfTheGeneralDataCutFirst) {
  tornal_test::TempDir dir;
  tornal::Modelo m;
  tornal_test::prepare(m, dir.path());
  m.red.NUMANYOS = 1;
  m.red.ANYOINICIAL = 2000;
  m.red.NUMCONDUCCIONEST1 = 1;
  m.red.NUMCONDUCCIONES = 1;
  m.red.NOMCONDT1.resize(1);
  m.red.NOMCONDT1(1) = padded("Tramo", tornal::LONGNOMBRE);
  tornal::Calidad& c = m.cal;
  const int N = 9991;
  c.NUMCONT1OR = N;
  c.NUMCONTAMINANTES = N;
  c.NOMCONT1OR.resize_filled(padded("C", 30), N);
  c.INRESCOND.resize_filled(1, 1);
  m.sim.CONDUCCCS.resize(1, N, 12, 1);
  tornal::ESCRIBIRARCHXMLSUB(m, padded(dir.file("conc.xml"), tornal::LONGRUTA));
  const std::vector<std::string> lineas = tornal_test::crlf_lines(dir.read("conc.xml"));
  const auto primera =
      std::find_if(lineas.begin(), lineas.end(), [](const std::string& l) { return l.find('*') != l.npos; });
  ASSERT_NE(primera, lineas.end());
  EXPECT_EQ(*primera, "**** \"" + padded("C", 30) + "\"");
  ASSERT_EQ(m.sim.campos_asteriscos.size(), 1u);
  EXPECT_EQ(m.sim.campos_asteriscos[0].registro, primera - lineas.begin() + 1);
  EXPECT_EQ(m.sim.campos_asteriscos[0].columna, 1);
}

}  // namespace
