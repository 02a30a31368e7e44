// A whole call of the monthly driver on a small hand-built network: the
// model built from a RedPrueba with its titles, its run log kept in memory
// and its console in a string, the files of the run in a temporary folder.
#pragma once

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "common/latin1.h"
#include "modelo/modelo.h"
#include "red_prueba.h"
#include "simulation/monthly_driver.h"
#include "test_util.h"

namespace tornal_test {

// The files and options of a call of CALCULOSUB, named within the run's
// folder: the partial result files of reaches and reservoirs, the
// calibration of a reach (mode and file, "" for none) and of a reservoir,
// and the twenty-second record of the run configuration.
struct LlamadaCalculo {
  std::string cond = "cond.txt";
  std::string emb = "emb.txt";
  int OPCIONCALIBCOND = 0;
  std::string cal_cond{};
  int OPCIONCALIBEMB = 0;
  std::string cal_emb{};
  int VALORREGISTRO22 = 0;
};

struct Corrida {
  TempDir dir;
  tornal::Modelo m;
  std::ostringstream consola;
  explicit Corrida(const RedPrueba& p) {
    prepare(m, dir.path());
    m.consola = &consola;
    construir(m, p);
    m.cal.TITULO1 = tornal::padded("Cuenca de prueba", 255);
    m.cal.TITULO2 = tornal::padded("Segundo titulo", 255);
  }
  // CALCULOSUB with the files of `a`; the stop message, "" when it ends.
  std::string llamar(const LlamadaCalculo& a = {}) {
    auto ruta = [&](const std::string& nombre) {
      return tornal::padded(nombre.empty() ? "" : dir.file(nombre), tornal::LONGRUTA);
    };
    return stop_message([&] {
      tornal::CALCULOSUB(m, ruta(a.cond), ruta(a.emb), ruta(a.cal_cond), a.OPCIONCALIBCOND, ruta(a.cal_emb),
                         a.OPCIONCALIBEMB, a.VALORREGISTRO22);
    });
  }
  std::vector<std::string> lineas_consola() const {
    std::vector<std::string> out;
    std::istringstream in(consola.str());
    for (std::string l; std::getline(in, l);) out.push_back(l);
    return out;
  }
  // Position of a run-log line (-1 when absent).
  long linea(const std::string& texto) const {
    const std::vector<std::string> l = log_lines(m);
    const auto it = std::find(l.begin(), l.end(), tornal::latin1(texto.c_str()));
    return it == l.end() ? -1 : static_cast<long>(it - l.begin());
  }
};

}  // namespace tornal_test
