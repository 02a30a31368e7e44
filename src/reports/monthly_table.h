// Pieces of the result-table writer shared by its two files: a result file
// that stops the run when it cannot be opened or written, and the monthly
// column table "TablaCal.txt" with its legend "TablaCal.dir".
#pragma once

#include <string>
#include <vector>

#include "common/free_writer.h"
#include "run/modelo.h"

namespace tornal {

// A result file of the run: truncated when opened (also when no line is
// written to it afterwards), CR LF line ends. A failed open, write or close
// writes "Error en la escritura del archivo de resultados " and the path to
// the run log and stops the run with "error", so that a run never reports
// success with its results missing.
class ResultFile {
 public:
  ResultFile(Modelo& m, const std::string& path);
  void line(const std::string& latin1_text);
  void write_free(const std::vector<FreeItem>& items);
  void close();

 private:
  [[noreturn]] void fail();
  Modelo& m_;
  std::string path_;
  OutputFile file_;
};

// The name of reach `c` (global reach number), trimmed, from the name list
// of its type at its place within the type.
std::string nombre_conduccion(const Red& red, int c);
// The name of constituent `k` of NOMCONT, trimmed; empty past the end of the
// list.
std::string nombre_contaminante(const Calidad& cal, int k);

// "TablaCal.txt" (one row per month: every reach of types 1 to 4, then the
// upper and the lower layer of every reservoir, each with all its
// constituents, in F20.5 with a TAB after each value, 5000 values to a
// record) and its column legend "TablaCal.dir", in the working folder.
void write_monthly_table(Modelo& m);

}  // namespace tornal
