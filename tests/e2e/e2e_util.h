// Whole runs of the program: a basin copied into a temporary folder, the
// program run there, its console, exit status and run log read back.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "common/latin1.h"
#include "modelo/modelo.h"
#include "run/tornal.h"
#include "test_util.h"

namespace tornal_test {

struct RunResult {
  int status = -1;
  std::string console;
};

// Copies the input files of the example basin `name` into `dir`: its run
// configuration, the files that configuration reads and the optional files
// with fixed names. What a run of the example left in its folder (run log,
// result files) is never copied, so a test does not depend on earlier runs.
inline void copy_example(const std::string& name, const TempDir& dir) {
  namespace fs = std::filesystem;
  const std::string origen = std::string(TORNAL_EXAMPLES) + "/" + name;
  tornal::Modelo m;
  m.carpeta = origen;
  tornal::leer_vekarch(m);
  const tornal::Configuracion& c = m.conf;
  std::vector<std::string> entradas = {"VekArch.cal", "bucle.avz", "tornal.avz", "NivelesRQ.dat", "Criterios.txt"};
  for (const std::string* ruta : {&c.PATHARCHIVO, &c.PATHARCHIVOKELMARXML, &c.PATHARCHIVO2, &c.PATHARCHIVO3,
                                  &c.PATHARCHIVO4, &c.PATHARCHIVO5, &c.PATHARCHIVO23, &c.PATHARCHIVO22})
    entradas.push_back(tornal::trimmed(*ruta));
  for (const std::string& e : entradas) {
    const fs::path desde = fs::path(origen) / e;
    if (e.empty() || fs::path(e).is_absolute() || !fs::is_regular_file(desde)) continue;
    fs::create_directories((fs::path(dir.path()) / e).parent_path());
    fs::copy_file(desde, fs::path(dir.path()) / e, fs::copy_options::overwrite_existing);
  }
}

// Runs the program in `dir` with no arguments.
inline RunResult run_tornal(const TempDir& dir) {
  std::string cmd = "cd '" + dir.path() + "' && '" + TORNAL_BINARY + "' < /dev/null > console.out 2>&1";
  int raw = std::system(cmd.c_str());
  RunResult r;
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.console = dir.read("console.out");
  return r;
}

// The lines of a file written with CR LF line ends, without the leading blank
// of free-format lines removed; `crlf` tells whether every line had CR LF.
inline std::vector<std::string> crlf_lines(const std::string& text, bool* crlf = nullptr) {
  std::vector<std::string> out;
  bool all = true;
  std::size_t p = 0;
  while (p < text.size()) {
    std::size_t e = text.find('\n', p);
    if (e == std::string::npos) {
      out.push_back(text.substr(p));
      all = false;
      break;
    }
    std::string l = text.substr(p, e - p);
    if (!l.empty() && l.back() == '\r')
      l.pop_back();
    else
      all = false;
    out.push_back(l);
    p = e + 1;
  }
  if (crlf) *crlf = all;
  return out;
}

}  // namespace tornal_test
