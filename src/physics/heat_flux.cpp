// The net heat flux through a water surface, shared by the reach and the
// reservoir models: evaporation and conduction through the wind function,
// the long-wave radiation of the atmosphere and of the water, and the
// short-wave radiation; its slope and the temperature at which it vanishes.
#include <cmath>

#include "common/precision.h"
#include "physics/physics.h"

namespace tornal {
namespace {

// Saturation vapour pressure at temperature T (degC).
double presion_saturacion(double T) { return sp(4.596f) * std::exp(sp(17.27f) * T / (T + sp(237.3f))); }

double cuarta(double x) {
  const double x2 = x * x;
  return x2 * x2;
}

// Its slope: des/dT = es(T) 17.27 237.3 / (T + 237.3)^2.
double pendiente_saturacion(double T) {
  const double d = T + sp(237.3f);
  return presion_saturacion(T) * sp(17.27f) * sp(237.3f) / (d * d);
}

// The wind function fU = C3 + C4 VIENTO^C5.
double funcion_viento(const Array1<double>& C, double VIENTO) { return C(3) + C(4) * std::pow(VIENTO, C(5)); }

}  // namespace

// The bracket holds, in order, evaporation and conduction (Bowen factor
// 0.47), the atmospheric long-wave radiation (reflection 0.97, emissivity
// 0.6 (1 + 0.17 NUB^2)) and the back radiation of the water (C1 the
// Stefan-Boltzmann constant, C2 the emissivity of water); it is scaled by
// 0.48458 and the short-wave radiation is added unscaled. Kelvin is
// degC + 273.
double HTOTAL(const Calidad& cal, double TW, double HSW, double TAIR, double VIENTO, double HR, double NUB) {
  const Array1<double>& C = cal.CONSTANTESMODTEMPERATURA;
  const double ea = cal.EAIOPCIONHRR == 0 ? HR * presion_saturacion(TAIR) / sp(100.0f) : presion_saturacion(HR);
  const double fU = funcion_viento(C, VIENTO);
  const double evaporacion_conduccion = fU * (-(presion_saturacion(TW) - ea) - sp(0.47f) * (TW - TAIR));
  const double atmosfera =
      C(1) * sp(0.97f) * cuarta(TAIR + sp(273.0f)) * sp(0.6f) * (sp(1.0f) + sp(0.17f) * (NUB * NUB));
  const double agua = C(2) * C(1) * cuarta(TW + sp(273.0f));
  return sp(0.48458f) * (evaporacion_conduccion + atmosfera - agua) + HSW;
}

// -dH/dT of HTOTAL: the evaporation and conduction terms through the wind
// function and the back radiation of the water, scaled as in HTOTAL.
double intercambio_calor(const Calidad& cal, double TW, double VIENTO) {
  const Array1<double>& C = cal.CONSTANTESMODTEMPERATURA;
  const double fU = funcion_viento(C, VIENTO);
  const double K = TW + sp(273.0f);
  return sp(0.48458f) * (fU * (pendiente_saturacion(TW) + sp(0.47f)) + 4.0 * C(2) * C(1) * (K * K * K));
}

double temperatura_flujo_nulo(const Calidad& cal, double HSW, double TAIR, double VIENTO, double HR, double NUB) {
  auto flujo = [&](double TW) { return HTOTAL(cal, TW, HSW, TAIR, VIENTO, HR, NUB); };
  double a = TMINAGUA, b = TMAXAGUA;
  const double Ha = flujo(a), Hb = flujo(b);
  if (!std::isfinite(Ha) || !std::isfinite(Hb)) return std::nan("");
  if (Ha <= 0.0) return a;
  if (Hb >= 0.0) return b;
  for (int k = 0; k < 200 && b - a > 1.0e-9; ++k) {
    const double medio = 0.5 * (a + b);
    const double H = flujo(medio);
    if (!std::isfinite(H)) return std::nan("");
    (H > 0.0 ? a : b) = medio;
  }
  return 0.5 * (a + b);
}

}  // namespace tornal
