// The river-reach quality model.
#pragma once

#include "common/array.h"
#include "modelo/modelo.h"

namespace tornal {

// One reach I (global reach number) in month MES of year ANO: head flow
// QCAB, lateral inflow QENT and loss QSAL (m3/day), head and lateral-inflow
// concentrations CO and CE; writes the reach's outlet CONDUCCCS.
void CALCULOCONDUCSUB(Modelo& m, int I, double QCAB, double QENT, double QSAL, const Array1<double>& CO,
                      const Array1<double>& CE, int MES, int ANO);

}  // namespace tornal
