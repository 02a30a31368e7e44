// The result files of the example basin compared with copies checked by
// hand: line by line, numbers within a tolerance, texts exactly, every line
// ending with CR LF.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "e2e/e2e_util.h"

using namespace tornal_test;

// The comparison itself: a number off in its last printed digit, a changed
// text and a lost field are found; a blank more or less is not a difference.
TEST(ExampleOutputs, LineComparisonRules) {
  struct Caso {
    const char* obtenida;
    const char* esperada;
    bool iguales;
  };
  const Caso casos[] = {
      {"Rio Alto;   2;NO CUMPLE ;", "Rio Alto;   2;NO CUMPLE ;", true},
      {"Rio Alto;   2;CUMPLE    ;", "Rio Alto;   2;NO CUMPLE ;", false},
      {"Rio Alto;   3;NO CUMPLE ;", "Rio Alto;   2;NO CUMPLE ;", false},
      {"  13.00000\t  300.00000\t", "13.00000 300.00000", true},
      {"  13.00001\t  300.00000\t", "13.00000\t300.00000\t", false},
      {"  1.0000000001e6", "1.0e6", true},
      {"Caudal;Oct-2000;Rio Alto;5.000", "Caudal;Oct-2000;Rio Alto;", false},
      {"Rio Alto;5;", "Rio Alto;;5", false},
  };
  for (const Caso& c : casos) EXPECT_EQ(line_difference(c.obtenida, c.esperada).empty(), c.iguales) << c.obtenida;
}

// The run "basin" of tests/e2e/layout.txt: the example with the compliance
// criteria of input/basin (Criterios.txt); the expected verdicts are those of
// the checked copy of Criterios.csv.
TEST(ExampleOutputs, ResultFilesMatchTheCheckedCopies) {
  TempDir dir;
  lay_out_run("basin", dir);
  const RunResult r = run_tornal(dir);
  ASSERT_EQ(r.status, 0) << r.console;
  compare_run_with_expected(dir, "basin");
}

// The layout and the checked copies agree: every run has its folder of
// copies, holding the layout's result files and nothing else, and the
// folders it lays over its example; no folder of copies is left that no run
// writes (nor the command that writes them anew), which would go stale
// unseen.
TEST(ExampleOutputs, TheLayoutNamesEveryFolderOfCheckedCopies) {
  namespace fs = std::filesystem;
  const E2ELayout& l = e2e_layout();
  std::set<std::string> corridas;
  for (const E2ERun& c : l.corridas) {
    corridas.insert(c.nombre);
    EXPECT_TRUE(fs::is_regular_file(std::string(TORNAL_EXAMPLES) + "/" + c.ejemplo + "/VekArch.cal")) << c.nombre;
    for (const std::string& capa : c.capas) EXPECT_TRUE(fs::is_directory(e2e_data(capa))) << c.nombre << ": " << capa;
    const std::string esperados = e2e_data("expected/" + c.nombre);
    if (!fs::is_directory(esperados)) {
      ADD_FAILURE() << c.nombre << ": no folder of checked copies";
      continue;
    }
    std::set<std::string> copias;
    for (const fs::directory_entry& e : fs::directory_iterator(esperados)) copias.insert(e.path().filename().string());
    EXPECT_EQ(copias, std::set<std::string>(l.resultados.begin(), l.resultados.end())) << c.nombre;
  }
  std::set<std::string> carpetas;
  for (const fs::directory_entry& e : fs::directory_iterator(e2e_data("expected")))
    carpetas.insert(e.path().filename().string());
  EXPECT_EQ(carpetas, corridas);
}
