// The frame of the reach model: the segments of the reach, its diffuse
// load, the early exit of a dry reach, the flow profile, the hydraulics of
// each segment (a trapezoidal channel at Manning normal depth, or power laws
// of the flow) and the dispersive exchange between neighbouring segments;
// then the later stages in their order. A reach-month whose flow the
// solves cannot resolve on its segments is computed again as one mixed
// segment over its length.
//
// Every test of an integer part (INT(100 x q), INT(ECOND), INT(100 x Y)) is
// made with std::trunc in double: real flows overflow a 32-bit integer.
#include "reach/reach_model.h"

#include <cmath>
#include <initializer_list>
#include <vector>

#include "common/precision.h"
#include "common/stop.h"
#include "reach/tramo.h"

namespace tornal {
namespace {

// Most segments of one reach: far beyond any river, and small enough for
// the work arrays of the reach to fit in memory.
constexpr double MAXSEGMENTOS = 1.0e6;

// A flow compared to the hundredth: INT(100 x q).
double centesimas(double q) { return std::trunc(100.0 * q); }

// NUMSEGMENTOS = INT(LCOND / INCRX), each INCRX long. A reach shorter than
// one space step (or without a positive step) is one mixed segment of its
// own length.
void segmentos(Modelo& m, Tramo& t) {
  const double LCOND = m.cal.LCOND(t.I);
  const double INCRX = m.cal.INCRX(t.I);
  const double cociente = INCRX > 0.0 ? LCOND / INCRX : 0.0;
  if (!(cociente >= 1.0)) {
    t.N = 1;
    t.L = LCOND > 0.0 ? LCOND : 0.0;
    return;
  }
  if (cociente > MAXSEGMENTOS) {
    m.log.write({"La conducción tiene demasiados segmentos de cálculo"});
    m.log.write({"Conducción:", m.red.NOMCONDUCC(t.I)});
    m.log.write({"Número de segmentos:", cociente});
    stop("error");
  }
  t.N = static_cast<int>(std::trunc(cociente));
  t.L = INCRX;
}

// The coefficients of the hydraulic mode TIPOHID.
void coeficientes_hidraulicos(const Modelo& m, Tramo& t) {
  const Array2<double>& C = m.cal.COEFTESHIDR;
  const int TIPOHID = m.cal.TIPOHID(t.I);
  if (TIPOHID == 1) {
    t.NMN = C(t.I, 1);
    t.BMN = C(t.I, 2);
    t.IMN = C(t.I, 3);
    t.SMN = C(t.I, 4);
  } else if (TIPOHID == 2) {
    t.ALFA = C(t.I, 1);
    t.ALFA2 = C(t.I, 2);
    t.TETA = C(t.I, 3);
    t.GAMA = C(t.I, 4);
  }
}

// SDIF: the constant diffuse discharges into the reach add up; in a month
// for which the advanced-options file gives time-varying loads of the
// reach, those (added up as well) take the place of the constant ones.
void carga_difusa(Modelo& m, TrabajoTramo& w, const Tramo& t) {
  const Calidad& c = m.cal;
  const Simulacion& s = m.sim;
  Array1<double>& SDIF = w.SDIF;
  const int NC = c.NUMCONTAMINANTES;
  for (int d = 1; d <= c.NUMVERTDIF; ++d)
    if (c.NUMCONDUCVERTDIF(d) == t.I)
      for (int k = 1; k <= NC; ++k) SDIF(k) = SDIF(k) + c.SDVERTDIF(d, k);
  if (!s.HAYCONTDIFTEMP) return;
  const int MESRUN = 12 * (t.ANO - 1) + t.MES;
  bool variable = false;
  for (int j = 1; j <= s.NUMVERTDIFTEMP; ++j) {
    if (s.ORDENVERTDIFTEMP(j) != t.I) continue;
    if (!variable) {
      for (int k = 1; k <= NC; ++k) SDIF(k) = 0.0;
      variable = true;
    }
    for (int k = 1; k <= NC; ++k) SDIF(k) = SDIF(k) + s.SDVERTDIFTEMP(j, k, MESRUN);
  }
}

// A dry reach: every segment and the outlet at 0.
void tramo_seco(Modelo& m, TrabajoTramo& w, const Tramo& t) {
  const int NC = m.cal.NUMCONTAMINANTES;
  for (int k = 1; k <= NC; ++k) {
    for (int i = 1; i <= t.N; ++i) w.CX(i, k) = 0.0;
    m.sim.CONDUCCCS(t.I, k, t.MES, t.ANO) = 0.0;
  }
}

// QI1: flow through the downstream face of each segment; QI: flow at its
// centre. False when some flow is zero or negative (losses above what
// reaches the segment), which leaves the reach dry.
bool perfil_caudales(TrabajoTramo& w, const Tramo& t) {
  const double DQ = t.QENT - t.QSAL;
  bool positivos = true;
  for (int i = 1; i <= t.N; ++i) {
    w.QI1(i) = (DQ * i) / t.N + t.QCAB;
    w.QI(i) = (DQ * (i - 0.5)) / t.N + t.QCAB;
    if (!(w.QI1(i) > 0.0) || !(w.QI(i) > 0.0)) positivos = false;
  }
  return positivos;
}

// Mode 1: area, surface, volume and velocity from the normal depth of the
// centre flow; the depth kept for the later stages is then that of the flow
// through the downstream face.
void hidraulica_manning(TrabajoTramo& w, const Tramo& t) {
  // The depth of a flow, searched once for each distinct flow of the reach
  // (without lateral flows every segment carries the same one).
  double Qanterior = -1.0;
  double Yanterior = 0.0;
  auto calado = [&](double Q) {
    if (!(Q > 0.0)) return 0.0;
    if (Q != Qanterior) {
      Qanterior = Q;
      Yanterior = CALADONORMALSUB(t.NMN, t.BMN, t.IMN, t.SMN, Q);
    }
    return Yanterior;
  };
  for (int i = 1; i <= t.N; ++i) {
    const double Qc = w.QI(i) / 24.0 / 3600.0;
    w.Y(i) = calado(Qc);
    w.AIC(i) = (t.SMN * w.Y(i) + t.BMN) * w.Y(i);
    w.AXY(i) = (2.0 * t.SMN * w.Y(i) + t.BMN) * t.L;
    w.VI(i) = w.AIC(i) * t.L;
    w.UI(i) = Qc / w.AIC(i);  // m/s until the depths are done
  }
  for (int i = 1; i <= t.N; ++i) w.Y(i) = calado(w.QI1(i) / 24.0 / 3600.0);
  for (int i = 1; i <= t.N; ++i) w.UI(i) = w.UI(i) * 86400.0;
}

// Mode 2: U = ALFA Q^ALFA2 and Y = TETA Q^GAMA of the centre flow.
void hidraulica_potencial(TrabajoTramo& w, const Tramo& t) {
  for (int i = 1; i <= t.N; ++i) {
    const double Qc = w.QI(i) / 24.0 / 3600.0;
    const double U = t.ALFA * std::pow(Qc, t.ALFA2);
    w.AIC(i) = Qc / U;
    w.VI(i) = w.AIC(i) * t.L;
    w.Y(i) = t.TETA * std::pow(Qc, t.GAMA);
    w.AXY(i) = w.AIC(i) / w.Y(i) * t.L;
    w.UI(i) = U * 86400.0;
  }
}

// Any other mode: segments without depth, area, volume or velocity.
void hidraulica_nula(TrabajoTramo& w, const Tramo& t) {
  for (int i = 1; i <= t.N; ++i) {
    w.Y(i) = 0.0;
    w.AIC(i) = 0.0;
    w.AXY(i) = 0.0;
    w.VI(i) = 0.0;
    w.UI(i) = 0.0;
  }
}

// EIJ(i): dispersive exchange flow (m3/day) between segments i and i + 1,
// from the coefficient of the upstream segment: ECOND itself, or the
// formula that INT(ECOND) = -1 or -2 selects. A formula that is not defined
// for the reach (-1 without a channel, -2 with a coefficient ratio that is
// not positive or equals 1) gives no exchange.
void dispersion(const Modelo& m, TrabajoTramo& w, const Tramo& t) {
  const double ECOND = m.cal.ECOND(t.I);
  const double formula = std::trunc(ECOND);
  const double C5 = m.cal.COEFTESHIDR(t.I, 5);
  const double C6 = m.cal.COEFTESHIDR(t.I, 6);
  for (int i = 1; i <= t.N - 1; ++i) {
    const double U = w.UI(i) / 24.0 / 3600.0;
    double E = ECOND;
    if (formula == -1.0) {
      const double raiz = std::sqrt(t.IMN * sp(9.81f) * w.Y(i));
      if (std::trunc(100.0 * w.Y(i)) == 0.0 || !(raiz > 0.0)) {
        w.EIJ(i) = 0.0;
        continue;
      }
      E = sp(0.011f) * t.BMN * t.BMN * U * U / (w.Y(i) * raiz);
    } else if (formula == -2.0) {
      const double cociente = C6 / C5;
      if (!(cociente > 0.0) || cociente == 1.0 || !std::isfinite(cociente)) {
        w.EIJ(i) = 0.0;
        continue;
      }
      E = U * m.cal.INCRX(t.I) / std::log(cociente);
    }
    w.EIJ(i) = E * w.AIC(i) / m.cal.INCRX(t.I) * 86400.0;
  }
}

// Residual of the Manning equation at depth y, carried in single precision
// as the search has always carried it.
float residuo_manning(double K, double NMN_BMN, double SMN, double raiz_talud, double QMN, double y) {
  const double A = (SMN * y + NMN_BMN) * y;
  const double P = NMN_BMN + 2.0 * y * raiz_talud;
  const float caudal = static_cast<float>(K * std::pow(A, 5.0 / 3.0));
  const float cociente = static_cast<float>(caudal / std::pow(P, 2.0 / 3.0));
  return static_cast<float>(cociente - QMN);
}

// The reach-month on the t.N segments of t: the dry reach, or the flow
// profile, the hydraulics, the dispersive exchange and the stages, then
// the notes of the month and the outlet. False where a pivot vanished
// because the flow of its segment is too small to tell from 0: then no
// note, outlet or row of the month is written.
bool calcular_segmentos(Modelo& m, TrabajoTramo& w, const Tramo& t) {
  w.notas.clear();
  w.sin_estacionario = false;
  w.dimensionar(t.N, m.cal.NUMCONTAMINANTES);
  w.CAMINO.fill(0);
  carga_difusa(m, w, t);

  // The one early exit: a dry reach, its flows compared to the hundredth.
  // Every other reach takes the full path, also one with no head flow (a
  // reach fed by its aquifer alone): its flow grows from the lateral inflow
  // of half a segment at the centre of the first one, so that no flow of
  // the profile is zero, and its water decays, settles, takes the diffuse
  // load and exchanges heat along the reach as that of any other.
  if (centesimas(t.QCAB) == centesimas(t.QSAL) && centesimas(t.QENT) == 0.0) {
    tramo_seco(m, w, t);
    return true;
  }
  if (!perfil_caudales(w, t)) {  // losses above the flow: dry
    tramo_seco(m, w, t);
    return true;
  }

  const int TIPOHID = m.cal.TIPOHID(t.I);
  if (TIPOHID == 1) {
    // A channel without a positive roughness and slope, or with a negative
    // width or side slope, has no normal depth: the depths stand at their
    // floor and the reach is flagged.
    if (!(t.NMN > 0.0 && t.IMN > 0.0 && t.BMN >= 0.0 && t.SMN >= 0.0)) m.sim.ERRORCOND(t.I) = 1;
    hidraulica_manning(w, t);
  } else if (TIPOHID == 2)
    hidraulica_potencial(w, t);
  else
    hidraulica_nula(w, t);
  dispersion(m, w, t);

  try {
    filas_transporte(m, w, t);
    if (m.cal.OPCIONTEMPERATURA == 1) temperatura_tramo(m, w, t);
    primer_orden_tramo(m, w, t);
    if (m.cal.OPCIONOXIGENO == 1) {
      tasas_fijas(m, w, t);
      iteracion_oxigeno(m, w, t);
    }
  } catch (const FlujoIrresoluble&) {
    return false;
  } catch (const Stop&) {
    // The notes kept, so that a stop loses none: after the lines of that
    // stop (the solver's own stop has written them before its lines).
    escribir_notas(m, w);
    throw;
  }
  escribir_notas(m, w);
  // A month that took the value its water reaches is in the run log as
  // soon as it stands.
  if (w.sin_estacionario) m.log.flush();
  salida_tramo(m, w, t);
  return true;
}

// A reach-month whose flow the solves cannot resolve on its segments: the
// first such month of the reach is written to the run log, every one is
// counted for the end of the run, and the reach becomes one mixed segment
// over its length, as a reach shorter than its step.
void un_segmento(Modelo& m, Tramo& t) {
  if (m.sim.MESESMEZCLACOND(t.I)++ == 0) {
    m.log.write({"El caudal de la conducción es demasiado pequeño para el cálculo del transporte"});
    m.log.write({"Conducción:", m.red.NOMCONDUCC(t.I)});
    m.log.write({"Año, Mes:", t.ANO, t.MES});
    m.log.write({"Se calcula como un solo segmento de mezcla completa"});
  }
  const double LCOND = m.cal.LCOND(t.I);
  t.N = 1;
  t.L = LCOND > 0.0 ? LCOND : 0.0;
}

}  // namespace

double CALADONORMALSUB(double NMN, double BMN, double IMN, double SMN, double QMN) {
  const double K = static_cast<float>(std::sqrt(IMN) / NMN);
  const double raiz_talud = std::sqrt(1.0 + SMN * SMN);
  auto R = [&](double y) { return static_cast<double>(residuo_manning(K, BMN, SMN, raiz_talud, QMN, y)); };
  const double MINIMO = sp(0.001f);

  // Secant from 0.01 and 0.1 m until a step is below 0.01 m.
  constexpr int MAXSECANTE = 100;
  const double TOLERANCIA = sp(0.01f);
  double y0 = TOLERANCIA;
  double y1 = sp(0.1f);
  // The residual of the older depth is that of the newer one a step before.
  double f0 = R(y0);
  for (int n = 0; n < MAXSECANTE; ++n) {
    const double f1 = R(y1);
    const double diferencia = static_cast<float>(f0 - f1);
    if (diferencia == 0.0) break;
    const double y2 = y1 - (y0 - y1) * f1 / diferencia;
    if (!std::isfinite(y2) || y2 <= 0.0) break;
    if (std::fabs(y2 - y1) < TOLERANCIA) {
      // A short step is no root by itself: after a long step the secant may
      // land short of the root and take its next steps far from it. The
      // depth stands where the flow that the channel carries crosses QMN
      // within the step's tolerance of it. The channel carries nothing at
      // depth 0 and more the deeper it runs, so y1, which lies within that
      // tolerance, settles its own side when its residual has that side's
      // sign; the other side is evaluated.
      if (y2 < MINIMO) break;
      const double abajo = y2 - TOLERANCIA, arriba = y2 + TOLERANCIA;
      const bool cruza_abajo = (y1 < y2 && f1 <= 0.0) || abajo <= 0.0 || R(abajo) <= 0.0;
      if (cruza_abajo && ((y1 > y2 && f1 >= 0.0) || R(arriba) >= 0.0)) return y2;
      break;
    }
    y0 = y1;
    f0 = f1;
    y1 = y2;
  }

  // Where the secant cannot go on or ends away from the root: bisection
  // between 0 (where the channel carries nothing) and a depth that carries
  // more than QMN.
  double bajo = 0.0;
  double alto = sp(0.1f);
  for (int n = 0; n < 200 && R(alto) < 0.0; ++n) alto *= 2.0;
  for (int n = 0; n < 200 && alto - bajo > 1.0e-9 * alto; ++n) {
    const double medio = 0.5 * (bajo + alto);
    if (R(medio) < 0.0)
      bajo = medio;
    else
      alto = medio;
  }
  const double y = 0.5 * (bajo + alto);
  return y >= MINIMO ? y : MINIMO;
}

void nota(TrabajoTramo& w, std::initializer_list<FreeItem> items) { w.notas.emplace_back(items); }

void escribir_notas(Modelo& m, TrabajoTramo& w) {
  for (const std::vector<FreeItem>& n : w.notas) m.log.write(n);
  w.notas.clear();
}

void CALCULOCONDUCSUB(Modelo& m, TrabajoTramo& w, int I, double QCAB, double QENT, double QSAL,
                      const Array1<double>& CO, const Array1<double>& CE, int MES, int ANO) {
  Tramo t;
  t.I = I;
  t.MES = MES;
  t.ANO = ANO;
  t.QCAB = QCAB;
  t.QENT = QENT;
  t.QSAL = QSAL;
  t.CO = &CO;
  t.CE = &CE;
  segmentos(m, t);
  coeficientes_hidraulicos(m, t);
  // The months counted by the heat balance of the reach and by its segments
  // with no steady state, for a month given up on its segments to leave
  // none.
  Simulacion& s = m.sim;
  const int lineal = s.MESESCALORLINEAL(I), equilibrio = s.MESESCALOREQUILIBRIO(I);
  const int sin_estacionario = s.MESESSINESTACIONARIOSEG(I);
  if (calcular_segmentos(m, w, t)) return;
  s.MESESCALORLINEAL(I) = lineal;
  s.MESESCALOREQUILIBRIO(I) = equilibrio;
  s.MESESSINESTACIONARIOSEG(I) = sin_estacionario;
  un_segmento(m, t);
  // One segment: no vanishing pivot of it is put down to the flow.
  calcular_segmentos(m, w, t);
}

}  // namespace tornal
