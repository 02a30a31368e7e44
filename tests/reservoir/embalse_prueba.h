// One reservoir at node row 1, built by hand for the tests of the reservoir
// model: a prism (constant area, level proportional to volume), every
// series sized and at 0, calculation units throughout (flows times
// DIVISORUNIDADES are the month's volumes), constituents chosen by options.
#pragma once

#include <string>
#include <vector>

#include "common/latin1.h"
#include "quality_input/kinetic_constants.h"
#include "reservoir/reservoir_model.h"
#include "test_util.h"

namespace tornal_test {

struct OpcionesEmbalse {
  int temperatura = 0;  // OPCIONTEMPERATURA
  int modelo_t = 1;     // MODELOTEMPERATURA
  int primer_orden = 1;
  int oxigeno = 0, nitrogeno = 0, fitoplancton = 0;
  int anyos = 1;
  double area = 1.0e5;  // m2: level 10 m a million m3
  double fondo = 0.0;   // level of the curve's first point
  double paso = 1.0e7;  // volume between curve points
};

inline void serie(tornal::Array2<double>& a, double v) { a.fill(v); }

// The model with one reservoir; every monthly series of the allocation model
// and of the quality data sized for `anyos` years.
inline tornal::Modelo embalse_prueba(const OpcionesEmbalse& o = {}) {
  using tornal::padded;
  tornal::Modelo m;
  prepare(m);
  tornal::Red& r = m.red;
  tornal::Calidad& c = m.cal;
  tornal::Simulacion& s = m.sim;
  const int NA = o.anyos;
  const int NM = 12 * NA;
  r.NUMANYOS = NA;
  r.ANYOINICIAL = 2000;
  r.NUMEMBALSES = 1;
  r.NOMEMB.resize(1);
  r.NOMEMB(1) = padded("Embalse de prueba", tornal::LONGNOMBRE);
  r.VOLINIEMB.resize(1);
  r.VOLEMB.resize(1, 10);
  r.COTAEMB.resize(1, 10);
  r.SUPERFEMB.resize(1, 10);
  for (int i = 1; i <= 10; ++i) {
    r.VOLEMB(1, i) = o.paso * (i - 1);
    r.COTAEMB(1, i) = o.fondo + o.paso * (i - 1) / o.area;
    r.SUPERFEMB(1, i) = o.area;
  }
  for (tornal::Array3<double>* a : {&r.VOLFINEMB, &r.SUELTASEMB, &r.EVAPEMB, &r.FILTREMB, &r.VERTEMB})
    a->resize(1, 12, NA);

  c.OPCIONTEMPERATURA = o.temperatura;
  c.MODELOTEMPERATURA = o.temperatura == 1 ? o.modelo_t : 0;
  c.NUMCONT1OR = o.primer_orden;
  c.OPCIONOXIGENO = o.oxigeno;
  c.OPCIONNITROGENO = o.nitrogeno;
  c.OPCIONFITOPLANCTON = o.fitoplancton;
  const int NC = o.temperatura + o.primer_orden + 2 * o.oxigeno + 3 * (o.nitrogeno + o.fitoplancton);
  c.NUMCONTAMINANTES = NC;
  c.POS = tornal::posiciones_contaminantes(c);
  c.NOMCONT.resize(NC);
  c.NOMCONT1OR.resize(o.primer_orden);
  const char* const cineticos[] = {"DBO5", "Oxígeno Disuelto", "Nitrógeno Orgánico", "Amonio", "Nitratos",
                                   "Chla", "Fósforo Orgánico", "Fósforo Inorgánico"};
  int k = 0;
  if (o.temperatura == 1) c.NOMCONT(++k) = padded("Temperatura", 30);
  for (int i = 1; i <= o.primer_orden; ++i) c.NOMCONT(++k) = c.NOMCONT1OR(i) = padded("P" + std::to_string(i), 30);
  for (int i = 0; k < NC; ++i) c.NOMCONT(++k) = padded(tornal::latin1(cineticos[i]), 30);
  c.TECTAK1OR.resize_filled(1.0, o.primer_orden);
  c.KEMB.resize(1, o.primer_orden);
  c.VSEMB.resize(1, o.primer_orden);
  c.INCRETIEM.resize_filled(30.0, 1);
  c.INRESPAREMB.resize(1);
  c.COEMB.resize(1, NC);
  c.COEMB2.resize(1, NC);
  // Every kinetic constant of the reservoir, and its series, at 0.
  tornal::dimensionar_cineticas(c, 0, 1, NM, true);
  for (tornal::Array1<double>* a : {&c.KETEMB, &c.KEEMBTEMP}) a->resize(1);
  for (tornal::Array2<double>* a : {&c.ZTEMB, &c.SALEMB, &c.ENTREMB, &c.EEMB, &c.TEPIL, &c.THIPOL, &c.TEEMB,
                                    &c.TEEMBHIP, &c.HSWEMB, &c.TAIREMB, &c.HREMB, &c.NUBEMB, &c.VIENTOEMB})
    a->resize(1, NM);
  serie(c.TEPIL, 20.0);
  serie(c.THIPOL, 20.0);
  c.TECTAOD.fill(1.0);
  c.CARACTERISTICASDELAGUA(1) = 1000.0;
  c.CARACTERISTICASDELAGUA(2) = 4186.0;
  c.FACTORVOLUMEN = 1.0e6;
  c.DIVISORUNIDADES = 30.0;
  c.COEFTETERMOCLINA = 0.8;

  s.NUDOSCE.resize(1, NC, 12, NA);
  s.NUDOSCS.resize(1, NC, 12, NA);
  s.EMB1CF.resize(1, NC, 12, NA);
  s.EMB2CF.resize(1, NC, 12, NA);
  s.V1F.resize(1, 12, NA);
  s.V2F.resize(1, 12, NA);
  s.DESCAMBIOUNIDAD.resize_filled(1.0, NC);
  s.ERROREMB.resize(1);
  s.NUMMESESFINOSEMB.resize(1);
  s.MAXSUBPASOSFINOSEMB.resize(1);
  s.MESESMEZCLAEMB.resize(1);
  return m;
}

// Every kinetic constant of reservoir 1 in the table a value of its own.
inline void constantes_embalse(tornal::Calidad& c) { constantes_de_la_tabla(c, &tornal::ConstanteCinetica::EMB); }

// The inflow concentrations that the driver hands the reservoir in month
// mes of year y: the mix of its node, NUDOSCE.
inline tornal::Array1<double> entrada_mes(const tornal::Modelo& m, int mes, int y) {
  tornal::Array1<double> CE{"CEEMBAUX"};
  CE.resize(m.cal.NUMCONTAMINANTES);
  for (int c = 1; c <= m.cal.NUMCONTAMINANTES; ++c) CE(c) = m.sim.NUDOSCE(1, c, mes, y);
  return CE;
}

// The reservoir month by month, as the driver calls it (the series read at
// the running month of the run), from the inflow concentrations NUDOSCE;
// `w` holds the last month afterwards. `cada_mes` runs after every month.
template <typename F>
void correr_embalse(tornal::Modelo& m, tornal::TrabajoEmbalse& w, F&& cada_mes) {
  for (int y = 1; y <= m.red.NUMANYOS; ++y)
    for (int mes = 1; mes <= 12; ++mes) {
      m.sim.MESACTUAL = 12 * (y - 1) + mes;
      tornal::CALCULOEMBSUB(m, w, 1, 1, entrada_mes(m, mes, y), mes, y);
      cada_mes(mes, y);
    }
}

inline void correr_embalse(tornal::Modelo& m, tornal::TrabajoEmbalse& w) {
  correr_embalse(m, w, [](int, int) {});
}

// One month (October of the first year) from VOLINIEMB to VOLFINEMB.
inline void un_mes(tornal::Modelo& m, tornal::TrabajoEmbalse& w) {
  m.sim.MESACTUAL = 1;
  tornal::CALCULOEMBSUB(m, w, 1, 1, entrada_mes(m, 1, 1), 1, 1);
}

// A series of the allocation model or an inflow concentration in every month.
inline void cada_mes(tornal::Array3<double>& a, double v) { a.fill(v); }
inline void entrada(tornal::Modelo& m, int c, double v) {
  for (int y = 1; y <= m.red.NUMANYOS; ++y)
    for (int mes = 1; mes <= 12; ++mes) m.sim.NUDOSCE(1, c, mes, y) = v;
}

// Runs `f` with the sub-step files of reservoir 1 open in `dir` ("emb.csv"
// and "balances.csv"): a row every N-th sub-step, the balances by
// OPCIONBALANCES.
template <typename F>
void con_archivos(tornal::Modelo& m, const TempDir& dir, int N, int OPCIONBALANCES, F&& f) {
  m.cal.INRESPAREMB(1) = 1;
  m.cal.OPCIONBALANCES = OPCIONBALANCES;
  m.cal.ACUMULACIONRESULTADOSPARCIALES(2) = N;
  ASSERT_TRUE(m.sim.archivo_emb_par.open(dir.file("emb.csv")));
  ASSERT_TRUE(m.sim.archivo_balances.open(dir.file("balances.csv")));
  f();
  ASSERT_TRUE(m.sim.archivo_emb_par.close());
  ASSERT_TRUE(m.sim.archivo_balances.close());
}

// The field `n` (from 0) of a row of the sub-step files.
inline std::string campo(const std::string& l, int n) {
  std::size_t p = 0;
  for (int i = 0; i < n; ++i) p = l.find(';', p) + 1;
  return l.substr(p, l.find(';', p) - p);
}

// The field (from 0) of "balances.csv" of term t of the transport array
// `masa` for constituent c, or of term t of the process array `masa`, in
// the order of the booked arrays: after the reservoir, the date, the
// sub-step, the volumes and the concentrations of both layers, the
// transport terms of every constituent, then the process terms.
inline int columna_transporte(int NC, tornal::Array3<double> tornal::TrabajoEmbalse::*masa, int t, int c) {
  int n = 5 + 2 * NC;
  for (const tornal::TransporteBalance& b : tornal::BALANCETRANSPORTE) {
    if (b.masa == masa) return n + (t - 1) * NC + c - 1;
    n += b.terminos() * NC;
  }
  return -1;
}
inline int columna_proceso(int NC, tornal::Array2<double> tornal::TrabajoEmbalse::*masa, int t) {
  int n = 5 + 2 * NC;
  for (const tornal::TransporteBalance& b : tornal::BALANCETRANSPORTE) n += b.terminos() * NC;
  for (const tornal::ProcesoBalance& p : tornal::BALANCEPROCESOS) {
    if (p.masa == masa) return n + t - 1;
    n += p.terminos();
  }
  return -1;
}

// The lines of the run log without their blanks, the blank pieces of long
// names left out.
inline std::vector<std::string> lineas_log(const tornal::Modelo& m) {
  std::vector<std::string> out;
  for (const std::string& x : log_lines(m))
    if (!tornal::trimmed(x).empty()) out.push_back(tornal::trimmed(x));
  return out;
}

}  // namespace tornal_test
