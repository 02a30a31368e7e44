// Whole runs of the example basin with faulty input: every fault ends with
// exit status 1 and its lines in the run log (or, for a refused run
// configuration, its message and no file written), and a result that
// overflows in the calculation is listed in the run log of a finished run.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iomanip>
#include <iterator>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "common/fixed_format.h"
#include "e2e/e2e_util.h"

using namespace tornal_test;

namespace {

// Replaces line `n` (1-based) of a file of the folder.
void poner_linea(const TempDir& dir, const std::string& archivo, int n, const std::string& linea) {
  std::string texto = dir.read(archivo);
  std::size_t p = 0;
  for (int k = 1; k < n; ++k) p = texto.find('\n', p) + 1;
  std::size_t e = texto.find('\n', p);
  if (e != std::string::npos && e > p && texto[e - 1] == '\r') --e;
  texto.replace(p, e == std::string::npos ? std::string::npos : e - p, linea);
  dir.write(archivo, texto);
}

std::vector<std::string> registro(const TempDir& dir) {
  std::vector<std::string> out;
  for (const std::string& l : crlf_lines(dir.read("tornal.log")))
    out.push_back(l.empty() ? l : tornal::utf8(l.substr(1)));
  return out;
}

bool contiene(const std::vector<std::string>& v, const std::string& s) {
  return std::find(v.begin(), v.end(), s) != v.end();
}

// Replaces the first `desde` of a file of the folder by `hasta`.
void cambiar(const TempDir& dir, const std::string& archivo, const std::string& desde, const std::string& hasta) {
  std::string texto = dir.read(archivo);
  const std::size_t p = texto.find(desde);
  ASSERT_NE(p, std::string::npos) << archivo << ": " << desde;
  dir.write(archivo, texto.replace(p, desde.size(), hasta));
}

// The lines of the run log without their blanks at either end.
std::vector<std::string> registro_recortado(const TempDir& dir) {
  std::vector<std::string> l = registro(dir);
  for (std::string& x : l) {
    x.erase(0, x.find_first_not_of(' '));
    x.erase(x.find_last_not_of(' ') + 1);
  }
  return l;
}

// The last `n` lines of the run log that hold more than blanks, without
// their blanks at either end (a name at its stored length runs over lines).
std::vector<std::string> final_del_registro(const TempDir& dir, std::size_t n) {
  std::vector<std::string> l = registro_recortado(dir);
  std::erase(l, std::string());
  return std::vector<std::string>(l.end() - static_cast<long>(std::min(n, l.size())), l.end());
}

// Runs the example basin copied into `dir` with `cambio` made to its files.
RunResult correr_cambiado(const TempDir& dir, const std::function<void(const TempDir&)>& cambio) {
  copy_example("basin", dir);
  cambio(dir);
  return run_tornal(dir);
}

// The example's temperature by surface heat balance: the same reaches and
// reservoir with meteorological data in place of the equilibrium
// temperature (records 4 to 15 of its quality data file).
void balance_de_calor(const TempDir& dir) {
  std::string texto = dir.read("calidad.dat");
  std::size_t p = 0;
  for (int k = 1; k < 4; ++k) p = texto.find('\n', p) + 1;
  std::size_t e = p;
  for (int k = 4; k <= 15; ++k) e = texto.find('\n', e) + 1;
  std::string bloque = "1 1 1 1 1 2\n'Balance de calor'\nConducciones\n";
  for (const char* v : {"300", "1", "15", "1", "70", "1", "0.3", "1", "2", "1"})
    bloque += std::string(v) + " " + v + " " + v + " " + v + "\n";
  bloque += "Embalses\n300\n1\n15\n1\n70\n1\n0.3\n1\n2\n1\n0.5\n";
  dir.write("calidad.dat", texto.replace(p, e - p, bloque));
}

// One row of a table of whole runs of the example basin: the change to the
// basin, the exit status, the lines that the run log holds in this order
// (blanks at either end left out; other lines may stand between them) and,
// where the row needs it, a further check of the run's files and the whole
// console.
struct CorridaCambiada {
  const char* que;
  std::function<void(const TempDir&)> cambio;
  int status;
  std::vector<std::string> en_registro;
  std::function<void(const TempDir&)> ademas;  // may be empty
  const char* consola = nullptr;               // not checked when null
};

// Runs every row of such a table, each in a folder of its own.
void correr_tabla(const std::vector<CorridaCambiada>& casos) {
  for (const CorridaCambiada& c : casos) {
    SCOPED_TRACE(c.que);
    TempDir dir;
    RunResult r = correr_cambiado(dir, c.cambio);
    EXPECT_EQ(r.status, c.status) << r.console;
    if (c.consola) {
      EXPECT_EQ(r.console, c.consola);
    }
    const std::vector<std::string> l = registro_recortado(dir);
    auto p = l.begin();
    for (const std::string& e : c.en_registro) {
      p = std::find(p, l.end(), e);
      if (p == l.end()) {
        ADD_FAILURE() << "not in the run log, or out of order: " << e;
        break;
      }
      ++p;
    }
    if (c.ademas) c.ademas(dir);
  }
}

// The rows of the partial result file of reaches (or of `archivo`) that begin with `inicio`
// (the reach's name and the month), each cut into its fields.
std::vector<std::vector<std::string>> filas_de(const TempDir& dir, const std::string& inicio,
                                               const std::string& archivo = "conducciones_parcial.csv") {
  std::vector<std::vector<std::string>> filas;
  for (const std::string& l : crlf_lines(dir.read(archivo))) {
    if (l.rfind(inicio, 0) != 0) continue;
    std::vector<std::string> campos;
    for (std::size_t p = 0, q; (q = l.find(';', p)) != std::string::npos; p = q + 1)
      campos.push_back(l.substr(p, q - p));
    filas.push_back(campos);
  }
  return filas;
}

// The example's reservoir as a flat pool of `ha` hectares (1 m deep per
// ha/100 hm3) that ends month m of each year holding `fin[m - 1]` hm3 (the
// run starts at September's) and receives `entra[m - 1]` hm3 in it from Rio
// Alto; its release, into Rio Medio, closes the balance.
void embalse_llano(const TempDir& d, double ha, const std::vector<double>& fin, const std::vector<double>& entra) {
  auto n = [](double v) { return (std::ostringstream() << std::setprecision(10) << v).str(); };
  std::string curva = "500 501 502 503 504 505 506 507 508 509\n", volumenes;
  for (int i = 0; i < 10; ++i) curva += n(ha) + " ", volumenes += n(i * ha / 100.0) + " ";
  cambiar(d, "red.dat",
          "500 505 510 515 520 525 530 535 540 545\n0 40 100 170 250 340 440 550 670 800\n0 1 4 9 16 26 40 56 76 100",
          curva + "\n" + volumenes);
  cambiar(d, "red.dat", "\n50.0\n", "\n" + n(fin[11]) + "\n");
  std::istringstream filas(d.read("resultados.dat"));
  std::string texto;
  for (std::string fila; std::getline(filas, fila);) {
    std::istringstream campos(fila);
    std::vector<std::string> v{std::istream_iterator<std::string>(campos), {}};
    const int mes = std::stoi(v[1]);
    const double cambio = fin[mes - 1] - fin[(mes + 10) % 12];
    v[4] = v[12] = n(entra[mes - 1]), v[6] = n(fin[mes - 1]), v[9] = "0";
    v[8] = v[13] = n(entra[mes - 1] - cambio - std::stod(v[10]) - std::stod(v[11]));
    for (const std::string& x : v) texto += x + " ";
    texto += "\n";
  }
  d.write("resultados.dat", texto);
}

// Every value that the table for graphics gives the reservoir and the two
// reaches below it is a finite number from 0 to 1000 (none at the guard's
// 100000), every temperature at most 40 degrees.
void resultados_fisicos(const TempDir& d) {
  int vistos = 0;
  for (const std::string& l : crlf_lines(d.read("graficos.txt"))) {
    std::vector<std::string> f;
    std::istringstream campos(l);
    for (std::string x; std::getline(campos, x, ';');) f.push_back(x);
    if (f.size() < 4 || (f[2].find("Embalse Mayor") == std::string::npos && f[2] != "Rio Medio" && f[2] != "Rio Bajo"))
      continue;
    char* fin = nullptr;
    const double v = std::strtod(f[3].c_str(), &fin);
    EXPECT_TRUE(*fin == '\0' && v >= 0.0 && v <= (f[0] == "Temperatura" ? 40.0 : 1000.0)) << l;
    ++vistos;
  }
  EXPECT_GT(vistos, 500);
}

// The value that the table for graphics gives `elemento` for `contaminante`
// in `fecha` (such as "Mar-2001"); NaN when it gives none.
double valor_grafico(const TempDir& d, const std::string& contaminante, const std::string& fecha,
                     const std::string& elemento) {
  for (const std::string& l : crlf_lines(d.read("graficos.txt"))) {
    std::vector<std::string> f;
    std::istringstream campos(l);
    for (std::string x; std::getline(campos, x, ';');) f.push_back(x);
    if (f.size() >= 4 && tornal::utf8(f[0]) == contaminante && f[1] == fecha && f[2] == elemento)
      return std::stod(f[3]);
  }
  return std::nan("");
}
}  // namespace

// Faults of the input files: each is the read error of its file in the run
// log, with its record counter, and exit status 1.
TEST(Robustness, InputFaultsEndWithTheirReadErrorInTheRunLog) {
  struct Caso {
    const char* que;
    const char* archivo;
    int linea;
    const char* nueva;
    std::vector<std::string> final_del_registro;
  };
  const std::vector<Caso> casos = {
      {"a number beyond double in the network data file",
       "red.dat",
       21,
       "1.0E+400 0 0 1 1",
       {"Error en la lectura del archivo de datos fisicos de Kelmar", "Numero de linea:", "21"}},
      {"a number beyond double in the inflows quality file",
       "aportaciones.dat",
       8,
       "2000    1       1.0E+400",
       {"Error en la lectura del archivo de Aportaciones de calidad", "Error en la linea numero:", "8"}},
      {"a negative NUMANYOS",
       "red.dat",
       2,
       "-1 2000",
       {"Error en la lectura del archivo de datos fisicos de Kelmar", "Numero de linea:", "2"}},
      // The 24 rows of the results file hold two years: the row it lacks is
      // that file's read error.
      {"ten million years",
       "red.dat",
       2,
       "10000000 2000",
       {"Error en la lectura del archivo de resultados de Kelmar", "Error en la linea numero:", "25"}},
      {"ten million reservoirs",
       "red.dat",
       5,
       "5 10000000 2 1 1 0 0 1 1 1 0 1 0 1 0 0",
       {"Error en la lectura del archivo de datos fisicos de Kelmar", "Numero de linea:", "5"}},
      {"an intake whose return does not exist",
       "red.dat",
       46,
       "2",
       {"Error en la lectura del archivo de datos fisicos de Kelmar", "Numero de linea:", "46"}},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.que);
    TempDir dir;
    copy_example("basin", dir);
    poner_linea(dir, c.archivo, c.linea, c.nueva);
    RunResult r = run_tornal(dir);
    EXPECT_EQ(r.status, 1) << r.console;
    EXPECT_EQ(r.console, "error\n");
    std::vector<std::string> l = registro(dir);
    ASSERT_GE(l.size(), c.final_del_registro.size());
    std::vector<std::string> final_(l.end() - static_cast<long>(c.final_del_registro.size()), l.end());
    for (std::string& x : final_) x.erase(0, x.find_first_not_of(' '));
    EXPECT_EQ(final_, c.final_del_registro);
  }
}

// Two outputs of the run that are one file, or an output that is an input,
// refuse the run configuration before any file is written.
TEST(Robustness, OutputsThatOverwriteOtherFilesAreRefused) {
  struct Caso {
    int registro;
    const char* ruta;
    const char* mensaje;  // "" when the run goes on
  };
  const std::vector<Caso> casos = {
      {20, "'resultados.xml'",
       "Error en el archivo Vekarch.cal: los archivos de salida del registro 12 y del registro 20 son el mismo "
       "archivo, resultados.xml"},
      {11, "'./sub/../conducciones_parcial.csv'",
       "Error en el archivo Vekarch.cal: los archivos de salida del registro 10 y del registro 11 son el mismo "
       "archivo, ./sub/../conducciones_parcial.csv"},
      {13, "'TablaCal.txt'",
       "Error en el archivo Vekarch.cal: los archivos de salida del registro 13 y del archivo TablaCal.txt son el "
       "mismo archivo, TablaCal.txt"},
      {12, "'red.dat'",
       "Error en el archivo Vekarch.cal: el archivo de salida del registro 12 es el archivo de entrada del "
       "registro 2, red.dat"},
      {20, "'VekArch.cal'",
       "Error en el archivo Vekarch.cal: el archivo de salida del registro 20 es el archivo de entrada del "
       "archivo VekArch.cal, VekArch.cal"},
      // A calibration file that its option does not read may share a name.
      {16, "'graficos.txt'", ""},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.ruta);
    TempDir dir;
    copy_example("basin", dir);
    std::filesystem::create_directory(dir.file("sub"));
    poner_linea(dir, "VekArch.cal", c.registro, c.ruta);
    const std::string red = dir.read("red.dat");
    RunResult r = run_tornal(dir);
    if (std::string(c.mensaje).empty()) {
      EXPECT_EQ(r.status, 0) << r.console;
      continue;
    }
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.console, std::string(c.mensaje) + "\n");
    for (const char* salida : {"tornal.log", "resultados.xml", "graficos.txt", "conducciones_parcial.csv",
                               "embalses_parcial.csv", "TablaCal.txt"})
      EXPECT_FALSE(std::filesystem::exists(dir.file(salida))) << salida;
    EXPECT_EQ(dir.read("red.dat"), red);
  }
}

// A finite input that overflows in the calculation: the run ends, the result
// files keep their asterisks, and the run log lists the element and the
// constituent before the closing line.
TEST(Robustness, ResultsThatOverflowAreListedInTheRunLog) {
  TempDir dir;
  copy_example("basin", dir);
  poner_linea(dir, "aportaciones.dat", 8, "2000    1       1.0E+308");
  RunResult r = run_tornal(dir);
  EXPECT_EQ(r.status, 0) << r.console;
  const std::vector<std::string> l = registro(dir);
  ASSERT_TRUE(contiene(l, "Resultado no finito (desbordamiento en el cálculo), revise los datos"));
  const auto p = std::find(l.begin(), l.end(), "Resultado no finito (desbordamiento en el cálculo), revise los datos");
  ASSERT_LT(p + 5, l.end());
  EXPECT_NE(p[1].find("Número Conducción:"), std::string::npos) << p[1];
  EXPECT_EQ(p[2].find("Nombre: Rio Alto"), 0u) << p[2];
  EXPECT_EQ(p[3].find("Contaminante: Temperatura"), 0u) << p[3];
  EXPECT_NE(p[4].find("Mes de la simulación:"), std::string::npos) << p[4];
  EXPECT_LT(p, std::find(l.begin(), l.end(), "Simulación Finalizada con éxito"));
  EXPECT_NE(dir.read("TablaCal.txt").find("********"), std::string::npos);

  // The example as it stands has no such line.
  TempDir limpio;
  copy_example("basin", limpio);
  ASSERT_EQ(run_tornal(limpio).status, 0);
  for (const std::string& x : registro(limpio)) EXPECT_EQ(x.find("Resultado no finito"), std::string::npos);
}

// Inputs that the readers bound, keep or refuse: the sub-steps of a
// reservoir month and the passes of the reach oxygen iteration (a bound no
// month or reach needs), optional files that exist but cannot be opened (a
// folder of that name; the criteria file's is asked before the network is
// read), counts of tornal.avz and bucle.avz beyond their
// files (in a run of no years too), values that a slash leaves unread
// (their defaults), a heat-balance section cut by the end of the file after
// a complete one. Each row: the change to the example basin, the exit
// status, the last lines of the run log and, for runs that end, a result
// file that must be that of the example as it stands.
TEST(Robustness, BoundedCountsUnreadableOptionalFilesAndDefaultsUnderASlash) {
  const std::string FIN = "Simulación Finalizada con éxito";
  // INCRETIEM of the reservoir and NUMMAXITERCOND in place of the example's.
  auto subpasos = [](const char* v) {
    return [v](const TempDir& d) { cambiar(d, "calidad.dat", "    30.0    INCRETIEM", std::string(v) + " INCRETIEM"); };
  };
  auto pasadas = [](const char* v) {
    return [v](const TempDir& d) {
      cambiar(d, "coeficientes.dat", "<CONDUCCIONES>\r\n100   0.0", std::string("<CONDUCCIONES>\r\n") + v + " 0.0");
    };
  };
  auto carpeta = [](const char* nombre) {
    return [nombre](const TempDir& d) { std::filesystem::create_directory(d.file(nombre)); };
  };
  auto sin_anyos = [](const char* avz) {
    return [avz](const TempDir& d) {
      poner_linea(d, "red.dat", 2, "0 2000");
      d.write("tornal.avz", avz);
    };
  };
  struct Caso {
    const char* que;
    std::function<void(const TempDir&)> cambio;
    int status;
    std::vector<std::string> final_;
    const char* igual;  // a result file equal to the example's ("" none)
  };
  const std::vector<Caso> casos = {
      {"1.0E+30 sub-steps a month",
       subpasos("1.0E+30"),
       1,
       {"El diferencial de cálculo del embalse no puede ser superior a 100000", "Embalse:", "Embalse Mayor"},
       ""},
      {"3.0E+9 sub-steps a month",
       subpasos("3.0E+9"),
       1,
       {"El diferencial de cálculo del embalse no puede ser superior a 100000", "Embalse:", "Embalse Mayor"},
       ""},
      {"hourly sub-steps", subpasos("720"), 0, {FIN}, ""},
      {"2147483648 oxygen passes",
       pasadas("2147483648"),
       1,
       {"Error en la lectura del archivo de coeficientes", "Error en la linea numero:", "17"},
       ""},
      {"10000 oxygen passes", pasadas("10000"), 0, {FIN}, "conducciones_parcial.csv"},
      {"a folder named tornal.avz",
       carpeta("tornal.avz"),
       1,
       {"Existe Tornal.avz", "Error en el acceso al archivo TORNAL.AVZ"},
       ""},
      {"a folder named bucle.avz",
       carpeta("bucle.avz"),
       1,
       {"Existe bucle.avz", "Error en el acceso al archivo BUCLE.AVZ"},
       ""},
      {"a folder named NivelesRQ.dat",
       carpeta("NivelesRQ.dat"),
       1,
       {"Error en el acceso al archivo de niveles de riesgo"},
       ""},
      {"a folder named Criterios.txt",
       carpeta("Criterios.txt"),
       1,
       {"Numero de versio:  1.39999998", "Error en el acceso al archivo de criterios"},
       ""},
      {"2e9 diffuse-load rows in a run of no years",
       sin_anyos("<CONTDIF_TEMPORAL>\n2000000000\n1\n"),
       1,
       {"Error en la lectura del archivo TORNAL.AVZ", "Error en la linea numero:", "1"},
       ""},
      {"1e9 sediment rows of one repeated item",
       sin_anyos("<SED_EMB_TEMPORAL>\n999999999\n999999999*1\n"),
       1,
       {"Error en la lectura del archivo TORNAL.AVZ", "Error en la linea numero:", "1"},
       ""},
      {"rows that a run of no years can hold",
       sin_anyos("<CONTDIF_TEMPORAL>\n2\n1 2\n<SED_EMB_TEMPORAL>\n1\n1\n"),
       0,
       {FIN},
       ""},
      // A cut list is read run by run and kept as the elements it names:
      // the file supplies its thousand million values, and they cut return 1.
      {"1e9 cut returns of one repeated item",
       [](const TempDir& d) { d.write("bucle.avz", "<RETORNOS_CONTAMINADOS>\n999999999\n999999999*1\n"); },
       0,
       {FIN},
       ""},
      {"phytoplankton of the hypolimnion left by a slash",
       [](const TempDir& d) { cambiar(d, "coeficientes.dat", "<FITOENELHIPO>\r\n1.0", "<FITOENELHIPO>\r\n/"); },
       0,
       {FIN},
       "embalses_parcial.csv"},
      {"partial results left by a slash",
       [](const TempDir& d) {
         cambiar(d, "coeficientes.dat", "<ACUMULACIONRESULTADOSPARCIALES>\r\n1   5",
                 "<ACUMULACIONRESULTADOSPARCIALES>\r\n/");
       },
       0,
       {FIN},
       "conducciones_parcial.csv"},
      {"a heat-balance section cut after a complete one",
       [](const TempDir& d) {
         balance_de_calor(d);
         d.write("coeficientes.dat", d.read("coeficientes.dat") + "<CONSTANTESMODTEMPERATURA>\r\n1 2 3\r\n");
       },
       0,
       {FIN},
       ""},
  };
  TempDir ejemplo;
  copy_example("basin", ejemplo);
  ASSERT_EQ(run_tornal(ejemplo).status, 0);
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.que);
    TempDir dir;
    RunResult r = correr_cambiado(dir, c.cambio);
    EXPECT_EQ(r.status, c.status) << r.console;
    std::vector<std::string> final_ = c.final_;
    // A run that ends closes its log with a line of 95 "-" (79 and 16).
    if (c.status == 0) final_.insert(final_.end(), {std::string(79, '-'), std::string(16, '-')});
    EXPECT_EQ(final_del_registro(dir, final_.size()), final_);
    if (*c.igual) {
      EXPECT_EQ(dir.read(c.igual), ejemplo.read(c.igual)) << c.igual;
    }
  }
}

// Inputs that a user meets when something is off, one row each
// (CorridaCambiada).
TEST(Robustness, InputsThatUsersMeet) {
  std::vector<CorridaCambiada> casos;

  // A monthly results file of the allocation model that ends early.
  const std::vector<std::string> fin_resultados = {"Error en la lectura del archivo de resultados de Kelmar",
                                                   "Error en la linea numero:"};
  // The first `lineas` lines of the example's 24 rows, and `resto` after them.
  auto resultados = [](int lineas, std::string resto) {
    return [lineas, resto](const TempDir& d) {
      const std::string texto = d.read("resultados.dat");
      std::size_t p = 0;
      for (int k = 0; k < lineas; ++k) p = texto.find('\n', p) + 1;
      d.write("resultados.dat", texto.substr(0, p) + resto);
    };
  };
  // No line of the network data file's read error.
  auto sin_error_de_red = [](const TempDir& d) {
    for (const std::string& x : registro(d)) EXPECT_EQ(x.find("Numero de linea:"), std::string::npos) << x;
  };
  casos.push_back({"a results file cut inside a row",
                   resultados(20, "1 9 0 5.0"),
                   1,
                   {fin_resultados[0], fin_resultados[1], "21"},
                   sin_error_de_red});
  casos.push_back({"a results file cut before its last row",
                   resultados(23, ""),
                   1,
                   {fin_resultados[0], fin_resultados[1], "24"},
                   sin_error_de_red});
  casos.push_back({"a network of more years than the results",
                   [](const TempDir& d) { poner_linea(d, "red.dat", 2, "3 2000"); },
                   1,
                   {fin_resultados[0], fin_resultados[1], "25"},
                   sin_error_de_red});

  // Repeat counts of the free format.
  const std::string FIN = "Simulación Finalizada con éxito";
  auto xml = [](const char* texto) { return [texto](const TempDir& d) { d.write("red.xml", texto); }; };
  casos.push_back({"forty control parcels of one repeat count in red.xml",
                   xml("<KELMAR>\n<NACU>\n40\n<NPCS>\n40*0\n"),
                   0,
                   {"Lectura de archivo de KELMAR_ XML realizada con éxito", FIN},
                   {}});
  casos.push_back({"ten cuts of one repeat count in bucle.avz",
                   [](const TempDir& d) { d.write("bucle.avz", "<RETORNOS_CONTAMINADOS>\n10\n10*1\n"); },
                   0,
                   {"Existe bucle.avz", "Existen retornos que hacen bucles",
                    "Lectura de archivo bucle.avz realizada con éxito", FIN},
                   {}});
  // Two thousand million values, read run by run within the memory of the
  // runs; a repeat count of ten digits is no value.
  casos.push_back({"two thousand million control parcels of three repeat counts",
                   xml("<NACU>\n2000000000\n<NPCS>\n999999999*0 999999999*0 2*0\n"),
                   0,
                   {FIN},
                   {}});
  casos.push_back({"a repeat count of two thousand million",
                   xml("<NACU>\n2000000000\n<NPCS>\n2000000000*0\n"),
                   1,
                   {"Error en la lectura del archivo de datos de Kelmar XML"},
                   {}});

  // Outputs that name no file of the run's own.
  casos.push_back(
      {"both partial result files /dev/null",
       [](const TempDir& d) {
         poner_linea(d, "VekArch.cal", 10, "'/dev/null'");
         poner_linea(d, "VekArch.cal", 11, "'/dev/null'");
       },
       0,
       {"Los calculos se han realizado con exito", "Simulación Finalizada con éxito"},
       [](const TempDir& d) { EXPECT_FALSE(std::filesystem::exists(d.file("conducciones_parcial.csv"))); }});
  // The partial result file of reaches where the balances would go, with
  // the balances switched off; that of reservoirs where the risk report
  // would go, in a run without risk levels: each holds its own rows.
  casos.push_back(
      {"balances.csv without balances",
       [](const TempDir& d) {
         cambiar(d, "coeficientes.dat", "<OPCIONBALANCES>\r\n1", "<OPCIONBALANCES>\r\n0");
         poner_linea(d, "VekArch.cal", 10, "'balances.csv'");
       },
       0,
       {"Simulación Finalizada con éxito"},
       [](const TempDir& d) { EXPECT_EQ(d.read("balances.csv").rfind("Nombre Conduccion;Fecha;", 0), 0u); }});
  // With the balances on, the same name is refused once the coefficients
  // are read, before any result file is opened; the run log has the reason.
  casos.push_back({"balances.csv with balances",
                   [](const TempDir& d) { poner_linea(d, "VekArch.cal", 10, "'balances.csv'"); },
                   1,
                   {"No existe archivo de niveles de riesgo",
                    "Error en el archivo Vekarch.cal: los archivos de salida del registro 10 y del a"},
                   [](const TempDir& d) { EXPECT_FALSE(std::filesystem::exists(d.file("balances.csv"))); }});
  casos.push_back({"Riesgocal.csv without risk levels",
                   [](const TempDir& d) { poner_linea(d, "VekArch.cal", 11, "'Riesgocal.csv'"); },
                   0,
                   {"No existe archivo de niveles de riesgo", "Simulación Finalizada con éxito"},
                   [](const TempDir& d) { EXPECT_EQ(d.read("Riesgocal.csv").rfind("Nombre Embalse;Fecha;", 0), 0u); }});

  // A negative count of drought periods.
  // The criteria of the example's checks, with -1 failures permitted in a
  // drought for the temperature and a count of -1 periods: the drought
  // verdict of the temperature fails in every reach (its failures are all
  // point failures), the others hold.
  casos.push_back({"a negative count of drought periods",
                   [](const TempDir& d) {
                     overlay_inputs(e2e_data("input/basin"), d);
                     cambiar(d, "Criterios.txt", "\r\n1    2    2    3\r\n", "\r\n1    2    -1    3\r\n");
                     cambiar(d, "Criterios.txt", "\r\n1\r\n22   23", "\r\n-1\r\n22   23");
                   },
                   0,
                   {"Simulación Finalizada con éxito"},
                   [](const TempDir& d) {
                     const std::vector<std::string> l = crlf_lines(d.read("Criterios.csv"));
                     ASSERT_GT(l.size(), 10u);
                     EXPECT_EQ(std::vector<std::string>(l.begin() + 4, l.begin() + 8),
                               (std::vector<std::string>{"Rio Alto;   1;CUMPLE    ;   0;NO CUMPLE ;",
                                                         "Rio Medio;   3;NO CUMPLE ;   0;NO CUMPLE ;",
                                                         "Rio Bajo;   4;NO CUMPLE ;   0;NO CUMPLE ;",
                                                         "Tramo del Acuifero;   4;NO CUMPLE ;   0;NO CUMPLE ;"}));
                     EXPECT_EQ(l[10], "Rio Alto;   0;CUMPLE    ;   0;CUMPLE    ;");
                   }});

  // A criteria file that exists but cannot be opened.
  // Asked before the network is read: no month is computed, no partial
  // result file written.
  casos.push_back({"a folder named Criterios.txt",
                   [](const TempDir& d) { std::filesystem::create_directory(d.file("Criterios.txt")); },
                   1,
                   {"Error en el acceso al archivo de criterios"},
                   [](const TempDir& d) {
                     for (const std::string& x : registro(d)) {
                       EXPECT_EQ(x.find("Los calculos se han realizado con exito"), std::string::npos);
                       EXPECT_EQ(x.find("Lectura"), std::string::npos) << x;
                     }
                     for (const char* salida : {"conducciones_parcial.csv", "embalses_parcial.csv", "balances.csv"})
                       EXPECT_FALSE(std::filesystem::exists(d.file(salida))) << salida;
                   }});

  // A finite result too wide for its field.
  casos.push_back({"a reach about a millimetre deep: the Manning coefficients of Rio Medio read by the power law",
                   [](const TempDir& d) {
                     std::string t = d.read("calidad.dat");
                     const std::string manning = "       1        1        1        2    TIPOHID";
                     t.replace(t.find(manning), manning.size(), "       1        2        1        2    TIPOHID");
                     d.write("calidad.dat", t);
                   },
                   0,
                   {"Campo con asteriscos (valor que no cabe en su formato), revise los datos",
                    "Archivo: conducciones_parcial.csv", "Registro:          18", "Columna:           9 Ka(1/d)",
                    "Elemento: Rio Medio", "Simulación Finalizada con éxito"},
                   [](const TempDir& d) {
                     // The reaeration rate of the 17th row is the first field of asterisks.
                     const std::vector<std::string> l = crlf_lines(d.read("conducciones_parcial.csv"));
                     ASSERT_GT(l.size(), 17u);
                     for (std::size_t i = 0; i < 17; ++i) EXPECT_EQ(l[i].find('*'), std::string::npos) << l[i];
                     std::string campo = l[17];
                     for (int n = 1; n < 9; ++n) campo.erase(0, campo.find(';') + 1);
                     EXPECT_EQ(campo.substr(0, campo.find(';')), std::string(12, '*'));
                   }});

  correr_tabla(casos);
}

// Basins that real runs bring, one row each (CorridaCambiada).
TEST(Robustness, BasinsThatRealRunsBring) {
  std::vector<CorridaCambiada> casos;
  const std::string EXITO_CALIDAD = "Lectura de archivos de calidad realizada con éxito";
  const std::string FIN = "Simulación Finalizada con éxito";
  // No line of the run log is `texto` (blanks at either end left out).
  auto sin_linea = [](const std::string& texto) {
    return [texto](const TempDir& d) { EXPECT_FALSE(contiene(registro_recortado(d), texto)) << texto; };
  };

  // ---- Quality input: a short quality of inflows file, outputs through a
  // link, a reach without a cross-section, a share of the layer flows. ----
  casos.push_back({"a quality of inflows file one line short (its last line lost)",
                   [](const TempDir& d) {
                     std::string t = d.read("aportaciones.dat");
                     t.erase(t.rfind("\r\n", t.size() - 3) + 2);
                     d.write("aportaciones.dat", t);
                   },
                   1,
                   {EXITO_CALIDAD, "Error en la lectura del archivo de Aportaciones de calidad",
                    "Error en la linea numero:", "274"},
                   sin_linea("Error en la lectura del archivo de calidad")});
  // Refused before the run log is opened: no file is written.
  casos.push_back({"the tagged file through a link to the table for graphics, not written yet",
                   [](const TempDir& d) {
                     poner_linea(d, "VekArch.cal", 12, "'l.xml'");
                     std::filesystem::create_symlink("graficos.txt", d.file("l.xml"));
                   },
                   1,
                   {},
                   [](const TempDir& d) {
                     for (const char* f : {"tornal.log", "graficos.txt", "conducciones_parcial.csv"})
                       EXPECT_FALSE(std::filesystem::exists(d.file(f))) << f;
                   },
                   "Error en el archivo Vekarch.cal: los archivos de salida del registro 12 y del registro 13 son el "
                   "mismo archivo, graficos.txt\n"});
  // Stopped after the validation, before the quality of inflows file.
  casos.push_back({"a Manning channel of slope 0 (the bed slopes of the example's reaches)",
                   [](const TempDir& d) {
                     cambiar(d, "calidad.dat", "   0.002   0.0015    0.001      0.3    coeficiente 3",
                             "     0.0   0.0015    0.001      0.3    coeficiente 3");
                   },
                   1,
                   {EXITO_CALIDAD, "Los coeficientes hidráulicos de las conducciones deben ser un valor positivo",
                    "Conducción:", "Rio Alto"},
                   sin_linea("Lectura de archivo de aportaciones de calidad realizada con éxito")});
  // A bottom width of -15 m in Rio Medio, with side slopes 0 or 2: no
  // cross-section, its one warning among the reach data, and the stop.
  for (const char* talud : {"0.0", "2.0"})
    casos.push_back({"a Manning channel of bottom width -15 m",
                     [talud](const TempDir& d) {
                       cambiar(d, "calidad.dat", "    15.0     20.0     25.0      0.4    coeficiente 2",
                               "    15.0    -15.0     25.0      0.4    coeficiente 2");
                       cambiar(d, "calidad.dat", "     2.0      2.0      2.5     0.45    coeficiente 4",
                               std::string("     2.0      ") + talud + "      2.5     0.45    coeficiente 4");
                     },
                     1,
                     {EXITO_CALIDAD, "Los coeficientes hidráulicos de las conducciones deben ser un valor positivo",
                      "Conducción:", "Rio Medio"},
                     [](const TempDir& d) {
                       const std::vector<std::string> l = registro_recortado(d);
                       EXPECT_EQ(std::count(l.begin(), l.end(),
                                            "Los coeficientes hidráulicos de las conducciones deben ser un valor "
                                            "positivo"),
                                 1);
                       EXPECT_FALSE(contiene(l, "Lectura de archivo de aportaciones de calidad realizada con éxito"));
                     }});
  // Rio Medio of hydraulic mode 3: no depth and no velocity. It stops the
  // run after the warnings, its one warning among the reach data.
  const std::string MODO = "El modo de estimación hidráulica sólo puede valer 1 ó 2";
  casos.push_back({"a modelled reach of hydraulic mode 3",
                   [](const TempDir& d) {
                     cambiar(d, "calidad.dat", "       1        1        1        2    TIPOHID",
                             "       1        3        1        2    TIPOHID");
                   },
                   1,
                   {EXITO_CALIDAD, MODO, "Conducción:", "Rio Medio"},
                   [MODO](const TempDir& d) {
                     const std::vector<std::string> l = registro_recortado(d);
                     EXPECT_EQ(std::count(l.begin(), l.end(), MODO), 1);
                     EXPECT_FALSE(contiene(l, "Lectura de archivo de aportaciones de calidad realizada con éxito"));
                   }});
  // A tagged coefficients file without a section: the thetas, which the
  // oxygen of the example needs, are a read error naming the section where
  // the reading ended; the thermocline coefficient is a choice, taken as 0
  // and named: the reservoir has one layer in every month.
  auto sin_seccion = [](const char* seccion, const char* valores) {
    return [seccion, valores](const TempDir& d) {
      cambiar(d, "coeficientes.dat", std::string(seccion) + "\r\n" + valores + "\r\n", "");
    };
  };
  casos.push_back({"a coefficients file without the thetas",
                   sin_seccion("<TECTAS>", "1.024   1.047   1.047   1.083   1.045   1.066   1.080   1.047"),
                   1,
                   {"Lectura de archivo de aportaciones de calidad realizada con éxito",
                    "Error en la lectura del archivo de coeficientes", "Error en la linea numero:", "59",
                    "Falta la sección <TECTAS>"},
                   sin_linea("Lectura de archivo de coeficientes realizada con éxito")});
  // The wind law of reaeration that "tornal.avz" alone asks of the
  // reservoir, in every month (KAEMB 0.5 in the quality data file): without
  // <EMBALSES> the run stops once that file is read, with the read error of
  // the coefficients file where its reading ended and the section named;
  // with it, every month is that of the example, whose KAEMB is -1.
  auto viento_en_avz = [](bool embalses) {
    return [embalses](const TempDir& d) {
      cambiar(d, "calidad.dat", "    -1.0    KAEMB", "     0.5    KAEMB");
      if (!embalses) cambiar(d, "coeficientes.dat", "<EMBALSES>\r\n0.05   0.01   2.0\r\n", "");
      std::string avz = "<CTES_TEMPORALES>\n0 1\n1\n1\n";
      for (int t = 1; t <= 24; ++t) avz += "-1\n";
      d.write("tornal.avz", avz);
    };
  };
  casos.push_back(
      {"the wind law of reaeration in tornal.avz alone, without <EMBALSES>",
       viento_en_avz(false),
       1,
       {"Lectura de archivo de coeficientes realizada con éxito", "Existen constantes variables de forma temporal",
        "Lectura de archivo tORNAL.aVZ realizada con éxito", "Error en la lectura del archivo de coeficientes",
        "Error en la linea numero:", "59", "Falta la sección <EMBALSES>"},
       sin_linea("Mes           1")});
  casos.push_back({"the wind law of reaeration in tornal.avz alone, with <EMBALSES>",
                   viento_en_avz(true),
                   0,
                   {"Existen constantes variables de forma temporal", FIN},
                   [](const TempDir& d) {
                     TempDir ejemplo;
                     copy_example("basin", ejemplo);
                     ASSERT_EQ(run_tornal(ejemplo).status, 0);
                     for (const char* f : {"embalses_parcial.csv", "graficos.txt"})
                       EXPECT_EQ(d.read(f), ejemplo.read(f)) << f;
                   }});
  casos.push_back(
      {"a coefficients file without the thermocline coefficient",
       sin_seccion("<COEFTETERMOCLINA>", "0.8"),
       0,
       {"Archivo de coeficientes sin la sección <COEFTETERMOCLINA>", "Se toma 0: todos los embalses de una sola capa",
        "Lectura de archivo de coeficientes realizada con éxito", FIN},
       [](const TempDir& d) {
         const auto filas = filas_de(d, "Embalse Mayor;", "embalses_parcial.csv");
         ASSERT_FALSE(filas.empty());
         for (const auto& f : filas) EXPECT_EQ(std::stod(f[4]), 0.0) << f[1];  // hypolimnion volume
       }});
  // Every month of the share named, then the stop before the first month.
  casos.push_back({"an epilimnion share of the outflows of 1.5",
                   [](const TempDir& d) { cambiar(d, "calidad.dat", "     0.3    SALEM", "     1.5    SALEM"); },
                   1,
                   {"La proporción de salidas del epilimnión debe ser un valor entre 0 y 1",
                    "Embalse:", "Embalse Mayor", "Mes hidrológico           1", "Mes hidrológico          24"},
                   sin_linea("Los calculos se han realizado con exito")});
  // ---- end of quality input ----

  // ---- A spring-fed reach, and a canal in flood -------------------------
  // In April of the first year (row 7 of the results) the Tramo del
  // Acuifero gains 0.3 hm3 from its aquifer and carries 0.3 at its end: no
  // head flow. It writes its rows, and they are those of the reach with a
  // trickle of about 0.02 m3/day at its head (6e-7 hm3 a month) within a
  // thousandth: the trickle is a ten-thousandth of the flow of the first
  // of its 24 segments, and brings the water of the node above.
  auto manantial = [](const char* caudal_final) {
    return [caudal_final](const TempDir& d) {
      cambiar(d, "resultados.dat", " 9.7470 -0.3000 ", std::string(" ") + caudal_final + " -0.3000 ");
      cambiar(d, "calidad.dat", "       0        1        0        0    INRESPARCOND",
              "       0        1        0        1    INRESPARCOND");
    };
  };
  casos.push_back({"a spring-fed reach: no head flow and a gain from the aquifer",
                   manantial("0.3000000"),
                   0,
                   {FIN},
                   [manantial](const TempDir& d) {
                     TempDir hilo;
                     ASSERT_EQ(correr_cambiado(hilo, manantial("0.3000006")).status, 0);
                     const auto filas = filas_de(d, "Tramo del Acuifero;Abr-2001;");
                     const auto esperadas = filas_de(hilo, "Tramo del Acuifero;Abr-2001;");
                     ASSERT_EQ(filas.size(), 23u);
                     ASSERT_EQ(esperadas.size(), filas.size());
                     for (std::size_t i = 0; i < filas.size(); ++i)
                       for (std::size_t j = 3; j < filas[i].size(); ++j) {
                         const double v = std::stod(filas[i][j]), e = std::stod(esperadas[i][j]);
                         EXPECT_NEAR(v, e, 1e-5 + 1e-3 * std::fabs(e)) << "row " << i + 1 << " field " << j + 1;
                       }
                   }});
  // The same reach in a risk run counts its levels in that month.
  casos.push_back({"a spring-fed reach in a risk run",
                   [manantial](const TempDir& d) {
                     manantial("0.3000000")(d);
                     std::string niveles = "Niveles de riesgo de calidad\r\n10\r\n";
                     for (int k = 1; k <= 10; ++k) niveles += "'Bloque'\r\n2\r\n1.0\r\n----\r\n";
                     d.write("NivelesRQ.dat", niveles);
                   },
                   0,
                   {"NumDoncucion, año, mes           4           7           1", FIN},
                   {}});
  // Rio Medio as a canal 1 m wide at its bottom, side slopes 2, slope
  // 0.0001 and roughness 0.025, carrying 10 m3/s (25.92 hm3) in February of
  // the first year: its normal depth is 2.9087 m (0.119 m and 67.6 m/s
  // where the secant stopped short of it), the same in each of its rows.
  casos.push_back({"a canal in flood",
                   [](const TempDir& d) {
                     cambiar(d, "calidad.dat", "   0.035    0.035     0.04", "   0.035    0.025     0.04");
                     cambiar(d, "calidad.dat", "    15.0     20.0     25.0", "    15.0      1.0     25.0");
                     cambiar(d, "calidad.dat", "   0.002   0.0015    0.001", "   0.002   0.0001    0.001");
                     cambiar(d, "resultados.dat", "14.0000 11.4450 13.3450", "14.0000 25.9200 13.3450");
                   },
                   0,
                   {FIN},
                   [](const TempDir& d) {
                     const auto filas = filas_de(d, "Rio Medio;Feb-2001;");
                     ASSERT_EQ(filas.size(), 16u);
                     for (const auto& f : filas) {
                       const double Q = std::stod(f[3]), U = std::stod(f[4]), A = std::stod(f[5]), Y = std::stod(f[6]);
                       EXPECT_NEAR(Q, 10.0, 1e-5);
                       EXPECT_NEAR(Y, 2.9087, 0.01);
                       EXPECT_NEAR(A, (2.0 * Y + 1.0) * Y, 1e-4);
                       EXPECT_NEAR(U * A, Q, 1e-4);
                     }
                   }});
  // The Tramo del Acuifero cut into 600 segments with no dispersion, fed in
  // April of the first year by 0.4 m3 from its aquifer alone, or with a
  // litre at its head: a flow that the solves cannot tell from 0 on its
  // segments (the first pivot is 0.00001 m3/day). The month is one mixed
  // segment over the reach's length, noted and counted in the run log: its
  // concentrations in the table for graphics are those of the reach made
  // one segment by a step above its length, and the partial result file has
  // no row of it (one segment has none below its last), where the month
  // before has 599.
  auto hilo_manantial = [](const char* caudal_final, const char* incrx) {
    return [caudal_final, incrx](const TempDir& d) {
      cambiar(d, "resultados.dat", " 9.7470 -0.3000 ", std::string(" ") + caudal_final + " -0.0000004 ");
      cambiar(d, "calidad.dat", "       0        1        0        0    INRESPARCOND",
              "       0        1        0        1    INRESPARCOND");
      cambiar(d, "calidad.dat", "    10.0     15.0     20.0     20.0    ECOND",
              "    10.0     15.0     20.0      0.0    ECOND");
      cambiar(d, "calidad.dat", "   500.0    500.0    500.0    250.0    INCRX",
              std::string("   500.0    500.0    500.0 ") + incrx + "    INCRX");
    };
  };
  for (const char* caudal_final : {"0.0000004", "0.000000401"})
    casos.push_back({"a spring of 0.4 m3 a month over 600 segments",
                     hilo_manantial(caudal_final, "   10.0"),
                     0,
                     {"El caudal de la conducción es demasiado pequeño para el cálculo del transporte",
                      "Conducción:", "Tramo del Acuifero", "Año, Mes:           1           7",
                      "Se calcula como un solo segmento de mezcla completa",
                      "Meses de la conducción calculados como un solo segmento de mezcla completa",
                      "Conducción:", "Tramo del Acuifero", "Número de meses:           1", FIN},
                     [hilo_manantial, caudal_final](const TempDir& d) {
                       TempDir uno;
                       ASSERT_EQ(correr_cambiado(uno, hilo_manantial(caudal_final, " 7000.0")).status, 0);
                       EXPECT_EQ(filas_de(d, "Tramo del Acuifero;Abr-2001;").size(), 0u);
                       EXPECT_EQ(filas_de(d, "Tramo del Acuifero;Mar-2001;").size(), 599u);
                       auto del_mes = [](const TempDir& x) {
                         std::vector<std::string> v;
                         for (const std::string& l : crlf_lines(x.read("graficos.txt")))
                           if (l.find(";Abr-2001;Tramo del Acuifero;") != std::string::npos) v.push_back(l);
                         return v;
                       };
                       const std::vector<std::string> valores = del_mes(d);
                       ASSERT_GT(valores.size(), 10u);
                       EXPECT_EQ(valores, del_mes(uno));
                       for (const std::string& l : valores) {
                         const std::string v = l.substr(l.find("Acuifero;") + 9);
                         EXPECT_TRUE(std::isfinite(std::stod(v))) << l;
                       }
                     }});
  // ---- end of the spring-fed reach and the canal in flood ----------------

  // ---- A reservoir of 100 ha left holding 2 m3 (200 m3 with the heat
  // balance) in November and December, and a weir pool of 1000 m3 passing
  // 100 m3/s. Each month that its sub-steps cannot bear or that diverges is
  // integrated with finer ones up to 61 440, the finest count within the
  // bound: the 200 m3 settle there. A month that diverges and that no count
  // within the bound can follow (the step grows an error of its first
  // sub-step even at the finest count: the 2 m3 held in December, the pool
  // in every month) takes the mix of the water held and received at once,
  // named with the given sub-steps; the reservoir is listed with a possible
  // numerical error, and nothing that the water cannot hold reaches the
  // reservoir's results or the reaches below.
  struct Embalse {
    const char* que;
    bool calor, pozo;
    double resto;  // hm3 held: in November and December, or always in a pool
    std::vector<std::string> registro;
  };
  const std::string mezcla = "Se asume la mezcla del agua embalsada y de la que entra";
  // The run log's lines: the first finer month by its cause (none: no month
  // refined), the first mixed month with the constituent that diverged
  // (none: no month mixed), and the counts of both at the end of the run,
  // with the most sub-steps of a finer month.
  auto registro = [mezcla](const char* causa, int mes_fino, const std::string& contaminante, int mes_mezcla, int finos,
                           int mezclas) {
    auto mes = [](int n) { return "Año, Mes:           1" + tornal::edit_I(n, 12); };
    const std::vector<std::string> embalse = {"Embalse:", "Embalse Mayor"};
    std::vector<std::string> l;
    auto mas = [&l](const std::vector<std::string>& x) { l.insert(l.end(), x.begin(), x.end()); };
    if (causa)
      mas({causa, embalse[0], embalse[1], mes(mes_fino),
           "Se integra el mes con subpasos más finos, número de subpasos:       61440"});
    if (!contaminante.empty())
      mas({"El cálculo del embalse diverge y no se resuelve con subpasos más finos", embalse[0], embalse[1],
           mes(mes_mezcla), "Contaminante: " + contaminante, "Número de subpasos:          30", mezcla,
           "Posible error numerico, revise los datos o diferencial de cálculo", "Numero de embalse           1"});
    if (causa)
      mas({"Meses del embalse integrados con subpasos más finos", embalse[0], embalse[1],
           "Número de meses:" + tornal::edit_I(finos, 12), "Número máximo de subpasos:       61440"});
    if (!contaminante.empty())
      mas({"Meses del embalse con la mezcla del agua embalsada y de la que entra", embalse[0], embalse[1],
           "Número de meses:" + tornal::edit_I(mezclas, 12)});
    mas({"Simulación Finalizada con éxito"});
    return l;
  };
  const char* no_admite = "El cálculo del embalse no admite los subpasos dados";
  const std::vector<std::string> pozo = registro(nullptr, 0, "Temperatura", 1, 0, 24);
  for (const Embalse& e : {Embalse{"100 ha holding 2 m3 for two months", false, false, 2e-6,
                                   registro(no_admite, 2, "Temperatura", 3, 4, 4)},
                           Embalse{"100 ha holding 200 m3 for two months, heat balance", true, false, 2e-4,
                                   registro(no_admite, 2, "", 0, 6, 0)},
                           Embalse{"a weir pool", false, true, 0.001, pozo},
                           Embalse{"a weir pool, heat balance", true, true, 0.001, pozo}}) {
    std::vector<double> fin(12, e.pozo ? e.resto : 5.0), entra(12, e.pozo ? 259.2 : 5.0);
    if (!e.pozo) fin[1] = fin[2] = e.resto, entra[1] = entra[2] = 0.1, entra[3] = 5.2;
    const bool mezclado = std::find(e.registro.begin(), e.registro.end(), mezcla) != e.registro.end();
    casos.push_back({e.que,
                     [=](const TempDir& d) {
                       if (e.calor) balance_de_calor(d);
                       embalse_llano(d, e.pozo ? 0.05 : 100.0, fin, entra);
                     },
                     0, e.registro,
                     [mezclado, mezcla, sin_linea](const TempDir& d) {
                       resultados_fisicos(d);
                       if (!mezclado) sin_linea(mezcla)(d);
                     }});
  }
  // ---- end of the reservoir of a few cubic metres.

  // ---- Reservoir months whose given sub-steps the step cannot bear: the
  // example with one sub-step a month (a step of 30 days on coliforms that
  // decay by 1.6 a day), the heat-balance basin with three (its November
  // overshoots the temperature at which the surface flux balances the
  // rest), 44 hm3 drawn down to 0.05 % of it in August and September, and
  // 0.85 hm3 on 10 ha under the heat balance drawn down to 100 m3 in August
  // and September, fed by 0.01 m3/s (where a stage of the load into the
  // residual water once passed the guard and the month took the mix), each
  // with Rio Medio below. Each is integrated with sub-steps that the step
  // bears: no month takes the mix, the reservoir is not flagged, every value
  // is physical, and in the months named the reservoir and the reach below
  // are within the scheme's error of the same basin integrated with 1920
  // sub-steps a month. The step is of first order: its error at n sub-steps
  // (at least those given) is about 240 / n times that at 240, which the
  // change from 240 to 1920 gives (8 / 7 of it); in the reservoir that is
  // capped by what a step the judge bears can err, 0.157 of the month's
  // change (at one sub-step of a decay of 2: R(-2) = 0 where e^-2 = 0.135).
  // The allowance is three times that, the reference's own error and two
  // units of the table's last decimal. One sub-step of 30 days gave March 1338.9 coliforms where the
  // fine month gives 9.08 from about 10.
  const std::string INCRETIEM = "    30.0    INCRETIEM";
  auto sub_pasos = [INCRETIEM](const char* n) {
    return [INCRETIEM, n](const TempDir& d) { cambiar(d, "calidad.dat", INCRETIEM, std::string(n) + "    INCRETIEM"); };
  };
  auto calor = [](const TempDir& d) { overlay_inputs(e2e_data("input/basin-heat"), d); };
  auto vaciado = [](const TempDir& d) {
    std::vector<double> fin(12, 44.0), entra(12, 5.0);
    fin[10] = fin[11] = 44.0 * 5e-4, entra[0] = 50.0;  // filled again in October
    embalse_llano(d, 400.0, fin, entra);
  };
  auto vertido = [](const TempDir& d) {
    overlay_inputs(e2e_data("input/basin-heat"), d);
    std::vector<double> fin(12, 0.85), entra(12, 5.0);
    fin[10] = fin[11] = 1e-4, entra[10] = entra[11] = 0.1;
    embalse_llano(d, 10.0, fin, entra);
  };
  struct Fino {
    const char* que;
    std::function<void(const TempDir&)> cuenca;  // the basin, before its sub-steps
    const char* subpasos;
    // The constituent, the month, the month before and the element.
    std::vector<std::tuple<std::string, std::string, std::string, std::string>> cerca;
  };
  for (const Fino& f : {Fino{"the example with one sub-step a month",
                             [](const TempDir&) {},
                             "     1.0",
                             {{"Coliformes totales", "Mar-2001", "Feb-2001", "Embalse Mayor"}}},
                        Fino{"the heat-balance basin with three sub-steps a month",
                             calor,
                             "     3.0",
                             {{"Temperatura", "Nov-2000", "Oct-2000", "Embalse Mayor"}}},
                        Fino{"44 hm3 drawn down to 0.05 % in August and September",
                             vaciado,
                             "    30.0",
                             {{"Coliformes totales", "Ago-2001", "Jul-2001", "Embalse Mayor"},
                              {"Temperatura", "Ago-2001", "Jul-2001", "Embalse Mayor"}}},
                        Fino{"0.85 hm3 drawn down to 100 m3 in August and September, fed by 0.01 m3/s",
                             vertido,
                             "    30.0",
                             {{"Coliformes totales", "Sep-2001", "Ago-2001", "Embalse Mayor"},
                              {"Oxígeno Disuelto", "Sep-2001", "Ago-2001", "Embalse Mayor"},
                              {"Temperatura", "Sep-2001", "Ago-2001", "Embalse Mayor"},
                              {"Coliformes totales", "Sep-2001", "Ago-2001", "Rio Medio"}}}}) {
    casos.push_back(
        {f.que,
         [f, sub_pasos](const TempDir& d) {
           f.cuenca(d);
           sub_pasos(f.subpasos)(d);
         },
         0,
         {"Meses del embalse integrados con subpasos más finos", "Embalse:", "Embalse Mayor", FIN},
         [f, sub_pasos, sin_linea](const TempDir& d) {
           resultados_fisicos(d);
           sin_linea("Se asume la mezcla del agua embalsada y de la que entra")(d);
           sin_linea("Posible error numerico, revise los datos o diferencial de cálculo")(d);
           const int n = static_cast<int>(std::stod(f.subpasos));
           TempDir fino, medio;
           for (auto [dir, cuenta] : {std::pair<TempDir*, const char*>{&fino, "  1920.0"}, {&medio, "   240.0"}})
             ASSERT_EQ(correr_cambiado(*dir,
                                       [&](const TempDir& x) {
                                         f.cuenca(x);
                                         sub_pasos(cuenta)(x);
                                       })
                           .status,
                       0);
           for (const auto& [contaminante, fecha, antes, elemento] : f.cerca) {
             const double v = valor_grafico(d, contaminante, fecha, elemento);
             const double r = valor_grafico(fino, contaminante, fecha, elemento);
             const double cambio = std::fabs(valor_grafico(medio, contaminante, fecha, elemento) - r) * 8.0 / 7.0;
             double orden = 240.0 / n * cambio;
             if (elemento == "Embalse Mayor")
               orden = std::min(orden, 0.157 * std::fabs(r - valor_grafico(fino, contaminante, antes, elemento)));
             EXPECT_LE(std::fabs(v - r), 3.0 * orden + cambio / 7.0 + 0.002)
                 << contaminante << " " << fecha << " " << elemento << ": " << v << " " << r << " from "
                 << valor_grafico(d, contaminante, antes, elemento);
           }
         }});
  }

  correr_tabla(casos);
}
