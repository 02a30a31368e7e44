// The compliance criteria procedure: reads "Criterios.txt", judges the
// reaches' outlet concentrations against it and writes the report
// "Criterios.csv" (a general table per constituent, then the failures of
// every drought period).
#include "reports/criteria.h"

#include <vector>

#include "common/fixed_format.h"
#include "common/free_writer.h"
#include "common/latin1.h"
#include "common/result_file.h"
#include "quality_input/calidad.h"
#include "reports/reports.h"

namespace tornal {

namespace {

constexpr const char* ERROR_CSV = "Error en el acceso al arcchivo de resultados de criterios";

// A count in I4; a count cut to asterisks is the file's first such field
// when none came before: the record about to be written, its column.
std::string cuenta(Modelo& m, const ResultFile& f, long valor, long columna, const char* encabezado,
                   const std::string& conduccion) {
  AsteriskCount asteriscos;
  AsteriskWatch vigilancia(asteriscos);
  std::string campo = edit_I(valor, 4);
  if (asteriscos.fields != 0) [[unlikely]]
    anotar_campo_asteriscos(m.sim, {"Criterios.csv", f.lines() + 1, columna, latin1(encabezado), conduccion});
  return campo;
}

}  // namespace

void escribir_informe_criterios(Modelo& m, const TrabajoCriterios& cr) {
  const int NC = cr.NUMCONDUCCIONES;
  const int NK = m.cal.NUMCONTAMINANTES;
  ResultFile f(m.log, m.ruta("Criterios.csv"), ERROR_CSV, false);
  f.write_free({"SALIDA DE RESULTADOS DE CUMPLIMIENTO DE CRITERIOS"});
  f.write_free({"RESULTADOS GENERALES"});
  for (int k = 1; k <= NK; ++k) {
    f.line(padded(m.cal.NOMCONT(k), LONGNOMCONT));
    f.write_free({"Conduccion;Numero de Fallos;C/NC_FallosPunt;MaxNumFallosSeq;C/NC_Sequia ;"});
    for (int c = 1; c <= NC; ++c) {
      if (!conduccion_informada(m.cal.INRESCOND(c))) continue;
      const std::string nombre = trimmed(cr.NOMBREAUXCONDUCC(c));
      const std::string fallos = cuenta(m, f, cr.NUMFALLOSPUNT(c, k), 2, "Numero de Fallos", nombre);
      const std::string seguidos = cuenta(m, f, cr.MAXFALLOSSEQ(c, k), 4, "MaxNumFallosSeq", nombre);
      std::string linea = nombre;
      linea.append(";").append(fallos).append(";").append(cr.CUMPLEFPC(c, k)).append(";").append(seguidos);
      linea.append(";").append(cr.CUMPLESEQC(c, k)).append(";");
      f.line(linea);
    }
  }
  f.write_free({"ANALISIS DE NUMERO DE FALLOS EN CADA SEQUÍA"});
  if (cr.NUMSEQUIAS > 0 && NK > 0) {
    for (int k = 1; k <= NK; ++k) {
      f.line(padded(m.cal.NOMCONT(k), LONGNOMCONT));
      f.write_free({"*Fallos en Sequías"});
      for (int s = 1; s <= cr.NUMSEQUIAS; ++s) {
        f.write_free({"Sequía número;", s});
        f.write_free({"Conduccion;Numero de Fallos en Sequías;"});
        for (int c = 1; c <= NC; ++c) {
          if (!conduccion_informada(m.cal.INRESCOND(c))) continue;
          const std::string nombre = trimmed(cr.NOMBREAUXCONDUCC(c));
          f.line(nombre + ";" + cuenta(m, f, cr.NUMFALLOSSEQ(s, c, k), 2, "Numero de Fallos en Sequías", nombre) + ";");
        }
      }
    }
  }
  f.close();
}

void CRITERIOSUB(Modelo& m) {
  TrabajoCriterios cr;
  preparar_criterios(m, cr);
  if (!leer_archivo_criterios(m, cr)) return;
  evaluar_criterios(m, cr);
  escribir_informe_criterios(m, cr);
}

}  // namespace tornal
