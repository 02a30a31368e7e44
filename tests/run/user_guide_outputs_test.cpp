// The page of the user's guide on the output files, docs/guide/outputs.md,
// against the columns that the program holds in lists of its own: a column
// added to a list and not to the guide fails here, by its list and name.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "modelo/modelo.h"
#include "reach/reach_model.h"
#include "reports/monthly_table.h"
#include "reservoir/reservoir_steps.h"
#include "test_util.h"

namespace {

// A heading without the blanks around it.
std::string limpio(std::string_view t) {
  while (!t.empty() && t.front() == ' ') t.remove_prefix(1);
  while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
  return std::string(t);
}

// The headings of a heading text, ";" between them; none for an empty piece.
std::vector<std::string> partir(std::string_view texto) {
  std::vector<std::string> h;
  for (std::size_t p = texto.find(';');; p = texto.find(';')) {
    if (!limpio(texto.substr(0, p)).empty()) h.push_back(limpio(texto.substr(0, p)));
    if (p == std::string_view::npos) return h;
    texto.remove_prefix(p + 1);
  }
}

TEST(UserGuideOutputs, EveryColumnOfTheProgramsListsIsNamed) {
  const std::string guia = tornal_test::TempDir::read_file(std::string(TORNAL_DOCS) + "/guide/outputs.md");
  ASSERT_FALSE(guia.empty()) << "docs/guide/outputs.md is missing or empty";
  // Each heading (or prefix of headings) as a code span of the page.
  std::vector<std::string> faltan;
  auto exigir = [&](const char* lista, std::string_view columna) {
    const std::string c = limpio(columna);
    if (guia.find("`" + c + "`") == std::string::npos) faltan.push_back(std::string(lista) + ": " + c);
  };

  for (const tornal::ColumnaParcial& col : tornal::columnas_parciales()) exigir("COLUMNASPARCIALES", col.encabezado);
  for (const std::string& h : partir(tornal::CABECERAPARCIAL)) exigir("CABECERAPARCIAL", h);
  for (const char* prefijo : tornal::PREFIJOSPARCIAL) exigir("PREFIJOSPARCIAL", prefijo);
  for (const std::string& h : partir(tornal::LIMITACIONES)) exigir("LIMITACIONES", h);
  for (const std::string& h : partir(tornal::CABECERABALANCE)) exigir("CABECERABALANCE", h);
  for (const tornal::TransporteBalance& b : tornal::BALANCETRANSPORTE)
    for (int t = 1; t <= b.terminos(); ++t) exigir("BALANCETRANSPORTE", b.encabezado(t));
  for (const tornal::ProcesoBalance& p : tornal::BALANCEPROCESOS)
    for (int t = 1; t <= p.terminos(); ++t) exigir("BALANCEPROCESOS", p.encabezado(t));
  const tornal::Modelo m;
  for (const tornal::BloqueTabla& b : tornal::bloques_tabla(m.red, m.sim)) exigir("bloques_tabla", b.prefijo);

  std::string lista;
  for (const std::string& f : faltan) lista += "\n  " + f;
  EXPECT_TRUE(faltan.empty()) << "docs/guide/outputs.md does not name these columns:" << lista;
}

}  // namespace
