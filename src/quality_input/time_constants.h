// The time-varying kinetic constants of reaches and reservoirs.
#pragma once

#include "modelo/modelo.h"

namespace tornal {

// A kinetic constant of reaches or of reservoirs, one value per element.
using ConstanteTemporal = Array1<double> Calidad::*;

// The constants that codes 1 to 15 select (code 1 first): reach constants
// and their reservoir twins.
inline constexpr ConstanteTemporal CONSTANTESCOND[15] = {
    &Calidad::KACOND,    &Calidad::KDCOND,     &Calidad::VSLCOND,      &Calidad::KNOACOND,  &Calidad::VSNOCOND,
    &Calidad::KNAICOND,  &Calidad::KNO3COND,   &Calidad::KMAXGROWCOND, &Calidad::KRESPCOND, &Calidad::VSALGCOND,
    &Calidad::KFOSFCOND, &Calidad::VSFOSFCOND, &Calidad::KFOSFACOND,   &Calidad::KECOND,    &Calidad::ALFAFITOCOND};
inline constexpr ConstanteTemporal CONSTANTESEMB[15] = {
    &Calidad::KAEMB,    &Calidad::KDEMB,     &Calidad::VSLEMB,      &Calidad::KNOAEMB,  &Calidad::VSNOEMB,
    &Calidad::KNAIEMB,  &Calidad::KNO3EMB,   &Calidad::KMAXGROWEMB, &Calidad::KRESPEMB, &Calidad::VSALGEMB,
    &Calidad::KFOSFEMB, &Calidad::VSFOSFEMB, &Calidad::KFOSFAEMB,   &Calidad::KEEMB,    &Calidad::ALFAFITOEMB};

// Overwrites the listed constants with their values for month MES of the run
// (1 to 12 x NUMANYOS, never restarted).
void CTESTEMPORALESSUB(Modelo& m, int MES);

}  // namespace tornal
