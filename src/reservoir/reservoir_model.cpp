// The reservoir quality model, in the form it takes for a reservoir empty at
// the start of the month: the water passes through. The outflow is the
// mixed inflow of the node, the one layer holds the inflow concentration at
// the end of the month with the month's end volume, the lower layer is
// empty.
#include "reservoir/reservoir_model.h"

namespace tornal {

// Reservoir K at row FILANUDO of ORDENNUDOS: writes NUDOSCS of the row from
// NUDOSCE, EMB1CF from the inflow concentrations CEEMBAUX, EMB2CF = 0, V1F
// from VOLFINEMB and V2F = 0 for month MES of year ANO.
void CALCULOEMBSUB(Modelo& m, int FILANUDO, int K, int MES, int ANO) {
  Simulacion& s = m.sim;
  for (int c = 1; c <= m.cal.NUMCONTAMINANTES; ++c) {
    s.NUDOSCS(FILANUDO, c, MES, ANO) = s.NUDOSCE(FILANUDO, c, MES, ANO);
    s.EMB1CF(K, c, MES, ANO) = s.CEEMBAUX(c);
    s.EMB2CF(K, c, MES, ANO) = 0.0;
  }
  s.V1F(K, MES, ANO) = m.red.VOLFINEMB(K, MES, ANO);
  s.V2F(K, MES, ANO) = 0.0;
}

}  // namespace tornal
