// One hand-built reach for the tests of the reach model: reach 1 of a basin
// of two reaches (reach 2 is there to receive discharges meant for another
// reach), cut in segments of INCRX along LCOND, with power-law hydraulics of
// velocity U (m/s) and depth H (m) whatever the flow, and NC constituents,
// all first-order pollutants that do not react until a test says otherwise.
#pragma once

#include <vector>

#include "quality_input/kinetic_constants.h"
#include "reach/reach_model.h"
#include "simulation/red_prueba.h"
#include "test_util.h"

namespace tornal_test {

// A model with the work arrays of its reach, as the node road holds them.
struct ModeloTramo : tornal::Modelo {
  tornal::TrabajoTramo tramo;
};

inline void tramo_prueba(tornal::Modelo& m, int NC, double LCOND, double INCRX, double U, double H) {
  RedPrueba p;
  p.nudos = {{1, 0}, {2, 0}, {3, 0}};
  p.conducciones = {{1, 2, 1}, {2, 3, 1}};
  p.contaminantes = NC;
  prepare(m);
  construir(m, p);
  preparar_resultados(m);
  m.cal.LCOND(1) = LCOND;
  m.cal.INCRX(1) = INCRX;
  m.cal.COEFTESHIDR(1, 1) = U;
  m.cal.COEFTESHIDR(1, 3) = H;
  for (int mes = 1; mes <= 12; ++mes) m.cal.TCOND(1, mes) = 20.0;
}

// Temperature as constituent 1 and the BOD-oxygen pair as the last two;
// the others are first-order pollutants.
inline void opciones(tornal::Modelo& m, int temperatura, int oxigeno, int modelo_temperatura = 1) {
  tornal::Calidad& c = m.cal;
  c.OPCIONTEMPERATURA = temperatura;
  c.MODELOTEMPERATURA = modelo_temperatura;
  c.OPCIONOXIGENO = oxigeno;
  c.NUMCONT1OR = c.NUMCONTAMINANTES - temperatura - 2 * oxigeno;
  c.POS = tornal::posiciones_contaminantes(c);
}

// Oxygen, nitrogen and phytoplankton, with no first-order pollutant: the
// eight kinetic constituents, DBO5 1 to phosphate 8.
inline void opciones_nutrientes(tornal::Modelo& m) {
  tornal::Calidad& c = m.cal;
  c.OPCIONOXIGENO = c.OPCIONNITROGENO = c.OPCIONFITOPLANCTON = 1;
  c.NUMCONT1OR = 0;
  c.POS = tornal::posiciones_contaminantes(c);
}

// Every kinetic constant of reach 1 in the table a value of its own.
inline void constantes_tramo(tornal::Calidad& c) { constantes_de_la_tabla(c, &tornal::ConstanteCinetica::COND); }

// CALCULOCONDUCSUB of reach 1 in month MES of year 1.
inline void calcular(ModeloTramo& m, double QCAB, double QENT, double QSAL, const std::vector<double>& co,
                     const std::vector<double>& ce, int MES = 1) {
  tornal::Array1<double> CO{"CO"}, CE{"CE"};
  CO.resize(static_cast<int>(co.size()));
  CE.resize(static_cast<int>(ce.size()));
  for (int k = 1; k <= CO.size(); ++k) CO(k) = co[k - 1];
  for (int k = 1; k <= CE.size(); ++k) CE(k) = ce[k - 1];
  m.sim.MESACTUAL = MES;
  tornal::CALCULOCONDUCSUB(m, m.tramo, 1, QCAB, QENT, QSAL, CO, CE, MES, 1);
}

inline double salida(const tornal::Modelo& m, int k, int MES = 1) { return m.sim.CONDUCCCS(1, k, MES, 1); }

// How many lines of the run log hold `texto` (UTF-8).
inline int lineas_con(const tornal::Modelo& m, const std::string& texto) {
  int n = 0;
  for (const std::string& l : log_lines(m))
    if (l.find(tornal::latin1(texto)) != std::string::npos) ++n;
  return n;
}

}  // namespace tornal_test
