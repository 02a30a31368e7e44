// The compliance criteria file "Criterios.txt": per constituent the windows
// in months between failures and the number of failures permitted in a
// drought period, per constituent the two thresholds, then the drought
// periods in running months. Also the sizing of the criteria arrays and the
// reach label list.
#include <algorithm>
#include <vector>

#include "common/counted_reader.h"
#include "common/failures.h"
#include "common/free_reader.h"
#include "common/latin1.h"
#include "reports/criteria.h"
#include "reports/reports.h"

namespace tornal {

namespace {

// Length of a reach label of the report.
constexpr std::size_t LONGNOMBREAUX = 255;

// The number of reaches of one type; a count below zero gives no reach.
int conducciones_de(int count) { return std::max(count, 0); }

constexpr const char* ERROR_ACCESO = "Error en el acceso al archivo de criterios";

}  // namespace

void comprobar_archivo_criterios(Modelo& m) {
  const std::string ruta = m.ruta("Criterios.txt");
  if (name_exists(ruta) && !file_exists(ruta)) access_failure(m.log, ERROR_ACCESO);
}

void preparar_criterios(const Modelo& m, TrabajoCriterios& cr) {
  const Red& r = m.red;
  const int NC = conducciones_de(r.NUMCONDUCCIONEST1) + conducciones_de(r.NUMCONDUCCIONEST2) +
                 conducciones_de(r.NUMCONDUCCIONEST3) + conducciones_de(r.NUMCONDUCCIONEST4) +
                 conducciones_de(r.NUMCONDUCCIONEST5);
  const int NK = m.cal.NUMCONTAMINANTES;
  cr.NUMCONDUCCIONES = NC;

  cr.NUMMESPOSTPUNT.resize(NK);
  cr.NUMPERFALLOSSEQ.resize(NK);
  cr.NUMMESPOSTSEQ.resize(NK);
  cr.UMBRALMAXG.resize(NK);
  cr.UMBRALMING.resize(NK);
  cr.NUMFALLOSPUNT.resize(NC, NK);
  cr.CUMPLESEQ.resize(NC, NK);
  cr.CUMPLEFP.resize(NC, NK);
  cr.MAXFALLOSSEQ.resize(NC, NK);
  cr.CUMPLESEQC.resize_filled(std::string(CUMPLE), NC, NK);
  cr.CUMPLEFPC.resize_filled(std::string(CUMPLE), NC, NK);
  cr.UFP.resize(NC, NK);
  cr.UFSEQ.resize(NC, NK);
  cr.NOMBREAUXCONDUCC.resize(NC);
  cr.NUMSEQUIAS = 0;
  cr.MESINISEQ.resize(0);
  cr.MESFINSEQ.resize(0);
  cr.NUMFALLOSSEQ.resize(0, NC, NK);

  // Reach labels: the names of types 1 to 5 in turn, each in its order,
  // which is the global reach order.
  const Array1<std::string>* names[5] = {&r.NOMCONDT1, &r.NOMCONDT2, &r.NOMCONDT3, &r.NOMCONDT4, &r.NOMCONDT5};
  const int counts[5] = {r.NUMCONDUCCIONEST1, r.NUMCONDUCCIONEST2, r.NUMCONDUCCIONEST3, r.NUMCONDUCCIONEST4,
                         r.NUMCONDUCCIONEST5};
  int c = 0;
  for (int t = 0; t < 5; ++t)
    for (int i = 1; i <= counts[t]; ++i) cr.NOMBREAUXCONDUCC(++c) = padded((*names[t])(i), LONGNOMBREAUX);
}

bool leer_archivo_criterios(Modelo& m, TrabajoCriterios& cr) {
  CountedReader rd(m.log, "Error en la lectura del archivo de criterios", "Error en la linea:");
  const std::string ruta = m.ruta("Criterios.txt");
  if (!name_exists(ruta)) {
    m.log.write({"No existe archivo de criterios"});
    return false;
  }
  rd.open(ruta, ERROR_ACCESO);
  const int NK = m.cal.NUMCONTAMINANTES;
  // Every item starts at 0, so an item left without a value (two commas, a
  // slash) reads as 0. The first item of a constituent record is read and
  // dropped: the record's position gives its constituent.
  rd.heading(3);
  for (int k = 1; k <= NK; ++k) {
    int ignored = 0;
    rd.record([&](Statement& st) {
      st.integer(ignored).integer(cr.NUMMESPOSTPUNT(k)).integer(cr.NUMPERFALLOSSEQ(k)).integer(cr.NUMMESPOSTSEQ(k));
    });
  }
  rd.heading(2);
  for (int k = 1; k <= NK; ++k) {
    int ignored = 0;
    rd.record([&](Statement& st) { st.integer(ignored).real(cr.UMBRALMAXG(k)).real(cr.UMBRALMING(k)); });
  }
  rd.heading();
  int NUMSEQUIAS = 0;
  rd.record([&](Statement& st) { st.integer(NUMSEQUIAS); });
  cr.NUMSEQUIAS = NUMSEQUIAS;

  // The drought records are gathered one by one and the arrays sized from
  // what was read: a count larger than the file can hold ends at the file's
  // end with the read error of the first missing record, and never asks for
  // the memory of the count.
  std::vector<int> ini, fin;
  for (long s = 1; s <= NUMSEQUIAS; ++s) {
    int a = 0, b = 0;
    rd.record([&](Statement& st) { st.integer(a).integer(b); });
    ini.push_back(a);
    fin.push_back(b);
  }
  cr.MESINISEQ.resize(static_cast<long>(ini.size()));
  cr.MESFINSEQ.resize(static_cast<long>(fin.size()));
  for (std::size_t s = 0; s < ini.size(); ++s) {
    cr.MESINISEQ(s + 1) = ini[s];
    cr.MESFINSEQ(s + 1) = fin[s];
  }
  return true;
}

}  // namespace tornal
