// The compliance criteria procedure: reads "Criterios.txt", judges the
// reaches' outlet concentrations against it and writes the report
// "Criterios.csv" (a general table per constituent, then the failures of
// every drought period).
#include "reports/criteria.h"

#include <vector>

#include "common/failures.h"
#include "common/fixed_format.h"
#include "common/free_writer.h"
#include "common/latin1.h"
#include "quality_input/calidad.h"
#include "reports/reports.h"

namespace tornal {

namespace {

constexpr const char* ERROR_CSV = "Error en el acceso al arcchivo de resultados de criterios";

// The report's lines go through one file; a line that cannot be written
// stops the run like a file that cannot be opened.
class Report {
 public:
  explicit Report(Modelo& m) : m_(m) {
    if (!out_.open(trimmed(m.ruta("Criterios.csv")))) fail();
  }
  void free_line(std::initializer_list<FreeItem> items) {
    if (!out_.write_free(items)) fail();
  }
  void fixed(const std::string& latin1_text) {
    if (!out_.line(latin1_text)) fail();
  }
  void close() {
    if (!out_.close()) fail();
  }

 private:
  [[noreturn]] void fail() { access_failure(m_.log, ERROR_CSV); }
  Modelo& m_;
  OutputFile out_;
};

bool reported(int INRESCOND) { return INRESCOND != -1 && INRESCOND != 2; }

}  // namespace

void write_criteria_report(Modelo& m, const CriteriaArrays& cr) {
  const int NC = cr.NUMCONDUCCIONES;
  const int NK = m.cal.NUMCONTAMINANTES;
  Report f(m);
  f.free_line({"SALIDA DE RESULTADOS DE CUMPLIMIENTO DE CRITERIOS"});
  f.free_line({"RESULTADOS GENERALES"});
  for (int k = 1; k <= NK; ++k) {
    f.fixed(padded(m.cal.NOMCONT(k), LONGNOMCONT));
    f.free_line({"Conduccion;Numero de Fallos;C/NC_FallosPunt;MaxNumFallosSeq;C/NC_Sequia ;"});
    for (int c = 1; c <= NC; ++c) {
      if (!reported(m.cal.INRESCOND(c))) continue;
      f.fixed(trimmed(cr.NOMBREAUXCONDUCC(c)) + ";" + edit_I(cr.NUMFALLOSPUNT(c, k), 4) + ";" + cr.CUMPLEFPC(c, k) +
              ";" + edit_I(cr.MAXFALLOSSEQ(c, k), 4) + ";" + cr.CUMPLESEQC(c, k) + ";");
    }
  }
  f.free_line({"ANALISIS DE NUMERO DE FALLOS EN CADA SEQUÍA"});
  if (cr.NUMSEQUIAS > 0 && NK > 0) {
    for (int k = 1; k <= NK; ++k) {
      f.fixed(padded(m.cal.NOMCONT(k), LONGNOMCONT));
      f.free_line({"*Fallos en Sequías"});
      for (int s = 1; s <= cr.NUMSEQUIAS; ++s) {
        f.free_line({"Sequía número;", s});
        f.free_line({"Conduccion;Numero de Fallos en Sequías;"});
        for (int c = 1; c <= NC; ++c) {
          if (!reported(m.cal.INRESCOND(c))) continue;
          f.fixed(trimmed(cr.NOMBREAUXCONDUCC(c)) + ";" + edit_I(cr.NUMFALLOSSEQ(s, c, k), 4) + ";");
        }
      }
    }
  }
  f.close();
}

void CRITERIOSUB(Modelo& m) {
  CriteriaArrays cr;
  prepare_criteria(m, cr);
  if (!read_criteria_file(m, cr)) return;
  evaluate_criteria(m, cr);
  write_criteria_report(m, cr);
}

}  // namespace tornal
