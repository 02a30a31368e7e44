// Unit conversion of the run. The allocation model's series, the reservoir
// curves and the concentrations of the quality data come in output units
// (hm3, hm3 per month, hectares, 5-day BOD and the concentrations as
// written). The reach and reservoir models compute in calculation units
// (m3, m3/day, m2) and internal concentrations (ultimate BOD; ammonium,
// nitrate, chlorophyll-a and phosphate scaled by the stoichiometric unit
// factors). Before the months everything is converted in place, once; after
// them the results that the reports read are converted back, once.
//
// The factors divided by here (FACTORVOLUMEN, FACTORUNIDADES, and U2..U5 of
// UNIDADESESTEQUIOMETRICAS when their constituents are converted) are
// refused when 0 by the coefficients reader; the BOD factor's denominator
// 1 - e^(-5 U1) cannot be 0 because the BOD conversion is off for every U1
// whose 10000-fold has integer part 0.
#include "simulation/unit_conversion.h"

#include <algorithm>
#include <cmath>

namespace tornal {

namespace {

// Hectares into m2: the areas of the reservoir curves.
constexpr double HECTAREA = 10000.0;

// The integer part of a real, in double (no overflow for large flows).
bool parte_entera_es(double x, double entero) { return std::trunc(x) == entero; }

// The per-constituent factors CAMUNID: 1.0 for every constituent, then, with
// the oxygen option, the forward (output into internal units) or reverse
// (internal into output units) factors of "DBO5", and inside the nitrogen
// case those of "Amonio" and "Nitratos", and inside that the phytoplankton
// case those of "Chla" and "Fósforo Inorgánico". The reverse factors are
// computed from their own formulas, not as reciprocals of the forward ones.
// CAMUNID is sized to NUMCONTAMINANTES.
void factores(const Calidad& c, bool inversos, Array1<double>& CAMUNID) {
  const int NC = std::max(0, c.NUMCONTAMINANTES);
  CAMUNID.resize_filled(1.0, NC);
  if (c.OPCIONOXIGENO != 1) return;

  const PosicionesContaminantes& pos = c.POS;
  const Array1<double>& U = c.UNIDADESESTEQUIOMETRICAS;
  if (parte_entera_es(10000.0 * U(1), 0.0)) {
    CAMUNID(pos.DBO) = 1.0;
  } else {
    const double retenido = 1.0 - std::exp(-5.0 * U(1));
    CAMUNID(pos.DBO) = inversos ? retenido : 1.0 / retenido;
  }
  if (c.OPCIONNITROGENO == 1) {
    CAMUNID(pos.NH4) = inversos ? 1.0 / U(2) : U(2);
    CAMUNID(pos.NO3) = inversos ? 1.0 / U(3) : U(3);
    if (c.OPCIONFITOPLANCTON == 1) {
      CAMUNID(pos.CHLA) = inversos ? 1.0 / U(4) : U(4);
      CAMUNID(pos.PO4) = inversos ? 1.0 / U(5) : U(5);
    }
  }
}

// Every allocated element of a series or curve multiplied by `factor`.
template <int R>
void multiplicar(Array<double, R>& a, double factor) {
  if constexpr (R == 1) {
    for (long i = 1; i <= a.size(1); ++i) a(i) *= factor;
  } else if constexpr (R == 2) {
    for (long j = 1; j <= a.size(2); ++j)
      for (long i = 1; i <= a.size(1); ++i) a(i, j) *= factor;
  } else {
    static_assert(R == 3, "series of one to three dimensions");
    for (long k = 1; k <= a.size(3); ++k)
      for (long j = 1; j <= a.size(2); ++j)
        for (long i = 1; i <= a.size(1); ++i) a(i, j, k) *= factor;
  }
}

// Every allocated element of a monthly series divided by `divisor`.
void dividir(Array3<double>& a, double divisor) {
  for (long k = 1; k <= a.size(3); ++k)
    for (long j = 1; j <= a.size(2); ++j)
      for (long i = 1; i <= a.size(1); ++i) a(i, j, k) /= divisor;
}

// The last index of a loop over `cuenta` elements of dimension `d` of `a`:
// an array that the options or the counts left unallocated (or smaller) is
// not touched beyond what it holds.
template <typename A>
long hasta(const A& a, int d, long cuenta) {
  return std::min(std::max(0L, cuenta), a.size(d));
}

// The concentrations of elements 1..`cuenta` (element, constituent) times
// the constituent factors. With `conserva_sin_depurar`, an entry whose
// integer part is -1 (untreated) keeps its value.
void convertir(Array2<double>& a, long cuenta, const Array1<double>& CAMUNID, bool conserva_sin_depurar) {
  const long filas = hasta(a, 1, cuenta);
  const long NC = hasta(a, 2, CAMUNID.size());
  for (long i = 1; i <= filas; ++i)
    for (long c = 1; c <= NC; ++c) {
      if (conserva_sin_depurar && parte_entera_es(a(i, c), -1.0)) continue;
      a(i, c) *= CAMUNID(c);
    }
}

// The monthly concentrations of elements 1..`cuenta` (element, constituent,
// month, year) times the constituent factors. With `conserva_no_calculado`,
// an entry whose integer part is -999 (a reach outlet never computed, e.g.
// a reach cut by the loop file) keeps the mark.
void convertir(Array4<double>& a, long cuenta, int NUMANYOS, const Array1<double>& CAMUNID,
               bool conserva_no_calculado) {
  const long filas = hasta(a, 1, cuenta);
  const long NC = hasta(a, 2, CAMUNID.size());
  const long meses = hasta(a, 3, 12);
  const long anyos = hasta(a, 4, NUMANYOS);
  // In the order of the elements in memory. A factor of 1 leaves every value
  // as it is (x * 1 is x): its constituent is passed over.
  for (long y = 1; y <= anyos; ++y)
    for (long mes = 1; mes <= meses; ++mes)
      for (long c = 1; c <= NC; ++c) {
        const double factor = CAMUNID(c);
        if (factor == 1.0) continue;
        for (long i = 1; i <= filas; ++i) {
          if (conserva_no_calculado && parte_entera_es(a(i, c, mes, y), -999.0)) continue;
          a(i, c, mes, y) *= factor;
        }
      }
}

}  // namespace

// Before the months: the reservoir curves and initial volumes, every monthly
// series of the allocation results and every input concentration (aquifers,
// initial reservoir layers, treated returns and intakes, diffuse loads,
// inflows) into calculation and internal units, in place. Untreated entries
// (integer part -1) of returns and intakes keep their mark. The end-of-month
// levels COTFINEMB and HTURBCEN, the sediment fluxes and the series built
// from the time curves are left as they are.
void CAMBIOUNIDADESSUB(Modelo& m) {
  Red& r = m.red;
  Calidad& c = m.cal;
  const double FACTORVOLUMEN = c.FACTORVOLUMEN;
  const double FACTORUNIDADES = c.FACTORUNIDADES;

  multiplicar(r.VOLINIEMB, FACTORVOLUMEN);
  multiplicar(r.SUPERFEMB, HECTAREA);
  multiplicar(r.VOLEMB, FACTORVOLUMEN);

  // QCONDUCC is a copy of the type-wise reach series made when the results
  // were read: each of them is converted here once.
  multiplicar(r.QAPO, FACTORUNIDADES);
  multiplicar(r.APINTEREMB, FACTORUNIDADES);
  multiplicar(r.APPREVEMB, FACTORUNIDADES);
  multiplicar(r.VOLFINEMB, FACTORVOLUMEN);
  multiplicar(r.SUELTASEMB, FACTORUNIDADES);
  multiplicar(r.VERTEMB, FACTORUNIDADES);
  multiplicar(r.EVAPEMB, FACTORUNIDADES);
  multiplicar(r.FILTREMB, FACTORUNIDADES);
  multiplicar(r.QT1, FACTORUNIDADES);
  multiplicar(r.QFT2, FACTORUNIDADES);
  multiplicar(r.PERDT2, FACTORUNIDADES);
  multiplicar(r.QFT3, FACTORUNIDADES);
  multiplicar(r.PERDT3, FACTORUNIDADES);
  multiplicar(r.QT4, FACTORUNIDADES);
  multiplicar(r.QMAXT4, FACTORUNIDADES);
  multiplicar(r.QT5, FACTORUNIDADES);
  multiplicar(r.QCONDUCC, FACTORUNIDADES);
  multiplicar(r.DOTRES, FACTORUNIDADES);
  multiplicar(r.SUMSUPDEM, FACTORUNIDADES);
  multiplicar(r.SUMSUBTDEM, FACTORUNIDADES);
  multiplicar(r.DEFDEM, FACTORUNIDADES);
  multiplicar(r.SUMTOMAS, FACTORUNIDADES);
  multiplicar(r.QRETREAL, FACTORUNIDADES);
  multiplicar(r.QOBJRESCEN, FACTORUNIDADES);
  multiplicar(r.QTURRESCEN, FACTORUNIDADES);
  multiplicar(r.QBOMB, FACTORUNIDADES);
  multiplicar(r.QREC, FACTORUNIDADES);

  Array1<double> CAMUNID{"CAMUNID"};
  factores(c, false, CAMUNID);
  convertir(c.COACU, r.NUMACUIFEROS, CAMUNID, false);
  convertir(c.COEMB, r.NUMEMBALSES, CAMUNID, false);
  convertir(c.COEMB2, r.NUMEMBALSES, CAMUNID, false);
  convertir(c.RETORNODEPU, r.NUMRETORNOS, CAMUNID, true);
  // Only the intakes that the node road visits: none for network data
  // prepared by the optimisation model (NUMTOMAS 0).
  convertir(c.TOMADEPU, r.NUMTOMAS, CAMUNID, true);
  convertir(c.SDVERTDIF, c.NUMVERTDIF, CAMUNID, false);
  convertir(c.COAPO, r.NUMAPORTACIONES, r.NUMANYOS, CAMUNID, false);
}

// DESCAMBIOUNIDAD: the factors that turn an internal concentration into
// output units (the partial result files multiply by them, the calibration
// files divide by them). 1.0 for every constituent, then the reverse factors
// of the converted constituents when OPCIONOXIGENO is 1. Sized (again) to
// NUMCONTAMINANTES here, so its size always matches the constituent list.
void factores_descambio(Modelo& m) { factores(m.cal, true, m.sim.DESCAMBIOUNIDAD); }

// After the months: the results that the reports read back into output
// units, in place: the end-of-month volumes of reservoirs and their layers
// (by FACTORVOLUMEN), the reach flows and the losses of type-2 and type-3
// reaches (by FACTORUNIDADES), the end-of-month layer concentrations of
// reservoirs and the inlet and outlet concentrations of reaches (by the
// reverse factors). A reach entry still holding the "not computed" mark
// (integer part -999, a reach cut by the loop file) keeps it, so that the
// reports can tell that reach. Every other array stays in calculation units.
void DESCAMBIOUNIDADESSUB(Modelo& m) {
  Red& r = m.red;
  Simulacion& s = m.sim;
  const double FACTORVOLUMEN = m.cal.FACTORVOLUMEN;
  const double FACTORUNIDADES = m.cal.FACTORUNIDADES;

  dividir(r.VOLFINEMB, FACTORVOLUMEN);
  dividir(s.V1F, FACTORVOLUMEN);
  dividir(s.V2F, FACTORVOLUMEN);
  dividir(r.QCONDUCC, FACTORUNIDADES);
  dividir(r.PERDT2, FACTORUNIDADES);
  dividir(r.PERDT3, FACTORUNIDADES);

  Array1<double> CAMUNID{"CAMUNID"};
  factores(m.cal, true, CAMUNID);
  convertir(s.EMB1CF, r.NUMEMBALSES, r.NUMANYOS, CAMUNID, false);
  convertir(s.EMB2CF, r.NUMEMBALSES, r.NUMANYOS, CAMUNID, false);
  convertir(s.CONDUCCCE, r.NUMCONDUCCIONES, r.NUMANYOS, CAMUNID, true);
  convertir(s.CONDUCCCS, r.NUMCONDUCCIONES, r.NUMANYOS, CAMUNID, true);
}

}  // namespace tornal
