// Steady transport of one constituent along a reach: the mass balance of
// each segment per day as one row of a tridiagonal system (central
// advection through the faces between segments, upwind at the outlet,
// dispersive exchange, lateral inflow and loss, head and diffuse loads),
// and the Thomas solver.
#include <cmath>

#include "common/stop.h"
#include "reach/reach_model.h"
#include "reach/tramo.h"

namespace tornal {

Pivote TRIDIAGONALSUB(const Array1<double>& A, const Array1<double>& B, const Array1<double>& C,
                      const Array1<double>& R, Array1<double>& U, Array1<double>& GAM, int N) {
  if (std::trunc(10000.0 * B(1)) == 0.0) return Pivote::PRIMERO_NULO;
  double BET = B(1);
  U(1) = R(1) / BET;
  for (int j = 2; j <= N; ++j) {
    GAM(j) = C(j - 1) / BET;
    BET = B(j) - A(j) * GAM(j);
    if (std::trunc(10000.0 * BET) == 0.0) return Pivote::POSTERIOR_NULO;
    U(j) = (R(j) - A(j) * U(j - 1)) / BET;
  }
  for (int j = N - 1; j >= 1; --j) U(j) = U(j) - GAM(j + 1) * U(j + 1);
  return Pivote::BUENO;
}

// Rows of every constituent k. With two segments or more: row 1 takes the
// head load CO(k) QCAB, the faces between segments carry half the sum of
// their two concentrations times the face flow plus the exchange, the
// outlet carries the full outlet flow at the last segment's concentration.
// A reach of one segment is one mixed volume with that upwind outlet.
void filas_transporte(Modelo& m, const Tramo& t) {
  TrabajoTramo& w = m.tramo;
  const Array1<double>& CO = *t.CO;
  const Array1<double>& CE = *t.CE;
  const int N = t.N;
  const int NC = m.cal.NUMCONTAMINANTES;
  for (int k = 1; k <= NC; ++k) {
    const double carga = t.QENT * CE(k) / N + w.SDIF(k) / N;
    if (N == 1) {
      w.SUB(1, k) = 0.0;
      w.DIAG(1, k) = w.QI1(1) + t.QSAL / N;
      w.SUPER(1, k) = 0.0;
      w.WI(1, k) = carga + CO(k) * t.QCAB;
      continue;
    }
    w.SUB(1, k) = 0.0;
    w.DIAG(1, k) = 0.5 * w.QI1(1) + w.EIJ(1) + t.QSAL / N;
    w.SUPER(1, k) = 0.5 * w.QI1(1) - w.EIJ(1);
    w.WI(1, k) = carga + CO(k) * t.QCAB;
    for (int i = 2; i <= N - 1; ++i) {
      w.SUB(i, k) = -0.5 * w.QI1(i - 1) - w.EIJ(i - 1);
      w.DIAG(i, k) = 0.5 * (w.QI1(i) - w.QI1(i - 1)) + w.EIJ(i - 1) + w.EIJ(i) + t.QSAL / N;
      w.SUPER(i, k) = 0.5 * w.QI1(i) - w.EIJ(i);
      w.WI(i, k) = carga;
    }
    w.SUB(N, k) = -0.5 * w.QI1(N - 1) - w.EIJ(N - 1);
    w.DIAG(N, k) = w.QI1(N) - 0.5 * w.QI1(N - 1) + w.EIJ(N - 1) + t.QSAL / N;
    w.SUPER(N, k) = 0.0;
    w.WI(N, k) = carga;
  }
}

void copiar_filas(TrabajoTramo& w, int N, int k) {
  for (int i = 1; i <= N; ++i) {
    w.SUBAUX(i) = w.SUB(i, k);
    w.SUPERAUX(i) = w.SUPER(i, k);
    w.DIAGAUX(i) = w.DIAG(i, k);
    w.WIAUX(i) = w.WI(i, k);
    w.SOLAUX(i) = 0.0;
  }
}

void resolver(Modelo& m, const Tramo& t) {
  TrabajoTramo& w = m.tramo;
  const Pivote p = TRIDIAGONALSUB(w.SUBAUX, w.DIAGAUX, w.SUPERAUX, w.WIAUX, w.SOLAUX, w.GAM, t.N);
  if (p == Pivote::BUENO) return;
  const char* mensaje = p == Pivote::PRIMERO_NULO ? "Inestabilidad numerica" : "inestabilidad numerica";
  m.log.write({mensaje});
  m.log.write({"Conducción:", m.red.NOMCONDUCC(t.I)});
  m.log.write({"Año, Mes:", t.ANO, t.MES});
  stop(mensaje);
}

}  // namespace tornal
