// The surface heat flux and its slope: the exchange coefficient that the
// linearised heat balance of a reach puts on its diagonal is -dH/dT of
// HTOTAL itself, for either reading of the humidity.
#include <gtest/gtest.h>

#include "physics/physics.h"

namespace {

TEST(HeatFlux, ExchangeCoefficientIsTheSlopeOfTheFlux) {
  struct Caso {
    double TW, TAIR, VIENTO, HR;
    int EAIOPCIONHRR;
  };
  const Caso casos[] = {{5.0, 25.0, 2.0, 60.0, 0},
                        {18.0, 12.0, 0.0, 80.0, 0},
                        {30.0, 35.0, 6.0, 20.0, 0},
                        {12.0, 20.0, 3.0, 10.0, 1},
                        {-2.0, -5.0, 1.0, -8.0, 1}};
  tornal::Calidad c;
  const double constantes[] = {1.17e-7, 0.97, 19.0, 0.95, 2.0};
  for (int k = 1; k <= 5; ++k) c.CONSTANTESMODTEMPERATURA(k) = constantes[k - 1];
  for (const Caso& k : casos) {
    SCOPED_TRACE(k.TW);
    c.EAIOPCIONHRR = k.EAIOPCIONHRR;
    const auto H = [&](double T) { return tornal::HTOTAL(c, T, 300.0, k.TAIR, k.VIENTO, k.HR, 0.3); };
    const double h = 1.0e-3;
    const double pendiente = -(H(k.TW + h) - H(k.TW - h)) / (2.0 * h);
    const double lambda = tornal::intercambio_calor(c, k.TW, k.VIENTO);
    EXPECT_GT(lambda, 0.0);
    EXPECT_NEAR(lambda, pendiente, 1.0e-6 * lambda);
  }
}

}  // namespace
