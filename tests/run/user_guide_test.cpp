// The user's guide held against the program's own list of the kinetic
// constants: every field of reaches and of reservoirs that CONSTANTESCINETICAS
// holds (the value, its time curve and its monthly series) is named in the
// page of the quality input files as `NAME`, and every warning of a checked
// constant is quoted there as the program writes it; the page of the
// equations names every value and monthly series where it acts, and has a
// row for every theta of TECTASCINETICAS that names the rate it corrects. A
// constant or theta added to the tables without its lines in the guide fails
// here, naming what is missing.
#include <gtest/gtest.h>

#include <cctype>
#include <cstddef>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "quality_input/kinetic_constants.h"
#include "quality_input/kinetic_thetas.h"

namespace {

std::string pagina_de_la_guia(const std::string& nombre) {
  std::ifstream f(std::string(TORNAL_DOCS) + "/guide/" + nombre, std::ios::binary);
  std::ostringstream texto;
  texto << f.rdbuf();
  return texto.str();
}

// Whether `nombre` stands in `texto` as a whole name (an equation may write it
// bare): no letter, digit or '_' on either side.
bool nombra(const std::string& texto, const std::string& nombre) {
  auto de_nombre = [](char ch) { return std::isalnum(static_cast<unsigned char>(ch)) != 0 || ch == '_'; };
  for (std::size_t p = texto.find(nombre); p != std::string::npos; p = texto.find(nombre, p + 1)) {
    const std::size_t fin = p + nombre.size();
    if ((p == 0 || !de_nombre(texto[p - 1])) && (fin == texto.size() || !de_nombre(texto[fin]))) return true;
  }
  return false;
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

TEST(UserGuide, EquationsNameEveryKineticConstantAndTheta) {
  const std::string texto = pagina_de_la_guia("equations.md");
  ASSERT_FALSE(texto.empty()) << "docs/guide/equations.md is missing or empty";

  const tornal::Calidad c;
  std::vector<std::string> faltan;
  auto campos = [&](const tornal::CampoCinetico& k) {
    if (k.valor != nullptr && !nombra(texto, (c.*k.valor).name())) faltan.push_back((c.*k.valor).name());
    if (k.serie != nullptr && !nombra(texto, (c.*k.serie).name())) faltan.push_back((c.*k.serie).name());
  };
  for (const tornal::ConstanteCinetica& k : tornal::CONSTANTESCINETICAS) {
    campos(k.COND);
    campos(k.EMB);
  }
  // The table of the thetas: the row of theta n names the rate it corrects,
  // of the reaches or the reservoirs.
  for (int n = 1; n <= tornal::NUMTECTAS; ++n) {
    const std::string fila = "| `TECTAOD(" + std::to_string(n) + ")` |";
    const std::string tasa = tornal::TECTASCINETICAS[n - 1].tasa;
    std::istringstream lineas(texto);
    bool nombrada = false;
    for (std::string l; !nombrada && std::getline(lineas, l);)
      nombrada = l.rfind(fila, 0) == 0 && (nombra(l, tasa + "COND") || nombra(l, tasa + "EMB"));
    if (!nombrada) faltan.push_back(fila + " row naming " + tasa + "COND or " + tasa + "EMB");
  }

  std::string lista;
  for (const std::string& f : faltan) lista += "\n  " + f;
  EXPECT_TRUE(faltan.empty()) << "docs/guide/equations.md lacks:" << lista;
}
