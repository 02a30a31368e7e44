// The result files of the example basin compared with copies checked by
// hand: line by line, numbers within a tolerance, texts exactly, every line
// ending with CR LF.
#include <gtest/gtest.h>

#include <string>

#include "e2e/e2e_util.h"

using namespace tornal_test;

namespace {

// The compliance criteria of the run are those of input/basin (Criterios.txt);
// the expected verdicts are those of the checked copy of Criterios.csv.
const std::string EXPECTED = e2e_data("expected/basin");

}  // namespace

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

TEST(ExampleOutputs, ResultFilesMatchTheCheckedCopies) {
  TempDir dir;
  copy_example("basin", dir);
  overlay_inputs(e2e_data("input/basin"), dir);
  const RunResult r = run_tornal(dir);
  ASSERT_EQ(r.status, 0) << r.console;
  for (const char* nombre : RESULT_FILES) compare_with_expected(dir, EXPECTED, nombre);
}
