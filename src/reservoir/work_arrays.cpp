// The work arrays of a reservoir month: sized and cleared at the start of
// every month.
#include <cmath>

#include "reservoir/reservoir_model.h"

namespace tornal {

void TrabajoEmbalse::dimensionar(int nsub, int NC, int NUMCONT1OR) {
  for (Array1<double>* a : {&CO1, &CO2, &C1ENTRI, &C2ENTRI, &FLUJSEDEMBA}) a->resize(NC);
  for (Array2<double>* a : {&C1I, &C2I, &AC1I, &BC1I, &DC1I, &AC2I, &BC2I, &DC2I}) a->resize(nsub, NC);
  for (Array1<double>* a : {&V1I, &V2I, &VI, &ZEPILI, &AEPILI, &ZHYPI, &AHYPI, &E12I, &LIMLUMEP, &LIMLUMHIP})
    a->resize(nsub);
  V1IO.resize(nsub + 1);
  V2IO.resize(nsub + 1);
  KAUXE1.resize(nsub, NUMCONT1OR);
  KAUXE2.resize(nsub, NUMCONT1OR);
  for (Array1<double>* a : {&KAAUX1, &KDAUX1, &KNOAAUX1, &KNAIAUX1, &KNO3AUX1, &KMAXGROWAUX1, &KGROWAUX1, &KRESPAUX1,
                            &OSATAUX1, &KFOSFAUX1, &KFOSFAAUX1, &KAAUX2, &KDAUX2, &KNOAAUX2, &KNAIAUX2, &KNO3AUX2,
                            &KMAXGROWAUX2, &KGROWAUX2, &KRESPAUX2, &OSATAUX2, &KFOSFAUX2, &KFOSFAAUX2})
    a->resize(nsub);
  LIMITECRECIMIENTO.resize(8, nsub);
  MASAEP.resize(nsub, NC, 6);
  MASAHIP.resize(nsub, NC, 6);
  MASAEPOD.resize(nsub, 5);
  MASAHIPOD.resize(nsub, 5);
  MASAEPL.resize(nsub, 2);
  MASAHIPL.resize(nsub, 3);
  MASAEPNORG.resize(nsub, 3);
  MASAHIPNORG.resize(nsub, 4);
  MASAEPNH4.resize(nsub, 3);
  MASAHIPNH4.resize(nsub, 3);
  MASAEPNO3.resize(nsub, 3);
  MASAHIPNO3.resize(nsub, 3);
  MASAEPCHLA.resize(nsub, 3);
  MASAHIPCHLA.resize(nsub, 4);
  MASAEPPORG.resize(nsub, 3);
  MASAHIPPORG.resize(nsub, 4);
  MASAEPPO4.resize(nsub, 4);
  MASAHIPPO4.resize(nsub, 4);
  SINFLUJOSED.resize(nsub);
  V0 = VFIN = ZT = V1O = V2O = 0.0;
  QIN = QS1 = QE1 = QS2 = QE2 = QV = QVSUBE = QVBAJA = 0.0;
  UNACAPA = 1;
  ANOXICO = false;
  division_nula = false;
  diverge = false;
  subpaso_diverge = contaminante_diverge = 0;
  factor = 1;
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
