// Shared helpers of the tests: a temporary folder that is removed at the
// end, files written into it, and a model whose run log is kept in memory.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
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

}  // namespace tornal_test
