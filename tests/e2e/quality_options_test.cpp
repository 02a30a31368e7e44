// The example basin run end to end with quality files of other option sets
// and layouts than its own: temperature given as data, two first-order
// pollutants, oxygen, nitrogen and phytoplankton (ten constituents), the
// five-value options line of version 1.0 files and the fixed layout of the
// coefficients file, which may end after any record from the 29th on. The
// files are written by a small builder from the records the readers take,
// in file order.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "e2e/e2e_util.h"

using namespace tornal_test;

namespace {

using Cambios = std::map<std::string, std::string>;

// The options of one run and the shape of its files.
struct Opciones {
  const char* version;  // version of VekArch.cal: "1.0" or "1.1"
  int OT, N1, OO, ON, OF;
  int MT;              // temperature model, written only after version 1.0
  int registros_coef;  // records of the coefficients file (28 to 38)
  const char* fin;     // line end of the generated files
};

bool es_10(const Opciones& o) { return std::string(o.version) == "1.0"; }

// The constituent count that the options make.
int constituyentes(const Opciones& o) { return o.OT + o.N1 + 2 * o.OO + 3 * (o.ON + o.OF); }

std::string num(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.6g", v);
  return buf;
}

// n copies of one value.
std::string veces(int n, const std::string& v) {
  std::string s;
  for (int i = 0; i < n; ++i) s += (i ? " " : "") + v;
  return s;
}

// n values base + paso * k, k = 1..n.
std::string fila(int n, double base, double paso) {
  std::string s;
  for (int k = 1; k <= n; ++k) s += (k > 1 ? " " : "") + num(base + paso * k);
  return s;
}

// A file of records, one a line: headings, quoted texts, and value records
// whose key is written after the values (the readers pass over the rest of a
// record's last line). `cambios` replaces the values of a record by its key.
class Archivo {
 public:
  Archivo(const char* fin, const Cambios& cambios) : fin_(fin), cambios_(cambios) {}

  void linea(const std::string& t) { texto_ += t + fin_; }
  void nombre(const std::string& t) { linea("'" + t + "'"); }
  void registro(const std::string& clave, const std::string& valores) {
    auto it = cambios_.find(clave);
    if (it != cambios_.end()) usados_.insert(clave);
    linea((it == cambios_.end() ? valores : it->second) + "    " + clave);
  }

  const std::string& texto() const { return texto_; }
  // Every change named a record of the file.
  bool completo() const { return usados_.size() == cambios_.size(); }

 private:
  std::string fin_;
  const Cambios& cambios_;
  std::set<std::string> usados_;
  std::string texto_;
};

// The network of the example: reaches Rio Alto, Rio Medio, Rio Bajo and
// Tramo del Acuifero, one reservoir, aquifer, return, intake and inflow.
constexpr int NC = 4;
constexpr int NE = 1;

// The quality data file for the options.
std::string calidad_dat(const Opciones& o, const Cambios& cambios) {
  const int n = constituyentes(o);
  Archivo f(o.fin, cambios);
  f.nombre(tornal::latin1("Cuenca de ejemplo del río Vega"));
  f.nombre("Segundo juego de opciones");
  f.linea("Opciones: temperatura, contaminantes de 1er orden, oxigeno, nitrogeno, fitoplancton, modelo T");
  std::string opciones = std::to_string(o.OT) + " " + std::to_string(o.N1) + " " + std::to_string(o.OO) + " " +
                         std::to_string(o.ON) + " " + std::to_string(o.OF);
  if (!es_10(o)) opciones += " " + std::to_string(o.MT);
  f.registro("OPCIONES", opciones);

  if (o.OT == 0) {
    f.linea("Temperatura del agua dada como dato");
    f.linea("Conducciones (Rio Alto, Rio Medio, Rio Bajo, Tramo del Acuifero)");
    f.registro("TCON", "14.0 15.0 16.0 16.5");
    f.registro("CURVATCON", "2 2 2 2");
    f.registro("KETCOND", "30.0 30.0 28.0 28.0");
    f.linea("Embalses (Embalse Mayor)");
    f.registro("TEPI", "15.0");
    f.registro("CURVATEPI", "2");
    f.registro("THIPO", "9.0");
    f.registro("CURVATHIPO", "1");
    f.registro("KETEMB", "25.0");
  } else if (o.OT == 1) {
    f.nombre("Temperatura de equilibrio");
    if (es_10(o) || o.MT == 1) {
      f.linea("Conducciones");
      f.registro("TECON", "14.0 15.0 16.0 16.5");
      f.registro("CURVATECON", "2 2 2 2");
      f.registro("KETCOND", "30.0 30.0 28.0 28.0");
      f.linea("Embalses");
      f.registro("TEEM", "15.0");
      f.registro("CURVATEEM", "2");
      f.registro("TEHI", "5.0");
      f.registro("CURVATEHI", "1");
      f.registro("KETEMB", "25.0");
    }
  }

  if (o.N1 > 0) {
    f.linea("Contaminantes de primer orden: correccion por temperatura (theta)");
    f.registro("TECTAK1OR", fila(o.N1, 1.06, 0.01));
    const char* const nombres[] = {"Coliformes totales", "Escherichia coli"};
    for (int k = 1; k <= o.N1; ++k) {
      f.nombre(nombres[(k - 1) % 2]);
      f.linea("Conducciones: constante de desaparicion y velocidad de sedimentacion");
      f.registro("KCOND" + std::to_string(k), "0.8 0.8 1.0 1.0");
      f.registro("VSCOND" + std::to_string(k), veces(NC, num(0.05 * k)));
      f.linea("Embalses");
      f.registro("KEMB" + std::to_string(k), "0.5");
      f.registro("VSEMB" + std::to_string(k), num(0.1 * k));
    }
  }

  if (o.OO == 1) {
    f.linea("Constantes cineticas de las conducciones");
    f.linea("materia organica y oxigeno, nitrogeno,");
    f.linea("fitoplancton y fosforo");
    f.registro("KACOND", veces(NC, "-1.0"));
    f.registro("KDCOND", "0.25 0.25 0.3 0.3");
    f.registro("VSLCOND", veces(NC, "0.1"));
    if (o.ON == 1) {
      f.registro("KNOACOND", veces(NC, "0.1"));
      f.registro("VSNOCOND", veces(NC, "0.05"));
      f.registro("KNAICOND", veces(NC, "0.2"));
      f.registro("KNO3COND", veces(NC, "0.1"));
    }
    if (o.OF == 1) {
      f.registro("KMAXGROWCOND", veces(NC, "2.0"));
      f.registro("KRESPCOND", veces(NC, "0.1"));
      f.registro("VSALGCOND", veces(NC, "0.2"));
      f.registro("KFOSFCOND", veces(NC, "0.1"));
      f.registro("VSFOSFCOND", veces(NC, "0.05"));
      f.registro("KFOSFACOND", veces(NC, "0.05"));
      f.registro("KECOND", veces(NC, "0.5"));
      f.registro("IOCON", veces(NC, "300.0"));
      f.registro("CURVAIOCON", veces(NC, "2"));
      f.registro("FLUMCON", veces(NC, "0.5"));
      f.registro("CURVAFLUMCON", veces(NC, "1"));
      f.registro("ISATCOND", veces(NC, "250.0"));
      f.registro("ALFAFITOCOND", veces(NC, "0.01"));
    }
    f.linea("Constantes cineticas de los embalses, con el viento");
    f.linea("y su curva temporal");
    f.registro("KAEMB", "-1.0");
    f.registro("UWEM", "3.0");
    f.registro("CURVAUWEM", "1");
    f.registro("KDEMB", "0.1");
    f.registro("VSLEMB", "0.15");
    if (o.ON == 1) {
      f.registro("KNOAEMB", "0.1");
      f.registro("VSNOEMB", "0.05");
      f.registro("KNAIEMB", "0.2");
      f.registro("KNO3EMB", "0.1");
    }
    if (o.OF == 1) {
      f.registro("KMAXGROWEMB", "1.8");
      f.registro("KRESPEMB", "0.1");
      f.registro("VSALGEMB", "0.2");
      f.registro("KFOSFEMB", "0.1");
      f.registro("VSFOSFEMB", "0.05");
      f.registro("KFOSFAEMB", "0.05");
      f.registro("KEEMB", "0.4");
      f.registro("IOEM", "300.0");
      f.registro("CURVAIOEM", "2");
      f.registro("FLUMEM", "0.5");
      f.registro("CURVAFLUMEM", "1");
      f.registro("ISATEMB", "250.0");
      f.registro("ALFAFITOEMB", "0.02");
    }
  }

  f.linea("Datos de las conducciones");
  f.linea("resultados, dispersion, longitud, diferencial,");
  f.linea("modo hidraulico y seis coeficientes");
  f.registro("INRESCOND", "1 1 1 1");
  f.registro("INRESPARCOND", "0 0 0 0");
  f.registro("ECOND", "10.0 15.0 20.0 20.0");
  f.registro("LCOND", "12000.0 8500.0 15000.0 6000.0");
  f.registro("INCRX", "500.0 500.0 500.0 250.0");
  f.registro("TIPOHID", "1 1 1 2");
  f.registro("COEF1", "0.035 0.035 0.04 0.25");
  f.registro("COEF2", "15.0 20.0 25.0 0.4");
  f.registro("COEF3", "0.002 0.0015 0.001 0.3");
  f.registro("COEF4", "2.0 2.0 2.5 0.45");
  f.registro("COEF5", "520.0 500.0 480.0 460.0");
  f.registro("COEF6", "0.0 0.0 0.0 0.0");
  f.linea("Datos de los embalses");
  f.linea("resultados, capas y termoclina con sus curvas");
  f.registro("INRESEMB", "1");
  f.registro("INRESEMB2", "0");
  f.registro("INRESPAREMB", "0");
  f.registro("EEM", "0.1");
  f.registro("CURVAEEM", "1");
  f.registro("PORCENTVO", "40.0");
  f.registro("INCRETIEM", "30.0");
  f.registro("ENTREM", "0.8");
  f.registro("CURVTENTREM", "1");
  f.registro("SALEM", "0.3");
  f.registro("CURVTSALEM", "1");
  f.registro("ZTEM", "8.0");
  f.registro("CURVTZTEM", "3");

  f.linea("Vertidos difusos");
  f.registro("NUMVERTDIF", "1");
  f.linea("Nombre; conduccion y carga por constituyente");
  f.nombre("Escorrentia agricola");
  f.registro("SDVERTDIF", "3 " + fila(n, 1000.0, 100.0));
  f.linea("Flujos de sedimentos de los embalses");
  f.registro("NUMFLUJSED", "1");
  f.linea("Embalse y flujo por constituyente");
  f.registro("FLUJSEDEMB", "1 " + fila(n, -0.5, 0.05));

  f.nombre("Concentraciones iniciales");
  f.linea("Acuiferos (Acuifero del Llano)");
  f.linea("un valor por constituyente");
  f.registro("COACU", fila(n, 1.0, 0.5));
  f.linea("Embalses: epilimnion o embalse entero");
  f.linea("un valor por constituyente");
  f.registro("COEMB", fila(n, 2.0, 0.5));
  f.linea("Embalses: hipolimnion");
  f.linea("un valor por constituyente");
  f.registro("COEMB2", fila(n, 3.0, 0.5));
  f.linea("Depuracion (-1: sin depurar)");
  f.linea("Retornos (Retorno de la Vega)");
  f.linea("un valor por constituyente");
  f.registro("RETORNODEPU", "-1 " + fila(n - 1, 10.0, 1.0));
  f.linea("Tomas (Toma de la Vega)");
  f.linea("un valor por constituyente");
  f.registro("TOMADEPU", veces(n - 1, "-1") + " 7.5");

  f.linea("Indicadores");
  f.registro("NUMINDICADORES", "0");
  f.linea("Nombre; tipo de elemento, numero de elemento y tipo; valores");
  f.linea("Curvas temporales");
  f.registro("NUMCURVASTEMP", "3");
  f.linea("Nombre y doce factores mensuales");
  f.nombre("Constante");
  f.registro("CURVA1", veces(12, "1.00"));
  f.nombre("Estacional");
  f.registro("CURVA2", "0.85 0.60 0.45 0.40 0.45 0.60 0.75 0.95 1.15 1.30 1.30 1.10");
  f.nombre("Termoclina");
  f.registro("CURVA3", "0.90 0.40 0.00 0.00 0.00 0.00 0.30 0.60 0.90 1.10 1.20 1.10");
  EXPECT_TRUE(f.completo()) << "a change names no record of the quality data file";
  return f.texto();
}

// The concentration of the inflow for constituent k in month mes of year y.
double aporte(int k, int mes, int y) { return 10.0 * k + 0.1 * mes + 0.05 * (y - 1); }

// The quality of inflows file: four headings, then per constituent two
// headings, one record per month of the two years and a closing record.
std::string aportaciones_dat(const Opciones& o) {
  Cambios ninguno;
  Archivo f(o.fin, ninguno);
  f.linea("Calidad de las aportaciones");
  f.linea("Un bloque por constituyente");
  f.linea("de cada aportacion en el orden del archivo de datos fisicos");
  f.linea("(Aportacion del Alto)");
  for (int k = 1; k <= constituyentes(o); ++k) {
    f.linea("Constituyente " + std::to_string(k));
    f.linea("Anyo  Mes  Aportacion del Alto");
    for (int y = 1; y <= 2; ++y)
      for (int mes = 1; mes <= 12; ++mes)
        f.linea(std::to_string(1999 + y) + " " + std::to_string(mes) + " " + num(aporte(k, mes, y)));
    f.linea("Fin del constituyente " + std::to_string(k));
  }
  return f.texto();
}

// The coefficients file in the fixed layout, cut after `registros_coef`
// records (each record one line).
std::string coeficientes_dat(const Opciones& o) {
  const std::vector<std::string> registros = {
      "Coeficientes de la simulacion",                              // 1
      "Unidades: m3 por hm3 y dias del mes",                        // 2
      "1000000.0 30.0    UNIDADES",                                 // 3
      "Concentracion por debajo de la cual se toma cero",           // 4
      "0.0001    ERROR",                                            // 5
      "Densidad y calor especifico del agua",                       // 6
      "1000.0 4186.0    CARACTERISTICASDELAGUA",                    // 7
      "Dispersion entre capas de los embalses",                     // 8
      "0.05 0.5    DISPEMB",                                        // 9
      "Conducciones: iteraciones",                                  // 10
      "y dos coeficientes de reaireacion",                          // 11
      "100 0.0 0.0    CONDUCCIONES",                                // 12
      "Embalses: reaireacion por el viento",                        // 13
      "0.05 0.01 2.0    REAIEMB",                                   // 14
      "Correccion por temperatura",                                 // 15
      "1.024 1.047 1.047 1.083 1.045 1.066 1.080 1.047    TECTAS",  // 16
      "Relaciones estequiometricas",                                // 17
      "4.57 1.14 1.6 2.0 0.08 0.015    STECHIO",                    // 18
      "Unidades estequiometricas",                                  // 19
      "0.23 0.7765 0.2259 1.0 0.3261    UNIDADESESTEQUIOMETRICAS",  // 20
      "Saturacion de oxigeno",                                      // 21
      "14.652 0.41022 0.007991    OSAT",                            // 22
      "Fraccion de la profundidad de la termoclina",                // 23
      "0.8    COEFTETERMOCLINA",                                    // 24
      "Semisaturacion",                                             // 25
      "0.5 0.6 0.02 0.003 0.1    CTELIMITACIONNUTRIENTES",          // 26
      "Preferencia por el amonio",                                  // 27
      "0.6 0.4    FACTORPREFERENCIA",                               // 28
      "Balances de los embalses (1: si)",                           // 29
      "0    OPCIONBALANCES",                                        // 30
      "Balance de calor: constantes",                               // 31
      "1.17E-7 0.97 19.0 0.95 2.0    CONSTANTESMODTEMPERATURA",     // 32
      "Humedad relativa (0) o presion de vapor (1)",                // 33
      "1    EAIOPCIONHRR",                                          // 34
      "Factor del crecimiento del fitoplancton en el hipolimnion",  // 35
      "0.7    FITOENELHIPO",                                        // 36
      "Flujos de sedimentos solo con anoxia (0) o siempre (1)",     // 37
      "1    FLUJOSEDIMENTOSNOANOXIA",                               // 38
  };
  std::string s;
  for (int i = 0; i < o.registros_coef; ++i) s += registros[i] + o.fin;
  return s;
}

// The example basin in `dir` with the generated quality files and the
// version of the options in its VekArch.cal.
void preparar(const TempDir& dir, const Opciones& o, const Cambios& cambios = {}) {
  copy_example("basin", dir);
  std::string vekarch = dir.read("VekArch.cal");
  ASSERT_EQ(vekarch.rfind("VERSION 1.4\n", 0), 0u);
  dir.write("VekArch.cal", std::string("VERSION ") + o.version + vekarch.substr(11));
  dir.write("calidad.dat", calidad_dat(o, cambios));
  dir.write("aportaciones.dat", aportaciones_dat(o));
  dir.write("coeficientes.dat", coeficientes_dat(o));
}

std::string L(const char* utf8_text) { return tornal::latin1(utf8_text); }

const std::string EXITO_CALIDAD = L(" Lectura de archivos de calidad realizada con éxito");
const std::string EXITO_APORTACIONES = L(" Lectura de archivo de aportaciones de calidad realizada con éxito");
const std::string EXITO_COEFICIENTES = L(" Lectura de archivo de coeficientes realizada con éxito");

std::size_t posicion(const std::vector<std::string>& lineas, const std::string& linea) {
  for (std::size_t i = 0; i < lineas.size(); ++i)
    if (lineas[i] == linea) return i;
  return lineas.size();
}

// Runs the program in `dir`; returns the run log's lines.
std::vector<std::string> correr(const TempDir& dir, RunResult& r) {
  r = run_tornal(dir);
  return crlf_lines(dir.read("tornal.log"));
}

struct CasoExito {
  const char* nombre;
  Opciones o;
  const char* ultimo;  // name of the last constituent
};

const CasoExito CASOS[] = {
    // Temperature as data, ten constituents, the whole fixed coefficients file.
    {"1.1, OT 0, diez constituyentes", {"1.1", 0, 2, 1, 1, 1, 0, 38, "\r\n"}, "Fósforo Inorgánico"},
    // The same options in a version 1.0 file, whose coefficients end after
    // the preference factors.
    {"1.0, OT 0, diez constituyentes", {"1.0", 0, 2, 1, 1, 1, 0, 28, "\n"}, "Fósforo Inorgánico"},
    // Version 1.0 models the temperature by the equilibrium temperature; the
    // coefficients end after the heat-balance constants.
    {"1.0, OT 1, nitrógeno", {"1.0", 1, 1, 1, 1, 0, 0, 34, "\n"}, "Nitratos"},
};

}  // namespace

// Each option set runs to the end: the three quality files are read one
// after the other with no warning between their success lines; read in
// process, the last record of every section holds its values (a record
// missed or read twice would shift them or end in a read error).
TEST(QualityOptions, OtherOptionSetsAndLayoutsRunToTheEnd) {
  for (const CasoExito& caso : CASOS) {
    SCOPED_TRACE(caso.nombre);
    const Opciones& o = caso.o;
    const int n = constituyentes(o);
    TempDir dir;
    preparar(dir, o);
    RunResult r;
    auto lineas = correr(dir, r);
    EXPECT_EQ(r.status, 0) << r.console;
    EXPECT_TRUE(r.console.ends_with("Fin de simulación\n")) << r.console;
    const std::size_t p = posicion(lineas, EXITO_CALIDAD);
    ASSERT_LT(p + 2, lineas.size()) << r.console;
    EXPECT_EQ(lineas[p + 1], EXITO_APORTACIONES);
    EXPECT_EQ(lineas[p + 2], EXITO_COEFICIENTES);
    EXPECT_EQ(lineas.back(), " " + std::string(16, '-'));

    tornal::Modelo m;
    read_basin(m, dir, es_10(o) ? 10 : 11);
    const tornal::Calidad& c = m.cal;
    ASSERT_EQ(c.NUMCONTAMINANTES, n);
    EXPECT_EQ(c.MODELOTEMPERATURA, o.OT);
    EXPECT_EQ(tornal::trimmed(c.NOMCONT(o.OT + 1)), "Coliformes totales");
    EXPECT_EQ(tornal::trimmed(c.NOMCONT(n)), L(caso.ultimo));
    if (o.OT == 0) {
      EXPECT_DOUBLE_EQ(c.TCON(4), 16.5);
      EXPECT_EQ(c.CURVATHIPO(1), 1);
    } else {
      EXPECT_DOUBLE_EQ(c.TECON(4), 16.5);
      EXPECT_EQ(c.CURVATEHI(1), 1);
    }
    EXPECT_DOUBLE_EQ(c.KETEMB(1), 25.0);
    EXPECT_DOUBLE_EQ(c.TECTAK1OR(o.N1), 1.06 + 0.01 * o.N1);
    EXPECT_DOUBLE_EQ(c.VSCOND(4, o.N1), 0.05 * o.N1);
    EXPECT_DOUBLE_EQ(c.VSEMB(1, o.N1), 0.1 * o.N1);
    EXPECT_DOUBLE_EQ(c.VSLEMB(1), 0.15);
    if (o.ON == 1) {
      EXPECT_DOUBLE_EQ(c.KNO3COND(4), 0.1);
      EXPECT_DOUBLE_EQ(c.KNAIEMB(1), 0.2);
    }
    if (o.OF == 1) {
      EXPECT_EQ(c.CURVAIOCON(4), 2);
      EXPECT_DOUBLE_EQ(c.ALFAFITOCOND(4), 0.01);
      EXPECT_EQ(c.CURVAFLUMEM(1), 1);
      EXPECT_DOUBLE_EQ(c.ALFAFITOEMB(1), 0.02);
    }
    EXPECT_DOUBLE_EQ(c.COEFTESHIDR(4, 5), 460.0);
    EXPECT_EQ(c.TIPOHID(4), 2);
    EXPECT_EQ(c.CURVTZTEM(1), 3);
    EXPECT_EQ(c.NUMCONDUCVERTDIF(1), 3);
    EXPECT_NEAR(c.SDVERTDIF(1, n), 1000.0 + 100.0 * n, 1e-9);
    EXPECT_NEAR(c.FLUJSEDEMB(1, n), -0.5 + 0.05 * n, 1e-9);
    EXPECT_NEAR(c.COACU(1, n), 1.0 + 0.5 * n, 1e-9);
    EXPECT_NEAR(c.COEMB2(1, n), 3.0 + 0.5 * n, 1e-9);
    EXPECT_DOUBLE_EQ(c.RETORNODEPU(1, 1), -1.0);
    EXPECT_NEAR(c.RETORNODEPU(1, n), 10.0 + (n - 1), 1e-9);
    EXPECT_DOUBLE_EQ(c.TOMADEPU(1, n), 7.5);
    ASSERT_EQ(c.NUMCURVASTEMP, 3);
    EXPECT_DOUBLE_EQ(c.VALORCURVASTEMP(3, 12), 1.1);
    EXPECT_NEAR(c.COAPO(1, 1, 1, 1), aporte(1, 1, 1), 1e-9);
    EXPECT_NEAR(c.COAPO(1, n, 12, 2), aporte(n, 12, 2), 1e-9);

    // The coefficients, up to the record the file ends after; the later ones
    // keep their defaults.
    EXPECT_NEAR(c.FACTORUNIDADES, 1000000.0 / 30.0, 1e-9);
    EXPECT_DOUBLE_EQ(c.FACTORPREFERENCIA(2), 0.4);
    EXPECT_EQ(c.HAYCONSTANTESMODTEMPERATURA, o.registros_coef >= 34);
    EXPECT_EQ(c.EAIOPCIONHRR, o.registros_coef >= 34 ? 1 : 0);
    EXPECT_DOUBLE_EQ(c.FITOENELHIPO, o.registros_coef >= 36 ? 0.7 : 1.0);
    EXPECT_EQ(c.FLUJOSEDIMENTOSNOANOXIA, o.registros_coef >= 38 ? 1 : 0);
  }
}

// Values out of range in the ten-constituent files: each warning, in the
// fixed order of its groups (kinetic constants per element, reservoir data),
// stands between the first two success lines and the run goes on. Long
// messages and the 250-character names are cut at 79 characters a line.
TEST(QualityOptions, WarningsOfTheValidationInTheRunLog) {
  const Opciones o = {"1.1", 0, 2, 1, 1, 1, 0, 38, "\r\n"};
  TempDir dir;
  preparar(dir, o,
           {{"KDCOND", "0.25 -0.2 0.3 0.3"},
            {"KNAICOND", "0.2 0.2 0.2 -0.1"},
            {"INCRX", "500.0 500.0 4000.0 250.0"},
            {"INCRETIEM", "5.0"}});
  RunResult r;
  auto lineas = correr(dir, r);
  EXPECT_EQ(r.status, 0) << r.console;
  EXPECT_TRUE(r.console.ends_with("Fin de simulación\n")) << r.console;

  std::vector<std::string> esperadas = {
      L(" La constante de degradación de la materia orgánica debe ser un valor positivo"),
      L(" Conducción:"),
  };
  for (const std::string& l : name_lines("Rio Medio")) esperadas.push_back(l);
  esperadas.push_back(L(" La constante de nitrificación del amonio debe ser un valor positivo"));
  esperadas.push_back(L(" Conducción:"));
  for (const std::string& l : name_lines("Tramo del Acuifero")) esperadas.push_back(l);
  esperadas.push_back(L(" El número de diferenciales, definido por el cociente entre la longitud y el dif"));
  esperadas.push_back(L(" erencial, debe ser superior a 5"));
  esperadas.push_back(L(" Conducción:"));
  for (const std::string& l : name_lines("Rio Bajo")) esperadas.push_back(l);
  esperadas.push_back(" el diferencial de calculo es muy bajo");
  esperadas.push_back(" Embalse:");
  for (const std::string& l : name_lines("Embalse Mayor")) esperadas.push_back(l);

  const std::size_t p = posicion(lineas, EXITO_CALIDAD);
  const std::size_t q = posicion(lineas, EXITO_APORTACIONES);
  ASSERT_LT(q, lineas.size()) << r.console;
  ASSERT_LT(p, q);
  EXPECT_EQ(std::vector<std::string>(lineas.begin() + p + 1, lineas.begin() + q), esperadas);
  ASSERT_LT(q + 1, lineas.size());
  EXPECT_EQ(lineas[q + 1], EXITO_COEFICIENTES);
}

// Options that cannot make a constituent list end the run after the
// validation: the option warning, the closing line and console "error"; the
// quality of inflows is never read.
TEST(QualityOptions, InconsistentOptionsStopTheRun) {
  struct Caso {
    const char* nombre;
    Opciones o;
    std::vector<std::string> avisos;
  };
  const Caso casos[] = {
      {"fitoplancton sin nitrógeno",
       {"1.1", 0, 2, 1, 0, 1, 0, 38, "\r\n"},
       {L(" Si la opción de la simulación del fitoplancton es 1 la del ciclo del nitrógeno "),
        L(" también debe ser 1")}},
      // The temperature section is the label alone.
      {"modelo de temperatura 3", {"1.1", 1, 1, 1, 0, 0, 3, 38, "\n"}, {L(" El modelo de temperatura debe ser 1 ó 2")}},
  };
  for (const Caso& caso : casos) {
    SCOPED_TRACE(caso.nombre);
    TempDir dir;
    preparar(dir, caso.o);
    RunResult r;
    auto lineas = correr(dir, r);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.console, "error\n");
    std::vector<std::string> esperadas = {EXITO_CALIDAD};
    for (const std::string& l : caso.avisos) esperadas.push_back(l);
    esperadas.push_back(L(" Las opciones de simulación son incoherentes"));
    ASSERT_GE(lineas.size(), esperadas.size());
    EXPECT_EQ(std::vector<std::string>(lineas.end() - esperadas.size(), lineas.end()), esperadas);
    EXPECT_EQ(posicion(lineas, EXITO_APORTACIONES), lineas.size());
  }
}
