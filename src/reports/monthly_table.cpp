// The monthly column table "TablaCal.txt" and its legend "TablaCal.dir":
// one row of concentrations per month of the run over every reach of types
// 1 to 4 and both layers of every reservoir, whatever their report flags,
// and one quoted label per column in the same order.
#include "reports/monthly_table.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "common/fixed_format.h"
#include "common/latin1.h"
#include "common/ordered_pipeline.h"
#include "common/stop.h"

namespace tornal {

std::string nombre_contaminante(const Calidad& cal, int k) {
  return cal.NOMCONT.contains(k) ? trimmed(cal.NOMCONT(k)) : std::string();
}

std::array<BloqueTabla, 6> bloques_tabla(const Red& r, const Simulacion& s) {
  // CONDUCCCS numbers the reaches type by type from type 1: those of a type
  // follow those of the types before it.
  const int t2 = 1 + std::max(0, r.NUMCONDUCCIONEST1);
  const int t3 = t2 + std::max(0, r.NUMCONDUCCIONEST2);
  const int t4 = t3 + std::max(0, r.NUMCONDUCCIONEST3);
  return {{{"Rio_T1_", &r.NOMCONDT1, r.NUMCONDUCCIONEST1, &s.CONDUCCCS, 1},
           {"Rio T2_", &r.NOMCONDT2, r.NUMCONDUCCIONEST2, &s.CONDUCCCS, t2},
           {"Rio T3_", &r.NOMCONDT3, r.NUMCONDUCCIONEST3, &s.CONDUCCCS, t3},
           {"Rio T4_", &r.NOMCONDT4, r.NUMCONDUCCIONEST4, &s.CONDUCCCS, t4},
           {"Embalse_Ep_", &r.NOMEMB, r.NUMEMBALSES, &s.EMB1CF, 1},
           {"Embalse_Hip_", &r.NOMEMB, r.NUMEMBALSES, &s.EMB2CF, 1}}};
}

namespace {

constexpr std::size_t VALORESPORREGISTRO = 5000;

// A count as a size; a count below zero gives no element.
std::size_t positivo(int n) { return n > 0 ? static_cast<std::size_t>(n) : 0; }

// The label of value v (from 0) of a row, as "TablaCal.dir" gives it,
// without its quotes.
std::string etiqueta_columna(const Modelo& m, std::size_t v) {
  const std::size_t C = positivo(m.cal.NUMCONTAMINANTES);
  if (C == 0) return std::string();
  std::size_t elemento = v / C;
  for (const BloqueTabla& b : bloques_tabla(m.red, m.sim)) {
    const std::size_t n = positivo(b.cuenta);
    if (elemento < n)
      return b.prefijo + trimmed((*b.nombres)(static_cast<int>(elemento) + 1)) + "_" +
             nombre_contaminante(m.cal, static_cast<int>(v % C) + 1);
    elemento -= n;
  }
  return std::string();
}

// "TablaCal.txt": rows of years outer and months inner. Each record of a
// row (VALORESPORREGISTRO values, (F20.5, TAB) each; a month with no value
// still gives its empty record) is one chunk of the ordered pipeline.
void escribir_tablacal_txt(Modelo& m) {
  const Red& r = m.red;
  const std::array<BloqueTabla, 6> bloques = bloques_tabla(r, m.sim);
  const std::size_t C = positivo(m.cal.NUMCONTAMINANTES);

  ResultFile txt(m.log, m.ruta("TablaCal.txt"), ERROR_ESCRITURA_RESULTADOS);
  // The values of a row: every element of every block with its constituents.
  std::size_t en_fila = 0;
  for (const BloqueTabla& b : bloques) en_fila += positivo(b.cuenta) * C;
  const std::size_t registros_fila = en_fila == 0 ? 1 : (en_fila + VALORESPORREGISTRO - 1) / VALORESPORREGISTRO;
  const std::size_t filas = 12 * positivo(r.NUMANYOS);

  auto formato = [&](std::size_t trozo, ChunkBuffer& out) {
    const std::size_t fila = trozo / registros_fila;
    const int y = static_cast<int>(fila / 12) + 1;
    const int mes = static_cast<int>(fila % 12) + 1;
    const std::size_t desde = trozo % registros_fila * VALORESPORREGISTRO;
    const std::size_t hasta = std::min(en_fila, desde + VALORESPORREGISTRO);
    // The whole record is committed at its end: a value that cannot be read
    // leaves nothing of it.
    char* p = out.room((hasta - desde) * 21 + 2);
    // The values [desde, hasta) that fall in the block of `elementos`
    // elements of `valores`, from element `primero`, starting at value
    // `base` of the row.
    auto bloque = [&](const Array4<double>& valores, int primero, std::size_t base, std::size_t elementos) {
      const std::size_t a = std::max(desde, base);
      const std::size_t b = std::min(hasta, base + elementos * C);
      if (a >= b) return;
      long e = static_cast<long>((a - base) / C) + primero;
      std::size_t k = (a - base) % C + 1;
      for (std::size_t v = a; v < b; ++v) {
        put_F_fixed<20, 5>(p, valores(e, static_cast<int>(k), mes, y));
        p[20] = '\t';
        p += 21;
        if (++k > C) {
          k = 1;
          ++e;
        }
      }
    };
    std::size_t base = 0;
    for (const BloqueTabla& b : bloques) {
      bloque(*b.valores, b.primero, base, positivo(b.cuenta));
      base += positivo(b.cuenta) * C;
    }
    p[0] = '\r';
    p[1] = '\n';
    out.commit(p + 2);
  };
  AsteriskPlace primero;
  write_chunks_in_order(filas * registros_fila, formato, txt, &primero);
  if (primero.found) [[unlikely]] {
    // Each chunk is one record; its values follow one another in fields of
    // 21 characters. The label of the column names its element.
    const long columna = static_cast<long>(primero.offset / 21) + 1;
    const std::size_t v = primero.chunk % registros_fila * VALORESPORREGISTRO + primero.offset / 21;
    anotar_campo_asteriscos(m.sim,
                            {"TablaCal.txt", static_cast<long>(primero.line) + 1, columna, "", etiqueta_columna(m, v)});
  }
  txt.close();
}

// "TablaCal.dir": one label per column, block by block. Each label is one
// free-format statement of texts: a line of its own, after one blank, when
// the texts take 79 characters or fewer.
void escribir_tablacal_dir(Modelo& m) {
  const Red& r = m.red;
  const int C = m.cal.NUMCONTAMINANTES;
  ResultFile dir(m.log, m.ruta("TablaCal.dir"), ERROR_ESCRITURA_RESULTADOS);
  std::vector<std::string> contaminantes;
  for (int k = 1; k <= C; ++k) contaminantes.push_back(nombre_contaminante(m.cal, k));
  std::string linea;
  auto etiqueta = [&](const char* prefijo, const std::string& nombre) {
    const std::size_t largo_prefijo = std::strlen(prefijo);
    for (int k = 1; k <= C; ++k) {
      const std::string& contaminante = contaminantes[static_cast<std::size_t>(k - 1)];
      if (largo_prefijo + nombre.size() + contaminante.size() + 3 <= 79) {
        linea.assign(1, ' ');
        linea.append(1, '"').append(prefijo).append(nombre).append(1, '_').append(contaminante).append(1, '"');
        dir.line(linea);
      } else {
        dir.write_free({FreeItem("\""), FreeItem(prefijo), FreeItem(nombre), FreeItem("_"), FreeItem(contaminante),
                        FreeItem("\"")});
      }
    }
  };
  for (const BloqueTabla& b : bloques_tabla(r, m.sim))
    for (int j = 1; j <= b.cuenta; ++j) etiqueta(b.prefijo, trimmed((*b.nombres)(j)));
  dir.close();
}

}  // namespace

void escribir_tabla_mensual(Modelo& m) {
  escribir_tablacal_txt(m);
  escribir_tablacal_dir(m);
}

}  // namespace tornal
