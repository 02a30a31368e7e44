// The quality-risk levels file "NivelesRQ.dat" of the working folder: when it
// exists the run is a risk run. It gives, block by block in the order of the
// constituent list, a name, a number of levels and the limits between
// consecutive levels, in the units of the quality input files; the limits
// are kept in the internal units of the reach model.
#include "quality_input/risk_levels.h"

#include <cmath>
#include <cstddef>

#include "common/counted_reader.h"
#include "common/free_reader.h"
#include "common/latin1.h"

namespace tornal {

namespace {

// Length of the name of a block.
constexpr std::size_t LONGNOMCONTRISK = 255;

}  // namespace

// Sets OPCIONRIESGO to whether "NivelesRQ.dat" exists (one log line either
// way; one that exists and cannot be opened, a folder of that name included,
// is the file's access error and stops the run); when it exists, reads
// NUMCONTRIESGO, NOMCONTRISK, NUMNIVELESCONT and LIMNIVELES (NUMCONTRIESGO x
// 50, the limits times the unit factor of their constituent, every other
// entry 0), and creates MATCONDRIESGO (reaches x NUMCONTRIESGO x 50) at 0. A
// record that cannot be read, an end of file before the last separator, a
// block of more than 50 levels or fewer blocks than constituents give the
// file's read-error lines with the statement counter and stop.
void LEERARCHRIESGOSUB(Modelo& m) {
  Calidad& c = m.cal;
  c.OPCIONRIESGO = false;
  CountedReader f(m.log, "Error en la lectura del archivo de niveles de riesgo", "Error en la linea:");
  const std::string ruta = m.ruta("NivelesRQ.dat");
  if (!name_exists(ruta)) {
    m.log.write({"No existe archivo de niveles de riesgo"});
    return;
  }
  f.open(ruta, "Error en el acceso al archivo de niveles de riesgo");
  c.OPCIONRIESGO = true;
  m.log.write({"Existe archivo de niveles de riesgo. Opcion de riesgo activada"});

  f.heading();
  int NUMCONTRIESGO = 0;
  // Each block takes at least its name, its number of levels and its
  // closing record.
  f.count(NUMCONTRIESGO, 3, 0);
  c.NUMCONTRIESGO = NUMCONTRIESGO;
  // The reach model takes the levels of constituent k from block k.
  if (NUMCONTRIESGO < c.NUMCONTAMINANTES) f.failure();

  Array1<double> CAMUNIDRIES{"CAMUNIDRIES"};
  CAMUNIDRIES.resize_filled(1.0, NUMCONTRIESGO);
  c.NOMCONTRISK.resize_filled(blanks(LONGNOMCONTRISK), NUMCONTRIESGO);
  c.NUMNIVELESCONT.resize(NUMCONTRIESGO);
  c.LIMNIVELES.resize(NUMCONTRIESGO, MAXNIVELESRIESGO);

  for (int i = 1; i <= NUMCONTRIESGO; ++i) {
    f.text(c.NOMCONTRISK(i), LONGNOMCONTRISK);
    f.record([&](Statement& st) { st.integer(c.NUMNIVELESCONT(i)); });
    if (c.NUMNIVELESCONT(i) > MAXNIVELESRIESGO) f.failure();
    for (int j = 1; j <= c.NUMNIVELESCONT(i) - 1; ++j) f.record([&](Statement& st) { st.real(c.LIMNIVELES(i, j)); });
    f.heading();
  }

  // Unit factors of the stoichiometric constituents: "DBO5", then "Amonio"
  // and "Nitratos", then "Chla" and "Fósforo Inorgánico".
  if (c.OPCIONOXIGENO == 1) {
    const PosicionesContaminantes& pos = c.POS;
    const Array1<double>& U = c.UNIDADESESTEQUIOMETRICAS;
    if (std::trunc(10000.0 * U(1)) != 0.0) CAMUNIDRIES(pos.DBO) = 1.0 / (1.0 - std::exp(-5.0 * U(1)));
    if (c.OPCIONNITROGENO == 1) {
      CAMUNIDRIES(pos.NH4) = U(2);
      CAMUNIDRIES(pos.NO3) = U(3);
      if (c.OPCIONFITOPLANCTON == 1) {
        CAMUNIDRIES(pos.CHLA) = U(4);
        CAMUNIDRIES(pos.PO4) = U(5);
      }
    }
  }
  for (int i = 1; i <= NUMCONTRIESGO; ++i)
    for (int j = 1; j <= c.NUMNIVELESCONT(i) - 1; ++j) c.LIMNIVELES(i, j) *= CAMUNIDRIES(i);

  const Red& r = m.red;
  const int NUMCOND =
      r.NUMCONDUCCIONEST1 + r.NUMCONDUCCIONEST2 + r.NUMCONDUCCIONEST3 + r.NUMCONDUCCIONEST4 + r.NUMCONDUCCIONEST5;
  c.MATCONDRIESGO.resize(NUMCOND, NUMCONTRIESGO, MAXNIVELESRIESGO);
}

}  // namespace tornal
