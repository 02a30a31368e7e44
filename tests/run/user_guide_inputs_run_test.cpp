// The user's guide page of the inputs of a run (docs/guide/inputs-run.md)
// against the program's own list: its table of the codes of the
// time-varying constants of "tornal.avz" holds one row per code, 1 to
// NUMCODIGOSTEMPORALES, with the reach constant and the reservoir constant
// that the code selects, and no row for a code the program does not have.
#include <gtest/gtest.h>

#include <cstddef>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "quality_input/time_constants.h"

namespace {

const char* const PAGINA = TORNAL_DOCS "/guide/inputs-run.md";
const char* const CABECERA = "| code | reach constant | reservoir constant | meaning |";

// The cells of a table row, without the blanks around them.
std::vector<std::string> celdas(const std::string& fila) {
  std::vector<std::string> out;
  std::size_t p = fila.find('|');
  while (p != std::string::npos) {
    const std::size_t q = fila.find('|', p + 1);
    if (q == std::string::npos) break;
    std::string c = fila.substr(p + 1, q - p - 1);
    c.erase(0, c.find_first_not_of(' '));
    c.erase(c.find_last_not_of(' ') + 1);
    out.push_back(c);
    p = q;
  }
  return out;
}

// The rows of the table of codes: code -> (reach constant, reservoir
// constant) as the page writes them, each name in backquotes.
std::map<std::string, std::pair<std::string, std::string>> tabla_de_codigos(std::istream& in) {
  std::map<std::string, std::pair<std::string, std::string>> filas;
  std::string linea;
  while (std::getline(in, linea) && linea != CABECERA) {
  }
  if (!in) return filas;
  std::getline(in, linea);  // the separator row
  while (std::getline(in, linea) && linea.rfind('|', 0) == 0) {
    const std::vector<std::string> c = celdas(linea);
    if (c.size() >= 3) filas[c[0]] = {c[1], c[2]};
  }
  return filas;
}

TEST(UserGuideInputsRun, EveryCodeOfTheTimeVaryingConstantsHasItsRow) {
  std::ifstream f(PAGINA);
  ASSERT_TRUE(f) << "cannot open " << PAGINA;
  auto filas = tabla_de_codigos(f);
  ASSERT_FALSE(filas.empty()) << PAGINA << " has no table headed " << CABECERA;

  const tornal::Calidad cal;
  for (int codigo = 1; codigo <= tornal::NUMCODIGOSTEMPORALES; ++codigo) {
    const auto k = static_cast<std::size_t>(codigo - 1);
    const std::string cond = "`" + (cal.*tornal::CONSTANTESCOND[k]).name() + "`";
    const std::string emb = "`" + (cal.*tornal::CONSTANTESEMB[k]).name() + "`";
    const auto fila = filas.find(std::to_string(codigo));
    if (fila == filas.end()) {
      ADD_FAILURE() << "code " << codigo << " (" << cond << ", " << emb << ") has no row in " << PAGINA;
      continue;
    }
    EXPECT_EQ(fila->second, std::make_pair(cond, emb)) << "the row of code " << codigo << " in " << PAGINA;
    filas.erase(fila);
  }
  for (const auto& [codigo, constantes] : filas)
    ADD_FAILURE() << "code " << codigo << " of " << PAGINA << " (" << constantes.first << ", " << constantes.second
                  << ") selects no constant of the program";
}

}  // namespace
