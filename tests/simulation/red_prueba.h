// Small hand-built networks for the tests of the monthly driver: the
// elements and their nodes, every monthly series sized (all 0, already in
// calculation units), conservative first-order pollutants, untreated returns
// and intakes, unit factors of 1 (so the unit conversion is the identity)
// and the quality series that the time curves build sized and in range.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "common/latin1.h"
#include "modelo/modelo.h"
#include "quality_input/kinetic_constants.h"
#include "test_util.h"

namespace tornal_test {

struct Conduccion {
  int inicial;
  int final_;
  int tipo;  // reaches must be listed type 1 first, then 2, 3, 4, 5
};

struct RedPrueba {
  // ORDENNUDOS: (node, reservoir flag) in calculation order.
  std::vector<std::pair<int, int>> nudos;
  std::vector<Conduccion> conducciones;
  std::vector<int> aportaciones;               // node of each inflow
  std::vector<int> embalses;                   // node of each reservoir
  std::vector<std::pair<int, int>> centrales;  // intake node, re-entry node
  std::vector<std::pair<int, int>> bombeos;    // node, aquifer
  std::vector<int> retornos;                   // node of each return
  std::vector<std::pair<int, int>> tomas;      // node, return fed (0: none)
  std::vector<double> acuiferos_t3;            // aquifer of each type-3 reach
  int acuiferos = 0;
  int contaminantes = 1;
  int anyos = 1;
};

// Fills every month and year of element i of a monthly series.
inline void todos(tornal::Array3<double>& a, int i, double v) {
  for (int y = 1; y <= a.size(3); ++y)
    for (int mes = 1; mes <= 12; ++mes) a(i, mes, y) = v;
}

// The same for constituent c of element i of a (element, c, month, year) array.
inline void todos(tornal::Array4<double>& a, int i, int c, double v) {
  for (int y = 1; y <= a.size(4); ++y)
    for (int mes = 1; mes <= 12; ++mes) a(i, c, mes, y) = v;
}

inline void construir(tornal::Modelo& m, const RedPrueba& p) {
  using tornal::padded;
  tornal::Red& r = m.red;
  tornal::Calidad& c = m.cal;
  const int NA = p.anyos;
  const int NC = p.contaminantes;
  r.NUMANYOS = NA;
  r.ANYOINICIAL = 2000;

  // The elements and their nodes.
  ElementosRed e{.retornos = p.retornos, .embalses = p.embalses, .nudos_fis = 0};
  for (const Conduccion& k : p.conducciones) e.tramos.push_back({k.tipo, k.inicial, k.final_});
  for (const auto& [nudo, retorno] : p.tomas) e.tomas.push_back({nudo, retorno});
  for (const auto& [toma, reincorporacion] : p.centrales) e.centrales.push_back({toma, reincorporacion});
  montar_elementos(r, e);

  const int t[6] = {
      0, r.NUMCONDUCCIONEST1, r.NUMCONDUCCIONEST2, r.NUMCONDUCCIONEST3, r.NUMCONDUCCIONEST4, r.NUMCONDUCCIONEST5};
  const int NR = r.NUMCONDUCCIONES;
  r.NOMCONDUCC.resize(NR);
  for (int i = 1; i <= NR; ++i) r.NOMCONDUCC(i) = padded("Tramo " + std::to_string(i), tornal::LONGNOMBRE);
  r.NUMACUCONDT3.resize(t[3]);
  for (int i = 1; i <= t[3] && i <= static_cast<int>(p.acuiferos_t3.size()); ++i)
    r.NUMACUCONDT3(i) = p.acuiferos_t3[i - 1];

  r.NUMNUDOS = static_cast<int>(p.nudos.size());
  r.ORDENNUDOS.resize(r.NUMNUDOS, 3);
  for (int i = 1; i <= r.NUMNUDOS; ++i) {
    r.ORDENNUDOS(i, 1) = p.nudos[i - 1].first;
    r.ORDENNUDOS(i, 3) = p.nudos[i - 1].second;
  }

  r.NUMAPORTACIONES = static_cast<int>(p.aportaciones.size());
  r.NUDOAPO.resize(r.NUMAPORTACIONES);
  for (int i = 1; i <= r.NUMAPORTACIONES; ++i) r.NUDOAPO(i) = p.aportaciones[i - 1];

  r.NOMEMB.resize(r.NUMEMBALSES);
  r.VOLINIEMB.resize(r.NUMEMBALSES);
  r.VOLEMB.resize(r.NUMEMBALSES, 10);
  r.SUPERFEMB.resize(r.NUMEMBALSES, 10);
  r.COTAEMB.resize(r.NUMEMBALSES, 10);
  for (int i = 1; i <= r.NUMEMBALSES; ++i) {
    r.NOMEMB(i) = padded("Embalse " + std::to_string(i), tornal::LONGNOMBRE);
    // A prism: level 1 for every 100 of volume, area 100 at every level.
    for (int k = 1; k <= 10; ++k) {
      r.VOLEMB(i, k) = 100.0 * (k - 1);
      r.COTAEMB(i, k) = k - 1;
      r.SUPERFEMB(i, k) = 100.0;
    }
  }

  r.NUMBOMBEOS = static_cast<int>(p.bombeos.size());
  r.NUDOBOMB.resize(r.NUMBOMBEOS);
  r.ACUBOMB.resize(r.NUMBOMBEOS);
  for (int i = 1; i <= r.NUMBOMBEOS; ++i) {
    r.NUDOBOMB(i) = p.bombeos[i - 1].first;
    r.ACUBOMB(i) = p.bombeos[i - 1].second;
  }
  r.NUMACUIFEROS = p.acuiferos;

  r.NOMRET.resize(r.NUMRETORNOS);
  for (int i = 1; i <= r.NUMRETORNOS; ++i) r.NOMRET(i) = padded("Retorno " + std::to_string(i), tornal::LONGNOMBRE);

  r.NUMTOMASFIS = r.NUMTOMAS;
  r.COEFRETTOMA.resize(r.NUMTOMAS);

  // Monthly series of the allocation results.
  r.QAPO.resize(r.NUMAPORTACIONES, 12, NA);
  for (tornal::Array3<double>* a :
       {&r.APINTEREMB, &r.APPREVEMB, &r.VOLFINEMB, &r.COTFINEMB, &r.SUELTASEMB, &r.VERTEMB, &r.EVAPEMB, &r.FILTREMB})
    a->resize(r.NUMEMBALSES, 12, NA);
  r.QT1.resize(t[1], 12, NA);
  r.QFT2.resize(t[2], 12, NA);
  r.PERDT2.resize(t[2], 12, NA);
  r.QFT3.resize(t[3], 12, NA);
  r.PERDT3.resize(t[3], 12, NA);
  r.QT4.resize(t[4], 12, NA);
  r.QMAXT4.resize(t[4], 12, NA);
  r.QT5.resize(t[5], 12, NA);
  r.QCONDUCC.resize(NR, 12, NA);
  r.DOTRES.resize(0, 12, NA);
  r.SUMSUBTDEM.resize(0, 12, NA);
  r.SUMSUPDEM.resize(0, 12, NA);
  r.DEFDEM.resize(0, 12, NA);
  r.SUMTOMAS.resize(r.NUMTOMASFIS, 12, NA);
  r.QRETREAL.resize(r.NUMRETORNOS, 12, NA);
  for (tornal::Array3<double>* a : {&r.QOBJRESCEN, &r.QTURRESCEN, &r.HTURBCEN}) a->resize(r.NUMCENTRALES, 12, NA);
  r.QBOMB.resize(r.NUMBOMBEOS, 12, NA);
  r.QREC.resize(0, 12, NA);

  // Quality data: NC conservative first-order pollutants.
  c.OPCIONTEMPERATURA = 0;
  c.NUMCONT1OR = NC;
  c.NUMCONTAMINANTES = NC;
  c.POS = tornal::posiciones_contaminantes(c);
  c.NOMCONT.resize(NC);
  c.NOMCONT1OR.resize(NC);
  for (int k = 1; k <= NC; ++k) c.NOMCONT(k) = c.NOMCONT1OR(k) = padded("C" + std::to_string(k), 30);
  c.TECTAK1OR.resize_filled(1.0, NC);
  c.KCOND.resize(NR, NC);
  c.VSCOND.resize(NR, NC);
  c.KEMB.resize(r.NUMEMBALSES, NC);
  c.VSEMB.resize(r.NUMEMBALSES, NC);
  c.INRESCOND.resize(NR);
  c.INRESPARCOND.resize(NR);
  c.LCOND.resize_filled(1000.0, NR);
  c.INCRX.resize_filled(100.0, NR);
  c.ECOND.resize(NR);
  c.TIPOHID.resize_filled(2, NR);
  // Power-law hydraulics of 1 m/s and 1 m whatever the flow.
  c.COEFTESHIDR.resize(NR, 6);
  for (int i = 1; i <= NR; ++i) c.COEFTESHIDR(i, 1) = c.COEFTESHIDR(i, 3) = 1.0;
  // Kinetic constants of reaches and reservoirs, of every group, all 0, and
  // thetas of 1: nothing reacts.
  tornal::dimensionar_cineticas(c, NR, r.NUMEMBALSES, 12 * NA, true);
  c.KETCOND.resize(NR);
  c.TECTAOD.fill(1.0);
  c.CARACTERISTICASDELAGUA(1) = 1000.0;
  c.CARACTERISTICASDELAGUA(2) = 4186.0;
  c.INRESEMB.resize(r.NUMEMBALSES);
  c.INRESPAREMB.resize(r.NUMEMBALSES);
  // Reservoirs of one layer in 30 sub-steps of one day (conservative
  // substances).
  c.INCRETIEM.resize_filled(30.0, r.NUMEMBALSES);
  for (tornal::Array1<double>* a : {&c.KETEMB, &c.KEEMBTEMP}) a->resize(r.NUMEMBALSES);
  c.COACU.resize(p.acuiferos, NC);
  c.COEMB.resize(r.NUMEMBALSES, NC);
  c.COEMB2.resize(r.NUMEMBALSES, NC);
  c.RETORNODEPU.resize_filled(-1.0, r.NUMRETORNOS, NC);
  c.TOMADEPU.resize_filled(-1.0, r.NUMTOMASFIS, NC);
  c.COAPO.resize(r.NUMAPORTACIONES, NC, 12, NA);

  // Time curves and the series they build: one curve of factor 1, base
  // values of 0 (in range).
  c.NUMCURVASTEMP = 1;
  c.NOMCURVASTEMP.resize(1);
  c.VALORCURVASTEMP.resize_filled(1.0, 1, 12);
  const int NE = r.NUMEMBALSES;
  const int NM = 12 * NA;
  c.TCON.resize(NR);
  c.CURVATCON.resize_filled(1, NR);
  c.TCOND.resize(NR, NM);
  c.TECOND.resize(NR, NM);
  for (tornal::Array1<double>* a : {&c.TEPI, &c.THIPO, &c.EEM, &c.ENTREM, &c.SALEM, &c.ZTEM}) a->resize(NE);
  for (tornal::Array1<int>* a : {&c.CURVATEPI, &c.CURVATHIPO, &c.CURVAEEM, &c.CURVTENTREM, &c.CURVTSALEM, &c.CURVTZTEM})
    a->resize_filled(1, NE);
  for (tornal::Array2<double>* a : {&c.TEPIL, &c.THIPOL, &c.EEMB, &c.ENTREMB, &c.SALEMB, &c.ZTEMB}) a->resize(NE, NM);

  // Coefficients that make the unit conversion the identity.
  c.FACTORVOLUMEN = 1.0;
  c.DIVISORUNIDADES = 1.0;
  c.FACTORUNIDADES = 1.0;
  c.ERRORCONC = 0.0;
  c.OPCIONBALANCES = 0;
}

// What CALCULOSUB leaves for the node road: result arrays sized, presets in
// place, work arrays sized. For tests of the node road on its own.
inline void preparar_resultados(tornal::Modelo& m) {
  tornal::Simulacion& s = m.sim;
  const tornal::Red& r = m.red;
  const int NC = m.cal.NUMCONTAMINANTES;
  const int NA = r.NUMANYOS;
  s.NUDOSCE.resize(r.NUMNUDOS, NC, 12, NA);
  s.NUDOSCS.resize(r.NUMNUDOS, NC, 12, NA);
  s.CONDUCCCE.resize(r.NUMCONDUCCIONES, NC, 12, NA);
  s.CONDUCCCS.resize_filled(-999.0, r.NUMCONDUCCIONES, NC, 12, NA);
  s.CENTRCE.resize(r.NUMCENTRALES, NC, 12, NA);
  s.CENTRCS.resize(r.NUMCENTRALES, NC, 12, NA);
  s.TOMASCE.resize(r.NUMTOMAS, NC, 12, NA);
  s.TOMASCS.resize_filled(-9999.0, r.NUMTOMAS, NC, 12, NA);
  s.ELERETCE.resize(r.NUMRETORNOS, NC, 12, NA);
  s.ELERETCS.resize(r.NUMRETORNOS, NC, 12, NA);
  s.V1F.resize(r.NUMEMBALSES, 12, NA);
  s.V2F.resize(r.NUMEMBALSES, 12, NA);
  s.EMB1CF.resize(r.NUMEMBALSES, NC, 12, NA);
  s.EMB2CF.resize(r.NUMEMBALSES, NC, 12, NA);
  s.DESCAMBIOUNIDAD.resize_filled(1.0, NC);
  s.ERROREMB.resize(r.NUMEMBALSES);
  s.NUMMESESFINOSEMB.resize(r.NUMEMBALSES);
  s.MAXSUBPASOSFINOSEMB.resize(r.NUMEMBALSES);
  s.MESESMEZCLAEMB.resize(r.NUMEMBALSES);
  s.ERRORCOND.resize(r.NUMCONDUCCIONES);
  s.MESESCALORLINEAL.resize(r.NUMCONDUCCIONES);
  s.MESESCALOREQUILIBRIO.resize(r.NUMCONDUCCIONES);
  s.MESESMEZCLACOND.resize(r.NUMCONDUCCIONES);
  s.MESESSINESTACIONARIOCOND.resize(r.NUMCONDUCCIONES);
  s.MESESSINESTACIONARIOSEG.resize(r.NUMCONDUCCIONES);
  s.MESACTUAL = 1;
}

}  // namespace tornal_test
