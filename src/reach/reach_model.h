// The river-reach quality model: the steady concentration of every
// constituent along the segments of one reach in one month, its outlet, its
// overflow flag, its risk counts and its rows of the partial result file of
// reaches.
#pragma once

#include <span>

#include "common/array.h"
#include "modelo/modelo.h"
#include "reach/trabajo_tramo.h"

namespace tornal {

// One reach I (global reach number) in month MES of year ANO, in the work
// arrays w (sized here for the reach's segments; the caller keeps them from
// reach to reach, so that they are allocated again only when the number of
// segments or constituents changes): head flow
// QCAB, lateral inflow QENT and loss QSAL (m3/day), head and lateral-inflow
// concentrations CO and CE (calculation units); writes the reach's outlet
// CONDUCCCS, may raise ERRORCOND(I), counts the risk levels in a risk run
// and writes the partial result rows of a reach whose INRESPARCOND is 1. A
// month whose flow is too small for the solves on the reach's segments is
// computed as one mixed segment over its length, noted in the run log.
void CALCULOCONDUCSUB(Modelo& m, TrabajoTramo& w, int I, double QCAB, double QENT, double QSAL,
                      const Array1<double>& CO, const Array1<double>& CE, int MES, int ANO);

// A column of a row of the partial result file of reaches before the
// concentrations: the heading that the heading line gives it, and the value
// of segment i that the row writes, in output units. The first ones, with no
// value, are the row's own fields (the reach, the date, the segment), written
// with its label; a column marked `oxigeno` is there with the oxygen model
// only. The concentrations of the constituents follow, each headed by its
// name.
struct ColumnaParcial {
  const char* encabezado;                         // as the heading line writes it
  double (*valor)(const TrabajoTramo& w, int i);  // nullptr: a field of the row's own
  bool oxigeno = false;                           // only when OPCIONOXIGENO is 1
};

// The columns of a row before the concentrations, in their order
// (COLUMNASPARCIALES of reach/outlet.cpp).
std::span<const ColumnaParcial> columnas_parciales();

// Thomas solve of the N equations A(j) U(j-1) + B(j) U(j) + C(j) U(j+1) =
// R(j) into U; GAM is its work vector. Every run holds N elements (N >= 1)
// at least, and U is none of the others. A pivot whose integer part of
// 10000 x pivot is 0 ends the solve. Returns the segment of that vanishing
// pivot, 0 when there is none. A, B, C and R are not changed.
int TRIDIAGONALSUB(const View<const double>& A, const View<const double>& B, const View<const double>& C,
                   const View<const double>& R, const View<double>& U, const View<double>& GAM, int N);

// The Thomas solves of TRIDIAGONALSUB of M systems that share the
// subdiagonal A and the superdiagonal C: system s has the diagonal B(., s)
// and the right side R(., s), and its solution goes to U(., s). The systems
// go forward together, segment by segment, each with the operations of its
// own solve; GAM and BET are their work arrays. NULO(s) is the segment of
// the first vanishing pivot of system s, 0 when there is none; such a
// system is carried on to its end with values of no use.
void TRIDIAGONALVARIOS(View<const double> A, Columns<const double> B, View<const double> C, Columns<const double> R,
                       Columns<double> U, Columns<double> GAM, View<double> BET, View<int> NULO, int N, int M);

// Manning normal depth (m) of a trapezoidal channel of roughness NMN,
// bottom width BMN (m), bed slope IMN and side slope SMN for the flow QMN
// (m3/s, positive): a secant search from 0.01 and 0.1 m that ends when a
// step is below 0.01 m, its depth kept where the root of the Manning
// equation lies within 0.01 m of it; a bisection where the secant cannot go
// on or ends farther from the root. The depth is never below 0.001 m.
double CALADONORMALSUB(double NMN, double BMN, double IMN, double SMN, double QMN);

}  // namespace tornal
