// Helpers of the network data model.
#include "network/red.h"

namespace tornal {

int numero_en_tipo(const Red& red, int k) {
  int tipo = red.CONDUCCIONES(k, 3);
  int antes = 0;
  if (tipo > 1) antes += red.NUMCONDUCCIONEST1;
  if (tipo > 2) antes += red.NUMCONDUCCIONEST2;
  if (tipo > 3) antes += red.NUMCONDUCCIONEST3;
  if (tipo > 4) antes += red.NUMCONDUCCIONEST4;
  return k - antes;
}

}  // namespace tornal
