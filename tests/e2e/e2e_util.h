// Whole runs of the program: a basin copied into a temporary folder, the
// program run there, its console, exit status and run log read back.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "test_util.h"

namespace tornal_test {

struct RunResult {
  int status = -1;
  std::string console;
};

// Copies the example basin `name` into `dir`.
inline void copy_example(const std::string& name, const TempDir& dir) {
  std::filesystem::copy(std::string(TORNAL_EXAMPLES) + "/" + name, dir.path(),
                        std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
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
