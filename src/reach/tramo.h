// The reach in hand and the stages of the reach model, in the order in
// which CALCULOCONDUCSUB runs them. Every stage reads and writes the work
// arrays w that CALCULOCONDUCSUB was given, for the reach described by Tramo.
#pragma once

#include <exception>
#include <initializer_list>

#include "common/array.h"
#include "common/free_writer.h"
#include "modelo/modelo.h"
#include "reach/trabajo_tramo.h"

namespace tornal {

struct Tramo {
  int I = 0;                                  // global reach number
  int MES = 0;                                // 1 = October
  int ANO = 0;                                // 1 .. NUMANYOS
  int N = 0;                                  // NUMSEGMENTOS
  double L = 0.0;                             // segment length (m)
  double QCAB = 0.0, QENT = 0.0, QSAL = 0.0;  // m3/day
  const Array1<double>* CO = nullptr;         // head concentrations
  const Array1<double>* CE = nullptr;         // lateral-inflow concentrations
  // Hydraulic coefficients of the mode: Manning channel (mode 1) or power
  // laws of the flow (mode 2); 0 for the other mode.
  double NMN = 0.0, BMN = 0.0, IMN = 0.0, SMN = 0.0;
  double ALFA = 0.0, ALFA2 = 0.0, TETA = 0.0, GAMA = 0.0;
};

// Water temperature of segment i for the rates: the solved temperature, or
// the given series when temperature is not simulated.
double temperatura_segmento(const Modelo& m, const TrabajoTramo& w, const Tramo& t, int i);

// Thrown by the solves where a pivot vanishes because the flow of its
// segment is too small to tell from 0: CALCULOCONDUCSUB gives up the
// reach-month on its segments (nothing of it stands) and computes it as one
// mixed segment over its length.
struct FlujoIrresoluble : std::exception {};

// A note of the reach-month for the run log (a statement of free format),
// kept in w until the month stands: escribir_notas writes the notes kept,
// in their order, before the outlet and before the lines of a stop; a
// reach-month given up leaves none.
void nota(TrabajoTramo& w, std::initializer_list<FreeItem> items);
void escribir_notas(Modelo& m, TrabajoTramo& w);

// Transport rows of every constituent (SUB, SUPER, DIAG, WI).
void filas_transporte(Modelo& m, TrabajoTramo& w, const Tramo& t);
// Solves the system of constituent k of the stored SUB and SUPER with the
// diagonal B and the right side R (runs of the N segments) into U. A
// vanishing pivot throws FlujoIrresoluble where the flow of its segment is
// too small to tell from 0; elsewhere it writes the notes kept and its
// lines to the run log and stops the run. The one mixed segment with no
// steady state (a pivot not above 0, or too small for the pivot test, where
// the segment has a volume) takes instead the value that it reaches at the
// end of the month from the water that enters it, noted and counted. A
// constituent with a growth in a reach of many segments whose solve cannot
// carry it (a pivot that fails the test, a value not finite, values that
// swing in sign along the reach, an outlet below the inlet with no lateral
// water; algae only the first two), decided at the month's first solve
// with a growth and kept for the month, takes the value of its water
// followed down the segments over the month (plug flow), noted and counted.
void resolver(Modelo& m, TrabajoTramo& w, const Tramo& t, int k, const View<const double>& B,
              const View<const double>& R, const View<double>& U);
// The same for the systems of the columns of B, R and U (one or more, of the
// constituents k, k + 1, ...), solved together; a vanishing pivot acts as
// that of the first system with one, in their order, would have acted
// solved on its own.
void resolver_varios(Modelo& m, TrabajoTramo& w, const Tramo& t, int k, Columns<const double> B,
                     Columns<const double> R, Columns<double> U);

// Water temperature (equilibrium or heat balance), then the first-order
// pollutants.
void temperatura_tramo(Modelo& m, TrabajoTramo& w, const Tramo& t);
void primer_orden_tramo(Modelo& m, TrabajoTramo& w, const Tramo& t);

// Rates of the oxygen group: those fixed for the call, and those of the
// start of a pass (from the concentrations the pass starts with).
void tasas_fijas(Modelo& m, TrabajoTramo& w, const Tramo& t);
void tasas_pasada(Modelo& m, TrabajoTramo& w, const Tramo& t);
// Organic matter, oxygen, nitrogen, phytoplankton and phosphorus, solved in
// passes until the oxygen profile settles.
void iteracion_oxigeno(Modelo& m, TrabajoTramo& w, const Tramo& t);

// Outlet, overflow flag, and the risk counts or the partial result rows.
void salida_tramo(Modelo& m, const TrabajoTramo& w, const Tramo& t);

}  // namespace tornal
