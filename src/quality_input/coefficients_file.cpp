// The coefficients file: the unit factors of the allocation model and of the
// stoichiometric constituents, the water properties, the kinetic thetas, the
// stoichiometric ratios, the half-saturation constants, the reaeration laws,
// the heat-balance constants and a few switches. Up to version 1.1 it is a
// fixed sequence of records with heading lines; from version 1.2 on, a file
// of sections that each start with a tag line, in any order. The thetas are
// those of TECTASCINETICAS (kinetic_thetas.h): the first TECTASREGISTRO in
// their record, any later one in the optional tagged section of the others.
// A tagged file may leave sections out: one whose zeros the run's options
// and elements would compute with to no sense is a read error that names
// it, one whose zeros (or default) are a choice of the model is named in the
// run log with the value taken (`SECCIONES`). The sections left out are
// looked at again once "tornal.avz" is read, whose time-varying constants
// may ask a reservoir for the wind law of reaeration. A theta that the run
// uses must be above 0, and a half-saturation constant that is on must not
// be below 0: either is the read error of its record, naming its section.
#include "quality_input/coefficients_file.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <optional>
#include <span>
#include <vector>

#include "common/counted_reader.h"
#include "common/failures.h"
#include "common/free_reader.h"
#include "common/latin1.h"
#include "common/stop.h"
#include "quality_input/time_constants.h"

namespace tornal {

namespace {

// The length of the word taken from a tag line (LINEACOEF).
constexpr std::size_t LONGLINEACOEF = 255;

// The read error of the file and the label of its counter.
constexpr const char* ERRORLECTURA = "Error en la lectura del archivo de coeficientes";
constexpr const char* ETIQUETALINEA = "Error en la linea numero:";
// The line after the read error that names each section a tagged file left
// out and the run needs: the read error is at the end of the file (the
// statements made on it).
constexpr const char* FALTASECCION = "Falta la sección ";
// The line after the read error of a record whose values the run cannot
// compute with: thetas, half-saturation constants.
constexpr const char* VALORCEROOMENOR = "Valor de 0 o menor en la sección ";
constexpr const char* VALORNEGATIVO = "Valor negativo en la sección ";

// One value of a record: a real or an integer of the coefficients.
struct Valor {
  double* real = nullptr;
  int* entero = nullptr;
};

// One record of values, read by one statement.
enum Grupo {
  G_UNIDADES,
  G_ERROR,
  G_AGUA,
  G_DISPERSION,
  G_CONDUCCIONES,
  G_EMBALSES,
  G_TECTAS,
  G_ESTEQUIOMETRICOS,
  G_UNIDADESESTEQ,
  G_OSAT,
  G_TERMOCLINA,
  G_NUTRIENTES,
  G_PREFERENCIA,
  // From here on, an end of the file where the record should stand ends the
  // reading (the file may stop after the first thirteen groups).
  G_BALANCES,
  G_CTESTEMPERATURA,
  G_EAIOPCIONHRR,
  G_FITOHIPO,
  G_FLUJOSED,
  G_ACUMULACION,
  G_TECTASADICIONALES,  // the thetas after the record of thetas; tagged layout only
  NUM_GRUPOS
};

// The tags of the sections of the tagged layout.
struct Etiqueta {
  const char* nombre;
  Grupo grupo;
};
constexpr Etiqueta ETIQUETAS[] = {
    {"<UNIDADES>", G_UNIDADES},
    {"<ERROR>", G_ERROR},
    {"<CARACTERISTICASDELAGUA>", G_AGUA},
    {"<DISPERSIONEMBALSES>", G_DISPERSION},
    {"<CONDUCCIONES>", G_CONDUCCIONES},
    {"<EMBALSES>", G_EMBALSES},
    {"<TECTAS>", G_TECTAS},
    {"<ESTEQUIMETRICOS>", G_ESTEQUIOMETRICOS},
    {"<UNIDADESESTEQUIOMETRICAS>", G_UNIDADESESTEQ},
    {"<OSAT>", G_OSAT},
    {"<COEFTETERMOCLINA>", G_TERMOCLINA},
    {"<CTELIMITACIONNUTRIENTES>", G_NUTRIENTES},
    {"<FACTORPREFERENCIA>", G_PREFERENCIA},
    {"<OPCIONBALANCES>", G_BALANCES},
    {"<CONSTANTESMODTEMPERATURA>", G_CTESTEMPERATURA},
    {"<FITOENELHIPO>", G_FITOHIPO},
    {"<FLUJOSEDIMENTOSNOANOXIA>", G_FLUJOSED},
    {"<ACUMULACIONRESULTADOSPARCIALES>", G_ACUMULACION},
    {"<TECTASADICIONALES>", G_TECTASADICIONALES},
};

const char* etiqueta_de(Grupo g) {
  for (const Etiqueta& t : ETIQUETAS)
    if (t.grupo == g) return t.nombre;
  return "";
}

// What a section left out of a tagged file does to the run: nothing (the run
// does not use it, or its own check answers for it), a read error (its
// zeros would leave the model undefined or absurd), or a note of the value
// taken (its zeros, or its default, are a choice of the model).
enum class Ausencia { NADA, PARADA, NOTA };

// A section of the tagged layout and what its absence does under the run's
// options and elements; `nota`: the value taken and what it means.
struct Seccion {
  Grupo grupo;
  Ausencia (*ausencia)(const Modelo&);
  const char* nota;
};

bool hay_elementos(const Modelo& m) { return m.red.NUMCONDUCCIONES > 0 || m.red.NUMEMBALSES > 0; }
bool hay_embalses(const Modelo& m) { return m.red.NUMEMBALSES > 0; }
bool oxigeno(const Modelo& m) { return m.cal.OPCIONOXIGENO == 1 && hay_elementos(m); }
bool nitrogeno(const Modelo& m) { return oxigeno(m) && m.cal.OPCIONNITROGENO == 1; }
bool fitoplancton(const Modelo& m) { return nitrogeno(m) && m.cal.OPCIONFITOPLANCTON == 1; }
Ausencia nota_si(bool usada) { return usada ? Ausencia::NOTA : Ausencia::NADA; }
Ausencia error_si(bool usada) { return usada ? Ausencia::PARADA : Ausencia::NADA; }

// A reservoir whose reaeration is the wind law of <EMBALSES> in some month
// (KAEMB -1, as the reservoir's rates test it): its KAEMB of the quality data
// file, or, when "tornal.avz" gives it time-varying values, those of its last
// entry (which every month writes over the earlier ones).
bool reaireacion_por_viento(const Modelo& m) {
  if (!oxigeno(m)) return false;
  const Simulacion& s = m.sim;
  for (int e = 1; e <= m.red.NUMEMBALSES && e <= m.cal.KAEMB.size(); ++e) {
    int entrada = 0;
    for (int k = 1; s.HAYCTESTEMP && k <= s.NUMCTESTEMPEMB; ++k) {
      const ConstanteTemporal* codigo = constante_del_codigo(CONSTANTESEMB, s.NUMKEMBTEMP(k));
      if (codigo != nullptr && *codigo == &Calidad::KAEMB && std::trunc(s.EMBKTEMP(k)) == e) entrada = k;
    }
    if (entrada == 0) {
      if (std::trunc(m.cal.KAEMB(e)) == -1.0) return true;
      continue;
    }
    for (int t = 1; t <= s.NUMMESESTEMP; ++t)
      if (std::trunc(s.KTESTEMPEMB(entrada, t)) == -1.0) return true;
  }
  return false;
}

// Whether the run uses theta n: reaeration and the decay of organic matter
// with oxygen, ammonification, nitrification and denitrification with
// nitrogen, the algae's growth and respiration and the mineralisation of
// organic phosphorus with phytoplankton; a theta after the record of thetas
// with oxygen. Its rate is the rate at 20 degC times theta^(T - 20).
bool tecta_usada(const Modelo& m, int n) {
  if (n <= 2 || n > TECTASREGISTRO) return oxigeno(m);
  if (n <= 5) return nitrogeno(m);
  return fitoplancton(m);
}

// Whether the run uses half-saturation constant n: (1), of the decay of
// organic matter, with oxygen; (2) and (5), of nitrification and
// denitrification, with nitrogen; (3) and (4), of algal growth, with
// phytoplankton.
bool semisaturacion_usada(const Modelo& m, int n) {
  if (n == 1) return oxigeno(m);
  if (n == 2 || n == 5) return nitrogeno(m);
  return fitoplancton(m);
}

// A half-saturation constant is on unless the whole part of 10000 times it
// is 0, as both models switch its limitation; one on and below 0 makes its
// factor pass through infinity as the concentration nears minus it.
bool semisaturacion_negativa(double Ks) { return Ks < 0.0 && limitacion_activa(Ks); }

// The file's read error with counter `linea`, then `detalle` for each
// section of `grupos`, and the stop.
[[noreturn]] void error_secciones(Modelo& m, long linea, const char* detalle, const std::vector<Grupo>& grupos) {
  m.log.write({ERRORLECTURA});
  m.log.write({ETIQUETALINEA});
  m.log.write({linea});
  for (Grupo g : grupos) m.log.write({latin1(std::string(detalle) + etiqueta_de(g))});
  stop("error");
}

// In the order of the tags. <UNIDADES> is always needed (its zero factors
// are divided by), <UNIDADESESTEQUIOMETRICAS> with nitrogen (its ammonium
// and nitrate factors); <OSAT> is used by nothing; <CONSTANTESMODTEMPERATURA>
// has the heat-balance stop of its own; <TECTASADICIONALES> holds thetas of
// default 1, no correction, and reads as before when left out. Every other
// section matters only to a run whose options and elements use it.
constexpr Seccion SECCIONES[] = {
    {G_UNIDADES, [](const Modelo&) { return Ausencia::PARADA; }, ""},
    {G_ERROR,
     [](const Modelo& m) {
       return nota_si(m.red.NUMCONDUCCIONES > 0 && (m.cal.NUMCONT1OR > 0 || m.cal.OPCIONOXIGENO == 1));
     },
     "Se toma 0: solo se anulan las concentraciones negativas de las conducciones"},
    {G_AGUA, [](const Modelo& m) { return error_si(m.cal.OPCIONTEMPERATURA == 1 && hay_elementos(m)); }, ""},
    {G_DISPERSION, [](const Modelo& m) { return nota_si(hay_embalses(m)); },
     "Se toma 0 0: sin intercambio entre capas en los embalses cuya dispersión es -1"},
    {G_CONDUCCIONES, [](const Modelo& m) { return nota_si(oxigeno(m) && m.red.NUMCONDUCCIONES > 0); },
     "Se toma 0: 50 iteraciones como máximo en las conducciones"},
    {G_EMBALSES, [](const Modelo& m) { return error_si(reaireacion_por_viento(m)); }, ""},
    {G_TECTAS, [](const Modelo& m) { return error_si(oxigeno(m)); }, ""},
    {G_ESTEQUIOMETRICOS, [](const Modelo& m) { return error_si(nitrogeno(m)); }, ""},
    {G_UNIDADESESTEQ,
     [](const Modelo& m) {
       if (m.cal.OPCIONOXIGENO == 1 && m.cal.OPCIONNITROGENO == 1) return Ausencia::PARADA;
       return nota_si(oxigeno(m));
     },
     "Se toma 0: la DBO5 no se convierte en DBO última"},
    {G_TERMOCLINA, [](const Modelo& m) { return nota_si(hay_embalses(m)); },
     "Se toma 0: todos los embalses de una sola capa"},
    {G_NUTRIENTES, [](const Modelo& m) { return nota_si(oxigeno(m)); },
     "Se toma 0: sin limitación por oxígeno ni por nutrientes"},
    {G_PREFERENCIA, [](const Modelo& m) { return nota_si(fitoplancton(m)); },
     "Se toma 0 0: el fitoplancton toma nitratos y respira el fósforo como fosfatos"},
    {G_BALANCES, [](const Modelo& m) { return nota_si(hay_embalses(m)); }, "Se toma 0: no se escribe balances.csv"},
    {G_FITOHIPO, [](const Modelo& m) { return nota_si(fitoplancton(m) && hay_embalses(m)); },
     "Se toma 1: el fitoplancton del hipolimnion sin reducción"},
    {G_FLUJOSED, [](const Modelo& m) { return nota_si(nitrogeno(m) && hay_embalses(m)); },
     "Se toma 0: flujos de los sedimentos solo con anoxia"},
    {G_ACUMULACION, [](const Modelo& m) { return nota_si(hay_elementos(m)); },
     "Se toma 1 1: todos los segmentos y subpasos en los resultados parciales"},
};

class LectorCoeficientes {
 public:
  LectorCoeficientes(Modelo& m, CountedReader& f) : m_(m), c_(m.cal), f_(f) {
    Calidad& c = c_;
    valores_[G_UNIDADES] = {real(&c.FACTORVOLUMEN), real(&c.DIVISORUNIDADES)};
    valores_[G_ERROR] = {real(&c.ERRORCONC)};
    valores_[G_AGUA] = reales(c.CARACTERISTICASDELAGUA, 2);
    valores_[G_DISPERSION] = reales(c.DISPEMB, 2);
    valores_[G_CONDUCCIONES] = {real(&c.NUMMAXITERCOND), real(&c.REAICOND(1)), real(&c.REAICOND(2))};
    valores_[G_EMBALSES] = reales(c.REAIEMB, 3);
    valores_[G_TECTAS] = reales(c.TECTAOD, 1, TECTASREGISTRO);
    valores_[G_ESTEQUIOMETRICOS] = reales(c.STECHIO, 6);
    valores_[G_UNIDADESESTEQ] = reales(c.UNIDADESESTEQUIOMETRICAS, 5);
    valores_[G_OSAT] = reales(c.OSAT, 3);
    valores_[G_TERMOCLINA] = {real(&c.COEFTETERMOCLINA)};
    valores_[G_NUTRIENTES] = reales(c.CTELIMITACIONNUTRIENTES, 5);
    valores_[G_PREFERENCIA] = reales(c.FACTORPREFERENCIA, 2);
    valores_[G_BALANCES] = enteros(&c.OPCIONBALANCES, 1);
    valores_[G_CTESTEMPERATURA] = reales(c.CONSTANTESMODTEMPERATURA, 5);
    valores_[G_EAIOPCIONHRR] = enteros(&c.EAIOPCIONHRR, 1);
    valores_[G_FITOHIPO] = reales(&c.FITOENELHIPO, 1);
    valores_[G_FLUJOSED] = enteros(&c.FLUJOSEDIMENTOSNOANOXIA, 1);
    valores_[G_ACUMULACION] = enteros(c.ACUMULACIONRESULTADOSPARCIALES, 2);
    valores_[G_TECTASADICIONALES] = reales(c.TECTAOD, TECTASREGISTRO + 1, static_cast<int>(c.TECTAOD.size()));
    // Built after the defaults are set: the values every record starts from.
    for (int g = 0; g < NUM_GRUPOS; ++g) {
      for (const Valor& v : valores_[g]) {
        defectos_[g].reales.push_back(v.real ? *v.real : 0.0);
        defectos_[g].enteros.push_back(v.entero ? *v.entero : 0);
      }
    }
  }

  void leer_por_etiquetas();
  void leer_fijo();
  void terminar();

 private:
  static Valor real(double* p) { return Valor{p, nullptr}; }
  static std::vector<Valor> reales(double* p, int n) {
    std::vector<Valor> v;
    v.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) v.push_back(real(p + i));
    return v;
  }
  static std::vector<Valor> reales(Array1<double>& a, int n) { return reales(a, 1, n); }
  // a(desde) to a(hasta): none when hasta < desde.
  static std::vector<Valor> reales(Array1<double>& a, int desde, int hasta) {
    std::vector<Valor> v;
    for (int i = desde; i <= hasta; ++i) v.push_back(real(&a(i)));
    return v;
  }
  static std::vector<Valor> enteros(int* p, int n) {
    std::vector<Valor> v;
    v.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) v.push_back(Valor{nullptr, p + i});
    return v;
  }
  static std::vector<Valor> enteros(Array1<int>& a, int n) {
    std::vector<Valor> v;
    v.reserve(static_cast<std::size_t>(n));
    for (int i = 1; i <= n; ++i) v.push_back(Valor{nullptr, &a(i)});
    return v;
  }

  static bool obligatorio(Grupo g) { return g < G_BALANCES; }

  // The values of one record, in the order of its group.
  struct Leidos {
    std::vector<double> reales;
    std::vector<int> enteros;
  };

  // A heading record; false when the file ended where a record that it may
  // end before stands.
  bool cabecera(bool es_obligatoria);
  // One record of values of group g, read and kept; false when the file
  // ended where it may.
  bool grupo(Grupo g);
  // One record of values of group g, read but not yet kept; empty when the
  // file ended where it may.
  std::optional<Leidos> leer(Grupo g);
  // Keeps the values of a record of group g.
  void guardar(Grupo g, const Leidos& leidos);
  // The heat-balance constants and EAIOPCIONHRR of a tagged section.
  bool constantes_temperatura();

  Modelo& m_;
  Calidad& c_;
  CountedReader& f_;  // its counter is NUMLINEA
  std::vector<Valor> valores_[NUM_GRUPOS];
  Leidos defectos_[NUM_GRUPOS];
  // The statement that last read each group (0: never read).
  long lineas_[NUM_GRUPOS] = {};
  // The tagged layout, and the sections it gave (a record kept).
  bool etiquetado_ = false;
  bool leidos_[NUM_GRUPOS] = {};

  // The statement that last read group g, or the statements made when the
  // file never gave it.
  long linea(Grupo g) const { return lineas_[g] > 0 ? lineas_[g] : f_.counter(); }
  // The read error of the record of group g, then `detalle` and its tag,
  // when `falla(i)` holds for any value i of 1 to n: values that the run
  // cannot compute with.
  template <typename F>
  void valores_validos(Grupo g, int n, const char* detalle, F&& falla) const {
    for (int i = 1; i <= n; ++i)
      if (falla(i)) error_secciones(m_, linea(g), detalle, {g});
  }
  // The lines of the sections left out whose value taken is a choice.
  void notas_secciones() const;
};

bool LectorCoeficientes::cabecera(bool es_obligatoria) {
  if (f_.heading_or_end()) return true;
  if (es_obligatoria) f_.failure();
  return false;
}

// The values are taken into scratch values preset to their defaults (0
// for a value without one) and kept only when the record has been read:
// items that a slash or a null item leaves unread keep their defaults, never
// the values of an earlier section; a record that the end of the file cuts
// off changes nothing.
std::optional<LectorCoeficientes::Leidos> LectorCoeficientes::leer(Grupo g) {
  const std::vector<Valor>& valores = valores_[g];
  Leidos leidos = defectos_[g];
  const bool leido = f_.record_or_end([&](Statement& st) {
    for (std::size_t i = 0; i < valores.size(); ++i) {
      if (valores[i].real)
        st.real(leidos.reales[i]);
      else
        st.integer(leidos.enteros[i]);
    }
  });
  if (!leido) {
    if (obligatorio(g)) f_.failure();
    return std::nullopt;
  }
  return leidos;
}

void LectorCoeficientes::guardar(Grupo g, const Leidos& leidos) {
  const std::vector<Valor>& valores = valores_[g];
  for (std::size_t i = 0; i < valores.size(); ++i) {
    if (valores[i].real)
      *valores[i].real = leidos.reales[i];
    else
      *valores[i].entero = leidos.enteros[i];
  }
  // The factor of the allocation model's monthly flows; a zero divisor is
  // refused when the reading ends.
  if (g == G_UNIDADES) c_.FACTORUNIDADES = c_.DIVISORUNIDADES != 0.0 ? c_.FACTORVOLUMEN / c_.DIVISORUNIDADES : 0.0;
  lineas_[g] = f_.counter();
  leidos_[g] = true;
}

bool LectorCoeficientes::grupo(Grupo g) {
  std::optional<Leidos> leidos = leer(g);
  if (!leidos) return false;
  guardar(g, *leidos);
  return true;
}

// The five heat-balance constants, then EAIOPCIONHRR on the next record,
// kept together: a section that the end of the file cuts leaves the
// constants of an earlier complete section as they were. False at that end.
bool LectorCoeficientes::constantes_temperatura() {
  std::optional<Leidos> constantes = leer(G_CTESTEMPERATURA);
  if (!constantes) return false;
  std::optional<Leidos> humedad = leer(G_EAIOPCIONHRR);
  if (!humedad) return false;
  guardar(G_CTESTEMPERATURA, *constantes);
  guardar(G_EAIOPCIONHRR, *humedad);
  c_.HAYCONSTANTESMODTEMPERATURA = true;
  return true;
}

// Tagged layout: every line whose first word is a tag of a section is
// followed by the section's record (two for the heat-balance constants: the
// five constants, then EAIOPCIONHRR); any other line is passed over. Each
// tag-word read and each record read counts one statement.
void LectorCoeficientes::leer_por_etiquetas() {
  etiquetado_ = true;
  for (;;) {
    std::optional<std::string> palabra = f_.first_word(LONGLINEACOEF);
    if (!palabra) return;
    const std::string LINEACOEF = trimmed(*palabra);
    const Etiqueta* etiqueta = nullptr;
    for (const Etiqueta& t : ETIQUETAS)
      if (LINEACOEF == t.nombre) etiqueta = &t;
    if (!etiqueta) continue;
    if (etiqueta->grupo == G_CTESTEMPERATURA) {
      if (!constantes_temperatura()) return;
    } else if (!grupo(etiqueta->grupo)) {
      return;
    }
  }
}

// Fixed layout: records 1 to 28 must all be there; the file may end before
// any later record. The record number is the statement counter. Nothing
// after record 38 is read: the thetas after the record of thetas keep their
// defaults.
void LectorCoeficientes::leer_fijo() {
  // Heading records (true: compulsory) and groups, as the records of the
  // file follow each other.
  auto h = [this](bool es_obligatoria) { return cabecera(es_obligatoria); };
  h(true);                                // 1
  h(true);                                // 2
  grupo(G_UNIDADES);                      // 3
  h(true);                                // 4
  grupo(G_ERROR);                         // 5
  h(true);                                // 6
  grupo(G_AGUA);                          // 7
  h(true);                                // 8
  grupo(G_DISPERSION);                    // 9
  h(true);                                // 10
  h(true);                                // 11
  grupo(G_CONDUCCIONES);                  // 12
  h(true);                                // 13
  grupo(G_EMBALSES);                      // 14
  h(true);                                // 15
  grupo(G_TECTAS);                        // 16
  h(true);                                // 17
  grupo(G_ESTEQUIOMETRICOS);              // 18
  h(true);                                // 19
  grupo(G_UNIDADESESTEQ);                 // 20
  h(true);                                // 21
  grupo(G_OSAT);                          // 22
  h(true);                                // 23
  grupo(G_TERMOCLINA);                    // 24
  h(true);                                // 25
  grupo(G_NUTRIENTES);                    // 26
  h(true);                                // 27
  grupo(G_PREFERENCIA);                   // 28
  if (!h(false)) return;                  // 29
  if (!grupo(G_BALANCES)) return;         // 30
  if (!h(false)) return;                  // 31
  if (!grupo(G_CTESTEMPERATURA)) return;  // 32
  if (!h(false)) return;                  // 33
  if (!grupo(G_EAIOPCIONHRR)) return;     // 34
  c_.HAYCONSTANTESMODTEMPERATURA = true;
  if (!h(false)) return;           // 35
  if (!grupo(G_FITOHIPO)) return;  // 36
  if (!h(false)) return;           // 37
  grupo(G_FLUJOSED);               // 38
}

// The end of the reading: the unit factors that the monthly driver divides
// by must not be 0 (read-error lines, with the statement that read them, or
// the statements made when the file never gave them), nor may the reach
// iteration limit exceed MAXITERCONDUCCION (the same lines, with the
// statement that read it); a theta that the run uses must be above 0 and a
// half-saturation constant that it uses, when on, not below 0 (the same
// lines, then one naming the section); a heat-balance run needs the complete
// heat-balance constants. Before those checks, the sections that a tagged
// file left out and the run cannot do without are its read error; after
// them, those whose value taken is a choice are named. The sections left
// out are kept for the check made after "tornal.avz".
void LectorCoeficientes::terminar() {
  c_.SECCIONESOMITIDAS.clear();
  c_.SENTENCIASCOEFICIENTES = f_.counter();
  if (etiquetado_) {
    std::vector<Grupo> faltan;
    for (const Seccion& seccion : SECCIONES) {
      if (leidos_[seccion.grupo]) continue;
      c_.SECCIONESOMITIDAS.emplace_back(etiqueta_de(seccion.grupo));
      if (seccion.ausencia(m_) == Ausencia::PARADA) faltan.push_back(seccion.grupo);
    }
    if (!faltan.empty()) error_secciones(m_, f_.counter(), FALTASECCION, faltan);
  }
  if (c_.FACTORVOLUMEN == 0.0 || c_.DIVISORUNIDADES == 0.0 || c_.FACTORUNIDADES == 0.0) {
    f_.failure_at(linea(G_UNIDADES));
  }
  // The reach's oxygen iteration runs up to this many passes a month.
  if (!(c_.NUMMAXITERCOND <= MAXITERCONDUCCION)) {
    f_.failure_at(lineas_[G_CONDUCCIONES]);
  }
  // The driver turns internal concentrations back by 1 / factor for
  // ammonium and nitrate (oxygen and nitrogen on), and for chlorophyll-a and
  // phosphate (phytoplankton on as well).
  const Array1<double>& U = c_.UNIDADESESTEQUIOMETRICAS;
  bool divide_por_cero = false;
  if (c_.OPCIONOXIGENO == 1 && c_.OPCIONNITROGENO == 1) {
    if (U(2) == 0.0 || U(3) == 0.0) divide_por_cero = true;
    if (c_.OPCIONFITOPLANCTON == 1 && (U(4) == 0.0 || U(5) == 0.0)) divide_por_cero = true;
  }
  if (divide_por_cero) {
    f_.failure_at(linea(G_UNIDADESESTEQ));
  }
  // theta^(T - 20) of a theta of 0 is 0 above 20 degC and infinite below;
  // of a negative theta, not a number at most temperatures.
  valores_validos(G_TECTAS, TECTASREGISTRO, VALORCEROOMENOR,
                  [&](int n) { return tecta_usada(m_, n) && !(c_.TECTAOD(n) > 0.0); });
  valores_validos(G_TECTASADICIONALES, static_cast<int>(c_.TECTAOD.size()) - TECTASREGISTRO, VALORCEROOMENOR,
                  [&](int n) {
                    const int theta = TECTASREGISTRO + n;
                    return tecta_usada(m_, theta) && !(c_.TECTAOD(theta) > 0.0);
                  });
  valores_validos(G_NUTRIENTES, 5, VALORNEGATIVO, [&](int n) {
    return semisaturacion_usada(m_, n) && semisaturacion_negativa(c_.CTELIMITACIONNUTRIENTES(n));
  });
  if (c_.OPCIONTEMPERATURA == 1 && c_.MODELOTEMPERATURA == 2 && !c_.HAYCONSTANTESMODTEMPERATURA) {
    m_.log.write({"Para modelar la temperatura por balance actualice el archivo de coeficientes"});
    stop("error");
  }
  if (etiquetado_) notas_secciones();
  m_.log.write({"Lectura de archivo de coeficientes realizada con éxito"});
}

void LectorCoeficientes::notas_secciones() const {
  for (const Seccion& seccion : SECCIONES) {
    if (leidos_[seccion.grupo] || seccion.ausencia(m_) != Ausencia::NOTA) continue;
    m_.log.write({latin1(std::string("Archivo de coeficientes sin la sección ") + etiqueta_de(seccion.grupo))});
    m_.log.write({seccion.nota});
  }
}

// Every coefficient back to 0, then the values that have defaults: TECTAOD
// sized for the thetas of `tectas`, each at its own.
void valores_iniciales(Calidad& c, std::span<const TectaCinetica> tectas) {
  c.FACTORVOLUMEN = 0.0;
  c.DIVISORUNIDADES = 0.0;
  c.FACTORUNIDADES = 0.0;
  c.ERRORCONC = 0.0;
  c.CARACTERISTICASDELAGUA.fill(0.0);
  c.DISPEMB.fill(0.0);
  c.NUMMAXITERCOND = 0.0;
  c.REAICOND.fill(0.0);
  c.REAIEMB.fill(0.0);
  c.TECTAOD.resize(static_cast<long>(tectas.size()));
  for (std::size_t n = 0; n < tectas.size(); ++n) c.TECTAOD(static_cast<long>(n) + 1) = tectas[n].defecto;
  c.STECHIO.fill(0.0);
  c.UNIDADESESTEQUIOMETRICAS.fill(0.0);
  c.OSAT.fill(0.0);
  c.COEFTETERMOCLINA = 0.0;
  c.CTELIMITACIONNUTRIENTES.fill(0.0);
  c.FACTORPREFERENCIA.fill(0.0);
  c.CONSTANTESMODTEMPERATURA.fill(0.0);
  c.EAIOPCIONHRR = 0;
  c.HAYCONSTANTESMODTEMPERATURA = false;
  c.OPCIONBALANCES = 0;
  c.FITOENELHIPO = 1.0;
  c.FLUJOSEDIMENTOSNOANOXIA = 0;
  c.ACUMULACIONRESULTADOSPARCIALES.fill(1);
  c.SECCIONESOMITIDAS.clear();
  c.SENTENCIASCOEFICIENTES = 0;
}

}  // namespace

// Reads PATHARCHIVO5 (record 8 of the run configuration) into the
// coefficients of m.cal, in the tagged layout when NUMVERSION is above 11 and
// in the fixed one otherwise, TECTAOD for the thetas of `tectas`. A record
// that cannot be read, an end of file inside a record that must be there, a
// zero unit factor that the driver divides by or a reach iteration limit
// above MAXITERCONDUCCION gives the read-error lines with the statement
// counter; a heat-balance run (OPCIONTEMPERATURA 1, MODELOTEMPERATURA 2)
// without the complete heat-balance constants stops with its own line. A
// tagged file without a section that the run's options and elements need
// gives the read-error lines at the end of the file and a line naming each
// such section; one without a section whose value taken is a choice, two
// lines naming it and that value. A theta that the run uses of 0 or below, or
// a half-saturation constant that it uses below 0 and on, gives the
// read-error lines with the statement that read it and a line naming its
// section. Writes the success line to the run log.
void leer_coeficientes(Modelo& m, const std::string& PATHARCHIVO5, int NUMVERSION,
                       std::span<const TectaCinetica> tectas) {
  valores_iniciales(m.cal, tectas);
  CountedReader f(m.log, ERRORLECTURA, ETIQUETALINEA);
  f.open(PATHARCHIVO5, "Error en el acceso al archivo de coeficientes");
  LectorCoeficientes lector(m, f);
  if (NUMVERSION > 11)
    lector.leer_por_etiquetas();
  else
    lector.leer_fijo();
  lector.terminar();
}

// The sections that a tagged coefficients file left out, looked at again
// with the time-varying constants of "tornal.avz" read: those that the run
// cannot do without now give the file's read error, with the statements made
// on it, and a line naming each, as when the file was read.
void comprobar_secciones_coeficientes(Modelo& m) {
  std::vector<Grupo> faltan;
  for (const Seccion& seccion : SECCIONES) {
    const std::string etiqueta = etiqueta_de(seccion.grupo);
    if (std::ranges::find(m.cal.SECCIONESOMITIDAS, etiqueta) != m.cal.SECCIONESOMITIDAS.end() &&
        seccion.ausencia(m) == Ausencia::PARADA)
      faltan.push_back(seccion.grupo);
  }
  if (!faltan.empty()) error_secciones(m, m.cal.SENTENCIASCOEFICIENTES, FALTASECCION, faltan);
}

}  // namespace tornal
