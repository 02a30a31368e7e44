// Rates of the oxygen group along a reach: reaeration (given, or from depth
// and velocity), oxygen saturation with its altitude factor and the
// temperature-corrected rates, fixed for the call; and the rates of each
// pass of the oxygen iteration: decay and nitrification limited by oxygen,
// denitrification inhibited by it, and algal growth limited by light and
// nutrients.
#include <algorithm>
#include <cmath>

#include "common/precision.h"
#include "reach/reach_model.h"
#include "reach/tramo.h"

namespace tornal {
namespace {

// A constant of the nutrient and oxygen limitations is on unless
// INT(10000 x C) = 0.
bool activa(double C) { return std::trunc(10000.0 * C) != 0.0; }

// Theta correction of a rate at temperature T.
double corregida(double k, double theta, double T) { return k * std::pow(theta, T - 20.0); }

// Reaeration rate of a depth H (m) and velocity U (m/s), by the formula the
// depth and velocity select.
double reaireacion(double H, double U) {
  if (H < sp(0.61f)) return sp(5.32f) * std::pow(U, sp(0.67f)) / std::pow(H, sp(1.85f));
  if (H > sp(3.45f) * std::pow(U, sp(2.5f))) return sp(3.93f) * std::pow(U, sp(0.5f)) / std::pow(H, sp(1.5f));
  return sp(5.026f) * U / std::pow(H, sp(1.67f));
}

// Saturation concentration of dissolved oxygen in fresh water (mg/l) at T
// (degC).
double saturacion_oxigeno(double T) {
  const double Tk = T + sp(273.15f);
  const double Tk2 = Tk * Tk;
  const double Tk3 = Tk2 * Tk;
  const double Tk4 = Tk2 * Tk2;
  return std::exp(-sp(139.34411f) + sp(1.575701e5f) / Tk - sp(6.642308e7f) / Tk2 + sp(1.243800e10f) / Tk3 -
                  sp(8.621949e11f) / Tk4);
}

}  // namespace

void tasas_fijas(Modelo& m, const Tramo& t) {
  TrabajoTramo& w = m.tramo;
  const Calidad& c = m.cal;
  const int I = t.I;
  const Array1<double>& TECTAOD = c.TECTAOD;

  if (std::trunc(c.KACOND(I)) == -1.0) {
    for (int i = 1; i <= t.N; ++i) w.KAAUX(i) = reaireacion(w.Y(i), w.UI(i) / 3600.0 / 24.0);
  } else {
    for (int i = 1; i <= t.N; ++i) w.KAAUX(i) = c.KACOND(I);
  }
  for (int i = 1; i <= t.N; ++i) {
    const double T = temperatura_segmento(m, t, i);
    w.KAAUX(i) = corregida(w.KAAUX(i), TECTAOD(1), T);
    w.KDAUX(i) = corregida(c.KDCOND(I), TECTAOD(2), T);
    w.OSATAUX(i) = saturacion_oxigeno(T);
  }
  const double ALTITUD = c.COEFTESHIDR(I, 5);
  if (ALTITUD > 0.0 && c.COEFTESHIDR(I, 6) == 0.0)
    for (int i = 1; i <= t.N; ++i) w.OSATAUX(i) = w.OSATAUX(i) * (1.0 - sp(0.1148f) * ALTITUD / 1000.0);
  if (c.OPCIONNITROGENO == 1) {
    for (int i = 1; i <= t.N; ++i) {
      const double T = temperatura_segmento(m, t, i);
      w.KNOAAUX(i) = corregida(c.KNOACOND(I), TECTAOD(3), T);
      w.KNAIAUX(i) = corregida(c.KNAICOND(I), TECTAOD(4), T);
      w.KNO3AUX(i) = corregida(c.KNO3COND(I), TECTAOD(5), T);
    }
  }
  if (c.OPCIONFITOPLANCTON == 1) {
    for (int i = 1; i <= t.N; ++i) {
      const double T = temperatura_segmento(m, t, i);
      w.KMAXGROWAUX(i) = corregida(c.KMAXGROWCOND(I), TECTAOD(6), T);
      w.KRESPAUX(i) = corregida(c.KRESPCOND(I), TECTAOD(7), T);
      w.KFOSFAUX(i) = corregida(c.KFOSFCOND(I), TECTAOD(8), T);
      w.KFOSFAAUX(i) = c.KFOSFACOND(I);
    }
  }
}

void tasas_pasada(Modelo& m, const Tramo& t) {
  TrabajoTramo& w = m.tramo;
  const Calidad& c = m.cal;
  const PosicionesContaminantes& p = c.POS;
  const int I = t.I;
  const int MES = m.sim.MESACTUAL;
  const double C1 = c.CTELIMITACIONNUTRIENTES(1);
  const double C2 = c.CTELIMITACIONNUTRIENTES(2);
  const double C3 = c.CTELIMITACIONNUTRIENTES(3);
  const double C4 = c.CTELIMITACIONNUTRIENTES(4);
  const double C5 = c.CTELIMITACIONNUTRIENTES(5);
  for (int i = 1; i <= t.N; ++i) {
    const double DO = w.CX(i, p.OD);
    w.KDACTUAL(i) = activa(C1) ? w.KDAUX(i) * DO / (C1 + DO) : w.KDAUX(i);
    if (c.OPCIONNITROGENO == 1) {
      w.KNAIAUX2(i) = activa(C2) ? w.KNAIAUX(i) * DO / (C2 + DO) : w.KNAIAUX(i);
      w.KNO3AUX2(i) = activa(C5) ? w.KNO3AUX(i) * C5 / (C5 + DO) : w.KNO3AUX(i);
    }
    if (c.OPCIONFITOPLANCTON == 1) {
      const double CHLA = w.CX(i, p.CHLA);
      if (std::trunc(c.ALFAFITOCOND(I)) == -1.0)
        w.KE(i) = c.KECOND(I) + sp(88.0f) * CHLA + sp(0.054f) * std::pow(1000.0 * CHLA, sp(0.6667f));
      else
        w.KE(i) = c.KECOND(I) + c.ALFAFITOCOND(I) * CHLA;
      const double IO = c.IOCOND(I, MES);
      const double ISAT = c.ISATCOND(I);
      const double FLUM = c.FLUMCOND(I, MES);
      w.ALFA1(i) = IO / ISAT * std::exp(-w.KE(i) * w.Y(i));
      const double KEY = w.KE(i) * w.Y(i);
      // Without extinction the light factor is its limit as KE x Y tends to 0.
      if (KEY == 0.0)
        w.LIMLUMCOND(i) = sp(2.718f) * FLUM * (IO / ISAT) * std::exp(-IO / ISAT);
      else
        w.LIMLUMCOND(i) = sp(2.718f) * FLUM / KEY * (std::exp(-w.ALFA1(i)) - std::exp(-IO / ISAT));
      const double NIT = p.NH4 > 0 ? w.CX(i, p.NH4) + w.CX(i, p.NO3) : 0.0;
      const double P = w.CX(i, p.PO4);
      double F = 1.0;
      if (activa(C3) && activa(C4))
        F = std::min(NIT / (C3 + NIT), P / (C4 + P));
      else if (activa(C3))
        F = NIT / (C3 + NIT);
      else if (activa(C4))
        F = P / (C4 + P);
      w.KGROWAUX2(i) = w.KMAXGROWAUX(i) * w.LIMLUMCOND(i) * F;
    }
  }
}

}  // namespace tornal
