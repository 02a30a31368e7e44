// The quality data file and the order of the quality input: LEERARCHCALSUB
// allocates the start arrays, reads the quality data file record by record
// (titles, options, temperature, first-order pollutants, kinetic constants,
// reach and reservoir data, diffuse discharges, sediment fluxes, initial
// concentrations, treatment, indicators and time curves), checks the curve
// numbers, validates the parameters, reads the quality of inflows and the
// coefficients files and builds the constituent list NOMCONT.
#include "quality_input/quality_file.h"

#include <algorithm>
#include <climits>
#include <utility>
#include <vector>

#include "common/counted_reader.h"
#include "common/failures.h"
#include "common/free_reader.h"
#include "common/latin1.h"
#include "common/stop.h"
#include "quality_input/coefficients_file.h"
#include "quality_input/inflows_file.h"
#include "quality_input/kinetic_constants.h"
#include "quality_input/validation.h"

namespace tornal {

namespace {

const char* const ERROR_ACCESO = "Error en el acceso al archivo de calidad";
const char* const ERROR_LECTURA = "Error en la lectura del archivo de calidad";

// Length of the label records of the file (read and not used).
constexpr std::size_t LONGETIQUETA = 255;

// The quality data file is read with its record counter NUMLINEA: while a
// record is read, the number of that record, every read statement of the file
// counting one from 1 at TITULO1, headings included, however many lines the
// record spans.

// A label record: one text value that is not used.
void etiqueta(CountedReader& f) {
  std::string texto = blanks(LONGETIQUETA);
  f.text(texto, LONGETIQUETA);
}

// The arrays that exist in every run before the quality data file is
// opened: reach and reservoir data and the monthly input series of reaches
// and reservoirs.
void crear_arrays_iniciales(Modelo& m) {
  Calidad& c = m.cal;
  const int nc = m.red.NUMCONDUCCIONES;
  const int ne = m.red.NUMEMBALSES;
  const int nm = 12 * m.red.NUMANYOS;

  c.INRESCOND.resize(nc);
  c.INRESPARCOND.resize(nc);
  c.ECOND.resize(nc);
  c.LCOND.resize(nc);
  c.INCRX.resize(nc);
  c.TIPOHID.resize(nc);
  c.COEFTESHIDR.resize(nc, 6);
  c.TCOND.resize(nc, nm);
  c.TECOND.resize(nc, nm);
  c.INRESEMB.resize(ne);
  c.INRESEMB2.resize(ne);
  c.INRESPAREMB.resize(ne);
  c.EEMB.resize(ne, nm);
  c.ENTREMB.resize(ne, nm);
  c.SALEMB.resize(ne, nm);
  c.ZTEMB.resize(ne, nm);
  c.PORCENTVO.resize(ne);
  c.INCRETIEM.resize(ne);
  c.CURVTENTREM.resize(ne);
  c.CURVTSALEM.resize(ne);
  c.CURVTZTEM.resize(ne);
  c.ENTREM.resize(ne);
  c.SALEM.resize(ne);
  c.ZTEM.resize(ne);
  c.TEPIL.resize(ne, nm);
  c.THIPOL.resize(ne, nm);
  c.TEEMB.resize(ne, nm);
  c.TEEMBHIP.resize(ne, nm);
  c.EEM.resize(ne);
  c.CURVAEEM.resize(ne);
  c.HSWCOND.resize(nc, nm);
  c.TAIRCOND.resize(nc, nm);
  c.HRCOND.resize(nc, nm);
  c.NUBCOND.resize(nc, nm);
  c.VIENTOCOND.resize(nc, nm);
  c.HSWEMB.resize(ne, nm);
  c.TAIREMB.resize(ne, nm);
  c.HREMB.resize(ne, nm);
  c.NUBEMB.resize(ne, nm);
  c.VIENTOEMB.resize(ne, nm);
  c.KEEMBTEMP.resize(ne);
}

// Records 1 to 4: the two titles, a heading and the options line (five
// values in a version 1.0 file, whose temperature model is then the
// equilibrium temperature); then NUMCONTAMINANTES from the options as read.
// The options are not checked here (the validation warns of values out of
// their rules), but what they announce is bounded, formed in 64 bits: the
// first-order pollutants take their records of this file, and the
// concentrations of every constituent that this file gives for the aquifers,
// reservoirs, returns and intakes of the network must fit in what the rest of
// the file can hold (CountedReader::announce_held). More than that is the
// read error of record 4. The quality of inflows file answers for its own
// blocks when it is read.
void leer_opciones(CountedReader& f, Calidad& c, const Red& r, int NUMVERSION) {
  f.text(c.TITULO1, 255);
  f.text(c.TITULO2, 255);
  f.heading();
  c.OPCIONTEMPERATURA = 0;
  c.NUMCONT1OR = 0;
  c.OPCIONOXIGENO = 0;
  c.OPCIONNITROGENO = 0;
  c.OPCIONFITOPLANCTON = 0;
  c.MODELOTEMPERATURA = 0;
  f.record([&](Statement& st) {
    st.integer(c.OPCIONTEMPERATURA)
        .integer(c.NUMCONT1OR)
        .integer(c.OPCIONOXIGENO)
        .integer(c.OPCIONNITROGENO)
        .integer(c.OPCIONFITOPLANCTON);
    if (NUMVERSION != 10) st.integer(c.MODELOTEMPERATURA);
  });
  if (NUMVERSION == 10) c.MODELOTEMPERATURA = 1;
  if (c.NUMCONT1OR > 0) f.announce(4LL * c.NUMCONT1OR);
  const long long n = static_cast<long long>(c.OPCIONTEMPERATURA) + c.NUMCONT1OR + 2LL * c.OPCIONOXIGENO +
                      3 * (static_cast<long long>(c.OPCIONNITROGENO) + c.OPCIONFITOPLANCTON);
  if (n < INT_MIN || n > INT_MAX) f.failure();
  if (n > 0) {
    const long long filas = static_cast<long long>(std::max(0, r.NUMACUIFEROS)) +
                            (r.NUMEMBALSES > 0 ? 2LL * r.NUMEMBALSES : 0) + std::max(0, r.NUMRETORNOS) +
                            std::max(0, r.NUMTOMASFIS);
    f.announce_held(filas * n);
  }
  c.NUMCONTAMINANTES = static_cast<int>(n);
}

// Temperatures given as data (OPCIONTEMPERATURA 0): by reach the
// temperature, its curve and the exchange coefficient, by reservoir those of
// both layers and the exchange coefficient.
void leer_temperatura_dada(CountedReader& f, Modelo& m) {
  Calidad& c = m.cal;
  const int nc = m.red.NUMCONDUCCIONES;
  const int ne = m.red.NUMEMBALSES;
  c.MODELOTEMPERATURA = 0;
  c.TCON.resize(nc);
  c.TEPI.resize(ne);
  c.THIPO.resize(ne);
  c.CURVATCON.resize(nc);
  c.CURVATEPI.resize(ne);
  c.CURVATHIPO.resize(ne);
  c.KETCOND.resize(nc);
  c.KETEMB.resize(ne);
  f.heading(2);
  f.values(c.TCON, nc);
  f.values(c.CURVATCON, nc);
  f.values(c.KETCOND, nc);
  if (ne > 0) {
    f.heading();
    f.values(c.TEPI, ne);
    f.values(c.CURVATEPI, ne);
    f.values(c.THIPO, ne);
    f.values(c.CURVATHIPO, ne);
    f.values(c.KETEMB, ne);
  }
}

// The equilibrium temperature (model 1): by reach and by reservoir layer the
// equilibrium temperature and its curve, and the exchange coefficients.
void leer_temperatura_equilibrio(CountedReader& f, Modelo& m) {
  Calidad& c = m.cal;
  const int nc = m.red.NUMCONDUCCIONES;
  const int ne = m.red.NUMEMBALSES;
  c.TECON.resize(nc);
  c.TEEM.resize(ne);
  c.TEHI.resize(ne);
  c.CURVATECON.resize(nc);
  c.CURVATEEM.resize(ne);
  c.CURVATEHI.resize(ne);
  c.KETCOND.resize(nc);
  c.KETEMB.resize(ne);
  f.heading();
  f.values(c.TECON, nc);
  f.values(c.CURVATECON, nc);
  f.values(c.KETCOND, nc);
  if (ne > 0) {
    f.heading();
    f.values(c.TEEM, ne);
    f.values(c.CURVATEEM, ne);
    f.values(c.TEHI, ne);
    f.values(c.CURVATEHI, ne);
    f.values(c.KETEMB, ne);
  }
}

// The surface heat balance (model 2): by reach and by reservoir the
// short-wave radiation, air temperature, humidity, cloud cover and wind with
// their curves, and the extinction that shares the reservoirs' surface heat
// between their layers.
void leer_balance_calor(CountedReader& f, Modelo& m) {
  Calidad& c = m.cal;
  const int nc = m.red.NUMCONDUCCIONES;
  const int ne = m.red.NUMEMBALSES;
  c.HSWCON.resize(nc);
  c.CURHSWCON.resize(nc);
  c.TAIRCON.resize(nc);
  c.CURTAIRCON.resize(nc);
  c.HRCON.resize(nc);
  c.CURHRCON.resize(nc);
  c.NUBCON.resize(nc);
  c.CURNUBCON.resize(nc);
  c.VIENTOCON.resize(nc);
  c.CURVIENTOCON.resize(nc);
  c.HSWEM.resize(ne);
  c.CURHSWEM.resize(ne);
  c.TAIREM.resize(ne);
  c.CURTAIREM.resize(ne);
  c.HREM.resize(ne);
  c.CURHREM.resize(ne);
  c.NUBEM.resize(ne);
  c.CURNUBEM.resize(ne);
  c.VIENTOEM.resize(ne);
  c.CURVIENTOEM.resize(ne);
  f.heading();
  f.values(c.HSWCON, nc);
  f.values(c.CURHSWCON, nc);
  f.values(c.TAIRCON, nc);
  f.values(c.CURTAIRCON, nc);
  f.values(c.HRCON, nc);
  f.values(c.CURHRCON, nc);
  f.values(c.NUBCON, nc);
  f.values(c.CURNUBCON, nc);
  f.values(c.VIENTOCON, nc);
  f.values(c.CURVIENTOCON, nc);
  if (ne > 0) {
    f.heading();
    f.values(c.HSWEM, ne);
    f.values(c.CURHSWEM, ne);
    f.values(c.TAIREM, ne);
    f.values(c.CURTAIREM, ne);
    f.values(c.HREM, ne);
    f.values(c.CURHREM, ne);
    f.values(c.NUBEM, ne);
    f.values(c.CURNUBEM, ne);
    f.values(c.VIENTOEM, ne);
    f.values(c.CURVIENTOEM, ne);
    f.values(c.KEEMBTEMP, ne);
  }
}

// The temperature section, by OPCIONTEMPERATURA and MODELOTEMPERATURA:
// temperatures given as data (0), equilibrium temperature (1, 1), surface
// heat balance (1, 2), the label alone (1, other model) or nothing (other
// option). The reservoir block is in the file only when there are reservoirs.
void leer_temperatura(CountedReader& f, Modelo& m) {
  const Calidad& c = m.cal;
  if (c.OPCIONTEMPERATURA == 0) {
    leer_temperatura_dada(f, m);
    return;
  }
  if (c.OPCIONTEMPERATURA != 1) return;

  etiqueta(f);
  if (c.MODELOTEMPERATURA == 1)
    leer_temperatura_equilibrio(f, m);
  else if (c.MODELOTEMPERATURA == 2)
    leer_balance_calor(f, m);
}

// The first-order pollutants: their temperature corrections, then per
// pollutant its name, its decay rates and settling velocities in the reaches
// and, with reservoirs, in the reservoirs.
void leer_primer_orden(CountedReader& f, Modelo& m) {
  Calidad& c = m.cal;
  const int n1 = c.NUMCONT1OR;
  if (n1 <= 0) return;
  const int nc = m.red.NUMCONDUCCIONES;
  const int ne = m.red.NUMEMBALSES;

  c.NOMCONT1OR.resize_filled(blanks(LONGNOMCONT), n1);
  c.TECTAK1OR.resize(n1);
  c.KCOND.resize(nc, n1);
  c.VSCOND.resize(nc, n1);
  c.KEMB.resize(ne, n1);
  c.VSEMB.resize(ne, n1);

  f.heading();
  f.values(c.TECTAK1OR, n1);
  for (int k = 1; k <= n1; ++k) {
    f.text(c.NOMCONT1OR(k), LONGNOMCONT);
    f.heading();
    f.column(c.KCOND, k, nc);
    f.column(c.VSCOND, k, nc);
    if (ne > 0) {
      f.heading();
      f.column(c.KEMB, k, ne);
      f.column(c.VSEMB, k, ne);
    }
  }
}

// One model's block of the kinetic constants, after its `cabeceras`
// headings: for `n` elements, every constant of CONSTANTESCINETICAS that the
// model (`lado`: COND or EMB) has, of the groups the options select, in the
// order of the table; a value that varies over the year is followed by its
// curve numbers.
void leer_bloque_cinetico(CountedReader& f, Calidad& c, CampoCinetico ConstanteCinetica::*lado, int n, int cabeceras) {
  f.heading(cabeceras);
  for (const ConstanteCinetica& k : CONSTANTESCINETICAS) {
    const CampoCinetico& campo = k.*lado;
    if (!campo.existe() || !grupo_activo(c, k.grupo)) continue;
    f.values(c.*campo.valor, n);
    if (campo.curva != nullptr) f.values(c.*campo.curva, n);
  }
}

// The kinetic constants, present with the oxygen option: organic matter and
// oxygen, the nitrogen cycle (nitrogen option) and phytoplankton with the
// phosphorus cycle (phytoplankton option), first for the reaches, then, with
// reservoirs, for the reservoirs, which also give the wind speed over them.
// Sized first for the options, with the monthly series that the time curves
// fill later.
void leer_cineticas(CountedReader& f, Modelo& m) {
  if (m.cal.OPCIONOXIGENO != 1) return;
  const int nc = m.red.NUMCONDUCCIONES;
  const int ne = m.red.NUMEMBALSES;
  dimensionar_cineticas(m.cal, nc, ne, 12 * m.red.NUMANYOS);
  leer_bloque_cinetico(f, m.cal, &ConstanteCinetica::COND, nc, 3);
  if (ne <= 0) return;
  leer_bloque_cinetico(f, m.cal, &ConstanteCinetica::EMB, ne, 2);
}

// The reach data and, with reservoirs, the reservoir data.
void leer_elementos(CountedReader& f, Modelo& m) {
  Calidad& c = m.cal;
  const int nc = m.red.NUMCONDUCCIONES;
  const int ne = m.red.NUMEMBALSES;

  f.heading(3);
  f.values(c.INRESCOND, nc);
  f.values(c.INRESPARCOND, nc);
  f.values(c.ECOND, nc);
  f.values(c.LCOND, nc);
  f.values(c.INCRX, nc);
  f.values(c.TIPOHID, nc);
  for (int j = 1; j <= 6; ++j) f.column(c.COEFTESHIDR, j, nc);
  if (ne <= 0) return;

  f.heading(2);
  f.values(c.INRESEMB, ne);
  f.values(c.INRESEMB2, ne);
  f.values(c.INRESPAREMB, ne);
  f.values(c.EEM, ne);
  f.values(c.CURVAEEM, ne);
  f.values(c.PORCENTVO, ne);
  f.values(c.INCRETIEM, ne);
  f.values(c.ENTREM, ne);
  f.values(c.CURVTENTREM, ne);
  f.values(c.SALEM, ne);
  f.values(c.CURVTSALEM, ne);
  f.values(c.ZTEM, ne);
  f.values(c.CURVTZTEM, ne);
}

// The diffuse discharges into reaches and the sediment fluxes of
// reservoirs: each entry names its reach or reservoir, which must be one of
// the network, and gives one value per constituent. Each count is held
// against the records and the values (CountedReader::announce_held) that the
// rest of the file can supply for it.
void leer_vertidos_y_sedimentos(CountedReader& f, Modelo& m) {
  Calidad& c = m.cal;
  const int n = std::max(0, c.NUMCONTAMINANTES);

  f.heading();
  f.count(c.NUMVERTDIF, 2);
  f.announce_held(static_cast<long long>(c.NUMVERTDIF) * n);
  f.heading();
  c.NOMVERTDIF.resize_filled(blanks(LONGNOMCONT), c.NUMVERTDIF);
  c.NUMCONDUCVERTDIF.resize(c.NUMVERTDIF);
  c.SDVERTDIF.resize(c.NUMVERTDIF, n);
  for (int k = 1; k <= c.NUMVERTDIF; ++k) {
    f.text(c.NOMVERTDIF(k), LONGNOMCONT);
    f.record([&](Statement& st) {
      st.integer(c.NUMCONDUCVERTDIF(k));
      for (int j = 1; j <= n; ++j) st.real(c.SDVERTDIF(k, j));
    });
    const int tramo = c.NUMCONDUCVERTDIF(k);
    if (tramo < 1 || tramo > m.red.NUMCONDUCCIONES) f.failure();
  }

  f.heading();
  f.count(c.NUMFLUJSED, 1);
  f.announce_held(static_cast<long long>(c.NUMFLUJSED) * n);
  f.heading();
  if (c.NUMFLUJSED <= 0) return;
  c.NUMEMBFLUJSED.resize(c.NUMFLUJSED);
  c.FLUJSEDEMB.resize(c.NUMFLUJSED, n);
  for (int k = 1; k <= c.NUMFLUJSED; ++k) {
    f.record([&](Statement& st) {
      st.integer(c.NUMEMBFLUJSED(k));
      for (int j = 1; j <= n; ++j) st.real(c.FLUJSEDEMB(k, j));
    });
    const int embalse = c.NUMEMBFLUJSED(k);
    if (embalse < 1 || embalse > m.red.NUMEMBALSES) f.failure();
  }
}

// The initial concentrations of aquifers and reservoirs and the treated
// concentrations of returns and of every intake of the network data file.
void leer_concentraciones(CountedReader& f, Modelo& m) {
  Calidad& c = m.cal;
  const Red& r = m.red;
  const int n = std::max(0, c.NUMCONTAMINANTES);

  etiqueta(f);
  if (r.NUMACUIFEROS > 0) c.COACU.resize(r.NUMACUIFEROS, n);
  if (r.NUMEMBALSES > 0) {
    c.COEMB.resize(r.NUMEMBALSES, n);
    c.COEMB2.resize(r.NUMEMBALSES, n);
  }
  f.heading(2);
  for (int a = 1; a <= r.NUMACUIFEROS; ++a) f.row(c.COACU, a, n);
  f.heading(2);
  for (int e = 1; e <= r.NUMEMBALSES; ++e) f.row(c.COEMB, e, n);
  f.heading(2);
  for (int e = 1; e <= r.NUMEMBALSES; ++e) f.row(c.COEMB2, e, n);

  f.heading();
  c.RETORNODEPU.resize(r.NUMRETORNOS, n);
  c.TOMADEPU.resize(r.NUMTOMASFIS, n);
  f.heading(2);
  for (int k = 1; k <= r.NUMRETORNOS; ++k) f.row(c.RETORNODEPU, k, n);
  f.heading(2);
  for (int k = 1; k <= r.NUMTOMASFIS; ++k) f.row(c.TOMADEPU, k, n);
}

// The indicators (names, then element and kind, then after all of them
// their values, one per constituent) and the time curves (a name and twelve
// monthly factors, October first).
void leer_indicadores_y_curvas(CountedReader& f, Modelo& m) {
  Calidad& c = m.cal;
  const int n = std::max(0, c.NUMCONTAMINANTES);

  f.heading();
  f.count(c.NUMINDICADORES, 3);
  f.announce_held(static_cast<long long>(c.NUMINDICADORES) * n);
  f.heading();
  const int ni = c.NUMINDICADORES;
  c.NOMINDICADOR.resize_filled(blanks(LONGNOMCONT), ni);
  c.TIPOELEMIND.resize(ni);
  c.NUMELEMIND.resize(ni);
  c.TIPOIND.resize(ni);
  c.VALORESINDICADORES.resize(ni, n);
  for (int k = 1; k <= ni; ++k) {
    f.text(c.NOMINDICADOR(k), LONGNOMCONT);
    f.record([&](Statement& st) { st.integer(c.TIPOELEMIND(k)).integer(c.NUMELEMIND(k)).integer(c.TIPOIND(k)); });
  }
  for (int k = 1; k <= ni; ++k) f.row(c.VALORESINDICADORES, k, n);

  f.heading();
  f.count(c.NUMCURVASTEMP, 2);
  f.heading();
  c.NOMCURVASTEMP.resize_filled(blanks(LONGNOMCONT), c.NUMCURVASTEMP);
  c.VALORCURVASTEMP.resize(c.NUMCURVASTEMP, 12);
  for (int k = 1; k <= c.NUMCURVASTEMP; ++k) {
    f.text(c.NOMCURVASTEMP(k), LONGNOMCONT);
    f.row(c.VALORCURVASTEMP, k, 12);
  }
}

// Every curve number of the arrays that the options allocate must name one
// of the NUMCURVASTEMP time curves; the first one that does not stops the
// run, naming its reach or reservoir. The arrays are looked at in file order.
void comprobar_curvas(Modelo& m) {
  const Calidad& c = m.cal;
  std::vector<std::pair<const Array1<int>*, bool>> curvas;  // array, of reservoirs
  auto tramo = [&](const Array1<int>& a) { curvas.emplace_back(&a, false); };
  auto embalse = [&](const Array1<int>& a) { curvas.emplace_back(&a, true); };

  if (c.OPCIONTEMPERATURA == 0) {
    tramo(c.CURVATCON);
    embalse(c.CURVATEPI);
    embalse(c.CURVATHIPO);
  } else if (c.OPCIONTEMPERATURA == 1 && c.MODELOTEMPERATURA == 1) {
    tramo(c.CURVATECON);
    embalse(c.CURVATEEM);
    embalse(c.CURVATEHI);
  } else if (c.OPCIONTEMPERATURA == 1 && c.MODELOTEMPERATURA == 2) {
    for (const Array1<int>* a : {&c.CURHSWCON, &c.CURTAIRCON, &c.CURHRCON, &c.CURNUBCON, &c.CURVIENTOCON}) tramo(*a);
    for (const Array1<int>* a : {&c.CURHSWEM, &c.CURTAIREM, &c.CURHREM, &c.CURNUBEM, &c.CURVIENTOEM}) embalse(*a);
  }
  for (const ConstanteCinetica& k : CONSTANTESCINETICAS)
    if (k.COND.curva != nullptr && grupo_activo(c, k.grupo)) tramo(c.*k.COND.curva);
  for (const ConstanteCinetica& k : CONSTANTESCINETICAS)
    if (k.EMB.curva != nullptr && grupo_activo(c, k.grupo)) embalse(c.*k.EMB.curva);
  for (const Array1<int>* a : {&c.CURVAEEM, &c.CURVTENTREM, &c.CURVTSALEM, &c.CURVTZTEM}) embalse(*a);

  for (const auto& [a, de_embalses] : curvas) {
    for (long i = 1; i <= a->size(); ++i) {
      const int curva = (*a)(i);
      if (curva >= 1 && curva <= c.NUMCURVASTEMP) continue;
      m.log.write({"Número de curva temporal fuera de rango"});
      if (de_embalses)
        m.log.write({"Embalse:", m.red.NOMEMB(i)});
      else
        m.log.write({"Conducción:", m.red.NOMCONDUCC(i)});
      stop("error");
    }
  }
}

// The constituent list: temperature, the first-order pollutants, then
// organic matter and oxygen, the nitrogen cycle and phytoplankton with the
// phosphorus cycle, each group only when its option and those before it are
// 1. Entries that the options leave without a name stay blank.
void crear_nomcont(Calidad& c) {
  c.POS = posiciones_contaminantes(c);
  c.NOMCONT.resize_filled(blanks(LONGNOMCONT), std::max(0, c.NUMCONTAMINANTES));
  long pos = 0;
  auto poner = [&](const std::string& nombre) {
    if (++pos <= c.NOMCONT.size()) c.NOMCONT(pos) = padded(nombre, LONGNOMCONT);
  };
  if (c.OPCIONTEMPERATURA == 1) poner(latin1("Temperatura"));
  for (int k = 1; k <= c.NUMCONT1OR; ++k) poner(c.NOMCONT1OR(k));
  if (c.OPCIONOXIGENO != 1) return;
  poner(latin1("DBO5"));
  poner(latin1("Oxígeno Disuelto"));
  if (c.OPCIONNITROGENO != 1) return;
  poner(latin1("Nitrógeno Orgánico"));
  poner(latin1("Amonio"));
  poner(latin1("Nitratos"));
  if (c.OPCIONFITOPLANCTON != 1) return;
  poner(latin1("Chla"));
  poner(latin1("Fósforo Orgánico"));
  poner(latin1("Fósforo Inorgánico"));
}

}  // namespace

// Reads the three quality input files of the run. Allocates the start
// arrays, reads the quality data file PATHARCHIVO3 in the layout that
// NUMVERSION, the options and the presence of reservoirs select, checks its
// curve numbers and writes the success line; then validates the parameters,
// reads the quality of inflows file PATHARCHIVO4 and the coefficients file
// PATHARCHIVO5, and builds NOMCONT. Open and read failures write their lines
// to the run log and stop with "error".
void LEERARCHCALSUB(Modelo& m, const std::string& PATHARCHIVO3, const std::string& PATHARCHIVO4,
                    const std::string& PATHARCHIVO5, int NUMVERSION) {
  crear_arrays_iniciales(m);
  {
    CountedReader f(m.log, ERROR_LECTURA, "Error en la linea numero:");
    f.open(PATHARCHIVO3, ERROR_ACCESO);
    leer_opciones(f, m.cal, m.red, NUMVERSION);
    leer_temperatura(f, m);
    leer_primer_orden(f, m);
    leer_cineticas(f, m);
    leer_elementos(f, m);
    leer_vertidos_y_sedimentos(f, m);
    leer_concentraciones(f, m);
    leer_indicadores_y_curvas(f, m);
  }
  comprobar_curvas(m);
  m.log.write({"Lectura de archivos de calidad realizada con éxito"});

  validar_calidad(m);
  leer_aportaciones_calidad(m, PATHARCHIVO4);
  leer_coeficientes(m, PATHARCHIVO5, NUMVERSION);
  crear_nomcont(m.cal);
}

}  // namespace tornal
