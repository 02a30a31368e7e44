// The level-area-volume curve of a reservoir: ten points of volume, level
// and area; a lookup from one of the three gives the other two.
#include "common/precision.h"
#include "common/stop.h"
#include "reservoir/reservoir_model.h"

namespace tornal {

void CURVAEMBSUB(Modelo& m, int K, double& VOL, double& COTA, double& SUP, int MODE) {
  const Red& r = m.red;
  const Array2<double>* X;  // points of the input
  const Array2<double>* Y;  // points of the first output
  const Array2<double>* W;  // points of the second output
  double x;
  double* y;
  double* w;
  double T;  // floor of the input
  switch (MODE) {
    case 1:
      X = &r.VOLEMB, Y = &r.COTAEMB, W = &r.SUPERFEMB, x = VOL, y = &COTA, w = &SUP, T = sp(0.01f);
      break;
    case 2:
      X = &r.COTAEMB, Y = &r.VOLEMB, W = &r.SUPERFEMB, x = COTA, y = &VOL, w = &SUP, T = sp(0.1f);
      break;
    case 3:
      X = &r.SUPERFEMB, Y = &r.VOLEMB, W = &r.COTAEMB, x = SUP, y = &VOL, w = &COTA, T = sp(0.1f);
      break;
    default:
      return;
  }
  if (x < T) {
    *y = sp(0.01f);
    *w = sp(0.01f);
    return;
  }
  int i = 1;
  while (i <= 10 && !(x <= (*X)(K, i))) ++i;
  if (i == 1) {
    *y = (x * (*Y)(K, 1)) / (*X)(K, 1);
    *w = (x * (*W)(K, 1)) / (*X)(K, 1);
    return;
  }
  if (i > 10) {
    if (MODE != 1) {
      *y = -9999.0;
      *w = -9999.0;
      m.log.write({MODE == 2 ? "Una profundidad simulada es superior a la profundidad maxima de la curva cota-sup-vol"
                             : "Un superficie simulada es superior a la superficie maxima de la curva cota-sup-vol"});
      m.log.write({"Modifique la curva para que englobe todos los valores simulados"});
      m.log.write({"Nombre del embalse", r.NOMEMB(K)});
      stop("error");
    }
    i = 10;  // along the last segment
    if ((*X)(K, 10) == (*X)(K, 9)) {
      // A last segment of no width: the top of the curve.
      *y = (*Y)(K, 10);
      *w = (*W)(K, 10);
      return;
    }
  }
  const double ancho = (*X)(K, i) - (*X)(K, i - 1);
  *y = (*Y)(K, i - 1) + (((*Y)(K, i) - (*Y)(K, i - 1)) * (x - (*X)(K, i - 1))) / ancho;
  *w = (*W)(K, i - 1) + (((*W)(K, i) - (*W)(K, i - 1)) * (x - (*X)(K, i - 1))) / ancho;
}

}  // namespace tornal
