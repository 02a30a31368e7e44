// The quality-risk report "Riesgocal.csv": the monthly level counts of every
// reach and risk constituent turned into percentages of all the months of
// the run, one block per constituent block of "NivelesRQ.dat", one record
// per level, one value per reach.
#include <string>
#include <vector>

#include "common/fixed_format.h"
#include "common/free_writer.h"
#include "common/stop.h"
#include "reports/reports.h"

namespace tornal {
namespace {

// Most values of one level record.
constexpr std::size_t VALORESPORREGISTRO = 800;

[[noreturn]] void error_escritura(Modelo& m) {
  m.log.write({"Error en la escritura archivo riesgo"});
  stop("error");
}

}  // namespace

// Only in a risk run. The divisor is every month of the run, 12 x NUMANYOS
// (formed in single precision), so a reach computed in fewer months sums to
// less than 100; a run without months gives 0. Every record is checked, and
// the file is closed at the end.
void ESCRIBIRRIESGOSUB(Modelo& m) {
  Calidad& c = m.cal;
  if (!c.OPCIONRIESGO) return;
  OutputFile archivo;
  if (!archivo.open(m.ruta("Riesgocal.csv"))) {
    m.log.write({"Error en el acceso al arcchivo de resultados de riesgo"});
    stop("error");
  }

  const double MESES = static_cast<double>(static_cast<float>(m.red.NUMANYOS) * 12.0f);
  Array3<double>& MAT = c.MATCONDRIESGO;
  for (long l = 1; l <= MAT.size(3); ++l)
    for (long b = 1; b <= MAT.size(2); ++b)
      for (long r = 1; r <= MAT.size(1); ++r) MAT(r, b, l) = MESES > 0.0 ? MAT(r, b, l) / MESES * 100.0 : 0.0;

  if (!archivo.line(" Archivo salida resultados riesgo de calidad")) error_escritura(m);
  const long NUMCOND = MAT.size(1);
  for (int i = 1; i <= c.NUMCONTRIESGO; ++i) {
    const std::string nombre = padded(c.NOMCONTRISK(i), 255);
    for (std::size_t inicio : {0, 79, 158, 237}) {
      const std::size_t largo = inicio == 237 ? 18 : 79;
      if (!archivo.line(" " + nombre.substr(inicio, largo))) error_escritura(m);
    }
    for (int j = 1; j <= c.NUMNIVELESCONT(i); ++j) {
      std::vector<std::string> valores;
      AsteriskCount asteriscos;
      AsteriskWatch vigilancia(asteriscos);
      for (long r = 1; r <= NUMCOND; ++r) {
        const long antes = asteriscos.fields;
        valores.push_back(edit_F(MAT(r, i, j), 15, 3) + ";");
        if (asteriscos.fields != antes) [[unlikely]] {
          // The level's records hold one value of every reach, in order.
          const RevertedPlace lugar = reverted_place(static_cast<std::size_t>(r - 1), VALORESPORREGISTRO, 0);
          anotar_campo_asteriscos(m.sim, {"Riesgocal.csv", archivo.lines() + 1 + lugar.record, lugar.field, "", ""});
        }
      }
      for (const std::string& linea : reverted_records(valores, VALORESPORREGISTRO))
        if (!archivo.line(linea)) error_escritura(m);
    }
  }
  if (!archivo.close()) error_escritura(m);
}

}  // namespace tornal
