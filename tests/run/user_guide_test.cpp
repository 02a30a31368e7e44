// The user's guide held against the program's own list of the kinetic
// constants: every field of reaches and of reservoirs that CONSTANTESCINETICAS
// holds (the value, its time curve and its monthly series) is named in the
// page of the quality input files as `NAME`, and every warning of a checked
// constant is quoted there as the program writes it. A constant added to the
// table without its line in the guide fails here, naming what is missing.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "quality_input/kinetic_constants.h"

namespace {

std::string pagina_de_la_guia(const std::string& nombre) {
  std::ifstream f(std::string(TORNAL_DOCS) + "/guide/" + nombre, std::ios::binary);
  std::ostringstream texto;
  texto << f.rdbuf();
  return texto.str();
}

}  // namespace

TEST(UserGuide, QualityInputsNameEveryKineticConstantAndItsWarning) {
  const std::string texto = pagina_de_la_guia("inputs-quality.md");
  ASSERT_FALSE(texto.empty()) << "docs/guide/inputs-quality.md is missing or empty";

  const tornal::Calidad c;
  std::vector<std::string> faltan;
  auto buscar = [&](const std::string& frase) {
    if (texto.find(frase) == std::string::npos) faltan.push_back(frase);
  };
  auto campos = [&](const tornal::CampoCinetico& k) {
    if (k.valor != nullptr) buscar("`" + (c.*k.valor).name() + "`");
    if (k.curva != nullptr) buscar("`" + (c.*k.curva).name() + "`");
    if (k.serie != nullptr) buscar("`" + (c.*k.serie).name() + "`");
  };
  for (const tornal::ConstanteCinetica& k : tornal::CONSTANTESCINETICAS) {
    campos(k.COND);
    campos(k.EMB);
    if (k.mensaje != nullptr) buscar(std::string("\"") + k.mensaje + "\"");
  }

  std::string lista;
  for (const std::string& f : faltan) lista += "\n  " + f;
  EXPECT_TRUE(faltan.empty()) << "docs/guide/inputs-quality.md lacks:" << lista;
}
