// The physics of water that the reach and the reservoir models share: the
// range of water temperatures, the net heat flux through the water surface
// and its slope, and the saturation concentration of dissolved oxygen.
#pragma once

#include "quality_input/calidad.h"

namespace tornal {

// The range of water temperatures (degC): a modelled temperature beyond it
// has diverged, and no temperature beyond it is handed on.
constexpr double TMINAGUA = -50.0;
constexpr double TMAXAGUA = 100.0;

// Within the range (a non-finite value is not).
inline bool temperatura_fisica(double T) { return T >= TMINAGUA && T <= TMAXAGUA; }

// Net heat flux into a water surface (W/m2, positive when the water gains
// heat) at water temperature TW (degC), short-wave radiation HSW (W/m2),
// air temperature TAIR (degC), wind VIENTO (m/s), humidity HR (relative
// humidity in percent when EAIOPCIONHRR is 0, dew point in degC otherwise)
// and cloud cover NUB (fraction of the sky); reads CONSTANTESMODTEMPERATURA
// and EAIOPCIONHRR.
double HTOTAL(const Calidad& cal, double TW, double HSW, double TAIR, double VIENTO, double HR, double NUB);

// The exchange coefficient of that flux at water temperature TW and wind
// VIENTO: -dH/dT (W/m2/degC), the slope that linearises HTOTAL about TW.
double intercambio_calor(const Calidad& cal, double TW, double VIENTO);

// The water temperature at which that flux vanishes under the given
// weather, the equilibrium temperature of the heat balance: by bisection
// over the range of water temperatures, to 1e-9 degC, or the end of the
// range where the flux keeps its sign over all of it; NaN where the flux is
// not finite.
double temperatura_flujo_nulo(const Calidad& cal, double HSW, double TAIR, double VIENTO, double HR, double NUB);

// Saturation concentration of dissolved oxygen in fresh water (mg/l) at T
// (degC), by Benson and Krause, before any correction for altitude.
double saturacion_oxigeno(double T);

}  // namespace tornal
