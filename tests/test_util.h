// Shared helpers of the tests: a temporary folder that is removed at the
// end, files written into it, a model whose run log is kept in memory, a
// reader run on a file's text, the read-error lines of a file and the lines
// of a file written with CR LF line ends, and a network built from its
// elements.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "common/latin1.h"
#include "common/stop.h"
#include "modelo/modelo.h"
#include "quality_input/kinetic_constants.h"

namespace tornal_test {

class TempDir {
 public:
  TempDir() {
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() / ("tornal_test_" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  std::string path() const { return path_.string(); }
  std::string file(const std::string& name) const { return (path_ / name).string(); }

  // Writes `content` as it stands (bytes); returns the file's path.
  std::string write(const std::string& name, const std::string& content) const {
    std::ofstream out(file(name), std::ios::binary | std::ios::trunc);
    out << content;
    return file(name);
  }

  std::string read(const std::string& name) const { return read_file(file(name)); }

  static std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

 private:
  std::filesystem::path path_;
};

// A model whose run log is kept in memory and whose fixed-name files are
// looked for in `carpeta`.
inline void prepare(tornal::Modelo& m, const std::string& carpeta = std::string()) {
  m.log.open_memory();
  m.carpeta = carpeta;
}

// The lines of the run log without the leading blank of each statement.
inline std::vector<std::string> log_lines(const tornal::Modelo& m) {
  std::vector<std::string> out;
  for (const std::string& l : m.log.lines()) out.push_back(l.empty() ? l : l.substr(1));
  return out;
}

// The message of the stop that `f` ends with ("" when it does not stop).
template <typename F>
std::string stop_message(F&& f) {
  try {
    f();
  } catch (const tornal::Stop& s) {
    return s.what();
  }
  return std::string();
}

// A reader run on a file's text: the file written into a temporary folder, a
// model whose run log is kept in memory and whose fixed-name files are looked
// for in that folder, and the stop message of the reading ("" when the
// reading ends without a stop). A test derives from it to preset the model.
struct FileReading {
  TempDir dir;
  tornal::Modelo m;
  std::string parada;

  FileReading() { prepare(m, dir.path()); }

  // Writes `content` as the file `name` of the folder and runs
  // `reader(path)` on it; keeps and returns the stop message.
  template <typename F>
  std::string read(const std::string& name, const std::string& content, F&& reader) {
    const std::string path = dir.write(name, content);
    parada = stop_message([&] { reader(path); });
    return parada;
  }

  std::vector<std::string> log() const { return log_lines(m); }
};

// The read-error lines of a file: its message, the counter's label and the
// counter in a field of 11.
inline std::vector<std::string> read_error_lines(const std::string& message, const std::string& label, long counter) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%11ld", counter);
  return {message, label, buf};
}

// The lines of a file written with CR LF line ends, without the leading blank
// of free-format lines removed; `crlf` tells whether every line had CR LF
// (without it, a line that has not is a failure of the test).
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
  if (crlf)
    *crlf = all;
  else if (!all)
    ADD_FAILURE() << "a line without CR LF in: " << text.substr(0, 60);
  return out;
}

// A network by its elements, for the tests that need its nodes: reaches of
// types 1 to 5 with their nodes, numbered within their type in the order they
// are given and globally type by type; intakes with the return they feed (0:
// none), returns, plants and reservoirs by their nodes; and NUMNUDOSFIS.
struct TramoRed {
  int tipo;
  int inicial;
  int final_;
};
struct TomaRed {
  int nudo;
  int retorno;  // return number, 0 = none
};
struct CentralRed {
  int toma;
  int reincorporacion;
};
struct ElementosRed {
  std::vector<TramoRed> tramos = {};
  std::vector<TomaRed> tomas = {};
  std::vector<int> retornos = {};  // NUDORET
  std::vector<CentralRed> centrales = {};
  std::vector<int> embalses = {};  // NUMNUDOEMB
  int nudos_fis = 100;
};

// Sets the counts, the per-type node arrays and CONDUCCIONES of the reaches,
// NUMTOMA and NUMRETTOMA, NUDORET, NUDTOMACEN and NUDREINCEN, NUMNUDOEMB and
// NUMNUDOSFIS of `r` from `d`.
inline void montar_elementos(tornal::Red& r, const ElementosRed& d) {
  std::array<std::vector<const TramoRed*>, 5> por_tipo;
  for (const TramoRed& t : d.tramos) por_tipo[static_cast<std::size_t>(t.tipo - 1)].push_back(&t);
  std::array<int*, 5> cuenta{&r.NUMCONDUCCIONEST1, &r.NUMCONDUCCIONEST2, &r.NUMCONDUCCIONEST3, &r.NUMCONDUCCIONEST4,
                             &r.NUMCONDUCCIONEST5};
  std::array<tornal::Array1<int>*, 5> ini{&r.NUDOINICONDT1, &r.NUDOINICONDT2, &r.NUDOINICONDT3, &r.NUDOINICONDT4,
                                          &r.NUDOINICONDT5};
  std::array<tornal::Array1<int>*, 5> fin{&r.NUDOFINCONDT1, &r.NUDOFINCONDT2, &r.NUDOFINCONDT3, &r.NUDOFINCONDT4,
                                          &r.NUDOFINCONDT5};
  r.NUMCONDUCCIONES = static_cast<int>(d.tramos.size());
  r.CONDUCCIONES.resize(r.NUMCONDUCCIONES, 3);
  int g = 0;
  for (std::size_t k = 0; k < 5; ++k) {
    const int n = static_cast<int>(por_tipo[k].size());
    *cuenta[k] = n;
    ini[k]->resize(n);
    fin[k]->resize(n);
    for (int j = 1; j <= n; ++j) {
      const TramoRed& t = *por_tipo[k][static_cast<std::size_t>(j - 1)];
      (*ini[k])(j) = t.inicial;
      (*fin[k])(j) = t.final_;
      ++g;
      r.CONDUCCIONES(g, 1) = t.inicial;
      r.CONDUCCIONES(g, 2) = t.final_;
      r.CONDUCCIONES(g, 3) = static_cast<int>(k) + 1;
    }
  }
  r.NUMTOMAS = static_cast<int>(d.tomas.size());
  r.NUMTOMA.resize(r.NUMTOMAS);
  r.NUMRETTOMA.resize(r.NUMTOMAS);
  for (int t = 1; t <= r.NUMTOMAS; ++t) {
    r.NUMTOMA(t) = d.tomas[static_cast<std::size_t>(t - 1)].nudo;
    r.NUMRETTOMA(t) = d.tomas[static_cast<std::size_t>(t - 1)].retorno;
  }
  r.NUMRETORNOS = static_cast<int>(d.retornos.size());
  r.NUDORET.resize(r.NUMRETORNOS);
  for (int i = 1; i <= r.NUMRETORNOS; ++i) r.NUDORET(i) = d.retornos[static_cast<std::size_t>(i - 1)];
  r.NUMCENTRALES = static_cast<int>(d.centrales.size());
  r.NUDTOMACEN.resize(r.NUMCENTRALES);
  r.NUDREINCEN.resize(r.NUMCENTRALES);
  for (int c = 1; c <= r.NUMCENTRALES; ++c) {
    r.NUDTOMACEN(c) = d.centrales[static_cast<std::size_t>(c - 1)].toma;
    r.NUDREINCEN(c) = d.centrales[static_cast<std::size_t>(c - 1)].reincorporacion;
  }
  r.NUMEMBALSES = static_cast<int>(d.embalses.size());
  r.NUMNUDOEMB.resize(r.NUMEMBALSES);
  for (int e = 1; e <= r.NUMEMBALSES; ++e) r.NUMNUDOEMB(e) = d.embalses[static_cast<std::size_t>(e - 1)];
  r.NUMNUDOSFIS = d.nudos_fis;
}

// Every kinetic constant of element 1 of one model (`modelo`: the COND or
// the EMB field of the rows of CONSTANTESCINETICAS) a value of its own above
// 0, and its monthly series that value in every month: a constant added to
// the table is set with no edit of a test.
inline void constantes_de_la_tabla(tornal::Calidad& c, tornal::CampoCinetico tornal::ConstanteCinetica::*modelo) {
  int n = 0;
  for (const tornal::ConstanteCinetica& k : tornal::CONSTANTESCINETICAS) {
    const tornal::CampoCinetico& campo = k.*modelo;
    if (!campo.existe()) continue;
    const double v = 0.05 + 0.01 * ++n;
    (c.*campo.valor)(1) = v;
    if (campo.serie == nullptr) continue;
    tornal::Array2<double>& serie = c.*campo.serie;
    for (int mes = 1; mes <= serie.size(2); ++mes) serie(1, mes) = v;
  }
}

}  // namespace tornal_test
