// The time-varying kinetic constants of reaches and reservoirs.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

#include "modelo/modelo.h"
#include "quality_input/kinetic_constants.h"

namespace tornal {

// A kinetic constant of reaches or of reservoirs, one value per element.
using ConstanteTemporal = Array1<double> Calidad::*;

// The codes of the time-varying constants run from 1 to
// NUMCODIGOSTEMPORALES: the codes of CONSTANTESCINETICAS.
inline constexpr int NUMCODIGOSTEMPORALES = [] {
  int n = 0;
  for (const ConstanteCinetica& k : CONSTANTESCINETICAS) n = std::max(n, k.codigo);
  return n;
}();

// Every code from 1 to NUMCODIGOSTEMPORALES names exactly one constant of
// the table, which both models have.
static_assert([] {
  for (int codigo = 1; codigo <= NUMCODIGOSTEMPORALES; ++codigo) {
    int veces = 0;
    for (const ConstanteCinetica& k : CONSTANTESCINETICAS)
      if (k.codigo == codigo) veces += k.COND.existe() && k.EMB.existe() ? 1 : 2;
    if (veces != 1) return false;
  }
  return true;
}());

using ConstantesTemporales = std::array<ConstanteTemporal, NUMCODIGOSTEMPORALES>;

// The constants of one model that the codes select, code n at index n - 1.
constexpr ConstantesTemporales constantes_temporales(CampoCinetico ConstanteCinetica::*modelo) {
  ConstantesTemporales a{};
  for (const ConstanteCinetica& k : CONSTANTESCINETICAS)
    if (k.codigo > 0) a[k.codigo - 1] = (k.*modelo).valor;
  return a;
}

// The constants that codes 1 to NUMCODIGOSTEMPORALES select: reach
// constants and their reservoir twins.
inline constexpr ConstantesTemporales CONSTANTESCOND = constantes_temporales(&ConstanteCinetica::COND);
inline constexpr ConstantesTemporales CONSTANTESEMB = constantes_temporales(&ConstanteCinetica::EMB);

// The constant that the code of an entry (a real whose integer part is the
// code) selects among `constantes`; null for a code outside 1 to
// NUMCODIGOSTEMPORALES, which no entry applies.
inline const ConstanteTemporal* constante_del_codigo(const ConstantesTemporales& constantes, double CODIGO) {
  const double codigo = std::trunc(CODIGO);
  if (!(codigo >= 1.0 && codigo <= static_cast<double>(NUMCODIGOSTEMPORALES))) return nullptr;
  return &constantes[static_cast<std::size_t>(codigo) - 1];
}

// Overwrites the listed constants with their values for month MES of the run
// (1 to 12 x NUMANYOS, never restarted).
void CTESTEMPORALESSUB(Modelo& m, int MES);

}  // namespace tornal
