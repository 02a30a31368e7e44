// Steady transport of one constituent along a reach: the mass balance of
// each segment per day as one row of a tridiagonal system (central
// advection through the faces between segments, upwind at the outlet,
// dispersive exchange, lateral inflow and loss, head and diffuse loads),
// and the Thomas solver.
#include <cmath>
#include <limits>

#include "common/latin1.h"
#include "common/stop.h"
#include "reach/reach_model.h"
#include "reach/tramo.h"

namespace tornal {

int TRIDIAGONALSUB(const View<const double>& A, const View<const double>& B, const View<const double>& C,
                   const View<const double>& R, const View<double>& U, const View<double>& GAM, int N) {
  if (std::trunc(10000.0 * B(1)) == 0.0) return 1;
  double BET = B(1);
  // The solution of the row before, carried from one row to the next.
  double UANT = R(1) / BET;
  U(1) = UANT;
  for (int j = 2; j <= N; ++j) {
    const double G = C(j - 1) / BET;
    const double Aj = A(j);
    GAM(j) = G;
    BET = B(j) - Aj * G;
    if (std::trunc(10000.0 * BET) == 0.0) return j;
    UANT = (R(j) - Aj * UANT) / BET;
    U(j) = UANT;
  }
  for (int j = N - 1; j >= 1; --j) {
    UANT = U(j) - GAM(j + 1) * UANT;
    U(j) = UANT;
  }
  return 0;
}

void TRIDIAGONALVARIOS(View<const double> A, Columns<const double> B, View<const double> C, Columns<const double> R,
                       Columns<double> U, Columns<double> GAM, View<double> BET, View<int> NULO, int N, int M) {
  // Every run and block cut to the N equations of the M systems: the loops
  // below stay inside them.
  A = A.first(N);
  C = C.first(N);
  BET = BET.first(M);
  NULO = NULO.first(M);
  B = B.first(N, M);
  R = R.first(N, M);
  U = U.first(N, M);
  GAM = GAM.first(N, M);
  for (int s = 1; s <= M; ++s) {
    NULO(s) = std::trunc(10000.0 * B(1, s)) == 0.0 ? 1 : 0;
    BET(s) = B(1, s);
    U(1, s) = R(1, s) / BET(s);
  }
  for (int j = 2; j <= N; ++j) {
    const double Cj = C(j - 1), Aj = A(j);
    for (int s = 1; s <= M; ++s) {
      const double G = Cj / BET(s);
      GAM(j, s) = G;
      const double BETs = B(j, s) - Aj * G;
      BET(s) = BETs;
      if (std::trunc(10000.0 * BETs) == 0.0 && NULO(s) == 0) NULO(s) = j;
      U(j, s) = (R(j, s) - Aj * U(j - 1, s)) / BETs;
    }
  }
  for (int j = N - 1; j >= 1; --j)
    for (int s = 1; s <= M; ++s) U(j, s) = U(j, s) - GAM(j + 1, s) * U(j + 1, s);
}

// The sub- and superdiagonal and the diagonal are those of every
// constituent; the right side of constituent k takes its loads. With two
// segments or more: row 1 takes the head load CO(k) QCAB, the faces between
// segments carry half the sum of their two concentrations times the face
// flow plus the exchange, the outlet carries the full outlet flow at the
// last segment's concentration. A reach of one segment is one mixed volume
// with that upwind outlet.
void filas_transporte(Modelo& m, TrabajoTramo& w, const Tramo& t) {
  const Array1<double>& CO = *t.CO;
  const Array1<double>& CE = *t.CE;
  const int N = t.N;
  const int NC = m.cal.NUMCONTAMINANTES;
  if (NC < 1) return;
  const View<const double> QI1 = w.QI1.run(N), EIJ = w.EIJ.run(N - 1);
  const View<double> SUB = w.SUB.run(N), SUPER = w.SUPER.run(N), DIAG = w.DIAG.run(N, 1);
  const double perdida = t.QSAL / N;
  if (N == 1) {
    SUB(1) = 0.0;
    DIAG(1) = QI1(1) + perdida;
    SUPER(1) = 0.0;
  } else {
    SUB(1) = 0.0;
    DIAG(1) = 0.5 * QI1(1) + EIJ(1) + perdida;
    SUPER(1) = 0.5 * QI1(1) - EIJ(1);
    for (int i = 2; i <= N - 1; ++i) {
      SUB(i) = -0.5 * QI1(i - 1) - EIJ(i - 1);
      DIAG(i) = 0.5 * (QI1(i) - QI1(i - 1)) + EIJ(i - 1) + EIJ(i) + perdida;
      SUPER(i) = 0.5 * QI1(i) - EIJ(i);
    }
    SUB(N) = -0.5 * QI1(N - 1) - EIJ(N - 1);
    DIAG(N) = QI1(N) - 0.5 * QI1(N - 1) + EIJ(N - 1) + perdida;
    SUPER(N) = 0.0;
  }
  const Columns<double> D = w.DIAG.columns(N, 1, NC), WI = w.WI.columns(N, 1, NC);
  for (int k = 2; k <= NC; ++k)
    for (int i = 1; i <= N; ++i) D(i, k) = D(i, 1);
  for (int k = 1; k <= NC; ++k) {
    const double carga = t.QENT * CE(k) / N + w.SDIF(k) / N;
    WI(1, k) = carga + CO(k) * t.QCAB;
    for (int i = 2; i <= N; ++i) WI(i, k) = carga;
  }
}

namespace {

// Whether a term of a row is resolved by the pivot test: its integer part of
// 10000 x term is not 0 (a term that is not a number counts as resolved).
bool resuelto(double termino) { return std::trunc(10000.0 * termino) != 0.0; }

// Whether the flow of segment j is too small to tell from 0: no term of
// transport that its row puts into its pivot (half the flow through each
// face between segments and the full flow through the outlet, the
// dispersive exchange across those faces, the segment's loss) is resolved
// by the pivot test. With rates and exchanges that are not negative a
// pivot is no less than about half the flow through its segment's
// downstream face, and fails the test only in a trickle; one that fails it
// where a term of its row is resolved vanishes where the flow is resolved
// (a rate or an exchange below 0). A reach of one segment is never put
// down to its flow: it is the mixed segment itself, and its pivot is all
// the flow that enters it, at least the hundredth that keeps a reach from
// being dry.
bool flujo_irresoluble(const TrabajoTramo& w, const Tramo& t, int j) {
  const int N = t.N;
  if (N < 2 || resuelto(t.QSAL / N)) return false;
  if (j > 1 && (resuelto(0.5 * w.QI1(j - 1)) || resuelto(w.EIJ(j - 1)))) return false;
  if (j < N) return !resuelto(0.5 * w.QI1(j)) && !resuelto(w.EIJ(j));
  return !resuelto(w.QI1(N));
}

// A vanishing pivot in segment j: where the flow of the segment is too
// small to tell from 0, the reach is given up on its segments; elsewhere
// the notes of the reach-month, the lines of the pivot in the run log, and
// the stop.
[[noreturn]] void pivote_nulo(Modelo& m, TrabajoTramo& w, const Tramo& t, int j) {
  if (flujo_irresoluble(w, t, j)) throw FlujoIrresoluble();
  escribir_notas(m, w);
  const char* mensaje = j == 1 ? "Inestabilidad numerica" : "inestabilidad numerica";
  m.log.write({mensaje});
  m.log.write({"Conducción:", m.red.NOMCONDUCC(t.I)});
  m.log.write({"Año, Mes:", t.ANO, t.MES});
  stop(mensaje);
}

}  // namespace

// The one mixed segment with no steady state: V dC/dt = R - B C, where B
// (the pivot: the flow through the segment plus its rates times its
// volume, its settling and exchanges) is not above 0 or too small for the
// pivot test, or where the steady C = R / B of a finite R is not finite. A
// rate below 0 (a decay given negative, an algal growth above respiration
// and settling) makes a growth that the flow cannot carry away: the
// steady state would be 0 or negative, or none. The segment carries no
// state from one month to the next; the value taken is the one the box
// reaches at the end of the month of DIASMES days, filled at its start with
// the water that enters it (head flow and lateral inflow mixed), in closed
// form:
//   C(T) = C0 e^x + (R T / V) (e^x - 1) / x,  x = -B T / V,
// (e^x - 1) / x taken as 1 at x = 0: the steady state itself where the
// box would settle within the month, the growth over the month where it
// cannot, finite while that growth is (x below about 709; beyond it the
// outlet overflows and flags the reach). A term whose factor is 0 (no
// start, no source) is 0 at any x. A segment without volume has no box,
// nor a B that vanishes (its pivot is all the flow that enters it).
//
// A reach of many segments takes for a constituent with a growth the path
// of its water where the solve cannot carry that growth (sigue_el_agua
// below): the value that the water at the downstream face of each segment
// has at the end of the month, followed back along the reach (plug flow,
// the characteristics of the water). Within segment i the water moves at
// the segment's flow over its area, VI / L, and changes as
//   dC/dt = s_i - a_i C,  a_i = (rates times VI + QENT / N) / VI,
// s_i the loads of its row over VI (the lateral inflow, the diffuse load
// and the sources, not the head load): the lateral inflow dilutes the
// water, the loss takes it at its own concentration. The flow grows
// linearly through the segment, from Q0 to Q1, so that its water crosses
// it in
//   tau_i = VI ln(Q1 / Q0) / (Q1 - Q0)   (VI / Q1 where Q1 = Q0),
// which dilutes it by Q0 / Q1, as the mass balance does; over a time h the
// segment takes C to
//   C e^x + s_i h (e^x - 1) / x,  x = -a_i h.
// The water at face i has crossed the segments above it for the month of
// DIASMES days, or for its time down the reach where that is shorter: it
// entered at the head at the head's concentration, or it was in segment m
// at the start of the month, full of the water entering the reach (head
// flow and lateral inflow mixed, as the one mixed segment is), and crossed
// the rest of that segment and the segments m + 1 .. i. The segments
// crossed in full form a window that only moves downstream from face to
// face, its maps composed in two runs (the oldest each composed with those
// after it, the newest as one map), so that the path costs a few
// exponentials per segment, as the solve costs a few operations. It
// converges to the water's own answer as the segments shrink, is plug flow
// itself where the rates are uniform, and the steady state of plug flow
// wherever the water crosses the reach within the month. The dispersive
// exchange, which moves no mass out of the reach, is left out.
namespace {

constexpr double DIASMES = 30.0;  // the month, as the reservoirs integrate it

// a b, 0 where either is 0 (the growth of nothing is nothing, even where
// the growth itself overflows).
double producto(double a, double b) { return a == 0.0 || b == 0.0 ? 0.0 : a * b; }

// The concentration of the water entering the reach: head flow and lateral
// inflow mixed.
double concentracion_entrada(const Tramo& t, int k) {
  const double entrada = t.QCAB + t.QENT;
  return entrada > 0.0 ? (t.QCAB * (*t.CO)(k) + t.QENT * (*t.CE)(k)) / entrada : 0.0;
}

bool sin_estado_estacionario(const Tramo& t, const TrabajoTramo& w, bool pivote_nulo, double B, double R, double U) {
  if (t.N != 1 || !std::isfinite(B) || !(w.VI(1) > 0.0) || !std::isfinite(w.VI(1))) return false;
  return pivote_nulo || B < 0.0 || (std::isfinite(R) && !std::isfinite(U));
}

double al_cabo_del_mes(const Tramo& t, const TrabajoTramo& w, int k, double B, double R) {
  const double V = w.VI(1);
  const double C0 = concentracion_entrada(t, k);
  const double x = -B * DIASMES / V;
  const double crecimiento = x == 0.0 ? 1.0 : std::expm1(x) / x;
  return producto(C0, std::exp(x)) + producto(R * DIASMES / V, crecimiento);
}

// B, R and U below are the runs of one system (a View, or a column of the
// systems solved together) read through (i).

// The rates times the volume of segment i in the row of diagonal B: what
// the row adds up to beyond the water that enters the segment (the head
// flow in the first, the lateral inflow in each), since the faces, the
// exchange and the loss of a row add up to that water.
template <typename Fila>
double tasa_por_volumen(const TrabajoTramo& w, const Tramo& t, const Fila& B, int i) {
  const double entrada = t.QENT / t.N + (i == 1 ? t.QCAB : 0.0);
  return w.SUB(i) + B(i) + w.SUPER(i) - entrada;
}

// The path of a constituent in the reach-month (CAMINO of the work arrays):
// not decided yet, the solve, or the path of the water.
constexpr int SOLUCION = 1, AGUA = 2;

// Whether the values of a solve swing in sign along the reach: two
// segments or more below 0, or one in a profile that goes up and down
// from segment to segment over five segments or more (four differences
// between neighbours alternating in sign).
template <typename Solucion>
bool oscila(const Solucion& U, int N) {
  int negativos = 0;
  for (int i = 1; i <= N; ++i)
    if (U(i) < 0.0) ++negativos;
  if (negativos != 1) return negativos > 1;
  int alternas = 1;
  for (int i = 2; i + 1 <= N; ++i) {
    const double antes = U(i) - U(i - 1), despues = U(i + 1) - U(i);
    alternas = (antes > 0.0 && despues < 0.0) || (antes < 0.0 && despues > 0.0) ? alternas + 1 : 1;
    if (alternas >= 4) return true;
  }
  return false;
}

// Whether constituent k of a reach of many segments takes the path of its
// water, from its solve with the diagonal B, the right side R, the first
// vanishing pivot at segment `nulo` (0: none) and the solution U; every
// segment has a volume. Only a constituent with a growth (some segment's
// rates times its volume below 0) can take it. The central faces of the
// steady rows carry a growth as the sum of two modes: the water's own,
// which grows down the reach as the water does, and one that alternates in
// sign from segment to segment, set off at the head and damped downstream
// by the growth itself (by 1 / r^2 a segment against the water's mode,
// r = b + sqrt(1 + b^2), b the growth times the water's time through the
// segment). Where the water's mode leads, the solve follows the water,
// within the scheme's error, and a value that the alternating mode takes
// below 0 in one segment is a small remainder that the floor takes to 0.
// Where the alternating mode is as large as the water's, the values swing
// in sign along the reach, and the outlet stands far from the water (below
// it by about b / 2 times their ratio at the head). So the path is taken
// where a pivot vanishes or a value is not finite (the rows give no steady
// state), where the values swing in sign (oscila), or where the outlet of a
// growth with no lateral inflow, no negative load and no segment that
// takes away is below what enters the reach, which the water itself never
// is. The algae are the exception (`valores` false): their growth in a
// pass is limited by the nutrients and the light of the previous pass, and
// the water followed with it grows unchecked by the nutrients it takes up
// (over the month in a slow reach, e^45 at a growth of 1.5 a day), so that
// the passes swing between a bloom and no algae, or overflow; their solve,
// floored, stays near the same reach in much shorter segments. They take
// the path only where their solve gives no values. Decided at the first
// solve of the month with a growth and kept for every later solve (every
// pass of the oxygen iteration); a later solve under the solve's decision
// whose pivot vanishes or whose values are not finite takes the path from
// then on, since it has no values to keep.
template <typename Fila, typename Derecha, typename Solucion>
bool sigue_el_agua(TrabajoTramo& w, const Tramo& t, int k, const Fila& B, const Derecha& R, const Solucion& U, int nulo,
                   bool valores) {
  const int N = t.N;
  if (N < 2) return false;
  int& camino = w.CAMINO(k);
  bool crece = false, decrece = false;
  for (int i = 1; i <= N; ++i) {
    if (!(w.VI(i) > 0.0) || !std::isfinite(w.VI(i)) || !std::isfinite(B(i))) return false;
    const double escala = std::fabs(w.SUB(i)) + std::fabs(B(i)) + std::fabs(w.SUPER(i)) + t.QENT / N;
    const double tasa = tasa_por_volumen(w, t, B, i);
    if (tasa < -1.0e-9 * escala) crece = true;
    if (tasa > 1.0e-9 * escala) decrece = true;
  }
  if (camino == AGUA) return true;
  if (!crece) return false;
  bool falla = nulo != 0;
  for (int i = 1; i <= N; ++i)
    if (!std::isfinite(U(i))) falla = true;
  if (camino == SOLUCION) {
    if (falla) camino = AGUA;
    return falla;
  }
  bool debajo = false;
  if (!falla && valores && t.QENT == 0.0 && !decrece) {
    const double CO = (*t.CO)(k);
    bool cargas = R(1) >= t.QCAB * CO;
    for (int i = 2; i <= N; ++i) cargas = cargas && R(i) >= 0.0;
    debajo = cargas && U(N) < CO;
  }
  camino = falla || (valores && oscila(U, N)) || debajo ? AGUA : SOLUCION;
  return camino == AGUA;
}

// The time the water takes to cross a segment of volume V whose flow goes
// from Q0 to Q1 (m3/day): infinite where no water enters it (a head with no
// flow, whose water only the lateral inflow renews).
double tiempo_de_paso(double Q0, double Q1, double V) {
  if (!(Q0 > 0.0)) return std::numeric_limits<double>::infinity();
  const double dQ = Q1 - Q0;
  return dQ == 0.0 ? V / Q1 : V * std::log1p(dQ / Q0) / dQ;
}

// What a segment does to the water's concentration C: C -> e C + f.
struct Mapa {
  double e, f;
};

// A segment of rate a and loads s (over its volume) over a time h:
// e = e^x, f = s h (e^x - 1) / x, x = -a h.
Mapa mapa_segmento(double a, double s, double h) {
  const double x = -a * h;
  const double crecimiento = x == 0.0 ? 1.0 : std::expm1(x) / x;
  return {std::exp(x), producto(s * h, crecimiento)};
}

// First p, then q.
Mapa componer(const Mapa& p, const Mapa& q) { return {producto(p.e, q.e), producto(p.f, q.e) + q.f}; }

double aplicar(const Mapa& p, double C) { return producto(C, p.e) + p.f; }

// The path of the water of constituent k (above), into U.
template <typename Fila, typename Derecha, typename Solucion>
void segmentos_al_cabo_del_mes(TrabajoTramo& w, const Tramo& t, int k, const Fila& B, const Derecha& R,
                               const Solucion& U) {
  const int N = t.N;
  const double CABECERA = (*t.CO)(k), C0 = concentracion_entrada(t, k);
  const View<double> TAU = w.TIEMPOSEG.run(N), A = w.TASASEG.run(N), S = w.APORTESEG.run(N), E = w.EXPSEG.run(N),
                     F = w.CRECESEG.run(N), EV = w.EXPVENTANA.run(N), FV = w.CRECEVENTANA.run(N);
  for (int i = 1; i <= N; ++i) {
    const double V = w.VI(i);
    TAU(i) = tiempo_de_paso(i == 1 ? t.QCAB : w.QI1(i - 1), w.QI1(i), V);
    A(i) = (tasa_por_volumen(w, t, B, i) + t.QENT / N) / V;
    S(i) = (R(i) - (i == 1 ? t.QCAB * CABECERA : 0.0)) / V;
    const Mapa p = TAU(i) <= DIASMES ? mapa_segmento(A(i), S(i), TAU(i)) : Mapa{0.0, 0.0};
    E(i) = p.e;
    F(i) = p.f;
  }
  // The window of the segments that the water at face i crossed in full,
  // m + 1 .. i, in the time `tiempo`: m + 1 .. nuevo - 1 each with its map
  // composed with those after it (EV, FV), nuevo .. i as one map.
  int m = 0, nuevo = 1;
  double tiempo = 0.0;
  Mapa recientes{1.0, 0.0};
  for (int i = 1; i <= N; ++i) {
    if (!(TAU(i) <= DIASMES)) {
      // All the water at face i was in segment i at the start of the month.
      m = i;
      nuevo = i + 1;
      tiempo = 0.0;
      recientes = {1.0, 0.0};
      U(i) = aplicar(mapa_segmento(A(i), S(i), DIASMES), C0);
      continue;
    }
    recientes = componer(recientes, {E(i), F(i)});
    tiempo += TAU(i);
    while (tiempo > DIASMES) {
      if (nuevo == m + 1) {
        Mapa resto{1.0, 0.0};
        for (int j = i; j > m; --j) {
          resto = componer({E(j), F(j)}, resto);
          EV(j) = resto.e;
          FV(j) = resto.f;
        }
        nuevo = i + 1;
        recientes = {1.0, 0.0};
      }
      ++m;
      tiempo -= TAU(m);
    }
    const Mapa ventana = nuevo > m + 1 ? componer({EV(m + 1), FV(m + 1)}, recientes) : recientes;
    const double inicio = m == 0 ? CABECERA : aplicar(mapa_segmento(A(m), S(m), std::fmax(0.0, DIASMES - tiempo)), C0);
    U(i) = aplicar(ventana, inicio);
  }
}

// The first month of the reach with such a segment or segments is noted,
// with the first constituent of the month that had no steady state; every
// month is counted once for the end of the run.
void anotar_sin_estado_estacionario(Modelo& m, TrabajoTramo& w, const Tramo& t, int k) {
  if (w.sin_estacionario) return;
  w.sin_estacionario = true;
  const bool mezcla = t.N == 1;
  Array1<int>& meses = mezcla ? m.sim.MESESSINESTACIONARIOCOND : m.sim.MESESSINESTACIONARIOSEG;
  if (meses(t.I)++ != 0) return;
  nota(w, {mezcla ? "El segmento de mezcla completa de la conducción no tiene estado estacionario"
                  : "Los segmentos de la conducción no tienen estado estacionario"});
  nota(w, {"Conducción:", m.red.NOMCONDUCC(t.I)});
  nota(w, {"Año, Mes:", t.ANO, t.MES});
  nota(w, {"Contaminante: ", trimmed(m.cal.NOMCONT(k))});
  nota(w, {"Se asume el valor que alcanza al cabo del mes"});
}

}  // namespace

void resolver(Modelo& m, TrabajoTramo& w, const Tramo& t, int k, const View<const double>& B,
              const View<const double>& R, const View<double>& U) {
  const int N = t.N;
  const int nulo = TRIDIAGONALSUB(w.SUB.run(N), B, w.SUPER.run(N), R, U, w.GAM.run(N), N);
  if (sin_estado_estacionario(t, w, nulo != 0, B(1), R(1), U(1))) {
    U(1) = al_cabo_del_mes(t, w, k, B(1), R(1));
    anotar_sin_estado_estacionario(m, w, t, k);
    return;
  }
  if (nulo != 0 && flujo_irresoluble(w, t, nulo)) throw FlujoIrresoluble();
  const bool algas = m.cal.OPCIONFITOPLANCTON == 1 && k == m.cal.POS.CHLA;
  if (sigue_el_agua(w, t, k, B, R, U, nulo, !algas)) {
    segmentos_al_cabo_del_mes(w, t, k, B, R, U);
    anotar_sin_estado_estacionario(m, w, t, k);
    return;
  }
  if (nulo != 0) pivote_nulo(m, w, t, nulo);
}

void resolver_varios(Modelo& m, TrabajoTramo& w, const Tramo& t, int k, Columns<const double> B,
                     Columns<const double> R, Columns<double> U) {
  const int N = t.N;
  const int M = static_cast<int>(U.columns());
  const View<int> NULO = w.PIVOTENULO.run(M);
  TRIDIAGONALVARIOS(w.SUB.run(N), B, w.SUPER.run(N), R, U, w.GAMVARIOS.columns(N, 1, M), w.BETVARIOS.run(M), NULO, N,
                    M);
  for (int s = 1; s <= M; ++s)
    if (sin_estado_estacionario(t, w, NULO(s) != 0, B(1, s), R(1, s), U(1, s))) {
      U(1, s) = al_cabo_del_mes(t, w, k + s - 1, B(1, s), R(1, s));
      anotar_sin_estado_estacionario(m, w, t, k + s - 1);
      NULO(s) = 0;
    }
  // In their order, as each would have acted solved on its own: the first
  // system with a vanishing pivot where the flow of its segment is too
  // small gives up the reach, one with no steady state for a growth is
  // carried through the month, and the first other vanishing pivot stops
  // the run.
  for (int s = 1; s <= M; ++s) {
    if (NULO(s) != 0 && flujo_irresoluble(w, t, NULO(s))) throw FlujoIrresoluble();
    const auto Bs = [&](int i) { return B(i, s); };
    const auto Rs = [&](int i) { return R(i, s); };
    const auto Us = [&](int i) -> double& { return U(i, s); };
    if (sigue_el_agua(w, t, k + s - 1, Bs, Rs, Us, NULO(s), true)) {
      segmentos_al_cabo_del_mes(w, t, k + s - 1, Bs, Rs, Us);
      anotar_sin_estado_estacionario(m, w, t, k + s - 1);
    } else if (NULO(s) != 0)
      pivote_nulo(m, w, t, NULO(s));
  }
}

}  // namespace tornal
