// The work arrays of a reservoir month: cleared at the start of every
// month, sized again when the month's sizes change.
#include <cmath>

#include "reservoir/reservoir_model.h"

namespace tornal {

void TrabajoEmbalse::dimensionar(int nsub, int NC, int NUMCONT1OR) {
  // Work arrays of the same sizes as the month before are kept and cleared;
  // others are sized again.
  const bool mismos = nsub == NSUB_ && NC == NC_ && NUMCONT1OR == NUMCONT1OR_;
  auto dim = [mismos](auto& a, auto... n) {
    if (mismos)
      a.fill({});
    else
      a.resize(n...);
  };
  for (Array1<double>* a : {&CO1, &CO2, &C1ENTRI, &C2ENTRI, &FLUJSEDEMBA}) dim(*a, NC);
  for (Array2<double>* a : {&C1I, &C2I, &AC1I, &BC1I, &DC1I, &AC2I, &BC2I, &DC2I}) dim(*a, nsub, NC);
  for (Array1<double>* a : {&V1I, &V2I, &VI, &ZEPILI, &AEPILI, &ZHYPI, &AHYPI, &E12I, &LIMLUMEP, &LIMLUMHIP})
    dim(*a, nsub);
  dim(V1IO, nsub + 1);
  dim(V2IO, nsub + 1);
  dim(KAUXE1, nsub, NUMCONT1OR);
  dim(KAUXE2, nsub, NUMCONT1OR);
  for (const TasaCapas& t : TASASCAPAS) {
    dim(this->*t.capa1, nsub);
    dim(this->*t.capa2, nsub);
  }
  dim(LIMITECRECIMIENTO, 8, nsub);
  for (const TransporteBalance& b : BALANCETRANSPORTE) dim(this->*b.masa, nsub, NC, b.terminos());
  for (const ProcesoBalance& p : BALANCEPROCESOS) dim(this->*p.masa, nsub, p.terminos());
  dim(SINFLUJOSED, nsub);
  NSUB_ = nsub;
  NC_ = NC;
  NUMCONT1OR_ = NUMCONT1OR;
  V0 = VFIN = ZT = V1O = V2O = 0.0;
  QIN = QS1 = QE1 = QS2 = QE2 = QV = QVSUBE = QVBAJA = 0.0;
  UNACAPA = 1;
  ANOXICO = false;
  division_nula = false;
  diverge = false;
  desborde = false;
  oxigeno_implicito = false;
  subpasos_oxigeno_implicito = 0;
  subpaso_diverge = contaminante_diverge = 0;
  factor = 1;
}

void TrabajoEmbalse::sin_procesos() {
  LIMITECRECIMIENTO.fill(0.0);
  for (const TransporteBalance& b : BALANCETRANSPORTE) (this->*b.masa).fill(0.0);
  for (const ProcesoBalance& p : BALANCEPROCESOS) (this->*p.masa).fill(0.0);
}

double TrabajoEmbalse::cociente(double a, double b) {
  const double q = a / b;
  if (b == 0.0 || !std::isfinite(q)) {
    division_nula = true;
    return 0.0;
  }
  return q;
}

}  // namespace tornal
