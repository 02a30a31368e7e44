// The two sub-step integrators of the reservoir: one four-stage step of unit
// length of the layer equations, whose every stage (the fourth included)
// starts from the previous concentration plus half the stage before; a guard
// against divergence and a floor for tiny or negative results.
#include <cmath>

#include "common/precision.h"
#include "reservoir/reservoir_steps.h"

namespace tornal {
namespace {

const double SEXTO = sp(1.0f / 6.0f);    // 0.1666666716337204
const double COTA1 = 1.0e5;              // divergence bound, one layer
const double COTA2 = 1.0e6;              // divergence bound, two layers
const double DIVERGIDO = 1.0e5;          // value stored after a divergence
const double UMBRALSUELO = sp(1.0e-7f);  // results below it ...
const double SUELO = sp(1.0e-8f);        // ... take this value

// A stage value that diverges: above the bound, or not a finite number.
bool diverge(double etapa, double cota) { return !std::isfinite(etapa) || etapa > cota; }

double suelo(double c) { return c < UMBRALSUELO ? SUELO : c; }

}  // namespace

bool en_el_suelo(double c) { return c < UMBRALSUELO; }

bool etapa_divergente(double etapa, bool dos_capas) { return diverge(etapa, dos_capas ? COTA2 : COTA1); }

PasoEmbalse paso_una_capa(double A, double D, double P) {
  const double k1 = A * P + D;
  const double k2 = A * (P + 0.5 * k1) + D;
  const double k3 = A * (P + 0.5 * k2) + D;
  const double k4 = A * (P + 0.5 * k3) + D;  // half of k3 here too
  PasoEmbalse r;
  r.bruto1 = P + (k1 + k2 + k2 + k3 + k3 + k4) * SEXTO;
  r.C1 = r.bruto1;
  if (diverge(k1, COTA1) || diverge(k2, COTA1) || diverge(k3, COTA1) || diverge(k4, COTA1)) {
    r.diverge = true;
    r.C1 = DIVERGIDO;
  }
  r.C1 = suelo(r.C1);
  return r;
}

PasoEmbalse paso_dos_capas(double A1, double B1, double D1, double A2, double B2, double D2, double P1, double P2) {
  auto capa1 = [&](double Q1, double Q2) { return (A1 * Q1 + D1) + B1 * Q2; };
  auto capa2 = [&](double Q1, double Q2) { return (B2 * Q1 + D2) + A2 * Q2; };
  const double u1 = capa1(P1, P2), v1 = capa2(P1, P2);
  const double u2 = capa1(P1 + 0.5 * u1, P2 + 0.5 * v1), v2 = capa2(P1 + 0.5 * u1, P2 + 0.5 * v1);
  const double u3 = capa1(P1 + 0.5 * u2, P2 + 0.5 * v2), v3 = capa2(P1 + 0.5 * u2, P2 + 0.5 * v2);
  const double u4 = capa1(P1 + 0.5 * u3, P2 + 0.5 * v3), v4 = capa2(P1 + 0.5 * u3, P2 + 0.5 * v3);
  PasoEmbalse r;
  r.bruto1 = P1 + (u1 + u2 + u2 + u3 + u3 + u4) * SEXTO;
  r.bruto2 = P2 + (v1 + v2 + v2 + v3 + v3 + v4) * SEXTO;
  r.C1 = r.bruto1;
  r.C2 = r.bruto2;
  for (double e : {u1, u2, u3, u4, v1, v2, v3, v4}) {
    if (diverge(e, COTA2)) {
      r.diverge = true;
      r.C1 = DIVERGIDO;
      r.C2 = DIVERGIDO;
      break;
    }
  }
  r.C1 = suelo(r.C1);
  r.C2 = suelo(r.C2);
  return r;
}

namespace {

// Notes a divergence of constituent k in sub-step j: a stage that the guard
// stopped, a result that is not a finite number, or a modelled layer
// temperature outside -50..100 degrees before the floor lifts it; and a
// negative result that the floor lifts in a sub-step too long for the step
// (the floor would hide the growing error, holding the value at the floor
// or swinging between it and the other side). The earliest sub-step (and
// the first constituent there) is kept. The sub-step's results stand in w
// already (the judge reads whether a layer stays at the floor).
void anotar_divergencia(const Modelo& m, TrabajoEmbalse& w, int k, int j, const PasoEmbalse& r) {
  const double a = r.bruto1, b = r.bruto2;  // b is 0 in a one-layer step
  const bool desborde = r.diverge || !std::isfinite(a) || !std::isfinite(b);
  bool d = desborde;
  if (k == m.cal.POS.TEMPERATURA) d = d || !temperatura_fisica(a) || !temperatura_fisica(b);
  if (!d && (a < 0.0 || b < 0.0)) d = subpaso_crece(m, w, j, k);
  if (!d) return;
  if (!w.diverge || j < w.subpaso_diverge) {
    w.subpaso_diverge = j;
    w.contaminante_diverge = k;
  }
  w.diverge = true;
  w.desborde = w.desborde || desborde;
}

}  // namespace

// Constituent k over sub-step j of a one-layer month: reads AC1I and DC1I of
// (j, k), writes C1I(j, k); notes a divergence.
void INTEGRAEMB1SUB(const Modelo& m, TrabajoEmbalse& w, int k, int j, double CPREV) {
  const PasoEmbalse r = paso_una_capa(w.AC1I(j, k), w.DC1I(j, k), CPREV);
  w.C1I(j, k) = r.C1;
  anotar_divergencia(m, w, k, j, r);
}

// Constituent k over sub-step j of a two-layer month: reads the six
// coefficients of (j, k), writes C1I(j, k) and C2I(j, k); notes a
// divergence.
void INTEGRAEMB2SUB(const Modelo& m, TrabajoEmbalse& w, int k, int j, double C1PREV, double C2PREV) {
  const PasoEmbalse r = paso_dos_capas(w.AC1I(j, k), w.BC1I(j, k), w.DC1I(j, k), w.AC2I(j, k), w.BC2I(j, k),
                                       w.DC2I(j, k), C1PREV, C2PREV);
  w.C1I(j, k) = r.C1;
  w.C2I(j, k) = r.C2;
  anotar_divergencia(m, w, k, j, r);
}

void FIJAEMBSUB(const Modelo& m, TrabajoEmbalse& w, int k, int j, double C1, double C2) {
  PasoEmbalse r;
  r.bruto1 = r.C1 = C1;
  r.bruto2 = r.C2 = w.dos_capas() ? C2 : 0.0;
  w.C1I(j, k) = suelo(r.C1);
  if (w.dos_capas()) w.C2I(j, k) = suelo(r.C2);
  anotar_divergencia(m, w, k, j, r);
}

}  // namespace tornal

namespace tornal {

// Constituent k over sub-step j from the end of the sub-step before (the
// start of the month at j = 1), with the step of the month's layers.
void integrar(Modelo& m, TrabajoEmbalse& w, int k, int j) {
  if (w.dos_capas())
    INTEGRAEMB2SUB(m, w, k, j, w.P1(j, k), w.P2(j, k));
  else
    INTEGRAEMB1SUB(m, w, k, j, w.P1(j, k));
}

}  // namespace tornal
