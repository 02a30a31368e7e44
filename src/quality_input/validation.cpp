// Validation of the quality parameters, run once the quality data file is
// read: every value out of range gives a warning in the run log that names
// the element (message line, then label and name or number), in a fixed
// order of groups: options, surface heat exchange, first-order pollutants,
// kinetic constants of reaches and of reservoirs, reach data, reservoir
// data, diffuse discharges, initial and treated concentrations. Warnings
// change nothing. Afterwards the run stops when the options cannot make a
// constituent list, when a first-order pollutant has a theta of 0 or below,
// or when a modelled reach or a reservoir has a calculation step the models
// cannot work with, or a modelled reach a hydraulic mode other than 1 or 2
// or hydraulic coefficients that give it no cross-section.
#include "quality_input/validation.h"

#include <string>

#include "common/latin1.h"
#include "common/stop.h"
#include "quality_input/kinetic_constants.h"

namespace tornal {

namespace {

// Labels of the second line of a warning.
constexpr const char* ETIQUETACOND = "Conducción:";
constexpr const char* ETIQUETAEMB = "Embalse:";
constexpr const char* ETIQUETAACU = "Acuífero";
constexpr const char* ETIQUETARET = "Elemento de retorno:";
constexpr const char* ETIQUETATOMA = "Toma:";
constexpr const char* ETIQUETACONT1OR = "Contaminante de primer orden";
constexpr const char* ETIQUETAVERTDIF = "Número de la conducción";

// A warning on a named element: the message, then the label and the name at
// its stored length.
void aviso(Modelo& m, const char* mensaje, const char* etiqueta, const std::string& nombre) {
  m.log.write({mensaje});
  m.log.write({etiqueta, padded(nombre, LONGNOMBRE)});
}

// A warning on an element known by its number.
void aviso(Modelo& m, const char* mensaje, const char* etiqueta, int numero) {
  m.log.write({mensaje});
  m.log.write({etiqueta, numero});
}

// Whether a value fails the check of its kinetic constant.
bool falla(Cota cota, double valor) {
  switch (cota) {
    case Cota::NINGUNA:
      return false;
    case Cota::MENORQUEMENOSUNO:
      return valor < -1.0;
    case Cota::NEGATIVO:
      return valor < 0.0;
    case Cota::NOPOSITIVO:
      return valor <= 0.0;
  }
  return false;
}

bool cero_o_uno(int opcion) { return opcion == 0 || opcion == 1; }

// The options, message line alone. Returns whether any of them makes the
// options inconsistent (the constituent list could not be built).
bool validar_opciones(Modelo& m) {
  const Calidad& cal = m.cal;
  bool incoherentes = false;
  auto opcion = [&](bool falla_opcion, const char* mensaje) {
    if (!falla_opcion) return;
    m.log.write({mensaje});
    incoherentes = true;
  };
  opcion(!cero_o_uno(cal.OPCIONTEMPERATURA), "La opción de la simulación de la temperatura debe ser 0, 1 ó 2");
  opcion(cal.NUMCONT1OR < 0, "El número de contaminantes de primer orden no puede ser negativo");
  opcion(!cero_o_uno(cal.OPCIONOXIGENO), "La opción de la simulación del oxígeno disuelto debe ser 0 ó 1");
  opcion(!cero_o_uno(cal.OPCIONNITROGENO), "La opción de la simulación del ciclo del nitrógeno debe ser 0 ó 1");
  opcion(!cero_o_uno(cal.OPCIONFITOPLANCTON), "La opción de la simulación del fitoplancton debe ser 0 ó 1");
  opcion(cal.OPCIONFITOPLANCTON == 1 && cal.OPCIONNITROGENO != 1,
         "Si la opción de la simulación del fitoplancton es 1 la del ciclo del nitrógeno también debe ser 1");
  opcion(cal.OPCIONNITROGENO == 1 && cal.OPCIONOXIGENO != 1,
         "Si la opción de la simulación del ciclo del nitrógeno es 1 la del oxígeno disuelto también debe ser 1");
  // A modelled temperature needs a model the temperature section can hold.
  opcion(cal.OPCIONTEMPERATURA == 1 && cal.MODELOTEMPERATURA != 1 && cal.MODELOTEMPERATURA != 2,
         "El modelo de temperatura debe ser 1 ó 2");
  return incoherentes;
}

// Surface heat-exchange constants of the equilibrium-temperature model.
void validar_intercambio_termico(Modelo& m) {
  const Calidad& cal = m.cal;
  if (!(cal.OPCIONTEMPERATURA == 1 && cal.MODELOTEMPERATURA == 1)) return;
  const char* mensaje = "La constante de atenuación lumínica debe ser un número positivo";
  for (int i = 1; i <= m.red.NUMCONDUCCIONES; ++i)
    if (cal.KETCOND(i) < 0.0) aviso(m, mensaje, ETIQUETACOND, m.red.NOMCONDUCC(i));
  for (int e = 1; e <= m.red.NUMEMBALSES; ++e)
    if (cal.KETEMB(e) < 0.0) aviso(m, mensaje, ETIQUETAEMB, m.red.NOMEMB(e));
}

// Temperature correction of the first-order pollutants: a theta of 0 or
// below (or undefined) makes the rate k theta^(T - 20) infinite or not a
// number at some temperature. Returns whether any was found; the run stops
// after all warnings, with this one warning for it.
bool validar_primer_orden(Modelo& m) {
  bool hay = false;
  for (int k = 1; k <= m.cal.NUMCONT1OR; ++k)
    if (!(m.cal.TECTAK1OR(k) > 0.0)) {
      aviso(m,
            "La constante de correción por temperatura de los contaminantes de primer orden debe ser un número "
            "positivo",
            ETIQUETACONT1OR, k);
      hay = true;
    }
  return hay;
}

// Kinetic constants of reaches, then of reservoirs: per element, every
// checked constant of CONSTANTESCINETICAS that the model has and whose group
// the options select, in the order of the table, then the next element.
void validar_cineticas(Modelo& m) {
  const Calidad& cal = m.cal;
  if (cal.OPCIONOXIGENO != 1) return;
  auto modelo = [&](CampoCinetico ConstanteCinetica::*lado, int elementos, const char* etiqueta,
                    const Array1<std::string>& NOMBRES) {
    for (int e = 1; e <= elementos; ++e)
      for (const ConstanteCinetica& k : CONSTANTESCINETICAS) {
        const CampoCinetico& campo = k.*lado;
        if (k.cota != Cota::NINGUNA && campo.existe() && grupo_activo(cal, k.grupo) &&
            falla(k.cota, (cal.*campo.valor)(e)))
          aviso(m, k.mensaje, etiqueta, NOMBRES(e));
      }
  };
  modelo(&ConstanteCinetica::COND, m.red.NUMCONDUCCIONES, ETIQUETACOND, m.red.NOMCONDUCC);
  modelo(&ConstanteCinetica::EMB, m.red.NUMEMBALSES, ETIQUETAEMB, m.red.NOMEMB);
}

// Dispersion, length, step, hydraulic mode and coefficients of every reach.
void validar_conducciones(Modelo& m) {
  const Calidad& cal = m.cal;
  for (int i = 1; i <= m.red.NUMCONDUCCIONES; ++i) {
    const std::string& nombre = m.red.NOMCONDUCC(i);
    if (cal.ECOND(i) < 0.0)
      aviso(m, "La dispersión de las conducciones debe ser un valor positivo", ETIQUETACOND, nombre);
    if (cal.LCOND(i) < 0.0)
      aviso(m, "La longitud de las conducciones debe ser un valor positivo", ETIQUETACOND, nombre);
    if (cal.INCRX(i) < 0.0)
      aviso(m, "el diferencial de cálculo las conducciones debe ser un valor positivo", ETIQUETACOND, nombre);
    if (cal.TIPOHID(i) != 1 && cal.TIPOHID(i) != 2)
      aviso(m, "El modo de estimación hidráulica sólo puede valer 1 ó 2", ETIQUETACOND, nombre);
    for (int k = 1; k <= 4; ++k)
      if (cal.COEFTESHIDR(i, k) < 0.0)
        aviso(m, "Los coeficientes hidráulicos de las conducciones deben ser un valor positivo", ETIQUETACOND, nombre);
    if (cal.INRESCOND(i) == 1) {
      if (cal.INCRX(i) > cal.LCOND(i))
        aviso(m, "El diferencial de cálculo dno puede ser superior a la longitud del tramo", ETIQUETACOND, nombre);
      // IEEE division: a step of 0 gives an infinite (or undefined) number
      // of steps, which passes unless the length is negative.
      if (cal.LCOND(i) / cal.INCRX(i) < 5.0)
        aviso(m,
              "El número de diferenciales, definido por el cociente entre la longitud y el diferencial, debe ser "
              "superior a 5",
              ETIQUETACOND, nombre);
    }
  }
}

// Initial epilimnion share and time step of every reservoir.
void validar_embalses(Modelo& m) {
  const Calidad& cal = m.cal;
  if (m.red.NUMEMBALSES <= 0) return;
  for (int e = 1; e <= m.red.NUMEMBALSES; ++e) {
    const std::string& nombre = m.red.NOMEMB(e);
    if (cal.PORCENTVO(e) < 0.0)
      aviso(m, "el porcentaje inicial de epilimnion debe ser un valor positivo", ETIQUETAEMB, nombre);
    if (cal.INCRETIEM(e) < 0.0) aviso(m, "el diferencial de calculo debe ser un valor positivo", ETIQUETAEMB, nombre);
    if (cal.INCRETIEM(e) < 10.0) aviso(m, "el diferencial de calculo es muy bajo", ETIQUETAEMB, nombre);
  }
}

// Loads of the diffuse discharges, per discharge and constituent.
void validar_vertidos_difusos(Modelo& m) {
  const Calidad& cal = m.cal;
  for (int k = 1; k <= cal.NUMVERTDIF; ++k)
    for (int c = 1; c <= cal.NUMCONTAMINANTES; ++c)
      if (cal.SDVERTDIF(k, c) < 0.0)
        aviso(m, "El valor de contaminación difusa debe ser un valor positivo", ETIQUETAVERTDIF,
              cal.NUMCONDUCVERTDIF(k));
}

// One loop of the concentrations: every element, inside every constituent.
void validar_concentraciones(Modelo& m, int numelementos, const Array2<double>& CONC, double cota, const char* mensaje,
                             const char* etiqueta, const Array1<std::string>& NOMBRES) {
  for (int e = 1; e <= numelementos; ++e)
    for (int c = 1; c <= m.cal.NUMCONTAMINANTES; ++c)
      if (CONC(e, c) < cota) aviso(m, mensaje, etiqueta, NOMBRES(e));
}

// Initial concentrations of reservoirs and aquifers; treated concentrations
// of returns and of the intakes of the run (-1: untreated).
void validar_concentraciones(Modelo& m) {
  const Calidad& cal = m.cal;
  const Red& red = m.red;
  validar_concentraciones(m, red.NUMEMBALSES, cal.COEMB, 0.0,
                          "La concentración inicial de los embalses deben ser un valor positivo", ETIQUETAEMB,
                          red.NOMEMB);
  validar_concentraciones(m, red.NUMEMBALSES, cal.COEMB2, 0.0,
                          "La concentración inicial del hipolimnion de los embalses deben ser un valor positivo",
                          ETIQUETAEMB, red.NOMEMB);
  validar_concentraciones(m, red.NUMACUIFEROS, cal.COACU, 0.0,
                          "La concentración inicial de los acuíferos deben ser un valor positivo", ETIQUETAACU,
                          red.NOMACU);
  validar_concentraciones(m, red.NUMRETORNOS, cal.RETORNODEPU, -1.0,
                          "La concentración de depuración debe ser -1 o un valor positivo", ETIQUETARET, red.NOMRET);
  // Only the intakes of the run: none when the optimisation model switched
  // them off, although every intake of the network file has its row.
  validar_concentraciones(m, red.NUMTOMAS, cal.TOMADEPU, -1.0,
                          "La concentración de depuración debe ser -1 o un valor positivo", ETIQUETATOMA, red.NOMTOMA);
}

// Hydraulic coefficients that give modelled reach i no cross-section: with
// Manning's normal depth (TIPOHID 1) a roughness or bed slope of 0 or less,
// a negative bottom width (whatever the side slope: the trapezoid of a
// negative bottom has no area at the depths the search starts from), or a
// bottom width and a side slope both 0; with the power laws (TIPOHID 2) a
// velocity or depth coefficient of 0 or less. Columns 1 and 3 hold the
// roughness and the slope, or the two coefficients; column 2 the bottom
// width. A negative value has had its warning among the reach data and gets
// no second one; a value of 0, or one that is not a number, is warned here
// with the same message. Returns whether any was found.
bool seccion_invalida(Modelo& m, int i) {
  const Calidad& cal = m.cal;
  const int TIPOHID = cal.TIPOHID(i);
  if (TIPOHID != 1 && TIPOHID != 2) return false;
  const std::string& nombre = m.red.NOMCONDUCC(i);
  bool hay = false;
  for (int k : {1, 3}) {
    const double coeficiente = cal.COEFTESHIDR(i, k);
    if (coeficiente > 0.0) continue;
    if (!(coeficiente < 0.0))
      aviso(m, "Los coeficientes hidráulicos de las conducciones deben ser un valor positivo", ETIQUETACOND, nombre);
    hay = true;
  }
  if (TIPOHID != 1) return hay;
  const double ancho = cal.COEFTESHIDR(i, 2);
  if (!(ancho >= 0.0)) {
    if (!(ancho < 0.0))
      aviso(m, "Los coeficientes hidráulicos de las conducciones deben ser un valor positivo", ETIQUETACOND, nombre);
    hay = true;
  } else if (ancho == 0.0 && cal.COEFTESHIDR(i, 4) == 0.0) {
    aviso(m, "El ancho de fondo y el talud de las conducciones no pueden valer ambos 0", ETIQUETACOND, nombre);
    hay = true;
  }
  return hay;
}

// Reaches and reservoirs the models cannot compute: a modelled reach (report
// flag neither -1 nor 2) whose step is not positive would divide by zero,
// one whose hydraulic mode is neither 1 nor 2, or whose hydraulic
// coefficients give no cross-section, would have no depth or no velocity
// (the mode keeps its one warning of the reach data); a reservoir below one sub-step a month would run
// none, one above MAXSUBPASOSEMBALSE would ask for more sub-steps than any
// month needs (and than its work arrays can count). Written so that an
// undefined value is caught too. Returns whether any was found.
bool elementos_incalculables(Modelo& m) {
  const Calidad& cal = m.cal;
  bool hay = false;
  for (int i = 1; i <= m.red.NUMCONDUCCIONES; ++i) {
    if (cal.INRESCOND(i) == -1 || cal.INRESCOND(i) == 2) continue;
    if (!(cal.INCRX(i) > 0.0)) {
      aviso(m, "El diferencial de cálculo de la conducción debe ser mayor que cero", ETIQUETACOND, m.red.NOMCONDUCC(i));
      hay = true;
    }
    // Neither mode gives the reach a depth or a velocity: its one warning
    // is that of the reach data.
    if (cal.TIPOHID(i) != 1 && cal.TIPOHID(i) != 2) hay = true;
    if (seccion_invalida(m, i)) hay = true;
  }
  const std::string demasiados =
      "El diferencial de cálculo del embalse no puede ser superior a " + std::to_string(MAXSUBPASOSEMBALSE);
  for (int e = 1; e <= m.red.NUMEMBALSES; ++e) {
    if (!(cal.INCRETIEM(e) >= 1.0)) {
      aviso(m, "El diferencial de cálculo del embalse debe ser al menos 1", ETIQUETAEMB, m.red.NOMEMB(e));
      hay = true;
    } else if (!(cal.INCRETIEM(e) <= MAXSUBPASOSEMBALSE)) {
      aviso(m, demasiados.c_str(), ETIQUETAEMB, m.red.NOMEMB(e));
      hay = true;
    }
  }
  return hay;
}

}  // namespace

// Validates the quality data read from the quality data file (options,
// constants, element data, concentrations) against the network data model;
// writes the warnings to the run log, then stops with "error" after them
// when the options are inconsistent, a theta of a first-order pollutant is
// not above 0, or a calculation step, the hydraulic mode or the hydraulic
// coefficients of a reach are unusable.
void validar_calidad(Modelo& m) {
  bool incoherentes = validar_opciones(m);
  validar_intercambio_termico(m);
  const bool tectas_primer_orden = validar_primer_orden(m);
  validar_cineticas(m);
  validar_conducciones(m);
  validar_embalses(m);
  validar_vertidos_difusos(m);
  validar_concentraciones(m);

  if (incoherentes) m.log.write({"Las opciones de simulación son incoherentes"});
  bool incalculables = elementos_incalculables(m);
  if (incoherentes || incalculables || tectas_primer_orden) stop("error");
}

}  // namespace tornal
