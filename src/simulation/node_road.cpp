// The months of the run and the node road of one month. Every node of the
// calculation order first mixes all that flows into it, in a fixed order of
// element kinds (inflows, reaches ending there, hydro plants re-entering
// there, pumping, returns), then hands the mixed water on: to the reservoir
// model at a reservoir node, and to the hydro plants, intakes and reaches
// that take water there. Flows are in calculation units (m3/day) and
// concentrations in internal units throughout.
//
// Every test of an integer part (INT(100 x flow) = 0, INT(x) = -999,
// INT(x) = -1) is made with std::trunc in double: real flows overflow a
// 32-bit integer.
#include "simulation/node_road.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "common/free_writer.h"
#include "common/latin1.h"
#include "common/stop.h"
#include "quality_input/time_constants.h"
#include "reach/reach_model.h"
#include "reservoir/reservoir_model.h"

namespace tornal {
namespace {

// Whether a summed flow (or summed weight) is below a hundredth of the
// calculation unit, to the hundredth: INT(100 x q) = 0.
bool sin_caudal(double q) { return std::trunc(100.0 * q) == 0.0; }

// A reach outlet not yet computed in the month: its integer part is -999.
bool sin_calcular(double c) { return std::trunc(c) == -999.0; }

// A treatment concentration meaning "untreated": its integer part is -1.
bool sin_depurar(double c) { return std::trunc(c) == -1.0; }

[[noreturn]] void bucle(Modelo& m, int NUDOACTUAL) {
  m.log.write({"Bucle en la red de flujo"});
  m.log.write({"El nudo:", NUDOACTUAL});
  m.log.write({"No puede calcularse porque aguas arriba existe un bucle"});
  stop("Error");
}

[[noreturn]] void error_retorno(Modelo& m, int I) {
  m.log.write({"Error al intentar estimar la calidad de un retorno"});
  m.log.write({"Numero de retorno"});
  m.log.write({I});
  m.log.write({"Nombre de retorno"});
  m.log.write({m.red.NOMRET(I)});
  stop("error");
}

[[noreturn]] void error_acuifero(Modelo& m, int I, double a) {
  m.log.write({"El acuífero de la conducción no existe"});
  m.log.write({"Número Conducción:", I});
  m.log.write({"Nombre Conducción:", m.red.NOMCONDUCC(I)});
  m.log.write({"Número de acuífero:", a});
  stop("error");
}

// The rows of the calculation order by node number, sorted, so that the
// rows of a node are found by a binary search.
struct FilasPorNudo {
  std::vector<std::pair<int, int>> pares;  // (node, row)
  explicit FilasPorNudo(const Red& r) {
    pares.reserve(static_cast<std::size_t>(r.NUMNUDOS > 0 ? r.NUMNUDOS : 0));
    for (int f = 1; f <= r.NUMNUDOS; ++f) pares.emplace_back(r.ORDENNUDOS(f, 1), f);
    std::sort(pares.begin(), pares.end());
  }
  // Calls visita(row) for every row whose node is `nudo`.
  template <typename F>
  void filas(int nudo, F&& visita) const {
    auto it = std::lower_bound(pares.begin(), pares.end(), std::make_pair(nudo, 0));
    for (; it != pares.end() && it->first == nudo; ++it) visita(it->second);
  }
};

// Groups elements 1..n by the row (or rows) of `NUMFILAS` that each belongs
// to: `filas_de(I, visita)` calls visita(row) for each. Two passes, counting
// and then placing, keep every list in increasing element number.
template <typename Filas>
void agrupar(ElementosPorFila& lista, const char* nombre, int NUMFILAS, int n, Filas&& filas_de) {
  const int NF = NUMFILAS > 0 ? NUMFILAS : 0;
  lista.INICIO = Array1<int>(std::string("INICIO") + nombre);
  lista.INICIO.resize(NF + 1);
  long total = 0;
  for (int I = 1; I <= n; ++I)
    filas_de(I, [&](int f) {
      ++lista.INICIO(f);
      ++total;
    });
  // From counts to first places.
  int lugar = 1;
  for (int f = 1; f <= NF + 1; ++f) {
    const int cuenta = f <= NF ? lista.INICIO(f) : 0;
    lista.INICIO(f) = lugar;
    lugar += cuenta;
  }
  lista.ELEMENTOS = Array1<int>(std::string("ELEMENTOS") + nombre);
  lista.ELEMENTOS.resize(total);
  Array1<int> siguiente{"SIGUIENTE"};
  siguiente.resize(NF);
  for (int f = 1; f <= NF; ++f) siguiente(f) = lista.INICIO(f);
  for (int I = 1; I <= n; ++I) filas_de(I, [&](int f) { lista.ELEMENTOS(siguiente(f)++) = I; });
}

// Calls visita(I) for every element I of row FILA of a list.
template <typename F>
void para_cada(const ElementosPorFila& lista, int FILA, F&& visita) {
  const int fin = lista.INICIO(FILA + 1);
  for (int p = lista.INICIO(FILA); p < fin; ++p) visita(lista.ELEMENTOS(p));
}

// The concentrations of return I, whose node is being mixed: the mix of the
// intakes that feed it, weighted by abstraction times returned fraction
// (ELERETCE), and what it delivers (ELERETCS): that mix when untreated, the
// treated concentration otherwise.
void calidad_retorno(Modelo& m, TrabajoNudos& w, int I, int MES, int ANO) {
  const int NC = m.cal.NUMCONTAMINANTES;
  Simulacion& s = m.sim;
  double SUMCAUDALRET = 0.0;
  para_cada(w.elementos.TOMASRETORNO, I, [&](int t) {
    const double peso = m.red.SUMTOMAS(t, MES, ANO) * m.red.COEFRETTOMA(t);
    SUMCAUDALRET += peso;
    const auto TOMASCS = s.TOMASCS.line<2>(t, 1, MES, ANO);
    for (int c = 1; c <= NC; ++c) w.CERETAUX(c) += peso * TOMASCS(c);
  });
  const auto ELERETCE = s.ELERETCE.line<2>(I, 1, MES, ANO);
  const auto ELERETCS = s.ELERETCS.line<2>(I, 1, MES, ANO);
  const bool sin_agua = sin_caudal(SUMCAUDALRET);
  for (int c = 1; c <= NC; ++c) ELERETCE(c) = sin_agua ? 0.0 : w.CERETAUX(c) / SUMCAUDALRET;
  for (int c = 1; c <= NC; ++c) {
    const double depurado = m.cal.RETORNODEPU(I, c);
    if (sin_depurar(depurado)) {
      ELERETCS(c) = ELERETCE(c);
      if (ELERETCS(c) < 0.0) error_retorno(m, I);
    } else {
      ELERETCS(c) = depurado;
    }
  }
}

// Mixes the inflows of the node of row FILANUDO into NUDOSCE.
void mezcla(Modelo& m, TrabajoNudos& w, int FILANUDO, int NUDOACTUAL, int MES, int ANO) {
  const int NC = m.cal.NUMCONTAMINANTES;
  const Red& r = m.red;
  Simulacion& s = m.sim;
  for (int c = 1; c <= NC; ++c) {
    w.CENUDOAUX(c) = 0.0;
    w.CEEMBAUX(c) = 0.0;
    w.COIN(c) = 0.0;
    w.CEIN(c) = 0.0;
  }
  double SUMCAUDAL = 0.0;
  const ElementosNudos& e = w.elementos;

  para_cada(e.APORTACIONES, FILANUDO, [&](int I) {
    const double q = r.QAPO(I, MES, ANO);
    SUMCAUDAL += q;
    const auto COAPO = m.cal.COAPO.line<2>(I, 1, MES, ANO);
    for (int c = 1; c <= NC; ++c) w.CENUDOAUX(c) += q * COAPO(c);
  });
  para_cada(e.LLEGADAS, FILANUDO, [&](int I) {
    const double q = r.QCONDUCC(I, MES, ANO);
    SUMCAUDAL += q;
    const auto CONDUCCCS = s.CONDUCCCS.line<2>(I, 1, MES, ANO);
    for (int c = 1; c <= NC; ++c) {
      const double cs = CONDUCCCS(c);
      if (sin_calcular(cs)) bucle(m, NUDOACTUAL);
      w.CENUDOAUX(c) += q * cs;
    }
  });
  para_cada(e.REINCEN, FILANUDO, [&](int I) {
    const double q = r.QTURRESCEN(I, MES, ANO);
    SUMCAUDAL += q;
    const auto CENTRCS = s.CENTRCS.line<2>(I, 1, MES, ANO);
    for (int c = 1; c <= NC; ++c) w.CENUDOAUX(c) += q * CENTRCS(c);
  });
  para_cada(e.BOMBEOS, FILANUDO, [&](int I) {
    const double q = r.QBOMB(I, MES, ANO);
    SUMCAUDAL += q;
    for (int c = 1; c <= NC; ++c) w.CENUDOAUX(c) += q * m.cal.COACU(r.ACUBOMB(I), c);
  });
  para_cada(e.RETORNOS, FILANUDO, [&](int I) {
    for (int c = 1; c <= NC; ++c) w.CERETAUX(c) = 0.0;
    calidad_retorno(m, w, I, MES, ANO);
    const double q = r.QRETREAL(I, MES, ANO);
    SUMCAUDAL += q;
    const auto ELERETCS = s.ELERETCS.line<2>(I, 1, MES, ANO);
    for (int c = 1; c <= NC; ++c) w.CENUDOAUX(c) += q * ELERETCS(c);
  });

  const auto NUDOSCE = s.NUDOSCE.line<2>(FILANUDO, 1, MES, ANO);
  const bool sin_agua = sin_caudal(SUMCAUDAL);
  for (int c = 1; c <= NC; ++c) NUDOSCE(c) = sin_agua ? 0.0 : w.CENUDOAUX(c) / SUMCAUDAL;
}

// Reach I, which starts at the node of row FILANUDO: its inlet, its flow
// balance and lateral inflow, the calibration when it is the calibrated
// reach, and its outlet (the reach model, or the inlet when not modelled).
void conduccion(Modelo& m, TrabajoNudos& w, const OpcionesCalibracion& op, int FILANUDO, int I, int MES, int ANO) {
  const int NC = m.cal.NUMCONTAMINANTES;
  const Red& r = m.red;
  Simulacion& s = m.sim;
  const auto CONDUCCCE = s.CONDUCCCE.line<2>(I, 1, MES, ANO);
  {
    const auto NUDOSCS = s.NUDOSCS.line<2>(FILANUDO, 1, MES, ANO);
    for (int c = 1; c <= NC; ++c) CONDUCCCE(c) = NUDOSCS(c);
  }
  double QENT = 0.0;
  double QSAL = 0.0;
  for (int c = 1; c <= NC; ++c) w.CEIN(c) = 0.0;

  const int tipo = r.CONDUCCIONES(I, 3);
  double p = 0.0;
  if (tipo == 3) {
    const int i3 = I - r.NUMCONDUCCIONEST1 - r.NUMCONDUCCIONEST2;
    p = r.PERDT3(i3, MES, ANO);
    if (p > 0.0) {
      QENT = 0.0;
      QSAL = p;
    } else {
      QSAL = 0.0;
      QENT = 0.0 - p;
      // The gained water carries the aquifer's concentration; with no
      // exchange at all the aquifer is not looked at.
      if (p < 0.0) {
        const double a = std::trunc(r.NUMACUCONDT3(i3));
        if (!(a >= 1.0 && a <= r.NUMACUIFEROS)) error_acuifero(m, I, r.NUMACUCONDT3(i3));
        for (int c = 1; c <= NC; ++c) w.CEIN(c) = m.cal.COACU(static_cast<int>(a), c);
      }
    }
  } else if (tipo == 2) {
    QENT = 0.0;
    QSAL = r.PERDT2(I - r.NUMCONDUCCIONEST1, MES, ANO);
  }

  // QCONDUCC of types 2 and 3 is the flow after the loss or gain: the head
  // flow adds the exchange back.
  double QCAB = r.QCONDUCC(I, MES, ANO);
  if (tipo == 3) QCAB = QCAB + p;
  if (tipo == 2) QCAB = QCAB + r.PERDT2(I - r.NUMCONDUCCIONEST1, MES, ANO);

  for (int c = 1; c <= NC; ++c) w.COIN(c) = CONDUCCCE(c);

  if (s.NUMCONDUCCALIBRAR == I) {
    if (op.OPCIONCALIBCOND == 1) {
      QSAL = 0.0;
      QENT = 0.0;
      QCAB = s.CAUDALCALIBRA(MES, ANO);
      for (int c = 1; c <= NC; ++c) {
        w.COIN(c) = s.CONCCALIBRAC(c, MES, ANO);
        w.CEIN(c) = 0.0;
      }
    } else if (op.OPCIONCALIBCOND == 2) {
      // The measured concentrations stand at the head alone: the flows and
      // the lateral inflow, with the water of the aquifer of a gain, are
      // those of the reach without calibration.
      for (int c = 1; c <= NC; ++c) w.COIN(c) = s.CONCCALIBRAC(c, MES, ANO);
    }
  }

  const int INRESCOND = m.cal.INRESCOND(I);
  if (INRESCOND == -1 || INRESCOND == 2) {
    const auto CONDUCCCS = s.CONDUCCCS.line<2>(I, 1, MES, ANO);
    for (int c = 1; c <= NC; ++c) CONDUCCCS(c) = CONDUCCCE(c);
  } else {
    CALCULOCONDUCSUB(m, w.tramo, I, QCAB, QENT, QSAL, w.COIN, w.CEIN, MES, ANO);
  }
}

// The node's outflow and what takes water from it.
void salida(Modelo& m, TrabajoNudos& w, const OpcionesCalibracion& op, int FILANUDO, int MES, int ANO) {
  const int NC = m.cal.NUMCONTAMINANTES;
  const Red& r = m.red;
  Simulacion& s = m.sim;

  const int embalse = r.ORDENNUDOS(FILANUDO, 3);
  if (embalse == 0) {
    const auto NUDOSCS = s.NUDOSCS.line<2>(FILANUDO, 1, MES, ANO);
    const auto NUDOSCE = s.NUDOSCE.line<2>(FILANUDO, 1, MES, ANO);
    for (int c = 1; c <= NC; ++c) NUDOSCS(c) = NUDOSCE(c);
  } else if (embalse == 1) {
    for (int c = 1; c <= NC; ++c) w.CEEMBAUX(c) = s.NUDOSCE(FILANUDO, c, MES, ANO);
    // The reservoir of the highest number at the node.
    const int K = w.elementos.EMBALSEFILA(FILANUDO);
    if (op.OPCIONCALIBEMB == 1 && s.NUMEMBCALIBRAR == K)
      for (int c = 1; c <= NC; ++c) w.CEEMBAUX(c) = s.CONCCALIBRAE(c, MES, ANO);
    int mes = MES;
    int ano = ANO;
    CALCULOEMBSUB(m, w.embalse, FILANUDO, K, w.CEEMBAUX, mes, ano);
  }

  const ElementosNudos& e = w.elementos;
  const auto NUDOSCS = s.NUDOSCS.line<2>(FILANUDO, 1, MES, ANO);
  para_cada(e.TOMACEN, FILANUDO, [&](int I) {
    const auto CENTRCE = s.CENTRCE.line<2>(I, 1, MES, ANO);
    const auto CENTRCS = s.CENTRCS.line<2>(I, 1, MES, ANO);
    for (int c = 1; c <= NC; ++c) {
      CENTRCE(c) = NUDOSCS(c);
      CENTRCS(c) = CENTRCE(c);
    }
  });
  para_cada(e.TOMAS, FILANUDO, [&](int I) {
    const auto TOMASCE = s.TOMASCE.line<2>(I, 1, MES, ANO);
    const auto TOMASCS = s.TOMASCS.line<2>(I, 1, MES, ANO);
    for (int c = 1; c <= NC; ++c) {
      TOMASCE(c) = NUDOSCS(c);
      const double depurado = m.cal.TOMADEPU(I, c);
      TOMASCS(c) = sin_depurar(depurado) ? TOMASCE(c) : depurado;
    }
  });
  para_cada(e.SALIDAS, FILANUDO, [&](int I) { conduccion(m, w, op, FILANUDO, I, MES, ANO); });
}

}  // namespace

void preparar_elementos_nudos(const Red& r, ElementosNudos& e) {
  const FilasPorNudo nudos(r);
  const int NF = r.NUMNUDOS;
  // The rows of the node of element I, by the node number `nudo(I)`.
  auto por_nudo = [&](auto nudo) { return [&nudos, nudo](int I, auto&& visita) { nudos.filas(nudo(I), visita); }; };
  agrupar(e.APORTACIONES, "APORTACIONES", NF, r.NUMAPORTACIONES, por_nudo([&](int I) { return r.NUDOAPO(I); }));
  agrupar(e.LLEGADAS, "LLEGADAS", NF, r.NUMCONDUCCIONES, por_nudo([&](int I) { return r.CONDUCCIONES(I, 2); }));
  agrupar(e.SALIDAS, "SALIDAS", NF, r.NUMCONDUCCIONES, por_nudo([&](int I) { return r.CONDUCCIONES(I, 1); }));
  agrupar(e.REINCEN, "REINCEN", NF, r.NUMCENTRALES, por_nudo([&](int I) { return r.NUDREINCEN(I); }));
  agrupar(e.TOMACEN, "TOMACEN", NF, r.NUMCENTRALES, por_nudo([&](int I) { return r.NUDTOMACEN(I); }));
  agrupar(e.BOMBEOS, "BOMBEOS", NF, r.NUMBOMBEOS, por_nudo([&](int I) { return r.NUDOBOMB(I); }));
  agrupar(e.RETORNOS, "RETORNOS", NF, r.NUMRETORNOS, por_nudo([&](int I) { return r.NUDORET(I); }));
  agrupar(e.TOMAS, "TOMAS", NF, r.NUMTOMAS, por_nudo([&](int I) { return r.NUMTOMA(I); }));
  // An intake whose return number names no return feeds none.
  agrupar(e.TOMASRETORNO, "TOMASRETORNO", r.NUMRETORNOS, r.NUMTOMAS, [&](int t, auto&& visita) {
    const int ret = r.NUMRETTOMA(t);
    if (ret >= 1 && ret <= r.NUMRETORNOS) visita(ret);
  });
  e.EMBALSEFILA.resize(NF);
  for (int K = 1; K <= r.NUMEMBALSES; ++K) nudos.filas(r.NUMNUDOEMB(K), [&](int f) { e.EMBALSEFILA(f) = K; });
  e.hechos = true;
}

void recorrido_nudo(Modelo& m, TrabajoNudos& w, const OpcionesCalibracion& op, int FILANUDO, int MES, int ANO) {
  const int NUDOACTUAL = m.red.ORDENNUDOS(FILANUDO, 1);
  if (NUDOACTUAL < 0) return;
  if (!w.elementos.hechos) preparar_elementos_nudos(m.red, w.elementos);
  mezcla(m, w, FILANUDO, NUDOACTUAL, MES, ANO);
  salida(m, w, op, FILANUDO, MES, ANO);
}

void recorrido_mes(Modelo& m, TrabajoNudos& w, const OpcionesCalibracion& op, int MES, int ANO) {
  for (int FILANUDO = 1; FILANUDO <= m.red.NUMNUDOS; ++FILANUDO) recorrido_nudo(m, w, op, FILANUDO, MES, ANO);
}

void meses_calculo(Modelo& m, TrabajoNudos& w, const OpcionesCalibracion& op) {
  m.sim.MESACTUAL = 0;
  int MESSERIE = 0;
  const int NUMANYOS = m.red.NUMANYOS;
  for (int ANO = 1; ANO <= NUMANYOS; ++ANO) {
    for (const std::string& l : free_format_lines({"Año", ANO})) m.consola_linea(utf8(l));
    if (!m.sim.HAYCURVASLARGAS) m.sim.MESACTUAL = 0;
    for (int MES = 1; MES <= 12; ++MES) {
      m.sim.MESACTUAL = m.sim.MESACTUAL + 1;
      MESSERIE = MESSERIE + 1;
      for (const std::string& l : free_format_lines({"Mes", MES})) m.consola_linea(utf8(l));
      if (m.sim.HAYCTESTEMP) CTESTEMPORALESSUB(m, MESSERIE);
      recorrido_mes(m, w, op, MES, ANO);
    }
  }
}

namespace {

// The count of months of each of the n elements that has any, under its
// heading: the heading, the element's label and name, then "Número de
// meses:", and, given the largest count of sub-steps of each element's
// months, "Número máximo de subpasos:".
void meses_por_elemento(Modelo& m, const char* titulo, const char* etiqueta, int n, const Array1<std::string>& nombres,
                        const Array1<int>& meses, const Array1<int>* subpasos = nullptr) {
  for (int k = 1; k <= n; ++k) {
    if (meses(k) == 0) continue;
    m.log.write({titulo});
    m.log.write({etiqueta, nombres(k)});
    m.log.write({"Número de meses:", meses(k)});
    if (subpasos != nullptr) m.log.write({"Número máximo de subpasos:", (*subpasos)(k)});
  }
}

}  // namespace

void avisos_fin_calculo(Modelo& m) {
  for (int k = 1; k <= m.red.NUMEMBALSES; ++k) {
    if (m.sim.ERROREMB(k) == 0) continue;
    m.log.write({"Posible error numerico, revise los datos o diferencial de cálculo"});
    m.log.write({"Numero de embalse", k});
    m.log.write({"Nombre de embalse", m.red.NOMEMB(k)});
  }
  meses_por_elemento(m, "Meses del embalse integrados con subpasos más finos", "Embalse:", m.red.NUMEMBALSES,
                     m.red.NOMEMB, m.sim.NUMMESESFINOSEMB, &m.sim.MAXSUBPASOSFINOSEMB);
  meses_por_elemento(m, "Meses del embalse con la mezcla del agua embalsada y de la que entra",
                     "Embalse:", m.red.NUMEMBALSES, m.red.NOMEMB, m.sim.MESESMEZCLAEMB);
  for (int j = 1; j <= m.red.NUMCONDUCCIONES; ++j) {
    if (m.sim.ERRORCOND(j) == 0) continue;
    m.log.write({"Las concetraciones han superado el valor máximo de 100000"});
    m.log.write({"Número Conducción:", j});
    m.log.write({"Nombre Conducción:", m.red.NOMCONDUCC(j)});
  }
  for (int j = 1; j <= m.red.NUMCONDUCCIONES; ++j) {
    if (m.sim.MESESCALORLINEAL(j) == 0) continue;
    m.log.write({"Balance de calor linealizado en la conducción:", m.red.NOMCONDUCC(j)});
    m.log.write({"Número de meses:", m.sim.MESESCALORLINEAL(j)});
    if (m.sim.MESESCALOREQUILIBRIO(j) > 0)
      m.log.write({"Meses con la temperatura de equilibrio:", m.sim.MESESCALOREQUILIBRIO(j)});
  }
  meses_por_elemento(m, "Meses de la conducción calculados como un solo segmento de mezcla completa",
                     "Conducción:", m.red.NUMCONDUCCIONES, m.red.NOMCONDUCC, m.sim.MESESMEZCLACOND);
  meses_por_elemento(m, "Meses de la conducción con mezcla completa sin estado estacionario",
                     "Conducción:", m.red.NUMCONDUCCIONES, m.red.NOMCONDUCC, m.sim.MESESSINESTACIONARIOCOND);
  meses_por_elemento(m, "Meses de la conducción sin estado estacionario en sus segmentos",
                     "Conducción:", m.red.NUMCONDUCCIONES, m.red.NOMCONDUCC, m.sim.MESESSINESTACIONARIOSEG);
}

}  // namespace tornal
