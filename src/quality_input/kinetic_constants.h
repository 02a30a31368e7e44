// The kinetic constants of the reach model and of the reservoir model,
// declared once: CONSTANTESCINETICAS lists each constant in the order of the
// quality data file, with its field of Calidad in either model, the option
// group it belongs to, its range check and message, and its code as a
// time-varying constant. The reading of the kinetic section of the quality
// data file, the sizing of the constants, their validation, their curve
// numbers and monthly series, and the codes of the time-varying constants
// all follow from this table. The thetas that correct their rates for
// temperature are declared beside it, in kinetic_thetas.h.
#pragma once

#include "quality_input/calidad.h"

namespace tornal {

// The option group of a kinetic constant. The whole kinetic section exists
// only with the oxygen option; the nitrogen and phytoplankton constants
// only with their own option as well.
enum class GrupoCinetico { OXIGENO, NITROGENO, FITOPLANCTON };

// How the validation checks the value of a kinetic constant.
enum class Cota {
  NINGUNA,           // not checked
  MENORQUEMENOSUNO,  // warned below -1 (-1 selects a formula of the models)
  NEGATIVO,          // warned below 0
  NOPOSITIVO,        // warned at 0 or below
};

// One model's side of a kinetic constant: its value per element, a record
// of the quality data file. A value that varies over the year has its time
// curve numbers in the next record and the monthly series built from both
// (base value x the factor of the curve).
struct CampoCinetico {
  Array1<double> Calidad::*valor = nullptr;  // nullptr: the model has no such constant
  Array1<int> Calidad::*curva = nullptr;     // time curve of the value, when it has one
  Array2<double> Calidad::*serie = nullptr;  // (element, running month): the monthly series

  constexpr CampoCinetico() = default;
  // A field alone converts, so that a row of the table names it bare.
  constexpr CampoCinetico(Array1<double> Calidad::*v, Array1<int> Calidad::*c = nullptr,
                          Array2<double> Calidad::*s = nullptr)
      : valor(v), curva(c), serie(s) {}
  constexpr bool existe() const { return valor != nullptr; }
};

// One kinetic constant of the reach model (COND) and of the reservoir model
// (EMB), twins under one check, one message and one code.
struct ConstanteCinetica {
  GrupoCinetico grupo;
  CampoCinetico COND;  // of the reaches (none: the reservoirs' alone)
  CampoCinetico EMB;   // of the reservoirs (none: the reaches' alone)
  Cota cota = Cota::NINGUNA;
  const char* mensaje = nullptr;  // the warning of a value outside its range
  int codigo = 0;                 // code of the time-varying constant in "tornal.avz"; 0: none
};

// In the order of the quality data file: the reaches' block reads every
// constant with a reach field, the reservoirs' block every constant with a
// reservoir field, each of the groups that the options select. The
// validation warns in this order too, element by element.
inline constexpr ConstanteCinetica CONSTANTESCINETICAS[] = {
    {GrupoCinetico::OXIGENO, &Calidad::KACOND, &Calidad::KAEMB, Cota::MENORQUEMENOSUNO,
     "La constante de reaireación debe ser -1 o un valor positivo", 1},
    {GrupoCinetico::OXIGENO, {}, {&Calidad::UWEM, &Calidad::CURVAUWEM, &Calidad::UWEMB}},
    {GrupoCinetico::OXIGENO, &Calidad::KDCOND, &Calidad::KDEMB, Cota::NEGATIVO,
     "La constante de degradación de la materia orgánica debe ser un valor positivo", 2},
    {GrupoCinetico::OXIGENO, &Calidad::VSLCOND, &Calidad::VSLEMB, Cota::NEGATIVO,
     "La velocidad de sedimentación de la materia orgánica debe ser un valor positivo", 3},
    {GrupoCinetico::NITROGENO, &Calidad::KNOACOND, &Calidad::KNOAEMB, Cota::NEGATIVO,
     "La constante de degradación del nitrógeno orgánico debe ser un valor positivo", 4},
    {GrupoCinetico::NITROGENO, &Calidad::VSNOCOND, &Calidad::VSNOEMB, Cota::NEGATIVO,
     "La velocidad de sedimentación del nitrógeno orgánico debe ser un valor positivo", 5},
    {GrupoCinetico::NITROGENO, &Calidad::KNAICOND, &Calidad::KNAIEMB, Cota::NEGATIVO,
     "La constante de nitrificación del amonio debe ser un valor positivo", 6},
    {GrupoCinetico::NITROGENO, &Calidad::KNO3COND, &Calidad::KNO3EMB, Cota::NEGATIVO,
     "La constante de desnitrificación debe ser un valor positivo", 7},
    {GrupoCinetico::FITOPLANCTON, &Calidad::KMAXGROWCOND, &Calidad::KMAXGROWEMB, Cota::NEGATIVO,
     "La constante de crecimiento del fitoplancton debe ser un valor positivo", 8},
    {GrupoCinetico::FITOPLANCTON, &Calidad::KRESPCOND, &Calidad::KRESPEMB, Cota::NEGATIVO,
     "La constante de respiración del fitoplancton debe ser un valor positivo", 9},
    {GrupoCinetico::FITOPLANCTON, &Calidad::VSALGCOND, &Calidad::VSALGEMB, Cota::NEGATIVO,
     "La velocidad de sedimentación del fitoplancton debe ser un valor positivo", 10},
    {GrupoCinetico::FITOPLANCTON, &Calidad::KFOSFCOND, &Calidad::KFOSFEMB, Cota::NEGATIVO,
     "La constante de mineralización del fósforo orgánico debe ser un valor positivo", 11},
    {GrupoCinetico::FITOPLANCTON, &Calidad::VSFOSFCOND, &Calidad::VSFOSFEMB, Cota::NEGATIVO,
     "La velocidad de sedimentación del fósforo orgánico debe ser un valor positivo", 12},
    {GrupoCinetico::FITOPLANCTON, &Calidad::KFOSFACOND, &Calidad::KFOSFAEMB, Cota::NEGATIVO,
     "La constante de desgradación del fósforo inorgánico debe ser un valor positivo", 13},
    {GrupoCinetico::FITOPLANCTON, &Calidad::KECOND, &Calidad::KEEMB, Cota::NEGATIVO,
     "La constante de atenuación lumínica debe ser un valor positivo", 14},
    {GrupoCinetico::FITOPLANCTON,
     {&Calidad::IOCON, &Calidad::CURVAIOCON, &Calidad::IOCOND},
     {&Calidad::IOEM, &Calidad::CURVAIOEM, &Calidad::IOEMB}},
    {GrupoCinetico::FITOPLANCTON,
     {&Calidad::FLUMCON, &Calidad::CURVAFLUMCON, &Calidad::FLUMCOND},
     {&Calidad::FLUMEM, &Calidad::CURVAFLUMEM, &Calidad::FLUMEMB}},
    {GrupoCinetico::FITOPLANCTON, &Calidad::ISATCOND, &Calidad::ISATEMB, Cota::NOPOSITIVO,
     "La Intensidad de saturación lumínica debe ser un valor mayor que cero"},
    {GrupoCinetico::FITOPLANCTON, &Calidad::ALFAFITOCOND, &Calidad::ALFAFITOEMB, Cota::NEGATIVO,
     "La constante de atenuación debida a la sombra propia del fitoplancton debe ser un valor positivo", 15},
};

// Whether the constants of group g exist in the run: the oxygen option on,
// and for the nitrogen and phytoplankton groups their own option too.
inline bool grupo_activo(const Calidad& c, GrupoCinetico g) {
  if (c.OPCIONOXIGENO != 1) return false;
  switch (g) {
    case GrupoCinetico::OXIGENO:
      return true;
    case GrupoCinetico::NITROGENO:
      return c.OPCIONNITROGENO == 1;
    case GrupoCinetico::FITOPLANCTON:
      return c.OPCIONFITOPLANCTON == 1;
  }
  return false;
}

// Sizes the kinetic constants of the groups the options select, at 0: NR
// values (and curve numbers) of reaches, NE of reservoirs, and the monthly
// series of NM months. With `todos_los_grupos`, every constant whatever the
// options (a model built by hand that any option may switch on).
void dimensionar_cineticas(Calidad& c, int NR, int NE, int NM, bool todos_los_grupos = false);

}  // namespace tornal
