// Shared helpers of the tests: a temporary folder that is removed at the
// end, files written into it, a model whose run log is kept in memory, a
// reader run on a file's text, the read-error lines of a file and the lines
// of a file written with CR LF line ends.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "common/latin1.h"
#include "common/stop.h"
#include "modelo/modelo.h"

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
inline std::vector<std::string> read_error_lines(const std::string& message, const std::string& label,
                                                 long counter) {
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

}  // namespace tornal_test
