// The check of the files of a run: at the start, from the run configuration
// and the optional files present, and again once the options are read.
#include "run/output_paths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "test_util.h"

namespace {

using tornal::Configuracion;
using tornal_test::TempDir;

// Every "@" of a text replaced by the folder's path and a slash.
std::string en(const TempDir& d, const std::string& texto) {
  std::string out;
  for (char ch : texto) out += ch == '@' ? d.path() + "/" : std::string(1, ch);
  return out;
}

std::string mismo(const std::string& a, const std::string& b, const std::string& ruta) {
  return "Error en el archivo Vekarch.cal: los archivos de salida del " + a + " y del " + b +
         " son el mismo archivo, " + ruta;
}

std::string entrada(const std::string& a, const std::string& b, const std::string& ruta) {
  return "Error en el archivo Vekarch.cal: el archivo de salida del " + a + " es el archivo de entrada del " + b +
         ", " + ruta;
}

}  // namespace

// Each row: records of the example's configuration set to other paths ("@"
// the folder), the files laid in the folder first ("tubo" a FIFO, "b.csv" a
// second name of "a.csv", "x->y" a symbolic link x to y, "d/" a folder),
// whether the coefficients switch the balances on, and the refusal of each
// check ("" when the run goes on). The inputs of the configuration do not
// exist.
TEST(OutputPaths, OutputsAreRefusedOnlyWhereTheRunWouldOverwriteAFile) {
  using Registro = std::pair<std::string Configuracion::*, std::string>;
  const auto R10 = &Configuracion::NOMARCHCONDPAR1, R11 = &Configuracion::NOMARCHEMBPAR1;
  const auto R12 = &Configuracion::NOMARCHIVO, R13 = &Configuracion::NOMARCHIGRF, R20 = &Configuracion::ARCHIVOLOG;
  struct Caso {
    std::vector<Registro> registros;
    std::vector<std::string> archivos;
    bool balances;
    std::string al_inicio, tras_la_lectura;
  };
  const std::string TUBO = entrada("registro 11", "registro 6", "@tubo");
  const std::string HARD = mismo("registro 10", "registro 13", "@b.csv");
  const std::string RIESGO = mismo("registro 11", "archivo Riesgocal.csv", "@Riesgocal.csv");
  const std::string TABLA = mismo("registro 12", "archivo TablaCal.dir", "@TablaCal.dir");
  const std::string CRIT = mismo("registro 20", "archivo Criterios.csv", "@Criterios.csv");
  const std::string AVZ = entrada("registro 13", "archivo tornal.avz", "@tornal.avz");
  const std::string ENLACE = mismo("registro 12", "registro 13", "@t.xml");
  const std::string DOS = mismo("registro 10", "registro 11", "@l2.csv");
  const std::string CADENA = mismo("registro 10", "registro 13", "@t2.csv");
  const std::string A_ENTRADA = entrada("registro 12", "registro 6", "@cal");
  const std::vector<Caso> casos = {
      {{}, {}, true, "", ""},
      {{{R10, "/dev/null"}, {R11, "/dev/null"}}, {}, true, "", ""},
      {{{R20, "/dev/null"}, {R12, "/dev/null"}, {&Configuracion::PATHARCHIVO4, "/dev/null"}}, {}, true, "", ""},
      {{{R10, "@nulo"}, {R13, "/dev/null"}}, {"nulo"}, true, "", ""},  // a link to /dev/null
      {{{R10, "@tubo"}, {R11, "@tubo"}}, {"tubo"}, true, "", ""},
      {{{R11, "@tubo"}, {&Configuracion::PATHARCHIVO3, "@tubo"}}, {"tubo"}, true, TUBO, TUBO},
      {{{R10, "@a.csv"}, {R13, "@b.csv"}}, {"b.csv"}, true, HARD, HARD},
      {{{R10, "@balances.csv"}}, {}, false, "", ""},
      {{{R10, "@balances.csv"}}, {}, true, "", mismo("registro 10", "archivo balances.csv", "@balances.csv")},
      {{{&Configuracion::PATHARCHIVO2, "@balances.csv"}}, {}, false, "", ""},
      {{{&Configuracion::PATHARCHIVO2, "@balances.csv"}},
       {},
       true,
       "",
       entrada("archivo balances.csv", "registro 4", "@balances.csv")},
      {{{R11, "@Riesgocal.csv"}}, {}, true, "", ""},
      {{{R11, "@Riesgocal.csv"}}, {"NivelesRQ.dat"}, true, RIESGO, RIESGO},
      {{{R12, "@TablaCal.dir"}}, {"NivelesRQ.dat"}, true, "", ""},
      {{{R12, "@TablaCal.dir"}}, {}, true, TABLA, TABLA},
      {{{R20, "@Criterios.csv"}}, {}, true, "", ""},
      {{{R20, "@Criterios.csv"}}, {"Criterios.txt"}, true, CRIT, CRIT},
      // An absent optional input is still no place for an output: a later
      // run would read it.
      {{{R13, "@tornal.avz"}}, {}, true, AVZ, AVZ},
      // Links whose targets do not exist yet end in those targets: a link
      // and its target, two links to one file, a chain whose second link is
      // relative to its own folder, a link to an input.
      {{{R12, "@l.xml"}, {R13, "@t.xml"}}, {"l.xml->t.xml"}, true, ENLACE, ENLACE},
      {{{R10, "@l1.csv"}, {R11, "@l2.csv"}}, {"l1.csv->falta.csv", "l2.csv->falta.csv"}, true, DOS, DOS},
      {{{R10, "@c1.csv"}, {R13, "@t2.csv"}},
       {"sub/", "c1.csv->sub/c2.csv", "sub/c2.csv->../t2.csv"},
       true,
       CADENA,
       CADENA},
      {{{R12, "@e.xml"}}, {"e.xml->cal"}, true, A_ENTRADA, A_ENTRADA},
      // The same chain read from the wrong folder, and a loop of links,
      // end in no other file of the run.
      {{{R10, "@c1.csv"}, {R13, "@sub/t2.csv"}}, {"sub/", "c1.csv->sub/c2.csv", "sub/c2.csv->../t2.csv"}, true, "", ""},
      {{{R10, "@b1.csv"}, {R11, "@emb.csv"}}, {"b1.csv->b2.csv", "b2.csv->b1.csv"}, true, "", ""},
  };
  for (std::size_t i = 0; i < casos.size(); ++i) {
    const Caso& caso = casos[i];
    SCOPED_TRACE(i);
    TempDir dir;
    for (const std::string& f : caso.archivos) {
      if (const std::size_t flecha = f.find("->"); flecha != std::string::npos) {
        std::filesystem::create_symlink(f.substr(flecha + 2), dir.file(f.substr(0, flecha)));
      } else if (f.back() == '/') {
        std::filesystem::create_directory(dir.file(f));
      } else if (f == "tubo") {
        ASSERT_EQ(mkfifo(dir.file(f).c_str(), 0600), 0);
      } else if (f == "nulo") {
        std::filesystem::create_symlink("/dev/null", dir.file(f));
      } else if (f == "b.csv") {
        std::filesystem::create_hard_link(dir.write("a.csv", ""), dir.file(f));
      } else {
        dir.write(f, "x\n");
      }
    }
    tornal::Modelo m;
    tornal_test::prepare(m, dir.path());
    Configuracion& c = m.conf;
    for (auto [r, nombre] : {Registro{&Configuracion::PATHARCHIVO, "red.dat"},
                             {&Configuracion::PATHARCHIVO2, "res"},
                             {&Configuracion::PATHARCHIVOKELMARXML, "red.xml"},
                             {&Configuracion::PATHARCHIVO3, "cal"},
                             {&Configuracion::PATHARCHIVO4, "apo"},
                             {&Configuracion::PATHARCHIVO5, "coef"},
                             {R10, "cond.csv"},
                             {R11, "emb.csv"},
                             {R12, "res.xml"},
                             {R13, "graf.txt"},
                             {R20, "tornal.log"}})
      c.*r = dir.file(nombre);
    for (const Registro& r : caso.registros) c.*r.first = en(dir, r.second);
    EXPECT_EQ(tornal_test::stop_message([&] { tornal::comprobar_archivos_de_la_ejecucion(m); }),
              en(dir, caso.al_inicio));
    m.cal.OPCIONRIESGO = std::filesystem::exists(dir.file("NivelesRQ.dat"));
    m.cal.OPCIONBALANCES = caso.balances ? 1 : 0;
    const std::string tras = en(dir, caso.tras_la_lectura);
    EXPECT_EQ(tornal_test::stop_message([&] { tornal::comprobar_archivos_tras_la_lectura(m); }), tras);
    // Once the run log is open, a refusal is written there as well.
    EXPECT_EQ(m.log.lines(),
              tras.empty() ? std::vector<std::string>{} : tornal::free_format_lines({tornal::latin1(tras)}));
  }
}
